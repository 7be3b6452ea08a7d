#include "platform/sheet.h"

namespace Starwick::platform {

Sheet::Sheet(QWidget* parent)
    : Window(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setUserResizable(false);
}

Sheet::~Sheet() = default;

void Sheet::placeOnFirstShow()
{
    QWidget* parent = parentWidget() ? parentWidget()->window() : nullptr;
    if (!parent) {
        centreOnScreen();
        return;
    }
    // The parent's geometry starts under its title bar; the sheet's frame starts there.
    QRect g = geometry();
    const QRect frame = frameGeometry();
    const int frameTop = g.top() - frame.top();
    g.moveLeft(parent->geometry().left() + (parent->geometry().width() - g.width()) / 2);
    g.moveTop(parent->geometry().top() + frameTop);
    setGeometry(g);
}

} // namespace Starwick::platform
