#pragma once

#include "platform/picture.h"
#include "platform/sound.h"

#include <QCursor>
#include <QString>

#include <optional>

namespace Starwick::platform {

/// The application's own resources, compiled into the binary and found by kind and id:
/// pictures at ":/pict/<id>.png", sounds at ":/snd/<id>.wav", cursors at ":/curs/<id>.png" and
/// desktop scripts at ":/scpt/<id>.sh". Ids of different kinds may be the same number.
class Resources
{
public:
    enum class Kind
    {
        Picture,
        Sound,
        Cursor,
        Script,
    };

    /// The resource path of a kind and id, whether or not such a resource exists.
    static QString path(Kind kind, int id);
    static bool exists(Kind kind, int id);

    /// A new picture of the PNG resource, or nullptr when there is none.
    static PictureRef GetPicture(int id);
    /// A new sound of the WAV resource, or nullptr when there is none.
    static SoundRef GetSound(int id);
    /// The cursor with its hot spot, or nothing when there is no such cursor.
    static std::optional<QCursor> GetCursor(int id);
    /// Where a cursor points, in its picture's pixels; (0, 0) for a cursor not listed.
    static QPoint cursorHotSpot(int id);
    /// The text of a desktop script (UTF-8), or an empty text when there is none.
    static QString GetScript(int id);
    /// The shell functions every desktop script may use (":/scpt/desktop.sh"), run ahead of it.
    static QString GetScriptLibrary();
};

} // namespace Starwick::platform
