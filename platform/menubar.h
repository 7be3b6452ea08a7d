#pragma once

#include "platform/menuitem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QKeyEvent;
class QMenu;
class QMenuBar;

namespace Starwick::platform {

/// The application's menu bar: its menus in order, lookup of items by name at any depth, menu
/// handlers bound by item name, and the enabling pass.
///
/// The first menu shown is the application menu (its title set with setApplicationMenuTitle()),
/// holding the application items wherever they were appended, in the order met: first the
/// AppleMenuItems with their own separators, then a separator and the PrefsMenuItems, then a
/// separator and the QuitMenuItems. The other menus follow in the order appended.
///
/// The enabling pass (updateMenus()) runs before any of the menus opens and before a key press
/// that matches an item's shortcut is dispatched: every item is enabled or disabled by its
/// AutoEnable, then the application's hook runs, then the front window's EnableMenuItems, then
/// every item's EnableMenu event. A disabled or hidden item's shortcut therefore does nothing.
///
/// Choosing an item raises its Action event; when that returns false, the handlers registered
/// under its name run in the order registered until one returns true. Shortcuts work in every
/// window of the application, as a menu bar at the top of the screen would.
class MenuBar : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(MenuBar)

public:
    using Handler = std::function<bool()>;

    explicit MenuBar(QObject* parent = nullptr);
    ~MenuBar() override;

    /// Appends a menu at the end of the bar; the bar owns it.
    void Append(MenuItem* menu);
    int Count() const { return int(m_menus.size()); }
    MenuItem* Item(int index) const;
    /// The menu of that name, or nullptr.
    MenuItem* Child(const QString& name) const;
    /// The item of that name in any menu or submenu (a menu itself included), or nullptr.
    MenuItem* FindItem(const QString& name) const;

    /// The menu bar widget, made on the first call; hand it to the main window with
    /// platform::Window::setMenuBar(). When that window goes, the next call makes a new one.
    QMenuBar* menuBarWidget();
    /// The application menu, shown first on the bar while it holds any item.
    QMenu* applicationMenu() const { return m_applicationMenu; }
    QString applicationMenuTitle() const;
    void setApplicationMenuTitle(const QString& title);

    /// Binds a handler to the item of that name (also one made later). `owner`, when given, limits
    /// the handler to the owner's life. Handlers return true when they handled the command.
    void addHandler(const QString& name, QObject* owner, Handler handler);
    /// Binds several of `owner`'s handlers, each to the item of its name, in the order given.
    template <class Owner>
    void addHandlers(Owner* owner, std::initializer_list<std::pair<const char*, bool (Owner::*)()>> handlers)
    {
        for (const auto& [name, handler] : handlers)
            addHandler(QString::fromLatin1(name), owner, [owner, handler = handler] { return (owner->*handler)(); });
    }
    /// The application's EnableMenuItems, run in every enabling pass before the front window's.
    void setEnableMenuItemsHook(std::function<void()> hook);

    /// Raises `item`'s Action event, then the handlers of its menu bar; true when handled. An
    /// exception escaping an event or a handler is logged and counts as not handled.
    static bool dispatch(MenuItem* item);

    /// Runs the enabling pass now.
    void updateMenus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MenuItem;

    struct Binding
    {
        QString name;
        QPointer<QObject> owner;
        bool owned = false;
        Handler handler;
    };

    void rebuild();
    void watchMenu(QMenu* menu);
    void detachMenu(MenuItem* menu);
    QList<MenuItem*> allItems() const;
    bool matchesShortcut(const QKeyEvent* event) const;
    bool runHandlers(const QString& name);

    QList<MenuItem*> m_menus;
    QPointer<QMenuBar> m_widget;
    QMenu* m_applicationMenu = nullptr;
    QAction* m_preferencesSeparator = nullptr;
    QAction* m_quitSeparator = nullptr;
    std::vector<Binding> m_bindings;
    std::function<void()> m_enableMenuItemsHook;
    const QKeyEvent* m_lastShortcutEvent = nullptr;
    quint64 m_lastShortcutTimestamp = 0;
    bool m_updating = false;
    bool m_destroying = false;
};

} // namespace Starwick::platform
