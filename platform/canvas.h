#pragma once

#include "platform/graphics.h"
#include "platform/picture.h"

#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <memory>

namespace Starwick::platform {

/// A control that the program draws itself. It keeps what is drawn into it: drawing through
/// Graphics() at any time lands in the canvas's own surface and shows at the next paint; the Paint
/// handler is asked to draw when the surface is new (first shown, or resized). A backdrop picture,
/// when set, is drawn stretched beneath the surface.
class Canvas : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(Canvas)

public:
    explicit Canvas(QWidget* parent = nullptr);

    /// Drawing into the canvas's surface, outside a paint event as well.
    platform::Graphics Graphics();

    void SetBackdrop(PictureRef picture);
    PictureRef Backdrop() const { return m_backdrop; }

    /// Whether the surface is cleared before the Paint handler draws a new one.
    void SetEraseBackground(bool erase) { m_eraseBackground = erase; }

    void SetMouseCursor(const QCursor& cursor) { setCursor(cursor); }

    std::function<void(platform::Graphics&)> onPaint;
    std::function<void()> onMouseEnter;
    /// x and y in the canvas; true when handled.
    std::function<bool(int x, int y, QMouseEvent* event)> onMouseDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct FreeDeleter
    {
        void operator()(uchar* data) const { std::free(data); }
    };

    void ensureSurface();
    QImage clearedSurface(const QSize& size);

    std::unique_ptr<uchar, FreeDeleter> m_store; // the cleared surfaces' buffer, which only grows
    qsizetype m_storeBytes = 0;
    QImage m_surface; // on m_store, or a bitmap of its own
    bool m_surfaceValid = false;
    bool m_eraseBackground = true;
    PictureRef m_backdrop;
};

} // namespace Starwick::platform
