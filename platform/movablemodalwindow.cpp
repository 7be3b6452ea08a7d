#include "platform/movablemodalwindow.h"

#include "platform/system.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWindow>

#include <algorithm>

namespace Starwick::platform {

MovableModalWindow::MovableModalWindow(Placement placement, CloseBox closeBox)
    : Window(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          (closeBox == CloseBox::Shown ? Qt::WindowCloseButtonHint : Qt::WindowType(0)))
    , m_placement(placement)
{
    SetTitle(QString());
    setWindowModality(Qt::ApplicationModal);
}

MovableModalWindow::~MovableModalWindow() = default;

QFont MovableModalWindow::smallFont()
{
    return SmallSystemFont();
}

void MovableModalWindow::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous() && !windowFlags().testFlag(Qt::WindowCloseButtonHint) && !isClosed()) {
        event->ignore();
        Beep();
        return;
    }
    Window::closeEvent(event);
}

void MovableModalWindow::placeOnFirstShow()
{
    // The parent is the window in front; a drawer stands for the window it belongs to.
    QWidget* parent = nullptr;
    if (m_placement == Placement::OverParent) {
        parent = QApplication::activeWindow();
        if (parent == this)
            parent = nullptr;
        if (parent && (parent->windowFlags() & Qt::WindowType_Mask) == Qt::Tool && parent->parentWidget())
            parent = parent->parentWidget()->window();
    }

    // The frame is not known before the window is shown: centre the content, which the frame
    // surrounds.
    const QRect area = ScreenAvailableGeometry();
    QRect box = geometry();
    box.moveCenter(parent ? parent->frameGeometry().center() : area.center());
    // Keep the whole window on the screen.
    box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width() + 1)));
    box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() - box.height() + 1)));
    setGeometry(box);

    if (parent) {
        winId();
        if (QWindow* own = windowHandle())
            own->setTransientParent(parent->windowHandle());
    }
}

} // namespace Starwick::platform
