#pragma once

namespace Starwick {

namespace platform {
class Window;
}

namespace Globals {

/// Resizes `window` to a content size of `width` by `height`, animated where the platform
/// animates, keeping one corner in place: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
/// Any other code animates the frame to where it already is, then gives the window its new size
/// at its present top-left corner. The window's geometry is set in any case.
void SmoothResize(platform::Window* window, int width, int height, int corner);

} // namespace Globals
} // namespace Starwick
