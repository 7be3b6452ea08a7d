#include "platform/window.h"
#include "platform/windowmanager.h"
#include "shell/smoothresize.h"
#include "support/testenv.h"

#include <memory>

using namespace Starwick;

namespace {

class StandIn : public platform::Window
{
public:
    StandIn() { setContentSize(300, 150); }
};

} // namespace

class TestSmoothResize : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        platform::setTransitionObserverForTesting({});
        platform::setWindowTransitionsAnimatedForTesting(std::nullopt);
    }

    void cornerStaysPut_data()
    {
        QTest::addColumn<int>("corner");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("animated");
        // How the frame handed to the transition moves: top, left, bottom, right.
        QTest::addColumn<QList<int>>("frameChange");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("0 top-left") << 0 << 350 << 180 << false << QList<int>{0, 0, 30, 50} << QPoint(100, 200);
        QTest::newRow("1 top-right: left edge 50 to the left")
            << 1 << 350 << 180 << false << QList<int>{0, -50, 30, 0} << QPoint(50, 200);
        QTest::newRow("2 bottom-left") << 2 << 350 << 180 << false << QList<int>{-30, 0, 0, 50} << QPoint(100, 170);
        QTest::newRow("3 bottom-right") << 3 << 350 << 180 << false << QList<int>{-30, -50, 0, 0} << QPoint(50, 170);
        QTest::newRow("other code: frame unchanged")
            << 7 << 350 << 180 << false << QList<int>{0, 0, 0, 0} << QPoint(100, 200);
        QTest::newRow("present size keeps place and size")
            << 0 << 300 << 150 << false << QList<int>{0, 0, 0, 0} << QPoint(100, 200);
        QTest::newRow("shrinking about the bottom-right")
            << 3 << 250 << 100 << false << QList<int>{50, 50, 0, 0} << QPoint(150, 250);
        QTest::newRow("1 top-right, animated")
            << 1 << 350 << 180 << true << QList<int>{0, -50, 30, 0} << QPoint(50, 200);
    }
    void cornerStaysPut()
    {
        QFETCH(int, corner);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, animated);
        QFETCH(QList<int>, frameChange);
        QFETCH(QPoint, topLeft);
        platform::setWindowTransitionsAnimatedForTesting(animated);
        auto window = std::make_unique<StandIn>();
        window->show();
        window->SetLeft(100);
        window->SetTop(200);
        platform::Rect16 before;
        platform::GetWindowBounds(window.get(), platform::kWindowStructureRgn, &before);

        QList<int> handedOver;
        int transitions = 0;
        platform::setTransitionObserverForTesting([&](QWidget* w, int effect, int action, const platform::Rect16& r) {
            ++transitions;
            QCOMPARE(w, window.get());
            QCOMPARE(effect, int(platform::kWindowSlideTransitionEffect));
            QCOMPARE(action, int(platform::kWindowResizeTransitionAction));
            handedOver = {r.top - before.top, r.left - before.left, r.bottom - before.bottom, r.right - before.right};
        });

        Globals::SmoothResize(window.get(), width, height, corner);
        QCOMPARE(transitions, 1);
        QCOMPARE(handedOver, frameChange);
        QCOMPARE(QRect(window->Left(), window->Top(), window->Width(), window->Height()),
                 QRect(topLeft, QSize(width, height)));
    }

    void noWindowDoesNothing()
    {
        int transitions = 0;
        platform::setTransitionObserverForTesting([&](QWidget*, int, int, const platform::Rect16&) { ++transitions; });
        Globals::SmoothResize(nullptr, 10, 10, 0);
        QCOMPARE(transitions, 0);
    }
};

STARWICK_TEST_MAIN(TestSmoothResize)
#include "tst_smoothresize.moc"
