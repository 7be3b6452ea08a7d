#include "platform/textfile.h"
#include "support/filesizelimit.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QDir>

using Starwick::platform::FolderItem;
using Starwick::platform::TextFile;

namespace {

/// A device that takes `failAfter` bytes and then refuses every write, as a full disk would.
class FailDevice : public QBuffer
{
public:
    explicit FailDevice(qint64 failAfter)
        : m_failAfter(failAfter)
    {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_written + length > m_failAfter) {
            setErrorString(QStringLiteral("No space left on the test device"));
            return -1;
        }
        m_written += length;
        return QBuffer::writeData(data, length);
    }

private:
    qint64 m_failAfter;
    qint64 m_written = 0;
};

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private:
    QString m_path;

private slots:
    void init()
    {
        Starwick::Test::clearHome();
        m_path = Starwick::Test::homePath() + QStringLiteral("/text");
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("LF") << QByteArray("one\ntwo\n") << QStringList{"one", "two"};
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
        QTest::newRow("CR") << QByteArray("one\rtwo\r") << QStringList{"one", "two"};
        QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("no final line end") << QByteArray("one\ntwo") << QStringList{"one", "two"};
        QTest::newRow("empty lines kept") << QByteArray("a\n\n\r\n\rb\n") << QStringList{"a", "", "", "", "b"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("one empty line") << QByteArray("\n") << QStringList{""};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFone\n") << QStringList{"one"};
        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F"
                                             "e \xE6\x98\x9F\n")
                               << QStringList{"Grüße 星"};
    }

    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);

        QVERIFY(Starwick::Test::writeFileBytes(m_path, bytes));
        TextFile file;
        QVERIFY(file.Open(FolderItem(m_path)));
        QStringList read;
        while (!file.EndOfFile())
            read << file.ReadLine();
        QCOMPARE(read, lines);
        QCOMPARE(file.ReadLine(), QString()); // past the end
        QVERIFY(!file.readFailed());
    }

    void openFailures_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing") << false;
        QTest::newRow("a folder in its place") << true;
    }

    void openFailures()
    {
        QFETCH(bool, folder);
        if (folder)
            QVERIFY(QDir().mkdir(m_path));
        TextFile file;
        QString error;
        QVERIFY(!file.Open(FolderItem(m_path), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(file.EndOfFile());
        QCOMPARE(file.ReadLine(), QString());
    }

    void writeLinesUsesUtf8AndLF()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(TextFile::WriteLines(buffer, {QStringLiteral("Grüße"), QString(), QStringLiteral("end")}));
        QCOMPARE(buffer.data(), QByteArray("Gr\xC3\xBC\xC3\x9F"
                                           "e\n\nend\n"));
    }

    void writeLinesReportsAFailedDevice()
    {
        FailDevice device(10);
        device.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(!TextFile::WriteLines(device, {QStringLiteral("first"), QStringLiteral("second line")}, &error));
        QCOMPARE(error, QStringLiteral("No space left on the test device"));
        QCOMPARE(device.data(), QByteArray("first\n"));
    }

    void rewriteReplacesTheFileAndKeepsItsPermissions()
    {
        QVERIFY(Starwick::Test::writeFileBytes(m_path, "old content that is longer than the new\n"));
        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QFile::Permissions permissions = QFile::permissions(m_path);
        QString error;
        QVERIFY2(TextFile::Rewrite(FolderItem(m_path), {QStringLiteral("a"), QStringLiteral("b")}, &error),
                 qPrintable(error));
        QCOMPARE(Starwick::Test::readFileBytes(m_path), QByteArray("a\nb\n"));
        QCOMPARE(QFile::permissions(m_path), permissions);
        QCOMPARE(QDir(Starwick::Test::homePath()).entryList(QDir::Files), QStringList{"text"});
    }

    void rewriteThatFailsPartWayKeepsTheOldFile()
    {
        const QByteArray old("the previous file, whole\n");
        QVERIFY(Starwick::Test::writeFileBytes(m_path, old));
        const QStringList lines(100, QStringLiteral("a line long enough to pass the limit soon"));
        QString error;
        {
            Starwick::Test::FileSizeLimit limit(200);
            if (!limit.isActive())
                QSKIP("The file size limit cannot be set here.");
            QVERIFY(!TextFile::Rewrite(FolderItem(m_path), lines, &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(Starwick::Test::readFileBytes(m_path), old);
        QCOMPARE(QDir(Starwick::Test::homePath()).entryList(QDir::Files), QStringList{"text"});
    }

    void rewriteOfAFolderFails()
    {
        QVERIFY(QDir().mkdir(m_path));
        QString error;
        QVERIFY(!TextFile::Rewrite(FolderItem(m_path), {QStringLiteral("a")}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(m_path).isDir());
        QCOMPARE(QDir(Starwick::Test::homePath()).entryList(QDir::Files), QStringList{});
    }
};

STARWICK_TEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
