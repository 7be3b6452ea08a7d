#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace Starwick::platform {

/// A static text control as the program's windows use it: plain text (never read as rich text,
/// so text from the network or the user shows as typed), black, aligned to the top left, in
/// `font`. A multi-line text wraps at word boundaries; a one-line text does not wrap.
QLabel* MakeStaticText(QWidget* parent, const char* name, const QString& text, const QFont& font,
                       bool multiLine = false);

/// A one-line static text as above that cuts a text too wide for it in the middle and shows the
/// whole text on hover (see ElidedStaticText); its text() stays the whole text.
QLabel* MakeElidedStaticText(QWidget* parent, const char* name, const QString& text, const QFont& font);

/// A tooltip that shows `text` as it stands: tooltips read text that looks like markup as rich
/// text, so a text from the network or the user is handed over escaped. Empty for an empty text.
QString PlainTextToolTip(const QString& text);

} // namespace Starwick::platform
