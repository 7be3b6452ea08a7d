#include "support/socketevents.h"

namespace Starwick::Test {

using platform::HTTPSocket;

SocketEvents::SocketEvents(HTTPSocket& socket)
{
    QObject::connect(&socket, &HTTPSocket::Connected, &socket, [this] { order << QStringLiteral("Connected"); });
    QObject::connect(&socket, &HTTPSocket::ReceiveProgress, &socket,
                     [this](qint64 soFar, qint64 total, const QByteArray& data) {
                         if (order.isEmpty() || order.last() != u"Progress")
                             order << QStringLiteral("Progress");
                         bytes << soFar;
                         totals << total;
                         progressData += data;
                     });
    QObject::connect(&socket, &HTTPSocket::PageReceived, &socket,
                     [this](const QString& pageUrl, int pageStatus, const HTTPSocket::Headers& pageHeaders,
                            const QByteArray& pageContent) {
                         order << QStringLiteral("Page");
                         url = pageUrl;
                         status = pageStatus;
                         headers = pageHeaders;
                         content = pageContent;
                         ended = true;
                     });
    QObject::connect(&socket, &HTTPSocket::DownloadComplete, &socket,
                     [this](const QString& fileUrl, int fileStatus, const HTTPSocket::Headers& fileHeaders,
                            const platform::FolderItem& target) {
                         order << QStringLiteral("Download");
                         url = fileUrl;
                         status = fileStatus;
                         headers = fileHeaders;
                         file = target;
                         ended = true;
                     });
    QObject::connect(&socket, &HTTPSocket::Error, &socket, [this](int code) {
        order << QStringLiteral("Error");
        error = code;
        ended = true;
    });
}

void SocketEvents::clear()
{
    order.clear();
    url.clear();
    status = -1;
    headers.clear();
    content.clear();
    file = platform::FolderItem();
    error = 0;
    bytes.clear();
    totals.clear();
    progressData.clear();
    ended = false;
}

QByteArray SocketEvents::header(const QByteArray& name) const
{
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

QByteArray patternBytes(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char((i * 7 + i / 251) & 0xff);
    return body;
}

} // namespace Starwick::Test
