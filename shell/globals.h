#pragma once

#include "platform/folderitem.h"

#include <QString>

class QWidget;

namespace Starwick {
namespace platform {
class Window;
}

/// Application-wide values that every window reads and writes directly: the mirror of the
/// settings file taken at launch, and the state of the day being shown. All start zero, false or
/// empty; there is no change notification.
namespace Globals {

// Settings mirror (the settings file's line is given for each).
inline QString UserName;         ///< 1: the owner name as stored ("Not Personalized" when none)
inline bool Registered = false;  ///< from 1: an owner name is set
inline bool DeleteCache = false; ///< 3: empty the cache folder at quit
inline bool UseSounds = false;   ///< 4: play the interface sounds
inline bool HideWarning = false; ///< 5: do not show the desktop-picture warning
inline QString pAddress;         ///< 6: proxy address
inline int pPort = 0;            ///< 7: proxy port
inline QString pUserName;        ///< 8: proxy user name
inline QString pPassword;        ///< 9: proxy password
inline bool UseProxy = false;    ///< 10: send requests through the proxy
inline QString FileTypeName;     ///< 11: creator code given to saved pictures
inline int wTop = 0;             ///< 13: stored Top of the main window
inline int wLeft = 0;            ///< 14: stored Left
inline int wWidth = 0;           ///< 16: stored Width
inline int wHeight = 0;          ///< 17: stored Height

// State of the run.
inline int PanelValue = 0;            ///< page of the Preferences window shown last
inline int LastIndex = 0;             ///< row of the day list being shown; 0 is the newest day
inline QString DayHTML;               ///< the day page being shown
inline QString PageCredits;           ///< credit text cut from the day page
inline QString PageExplanation;       ///< explanation text cut from the day page
inline QString Name;                  ///< file name offered when the picture is saved
inline QString ext;                   ///< lower-case extension of the current picture
inline platform::FolderItem FileName; ///< the current picture's file in the cache folder

/// Puts every value back to its start value (for tests, which run many launches in one process).
void ResetForTesting();

/// Disables the main window's Next, Previous, Save and Set buttons.
void DeactivateButtons();
/// Enables Previous, Save and Set, and Next when a day older than the newest is shown.
void ActivateButtons();

/// The program's one quit, once per run: closes every window (the main window last), stores the
/// main window's frame in the settings file (when there is one), empties the cache when the user
/// asked for it at quit, and ends the application with exit code 0.
void DoQuit();

} // namespace Globals
} // namespace Starwick
