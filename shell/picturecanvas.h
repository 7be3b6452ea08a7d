#pragma once

#include "platform/picture.h"

#include <QRect>

namespace Starwick {

namespace platform {
class Canvas;
class Window;
} // namespace platform

/// Places a canvas on `window` that shows one of the program's pictures with its mask: when the
/// window opens, `mask` is drawn into the picture's mask at (0, 0), full size (the picture is
/// shared, so every canvas that shows it does the same harmlessly); when the canvas paints, it
/// draws the picture at (0, 0), full size. A missing picture leaves the canvas empty.
platform::Canvas* AddPictureCanvas(platform::Window* window, const char* name, const QRect& rect,
                                   platform::PictureRef (*picture)(), platform::PictureRef (*mask)());

} // namespace Starwick
