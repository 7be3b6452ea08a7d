#include "dialogs/aboutbox.h"

#include "platform/canvas.h"
#include "platform/eventloop.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/picturecanvas.h"
#include "shell/resources.h"
#include "shell/servers.h"
#include "shell/smoothresize.h"

#include <QLabel>
#include <QUrl>

namespace Starwick {

using platform::Lock;

AboutBox::AboutBox()
    : platform::Window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    SetTitle(QString());
    setContentSize(kWidth, kCollapsedHeight);
    setContentSizeLimits(QSize(kWidth, kCollapsedHeight), QSize(kWidth, kCollapsedHeight));

    Canvas1 = AddPictureCanvas(this, "Canvas1", QRect(128, 16, 64, 64), IconImage, IconMask);
    Canvas1->onMouseEnter = [this] { Canvas1_MouseEnter(); };

    StaticText2 = addText("StaticText2", QStringLiteral("Starwick"), QRect(20, 88, 281, 18), 14, true);
    StaticText1 = addText("StaticText1", QString(), QRect(20, 110, 281, 16), 10);
    addControlOpenHandler([this] { StaticText1_Open(); });
    StaticText3 = addText("StaticText3",
                          QStringLiteral("View and download images from NASA's Astronomy Pic of the Day (APOD) web "
                                         "site with ease."),
                          QRect(20, 136, 281, 30), 11, false, true);
    StaticText5 =
        addText("StaticText5", QStringLiteral("This copy of Starwick is used by:"), QRect(20, 174, 281, 20), 11);
    RegisteredTo = addText("RegisteredTo", QStringLiteral("Not Personalized"), QRect(20, 193, 281, 20), 11, true);
    addControlOpenHandler([this] { RegisteredTo_Open(); });
    Copyright = addText("Copyright", QStringLiteral("Starwick \u00A9 Vessik, Quorrel Design.\nAll rights reserved."),
                        QRect(20, 226, 281, 30), 10, false, true);

    // The strip below the first height: out of sight until the box grows.
    Canvas3 = AddPictureCanvas(this, "Canvas3", QRect(20, 268, 128, 28), Quorrelimage, Quorrelmask);
    Canvas3->onMouseEnter = [this] { Canvas3_MouseEnter(); };
    Canvas3->onMouseDown = [this](int, int, QMouseEvent*) { return Canvas3_MouseDown(); };
    Canvas2 = AddPictureCanvas(this, "Canvas2", QRect(173, 268, 128, 26), ToolBadgeimage, ToolBadgemask);
    Canvas2->onMouseEnter = [this] { Canvas2_MouseEnter(); };
    Canvas2->onMouseDown = [this](int, int, QMouseEvent*) { return Canvas2_MouseDown(); };

    centreOnScreen();
}

AboutBox::~AboutBox() = default;

AboutBox* AboutBox::instance()
{
    return platform::Instance<AboutBox>();
}

QString AboutBox::toolPageURL()
{
    return QStringLiteral("https://www.qt.io/");
}

QLabel* AboutBox::addText(const char* name, const QString& text, const QRect& rect, int points, bool bold,
                          bool multiLine)
{
    QFont font = platform::SystemFont(points);
    font.setBold(bold);
    QLabel* label = add(platform::MakeStaticText(content(), name, text, font, multiLine), rect, Lock::None);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

void AboutBox::resizeTo(int height)
{
    // The user cannot resize the box: only the strip's own growing and shrinking change its height.
    setContentSizeLimits(QSize(kWidth, kCollapsedHeight), QSize(kWidth, kExpandedHeight));
    // The animation hands control to the event loop, where the box may be closed; the scope keeps
    // it, and the canvas whose event is being handled, in memory until the event is over.
    const platform::LongLoopScope scope;
    Globals::SmoothResize(this, kWidth, height, 0);
    if (!isClosed())
        setContentSizeLimits(QSize(kWidth, height), QSize(kWidth, height));
}

void AboutBox::StaticText1_Open()
{
    StaticText1->setText(QStringLiteral("Version ") + AppVersion());
}

void AboutBox::Canvas1_MouseEnter()
{
    if (Height() != kExpandedHeight)
        resizeTo(kExpandedHeight);
}

void AboutBox::Canvas2_MouseEnter()
{
    Canvas2->SetMouseCursor(LinkCursor());
}

bool AboutBox::Canvas2_MouseDown()
{
    resizeTo(kCollapsedHeight);
    platform::OpenURL(QUrl(toolPageURL()));
    return false;
}

void AboutBox::RegisteredTo_Open()
{
    RegisteredTo->setText(Globals::UserName.isEmpty() ? QStringLiteral("Not Personalized") : Globals::UserName);
}

void AboutBox::Canvas3_MouseEnter()
{
    Canvas3->SetMouseCursor(LinkCursor());
}

bool AboutBox::Canvas3_MouseDown()
{
    // The maker's logo sounds whatever the sound setting says.
    if (const platform::SoundRef sound = Tink())
        sound->Play();
    resizeTo(kCollapsedHeight);
    platform::OpenURL(QUrl(QStringLiteral("http://") + MakerServer() + QStringLiteral("/")));
    return false;
}

bool AboutBox::KeyDown(const QString& key)
{
    if (platform::CommandKeyDown() && key == QLatin1String("w"))
        close();
    return false;
}

} // namespace Starwick
