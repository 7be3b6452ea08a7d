#include "shell/smoothresize.h"

#include "platform/window.h"
#include "platform/windowmanager.h"

#include <QPointer>

#include <algorithm>
#include <limits>

namespace Starwick::Globals {

namespace {

/// Stores a value into a 16-bit rectangle field, clamped to the field's range.
qint16 field(int value)
{
    return static_cast<qint16>(
        std::clamp(value, int(std::numeric_limits<qint16>::min()), int(std::numeric_limits<qint16>::max())));
}

} // namespace

void SmoothResize(platform::Window* window, int width, int height, int corner)
{
    if (!window)
        return;

    platform::Rect16 rect;
    platform::GetWindowBounds(window, platform::kWindowStructureRgn, &rect);

    int top = window->Top();
    int left = window->Left();
    const int dw = width - window->Width();
    const int dh = height - window->Height();

    switch (corner) {
    case 0: // top-left stays
        rect.bottom = field(rect.bottom + dh);
        rect.right = field(rect.right + dw);
        break;
    case 1: // top-right stays
        rect.left = field(rect.left - dw);
        rect.bottom = field(rect.bottom + dh);
        left -= dw;
        break;
    case 2: // bottom-left stays
        rect.top = field(rect.top - dh);
        rect.right = field(rect.right + dw);
        top -= dh;
        break;
    case 3: // bottom-right stays
        rect.top = field(rect.top - dh);
        rect.left = field(rect.left - dw);
        top -= dh;
        left -= dw;
        break;
    default:
        break;
    }

    // The animation hands control to the event loop, where the window may be closed and released.
    const QPointer<platform::Window> alive(window);
    platform::TransitionWindow(window, platform::kWindowSlideTransitionEffect, platform::kWindowResizeTransitionAction,
                               &rect);
    if (!alive)
        return;

    window->SetTop(top);
    window->SetLeft(left);
    window->SetWidth(width);
    window->SetHeight(height);
    window->update();
}

} // namespace Starwick::Globals
