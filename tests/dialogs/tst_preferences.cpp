// The Preferences window on a settings file in a temporary home: loading, saving every line,
// pages and titles, the proxy box and its fields, Ctrl+W, and the proxy's effect on the next
// request.
#include "browser/mainwindow.h"
#include "dialogs/preferences.h"
#include "platform/system.h"
#include "platform/toolbar.h"
#include "platform/windowmanager.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/filesizelimit.h"
#include "support/fixtureserver.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTimer>

#include <optional>
#include <sys/stat.h>

using namespace Starwick;

namespace {

using Values = QMap<int, QString>;

using Test::writeSettings;

QStringList checkedBoxes(Preferences* w)
{
    QStringList names;
    for (QCheckBox* box : {w->UpdateCheck, w->DelCacheCheck, w->UseSoundsCheck, w->UseProxyCheck, w->WindowPosCheck,
                           w->WindowSizeCheck}) {
        if (box->isChecked())
            names.append(box->objectName());
    }
    return names;
}

void closePreferences()
{
    if (Preferences* w = Preferences::existing())
        w->close();
}

void clickItem(Preferences* w, QAction* item)
{
    QTest::mouseClick(w->Toolbar1->buttonFor(item), Qt::LeftButton);
}

/// The Globals values the Preferences window sets, as text, for a comparison that shows which
/// one differs.
QStringList runValues()
{
    return {QStringLiteral("DeleteCache %1").arg(Globals::DeleteCache),
            QStringLiteral("UseSounds %1").arg(Globals::UseSounds),
            QStringLiteral("UseProxy %1").arg(Globals::UseProxy),
            QStringLiteral("pAddress %1").arg(Globals::pAddress),
            QStringLiteral("pPort %1").arg(Globals::pPort),
            QStringLiteral("pUserName %1").arg(Globals::pUserName),
            QStringLiteral("pPassword %1").arg(Globals::pPassword),
            QStringLiteral("FileTypeName %1").arg(Globals::FileTypeName)};
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

    // Lives until the next test has closed the main window, whose quit writes the settings.
    std::optional<Test::PipeWatch> m_pipeWatch;

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
    }

    void init()
    {
        closePreferences();
        if (MainWindow* main = MainWindow::existing())
            main->close();
        QTRY_VERIFY(!platform::CurrentInstance<MainWindow>());
        m_pipeWatch.reset();
        Test::clearHome();
        Globals::ResetForTesting();
    }

    void cleanup() { closePreferences(); }

    void opensFromTheFile_data()
    {
        QTest::addColumn<int>("fileLines"); // 11: the default file, 17: a full file
        QTest::addColumn<Values>("values");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<int>("popupRow");
        QTest::addColumn<QStringList>("fields"); // address, port, user name, password
        QTest::addColumn<int>("pPort");
        QTest::addColumn<QString>("fileTypeName");

        const QStringList empty{"", "", "", ""};
        QTest::newRow("11-line default file")
            << 11 << Values() << QStringList{"UseSoundsCheck"} << 2 << empty << 0 << QStringLiteral("8BIM");
        QTest::newRow("17 lines, every box on")
            << 17 << Values{{2, "Do Check"},
                            {3, "Delete Cache"},
                            {4, "Use Sounds"},
                            {6, "proxy.example"},
                            {7, "3128"},
                            {8, "ann"},
                            {9, "s3cret"},
                            {10, "Do Use Proxy Server"},
                            {11, "prvw"},
                            {12, "Remember Position"},
                            {13, "10"},
                            {14, "20"},
                            {15, "Remember Size"},
                            {16, "600"},
                            {17, "500"}}
            << QStringList{"UpdateCheck",   "DelCacheCheck",  "UseSoundsCheck",
                           "UseProxyCheck", "WindowPosCheck", "WindowSizeCheck"}
            << 3 << QStringList{"proxy.example", "3128", "ann", "s3cret"} << 3128 << QStringLiteral("prvw");
        QTest::newRow("17 lines, other words count as off, a port that is no number")
            << 17 << Values{{2, "do check"}, {4, "Do Not Use Sounds"}, {7, "eighty"},
                            {11, "MeSa"},    {12, "Remember Size"},    {15, "yes"}}
            << QStringList() << 1 << QStringList{"", "eighty", "", ""} << 0 << QStringLiteral("MeSa");
        QTest::newRow("a stored creator code outside the four")
            << 17 << Values{{11, "ABCD"}} << QStringList{"UseSoundsCheck"} << 0 << empty << 0 << QStringLiteral("ABCD");
    }

    void opensFromTheFile()
    {
        QFETCH(int, fileLines);
        QFETCH(Values, values);
        QFETCH(QStringList, checked);
        QFETCH(int, popupRow);
        QFETCH(QStringList, fields);
        QFETCH(int, pPort);
        QFETCH(QString, fileTypeName);

        if (fileLines == 11) {
            QDir().mkpath(SettingsFolder().path());
            QVERIFY(WriteDefaultSettingsFile());
        } else if (fileLines == 17) {
            writeSettings(values);
        }
        const QByteArray before = Test::readFileBytes(SettingsFile().path());

        Preferences* w = Preferences::instance();
        QCOMPARE(checkedBoxes(w), checked);
        QCOMPARE(w->TypePopup->currentIndex(), popupRow);
        QCOMPARE((QStringList{w->pAddressField->text(), w->pPortField->text(), w->pUsernameField->text(),
                              w->pPasswordField->text()}),
                 fields);
        QCOMPARE(Globals::pAddress, fields.at(0));
        QCOMPARE(Globals::pPort, pPort);
        QCOMPARE(Globals::pUserName, fields.at(2));
        QCOMPARE(Globals::pPassword, fields.at(3));
        QCOMPARE(Globals::FileTypeName, fileTypeName);
        // Opening reads only; the settings that act at once are set by the close.
        QVERIFY(!Globals::UseProxy);
        QVERIFY(!Globals::DeleteCache);
        QVERIFY(!Globals::UseSounds);
        QCOMPARE(Test::readFileBytes(SettingsFile().path()), before);
        QCOMPARE(w->pPasswordField->echoMode(), QLineEdit::Password);
    }

    void closeWritesEveryLine()
    {
        // Line 1 holds a name, line 5 a damaged line: both go back byte for byte.
        writeSettings({{1, "Ada"}, {13, "1"}, {14, "2"}, {16, "3"}, {17, "4"}});
        {
            SettingsLines lines = ReadSettingsFile();
            lines.setRaw(SettingsLine::HideWarning, QStringLiteral("not*base64 at all"));
            QVERIFY(WriteSettingsFile(lines));
        }
        const QList<QByteArray> before = Test::settingsFileLines();
        MainWindow* main = platform::MakeInstance<MainWindow>();
        main->SetWidth(612);
        main->SetHeight(577);
        main->SetLeft(33);
        main->SetTop(44);

        Preferences* w = Preferences::instance();
        w->UpdateCheck->setChecked(true);
        w->DelCacheCheck->setChecked(true);
        w->UseSoundsCheck->setChecked(false);
        w->WindowPosCheck->setChecked(true);
        w->UseProxyCheck->setChecked(true);
        w->pAddressField->setText(QStringLiteral("  proxy.example\t"));
        w->pPortField->setText(QStringLiteral(" 8080 "));
        w->pUsernameField->setText(QStringLiteral(" ann "));
        w->pPasswordField->setText(QStringLiteral(" pass word "));
        w->TypePopup->setCurrentIndex(1);
        w->close();

        const QList<QByteArray> after = Test::settingsFileLines();
        QCOMPARE(after.size(), 17);
        QCOMPARE(after.at(0), before.at(0));
        QCOMPARE(after.at(4), QByteArray("not*base64 at all"));
        const SettingsLines lines = ReadSettingsFile();
        const QStringList expected{"Ada",
                                   "Do Check",
                                   "Delete Cache",
                                   "Do Not Use Sounds",
                                   "",
                                   "proxy.example",
                                   "8080",
                                   "ann",
                                   "pass word",
                                   "Do Use Proxy Server",
                                   "MeSa",
                                   "Remember Position",
                                   QString::number(main->Top()),
                                   "33",
                                   "Do Not Remember Size",
                                   "612",
                                   "577"};
        for (int line = 1; line <= 17; ++line)
            QCOMPARE(lines.value(line), expected.at(line - 1));
        QCOMPARE(main->Top(), 44);
        QVERIFY(Globals::DeleteCache);
        QVERIFY(!Globals::UseSounds);
        QVERIFY(Globals::UseProxy);
        QCOMPARE(Globals::pAddress, QStringLiteral("proxy.example"));
        QCOMPARE(Globals::pPort, 8080);
        QCOMPARE(Globals::pUserName, QStringLiteral("ann"));
        QCOMPARE(Globals::pPassword, QStringLiteral("pass word"));
        QCOMPARE(Globals::FileTypeName, QStringLiteral("MeSa"));
        if (Test::fileSystemKeepsMacCodes()) {
            QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
            QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
        }
    }

    void closeOfAnUntouchedWindowWithAnOutsideCode()
    {
        // An 11-line file becomes 17 lines; the unknown creator code is written as row 0's.
        QDir().mkpath(SettingsFolder().path());
        writeSettings({{11, "ABCD"}});
        MainWindow* main = platform::MakeInstance<MainWindow>();
        Preferences::instance()->close();
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.value(SettingsLine::FileType), QStringLiteral("GKON"));
        QCOMPARE(Globals::FileTypeName, QStringLiteral("GKON"));
        QCOMPARE(lines.number(SettingsLine::Width), main->Width());
        QCOMPARE(lines.number(SettingsLine::Height), main->Height());
        QCOMPARE(lines.value(SettingsLine::ProxyPort), QString());
    }

    void withoutAMainWindowTheFrameLinesStay()
    {
        writeSettings({{13, "11"}, {14, "12"}, {16, "613"}, {17, "514"}});
        Preferences::instance()->close();
        QVERIFY(!platform::CurrentInstance<MainWindow>());
        const QList<QByteArray> lines = Test::settingsFileLines();
        QCOMPARE(lines.size(), 17);
        QCOMPARE(lines.at(12), QByteArray("11"));
        QCOMPARE(lines.at(13), QByteArray("12"));
        QCOMPARE(lines.at(15), QByteArray("613"));
        QCOMPARE(lines.at(16), QByteArray("514"));
    }

    // Without a file to load from, the window shows the run's values, so that closing it
    // untouched changes none of them; nothing is written.
    void noFileShowsTheRunsValuesAndAnUntouchedCloseKeepsThem_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<bool>("launchRead"); // the values a launch read from a file, or none

        QTest::newRow("first launch: the initial values") << false << false;
        QTest::newRow("the file went away during the run") << false << true;
        QTest::newRow("an unreadable file (a folder in its place)") << true << true;
    }

    void noFileShowsTheRunsValuesAndAnUntouchedCloseKeepsThem()
    {
        QFETCH(bool, unreadable);
        QFETCH(bool, launchRead);
        if (unreadable)
            QVERIFY(QDir().mkpath(SettingsFile().path()));
        if (launchRead) {
            Globals::DeleteCache = true;
            Globals::UseSounds = false;
            Globals::UseProxy = true;
            Globals::pAddress = QStringLiteral("proxy.example");
            Globals::pPort = 3128;
            Globals::pUserName = QStringLiteral("ann");
            Globals::pPassword = QStringLiteral("s3cret");
            Globals::FileTypeName = QStringLiteral("prvw");
        }
        const QStringList before = runValues();

        Preferences* w = Preferences::instance();
        QCOMPARE(checkedBoxes(w), launchRead ? QStringList({"DelCacheCheck", "UseProxyCheck"}) : QStringList());
        QCOMPARE(w->TypePopup->currentIndex(), launchRead ? 3 : 0);
        QCOMPARE((QStringList{w->pAddressField->text(), w->pPortField->text(), w->pUsernameField->text(),
                              w->pPasswordField->text()}),
                 launchRead ? QStringList({"proxy.example", "3128", "ann", "s3cret"}) : QStringList({"", "", "", ""}));
        w->close();
        QCOMPARE(runValues(), before);
        QCOMPARE(SettingsFile().Exists(), unreadable);
    }

    // With no file, or one that cannot be read, nothing is written, but the run takes the values.
    void noFileOrAnUnreadableOneStillSetsTheRunsValues_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("no file") << false;
        QTest::newRow("unreadable file (a folder in its place)") << true;
    }

    void noFileOrAnUnreadableOneStillSetsTheRunsValues()
    {
        QFETCH(bool, unreadable);
        if (unreadable)
            QVERIFY(QDir().mkpath(SettingsFile().path()));
        Preferences* w = Preferences::instance();
        w->UseProxyCheck->setChecked(true);
        w->pAddressField->setText(QStringLiteral(" 127.0.0.1 "));
        w->pPortField->setText(QStringLiteral("3128"));
        w->DelCacheCheck->setChecked(true);
        w->TypePopup->setCurrentIndex(2);
        clickItem(w, w->ToolbarItem3);
        w->close();
        QCOMPARE(Globals::PanelValue, 2);
        QVERIFY(Globals::UseProxy);
        QVERIFY(Globals::DeleteCache);
        QVERIFY(!Globals::UseSounds); // untouched: as the run had it
        QCOMPARE(Globals::pAddress, QStringLiteral("127.0.0.1"));
        QCOMPARE(Globals::pPort, 3128);
        QCOMPARE(Globals::FileTypeName, QStringLiteral("8BIM"));
        QCOMPARE(SettingsFile().Exists(), unreadable);
        QCOMPARE(SettingsFile().Directory(), unreadable);
    }

    // A close that cannot store the settings says so: a beep, and the cause in the main window's
    // status line. The values act for the run all the same.
    void failedSaveBeepsAndSaysWhy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("status"); // empty: nothing to tell

        QTest::newRow("a full disk (a file size limit)") << "full"
                                                         << "Preferences not saved: file too large.";
        QTest::newRow("a named pipe in the file's place") << "pipe"
                                                          << "Preferences not saved: the file is a named pipe.";
        QTest::newRow("no file: nothing to save into") << "none" << QString();
    }

    void failedSaveBeepsAndSaysWhy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, status);
        if (kind == QLatin1String("full")) {
            writeSettings({});
        } else if (kind == QLatin1String("pipe")) {
            QVERIFY(QDir().mkpath(SettingsFolder().path()));
            QVERIFY(::mkfifo(QFile::encodeName(SettingsFile().path()).constData(), 0600) == 0);
            m_pipeWatch.emplace(SettingsFile().path());
        }
        const QByteArray before = kind == QLatin1String("full") ? Test::readFileBytes(SettingsFile().path()) : "";
        MainWindow* main = platform::MakeInstance<MainWindow>();
        const QString idle = main->StatsText->text();
        const int beeps = platform::BeepCount();

        Preferences* w = Preferences::instance();
        w->UseSoundsCheck->setChecked(false);
        w->DelCacheCheck->setChecked(true);
        {
            std::optional<Test::FileSizeLimit> limit;
            if (kind == QLatin1String("full")) {
                limit.emplace(100);
                if (!limit->isActive())
                    QSKIP("The file size limit cannot be set here.");
            }
            w->close();
        }
        QCOMPARE(platform::BeepCount(), beeps + (status.isEmpty() ? 0 : 1));
        QCOMPARE(main->StatsText->text(), status.isEmpty() ? idle : status);
        QVERIFY(!Globals::UseSounds);
        QVERIFY(Globals::DeleteCache);
        if (kind == QLatin1String("full"))
            QCOMPARE(Test::readFileBytes(SettingsFile().path()), before);
        if (m_pipeWatch)
            QCOMPARE(m_pipeWatch->readersSeen(), 0);
    }

    void pagesByPanelValue_data()
    {
        QTest::addColumn<int>("panelValue");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("General") << 0 << 137 << 0 << "General";
        QTest::newRow("Files") << 1 << 54 << 1 << "Files";
        QTest::newRow("Network") << 2 << 181 << 2 << "Network";
        QTest::newRow("no page: the layout") << 7 << 337 << 0 << "Preferences";
    }

    void pagesByPanelValue()
    {
        QFETCH(int, panelValue);
        QFETCH(int, height);
        QFETCH(int, page);
        QFETCH(QString, title);

        int madeTop = 0;
        {
            Preferences made; // as the layout places it, before it opens
            madeTop = made.Top();
            QCOMPARE(QSize(made.Width(), made.Height()), QSize(364, 337));
        }
        Globals::PanelValue = panelValue;
        Preferences* w = Preferences::instance();
        QCOMPARE(QSize(w->Width(), w->Height()), QSize(364, height));
        QCOMPARE(w->Top(), madeTop + 54);
        QCOMPARE(w->PagePanel1->currentIndex(), page);
        QCOMPARE(w->Title(), title);
        QVERIFY(w->focusWidget() != w->UseProxyCheck); // opening leaves the focus alone
        QVERIFY(!w->userResizable());
    }

    void toolbarItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("focusOnProxyBox");
        QTest::newRow("General") << "ToolbarItem1" << 137 << 0 << "General" << false;
        QTest::newRow("Files") << "ToolbarItem2" << 54 << 1 << "Files" << false;
        QTest::newRow("Network") << "ToolbarItem3" << 181 << 2 << "Network" << true;
    }

    void toolbarItems()
    {
        QFETCH(QString, item);
        QFETCH(int, height);
        QFETCH(int, page);
        QFETCH(QString, title);
        QFETCH(bool, focusOnProxyBox);

        Globals::PanelValue = 1;
        Preferences* w = Preferences::instance();
        w->Show();
        const int top = w->Top();
        const int left = w->Left();
        QAction* action = w->Toolbar1->Item(item);
        QVERIFY(action);
        QVERIFY(!action->icon().isNull());
        QCOMPARE(action->text(), title);
        for (int click = 0; click < 2; ++click) { // a click on the page shown does the same again
            clickItem(w, action);
            QCOMPARE(QSize(w->Width(), w->Height()), QSize(364, height));
            QCOMPARE(QPoint(w->Left(), w->Top()), QPoint(left, top));
            QCOMPARE(w->PagePanel1->currentIndex(), page);
            QCOMPARE(w->Title(), title);
            QCOMPARE(w->focusWidget() == w->UseProxyCheck, focusOnProxyBox);
        }
        QCOMPARE(Globals::PanelValue, 1); // the close stores the page, not the click
    }

    // The close box clicked while the window still grows to a page's height: the window saves
    // and goes only once the toolbar's click has been handled, and shows no page after its close.
    void closedWhileItsPageResizes()
    {
        writeSettings({});
        const QPointer<Preferences> w = Preferences::instance();
        QVERIFY(w->isVisible());

        platform::setWindowTransitionsAnimatedForTesting(true);
        QTimer::singleShot(0, w, [w] { w->close(); });
        clickItem(w, w->ToolbarItem3);
        platform::setWindowTransitionsAnimatedForTesting(std::nullopt);

        QVERIFY(w);
        QVERIFY(w->isClosed());
        QCOMPARE(w->Title(), QStringLiteral("General"));
        QCOMPARE(Globals::PanelValue, 0);
        QCOMPARE(Test::settingsFileLines().size(), 17);
        Test::releaseClosedWindows();
        QVERIFY(!w);
    }

    void lastPageOpensAgainInTheSameRun()
    {
        Preferences* w = Preferences::instance();
        QCOMPARE(w->Title(), QStringLiteral("General"));
        clickItem(w, w->ToolbarItem2);
        w->close();
        QCOMPARE(Globals::PanelValue, 1);
        Preferences* again = Preferences::instance();
        QVERIFY(again != w);
        QCOMPARE(again->Title(), QStringLiteral("Files"));
        QCOMPARE(QSize(again->Width(), again->Height()), QSize(364, 54));
    }

    void proxyBoxDrivesTheFields()
    {
        writeSettings({{6, "proxy.example"}, {7, "3128"}, {10, "Do Use Proxy Server"}});
        Preferences* w = Preferences::instance();
        const QList<QLineEdit*> fields{w->pAddressField, w->pPortField, w->pUsernameField, w->pPasswordField};
        // Loading the checked box raised its Action: the fields follow it, the focus is in the address.
        for (QLineEdit* field : fields)
            QVERIFY(field->isEnabled());
        QCOMPARE(w->focusWidget(), w->pAddressField);

        w->UseProxyCheck->setChecked(false);
        for (QLineEdit* field : fields)
            QVERIFY(!field->isEnabled());
        QCOMPARE(w->pAddressField->text(), QStringLiteral("proxy.example"));
        w->close();
        SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.value(SettingsLine::UseProxy), QStringLiteral("Do Not Use Proxy Server"));
        QCOMPARE(lines.value(SettingsLine::ProxyAddress), QStringLiteral("proxy.example"));

        // Opened with the box off, the fields are enabled as made; checking it puts the focus in the address.
        w = Preferences::instance();
        QVERIFY(!w->UseProxyCheck->isChecked());
        clickItem(w, w->ToolbarItem3);
        QCOMPARE(w->focusWidget(), w->UseProxyCheck);
        for (QLineEdit* field : {w->pAddressField, w->pPortField, w->pUsernameField, w->pPasswordField})
            QVERIFY(field->isEnabled());
        w->UseProxyCheck->setChecked(true);
        QCOMPARE(w->focusWidget(), w->pAddressField);
    }

    void commandWClosesAndSaves_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Shift+W") << int(Qt::Key_W) << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
        QTest::newRow("w alone") << int(Qt::Key_W) << int(Qt::NoModifier) << false;
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << int(Qt::ControlModifier) << false;
    }

    void commandWClosesAndSaves()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        QDir().mkpath(SettingsFolder().path());
        QVERIFY(WriteDefaultSettingsFile());
        Preferences* w = Preferences::instance();
        w->Show();
        w->UpdateCheck->setChecked(true);
        // Typed in a field, as a user would: the field takes plain keys, the window Ctrl+W.
        clickItem(w, w->ToolbarItem3);
        w->pAddressField->setFocus();
        QTest::keyClick(w->pAddressField, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w->isClosed(), closes);
        QCOMPARE(Test::settingsFileLines().size(), closes ? 17 : 11);
        if (closes)
            QCOMPARE(ReadSettingsFile().value(SettingsLine::CheckForUpdates), QStringLiteral("Do Check"));
    }

    void commandWFromTheOpenedFilePopupClosesAndSaves()
    {
        QDir().mkpath(SettingsFolder().path());
        QVERIFY(WriteDefaultSettingsFile());
        Preferences* w = Preferences::instance();
        w->Show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        clickItem(w, w->ToolbarItem2);
        w->TypePopup->setCurrentIndex(2);
        // The pop-up is opened with a click and left with Escape; it keeps the focus.
        QTest::mouseClick(w->TypePopup, Qt::LeftButton);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCOMPARE(QApplication::focusWidget(), w->TypePopup);
        QTest::keyClick(w->TypePopup, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(w->isClosed());
        QCOMPARE(Test::settingsFileLines().size(), 17);
        QCOMPARE(ReadSettingsFile().value(SettingsLine::FileType), QStringLiteral("8BIM"));
    }

    void proxyActsOnTheNextRequest()
    {
        Test::FixtureServer server;
        QVERIFY(server.start());
        server.route(QStringLiteral("/apod/archivepix.html"), Test::FixtureServer::Response::page("<html></html>"));
        writeSettings({});
        MainWindow* main = platform::MakeInstance<MainWindow>();

        Preferences* w = Preferences::instance();
        clickItem(w, w->ToolbarItem3);
        QTest::mouseClick(w->UseProxyCheck, Qt::LeftButton, {}, QPoint(6, w->UseProxyCheck->height() / 2));
        QVERIFY(w->UseProxyCheck->isChecked());
        QTest::keyClicks(w->focusWidget(), QStringLiteral("127.0.0.1 "));
        w->pPortField->setFocus();
        QTest::keyClicks(w->pPortField, QStringLiteral(" %1").arg(server.port()));
        w->close();

        main->FileConnect_Action();
        QTRY_VERIFY(!server.requests().isEmpty());
        const Test::FixtureServer::Request& request = server.requests().constFirst();
        QVERIFY(request.proxied());
        QCOMPARE(request.target, QByteArray("http://" + APODServer().toUtf8() + "/apod/archivepix.html"));

        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.value(SettingsLine::UseProxy), QStringLiteral("Do Use Proxy Server"));
        QCOMPARE(lines.value(SettingsLine::ProxyAddress), QStringLiteral("127.0.0.1"));
        QCOMPARE(lines.value(SettingsLine::ProxyPort), QString::number(server.port()));
        main->TCPSocket1->Disconnect();
    }
};

STARWICK_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
