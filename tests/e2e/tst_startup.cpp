// The real program, started as a user starts it: a home whose settings send requests through a
// proxy, which is the fixture server on this machine answering for the APOD server.
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;

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

        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString config = home.path() + QStringLiteral("/.config");
        const QString settingsFolder = config + QStringLiteral("/Quorrel Design Stuff/Starwick");
        QVERIFY(QDir().mkpath(settingsFolder));
        const QStringList values{"Not Personalized",
                                 "Do Not Check",
                                 "Do Not Delete Cache",
                                 "Do Not Use Sounds",
                                 "Hide Warning",
                                 "127.0.0.1",
                                 QString::number(server.port()),
                                 "",
                                 "",
                                 "Do Use Proxy Server",
                                 "8BIM"};
        QFile settings(settingsFolder + QStringLiteral("/Starwick Preferences"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        for (const QString& value : values)
            settings.write(EncodeSetting(value).toLatin1() + '\n');
        settings.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "http_proxy", "HTTP_PROXY"})
            environment.remove(QString::fromLatin1(variable));

        QProcess starwick;
        starwick.setProcessEnvironment(environment);
        starwick.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        starwick.start(QStringLiteral(STARWICK_BINARY_PATH), {});
        QVERIFY2(starwick.waitForStarted(), qPrintable(starwick.errorString()));

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

        starwick.terminate();
        if (!starwick.waitForFinished(5000)) {
            starwick.kill();
            starwick.waitForFinished(5000);
        }
    }
};

STARWICK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
