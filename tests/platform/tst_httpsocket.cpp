#include "platform/httpsocket.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/socketevents.h"
#include "support/testenv.h"

#include <QDir>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

using namespace Starwick;
using platform::FolderItem;
using platform::HTTPSocket;
using Test::FixtureServer;
using Response = FixtureServer::Response;
using Test::patternBytes;
using Events = Test::SocketEvents;

namespace {

constexpr int WaitMs = 15000;

/// A port on 127.0.0.1 where nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

/// Gives `socket` a handler that counts its calls in `asked` and offers `user` and `password`,
/// sending them when `answer` is true.
void offerCredentials(HTTPSocket& socket, int& asked, const QString& user, const QString& password, bool answer = true)
{
    socket.AuthenticationRequired = [&asked, user, password, answer](QString& name, QString& pass) {
        ++asked;
        name = user;
        pass = password;
        return answer;
    };
}

/// Accepts connections and never says a word.
class SilentServer : public QTcpServer
{
public:
    SilentServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                socket->setParent(this);
        });
    }
};

} // namespace

class TestHTTPSocket : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;
    QString m_folder;

private slots:
    void init()
    {
        Test::clearHome();
        m_folder = Test::homePath() + QStringLiteral("/downloads");
        QVERIFY(QDir().mkpath(m_folder));
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->start());
    }

    void cleanup() { m_server.reset(); }

    void pageArrivesWithItsStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("200 OK") << 200;
        QTest::newRow("404 not found") << 404;
        QTest::newRow("500 server error") << 500;
    }

    void pageArrivesWithItsStatus()
    {
        QFETCH(int, status);
        Response response = Response::page("<html><body>the page</body></html>\n", status);
        response.headers.append(qMakePair(QByteArray("X-Fixture"), QByteArray("yes")));
        m_server->route(QStringLiteral("/page.html"), response);

        HTTPSocket socket;
        Events events(socket);
        const QString url = m_server->url(QStringLiteral("/page.html"));
        socket.Get(url);
        QVERIFY(socket.isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, (QStringList{"Connected", "Progress", "Page"}));
        QCOMPARE(events.url, url);
        QCOMPARE(events.status, status);
        QCOMPARE(events.content, response.body);
        QCOMPARE(events.header("X-Fixture"), QByteArray("yes"));
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::NoError));
        QVERIFY(!socket.isBusy());
        const FixtureServer::Request request = m_server->requests().value(0);
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/page.html"));
        QVERIFY(!request.proxied());
    }

    void progressCarriesContentLengthOrZero_data()
    {
        QTest::addColumn<bool>("sendLength");
        QTest::newRow("with Content-Length") << true;
        QTest::newRow("without Content-Length") << false;
    }

    void progressCarriesContentLengthOrZero()
    {
        QFETCH(bool, sendLength);
        Response response = Response::page(patternBytes(3000));
        response.omitContentLength = !sendLength;
        response.trickleBytes = 1000;
        m_server->route(QStringLiteral("/slow"), response);

        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/slow")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.content, response.body);
        QCOMPARE(events.progressData, response.body);
        QVERIFY(!events.bytes.isEmpty());
        QCOMPARE(events.bytes.last(), qint64(3000));
        for (qsizetype i = 1; i < events.bytes.size(); ++i)
            QVERIFY(events.bytes[i] > events.bytes[i - 1]);
        for (qint64 total : std::as_const(events.totals))
            QCOMPARE(total, sendLength ? qint64(3000) : qint64(0));
    }

    void redirectsAreFollowed_data()
    {
        QTest::addColumn<QString>("location");
        QTest::newRow("relative path") << QStringLiteral("/final");
        QTest::newRow("absolute URL, same server") << QStringLiteral("SELF/final");
        QTest::newRow("absolute URL, another port") << QStringLiteral("OTHER/final");
        QTest::newRow("chain of three, 301 then 302") << QStringLiteral("CHAIN");
    }

    void redirectsAreFollowed()
    {
        QFETCH(QString, location);
        FixtureServer other;
        QVERIFY(other.start());
        const Response finalPage = Response::page("<html>arrived</html>\n");
        m_server->route(QStringLiteral("/final"), finalPage);
        other.route(QStringLiteral("/final"), finalPage);
        if (location == u"CHAIN") {
            m_server->route(QStringLiteral("/start"), Response::redirect(QStringLiteral("/hop"), 301));
            m_server->route(QStringLiteral("/hop"), Response::redirect(other.url(QStringLiteral("/final"))));
        } else {
            location.replace(QStringLiteral("SELF"), m_server->url());
            location.replace(QStringLiteral("OTHER"), other.url());
            m_server->route(QStringLiteral("/start"), Response::redirect(location));
        }

        HTTPSocket socket;
        Events events(socket);
        const QString url = m_server->url(QStringLiteral("/start"));
        socket.Get(url);
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.first(), QStringLiteral("Connected"));
        QCOMPARE(events.order.count(QStringLiteral("Connected")), 1);
        QCOMPARE(events.status, 200);
        QCOMPARE(events.content, finalPage.body);
        QCOMPARE(events.url, url);
        QCOMPARE(m_server->requestsFor(QStringLiteral("/final")).size() +
                     other.requestsFor(QStringLiteral("/final")).size(),
                 1);
    }

    void redirectLoopEnds()
    {
        m_server->route(QStringLiteral("/a"), Response::redirect(QStringLiteral("/b")));
        m_server->route(QStringLiteral("/b"), Response::redirect(QStringLiteral("/a")));
        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/a")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.last(), QStringLiteral("Page"));
        QCOMPARE(events.status, 302);
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::TooManyRedirects));
        QCOMPARE(m_server->requests().size(), HTTPSocket::MaxRedirects + 1);
    }

    void redirectsBetweenHttpAndHttps_data()
    {
        QTest::addColumn<bool>("upgrade");
        QTest::newRow("HTTP to HTTPS is followed") << true;
        QTest::newRow("HTTPS to HTTP is refused") << false;
    }

    void redirectsBetweenHttpAndHttps()
    {
        QFETCH(bool, upgrade);
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificate(FixtureServer::tlsCertificate());
        QSslConfiguration::setDefaultConfiguration(trusting);
        FixtureServer secure;
        QVERIFY(secure.startTls());
        FixtureServer& from = upgrade ? *m_server : secure;
        FixtureServer& to = upgrade ? secure : *m_server;
        from.route(QStringLiteral("/start"), Response::redirect(to.url(QStringLiteral("/final"))));
        to.route(QStringLiteral("/final"), Response::page("<html>arrived</html>\n"));

        HTTPSocket socket;
        Events events(socket);
        socket.Get(from.url(QStringLiteral("/start")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.first(), QStringLiteral("Connected"));
        QCOMPARE(events.order.last(), QStringLiteral("Page"));
        QCOMPARE(events.status, upgrade ? 200 : 302);
        QCOMPARE(to.requestsFor(QStringLiteral("/final")).size(), upgrade ? 1 : 0);
        QCOMPARE(socket.lastErrorCode() == HTTPSocket::NoError, upgrade);
    }

    void failuresBeforeTheRequestAreErrors_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("proxy");
        QTest::addColumn<int>("proxyPort");
        QTest::addColumn<int>("code");
        const QString closed = QString::number(closedPort());
        QTest::newRow("server name not resolvable")
            << QStringLiteral("http://starwick-fixture.invalid/apod/") << QString() << 0 << 103;
        QTest::newRow("proxy name not resolvable") << QStringLiteral("http://www.example.com/apod/")
                                                   << QStringLiteral("proxy.starwick-fixture.invalid") << 8080 << 103;
        QTest::newRow("connection refused") << QStringLiteral("http://127.0.0.1:%1/").arg(closed) << QString() << 0
                                            << int(HTTPSocket::ConnectionRefused);
        QTest::newRow("proxy refuses connection")
            << QStringLiteral("http://www.example.com/apod/") << QStringLiteral("127.0.0.1") << closed.toInt()
            << int(HTTPSocket::ConnectionRefused);
        QTest::newRow("not an http address")
            << QStringLiteral("ftp://127.0.0.1/file") << QString() << 0 << int(HTTPSocket::InvalidAddress);
        QTest::newRow("empty address") << QString() << QString() << 0 << int(HTTPSocket::InvalidAddress);
    }

    void failuresBeforeTheRequestAreErrors()
    {
        QFETCH(QString, url);
        QFETCH(QString, proxy);
        QFETCH(int, proxyPort);
        QFETCH(int, code);
        HTTPSocket socket;
        Events events(socket);
        socket.httpProxyAddress = proxy;
        socket.httpProxyPort = proxyPort;
        socket.Get(url);
        QVERIFY(events.order.isEmpty()); // reported from the event loop, never inside Get()
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, QStringList{"Error"});
        QCOMPARE(events.error, code);
        QCOMPARE(socket.lastErrorCode(), code);
        QVERIFY(!socket.isBusy());
    }

    void tlsHandshakeFailureIsAnError()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        // The fixture speaks plain HTTP, so the TLS hello gets a plain 400 back.
        HTTPSocket socket;
        Events events(socket);
        socket.Get(QStringLiteral("https://127.0.0.1:%1/").arg(m_server->port()));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, QStringList{"Error"});
        QCOMPARE(events.error, int(HTTPSocket::TlsFailure));
    }

    void silenceBeforeTheRequestIsSentTimesOut()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        // A TLS handshake that never gets an answer holds the request back until the timeout.
        SilentServer silent;
        HTTPSocket socket;
        socket.setTransferTimeout(300);
        Events events(socket);
        socket.Get(QStringLiteral("https://127.0.0.1:%1/").arg(silent.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, QStringList{"Error"});
        QCOMPARE(events.error, 408);
    }

    void stalledPageEndsAtTheTimeoutWithWhatArrived_data()
    {
        QTest::addColumn<qint64>("stallAfter");
        QTest::addColumn<int>("status");
        QTest::newRow("stall mid-body") << qint64(1000) << 200;
        QTest::newRow("no answer at all") << qint64(-2) << 0;
    }

    void stalledPageEndsAtTheTimeoutWithWhatArrived()
    {
        QFETCH(qint64, stallAfter);
        QFETCH(int, status);
        Response response = Response::page(patternBytes(5000));
        response.stallAfter = stallAfter;
        m_server->route(QStringLiteral("/stall"), response);
        SilentServer silent;
        const QString url = stallAfter >= 0 ? m_server->url(QStringLiteral("/stall"))
                                            : QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort());

        HTTPSocket socket;
        socket.setTransferTimeout(300);
        Events events(socket);
        socket.Get(url);
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.first(), QStringLiteral("Connected"));
        QCOMPARE(events.order.last(), QStringLiteral("Page"));
        QCOMPARE(events.status, status);
        QCOMPARE(events.content, response.body.left(qMax<qint64>(0, stallAfter)));
        QCOMPARE(socket.lastErrorCode(), 408);
    }

    void slowTrickleIsNoStall()
    {
        // Each piece comes well within the timeout, the whole takes longer than it.
        Response response = Response::page(patternBytes(2000));
        response.trickleBytes = 100;
        response.trickleIntervalMs = 60;
        m_server->route(QStringLiteral("/trickle"), response);
        HTTPSocket socket;
        socket.setTransferTimeout(800);
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/trickle")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.content, response.body);
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::NoError));
    }

    void brokenPageDeliversWhatArrived()
    {
        Response response = Response::page(patternBytes(4000));
        response.dropAfter = 1500;
        m_server->route(QStringLiteral("/drop"), response);
        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/drop")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.last(), QStringLiteral("Page"));
        QCOMPARE(events.status, 200);
        QCOMPARE(events.content, response.body.left(1500));
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::ConnectionClosed));
    }

    void newRequestDropsTheOldOne_data()
    {
        QTest::addColumn<bool>("oldIsDownload");
        QTest::newRow("page after page") << false;
        QTest::newRow("page after download") << true;
    }

    void newRequestDropsTheOldOne()
    {
        QFETCH(bool, oldIsDownload);
        Response stalled = Response::page(patternBytes(10000));
        stalled.stallAfter = 100;
        m_server->route(QStringLiteral("/old"), stalled);
        m_server->route(QStringLiteral("/new"), Response::page("the new page"));

        HTTPSocket socket;
        Events events(socket);
        if (oldIsDownload)
            socket.Get(m_server->url(QStringLiteral("/old")), FolderItem(m_folder + QStringLiteral("/old.bin")));
        else
            socket.Get(m_server->url(QStringLiteral("/old")));
        QTRY_VERIFY_WITH_TIMEOUT(events.order.contains(QStringLiteral("Progress")), WaitMs);
        events.clear();
        socket.Get(m_server->url(QStringLiteral("/new")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QTest::qWait(100);
        QCOMPARE(events.order, (QStringList{"Connected", "Progress", "Page"}));
        QCOMPARE(events.content, QByteArray("the new page"));
        QVERIFY(Test::folderEntries(m_folder).isEmpty());
    }

    void disconnectRaisesNothingAfterwards()
    {
        Response stalled = Response::page(patternBytes(10000));
        stalled.trickleBytes = 500;
        m_server->route(QStringLiteral("/slow"), stalled);
        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/slow")), FolderItem(m_folder + QStringLiteral("/slow.bin")));
        QTRY_VERIFY_WITH_TIMEOUT(events.order.contains(QStringLiteral("Progress")), WaitMs);
        socket.Disconnect();
        QVERIFY(!socket.isBusy());
        const QStringList before = events.order;
        QTest::qWait(300);
        QCOMPARE(events.order, before);
        QVERIFY(Test::folderEntries(m_folder).isEmpty());
    }

    void handlerMayStartTheNextRequest()
    {
        m_server->route(QStringLiteral("/first"), Response::page("first"));
        m_server->route(QStringLiteral("/second"), Response::page("second"));
        HTTPSocket socket;
        QList<QByteArray> pages;
        connect(&socket, &HTTPSocket::PageReceived, this,
                [&](const QString&, int, const HTTPSocket::Headers&, const QByteArray& content) {
                    pages << content;
                    if (pages.size() == 1)
                        socket.Get(m_server->url(QStringLiteral("/second")));
                });
        socket.Get(m_server->url(QStringLiteral("/first")));
        QTRY_COMPARE_WITH_TIMEOUT(pages.size(), 2, WaitMs);
        QCOMPARE(pages, (QList<QByteArray>{"first", "second"}));
        QVERIFY(!socket.isBusy());
    }

    void serverAuthenticationIsAskedOnce_data()
    {
        QTest::addColumn<bool>("handler");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("asks");
        QTest::newRow("right credentials") << true << true << QStringLiteral("secret") << 200 << 1;
        QTest::newRow("refused credentials do not loop") << true << true << QStringLiteral("wrong") << 401 << 1;
        QTest::newRow("answer false") << true << false << QStringLiteral("secret") << 401 << 1;
        QTest::newRow("no handler") << false << false << QString() << 401 << 0;
    }

    void serverAuthenticationIsAskedOnce()
    {
        QFETCH(bool, handler);
        QFETCH(bool, answer);
        QFETCH(QString, password);
        QFETCH(int, status);
        QFETCH(int, asks);
        Response secret = Response::page("<html>the private page</html>\n");
        secret.basicUser = QStringLiteral("apod");
        secret.basicPassword = QStringLiteral("secret");
        m_server->route(QStringLiteral("/private"), secret);

        HTTPSocket socket;
        int asked = 0;
        if (handler) {
            offerCredentials(socket, asked, QStringLiteral("apod"), password, answer);
        }
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/private")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.last(), QStringLiteral("Page"));
        QCOMPARE(events.status, status);
        QCOMPARE(asked, asks);
        QVERIFY(events.content.contains(status == 200 ? "the private page" : "Authorization required"));
        QVERIFY(m_server->requests().size() <= 2);
    }

    void proxyWithBasicAuthentication_data()
    {
        QTest::addColumn<bool>("required");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("asks");
        QTest::addColumn<int>("error");
        QTest::newRow("open proxy") << false << true << QString() << 0 << 0;
        QTest::newRow("right credentials") << true << true << QStringLiteral("proxypass") << 1 << 0;
        QTest::newRow("wrong credentials: one ask, then 407") << true << true << QStringLiteral("wrong") << 1 << 407;
        QTest::newRow("answer false: 407") << true << false << QStringLiteral("proxypass") << 1 << 407;
    }

    void proxyWithBasicAuthentication()
    {
        QFETCH(bool, required);
        QFETCH(bool, answer);
        QFETCH(QString, password);
        QFETCH(int, asks);
        QFETCH(int, error);
        Test::ApodSite site(*m_server);
        if (required)
            m_server->requireProxyAuthorization(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));

        HTTPSocket socket;
        int asked = 0;
        offerCredentials(socket, asked, QStringLiteral("proxyuser"), password, answer);
        socket.httpProxyAddress = QStringLiteral("127.0.0.1");
        socket.httpProxyPort = m_server->port();
        Events events(socket);
        // The name need not resolve: the proxy is asked for it.
        const QString url = QStringLiteral("http://apod.starwick-fixture.invalid/apod/archivepix.html");
        socket.Get(url);
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(asked, asks);
        const QList<FixtureServer::Request> requests = m_server->requests();
        QVERIFY(!requests.isEmpty());
        QVERIFY(requests.size() <= 2);
        QCOMPARE(requests.last().target, url.toUtf8());
        if (error == 0) {
            QCOMPARE(events.order.last(), QStringLiteral("Page"));
            QCOMPARE(events.status, 200);
            QCOMPARE(events.content, site.archivePage());
            if (required)
                QCOMPARE(requests.last().header("Proxy-Authorization"),
                         FixtureServer::basicCredentials(QStringLiteral("proxyuser"), QStringLiteral("proxypass")));
        } else {
            QCOMPARE(events.order.last(), QStringLiteral("Error"));
            QCOMPARE(events.error, error);
        }
    }

    void unusableProxyIsAnErrorNotADirectConnection_data()
    {
        QTest::addColumn<bool>("useProxy");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port"); // -1: the fixture's port
        QTest::newRow("proxy on, no port") << true << QStringLiteral("127.0.0.1") << 0;
        QTest::newRow("proxy on, port over 65535") << true << QStringLiteral("127.0.0.1") << 70000;
        QTest::newRow("proxy on, negative port") << true << QStringLiteral("127.0.0.1") << -8080;
        QTest::newRow("proxy on, no address") << true << QString() << -1;
        QTest::newRow("proxy on, blank address") << true << QStringLiteral("   ") << -1;
        QTest::newRow("proxy on, nothing given") << true << QString() << 0;
        QTest::newRow("address without a port") << false << QStringLiteral("127.0.0.1") << 0;
        QTest::newRow("port without an address") << false << QString() << -1;
    }

    void unusableProxyIsAnErrorNotADirectConnection()
    {
        QFETCH(bool, useProxy);
        QFETCH(QString, address);
        QFETCH(int, port);
        // The web server itself asks for proxy credentials: a silent direct connection would
        // both reach it and be offered them.
        const Response challenge = FixtureServer::proxyRefusal();
        m_server->route(QStringLiteral("/p"), challenge);
        HTTPSocket socket;
        int asked = 0;
        offerCredentials(socket, asked, QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
        Events events(socket);
        socket.useHttpProxy = useProxy;
        socket.httpProxyAddress = address;
        socket.httpProxyPort = port == -1 ? int(m_server->port()) : port;
        socket.Get(m_server->url(QStringLiteral("/p")));
        QVERIFY(events.order.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, QStringList{"Error"});
        QCOMPARE(events.error, int(HTTPSocket::HostNotFound));
        QCOMPARE(asked, 0);
        QTest::qWait(50);
        QCOMPARE(m_server->connectionCount(), 0);
    }

    void directServerAnswering407GetsNoProxyCredentials_data()
    {
        QTest::addColumn<bool>("proxyElsewhere");
        QTest::newRow("no proxy") << false;
        QTest::newRow("after a request through a proxy") << true;
    }

    void directServerAnswering407GetsNoProxyCredentials()
    {
        QFETCH(bool, proxyElsewhere);
        const Response challenge = FixtureServer::proxyRefusal();
        m_server->route(QStringLiteral("/p"), challenge);
        HTTPSocket socket;
        int asked = 0;
        offerCredentials(socket, asked, QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
        Events events(socket);
        FixtureServer proxy;
        if (proxyElsewhere) {
            // The socket has answered a real proxy before: its credentials are known to the
            // network layer, and must stay with that proxy.
            QVERIFY(proxy.start());
            proxy.route(QStringLiteral("/q"), Response::page("through the proxy"));
            proxy.requireProxyAuthorization(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
            socket.httpProxyAddress = QStringLiteral("127.0.0.1");
            socket.httpProxyPort = proxy.port();
            socket.Get(QStringLiteral("http://apod.starwick-fixture.invalid/q"));
            QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
            QCOMPARE(events.status, 200);
            QCOMPARE(asked, 1);
            events.clear();
            asked = 0;
            socket.httpProxyAddress.clear();
            socket.httpProxyPort = 0;
        }
        socket.Get(m_server->url(QStringLiteral("/p")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.last(), QStringLiteral("Error"));
        QCOMPARE(events.error, int(HTTPSocket::ProxyAuthenticationFailed));
        QCOMPARE(asked, 0);
        const QList<FixtureServer::Request> requests = m_server->requests();
        QCOMPARE(requests.size(), 1);
        QVERIFY(requests.first().header("Proxy-Authorization").isEmpty());
        QVERIFY(requests.first().header("Authorization").isEmpty());
    }

    void serverAtTheFarEndOfATunnelGetsNoProxyCredentials_data()
    {
        QTest::addColumn<bool>("proxyWantsCredentials");
        QTest::addColumn<bool>("serverAsks");
        QTest::addColumn<int>("asks");
        QTest::newRow("https through a proxy that wants credentials") << true << false << 1;
        QTest::newRow("server answers 407 through the tunnel") << true << true << 1;
        QTest::newRow("server answers 407 through an open proxy") << false << true << 0;
    }

    void serverAtTheFarEndOfATunnelGetsNoProxyCredentials()
    {
        QFETCH(bool, proxyWantsCredentials);
        QFETCH(bool, serverAsks);
        QFETCH(int, asks);
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificate(FixtureServer::tlsCertificate());
        QSslConfiguration::setDefaultConfiguration(trusting);
        FixtureServer secure;
        QVERIFY(secure.startTls());
        const Response challenge = FixtureServer::proxyRefusal();
        secure.route(QStringLiteral("/p"), serverAsks ? challenge : Response::page("<html>secure</html>\n"));
        if (proxyWantsCredentials)
            m_server->requireProxyAuthorization(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));

        HTTPSocket socket;
        int asked = 0;
        offerCredentials(socket, asked, QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
        socket.httpProxyAddress = QStringLiteral("127.0.0.1");
        socket.httpProxyPort = m_server->port();
        Events events(socket);
        socket.Get(secure.url(QStringLiteral("/p")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(asked, asks);
        const QList<FixtureServer::Request> tunnels = m_server->requests();
        QVERIFY(!tunnels.isEmpty());
        QCOMPARE(tunnels.constLast().method, QByteArray("CONNECT"));
        if (proxyWantsCredentials)
            QCOMPARE(tunnels.constLast().header("Proxy-Authorization"),
                     FixtureServer::basicCredentials(QStringLiteral("proxyuser"), QStringLiteral("proxypass")));
        const QList<FixtureServer::Request> far = secure.requests();
        QVERIFY(!far.isEmpty());
        QVERIFY(far.size() <= 2);
        for (const FixtureServer::Request& request : far)
            QVERIFY(request.header("Proxy-Authorization").isEmpty());
        if (serverAsks) {
            QCOMPARE(events.order.last(), QStringLiteral("Error"));
            QCOMPARE(events.error, int(HTTPSocket::ProxyAuthenticationFailed));
        } else {
            QCOMPARE(events.status, 200);
            QCOMPARE(events.content, QByteArray("<html>secure</html>\n"));
        }
    }

    void proxyChallengeIsAnsweredPerConnection_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("maxAsks");
        const QString otherHost = QStringLiteral("http://images.starwick-fixture.invalid/final");
        QTest::newRow("redirect to another host") << otherHost << QStringLiteral("proxypass") << 0 << 2;
        QTest::newRow("redirect on the same host") << QStringLiteral("/final") << QStringLiteral("proxypass") << 0 << 2;
        QTest::newRow("refused credentials end in 407") << otherHost << QStringLiteral("wrong") << 407 << 1;
    }

    void proxyChallengeIsAnsweredPerConnection()
    {
        QFETCH(QString, location);
        QFETCH(QString, password);
        QFETCH(int, error);
        QFETCH(int, maxAsks);
        // Both hosts exist only behind the proxy, which wants its credentials on every connection.
        m_server->route(QStringLiteral("/start"), Response::redirect(location));
        m_server->route(QStringLiteral("/final"), Response::page("<html>arrived</html>\n"));
        m_server->requireProxyAuthorization(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
        HTTPSocket socket;
        int asked = 0;
        offerCredentials(socket, asked, QStringLiteral("proxyuser"), password);
        socket.httpProxyAddress = QStringLiteral("127.0.0.1");
        socket.httpProxyPort = m_server->port();
        Events events(socket);
        socket.Get(QStringLiteral("http://apod.starwick-fixture.invalid/start"));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QVERIFY(asked >= 1);
        QVERIFY(asked <= maxAsks);
        const QList<FixtureServer::Request> requests = m_server->requests();
        for (const FixtureServer::Request& request : requests)
            QVERIFY(request.proxied());
        if (error == 0) {
            QCOMPARE(events.order.last(), QStringLiteral("Page"));
            QCOMPARE(events.status, 200);
            QCOMPARE(events.content, QByteArray("<html>arrived</html>\n"));
            const QList<FixtureServer::Request> finals = m_server->requestsFor(QStringLiteral("/final"));
            QCOMPARE(finals.last().header("Proxy-Authorization"),
                     FixtureServer::basicCredentials(QStringLiteral("proxyuser"), QStringLiteral("proxypass")));
        } else {
            QCOMPARE(events.order.last(), QStringLiteral("Error"));
            QCOMPARE(events.error, error);
            QCOMPARE(requests.size(), 2); // without, then with the refused credentials
        }
    }

    void proxySettingActsFromTheNextRequest()
    {
        m_server->route(QStringLiteral("/p"), Response::page("page"));
        HTTPSocket socket;
        Events events(socket);
        socket.httpProxyAddress = QStringLiteral("127.0.0.1");
        socket.httpProxyPort = m_server->port();
        socket.Get(QStringLiteral("http://elsewhere.starwick-fixture.invalid/p"));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QVERIFY(m_server->requests().last().proxied());

        events.clear();
        socket.httpProxyAddress.clear();
        socket.httpProxyPort = 0;
        socket.Get(m_server->url(QStringLiteral("/p")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.status, 200);
        QVERIFY(!m_server->requests().last().proxied());
    }

    void oversizedPageIsCutOff_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::newRow("endless body") << false;
        QTest::newRow("Content-Length over the limit") << true;
    }

    void oversizedPageIsCutOff()
    {
        QFETCH(bool, announced);
        Response endless = Response::page(QByteArray());
        endless.endless = true;
        if (announced)
            endless.headers.append(
                qMakePair(QByteArray("Content-Length"), QByteArray::number(HTTPSocket::maxPageSize() + 1)));
        m_server->route(QStringLiteral("/endless"), endless);
        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/endless")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, 60000);
        QCOMPARE(events.order.last(), QStringLiteral("Error"));
        QCOMPARE(events.error, int(HTTPSocket::PageTooLarge));
        QVERIFY(events.bytes.isEmpty() || events.bytes.last() <= HTTPSocket::maxPageSize());
        QVERIFY(!socket.isBusy());
    }
};

STARWICK_TEST_MAIN(TestHTTPSocket)
#include "tst_httpsocket.moc"
