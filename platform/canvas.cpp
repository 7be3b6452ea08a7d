#include "platform/canvas.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace Starwick::platform {

Canvas::Canvas(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::ensureSurface()
{
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(qRound(width() * ratio), qRound(height() * ratio));
    if (m_surfaceValid && m_surface.size() == deviceSize)
        return;
    QImage surface(deviceSize.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    surface.setDevicePixelRatio(ratio);
    surface.fill(Qt::transparent);
    if (!m_eraseBackground && !m_surface.isNull()) {
        QPainter keep(&surface);
        keep.drawImage(QPoint(0, 0), m_surface);
    }
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
