// A step whose day page or picture fails, in the real main window against a small APOD site served
// on this machine: the failed day stays chosen and shows as failed, nothing of the day before stays
// behind Save and Set, and the next step goes on past it.
#include "browser/daylistbox.h"
#include "browser/daylistmodel.h"
#include "browser/detailswindow.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/folderitem.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/filesizelimit.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace Starwick;
using Test::ApodDay;
using Test::ApodSite;
using Test::FixtureServer;

namespace {

// How the step to a day fails.
enum class Failure
{
    Page404,
    PageCut,
    PageStalled,
    Picture404,
    PictureStalled,
    NotAPicture,
    Stopped,
    DiskFull,
};

// A day with a picture whose step fails, the day shown before it (with a picture too), and the day
// after it.
constexpr int kShownRow = 1;
constexpr int kFailedRow = 2;
constexpr int kNextRow = 3;

QStringList filesIn(const QString& path)
{
    return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestFailedDay : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<ApodSite> m_site;
    MainWindow* m_window = nullptr;

    DayListBox* list() const { return IndexWindow::instance()->ListBox1; }
    QString statusText() const { return m_window->StatsText->text(); }
    const ApodDay& day(int row) const { return m_site->days().at(row); }

    int dayRequests(int row) const { return int(m_server->requestsFor(m_site->dayPath(day(row).page)).size()); }

    void openMainWindow()
    {
        m_window = MainWindow::instance();
        QTRY_COMPARE(list()->ListCount(), m_site->days().size());
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
    }

    // Shows row `row`, a day with a picture, and waits until its picture is in.
    void showRow(int row)
    {
        Globals::LastIndex = row;
        m_window->GetSelectedPage();
        waitForPicture(row);
    }

    // Waits until the picture of row `row` shows, and checks that Save and Set act on it.
    void waitForPicture(int row)
    {
        QTRY_VERIFY(m_window->SaveButton->isEnabled());
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Download complete.")));
        QVERIFY(m_window->SetButton->isEnabled());
        QVERIFY(m_window->p);
        QCOMPARE(list()->ListIndex(), row);
        QCOMPARE(m_window->ImageName->text(), list()->Cell(row, 2));
        QCOMPARE(Globals::FileName, CacheFolder().Child(day(row).cacheName));
        QVERIFY(Globals::Name.endsWith(QLatin1Char('.') + Globals::ext));
        QVERIFY(day(row).picture.endsWith(QLatin1Char('.') + Globals::ext, Qt::CaseInsensitive));
        QVERIFY(Globals::Name.startsWith(day(row).title.left(8)));
    }

    void stepOlder() { QTest::keyClick(m_window, Qt::Key_Left, Qt::ControlModifier); }

    bool areaIsGrey() const
    {
        const QImage shot = m_window->Canvas1->grab().toImage();
        return shot.pixelColor(shot.rect().center()) == MainWindow::areaGrey() &&
               shot.pixelColor(2, 2) == MainWindow::areaGrey();
    }

    // Row `row` is chosen and shown as failed, with `reason` in the status line and the day's
    // texts when its page came.
    void checkFailedDay(int row, const QString& reason, bool pageCame)
    {
        QTRY_COMPARE(statusText(), reason);
        QCOMPARE(list()->ListIndex(), row);
        QCOMPARE(Globals::LastIndex, row);
        QCOMPARE(m_window->ImageName->text(), list()->Cell(row, 2));
        QCOMPARE(DetailsWindow::instance()->LinkField->text(), list()->Cell(row, 1));
        if (pageCame) {
            QTRY_COMPARE(Globals::PageCredits, day(row).credit);
            QVERIFY(Globals::PageExplanation.startsWith(day(row).explanationStart));
        } else {
            QCOMPARE(Globals::PageCredits, QString());
            QCOMPARE(Globals::PageExplanation, QString());
            QCOMPARE(Globals::DayHTML, QString());
            QCOMPARE(Globals::Name, QString());
        }
        QVERIFY(!m_window->p);
        QVERIFY(areaIsGrey());
        QVERIFY(Globals::FileName.isNull());
        QVERIFY(!m_window->SaveButton->isEnabled());
        QVERIFY(!m_window->SetButton->isEnabled());
        QVERIFY(m_window->NextButton->isEnabled());
        QVERIFY(m_window->PreviousButton->isEnabled());
        QCOMPARE(m_window->ProgressBar1->value(), 0);
        // Nothing of the failed day's picture is kept.
        QVERIFY(!filesIn(CacheFolder().path()).contains(day(row).cacheName));
    }

private slots:
    void initTestCase()
    {
        platform::setUrlOpenerForTesting([](const QUrl&) {});
    }

    void init()
    {
        Test::clearHome();
        Globals::ResetForTesting();
        list()->DeleteAllRows();
        QDir().mkpath(CacheFolder().path());
        QVERIFY(Test::serveApodSite(m_server, m_site));
        QVERIFY(day(kShownRow).hasPicture() && day(kFailedRow).hasPicture() && day(kNextRow).hasPicture());
    }

    void cleanup()
    {
        if (MainWindow* window = MainWindow::existing())
            window->close();
        IndexWindow::instance()->hide();
        m_window = nullptr;
        m_site.reset();
        m_server.reset();
    }

    void aFailedStepLeavesTheFailedDayShownAsFailed_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("pageCame");
        QTest::newRow("day page 404") << Failure::Page404
                                      << QStringLiteral("The day's page could not be had (error 404). Try again later.")
                                      << false;
        QTest::newRow("day page cut off")
            << Failure::PageCut << QStringLiteral("The day's page arrived incomplete. Try again later.") << false;
        QTest::newRow("day page stalled")
            << Failure::PageStalled
            << QStringLiteral("The day's page did not come: the server stopped sending. Try again later.") << false;
        QTest::newRow("picture 404") << Failure::Picture404
                                     << QStringLiteral("The picture could not be had (error 404). Try again later.")
                                     << true;
        QTest::newRow("picture stalled")
            << Failure::PictureStalled
            << QStringLiteral("The picture did not come: the server stopped sending. Try again later.") << true;
        QTest::newRow("bytes that are not a picture")
            << Failure::NotAPicture << QStringLiteral("What the server sent is not a readable picture.") << true;
        QTest::newRow("Ctrl+. during the picture")
            << Failure::Stopped << QStringLiteral("The picture download was stopped.") << true;
        // A file size limit fails the write as a full disk does, with the system's own reason.
        QTest::newRow("the cache cannot take the picture")
            << Failure::DiskFull << QStringLiteral("The picture could not be kept: file too large.") << true;
    }
    void aFailedStepLeavesTheFailedDayShownAsFailed()
    {
        QFETCH(Failure, failure);
        QFETCH(QString, reason);
        QFETCH(bool, pageCame);
        const ApodDay& failed = day(kFailedRow);
        const QString pagePath = m_site->dayPath(failed.page);
        const QString picturePath = m_site->imagePath(failed.picture);
        FixtureServer::Response page = FixtureServer::Response::page(failed.html);
        FixtureServer::Response picture = FixtureServer::Response::page(failed.pictureBytes, 200, "image/jpeg");
        switch (failure) {
        case Failure::Page404:
            page = FixtureServer::Response::page("<html><body><b>Not Found</b></body></html>", 404);
            break;
        case Failure::PageCut:
            page.dropAfter = failed.html.size() / 2;
            break;
        case Failure::PageStalled:
            page.stallAfter = 0;
            break;
        case Failure::Picture404:
            picture = FixtureServer::Response::page("<html><body>Not Found</body></html>", 404);
            break;
        case Failure::PictureStalled:
            picture.stallAfter = failed.pictureBytes.size() / 2;
            break;
        case Failure::NotAPicture:
            picture.body = QByteArray("<html><body>Your session has ended.</body></html>");
            break;
        case Failure::Stopped:
            picture.trickleBytes = 16;
            picture.trickleIntervalMs = 50;
            break;
        case Failure::DiskFull:
            break;
        }
        m_server->route(pagePath, page);
        m_server->route(picturePath, picture);
        openMainWindow();
        m_window->TCPSocket2->setTransferTimeout(300);
        m_window->TCPSocket3->setTransferTimeout(300);
        showRow(kShownRow);
        m_window->AppleShowDetailsDrawer_Action();

        std::optional<Test::FileSizeLimit> full;
        if (failure == Failure::DiskFull) {
            full.emplace(failed.pictureBytes.size() / 2);
            if (!full->isActive())
                QSKIP("No file size limit can be set here");
        }
        stepOlder();
        if (failure == Failure::Stopped) {
            QTRY_VERIFY(statusText().startsWith(QStringLiteral("Grabbing image:")));
            QTest::keyClick(m_window, Qt::Key_Period, Qt::ControlModifier);
        }
        checkFailedDay(kFailedRow, reason, pageCame);
        full.reset();
        QCOMPARE(dayRequests(kFailedRow), 1);

        // The next step goes on past the failed day, with one request, and its picture is the one
        // that Save and Set then act on.
        m_server->clearRequests();
        stepOlder();
        waitForPicture(kNextRow);
        QCOMPARE(dayRequests(kNextRow), 1);
        QCOMPARE(dayRequests(kFailedRow), 0);
    }

    void aFailedPageWhileThePictureBeforeArrivesNamesOnlyTheFailedDay()
    {
        // A day shown; a step to a day whose picture comes slowly; while it comes, a step to a day
        // whose page answers 404.
        constexpr int slowRow = kFailedRow;
        constexpr int failedRow = kNextRow;
        FixtureServer::Response slow = FixtureServer::Response::page(day(slowRow).pictureBytes, 200, "image/jpeg");
        slow.trickleBytes = 16;
        slow.trickleIntervalMs = 50;
        m_server->route(m_site->imagePath(day(slowRow).picture), slow);
        m_server->route(m_site->dayPath(day(failedRow).page),
                        FixtureServer::Response::page("<html><body>Not Found</body></html>", 404));
        openMainWindow();
        showRow(kShownRow);
        QTest::mouseClick(m_window->PreviousButton, Qt::LeftButton);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Grabbing image:")));
        stepOlder();
        checkFailedDay(failedRow, QStringLiteral("The day's page could not be had (error 404). Try again later."),
                       false);

        // The slow picture never lands, and Set has no picture to hand to the desktop.
        QTest::qWait(300);
        QVERIFY(!m_window->p);
        QVERIFY(!filesIn(CacheFolder().path()).contains(day(slowRow).cacheName));
        const QString desktopFolder = platform::FolderItem::PicturesFolder().Child("Starwick Images").path();
        m_window->SetButton_Action();
        QCOMPARE(filesIn(desktopFolder), QStringList());

        m_server->clearRequests();
        stepOlder();
        QTRY_COMPARE(dayRequests(failedRow + 1), 1);
        QCOMPARE(dayRequests(failedRow), 0);
    }

    void arrowKeysInTheIndexDrawerAskOncePerSelectionChange()
    {
        openMainWindow();
        m_window->AppleShowAPODIndex_Action();
        QVERIFY(QTest::qWaitForWindowExposed(IndexWindow::instance()));
        list()->setFocus();
        for (int row = 1; row < int(m_site->days().size()); ++row) {
            m_server->clearRequests();
            QSignalSpy changes(list(), &DayListBox::Change);
            QTest::keyClick(list(), Qt::Key_Down);
            // One change of row is told once: a second would ask for the day again.
            QCOMPARE(changes.size(), 1);
            QCOMPARE(list()->ListIndex(), row);
            QCOMPARE(Globals::LastIndex, row);
            QTRY_VERIFY(m_window->NextButton->isEnabled());
            QCOMPARE(dayRequests(row), 1);
            QCOMPARE(dayRequests(row - 1), 0);
        }
    }
};

STARWICK_TEST_MAIN(TestFailedDay)
#include "tst_failedday.moc"
