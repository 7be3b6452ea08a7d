#include "platform/window.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
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

// A check box as some desktop themes make it: Return and Enter toggle it like Space, and the key
// goes no further.
class ReturnTakingCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            toggle();
        else
            QCheckBox::keyPressEvent(event);
    }
};

class ButtonWindow : public platform::Window
{
public:
    bool KeyDown(const QString& key) override
    {
        keys.append(key);
        return false;
    }
    QStringList keys;

    ButtonWindow()
    {
        setContentSize(200, 100);
        check = add(new ReturnTakingCheckBox(QStringLiteral("Box"), content()), QRect(10, 10, 100, 20), Lock::None);
        edit = add(new QLineEdit(content()), QRect(10, 40, 100, 20), Lock::None);
        ok = add(new QPushButton(QStringLiteral("OK"), content()), QRect(120, 70, 70, 20), Lock::None);
        cancel = add(new QPushButton(QStringLiteral("Cancel"), content()), QRect(40, 70, 70, 20), Lock::None);
        setDefaultButton(ok);
        setCancelButton(cancel);
    }
    QCheckBox* check;
    QLineEdit* edit;
    QPushButton* ok;
    QPushButton* cancel;
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void returnAndEscapePressTheirButtonsWhateverHasTheFocus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("pressesOk");
        QTest::newRow("Return in a check box presses OK, not the box") << "check" << int(Qt::Key_Return) << true;
        QTest::newRow("Enter in an edit field presses OK") << "edit" << int(Qt::Key_Enter) << true;
        QTest::newRow("Return on Cancel presses OK") << "cancel" << int(Qt::Key_Return) << true;
        QTest::newRow("Escape in a check box presses Cancel") << "check" << int(Qt::Key_Escape) << false;
    }

    void returnAndEscapePressTheirButtonsWhateverHasTheFocus()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, pressesOk);
        ButtonWindow* w = platform::Instance<ButtonWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QWidget* target = focus == u"check"  ? static_cast<QWidget*>(w->check)
                          : focus == u"edit" ? static_cast<QWidget*>(w->edit)
                                             : static_cast<QWidget*>(w->cancel);
        w->activateWindow();
        target->setFocus();
        QSignalSpy ok(w->ok, &QPushButton::clicked);
        QSignalSpy cancel(w->cancel, &QPushButton::clicked);
        QTest::keyClick(target, Qt::Key(key));
        QTRY_COMPARE(ok.count() + cancel.count(), 1);
        QCOMPARE(ok.count(), pressesOk ? 1 : 0);
        QVERIFY(!w->check->isChecked());
        w->close();
    }

    void controlArrowsOnAButtonReachKeyDown()
    {
        ButtonWindow* w = platform::Instance<ButtonWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        w->cancel->setFocus();
        QTest::keyClick(w->cancel, Qt::Key_Left, Qt::ControlModifier);
        QTest::keyClick(w->cancel, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(w->keys, (QStringList{QString(QChar(28)), QString(QChar(29))}));
        w->close();
    }

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
