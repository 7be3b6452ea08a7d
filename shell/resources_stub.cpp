// Stand-ins until the program's resources land.
#include "platform/sound.h"
#include "shell/resources.h"

#include <QSoundEffect>

namespace Starwick {
#define STUB_PICTURE(name)                                                                                             \
    platform::PictureRef name()                                                                                        \
    {                                                                                                                  \
        return nullptr;                                                                                                \
    }
STUB_PICTURE(IWTop)
STUB_PICTURE(IWBottom)
STUB_PICTURE(IWRight)
STUB_PICTURE(IWLeft)
STUB_PICTURE(IWLR)
STUB_PICTURE(IWUR)
STUB_PICTURE(IWLRM)
STUB_PICTURE(IWUL)
STUB_PICTURE(IWLLM)
STUB_PICTURE(IWULM)
STUB_PICTURE(IWLL)
STUB_PICTURE(IWURM)
STUB_PICTURE(IconMask)
STUB_PICTURE(IconImage)
STUB_PICTURE(ToolBadgemask)
STUB_PICTURE(ToolBadgeimage)
STUB_PICTURE(Quorrelmask)
STUB_PICTURE(Quorrelimage)
STUB_PICTURE(GeneralImage)
STUB_PICTURE(GeneralMask)
STUB_PICTURE(NetworkImage)
STUB_PICTURE(Networkmask)
STUB_PICTURE(TypesMask)
STUB_PICTURE(TypesImage)
platform::SoundRef Saved()
{
    return nullptr;
}
platform::SoundRef Tink()
{
    return nullptr;
}
platform::SoundRef Strum()
{
    return nullptr;
}
platform::SoundRef SaveToDT()
{
    return nullptr;
}
QCursor LinkCursor()
{
    return QCursor(Qt::PointingHandCursor);
}
} // namespace Starwick
namespace Starwick::platform {
Sound::Sound(QString resourcePath)
    : m_path(std::move(resourcePath))
{}
Sound::~Sound() = default;
void Sound::Play()
{
    ++m_playCount;
}
} // namespace Starwick::platform
