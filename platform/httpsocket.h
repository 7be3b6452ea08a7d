#pragma once

#include "platform/folderitem.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QNetworkAccessManager;
class QNetworkReply;
class QNetworkProxy;
class QAuthenticator;
class QSaveFile;
QT_END_NAMESPACE

namespace Starwick::platform {

/// An HTTP client socket: one asynchronous GET at a time, of a page (kept in memory) or into a file.
///
/// Contract of a request:
/// - `useHttpProxy`, `httpProxyAddress` and `httpProxyPort` are read when the request starts. The
///   request goes through the proxy when `useHttpProxy` is set or an address or a port is given,
///   and straight to the server otherwise. A proxy must be usable (isUsableProxy()); one that is
///   not ends the request in Error(HostNotFound) before any connection is made, never in a direct
///   connection. The system's proxy settings and the environment are never consulted.
/// - A new request, or Disconnect(), drops the request in progress without any event from it.
/// - Connected() comes once, when the request has been written to the server (or proxy).
/// - A failure before that ends the request with Error(code) and nothing else (codes below).
/// - After Connected(), the request ends in PageReceived() or DownloadComplete(), whatever the HTTP
///   status (it is passed on) and also when the transfer breaks or stalls: a page then carries what
///   arrived, a download leaves the target as it was before. lastErrorCode() tells such an end
///   from a whole transfer. Two failures still end in Error() after Connected(): a page that grows
///   past the size limit (PageTooLarge) and a proxy that refuses the credentials
///   (ProxyAuthenticationFailed).
/// - Redirects are followed, up to ten, never from HTTPS to plain HTTP.
/// - A server's 401 asks AuthenticationRequired at most once per request. A 407 asks it only when
///   it comes from the proxy in use, and at most once per connection to that proxy and hop of the
///   request (a redirect to another host opens a new one): a server reached directly, or through
///   the proxy's tunnel, that answers 407 is never offered the proxy's credentials. Refused or
///   withheld credentials end the request (the server's 401 page is then received; a 407 ends in
///   Error(ProxyAuthenticationFailed)).
class HTTPSocket : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(HTTPSocket)

public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    /// Codes of the Error event and of lastErrorCode(). The alert texts are chosen by number, so
    /// where an HTTP status means the same (407, 408) that number is used.
    enum ErrorCode
    {
        NoError = 0,
        FileError = 1,                   ///< a download's target cannot be prepared; nothing was sent
        NetworkFailure = 100,            ///< any other network failure
        InvalidAddress = 101,            ///< not an http(s) address
        ConnectionClosed = 102,          ///< the server or proxy closed the connection early
        HostNotFound = 103,              ///< the server's or the proxy's name cannot be resolved, or
                                         ///< the proxy is not usable (isUsableProxy()); nothing was sent
        ConnectionRefused = 104,         ///< nothing accepts connections at the server's or proxy's port
        TlsFailure = 105,                ///< the TLS handshake failed (certificate, protocol)
        PageTooLarge = 106,              ///< a page grew past maxPageSize() and was dropped
        TooManyRedirects = 107,          ///< the redirect limit was reached (a loop)
        FileWriteFailed = 108,           ///< a download's data could not be written (a full disk);
                                         ///< lastFileError() says why
        ProxyAuthenticationFailed = 407, ///< the proxy wants credentials and got none it accepts
        TimedOut = 408,                  ///< nothing moved for the transfer timeout
    };
    Q_ENUM(ErrorCode)

    static constexpr int DefaultTransferTimeout = 30000;
    static constexpr int MaxRedirects = 10;
    /// What the network layer holds for a request before this socket takes it.
    static constexpr qint64 ReadBufferSize = 1024 * 1024;

    explicit HTTPSocket(QObject* parent = nullptr);
    ~HTTPSocket() override;

    /// Proxy for the next request; set by the caller right before each request.
    bool useHttpProxy = false;
    QString httpProxyAddress;
    int httpProxyPort = 0;
    /// Whether a proxy can be connected to: an address that is not blank and a port of 1 to 65535.
    static bool isUsableProxy(const QString& address, int port);

    /// Asked for a user name and password when a server answers 401 or a proxy 407; answer true
    /// to send them. Unset means never to send any.
    std::function<bool(QString& user, QString& password)> AuthenticationRequired;
    /// While AuthenticationRequired runs: whether the challenge is the proxy's (407) rather than
    /// the web server's (401), so that a handler gives proxy credentials to the proxy only.
    bool isProxyChallenge() const { return m_proxyChallenge; }

    /// Requests a page; it arrives whole in PageReceived().
    void Get(const QString& url);
    /// Requests `url` into `file`. The data goes into a temporary file beside it, which replaces
    /// `file` only when the transfer is complete (every byte of a stated Content-Length).
    void Get(const QString& url, const FolderItem& file);
    /// Drops the request in progress; no event of it follows.
    void Disconnect();
    bool isBusy() const;

    /// How long a request may go without any progress before it is given up (default 30 s).
    void setTransferTimeout(int milliseconds);
    int transferTimeout() const { return m_transferTimeout; }

    /// The most a page may hold in memory; a larger one ends in Error(PageTooLarge).
    static constexpr qint64 maxPageSize() { return qint64(32) * 1024 * 1024; }

    /// How the last request that ended went: NoError when it was transferred whole, else why not.
    int lastErrorCode() const { return m_lastErrorCode; }
    /// Why the target file of the last download could not be written, as the system says it
    /// ("No space left on device"); empty unless lastErrorCode() is FileWriteFailed.
    QString lastFileError() const { return m_lastFileError; }

signals:
    void Connected();
    /// `bytes` so far, `total` from Content-Length (0 when the server sent none), the new bytes.
    void ReceiveProgress(qint64 bytes, qint64 total, const QByteArray& newData);
    /// `url` as it was requested; `status` 0 when no HTTP answer arrived.
    void PageReceived(const QString& url, int status, const Headers& headers, const QByteArray& content);
    void DownloadComplete(const QString& url, int status, const Headers& headers, const FolderItem& file);
    void Error(int code);

private:
    struct Request;

    void start(const QString& url, const FolderItem* file);
    void dropRequest();
    void failSoon(int code);
    void onRequestSent();
    void onMetaDataChanged();
    void onReadyRead();
    void readAvailable();
    void onFinished();
    void onTimeout();
    void onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void onProxyAuthenticationRequired(const QNetworkProxy& proxy, QAuthenticator* authenticator);
    void askCredentials(QAuthenticator* authenticator, bool proxy);
    void markConnected();
    void abortWith(int code);

    // Each socket has its own manager: the proxy is a setting of the manager, not of a request,
    // and the manager caches credentials and connections, which must not leak between sockets
    // that use different proxies.
    std::unique_ptr<QNetworkAccessManager> m_manager;
    std::unique_ptr<Request> m_request;
    QTimer m_timeout;
    bool m_proxyChallenge = false;
    int m_transferTimeout = DefaultTransferTimeout;
    int m_lastErrorCode = NoError;
    QString m_lastFileError;
    quint64 m_serial = 0;
};

} // namespace Starwick::platform
