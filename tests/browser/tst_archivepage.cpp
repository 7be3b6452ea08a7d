#include "browser/archivepage.h"
#include "support/testenv.h"

#include <QRandomGenerator>

using namespace Starwick;

namespace {

const QString kServer = QStringLiteral("www.star.ucl.ac.uk/~apod");

// The archive page as the site serves it today: a bold note, then the day list in the next bold
// block, LF line ends.
const char kTodaysArchive[] = R"(<html>
<head>
<title>Astronomy Picture of the Day Archive</title>
</head>
<body BGCOLOR="#F4F4FF" text="#000000">
<center><h1> Astronomy Picture of the Day Archive </h1></center>
<b>This archive list links to previous daily APOD pages
from the current date through January 1, 2015.
<br>An archive of all
existing APOD pages (current date through June 16, 1995) can be
found here: <a href="archivepixFull.html">APOD Full Archive</a>.</b>
<hr>
<b>
2023 February 11:  <a href="ap230211.html">Magellanic Clouds over Chile</a><br>
2023 February 10:  <a href="ap230210.html">ZTF meets ATLAS</a><br>
2023 February 09:  <a href="ap230209.html">M31: The Andromeda Galaxy</a><br>
</b>
<hr>
</body>
</html>
)";

// The day block as first cut: the page's first "<b>" through its first "</b>".
QString firstBoldBlock(const QString& page)
{
    const qsizetype p1 = page.indexOf(QStringLiteral("<b>"));
    const qsizetype p2 = page.indexOf(QStringLiteral("</b>"));
    return page.mid(p1 + 3, p2 - (p1 + 3));
}

} // namespace

class TestArchivePage : public QObject
{
    Q_OBJECT

private slots:
    void dayBlock_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("firstBlockIsTheList");

        const QString days = QStringLiteral("\r\n1995 June 17: <a href=\"ap950617.html\">Saturn</a><br>\r\n"
                                            "1995 June 16: <a href=\"ap950616.html\">Earth</a><br>\r\n");
        QTest::newRow("list in the first bold block")
            << QStringLiteral("<html><body><h1>Archive</h1><b>%1</b><hr></body>").arg(days) << days << true;
        QTest::newRow("bold note before the list")
            << QString::fromUtf8(kTodaysArchive)
            << QStringLiteral("\n2023 February 11:  <a href=\"ap230211.html\">Magellanic Clouds over Chile</a><br>\n"
                              "2023 February 10:  <a href=\"ap230210.html\">ZTF meets ATLAS</a><br>\n"
                              "2023 February 09:  <a href=\"ap230209.html\">M31: The Andromeda Galaxy</a><br>\n")
            << false;
        QTest::newRow("no block with day lines: the first bold block")
            << QStringLiteral("x<b>note</b> y <b>other: <a href=\"a.html\">A</a></b>") << QStringLiteral("note")
            << true;
        QTest::newRow("no <b>: from the third character")
            << QStringLiteral("abcdef</b>") << QStringLiteral("cdef") << true;
        QTest::newRow("no </b>: up to the end") << QStringLiteral("ab<b>note") << QStringLiteral("note") << false;
        QTest::newRow("list cut off before its </b>")
            << QStringLiteral("<b>note</b><hr><b>\n2023 February 11: <a href=\"ap230211.html\">X</a><br>\n2023 Feb")
            << QStringLiteral("\n2023 February 11: <a href=\"ap230211.html\">X</a><br>\n2023 Feb") << false;
        QTest::newRow("empty page") << QString() << QString() << false;
    }

    void dayBlock()
    {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QFETCH(bool, firstBlockIsTheList);
        QCOMPARE(ArchiveDayBlock(page), expected);
        if (firstBlockIsTheList)
            QCOMPARE(ArchiveDayBlock(page), firstBoldBlock(page));
    }

    void splitBlock_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("CR LF line ends") << "\r\nA<br>\r\nB<br>\r\n" << QStringList{"A<br>", "B<br>"};
        QTest::newRow("lines of only <br> dropped") << "A\n<br>\n  <BR> \nB" << QStringList{"A", "B"};
        QTest::newRow("CR alone ends a line") << "A\rB" << QStringList{"A", "B"};
        QTest::newRow("no line break: one line, trimmed") << "  one line  " << QStringList{"one line"};
        QTest::newRow("only <br>") << "<br>" << QStringList{};
        QTest::newRow("only blanks and breaks") << " \r\n \n" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void splitBlock()
    {
        QFETCH(QString, block);
        QFETCH(QStringList, expected);
        QCOMPARE(SplitArchiveBlock(block), expected);
    }

    // Rows are read in order by one parser, since a line without a usable year, month or day takes
    // the one of the line before.
    void parseLines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("displayTexts");
        QTest::addColumn<QString>("lastURL");

        QTest::newRow("year, month, day")
            << QStringList{"2023 February 11:  <a href=\"ap230211.html\">Magellanic Clouds over Chile</a><br>"}
            << QStringList{"2023/02/11: Magellanic Clouds over Chile"}
            << "http://www.star.ucl.ac.uk/~apod/apod/ap230211.html";
        QTest::newRow("month, day, year")
            << QStringList{"June 16 1995:  <a href=\"ap950616.html\">Earth</a>"} << QStringList{"1995/06/16: Earth"}
            << "http://www.star.ucl.ac.uk/~apod/apod/ap950616.html";
        QTest::newRow("one-digit day keeps the day before")
            << QStringList{"2023 February 11:  <a href=\"a.html\">A</a>", "2023 March 5:  <a href=\"b.html\">B</a>"}
            << QStringList{"2023/02/11: A", "2023/03/11: B"} << "http://www.star.ucl.ac.uk/~apod/apod/b.html";
        QTest::newRow("year 1900 is not taken")
            << QStringList{"1900 January 01:  <a href=\"a.html\">A</a>", "2001 May 02:  <a href=\"b.html\">B</a>",
                           "1900 May 03:  <a href=\"c.html\">C</a>"}
            << QStringList{"/01/01: A", "2001/05/02: B", "2001/05/03: C"}
            << "http://www.star.ucl.ac.uk/~apod/apod/c.html";
        QTest::newRow("title holding colon and blank stays whole")
            << QStringList{"2023 February 09:  <a href=\"ap230209.html\">M31: The Andromeda Galaxy</a><br>"}
            << QStringList{"2023/02/09: M31: The Andromeda Galaxy"}
            << "http://www.star.ucl.ac.uk/~apod/apod/ap230209.html";
        QTest::newRow("line without a link")
            << QStringList{"2023 February 11: no link here"} << QStringList{"2023/02/11:no link here"}
            << "http://www.star.ucl.ac.uk/~apod/apod/";
        QTest::newRow("line without a date takes the one before")
            << QStringList{"2023 February 11:  <a href=\"a.html\">A</a>", "Notes:  <a href=\"b.html\">B</a>"}
            << QStringList{"2023/02/11: A", "2023/02/11: B"} << "http://www.star.ucl.ac.uk/~apod/apod/b.html";
        QTest::newRow("last month name wins")
            << QStringList{"2020 May June:  <a href=\"a.html\">A</a>"} << QStringList{"2020/06/: A"}
            << "http://www.star.ucl.ac.uk/~apod/apod/a.html";
    }

    void parseLines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, displayTexts);
        QFETCH(QString, lastURL);
        ArchiveLineParser parser(kServer);
        QStringList texts;
        ArchiveRow row;
        for (const QString& line : std::as_const(lines)) {
            row = parser.parse(line);
            texts << row.displayText;
        }
        QCOMPARE(texts, displayTexts);
        QCOMPARE(row.pageURL, lastURL);
    }

    void todaysArchiveFillsTheRows()
    {
        const QStringList lines = SplitArchiveBlock(ArchiveDayBlock(QString::fromUtf8(kTodaysArchive)));
        QCOMPARE(lines.size(), 3);
        ArchiveLineParser parser(kServer);
        int yields = 0;
        const ArchiveRow first = parser.parse(lines.at(0), [&yields] { ++yields; });
        QCOMPARE(first.href, QStringLiteral("ap230211.html"));
        QCOMPARE(first.pageURL, QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/ap230211.html"));
        QCOMPARE(first.displayText, QStringLiteral("2023/02/11: Magellanic Clouds over Chile"));
        QCOMPARE(yields, 3); // <a ...>, </a> and <br>
        QCOMPARE(parser.parse(lines.at(1)).displayText, QStringLiteral("2023/02/10: ZTF meets ATLAS"));
    }

    // Archive answers pieced together from fragments are cut, split and read without fault.
    void garbledArchivesEndSafely()
    {
        const QStringList pieces = {"<b>",      "</b>", "<br>", "\r", "\n",  "2023", " ",
                                    "February", "11",   ":",    ": ", "=\"", "\">",  "<a href=\"ap230211.html\">",
                                    "</a>",     "x",    "<",    ">"};
        QRandomGenerator random(2015);
        for (int i = 0; i < 3000; ++i) {
            QString page;
            const int count = static_cast<int>(random.bounded(60));
            for (int k = 0; k < count; ++k)
                page += pieces.at(random.bounded(static_cast<int>(pieces.size())));
            ArchiveLineParser parser(kServer);
            const QStringList lines = SplitArchiveBlock(ArchiveDayBlock(page));
            for (const QString& line : lines) {
                QVERIFY(!line.isEmpty() && line == line.trimmed());
                QVERIFY(parser.parse(line).pageURL.startsWith(QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/")));
            }
        }
    }

    void dayLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("isDay");

        QTest::newRow("day line") << "2023 February 11:  <a href=\"ap230211.html\">X</a><br>" << true;
        QTest::newRow("1995 day line, upper-case link") << "June 16 1995: <A HREF=\"ap950616.html\">X</A>" << true;
        QTest::newRow("the note's link") << "found here: <a href=\"archivepixFull.html\">APOD Full Archive</a>."
                                         << false;
        QTest::newRow("date without a link") << "2023 February 11: nothing" << false;
        QTest::newRow("date without a colon") << "from the current date through January 1, 2015." << false;
        QTest::newRow("link without a year") << "February 11: <a href=\"ap230211.html\">X</a>" << false;
    }

    void dayLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, isDay);
        QCOMPARE(IsDayLine(line), isDay);
    }
};

STARWICK_TEST_MAIN(TestArchivePage)
#include "tst_archivepage.moc"
