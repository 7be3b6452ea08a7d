// The main window's menu items: the items it keeps up to date, each of its nine items reaching
// its handler by name, and the donation addresses.
#include "browser/daylistbox.h"
#include "browser/detailswindow.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "dialogs/personalizewindow.h"
#include "dialogs/preferences.h"
#include "platform/menuitem.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>

using namespace Starwick;

class TestMainWindowMenus : public QObject
{
    Q_OBJECT

    Test::FixtureServer m_server;
    QList<QUrl> m_opened;
    QList<int> m_quits;

    MainWindow* frontMainWindow()
    {
        MainWindow* window = MainWindow::instance();
        window->Show();
        return window;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        // An archive without days: the day list stays empty.
        m_server.route(QStringLiteral("/apod/archivepix.html"), Test::FixtureServer::Response::page("<html></html>"));
        setAPODServerForTesting(QStringLiteral("127.0.0.1:%1").arg(m_server.port()));
        platform::setUrlOpenerForTesting([this](const QUrl& url) { m_opened.append(url); });
        platform::setQuitHandlerForTesting([this](int code) { m_quits.append(code); });
    }

    void init()
    {
        m_opened.clear();
        m_quits.clear();
        Globals::ResetForTesting();
    }

    void personalizeShowsUntilAnOwnerIsSet_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::newRow("no owner name") << false;
        QTest::newRow("an owner name") << true;
    }

    void personalizeShowsUntilAnOwnerIsSet()
    {
        QFETCH(bool, registered);
        frontMainWindow();
        Globals::Registered = registered;
        MenuBar1::instance()->updateMenus();
        QCOMPARE(ApplePersonalizethisCopy()->Visible(), !registered);
        QCOMPARE(ApplePersonalizethisCopy()->Enabled(), !registered);
        QVERIFY(LinksSupportStarwick()->Enabled());
        QCOMPARE(ApplePersonalizethisCopy()->action()->isVisible(), !registered);
    }

    void detailsItemWaitsForTheDayList()
    {
        frontMainWindow();
        DayListBox* list = IndexWindow::instance()->ListBox1;
        list->DeleteAllRows();
        MenuBar1::instance()->updateMenus();
        QVERIFY(!AppleShowDetailsDrawer()->Enabled());
        list->AddRow(QStringLiteral("2026 December 09: A day"));
        MenuBar1::instance()->updateMenus();
        QVERIFY(AppleShowDetailsDrawer()->Enabled());
        list->DeleteAllRows();
    }

    void eachItemReachesItsHandler_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Personalize") << "ApplePersonalizethisCopy";
        QTest::newRow("Clear Image Cache") << "AppleClearImageCache";
        QTest::newRow("Show Details Drawer") << "AppleShowDetailsDrawer";
        QTest::newRow("Donate via Kagi") << "MakeaDonationDonateviaKagi";
        QTest::newRow("Donate via PayPal") << "MakeaDonationDonateviaPayPal";
        QTest::newRow("Connect") << "FileConnect";
        QTest::newRow("Preferences") << "FilePreferences";
        QTest::newRow("Show APOD Index") << "AppleShowAPODIndex";
        QTest::newRow("Quit") << "FileQuit";
    }

    void eachItemReachesItsHandler()
    {
        QFETCH(QString, item);
        MainWindow* window = frontMainWindow();
        QTRY_VERIFY(!m_server.requests().isEmpty());
        QDir().mkpath(CacheFolder().path());
        const QString cached = CacheFolder().Child(QStringLiteral("Moon.jpg")).path();
        QFile file(cached);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const qsizetype requests = m_server.requests().size();

        platform::MenuItem* menuItem = MenuBar1::instance()->FindItem(item);
        QVERIFY(menuItem);
        platform::MenuBar::dispatch(menuItem);

        if (item == QLatin1String("ApplePersonalizethisCopy")) {
            QVERIFY(platform::ExistingInstance<PersonalizeWindow>());
            platform::ExistingInstance<PersonalizeWindow>()->close();
        } else if (item == QLatin1String("AppleClearImageCache")) {
            QTRY_VERIFY(!QFile::exists(cached));
        } else if (item == QLatin1String("AppleShowDetailsDrawer")) {
            QVERIFY(DetailsWindow::instance()->isVisible());
            DetailsWindow::instance()->hide();
        } else if (item == QLatin1String("MakeaDonationDonateviaKagi")) {
            QCOMPARE(m_opened.size(), 1);
            QCOMPARE(m_opened.constFirst().toEncoded(),
                     QByteArray("http://" + KagiOrderHost().toUtf8() + "/?" + KagiProductCode().toUtf8()));
        } else if (item == QLatin1String("MakeaDonationDonateviaPayPal")) {
            QCOMPARE(m_opened.size(), 1);
            QCOMPARE(m_opened.constFirst().toEncoded(),
                     QByteArray("https://" + PayPalHost().toUtf8() +
                                "/xclick/business=" + PayPalRecipient().toUtf8().replace("@", "%40") +
                                "&undefined_quantity=1&item_name=Starwick+Donation&amount=$5.00&no_note=1"
                                "&cn=Special+Instructions+%28optional&currency_code=USD"));
        } else if (item == QLatin1String("FileConnect")) {
            QTRY_COMPARE(m_server.requests().size(), requests + 1);
        } else if (item == QLatin1String("FilePreferences")) {
            Preferences* preferences = Preferences::existing();
            QVERIFY(preferences && preferences->isVisible());
            // Chosen again, the open window comes forward unchanged.
            clickAgain(menuItem, preferences);
            preferences->close();
        } else if (item == QLatin1String("AppleShowAPODIndex")) {
            QVERIFY(IndexWindow::instance()->isVisible());
            IndexWindow::instance()->hide();
        } else if (item == QLatin1String("FileQuit")) {
            QCOMPARE(m_quits, QList<int>{0});
            QVERIFY(window->isClosed());
        }
    }

private:
    void clickAgain(platform::MenuItem* menuItem, Preferences* preferences)
    {
        preferences->ToolbarItem2->trigger();
        const QRect geometry = preferences->geometry();
        platform::MenuBar::dispatch(menuItem);
        QCOMPARE(Preferences::existing(), preferences);
        QCOMPARE(preferences->geometry(), geometry);
        QCOMPARE(preferences->Title(), QStringLiteral("Files"));
    }
};

STARWICK_TEST_MAIN(TestMainWindowMenus)
#include "tst_mainwindowmenus.moc"
