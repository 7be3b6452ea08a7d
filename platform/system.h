#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>

namespace Starwick::platform {

/// The system beep. It sounds whatever the program's sound setting says.
void Beep();
/// How many times Beep() has been called in this run (tests read it; the beep itself has no
/// other trace on a machine without a speaker).
int BeepCount();

/// Opens a web or mail address in the user's default program. Tests may answer in its place.
void OpenURL(const QUrl& url);
void setUrlOpenerForTesting(std::function<void(const QUrl&)> opener);

/// Ends the application's event loop with `code`. Tests may take the call instead.
void Quit(int code);
void setQuitHandlerForTesting(std::function<void(int)> handler);

/// Whether the Command key (Control here) is held: during a key event, as that event says;
/// otherwise as the keyboard says now.
bool CommandKeyDown();

/// The main screen's area that windows may use.
QRect ScreenAvailableGeometry();

/// The system font at a size given in points on a scale where 13 is the system font's own size:
/// sizes scale from the application font, so a "text size 9" line stays in proportion to its
/// neighbours on every desktop. 0 means the default.
QFont SystemFont(int points = 0);
/// The small system font (a step smaller than the system font) at such a size; 0 means its default.
QFont SmallSystemFont(int points = 0);

/// Puts text on the system clipboard.
void SetClipboardText(const QString& text);

/// Holds the modifiers of the key event being handled, so that CommandKeyDown() answers for it.
class KeyboardState
{
public:
    explicit KeyboardState(Qt::KeyboardModifiers modifiers);
    ~KeyboardState();
    KeyboardState(const KeyboardState&) = delete;
    KeyboardState& operator=(const KeyboardState&) = delete;

private:
    Qt::KeyboardModifiers m_previous;
    bool m_hadPrevious;
};

} // namespace Starwick::platform
