#pragma once

#include <QByteArray>
#include <QString>

namespace Starwick::platform {

/// Standard Base64 (RFC 4648 alphabet with "=" padding) on one line, without line breaks.
QString Base64Encode(const QByteArray& data);

/// Decodes standard Base64. Text that is not Base64 (a character outside the alphabet, white
/// space or a line break included, or misplaced padding) gives empty data and `*ok` false; empty
/// text decodes to empty data with `*ok` true.
QByteArray Base64Decode(const QString& text, bool* ok = nullptr);

} // namespace Starwick::platform
