// Save and Set in the real main window, with a picture shown from a small APOD site served on this
// machine, the real desktop script, and a stand-in for the desktop's own tool.
#include "browser/mainwindow.h"
#include "platform/folderitem.h"
#include "platform/savedialog.h"
#include "platform/scripts.h"
#include "platform/system.h"
#include "shell/app.h"
#include "shell/desktopscripts.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/resources.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

using namespace Starwick;
using Test::ApodDay;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

constexpr int kPictureRow = 1; // ap241220, a PNG

enum class Way
{
    SaveButton,
    FileSave,
    SetButton,
};

QString desktopFolder()
{
    return Test::homePath() + QStringLiteral("/Pictures/Starwick Images");
}

// Sets the user's Pictures folder in user-dirs.dirs, as the desktop's own settings write it.
void setPicturesFolder(const QByteArray& value)
{
    QVERIFY(Test::writeFileBytes(Test::homePath() + QStringLiteral("/.config/user-dirs.dirs"),
                                 "XDG_PICTURES_DIR=\"" + value + "\"\n"));
}

// A stand-in for gsettings that writes each call's arguments, one line per call, each argument in
// brackets, and ends with `exitCode`.
void installFakeGsettings(int exitCode)
{
    const QString bin = Test::homePath() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    QFile tool(bin + QStringLiteral("/gsettings"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done >> \"$HOME/gsettings.log\"\n"
               "echo >> \"$HOME/gsettings.log\"\nexit " +
               QByteArray::number(exitCode) + "\n");
    tool.close();
    QVERIFY(tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

// The calls of the stand-in, each as its arguments, with a file URI turned back into its path.
QList<QStringList> gsettingsCalls()
{
    QList<QStringList> calls;
    const QByteArray log = Test::readFileBytes(Test::homePath() + QStringLiteral("/gsettings.log"));
    for (const QByteArray& line : log.split('\n')) {
        if (line.isEmpty())
            continue;
        QStringList arguments;
        for (const QByteArray& argument : line.mid(1, line.size() - 2).split(']')) {
            const QByteArray text = argument.startsWith('[') ? argument.mid(1) : argument;
            arguments.append(text.startsWith("file://") ? QUrl::fromEncoded(text, QUrl::StrictMode).toLocalFile()
                                                        : QString::fromUtf8(text));
        }
        calls.append(arguments);
    }
    return calls;
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestSaveSet : public QObject
{
    Q_OBJECT

    std::unique_ptr<App> m_app;
    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<ApodSite> m_site;
    MainWindow* m_window = nullptr;

    const ApodDay& day() const { return m_site->days().at(kPictureRow); }
    QString statusText() const { return m_window->StatsText->text(); }

    void press(Way way)
    {
        switch (way) {
        case Way::SaveButton:
            QTest::mouseClick(m_window->SaveButton, Qt::LeftButton);
            break;
        case Way::FileSave:
            QVERIFY(!platform::MenuBar::dispatch(FileSave()));
            break;
        case Way::SetButton:
            QTest::mouseClick(m_window->SetButton, Qt::LeftButton);
            break;
        }
    }

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
        platform::setUrlOpenerForTesting([](const QUrl&) {});
        m_app = std::make_unique<App>();
        MenuBar1::instance();
        m_app->registerMenuHandlers();
        qputenv("PATH", QFile::encodeName(Test::homePath() + QStringLiteral("/bin:")) + qgetenv("PATH"));
    }

    void init()
    {
        Test::clearHome();
        Globals::ResetForTesting();
        qunsetenv("XDG_CURRENT_DESKTOP");
        QDir().mkpath(CacheFolder().path());
        QVERIFY(Test::serveApodSite(m_server, m_site));
        m_window = MainWindow::instance();
        QTRY_COMPARE(m_window->StatsText->text(), QStringLiteral("This day has no picture to show."));
        Globals::LastIndex = kPictureRow;
        m_window->GetSelectedPage();
        QTRY_VERIFY(m_window->SaveButton->isEnabled());
        QCOMPARE(Globals::FileName, CacheFolder().Child(day().cacheName));
        platform::ScriptService::instance()->clearRecentRuns();
    }

    void cleanup()
    {
        QTRY_COMPARE(platform::ScriptService::instance()->runningCount(), 0);
        if (MainWindow* window = MainWindow::existing())
            window->close();
        m_window = nullptr;
        m_site.reset();
        m_server.reset();
    }

    void saveCopiesThePicture_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("sounds");
        QTest::addColumn<QString>("creator");  // the setting
        QTest::addColumn<QString>("expected"); // the copy's
        QTest::newRow("Save, sounds on, creator 8BIM") << Way::SaveButton << false << true << "8BIM"
                                                       << "8BIM";
        QTest::newRow("Save, sounds off, no creator code") << Way::SaveButton << false << false << ""
                                                           << "";
        QTest::newRow("Save cancelled") << Way::SaveButton << true << true << "8BIM"
                                        << "";
        QTest::newRow("File > Save gives no creator code") << Way::FileSave << false << true << "8BIM"
                                                           << "";
    }
    void saveCopiesThePicture()
    {
        QFETCH(Way, way);
        QFETCH(bool, cancel);
        QFETCH(bool, sounds);
        QFETCH(QString, creator);
        QFETCH(QString, expected);
        Globals::UseSounds = sounds;
        Globals::FileTypeName = creator;
        const QString destination = Test::homePath() + QStringLiteral("/My Copy.png");
        platform::setNextSaveAnswerForTesting(cancel ? platform::FolderItem() : platform::FolderItem(destination));
        const int saved = Saved()->playCount();
        const int beeps = platform::BeepCount();
        const QString status = statusText();

        press(way);

        QCOMPARE(platform::lastSuggestedSaveNameForTesting(), day().title + QStringLiteral(".png"));
        QCOMPARE(QFile::exists(destination), !cancel);
        if (!cancel) {
            QCOMPARE(Test::readFileBytes(destination), day().pictureBytes);
            if (Test::fileSystemKeepsMacCodes())
                QCOMPARE(platform::FolderItem(destination).MacCreator(), expected);
        }
        QCOMPARE(Saved()->playCount(), saved + (sounds && !cancel ? 1 : 0));
        QCOMPARE(platform::BeepCount(), beeps);
        QCOMPARE(statusText(), status);
    }

    void aFailedCopyBeepsAndSaysWhat_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("cacheCleared"); // else the destination cannot be written
        QTest::addColumn<QString>("said");
        const QString gone = QStringLiteral("the picture is gone; show the day again.");
        QTest::newRow("Save after Clear Image Cache") << Way::SaveButton << true << "Not saved: " + gone;
        QTest::newRow("File > Save after Clear Image Cache") << Way::FileSave << true << "Not saved: " + gone;
        QTest::newRow("Set after Clear Image Cache") << Way::SetButton << true << "Not set: " + gone;
        QTest::newRow("Save into a place that cannot be written")
            << Way::SaveButton << false << "Not saved: Cannot write";
        QTest::newRow("Set where the folder cannot be made")
            << Way::SetButton << false << "Not set: the folder \"Starwick Images\" cannot be made.";
    }
    void aFailedCopyBeepsAndSaysWhat()
    {
        QFETCH(Way, way);
        QFETCH(bool, cacheCleared);
        QFETCH(QString, said);
        Globals::UseSounds = true;
        Globals::FileTypeName = QStringLiteral("8BIM");
        QString destination = Test::homePath() + QStringLiteral("/copy.png");
        if (cacheCleared) {
            m_window->AppleClearImageCache_Action();
            QVERIFY(!Globals::FileName.Exists());
        } else {
            // A file stands where the folder of the copy would have to be.
            QFile blocker(Test::homePath() + QStringLiteral("/Pictures"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            destination = blocker.fileName() + QStringLiteral("/copy.png");
        }
        platform::setNextSaveAnswerForTesting(platform::FolderItem(destination));
        const int beeps = platform::BeepCount();
        const int saved = Saved()->playCount();

        press(way);

        QCOMPARE(platform::BeepCount(), beeps + 1);
        QVERIFY2(statusText().startsWith(said), qPrintable(statusText()));
        QCOMPARE(Saved()->playCount(), saved);
        QVERIFY(!QFile::exists(destination));
        QVERIFY(platform::ScriptService::instance()->recentRuns().isEmpty());
        // A picture that is gone is told at the press: no name is asked for.
        QCOMPARE(platform::hasNextSaveAnswerForTesting(), cacheCleared || way == Way::SetButton);
        if (platform::hasNextSaveAnswerForTesting())
            platform::GetSaveFolderItem(QString(), QString()); // use up the unused answer
    }

    void setHandsTheCopyToTheDesktop_data()
    {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<int>("toolExit");
        QTest::addColumn<bool>("sounds");
        QTest::addColumn<bool>("olderCopy");
        QTest::addColumn<bool>("picturesIsHome"); // user-dirs.dirs makes the home folder the Pictures folder
        QTest::addColumn<QString>("failure");     // empty: the desktop took it
        QTest::newRow("GNOME takes it, sounds on") << QByteArray("GNOME") << 0 << true << false << false << "";
        QTest::newRow("GNOME takes it, sounds off") << QByteArray("ubuntu:GNOME") << 0 << false << false << false << "";
        QTest::newRow("an older copy of the name is replaced")
            << QByteArray("GNOME") << 0 << true << true << false << "";
        QTest::newRow("the Pictures folder is the home folder")
            << QByteArray("GNOME") << 0 << true << false << true << "";
        // The script keeps 1 to 3 for its own answers.
        QTest::newRow("the desktop's tool fails with 1") << QByteArray("GNOME") << 1 << true << false << false
                                                         << "Not set: the desktop refused the picture (status 4).";
        QTest::newRow("the desktop's tool fails with 9") << QByteArray("GNOME") << 9 << true << false << false
                                                         << "Not set: the desktop refused the picture (status 9).";
        QTest::newRow("no desktop it knows") << QByteArray() << 0 << true << false << false
                                             << "Not set: Starwick cannot set the picture of this desktop.";
    }
    void setHandsTheCopyToTheDesktop()
    {
        QFETCH(QByteArray, desktop);
        QFETCH(int, toolExit);
        QFETCH(bool, sounds);
        QFETCH(bool, olderCopy);
        QFETCH(bool, picturesIsHome);
        QFETCH(QString, failure);
        if (!desktop.isEmpty())
            qputenv("XDG_CURRENT_DESKTOP", desktop);
        installFakeGsettings(toolExit);
        Globals::UseSounds = sounds;
        if (picturesIsHome)
            setPicturesFolder("$HOME");
        const QString folder = picturesIsHome ? Test::homePath() + QStringLiteral("/Starwick Images") : desktopFolder();
        const QString copy = folder + u'/' + day().cacheName;
        if (olderCopy) {
            QVERIFY(QDir().mkpath(folder));
            QFile older(copy);
            QVERIFY(older.open(QIODevice::WriteOnly));
            older.write("another day's picture");
        }
        QSignalSpy finished(platform::ScriptService::instance(), &platform::ScriptService::finished);
        const int played = SaveToDT()->playCount();
        const int beeps = platform::BeepCount();
        const QString status = statusText();

        press(Way::SetButton);

        // The folders are made and the copy is in place before the script runs.
        QCOMPARE(Test::readFileBytes(copy), day().pictureBytes);
        const QList<platform::ScriptRun> runs = platform::ScriptService::instance()->recentRuns();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.constFirst().scriptId, SetDTPicScript);
        QCOMPARE(runs.constFirst().arguments(), QStringList{copy});
        // Nothing is told before the script ends.
        QCOMPARE(SaveToDT()->playCount(), played);
        QCOMPARE(platform::BeepCount(), beeps);

        QTRY_COMPARE(finished.size(), 1);
        if (failure.isEmpty()) {
            QCOMPARE(SaveToDT()->playCount(), played + (sounds ? 1 : 0));
            QCOMPARE(platform::BeepCount(), beeps);
            QCOMPARE(statusText(), status);
            // Both the light and the dark style's picture.
            const QList<QStringList> calls = gsettingsCalls();
            QCOMPARE(calls.size(), 2);
            for (const QString& key : {QStringLiteral("picture-uri"), QStringLiteral("picture-uri-dark")}) {
                const QStringList expected{"set", "org.gnome.desktop.background", key, copy};
                QVERIFY2(calls.contains(expected), qPrintable(key));
            }
        } else {
            QCOMPARE(SaveToDT()->playCount(), played);
            QCOMPARE(platform::BeepCount(), beeps + 1);
            QCOMPARE(statusText(), failure);
        }
    }

    void theScriptGetsTheCopysPathAsOneArgument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << "two  words .png";
        QTest::newRow("quotes") << "it's a \"quoted\" name.png";
        QTest::newRow("a command substitution") << "$(touch pwned)`touch pwned`.png";
        QTest::newRow("a leading dash") << "-rf.png";
    }
    void theScriptGetsTheCopysPathAsOneArgument()
    {
        QFETCH(QString, name);
        qputenv("XDG_CURRENT_DESKTOP", "GNOME");
        installFakeGsettings(0);
        Globals::UseSounds = true;
        const platform::FolderItem cached = CacheFolder().Child(name);
        QVERIFY(Globals::FileName.CopyFileTo(cached));
        Globals::FileName = cached;
        QSignalSpy finished(platform::ScriptService::instance(), &platform::ScriptService::finished);
        const int played = SaveToDT()->playCount();

        press(Way::SetButton);

        const QString copy = desktopFolder() + u'/' + name;
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.constFirst().at(1).toStringList(), QStringList{copy});
        QCOMPARE(finished.constFirst().at(2).toInt(), 0);
        QCOMPARE(SaveToDT()->playCount(), played + 1);
        QCOMPARE(Test::readFileBytes(copy), day().pictureBytes);
        QCOMPARE(gsettingsCalls().value(0).value(3), copy);
        QVERIFY(QDir(Test::homePath()).entryList({QStringLiteral("pwned")}).isEmpty());
        QVERIFY(QDir(CacheFolder().path()).entryList({QStringLiteral("pwned")}).isEmpty());
    }

    void theSuggestedNameFitsAFileName_data()
    {
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<QString>("expected");
        const QString e = QStringLiteral("\u00e9");        // two bytes in UTF-8
        const QString star = QStringLiteral("\U0001F320"); // four bytes, two UTF-16 units
        QTest::newRow("a short title") << "Orion Nebula.png"
                                       << "Orion Nebula.png";
        QTest::newRow("dots in the title") << "M31 v.2 in 3.5 hours.jpg"
                                           << "M31 v.2 in 3.5 hours.jpg";
        QTest::newRow("exactly 255 bytes") << QString(251, u'a') + ".jpg" << QString(251, u'a') + ".jpg";
        QTest::newRow("one byte too many") << QString(252, u'a') + ".jpg" << QString(251, u'a') + ".jpg";
        QTest::newRow("two-byte letters cut whole") << QString(130, e[0]) + ".jpg" << QString(125, e[0]) + ".jpg";
        QTest::newRow("a four-byte letter is not split")
            << QString(250, u'a') + star + ".jpeg" << QString(250, u'a') + ".jpeg";
        QTest::newRow("an empty title takes the picture's name") << ".png"
                                                                 << "ap241220.png";
        QTest::newRow("a blank title takes the picture's name") << "  .png"
                                                                << "ap241220.png";
    }
    void theSuggestedNameFitsAFileName()
    {
        QFETCH(QString, saveName);
        QFETCH(QString, expected);
        const QString suggested = platform::SuggestedSaveName(saveName, QStringLiteral("ap241220.png"));
        QCOMPARE(suggested, expected);
        QVERIFY(suggested.toUtf8().size() <= 255);
    }

    void saveSuggestsTheFittedName()
    {
        Globals::Name = QString(300, u'x') + QStringLiteral(".png");
        platform::setNextSaveAnswerForTesting(platform::FolderItem());
        press(Way::SaveButton);
        QCOMPARE(platform::lastSuggestedSaveNameForTesting(), QString(251, u'x') + QStringLiteral(".png"));
    }

    void theSaveDialogStartsInPicturesElseHome_data()
    {
        QTest::addColumn<QByteArray>("configured"); // XDG_PICTURES_DIR; empty: none
        QTest::addColumn<bool>("make");             // the folder exists
        QTest::addColumn<QString>("expected");      // below the home folder
        QTest::newRow("Pictures") << QByteArray() << true << "/Pictures";
        QTest::newRow("no Pictures folder") << QByteArray() << false << "";
        QTest::newRow("a configured folder") << QByteArray("$HOME/Bilder") << true << "/Bilder";
        QTest::newRow("a configured folder that is missing") << QByteArray("$HOME/Bilder") << false << "";
    }
    void theSaveDialogStartsInPicturesElseHome()
    {
        QFETCH(QByteArray, configured);
        QFETCH(bool, make);
        QFETCH(QString, expected);
        if (!configured.isEmpty())
            setPicturesFolder(configured);
        const QString folder =
            Test::homePath() + (configured.isEmpty() ? QStringLiteral("/Pictures") : QStringLiteral("/Bilder"));
        if (make)
            QVERIFY(QDir().mkpath(folder));
        QCOMPARE(platform::SaveDialogStartFolder(), Test::homePath() + expected);
    }
};

STARWICK_TEST_MAIN(TestSaveSet)
#include "tst_saveset.moc"
