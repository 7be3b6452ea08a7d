#include "browser/httpalert.h"

#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/system.h"
#include "shell/resources.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace Starwick {

using platform::Lock;

namespace {

QLabel* makeText(QWidget* parent, const char* name, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

// "SmallSystem": the application font a step (one point) smaller.
QFont smallSystemFont()
{
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1));
    return font;
}

} // namespace

HTTPAlert::HTTPAlert()
    : platform::Window(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("HTTPAlert"));
    SetTitle(QString());
    setWindowModality(Qt::ApplicationModal);
    setContentSize(402, 147);
    setContentSizeLimits(QSize(402, 147), QSize(402, 147));

    PushButton1 = add(new QPushButton(QStringLiteral("OK"), content()), QRect(310, 107, 72, 20), Lock::None);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    setDefaultButton(PushButton1);
    connect(PushButton1, &QPushButton::clicked, this, &HTTPAlert::PushButton1_Action);

    QFont bold = QApplication::font();
    bold.setBold(true);
    HeadingText = add(makeText(content(), "HeadingText", bold), QRect(96, 20, 286, 21), Lock::None);
    MessageText = add(makeText(content(), "MessageText", smallSystemFont()), QRect(96, 44, 286, 51), Lock::None);

    Canvas1 = add(new platform::Canvas(content()), QRect(20, 20, 64, 64), Lock::None);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->setFocusPolicy(Qt::NoFocus);
    Canvas1->SetEraseBackground(true);
    Canvas1->onPaint = [this](platform::Graphics& g) { Canvas1_Paint(g); };
    addControlOpenHandler([this] { Canvas1_Open(); });

    PushButton1->setFocus();
    placeOverParent();
}

HTTPAlert::~HTTPAlert() = default;

HTTPAlert* HTTPAlert::instance()
{
    return platform::Instance<HTTPAlert>();
}

void HTTPAlert::placeOverParent()
{
    // The parent is the window in front; a drawer stands for the window it belongs to.
    QWidget* parent = QApplication::activeWindow();
    if (parent == this)
        parent = nullptr;
    if (parent && (parent->windowFlags() & Qt::WindowType_Mask) == Qt::Tool && parent->parentWidget())
        parent = parent->parentWidget()->window();

    // The frame is not known before the window is shown: centre the content, which the frame
    // surrounds.
    const QRect area = platform::ScreenAvailableGeometry();
    QRect box = geometry();
    box.moveCenter(parent ? parent->frameGeometry().center() : area.center());
    // Keep the whole alert on the screen.
    box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width() + 1)));
    box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() - box.height() + 1)));
    setGeometry(box);

    if (parent) {
        winId();
        if (QWindow* own = windowHandle())
            own->setTransientParent(parent->windowHandle());
    }
}

void HTTPAlert::PushButton1_Action()
{
    close();
}

void HTTPAlert::Canvas1_Open()
{
    // The icon is one picture kept for the run; drawing its mask again is harmless.
    const platform::PictureRef icon = IconImage();
    const platform::PictureRef mask = IconMask();
    if (icon && mask)
        icon->Mask().graphics().DrawPicture(*mask, 0, 0);
}

void HTTPAlert::Canvas1_Paint(platform::Graphics& g)
{
    if (const platform::PictureRef icon = IconImage())
        g.DrawPicture(*icon, 0, 0);
}

void HTTPAlert::Open()
{
    platform::Beep();
}

} // namespace Starwick
