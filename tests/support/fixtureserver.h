#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QSslCertificate;
class QTcpServer;
QT_END_NAMESPACE

namespace Starwick::Test {

/// A small HTTP/1.1 server on 127.0.0.1 for tests, running on the test's event loop.
///
/// It answers routes by path (the query is not part of the match; unknown paths get a 404 page),
/// closes every connection after one answer ("Connection: close"), and records every request.
/// It is an HTTP proxy as well: a request in absolute form ("GET http://host/path HTTP/1.1") is
/// answered from the same routes, whatever the host, and a CONNECT to a port of 127.0.0.1 opens a
/// tunnel to it (for https through the proxy), both optionally only with the right Basic
/// Proxy-Authorization (else 407 with Proxy-Authenticate). Input that is not HTTP (a TLS hello,
/// an overlong or malformed head) gets a 400 and the connection is closed.
class FixtureServer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FixtureServer)

public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    /// One canned answer and how it is delivered.
    struct Response
    {
        int status = 200;
        /// Sent as given; Content-Length is added unless present here or left out below.
        Headers headers;
        QByteArray body;
        /// After this many body bytes, send nothing more and keep the connection open.
        qint64 stallAfter = -1;
        /// After this many body bytes, close the connection.
        qint64 dropAfter = -1;
        /// Send no Content-Length: the body ends when the connection closes.
        bool omitContentLength = false;
        /// Send the body, then repeat it (or filler when it is empty) until the client goes away.
        /// No Content-Length unless `headers` gives one.
        bool endless = false;
        /// When > 0: send the body in pieces of this many bytes, one every `trickleIntervalMs`.
        int trickleBytes = 0;
        int trickleIntervalMs = 10;
        /// When not empty: answer 401 with WWW-Authenticate unless Basic Authorization matches.
        QString basicUser;
        QString basicPassword;

        static Response page(const QByteArray& body, int status = 200,
                             const QByteArray& contentType = "text/html; charset=UTF-8");
        /// A redirect to `location`: a path on this server ("/b") or any URL.
        static Response redirect(const QString& location, int status = 302);
    };

    /// One request as it arrived.
    struct Request
    {
        QByteArray method;
        /// The request target as sent: origin form ("/a?b") or absolute form ("http://h/a?b").
        QByteArray target;
        /// The target's path (no query), the key of the routes.
        QString path;
        Headers headers;

        /// Whether the request came in absolute form, as to a proxy.
        bool proxied() const;
        /// The first header of that name (letter case ignored), or an empty array.
        QByteArray header(const QByteArray& name) const;
    };

    explicit FixtureServer(QObject* parent = nullptr);
    ~FixtureServer() override;

    /// Listens on 127.0.0.1 at `port` (0: any free port). False when that fails.
    bool start(quint16 port = 0);
    /// The same over TLS, with the certificate for 127.0.0.1 from the test data (tlsCertificate()),
    /// which a client must be told to trust.
    bool startTls(quint16 port = 0);
    static QSslCertificate tlsCertificate();
    /// Stops listening and drops every open connection.
    void stop();
    quint16 port() const;
    /// "http://127.0.0.1:<port>" + path ("https://" after startTls()).
    QString url(const QString& path = QString()) const;

    void route(const QString& path, const Response& response);
    void removeRoute(const QString& path);

    /// Requests in absolute form need this Basic Proxy-Authorization from now on.
    void requireProxyAuthorization(const QString& user, const QString& password);

    const QList<Request>& requests() const { return m_requests; }
    /// Requests of one path, in order.
    QList<Request> requestsFor(const QString& path) const;
    void clearRequests() { m_requests.clear(); }
    /// TCP connections accepted so far.
    int connectionCount() const { return m_connectionCount; }

    /// "Basic " + base64(user:password), as the Authorization headers carry it.
    static QByteArray basicCredentials(const QString& user, const QString& password);
    /// The proxy's 407 answer, with its Basic Proxy-Authenticate challenge.
    static Response proxyRefusal();

signals:
    void requestReceived(const Starwick::Test::FixtureServer::Request& request);

private:
    friend class FixtureConnection;
    Response answer(const Request& request) const;
    bool proxyAuthorized(const Request& request) const;
    void record(const Request& request);
    bool listen(std::unique_ptr<QTcpServer> server, quint16 port);

    std::unique_ptr<QTcpServer> m_server;
    QHash<QString, Response> m_routes;
    QList<Request> m_requests;
    QByteArray m_proxyCredentials;
    int m_connectionCount = 0;
    bool m_tls = false;
};

} // namespace Starwick::Test
