#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace Starwick {

/// Turns the bytes of a web page into text, one line at a time: a line that is valid UTF-8 is read
/// as UTF-8, any other line as Windows-1252, since the site's pages say UTF-8 but some of their
/// lines hold raw Latin-1 bytes. Lines end at CR, LF or CR LF, and every line end is kept as it
/// stands. A UTF-8 byte-order mark at the start of the page is dropped.
QString DecodePageText(const QByteArray& bytes);

/// Plain text from a piece of a page: removes every tag ("<" through the next ">"), turns every
/// CR and LF into a blank, then replaces each pair of blanks by one in a single pass (so three or
/// four blanks in a row leave two). Entities stay as written and a ">" with no "<" before it stays.
/// A "<" with no ">" after it is kept, with all the text after it. Calls `yield` once per removed
/// tag, so a caller on the event loop can keep the window responsive. Linear in the input.
QString ClearHTML(QString s, const std::function<void()>& yield = {});

/// The text operations of the page cuts. Positions count from 1, and 0 means "not found".
namespace TextOps {

/// Position of the first `marker` in `text` at or after `start`, or 0.
int Find(const QString& text, const QString& marker, int start = 1);

/// The run of `length` characters from position `start` on; "" for a length of 0 or less.
QString Mid(const QString& text, int start, int length);

/// Field `n` (from 1) of `text` split at every `separator`: field 1 is everything before the first
/// separator (the whole text when there is none); a field beyond the last is "".
QString Field(const QString& text, const QString& separator, int n);

/// The decimal number `text` begins with (after leading white space), or 0 when it begins with none.
double Val(const QString& text);

} // namespace TextOps

} // namespace Starwick
