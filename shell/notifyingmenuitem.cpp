#include "shell/notifyingmenuitem.h"

#include "shell/dbcmodule.h"

#include <QCoreApplication>

namespace Starwick {

NotifyingMenuItem::NotifyingMenuItem()
{
    // Each pass starts with the item disabled, so that only a claim enables it.
    SetAutoEnable(false);
}

void NotifyingMenuItem::EnableMenu()
{
    try {
        SetActiveHandler(nullptr);
        const int upperBound = int(Handlers.size()) - 1;
        for (int i = 0; i <= upperBound; ++i) {
            // A handler may be removed while control is back in the event loop.
            if (i < int(Handlers.size())) {
                const std::shared_ptr<MenuHandler> handler = Handlers[size_t(i)];
                handler->MenuEnable(this);
            }
            QCoreApplication::processEvents();
        }
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.EnableMenu"));
    }
}

bool NotifyingMenuItem::Action()
{
    try {
        const std::shared_ptr<MenuHandler> handler = ActiveHandler();
        if (handler)
            return handler->PerformAction(this);
        return false;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.Action"));
    }
}

std::shared_ptr<MenuHandler> NotifyingMenuItem::ActiveHandler() const
{
    try {
        return pActiveHandler;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.GetActiveHandler"));
    }
}

void NotifyingMenuItem::SetActiveHandler(std::shared_ptr<MenuHandler> handler)
{
    try {
        pActiveHandler = handler;
        DBCModule::Ensure(pActiveHandler == handler);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.SetActiveHandler"));
    }
}

void NotifyingMenuItem::AddHandler(std::shared_ptr<MenuHandler> handler)
{
    try {
        DBCModule::Require(handler != nullptr);
        if (IndexOf(handler.get()) == -1)
            Handlers.push_back(handler);
        DBCModule::Ensure(IndexOf(handler.get()) > -1);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.AddHandler"));
    }
}

void NotifyingMenuItem::RemoveHandler(const std::shared_ptr<MenuHandler>& handler)
{
    try {
        DBCModule::Require(handler != nullptr);
        const int index = IndexOf(handler.get());
        if (index >= 0)
            Handlers.erase(Handlers.begin() + index);
        DBCModule::Ensure(IndexOf(handler.get()) == -1);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.RemoveHandler"));
    }
}

int NotifyingMenuItem::IndexOf(const MenuHandler* object) const
{
    try {
        const int upperBound = int(Handlers.size()) - 1;
        for (int i = 0; i <= upperBound && i < int(Handlers.size()); ++i) {
            if (Handlers[size_t(i)].get() == object)
                return i;
            QCoreApplication::processEvents();
        }
        return -1;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("NotifyingMenuItem.IndexOf"));
    }
}

} // namespace Starwick
