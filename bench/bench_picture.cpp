// A 24-megapixel JPEG from the cache to painted in the real main window, and repainted as the
// window is resized. The bench makes a 6000 x 4000 JPEG with photo-like detail (gradients, soft
// structure and noise) in the cache folder of a temporary home, then runs the measurement --runs
// times (3 by default), each in a fresh process so that each run's peak memory is its own:
// - show: the real day-page handler (MainWindow::TCPSocket3_PageReceived) on a day page whose
//   picture is in the cache (it opens the file, fits and draws it as GetImageURLs does), then
//   Canvas1's next paint;
// - live: Canvas1's paint while the window is being resized (the picture still at its old scale),
//   over several steps of a drag;
// - new size: the redraw at the new scale when the resize settles (Resized), then Canvas1's paint;
// - the peak memory of the whole process: getrusage's ru_maxrss and VmHWM of /proc/self/status;
// - for reference, after the peaks are read: Picture::Open alone and the first scaled draw alone.
#include "browser/mainwindow.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/system.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace Starwick;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
const QString kPicturePath = QStringLiteral("2612/BigSky_6000x4000.jpg");
const QString kCacheName = QStringLiteral("BigSky_6000x4000.jpg");
const char kChildRole[] = "STARWICK_BENCH_PICTURE_ROLE";
const char kChildHome[] = "STARWICK_BENCH_PICTURE_HOME";

// Gradients, large soft waves, fine ripples, a sprinkle of stars and noise: detail at every scale,
// so the file is as large and as slow to decode as a photograph of this size.
QImage makePhotoLikeImage()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    quint32 state = 0x9e3779b9u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double wave = std::sin(y / 310.0);
        for (int x = 0; x < kWidth; ++x) {
            const quint32 r = next();
            const int noise = int(r & 31) - 16;
            const double soft = 40.0 * std::sin(x / 420.0 + wave) + 12.0 * std::sin((x + 2 * y) / 23.0);
            int red = 20 + x * 150 / kWidth + int(soft) + noise;
            int green = 30 + y * 120 / kHeight + int(soft * 0.6) + noise;
            int blue = 90 + int(60.0 * wave) - int(soft * 0.4) + noise;
            if ((r >> 8) % 4000 == 0)
                red = green = blue = 255; // a star
            line[x] = qRgb(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
        }
    }
    return image;
}

struct Memory
{
    double rssMiB = 0;
    double hwmMiB = 0;
    double maxrssMiB = 0;
};

double statusMiB(const QByteArray& status, const char* key)
{
    const qsizetype at = status.indexOf(key);
    if (at < 0)
        return -1;
    return status.mid(at + qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
}

Memory memoryNow()
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    const QByteArray status = file.readAll();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {statusMiB(status, "VmRSS:"), statusMiB(status, "VmHWM:"), double(usage.ru_maxrss) / 1024.0};
}

// Times the paint events of one widget: the filter delivers the event itself and notes how long
// the widget took and when it was done.
class PaintTimer : public QObject
{
public:
    explicit PaintTimer(QWidget* widget)
        : m_widget(widget)
    {
        m_clock.start();
        widget->installEventFilter(this);
    }

    /// Nanoseconds on the timer's clock.
    qint64 now() const { return m_clock.nsecsElapsed(); }
    int paints() const { return m_paints; }
    /// When the last paint ended, and how many milliseconds it took.
    qint64 lastEnd() const { return m_lastEnd; }
    double lastMs() const { return m_lastMs; }

    /// Runs the event loop until the widget has painted once more; returns that paint's milliseconds.
    double waitForPaint()
    {
        const int before = m_paints;
        QDeadlineTimer deadline(5000);
        while (m_paints == before && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_paints == before ? -1 : m_lastMs;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_widget || event->type() != QEvent::Paint || m_inside)
            return false;
        m_inside = true;
        const qint64 start = now();
        QCoreApplication::sendEvent(m_widget, event);
        m_lastEnd = now();
        m_lastMs = double(m_lastEnd - start) / 1e6;
        ++m_paints;
        m_inside = false;
        return true;
    }

private:
    QWidget* m_widget;
    QElapsedTimer m_clock;
    qint64 m_lastEnd = 0;
    double m_lastMs = -1;
    int m_paints = 0;
    bool m_inside = false;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// One measurement in this process, in the temporary home the parent made; prints one table row.
int runOnce(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    platform::setQuitHandlerForTesting([](int) {});
    platform::setUrlOpenerForTesting([](const QUrl&) {});

    FixtureServer server;
    if (!server.start())
        return 1;
    const ApodSite site(server, QStringLiteral("/~apod"));
    setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(server.port()));
    // A modern day page whose picture is the big file in the cache.
    QByteArray dayPage = site.day(QStringLiteral("ap231017.html")).html;
    dayPage.replace("image/2310/DesertEclipse_Daviron_2000.jpg", "image/" + kPicturePath.toLatin1());
    const QString cacheFile = CacheFolder().Child(kCacheName).path();

    MainWindow* window = MainWindow::instance();
    if (!Test::waitFor(
            [&] { return window->StatsText->text() == QStringLiteral("This day has no picture to show."); })) {
        std::fprintf(stderr, "the main window did not finish opening\n");
        return 1;
    }
    PaintTimer paints(window->Canvas1);
    Test::waitFor([] { return false; }, 200);
    const Memory before = memoryNow();

    // The handler cuts the day's texts with a yield per tag, so the picture may well be painted
    // before it returns: the show ends with the first paint of Canvas1 after the handler began.
    const int paintsBefore = paints.paints();
    const qint64 start = paints.now();
    window->TCPSocket3_PageReceived(site.dayUrl(QStringLiteral("ap261209.html")), 200, {}, dayPage);
    const double handlerMs = double(paints.now() - start) / 1e6;
    if (paints.paints() == paintsBefore)
        paints.waitForPaint();
    const double firstPaintMs = paints.lastMs();
    const double showMs = double(paints.lastEnd() - start) / 1e6;
    const QString status = window->StatsText->text();
    const Memory shown = memoryNow();
    if (!window->p || status != QStringLiteral("Download complete. Image is %1 x %2.").arg(kWidth).arg(kHeight)) {
        std::fprintf(stderr, "the picture was not shown: %s\n", qPrintable(status));
        return 1;
    }

    // Drags to each size in a few steps (each step painted at the old scale), then lets it settle.
    const QSize sizes[] = {{1280, 900}, {1000, 760}, {1700, 1050}, {760, 640}, {1920, 1180}};
    std::vector<double> livePaints;
    std::vector<double> newSize;
    QSize from = window->size();
    for (const QSize& to : sizes) {
        constexpr int kSteps = 4;
        for (int step = 1; step <= kSteps; ++step) {
            window->resize(from + (to - from) * step / kSteps);
            const double ms = paints.waitForPaint();
            if (ms < 0) {
                std::fprintf(stderr, "Canvas1 did not paint during the drag to %dx%d\n", to.width(), to.height());
                return 1;
            }
            livePaints.push_back(ms);
        }
        from = to;
        const double oldFactor = window->factor;
        const qint64 redrawStart = paints.now();
        window->Resized();
        const double redrawMs = double(paints.now() - redrawStart) / 1e6;
        const double paintMs = paints.waitForPaint();
        if (paintMs < 0 || window->factor == oldFactor) {
            std::fprintf(stderr, "no repaint at a new scale at %dx%d\n", to.width(), to.height());
            return 1;
        }
        newSize.push_back(redrawMs + paintMs);
        Test::waitFor([] { return false; }, Starwick::platform::Window::kResizeSettleMs + 30);
    }
    const Memory end = memoryNow();

    // For reference, once the peaks are read: the decode alone and the first scaled draw alone.
    QElapsedTimer timer;
    timer.start();
    const platform::PictureRef again = platform::Picture::Open(cacheFile);
    const double openMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    if (again) {
        QImage drawn(480, 320, QImage::Format_ARGB32_Premultiplied);
        platform::Graphics g(&drawn);
        g.DrawPicture(*again, 0, 0, 480, 320, 0, 0, again->Width(), again->Height());
    }
    const double firstScaleMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("%7.1f %8.1f %6.1f ", showMs, handlerMs, firstPaintMs);
    for (double ms : newSize)
        std::printf("%6.2f ", ms);
    std::printf("%7.2f %7.2f %7.1f %7.1f %7.1f %7.1f | %6.1f %6.1f\n", median(livePaints),
                *std::max_element(livePaints.begin(), livePaints.end()), before.rssMiB, shown.rssMiB, end.maxrssMiB,
                end.hwmMiB, openMs, firstScaleMs);
    return 0;
}

// Makes the picture in the cache folder; prints what was made.
int makePicture(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QDir().mkpath(CacheFolder().path());
    const QString cacheFile = CacheFolder().Child(kCacheName).path();
    QElapsedTimer timer;
    timer.start();
    QImageWriter writer(cacheFile, "jpeg");
    writer.setQuality(90);
    if (!writer.write(makePhotoLikeImage())) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(cacheFile), qPrintable(writer.errorString()));
        return 1;
    }
    std::printf("Picture: %d x %d JPEG (quality 90), %.1f MiB, made in %.0f ms, in the cache folder\n", kWidth, kHeight,
                double(QFile(cacheFile).size()) / (1024.0 * 1024.0), double(timer.elapsed()));
    return 0;
}

// Runs this program again in `role`, in the temporary home of this process; false when it fails.
bool runChild(const char* role, QByteArray* output)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildRole), QString::fromLatin1(role));
    environment.insert(QString::fromLatin1(kChildHome), Test::homePath());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    child.waitForFinished(300000);
    *output = child.readAllStandardOutput();
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return true;
    *output += child.readAllStandardError();
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    const QByteArray role = qgetenv(kChildRole);
    if (!role.isEmpty()) {
        // A run started below, in the parent's temporary home (never in a real one).
        if (qgetenv("HOME") != qgetenv(kChildHome))
            return 2;
        if (role == "make")
            return makePicture(argc, argv);
        return runOnce(argc, argv);
    }

    Test::prepareEnvironment();
    QCoreApplication app(argc, argv);
    int runs = 3;
    const QStringList arguments = app.arguments();
    if (const int at = arguments.indexOf(QStringLiteral("--runs")); at >= 0 && at + 1 < arguments.size())
        runs = std::max(1, arguments.at(at + 1).toInt());

    // The picture is made in a process of its own, so that no process measured below was ever as
    // large as the full-size image (a child's ru_maxrss starts from its parent's size at the fork).
    QByteArray output;
    if (!runChild("make", &output)) {
        std::fprintf(stderr, "cannot make the picture: %s\n", output.constData());
        return 1;
    }
    std::fputs(output.constData(), stdout);
    std::printf("Goals: shown in under 300 ms, a repaint at a new size under 5 ms, peak memory under 200 MiB\n");
    std::printf("(ms; \"show\": from the day page to the end of Canvas1's first paint of the picture, of which the\n"
                " handler's own call and the paint; then the repaint at each new window size once the resize settles\n"
                " (Resized + Canvas1's paint); \"live\": Canvas1's paints during the drags, at the old scale; memory\n"
                " in MiB: RSS before and after showing, peaks as ru_maxrss and VmHWM; after the bar, for reference:\n"
                " Picture::Open alone and the first scaled draw alone)\n");
    std::printf("%4s %7s %8s %6s %6s %6s %6s %6s %6s %7s %7s %7s %7s %7s %7s | %6s %6s\n", "run", "show", "handler",
                "paint", "1280", "1000", "1700", "760", "1920", "live", "live", "RSS", "RSS", "maxrss", "VmHWM", "open",
                "scale");
    std::printf("%4s %7s %8s %6s %6s %6s %6s %6s %6s %7s %7s %7s %7s %7s %7s | %6s %6s\n", "", "", "", "", "x900",
                "x760", "x1050", "x640", "x1180", "median", "max", "before", "shown", "", "", "", "");
    std::fflush(stdout);
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        const bool passed = runChild("run", &output);
        std::printf(passed ? "%4d %s" : "%4d  run failed: %s\n", run, output.constData());
        std::fflush(stdout);
        failures += !passed;
    }
    return failures == 0 ? 0 : 1;
}
