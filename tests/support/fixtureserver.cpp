#include "support/fixtureserver.h"

#include "support/testenv.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace Starwick::Test {

namespace {

constexpr qsizetype MaxHeadSize = 64 * 1024;
constexpr qint64 EndlessBuffer = 256 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 407:
        return "Proxy Authentication Required";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    default:
        return "Status";
    }
}

bool hasHeader(const FixtureServer::Headers& headers, const QByteArray& name)
{
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

/// One accepted connection: reads one request head, answers it as its Response says, then
/// closes (or stalls, as asked).
class FixtureConnection : public QObject
{
public:
    FixtureConnection(FixtureServer* server, QTcpSocket* socket)
        : QObject(server)
        , m_server(server)
        , m_socket(socket)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_response.endless && m_answering)
                fillEndless();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this] { deleteLater(); });
        m_trickle.setSingleShot(true);
        connect(&m_trickle, &QTimer::timeout, this, [this] { sendMore(); });
    }

    /// Drops the connection at once; the object goes when the event loop next runs.
    void close()
    {
        m_trickle.stop();
        m_answering = true;
        if (m_socket)
            m_socket->abort();
        deleteLater();
    }

private:
    void onReadyRead()
    {
        if (m_tunnel) {
            if (m_tunnel->state() == QAbstractSocket::ConnectedState)
                m_tunnel->write(m_socket->readAll());
            return; // until then the bytes wait in the socket
        }
        if (m_answering) {
            m_socket->readAll(); // one request per connection; anything further is ignored
            return;
        }
        m_buffer += m_socket->readAll();
        if (!m_buffer.isEmpty() && (m_buffer[0] < 'A' || m_buffer[0] > 'Z'))
            return badRequest();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_buffer.size() > MaxHeadSize)
                badRequest();
            return;
        }
        FixtureServer::Request request;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1."))
            return badRequest();
        request.method = requestLine[0];
        request.target = requestLine[1];
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                return badRequest();
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        }
        const QUrl url = request.proxied()
                             ? QUrl(QString::fromLatin1(request.target))
                             : QUrl(QStringLiteral("http://fixture") + QString::fromLatin1(request.target));
        if (!url.isValid())
            return badRequest();
        request.path = url.path();
        m_server->record(request);
        if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
            return; // the test stopped the server on seeing the request
        if (request.method == "CONNECT")
            return connectTunnel(request);
        FixtureServer::Response response = m_server->answer(request);
        if (request.method == "HEAD") {
            // The head as for a GET, Content-Length included, and no body.
            if (!response.omitContentLength && !response.endless && !hasHeader(response.headers, "Content-Length"))
                response.headers.append(
                    qMakePair(QByteArray("Content-Length"), QByteArray::number(response.body.size())));
            response.body.clear();
            response.endless = false;
        }
        respond(response);
    }

    /// A CONNECT: with the proxy's credentials (when it wants any), a tunnel to a port of this
    /// machine; nothing else is reached.
    void connectTunnel(const FixtureServer::Request& request)
    {
        if (!m_server->proxyAuthorized(request))
            return respond(FixtureServer::proxyRefusal());
        const QList<QByteArray> hostPort = request.target.split(':');
        bool numeric = false;
        const quint16 port = hostPort.size() == 2 ? hostPort[1].toUShort(&numeric) : 0;
        if (!numeric || (hostPort[0] != "127.0.0.1" && hostPort[0] != "localhost"))
            return respond(FixtureServer::Response::page("no tunnel to there\n", 502, "text/plain"));
        m_answering = true;
        m_tunnel = new QTcpSocket(this);
        connect(m_tunnel, &QTcpSocket::connected, this, [this] {
            m_socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
            m_tunnel->write(m_buffer.mid(m_buffer.indexOf("\r\n\r\n") + 4));
            m_tunnel->write(m_socket->readAll());
        });
        connect(m_tunnel, &QTcpSocket::readyRead, this, [this] {
            if (m_socket)
                m_socket->write(m_tunnel->readAll());
        });
        connect(m_tunnel, &QTcpSocket::disconnected, this, [this] {
            if (m_socket)
                m_socket->disconnectFromHost();
        });
        connect(m_tunnel, &QTcpSocket::errorOccurred, this, [this] {
            if (m_socket)
                m_socket->abort();
        });
        connect(m_socket.data(), &QTcpSocket::disconnected, m_tunnel.data(), &QTcpSocket::disconnectFromHost);
        m_tunnel->connectToHost(QHostAddress::LocalHost, port);
    }

    void badRequest() { respond(FixtureServer::Response::page("bad request\n", 400, "text/plain")); }

    void respond(const FixtureServer::Response& response)
    {
        m_answering = true;
        m_response = response;
        QByteArray head =
            "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
        for (const auto& header : response.headers)
            head += header.first + ": " + header.second + "\r\n";
        if (!response.omitContentLength && !response.endless && !hasHeader(response.headers, "Content-Length"))
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        m_socket->write(head);

        m_limit = response.body.size();
        if (response.stallAfter >= 0)
            m_limit = qMin(m_limit, response.stallAfter);
        if (response.dropAfter >= 0)
            m_limit = qMin(m_limit, response.dropAfter);
        if (response.endless)
            fillEndless();
        else
            sendMore();
    }

    void sendMore()
    {
        if (!m_socket)
            return;
        const qint64 remaining = m_limit - m_sent;
        if (remaining > 0) {
            const qint64 piece =
                m_response.trickleBytes > 0 ? qMin<qint64>(m_response.trickleBytes, remaining) : remaining;
            m_socket->write(m_response.body.mid(m_sent, piece));
            m_sent += piece;
        }
        if (m_sent < m_limit) {
            m_trickle.start(m_response.trickleIntervalMs);
            return;
        }
        if (m_response.stallAfter >= 0 && m_response.dropAfter < 0)
            return; // stays open, silent, until the client or the server goes away
        m_socket->disconnectFromHost();
    }

    void fillEndless()
    {
        static const QByteArray filler(64 * 1024, 'x');
        const QByteArray& chunk = m_response.body.isEmpty() ? filler : m_response.body;
        while (m_socket && m_socket->state() == QAbstractSocket::ConnectedState &&
               m_socket->bytesToWrite() < EndlessBuffer)
            m_socket->write(chunk);
    }

    FixtureServer* m_server;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_buffer;
    bool m_answering = false;
    FixtureServer::Response m_response;
    qint64 m_sent = 0;
    qint64 m_limit = 0;
    QTimer m_trickle;
    QPointer<QTcpSocket> m_tunnel; ///< the far end of a CONNECT
};

FixtureServer::Response FixtureServer::Response::page(const QByteArray& body, int status, const QByteArray& contentType)
{
    Response response;
    response.status = status;
    response.headers = {{"Content-Type", contentType}};
    response.body = body;
    return response;
}

FixtureServer::Response FixtureServer::Response::redirect(const QString& location, int status)
{
    Response response;
    response.status = status;
    response.headers = {{"Location", location.toUtf8()}, {"Content-Type", "text/html"}};
    response.body = "<html><body>Moved to <a href=\"" + location.toUtf8() + "\">here</a>.</body></html>\n";
    return response;
}

bool FixtureServer::Request::proxied() const
{
    return target.startsWith("http://") || target.startsWith("https://");
}

QByteArray FixtureServer::Request::header(const QByteArray& name) const
{
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

FixtureServer::FixtureServer(QObject* parent)
    : QObject(parent)
    , m_server(std::make_unique<QTcpServer>())
{}

FixtureServer::~FixtureServer()
{
    stop();
}

bool FixtureServer::start(quint16 port)
{
    m_tls = false;
    return listen(std::make_unique<QTcpServer>(), port);
}

bool FixtureServer::startTls(quint16 port)
{
    QFile keyFile(dataPath(QStringLiteral("tls-127.0.0.1-key.pem")));
    if (!keyFile.open(QIODevice::ReadOnly))
        return false;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(tlsCertificate());
    configuration.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(configuration);
    m_tls = true;
    return listen(std::move(server), port);
}

QSslCertificate FixtureServer::tlsCertificate()
{
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(dataPath(QStringLiteral("tls-127.0.0.1-cert.pem")));
    return certificates.value(0);
}

bool FixtureServer::listen(std::unique_ptr<QTcpServer> server, quint16 port)
{
    stop();
    m_server = std::move(server);
    // A TLS server offers its connections once their handshake is done, which only
    // pendingConnectionAvailable reports; a plain server's newConnection comes at the same time.
    const auto takeConnections = [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            ++m_connectionCount;
            new FixtureConnection(this, socket);
        }
    };
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, takeConnections);
    return m_server->listen(QHostAddress::LocalHost, port);
}

void FixtureServer::stop()
{
    m_server->close();
    const QList<FixtureConnection*> connections = findChildren<FixtureConnection*>(Qt::FindDirectChildrenOnly);
    for (FixtureConnection* connection : connections)
        connection->close();
}

quint16 FixtureServer::port() const
{
    return m_server->serverPort();
}

QString FixtureServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2")
               .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
               .arg(port()) +
           path;
}

void FixtureServer::route(const QString& path, const Response& response)
{
    m_routes.insert(path, response);
}

void FixtureServer::removeRoute(const QString& path)
{
    m_routes.remove(path);
}

void FixtureServer::requireProxyAuthorization(const QString& user, const QString& password)
{
    m_proxyCredentials = basicCredentials(user, password);
}

QList<FixtureServer::Request> FixtureServer::requestsFor(const QString& path) const
{
    QList<Request> found;
    for (const Request& request : m_requests) {
        if (request.path == path)
            found.append(request);
    }
    return found;
}

QByteArray FixtureServer::basicCredentials(const QString& user, const QString& password)
{
    return "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

bool FixtureServer::proxyAuthorized(const Request& request) const
{
    return m_proxyCredentials.isEmpty() || request.header("Proxy-Authorization") == m_proxyCredentials;
}

FixtureServer::Response FixtureServer::proxyRefusal()
{
    Response refused = Response::page("<html><body>Proxy authentication required.</body></html>\n", 407);
    refused.headers.append(qMakePair(QByteArray("Proxy-Authenticate"), QByteArray("Basic realm=\"fixture proxy\"")));
    return refused;
}

FixtureServer::Response FixtureServer::answer(const Request& request) const
{
    if (request.proxied() && !proxyAuthorized(request))
        return proxyRefusal();
    const auto found = m_routes.constFind(request.path);
    if (found == m_routes.constEnd())
        return Response::page("<html><body>Not found: " + request.path.toHtmlEscaped().toUtf8() + "</body></html>\n",
                              404);
    const Response& response = found.value();
    if (!response.basicUser.isEmpty() &&
        request.header("Authorization") != basicCredentials(response.basicUser, response.basicPassword)) {
        Response refused = Response::page("<html><body>Authorization required.</body></html>\n", 401);
        refused.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"fixture\"")));
        return refused;
    }
    return response;
}

void FixtureServer::record(const Request& request)
{
    m_requests.append(request);
    emit requestReceived(request);
}

} // namespace Starwick::Test
