// The real program, started as a user starts it: a home whose settings send requests through a
// proxy, which is the fixture server on this machine answering for the APOD server.
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;

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

        // The program runs in this test's temporary home, so the settings file and the cache are
        // where the program's own functions say.
        Test::clearHome();
        QVERIFY(QDir().mkpath(SettingsFolder().path()));
        SettingsLines settings = DefaultSettingsLines();
        settings.setOn(SettingsLine::UseSounds, false);
        settings.setOn(SettingsLine::HideWarning, true);
        settings.setValue(SettingsLine::ProxyAddress, QStringLiteral("127.0.0.1"));
        settings.setValue(SettingsLine::ProxyPort, QString::number(server.port()));
        settings.setOn(SettingsLine::UseProxy, true);
        QString error;
        QVERIFY2(WriteSettingsFile(settings, &error), qPrintable(error));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "http_proxy", "HTTP_PROXY"})
            environment.remove(QString::fromLatin1(variable));

        QProcess starwick;
        starwick.setProcessEnvironment(environment);
        starwick.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        starwick.start(QStringLiteral(STARWICK_BINARY_PATH), {});
        QVERIFY2(starwick.waitForStarted(), qPrintable(starwick.errorString()));

        const QString cached = CacheFolder().Child(newest->cacheName).path();
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

        starwick.terminate();
        if (!starwick.waitForFinished(5000)) {
            starwick.kill();
            starwick.waitForFinished(5000);
        }
    }
};

STARWICK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
