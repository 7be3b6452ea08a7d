#pragma once

#include "platform/movablemodalwindow.h"

class QLabel;
class QPushButton;

namespace Starwick {

namespace platform {
class Canvas;
class HTTPSocket;
} // namespace platform

/// The alert that reports a failed web request: the application icon, a heading that names the
/// error code and a message, over the window in front. At most one exists at a time.
class HTTPAlert : public platform::MovableModalWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(HTTPAlert)

public:
    HTTPAlert();
    ~HTTPAlert() override;

    /// The open alert unchanged, or a new one: shown at once over the active window, with a beep.
    static HTTPAlert* instance();

    /// What every socket's Error handler does: drops the socket's connection and shows the alert
    /// with the heading and the text for `code`.
    static void ReportSocketError(platform::HTTPSocket& socket, int code);

    QPushButton* PushButton1;
    QLabel* HeadingText;
    QLabel* MessageText;
    platform::Canvas* Canvas1;

    void PushButton1_Action();
    void Open() override;
};

} // namespace Starwick
