#include "platform/httpsocket.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QUrl>

#include <cerrno>
#include <cstring>

namespace Starwick::platform {

namespace {

Q_LOGGING_CATEGORY(lcHttp, "starwick.http", QtInfoMsg)

/// Our code for a failure that the network layer reports. Errors that only carry the HTTP status
/// of an answer that arrived whole (404, 500, a 401 whose credentials were withheld) are no
/// failure of the transfer: the answer goes to the caller with its status.
int codeFor(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return HTTPSocket::NoError;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        return HTTPSocket::ConnectionRefused;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return HTTPSocket::ConnectionClosed;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        return HTTPSocket::HostNotFound;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        return HTTPSocket::TimedOut;
    case QNetworkReply::SslHandshakeFailedError:
        return HTTPSocket::TlsFailure;
    case QNetworkReply::TooManyRedirectsError:
        return HTTPSocket::TooManyRedirects;
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return HTTPSocket::ProxyAuthenticationFailed;
    case QNetworkReply::ProtocolUnknownError:
        return HTTPSocket::InvalidAddress;
    default:
        break;
    }
    const int value = int(error);
    const bool contentError =
        value >= QNetworkReply::ContentAccessDenied && value <= QNetworkReply::UnknownContentError;
    const bool serverError = value >= QNetworkReply::InternalServerError && value <= QNetworkReply::UnknownServerError;
    return contentError || serverError ? int(HTTPSocket::NoError) : int(HTTPSocket::NetworkFailure);
}

} // namespace

struct HTTPSocket::Request
{
    quint64 serial = 0;
    QString url;
    std::unique_ptr<QNetworkReply, QScopedPointerDeleteLater> reply;
    bool download = false;
    FolderItem target;
    std::unique_ptr<QSaveFile> file;
    QByteArray content;
    qint64 received = 0;
    bool connected = false;
    bool serverAsked = false;
    /// The proxy authenticators answered since the request last moved to a new address, one for
    /// each connection to the proxy: the same one asking again means the proxy refused what it was
    /// given. Only the connection in use is sure to be alive: an earlier hop's may have been freed
    /// since, and a new connection's authenticator made at its address, so the list is cleared at
    /// every redirect.
    QList<const QAuthenticator*> proxyAnswered;
    int abortCode = NoError; ///< why we aborted the reply ourselves
    QString fileError;       ///< why the target file could not be written
};

HTTPSocket::HTTPSocket(QObject* parent)
    : QObject(parent)
    , m_manager(std::make_unique<QNetworkAccessManager>())
{
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    connect(m_manager.get(), &QNetworkAccessManager::authenticationRequired, this,
            &HTTPSocket::onAuthenticationRequired);
    connect(m_manager.get(), &QNetworkAccessManager::proxyAuthenticationRequired, this,
            &HTTPSocket::onProxyAuthenticationRequired);
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, &HTTPSocket::onTimeout);
}

HTTPSocket::~HTTPSocket()
{
    dropRequest();
}

void HTTPSocket::Get(const QString& url)
{
    start(url, nullptr);
}

void HTTPSocket::Get(const QString& url, const FolderItem& file)
{
    start(url, &file);
}

void HTTPSocket::Disconnect()
{
    dropRequest();
}

bool HTTPSocket::isBusy() const
{
    return m_request != nullptr;
}

void HTTPSocket::setTransferTimeout(int milliseconds)
{
    m_transferTimeout = qMax(1, milliseconds);
}

void HTTPSocket::start(const QString& url, const FolderItem* file)
{
    dropRequest();
    m_request = std::make_unique<Request>();
    Request& r = *m_request;
    r.serial = ++m_serial;
    r.url = url;
    r.download = file != nullptr;

    const QUrl address(url.trimmed());
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        failSoon(InvalidAddress);
        return;
    }

    // A proxy that is asked for but cannot be used is an error: falling back to a direct
    // connection would hand the request, and any proxy challenge of the server, to the server.
    const QString proxyHost = httpProxyAddress.trimmed();
    if (useHttpProxy || !proxyHost.isEmpty() || httpProxyPort != 0) {
        if (!isUsableProxy(proxyHost, httpProxyPort)) {
            qCDebug(lcHttp) << "unusable proxy" << proxyHost << httpProxyPort;
            failSoon(HostNotFound);
            return;
        }
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, proxyHost, quint16(httpProxyPort)));
    } else {
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    }

    if (file) {
        // The target is prepared before any connection: a folder, a missing folder or one that
        // cannot be written to ends the request here. QSaveFile writes a temporary file beside
        // the target and renames it over the target on commit, so the target is never half written.
        r.target = *file;
        const QString path = file->path();
        if (path.isEmpty() || QFileInfo(path).isDir()) {
            failSoon(FileError);
            return;
        }
        r.file = std::make_unique<QSaveFile>(path);
        // Unbuffered: QSaveFile::commit() in Qt 6.4 can report success when the flush of its own
        // buffer fails (a full disk), which would keep a cut picture under its name.
        if (!r.file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            qCDebug(lcHttp) << "cannot prepare" << path << r.file->errorString();
            r.file.reset();
            failSoon(FileError);
            return;
        }
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    // Asking for the body as sent keeps byte counts comparable with Content-Length and bounds
    // what a page costs in memory by what crossed the wire.
    request.setRawHeader("Accept-Encoding", "identity");
    const QString version = QCoreApplication::applicationVersion();
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      version.isEmpty() ? QStringLiteral("Starwick") : QStringLiteral("Starwick/") + version);

    r.reply.reset(m_manager->get(request));
    QNetworkReply* reply = r.reply.get();
    // The network layer reads on a thread of its own and, unbounded, keeps whatever the server
    // sends faster than this thread writes it away: a large picture would sit in memory whole.
    // A bounded buffer makes it stop reading until the data is taken.
    reply->setReadBufferSize(ReadBufferSize);
    connect(reply, &QNetworkReply::requestSent, this, &HTTPSocket::onRequestSent);
    connect(reply, &QNetworkReply::metaDataChanged, this, &HTTPSocket::onMetaDataChanged);
    connect(reply, &QNetworkReply::readyRead, this, &HTTPSocket::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &HTTPSocket::onFinished);
    connect(reply, &QNetworkReply::redirected, this, [this] {
        m_timeout.start(m_transferTimeout);
        if (m_request)
            m_request->proxyAnswered.clear();
    });
    m_timeout.start(m_transferTimeout);
}

void HTTPSocket::dropRequest()
{
    m_timeout.stop();
    if (!m_request)
        return;
    std::unique_ptr<Request> r = std::move(m_request);
    if (r->reply) {
        disconnect(r->reply.get(), nullptr, this, nullptr);
        r->reply->abort();
    }
    // Destroying the uncommitted QSaveFile removes its temporary file; the reply goes with
    // deleteLater, as this may run inside one of its signals.
}

void HTTPSocket::failSoon(int code)
{
    // Failures found while starting are reported from the event loop, as every other event is,
    // so that the caller's Get() returns first.
    const quint64 serial = m_request->serial;
    QTimer::singleShot(0, this, [this, serial, code] {
        if (!m_request || m_request->serial != serial)
            return;
        m_request.reset();
        m_lastErrorCode = code;
        m_lastFileError.clear();
        emit Error(code);
    });
}

void HTTPSocket::markConnected()
{
    if (m_request->connected)
        return;
    m_request->connected = true;
    emit Connected();
}

void HTTPSocket::abortWith(int code)
{
    m_request->abortCode = code;
    m_request->reply->abort();
}

void HTTPSocket::onRequestSent()
{
    if (!m_request || sender() != m_request->reply.get())
        return;
    m_timeout.start(m_transferTimeout);
    markConnected();
}

void HTTPSocket::onMetaDataChanged()
{
    if (!m_request || sender() != m_request->reply.get())
        return;
    m_timeout.start(m_transferTimeout);
    const QVariant length = m_request->reply->header(QNetworkRequest::ContentLengthHeader);
    if (!m_request->download && length.isValid() && length.toLongLong() > maxPageSize())
        abortWith(PageTooLarge);
}

void HTTPSocket::onReadyRead()
{
    if (m_request && sender() == m_request->reply.get())
        readAvailable();
}

void HTTPSocket::readAvailable()
{
    Request* r = m_request.get();
    const quint64 serial = r->serial;
    const QByteArray data = r->reply->readAll();
    if (data.isEmpty())
        return;
    m_timeout.start(m_transferTimeout);
    if (!r->download && r->content.size() + data.size() > maxPageSize()) {
        abortWith(PageTooLarge);
        return;
    }
    markConnected();
    if (!m_request || m_request->serial != serial)
        return;
    r->received += data.size();
    if (r->download) {
        errno = 0;
        if (r->file->write(data) != data.size()) {
            // The file's own error text is often "Unknown error"; the system's says why.
            const int reason = errno;
            qCDebug(lcHttp) << "cannot write" << r->target.path() << r->file->errorString();
            r->fileError = reason != 0 ? QString::fromLocal8Bit(std::strerror(reason)) : r->file->errorString();
            abortWith(FileWriteFailed);
            return;
        }
    } else {
        r->content += data;
    }
    const QVariant length = r->reply->header(QNetworkRequest::ContentLengthHeader);
    emit ReceiveProgress(r->received, length.isValid() ? length.toLongLong() : 0, data);
}

void HTTPSocket::onFinished()
{
    if (!m_request || sender() != m_request->reply.get())
        return;
    m_timeout.stop();
    QNetworkReply* reply = m_request->reply.get();
    if (m_request->abortCode == NoError && reply->bytesAvailable() > 0) {
        // Data can still be waiting when finished comes; it goes the usual way first.
        const quint64 serial = m_request->serial;
        readAvailable();
        if (!m_request || m_request->serial != serial)
            return;
    }

    Request& r = *m_request;
    disconnect(reply, nullptr, this, nullptr);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const Headers headers = reply->rawHeaderPairs();
    int code = r.abortCode != NoError ? r.abortCode : codeFor(reply->error());
    if (code != NoError)
        qCDebug(lcHttp) << r.url << "ended with" << reply->error() << reply->errorString();

    const bool alwaysAnError = code == PageTooLarge || code == ProxyAuthenticationFailed;
    if (alwaysAnError || (code != NoError && !r.connected && status == 0)) {
        std::unique_ptr<Request> done = std::move(m_request);
        m_lastErrorCode = code;
        m_lastFileError.clear();
        emit Error(code);
        return;
    }

    if (!r.connected) {
        const quint64 serial = r.serial;
        markConnected();
        if (!m_request || m_request->serial != serial)
            return;
    }

    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (code == NoError && length.isValid() && r.received < length.toLongLong())
        code = ConnectionClosed;

    std::unique_ptr<Request> done = std::move(m_request);
    m_lastErrorCode = code;
    m_lastFileError = done->fileError;
    if (done->download) {
        if (code == NoError) {
            if (!done->file->commit()) {
                qCDebug(lcHttp) << "cannot commit" << done->target.path() << done->file->errorString();
                m_lastErrorCode = FileWriteFailed;
                m_lastFileError = done->file->errorString();
            }
        } else {
            done->file->cancelWriting();
        }
        done->file.reset();
        emit DownloadComplete(done->url, status, headers, done->target);
    } else {
        emit PageReceived(done->url, status, headers, done->content);
    }
}

void HTTPSocket::onTimeout()
{
    if (m_request && m_request->reply)
        abortWith(TimedOut);
}

void HTTPSocket::onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator)
{
    if (!m_request || reply != m_request->reply.get() || m_request->serverAsked)
        return;
    m_request->serverAsked = true;
    askCredentials(authenticator, false);
}

void HTTPSocket::onProxyAuthenticationRequired(const QNetworkProxy& proxy, QAuthenticator* authenticator)
{
    // The manager serves this socket alone and one request at a time, so the challenge belongs
    // to the current request. The network layer raises it for any 407, also for one from a web
    // server reached directly or through a tunnel of the proxy (it then names no proxy), and
    // sends whatever the authenticator is given as Proxy-Authorization to whoever asked: only
    // the proxy in use is answered.
    if (!m_request || !m_request->reply)
        return;
    const QNetworkProxy inUse = m_manager->proxy();
    if (inUse.type() != QNetworkProxy::HttpProxy || proxy.type() != QNetworkProxy::HttpProxy ||
        proxy.hostName().compare(inUse.hostName(), Qt::CaseInsensitive) != 0 || proxy.port() != inUse.port()) {
        qCDebug(lcHttp) << m_request->url << "answered 407 not from the proxy in use; no credentials";
        return;
    }
    // Each connection to the proxy has its own authenticator and is answered once; the same one
    // asking again means the proxy refused the credentials, which ends the request.
    if (m_request->proxyAnswered.contains(authenticator))
        return;
    m_request->proxyAnswered.append(authenticator);
    askCredentials(authenticator, true);
}

bool HTTPSocket::isUsableProxy(const QString& address, int port)
{
    return !address.trimmed().isEmpty() && port >= 1 && port <= 65535;
}

void HTTPSocket::askCredentials(QAuthenticator* authenticator, bool proxy)
{
    m_proxyChallenge = proxy;
    // Left untouched, the authenticator makes the manager give up on the challenge, which ends
    // the request instead of asking again.
    const auto handler = AuthenticationRequired;
    if (!handler)
        return;
    const quint64 serial = m_request->serial;
    QString user;
    QString password;
    const QPointer<HTTPSocket> self(this);
    const bool answer = handler(user, password);
    if (!self || !m_request || m_request->serial != serial || !answer)
        return;
    authenticator->setUser(user);
    authenticator->setPassword(password);
}

} // namespace Starwick::platform
