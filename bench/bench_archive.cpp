// The archive page of every day since the first, 11,500 day lines, through the real main window:
// MainWindow::TCPSocket1_PageReceived adds the rows with a yield after each, then ParseURLs writes
// every row's page address and display text with a yield after each and requests the newest day.
// Once with the index drawer hidden and once with it shown, --runs times (3 by default). Prints
// the total time, the time until every row holds its address and display text, the yields, the
// longest stretch between two yields and where it fell, the page faults of the call (memory
// touched for the first time), and checks every row at the end. The first run of a process is the
// one the program meets at launch; later runs find their memory already in use. With BENCH_VERBOSE
// set in the environment, every stretch over 1 ms is listed.
//
// Everything is served on this machine: a fixture APOD site answers the archive the window asks for
// when it opens and the day page ParseURLs asks for at the end.
#include "browser/daylistbox.h"
#include "browser/daylistmodel.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/drawer.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/serverthread.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

constexpr int kDays = 11500;
const QDate kFirstDay(1995, 6, 16);
const QString kDayPageAnswered = QStringLiteral("This day has no picture to show.");

struct Figures
{
    double totalMs = 0;
    double rowsAddedMs = -1;    // every row in the list
    double rowsCompleteMs = -1; // every row with its address and display text
    int yields = 0;
    double longestMs = 0;
    int longestAfterYield = 0; // the stretch that ends at this yield (0: before the first)
    int over1Ms = 0;
    int over5Ms = 0;
    int viewRows = 0;
    long pageFaults = 0; // minor faults: memory touched for the first time
    int badRows = 0;
    int firstBadRow = -1;
};

// Times one call of the archive handler, watching every yield it makes.
Figures feedArchive(MainWindow* window, const QByteArray& page)
{
    DayListBox* list = IndexWindow::instance()->ListBox1;
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");
    Figures figures;
    QElapsedTimer total;
    qint64 lastNs = 0;
    auto endStretch = [&](qint64 nowNs) {
        const double ms = double(nowNs - lastNs) / 1e6;
        if (ms > figures.longestMs) {
            figures.longestMs = ms;
            figures.longestAfterYield = figures.yields;
        }
        figures.over1Ms += ms > 1;
        figures.over5Ms += ms > 5;
        if (verbose && ms > 1)
            std::printf("    stretch before yield %d: %.2f ms at %.1f ms\n", figures.yields, ms, double(nowNs) / 1e6);
        lastNs = nowNs;
    };
    platform::setYieldObserverForBenchmarks([&] {
        const qint64 now = total.nsecsElapsed();
        endStretch(now);
        ++figures.yields;
        // The rows come in order, and ParseURLs fills them in order: the last row's cells tell.
        if (figures.rowsAddedMs < 0 && list->ListCount() == kDays)
            figures.rowsAddedMs = double(now) / 1e6;
        if (figures.rowsCompleteMs < 0 && figures.yields > kDays && !list->Cell(kDays - 1, 2).isEmpty())
            figures.rowsCompleteMs = double(now) / 1e6;
    });
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long faultsBefore = usage.ru_minflt;
    total.start();
    window->TCPSocket1_PageReceived(APODServer() + QStringLiteral("/apod/archivepix.html"), 200, {}, page);
    const qint64 end = total.nsecsElapsed();
    endStretch(end);
    platform::setYieldObserverForBenchmarks({});
    getrusage(RUSAGE_SELF, &usage);
    figures.pageFaults = usage.ru_minflt - faultsBefore;
    figures.totalMs = double(end) / 1e6;
    figures.viewRows = list->dayModel()->rowCount();
    return figures;
}

// Every row as the page gives it: its day's address and "yyyy/MM/dd: title".
void checkRows(Figures& figures, const QDate& newest)
{
    DayListBox* list = IndexWindow::instance()->ListBox1;
    const QString base = QStringLiteral("http://") + APODServer() + QStringLiteral("/apod/ap");
    if (list->ListCount() != kDays) {
        figures.badRows = std::abs(kDays - list->ListCount());
        return;
    }
    for (int row = 0; row < kDays; ++row) {
        const QDate date = newest.addDays(-row);
        const QString url = base + date.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".html");
        const QString text =
            date.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(": Sky Picture Number %1").arg(kDays - row);
        if (list->Cell(row, 1) != url || list->Cell(row, 2) != text) {
            if (figures.firstBadRow < 0)
                figures.firstBadRow = row;
            ++figures.badRows;
        }
    }
}

void print(int run, const char* drawer, const Figures& f)
{
    std::printf("%4d  %-7s %9.1f %11.1f %13.1f %7d %10.2f %8d %6d %6d %9d %7ld  %s\n", run, drawer, f.totalMs,
                f.rowsAddedMs, f.rowsCompleteMs, f.yields, f.longestMs, f.longestAfterYield, f.over1Ms, f.over5Ms,
                f.viewRows, f.pageFaults, f.badRows == 0 ? "all rows right" : "ROWS WRONG");
    if (f.badRows != 0)
        std::printf("      %d rows wrong, the first at row %d\n", f.badRows, f.firstBadRow);
}

} // namespace

int main(int argc, char* argv[])
{
    Test::prepareEnvironment();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    platform::setQuitHandlerForTesting([](int) {});
    platform::setUrlOpenerForTesting([](const QUrl&) {});

    int runs = 3;
    const QStringList arguments = app.arguments();
    if (const int at = arguments.indexOf(QStringLiteral("--runs")); at >= 0 && at + 1 < arguments.size())
        runs = std::max(1, arguments.at(at + 1).toInt());

    // The fixture site, on a thread of its own; all its routes are set before it starts.
    Test::ServerThread serverThread;
    FixtureServer* server = &serverThread.server();
    const ApodSite site(*server, QStringLiteral("/~apod"));
    // The newest line of the big page is the last of 11,500 days from the first; its page is
    // served as the fixture site's video day, so the request at the end fetches no picture.
    const QDate newest = kFirstDay.addDays(kDays - 1);
    const QString newestPage =
        QStringLiteral("ap") + newest.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".html");
    server->route(site.dayPath(newestPage),
                  FixtureServer::Response::page(site.day(QStringLiteral("ap250314.html")).html));
    const bool started = serverThread.start();
    if (!started) {
        std::fprintf(stderr, "cannot start the fixture server\n");
        return 1;
    }
    setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(server->port()));
    QDir().mkpath(CacheFolder().path());
    const QByteArray page = ApodSite::bigArchivePage(kDays, newest);

    // The window opens as at launch, reading the fixture site's small archive.
    MainWindow* window = MainWindow::instance();
    DayListBox* list = IndexWindow::instance()->ListBox1;
    if (!Test::waitFor([&] { return window->StatsText->text() == kDayPageAnswered; })) {
        std::fprintf(stderr, "the main window did not finish opening: %s\n", qPrintable(window->StatsText->text()));
        return 1;
    }

    std::printf("Archive page: %d day lines from %s to %s, %.0f KiB\n", kDays,
                qPrintable(kFirstDay.toString(Qt::ISODate)), qPrintable(newest.toString(Qt::ISODate)),
                double(page.size()) / 1024.0);
    std::printf("Goals: total under 100 ms with the drawer hidden, under 300 ms shown; no stretch over 5 ms\n");
    std::printf("(times in ms from the call; \"stretch\": between two yields, or the call's start or end and\n"
                " the nearest yield; \"at\": the yield that ends it; \"view\": rows the list view knows at the end;\n"
                " \"faults\": minor page faults during the call, pages of memory touched for the first time)\n");
    std::printf("%4s  %-7s %9s %11s %13s %7s %10s %8s %6s %6s %9s %7s\n", "run", "drawer", "total", "rows added",
                "rows complete", "yields", "longest", "at", ">1ms", ">5ms", "view", "faults");
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        for (const bool shown : {false, true}) {
            list->DeleteAllRows();
            Globals::LastIndex = 0;
            window->StatsText->setText(QStringLiteral("Idle."));
            IndexWindow* drawer = IndexWindow::instance();
            if (shown)
                platform::showAsDrawer(drawer, window, platform::DrawerLeftEdge);
            else
                drawer->hide();
            // Let the drawer show (or go) and everything settle before the archive comes.
            Test::waitFor([] { return false; }, 100);

            Figures figures = feedArchive(window, page);
            checkRows(figures, newest);
            print(run, shown ? "shown" : "hidden", figures);
            failures += figures.badRows != 0;
            if (!Test::waitFor([&] { return window->StatsText->text() == kDayPageAnswered; })) {
                std::printf("      the newest day's page was not shown: %s\n", qPrintable(window->StatsText->text()));
                ++failures;
            }
        }
    }
    if (failures != 0)
        std::printf("%d runs did not end with every row right\n", failures);
    IndexWindow::instance()->hide();
    return failures == 0 ? 0 : 1;
}
