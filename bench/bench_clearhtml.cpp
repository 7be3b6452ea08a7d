// Times the tag stripper on day-page-like text of 10 KiB, 100 KiB and 1 MiB: per call and per KiB,
// without a yield, with a counting yield, and with the event loop's processEvents as the yield. For
// comparison, the stripper that restarts its "<" search from the beginning after every removed tag,
// at 10 and 100 KiB. Then the day-page cuts on a real-shaped page, and on a real page followed by
// hostile shapes (openers that never close, closers with no ">" after them) at 2 and 8 MiB: the
// time per MiB must stay flat as the page grows. Last, the shapes a hostile server can send: an
// explanation that is one run of line ends and a title that is one run of blanks, from 1 to 30 MiB,
// through the credit and explanation cuts and the archive line parser, with the process's peak memory after
// each. Prints figures only.

#include "browser/archivepage.h"
#include "browser/daypage.h"
#include "browser/pagetext.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace Starwick;

namespace {

// A stretch of a day page: head, picture, title, credit, explanation with links, footer.
const char kChunk[] = R"(<center>
<h1> Astronomy Picture of the Day </h1>
<p>
<a href="archivepix.html">Discover the cosmos!</a>
Each day a different image or photograph of our fascinating universe is
featured, along with a brief explanation written by a professional astronomer.
<p>
2023 October 15
<br>
<a href="image/2310/DesertEclipse_Daviron_2000.jpg">
<IMG SRC="image/2310/DesertEclipse_Daviron_960.jpg"
alt="A ring of fire hangs over desert dunes; see Explanation." style="max-width:100%"></a>
</center>
<center>
<b> A Desert Eclipse </b> <br>
<b> Image Credit &
<a href="lib/about_apod.html#srapply">Copyright</a>: </b>
<a href="https://www.example.org/daviron">Stephane Daviron</a>
</center> <p>
<b> Explanation: </b>
What's happening to the Sun? It is being eclipsed by the <a href="ap231014.html">Moon</a>.
The featured image was taken in <a href="https://en.wikipedia.org/wiki/Desert">a desert</a>,
where <i>annular</i> eclipses show a <b>ring of fire</b> &amp; long shadows.
<p> <center>
<b> Tomorrow's picture: </b>open space
<p> <hr>
<a href="ap231014.html">&lt;</a> | <a href="archivepix.html">Archive</a> | <a href="ap231016.html">&gt;</a>
<hr><p>
</center>
)";

QString dayPageText(qsizetype bytes)
{
    const QString chunk = QString::fromUtf8(kChunk);
    QString text;
    text.reserve(bytes + chunk.size());
    while (text.size() < bytes)
        text += chunk;
    text.truncate(bytes);
    return text;
}

// The stripper as first written, restarting its "<" search from the start after each removal.
QString restartingClearHTML(QString s, const std::function<void()>& yield)
{
    qsizetype p = s.indexOf(u'<');
    while (p >= 0) {
        const qsizetype q = s.indexOf(u'>', p);
        if (q < 0)
            break;
        s = s.left(p) + s.mid(q + 1);
        if (yield)
            yield();
        p = s.indexOf(u'<');
    }
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
    s.replace(QStringLiteral("  "), QStringLiteral(" "));
    return s;
}

using Stripper = QString (*)(QString, const std::function<void()>&);

// Runs `strip` until at least 300 ms have passed (at least 3 calls); returns milliseconds per call.
double timePerCall(Stripper strip, const QString& input, const std::function<void()>& yield)
{
    QElapsedTimer timer;
    timer.start();
    int calls = 0;
    qsizetype sink = 0;
    do {
        sink += strip(input, yield).size();
        ++calls;
    } while (calls < 3 || timer.nsecsElapsed() < 300'000'000);
    if (sink < 0)
        std::puts("");
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / calls;
}

// Milliseconds for the picture reference, the credit and the explanation of one page.
double timeDayCuts(const QString& page)
{
    QElapsedTimer timer;
    timer.start();
    int calls = 0;
    qsizetype sink = 0;
    do {
        sink += FindDayPicture(page, QStringLiteral("www.star.ucl.ac.uk/~apod")).relativePath.size();
        sink += CutCredits(page).size() + CutExplanation(page).size();
        ++calls;
    } while (calls < 3 || timer.nsecsElapsed() < 300'000'000);
    if (sink < 0)
        std::puts("");
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / calls;
}

// Milliseconds for one call of `work` (a single call: the large shapes take long enough alone).
double timeOnce(const std::function<qsizetype()>& work)
{
    QElapsedTimer timer;
    timer.start();
    if (work() < 0)
        std::puts("");
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void report(const char* label, qsizetype bytes, double ms)
{
    const double kib = static_cast<double>(bytes) / 1024.0;
    std::printf("  %-40s %8.0f KiB  %10.3f ms/call  %8.2f us/KiB\n", label, kib, ms, ms * 1000.0 / kib);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::function<void()> none;
    long long yields = 0;
    const std::function<void()> counting = [&yields] { ++yields; };
    const std::function<void()> eventLoop = [] { QCoreApplication::processEvents(); };

    const qsizetype sizes[] = {10 * 1024, 100 * 1024, 1024 * 1024};
    int tags = 0;
    for (QChar c : dayPageText(10 * 1024))
        tags += c == u'<';
    std::printf("ClearHTML on day-page-like text (about %d tags per 10 KiB)\n", tags);
    for (qsizetype bytes : sizes) {
        const QString input = dayPageText(bytes);
        report("linear, no yield", bytes, timePerCall(&ClearHTML, input, none));
        report("linear, counting yield", bytes, timePerCall(&ClearHTML, input, counting));
        report("linear, processEvents yield", bytes, timePerCall(&ClearHTML, input, eventLoop));
    }
    std::printf("Restarting stripper, for comparison\n");
    for (qsizetype bytes : {sizes[0], sizes[1]}) {
        const QString input = dayPageText(bytes);
        report("restarting, no yield", bytes, timePerCall(&restartingClearHTML, input, none));
    }
    std::printf("Day-page cuts (picture, credit, explanation)\n");
    report("real-shaped day page", 100 * 1024, timeDayCuts(dayPageText(100 * 1024)));
    const QString realPage = dayPageText(3 * 1024);
    for (const char* shape : {"<script ", "<!-- ", "<title>", "<a href='", "<script </script", "<style </style",
                              "Credit & Copyright:", "<hr"}) {
        for (qsizetype bytes : {2 * 1024 * 1024, 8 * 1024 * 1024}) {
            QString page = realPage;
            page.reserve(bytes + 64);
            while (page.size() < bytes)
                page += QLatin1String(shape);
            char label[64];
            std::snprintf(label, sizeof label, "page + \"%s\" repeated", shape);
            report(label, page.size(), timeDayCuts(page));
        }
    }
    std::printf("Hostile shapes (one call each; peak memory of the process so far)\n");
    for (qsizetype mib : {1, 4, 30}) {
        const qsizetype bytes = mib * 1024 * 1024;
        const QString lineEnds = QStringLiteral("<b> Explanation: </b> What") + QString(bytes, u'\n') +
                                 QStringLiteral("happened? <p> <center> <b> Tomorrow's picture: </b>");
        double ms = timeOnce([&] { return CutCredits(lineEnds).size() + CutExplanation(lineEnds).size(); });
        report("explanation of line ends (both cuts)", bytes, ms);
        const QString blanks = QStringLiteral("2023 October 15: <a href=\"ap231015.html\">") + QString(bytes, u' ') +
                               QStringLiteral("</a><br>");
        ms = timeOnce([&] {
            ArchiveLineParser parser(QStringLiteral("www.star.ucl.ac.uk/~apod"));
            return parser.parse(blanks).displayText.size();
        });
        report("archive title of blanks", bytes, ms);
        std::printf("  %-40s %8ld MiB\n", "peak memory so far", peakMiB());
    }
    return 0;
}
