#include "platform/window.h"
#include "support/testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
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

// One control of each kind that can take the focus, with a state that shows whether a key acted
// on it.
class KeyWindow : public platform::Window
{
public:
    KeyWindow()
    {
        setContentSize(300, 200);
        popup = add(new QComboBox(content()), QRect(10, 10, 120, 20), Lock::None);
        popup->addItems({QStringLiteral("Alpha"), QStringLiteral("Wide"), QStringLiteral("Zeta")});
        edit = add(new QLineEdit(QStringLiteral("one two"), content()), QRect(10, 40, 120, 20), Lock::None);
        list = add(new QListWidget(content()), QRect(140, 10, 150, 100), Lock::None);
        list->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        list->setCurrentRow(0);
        check = add(new QCheckBox(QStringLiteral("Box"), content()), QRect(10, 70, 120, 20), Lock::None);
        area = add(new QPlainTextEdit(content()), QRect(10, 120, 120, 60), Lock::None);
        ok = add(new QPushButton(QStringLiteral("OK"), content()), QRect(220, 170, 70, 20), Lock::None);
        setDefaultButton(ok);
    }
    bool KeyDown(const QString& key) override
    {
        keys.append(key);
        return false;
    }

    QWidget* control(const QString& name) const
    {
        const QHash<QString, QWidget*> controls{{"popup", popup}, {"edit", edit}, {"list", list},
                                                {"check", check}, {"area", area}, {"ok", ok}};
        return controls.value(name);
    }
    // What the control shows: its row, its cursor and selection, its state or its text.
    QString state(const QString& name) const
    {
        if (name == u"popup")
            return QString::number(popup->currentIndex());
        if (name == u"edit")
            return QStringLiteral("%1:%2").arg(edit->cursorPosition()).arg(edit->selectedText());
        if (name == u"list")
            return QString::number(list->currentRow());
        if (name == u"check")
            return QString::number(check->isChecked());
        if (name == u"area")
            return area->toPlainText();
        return QString();
    }

    QComboBox* popup;
    QLineEdit* edit;
    QListWidget* list;
    QCheckBox* check;
    QPlainTextEdit* area;
    QPushButton* ok;
    QStringList keys;
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

    void theWindowsKeysReachItFromEveryControl_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("keyDown"); // what the window's KeyDown gets; empty: nothing
        QTest::addColumn<bool>("controlActs");
        QTest::addColumn<bool>("pressesOk");
        const int ctrl = Qt::ControlModifier;
        const QString none;
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        row("Ctrl+W in a pop-up menu") << QStringLiteral("popup") << int(Qt::Key_W) << ctrl << QStringLiteral("w")
                                       << false << false;
        row("Ctrl+. in a pop-up menu") << "popup" << int(Qt::Key_Period) << ctrl << QStringLiteral(".") << false
                                       << false;
        row("Ctrl+Right in a pop-up menu")
            << "popup" << int(Qt::Key_Right) << ctrl << QString(QChar(29)) << false << false;
        row("Down in a pop-up menu stays there") << "popup" << int(Qt::Key_Down) << 0 << none << true << false;
        row("Return in a pop-up menu presses OK") << "popup" << int(Qt::Key_Return) << 0 << none << false << true;
        row("Ctrl+W in an edit field") << "edit" << int(Qt::Key_W) << ctrl << QStringLiteral("w") << false << false;
        row("Ctrl+Up in an edit field") << "edit" << int(Qt::Key_Up) << ctrl << QString(QChar(30)) << false << false;
        row("Ctrl+Left in an edit field moves by words")
            << "edit" << int(Qt::Key_Left) << ctrl << none << true << false;
        row("Ctrl+A in an edit field selects") << "edit" << int(Qt::Key_A) << ctrl << none << true << false;
        row("Ctrl+Left in a list") << "list" << int(Qt::Key_Left) << ctrl << QString(QChar(28)) << false << false;
        row("Ctrl+Down in a list") << "list" << int(Qt::Key_Down) << ctrl << QString(QChar(31)) << false << false;
        row("Ctrl+W in a list") << "list" << int(Qt::Key_W) << ctrl << QStringLiteral("w") << false << false;
        row("Down in a list stays there") << "list" << int(Qt::Key_Down) << 0 << none << true << false;
        row("Ctrl+W on a check box") << "check" << int(Qt::Key_W) << ctrl << QStringLiteral("w") << false << false;
        row("Space on a check box stays there") << "check" << int(Qt::Key_Space) << 0 << none << true << false;
        row("Ctrl+W in a text area") << "area" << int(Qt::Key_W) << ctrl << QStringLiteral("w") << false << false;
        row("Return in a text area starts a line") << "area" << int(Qt::Key_Return) << 0 << none << true << false;
        row("Ctrl+. on a button") << "ok" << int(Qt::Key_Period) << ctrl << QStringLiteral(".") << false << false;
    }

    void theWindowsKeysReachItFromEveryControl()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, keyDown);
        QFETCH(bool, controlActs);
        QFETCH(bool, pressesOk);
        KeyWindow* w = platform::Instance<KeyWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        QWidget* target = w->control(focus);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        const QString before = w->state(focus);
        QSignalSpy ok(w->ok, &QPushButton::clicked);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w->keys, keyDown.isEmpty() ? QStringList() : QStringList{keyDown});
        QCOMPARE(w->state(focus) != before, controlActs);
        if (pressesOk)
            QTRY_COMPARE(ok.count(), 1);
        QCOMPARE(ok.count(), pressesOk ? 1 : 0);
        w->close();
    }

    void returnInAMenuBarOpensItsMenu()
    {
        // Alt hands the keys to the menu bar, "File" highlighted: Return opens that menu and
        // presses no default button.
        KeyWindow* w = platform::Instance<KeyWindow>();
        auto* bar = new QMenuBar(w);
        QMenu* file = bar->addMenu(QStringLiteral("File"));
        file->addAction(QStringLiteral("Open"));
        w->setMenuBar(bar);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        w->edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->edit));
        QTest::keyClick(w->edit, Qt::Key_Alt);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
        QSignalSpy ok(w->ok, &QPushButton::clicked);
        QTest::keyClick(bar, Qt::Key_Return);
        QTRY_VERIFY(file->isVisible());
        QCOMPARE(ok.count(), 0);
        QCOMPARE(w->keys, QStringList());
        file->close();
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
