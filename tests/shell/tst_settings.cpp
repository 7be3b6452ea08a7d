#include "browser/mainwindow.h"
#include "platform/base64.h"
#include "platform/blowfish.h"
#include "platform/system.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "support/filesizelimit.h"
#include "support/settingsfiles.h"
#include "support/testenv.h"

#include <QDir>
#include <QRandomGenerator>

#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Starwick;
using platform::BlowfishECB;

namespace {

// Stored lines for known values, computed with an independent Blowfish implementation from the
// format (value + "xxxxxxx", Blowfish ECB keyed with the 21 letters, PKCS#7, Base64).
const QString EmptyLine = QStringLiteral("0hfWXe8yhtk=");
const QString NotPersonalizedLine = QStringLiteral("+ho7nHGjdFGa5kiOYdEbC9IX1l3vMobZ");
const QString EightBimLine = QStringLiteral("LgU2PtcaFLwVRN1uju7FvQ==");
const QString RememberPositionLine = QStringLiteral("ptdHSvig9MPkrvercSpI9vwz8fgQbUWyfKH3aqH21ts=");

/// Enciphers `plain` as it stands (whole blocks, no padding added) under `key`, as Base64.
QString rawLine(const QByteArray& plain, const QByteArray& key = SettingsKey)
{
    BlowfishECB cipher(key);
    return platform::Base64Encode(cipher.Encrypt(plain));
}

QString paddedLine(const QByteArray& plain, const QByteArray& key = SettingsKey)
{
    BlowfishECB cipher(key);
    QByteArray data = cipher.Encrypt(plain);
    data += cipher.FinishEncrypt();
    return platform::Base64Encode(data);
}

QString settingsPath()
{
    return SettingsFile().path();
}

QByteArray joined(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

/// What stands at a path, without following a link: its type and device number, and where a
/// link points.
struct Entry
{
    mode_t type = 0;
    dev_t device = 0;
    QString linkTarget;
    mode_t targetType = 0;
    dev_t targetDevice = 0;

    bool operator==(const Entry& other) const
    {
        return type == other.type && device == other.device && linkTarget == other.linkTarget &&
               targetType == other.targetType && targetDevice == other.targetDevice;
    }
};

Entry entryAt(const QString& path)
{
    Entry entry;
    struct stat info;
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) == 0) {
        entry.type = info.st_mode & S_IFMT;
        entry.device = info.st_rdev;
    }
    if (S_ISLNK(info.st_mode)) {
        entry.linkTarget = QFile::symLinkTarget(path);
        if (::stat(name.constData(), &info) == 0) {
            entry.targetType = info.st_mode & S_IFMT;
            entry.targetDevice = info.st_rdev;
        }
    }
    return entry;
}

void closeMainWindow()
{
    if (MainWindow* window = MainWindow::existing())
        window->close();
    Test::releaseClosedWindows();
}

bool userAttributesWork()
{
    const QByteArray path = QFile::encodeName(SettingsFolder().path());
    return ::setxattr(path.constData(), "user.probe", "1", 1, 0) == 0;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    // Lives until the next test has closed the main window, whose quit writes the settings.
    std::optional<Test::PipeWatch> m_pipeWatch;

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([](int) {});
        // The usual umask, under which a file made with the default mode is open to everyone.
        ::umask(022);
    }

    void init()
    {
        closeMainWindow();
        m_pipeWatch.reset();
        Test::clearHome();
        Globals::ResetForTesting();
        QVERIFY(QDir().mkpath(CacheFolder().path()));
    }

    void cleanup() { closeMainWindow(); }

    void foldersLieInThePreferencesFolder()
    {
        const QString base = Test::homePath() + QStringLiteral("/.config/Quorrel Design Stuff/Starwick");
        QCOMPARE(SettingsFolder().path(), base);
        QCOMPARE(CacheFolder().path(), base + QStringLiteral("/Cache"));
        QCOMPARE(SettingsFile().path(), base + QStringLiteral("/Starwick Preferences"));
    }

    void codecRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored"); // the known stored line, where one is given

        QTest::newRow("empty: 7 bytes") << QString() << EmptyLine;
        QTest::newRow("8 bytes") << QStringLiteral("a") << QString();
        QTest::newRow("9 bytes") << QStringLiteral("ab") << QString();
        QTest::newRow("15 bytes") << QStringLiteral("Do Check") << QString();
        QTest::newRow("16 bytes") << QStringLiteral("Do Check!") << QString();
        QTest::newRow("17 bytes") << QStringLiteral("Use Sounds") << QString();
        QTest::newRow("creator code") << QStringLiteral("8BIM") << EightBimLine;
        QTest::newRow("default owner") << QStringLiteral("Not Personalized") << NotPersonalizedLine;
        QTest::newRow("whole blocks: 24 bytes") << QStringLiteral("Remember Position") << RememberPositionLine;
        QTest::newRow("non-ASCII") << QStringLiteral("Grüße, Šárka 星") << QString();
        QTest::newRow("long owner name") << QStringLiteral("Owner Name ").repeated(500) << QString();
        QTest::newRow("line break inside") << QStringLiteral("two\nlines\r") << QString();
        QTest::newRow("ends in x") << QStringLiteral("xx") << QString();
    }

    void codecRoundTrip()
    {
        QFETCH(QString, value);
        QFETCH(QString, stored);

        const QString line = EncodeSetting(value);
        if (!stored.isNull())
            QCOMPARE(line, stored);
        QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        // Padding always adds 1 to 8 bytes to value + filler.
        const qsizetype cipherBytes = ((value.toUtf8().size() + 7) / 8 + 1) * 8;
        QCOMPARE(line.size(), (cipherBytes + 2) / 3 * 4);
        QCOMPARE(DecodeSetting(line), value);
    }

    void damagedLinesDecodeToEmpty_data()
    {
        QTest::addColumn<QString>("line");

        QTest::newRow("empty line") << QString();
        QTest::newRow("not Base64") << QStringLiteral("not Base64!");
        QTest::newRow("Base64 cut short") << NotPersonalizedLine.chopped(1);
        QTest::newRow("spaces around") << QLatin1Char(' ') + EightBimLine + QLatin1Char(' ');
        QTest::newRow("not whole blocks") << platform::Base64Encode("abcdefg");
        QTest::newRow("whole blocks and a byte")
            << platform::Base64Encode(QByteArray::fromBase64(EightBimLine.toLatin1()) + 'x');
        QTest::newRow("bad padding") << rawLine("abcdefgh");
        QTest::newRow("padding but no filler") << paddedLine("8BIM");
        QTest::newRow("another key") << paddedLine("8BIMxxxxxxx", "someotherkey");
    }

    void damagedLinesDecodeToEmpty()
    {
        QFETCH(QString, line);
        QCOMPARE(DecodeSetting(line), QString());
    }

    void randomLinesDecodeToEmpty()
    {
        QRandomGenerator random(20240611);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes(random.bounded(0, 64), Qt::Uninitialized);
            for (char& byte : bytes)
                byte = static_cast<char>(random.bounded(256));
            const QString line = i % 2 ? platform::Base64Encode(bytes) : QString::fromLatin1(bytes);
            QCOMPARE(DecodeSetting(line), QString());
        }
    }

    void linesOfOtherEncodersDecode_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("value");

        QTest::newRow("zero padding") << rawLine(QByteArray("8BIMxxxxxxx").leftJustified(16, '\0')) << "8BIM";
        QTest::newRow("whole blocks, no padding") << rawLine("Remember Positionxxxxxxx") << "Remember Position";
        QTest::newRow("a block of zeros")
            << rawLine(QByteArray("Remember Positionxxxxxxx") + QByteArray(8, '\0')) << "Remember Position";
        QTest::newRow("empty value, zero padding") << rawLine(QByteArray("xxxxxxx", 8)) << "";
    }

    void linesOfOtherEncodersDecode()
    {
        QFETCH(QString, line);
        QFETCH(QString, value);
        QCOMPARE(DecodeSetting(line), value);
    }

    void numbers_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("number");

        QTest::newRow("plain") << 13 << "640" << 640;
        QTest::newRow("negative") << 14 << "-20" << -20;
        QTest::newRow("white space around") << 16 << " 12 " << 12;
        QTest::newRow("fraction rounds") << 16 << "12.5" << 13;
        QTest::newRow("negative fraction rounds") << 14 << "-12.5" << -13;
        QTest::newRow("exponent") << 17 << "1e3" << 1000;
        QTest::newRow("not a number") << 13 << "abc" << 0;
        QTest::newRow("number then text") << 13 << "12abc" << 0;
        QTest::newRow("empty") << 13 << "" << 0;
        QTest::newRow("too large") << 13 << "99999999999" << 0;
        QTest::newRow("infinity") << 13 << "inf" << 0;
        QTest::newRow("enc port") << 7 << EncodeSetting(QStringLiteral("8080")) << 8080;
        QTest::newRow("enc port, trimmed") << 7 << EncodeSetting(QStringLiteral(" 3128 ")) << 3128;
        QTest::newRow("enc port, not a number") << 7 << EncodeSetting(QStringLiteral("80x")) << 0;
        QTest::newRow("enc port, damaged") << 7 << "8080" << 0;
    }

    void numbers()
    {
        QFETCH(int, line);
        QFETCH(QString, raw);
        QFETCH(int, number);

        SettingsLines lines;
        lines.setRaw(line, raw);
        QCOMPARE(lines.number(line), number);
        lines.setNumber(line, number);
        QCOMPARE(lines.number(line), number);
    }

    void onOffLines()
    {
        SettingsLines lines;
        lines.setOn(SettingsLine::CheckForUpdates, true);
        QCOMPARE(lines.value(2), QStringLiteral("Do Check"));
        QVERIFY(lines.isOn(2));
        lines.setOn(SettingsLine::CheckForUpdates, false);
        QCOMPARE(lines.value(2), QStringLiteral("Do Not Check"));
        QVERIFY(!lines.isOn(2));
        lines.setValue(10, QStringLiteral("do use proxy server"));
        QVERIFY(!lines.isOn(10));                              // only the exact word
        lines.setRaw(12, QStringLiteral("Remember Position")); // not enciphered: damaged
        QVERIFY(!lines.isOn(12));
        lines.setValue(1, QStringLiteral("Do Check"));
        QVERIFY(!lines.isOn(1)); // no pair on the owner line
        lines.setOn(1, true);
        QCOMPARE(lines.value(1), QStringLiteral("Do Check"));
        QCOMPARE(lines.raw(0), QString());
        QCOMPARE(lines.raw(18), QString());
    }

    void missingFileReadsNothingAndIsNotCreated()
    {
        SettingsFileStatus status = SettingsFileStatus::Read;
        QString error;
        const SettingsLines lines = ReadSettingsFile(&status, &error);
        QCOMPARE(status, SettingsFileStatus::Missing);
        QCOMPARE(lines.lineCount(), 0);
        QVERIFY(error.isEmpty());
        QCOMPARE(UpdateSettingsFile([](SettingsLines& l) { l.setNumber(13, 1); }), SettingsUpdate::NoFile);
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void defaultFile()
    {
        QString error;
        QVERIFY2(WriteDefaultSettingsFile(&error), qPrintable(error));
        const QByteArray bytes = Test::readFileBytes(settingsPath());
        QCOMPARE(bytes.count('\n'), 11);
        QVERIFY(bytes.endsWith('\n'));
        const QList<QByteArray> stored = bytes.split('\n');
        QCOMPARE(stored.at(0), NotPersonalizedLine.toLatin1());
        QCOMPARE(stored.at(5), EmptyLine.toLatin1());
        QCOMPARE(stored.at(10), EightBimLine.toLatin1());

        SettingsFileStatus status = SettingsFileStatus::Missing;
        const SettingsLines lines = ReadSettingsFile(&status);
        QCOMPARE(status, SettingsFileStatus::Read);
        QCOMPARE(lines.lineCount(), 11);
        QStringList values;
        for (int line = 1; line <= SettingsLine::Count; ++line)
            values << lines.value(line);
        const QStringList expected = {"Not Personalized",
                                      "Do Not Check",
                                      "Do Not Delete Cache",
                                      "Use Sounds",
                                      "Do Not Hide Warning",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "Do Not Use Proxy Server",
                                      "8BIM",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "",
                                      ""};
        QCOMPARE(values, expected);
        QVERIFY(lines.isOn(SettingsLine::UseSounds));
        for (int line : {2, 3, 5, 10, 12, 15})
            QVERIFY2(!lines.isOn(line), qPrintable(QString::number(line)));
        QCOMPARE(lines.number(SettingsLine::Width), 0);

        // The first launch's writer never replaces an existing file.
        QVERIFY(!WriteDefaultSettingsFile(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Test::readFileBytes(settingsPath()), bytes);
    }

    void quitOnTheDefaultFileAddsTheGeometry()
    {
        QVERIFY(WriteDefaultSettingsFile());
        const QList<QByteArray> before = Test::readFileBytes(settingsPath()).split('\n');
        const auto result = UpdateSettingsFile([](SettingsLines& lines) {
            lines.setNumber(SettingsLine::Top, 44);
            lines.setNumber(SettingsLine::Left, -12);
            lines.setNumber(SettingsLine::Width, 800);
            lines.setNumber(SettingsLine::Height, 600);
        });
        QCOMPARE(result, SettingsUpdate::Written);
        const QList<QByteArray> after = Test::readFileBytes(settingsPath()).split('\n');
        QCOMPARE(after.size(), 18); // 17 lines and the end of the last
        QCOMPARE(after.mid(0, 11), before.mid(0, 11));
        QCOMPARE(after.mid(11), (QList<QByteArray>{"", "44", "-12", "", "800", "600", ""}));
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.lineCount(), 17);
        QCOMPARE(lines.number(SettingsLine::Left), -12);
    }

    void untouchedLinesGoBackAsRead()
    {
        // Line ends of other writers, a damaged line, a zero-padded line and odd numbers: none of
        // them is decoded and encoded again.
        QStringList stored;
        for (int line = 1; line <= 17; ++line)
            stored << EncodeSetting(QStringLiteral("value %1").arg(line));
        stored[4] = QStringLiteral("garbage!!");
        stored[11] = rawLine(QByteArray("Remember Positionxxxxxxx") + QByteArray(8, '\0'));
        stored[12] = QStringLiteral(" 0012 ");
        stored[16] = QString();
        QVERIFY(Test::writeFileBytes(settingsPath(), stored.join(QStringLiteral("\r\n")).toUtf8() + "\r"));

        QCOMPARE(UpdateSettingsFile([](SettingsLines& lines) { lines.setValue(1, QStringLiteral("Ada")); }),
                 SettingsUpdate::Written);
        QStringList expected = stored;
        expected[0] = EncodeSetting(QStringLiteral("Ada"));
        QCOMPARE(Test::readFileBytes(settingsPath()), joined(expected));
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.value(1), QStringLiteral("Ada"));
        QVERIFY(lines.isOn(SettingsLine::RememberPosition));
        QCOMPARE(lines.number(SettingsLine::Top), 12);
    }

    void longFileIsCutTo17()
    {
        QStringList stored;
        for (int line = 1; line <= 20; ++line)
            stored << QStringLiteral("line %1").arg(line);
        QVERIFY(Test::writeFileBytes(settingsPath(), joined(stored)));
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.lineCount(), 17);
        QCOMPARE(lines.raw(17), QStringLiteral("line 17"));
        QCOMPARE(UpdateSettingsFile({}), SettingsUpdate::Written);
        QCOMPARE(Test::readFileBytes(settingsPath()), joined(stored.mid(0, 17)));
    }

    void damagedFileReadsAsEmptyValues()
    {
        QStringList stored(17);
        stored[0] = QStringLiteral("\xff\xfe not text");
        stored[1] = QStringLiteral("Do Check"); // the word itself, not enciphered
        stored[2] = NotPersonalizedLine.chopped(3);
        stored[3] = EncodeSetting(QStringLiteral("Use Sounds"));
        stored[12] = QStringLiteral("abc");
        stored[13] = QStringLiteral("-5");
        QByteArray bytes = joined(stored);
        bytes.replace("\xc3\xbf\xc3\xbe", "\xff\xfe"); // invalid UTF-8 in the file itself
        QVERIFY(Test::writeFileBytes(settingsPath(), bytes));

        SettingsFileStatus status = SettingsFileStatus::Missing;
        const SettingsLines lines = ReadSettingsFile(&status);
        QCOMPARE(status, SettingsFileStatus::Read);
        QCOMPARE(lines.value(1), QString());
        QVERIFY(!lines.isOn(SettingsLine::CheckForUpdates));
        QCOMPARE(lines.value(3), QString());
        QVERIFY(lines.isOn(SettingsLine::UseSounds));
        QCOMPARE(lines.number(SettingsLine::Top), 0);
        QCOMPARE(lines.number(SettingsLine::Left), -5);
    }

    void unreadableFileIsLeftAlone()
    {
        QVERIFY(QDir().mkdir(settingsPath())); // a folder in the file's place
        QFile inside(settingsPath() + QStringLiteral("/inside"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.close();

        SettingsFileStatus status = SettingsFileStatus::Read;
        QString error;
        const SettingsLines lines = ReadSettingsFile(&status, &error);
        QCOMPARE(status, SettingsFileStatus::Unreadable);
        QVERIFY(!error.isEmpty());
        QCOMPARE(lines.lineCount(), 0);
        QCOMPARE(lines.value(1), QString());

        error.clear();
        QCOMPARE(UpdateSettingsFile([](SettingsLines& l) { l.setNumber(13, 1); }, &error), SettingsUpdate::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(!WriteDefaultSettingsFile());
        QVERIFY(QFileInfo(settingsPath()).isDir());
        QVERIFY(inside.exists());
    }

    void writesSetTypeAndCreator()
    {
        if (!userAttributesWork())
            QSKIP("The temporary folder's file system refuses user extended attributes.");
        QVERIFY(WriteDefaultSettingsFile());
        QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
        QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
        // A rewrite is a new file; the codes are set on it again.
        QCOMPARE(UpdateSettingsFile({}), SettingsUpdate::Written);
        QCOMPARE(SettingsFile().MacType(), QStringLiteral("pref"));
        QCOMPARE(SettingsFile().MacCreator(), QStringLiteral("Qwlk"));
    }

    void failedWriteLeavesTheOldFileWhole()
    {
        QVERIFY(WriteDefaultSettingsFile());
        const QByteArray before = Test::readFileBytes(settingsPath());
        QString error;
        {
            Test::FileSizeLimit limit(100);
            if (!limit.isActive())
                QSKIP("The file size limit cannot be set here.");
            QCOMPARE(UpdateSettingsFile([](SettingsLines& l) { l.setNumber(13, 1); }, &error), SettingsUpdate::Failed);
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(Test::readFileBytes(settingsPath()), before);
        QCOMPARE(QDir(SettingsFolder().path()).entryList(QDir::Files), QStringList{"Starwick Preferences"});

        // Without its folder the file cannot be written at all.
        QVERIFY(QDir(SettingsFolder().path()).removeRecursively());
        error.clear();
        QVERIFY(!WriteDefaultSettingsFile(&error));
        QVERIFY(!error.isEmpty());
    }

    void firstLaunchMakesFolderAndFileTheOwnersAlone()
    {
        const QString config = Test::homePath() + QStringLiteral("/.config");
        QVERIFY(QDir(config).removeRecursively());
        App app;
        app.Open();
        QVERIFY2(app.settingsProblem().isEmpty(), qPrintable(app.settingsProblem()));
        QCOMPARE(Test::permissionsOf(config), 0700);
        QCOMPARE(Test::permissionsOf(SettingsFolder().Parent().path()), 0700);
        QCOMPARE(Test::permissionsOf(SettingsFolder().path()), 0700);
        QCOMPARE(Test::permissionsOf(CacheFolder().path()), 0700);
        QCOMPARE(Test::permissionsOf(settingsPath()), 0600);
        QCOMPARE(Test::settingsFileLines().size(), 11);
    }

    void rewriteNarrowsAnOlderOpenFile()
    {
        QVERIFY(WriteDefaultSettingsFile());
        const QList<QByteArray> before = Test::settingsFileLines();
        // As older versions left them.
        QVERIFY(::chmod(QFile::encodeName(settingsPath()).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(SettingsFolder().path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(CacheFolder().path()).constData(), 0755) == 0);

        QCOMPARE(UpdateSettingsFile([](SettingsLines& lines) { lines.setNumber(SettingsLine::Top, 7); }),
                 SettingsUpdate::Written);
        QCOMPARE(Test::permissionsOf(settingsPath()), 0600);
        QCOMPARE(Test::permissionsOf(SettingsFolder().path()), 0700);
        QCOMPARE(Test::permissionsOf(CacheFolder().path()), 0755); // inside a closed folder already
        const QList<QByteArray> after = Test::settingsFileLines();
        QCOMPARE(after.mid(0, 11), before);
        QCOMPARE(after.at(12), QByteArray("7"));
    }

    // Something else than a regular file where the settings file should be: the launch goes on
    // with the initial values, and neither the quit nor any other writer writes over it, opens a
    // pipe (which would wait for a writer for good) or replaces a device.
    void specialFileInThePlaceOfTheSettingsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");

        QTest::newRow("a named pipe") << "pipe"
                                      << "the file is a named pipe";
        QTest::newRow("a link to a named pipe") << "link to pipe"
                                                << "the file links to a named pipe";
        QTest::newRow("a link to a device") << "link to device"
                                            << "the file links to a device";
        QTest::newRow("a folder") << "folder"
                                  << "the file is a folder";
        QTest::newRow("a link to a folder") << "link to folder"
                                            << "the file links to a folder";
        QTest::newRow("a link to nothing") << "link to nothing"
                                           << "the file is a broken link";
    }

    void specialFileInThePlaceOfTheSettingsFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);

        const QString elsewhere = Test::homePath() + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(elsewhere));
        const QString thing =
            kind.startsWith(QLatin1String("link")) ? elsewhere + QStringLiteral("/thing") : settingsPath();
        const QByteArray thingName = QFile::encodeName(thing);
        if (kind.endsWith(QLatin1String("pipe"))) {
            QVERIFY(::mkfifo(thingName.constData(), 0600) == 0);
        } else if (kind.endsWith(QLatin1String("device"))) {
            // A stand-in for a device such as /dev/null, so that nothing real is at stake.
            if (::mknod(thingName.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("No device file can be made here.");
        } else if (kind.endsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(thing));
        }
        if (thing != settingsPath())
            QVERIFY(QFile::link(thing, settingsPath()));
        const Entry before = entryAt(settingsPath());
        const QStringList elsewhereBefore = Test::folderEntries(elsewhere);
        if (kind.endsWith(QLatin1String("pipe")))
            m_pipeWatch.emplace(thing);

        MainWindow::instance();
        App app;
        app.Open();
        if (m_pipeWatch)
            QCOMPARE(m_pipeWatch->readersSeen(), 0);
        QVERIFY2(app.settingsProblem().contains(cause), qPrintable(app.settingsProblem()));
        QVERIFY(!Globals::UseSounds);
        QVERIFY(!Globals::Registered);
        QVERIFY(Globals::FileTypeName.isEmpty());

        QString error;
        QString why;
        QCOMPARE(UpdateSettingsFile([](SettingsLines& lines) { lines.setNumber(SettingsLine::Top, 1); }, &error, &why),
                 SettingsUpdate::Failed);
        QCOMPARE(why, cause);
        QVERIFY(error.contains(settingsPath()));
        why.clear();
        QVERIFY(!WriteSettingsFile(DefaultSettingsLines(), &error, &why));
        QCOMPARE(why, cause);
        QVERIFY(!WriteDefaultSettingsFile());
        closeMainWindow(); // the quit, which stores the window's frame

        QVERIFY(entryAt(settingsPath()) == before);
        QCOMPARE(Test::folderEntries(SettingsFolder().path()), (QStringList{"Cache", "Starwick Preferences"}));
        QCOMPARE(Test::folderEntries(elsewhere), elsewhereBefore);
        if (m_pipeWatch)
            QCOMPARE(m_pipeWatch->readersSeen(), 0);
    }

    // As dotfile managers keep it: the settings file is a link to a file in another folder. It
    // is read through the link, and a write replaces that file and keeps the link.
    void linkToARegularFileIsReadAndWrittenThrough()
    {
        Test::writeSettings({{SettingsLine::UseSounds, QStringLiteral("Use Sounds")},
                             {SettingsLine::ProxyAddress, QStringLiteral("proxy.example")}});
        const QString dotfiles = Test::homePath() + QStringLiteral("/dotfiles");
        const QString target = dotfiles + QStringLiteral("/starwick-preferences");
        QVERIFY(QDir().mkpath(dotfiles));
        QVERIFY(QFile::rename(settingsPath(), target));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::link(target, settingsPath()));

        MainWindow* window = MainWindow::instance();
        App app;
        app.Open();
        QVERIFY2(app.settingsProblem().isEmpty(), qPrintable(app.settingsProblem()));
        QVERIFY(Globals::UseSounds);
        QCOMPARE(Globals::pAddress, QStringLiteral("proxy.example"));
        const int width = window->Width();
        closeMainWindow();

        QCOMPARE(QFile::symLinkTarget(settingsPath()), target);
        const SettingsLines lines = ReadSettingsFile();
        QCOMPARE(lines.lineCount(), 17);
        QCOMPARE(lines.value(SettingsLine::ProxyAddress), QStringLiteral("proxy.example"));
        QCOMPARE(lines.number(SettingsLine::Width), width);
        QCOMPARE(Test::permissionsOf(target), 0600);
        QCOMPARE(Test::folderEntries(dotfiles), QStringList{"starwick-preferences"});
        QCOMPARE(Test::folderEntries(SettingsFolder().path()), (QStringList{"Cache", "Starwick Preferences"}));
    }
};

STARWICK_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
