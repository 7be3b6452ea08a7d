#include "platform/httpsocket.h"
#include "support/apodsite.h"
#include "support/filesizelimit.h"
#include "support/fixtureserver.h"
#include "support/socketevents.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <memory>
#include <optional>
#include <unistd.h>

using namespace Starwick;
using platform::FolderItem;
using platform::HTTPSocket;
using Test::FixtureServer;
using Response = FixtureServer::Response;
using Test::patternBytes;
using Events = Test::SocketEvents;

namespace {

constexpr int WaitMs = 15000;

} // namespace

/// HTTPSocket's downloads into a file: exact bytes, a target that is replaced only by a whole
/// transfer, and targets that cannot be written.
class TestHTTPDownload : public QObject
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

    void downloadIsByteExact_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("sendLength");
        QTest::newRow("small PNG") << Test::ApodSite::makePng(QSize(40, 30)) << 200 << true;
        QTest::newRow("1 MiB in many pieces") << patternBytes(1024 * 1024) << 200 << true;
        QTest::newRow("without Content-Length") << patternBytes(70000) << 200 << false;
        QTest::newRow("larger than a page may be")
            << patternBytes(int(HTTPSocket::maxPageSize()) + 1024 * 1024) << 200 << true;
        QTest::newRow("error page is kept as sent") << QByteArray("<html>Not here</html>\n") << 404 << true;
    }

    void downloadIsByteExact()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, sendLength);
        Response response = Response::page(body, status, "image/png");
        response.omitContentLength = !sendLength;
        m_server->route(QStringLiteral("/image/pic.png"), response);
        const QString target = m_folder + QStringLiteral("/pic.png");
        QVERIFY(Test::writeFileBytes(target, "an older picture"));

        HTTPSocket socket;
        Events events(socket);
        const QString url = m_server->url(QStringLiteral("/image/pic.png"));
        socket.Get(url, FolderItem(target));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.first(), QStringLiteral("Connected"));
        QCOMPARE(events.order.last(), QStringLiteral("Download"));
        QCOMPARE(events.url, url);
        QCOMPARE(events.status, status);
        QCOMPARE(events.file.path(), target);
        QCOMPARE(Test::readFileBytes(target), body);
        QCOMPARE(Test::folderEntries(m_folder), QStringList{"pic.png"});
        QCOMPARE(events.bytes.last(), qint64(body.size()));
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::NoError));
    }

    void downloadTargetThatCannotBePreparedIsError1_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("unwritableFolder");
        QTest::newRow("target is a folder") << QStringLiteral("FOLDER/sub") << false;
        QTest::newRow("folder missing") << QStringLiteral("FOLDER/missing/pic.png") << false;
        QTest::newRow("folder is a file") << QStringLiteral("FOLDER/plain.txt/pic.png") << false;
        QTest::newRow("no target") << QString() << false;
        QTest::newRow("folder not writable") << QStringLiteral("FOLDER/locked/pic.png") << true;
        QTest::newRow("folder not writable, even for root") << QStringLiteral("/proc/starwick-pic.png") << false;
    }

    void downloadTargetThatCannotBePreparedIsError1()
    {
        QFETCH(QString, target);
        QFETCH(bool, unwritableFolder);
        if (unwritableFolder && ::geteuid() == 0)
            QSKIP("root writes into any folder");
        target.replace(QStringLiteral("FOLDER"), m_folder);
        QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
        QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/locked")));
        QFile::setPermissions(m_folder + QStringLiteral("/locked"), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(Test::writeFileBytes(m_folder + QStringLiteral("/plain.txt"), "text"));
        m_server->route(QStringLiteral("/pic.png"), Response::page(patternBytes(100)));

        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/pic.png")), FolderItem(target));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order, QStringList{"Error"});
        QCOMPARE(events.error, 1);
        QTest::qWait(50);
        QCOMPARE(m_server->connectionCount(), 0);
        QFile::setPermissions(m_folder + QStringLiteral("/locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(Test::folderEntries(m_folder + QStringLiteral("/locked")).isEmpty());
        QVERIFY(Test::folderEntries(m_folder + QStringLiteral("/sub")).isEmpty());
    }

    void interruptedDownloadLeavesTheTargetAsItWas_data()
    {
        QTest::addColumn<bool>("oldFile");
        QTest::addColumn<bool>("stall");
        QTest::newRow("dropped mid-body, no old file") << false << false;
        QTest::newRow("dropped mid-body, old file kept") << true << false;
        QTest::newRow("stalled until the timeout, old file kept") << true << true;
    }

    void interruptedDownloadLeavesTheTargetAsItWas()
    {
        QFETCH(bool, oldFile);
        QFETCH(bool, stall);
        Response response = Response::page(patternBytes(200000), 200, "image/jpeg");
        (stall ? response.stallAfter : response.dropAfter) = 70000;
        m_server->route(QStringLiteral("/big.jpg"), response);
        const QString target = m_folder + QStringLiteral("/big.jpg");
        if (oldFile)
            QVERIFY(Test::writeFileBytes(target, "the picture from before"));

        HTTPSocket socket;
        socket.setTransferTimeout(stall ? 300 : 10000);
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/big.jpg")), FolderItem(target));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.order.first(), QStringLiteral("Connected"));
        QCOMPARE(events.order.last(), QStringLiteral("Download"));
        QCOMPARE(events.status, 200);
        QCOMPARE(events.file.path(), target);
        QCOMPARE(events.bytes.last(), qint64(70000));
        QCOMPARE(socket.lastErrorCode(), stall ? 408 : int(HTTPSocket::ConnectionClosed));
        if (oldFile) {
            QCOMPARE(Test::readFileBytes(target), QByteArray("the picture from before"));
            QCOMPARE(Test::folderEntries(m_folder), QStringList{"big.jpg"});
        } else {
            QVERIFY(!QFile::exists(target));
            QVERIFY(Test::folderEntries(m_folder).isEmpty());
        }
    }

    void aFullDiskKeepsNothingUnderTheName()
    {
        m_server->route(QStringLiteral("/big.jpg"), Response::page(patternBytes(200000), 200, "image/jpeg"));
        const QString target = m_folder + QStringLiteral("/big.jpg");
        HTTPSocket socket;
        Events events(socket);
        auto full = std::make_optional<Test::FileSizeLimit>(50000);
        if (!full->isActive())
            QSKIP("No file size limit can be set here");
        socket.Get(m_server->url(QStringLiteral("/big.jpg")), FolderItem(target));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        // Said as what it is, not as a transfer that broke off.
        QCOMPARE(socket.lastErrorCode(), int(HTTPSocket::FileWriteFailed));
        QVERIFY(!socket.lastFileError().isEmpty());
        QVERIFY(!QFile::exists(target));
        QVERIFY(Test::folderEntries(m_folder).isEmpty());

        // The next download that succeeds leaves no reason of the one before.
        full.reset();
        m_server->route(QStringLiteral("/small.jpg"), Response::page("small", 200, "image/jpeg"));
        events.clear();
        socket.Get(m_server->url(QStringLiteral("/small.jpg")), FolderItem(m_folder + QStringLiteral("/small.jpg")));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(socket.lastErrorCode(), 0);
        QVERIFY(socket.lastFileError().isEmpty());
    }

    // The network layer holds at most a bounded buffer for the socket; an answer many times its
    // size still arrives whole and in order.
    void anAnswerLargerThanTheReadBufferArrivesWhole()
    {
        const QByteArray body = patternBytes(int(HTTPSocket::ReadBufferSize * 9 + 12345));
        m_server->route(QStringLiteral("/big.jpg"), Response::page(body, 200, "image/jpeg"));
        const QString target = m_folder + QStringLiteral("/big.jpg");
        HTTPSocket socket;
        Events events(socket);
        socket.Get(m_server->url(QStringLiteral("/big.jpg")), FolderItem(target));
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(socket.lastErrorCode(), 0);
        QVERIFY(Test::readFileBytes(target) == body);
    }

    void fakeSiteServesItsPagesAndPicturesThroughTheProxy()
    {
        const Test::ApodSite site(*m_server, QStringLiteral("/~apod"));
        const QString host = QStringLiteral("http://apod.starwick-fixture.invalid");
        HTTPSocket socket;
        socket.httpProxyAddress = QStringLiteral("127.0.0.1");
        socket.httpProxyPort = m_server->port();
        Events events(socket);

        socket.Get(host + site.archivePath());
        QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
        QCOMPARE(events.status, 200);
        // The day lines sit in the second bold block, after the bold note.
        const QByteArray page = events.content;
        const qsizetype block = page.indexOf("<b>", page.indexOf("</b>"));
        QVERIFY(page.left(page.indexOf("</b>")).contains("This archive list links"));
        const QByteArray days = page.mid(block + 3, page.indexOf("</b>", block) - block - 3);
        QVERIFY(!days.contains('\r'));
        QCOMPARE(days.trimmed().split('\n').size(), site.days().size());

        for (const Test::ApodDay& day : site.days()) {
            events.clear();
            socket.Get(host + site.dayPath(day.page));
            QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
            QCOMPARE(events.content, day.html);
            QVERIFY2(days.contains(day.archiveLine), day.page.toUtf8());
            QVERIFY(day.html.contains("Explanation:"));
            if (!day.hasPicture())
                continue;
            QVERIFY(day.html.contains("\"image/" + day.picture.toUtf8() + '"'));
            events.clear();
            const QString target = m_folder + QLatin1Char('/') + day.cacheName;
            socket.Get(host + site.imagePath(day.picture), FolderItem(target));
            QTRY_VERIFY_WITH_TIMEOUT(events.ended, WaitMs);
            QCOMPARE(events.status, 200);
            QCOMPARE(Test::readFileBytes(target), day.pictureBytes);
            const QImage picture(target);
            QVERIFY2(!picture.isNull(), qPrintable(day.picture));
            QCOMPARE(picture.size(), day.pictureSize);
        }
        for (const FixtureServer::Request& request : m_server->requests())
            QVERIFY(request.target.startsWith((host + QStringLiteral("/~apod/apod/")).toUtf8()));
    }
};

STARWICK_TEST_MAIN(TestHTTPDownload)
#include "tst_httpdownload.moc"
