// A hostile day page through the real main window: MainWindow::TCPSocket3_PageReceived decodes
// the page, looks for its picture, and cuts the title, credit and explanation with a yield after
// each tag. Pages of 4 and 30 MiB whose explanation is one run of line ends or of blanks, one made
// only of line ends, and one whose title is a run of blanks. Prints the whole call's time, the
// yields and the longest stretch between two of them (the time the window cannot answer), and
// whether the explanation came out thinned. Goal: no stretch over a second at 30 MiB.
//
// Everything is served on this machine: a fixture APOD site answers the archive the window asks
// for when it opens.
#include "browser/mainwindow.h"
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
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>

#include <cstdio>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

struct Figures
{
    double totalMs = 0;
    int yields = 0;
    double longestMs = 0;
};

Figures feedDayPage(MainWindow* window, const QByteArray& page)
{
    Figures figures;
    QElapsedTimer total;
    qint64 lastNs = 0;
    auto endStretch = [&](qint64 nowNs) {
        figures.longestMs = std::max(figures.longestMs, double(nowNs - lastNs) / 1e6);
        lastNs = nowNs;
    };
    platform::setYieldObserverForBenchmarks([&] {
        endStretch(total.nsecsElapsed());
        ++figures.yields;
    });
    total.start();
    window->TCPSocket3_PageReceived(QStringLiteral("http://") + APODServer() + QStringLiteral("/apod/ap231015.html"),
                                    200, {}, page);
    const qint64 end = total.nsecsElapsed();
    endStretch(end);
    platform::setYieldObserverForBenchmarks({});
    figures.totalMs = double(end) / 1e6;
    return figures;
}

QByteArray hostilePage(const char* shape, qsizetype bytes)
{
    const QByteArray head = "<html><body><center><h1>Astronomy Picture of the Day</h1><p>2023 October 15<br>"
                            "</center><center><b> A Desert Eclipse </b> <br><b> Image Credit &amp; Copyright: </b>"
                            "Stephane Daviron</center><p><b> Explanation: </b> What";
    const QByteArray tail = "happened? <p> <center> <b> Tomorrow's picture: </b>open space<p><hr></center>"
                            "</body></html>\n";
    if (qstrcmp(shape, "explanation of line ends") == 0)
        return head + QByteArray(bytes, '\n') + tail;
    if (qstrcmp(shape, "explanation of CR LF") == 0)
        return head + QByteArray(bytes, '\r').replace("\r\r", "\r\n") + tail;
    if (qstrcmp(shape, "explanation of blanks") == 0)
        return head + QByteArray(bytes, ' ') + tail;
    if (qstrcmp(shape, "only line ends") == 0)
        return QByteArray(bytes, '\n');
    // A title of blanks: the bold block after the date.
    return "<html><body><center><p>2023 October 15<br></center><center><b>" + QByteArray(bytes, ' ') +
           "</b></center><p><b> Explanation: </b> Short. <p> <b> Tomorrow's picture: </b></body></html>\n";
}

} // namespace

int main(int argc, char* argv[])
{
    Test::prepareEnvironment();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    platform::setQuitHandlerForTesting([](int) {});
    platform::setUrlOpenerForTesting([](const QUrl&) {});

    // The fixture site, on a thread of its own.
    Test::ServerThread serverThread;
    FixtureServer* server = &serverThread.server();
    const ApodSite site(*server, QStringLiteral("/~apod"));
    const bool started = serverThread.start();
    if (!started) {
        std::fprintf(stderr, "cannot start the fixture server\n");
        return 1;
    }
    setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(server->port()));
    QDir().mkpath(CacheFolder().path());

    MainWindow* window = MainWindow::instance();
    // The window opens as at launch: the archive, then the newest day's page and picture.
    if (!Test::waitFor([&] {
            return !Globals::DayHTML.isEmpty() && !window->TCPSocket2->isBusy() && !window->TCPSocket3->isBusy();
        })) {
        std::fprintf(stderr, "the main window did not finish opening: %s\n", qPrintable(window->StatsText->text()));
        return 1;
    }

    std::printf("Hostile day pages through the main window (times in ms; \"longest\": between two yields)\n");
    std::printf("%-28s %8s %10s %8s %10s  %s\n", "page", "MiB", "total", "yields", "longest", "explanation");
    for (const char* shape : {"explanation of line ends", "explanation of CR LF", "explanation of blanks",
                              "only line ends", "title of blanks"}) {
        for (const qsizetype mib : {4, 30}) {
            const QByteArray page = hostilePage(shape, mib * 1024 * 1024);
            const Figures f = feedDayPage(window, page);
            const QString& explanation = Globals::PageExplanation;
            const char* verdict = explanation.size() > mib * 1024 * 1024 / 2 + 64 ? "NOT THINNED" : "thinned";
            std::printf("%-28s %8lld %10.1f %8d %10.1f  %lld chars, %s\n", shape, static_cast<long long>(mib),
                        f.totalMs, f.yields, f.longestMs, static_cast<long long>(explanation.size()), verdict);
            Test::waitFor([] { return false; }, 50);
        }
    }
    return 0;
}
