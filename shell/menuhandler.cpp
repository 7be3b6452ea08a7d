#include "shell/menuhandler.h"

#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"

namespace Starwick {

bool AbstractMenuHandler::PerformAction(NotifyingMenuItem* item)
{
    return DBCModule::Logged("AbstractMenuHandler.PerformAction", [&] {
        DBCModule::Require(item != nullptr);
        return Action(item);
    });
}

void AbstractMenuHandler::MenuEnable(NotifyingMenuItem* item)
{
    DBCModule::Logged("AbstractMenuHandler.MenuEnable", [&] {
        DBCModule::Require(item != nullptr);
        EnableMenu(item);
    });
}

void AbstractMenuHandler::claim(NotifyingMenuItem* item)
{
    item->SetActiveHandler(shared_from_this());
    item->SetEnabled(true);
}

} // namespace Starwick
