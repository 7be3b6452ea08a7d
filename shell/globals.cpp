#include "shell/globals.h"

namespace Starwick::Globals {

void ResetForTesting()
{
    UserName.clear();
    Registered = false;
    DeleteCache = false;
    UseSounds = false;
    HideWarning = false;
    pAddress.clear();
    pPort = 0;
    pUserName.clear();
    pPassword.clear();
    UseProxy = false;
    FileTypeName.clear();
    wTop = wLeft = wWidth = wHeight = 0;
    PanelValue = 0;
    LastIndex = 0;
    DayHTML.clear();
    PageCredits.clear();
    PageExplanation.clear();
    Name.clear();
    ext.clear();
    FileName = platform::FolderItem();
}

} // namespace Starwick::Globals
