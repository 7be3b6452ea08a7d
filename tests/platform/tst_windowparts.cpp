// The window parts the dialogs are built of: toolbar, page panel, check box, pop-up menu, edit
// field, sheet, movable modal window, the title-bar buttons of each kind, windows the user cannot
// resize, Show, and closing every window at quit.
#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/movablemodalwindow.h"
#include "platform/picture.h"
#include "platform/sheet.h"
#include "platform/system.h"
#include "platform/toolbar.h"
#include "platform/window.h"
#include "platform/windowmanager.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QStackedWidget>
#include <QWindow>

using namespace Starwick;
using platform::Lock;

namespace {

QStringList g_closed; // the windows whose Close ran, in order

class ToolbarWindow : public platform::Window
{
public:
    ToolbarWindow()
    {
        setObjectName(QStringLiteral("ToolbarWindow"));
        toolbar = new platform::Toolbar(this);
        first = toolbar->AddItem("Item1", QStringLiteral("First"));
        second = toolbar->AddItem("Item2", QStringLiteral("Second"));
        addControlOpenHandler([this] { ++itemOpens; });
        setToolbar(toolbar);
        setContentSize(300, 200);
        panel = add(platform::MakePagePanel(content(), "Panel", 2), QRect(0, 0, 300, 120), Lock::None);
        box = add(platform::MakeCheckBox(panel->widget(1), "Box", QStringLiteral("Box"), font(), false),
                  QRect(20, 14, 200, 20), Lock::None);
        setUserResizable(false);
    }
    void Close() override { g_closed.append(objectName()); }

    platform::Toolbar* toolbar;
    QAction* first;
    QAction* second;
    QStackedWidget* panel;
    QCheckBox* box;
    int itemOpens = 0;
};

class PlainWindow : public platform::Window
{
public:
    PlainWindow()
    {
        setObjectName(QStringLiteral("PlainWindow"));
        setContentSize(400, 300);
    }
    void Close() override { g_closed.append(objectName()); }
};

class TestModal : public platform::MovableModalWindow
{
public:
    TestModal()
        : platform::MovableModalWindow(Placement::CentredOnScreen, g_closeBox)
    {
        setContentSize(300, 100);
    }
    static inline CloseBox g_closeBox = CloseBox::Shown;
};

class TestSheet : public platform::Sheet
{
public:
    TestSheet()
        : platform::Sheet(platform::ExistingInstance<PlainWindow>())
    {
        setObjectName(QStringLiteral("TestSheet"));
        setContentSize(200, 80);
    }
    void Close() override { g_closed.append(objectName()); }
};

} // namespace

class TestWindowParts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            top->close();
        QTest::qWait(0);
        g_closed.clear();
    }

    void toolbarSitsAboveTheContent()
    {
        ToolbarWindow* w = platform::Instance<ToolbarWindow>();
        QCOMPARE(w->itemOpens, 1);
        QCOMPARE(w->toolbar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(w->toolbar->Item(QStringLiteral("Item2")), w->second);
        // The content area starts under the toolbar and keeps the size it is given.
        const int toolbarHeight = w->toolbar->height();
        QVERIFY(toolbarHeight > 0);
        QCOMPARE(w->content()->geometry(), QRect(0, toolbarHeight, 300, 200));
        QCOMPARE(w->Top(), w->geometry().top() + toolbarHeight);
        w->SetTop(150);
        QCOMPARE(w->Top(), 150);

        // A masked icon: the picture as drawn, its transparent part left out.
        platform::Picture icon(8, 8);
        {
            platform::Graphics mask = icon.Mask().graphics();
            mask.SetForeColor(Qt::white);
            mask.FillRect(0, 0, 4, 8);
        }
        platform::Toolbar::SetImage(w->first, icon);
        const QImage shown = w->first->icon().pixmap(QSize(8, 8)).toImage();
        QCOMPARE(qAlpha(shown.pixel(1, 1)), 0);
        QCOMPARE(qAlpha(shown.pixel(6, 1)), 255);

        // A click on an item raises its Action.
        QSignalSpy triggered(w->second, &QAction::triggered);
        QTest::mouseClick(w->toolbar->buttonFor(w->second), Qt::LeftButton);
        QCOMPARE(triggered.count(), 1);
    }

    void thePagePanelShowsOnePage()
    {
        ToolbarWindow* w = platform::Instance<ToolbarWindow>();
        w->show();
        QCOMPARE(w->panel->count(), 2);
        QCOMPARE(w->panel->currentIndex(), 0);
        QVERIFY(!w->box->isVisible());
        w->panel->setCurrentIndex(1);
        QVERIFY(w->box->isVisible());
        // Controls of a page stand at their window positions.
        QCOMPARE(QRect(w->box->mapTo(w->content(), QPoint()), w->box->size()), QRect(20, 14, 200, 20));
    }

    // Setting a check box from code raises its Action (toggled) when the value changes, as a click does.
    void checkBoxActionFollowsChanges()
    {
        ToolbarWindow* w = platform::Instance<ToolbarWindow>();
        QSignalSpy action(w->box, &QCheckBox::toggled);
        w->box->setChecked(false); // unchanged
        QCOMPARE(action.count(), 0);
        w->box->setChecked(true);
        QCOMPARE(action.count(), 1);
        w->panel->setCurrentIndex(1);
        w->show();
        QTest::mouseClick(w->box, Qt::LeftButton, {}, QPoint(6, w->box->height() / 2));
        QCOMPARE(action.count(), 2);
        QVERIFY(!w->box->isChecked());
    }

    void popupAndEditFields()
    {
        QWidget parent;
        QComboBox* popup = platform::MakePopupMenu(&parent, "Popup", {"One", "Two", "Three"}, parent.font());
        QCOMPARE(popup->objectName(), QStringLiteral("Popup"));
        QCOMPARE(popup->count(), 3);
        QCOMPARE(popup->currentIndex(), 0);
        QVERIFY(!popup->isEditable());

        QLineEdit* plain = platform::MakeEditField(&parent, "Plain", parent.font());
        QLineEdit* password =
            platform::MakeEditField(&parent, "Secret", parent.font(), platform::EditFieldKind::Password);
        QCOMPARE(plain->echoMode(), QLineEdit::Normal);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        // No length limit worth the name: a long text goes in whole.
        const QString longText(100000, u'a');
        password->setText(longText);
        QCOMPARE(password->text(), longText);
        QVERIFY(password->displayText() != longText);
    }

    void userCannotResizeButTheProgramCan()
    {
        ToolbarWindow* w = platform::Instance<ToolbarWindow>();
        w->show();
        const int chrome = w->height() - w->Height();
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!platform::HasZoomBox(w));
        w->SetHeight(90);
        w->SetWidth(320);
        QCOMPARE(QSize(w->Width(), w->Height()), QSize(320, 90));
        QCOMPARE(w->maximumSize(), QSize(320, 90 + chrome));
        // Through the window manager's transition too.
        platform::Rect16 bounds;
        platform::GetWindowBounds(w, platform::kWindowStructureRgn, &bounds);
        bounds.bottom = qint16(bounds.bottom + 40);
        platform::TransitionWindow(w, platform::kWindowSlideTransitionEffect, platform::kWindowResizeTransitionAction,
                                   &bounds);
        QCOMPARE(w->Height(), 130);
        QCOMPARE(w->minimumSize(), w->maximumSize());
    }

    void sheetIsModalToItsParentBelowItsMenuBar()
    {
        PlainWindow* parent = platform::Instance<PlainWindow>();
        auto* bar = new QMenuBar;
        bar->addMenu(QStringLiteral("Starwick"));
        bar->addMenu(QStringLiteral("File"));
        parent->setMenuBar(bar);
        parent->setGeometry(100, 120, 400, 300);
        parent->Show();
        TestSheet* sheet = platform::Instance<TestSheet>();
        QCOMPARE(sheet->parentWidget(), parent);
        QVERIFY(sheet->isWindow());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        // Its frame starts where the parent's content does, under the title bar and the menu bar,
        // centred across.
        QVERIFY(bar->height() > 0);
        QCOMPARE(sheet->frameGeometry().top(), parent->Top());
        QCOMPARE(sheet->frameGeometry().top(), bar->mapToGlobal(QPoint(0, bar->height())).y());
        QCOMPARE(sheet->geometry().left(), parent->geometry().left() + 100);
        QCOMPARE(sheet->minimumSize(), sheet->maximumSize());
    }

    void showBringsAnOpenWindowForwardUnchanged()
    {
        PlainWindow* back = platform::Instance<PlainWindow>();
        back->Show();
        ToolbarWindow* front = platform::Instance<ToolbarWindow>();
        front->Show();
        back->setGeometry(50, 60, 410, 310);
        const QRect before = back->geometry();
        back->Show();
        QCOMPARE(platform::Instance<PlainWindow>(), back);
        QCOMPARE(back->geometry(), before);
        QTRY_COMPARE(platform::WindowAt(0), back);

        back->showMinimized();
        back->Show();
        QVERIFY(!(back->windowState() & Qt::WindowMinimized));
        QVERIFY(back->isVisible());
    }

    void titleBarButtonsOfEachKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<bool>("zoom");
        QTest::addColumn<bool>("close");
        QTest::newRow("document") << "document" << true << true << true;
        QTest::newRow("movable modal") << "modal" << false << false << true;
        QTest::newRow("movable modal without a close box") << "modal without close box" << false << false << false;
        QTest::newRow("sheet") << "sheet" << false << false << false;
    }
    void titleBarButtonsOfEachKind()
    {
        QFETCH(QString, kind);
        QFETCH(bool, minimise);
        QFETCH(bool, zoom);
        QFETCH(bool, close);
        TestModal::g_closeBox = kind == u"modal without close box" ? platform::MovableModalWindow::CloseBox::None
                                                                   : platform::MovableModalWindow::CloseBox::Shown;
        PlainWindow* document = platform::Instance<PlainWindow>();
        QWidget* window = kind == u"document" ? static_cast<QWidget*>(document)
                          : kind == u"sheet"  ? static_cast<QWidget*>(platform::Instance<TestSheet>())
                                              : static_cast<QWidget*>(platform::Instance<TestModal>());
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(platform::IsWindowCollapsable(window), minimise);
        QCOMPARE(platform::HasZoomBox(window), zoom);
        QCOMPARE(platform::HasCloseBox(window), close);

        // Where the window manager offers the buttons all the same, a window without one comes back.
        window->showMinimized();
        if (minimise) {
            QTest::qWait(0);
            QVERIFY(window->isMinimized());
        } else {
            QTRY_VERIFY(!window->isMinimized());
        }
        window->showNormal();
        window->showMaximized();
        if (zoom) {
            QTest::qWait(0);
            QVERIFY(window->isMaximized());
        } else {
            QTRY_VERIFY(!window->isMaximized());
        }
        TestModal::g_closeBox = platform::MovableModalWindow::CloseBox::Shown;
    }

    void aDialogMinimisedWithItsWindowStaysWithIt_data()
    {
        QTest::addColumn<bool>("belongsToIt");
        QTest::newRow("the dialog belongs to the minimised window") << true;
        QTest::newRow("another window is minimised") << false;
    }
    void aDialogMinimisedWithItsWindowStaysWithIt()
    {
        QFETCH(bool, belongsToIt);
        PlainWindow* document = platform::Instance<PlainWindow>();
        TestModal* modal = platform::Instance<TestModal>();
        QVERIFY(QTest::qWaitForWindowExposed(document));
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        if (belongsToIt)
            modal->windowHandle()->setTransientParent(document->windowHandle());
        document->showMinimized();
        modal->showMinimized();
        if (belongsToIt) {
            QTest::qWait(0);
            QVERIFY(modal->isMinimized());
            document->Show();
            modal->Show();
        }
        QTRY_VERIFY(!modal->isMinimized());
    }

    void onlyTheCloseBoxClosesThroughTheWindowManager_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("with a close box") << true;
        QTest::newRow("without one") << false;
    }
    void onlyTheCloseBoxClosesThroughTheWindowManager()
    {
        QFETCH(bool, closeBox);
        TestModal::g_closeBox =
            closeBox ? platform::MovableModalWindow::CloseBox::Shown : platform::MovableModalWindow::CloseBox::None;
        TestModal* modal = platform::Instance<TestModal>();
        TestModal::g_closeBox = platform::MovableModalWindow::CloseBox::Shown;
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        const int beeps = platform::BeepCount();
        // The window manager's close (its close button, Alt+F4) arrives as a spontaneous event.
        QCloseEvent byWindowManager;
        QSpontaneKeyEvent::setSpontaneous(&byWindowManager);
        QApplication::instance()->notify(modal, &byWindowManager);
        QCOMPARE(modal->isClosed(), closeBox);
        QCOMPARE(platform::BeepCount() - beeps, closeBox ? 0 : 1);
        // The program's own close always goes through.
        modal->close();
        QVERIFY(modal->isClosed());
    }

    void closeAllWindowsClosesEachOnceTheLastOneLast()
    {
        PlainWindow* main = platform::Instance<PlainWindow>();
        main->Show();
        platform::Instance<TestSheet>();
        ToolbarWindow* hidden = platform::Instance<ToolbarWindow>();
        hidden->hide();

        platform::CloseAllWindows(main);

        QCOMPARE(g_closed.size(), 3);
        QCOMPARE(g_closed.last(), QStringLiteral("PlainWindow"));
        QVERIFY(g_closed.contains(QStringLiteral("TestSheet")));
        QVERIFY(g_closed.contains(QStringLiteral("ToolbarWindow")));
        QVERIFY(main->isClosed());
        platform::CloseAllWindows(main); // nothing is open: nothing runs again
        QCOMPARE(g_closed.size(), 3);
    }
};

STARWICK_TEST_MAIN(TestWindowParts)
#include "tst_windowparts.moc"
