#include "platform/window.h"
#include "platform/windowmanager.h"
#include "support/stderrcapture.h"
#include "support/testenv.h"

#include <memory>

using namespace Starwick;
using namespace Starwick::platform;

namespace {

class StandIn : public Window
{
public:
    explicit StandIn(Qt::WindowFlags flags = Qt::Window)
        : Window(nullptr, flags)
    {
        setContentSize(200, 120);
    }
};

std::unique_ptr<StandIn> shown(const QPoint& at, Qt::WindowFlags flags = Qt::Window)
{
    auto window = std::make_unique<StandIn>(flags);
    window->move(at);
    window->show();
    return window;
}

bool isBcd(qint32 value)
{
    for (int shift = 0; shift < 16; shift += 4) {
        if (((value >> shift) & 0xF) > 9)
            return false;
    }
    return (value & ~0xFFFF) == 0;
}

} // namespace

class TestWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setWindowTransitionsAnimatedForTesting(std::nullopt); }

    void transitionSetsTheFrame_data()
    {
        QTest::addColumn<bool>("animated");
        QTest::newRow("immediate") << false;
        QTest::newRow("animated") << true;
    }
    void transitionSetsTheFrame()
    {
        QFETCH(bool, animated);
        setWindowTransitionsAnimatedForTesting(animated);
        auto window = shown(QPoint(40, 60));
        Rect16 before;
        QCOMPARE(GetWindowBounds(window.get(), kWindowStructureRgn, &before), int(noErr));
        QCOMPARE(QRect(QPoint(before.left, before.top), QPoint(before.right - 1, before.bottom - 1)),
                 window->frameGeometry());

        const Rect16 target{qint16(before.top + 10), qint16(before.left - 20), qint16(before.bottom + 70),
                            qint16(before.right + 30)};
        QCOMPARE(TransitionWindow(window.get(), kWindowSlideTransitionEffect, kWindowResizeTransitionAction, &target),
                 int(noErr));
        Rect16 after;
        GetWindowBounds(window.get(), kWindowStructureRgn, &after);
        QCOMPARE((QList<int>{after.top, after.left, after.bottom, after.right}),
                 (QList<int>{target.top, target.left, target.bottom, target.right}));
        Rect16 content;
        GetWindowBounds(window.get(), kWindowContentRgn, &content);
        QCOMPARE(content.right - content.left, window->Width());
        QCOMPARE(content.bottom - content.top, window->Height());
        QCOMPARE(window->Width(), 250);
        QCOMPARE(window->Height(), 180);
    }

    void badArgumentsAreRefused()
    {
        auto window = shown(QPoint(0, 0));
        Rect16 r;
        QCOMPARE(GetWindowBounds(nullptr, kWindowStructureRgn, &r), int(errInvalidWindowRef));
        QCOMPARE(GetWindowBounds(window.get(), 7, &r), int(errWindowRegionCodeInvalid));
        QCOMPARE(TransitionWindow(window.get(), kWindowSlideTransitionEffect, 99, &r), int(paramErr));
        const Rect16 inverted{100, 100, 50, 50};
        const QRect frame = window->frameGeometry();
        QCOMPARE(TransitionWindow(window.get(), 3, kWindowResizeTransitionAction, &inverted), int(paramErr));
        QCOMPARE(window->frameGeometry(), frame);
    }

    void windowListRunsFrontToBack()
    {
        auto a = shown(QPoint(10, 10));
        auto b = shown(QPoint(30, 30));
        auto tool = shown(QPoint(50, 50), Qt::Tool);
        auto hidden = std::make_unique<StandIn>();
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(WindowAt(0), b.get());
        QCOMPARE(WindowAt(1), a.get());
        QCOMPARE(WindowAt(2), nullptr);
        QCOMPARE(FrontNonFloatingWindow(), b.get());

        a->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(a.get()));
        QCOMPARE(WindowAt(0), a.get());

        QCOMPARE(SendBehind(a.get(), b.get()), int(noErr));
        QCOMPARE(WindowAt(0), b.get());
        QCOMPARE(WindowAt(1), a.get());

        b->close();
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(WindowAt(0), a.get());
    }

    void windowNumbersAreStableAndNeverReused()
    {
        auto a = std::make_unique<StandIn>();
        const int first = MacWindowPtr(a.get());
        QVERIFY(first != 0);
        QCOMPARE(MacWindowPtr(a.get()), first);
        QCOMPARE(MacWindowPtr(nullptr), 0);
        a.reset();
        auto b = std::make_unique<StandIn>();
        QVERIFY(MacWindowPtr(b.get()) != first);
    }

    void framesComeOntoASmallerScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("fitted");
        // A 1024 x 768 screen whose top 24 pixels a panel takes.
        QTest::newRow("fits: unchanged") << QRect(100, 50, 600, 500) << QRect(100, 50, 600, 500);
        QTest::newRow("fits exactly, edge to edge") << QRect(0, 24, 1024, 744) << QRect(0, 24, 1024, 744);
        QTest::newRow("kept for a 1400 x 1000 screen, off the bottom right")
            << QRect(1250, 880, 600, 500) << QRect(424, 268, 600, 500);
        QTest::newRow("off the left and under the panel") << QRect(-300, 0, 600, 500) << QRect(0, 24, 600, 500);
        QTest::newRow("one pixel over the right edge") << QRect(425, 100, 600, 500) << QRect(424, 100, 600, 500);
        QTest::newRow("wider than the screen: shrunk, then moved")
            << QRect(200, 100, 1300, 500) << QRect(0, 100, 1024, 500);
        QTest::newRow("larger than the screen both ways") << QRect(-50, -50, 2000, 1500) << QRect(0, 24, 1024, 744);
        QTest::newRow("wholly off screen, far out") << QRect(5000, -4000, 300, 200) << QRect(724, 24, 300, 200);
    }
    void framesComeOntoASmallerScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, fitted);
        QCOMPARE(fitFrameToArea(frame, QRect(0, 24, 1024, 744)), fitted);
    }

    void collapsingNeedsAMinimiseButton()
    {
        auto plain = shown(QPoint(0, 0));
        auto bare = shown(QPoint(0, 0), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        QVERIFY(IsWindowCollapsable(plain.get()));
        QVERIFY(!IsWindowCollapsable(bare.get()));
        QVERIFY(HasZoomBox(plain.get()));
        plain->setFixedSize(plain->size());
        QVERIFY(!HasZoomBox(plain.get()));
        QCOMPARE(CollapseWindow(plain.get(), true), int(noErr));
        QVERIFY(plain->windowState() & Qt::WindowMinimized);
        CollapseWindow(plain.get(), false);
        QVERIFY(!(plain->windowState() & Qt::WindowMinimized));
    }

    void gestaltAnswersTheSystemVersion()
    {
        qint32 version = -1;
        QCOMPARE(Gestalt("sysv", &version), int(noErr));
        QVERIFY2(version > 0 && isBcd(version), qPrintable(QString::number(version, 16)));
        QCOMPARE(Gestalt("zzzz", &version), int(gestaltUndefSelectorErr));

        setGestaltHandlerForTesting([](QByteArrayView, qint32* response) {
            *response = 0x1049;
            return int(noErr);
        });
        Gestalt("sysv", &version);
        QCOMPARE(version, 0x1049);
        setGestaltHandlerForTesting({});
    }

    void debugStrWritesItsCountedBytes()
    {
        const unsigned char text[] = {5, 'H', 'e', 'l', 'l', 'o', 'X', 'Y'};
        Test::StderrCapture capture;
        DebugStr(text);
        QCOMPARE(capture.text(), QByteArray("Hello\n"));
    }
};

STARWICK_TEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
