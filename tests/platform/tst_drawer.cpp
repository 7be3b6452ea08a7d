#include "platform/drawer.h"
#include "platform/window.h"
#include "support/testenv.h"

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

        m_parent->move(120, 90);
        verifyFlush(code);

        // Taller: the drawer grows with the parent, and its locked controls with it.
        m_parent->resize(640, 800);
        verifyFlush(code);
        QCOMPARE(m_drawer->edge->height(), m_drawer->Height());

        // Shorter than the drawer's minimum: it keeps its minimum height.
        m_parent->resize(420, 300);
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

STARWICK_TEST_MAIN(TestDrawer)
#include "tst_drawer.moc"
