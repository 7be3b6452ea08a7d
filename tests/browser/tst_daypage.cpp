#include "browser/daypage.h"
#include "browser/pagetext.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QFileInfo>
#include <QRandomGenerator>

using namespace Starwick;
using Outcome = DayPicture::Outcome;

Q_DECLARE_METATYPE(DayPicture::Outcome)

namespace {

const QString kServer = QStringLiteral("www.star.ucl.ac.uk/~apod");
const QString kImageBase = QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/image/");

// The cuts as first written, for pages shaped the way they expect: the first quoted "image/" is
// the picture, the first "<b>" the title, and the labels stand as "Credit & Copyright: ",
// "Credit: " and "Explanation: </b>".
struct FirstCut
{
    QString rel, url, ext, saveName, cacheName;
};

FirstCut firstPictureCut(const QString& page)
{
    using TextOps::Field;
    FirstCut cut;
    cut.rel = Field(Field(page, QStringLiteral("\"image/"), 2), QStringLiteral("\""), 1);
    cut.url = (QStringLiteral("http://") + kServer + QStringLiteral("/apod/image/") + cut.rel).trimmed();
    cut.ext = Field(cut.rel.right(5), QStringLiteral("."), 2).toLower().trimmed();
    cut.saveName = Field(Field(page, QStringLiteral("<b>"), 2), QStringLiteral("</b>"), 1).trimmed() + u'.' + cut.ext;
    cut.cacheName = cut.rel.contains(u'/') ? Field(cut.rel, QStringLiteral("/"), 2) : cut.rel;
    return cut;
}

QString firstCreditCut(const QString& page)
{
    using namespace TextOps;
    const QString t = ClearHTML(page);
    int p1 = Find(t, QStringLiteral("Credit & Copyright"));
    if (p1 > 0)
        return Mid(t, p1 + 20, Find(t, QStringLiteral("Explanation"), p1) - (p1 + 20)).trimmed();
    p1 = Find(t, QStringLiteral("Credit"));
    if (p1 > 0)
        return Mid(t, p1 + 7, Find(t, QStringLiteral("Explanation"), p1) - (p1 + 7)).trimmed();
    return QString();
}

QString firstExplanationCut(const QString& page)
{
    using namespace TextOps;
    const QString end =
        page.contains(QStringLiteral("Tomorrow's picture")) ? QStringLiteral("Tomorrow's picture") : "We keep an";
    const int p1 = Find(page, QStringLiteral("Explanation:"));
    const int p2 = Find(page, end, p1);
    return ClearHTML(Mid(page, p1 + 17, p2 - (p1 + 17)).trimmed());
}

void addPictureRow(const char* name, const QString& page, Outcome outcome, const QString& rel = QString(),
                   const QString& ext = QString(), const QString& cacheName = QString(),
                   const QString& saveName = QString(), bool firstCutShape = false)
{
    QTest::newRow(name) << page << outcome << rel << ext << cacheName << saveName << firstCutShape;
}

} // namespace

class TestDayPage : public QObject
{
    Q_OBJECT

private slots:
    void picture_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("rel");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("cacheName");
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<bool>("firstCutShape");

        const QString title = QStringLiteral("<b> A Title </b>");
        auto link = [&title](const char* path) {
            return QStringLiteral("<a href=\"image/%1\"><IMG SRC=\"image/small.jpg\"></a>\n").arg(QLatin1String(path)) +
                   title;
        };

        addPictureRow("folder and name", link("2310/Eclipse.JPG"), Outcome::Picture, "2310/Eclipse.JPG", "jpg",
                      "Eclipse.JPG", "A Title.jpg", true);
        addPictureRow("two slashes: the middle segment", link("2310/big/x.png"), Outcome::Picture, "2310/big/x.png",
                      "png", "big", "A Title.png", true);
        addPictureRow("no slash: the whole path", link("earth_a17.gif"), Outcome::Picture, "earth_a17.gif", "gif",
                      "earth_a17.gif", "A Title.gif", true);
        addPictureRow("four-letter extension", link("2310/x.jpeg"), Outcome::Picture, "2310/x.jpeg", "jpeg", "x.jpeg",
                      "A Title.jpeg", true);
        addPictureRow("no dot in the tail", link("2310/picture"), Outcome::Picture, "2310/picture", "", "picture",
                      "A Title.", true);
        addPictureRow("no <b>", "<a href=\"image/2310/x.jpg\">", Outcome::Picture, "2310/x.jpg", "jpg", "x.jpg", ".jpg",
                      true);
        addPictureRow("favicon link first",
                      "<link rel=\"icon\" type=\"image/ico\" href=\"./favicon.ico\">\n" + link("2310/x.jpg"),
                      Outcome::Picture, "2310/x.jpg", "jpg", "x.jpg", "A Title.jpg");
        addPictureRow("upper-case IMG SRC only", "<IMG SRC=\"image/2310/x_960.jpg\"\nalt=\"x\">" + title,
                      Outcome::Picture, "2310/x_960.jpg", "jpg", "x_960.jpg", "A Title.jpg", true);
        addPictureRow("single quotes", "<a href='image/2310/x.jpg'>" + title, Outcome::Picture, "2310/x.jpg", "jpg",
                      "x.jpg", "A Title.jpg");
        addPictureRow("unquoted", "<a class=big href = image/2310/x.jpg>" + title, Outcome::Picture, "2310/x.jpg",
                      "jpg", "x.jpg", "A Title.jpg");
        addPictureRow("blanks around the path", "<a href=\"image/2310/x.jpg \">" + title, Outcome::Picture,
                      "2310/x.jpg", "jpg", "x.jpg", "A Title.jpg");
        addPictureRow("reference in a comment skipped",
                      "<!-- <a href=\"image/2412/Snap.png\"> -->\n" + link("2412/Real.jpg"), Outcome::Picture,
                      "2412/Real.jpg", "jpg", "Real.jpg", "A Title.jpg");
        addPictureRow("unclosed comment hides nothing", "<!-- gsfc meta tags ->\n" + link("2310/x.jpg"),
                      Outcome::Picture, "2310/x.jpg", "jpg", "x.jpg", "A Title.jpg");
        addPictureRow("unclosed title hides nothing", "<title> APOD\n" + link("2310/x.jpg"), Outcome::Picture,
                      "2310/x.jpg", "jpg", "x.jpg", "A Title.jpg");
        addPictureRow("reference in a script skipped",
                      "<script>if (a<b) s = '<img src=\"image/x.jpg\">';</script>" + link("2310/y.jpg"),
                      Outcome::Picture, "2310/y.jpg", "jpg", "y.jpg", "A Title.jpg");
        addPictureRow("video source skipped, picture after it",
                      "<source src=\"image/2503/Eclipse.mp4\" type=\"video/mp4\">" + link("2503/Eclipse.jpg"),
                      Outcome::Picture, "2503/Eclipse.jpg", "jpg", "Eclipse.jpg", "A Title.jpg");
        addPictureRow("only a video source", "<video><source src=\"image/2503/Eclipse.mp4\"></video>" + title,
                      Outcome::NoPicture, "", "", "", "A Title.");
        addPictureRow("explanation link is not the picture",
                      title + "<b> Explanation: </b> see <a href=\"image/2310/x.jpg\">this</a>", Outcome::NoPicture, "",
                      "", "", "A Title.");
        addPictureRow("image/ outside href and src", "<img alt=\"image/x.jpg\" src=\"other/y.jpg\">" + title,
                      Outcome::NoPicture, "", "", "", "A Title.");
        addPictureRow("video iframe day", "<iframe src=\"https://www.youtube.com/embed/x\"></iframe>" + title,
                      Outcome::NoPicture, "", "", "", "A Title.");
        addPictureRow("hostile: dot dot", link(".."), Outcome::UnsafeName, "..", "", "", "A Title.");
        addPictureRow("hostile: climbing out", link("a/../../x"), Outcome::UnsafeName, "a/../../x", "", "", "A Title.");
        addPictureRow("hostile: backslashes", link("..\\..\\x.jpg"), Outcome::UnsafeName, "..\\..\\x.jpg", "jpg", "",
                      "A Title.jpg");
        addPictureRow("hostile: empty path", link(""), Outcome::UnsafeName, "", "", "", "A Title.");
        addPictureRow("hostile: folder only", link("2310/"), Outcome::UnsafeName, "2310/", "", "", "A Title.");
        addPictureRow("hostile: a slash after the last dot", link("2310/ab.c/d"), Outcome::Picture, "2310/ab.c/d",
                      "c/d", "ab.c", "A Title.c-d");
        addPictureRow("hostile: NUL in the name", "<a href=\"image/2310/a" + QString(QChar(0)) + "b.jpg\">" + title,
                      Outcome::UnsafeName, "2310/a" + QString(QChar(0)) + "b.jpg", "jpg", "", "A Title.jpg");
    }

    void picture()
    {
        QFETCH(QString, page);
        QFETCH(Outcome, outcome);
        QFETCH(QString, rel);
        QFETCH(QString, ext);
        QFETCH(QString, cacheName);
        QFETCH(QString, saveName);
        QFETCH(bool, firstCutShape);

        const DayPicture picture = FindDayPicture(page, kServer);
        QCOMPARE(picture.outcome, outcome);
        QCOMPARE(picture.relativePath, rel);
        QCOMPARE(picture.ext, ext);
        QCOMPARE(picture.cacheName, cacheName);
        QCOMPARE(picture.saveName, saveName);
        QCOMPARE(picture.url, outcome == Outcome::Picture ? kImageBase + rel : QString());
        if (firstCutShape) {
            const FirstCut first = firstPictureCut(page);
            QCOMPARE(picture.relativePath, first.rel);
            QCOMPARE(picture.url, first.url);
            QCOMPARE(picture.ext, first.ext);
            QCOMPARE(picture.saveName, first.saveName);
            QCOMPARE(picture.cacheName, first.cacheName);
        }
    }

    void cacheNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");

        QTest::newRow("plain name") << "Eclipse_960.jpg" << true;
        QTest::newRow("blank inside") << "a b.jpg" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("hidden file the purge would keep") << ".x.jpg" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("NUL") << QString(QStringLiteral("a") + QChar(0)) << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("255 bytes") << QString(251, u'x') + ".jpg" << true;
        QTest::newRow("256 bytes") << QString(252, u'x') + ".jpg" << false;
    }

    void cacheNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(IsSafeCacheName(name), safe);
    }

    void titleAsFileName()
    {
        QCOMPARE(DayTitle(QStringLiteral("<b> Comet C/2022 E3 (ZTF)\n</b>")), QStringLiteral("Comet C-2022 E3 (ZTF)"));
        QCOMPARE(DayTitle(QStringLiteral("<script>x = '<b>no</b>';</script><b> Real </b>")), QStringLiteral("Real"));
    }

    void credits_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("firstCutShape");

        const QString explanation = QStringLiteral("\n<b> Explanation: </b> Text.");
        QTest::newRow("Credit & Copyright")
            << "<b> T </b> <br>\n<b> Image Credit & Copyright: </b>\n<a href=\"x\">Jane Doe</a>" + explanation
            << "Jane Doe" << true;
        QTest::newRow("Credit only") << "<b> T </b>\n<b> Image Credit: </b> NASA, ESA" + explanation << "NASA, ESA"
                                     << true;
        QTest::newRow("Copyright as a link on the next line")
            << "<b> Image Credit &\n<a href=\"lib/about_apod.html#srapply\">Copyright</a>: </b>\n<a>Yang</a>" +
                   explanation
            << "Yang" << true;
        QTest::newRow("1990s Picture Credit")
            << "<b> Picture Credit: </b> NASA, Apollo 17" + explanation << "NASA, Apollo 17" << true;
        QTest::newRow("1990s Credit:") << "<b> Credit:</b> Chandra" + explanation << "Chandra" << true;
        QTest::newRow("three blanks inside the label")
            << "<b> Image Credit & \n <a>Copyright</a>: </b> Yang" + explanation << "Yang" << false;
        QTest::newRow("no blank after the colon") << "<b>Credit & Copyright:</b>Yang" + explanation << "Yang" << false;
        QTest::newRow("plural Credits") << "<b> Image Credits: </b> A, B" + explanation << "A, B" << false;
        QTest::newRow("Credit and Copyright") << "<b> Image Credit and Copyright: </b> X" + explanation << "X" << false;
        QTest::newRow("entity ampersand") << "<b> Image Credit &amp; Copyright: </b> X" + explanation << "X" << false;
        QTest::newRow("Credit in a head script")
            << "<head><script>// Credit: counter\n</script></head>\n<b> Image Credit: </b> X" + explanation << "X"
            << false;
        QTest::newRow("Credit in the title, not a label")
            << "<title> APOD: Credit Where Due </title><b> Image Credit: </b> X" + explanation << "X" << false;
        QTest::newRow("Credit without a label takes the fixed offset") << "Credit NASA" + explanation << "NASA" << true;
        QTest::newRow("no Explanation after the label: up to the end") << "<b> Credit: </b> X <i>Y</i>"
                                                                       << "X Y" << false;
        QTest::newRow("no Explanation after the label: up to the footer")
            << "<b> Credit: </b> X <hr> <b> Authors & editors: </b> E"
            << "X" << false;
        QTest::newRow("no credit") << "<b> T </b>" + explanation << "" << true;
    }

    void credits()
    {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QFETCH(bool, firstCutShape);
        int yields = 0;
        QCOMPARE(CutCredits(page, [&yields] { ++yields; }), expected);
        QVERIFY(yields > 0 || !page.contains(u'<'));
        if (firstCutShape)
            QCOMPARE(CutCredits(page), firstCreditCut(page));
    }

    void explanation_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("firstCutShape");

        QTest::newRow("ends at Tomorrow's picture")
            << "<b> Explanation: </b>\nThe <a href=\"x\">Moon</a> is\n<i>near</i>.\n<p> <center>\n"
               "<b> Tomorrow's picture: </b>stars<p>We keep an archive"
            << "The Moon is near.  " << true;
        QTest::newRow("ends at We keep an") << "<b> Explanation: </b> Earth from Apollo 17.\n<p>\nWe keep an archive"
                                            << "Earth from Apollo 17. " << true;
        QTest::newRow("no blank after the label's </b>") << "<b>Explanation:</b>Earth.\nWe keep an archive"
                                                         << "Earth." << false;
        QTest::newRow("two blanks before the label's </b>") << "<b>Explanation:  </b> Earth.\nWe keep an archive"
                                                            << "Earth." << false;
        QTest::newRow("markers in a head script")
            << "<head><script>// Explanation: counter. Tomorrow's picture\n</script></head>\n"
               "<b> Explanation: </b> Sky. <b> Tomorrow's picture: </b>"
            << "Sky. " << false;
        QTest::newRow("comment inside the explanation")
            << "<b> Explanation: </b> Meteors.\n<!-- <a href=\"image/2412/Snap.png\">snap</a> -->\n"
               "<b> Tomorrow's picture: </b>"
            << "Meteors. " << false;
        QTest::newRow("Tomorrow's picture only before the label")
            << "Tomorrow's picture <b> Explanation: </b> Earth.\nWe keep an archive"
            << "Earth." << false;
        QTest::newRow("ends at Next picture") << "<b> Explanation: </b> Comet.\n<p> <b> Next picture: </b> a spiral"
                                              << "Comet. " << false;
        QTest::newRow("ends at the rule above the links")
            << "<b> Explanation: </b> Aurora.\n<p> <center>\n<p> <HR>\n<a href=\"ap210408.html\">&lt;</a>"
            << "Aurora.  " << false;
        QTest::newRow("ends at the editors' line")
            << "<b> Explanation: </b> Aurora. <b> Authors &amp; editors: </b> Editor One"
            << "Aurora. " << false;
        QTest::newRow("an <hr> is a rule, an <href> is not") << "<b> Explanation: </b> Sky <href>x</href>.<hr/>Archive"
                                                             << "Sky x." << false;
        QTest::newRow("We keep an is prose when Tomorrow's picture follows")
            << "<b> Explanation: </b> We keep an eye on it. <b> Tomorrow's picture: </b>"
            << "We keep an eye on it. " << true;
        QTest::newRow("no end marker: up to the end") << "<b> Explanation: </b> Earth <i>and</i> Moon.\n"
                                                      << "Earth and Moon." << false;
        QTest::newRow("no Explanation: label") << "<b> Tomorrow's picture: </b> stars"
                                               << "" << false;
    }

    void explanation()
    {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QFETCH(bool, firstCutShape);
        QCOMPARE(CutExplanation(page), expected);
        if (firstCutShape)
            QCOMPARE(CutExplanation(page), firstExplanationCut(page));
    }

    // Pages pieced together from markup fragments: every cut ends, and a picture is only ever
    // reported under a name that stays in the cache folder.
    void garbledPagesEndSafely()
    {
        const QStringList pieces = {"<",          ">",    "<!--", "-->",      "<script>", "</script>",
                                    "<a href=",   "src=", "\"",   "'",        "image/",   "Explanation:",
                                    "Credit",     " & ",  ":",    "..",       "/",        "\\",
                                    "<b>",        "</b>", "a",    " ",        "\n",       "Tomorrow's picture",
                                    "We keep an", ".jpg", ".mp4", "Copyright"};
        QRandomGenerator random(1995);
        for (int i = 0; i < 3000; ++i) {
            QString page;
            const int count = static_cast<int>(random.bounded(40));
            for (int k = 0; k < count; ++k)
                page += pieces.at(random.bounded(static_cast<int>(pieces.size())));
            const DayPicture picture = FindDayPicture(page, kServer);
            if (picture.hasPicture()) {
                QVERIFY2(IsSafeCacheName(picture.cacheName), qPrintable(page));
                QVERIFY2(picture.url.startsWith(kImageBase), qPrintable(page));
            } else {
                QVERIFY2(picture.cacheName.isEmpty() && picture.url.isEmpty(), qPrintable(page));
            }
            CutCredits(page);
            CutExplanation(page);
        }
    }

    // A real page followed by megabytes of one hostile shape: every cut reads the page once, so it
    // ends at once and still finds the real page's picture and texts.
    void hostilePagesFinish_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("script openers each with a closer but no >") << "<script </script";
        QTest::newRow("style openers each with a closer but no >") << "<style </style";
        QTest::newRow("script openers, never closed") << "<script ";
        QTest::newRow("comment openers, never closed") << "<!-- ";
        QTest::newRow("title openers, never closed") << "<title>";
        QTest::newRow("unclosed quoted attributes") << "<a href='";
        QTest::newRow("credit labels") << "Image Credit & Copyright:";
        QTest::newRow("rules") << "<hr";
    }
    void hostilePagesFinish()
    {
        QFETCH(QString, shape);
        Test::FixtureServer server;
        const Test::ApodSite site(server);
        const Test::ApodDay& day = site.day(QStringLiteral("ap231017.html"));
        QString page = DecodePageText(day.html);
        page.reserve(page.size() + 4 * 1024 * 1024 + shape.size());
        while (page.size() < 4 * 1024 * 1024)
            page += shape;
        QCOMPARE(FindDayPicture(page, kServer).url, kImageBase + day.picture);
        QCOMPARE(CutCredits(page), day.credit);
        QVERIFY(CutExplanation(page).trimmed().endsWith(day.explanationEnd));
        QCOMPARE(DayTitle(page), day.title);
    }

    // The fake site's pages, built after the real site's markup (favicon and scripts in the head,
    // the credit forms of every decade, video days, commented-out and explanation references,
    // raw Latin-1 bytes): each gives its day's picture, names and texts.
    void recordedPages_data()
    {
        QTest::addColumn<int>("index");
        const QList<Test::ApodDay> days = Test::ApodSite::recordedDays();
        for (int i = 0; i < days.size(); ++i)
            QTest::newRow(qPrintable(days.at(i).dataFile)) << i;
    }

    void recordedPages()
    {
        QFETCH(int, index);
        const Test::ApodDay day = Test::ApodSite::recordedDays().at(index);

        const QString page = DecodePageText(day.html);
        const DayPicture picture = FindDayPicture(page, kServer);
        QCOMPARE(picture.hasPicture(), day.hasPicture());
        QCOMPARE(picture.url, day.hasPicture() ? kImageBase + day.picture : QString());
        QCOMPARE(picture.cacheName, day.cacheName);
        QCOMPARE(picture.saveName, day.title + u'.' + QFileInfo(day.cacheName).suffix().toLower());
        QCOMPARE(CutCredits(page), day.credit);
        const QString explanation = CutExplanation(page);
        QVERIFY2(explanation.startsWith(day.explanationStart), qPrintable(explanation));
        QVERIFY2(explanation.trimmed().endsWith(day.explanationEnd), qPrintable(explanation));
        // What the site puts after a day's texts: the next day's label, the archive note, the
        // navigation links and the footer.
        for (const char* footer : {"Tomorrow's picture", "Next picture", "We keep an", "&lt;", "Archive", "Index",
                                   "Authors", "Editor One", "NASA Official", "Specific rights"}) {
            QVERIFY2(!explanation.contains(QLatin1String(footer)), footer);
            QVERIFY2(!CutCredits(page).contains(QLatin1String(footer)), footer);
        }
    }
};

STARWICK_TEST_MAIN(TestDayPage)
#include "tst_daypage.moc"
