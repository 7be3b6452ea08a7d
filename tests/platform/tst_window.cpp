#include "platform/window.h"
#include "support/testenv.h"

#include <QPushButton>
#include <QSignalSpy>

using namespace Starwick;
using platform::Lock;

namespace {

class LockedWindow : public platform::Window
{
public:
    LockedWindow()
    {
        setContentSize(200, 100);
        fixed = add(new QWidget(content()), QRect(10, 10, 20, 20), Lock::Left | Lock::Top);
        stretched = add(new QWidget(content()), QRect(10, 40, 180, 20), Lock::Left | Lock::Right);
        rightBottom = add(new QWidget(content()), QRect(150, 70, 40, 20), Lock::Right | Lock::Bottom);
        none = add(new QWidget(content()), QRect(80, 40, 20, 20), Lock::None);
        all = add(new QWidget(content()), QRect(5, 5, 190, 90), Lock::All);
        // A child of a control is placed in window coordinates as well.
        inner = add(new QWidget(all), QRect(15, 15, 170, 70), Lock::All);
    }
    void Open() override { ++opens; }
    void Resized() override { ++resizes; }

    QWidget* fixed;
    QWidget* stretched;
    QWidget* rightBottom;
    QWidget* none;
    QWidget* all;
    QWidget* inner;
    int opens = 0;
    int resizes = 0;
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsFollowTheirLocks()
    {
        LockedWindow* w = platform::Instance<LockedWindow>();
        QCOMPARE(w->opens, 1);
        QCOMPARE(w->Width(), 200);
        QCOMPARE(w->Height(), 100);
        w->SetWidth(300);
        w->SetHeight(150);
        QCOMPARE(w->fixed->geometry(), QRect(10, 10, 20, 20));
        QCOMPARE(w->stretched->geometry(), QRect(10, 40, 280, 20));
        QCOMPARE(w->rightBottom->geometry(), QRect(250, 120, 40, 20));
        QCOMPARE(w->none->geometry(), QRect(80, 40, 20, 20));
        QCOMPARE(w->all->geometry(), QRect(5, 5, 290, 140));
        QCOMPARE(w->inner->geometry(), QRect(10, 10, 270, 120));
        QTRY_COMPARE(w->resizes, 1);
    }

    void instanceIsReusedUntilClosed()
    {
        LockedWindow* first = platform::Instance<LockedWindow>();
        QCOMPARE(platform::Instance<LockedWindow>(), first);
        first->close();
        QVERIFY(first->isClosed());
        QCOMPARE(platform::ExistingInstance<LockedWindow>(), nullptr);
        LockedWindow* second = platform::Instance<LockedWindow>();
        QVERIFY(second != first);
        QCOMPARE(second->opens, 1);
        QCOMPARE(second->Width(), 200);
    }
};

STARWICK_TEST_MAIN(TestWindow)
#include "tst_window.moc"
