// The road of one picture through the real main window: the archive, the day list, the day page,
// the picture from the network or the cache, the details, and the socket errors, against a small
// APOD site served on this machine.
#include "browser/archivepage.h"
#include "browser/daylistbox.h"
#include "browser/detailswindow.h"
#include "browser/httpalert.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "browser/pagetext.h"
#include "platform/drawer.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/mainwindowrun.h"
#include "support/testenv.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <memory>

using namespace Starwick;
using Test::ApodDay;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

constexpr int kNewestPictureRow = 1; // ap241220: row 0 is a video day

} // namespace

class TestRoad : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<ApodSite> m_site;
    MainWindow* m_window = nullptr;

    DayListBox* list() const { return IndexWindow::instance()->ListBox1; }

    void openMainWindow()
    {
        m_window = MainWindow::instance();
        QTRY_COMPARE(list()->ListCount(), m_site->days().size());
    }

    // Steps to a row as a click in the day list would, and waits for the day to be shown.
    void showRow(int row)
    {
        Globals::LastIndex = row;
        m_window->GetSelectedPage();
    }

    int rowOf(const ApodDay& day) const
    {
        for (int i = 0; i < m_site->days().size(); ++i) {
            if (m_site->days().at(i).page == day.page)
                return i;
        }
        return -1;
    }

    QString statusText() const { return m_window->StatsText->text(); }

private slots:
    void initTestCase() { Test::prepareMainWindowTests(); }

    void init()
    {
        Test::resetMainWindowRun();
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->start());
        m_site = std::make_unique<ApodSite>(*m_server, QStringLiteral("/~apod"));
        setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(m_server->port()));
    }

    void cleanup()
    {
        Test::closeMainWindowRun();
        m_site.reset();
        m_server.reset();
    }

    void launchFillsTheDayListAndShowsTheNewestDay()
    {
        openMainWindow();
        const ApodDay& newest = m_site->days().constFirst();
        QCOMPARE(list()->Cell(0, 0), QString::fromUtf8(newest.archiveLine).trimmed());
        QCOMPARE(list()->Cell(0, 1), m_site->dayUrl(newest.page));
        QCOMPARE(list()->Cell(0, 2),
                 newest.date.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(": ") + newest.title);
        // The newest day is a video: its title shows, no picture is fetched, Save and Set stay off.
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        QCOMPARE(list()->ListIndex(), 0);
        QCOMPARE(m_window->ImageName->text(), list()->Cell(0, 2));
        QVERIFY(!m_window->SaveButton->isEnabled());
        QVERIFY(!m_window->SetButton->isEnabled());
        QVERIFY(m_window->PreviousButton->isEnabled());
        QVERIFY(!m_window->NextButton->isEnabled());
        for (const QString& other : newest.otherImages)
            QVERIFY(m_server->requestsFor(m_site->imagePath(other)).isEmpty());
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
    }

    void dayWithAPictureDownloadsItIntoTheCache_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("PNG behind a commented-out reference") << "ap241220.html";
        QTest::newRow("JPEG behind a favicon and scripts") << "ap231017.html";
        QTest::newRow("Image Credit only, explanation links another picture") << "ap230211.html";
        QTest::newRow("Latin-1 page of the 1990s") << "ap980303.html";
        QTest::newRow("1995 GIF with no folder in its path") << "ap950622.html";
    }
    void dayWithAPictureDownloadsItIntoTheCache()
    {
        QFETCH(QString, page);
        openMainWindow();
        const ApodDay& day = m_site->day(page);
        const int row = rowOf(day);
        showRow(row);
        const QString shown = QStringLiteral("Download complete. Image is %1 x %2.")
                                  .arg(day.pictureSize.width())
                                  .arg(day.pictureSize.height());
        QTRY_COMPARE(statusText(), shown);
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList{day.cacheName});
        QCOMPARE(Globals::FileName, CacheFolder().Child(day.cacheName));
        QVERIFY(m_window->p);
        QCOMPARE(m_window->ImageName->text(), list()->Cell(row, 2));
        QVERIFY(m_window->SaveButton->isEnabled());
        QVERIFY(m_window->SetButton->isEnabled());
        QCOMPARE(m_window->NextButton->isEnabled(), row > 0);
        QCOMPARE(Globals::PageCredits, day.credit);
        QVERIFY2(Globals::PageExplanation.startsWith(day.explanationStart), qPrintable(Globals::PageExplanation));
        QCOMPARE(Globals::Name, day.title + u'.' + QFileInfo(day.cacheName).suffix().toLower());
        // The details drawer follows the day, shown or not.
        DetailsWindow* details = DetailsWindow::instance();
        QCOMPARE(details->CreditField->text(), day.credit);
        QCOMPARE(details->LinkField->text(), m_site->dayUrl(day.page));
        QCOMPARE(details->ExplanationField->text(), Globals::PageExplanation);
        for (const QString& other : day.otherImages)
            QVERIFY2(m_server->requestsFor(m_site->imagePath(other)).isEmpty(), qPrintable(other));
    }

    void cachedPictureIsShownWithoutARequest()
    {
        openMainWindow();
        const ApodDay& day = m_site->days().at(kNewestPictureRow);
        showRow(kNewestPictureRow);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Download complete.")));
        m_server->clearRequests();
        m_window->p.reset();
        showRow(kNewestPictureRow);
        QTRY_VERIFY(m_window->p != nullptr);
        QCOMPARE(statusText(), QStringLiteral("Download complete. Image is %1 x %2.")
                                   .arg(day.pictureSize.width())
                                   .arg(day.pictureSize.height()));
        QCOMPARE(m_server->requestsFor(m_site->imagePath(day.picture)).size(), 0);
        QCOMPARE(m_server->requestsFor(m_site->dayPath(day.page)).size(), 1);
    }

    void brokenPicturesAreNotKept_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("an error page in place of the picture") << 0;
        QTest::newRow("a truncated picture") << 1;
        QTest::newRow("the connection drops mid-body") << 2;
    }
    void brokenPicturesAreNotKept()
    {
        QFETCH(int, kind);
        const ApodDay& day = m_site->days().at(kNewestPictureRow);
        const QString path = m_site->imagePath(day.picture);
        FixtureServer::Response response = FixtureServer::Response::page(day.pictureBytes, 200, "image/png");
        if (kind == 0)
            response = FixtureServer::Response::page("<html><body>Not Found</body></html>", 404);
        else if (kind == 1)
            response.body = day.pictureBytes.left(day.pictureBytes.size() / 3);
        else
            response.dropAfter = day.pictureBytes.size() / 2;
        m_server->route(path, response);
        openMainWindow();
        showRow(kNewestPictureRow);
        QTRY_VERIFY(!m_server->requestsFor(path).isEmpty());
        const QString cause[] = {QStringLiteral("could not be had (error 404)"), QStringLiteral("arrived incomplete"),
                                 QStringLiteral("interrupted")};
        // Cut before its first scan, the reader cannot tell a picture from any other file it cannot read.
        QTRY_VERIFY(statusText().contains(cause[kind]) ||
                    (kind == 1 && statusText() == QStringLiteral("What the server sent is not a readable picture.")));
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QVERIFY(!m_window->SaveButton->isEnabled());
        // The user can step on from the day.
        QVERIFY(m_window->PreviousButton->isEnabled());
        QVERIFY(m_window->NextButton->isEnabled());
        // The next visit asks again, and this time the picture comes.
        m_server->route(path, FixtureServer::Response::page(day.pictureBytes, 200, "image/png"));
        showRow(kNewestPictureRow);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Download complete.")));
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList{day.cacheName});
    }

    void aFailedDayPageLeavesNothingOfTheDayBefore()
    {
        openMainWindow();
        showRow(kNewestPictureRow);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Download complete.")));
        const QString credits = Globals::PageCredits;
        m_server->route(m_site->dayPath(m_site->days().at(0).page),
                        FixtureServer::Response::page("<html><body>Not Found</body></html>", 404));
        showRow(0);
        QTRY_COMPARE(statusText(), QStringLiteral("The day's page could not be had (error 404). Try again later."));
        QVERIFY(!credits.isEmpty());
        QCOMPARE(Globals::PageCredits, QString());
        QVERIFY(!m_window->p);
        QVERIFY(Globals::FileName.isNull());
    }

    void aCutJpegWithoutALengthIsNotKept()
    {
        const ApodDay& day = m_site->day(QStringLiteral("ap231017.html"));
        FixtureServer::Response response = FixtureServer::Response::page(day.pictureBytes, 200, "image/jpeg");
        response.omitContentLength = true;
        response.dropAfter = day.pictureBytes.size() / 2;
        m_server->route(m_site->imagePath(day.picture), response);
        openMainWindow();
        showRow(rowOf(day));
        // Cut before its first scan, the reader cannot tell it from any other file it cannot read.
        QTRY_VERIFY(statusText() == QStringLiteral("The picture arrived incomplete. Try again later.") ||
                    statusText() == QStringLiteral("What the server sent is not a readable picture."));
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QVERIFY(!m_window->p);
    }

    void aPictureStillOnItsWayDoesNotLandOnTheNextDay()
    {
        const ApodDay& day = m_site->days().at(kNewestPictureRow);
        FixtureServer::Response slow = FixtureServer::Response::page(day.pictureBytes, 200, "image/png");
        slow.trickleBytes = 64;
        slow.trickleIntervalMs = 50;
        m_server->route(m_site->imagePath(day.picture), slow);
        openMainWindow();
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        showRow(kNewestPictureRow);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Grabbing image:")));
        showRow(0); // the video day, while the picture is still arriving
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        QTest::qWait(300);
        QCOMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        QVERIFY(!m_window->p);
        QVERIFY(!m_window->SaveButton->isEnabled());
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QCOMPARE(m_window->ProgressBar1->maximum(), 100);
        QCOMPARE(m_window->ProgressBar1->value(), 0);
    }

    void aCutArchiveIsNotListed()
    {
        const QByteArray page = ApodSite::bigArchivePage(3000, QDate(2024, 12, 20));
        FixtureServer::Response cut = FixtureServer::Response::page(page);
        cut.dropAfter = page.size() / 2;
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"), cut);
        m_window = MainWindow::instance();
        QTRY_COMPARE(statusText(), QStringLiteral("The archive page arrived incomplete. Try again later."));
        QCOMPARE(list()->ListCount(), 0);
    }

    void closingTheWindowWhileTheListFillsIsSafe_data()
    {
        QTest::addColumn<int>("atYield");
        QTest::newRow("while the page is decoded") << 2;
        QTest::newRow("while the rows are added") << 1500;
        QTest::newRow("while the rows are parsed") << 4500;
    }
    void closingTheWindowWhileTheListFillsIsSafe()
    {
        QFETCH(int, atYield);
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"),
                        FixtureServer::Response::page(ApodSite::bigArchivePage(3000, QDate(2024, 12, 20))));
        int quits = 0;
        platform::setQuitHandlerForTesting([&quits](int) { ++quits; });
        int yields = 0;
        platform::setYieldObserverForBenchmarks([&] {
            if (++yields == atYield) {
                if (MainWindow* window = MainWindow::existing())
                    window->close();
            }
        });
        m_window = MainWindow::instance();
        platform::showAsDrawer(IndexWindow::instance(), m_window, 3);
        QTRY_COMPARE(quits, 1);
        QTRY_VERIFY(platform::CurrentInstance<MainWindow>() == nullptr);
        platform::setYieldObserverForBenchmarks({});
        platform::setQuitHandlerForTesting([](int) {});
        QVERIFY(yields >= atYield);
        m_window = nullptr;
    }

    void aWebServerNeverGetsTheProxyPassword()
    {
        FixtureServer::Response locked =
            FixtureServer::Response::page(ApodSite::archivePageFor({m_site->days().constFirst().archiveLine}));
        locked.basicUser = QStringLiteral("ann");
        locked.basicPassword = QStringLiteral("sesame");
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"), locked);
        Globals::UseProxy = false;
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = QStringLiteral("sesame");
        m_window = MainWindow::instance();
        QTRY_COMPARE(statusText(), QStringLiteral("The archive page could not be had (error 401). Try again later."));
        for (const FixtureServer::Request& request : m_server->requests())
            QVERIFY(request.header("Authorization").isEmpty());
        QCOMPARE(list()->ListCount(), 0);
    }

    void aDamagedCacheFileIsFetchedAgain()
    {
        const ApodDay& day = m_site->days().at(kNewestPictureRow);
        QVERIFY(Test::writeFileBytes(CacheFolder().Child(day.cacheName).path(), "not a picture"));
        openMainWindow();
        showRow(kNewestPictureRow);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Download complete.")));
        QCOMPARE(m_server->requestsFor(m_site->imagePath(day.picture)).size(), 1);
    }

    void namesThatWouldLeaveTheCacheAreRefused_data()
    {
        QTest::addColumn<QByteArray>("reference");
        QTest::newRow("parent folder") << QByteArray("image/../../../escape.jpg");
        QTest::newRow("dot-dot as the name") << QByteArray("image/2310/..");
        QTest::newRow("empty name") << QByteArray("image/2310/");
        QTest::newRow("a backslash") << QByteArray("image/2310/a\\..\\b.jpg");
    }
    void namesThatWouldLeaveTheCacheAreRefused()
    {
        QFETCH(QByteArray, reference);
        const QByteArray line = ApodSite::archiveLineFor(QDate(2023, 10, 18), "A Hostile Day");
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"),
                        FixtureServer::Response::page(ApodSite::archivePageFor({line})));
        m_server->route(QStringLiteral("/~apod/apod/ap231018.html"),
                        FixtureServer::Response::page("<html><body><center><b> A Hostile Day </b><br><a href=\"" +
                                                      reference +
                                                      "\">picture</a><b> Explanation: </b> Text."
                                                      "<b> Tomorrow's picture: </b></body></html>"));
        m_window = MainWindow::instance();
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        for (const FixtureServer::Request& request : m_server->requests())
            QVERIFY2(!request.path.contains("image"), request.target.constData());
        QCOMPARE(Test::folderEntries(CacheFolder().path()), QStringList());
        QVERIFY(!QFile::exists(SettingsFolder().Child(QStringLiteral("escape.jpg")).path()));
    }

    void anArchiveWithoutDaysSaysSo_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("an error answer") << 503 << "The archive page could not be had (error 503). Try again later.";
        QTest::newRow("a page without day lines") << 200 << "The archive page lists no days.";
    }
    void anArchiveWithoutDaysSaysSo()
    {
        QFETCH(int, status);
        QFETCH(QString, said);
        m_server->route(QStringLiteral("/~apod/apod/archivepix.html"),
                        FixtureServer::Response::page("<html><body><b>Service unavailable</b></body></html>", status));
        m_window = MainWindow::instance();
        QTRY_COMPARE(statusText(), said);
        QCOMPARE(list()->ListCount(), 0);
        QCOMPARE(m_server->requests().size(), 1);
    }

    void aBigArchiveGivesTheRowsOfTheWholePage_data()
    {
        QTest::addColumn<QByteArray>("page");
        const QByteArray big = ApodSite::bigArchivePage(11500, QDate(2026, 12, 9));
        QTest::newRow("every day since 1995, LF") << big;
        QByteArray crlf = big;
        QTest::newRow("CR LF line ends") << crlf.replace("\n", "\r\n");
        QByteArray cr = big;
        QTest::newRow("CR line ends only") << cr.replace('\n', '\r');
        // Titles in raw Latin-1 and lines that begin with the bytes of a byte-order mark, which
        // only the page's own start may drop, wherever the page is cut into pieces.
        QList<QByteArray> lines;
        for (int i = 0; i < 4000; ++i) {
            const QByteArray mark = i % 2 ? "\xEF\xBB\xBF" : "";
            const QByteArray title = i % 3 ? "Schr\xf6"
                                             "dinger's Sky " +
                                                 QByteArray::number(i)
                                           : "Nebula";
            lines.append(mark + ApodSite::archiveLineFor(QDate(2026, 12, 9).addDays(-i), title));
        }
        QTest::newRow("Latin-1 titles, marks at line starts") << ApodSite::archivePageFor(lines);
    }
    void aBigArchiveGivesTheRowsOfTheWholePage()
    {
        QFETCH(QByteArray, page);
        openMainWindow();
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        list()->DeleteAllRows();
        m_window->TCPSocket1_PageReceived(m_site->archiveUrl(), 200, {}, page);
        const QStringList lines = SplitArchiveBlock(ArchiveDayBlock(DecodePageText(page)));
        QCOMPARE(list()->ListCount(), lines.size());
        ArchiveLineParser parser(APODServer());
        for (int i = 0; i < lines.size(); ++i) {
            const ArchiveRow row = parser.parse(lines.at(i));
            QCOMPARE(list()->Cell(i, 0), lines.at(i));
            QCOMPARE(list()->Cell(i, 1), row.pageURL);
            QCOMPARE(list()->Cell(i, 2), row.displayText);
        }
    }

    void socketErrorsShowOneAlertAndLeaveTheOthersAlone()
    {
        openMainWindow();
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        const int beeps = platform::BeepCount();
        // The picture socket fails before it connects (its target cannot be made: a folder is in
        // the way) while the day page socket fails to resolve its host.
        const ApodDay& day = m_site->days().at(kNewestPictureRow);
        QVERIFY(QDir().mkpath(CacheFolder().Child(day.cacheName).path() + QStringLiteral("/blocked")));
        showRow(kNewestPictureRow);
        QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>() != nullptr);
        HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>();
        QCOMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 1!"));
        QCOMPARE(alert->MessageText->text(), QStringLiteral("Check your internet settings and try again."));
        // The day chosen has no picture to save; the steps stay open.
        QVERIFY(m_window->PreviousButton->isEnabled());

        list()->SetCell(0, 1, QStringLiteral("http://no-such-host.invalid/apod/ap250314.html"));
        showRow(0);
        QTRY_COMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 103!"));
        QVERIFY(alert->MessageText->text().startsWith(QStringLiteral("The address specified in your proxy")));
        QCOMPARE(platform::ExistingInstance<HTTPAlert>(), alert);
        QCOMPARE(platform::BeepCount(), beeps + 1);
        // The list keeps its rows; the failed day stays chosen, with its title and the steps.
        QCOMPARE(list()->ListCount(), m_site->days().size());
        QCOMPARE(list()->ListIndex(), 0);
        QCOMPARE(Globals::LastIndex, 0);
        QCOMPARE(m_window->ImageName->text(), list()->Cell(0, 2));
        QVERIFY(m_window->PreviousButton->isEnabled());
        QVERIFY(!m_window->SaveButton->isEnabled());
        // After OK, the next error makes a new alert, which beeps again.
        alert->PushButton1->click();
        QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>() == nullptr);
        showRow(0);
        QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>() != nullptr);
        QCOMPARE(platform::BeepCount(), beeps + 2);
    }

    void proxyCredentialsAreAnsweredOnce_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passes");
        QTest::newRow("right credentials") << "sesame" << true;
        QTest::newRow("refused credentials end the request") << "wrong" << false;
    }
    void proxyCredentialsAreAnsweredOnce()
    {
        QFETCH(QString, password);
        QFETCH(bool, passes);
        // The program names the real server; the proxy on this machine answers for it.
        setAPODServerForTesting(QStringLiteral("www.star.ucl.ac.uk/~apod"));
        m_server->requireProxyAuthorization(QStringLiteral("ann"), QStringLiteral("sesame"));
        Globals::UseProxy = true;
        Globals::pAddress = QStringLiteral("127.0.0.1");
        Globals::pPort = m_server->port();
        Globals::pUserName = QStringLiteral("ann");
        Globals::pPassword = password;
        m_window = MainWindow::instance();
        if (passes) {
            QTRY_COMPARE(list()->ListCount(), m_site->days().size());
            QCOMPARE(list()->Cell(0, 1), QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/ap250314.html"));
            QVERIFY(m_server->requests().constFirst().proxied());
        } else {
            QTRY_VERIFY(platform::ExistingInstance<HTTPAlert>() != nullptr);
            QCOMPARE(platform::ExistingInstance<HTTPAlert>()->HeadingText->text(),
                     QStringLiteral("The web server returned error 407!"));
            QVERIFY(m_server->requests().size() <= 3); // asked once, not in a loop
            QCOMPARE(list()->ListCount(), 0);
        }
    }
};

STARWICK_TEST_MAIN(TestRoad)
#include "tst_road.moc"
