#pragma once

#include "platform/menuitem.h"
#include "shell/menuhandler.h"

#include <memory>
#include <vector>

namespace Starwick {

/// A menu item that does no work of its own: during each enabling pass it asks its handlers in
/// turn, and the last one that claims the item becomes its active handler; choosing the item
/// asks the active handler to act. An item that no handler claims stays disabled.
class NotifyingMenuItem : public platform::MenuItem
{
    Q_OBJECT
    Q_DISABLE_COPY(NotifyingMenuItem)

public:
    NotifyingMenuItem();

    void EnableMenu() override;
    bool Action() override;

    std::shared_ptr<MenuHandler> ActiveHandler() const;
    void SetActiveHandler(std::shared_ptr<MenuHandler> handler);
    /// Adds a handler once; adding one already there changes nothing.
    void AddHandler(std::shared_ptr<MenuHandler> handler);
    /// Removes a handler; the active handler stays as it is until the next pass.
    void RemoveHandler(const std::shared_ptr<MenuHandler>& handler);
    /// The index of that very handler object in Handlers, or -1.
    int IndexOf(const MenuHandler* object) const;

    /// The handler that claimed the item in the last pass; empty when none did.
    std::shared_ptr<MenuHandler> pActiveHandler;
    /// The handlers in the order added.
    std::vector<std::shared_ptr<MenuHandler>> Handlers;
};

} // namespace Starwick
