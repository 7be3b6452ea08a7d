#pragma once

#include <QByteArrayView>
#include <QRect>
#include <QtGlobal>

#include <functional>
#include <optional>

class QWidget;

namespace Starwick::platform {

class Window;

/// The window-manager calls the program makes, with their classic names, codes and result codes
/// (0 for success, a negative code for failure). Window references are top-level widgets.

/// A window rectangle in the classic layout: four signed 16-bit values in native byte order,
/// top at byte 0, left at 2, bottom at 4, right at 6; bottom and right lie just outside the area.
struct Rect16
{
    qint16 top = 0;
    qint16 left = 0;
    qint16 bottom = 0;
    qint16 right = 0;
};
static_assert(sizeof(Rect16) == 8, "Rect16 must keep the 8-byte layout");

enum WindowManagerResult : int
{
    noErr = 0,
    paramErr = -50,
    gestaltUndefSelectorErr = -5551,
    errInvalidWindowRef = -5600,
    errWindowRegionCodeInvalid = -5615,
};

enum WindowRegionCode : int
{
    kWindowStructureRgn = 32, ///< the whole window: frame and title bar, screen coordinates
    kWindowContentRgn = 33,   ///< the content area, screen coordinates
};

enum WindowTransitionEffect : int
{
    kWindowZoomTransitionEffect = 1,
    kWindowSheetTransitionEffect = 2,
    kWindowSlideTransitionEffect = 3,
};

enum WindowTransitionAction : int
{
    kWindowShowTransitionAction = 1,
    kWindowHideTransitionAction = 2,
    kWindowMoveTransitionAction = 3,
    kWindowResizeTransitionAction = 4,
};

/// The bounds of a window region (kWindowStructureRgn or kWindowContentRgn) in screen
/// coordinates; values beyond the 16-bit range are clamped.
int GetWindowBounds(QWidget* window, int regionCode, Rect16* bounds);

/// Shows or hides a window (actions 1 and 2), or moves and resizes its frame to `bounds`
/// (actions 3 and 4). A move or resize is animated where the platform animates windows and returns
/// once the frame has arrived; under offscreen and minimal it is immediate. The effect code is
/// accepted and otherwise unused.
int TransitionWindow(QWidget* window, int effect, int action, const Rect16* bounds);

/// `frame` moved onto `area` where part of it lies outside, and first shrunk to the area's size where
/// it is wider or taller. A frame that lies whole inside the area comes back unchanged.
QRect fitFrameToArea(const QRect& frame, const QRect& area);

/// Places `window` directly behind `behindWindow` in the application's window order and raises
/// the windows in that order, since Qt keeps no stacking order between top-level windows.
int SendBehind(QWidget* window, QWidget* behindWindow);

/// The frontmost visible window that is not a floating one (tools, drawers, popups), or nullptr.
QWidget* FrontNonFloatingWindow();

/// Whether the window has a minimise button.
bool IsWindowCollapsable(QWidget* window);
/// Minimises the window (`collapse` true) or restores it.
int CollapseWindow(QWidget* window, bool collapse);

/// Whether the window has a zoom (maximise) box and can change its size.
bool HasZoomBox(QWidget* window);

/// Whether the window has a close box in its title bar.
bool HasCloseBox(QWidget* window);

/// Writes a length-prefixed string (one length byte, then at most 255 bytes of text) to the
/// standard error stream, as one line.
void DebugStr(const unsigned char* pascalString);
/// Tests may take the text of every DebugStr call instead of the standard error stream.
void setDebugStrHandlerForTesting(std::function<void(QByteArrayView text)> handler);

/// Answers a system query by its four-character selector. "sysv" gives the running system's
/// version in BCD, four bits a digit (12.4.1 gives 0x1241): the distribution's version where it
/// has a numeric one, else the kernel's. Other selectors give gestaltUndefSelectorErr.
int Gestalt(QByteArrayView selector, qint32* response);
/// Tests may answer Gestalt in its place; an empty function restores the system's answers.
void setGestaltHandlerForTesting(std::function<int(QByteArrayView selector, qint32* response)> handler);

/// The program's visible document windows (platform::Window tops that do not float), front to
/// back: the window activated or shown last is in front.
int WindowCount();
/// Window `index` of that list (0 is the front window), or nullptr outside it.
Window* WindowAt(int index);

/// A number for the window that stays the same for the window's life and is never given to another
/// window in the run (0 for none).
int MacWindowPtr(const QWidget* window);

/// Whether TransitionWindow animates; tests may force it either way (an empty value restores the
/// platform's own answer).
bool WindowTransitionsAnimate();
void setWindowTransitionsAnimatedForTesting(std::optional<bool> animated);

/// Tests may watch every TransitionWindow call (window, effect, action, target bounds).
void setTransitionObserverForTesting(std::function<void(QWidget*, int, int, const Rect16&)> observer);

} // namespace Starwick::platform
