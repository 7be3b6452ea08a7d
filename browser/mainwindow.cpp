#include "browser/mainwindow.h"

#include "browser/indexwindow.h"
#include "platform/controls.h"
#include "platform/drawer.h"
#include "platform/menuitem.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/resources.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace Starwick {

using platform::Lock;

namespace {

constexpr int kCreationWidth = 540;
constexpr int kCreationHeight = 545;

// Fractional pixels become whole ones the same way everywhere in the window: to the nearest,
// halves away from zero.
int wholePixels(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

MainWindow* MainWindow::instance()
{
    return platform::Instance<MainWindow>();
}

MainWindow* MainWindow::existing()
{
    return platform::ExistingInstance<MainWindow>();
}

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("MainWindow"));
    SetTitle(QStringLiteral("Starwick"));
    setContentSize(kCreationWidth, kCreationHeight);
    setContentSizeLimits(QSize(kCreationWidth, kCreationHeight), QSize(32000, 32000));
    QWidget* area = content();

    BGCanvas = add(new platform::Canvas(area), QRect(21, 51, 498, 373), Lock::All);
    BGCanvas->setObjectName(QStringLiteral("BGCanvas"));
    BGCanvas->onPaint = [this](platform::Graphics& g) { BGCanvas_Paint(g); };

    IW2 = makeEdge(QRect(510, 60, 10, 355), Lock::Top | Lock::Right | Lock::Bottom, IWRight());
    IW3 = makeEdge(QRect(30, 415, 480, 10), Lock::Left | Lock::Right | Lock::Bottom, IWBottom());
    IW4 = makeEdge(QRect(20, 60, 10, 355), Lock::Left | Lock::Top | Lock::Bottom, IWLeft());

    Canvas1 = add(new platform::Canvas(BGCanvas), QRect(30, 60, 480, 355), Lock::All);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->onPaint = [this](platform::Graphics& g) { Canvas1_Paint(g); };

    ImageName = add(platform::MakeStaticText(area, "ImageName", QStringLiteral("Astronomy Picture of the Day"),
                                             platform::SystemFont()),
                    QRect(20, 20, 500, 20), Lock::Left | Lock::Top | Lock::Right);
    ImageName->setAlignment(Qt::AlignCenter);
    QFont bold = ImageName->font();
    bold.setBold(true);
    ImageName->setFont(bold);

    Separator1 = add(new QFrame(area), QRect(20, 482, 500, 4), Lock::Left | Lock::Right | Lock::Bottom);
    Separator1->setObjectName(QStringLiteral("Separator1"));
    Separator1->setFrameShape(QFrame::HLine);
    Separator1->setFrameShadow(QFrame::Sunken);

    ProgressBar1 = add(new QProgressBar(area), QRect(20, 513, 240, 12), Lock::Left | Lock::Bottom);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    StatsText = add(platform::MakeStaticText(area, "StatsText", QStringLiteral("Idle."), platform::SystemFont(9)),
                    QRect(20, 494, 240, 20), Lock::Left | Lock::Bottom);
    StatsText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    SaveButton = add(platform::MakePushButton(area, "SaveButton", QStringLiteral("Save")), QRect(448, 505, 72, 20),
                     Lock::Right | Lock::Bottom);
    SaveButton->setFont(platform::SystemFont(13));
    SaveButton->setEnabled(false);
    setDefaultButton(SaveButton);

    SetButton = add(platform::MakePushButton(area, "SetButton", QStringLiteral("Set")), QRect(364, 505, 72, 20),
                    Lock::Right | Lock::Bottom);
    SetButton->setEnabled(false);

    Timer1 = new platform::Timer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->SetPeriod(5000);

    IW1 = makeEdge(QRect(30, 50, 480, 10), Lock::Left | Lock::Top | Lock::Right, IWTop());
    IW4a = makeCorner(QRect(20, 50, 10, 10), Lock::Left | Lock::Top, &IWUL, &IWULM);
    IW1a = makeCorner(QRect(510, 50, 10, 10), Lock::Top | Lock::Right, &IWUR, &IWURM);
    IW2a = makeCorner(QRect(510, 415, 10, 10), Lock::Right | Lock::Bottom, &IWLR, &IWLRM);
    IW3a = makeCorner(QRect(20, 415, 10, 10), Lock::Left | Lock::Bottom, &IWLL, &IWLLM);

    NextButton = add(new QToolButton(area), QRect(276, 444, 70, 24), Lock::Bottom);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    NextButton->setText(QStringLiteral("Next"));
    PreviousButton = add(new QToolButton(area), QRect(194, 444, 70, 24), Lock::Bottom);
    PreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    PreviousButton->setText(QStringLiteral("Previous"));
    for (QWidget* button : {static_cast<QWidget*>(NextButton), static_cast<QWidget*>(PreviousButton),
                            static_cast<QWidget*>(SaveButton), static_cast<QWidget*>(SetButton)}) {
        // Buttons take no keyboard focus, so that the arrow keys reach the window's key handler.
        button->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::StrongFocus);

    makeSockets();
    bindStepsAndSaving();
    setMenuBar(MenuBar1::instance()->menuBarWidget());
    centreOnScreen();
}

MainWindow::~MainWindow() = default;

platform::Canvas* MainWindow::makeEdge(const QRect& rect, platform::Locks locks, platform::PictureRef picture)
{
    auto* edge = add(new platform::Canvas(content()), rect, locks);
    edge->SetBackdrop(std::move(picture));
    return edge;
}

// The four corners share one behaviour: when the canvas opens, the corner's mask picture is drawn
// into the corner picture's mask (the picture is kept for the run, so the mask stays), and every
// paint draws the corner picture at its own size.
platform::Canvas* MainWindow::makeCorner(const QRect& rect, platform::Locks locks, platform::PictureRef (*picture)(),
                                         platform::PictureRef (*mask)())
{
    auto* corner = add(new platform::Canvas(content()), rect, locks);
    addControlOpenHandler([picture, mask] {
        const platform::PictureRef image = picture();
        const platform::PictureRef maskImage = mask();
        if (image && maskImage)
            image->Mask().graphics().DrawPicture(*maskImage, 0, 0);
    });
    corner->onPaint = [picture](platform::Graphics& g) {
        if (const platform::PictureRef image = picture())
            g.DrawPicture(*image, 0, 0);
    };
    return corner;
}

double MainWindow::FitFactor(const QSize& pictureSize, const QSize& areaSize)
{
    if (pictureSize.height() < pictureSize.width())
        return double(areaSize.width()) / double(pictureSize.width());
    return double(areaSize.height()) / double(pictureSize.height());
}

QRect MainWindow::DrawnRect(const QSize& pictureSize, double scale, const QSize& areaSize)
{
    const double width = double(pictureSize.width()) * scale;
    const double height = double(pictureSize.height()) * scale;
    const int x = wholePixels((double(areaSize.width()) - width) / 2.0);
    const int y = wholePixels((double(areaSize.height()) - height) / 2.0);
    return QRect(x, y, wholePixels(width), wholePixels(height));
}

void MainWindow::drawPicture()
{
    if (!p)
        return;
    platform::Graphics g = Canvas1->Graphics();
    drawPicture(g);
}

void MainWindow::drawPicture(platform::Graphics& g)
{
    if (!p)
        return;
    const QRect r = DrawnRect(QSize(p->Width(), p->Height()), factor, Canvas1->size());
    g.SetUseOldRenderer(true);
    g.DrawPicture(*p, r.x(), r.y(), r.width(), r.height(), 0, 0, p->Width(), p->Height());
}

void MainWindow::fillPictureArea()
{
    platform::Graphics g = Canvas1->Graphics();
    g.SetForeColor(areaGrey());
    g.FillRect(0, 0, Canvas1->width(), Canvas1->height());
}

void MainWindow::resetProgress()
{
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(0);
}

void MainWindow::RedrawImage()
{
    if (!p)
        return;
    factor = FitFactor(QSize(p->Width(), p->Height()), Canvas1->size());
    fillPictureArea();
    drawPicture();
}

void MainWindow::BGCanvas_Paint(platform::Graphics& g)
{
    g.SetForeColor(areaGrey());
    g.FillRect(0, 0, BGCanvas->width(), BGCanvas->height());
}

void MainWindow::Canvas1_Paint(platform::Graphics& g)
{
    drawPicture(g);
}

void MainWindow::centrePreviousNext()
{
    const int half = wholePixels(double(Width()) / 2.0);
    const int previousLeft = half - PreviousButton->width() - 6;
    QRect previous = PreviousButton->geometry();
    previous.moveLeft(previousLeft);
    PreviousButton->setGeometry(previous);
    QRect next = NextButton->geometry();
    next.moveLeft(previousLeft + PreviousButton->width() + 12);
    NextButton->setGeometry(next);
}

void MainWindow::Resizing()
{
    centrePreviousNext();
}

void MainWindow::Resized()
{
    centrePreviousNext();
    RedrawImage();
}

void MainWindow::Close()
{
    // Nothing more arrives for a window that is going; the quit below may hand control to the
    // event loop while it empties the cache.
    TCPSocket1->Disconnect();
    TCPSocket2->Disconnect();
    TCPSocket3->Disconnect();
    Globals::DoQuit();
}

bool MainWindow::AppleShowAPODIndex_Action()
{
    IndexWindow* index = IndexWindow::instance();
    if (index->isVisible()) {
        index->hide();
        AppleShowAPODIndex()->SetText(QStringLiteral("Show Index Drawer"));
    } else {
        platform::showAsDrawer(index, this, 3);
        AppleShowAPODIndex()->SetText(QStringLiteral("Hide Index Drawer"));
    }
    return false;
}

} // namespace Starwick
