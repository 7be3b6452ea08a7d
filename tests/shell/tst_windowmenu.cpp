#include "platform/menubar.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/windowmanager.h"
#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"
#include "shell/windowmenuhandlers.h"
#include "shell/windowmenuitem.h"
#include "support/testenv.h"

#include <QAction>

#include <memory>

using namespace Starwick;

namespace {

class StandIn : public platform::Window
{
public:
    explicit StandIn(const QString& title, Qt::WindowFlags flags = Qt::Window)
        : Window(nullptr, flags)
    {
        setContentSize(300, 200);
        SetTitle(title);
    }
};

/// A menu bar holding only the Window menu, as the application's bar holds it.
struct Fixture
{
    Fixture()
        : menu(new WindowMenuItem())
    {
        menu->SetName(QStringLiteral("WindowMenu"));
        menu->SetText(QStringLiteral("Window"));
        bar.Append(menu);
    }

    std::unique_ptr<StandIn> window(const QString& title, Qt::WindowFlags flags = Qt::Window)
    {
        auto w = std::make_unique<StandIn>(title, flags);
        w->move(100, 120);
        w->show();
        return w;
    }

    NotifyingMenuItem* entry(const platform::Window* w) const
    {
        return qobject_cast<NotifyingMenuItem*>(
            menu->Child(QStringLiteral("Window") + QString::number(platform::MacWindowPtr(w))));
    }

    /// The window the item's active handler is bound to, or nullptr.
    template <class H> platform::Window* claimedFor(NotifyingMenuItem* item) const
    {
        auto handler = std::dynamic_pointer_cast<H>(item->ActiveHandler());
        return handler ? handler->window.data() : nullptr;
    }

    platform::MenuBar bar;
    WindowMenuItem* menu;
};

void bringToFront(platform::Window* w)
{
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

} // namespace

class TestWindowMenu : public QObject
{
    Q_OBJECT

private slots:
    void aWindowIsRegisteredOnce()
    {
        Fixture f;
        auto a = f.window(QStringLiteral("Starwick"));
        f.menu->AddWindowToMenu(a.get());
        f.menu->AddWindowToMenu(a.get());
        QCOMPARE(f.menu->Count(), 5);
        QCOMPARE(f.menu->WindowHandlerMap.size(), size_t(1));
        QCOMPARE(f.menu->WindowZoomWindow()->Handlers.size(), size_t(1));
        QCOMPARE(f.menu->WindowMinimizeWindow()->Handlers.size(), size_t(1));
        QCOMPARE(f.menu->WindowBringAllToFront()->Handlers.size(), size_t(1));
        QVERIFY(f.entry(a.get()));
        QCOMPARE(f.menu->Item(4), f.entry(a.get()));
        QCOMPARE(f.entry(a.get())->Handlers.size(), size_t(1));
    }

    void onlyTheFrontWindowClaims_data()
    {
        QTest::addColumn<int>("front");
        QTest::newRow("first registered in front") << 0;
        QTest::newRow("second registered in front") << 1;
    }
    void onlyTheFrontWindowClaims()
    {
        QFETCH(int, front);
        Fixture f;
        std::unique_ptr<StandIn> windows[] = {f.window(QStringLiteral("One")), f.window(QStringLiteral("Two"))};
        for (auto& w : windows)
            f.menu->AddWindowToMenu(w.get());
        bringToFront(windows[front].get());
        f.bar.updateMenus();

        StandIn* inFront = windows[front].get();
        StandIn* behind = windows[1 - front].get();
        QCOMPARE(f.claimedFor<ZoomWindowMenuHandler>(f.menu->WindowZoomWindow()), inFront);
        QCOMPARE(f.claimedFor<MinimizeWindowMenuHandler>(f.menu->WindowMinimizeWindow()), inFront);
        QVERIFY(f.menu->WindowZoomWindow()->Enabled());
        QVERIFY(f.entry(inFront)->Checked());
        QVERIFY(!f.entry(behind)->Checked());
        QVERIFY(f.entry(behind)->Enabled());

        // Choosing the other window's entry brings it forward; the next pass moves the claims.
        f.entry(behind)->action()->trigger();
        QVERIFY(QTest::qWaitForWindowActive(behind));
        f.bar.updateMenus();
        QCOMPARE(f.claimedFor<ZoomWindowMenuHandler>(f.menu->WindowZoomWindow()), behind);
        QVERIFY(f.entry(behind)->Checked());
        QVERIFY(!f.entry(inFront)->Checked());
    }

    void entryShowsTheTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString exactly31 = QString(31, QLatin1Char('x'));
        QTest::newRow("short title") << "Starwick"
                                     << "Starwick";
        QTest::newRow("exactly 31 characters") << exactly31 << exactly31;
        QTest::newRow("longer title is cut") << "Astronomy Picture of the Day: The Horsehead Nebula"
                                             << "Astronomy Picture of the Day: T";
        QTest::newRow("character of two units at the cut")
            << QString(30, QLatin1Char('y')) + QString::fromUcs4(U"\U0001F30C!") << QString(30, QLatin1Char('y'));
    }
    void entryShowsTheTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        Fixture f;
        auto a = f.window(QStringLiteral("Before"));
        f.menu->AddWindowToMenu(a.get());
        QCOMPARE(f.entry(a.get())->Text(), QStringLiteral("Before"));
        // The entry follows the title at the next pass.
        a->SetTitle(title);
        f.bar.updateMenus();
        QCOMPARE(f.entry(a.get())->Text(), text);
    }

    void zoomTwiceRestoresTheFrame()
    {
        Fixture f;
        auto a = f.window(QStringLiteral("Starwick"));
        a->SetLeft(70);
        a->SetTop(90);
        const QRect before(a->Left(), a->Top(), a->Width(), a->Height());
        f.menu->AddWindowToMenu(a.get());
        bringToFront(a.get());

        f.bar.updateMenus();
        f.menu->WindowZoomWindow()->action()->trigger();
        const QRect screen = platform::ScreenAvailableGeometry();
        QCOMPARE(QRect(a->Left(), a->Top(), a->Width(), a->Height()),
                 QRect(screen.left() + 5, screen.top() + 45, screen.width() - 5, screen.height() - 45));

        f.bar.updateMenus();
        f.menu->WindowZoomWindow()->action()->trigger();
        QCOMPARE(QRect(a->Left(), a->Top(), a->Width(), a->Height()), before);
    }

    void minimizeNeedsAWindowThatCollapses_data()
    {
        QTest::addColumn<bool>("collapsable");
        QTest::newRow("window with a minimise button") << true;
        QTest::newRow("window without one") << false;
    }
    void minimizeNeedsAWindowThatCollapses()
    {
        QFETCH(bool, collapsable);
        Fixture f;
        const Qt::WindowFlags flags =
            collapsable ? Qt::WindowFlags(Qt::Window) : (Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        auto a = f.window(QStringLiteral("Starwick"), flags);
        f.menu->AddWindowToMenu(a.get());
        bringToFront(a.get());
        f.bar.updateMenus();
        QVERIFY(f.menu->WindowMinimizeWindow()->Enabled());
        // Its handler answers "not handled" either way.
        QVERIFY(!f.menu->WindowMinimizeWindow()->Action());
        QCOMPARE(bool(a->windowState() & Qt::WindowMinimized), collapsable);
    }

    void nothingIsClaimedWithoutAWindow()
    {
        Fixture f;
        f.bar.updateMenus();
        for (NotifyingMenuItem* item :
             {f.menu->WindowZoomWindow(), f.menu->WindowMinimizeWindow(), f.menu->WindowBringAllToFront()}) {
            QVERIFY(!item->Enabled());
            QCOMPARE(item->ActiveHandler(), nullptr);
            QVERIFY(!item->Action());
        }

        // A window that is not registered gives Bring All To Front a claim, but not the others.
        auto loose = f.window(QStringLiteral("Loose"));
        f.bar.updateMenus();
        QVERIFY(f.menu->WindowBringAllToFront()->Enabled());
        QVERIFY(!f.menu->WindowZoomWindow()->Enabled());
        QVERIFY(!f.menu->WindowMinimizeWindow()->Enabled());
    }

    void bringAllToFront()
    {
        Fixture f;
        auto handler = std::make_shared<BringAllToFrontMenuHandler>();
        // With no window it does nothing and still reports the command handled.
        QVERIFY(handler->PerformAction(f.menu->WindowBringAllToFront()));

        auto one = f.window(QStringLiteral("One"));
        one->showMinimized();
        QVERIFY(handler->PerformAction(f.menu->WindowBringAllToFront()));
        QVERIFY(!(one->windowState() & Qt::WindowMinimized));
        QCOMPARE(platform::WindowAt(0), one.get());

        auto two = f.window(QStringLiteral("Two"));
        QCOMPARE(platform::WindowAt(0), two.get());
        QVERIFY(handler->PerformAction(f.menu->WindowBringAllToFront()));
        QCOMPARE(platform::WindowCount(), 2);
        QCOMPARE(platform::WindowAt(0), two.get());
        QCOMPARE(platform::WindowAt(1), one.get());
    }

    void aRegistrationEnds_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("removed from the menu") << false;
        QTest::newRow("window destroyed") << true;
    }
    void aRegistrationEnds()
    {
        QFETCH(bool, destroyed);
        Fixture f;
        auto a = f.window(QStringLiteral("Starwick"));
        auto b = f.window(QStringLiteral("Other"));
        f.menu->AddWindowToMenu(a.get());
        f.menu->AddWindowToMenu(b.get());
        if (destroyed)
            a.reset();
        else
            f.menu->RemoveWindowFromMenu(a.get());
        QCOMPARE(f.menu->Count(), 5);
        QCOMPARE(f.menu->WindowHandlerMap.size(), size_t(1));
        QCOMPARE(f.menu->WindowZoomWindow()->Handlers.size(), size_t(1));
        QCOMPARE(f.menu->WindowMinimizeWindow()->Handlers.size(), size_t(1));
        bringToFront(b.get());
        f.bar.updateMenus();
        QCOMPARE(f.claimedFor<ZoomWindowMenuHandler>(f.menu->WindowZoomWindow()), b.get());
        // Registering again after removal works.
        if (a) {
            f.menu->AddWindowToMenu(a.get());
            QCOMPARE(f.menu->Count(), 6);
        }
    }

    void failedContractReachesTheCaller()
    {
        Fixture f;
        QVERIFY_THROWS_EXCEPTION(RequireException, f.menu->AddWindowToMenu(nullptr));
        QVERIFY_THROWS_EXCEPTION(RequireException, f.menu->WindowZoomWindow()->AddHandler(nullptr));
        QVERIFY_THROWS_EXCEPTION(RequireException, ZoomWindowMenuHandler(nullptr));
        QCOMPARE(f.menu->WindowZoomWindow()->IndexOf(nullptr), -1);
        QCOMPARE(f.menu->Count(), 4);
    }
};

STARWICK_TEST_MAIN(TestWindowMenu)
#include "tst_windowmenu.moc"
