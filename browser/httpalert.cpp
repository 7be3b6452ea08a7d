#include "browser/httpalert.h"

#include "browser/httperrormessages.h"
#include "platform/controls.h"
#include "platform/httpsocket.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/picturecanvas.h"
#include "shell/resources.h"

#include <QLabel>
#include <QPushButton>

namespace Starwick {

using platform::Lock;

HTTPAlert::HTTPAlert()
    : platform::MovableModalWindow(Placement::OverParent)
{
    setObjectName(QStringLiteral("HTTPAlert"));
    setContentSize(402, 147);
    setContentSizeLimits(QSize(402, 147), QSize(402, 147));

    PushButton1 = add(platform::MakePushButton(content(), "PushButton1", QStringLiteral("OK")), QRect(310, 107, 72, 20),
                      Lock::None);
    setDefaultButton(PushButton1);
    connect(PushButton1, &QPushButton::clicked, this, &HTTPAlert::PushButton1_Action);

    QFont bold = platform::SystemFont();
    bold.setBold(true);
    HeadingText = add(platform::MakeStaticText(content(), "HeadingText", QString(), bold, true), QRect(96, 20, 286, 21),
                      Lock::None);
    MessageText = add(platform::MakeStaticText(content(), "MessageText", QString(), smallFont(), true),
                      QRect(96, 44, 286, 51), Lock::None);

    Canvas1 = AddPictureCanvas(this, "Canvas1", QRect(20, 20, 64, 64), IconImage, IconMask);

    PushButton1->setFocus();
}

HTTPAlert::~HTTPAlert() = default;

HTTPAlert* HTTPAlert::instance()
{
    return platform::Instance<HTTPAlert>();
}

void HTTPAlert::ReportSocketError(platform::HTTPSocket& socket, int code)
{
    socket.Disconnect();
    HTTPAlert* alert = instance();
    alert->HeadingText->setText(HTTPErrorHeading(code));
    alert->MessageText->setText(HTTPErrorMessages(code));
}

void HTTPAlert::PushButton1_Action()
{
    close();
}

void HTTPAlert::Open()
{
    platform::Beep();
}

} // namespace Starwick
