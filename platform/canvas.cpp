#include "platform/canvas.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace Starwick::platform {

Canvas::Canvas(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

// While a window is resized, its canvases get a new surface at every step. A surface that is
// cleared anyway lives in one buffer that only grows, so that steps do not allocate (and touch for
// the first time) a new bitmap each; one that keeps its old content needs a bitmap of its own.
QImage Canvas::clearedSurface(const QSize& size)
{
    const qsizetype bytes = qsizetype(size.width()) * size.height() * 4;
    if (bytes > m_storeBytes) {
        m_surface = QImage();
        if (auto* grown = static_cast<uchar*>(std::realloc(m_store.get(), size_t(bytes)))) {
            (void)m_store.release();
            m_store.reset(grown);
            m_storeBytes = bytes;
        }
    }
    QImage surface = bytes <= m_storeBytes ? QImage(m_store.get(), size.width(), size.height(), size.width() * 4,
                                                    QImage::Format_ARGB32_Premultiplied)
                                           : QImage(size, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    return surface;
}

void Canvas::ensureSurface()
{
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(qRound(width() * ratio), qRound(height() * ratio));
    if (m_surfaceValid && m_surface.size() == deviceSize)
        return;
    QImage surface;
    if (m_eraseBackground || m_surface.isNull()) {
        surface = clearedSurface(deviceSize.expandedTo(QSize(1, 1)));
    } else {
        surface = QImage(deviceSize.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        surface.fill(Qt::transparent);
        QPainter keep(&surface);
        keep.drawImage(QPoint(0, 0), m_surface);
    }
    surface.setDevicePixelRatio(ratio);
    m_surface = std::move(surface);
    m_surfaceValid = true;
    if (onPaint) {
        platform::Graphics g(&m_surface);
        onPaint(g);
    }
}

platform::Graphics Canvas::Graphics()
{
    ensureSurface();
    update();
    return platform::Graphics(&m_surface);
}

void Canvas::SetBackdrop(PictureRef picture)
{
    m_backdrop = std::move(picture);
    update();
}

void Canvas::paintEvent(QPaintEvent* /*event*/)
{
    ensureSurface();
    QPainter painter(this);
    if (m_backdrop) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_backdrop->levelFor(m_surface.size()));
    }
    painter.drawImage(QPoint(0, 0), m_surface);
}

void Canvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_surfaceValid = false;
}

void Canvas::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (onMouseEnter)
        onMouseEnter();
}

void Canvas::mousePressEvent(QMouseEvent* event)
{
    if (onMouseDown && onMouseDown(qRound(event->position().x()), qRound(event->position().y()), event))
        return;
    QWidget::mousePressEvent(event);
}

} // namespace Starwick::platform
