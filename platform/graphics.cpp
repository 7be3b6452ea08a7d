#include "platform/graphics.h"

#include "platform/picture.h"

namespace Starwick::platform {

Graphics::Graphics(QPaintDevice* device, std::function<void()> finished)
    : m_device(device)
    , m_painter(device)
    , m_finished(std::move(finished))
{
    const qreal ratio = device->devicePixelRatioF();
    m_width = qRound(device->width() / ratio);
    m_height = qRound(device->height() / ratio);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

Graphics::~Graphics()
{
    m_painter.end();
    if (m_finished)
        m_finished();
}

void Graphics::FillRect(int x, int y, int width, int height)
{
    m_painter.fillRect(QRect(x, y, width, height), m_foreColor);
}

void Graphics::DrawPicture(const Picture& picture, int x, int y)
{
    m_painter.drawImage(QRect(x, y, picture.Width(), picture.Height()), picture.composed());
}

void Graphics::DrawPicture(const Picture& picture, int x, int y, int width, int height, int sourceX, int sourceY,
                           int sourceWidth, int sourceHeight)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QRect target(x, y, width, height);
    const bool whole =
        sourceX == 0 && sourceY == 0 && sourceWidth == picture.Width() && sourceHeight == picture.Height();
    if (whole) {
        // The whole picture into a rectangle: draw smoothly from the halved copy nearest the size
        // drawn, so the cost follows the size drawn, not the size of the picture.
        const qreal ratio = m_device->devicePixelRatioF();
        const QSize deviceSize(qRound(width * ratio), qRound(height * ratio));
        m_painter.drawImage(target, picture.levelFor(deviceSize));
        return;
    }
    // A part of the picture: map the source rectangle from the picture's size to the bitmap held.
    const QImage& bitmap = picture.composed();
    const qreal sx = qreal(bitmap.width()) / picture.Width();
    const qreal sy = qreal(bitmap.height()) / picture.Height();
    const QRectF source(sourceX * sx, sourceY * sy, sourceWidth * sx, sourceHeight * sy);
    m_painter.drawImage(QRectF(target), bitmap, source);
}

} // namespace Starwick::platform
