#pragma once

#include "platform/folderitem.h"
#include "platform/httpsocket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Starwick::Test {

/// Records everything one HTTPSocket reports, in order, for a test to look at afterwards.
struct SocketEvents
{
    /// Starts recording `socket`'s events (for as long as the socket lives).
    explicit SocketEvents(platform::HTTPSocket& socket);
    /// Forgets what was recorded, for the socket's next request.
    void clear();
    /// The first header of that name (letter case ignored) of the page or download event.
    QByteArray header(const QByteArray& name) const;

    /// "Connected", "Progress" (once for a run of progress events), "Page", "Download", "Error".
    QStringList order;
    QString url;
    int status = -1;
    platform::HTTPSocket::Headers headers;
    QByteArray content;
    platform::FolderItem file;
    int error = 0;
    QList<qint64> bytes;
    QList<qint64> totals;
    QByteArray progressData;
    /// A page, download or error event came.
    bool ended = false;
};

/// `size` bytes of a pattern that no shift of itself matches, to catch lost or doubled pieces.
QByteArray patternBytes(int size);

} // namespace Starwick::Test
