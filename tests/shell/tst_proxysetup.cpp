// The proxy settings on the main window's archive request: an unusable proxy is reported and
// never bypassed, and the proxy's credentials go to the proxy only, on each connection to it.
#include "browser/daylistbox.h"
#include "browser/httpalert.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/mainwindowrun.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QDir>
#include <QLabel>

#include <memory>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;
using Response = FixtureServer::Response;

class TestProxySetup : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<ApodSite> m_site;
    MainWindow* m_window = nullptr;

    DayListBox* list() const { return IndexWindow::instance()->ListBox1; }

    static QString alertHeading()
    {
        const HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>();
        return alert ? alert->HeadingText->text() : QString();
    }

private slots:
    void initTestCase() { Test::prepareMainWindowTests(); }

    void init()
    {
        Test::resetMainWindowRun();
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->start());
        m_site = std::make_unique<ApodSite>(*m_server, QStringLiteral("/~apod"));
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = QStringLiteral("sesame");
    }

    void cleanup()
    {
        Test::closeMainWindowRun();
        m_window = nullptr;
        m_site.reset();
        m_server.reset();
    }

    void unusableProxyIsReportedNotBypassed_data() { Test::addUnusableProxyRows(); }

    void unusableProxyIsReportedNotBypassed()
    {
        QFETCH(QString, address);
        QFETCH(QString, port);
        // The archive host is reachable directly and asks for proxy credentials: a request that
        // went there would be offered them.
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"), FixtureServer::proxyRefusal());
        setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(m_server->port()));
        Test::useTypedProxy(address, port, m_server->port());

        m_window = MainWindow::instance();
        QTRY_COMPARE(alertHeading(), QStringLiteral("The web server returned error 103!"));
        QCOMPARE(platform::ExistingInstance<HTTPAlert>()->MessageText->text(),
                 QStringLiteral("The address specified in your proxy settings could not be resolved. Check your "
                                "settings and try again."));
        QCOMPARE(m_server->connectionCount(), 0);
        QCOMPARE(list()->ListCount(), 0);
    }

    void proxyCredentialsFollowARedirectToAnotherHost_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passes");
        QTest::newRow("right credentials") << "sesame" << true;
        QTest::newRow("refused credentials end in 407") << "wrong" << false;
    }

    void proxyCredentialsFollowARedirectToAnotherHost()
    {
        QFETCH(QString, password);
        QFETCH(bool, passes);
        // Both hosts exist only behind the proxy, which wants the credentials on each connection;
        // the redirect to the mirror opens a second one.
        const QString mirrored = QStringLiteral("http://mirror.starwick-fixture.invalid/~apod/apod/archivepix.html");
        m_server->route(QStringLiteral("/apod/archivepix.html"), Response::redirect(mirrored));
        m_server->requireProxyAuthorization(QStringLiteral("ann"), QStringLiteral("sesame"));
        setAPODServerForTesting(QStringLiteral("apod.starwick-fixture.invalid"));
        Globals::UseProxy = true;
        Globals::pAddress = QStringLiteral("127.0.0.1");
        Globals::pPort = m_server->port();
        Globals::pPassword = password;

        m_window = MainWindow::instance();
        if (passes) {
            QTRY_COMPARE(list()->ListCount(), m_site->days().size());
            const QList<FixtureServer::Request> archive =
                m_server->requestsFor(QStringLiteral("/~apod/apod/archivepix.html"));
            QVERIFY(!archive.isEmpty());
            QCOMPARE(archive.constLast().target, mirrored.toUtf8());
            QCOMPARE(archive.constLast().header("Proxy-Authorization"),
                     FixtureServer::basicCredentials(QStringLiteral("ann"), QStringLiteral("sesame")));
        } else {
            QTRY_COMPARE(alertHeading(), QStringLiteral("The web server returned error 407!"));
            QCOMPARE(m_server->requests().size(), 2); // without, then with the refused credentials
            QCOMPARE(list()->ListCount(), 0);
        }
        for (const FixtureServer::Request& request : m_server->requests())
            QVERIFY(request.proxied());
    }

    void aWebServerBehindTheProxyGetsNotItsCredentials()
    {
        // The archive behind the proxy asks for a password of its own: the proxy's is not given.
        Response locked = Response::page(ApodSite::archivePageFor({m_site->days().constFirst().archiveLine}));
        locked.basicUser = QStringLiteral("ann");
        locked.basicPassword = QStringLiteral("sesame");
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"), locked);
        m_server->requireProxyAuthorization(QStringLiteral("ann"), QStringLiteral("sesame"));
        setAPODServerForTesting(QStringLiteral("apod.starwick-fixture.invalid/~apod"));
        Globals::UseProxy = true;
        Globals::pAddress = QStringLiteral("127.0.0.1");
        Globals::pPort = m_server->port();

        m_window = MainWindow::instance();
        QTRY_COMPARE(m_window->StatsText->text(),
                     QStringLiteral("The archive page could not be had (error 401). Try again later."));
        const QList<FixtureServer::Request> requests = m_server->requests();
        QVERIFY(!requests.isEmpty());
        for (const FixtureServer::Request& request : requests)
            QVERIFY(request.header("Authorization").isEmpty());
        QCOMPARE(requests.constLast().header("Proxy-Authorization"),
                 FixtureServer::basicCredentials(QStringLiteral("ann"), QStringLiteral("sesame")));
        QCOMPARE(list()->ListCount(), 0);
    }
};

STARWICK_TEST_MAIN(TestProxySetup)
#include "tst_proxysetup.moc"
