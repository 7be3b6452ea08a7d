#include "platform/resources.h"

#include <QFile>
#include <QPixmap>

namespace Starwick::platform {

namespace {

struct HotSpot
{
    int id;
    QPoint point;
};

// The pictures carry no hot spot, so it is kept here: the tip of the pointing finger of the link
// cursor (the artwork tool marks the same point on its contact sheet).
constexpr HotSpot kHotSpots[] = {
    {200, QPoint(11, 1)},
};

} // namespace

QString Resources::path(Kind kind, int id)
{
    switch (kind) {
    case Kind::Picture:
        return QStringLiteral(":/pict/%1.png").arg(id);
    case Kind::Sound:
        return QStringLiteral(":/snd/%1.wav").arg(id);
    case Kind::Cursor:
        return QStringLiteral(":/curs/%1.png").arg(id);
    case Kind::Script:
        return QStringLiteral(":/scpt/%1.sh").arg(id);
    }
    return QString();
}

bool Resources::exists(Kind kind, int id)
{
    return QFile::exists(path(kind, id));
}

PictureRef Resources::GetPicture(int id)
{
    if (!exists(Kind::Picture, id))
        return nullptr;
    return Picture::Open(path(Kind::Picture, id));
}

SoundRef Resources::GetSound(int id)
{
    if (!exists(Kind::Sound, id))
        return nullptr;
    return std::make_shared<Sound>(path(Kind::Sound, id));
}

std::optional<QCursor> Resources::GetCursor(int id)
{
    QPixmap pixmap;
    if (!exists(Kind::Cursor, id) || !pixmap.load(path(Kind::Cursor, id)))
        return std::nullopt;
    const QPoint hotSpot = cursorHotSpot(id);
    return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

QPoint Resources::cursorHotSpot(int id)
{
    for (const HotSpot& entry : kHotSpots) {
        if (entry.id == id)
            return entry.point;
    }
    return QPoint(0, 0);
}

QString Resources::GetScript(int id)
{
    QFile file(path(Kind::Script, id));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString Resources::GetScriptLibrary()
{
    QFile file(QStringLiteral(":/scpt/desktop.sh"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace Starwick::platform
