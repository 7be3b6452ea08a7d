#pragma once

#include "platform/canvas.h"
#include "platform/picture.h"
#include "platform/timer.h"
#include "platform/window.h"

QT_BEGIN_NAMESPACE
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
QT_END_NAMESPACE

namespace Starwick {

/// The application's one document window: the framed picture area with the day's title above it,
/// Previous and Next below it, the status line with its progress bar, Save and Set, the warning
/// timer and the three HTTP requests of the picture browser. Made at start-up through instance()
/// and kept until the program quits.
class MainWindow : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(MainWindow)

public:
    /// The single main window, made (and opened) on the first call.
    static MainWindow* instance();
    /// The main window when it exists, else nullptr; makes nothing.
    static MainWindow* existing();

    MainWindow();
    ~MainWindow() override;

    /// The picture shown (nullptr before the first picture and after a file that did not open).
    platform::PictureRef p;
    /// The scale at which `p` is drawn.
    double factor = 0;

    // Controls, in the order the window makes them.
    platform::Canvas* BGCanvas = nullptr;
    platform::Canvas* IW2 = nullptr;
    platform::Canvas* IW3 = nullptr;
    platform::Canvas* IW4 = nullptr;
    platform::Canvas* Canvas1 = nullptr;
    QLabel* ImageName = nullptr;
    QFrame* Separator1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatsText = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* SetButton = nullptr;
    platform::Timer* Timer1 = nullptr;
    platform::Canvas* IW1 = nullptr;
    platform::Canvas* IW4a = nullptr;
    platform::Canvas* IW1a = nullptr;
    platform::Canvas* IW2a = nullptr;
    platform::Canvas* IW3a = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* PreviousButton = nullptr;

    /// Re-fits `p` to the picture area, clears the area to grey and draws `p` centred.
    void RedrawImage();

    /// The scale that fits a picture of `pictureSize` to an area of `areaSize`: wide pictures by
    /// width, tall and square ones by height.
    static double FitFactor(const QSize& pictureSize, const QSize& areaSize);
    /// Where a picture of `pictureSize` drawn at `scale` stands, centred in `areaSize`.
    static QRect DrawnRect(const QSize& pictureSize, double scale, const QSize& areaSize);

    /// The grey of the picture area.
    static QColor areaGrey() { return QColor(243, 243, 243); }

    void Resizing() override;
    void Resized() override;

private:
    void BGCanvas_Paint(platform::Graphics& g);
    void Canvas1_Paint(platform::Graphics& g);
    /// Draws `p` at the current `factor`, centred, through Canvas1's own graphics.
    void drawPicture();
    void centrePreviousNext();

    platform::Canvas* makeEdge(const QRect& rect, platform::Locks locks, platform::PictureRef picture);
    platform::Canvas* makeCorner(const QRect& rect, platform::Locks locks, platform::PictureRef (*picture)(),
                                 platform::PictureRef (*mask)());
};

} // namespace Starwick
