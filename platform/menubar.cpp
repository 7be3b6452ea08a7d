#include "platform/menubar.h"

#include "platform/window.h"
#include "platform/windowmanager.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>

#include <exception>

namespace Starwick::platform {

Q_LOGGING_CATEGORY(lcMenu, "starwick.menu")

namespace {

/// Runs one event or handler of the menu layer, keeping an exception from unwinding into Qt's
/// event dispatch, which cannot carry it.
template <class F> auto guarded(const QString& what, F&& f, decltype(f()) fallback) -> decltype(f())
{
    try {
        return f();
    } catch (const std::exception& e) {
        qCCritical(lcMenu).noquote() << what << "failed:" << e.what();
    } catch (...) {
        qCCritical(lcMenu).noquote() << what << "failed with an unknown exception";
    }
    return fallback;
}

template <class F> void guarded(const QString& what, F&& f)
{
    guarded(
        what,
        [&f] {
            f();
            return 0;
        },
        0);
}

} // namespace

MenuBar::MenuBar(QObject* parent)
    : QObject(parent)
    , m_applicationMenu(new QMenu())
    , m_preferencesSeparator(new QAction(this))
    , m_quitSeparator(new QAction(this))
{
    m_applicationMenu->setObjectName(QStringLiteral("ApplicationMenu"));
    m_applicationMenu->setTitle(QGuiApplication::applicationDisplayName());
    m_applicationMenu->setSeparatorsCollapsible(true);
    m_preferencesSeparator->setSeparator(true);
    m_quitSeparator->setSeparator(true);
    watchMenu(m_applicationMenu);
    if (qApp)
        qApp->installEventFilter(this);
}

MenuBar::~MenuBar()
{
    m_destroying = true;
    if (qApp)
        qApp->removeEventFilter(this);
    const QList<MenuItem*> menus = std::exchange(m_menus, {});
    for (MenuItem* menu : menus) {
        menu->m_bar = nullptr;
        delete menu;
    }
    // A bar widget that a window took belongs to that window; only a loose one goes with us.
    if (m_widget && !m_widget->parent())
        delete m_widget.data();
    delete m_applicationMenu;
}

void MenuBar::Append(MenuItem* menu)
{
    if (!menu || m_menus.contains(menu))
        return;
    if (menu->m_parentItem)
        menu->m_parentItem->detach(menu);
    else if (menu->m_bar)
        menu->m_bar->detachMenu(menu);
    menu->setParent(this);
    menu->m_bar = this;
    m_menus.append(menu);
    rebuild();
}

MenuItem* MenuBar::Item(int index) const
{
    return index >= 0 && index < m_menus.size() ? m_menus.at(index) : nullptr;
}

MenuItem* MenuBar::Child(const QString& name) const
{
    for (MenuItem* menu : m_menus) {
        if (menu->Name() == name)
            return menu;
    }
    return nullptr;
}

MenuItem* MenuBar::FindItem(const QString& name) const
{
    for (MenuItem* menu : m_menus) {
        if (menu->Name() == name)
            return menu;
        if (MenuItem* found = menu->FindItem(name))
            return found;
    }
    return nullptr;
}

QMenuBar* MenuBar::menuBarWidget()
{
    if (!m_widget) {
        m_widget = new QMenuBar();
        m_widget->setObjectName(QStringLiteral("MenuBar"));
        // The menu bar lives inside the main window on every platform.
        m_widget->setNativeMenuBar(false);
        rebuild();
    }
    return m_widget.data();
}

QString MenuBar::applicationMenuTitle() const
{
    return m_applicationMenu->title();
}

void MenuBar::setApplicationMenuTitle(const QString& title)
{
    m_applicationMenu->setTitle(title);
}

void MenuBar::addHandler(const QString& name, QObject* owner, Handler handler)
{
    if (!handler)
        return;
    m_bindings.push_back({name, owner, owner != nullptr, std::move(handler)});
}

void MenuBar::setEnableMenuItemsHook(std::function<void()> hook)
{
    m_enableMenuItemsHook = std::move(hook);
}

bool MenuBar::dispatch(MenuItem* item)
{
    if (!item)
        return false;
    const QString name = item->Name();
    QPointer<MenuBar> bar(item->menuBar());
    if (guarded(
            QStringLiteral("The Action event of menu item %1").arg(name), [item] { return item->Action(); }, false))
        return true;
    return bar && bar->runHandlers(name);
}

bool MenuBar::runHandlers(const QString& name)
{
    // A copy: a handler may register others, or remove the bar's items, while it runs.
    std::vector<Handler> handlers;
    for (const Binding& binding : m_bindings) {
        if (binding.name == name && (!binding.owned || binding.owner))
            handlers.push_back(binding.handler);
    }
    const QString what = QStringLiteral("The menu handler for %1").arg(name);
    for (const Handler& handler : handlers) {
        if (guarded(what, handler, false))
            return true;
    }
    return false;
}

void MenuBar::updateMenus()
{
    if (m_updating || m_destroying)
        return;
    m_updating = true;
    QPointer<MenuBar> guard(this);

    QList<QPointer<MenuItem>> items;
    const QList<MenuItem*> all = allItems();
    for (MenuItem* item : all)
        items.append(item);

    for (const QPointer<MenuItem>& item : std::as_const(items)) {
        if (item)
            item->SetEnabled(item->AutoEnable());
    }
    if (m_enableMenuItemsHook)
        guarded(QStringLiteral("The application's EnableMenuItems"), m_enableMenuItemsHook);
    if (guard) {
        if (QPointer<Window> front = WindowAt(0))
            guarded(QStringLiteral("The front window's EnableMenuItems"), [&front] {
                if (front)
                    front->EnableMenuItems();
            });
    }
    for (const QPointer<MenuItem>& item : std::as_const(items)) {
        if (!guard)
            return;
        if (item)
            guarded(QStringLiteral("The EnableMenu event of menu item %1").arg(item->Name()), [&item] {
                if (item)
                    item->EnableMenu();
            });
    }
    if (guard)
        m_updating = false;
}

bool MenuBar::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Qt offers one override event to the focus widget and each of its parents in turn; the
        // pass runs once for it.
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool offeredBefore = key == m_lastShortcutEvent && key->timestamp() == m_lastShortcutTimestamp;
        if (!offeredBefore && matchesShortcut(key)) {
            m_lastShortcutEvent = key;
            m_lastShortcutTimestamp = key->timestamp();
            updateMenus();
        }
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        m_lastShortcutEvent = nullptr;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool MenuBar::matchesShortcut(const QKeyEvent* event) const
{
    const int key = event->key();
    if (key == 0 || key == Qt::Key_unknown || key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
        key == Qt::Key_Meta)
        return false;
    const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(key));
    const QList<MenuItem*> items = allItems();
    for (const MenuItem* item : items) {
        const QKeySequence& shortcut = item->shortcut();
        if (shortcut.count() == 1 && shortcut[0] == pressed)
            return true;
    }
    return false;
}

QList<MenuItem*> MenuBar::allItems() const
{
    QList<MenuItem*> result;
    std::function<void(MenuItem*)> collect = [&](MenuItem* item) {
        result.append(item);
        for (MenuItem* child : std::as_const(item->m_children))
            collect(child);
    };
    for (MenuItem* menu : m_menus)
        collect(menu);
    return result;
}

void MenuBar::watchMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, &MenuBar::updateMenus, Qt::UniqueConnection);
}

void MenuBar::detachMenu(MenuItem* menu)
{
    if (!m_menus.removeOne(menu))
        return;
    menu->m_bar = nullptr;
    rebuild();
}

void MenuBar::rebuild()
{
    if (m_destroying)
        return;
    QList<MenuItem*> applicationItems;
    for (MenuItem* menu : std::as_const(m_menus)) {
        if (menu->placement() != MenuItem::Placement::InParent) {
            applicationItems.append(menu);
            menu->layoutMenus(&applicationItems);
            continue;
        }
        menu->ensureMenu();
        menu->layoutMenus(&applicationItems);
    }
    const QList<MenuItem*> all = allItems();
    for (MenuItem* item : all) {
        if (item->menu())
            watchMenu(item->menu());
    }

    const QList<QAction*> shown = m_applicationMenu->actions();
    for (QAction* action : shown)
        m_applicationMenu->removeAction(action);
    for (const MenuItem::Placement group :
         {MenuItem::Placement::ApplicationMenu, MenuItem::Placement::Preferences, MenuItem::Placement::Quit}) {
        bool first = true;
        for (MenuItem* item : std::as_const(applicationItems)) {
            if (item->placement() != group)
                continue;
            if (first && !m_applicationMenu->actions().isEmpty())
                m_applicationMenu->addAction(group == MenuItem::Placement::Quit ? m_quitSeparator
                                                                                : m_preferencesSeparator);
            first = false;
            m_applicationMenu->addAction(item->action());
        }
    }

    if (!m_widget)
        return;
    const QList<QAction*> onBar = m_widget->actions();
    for (QAction* action : onBar)
        m_widget->removeAction(action);
    if (!m_applicationMenu->actions().isEmpty())
        m_widget->addAction(m_applicationMenu->menuAction());
    for (MenuItem* menu : std::as_const(m_menus)) {
        if (menu->placement() == MenuItem::Placement::InParent)
            m_widget->addAction(menu->action());
    }
}

} // namespace Starwick::platform
