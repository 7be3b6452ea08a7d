// The real program, started as a user starts it: a home whose settings send requests through a
// proxy, which is the fixture server on this machine answering for the APOD server.
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/programrun.h"
#include "support/testenv.h"

#include <QFile>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;
using Test::ProgramRun;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void fetchesTheNewestPictureThroughTheProxy()
    {
        FixtureServer server;
        QVERIFY(server.start());
        ApodSite site(server, QStringLiteral("/~apod"));
        // The archive as the program will find it: the newest day has a picture.
        QList<QByteArray> lines;
        const Test::ApodDay* newest = nullptr;
        for (const Test::ApodDay& day : site.days()) {
            if (!newest && !day.hasPicture())
                continue;
            if (!newest)
                newest = &day;
            lines.append(day.archiveLine);
        }
        QVERIFY(newest);
        server.route(QStringLiteral("/~apod/apod/archivepix.html"),
                     FixtureServer::Response::page(ApodSite::archivePageFor(lines)));

        ProgramRun starwick({"Not Personalized", "Do Not Check", "Do Not Delete Cache", "Do Not Use Sounds",
                             "Hide Warning", "127.0.0.1", QString::number(server.port()), "", "", "Do Use Proxy Server",
                             "8BIM"});
        QString error;
        QVERIFY2(starwick.start(&error), qPrintable(error));
        const QString settingsFolder = starwick.settingsFolder();

        const QString cached = settingsFolder + QStringLiteral("/Cache/") + newest->cacheName;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cached), 30000);
        // The download lands whole under its name, never in part.
        QFile picture(cached);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QCOMPARE(picture.readAll(), newest->pictureBytes);

        // Every request went through the proxy and named the APOD server.
        QVERIFY(!server.requests().isEmpty());
        for (const FixtureServer::Request& request : server.requests()) {
            QVERIFY2(request.proxied(), request.target.constData());
            QVERIFY2(request.target.startsWith("http://www.star.ucl.ac.uk/~apod/apod/"), request.target.constData());
        }
        QCOMPARE(server.requests().constFirst().target,
                 QByteArray("http://www.star.ucl.ac.uk/~apod/apod/archivepix.html"));
    }
};

STARWICK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
