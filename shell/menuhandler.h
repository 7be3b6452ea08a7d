#pragma once

#include <memory>

namespace Starwick {

class NotifyingMenuItem;

/// Something that may take charge of a NotifyingMenuItem: asked during every enabling pass
/// (MenuEnable), it claims the item by making itself the item's active handler and enabling it;
/// the active handler performs the item's action when the user chooses it.
class MenuHandler : public std::enable_shared_from_this<MenuHandler>
{
public:
    virtual ~MenuHandler() = default;

    /// True when the command was handled.
    virtual bool PerformAction(NotifyingMenuItem* item) = 0;
    virtual void MenuEnable(NotifyingMenuItem* item) = 0;
};

/// A MenuHandler that checks its item and hands the work to two events, EnableMenu and Action,
/// which a subclass implements as it needs.
class AbstractMenuHandler : public MenuHandler
{
public:
    bool PerformAction(NotifyingMenuItem* item) override;
    void MenuEnable(NotifyingMenuItem* item) override;

protected:
    virtual void EnableMenu(NotifyingMenuItem* /*item*/) {}
    virtual bool Action(NotifyingMenuItem* /*item*/) { return false; }

    /// Makes this handler the item's active handler, then enables the item.
    void claim(NotifyingMenuItem* item);
};

} // namespace Starwick
