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
        // The server this build reads: a host with an optional path prefix, which the fixture site
        // serves under.
        const QString apodServer = QStringLiteral(STARWICK_APOD_SERVER);
        const qsizetype slash = apodServer.indexOf(u'/');
        const QString prefix = slash < 0 ? QString() : apodServer.mid(slash);

        FixtureServer server;
        QVERIFY(server.start());
        ApodSite site(server, prefix);
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
        server.route(site.archivePath(), FixtureServer::Response::page(ApodSite::archivePageFor(lines)));

        ProgramRun starwick({"Not Personalized", "Do Not Check", "Do Not Delete Cache", "Do Not Use Sounds",
                             "Hide Warning", "127.0.0.1", QString::number(server.port()), "", "", "Do Use Proxy Server",
                             "8BIM"});
        QString error;
        QVERIFY2(starwick.start(&error), qPrintable(error));
        const QString cached = starwick.cacheFolder() + u'/' + newest->cacheName;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cached), 30000);
        // The download lands whole under its name, never in part.
        QCOMPARE(Test::readFileBytes(cached), newest->pictureBytes);

        // Every request went through the proxy and named the APOD server.
        const QByteArray apodBase = "http://" + apodServer.toUtf8() + "/apod/";
        QVERIFY(!server.requests().isEmpty());
        for (const FixtureServer::Request& request : server.requests()) {
            QVERIFY2(request.proxied(), request.target.constData());
            QVERIFY2(request.target.startsWith(apodBase), request.target.constData());
        }
        QCOMPARE(server.requests().constFirst().target, apodBase + "archivepix.html");
    }
};

STARWICK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
