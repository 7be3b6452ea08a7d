#include "platform/drawer.h"
#include "platform/window.h"
#include "support/testenv.h"

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
        // The drawer goes with its parent.
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
