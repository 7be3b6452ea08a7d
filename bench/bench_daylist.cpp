// The day list filled as the archive fills it: 11,500 rows added one by one, then columns 1 and 2
// of every row rewritten one row at a time, with a yield to the event loop after each step, once
// with the index drawer hidden and once with it shown. Prints the total time of each phase and the
// longest stretch between two yields. With --plain, the rows are also added to a plain item model
// whose view is told of every row at once (for comparison; this takes a minute or more). With
// BENCH_VERBOSE set in the environment, every stretch over 1 ms is listed.
#include "browser/daylistbox.h"
#include "browser/indexwindow.h"
#include "platform/drawer.h"
#include "platform/window.h"
#include "support/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QStandardItemModel>

#include <cstdio>
#include <functional>

using namespace Starwick;

namespace {

constexpr int kRows = 11500;

// Stands for the main window, which shows its status line before the archive arrives (so text
// has been drawn once when the list fills).
class BenchParent : public platform::Window
{
public:
    BenchParent()
    {
        setContentSize(800, 700);
        add(new QLabel(QStringLiteral("Retrieving APOD data..."), content()), QRect(10, 10, 300, 20),
            platform::Lock::Left);
    }
};

struct Figures
{
    double totalMs = 0;
    double longestMs = 0;
    int longestRow = 0;
    int over1Ms = 0;
};

// Runs `step` for every row, each followed by one yield; the stretch of a row is its step and its
// yield together.
Figures run(const std::function<void(int)>& step)
{
    Figures figures;
    QElapsedTimer total;
    QElapsedTimer stretch;
    total.start();
    for (int row = 0; row < kRows; ++row) {
        stretch.start();
        step(row);
        QCoreApplication::processEvents();
        const double ms = stretch.nsecsElapsed() / 1e6;
        if (ms > figures.longestMs) {
            figures.longestMs = ms;
            figures.longestRow = row;
        }
        if (ms > 1) {
            ++figures.over1Ms;
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                std::printf("    row %d: %.2f ms at %.1f ms\n", row, ms, total.nsecsElapsed() / 1e6);
        }
    }
    figures.totalMs = total.nsecsElapsed() / 1e6;
    return figures;
}

QString archiveLine(int row)
{
    const int day = 28 - row % 28;
    return QStringLiteral("2023 February %1:  <a href=\"ap2302%2.html\">Picture of day %3</a><br>")
        .arg(day)
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(row);
}

void print(const char* what, const Figures& figures)
{
    std::printf("  %-34s total %8.1f ms   longest stretch %6.2f ms (row %d)   stretches over 1 ms: %d\n", what,
                figures.totalMs, figures.longestMs, figures.longestRow, figures.over1Ms);
}

void benchDayList(bool shown)
{
    BenchParent* parent = platform::Instance<BenchParent>();
    IndexWindow* window = IndexWindow::instance();
    if (shown)
        platform::showAsDrawer(window, parent, platform::DrawerLeftEdge);
    QCoreApplication::processEvents();
    DayListBox* list = window->ListBox1;

    std::printf("Day list, drawer %s, %d rows\n", shown ? "shown" : "hidden", kRows);
    print("yield alone", run([](int) {}));
    const Figures add = run([list](int row) { list->AddRow(archiveLine(row)); });
    print("AddRow + yield", add);
    const Figures cells = run([list](int row) {
        list->SetCell(row, 1, QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/ap%1.html").arg(row));
        list->SetCell(row, 2, QStringLiteral("2023/02/%1: Picture of day %1").arg(row));
    });
    print("SetCell(1), SetCell(2) + yield", cells);
    list->SetListIndex(0);
    std::printf("  %-34s total %8.1f ms\n", "both", add.totalMs + cells.totalMs);

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void benchPlain()
{
    BenchParent* parent = platform::Instance<BenchParent>();
    QStandardItemModel model(0, 4);
    QListView view;
    view.setParent(parent, platform::drawerWindowFlags());
    view.setModel(&model);
    view.setModelColumn(2);
    view.resize(274, 473);
    view.show();
    QCoreApplication::processEvents();
    std::printf("Plain item model, view shown, %d rows\n", kRows);
    const Figures add = run([&model](int row) {
        QList<QStandardItem*> items;
        items << new QStandardItem(archiveLine(row)) << new QStandardItem << new QStandardItem << new QStandardItem;
        model.appendRow(items);
    });
    print("appendRow + yield", add);
}

} // namespace

int main(int argc, char* argv[])
{
    Test::prepareEnvironment();
    QApplication app(argc, argv);
    benchDayList(false);
    benchDayList(true);
    if (app.arguments().contains(QStringLiteral("--plain")))
        benchPlain();
    return 0;
}
