#pragma once

#include "shell/menuhandler.h"

#include <QPointer>
#include <QString>

namespace Starwick {

namespace platform {
class Window;
}

/// The Window menu's handlers. The three bound to a window keep a guarded pointer to it: a window
/// that is gone neither claims nor acts.

/// "Bring All To Front": claimed while the application has a window; brings the windows forward
/// in their present order.
class BringAllToFrontMenuHandler : public AbstractMenuHandler
{
protected:
    bool Action(NotifyingMenuItem* item) override;
    void EnableMenu(NotifyingMenuItem* item) override;
};

/// "Minimize Window": claimed while its window is the front document window; minimises it when
/// it has a minimise button.
class MinimizeWindowMenuHandler : public AbstractMenuHandler
{
public:
    explicit MinimizeWindowMenuHandler(platform::Window* w);

    QPointer<platform::Window> window;

protected:
    bool Action(NotifyingMenuItem* item) override;
    void EnableMenu(NotifyingMenuItem* item) override;
};

/// The window's own entry: always claimed, titled after the window, checked while the window is
/// in front; choosing it brings the window forward.
class WindowListMenuHandler : public AbstractMenuHandler
{
public:
    explicit WindowListMenuHandler(platform::Window* w);

    QPointer<platform::Window> window;

protected:
    bool Action(NotifyingMenuItem* item) override;
    void EnableMenu(NotifyingMenuItem* item) override;
};

/// "Zoom Window": claimed while its window is in front and has a zoom box; toggles between the
/// main screen's whole available area and the frame it had before.
class ZoomWindowMenuHandler : public AbstractMenuHandler
{
public:
    explicit ZoomWindowMenuHandler(platform::Window* w);

    QPointer<platform::Window> window;
    int oldLeft = 0;
    int oldWidth = 0;
    int oldTop = 0;
    int oldHeight = 0;
    bool IsZoomed = false;

protected:
    void EnableMenu(NotifyingMenuItem* item) override;
    bool Action(NotifyingMenuItem* item) override;
};

/// A window's title as its Window menu entry shows it: the first 31 characters.
QString WindowMenuText(const QString& title);

} // namespace Starwick
