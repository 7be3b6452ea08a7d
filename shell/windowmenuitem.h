#pragma once

#include "platform/menuitem.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace Starwick {

namespace platform {
class Window;
}
class MenuHandler;
class NotifyingMenuItem;

/// The Window menu: "Zoom Window", "Minimize Window" (Command-M), a separator, "Bring All To
/// Front", then one entry per registered window, checked while that window is in front.
///
/// A window is registered once; its entries and handlers stay until RemoveWindowFromMenu, or
/// until the window itself is destroyed, which drops its registration the same way.
class WindowMenuItem : public platform::MenuItem
{
    Q_OBJECT
    Q_DISABLE_COPY(WindowMenuItem)

public:
    /// The items given a handler for one window, each with that handler, in the order made.
    using HandlerMap = std::vector<std::pair<QPointer<NotifyingMenuItem>, std::shared_ptr<MenuHandler>>>;

    WindowMenuItem();

    NotifyingMenuItem* WindowZoomWindow() const;
    NotifyingMenuItem* WindowMinimizeWindow() const;
    NotifyingMenuItem* WindowBringAllToFront() const;

    void AddWindowToMenu(platform::Window* w);
    void RemoveWindowFromMenu(platform::Window* w);

    /// Every registered window with the items and handlers made for it.
    std::map<const platform::Window*, HandlerMap> WindowHandlerMap;

private:
    NotifyingMenuItem* notifyingChild(const QString& name) const;
    void unregister(const platform::Window* w, bool yield);

    /// The name of each registered window's entry, kept for when the window is already gone.
    QHash<const platform::Window*, QString> m_entryNames;
};

} // namespace Starwick
