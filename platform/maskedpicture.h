#pragma once

#include "platform/picture.h"

namespace Starwick::platform {

class Graphics;

/// A canvas that shows a picture with its mask does two things: when it opens, it draws the mask
/// picture into the picture's own mask (the picture is kept for the run, so the mask stays), and
/// when it paints, it draws the picture at (0, 0) at its own size. A missing picture draws nothing.
void ApplyMask(const PictureRef& picture, const PictureRef& mask);
void DrawWholePicture(Graphics& g, const PictureRef& picture);

} // namespace Starwick::platform
