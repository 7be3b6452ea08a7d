// Stepping between days in the real main window against a small APOD site served on this machine:
// Next and Previous, the Ctrl keys, a click in the index drawer, and the stop of a download.
#include "browser/daylistbox.h"
#include "browser/daylistmodel.h"
#include "browser/detailswindow.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/drawer.h"
#include "platform/menuitem.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/resources.h"
#include "shell/settings.h"
#include "support/apodsite.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QCloseEvent>
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

// How a step is asked for.
enum class Way
{
    Button,
    Key,
    KeyOnSave,
    ListClick,
};

QStringList cacheEntries()
{
    return QDir(CacheFolder().path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestSteps : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<ApodSite> m_site;
    MainWindow* m_window = nullptr;
    int m_quits = 0;

    DayListBox* list() const { return IndexWindow::instance()->ListBox1; }
    QString statusText() const { return m_window->StatsText->text(); }
    int lastRow() const { return int(m_site->days().size()) - 1; }

    int dayRequests(int row) const
    {
        return int(m_server->requestsFor(m_site->dayPath(m_site->days().at(row).page)).size());
    }

    // Opens the window on the whole site and waits until the newest day (a video day) is shown.
    void openMainWindow()
    {
        m_window = MainWindow::instance();
        QTRY_COMPARE(list()->ListCount(), m_site->days().size());
        QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
    }

    // Waits until row `row` is the day shown, with its page and picture (if any) in.
    void waitForDay(int row)
    {
        const ApodDay& day = m_site->days().at(row);
        QTRY_COMPARE(m_window->ImageName->text(), list()->Cell(row, 2));
        if (day.hasPicture())
            QTRY_VERIFY(m_window->SaveButton->isEnabled());
        else
            QTRY_COMPARE(statusText(), QStringLiteral("This day has no picture to show."));
        QTRY_VERIFY(m_window->PreviousButton->isEnabled());
        QCOMPARE(Globals::LastIndex, row);
        QCOMPARE(list()->ListIndex(), row);
    }

    void showRow(int row)
    {
        Globals::LastIndex = row;
        m_window->GetSelectedPage();
        waitForDay(row);
    }

    void step(Way way, bool newer)
    {
        switch (way) {
        case Way::Button:
            QTest::mouseClick(newer ? static_cast<QWidget*>(m_window->NextButton) : m_window->PreviousButton,
                              Qt::LeftButton);
            break;
        case Way::Key:
            QTest::keyClick(m_window, newer ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
            break;
        case Way::KeyOnSave:
            // As after a click on Save: the key goes to the button that has the focus.
            m_window->SaveButton->setFocus();
            QTest::keyClick(m_window->SaveButton, newer ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
            break;
        case Way::ListClick:
            QFAIL("a click names a row, not a direction");
        }
    }

    bool areaIsGrey() const
    {
        const QImage shot = m_window->Canvas1->grab().toImage();
        return shot.pixelColor(shot.rect().center()) == MainWindow::areaGrey() &&
               shot.pixelColor(2, 2) == MainWindow::areaGrey();
    }

private slots:
    void initTestCase()
    {
        platform::setQuitHandlerForTesting([this](int) { ++m_quits; });
        platform::setUrlOpenerForTesting([](const QUrl&) {});
    }

    void init()
    {
        Test::clearHome();
        Globals::ResetForTesting();
        Globals::UseSounds = true;
        m_quits = 0;
        list()->DeleteAllRows();
        QDir().mkpath(CacheFolder().path());
        QVERIFY(Test::serveApodSite(m_server, m_site));
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

    void aStepPastAnEndBeepsAndRequestsNothing_data()
    {
        QTest::addColumn<int>("row"); // -1: the archive gave no days
        QTest::addColumn<bool>("newer");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Next at the newest day") << 0 << true << false;
        QTest::newRow("Ctrl+Right at the newest day") << 0 << true << true;
        QTest::newRow("Previous at the oldest day") << 6 << false << false;
        QTest::newRow("Ctrl+Left at the oldest day") << 6 << false << true;
        QTest::newRow("Next with no days") << -1 << true << false;
        QTest::newRow("Previous with no days") << -1 << false << false;
        QTest::newRow("Ctrl+Left with no days") << -1 << false << true;
    }
    void aStepPastAnEndBeepsAndRequestsNothing()
    {
        QFETCH(int, row);
        QFETCH(bool, newer);
        QFETCH(bool, byKey);
        if (row < 0) {
            m_server->route(m_site->archivePath(), FixtureServer::Response::page("<html></html>", 503));
            m_window = MainWindow::instance();
            QTRY_VERIFY(statusText().contains(QStringLiteral("503")));
            QCOMPARE(list()->ListCount(), 0);
        } else {
            QCOMPARE(lastRow(), 6);
            openMainWindow();
            if (row > 0)
                showRow(row);
        }
        m_server->clearRequests();
        const int beeps = platform::BeepCount();
        const int tinks = Tink()->playCount();
        const QString title = m_window->ImageName->text();

        if (byKey)
            QTest::keyClick(m_window, newer ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
        else if (newer)
            m_window->NextButton_Action();
        else
            m_window->PreviousButton_Action();

        QCOMPARE(platform::BeepCount(), beeps + 1);
        QCOMPARE(Tink()->playCount(), tinks);
        QCOMPARE(Globals::LastIndex, std::max(row, 0));
        QCOMPARE(m_window->ImageName->text(), title);
        QVERIFY(!m_window->TCPSocket3->isBusy());
        QVERIFY(m_server->requests().isEmpty());
    }

    void eachWayOfSteppingRequestsTheRowOnce_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("sounds");
        QTest::newRow("Next button") << Way::Button << 2 << 1 << true;
        QTest::newRow("Previous button") << Way::Button << 2 << 3 << true;
        QTest::newRow("Ctrl+Right") << Way::Key << 3 << 2 << true;
        QTest::newRow("Ctrl+Left") << Way::Key << 1 << 2 << true;
        QTest::newRow("Ctrl+Left with sounds off") << Way::Key << 1 << 2 << false;
        QTest::newRow("Ctrl+Left with the focus on Save") << Way::KeyOnSave << 1 << 2 << true;
        QTest::newRow("Ctrl+Right with the focus on Save") << Way::KeyOnSave << 3 << 2 << true;
        QTest::newRow("a click in the index drawer") << Way::ListClick << 1 << 5 << true;
    }
    void eachWayOfSteppingRequestsTheRowOnce()
    {
        QFETCH(Way, way);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, sounds);
        openMainWindow();
        m_window->AppleShowAPODIndex_Action();
        QVERIFY(QTest::qWaitForWindowExposed(IndexWindow::instance()));
        showRow(from);
        Globals::UseSounds = sounds;
        m_server->clearRequests();
        const int tinks = Tink()->playCount();
        const int beeps = platform::BeepCount();

        if (way == Way::ListClick) {
            list()->dayModel()->announce();
            list()->scrollTo(list()->model()->index(to, DayListBox::kVisibleColumn));
            const QRect cell = list()->visualRect(list()->model()->index(to, DayListBox::kVisibleColumn));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cell.center());
            // The title follows the click at once.
            QCOMPARE(m_window->ImageName->text(), list()->Cell(to, 2));
        } else {
            step(way, to < from);
        }
        // Until the day arrives, the buttons are off and the picture area is grey.
        QCOMPARE(Globals::LastIndex, to);
        QVERIFY(!m_window->NextButton->isEnabled());
        QVERIFY(!m_window->PreviousButton->isEnabled());
        QVERIFY(!m_window->SaveButton->isEnabled());
        QVERIFY(!m_window->SetButton->isEnabled());
        QVERIFY(areaIsGrey());

        waitForDay(to);
        QCOMPARE(dayRequests(to), 1);
        QCOMPARE(int(m_server->requests().size()), m_site->days().at(to).hasPicture() ? 2 : 1);
        QCOMPARE(Tink()->playCount(), tinks + (sounds ? 1 : 0));
        QCOMPARE(platform::BeepCount(), beeps);
    }

    void aClickThatClearsTheSelectionOnlyTinks()
    {
        openMainWindow();
        m_window->AppleShowAPODIndex_Action();
        QVERIFY(QTest::qWaitForWindowExposed(IndexWindow::instance()));
        showRow(2);
        m_server->clearRequests();
        const int tinks = Tink()->playCount();
        const QRect cell = list()->visualRect(list()->model()->index(2, DayListBox::kVisibleColumn));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QCOMPARE(list()->ListIndex(), -1);
        QCOMPARE(Tink()->playCount(), tinks + 1);
        QCOMPARE(Globals::LastIndex, 2);
        QVERIFY(m_window->SaveButton->isEnabled());
        QVERIFY(m_server->requests().isEmpty());
    }

    void quickStepsEndInOneRequestForTheLastRow()
    {
        openMainWindow();
        // Day pages come slowly, so the steps overtake them.
        for (const ApodDay& day : m_site->days()) {
            FixtureServer::Response slow = FixtureServer::Response::page(day.html);
            slow.trickleBytes = 256;
            slow.trickleIntervalMs = 20;
            m_server->route(m_site->dayPath(day.page), slow);
        }
        m_server->clearRequests();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(m_window, Qt::Key_Left, Qt::ControlModifier);
            QTRY_COMPARE(dayRequests(i + 1), 1);
        }
        waitForDay(3);
        QCOMPARE(dayRequests(3), 1);
        // The days stepped over never got as far as their pictures.
        for (int row : {1, 2})
            QVERIFY(m_server->requestsFor(m_site->imagePath(m_site->days().at(row).picture)).isEmpty());
        QCOMPARE(cacheEntries(), QStringList{m_site->days().at(3).cacheName});
    }

    void ctrlWQuitsThroughTheCacheRule_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("deleteCache");
        QTest::addColumn<bool>("quits");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("Ctrl+W, cache kept at quit")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << false << true << false;
        QTest::newRow("Ctrl+W, cache emptied at quit")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << true << true << true;
        QTest::newRow("W alone does nothing") << Qt::KeyboardModifiers() << true << false << false;
    }
    void ctrlWQuitsThroughTheCacheRule()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, deleteCache);
        QFETCH(bool, quits);
        QFETCH(bool, emptied);
        openMainWindow();
        showRow(1);
        Globals::DeleteCache = deleteCache;
        QTest::keyClick(m_window, Qt::Key_W, modifiers);
        QCOMPARE(m_quits, quits ? 1 : 0);
        QCOMPARE(cacheEntries().isEmpty(), emptied);
    }

    void ctrlDotStopsTheDownloadAndKeepsTheCachedPicture()
    {
        const ApodDay& shown = m_site->days().at(1);
        const ApodDay& slowDay = m_site->days().at(2);
        FixtureServer::Response slow = FixtureServer::Response::page(slowDay.pictureBytes, 200, "image/jpeg");
        slow.trickleBytes = 16;
        slow.trickleIntervalMs = 50;
        m_server->route(m_site->imagePath(slowDay.picture), slow);
        openMainWindow();
        showRow(1);
        const QString shownText = statusText();

        // With no download running, Ctrl+. leaves everything as it is.
        QTest::keyClick(m_window, Qt::Key_Period, Qt::ControlModifier);
        QCOMPARE(statusText(), shownText);
        QVERIFY(m_window->SaveButton->isEnabled());

        QTest::keyClick(m_window, Qt::Key_Left, Qt::ControlModifier);
        QTRY_VERIFY(statusText().startsWith(QStringLiteral("Grabbing image:")));
        QTRY_VERIFY(m_window->ProgressBar1->value() > 0);
        QTest::keyClick(m_window, Qt::Key_Period, Qt::ControlModifier);

        QVERIFY(!m_window->TCPSocket2->isBusy());
        QCOMPARE(statusText(), QStringLiteral("The picture download was stopped."));
        QCOMPARE(m_window->ProgressBar1->value(), 0);
        QCOMPARE(m_window->ProgressBar1->maximum(), 100);
        // Nothing under the slow picture's cache name, no temporary file: only the day before's
        // picture, which is no longer the one to save.
        QCOMPARE(cacheEntries(), QStringList{shown.cacheName});
        QVERIFY(Globals::FileName.isNull());
        QVERIFY(!m_window->p);
        // The user can step on; there is no picture of the chosen day to save.
        QVERIFY(m_window->PreviousButton->isEnabled());
        QVERIFY(m_window->NextButton->isEnabled());
        QVERIFY(!m_window->SaveButton->isEnabled());
    }

    void theIndexItemShowsAndHidesTheDrawer()
    {
        openMainWindow();
        showRow(2);
        IndexWindow* index = IndexWindow::instance();
        QVERIFY(!index->isVisible());
        QVERIFY(!m_window->AppleShowAPODIndex_Action());
        QVERIFY(index->isVisible());
        QCOMPARE(AppleShowAPODIndex()->Text(), QStringLiteral("Hide Index Drawer"));
        QVERIFY(!m_window->AppleShowAPODIndex_Action());
        QVERIFY(!index->isVisible());
        QCOMPARE(AppleShowAPODIndex()->Text(), QStringLiteral("Show Index Drawer"));
        QCOMPARE(IndexWindow::instance(), index);
        QCOMPARE(list()->ListCount(), m_site->days().size());
        QCOMPARE(list()->ListIndex(), 2);
    }

    // The window manager's close (Alt+F4, the close box) reaches a drawer as QWidget::close() sends
    // it: the drawer is hidden as its menu item hides it, and keeps its rows and its texts.
    void theWindowManagersCloseOnlyHidesTheDrawers_data()
    {
        QTest::addColumn<bool>("byEvent");
        QTest::newRow("close()") << false;
        QTest::newRow("close event") << true;
    }

    void theWindowManagersCloseOnlyHidesTheDrawers()
    {
        QFETCH(bool, byEvent);
        const auto closeByTheWindowSystem = [byEvent](QWidget* window) {
            if (byEvent) {
                QCloseEvent event;
                QCoreApplication::sendEvent(window, &event);
            } else {
                window->close();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        openMainWindow();
        showRow(2);
        QPointer<IndexWindow> index = IndexWindow::instance();
        m_window->AppleShowAPODIndex_Action();
        QVERIFY(QTest::qWaitForWindowExposed(index));
        closeByTheWindowSystem(index);
        QVERIFY(index && !index->isClosed());
        QVERIFY(!index->isVisible());
        QCOMPARE(AppleShowAPODIndex()->Text(), QStringLiteral("Show Index Drawer"));

        // Ctrl+I brings back the whole list, and Ctrl+Left steps to the next older day.
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
        QTest::keyClick(m_window, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(index->isVisible());
        QCOMPARE(IndexWindow::instance(), index);
        QCOMPARE(AppleShowAPODIndex()->Text(), QStringLiteral("Hide Index Drawer"));
        QCOMPARE(list()->ListCount(), m_site->days().size());
        QCOMPARE(list()->ListIndex(), 2);
        const int beeps = platform::BeepCount();
        step(Way::Key, false);
        waitForDay(3);
        QCOMPARE(platform::BeepCount(), beeps);

        m_window->AppleShowDetailsDrawer_Action();
        QPointer<DetailsWindow> details = platform::ExistingInstance<DetailsWindow>();
        QVERIFY(details && details->isVisible());
        const QString credit = details->CreditField->text();
        closeByTheWindowSystem(details);
        QVERIFY(details && !details->isClosed());
        QVERIFY(!details->isVisible());
        QCOMPARE(details->CreditField->text(), credit);
        QCOMPARE(AppleShowDetailsDrawer()->Text(), QStringLiteral("Show Details Drawer"));
        // The menu item shows it again, and its next choice closes it for good.
        m_window->AppleShowDetailsDrawer_Action();
        QVERIFY(details->isVisible());
        QCOMPARE(AppleShowDetailsDrawer()->Text(), QStringLiteral("Hide Details Drawer"));
        m_window->AppleShowDetailsDrawer_Action();
        QVERIFY(!details || details->isClosed());
        QCOMPARE(AppleShowDetailsDrawer()->Text(), QStringLiteral("Show Details Drawer"));

        // Quitting still closes a shown drawer.
        m_window->AppleShowDetailsDrawer_Action();
        details = platform::ExistingInstance<DetailsWindow>();
        QVERIFY(index->isVisible() && details->isVisible());
        Globals::DoQuit();
        QCOMPARE(m_quits, 1);
        QVERIFY(!index || index->isClosed());
        QVERIFY(!details || details->isClosed());
    }
};

STARWICK_TEST_MAIN(TestSteps)
#include "tst_steps.moc"
