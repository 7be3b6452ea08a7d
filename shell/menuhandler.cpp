#include "shell/menuhandler.h"

#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"

namespace Starwick {

bool AbstractMenuHandler::PerformAction(NotifyingMenuItem* item)
{
    try {
        DBCModule::Require(item != nullptr);
        return Action(item);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("AbstractMenuHandler.PerformAction"));
    }
}

void AbstractMenuHandler::MenuEnable(NotifyingMenuItem* item)
{
    try {
        DBCModule::Require(item != nullptr);
        EnableMenu(item);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("AbstractMenuHandler.MenuEnable"));
    }
}

void AbstractMenuHandler::claim(NotifyingMenuItem* item)
{
    item->SetActiveHandler(shared_from_this());
    item->SetEnabled(true);
}

} // namespace Starwick
