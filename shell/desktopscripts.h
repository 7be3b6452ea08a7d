#pragma once

#include <QVariantList>

namespace Starwick {

// The two desktop scripts. Each parameter goes to the script as an argument of its own: an
// element holding an int as its decimal text (an integer parameter), any other element as its
// text (a string parameter). With no parameters the script runs without any. Neither runner
// waits for the script or reads its result.

/// The script ids, as the script service reports its runs.
inline constexpr int SetDTPicScript = 168;
inline constexpr int OpenDTPrefsScript = 169;

/// Makes a picture the desktop picture (script 168). Callers pass one string: the full path of the
/// copy in "Starwick Images" (a bare name is looked for there by the script's own rule for the
/// Pictures folder). The script ends with 0 when the desktop took the picture, 1 when it found no
/// such picture, 2 when it cannot tell the desktop or the desktop's tool is missing, 3 when the
/// desktop is not running the part that shows its picture, and 4 or more when the desktop refused.
void SetDTPic(const QVariantList& parameters);

/// Opens the desktop's wallpaper settings (script 169). Callers pass no parameters.
void OpenDTPrefs(const QVariantList& parameters);

} // namespace Starwick
