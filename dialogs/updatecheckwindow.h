#pragma once

#include "platform/httpsocket.h"
#include "platform/movablemodalwindow.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace Starwick {

namespace platform {
class Canvas;
class Timer;
} // namespace platform

/// The update check: made hidden, it waits two seconds on its timer, then asks the maker's server
/// for the number of the latest release and hands the answer on to NoUpdateWindow or UpdateNeeded.
/// A check at launch stays hidden and silent unless a newer release exists or the request fails on
/// the way; "Check for Updates..." shows the same window, so one check makes one request.
class UpdateCheckWindow : public platform::MovableModalWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(UpdateCheckWindow)

public:
    UpdateCheckWindow();
    ~UpdateCheckWindow() override;

    /// The open check window, or a new one, hidden, with its timer running.
    static UpdateCheckWindow* instance();

    /// Where the version file stands on the maker's server.
    static QString versionFileURL();

    platform::Canvas* Canvas1;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QProgressBar* ProgressBar1;
    QLabel* StatusText;
    QPushButton* PushButton1;
    platform::Timer* Timer1;
    platform::HTTPSocket* TCPSocket1;

    void StaticText1_Open();
    void PushButton1_Action();
    void Timer1_Action();
    void TCPSocket1_PageReceived(const QString& url, int status, const platform::HTTPSocket::Headers& headers,
                                 const QByteArray& content);
    void TCPSocket1_Connected();
    void TCPSocket1_Error(int code);
    bool TCPSocket1_AuthenticationRequired(QString& user, QString& password);

    /// Closing ends the check: the timer stops and the request is dropped, so nothing follows.
    void Close() override;

private:
    void checkFailed();
};

} // namespace Starwick
