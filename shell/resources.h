#pragma once

#include "platform/picture.h"
#include "platform/sound.h"

#include <QCursor>

namespace Starwick {

// The program's pictures and sounds, each loaded from the resources on first use and kept for the
// run: every call returns the same object (nullptr while the resource is missing, looked up again
// at the next call).

// Frame of the main window's picture area: edges, corners and the corners' masks.
platform::PictureRef IWTop();    // 168
platform::PictureRef IWBottom(); // 169
platform::PictureRef IWRight();  // 170
platform::PictureRef IWLeft();   // 171
platform::PictureRef IWLR();     // 172
platform::PictureRef IWUR();     // 173
platform::PictureRef IWLRM();    // 174
platform::PictureRef IWUL();     // 175
platform::PictureRef IWLLM();    // 176
platform::PictureRef IWULM();    // 177
platform::PictureRef IWLL();     // 178
platform::PictureRef IWURM();    // 179

// Icons and logos with their masks.
platform::PictureRef IconMask();       // 180
platform::PictureRef IconImage();      // 181
platform::PictureRef ToolBadgemask();  // 182
platform::PictureRef ToolBadgeimage(); // 183
platform::PictureRef Quorrelmask();    // 184
platform::PictureRef Quorrelimage();   // 185
platform::PictureRef GeneralImage();   // 186
platform::PictureRef GeneralMask();    // 187
platform::PictureRef NetworkImage();   // 188
platform::PictureRef Networkmask();    // 189
platform::PictureRef TypesMask();      // 190
platform::PictureRef TypesImage();     // 191

// Interface sounds; callers decide whether to play them (the sounds setting).
platform::SoundRef Saved();    // 168
platform::SoundRef Tink();     // 169
platform::SoundRef Strum();    // 170
platform::SoundRef SaveToDT(); // 171
/// Plays one of the sounds above when the sounds setting is on.
void PlayInterfaceSound(const platform::SoundRef& sound);

/// The pointing-hand cursor shown over clickable links and logos, read from the resources at
/// every call (cursor 200).
QCursor LinkCursor();

} // namespace Starwick
