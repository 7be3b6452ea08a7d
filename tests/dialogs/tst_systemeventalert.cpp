// The desktop-picture warning: its layout and texts, what its buttons store in the settings file,
// and the main window's timer that shows it.
#include "browser/mainwindow.h"
#include "dialogs/systemeventalert.h"
#include "platform/scripts.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "shell/desktopscripts.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/fixtureserver.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace Starwick;

namespace {

enum class Press
{
    OK,
    OpenPreferences,
    ReturnKey,
};

// A settings file of all 17 lines, each different, with the warning shown.
QByteArray writeSettingsFile()
{
    Test::writeSettings({{SettingsLine::HideWarning, QStringLiteral("Do Not Hide Warning")},
                         {SettingsLine::ProxyAddress, QStringLiteral("proxy.example")},
                         {SettingsLine::Top, QStringLiteral("40")},
                         {SettingsLine::Left, QStringLiteral("50")},
                         {SettingsLine::RememberSize, QStringLiteral("Remember Size")},
                         {SettingsLine::Width, QStringLiteral("600")},
                         {SettingsLine::Height, QStringLiteral("700")}});
    return Test::readFileBytes(SettingsFile().path());
}

} // namespace

Q_DECLARE_METATYPE(Press)

class TestSystemEventAlert : public QObject
{
    Q_OBJECT

    SystemEventAlert* m_alert = nullptr;

    void press(Press how)
    {
        switch (how) {
        case Press::OK:
            QTest::mouseClick(m_alert->PushButton2, Qt::LeftButton);
            break;
        case Press::OpenPreferences:
            QTest::mouseClick(m_alert->PushButton3, Qt::LeftButton);
            break;
        case Press::ReturnKey:
            QTest::keyClick(m_alert, Qt::Key_Return);
            break;
        }
        QTRY_VERIFY(platform::ExistingInstance<SystemEventAlert>() == nullptr);
    }

    QList<platform::ScriptRun> preferencesRuns() const
    {
        QList<platform::ScriptRun> runs = platform::ScriptService::instance()->recentRuns();
        runs.removeIf([](const platform::ScriptRun& run) { return run.scriptId != OpenDTPrefsScript; });
        return runs;
    }

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
    }

    void init()
    {
        Test::clearHome();
        Globals::ResetForTesting();
        QVERIFY(QDir().mkpath(SettingsFolder().path()));
        platform::ScriptService::instance()->clearRecentRuns();
        m_alert = SystemEventAlert::instance();
    }

    void cleanup()
    {
        if (SystemEventAlert* alert = platform::ExistingInstance<SystemEventAlert>())
            alert->close();
        QTRY_COMPARE(platform::ScriptService::instance()->runningCount(), 0);
    }

    void showsTheWarningAsLaidOut_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::newRow("Canvas1") << "Canvas1" << QRect(20, 20, 64, 64) << "";
        QTest::newRow("StaticText1") << "StaticText1" << QRect(96, 20, 395, 20)
                                     << "Starwick may not set your desktop picture!";
        QTest::newRow("PushButton2") << "PushButton2" << QRect(419, 150, 72, 20) << "OK";
        QTest::newRow("PushButton3") << "PushButton3" << QRect(210, 150, 197, 20) << "Open System Preferences";
        QTest::newRow("CheckBox1") << "CheckBox1" << QRect(20, 151, 163, 20) << "Don't show again";
        // Two paragraphs and the blank after the last word.
        QTest::newRow("MessageText")
            << "MessageText" << QRect(96, 44, 388, 94)
            << "Due to a limitation (aka \"bug\") in OS X, if you have your Desktop Preferences set to change the "
               "Desktop picture automatically, I won't be able to update your image for you!\n\nTo \"fix\" it so "
               "that I can set your desktop picture, open your Desktop Preference pane in the System Preferences "
               "and uncheck the \"Change picture\" check box. ";
    }
    void showsTheWarningAsLaidOut()
    {
        QFETCH(QString, control);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QVERIFY(m_alert->isVisible());
        QCOMPARE(m_alert->Width(), 511);
        QCOMPARE(m_alert->Height(), 191);
        QCOMPARE(m_alert->Title(), QString());
        QCOMPARE(m_alert->defaultButton(), m_alert->PushButton2);
        QVERIFY(!m_alert->CheckBox1->isChecked());
        QWidget* widget = m_alert->content()->findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(QRect(widget->mapTo(m_alert->content(), QPoint(0, 0)), widget->size()), place);
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), text);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), text);
    }

    void beepsWhenItOpensWhateverTheSounds()
    {
        m_alert->close();
        QTRY_VERIFY(platform::ExistingInstance<SystemEventAlert>() == nullptr);
        Globals::UseSounds = false;
        const int beeps = platform::BeepCount();
        m_alert = SystemEventAlert::instance();
        QCOMPARE(platform::BeepCount(), beeps + 1);
    }

    void eitherButtonStoresTheCheckBoxInLineFive_data()
    {
        QTest::addColumn<Press>("how");
        QTest::addColumn<bool>("checked");
        QTest::newRow("OK, checked") << Press::OK << true;
        QTest::newRow("OK, unchecked") << Press::OK << false;
        QTest::newRow("Return, checked") << Press::ReturnKey << true;
        QTest::newRow("Open System Preferences, checked") << Press::OpenPreferences << true;
        QTest::newRow("Open System Preferences, unchecked") << Press::OpenPreferences << false;
    }
    void eitherButtonStoresTheCheckBoxInLineFive()
    {
        QFETCH(Press, how);
        QFETCH(bool, checked);
        const QList<QByteArray> before = writeSettingsFile().split('\n');
        Globals::HideWarning = !checked;
        m_alert->CheckBox1->setChecked(checked);

        press(how);

        QCOMPARE(Globals::HideWarning, checked);
        const QList<QByteArray> after = Test::readFileBytes(SettingsFile().path()).split('\n');
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i) {
            if (i + 1 != SettingsLine::HideWarning)
                QCOMPARE(after.at(i), before.at(i));
        }
        QCOMPARE(DecodeSetting(QString::fromLatin1(after.at(SettingsLine::HideWarning - 1))),
                 checked ? QStringLiteral("Hide Warning") : QStringLiteral("Do Not Hide Warning"));
        QCOMPARE(preferencesRuns().size(), how == Press::OpenPreferences ? 1 : 0);
    }

    void withoutASettingsFileNothingIsWritten_data()
    {
        QTest::addColumn<Press>("how");
        QTest::newRow("OK") << Press::OK;
        QTest::newRow("Open System Preferences still opens them") << Press::OpenPreferences;
    }
    void withoutASettingsFileNothingIsWritten()
    {
        QFETCH(Press, how);
        m_alert->CheckBox1->setChecked(true);
        press(how);
        QVERIFY(!SettingsFile().Exists());
        QCOMPARE(Globals::HideWarning, false);
        QCOMPARE(preferencesRuns().size(), how == Press::OpenPreferences ? 1 : 0);
    }

    void closedAnyOtherWayItStoresNothing()
    {
        const QByteArray before = writeSettingsFile();
        m_alert->CheckBox1->setChecked(true);
        QTest::keyClick(m_alert, Qt::Key_Escape);
        m_alert->close();
        QTRY_VERIFY(platform::ExistingInstance<SystemEventAlert>() == nullptr);
        QCOMPARE(Test::readFileBytes(SettingsFile().path()), before);
        QCOMPARE(Globals::HideWarning, false);
        QVERIFY(preferencesRuns().isEmpty());
    }

    void theMainWindowsTimerShowsItOnceUnlessHidden_data()
    {
        QTest::addColumn<bool>("hiddenWhenItFires");
        QTest::newRow("warning on") << false;
        QTest::newRow("hidden after the window opened") << true;
    }
    void theMainWindowsTimerShowsItOnceUnlessHidden()
    {
        QFETCH(bool, hiddenWhenItFires);
        m_alert->close();
        QTRY_VERIFY(platform::ExistingInstance<SystemEventAlert>() == nullptr);
        Test::FixtureServer server; // answers the archive with "not found"
        QVERIFY(server.start());
        setAPODServerForTesting(QStringLiteral("127.0.0.1:%1").arg(server.port()));
        MainWindow* window = MainWindow::instance();
        QCOMPARE(window->Timer1->Period(), 5000);
        QCOMPARE(window->Timer1->GetMode(), int(platform::Timer::ModeSingle));
        QVERIFY(window->Timer1->isRunning());
        QVERIFY(platform::ExistingInstance<SystemEventAlert>() == nullptr);

        // The setting is read when the timer fires, not when it was armed.
        Globals::HideWarning = hiddenWhenItFires;
        window->Timer1->Action();
        QCOMPARE(platform::ExistingInstance<SystemEventAlert>() == nullptr, hiddenWhenItFires);
        window->close();
    }
};

STARWICK_TEST_MAIN(TestSystemEventAlert)
#include "tst_systemeventalert.moc"
