#include "platform/maskedpicture.h"

#include "platform/graphics.h"

namespace Starwick::platform {

void ApplyMask(const PictureRef& picture, const PictureRef& mask)
{
    if (picture && mask)
        picture->Mask().graphics().DrawPicture(*mask, 0, 0);
}

void DrawWholePicture(Graphics& g, const PictureRef& picture)
{
    if (picture)
        g.DrawPicture(*picture, 0, 0);
}

} // namespace Starwick::platform
