#include "browser/detailswindow.h"

#include "platform/canvas.h"
#include "platform/drawer.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/menubar1.h"
#include "shell/resources.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>

#include <algorithm>

namespace Starwick {

using platform::Lock;

namespace {

const QString kOpenLinkRow = QStringLiteral("Open Link in Browser");
const QString kCopyLinkRow = QStringLiteral("Copy Link to Clipboard");

} // namespace

DetailsWindow::DetailsWindow()
    : platform::Window(nullptr, platform::drawerWindowFlags())
{
    setObjectName(QStringLiteral("DetailsWindow"));
    SetTitle(QStringLiteral("Untitled"));
    setContentSize(274, 473);
    setContentSizeLimits(QSize(274, 473), QSize(274, 32000));
    setVisibleWhenMade(false);
    // Closed by the window manager, the drawer is hidden and keeps its texts; the menu item's
    // close (closeDrawer) discards it.
    platform::keepOnClose(this, [] { AppleShowDetailsDrawer()->SetText(QStringLiteral("Show Details Drawer")); });

    const QString oneMoment = QStringLiteral("One moment, please...");
    QFont label = platform::SmallSystemFont(10);
    label.setBold(true);
    const QFont plain = platform::SmallSystemFont(10);

    StaticText1 = add(platform::MakeStaticText(content(), "StaticText1", QStringLiteral("Credit:"), label, false),
                      QRect(16, 7, 250, 20), Lock::Left);
    CreditField = add(platform::MakeStaticText(content(), "CreditField", oneMoment, plain, true),
                      QRect(16, 24, 250, 37), Lock::Left);
    StaticText3 = add(platform::MakeStaticText(content(), "StaticText3", QStringLiteral("Explanation:"), label, false),
                      QRect(16, 107, 250, 20), Lock::Left);

    // An explanation runs to several hundred words, more than the field's box holds at this size:
    // the field wraps to the box's width and the box scrolls.
    m_explanationArea = new QScrollArea(content());
    m_explanationArea->setObjectName(QStringLiteral("explanationArea"));
    m_explanationArea->setFrameShape(QFrame::NoFrame);
    m_explanationArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_explanationArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_explanationArea->setWidgetResizable(true);
    m_explanationArea->setBackgroundRole(QPalette::Window);
    ExplanationField = platform::MakeStaticText(nullptr, "ExplanationField", oneMoment, plain, true);
    m_explanationArea->setWidget(ExplanationField);
    add(m_explanationArea, QRect(16, 126, 250, 315), Lock::Left);

    StaticText5 = add(platform::MakeStaticText(content(), "StaticText5", QStringLiteral("Link:"), label, false),
                      QRect(16, 57, 250, 20), Lock::Left);

    QFont linkFont = platform::SystemFont(10);
    linkFont.setUnderline(true);
    LinkField = add(platform::MakeElidedStaticText(content(), "LinkField", QString(), linkFont), QRect(16, 73, 250, 20),
                    Lock::Left);
    QPalette linkPalette = LinkField->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    LinkField->setPalette(linkPalette);

    Canvas1 = add(new platform::Canvas(LinkField), QRect(20, 76, 240, 14), Lock::Left);
    Canvas1->setFocusPolicy(Qt::NoFocus);
    Canvas1->SetEraseBackground(true);
    Canvas1->onMouseEnter = [this] { Canvas1_MouseEnter(); };
    Canvas1->onMouseDown = [this](int x, int y, QMouseEvent* event) {
        return event && Canvas1_MouseDown(x, y, *event);
    };

    ContextualMenu1 = new QMenu(this);
    ContextualMenu1->setObjectName(QStringLiteral("ContextualMenu1"));
    connect(ContextualMenu1, &QMenu::triggered, this,
            [this](QAction* action) { ContextualMenu1_Action(action->text()); });
    addControlOpenHandler([this] { ContextualMenu1_Open(); });

    Canvas1->setObjectName(QStringLiteral("Canvas1"));
}

DetailsWindow::~DetailsWindow() = default;

void DetailsWindow::showTexts(const QString& credit, const QString& link, const QString& explanation)
{
    CreditField->setText(credit);
    LinkField->setText(link);
    ExplanationField->setText(explanation);
    fitCredit();
}

void DetailsWindow::fitCredit()
{
    // The layout's places hold a credit of two lines above the "Link:" label; a longer credit
    // takes the height it needs, and the link and the explanation move down by as much, the
    // explanation's box keeping its bottom edge (and at least kExplanationMinimum of height).
    constexpr int kCreditTop = 24;
    constexpr int kCreditRoom = 57 - kCreditTop;
    constexpr int kExplanationBottom = 126 + 315;
    constexpr int kExplanationMinimum = 60;
    constexpr int kGap = 4;
    const int needed = CreditField->heightForWidth(250) + kGap;
    const int shift = std::clamp(needed - kCreditRoom, 0, kExplanationBottom - kExplanationMinimum - 126);
    // A credit longer than even that is cut; the whole of it shows on hover.
    CreditField->setToolTip(needed - kCreditRoom > shift ? platform::PlainTextToolTip(CreditField->text()) : QString());
    place(CreditField, QRect(16, kCreditTop, 250, std::max(37, kCreditRoom + shift)), Lock::Left);
    place(StaticText5, QRect(16, 57 + shift, 250, 20), Lock::Left);
    place(LinkField, QRect(16, 73 + shift, 250, 20), Lock::Left);
    place(Canvas1, QRect(20, 76 + shift, 240, 14), Lock::Left);
    place(StaticText3, QRect(16, 107 + shift, 250, 20), Lock::Left);
    place(m_explanationArea, QRect(16, 126 + shift, 250, 315 - shift), Lock::Left);
}

DetailsWindow* DetailsWindow::instance()
{
    return platform::Instance<DetailsWindow>();
}

bool DetailsWindow::isContextualClick(const QMouseEvent& event)
{
    return event.button() == Qt::RightButton ||
           (event.button() == Qt::LeftButton && event.modifiers().testFlag(Qt::ControlModifier));
}

void DetailsWindow::Canvas1_MouseEnter()
{
    Canvas1->SetMouseCursor(LinkCursor());
}

bool DetailsWindow::Canvas1_MouseDown(int /*x*/, int /*y*/, const QMouseEvent& event)
{
    if (isContextualClick(event)) {
        ContextualMenu1->popup(event.globalPosition().toPoint());
        return false;
    }
    PlayInterfaceSound(Strum());
    openLink();
    return false;
}

void DetailsWindow::ContextualMenu1_Open()
{
    ContextualMenu1->addAction(kOpenLinkRow);
    ContextualMenu1->addAction(kCopyLinkRow);
}

void DetailsWindow::ContextualMenu1_Action(const QString& item)
{
    if (item == kOpenLinkRow)
        openLink();
    else if (item == kCopyLinkRow)
        platform::SetClipboardText(LinkField->text());
}

void DetailsWindow::openLink()
{
    // Before the first day is shown the link is empty: there is nothing to open.
    const QString link = LinkField->text().trimmed();
    if (link.isEmpty())
        return;
    const QUrl url(link, QUrl::TolerantMode);
    if (url.isValid())
        platform::OpenURL(url);
}

} // namespace Starwick
