#include "browser/httpalert.h"
#include "browser/mainwindow.h"
#include "dialogs/aboutbox.h"
#include "dialogs/noupdatewindow.h"
#include "dialogs/personalizewindow.h"
#include "dialogs/preferences.h"
#include "dialogs/systemeventalert.h"
#include "dialogs/updatecheckwindow.h"
#include "dialogs/updateneeded.h"
#include "platform/system.h"
#include "platform/windowmanager.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>

#include <functional>

using namespace Starwick;

namespace {

using Test::writeSettings;

// Closing a main window is a quit, which stores its frame in the settings file: tests close the
// last one before they lay out the home of the next launch.
void closeMainWindow()
{
    if (MainWindow* old = MainWindow::existing())
        old->close();
}

MainWindow* freshMainWindow()
{
    return MainWindow::instance();
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
    }

    void init()
    {
        closeMainWindow();
        Test::clearHome();
        Globals::ResetForTesting();
    }

    void firstLaunchWritesTheDefaultFileOnly()
    {
        MainWindow* window = freshMainWindow();
        const QRect frame = window->geometry();
        App app;
        app.Open();

        QVERIFY(CacheFolder().Directory());
        const QStringList lines =
            QString::fromUtf8(Test::readFileBytes(SettingsFile().path())).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 11);
        const QStringList expected{"Not Personalized",
                                   "Do Not Check",
                                   "Do Not Delete Cache",
                                   "Use Sounds",
                                   "Do Not Hide Warning",
                                   "",
                                   "",
                                   "",
                                   "",
                                   "Do Not Use Proxy Server",
                                   "8BIM"};
        for (int i = 0; i < 11; ++i)
            QCOMPARE(DecodeSetting(lines.at(i)), expected.at(i));
        if (Test::fileSystemKeepsMacCodes()) {
            QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
            QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
        }
        // The defaults act only from the next launch on.
        QVERIFY(!Globals::UseSounds);
        QVERIFY(Globals::FileTypeName.isEmpty());
        QVERIFY(!Globals::Registered);
        QCOMPARE(window->geometry(), frame);
        QCOMPARE(Globals::LastIndex, 0);
    }

    void secondLaunchReadsCentresAndWritesNothing()
    {
        {
            freshMainWindow();
            App first;
            first.Open();
            closeMainWindow(); // the first quit rewrites the file with the window's frame
        }
        const QByteArray before = Test::readFileBytes(SettingsFile().path());
        const QDateTime modified = QFileInfo(SettingsFile().path()).lastModified();
        Globals::ResetForTesting();
        MainWindow* window = freshMainWindow();
        window->SetLeft(3);
        App second;
        second.Open();
        QVERIFY(Globals::UseSounds);
        QCOMPARE(Globals::FileTypeName, QStringLiteral("8BIM"));
        QCOMPARE(QSize(window->Width(), window->Height()), QSize(540, 545));
        const QRect screen = platform::ScreenAvailableGeometry();
        QCOMPARE(window->Left(), screen.left() + screen.width() / 2 - 270);
        QCOMPARE(Test::readFileBytes(SettingsFile().path()), before);
        QCOMPARE(QFileInfo(SettingsFile().path()).lastModified(), modified);
    }

    // A settings write killed between linking its temporary file and renaming it over the file
    // leaves "Starwick Preferences." and six letters beside it; the next launch removes that and
    // nothing else.
    void leftoversOfACutWrite_data()
    {
        QTest::addColumn<bool>("settingsExist");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("a cut write's file") << true << "Starwick Preferences.RAIIjQ" << true;
        QTest::newRow("a cut write's file at a first launch") << false << "Starwick Preferences.xKqWzb" << true;
        QTest::newRow("seven letters") << true << "Starwick Preferences.backups" << false;
        QTest::newRow("letters and digits") << true << "Starwick Preferences.ab12cd" << false;
        QTest::newRow("another file's name") << true << "Starwick Notes.RAIIjQ" << false;
    }
    void leftoversOfACutWrite()
    {
        QFETCH(bool, settingsExist);
        QFETCH(QString, name);
        QFETCH(bool, removed);
        if (settingsExist)
            writeSettings({{SettingsLine::UserName, "Ada Lovelace"}});
        QDir().mkpath(SettingsFolder().path());
        const QString leftover = SettingsFolder().Child(name).path();
        QVERIFY(Test::writeFileBytes(leftover, "half a settings file"));
        const QByteArray settings = Test::readFileBytes(SettingsFile().path());
        freshMainWindow();
        App app;
        app.Open();
        QCOMPARE(QFile::exists(leftover), !removed);
        QVERIFY(SettingsFile().Exists());
        if (settingsExist) {
            QCOMPARE(Test::readFileBytes(SettingsFile().path()), settings);
            QCOMPARE(Globals::UserName, QStringLiteral("Ada Lovelace"));
        }
    }

    void rememberedFrame_data()
    {
        QTest::addColumn<bool>("position");
        QTest::addColumn<bool>("size");
        QTest::newRow("position and size") << true << true;
        QTest::newRow("position only: layout size, no centring") << true << false;
        QTest::newRow("size only: centred with the remembered width") << false << true;
        QTest::newRow("neither: layout size, centred") << false << false;
    }
    void rememberedFrame()
    {
        QFETCH(bool, position);
        QFETCH(bool, size);
        writeSettings({{SettingsLine::RememberPosition, position ? "Remember Position" : "Do Not Remember Position"},
                       {SettingsLine::RememberSize, size ? "Remember Size" : "Do Not Remember Size"},
                       {SettingsLine::Top, "120"},
                       {SettingsLine::Left, "40"},
                       {SettingsLine::Width, "700"},
                       {SettingsLine::Height, "600"}});
        // As at start-up: the window is made, placed by the application's Open while still
        // hidden, and only then opened and shown.
        MainWindow* window = platform::MakeInstance<MainWindow>();
        QVERIFY(!window->isVisible());
        const int layoutTop = window->Top();
        App app;
        app.Open();
        window->completeOpening();
        QVERIFY(window->isVisible());
        const QSize expectedSize = size ? QSize(700, 600) : QSize(540, 545);
        QCOMPARE(QSize(window->Width(), window->Height()), expectedSize);
        const QRect screen = platform::ScreenAvailableGeometry();
        if (position) {
            QCOMPARE(window->Top(), 120);
            QCOMPARE(window->Left(), 40);
        } else {
            QCOMPARE(window->Top(), layoutTop);
            QCOMPARE(window->Left(), screen.left() + (screen.width() - expectedSize.width()) / 2);
        }
        QCOMPARE(Globals::wTop, 120);
        QCOMPARE(Globals::wWidth, 700);
    }

    void rememberedFrameComesOntoTheScreen_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QPoint>("topLeft"); // the stored Left and Top
        QTest::addColumn<QSize>("stored");   // the stored Width and Height
        QTest::addColumn<bool>("fits");
        // The offscreen screen is 800 x 800; the window's minimum content size is 540 x 545.
        QTest::newRow("fits: exactly as stored") << "Remember Position"
                                                 << "Remember Size" << QPoint(30, 40) << QSize(600, 550) << true;
        QTest::newRow("stored for a larger screen, off the bottom right")
            << "Remember Position"
            << "Remember Size" << QPoint(700, 500) << QSize(600, 550) << false;
        QTest::newRow("position only, off the top left")
            << "Remember Position"
            << "Do Not Remember Size" << QPoint(-400, -300) << QSize(600, 550) << false;
        QTest::newRow("larger than the screen") << "Remember Position"
                                                << "Remember Size" << QPoint(10, 30) << QSize(1300, 1000) << false;
        QTest::newRow("size only, wider than the screen")
            << "Do Not Remember Position"
            << "Remember Size" << QPoint(0, 0) << QSize(1300, 550) << false;
    }
    void rememberedFrameComesOntoTheScreen()
    {
        QFETCH(QString, position);
        QFETCH(QString, size);
        QFETCH(QPoint, topLeft);
        QFETCH(QSize, stored);
        QFETCH(bool, fits);
        writeSettings({{SettingsLine::RememberPosition, position},
                       {SettingsLine::RememberSize, size},
                       {SettingsLine::Top, QString::number(topLeft.y())},
                       {SettingsLine::Left, QString::number(topLeft.x())},
                       {SettingsLine::Width, QString::number(stored.width())},
                       {SettingsLine::Height, QString::number(stored.height())}});
        MainWindow* window = platform::MakeInstance<MainWindow>();
        App app;
        app.Open();
        window->completeOpening();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        const QRect screen = platform::ScreenAvailableGeometry();
        // Once framed, the frame itself lies on the screen.
        QTRY_VERIFY(screen.contains(window->frameGeometry()));
        if (fits) {
            QCOMPARE(QPoint(window->Left(), window->Top()), topLeft);
            QCOMPARE(QSize(window->Width(), window->Height()), stored);
        }
        // Shrunk only as far as the screen, frame and menu bar included: a side that fits keeps its
        // stored length.
        const QSize frame = window->frameGeometry().size() - window->geometry().size();
        const int menuBar = window->Top() - window->geometry().top();
        if (size == u"Remember Size") {
            QCOMPARE(window->Width(), std::min(stored.width(), screen.width() - frame.width()));
            QCOMPARE(window->Height(), std::min(stored.height(), screen.height() - frame.height() - menuBar));
        }
        // The stored values themselves stay as read.
        QCOMPARE(Globals::wLeft, topLeft.x());
        QCOMPARE(Globals::wWidth, stored.width());
    }

    void eachWindowKeepsTheTitleBarButtonsOfItsKind_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<bool>("zoom");
        QTest::addColumn<bool>("close");
        QTest::newRow("main window: a document") << "main" << true << true << true;
        QTest::newRow("Preferences: a document without zoom") << "preferences" << true << false << true;
        QTest::newRow("About box: close box only") << "about" << false << false << true;
        QTest::newRow("HTTP alert: movable modal") << "alert" << false << false << true;
        QTest::newRow("desktop-picture warning: movable modal, resizable") << "warning" << false << false << true;
        QTest::newRow("update check: movable modal") << "check" << false << false << true;
        QTest::newRow("no update: refuses Ctrl+W, no close box") << "no update" << false << false << false;
        QTest::newRow("update needed: refuses Ctrl+W, no close box") << "update needed" << false << false << false;
        QTest::newRow("owner-name sheet") << "personalize" << false << false << false;
    }
    void eachWindowKeepsTheTitleBarButtonsOfItsKind()
    {
        QFETCH(QString, window);
        QFETCH(bool, minimise);
        QFETCH(bool, zoom);
        QFETCH(bool, close);
        MainWindow* main = MainWindow::instance();
        const QHash<QString, std::function<QWidget*()>> make{
            {"main", [main] { return main; }},
            {"preferences", [] { return Preferences::instance(); }},
            {"about", [] { return AboutBox::instance(); }},
            {"alert", [] { return HTTPAlert::instance(); }},
            {"warning", [] { return SystemEventAlert::instance(); }},
            {"check", [] { return UpdateCheckWindow::instance(); }},
            {"no update", [] { return NoUpdateWindow::instance(); }},
            {"update needed", [] { return UpdateNeeded::instance(); }},
            {"personalize", [] { return PersonalizeWindow::instance(); }},
        };
        QWidget* w = make.value(window)();
        QCOMPARE(platform::IsWindowCollapsable(w), minimise);
        QCOMPARE(platform::HasZoomBox(w), zoom);
        QCOMPARE(platform::HasCloseBox(w), close);
        if (w != main)
            w->close();
    }

    void ownerName_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("registered");
        QTest::newRow("not personalized") << "Not Personalized" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a name") << "Ada Lovelace" << true;
        QTest::newRow("a name outside ASCII") << QStringLiteral("Zoë Ørsted") << true;
    }
    void ownerName()
    {
        QFETCH(QString, line);
        QFETCH(bool, registered);
        writeSettings({{SettingsLine::UserName, line}});
        freshMainWindow();
        App app;
        app.Open();
        QCOMPARE(Globals::Registered, registered);
        QCOMPARE(Globals::UserName, line);
    }

    void creatorCode_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        for (const char* code : {"GKON", "MeSa", "8BIM", "prvw"})
            QTest::newRow(code) << code << code;
        QTest::newRow("another code is ignored") << "ABCD"
                                                 << "";
        QTest::newRow("letter case counts") << "gkon"
                                            << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void creatorCode()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        writeSettings({{SettingsLine::FileType, line}});
        freshMainWindow();
        App app;
        app.Open();
        QCOMPARE(Globals::FileTypeName, expected);
    }

    void proxyAndFlags()
    {
        writeSettings({{SettingsLine::DeleteCache, "Delete Cache"},
                       {SettingsLine::UseSounds, "Do Not Use Sounds"},
                       {SettingsLine::HideWarning, "Hide Warning"},
                       {SettingsLine::ProxyAddress, "proxy.example.org"},
                       {SettingsLine::ProxyPort, "3128"},
                       {SettingsLine::ProxyUserName, "ann"},
                       {SettingsLine::ProxyPassword, "sesame"},
                       {SettingsLine::UseProxy, "Do Use Proxy Server"}});
        freshMainWindow();
        App app;
        app.Open();
        QVERIFY(Globals::DeleteCache);
        QVERIFY(!Globals::UseSounds);
        QVERIFY(Globals::HideWarning);
        QVERIFY(Globals::UseProxy);
        QCOMPARE(Globals::pAddress, QStringLiteral("proxy.example.org"));
        QCOMPARE(Globals::pPort, 3128);
        QCOMPARE(Globals::pUserName, QStringLiteral("ann"));
        QCOMPARE(Globals::pPassword, QStringLiteral("sesame"));
    }

    void damagedAndUnreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: a folder stands where the file should be
        QTest::newRow("lines that are not Base64") << QByteArray("%%%\nnot base64 at all\n***\n");
        QTest::newRow("Base64 of no whole blocks") << QByteArray("AAAA\nAAAAAA==\n");
        QTest::newRow("a folder in the file's place") << QByteArray();
    }
    void damagedAndUnreadableFiles()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(SettingsFolder().path());
        if (content.isEmpty()) {
            QVERIFY(QDir().mkpath(SettingsFile().path()));
        } else {
            QVERIFY(Test::writeFileBytes(SettingsFile().path(), content));
        }
        freshMainWindow();
        App app;
        app.Open();
        QVERIFY(!Globals::UseSounds);
        QVERIFY(!Globals::UseProxy);
        QVERIFY(!Globals::Registered);
        QVERIFY(Globals::FileTypeName.isEmpty());
        QCOMPARE(app.settingsProblem().isEmpty(), !content.isEmpty());
        // Nothing replaced what was there.
        if (!content.isEmpty())
            QCOMPARE(Test::readFileBytes(SettingsFile().path()), content);
        else
            QVERIFY(SettingsFile().Directory());
    }
};

STARWICK_TEST_MAIN(TestApp)
#include "tst_app.moc"
