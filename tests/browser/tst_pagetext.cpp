#include "browser/pagetext.h"
#include "support/testenv.h"

#include <QRandomGenerator>

using namespace Starwick;

namespace {

// The tag stripper as first written: after each removed tag the "<" search starts again from the
// text's beginning. A "<" without a ">" after it ends the removal, keeping the rest.
QString restartingClearHTML(QString s, int* removed)
{
    int p = static_cast<int>(s.indexOf(u'<')) + 1;
    while (p > 0) {
        const int q = static_cast<int>(s.indexOf(u'>', p - 1)) + 1;
        if (q == 0)
            break;
        s = s.left(p - 1) + s.mid(q);
        ++*removed;
        p = static_cast<int>(s.indexOf(u'<')) + 1;
    }
    s.replace(u'\n', u'\r');
    s.replace(u'\r', u' ');
    s.replace(QStringLiteral("  "), QStringLiteral(" "));
    return s;
}

} // namespace

class TestPageText : public QObject
{
    Q_OBJECT

private slots:
    void clearHTML_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("yields");

        QTest::newRow("tags between letters") << "a<b>c</b>d"
                                              << "acd" << 2;
        QTest::newRow("greater-than without less-than stays") << "a > b >"
                                                              << "a > b >" << 0;
        QTest::newRow("only tags") << "<p><br><i></i>"
                                   << "" << 4;
        QTest::newRow("CR LF and blank leave two blanks") << "a\r\n b"
                                                          << "a  b" << 0;
        QTest::newRow("single line break leaves one blank") << "a\nb\rc"
                                                            << "a b c" << 0;
        QTest::newRow("four blanks become two") << "a    b"
                                                << "a  b" << 0;
        QTest::newRow("three blanks become two") << "a   b"
                                                 << "a  b" << 0;
        QTest::newRow("five line ends and blanks become three") << " \r\n\n a \n"
                                                                << "   a " << 0;
        QTest::newRow("entity unchanged") << "Sun &amp; Moon"
                                          << "Sun &amp; Moon" << 0;
        QTest::newRow("less-than without greater-than keeps the rest") << "a<i>b</i> x < y"
                                                                       << "ab x < y" << 2;
        QTest::newRow("lone less-than at the start") << "<a href"
                                                     << "<a href" << 0;
        QTest::newRow("less-than inside a tag") << "a<b<c>d"
                                                << "ad" << 1;
        QTest::newRow("line break inside a tag goes with it") << "a<a\nhref=\"x\">b</a>"
                                                              << "ab" << 2;
        QTest::newRow("tag between blanks") << "a <br> b"
                                            << "a b" << 1;
        QTest::newRow("empty") << ""
                               << "" << 0;
    }

    void clearHTML()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(int, yields);
        int calls = 0;
        QCOMPARE(ClearHTML(input, [&calls] { ++calls; }), expected);
        QCOMPARE(calls, yields);
    }

    // Going on from the removed tag's place must give what restarting from the beginning gives,
    // with one yield per removed tag, on inputs dense in "<", ">" and line breaks.
    void clearHTMLMatchesRestartingStripper()
    {
        const QString alphabet = QStringLiteral("<<>>ab /\r\n  ");
        QRandomGenerator random(20240611);
        QStringList inputs = {QString(),
                              QStringLiteral("<"),
                              QStringLiteral(">"),
                              QStringLiteral("<>"),
                              QStringLiteral("><"),
                              QStringLiteral("<<>>"),
                              QStringLiteral("a<\n>b<"),
                              QStringLiteral("<!-- a <b> -->c")};
        for (int i = 0; i < 20000; ++i) {
            QString s;
            const int length = static_cast<int>(random.bounded(64));
            for (int k = 0; k < length; ++k)
                s += alphabet.at(random.bounded(static_cast<int>(alphabet.size())));
            inputs << s;
        }
        for (const QString& input : std::as_const(inputs)) {
            int expectedYields = 0;
            const QString expected = restartingClearHTML(input, &expectedYields);
            int yields = 0;
            const QString actual = ClearHTML(input, [&yields] { ++yields; });
            if (actual != expected || yields != expectedYields)
                QFAIL(qPrintable(QStringLiteral("differs on \"%1\"").arg(input.toHtmlEscaped())));
        }
    }

    void decodePageText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        QTest::newRow("pure UTF-8") << QByteArray("Schr\xc3\xb6"
                                                  "dinger \xe2\x80\x9c"
                                                  "Cat\xe2\x80\x9d")
                                    << QStringLiteral("Schrödinger “Cat”");
        QTest::newRow("raw Latin-1") << QByteArray("Schr\xf6"
                                                   "dinger")
                                     << QStringLiteral("Schrödinger");
        QTest::newRow("Windows-1252 quotes")
            << QByteArray("\x93Quoted\x94 \x96 \x80 \x8a\x9f") << QStringLiteral("“Quoted” – € ŠŸ");
        QTest::newRow("undefined 1252 byte") << QByteArray("a\x81z") << QStringLiteral("a\u0081z");
        QTest::newRow("mixed lines, ends kept") << QByteArray("caf\xc3\xa9\nSchr\xf6"
                                                              "dinger\r\n\xe2\x82\xac 5\r\n\r")
                                                << QStringLiteral("café\nSchrödinger\r\n€ 5\r\n\r");
        QTest::newRow("one stray byte makes its whole line 1252")
            << QByteArray("caf\xc3\xa9 \xf6\nok \xc3\xa9") << QStringLiteral("cafÃ© ö\nok é");
        QTest::newRow("CR alone ends a line") << QByteArray("a\xe9\rb\xc3\xa9") << QStringLiteral("aé\rbé");
        QTest::newRow("overlong form is not UTF-8") << QByteArray("\xc0\xaf") << QStringLiteral("À¯");
        QTest::newRow("surrogate is not UTF-8") << QByteArray("\xed\xa0\x80") << QStringLiteral("í\u00a0€");
        QTest::newRow("sequence cut by the line end") << QByteArray("ab\xe2\x82\nc") << QStringLiteral("abâ‚\nc");
        QTest::newRow("four-byte character") << QByteArray("\xf0\x9f\x8c\x8c") << QString::fromUcs4(U"\U0001F30C");
        QTest::newRow("byte-order mark dropped") << QByteArray("\xef\xbb\xbf<b>") << QStringLiteral("<b>");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + u'b');
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void decodePageText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(DecodePageText(bytes), expected);
    }

    void textFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");

        QTest::newRow("first field") << "a: b: c"
                                     << ": " << 1 << "a";
        QTest::newRow("middle field") << "a: b: c"
                                      << ": " << 2 << "b";
        QTest::newRow("last field runs to the end") << "a: b: c"
                                                    << ": " << 3 << "c";
        QTest::newRow("beyond the last is empty") << "a: b: c"
                                                  << ": " << 4 << "";
        QTest::newRow("no separator: field 1 is the whole text") << "abc"
                                                                 << "/" << 1 << "abc";
        QTest::newRow("no separator: field 2 is empty") << "abc"
                                                        << "/" << 2 << "";
        QTest::newRow("empty fields count") << "//x"
                                            << "/" << 3 << "x";
    }

    void textFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(TextOps::Field(text, separator, n), expected);
    }

    void textMidAndVal()
    {
        QCOMPARE(TextOps::Mid(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bcd"));
        QCOMPARE(TextOps::Mid(QStringLiteral("abcdef"), 5, 10), QStringLiteral("ef"));
        QCOMPARE(TextOps::Mid(QStringLiteral("abcdef"), 2, -3), QString());
        QCOMPARE(TextOps::Find(QStringLiteral("a<b>c<b>"), QStringLiteral("<b>"), 3), 6);
        QCOMPARE(TextOps::Find(QStringLiteral("abc"), QStringLiteral("x")), 0);
        QCOMPARE(TextOps::Val(QStringLiteral("2023abc")), 2023.0);
        QCOMPARE(TextOps::Val(QStringLiteral("1900.5")), 1900.5);
        QCOMPARE(TextOps::Val(QStringLiteral("February")), 0.0);
    }
};

STARWICK_TEST_MAIN(TestPageText)
#include "tst_pagetext.moc"
