#include "browser/httpalert.h"

#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/maskedpicture.h"
#include "platform/picture.h"
#include "platform/statictext.h"
#include "platform/system.h"
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

    PushButton1 = add(new QPushButton(QStringLiteral("OK"), content()), QRect(310, 107, 72, 20), Lock::None);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    setDefaultButton(PushButton1);
    connect(PushButton1, &QPushButton::clicked, this, &HTTPAlert::PushButton1_Action);

    QFont bold = platform::SystemFont();
    bold.setBold(true);
    HeadingText = add(platform::MakeStaticText(content(), "HeadingText", QString(), bold, true), QRect(96, 20, 286, 21),
                      Lock::None);
    MessageText = add(platform::MakeStaticText(content(), "MessageText", QString(), smallFont(), true),
                      QRect(96, 44, 286, 51), Lock::None);

    Canvas1 = add(new platform::Canvas(content()), QRect(20, 20, 64, 64), Lock::None);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->setFocusPolicy(Qt::NoFocus);
    Canvas1->SetEraseBackground(true);
    Canvas1->onPaint = [this](platform::Graphics& g) { Canvas1_Paint(g); };
    addControlOpenHandler([this] { Canvas1_Open(); });

    PushButton1->setFocus();
}

HTTPAlert::~HTTPAlert() = default;

HTTPAlert* HTTPAlert::instance()
{
    return platform::Instance<HTTPAlert>();
}

void HTTPAlert::PushButton1_Action()
{
    close();
}

void HTTPAlert::Canvas1_Open()
{
    // The icon is one picture kept for the run; drawing its mask again is harmless.
    platform::ApplyMask(IconImage(), IconMask());
}

void HTTPAlert::Canvas1_Paint(platform::Graphics& g)
{
    platform::DrawWholePicture(g, IconImage());
}

void HTTPAlert::Open()
{
    platform::Beep();
}

} // namespace Starwick
