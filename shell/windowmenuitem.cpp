#include "shell/windowmenuitem.h"

#include "platform/eventloop.h"
#include "platform/window.h"
#include "platform/windowmanager.h"
#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"
#include "shell/windowmenuhandlers.h"

namespace Starwick {

namespace {

NotifyingMenuItem* makeItem(const QString& name, const QString& text)
{
    auto* item = new NotifyingMenuItem();
    item->SetName(name);
    item->SetText(text);
    return item;
}

} // namespace

WindowMenuItem::WindowMenuItem()
{
    DBCModule::Logged("WindowMenuItem.Constructor", [&] {
        WindowHandlerMap.clear();
        Append(makeItem(QStringLiteral("WindowZoomWindow"), QStringLiteral("Zoom Window")));
        NotifyingMenuItem* minimize =
            makeItem(QStringLiteral("WindowMinimizeWindow"), QStringLiteral("Minimize Window"));
        minimize->SetCommandKey(QStringLiteral("M"));
        Append(minimize);
        Append(makeItem(QStringLiteral("WindowSeparator1"), QStringLiteral("-")));
        NotifyingMenuItem* bringAll =
            makeItem(QStringLiteral("WindowBringAllToFront"), QStringLiteral("Bring All To Front"));
        Append(bringAll);
        bringAll->AddHandler(std::make_shared<BringAllToFrontMenuHandler>());
        DBCModule::Ensure(WindowHandlerMap.empty());
    });
}

NotifyingMenuItem* WindowMenuItem::notifyingChild(const QString& name) const
{
    auto* item = qobject_cast<NotifyingMenuItem*>(Child(name));
    DBCModule::Ensure(item != nullptr);
    return item;
}

NotifyingMenuItem* WindowMenuItem::WindowZoomWindow() const
{
    return DBCModule::Logged("WindowMenuitem.ZoomWindow",
                             [&] { return notifyingChild(QStringLiteral("WindowZoomWindow")); });
}

NotifyingMenuItem* WindowMenuItem::WindowMinimizeWindow() const
{
    return DBCModule::Logged("WindowMenuItem.MinimizeWindow",
                             [&] { return notifyingChild(QStringLiteral("WindowMinimizeWindow")); });
}

NotifyingMenuItem* WindowMenuItem::WindowBringAllToFront() const
{
    return DBCModule::Logged("WindowMenuItem.WindowBringAllToFront",
                             [&] { return notifyingChild(QStringLiteral("WindowBringAllToFront")); });
}

void WindowMenuItem::AddWindowToMenu(platform::Window* w)
{
    DBCModule::Logged("WindowMenuItem.AddWindowToMenu", [&] {
        DBCModule::Require(w != nullptr);
        if (WindowHandlerMap.count(w) > 0)
            return;
        HandlerMap& m = WindowHandlerMap[w];

        auto zoom = std::make_shared<ZoomWindowMenuHandler>(w);
        NotifyingMenuItem* zoomItem = WindowZoomWindow();
        zoomItem->AddHandler(zoom);
        m.emplace_back(zoomItem, zoom);

        auto minimize = std::make_shared<MinimizeWindowMenuHandler>(w);
        NotifyingMenuItem* minimizeItem = WindowMinimizeWindow();
        minimizeItem->AddHandler(minimize);
        m.emplace_back(minimizeItem, minimize);

        const QString name = QStringLiteral("Window") + QString::number(platform::MacWindowPtr(w));
        NotifyingMenuItem* entry = makeItem(name, WindowMenuText(w->Title()));
        Append(entry);
        m_entryNames.insert(w, name);

        auto list = std::make_shared<WindowListMenuHandler>(w);
        entry->AddHandler(list);
        m.emplace_back(entry, list);

        const platform::Window* key = w;
        // A window that goes without being removed drops its registration at once, without
        // handing control to the event loop: it is being destroyed.
        connect(w, &QObject::destroyed, this, [this, key] { unregister(key, false); });
    });
}

void WindowMenuItem::RemoveWindowFromMenu(platform::Window* w)
{
    DBCModule::Logged("WindowMenuItem.RemoveWindowFromMenu", [&] {
        DBCModule::Require(w != nullptr);
        disconnect(w, &QObject::destroyed, this, nullptr);
        unregister(w, true);
    });
}

void WindowMenuItem::unregister(const platform::Window* w, bool yield)
{
    auto found = WindowHandlerMap.find(w);
    if (found == WindowHandlerMap.end())
        return;
    const QString entryName = m_entryNames.value(w);
    if (MenuItem* entry = entryName.isEmpty() ? nullptr : Child(entryName))
        Remove(entry);
    m_entryNames.remove(w);
    // Taken out first: control goes back to the event loop below, where the map may change.
    HandlerMap m = std::move(found->second);
    WindowHandlerMap.erase(found);
    for (size_t i = 0; i < m.size(); ++i) {
        if (NotifyingMenuItem* item = m[i].first)
            item->RemoveHandler(m[i].second);
        if (yield)
            platform::YieldToEventLoop();
    }
}

} // namespace Starwick
