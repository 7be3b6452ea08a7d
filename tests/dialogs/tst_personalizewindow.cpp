// The owner-name sheet over the main window, on a settings file in a temporary home.
#include "browser/mainwindow.h"
#include "dialogs/personalizewindow.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "support/filesizelimit.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <optional>
#include <sys/stat.h>

using namespace Starwick;

namespace {

// A settings file of every line, with the proxy, file-type and frame lines set.
void writeFullFile()
{
    Test::writeSettings({{SettingsLine::ProxyAddress, QStringLiteral("proxy.example")},
                         {SettingsLine::FileType, QStringLiteral("prvw")},
                         {SettingsLine::RememberPosition, QStringLiteral("Remember Position")},
                         {SettingsLine::Top, QStringLiteral("80")},
                         {SettingsLine::Left, QStringLiteral("-12")},
                         {SettingsLine::Width, QStringLiteral("700")}});
}

PersonalizeWindow* openSheet()
{
    MainWindow::existing()->ApplePersonalizethisCopy_Action();
    return PersonalizeWindow::instance();
}

} // namespace

class TestPersonalizeWindow : public QObject
{
    Q_OBJECT

    std::optional<Test::PipeWatch> m_pipeWatch;

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
        // The main window without its requests: the sheet needs only its parent.
        platform::MakeInstance<MainWindow>()->Show();
    }

    void init()
    {
        if (PersonalizeWindow* sheet = platform::ExistingInstance<PersonalizeWindow>())
            sheet->close();
        m_pipeWatch.reset();
        Test::clearHome();
        Globals::ResetForTesting();
    }

    void sheetOverTheMainWindow()
    {
        PersonalizeWindow* sheet = openSheet();
        QCOMPARE(sheet->parentWidget(), MainWindow::existing());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->Title(), QStringLiteral("Personalize"));
        QCOMPARE(QSize(sheet->Width(), sheet->Height()), QSize(429, 113));
        QVERIFY(!sheet->userResizable());
        QCOMPARE(sheet->StaticText2->text(), QStringLiteral("Enter your name to personalize your copy of Starwick:"));
        QCOMPARE(sheet->EditField1->echoMode(), QLineEdit::Normal);
        QCOMPARE(sheet->defaultButton(), sheet->PushButton1);
        QCOMPARE(sheet->PushButton1->text(), QStringLiteral("OK"));
        QCOMPARE(sheet->PushButton2->text(), QStringLiteral("Cancel"));
        QCOMPARE(openSheet(), sheet);
    }

    void okStoresTheNameInLineOneOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a name") << QStringLiteral("Ada Lovelace");
        QTest::newRow("blanks only, stored as typed") << QStringLiteral("   ");
        QTest::newRow("the default words") << QStringLiteral("Not Personalized");
    }

    void okStoresTheNameInLineOneOnly()
    {
        QFETCH(QString, name);
        writeFullFile();
        const QList<QByteArray> before = Test::settingsFileLines();
        const QPointer<PersonalizeWindow> sheet = openSheet();
        QTest::keyClicks(sheet->EditField1, name);
        QTest::keyClick(sheet->EditField1, Qt::Key_Return); // the default button
        QTRY_VERIFY(!sheet || sheet->isClosed());

        QVERIFY(Globals::Registered);
        QCOMPARE(Globals::UserName, name);
        const QList<QByteArray> after = Test::settingsFileLines();
        QCOMPARE(after.size(), 17);
        QCOMPARE(DecodeSetting(QString::fromLatin1(after.at(0))), name);
        QCOMPARE(after.mid(1), before.mid(1));
        if (Test::fileSystemKeepsMacCodes()) {
            QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
            QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
        }
    }

    void anElevenLineFileBecomesSeventeen()
    {
        QDir().mkpath(SettingsFolder().path());
        QVERIFY(WriteDefaultSettingsFile());
        const QList<QByteArray> before = Test::settingsFileLines();
        QCOMPARE(before.size(), 11);
        PersonalizeWindow* sheet = openSheet();
        sheet->EditField1->setText(QStringLiteral("Ada"));
        sheet->PushButton1->click();
        const QList<QByteArray> after = Test::settingsFileLines();
        QCOMPARE(after.size(), 17);
        QCOMPARE(after.mid(1, 10), before.mid(1, 10));
        QCOMPARE(after.mid(11), QList<QByteArray>(6));
    }

    // Every refusal beeps, keeps the sheet open with its text and leaves the owner unset.
    void refusalsBeepAndKeepTheSheet_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("name");
        QTest::newRow("empty name") << "file" << QString();
        QTest::newRow("no settings file") << "none" << QStringLiteral("Ada");
        QTest::newRow("unreadable file (a folder in its place)") << "folder" << QStringLiteral("Ada");
        QTest::newRow("a named pipe in the file's place") << "pipe" << QStringLiteral("Ada");
        QTest::newRow("the write fails (disk full)") << "full" << QStringLiteral("Ada");
    }

    void refusalsBeepAndKeepTheSheet()
    {
        QFETCH(QString, setup);
        QFETCH(QString, name);
        if (setup == QLatin1String("file") || setup == QLatin1String("full"))
            writeFullFile();
        else if (setup == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(SettingsFile().path()));
        const bool pipe = setup == QLatin1String("pipe");
        if (pipe) {
            QVERIFY(QDir().mkpath(SettingsFolder().path()));
            QVERIFY(::mkfifo(QFile::encodeName(SettingsFile().path()).constData(), 0600) == 0);
            m_pipeWatch.emplace(SettingsFile().path());
        }
        // Read only where that cannot wait for a writer.
        const auto content = [pipe] { return pipe ? QByteArray() : Test::readFileBytes(SettingsFile().path()); };
        const QByteArray before = content();

        const QPointer<PersonalizeWindow> sheet = openSheet();
        sheet->EditField1->setText(name);
        const int beeps = platform::BeepCount();
        {
            std::unique_ptr<Test::FileSizeLimit> limit;
            if (setup == QLatin1String("full")) {
                limit = std::make_unique<Test::FileSizeLimit>(100);
                if (!limit->isActive())
                    QSKIP("No file size limit here");
            }
            sheet->PushButton1->click();
        }
        QCOMPARE(platform::BeepCount(), beeps + 1);
        QVERIFY(!sheet->isClosed());
        QCOMPARE(sheet->EditField1->text(), name);
        QVERIFY(!Globals::Registered);
        QCOMPARE(content(), before);
        QCOMPARE(SettingsFile().Directory(), setup == QLatin1String("folder"));
        if (pipe) {
            QCOMPARE(m_pipeWatch->readersSeen(), 0);
            struct stat info;
            QVERIFY(::lstat(QFile::encodeName(SettingsFile().path()).constData(), &info) == 0);
            QVERIFY(S_ISFIFO(info.st_mode));
        }

        // Cancel (Escape) still closes it, the file as it was.
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!sheet || sheet->isClosed());
        QCOMPARE(content(), before);
    }

    void eachOpeningStartsEmpty()
    {
        writeFullFile();
        PersonalizeWindow* sheet = openSheet();
        sheet->EditField1->setText(QStringLiteral("half typed"));
        sheet->PushButton2->click();
        QVERIFY(sheet->isClosed());
        PersonalizeWindow* again = openSheet();
        QVERIFY(again != sheet);
        QCOMPARE(again->EditField1->text(), QString());
    }
};

STARWICK_TEST_MAIN(TestPersonalizeWindow)
#include "tst_personalizewindow.moc"
