#pragma once

namespace Starwick {

/// Empties the cache folder of the pictures downloaded into it: every entry whose name does not
/// begin with "." goes, last first, handing control to the event loop once per entry. Links are
/// removed themselves, never what they point to, and a subfolder is not entered (only an empty one
/// is removed). A failed delete is passed over.
void PurgeCache();

} // namespace Starwick
