#include "shell/notifyingmenuitem.h"

#include "platform/eventloop.h"
#include "shell/dbcmodule.h"

namespace Starwick {

NotifyingMenuItem::NotifyingMenuItem()
{
    // Each pass starts with the item disabled, so that only a claim enables it.
    SetAutoEnable(false);
}

void NotifyingMenuItem::EnableMenu()
{
    DBCModule::Logged("NotifyingMenuItem.EnableMenu", [&] {
        SetActiveHandler(nullptr);
        const int upperBound = int(Handlers.size()) - 1;
        for (int i = 0; i <= upperBound; ++i) {
            // A handler may be removed while control is back in the event loop.
            if (i < int(Handlers.size())) {
                const std::shared_ptr<MenuHandler> handler = Handlers[size_t(i)];
                handler->MenuEnable(this);
            }
            platform::YieldToEventLoop();
        }
    });
}

bool NotifyingMenuItem::Action()
{
    return DBCModule::Logged("NotifyingMenuItem.Action", [&] {
        const std::shared_ptr<MenuHandler> handler = ActiveHandler();
        if (handler)
            return handler->PerformAction(this);
        return false;
    });
}

std::shared_ptr<MenuHandler> NotifyingMenuItem::ActiveHandler() const
{
    return DBCModule::Logged("NotifyingMenuItem.GetActiveHandler", [&] { return pActiveHandler; });
}

void NotifyingMenuItem::SetActiveHandler(std::shared_ptr<MenuHandler> handler)
{
    DBCModule::Logged("NotifyingMenuItem.SetActiveHandler", [&] {
        pActiveHandler = handler;
        DBCModule::Ensure(pActiveHandler == handler);
    });
}

void NotifyingMenuItem::AddHandler(std::shared_ptr<MenuHandler> handler)
{
    DBCModule::Logged("NotifyingMenuItem.AddHandler", [&] {
        DBCModule::Require(handler != nullptr);
        if (IndexOf(handler.get()) == -1)
            Handlers.push_back(handler);
        DBCModule::Ensure(IndexOf(handler.get()) > -1);
    });
}

void NotifyingMenuItem::RemoveHandler(const std::shared_ptr<MenuHandler>& handler)
{
    DBCModule::Logged("NotifyingMenuItem.RemoveHandler", [&] {
        DBCModule::Require(handler != nullptr);
        const int index = IndexOf(handler.get());
        if (index >= 0)
            Handlers.erase(Handlers.begin() + index);
        DBCModule::Ensure(IndexOf(handler.get()) == -1);
    });
}

int NotifyingMenuItem::IndexOf(const MenuHandler* object) const
{
    return DBCModule::Logged("NotifyingMenuItem.IndexOf", [&] {
        const int upperBound = int(Handlers.size()) - 1;
        for (int i = 0; i <= upperBound && i < int(Handlers.size()); ++i) {
            if (Handlers[size_t(i)].get() == object)
                return i;
            platform::YieldToEventLoop();
        }
        return -1;
    });
}

} // namespace Starwick
