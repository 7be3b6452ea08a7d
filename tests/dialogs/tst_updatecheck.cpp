// The update check against a version file on a loopback server standing in for the maker's.
#include "browser/httpalert.h"
#include "browser/mainwindow.h"
#include "dialogs/noupdatewindow.h"
#include "dialogs/updatecheckwindow.h"
#include "dialogs/updateneeded.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/fixtureserver.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

using namespace Starwick;
using Test::FixtureServer;

namespace {

const QString kVersionPath = QStringLiteral("/versions/Starwick.txt");

enum class Shown
{
    Nothing,  ///< no window is left open
    NoUpdate, ///< NoUpdateWindow
    Update,   ///< UpdateNeeded
    Failed,   ///< the check window, saying the check failed
};

template <class T> void closeIfOpen()
{
    if (T* window = platform::ExistingInstance<T>())
        window->close();
}

// What the check's timer does when it fires, without the two seconds' wait.
void fireTimer(UpdateCheckWindow* check)
{
    check->Timer1->SetMode(platform::Timer::ModeOff);
    check->Timer1_Action();
}

} // namespace

Q_DECLARE_METATYPE(Shown)
Q_DECLARE_METATYPE(Starwick::Test::FixtureServer::Response)

class TestUpdateCheck : public QObject
{
    Q_OBJECT

    FixtureServer m_server;
    QList<QUrl> m_opened;

    QString makerServer() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.port()); }

    // The check's one request has come to an end: the check window is gone, or it says it failed.
    static bool checkEnded(const QPointer<UpdateCheckWindow>& check)
    {
        return !check || check->isClosed() || check->StatusText->text() == QLatin1String("The check failed.");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        platform::setUrlOpenerForTesting([this](const QUrl& url) { m_opened.append(url); });
    }

    void init()
    {
        setMakerServerForTesting(makerServer());
        m_server.clearRequests();
        m_server.removeRoute(kVersionPath);
        m_opened.clear();
    }

    void cleanup()
    {
        closeIfOpen<UpdateCheckWindow>();
        closeIfOpen<NoUpdateWindow>();
        closeIfOpen<UpdateNeeded>();
        closeIfOpen<HTTPAlert>();
        Test::releaseClosedWindows();
        Globals::ResetForTesting();
    }

    void layouts()
    {
        UpdateCheckWindow* check = UpdateCheckWindow::instance();
        QVERIFY(!check->isVisible()); // made hidden
        QCOMPARE(QSize(check->Width(), check->Height()), QSize(491, 137));
        QCOMPARE(check->Title(), QString());
        QCOMPARE(check->StaticText1->text(), QStringLiteral("You are currently using Starwick v1.2.0."));
        QVERIFY(check->StaticText1->font().bold());
        QCOMPARE(check->StatusText->text(), QStringLiteral("Connecting to server..."));
        QCOMPARE(check->ProgressBar1->maximum(), 0);
        QCOMPARE(check->PushButton1->geometry(), QRect(399, 97, 72, 20));
        QCOMPARE(check->Timer1->Period(), 2000);
        QVERIFY(check->Timer1->isRunning());
        QCOMPARE(UpdateCheckWindow::versionFileURL(), m_server.url(kVersionPath));

        NoUpdateWindow* none = NoUpdateWindow::instance();
        QVERIFY(none->isVisible()); // shown as soon as it is made
        QCOMPARE(QSize(none->Width(), none->Height()), QSize(491, 126));
        QCOMPARE(none->StaticText1->text(), QStringLiteral("There is no new version of Starwick available."));
        QVERIFY(none->PushButton2->isDefault());
        QVERIFY(none->MessageText->heightForWidth(375) <= 30);

        UpdateNeeded* needed = UpdateNeeded::instance();
        QCOMPARE(needed->StaticText1->text(), QStringLiteral("A new version of Starwick is available."));
        QCOMPARE(needed->PushButton1->geometry(), QRect(373, 86, 98, 20));
        QCOMPARE(needed->PushButton2->geometry(), QRect(289, 86, 72, 20)); // 12 to the left of Download
        QVERIFY(needed->PushButton1->isDefault());
        QCOMPARE(needed->MessageText->textFormat(), Qt::PlainText);
    }

    void answers_data()
    {
        QTest::addColumn<FixtureServer::Response>("response");
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<QString>("quoted");

        FixtureServer::Response missing;
        missing.status = 404;
        missing.body = "<html><body>Not Found</body></html>";
        FixtureServer::Response cut = FixtureServer::Response::page("1.3.0", 200, "text/plain");
        cut.dropAfter = 3; // "1.3" arrives, then the connection closes
        const auto text = [](const QByteArray& body) { return FixtureServer::Response::page(body, 200, "text/plain"); };
        // Past the page limit: the socket drops it as too large, a failed check and no alert.
        const QByteArray huge(platform::HTTPSocket::maxPageSize() + 1, '9');

        struct Row
        {
            const char* name;
            FixtureServer::Response response;
            Shown fromMenu;
            Shown atLaunch;
            const char* quoted;
        };
        const Row rows[] = {
            {"same version", text("1.2.0"), Shown::NoUpdate, Shown::Nothing, ""},
            {"same with a line end", text("1.2.0\n"), Shown::NoUpdate, Shown::Nothing, ""},
            {"older", text("1.1.9"), Shown::NoUpdate, Shown::Nothing, ""},
            {"newer patch", text("1.2.10"), Shown::Update, Shown::Update, "1.2.10"},
            {"newer major", text("2.0\r\n"), Shown::Update, Shown::Update, "2.0"},
            {"empty", text(""), Shown::Failed, Shown::Nothing, ""},
            {"an HTML page", FixtureServer::Response::page("<html><body>Parked</body></html>"), Shown::Failed,
             Shown::Nothing, ""},
            {"404", missing, Shown::Failed, Shown::Nothing, ""},
            {"cut answer", cut, Shown::Failed, Shown::Nothing, ""},
            {"over the page limit", text(huge), Shown::Failed, Shown::Nothing, ""},
        };
        for (const Row& row : rows) {
            QTest::addRow("%s, from the menu", row.name)
                << row.response << true << row.fromMenu << QString::fromLatin1(row.quoted);
            QTest::addRow("%s, at launch", row.name)
                << row.response << false << row.atLaunch << QString::fromLatin1(row.quoted);
        }
    }
    void answers()
    {
        QFETCH(FixtureServer::Response, response);
        QFETCH(bool, fromMenu);
        QFETCH(Shown, shown);
        QFETCH(QString, quoted);
        m_server.route(kVersionPath, response);
        Globals::UseSounds = false;

        App app;
        if (fromMenu)
            app.AppleCheckforUpdates_Action();
        QPointer<UpdateCheckWindow> check = UpdateCheckWindow::instance();
        QCOMPARE(check->isVisible(), fromMenu);
        const int beeps = platform::BeepCount();
        fireTimer(check);
        QTRY_VERIFY(checkEnded(check));

        QCOMPARE(m_server.requestsFor(kVersionPath).size(), 1);
        NoUpdateWindow* none = platform::ExistingInstance<NoUpdateWindow>();
        UpdateNeeded* needed = platform::ExistingInstance<UpdateNeeded>();
        QCOMPARE(none != nullptr, shown == Shown::NoUpdate);
        QCOMPARE(needed != nullptr, shown == Shown::Update);
        // A result window beeps once as it opens; nothing else sounds.
        QCOMPARE(platform::BeepCount(), beeps + (none || needed ? 1 : 0));
        QCOMPARE(platform::ExistingInstance<UpdateCheckWindow>() != nullptr, shown == Shown::Failed);
        if (shown == Shown::Failed) {
            QVERIFY(check->isVisible());
            QCOMPARE(check->StatusText->text(), QStringLiteral("The check failed."));
        }
        if (needed) {
            QVERIFY(needed->isVisible());
            QCOMPARE(needed->MessageText->text(),
                     QStringLiteral("Your version of Starwick is out of date. The new release is at version ") +
                         quoted + QStringLiteral(", so I would recommend downloading the new version."));
        }
        QVERIFY(platform::ExistingInstance<HTTPAlert>() == nullptr);

        // The check window is released after its page handler has returned, its socket with it.
        Test::releaseClosedWindows();
        QCOMPARE(check.isNull(), shown != Shown::Failed);
    }

    void cancelBeforeTheTimerMakesNoRequest()
    {
        App app;
        app.AppleCheckforUpdates_Action();
        QPointer<UpdateCheckWindow> check = UpdateCheckWindow::instance();
        QPointer<platform::Timer> timer = check->Timer1;
        QVERIFY(timer->isRunning());
        QTest::keyClick(check, Qt::Key_Escape); // Escape is Cancel
        QTRY_VERIFY(!check || check->isClosed());
        QVERIFY(!timer || !timer->isRunning());
        Test::releaseClosedWindows();
        QVERIFY(!timer); // gone with its window: nothing can fire any more
        QVERIFY(m_server.requests().isEmpty());

        // The next check is a fresh window with a fresh timer.
        app.AppleCheckforUpdates_Action();
        UpdateCheckWindow* next = UpdateCheckWindow::instance();
        QVERIFY(next->isVisible());
        QVERIFY(next->Timer1->isRunning());
        QCOMPARE(next->StatusText->text(), QStringLiteral("Connecting to server..."));
    }

    void cancelDuringTheRequestShowsNothingLater()
    {
        FixtureServer::Response slow = FixtureServer::Response::page("9.9.9", 200, "text/plain");
        slow.trickleBytes = 1;
        slow.trickleIntervalMs = 60;
        m_server.route(kVersionPath, slow);
        App app;
        app.AppleCheckforUpdates_Action();
        QPointer<UpdateCheckWindow> check = UpdateCheckWindow::instance();
        fireTimer(check);
        QTRY_COMPARE(check->StatusText->text(), QStringLiteral("Reading version file..."));
        QMetaObject::invokeMethod(check->PushButton1, "click");
        QVERIFY(check->isClosed());
        QVERIFY(!check->TCPSocket1->isBusy());
        Test::releaseClosedWindows();
        QVERIFY(!check);
        // Give the server the time to send the whole answer: nobody is left to show it.
        QTest::qWait(600);
        QCOMPARE(platform::ExistingInstance<UpdateNeeded>(), nullptr);
        QCOMPARE(platform::ExistingInstance<NoUpdateWindow>(), nullptr);
    }

    void socketError_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("silent check at launch") << false;
        QTest::newRow("check from the menu") << true;
    }
    void socketError()
    {
        QFETCH(bool, fromMenu);
        // Nothing listens at the maker's address.
        FixtureServer closed;
        QVERIFY(closed.start());
        setMakerServerForTesting(QStringLiteral("127.0.0.1:%1").arg(closed.port()));
        closed.stop();

        App app;
        if (fromMenu)
            app.AppleCheckforUpdates_Action();
        QPointer<UpdateCheckWindow> check = UpdateCheckWindow::instance();
        fireTimer(check);
        QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>());
        HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>();
        QCOMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 104!"));
        if (fromMenu) {
            // A shown check stays as it was, for Cancel.
            QVERIFY(check && !check->isClosed());
            QVERIFY(!check->TCPSocket1->isBusy());
            QCOMPARE(check->StatusText->text(), QStringLiteral("Connecting to server..."));
            return;
        }
        // A hidden one goes.
        QVERIFY(!check || check->isClosed());
        alert->close();
        Test::releaseClosedWindows();
        QVERIFY(!check);

        // "Check for Updates..." later starts a fresh check that asks again.
        setMakerServerForTesting(makerServer());
        m_server.route(kVersionPath, FixtureServer::Response::page("1.2.0", 200, "text/plain"));
        app.AppleCheckforUpdates_Action();
        UpdateCheckWindow* fresh = UpdateCheckWindow::instance();
        QVERIFY(fresh->isVisible());
        fireTimer(fresh);
        QTRY_VERIFY(platform::ExistingInstance<NoUpdateWindow>());
        QCOMPARE(m_server.requestsFor(kVersionPath).size(), 1);
    }

    void menuDuringTheSilentWaitMakesNoSecondRequest()
    {
        m_server.route(kVersionPath, FixtureServer::Response::page("1.2.0", 200, "text/plain"));
        App app;
        UpdateCheckWindow* check = UpdateCheckWindow::instance(); // as at launch: hidden, waiting
        app.AppleCheckforUpdates_Action();
        QCOMPARE(UpdateCheckWindow::instance(), check);
        QVERIFY(check->isVisible());
        fireTimer(check);
        app.AppleCheckforUpdates_Action(); // again, while the request is under way
        QCOMPARE(UpdateCheckWindow::instance(), check);
        // Shown now, the same version is said rather than passed over in silence.
        QTRY_VERIFY(platform::ExistingInstance<NoUpdateWindow>());
        QCOMPARE(m_server.requestsFor(kVersionPath).size(), 1);
    }

    void resultWindows_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("downloads");
        QTest::newRow("up to date: Return is OK") << "1.2.0" << int(Qt::Key_Return) << true << false;
        QTest::newRow("up to date: Escape does nothing") << "1.2.0" << int(Qt::Key_Escape) << false << false;
        QTest::newRow("newer: Return is Download") << "1.3" << int(Qt::Key_Return) << true << true;
        QTest::newRow("newer: Escape is Cancel") << "1.3" << int(Qt::Key_Escape) << true << false;
    }
    void resultWindows()
    {
        QFETCH(QString, version);
        QFETCH(int, key);
        QFETCH(bool, closes);
        QFETCH(bool, downloads);
        m_server.route(kVersionPath, FixtureServer::Response::page(version.toLatin1(), 200, "text/plain"));
        App app;
        app.AppleCheckforUpdates_Action();
        fireTimer(UpdateCheckWindow::instance());
        QTRY_VERIFY(platform::ExistingInstance<NoUpdateWindow>() || platform::ExistingInstance<UpdateNeeded>());
        QPointer<platform::Window> result = platform::ExistingInstance<NoUpdateWindow>();
        if (!result)
            result = platform::ExistingInstance<UpdateNeeded>();

        // Command-W beeps and leaves the window open; "w" alone does nothing.
        const int beeps = platform::BeepCount();
        QTest::keyClick(result, Qt::Key_W, Qt::ControlModifier);
        QTest::keyClick(result, Qt::Key_W);
        QCOMPARE(platform::BeepCount(), beeps + 1);
        QVERIFY(!result->isClosed());

        QTest::keyClick(result, Qt::Key(key));
        QTRY_COMPARE(result.isNull() || result->isClosed(), closes);
        QCOMPARE(m_opened, downloads
                               ? QList<QUrl>{QUrl(m_server.url(QStringLiteral("/downloads/software/Starwick.dmg")))}
                               : QList<QUrl>{});
        QCOMPARE(platform::ExistingInstance<UpdateCheckWindow>(), nullptr);
    }

    void downloadClosesAnOpenCheckWindowToo()
    {
        UpdateNeeded* needed = UpdateNeeded::instance();
        // A check window made after the result window opened (the result window closed the first).
        QPointer<UpdateCheckWindow> check = UpdateCheckWindow::instance();
        QMetaObject::invokeMethod(needed->PushButton1, "click");
        QVERIFY(needed->isClosed());
        QVERIFY(check->isClosed());
        QCOMPARE(m_opened.size(), 1);
    }

    void throughTheProxyWithItsCredentials()
    {
        // The maker's host exists only behind the proxy, which wants the settings' credentials.
        FixtureServer proxy;
        QVERIFY(proxy.start());
        proxy.route(kVersionPath, FixtureServer::Response::page("1.2.0", 200, "text/plain"));
        proxy.requireProxyAuthorization(QStringLiteral("ann"), QStringLiteral("secret"));
        setMakerServerForTesting(QStringLiteral("maker.invalid"));
        Globals::UseProxy = true;
        Globals::pAddress = QStringLiteral("127.0.0.1");
        Globals::pPort = proxy.port();
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = QStringLiteral("secret");

        App app;
        app.AppleCheckforUpdates_Action();
        fireTimer(UpdateCheckWindow::instance());
        QTRY_VERIFY(platform::ExistingInstance<NoUpdateWindow>());
        const QList<FixtureServer::Request> asked = proxy.requestsFor(kVersionPath);
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked.constLast().target, QByteArray("http://maker.invalid/versions/Starwick.txt"));
        QCOMPARE(asked.constLast().header("Proxy-Authorization"),
                 FixtureServer::basicCredentials(QStringLiteral("ann"), QStringLiteral("secret")));
        QVERIFY(asked.constLast().header("Authorization").isEmpty());
    }

    void unusableProxyIsReportedNotBypassed_data() { Test::addUnusableProxyRows(); }
    void unusableProxyIsReportedNotBypassed()
    {
        QFETCH(QString, address);
        QFETCH(QString, port);
        // The maker's server, reachable directly, asks for proxy credentials: a check that went
        // there would be offered them.
        m_server.route(kVersionPath, FixtureServer::proxyRefusal());
        Test::useTypedProxy(address, port, m_server.port());
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = QStringLiteral("secret");

        App app;
        app.AppleCheckforUpdates_Action();
        fireTimer(UpdateCheckWindow::instance());
        QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>());
        const HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>();
        QCOMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 103!"));
        QCOMPARE(alert->MessageText->text(), QStringLiteral("The address specified in your proxy settings could not be "
                                                            "resolved. Check your settings and try again."));
        QCOMPARE(m_server.requests().size(), 0);
    }

    void proxyCredentialsFollowARedirectToAnotherHost_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passes");
        QTest::newRow("right credentials") << "secret" << true;
        QTest::newRow("refused credentials end in 407") << "wrong" << false;
    }
    void proxyCredentialsFollowARedirectToAnotherHost()
    {
        QFETCH(QString, password);
        QFETCH(bool, passes);
        // Both hosts exist only behind the proxy; the proxy wants the credentials on each
        // connection, the second one made for the redirect.
        FixtureServer proxy;
        QVERIFY(proxy.start());
        proxy.route(kVersionPath,
                    FixtureServer::Response::redirect(QStringLiteral("http://mirror.invalid/v/Starwick.txt")));
        proxy.route(QStringLiteral("/v/Starwick.txt"), FixtureServer::Response::page("1.2.0", 200, "text/plain"));
        proxy.requireProxyAuthorization(QStringLiteral("ann"), QStringLiteral("secret"));
        setMakerServerForTesting(QStringLiteral("maker.invalid"));
        Globals::UseProxy = true;
        Globals::pAddress = QStringLiteral("127.0.0.1");
        Globals::pPort = proxy.port();
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = password;

        App app;
        app.AppleCheckforUpdates_Action();
        fireTimer(UpdateCheckWindow::instance());
        if (passes) {
            QTRY_VERIFY(platform::ExistingInstance<NoUpdateWindow>());
            const QList<FixtureServer::Request> asked = proxy.requestsFor(QStringLiteral("/v/Starwick.txt"));
            QVERIFY(!asked.isEmpty());
            QCOMPARE(asked.constLast().target, QByteArray("http://mirror.invalid/v/Starwick.txt"));
            QCOMPARE(asked.constLast().header("Proxy-Authorization"),
                     FixtureServer::basicCredentials(QStringLiteral("ann"), QStringLiteral("secret")));
        } else {
            QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>());
            QCOMPARE(platform::ExistingInstance<HTTPAlert>()->HeadingText->text(),
                     QStringLiteral("The web server returned error 407!"));
            QCOMPARE(proxy.requests().size(), 2); // without, then with the refused credentials
        }
        QCOMPARE(m_server.requests().size(), 0);
    }

    void launchArmsTheCheckOnlyWithDoCheck_data()
    {
        QTest::addColumn<QString>("line2"); // empty: no settings file (first launch)
        QTest::addColumn<bool>("checks");
        QTest::newRow("Do Check") << "Do Check" << true;
        QTest::newRow("Do Not Check") << "Do Not Check" << false;
        QTest::newRow("first launch") << "" << false;
    }
    void launchArmsTheCheckOnlyWithDoCheck()
    {
        QFETCH(QString, line2);
        QFETCH(bool, checks);
        Test::clearHome();
        if (!line2.isEmpty())
            Test::writeSettings({{SettingsLine::CheckForUpdates, line2}});
        m_server.route(kVersionPath, FixtureServer::Response::page("1.2.0\n", 200, "text/plain"));
        platform::MakeInstance<MainWindow>(); // placed by Open, never opened: it asks for nothing
        App app;
        app.Open();
        QPointer<UpdateCheckWindow> check = platform::ExistingInstance<UpdateCheckWindow>();
        QCOMPARE(check != nullptr, checks);
        if (!checks)
            return;
        QVERIFY(!check->isVisible());
        QVERIFY(check->Timer1->isRunning());
        // The timer's own tick starts the request; the same version ends the check in silence.
        QTRY_VERIFY_WITH_TIMEOUT(!check || check->isClosed(), 10000);
        QCOMPARE(m_server.requestsFor(kVersionPath).size(), 1);
        QCOMPARE(platform::ExistingInstance<NoUpdateWindow>(), nullptr);
        QCOMPARE(platform::ExistingInstance<UpdateNeeded>(), nullptr);
    }
};

STARWICK_TEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
