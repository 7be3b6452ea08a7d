#include "browser/cachepurge.h"
#include "browser/mainwindow.h"
#include "dialogs/preferences.h"
#include "platform/menubar.h"
#include "platform/system.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

using namespace Starwick;

namespace {} // namespace

class TestQuit : public QObject
{
    Q_OBJECT

    QList<int> m_quitCodes;
    Test::FixtureServer m_server; // the APOD server, whose archive has no days

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        m_server.route(QStringLiteral("/apod/archivepix.html"), Test::FixtureServer::Response::page("<html></html>"));
        setAPODServerForTesting(QStringLiteral("127.0.0.1:%1").arg(m_server.port()));
        platform::setQuitHandlerForTesting([this](int code) { m_quitCodes.append(code); });
    }

    void init()
    {
        Test::clearHome();
        Globals::ResetForTesting();
        m_quitCodes.clear();
        QDir().mkpath(CacheFolder().path());
    }

    void storesTheFrameInAFirstLaunchFile()
    {
        MainWindow* window = MainWindow::instance();
        App app;
        app.Open(); // first launch: the 11-line default file
        const QList<QByteArray> before = Test::readFileBytes(SettingsFile().path()).split('\n');
        window->SetWidth(612);
        window->SetHeight(577);
        window->SetLeft(33);
        window->SetTop(44);

        // Closing the main window is the quit that stores its frame.
        window->close();

        QCOMPARE(m_quitCodes, QList<int>{0});
        const QList<QByteArray> after = Test::readFileBytes(SettingsFile().path()).split('\n');
        QCOMPARE(after.size(), 18); // 17 lines, each ended by a line feed
        for (int i = 0; i < 11; ++i)
            QCOMPARE(after.at(i), before.at(i));
        QCOMPARE(after.at(11), QByteArray());
        QCOMPARE(after.at(14), QByteArray());
        QCOMPARE(after.at(12), QByteArray::number(window->Top()));
        QCOMPARE(after.at(13), QByteArray("33"));
        QCOMPARE(after.at(15), QByteArray("612"));
        QCOMPARE(after.at(16), QByteArray("577"));
        if (Test::fileSystemKeepsMacCodes()) {
            QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
            QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
        }
    }

    // However the program ends, the windows close first, Preferences before the main window,
    // each once: the edits and the main window's frame are both saved.
    void quitClosesTheWindowsFirst_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+Q in Preferences") << "Ctrl+Q";
        QTest::newRow("File > Quit") << "FileQuit";
        QTest::newRow("the main window's close box") << "close";
        QTest::newRow("Globals.DoQuit") << "DoQuit";
    }

    void quitClosesTheWindowsFirst()
    {
        QFETCH(QString, how);
        QVERIFY(WriteDefaultSettingsFile());
        MainWindow* window = MainWindow::instance();
        window->SetWidth(612);
        window->SetHeight(577);
        window->SetLeft(33);
        window->SetTop(44);
        Preferences* preferences = Preferences::instance();
        preferences->UseSoundsCheck->setChecked(false);
        preferences->pAddressField->setText(QStringLiteral("proxy.example"));
        preferences->Show();

        if (how == QLatin1String("Ctrl+Q")) {
            QTRY_VERIFY(preferences->isActiveWindow());
            preferences->pAddressField->setFocus();
            QTest::keyClick(preferences->pAddressField, Qt::Key_Q, Qt::ControlModifier);
        } else if (how == QLatin1String("FileQuit"))
            platform::MenuBar::dispatch(MenuBar1::instance()->FindItem(QStringLiteral("FileQuit")));
        else if (how == QLatin1String("close"))
            window->close();
        else
            Globals::DoQuit();

        QCOMPARE(m_quitCodes, QList<int>{0});
        QVERIFY(preferences->isClosed());
        QVERIFY(window->isClosed());
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(Test::readFileBytes(SettingsFile().path()).count('\n'), 17);
        QCOMPARE(lines.value(SettingsLine::UseSounds), QStringLiteral("Do Not Use Sounds"));
        QCOMPARE(lines.value(SettingsLine::ProxyAddress), QStringLiteral("proxy.example"));
        QCOMPARE(lines.number(SettingsLine::Top), 44);
        QCOMPARE(lines.number(SettingsLine::Left), 33);
        QCOMPARE(lines.number(SettingsLine::Width), 612);
        QCOMPARE(lines.number(SettingsLine::Height), 577);

        // Nothing runs twice: neither a second quit nor the closed windows' Close.
        Globals::DoQuit();
        window->DeleteCache();
        QCOMPARE(m_quitCodes, QList<int>{0});
    }

    void withoutAFileNothingIsMadeAndTheCacheStillGoes()
    {
        MainWindow::instance();
        QVERIFY(Test::writeFileBytes(CacheFolder().Child(QStringLiteral("picture.jpg")).path()));
        Globals::DeleteCache = true;
        Globals::DoQuit();
        QVERIFY(!SettingsFile().Exists());
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QCOMPARE(m_quitCodes, QList<int>{0});
    }

    void keepsTheCacheUnlessAsked()
    {
        MainWindow::instance();
        QVERIFY(Test::writeFileBytes(CacheFolder().Child(QStringLiteral("picture.jpg")).path()));
        Globals::DeleteCache = false;
        Globals::DoQuit();
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList{QStringLiteral("picture.jpg")});
    }

    void purgeKeepsDotFilesAndStaysInTheFolder()
    {
        const QString cache = CacheFolder().path();
        QVERIFY(Test::writeFileBytes(cache + QStringLiteral("/.hidden")));
        QVERIFY(Test::writeFileBytes(cache + QStringLiteral("/a.jpg")));
        QVERIFY(Test::writeFileBytes(cache + QStringLiteral("/b.png")));
        // A link to a file outside the cache goes, the file it points to stays.
        const QString outside = Test::homePath() + QStringLiteral("/outside.jpg");
        QVERIFY(Test::writeFileBytes(outside, "keep me"));
        QVERIFY(QFile::link(outside, cache + QStringLiteral("/link.jpg")));
        // A link to a folder outside is removed as a link; the folder is not entered.
        const QString outsideFolder = Test::homePath() + QStringLiteral("/Photos");
        QDir().mkpath(outsideFolder);
        QVERIFY(Test::writeFileBytes(outsideFolder + QStringLiteral("/mine.jpg")));
        QVERIFY(QFile::link(outsideFolder, cache + QStringLiteral("/photos")));
        // A subfolder is not recursed into.
        QDir().mkpath(cache + QStringLiteral("/sub"));
        QVERIFY(Test::writeFileBytes(cache + QStringLiteral("/sub/inner.jpg")));

        PurgeCache();

        QCOMPARE(Test::folderEntries(CacheFolder().path()),
                 (QStringList{QStringLiteral(".hidden"), QStringLiteral("sub")}));
        QCOMPARE(Test::readFileBytes(outside), QByteArray("keep me"));
        QVERIFY(QFile::exists(outsideFolder + QStringLiteral("/mine.jpg")));
        QVERIFY(QFile::exists(cache + QStringLiteral("/sub/inner.jpg")));
    }

    void purgeOfAnEmptyOrMissingCache()
    {
        PurgeCache();
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QDir(CacheFolder().path()).removeRecursively();
        PurgeCache();
        QVERIFY(!CacheFolder().Exists());
    }
};

STARWICK_TEST_MAIN(TestQuit)
#include "tst_quit.moc"
