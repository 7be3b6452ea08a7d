#pragma once

#include <QString>

namespace Starwick {

/// The alert text for a socket error code: one row per code the web can answer with, a general
/// text for every other code (the socket layer's own codes included).
QString HTTPErrorMessages(int code);

/// The alert heading for a socket error code: "The web server returned error <code>!".
QString HTTPErrorHeading(int code);

} // namespace Starwick
