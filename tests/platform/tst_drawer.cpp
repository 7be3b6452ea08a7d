#include "platform/drawer.h"
#include "platform/window.h"
#include "support/testenv.h"

#include <QCloseEvent>
#include <QFile>
#include <QScreen>

using namespace Starwick;

namespace {

class ParentWindow : public platform::Window
{
public:
    ParentWindow() { setContentSize(500, 600); }
};

// A drawer as the program's are: a fixed width, a height between its limits.
class DrawerWindow : public platform::Window
{
public:
    DrawerWindow()
        : platform::Window(nullptr, platform::drawerWindowFlags())
    {
        setContentSize(274, 473);
        setContentSizeLimits(QSize(274, 473), QSize(274, 32000));
        setVisibleWhenMade(false);
        edge = add(new QWidget(content()), QRect(0, 0, 274, 473), platform::Lock::All);
    }
    QWidget* edge;
};

// A second drawer of the same parent, as the index and details drawers are.
class OtherDrawerWindow : public DrawerWindow
{};

} // namespace

class TestDrawer : public QObject
{
    Q_OBJECT

private:
    ParentWindow* m_parent = nullptr;
    DrawerWindow* m_drawer = nullptr;

    // The drawer lies against the edge its code names, level with the parent's content.
    void verifyFlush(int code)
    {
        const QRect parentFrame = m_parent->frameGeometry();
        const QRect drawer = m_drawer->frameGeometry();
        if (code == platform::DrawerLeftEdge)
            QCOMPARE(drawer.right() + 1, parentFrame.left());
        else
            QCOMPARE(drawer.left(), parentFrame.right() + 1);
        QCOMPARE(m_drawer->geometry().top(), m_parent->geometry().top());
        QCOMPARE(m_drawer->width(), 274);
        QCOMPARE(m_drawer->height(), std::max(473, m_parent->geometry().height()));
    }

private slots:
    void init()
    {
        m_parent = platform::Instance<ParentWindow>();
        m_parent->move(300, 200);
        m_drawer = platform::Instance<DrawerWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(m_parent));
    }

    void cleanup()
    {
        // The drawer goes with its parent; one never shown as a drawer is not the parent's.
        if (!platform::DrawerAttachment::of(m_drawer))
            m_drawer->close();
        m_parent->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(platform::ExistingInstance<DrawerWindow>(), nullptr);
    }

    void followsItsParent_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("2 right edge") << 2;
        QTest::newRow("3 left edge") << 3;
        QTest::newRow("unknown code takes the right edge") << 7;
    }

    void followsItsParent()
    {
        QFETCH(int, code);
        QVERIFY(!m_drawer->isVisible());
        platform::showAsDrawer(m_drawer, m_parent, code);
        QVERIFY(m_drawer->isVisible());
        QCOMPARE(m_drawer->parentWidget(), m_parent);
        verifyFlush(code);

        m_parent->move(320, 90);
        verifyFlush(code);

        // Taller: the drawer grows with the parent, and its locked controls with it.
        m_parent->resize(640, 800);
        verifyFlush(code);
        QCOMPARE(m_drawer->edge->height(), m_drawer->Height());

        // Shorter than the drawer's minimum: it keeps its minimum height.
        m_parent->resize(420, 300);
        verifyFlush(code);
    }

    void withoutRoomOnItsEdgeItOpensOnTheOther_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("parentLeft");
        QTest::addColumn<int>("opensOn");
        QTest::newRow("left drawer, parent at the screen's left edge") << 3 << 0 << 2;
        QTest::newRow("left drawer, parent a little off the screen") << 3 << -40 << 2;
        QTest::newRow("right drawer, parent at the screen's right edge") << 2 << 1920 - 500 << 3;
    }

    void withoutRoomOnItsEdgeItOpensOnTheOther()
    {
        QFETCH(int, code);
        QFETCH(int, parentLeft);
        QFETCH(int, opensOn);
        m_parent->move(parentLeft, 200);
        platform::showAsDrawer(m_drawer, m_parent, code);
        verifyFlush(opensOn);
        const QRect screen = m_parent->screen()->availableGeometry();
        QVERIFY(screen.contains(m_drawer->frameGeometry()));

        // Still following the parent; back on its own edge once there is room there.
        m_parent->move(parentLeft, 300);
        verifyFlush(opensOn);
        m_parent->move(700, 300);
        verifyFlush(code);
    }

    // The placement alone, on a 1280x800 screen, for a drawer 274 wide; the parent's content is its
    // frame here. Wherever the drawer goes, it lies on neither the parent nor the other drawers.
    void placement_data()
    {
        QTest::addColumn<QRect>("parent");
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<QRect>>("others");
        QTest::addColumn<int>("left");
        const QList<QRect> none;
        QTest::newRow("room on its own edge") << QRect(400, 100, 500, 600) << 3 << none << 126;
        QTest::newRow("room on its own edge, right") << QRect(400, 100, 500, 600) << 2 << none << 900;
        QTest::newRow("no room on its own edge, room on the other") << QRect(100, 100, 500, 600) << 3 << none << 600;
        QTest::newRow("no room on the right, room on the left") << QRect(780, 100, 500, 600) << 2 << none << 506;
        QTest::newRow("the other edge taken, room beside the drawer there")
            << QRect(600, 100, 500, 600) << 2 << QList<QRect>{QRect(326, 100, 274, 600)} << 52;
        QTest::newRow("the other edge taken, no room beside the drawer there")
            << QRect(400, 100, 700, 600) << 2 << QList<QRect>{QRect(126, 100, 274, 600)} << 1100;
        QTest::newRow("its own edge taken by a drawer that opened there")
            << QRect(0, 100, 500, 600) << 3 << QList<QRect>{QRect(500, 100, 274, 600)} << 774;
        QTest::newRow("zoomed: room on neither edge, first drawer") << QRect(0, 0, 1280, 800) << 3 << none << -274;
        QTest::newRow("zoomed: room on neither edge, second drawer")
            << QRect(0, 0, 1280, 800) << 2 << QList<QRect>{QRect(-274, 0, 274, 800)} << 1280;
        QTest::newRow("zoomed: the second drawer on the same edge")
            << QRect(0, 0, 1280, 800) << 3 << QList<QRect>{QRect(-274, 0, 274, 800)} << -548;
        QTest::newRow("both drawers at the screen's edges, left one")
            << QRect(274, 100, 732, 600) << 3 << QList<QRect>{QRect(1006, 100, 274, 600)} << 0;
        QTest::newRow("both drawers at the screen's edges, right one")
            << QRect(274, 100, 732, 600) << 2 << QList<QRect>{QRect(0, 100, 274, 600)} << 1006;
    }

    void placement()
    {
        QFETCH(QRect, parent);
        QFETCH(int, code);
        QFETCH(QList<QRect>, others);
        QFETCH(int, left);
        const QRect screen(0, 0, 1280, 800);
        const QRect placed = platform::drawerGeometry(parent, parent, 274, 473, 32000, code, screen, others);
        QCOMPARE(placed.left(), left);
        QCOMPARE(placed.width(), 274);
        QCOMPARE(placed.top(), parent.top());
        QVERIFY(!placed.intersects(parent));
        for (const QRect& other : std::as_const(others))
            QVERIFY(!placed.intersects(other));
    }

    // Two drawers of one window, as the program opens them: the second never covers the first,
    // whether the window stands at the screen's right edge or fills the screen.
    void twoDrawersNeverCoverEachOther()
    {
        auto* other = platform::Instance<OtherDrawerWindow>();
        const QRect screen = m_parent->screen()->availableGeometry();
        m_parent->move(screen.right() - m_parent->frameGeometry().width() + 1, 200);
        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerLeftEdge);
        platform::showAsDrawer(other, m_parent, platform::DrawerRightEdge);
        verifyFlush(platform::DrawerLeftEdge);
        QCOMPARE(other->frameGeometry().right() + 1, m_drawer->frameGeometry().left());

        m_parent->setGeometry(screen);
        verifyFlush(platform::DrawerLeftEdge);
        QCOMPARE(other->frameGeometry().left(), m_parent->frameGeometry().right() + 1);
        QVERIFY(!other->frameGeometry().intersects(m_parent->frameGeometry()));
    }

    // The window manager's close reaches a drawer as a close event, as QWidget::close() sends it.
    void aShownDrawerClosedByTheWindowSystemIsOnlyHidden_data()
    {
        QTest::addColumn<bool>("byEvent");
        QTest::newRow("close()") << false;
        QTest::newRow("close event") << true;
    }

    void aShownDrawerClosedByTheWindowSystemIsOnlyHidden()
    {
        QFETCH(bool, byEvent);
        int hides = 0;
        platform::keepOnClose(m_drawer, [&hides] { ++hides; });
        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerLeftEdge);
        m_drawer->edge->setObjectName(QStringLiteral("kept"));
        QPointer<DrawerWindow> drawer = m_drawer;
        if (byEvent) {
            QCloseEvent event;
            QCoreApplication::sendEvent(m_drawer, &event);
            QVERIFY(!event.isAccepted());
        } else {
            QVERIFY(!m_drawer->close());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(drawer);
        QVERIFY(!m_drawer->isVisible());
        QVERIFY(!m_drawer->isClosed());
        QCOMPARE(hides, 1);
        QCOMPARE(platform::Instance<DrawerWindow>(), m_drawer);

        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerLeftEdge);
        QCOMPARE(m_drawer->edge->objectName(), QStringLiteral("kept"));
        verifyFlush(platform::DrawerLeftEdge);

        // The program's own close goes through.
        platform::closeDrawer(m_drawer);
        QVERIFY(m_drawer->isClosed());
        QCOMPARE(hides, 1);
    }

    // Closing every window, as quitting does, closes a shown drawer too, its Close running once.
    void closingEveryWindowClosesAShownDrawer()
    {
        platform::keepOnClose(m_drawer);
        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerRightEdge);
        platform::CloseAllWindows(m_parent);
        QVERIFY(m_drawer->isClosed());
        QVERIFY(m_parent->isClosed());
    }

    void hiddenDrawerKeepsItsStateAndIsPlacedAgainWhenShown()
    {
        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerLeftEdge);
        m_drawer->edge->setObjectName(QStringLiteral("kept"));
        m_drawer->hide();
        m_parent->move(50, 60);
        m_parent->resize(700, 650);
        QVERIFY(!m_drawer->isVisible());

        platform::showAsDrawer(m_drawer, m_parent, platform::DrawerRightEdge);
        QCOMPARE(platform::Instance<DrawerWindow>(), m_drawer);
        QCOMPARE(m_drawer->edge->objectName(), QStringLiteral("kept"));
        verifyFlush(platform::DrawerRightEdge);
        QCOMPARE(platform::DrawerAttachment::of(m_drawer)->placementCode(), int(platform::DrawerRightEdge));
    }
};

// A screen wide enough for a drawer on either side of a parent in the middle; the tests that need
// a screen's edge move the parent there.
int main(int argc, char* argv[])
{
    Test::prepareEnvironment();
    const QString config = Test::homePath() + QStringLiteral("/screen.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "Wide", "x": 0, "y": 0, "width": 1920, "height": 1200,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 2;
    file.close();
    qputenv("QT_QPA_PLATFORM", QFile::encodeName(QStringLiteral("offscreen:configfile=") + config));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestDrawer tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_drawer.moc"
