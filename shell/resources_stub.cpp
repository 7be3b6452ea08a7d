// Stand-ins for the resource accessors and the sound class, so that the drawers and the alert
// build and run on their own: no pictures (nullptr), sounds that only count their plays, the
// default cursor. The real accessors replace this file.
#include "shell/resources.h"

#include <QSoundEffect>

namespace Starwick {

namespace platform {

Sound::Sound(QString resourcePath)
    : m_path(std::move(resourcePath))
{}

Sound::~Sound() = default;

void Sound::Play()
{
    ++m_playCount;
}

} // namespace platform

namespace {

platform::SoundRef stubSound(int id)
{
    return std::make_shared<platform::Sound>(QStringLiteral(":/snd/%1.wav").arg(id));
}

} // namespace

platform::PictureRef IWTop()
{
    return nullptr;
}
platform::PictureRef IWBottom()
{
    return nullptr;
}
platform::PictureRef IWRight()
{
    return nullptr;
}
platform::PictureRef IWLeft()
{
    return nullptr;
}
platform::PictureRef IWLR()
{
    return nullptr;
}
platform::PictureRef IWUR()
{
    return nullptr;
}
platform::PictureRef IWLRM()
{
    return nullptr;
}
platform::PictureRef IWUL()
{
    return nullptr;
}
platform::PictureRef IWLLM()
{
    return nullptr;
}
platform::PictureRef IWULM()
{
    return nullptr;
}
platform::PictureRef IWLL()
{
    return nullptr;
}
platform::PictureRef IWURM()
{
    return nullptr;
}
platform::PictureRef IconMask()
{
    return nullptr;
}
platform::PictureRef IconImage()
{
    return nullptr;
}
platform::PictureRef ToolBadgemask()
{
    return nullptr;
}
platform::PictureRef ToolBadgeimage()
{
    return nullptr;
}
platform::PictureRef Quorrelmask()
{
    return nullptr;
}
platform::PictureRef Quorrelimage()
{
    return nullptr;
}
platform::PictureRef GeneralImage()
{
    return nullptr;
}
platform::PictureRef GeneralMask()
{
    return nullptr;
}
platform::PictureRef NetworkImage()
{
    return nullptr;
}
platform::PictureRef Networkmask()
{
    return nullptr;
}
platform::PictureRef TypesMask()
{
    return nullptr;
}
platform::PictureRef TypesImage()
{
    return nullptr;
}

platform::SoundRef Saved()
{
    static const platform::SoundRef sound = stubSound(168);
    return sound;
}

platform::SoundRef Tink()
{
    static const platform::SoundRef sound = stubSound(169);
    return sound;
}

platform::SoundRef Strum()
{
    static const platform::SoundRef sound = stubSound(170);
    return sound;
}

platform::SoundRef SaveToDT()
{
    static const platform::SoundRef sound = stubSound(171);
    return sound;
}

QCursor LinkCursor()
{
    return QCursor();
}

} // namespace Starwick
