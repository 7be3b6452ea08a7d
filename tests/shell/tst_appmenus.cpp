// The application's menu work with the real main window: the enabling pass, the Save item and the
// links.
#include "browser/mainwindow.h"
#include "platform/menuitem.h"
#include "platform/savedialog.h"
#include "platform/system.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/resources.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "shell/windowmenuitem.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

using namespace Starwick;

class TestAppMenus : public QObject
{
    Q_OBJECT

    std::unique_ptr<App> m_app;
    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
        platform::setUrlOpenerForTesting([this](const QUrl& url) { m_opened.append(url); });
        m_app = std::make_unique<App>();
        MenuBar1::instance();
        m_app->registerMenuHandlers();
        MainWindow::instance();
        m_app->Open();
    }

    void init()
    {
        m_opened.clear();
        Globals::UseSounds = false;
    }

    void enablingPassFollowsTheMainWindow()
    {
        MainWindow* window = MainWindow::instance();
        window->SaveButton->setEnabled(false);
        MenuBar1::instance()->updateMenus();
        QVERIFY(!FileSave()->Enabled());
        QVERIFY(!FileConnect()->Visible());
        QVERIFY(AppleShowAPODIndex()->Visible());
        window->SaveButton->setEnabled(true);
        MenuBar1::instance()->updateMenus();
        QVERIFY(FileSave()->Enabled());
        QVERIFY(!FileConnect()->Visible());
        // A disabled item's shortcut does nothing: Ctrl+S with Save off copies nothing.
        window->SaveButton->setEnabled(false);
        platform::setNextSaveAnswerForTesting(platform::FolderItem(Test::homePath() + QStringLiteral("/never.jpg")));
        window->activateWindow();
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!QFile::exists(Test::homePath() + QStringLiteral("/never.jpg")));
        platform::GetSaveFolderItem(QString(), QString()); // use up the answer
    }

    void saveCopiesThePictureAndPlaysSaved_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("sounds");
        QTest::newRow("chosen, sounds on") << false << true;
        QTest::newRow("chosen, sounds off") << false << false;
        QTest::newRow("cancelled") << true << true;
    }
    void saveCopiesThePictureAndPlaysSaved()
    {
        QFETCH(bool, cancel);
        QFETCH(bool, sounds);
        const QString cached = CacheFolder().Child(QStringLiteral("Moon.jpg")).path();
        QVERIFY(Test::writeFileBytes(cached, "picture bytes"));
        Globals::FileName = platform::FolderItem(cached);
        Globals::Name = QStringLiteral("The Moon.jpg");
        Globals::UseSounds = sounds;
        const QString destination = Test::homePath() + QStringLiteral("/Saved Moon.jpg");
        QFile::remove(destination);
        platform::setNextSaveAnswerForTesting(cancel ? platform::FolderItem() : platform::FolderItem(destination));
        const int plays = Saved()->playCount();

        QCOMPARE(m_app->FileSave_Action(), false);

        QCOMPARE(platform::lastSuggestedSaveNameForTesting(), QStringLiteral("The Moon.jpg"));
        QCOMPARE(QFile::exists(destination), !cancel);
        if (!cancel)
            QCOMPARE(Test::readFileBytes(destination), QByteArray("picture bytes"));
        QCOMPARE(Saved()->playCount(), plays + (!cancel && sounds ? 1 : 0));
    }

    void aFailedSaveIsNotCelebrated()
    {
        Globals::FileName = CacheFolder().Child(QStringLiteral("gone.jpg"));
        Globals::UseSounds = true;
        platform::setNextSaveAnswerForTesting(platform::FolderItem(Test::homePath() + QStringLiteral("/copy.jpg")));
        const int plays = Saved()->playCount();
        const int beeps = platform::BeepCount();
        m_app->FileSave_Action();
        QCOMPARE(Saved()->playCount(), plays);
        QCOMPARE(platform::BeepCount(), beeps + 1);
    }

    void linksOpenTheirPages_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("url");
        QTest::newRow("home page") << "LinksStarwickHome"
                                   << "http://" + MakerServer() + "/";
        QTest::newRow("e-mail with the version in its subject")
            << "LinksEmailVessik"
            << "mailto:" + MakerContactAddress() + "?subject=Starwick 1.2.0...";
        QTest::newRow("APOD main page") << "LinksNASAs"
                                        << "http://" + APODServer() + "/apod/lib/aptree.html";
    }
    void linksOpenTheirPages()
    {
        QFETCH(QString, item);
        QFETCH(QString, url);
        platform::MenuItem* menuItem = MenuBar1::instance()->FindItem(item);
        QVERIFY(menuItem);
        QVERIFY(!platform::MenuBar::dispatch(menuItem));
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.constFirst(), QUrl(url));
    }

    void theMainWindowIsInTheWindowMenu()
    {
        WindowMenuItem* menu = MenuBar1::instance()->windowMenu();
        QVERIFY(menu);
        const QStringList expected{"Zoom Window", "Minimize Window", "-", "Bring All To Front", "Starwick"};
        QStringList shown;
        for (int i = 0; i < menu->Count(); ++i) {
            platform::MenuItem* item = menu->Item(i);
            if (item->placement() == platform::MenuItem::Placement::InParent)
                shown.append(item->Text());
        }
        QCOMPARE(shown, expected);
    }
};

STARWICK_TEST_MAIN(TestAppMenus)
#include "tst_appmenus.moc"
