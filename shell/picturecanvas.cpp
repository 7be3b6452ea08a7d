#include "shell/picturecanvas.h"

#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/window.h"

namespace Starwick {

using platform::PictureRef;

platform::Canvas* AddPictureCanvas(platform::Window* window, const char* name, const QRect& rect,
                                   PictureRef (*picture)(), PictureRef (*mask)())
{
    auto* canvas = window->add(new platform::Canvas(window->content()), rect, platform::Lock::None);
    canvas->setObjectName(QString::fromLatin1(name));
    canvas->setFocusPolicy(Qt::NoFocus);
    canvas->SetEraseBackground(true);
    canvas->onPaint = [picture](platform::Graphics& g) {
        if (const PictureRef image = picture())
            g.DrawPicture(*image, 0, 0);
    };
    window->addControlOpenHandler([picture, mask] {
        const PictureRef image = picture();
        const PictureRef maskImage = mask();
        if (image && maskImage)
            image->Mask().graphics().DrawPicture(*maskImage, 0, 0);
    });
    return canvas;
}

} // namespace Starwick
