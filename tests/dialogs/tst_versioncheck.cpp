#include "dialogs/versioncheck.h"
#include "support/testenv.h"

using namespace Starwick;

Q_DECLARE_METATYPE(Starwick::VersionAnswer::Outcome)

class TestVersionCheck : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // -1, 0, 1; 2 for "not versions"
        QTest::newRow("the same") << "1.2.0"
                                  << "1.2.0" << 0;
        QTest::newRow("missing parts count as 0") << "1.2"
                                                  << "1.2.0" << 0;
        QTest::newRow("one part") << "2"
                                  << "1.9.9" << 1;
        QTest::newRow("a later patch") << "1.2.1"
                                       << "1.2.0" << 1;
        QTest::newRow("an earlier minor") << "1.1.9"
                                          << "1.2.0" << -1;
        QTest::newRow("numbers, not letters") << "1.2.10"
                                              << "1.2.9" << 1;
        QTest::newRow("leading zeros") << "1.02.0"
                                       << "1.2.0" << 0;
        QTest::newRow("four parts") << "1.2.0.1"
                                    << "1.2.0" << 1;
        QTest::newRow("nine-digit part") << "1.999999999"
                                         << "1.2" << 1;
        QTest::newRow("five parts") << "1.2.0.0.1"
                                    << "1.2.0" << 2;
        QTest::newRow("ten-digit part") << "1.2.1234567890"
                                        << "1.2.0" << 2;
        QTest::newRow("empty") << ""
                               << "1.2.0" << 2;
        QTest::newRow("empty part") << "1..2"
                                    << "1.2.0" << 2;
        QTest::newRow("trailing dot") << "1.2."
                                      << "1.2.0" << 2;
        QTest::newRow("leading dot") << ".1.2"
                                     << "1.2.0" << 2;
        QTest::newRow("letters") << "1.2.0b"
                                 << "1.2.0" << 2;
        QTest::newRow("sign") << "-1.2"
                              << "1.2.0" << 2;
        QTest::newRow("inner space") << "1. 2"
                                     << "1.2.0" << 2;
        QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661.2.0") << "1.2.0" << 2;
        QTest::newRow("second not a version") << "1.2.0"
                                              << "x" << 2;
    }
    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        const auto sign = [](std::optional<int> r) { return !r ? 2 : *r < 0 ? -1 : *r > 0 ? 1 : 0; };
        QCOMPARE(sign(CompareVersions(a, b)), order);
        // And the other way round.
        QCOMPARE(sign(CompareVersions(b, a)), order == 2 ? 2 : -order);
    }

    void versionFile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<VersionAnswer::Outcome>("outcome");
        QTest::addColumn<QString>("version");
        const auto up = VersionAnswer::UpToDate;
        const auto newer = VersionAnswer::Newer;
        const auto failed = VersionAnswer::Failed;
        QTest::newRow("the running version") << 200 << true << QByteArray("1.2.0") << up << "1.2.0";
        QTest::newRow("with a line end") << 200 << true << QByteArray("1.2.0\n") << up << "1.2.0";
        QTest::newRow("with CR LF and blanks") << 200 << true << QByteArray(" \t1.2.0\r\n") << up << "1.2.0";
        QTest::newRow("older") << 200 << true << QByteArray("1.1.9") << up << "1.1.9";
        QTest::newRow("newer, two digits") << 200 << true << QByteArray("1.2.10") << newer << "1.2.10";
        QTest::newRow("newer major, trimmed") << 200 << true << QByteArray("2.0\n") << newer << "2.0";
        QTest::newRow("empty") << 200 << true << QByteArray() << failed << "";
        QTest::newRow("only white space") << 200 << true << QByteArray(" \n") << failed << "";
        QTest::newRow("an HTML page") << 200 << true << QByteArray("<html><body>Moved</body></html>") << failed << "";
        QTest::newRow("a version inside a page") << 200 << true << QByteArray("<p>9.0</p>") << failed << "";
        QTest::newRow("404 with a version body") << 404 << true << QByteArray("9.9.9") << failed << "";
        QTest::newRow("500") << 500 << true << QByteArray("9.9.9") << failed << "";
        QTest::newRow("cut transfer") << 200 << false << QByteArray("1.3") << failed << "";
        QTest::newRow("two lines") << 200 << true << QByteArray("1.3.0\n1.4.0") << failed << "";
        QTest::newRow("long body") << 200 << true << QByteArray(100000, '1') << failed << "";
        QTest::newRow("bytes that are not text") << 200 << true << QByteArray("1.\xff.0") << failed << "";
    }
    void versionFile()
    {
        QFETCH(int, status);
        QFETCH(bool, whole);
        QFETCH(QByteArray, body);
        QFETCH(VersionAnswer::Outcome, outcome);
        QFETCH(QString, version);
        const VersionAnswer answer = ReadVersionFile(status, whole, body, QStringLiteral("1.2.0"));
        QCOMPARE(answer.outcome, outcome);
        QCOMPARE(answer.version, version);
    }
};

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"
