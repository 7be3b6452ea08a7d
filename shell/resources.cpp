#include "shell/resources.h"

#include "platform/resources.h"
#include "shell/globals.h"

#include <QCoreApplication>

#include <array>

namespace Starwick {

namespace {

using platform::Resources;

constexpr int kFirstPicture = 168;
constexpr int kFirstSound = 168;
constexpr int kLinkCursor = 200;

// One slot per accessor, indexed by resource id from the first id of its kind. A slot stays
// empty while its resource is missing, so the next call looks again.
std::array<platform::PictureRef, 24> g_pictures;
std::array<platform::SoundRef, 4> g_sounds;
bool g_releaseArranged = false;

// The kept objects hold pixmaps and audio objects, which must go while the application object
// still exists; the slots are let go as it is destroyed.
void releaseSlots()
{
    g_pictures.fill(nullptr);
    g_sounds.fill(nullptr);
    g_releaseArranged = false;
}

void arrangeRelease()
{
    if (g_releaseArranged || !QCoreApplication::instance())
        return;
    qAddPostRoutine(releaseSlots);
    g_releaseArranged = true;
}

platform::PictureRef keptPicture(int id)
{
    platform::PictureRef& slot = g_pictures.at(size_t(id - kFirstPicture));
    if (!slot) {
        slot = Resources::GetPicture(id);
        arrangeRelease();
    }
    return slot;
}

platform::SoundRef keptSound(int id)
{
    platform::SoundRef& slot = g_sounds.at(size_t(id - kFirstSound));
    if (!slot) {
        slot = Resources::GetSound(id);
        arrangeRelease();
    }
    return slot;
}

} // namespace

platform::PictureRef IWTop()
{
    return keptPicture(168);
}
platform::PictureRef IWBottom()
{
    return keptPicture(169);
}
platform::PictureRef IWRight()
{
    return keptPicture(170);
}
platform::PictureRef IWLeft()
{
    return keptPicture(171);
}
platform::PictureRef IWLR()
{
    return keptPicture(172);
}
platform::PictureRef IWUR()
{
    return keptPicture(173);
}
platform::PictureRef IWLRM()
{
    return keptPicture(174);
}
platform::PictureRef IWUL()
{
    return keptPicture(175);
}
platform::PictureRef IWLLM()
{
    return keptPicture(176);
}
platform::PictureRef IWULM()
{
    return keptPicture(177);
}
platform::PictureRef IWLL()
{
    return keptPicture(178);
}
platform::PictureRef IWURM()
{
    return keptPicture(179);
}

platform::PictureRef IconMask()
{
    return keptPicture(180);
}
platform::PictureRef IconImage()
{
    return keptPicture(181);
}
platform::PictureRef ToolBadgemask()
{
    return keptPicture(182);
}
platform::PictureRef ToolBadgeimage()
{
    return keptPicture(183);
}
platform::PictureRef Quorrelmask()
{
    return keptPicture(184);
}
platform::PictureRef Quorrelimage()
{
    return keptPicture(185);
}
platform::PictureRef GeneralImage()
{
    return keptPicture(186);
}
platform::PictureRef GeneralMask()
{
    return keptPicture(187);
}
platform::PictureRef NetworkImage()
{
    return keptPicture(188);
}
platform::PictureRef Networkmask()
{
    return keptPicture(189);
}
platform::PictureRef TypesMask()
{
    return keptPicture(190);
}
platform::PictureRef TypesImage()
{
    return keptPicture(191);
}

platform::SoundRef Saved()
{
    return keptSound(168);
}
platform::SoundRef Tink()
{
    return keptSound(169);
}
platform::SoundRef Strum()
{
    return keptSound(170);
}
platform::SoundRef SaveToDT()
{
    return keptSound(171);
}

void PlayInterfaceSound(const platform::SoundRef& sound)
{
    if (Globals::UseSounds && sound)
        sound->Play();
}

QCursor LinkCursor()
{
    if (const auto cursor = Resources::GetCursor(kLinkCursor))
        return *cursor;
    return QCursor(Qt::PointingHandCursor);
}

} // namespace Starwick
