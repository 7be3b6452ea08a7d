#pragma once

#include "platform/window.h"

namespace Starwick::platform {

/// A movable modal window: a dialog with a title bar that keeps input from the program's other
/// windows while it is shown. It is shown without a nested event loop, so the code that shows it
/// goes on at once and events (socket answers, timers) keep arriving while it is open.
///
/// It is placed when it is first shown: over the window in front (a drawer stands for the window
/// it belongs to) or centred on the main screen, and always whole on the screen. Texts that the
/// program's design calls "SmallSystem" use smallFont().
class MovableModalWindow : public Window
{
    Q_OBJECT
    Q_DISABLE_COPY(MovableModalWindow)

public:
    enum class Placement
    {
        OverParent,      ///< centred over the window in front, or on the main screen without one
        CentredOnScreen, ///< centred on the main screen's available area
    };

    enum class CloseBox
    {
        Shown, ///< a close box in the title bar, which closes the window
        None,  ///< none: only the window's own buttons close it
    };

    /// A movable modal window has no minimise and no zoom button.
    explicit MovableModalWindow(Placement placement, CloseBox closeBox = CloseBox::Shown);
    ~MovableModalWindow() override;

    /// The font of the window's smaller texts: the system font a step smaller.
    static QFont smallFont();

protected:
    void placeOnFirstShow() override;
    /// A window without a close box refuses the window manager's close (its close button where it
    /// draws one anyway, Alt+F4) with the system beep; the program's own closes go through.
    void closeEvent(QCloseEvent* event) override;

private:
    Placement m_placement;
};

} // namespace Starwick::platform
