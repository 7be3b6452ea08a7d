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
    // The sheet's frame starts under the parent's title bar and, on a window of ours, under its
    // menu bar and toolbar too, which stay in sight: at the top of the parent's content.
    QRect g = geometry();
    // The window manager frames the sheet only once it is shown; until then its title bar is taken
    // to be as tall as the parent's.
    int frameTop = g.top() - frameGeometry().top();
    if (frameTop == 0)
        frameTop = parent->geometry().top() - parent->frameGeometry().top();
    const auto* window = qobject_cast<const Window*>(parent);
    const int top = window ? window->Top() : parent->geometry().top();
    g.moveLeft(parent->geometry().left() + (parent->geometry().width() - g.width()) / 2);
    g.moveTop(top + frameTop);
    setGeometry(g);
}

} // namespace Starwick::platform
