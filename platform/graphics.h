#pragma once

#include <QColor>
#include <QPainter>

#include <functional>

namespace Starwick::platform {

class Picture;

/// Drawing into a canvas or a picture: fore colour, filled rectangles and pictures drawn whole or
/// scaled from a source rectangle into a destination rectangle. Made by Canvas::Graphics(),
/// Picture::graphics() or a canvas's paint event; the drawing is finished when it goes.
class Graphics
{
public:
    Graphics(QPaintDevice* device, std::function<void()> finished = {});
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    QColor ForeColor() const { return m_foreColor; }
    void SetForeColor(const QColor& color) { m_foreColor = color; }

    /// Older drawing path for scaled pictures; here both paths draw the same smooth scaling.
    bool UseOldRenderer() const { return m_useOldRenderer; }
    void SetUseOldRenderer(bool on) { m_useOldRenderer = on; }

    void FillRect(int x, int y, int width, int height);
    void DrawPicture(const Picture& picture, int x, int y);
    void DrawPicture(const Picture& picture, int x, int y, int width, int height, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight);

    QPainter& painter() { return m_painter; }

private:
    QPaintDevice* m_device;
    QPainter m_painter;
    std::function<void()> m_finished;
    QColor m_foreColor = Qt::black;
    int m_width = 0;
    int m_height = 0;
    bool m_useOldRenderer = false;
};

} // namespace Starwick::platform
