#include "dialogs/updatecheckwindow.h"

#include "browser/httpalert.h"
#include "dialogs/noupdatewindow.h"
#include "dialogs/updateneeded.h"
#include "dialogs/versioncheck.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "shell/picturecanvas.h"
#include "shell/proxysetup.h"
#include "shell/resources.h"
#include "shell/servers.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace Starwick {

using platform::Lock;

UpdateCheckWindow::UpdateCheckWindow()
    : platform::MovableModalWindow(Placement::CentredOnScreen)
{
    setObjectName(QStringLiteral("UpdateCheckWindow"));
    setContentSize(491, 137);
    setContentSizeLimits(QSize(491, 137), QSize(491, 137));
    setVisibleWhenMade(false);

    Canvas1 = AddPictureCanvas(this, "Canvas1", QRect(20, 20, 64, 64), IconImage, IconMask);

    QFont bold = platform::SystemFont(13);
    bold.setBold(true);
    StaticText1 =
        add(platform::MakeStaticText(content(), "StaticText1", QString(), bold), QRect(96, 20, 346, 20), Lock::None);
    addControlOpenHandler([this] { StaticText1_Open(); });
    StaticText2 = add(
        platform::MakeStaticText(content(), "StaticText2",
                                 QStringLiteral("Please wait while I check to see if a newer version is available..."),
                                 smallFont(), true),
        QRect(96, 44, 346, 20), Lock::None);

    ProgressBar1 = add(new QProgressBar(content()), QRect(96, 72, 375, 12), Lock::None);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 0); // maximum 0: a busy bar
    ProgressBar1->setTextVisible(false);

    StatusText =
        add(platform::MakeStaticText(content(), "StatusText", QStringLiteral("Connecting to server..."), smallFont()),
            QRect(96, 98, 148, 20), Lock::None);

    PushButton1 = add(platform::MakePushButton(content(), "PushButton1", QStringLiteral("Cancel")),
                      QRect(399, 97, 72, 20), Lock::None);
    setCancelButton(PushButton1);
    connect(PushButton1, &QPushButton::clicked, this, &UpdateCheckWindow::PushButton1_Action);

    Timer1 = new platform::Timer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->SetPeriod(2000);
    Timer1->Action = [this] { Timer1_Action(); };

    // The socket and the timer are children of the window: a window closed while one of their
    // events is being handled is released only after that event has returned.
    TCPSocket1 = new platform::HTTPSocket(this);
    TCPSocket1->setObjectName(QStringLiteral("TCPSocket1"));
    connect(TCPSocket1, &platform::HTTPSocket::Connected, this, &UpdateCheckWindow::TCPSocket1_Connected);
    connect(TCPSocket1, &platform::HTTPSocket::PageReceived, this, &UpdateCheckWindow::TCPSocket1_PageReceived);
    connect(TCPSocket1, &platform::HTTPSocket::Error, this, &UpdateCheckWindow::TCPSocket1_Error);
    TCPSocket1->AuthenticationRequired = [this](QString& user, QString& password) {
        return TCPSocket1_AuthenticationRequired(user, password);
    };

    Timer1->SetMode(platform::Timer::ModeSingle);
}

UpdateCheckWindow::~UpdateCheckWindow() = default;

UpdateCheckWindow* UpdateCheckWindow::instance()
{
    return platform::Instance<UpdateCheckWindow>();
}

QString UpdateCheckWindow::versionFileURL()
{
    return QStringLiteral("http://") + MakerServer() + QStringLiteral("/versions/Starwick.txt");
}

void UpdateCheckWindow::StaticText1_Open()
{
    StaticText1->setText(QStringLiteral("You are currently using Starwick v") + AppVersion() + QStringLiteral("."));
}

void UpdateCheckWindow::PushButton1_Action()
{
    close();
}

void UpdateCheckWindow::Timer1_Action()
{
    proxySetup(TCPSocket1);
    TCPSocket1->Get(versionFileURL());
}

void UpdateCheckWindow::TCPSocket1_Connected()
{
    StatusText->setText(QStringLiteral("Reading version file..."));
}

void UpdateCheckWindow::TCPSocket1_PageReceived(const QString& /*url*/, int status,
                                                const platform::HTTPSocket::Headers& /*headers*/,
                                                const QByteArray& content)
{
    const VersionAnswer answer =
        ReadVersionFile(status, TCPSocket1->lastErrorCode() == platform::HTTPSocket::NoError, content, AppVersion());
    switch (answer.outcome) {
    case VersionAnswer::Newer: {
        // Making the result window closes this one (its Open does); this handler still finishes.
        UpdateNeeded* result = UpdateNeeded::instance();
        result->MessageText->setText(
            QStringLiteral("Your version of Starwick is out of date. The new release is at version ") + answer.version +
            QStringLiteral(", so I would recommend downloading the new version."));
        result->Show();
        break;
    }
    case VersionAnswer::UpToDate:
        if (isVisible())
            NoUpdateWindow::instance()->Show();
        else
            close();
        break;
    case VersionAnswer::Failed:
        // An error page, a cut answer or a body that is not a version tells nothing.
        checkFailed();
        break;
    }
}

void UpdateCheckWindow::checkFailed()
{
    // A check at launch ends without a word; one the user asked for says so and waits for Cancel.
    if (isVisible())
        StatusText->setText(QStringLiteral("The check failed."));
    else
        close();
}

void UpdateCheckWindow::TCPSocket1_Error(int code)
{
    if (code == platform::HTTPSocket::PageTooLarge) {
        // The server answered, with far more than a version: a failed check, not a network fault.
        checkFailed();
        return;
    }
    HTTPAlert::ReportSocketError(*TCPSocket1, code);
    // A hidden check has nothing more to do: it goes, so that "Check for Updates..." starts anew.
    if (!isVisible())
        close();
}

bool UpdateCheckWindow::TCPSocket1_AuthenticationRequired(QString& user, QString& password)
{
    return answerProxyChallenge(*TCPSocket1, user, password);
}

void UpdateCheckWindow::Close()
{
    Timer1->SetMode(platform::Timer::ModeOff);
    TCPSocket1->Disconnect();
}

} // namespace Starwick
