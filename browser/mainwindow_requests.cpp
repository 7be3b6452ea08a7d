// The main window's road of one picture: the archive page and the day list, the day page, the
// picture from the cache or the network, and the socket errors.
#include "browser/archivepage.h"
#include "browser/cachepurge.h"
#include "browser/daylistbox.h"
#include "browser/daypage.h"
#include "browser/httpalert.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "browser/pagetext.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/proxysetup.h"
#include "shell/servers.h"
#include "shell/settings.h"
#include "shell/windowmenuitem.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace Starwick {

namespace {

QString pictureSizeText(const platform::Picture& picture)
{
    return QStringLiteral("Download complete. Image is %1 x %2.").arg(picture.Width()).arg(picture.Height());
}

// The archive page lists every day since 1995 (close to a megabyte): it is decoded and split a
// piece at a time, with a yield after each piece, so the window stays responsive before the first
// row too. A piece ends after a line feed, and both steps read line by line, so the pieces give
// exactly what the whole page gives at once.
constexpr qsizetype kArchivePiece = 64 * 1024;

QString decodeArchivePage(const QByteArray& content)
{
    const QByteArrayView bytes(content);
    QString text;
    text.reserve(content.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        // Never start a piece with the bytes of a byte-order mark: only the page's own start drops it.
        qsizetype end = start;
        do {
            const qsizetype feed = bytes.indexOf('\n', std::max(end, start + kArchivePiece - 1));
            end = feed < 0 ? bytes.size() : feed + 1;
        } while (end < bytes.size() && bytes.sliced(end).startsWith("\xEF\xBB\xBF"));
        text += DecodePageText(QByteArray::fromRawData(content.constData() + start, end - start));
        start = end;
        platform::YieldToEventLoop();
    }
    return text;
}

QStringList splitArchiveBlock(QStringView block)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < block.size()) {
        const qsizetype feed = block.indexOf(u'\n', start + kArchivePiece - 1);
        const qsizetype end = feed < 0 ? block.size() : feed + 1;
        lines += SplitArchiveBlock(QString::fromRawData(block.constData() + start, end - start));
        start = end;
        platform::YieldToEventLoop();
    }
    return lines;
}

// Why a picture download that was under way did not end in a whole file.
QString pictureFailureText(const platform::HTTPSocket& socket)
{
    switch (socket.lastErrorCode()) {
    case platform::HTTPSocket::TimedOut:
        return QStringLiteral("The picture did not come: the server stopped sending. Try again later.");
    case platform::HTTPSocket::FileWriteFailed: {
        // The system's own words, as the end of a sentence: "no space left on device".
        QString reason = socket.lastFileError();
        if (!reason.isEmpty())
            reason[0] = reason[0].toLower();
        return reason.isEmpty() ? QStringLiteral("The picture could not be kept in the cache.")
                                : QStringLiteral("The picture could not be kept: %1.").arg(reason);
    }
    default:
        return QStringLiteral("The picture download was interrupted. Try again later.");
    }
}

} // namespace

void MainWindow::makeSockets()
{
    TCPSocket1 = new platform::HTTPSocket(this);
    TCPSocket1->setObjectName(QStringLiteral("TCPSocket1"));
    connect(TCPSocket1, &platform::HTTPSocket::Connected, this, &MainWindow::TCPSocket1_Connected);
    connect(TCPSocket1, &platform::HTTPSocket::ReceiveProgress, this, &MainWindow::TCPSocket1_ReceiveProgress);
    connect(TCPSocket1, &platform::HTTPSocket::PageReceived, this, &MainWindow::TCPSocket1_PageReceived);
    connect(TCPSocket1, &platform::HTTPSocket::Error, this, &MainWindow::TCPSocket1_Error);
    TCPSocket1->AuthenticationRequired = [this](QString& user, QString& password) {
        return TCPSocket1_AuthenticationRequired(user, password);
    };

    TCPSocket2 = new platform::HTTPSocket(this);
    TCPSocket2->setObjectName(QStringLiteral("TCPSocket2"));
    connect(TCPSocket2, &platform::HTTPSocket::ReceiveProgress, this, &MainWindow::TCPSocket2_ReceiveProgress);
    connect(TCPSocket2, &platform::HTTPSocket::DownloadComplete, this, &MainWindow::TCPSocket2_DownloadComplete);
    connect(TCPSocket2, &platform::HTTPSocket::Error, this, &MainWindow::TCPSocket2_Error);
    TCPSocket2->AuthenticationRequired = [this](QString& user, QString& password) {
        return TCPSocket2_AuthenticationRequired(user, password);
    };

    TCPSocket3 = new platform::HTTPSocket(this);
    TCPSocket3->setObjectName(QStringLiteral("TCPSocket3"));
    connect(TCPSocket3, &platform::HTTPSocket::Connected, this, &MainWindow::TCPSocket3_Connected);
    connect(TCPSocket3, &platform::HTTPSocket::PageReceived, this, &MainWindow::TCPSocket3_PageReceived);
    connect(TCPSocket3, &platform::HTTPSocket::Error, this, &MainWindow::TCPSocket3_Error);
    TCPSocket3->AuthenticationRequired = [this](QString& user, QString& password) {
        return TCPSocket3_AuthenticationRequired(user, password);
    };
}

void MainWindow::Open()
{
    if (WindowMenuItem* windowMenu = MenuBar1::instance()->windowMenu())
        windowMenu->AddWindowToMenu(this);
    AddMenuHandlers();
    Globals::DeactivateButtons();
    Timer1->SetMode(platform::Timer::ModeSingle);
    requestArchive();
}

bool MainWindow::FileConnect_Action()
{
    requestArchive();
    return false;
}

void MainWindow::requestArchive()
{
    proxySetup(TCPSocket1);
    TCPSocket1->Get(QStringLiteral("http://") + APODServer() + QStringLiteral("/apod/archivepix.html"));
}

void MainWindow::TCPSocket1_Connected()
{
    StatsText->setText(QStringLiteral("Connecting..."));
}

void MainWindow::TCPSocket1_ReceiveProgress(qint64 /*bytes*/, qint64 /*total*/, const QByteArray& /*data*/)
{
    StatsText->setText(QStringLiteral("Retrieving APOD data..."));
    ProgressBar1->setMaximum(0);
}

void MainWindow::TCPSocket1_PageReceived(const QString& /*url*/, int status,
                                         const platform::HTTPSocket::Headers& /*headers*/, const QByteArray& content)
{
    const platform::LongLoopScope scope;
    resetProgress();
    if (status >= 400 || TCPSocket1->lastErrorCode() != 0) {
        // A cut archive would list only some of the days, the last of them broken.
        StatsText->setText(
            status >= 400 ? QStringLiteral("The archive page could not be had (error %1). Try again later.").arg(status)
                          : QStringLiteral("The archive page arrived incomplete. Try again later."));
        return;
    }

    // The block is a view into the page: no copy of the whole list is made.
    const QString page = decodeArchivePage(content);
    if (isClosed())
        return;
    const QStringView block = FindArchiveDayBlock(page);
    platform::YieldToEventLoop();
    const QStringList lines = block.isNull() || isClosed() ? QStringList() : splitArchiveBlock(block);
    if (isClosed())
        return;
    // An answer without a single day line (an error page, a proxy's notice) is not an archive:
    // its text would only become rows that lead nowhere.
    if (std::none_of(lines.cbegin(), lines.cend(), IsDayLine)) {
        if (!isClosed())
            StatsText->setText(QStringLiteral("The archive page lists no days."));
        return;
    }
    DayListBox* list = IndexWindow::instance()->ListBox1;
    for (const QString& line : lines) {
        list->AddRow(line);
        platform::YieldToEventLoop();
        if (isClosed())
            return;
    }
    ParseURLs();
}

void MainWindow::ParseURLs()
{
    const platform::LongLoopScope scope;
    DayListBox* list = IndexWindow::instance()->ListBox1;
    const int n = list->ListCount();
    ArchiveLineParser parser(APODServer());
    for (int i = 0; i < n && i < list->ListCount(); ++i) {
        const ArchiveRow parsed = parser.parse(list->Cell(i, 0));
        list->SetCell(i, 1, parsed.pageURL);
        list->SetCell(i, 2, parsed.displayText);
        platform::YieldToEventLoop();
        if (isClosed())
            return;
    }
    if (list->ListCount() == 0) {
        // An archive answer without a single day (an error page, a changed site) leaves nothing to
        // request; say so instead of leaving the last progress text standing.
        StatsText->setText(QStringLiteral("The archive page lists no days."));
        return;
    }
    GetSelectedPage();
}

void MainWindow::GetSelectedPage()
{
    DayListBox* list = IndexWindow::instance()->ListBox1;
    // The index must name a row whose address is known; a click on a row that ParseURLs has not
    // reached yet requests nothing.
    if (Globals::LastIndex < 0 || Globals::LastIndex >= list->ListCount())
        return;
    list->SetListIndex(Globals::LastIndex);
    const QString url = list->Cell(Globals::LastIndex, 1);
    if (url.isEmpty())
        return;
    // Another day is asked for: the picture still on its way belongs to the day before, and so do
    // texts still being cut.
    TCPSocket2->Disconnect();
    ++m_daySerial;
    resetProgress();
    proxySetup(TCPSocket3);
    TCPSocket3->Get(url);
}

bool MainWindow::TCPSocket1_AuthenticationRequired(QString& user, QString& password)
{
    return answerAuthentication(TCPSocket1, user, password);
}

bool MainWindow::TCPSocket2_AuthenticationRequired(QString& user, QString& password)
{
    return answerAuthentication(TCPSocket2, user, password);
}

bool MainWindow::TCPSocket3_AuthenticationRequired(QString& user, QString& password)
{
    return answerAuthentication(TCPSocket3, user, password);
}

bool MainWindow::answerAuthentication(platform::HTTPSocket* socket, QString& user, QString& password)
{
    return answerProxyChallenge(*socket, user, password);
}

void MainWindow::TCPSocket3_Connected()
{
    StatsText->setText(QStringLiteral("Grabbing image..."));
}

void MainWindow::TCPSocket3_PageReceived(const QString& /*url*/, int status,
                                         const platform::HTTPSocket::Headers& /*headers*/, const QByteArray& content)
{
    if (status >= 400 || TCPSocket3->lastErrorCode() != 0) {
        // An error answer, or a page cut off or stalled on the way, is not the day's page: the day
        // stays chosen, shown as failed, and the user can step on past it.
        showFailedDay(dayPageFailure(status, TCPSocket3->lastErrorCode()), false);
        return;
    }
    const platform::LongLoopScope scope;
    // A new day's page: texts still being cut from the page before are out of date from now on.
    ++m_daySerial;
    Globals::DayHTML = DecodePageText(content);
    GetImageURLs();
}

QString MainWindow::dayPageFailure(int status, int errorCode)
{
    if (status >= 400)
        return QStringLiteral("The day's page could not be had (error %1). Try again later.").arg(status);
    if (errorCode == platform::HTTPSocket::TimedOut)
        return QStringLiteral("The day's page did not come: the server stopped sending. Try again later.");
    return QStringLiteral("The day's page arrived incomplete. Try again later.");
}

void MainWindow::showFailedDay(const QString& reason, bool pageCame)
{
    // Nothing of the day before may stay: no picture, no file to save or set, and, when the day's
    // page did not come, none of its texts either.
    p.reset();
    Globals::FileName = platform::FolderItem();
    fillPictureArea();
    showSelectedTitle();
    resetProgress();
    StatsText->setText(reason);
    SaveButton->setEnabled(false);
    SetButton->setEnabled(false);
    enableSteps();
    if (pageCame) {
        GetCredits();
        return;
    }
    ++m_daySerial;
    Globals::DayHTML.clear();
    Globals::Name.clear();
    Globals::ext.clear();
    Globals::PageCredits.clear();
    Globals::PageExplanation.clear();
    UpdateDetails();
}

void MainWindow::showSelectedTitle()
{
    DayListBox* list = IndexWindow::instance()->ListBox1;
    const int row = list->ListIndex();
    if (row >= 0)
        ImageName->setText(list->Cell(row, 2));
}

void MainWindow::GetImageURLs()
{
    const DayPicture picture = FindDayPicture(Globals::DayHTML, APODServer());
    Globals::ext = picture.ext;
    Globals::Name = picture.saveName;

    if (!picture.hasPicture()) {
        // A day without a picture (a video day, or a page whose picture reference is unsafe): its
        // title and texts show, Save and Set stay off, and nothing is looked up or downloaded.
        p.reset();
        Globals::FileName = platform::FolderItem();
        fillPictureArea();
        showSelectedTitle();
        StatsText->setText(QStringLiteral("This day has no picture to show."));
        resetProgress();
        enableSteps();
        GetCredits();
        return;
    }

    const platform::FolderItem file = CacheFolder().Child(picture.cacheName);
    if (file.Exists()) {
        QString error;
        if (platform::PictureRef cached = platform::Picture::Open(file.path(), &error)) {
            showPicture(std::move(cached), file);
            return;
        }
        p.reset();
        // A cache file that does not open as a picture (left by an interrupted run, or damaged)
        // is not the picture: remove it and fetch the picture again.
        file.Delete();
    }
    proxySetup(TCPSocket2);
    TCPSocket2->Get(picture.url, file);
}

void MainWindow::TCPSocket2_ReceiveProgress(qint64 bytes, qint64 total, const QByteArray& /*data*/)
{
    if (total <= 0) {
        // The server sent no length: show what has arrived, with a busy bar.
        StatsText->setText(
            QStringLiteral("Grabbing image: %1 KB received.").arg(QString::number(double(bytes) / 1024.0, 'f', 1)));
        ProgressBar1->setMaximum(0);
        return;
    }
    const double fraction = double(bytes) / double(total);
    StatsText->setText(QStringLiteral("Grabbing image: %1% of %2 KB complete.")
                           .arg(qRound(fraction * 100.0))
                           .arg(QString::number(double(total) / 1024.0, 'f', 1)));
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(static_cast<int>(fraction * 100.0));
}

void MainWindow::TCPSocket2_DownloadComplete(const QString& /*url*/, int status,
                                             const platform::HTTPSocket::Headers& /*headers*/,
                                             const platform::FolderItem& file)
{
    const platform::LongLoopScope scope;
    const int errorCode = TCPSocket2->lastErrorCode();
    if (file.isNull() || !file.Exists() || errorCode != 0) {
        // The transfer broke off; the socket kept nothing under the picture's name.
        showFailedDay(pictureFailureText(*TCPSocket2), true);
        return;
    }
    if (status >= 400) {
        // An error page in place of the picture: nothing of it is kept, so the next visit of the
        // day asks for the picture again.
        file.Delete();
        showFailedDay(QStringLiteral("The picture could not be had (error %1). Try again later.").arg(status), true);
        return;
    }
    QString error;
    platform::PictureRef picture = platform::Picture::Open(file.path(), &error);
    if (!picture) {
        // A damaged file or something else than a picture came: keep nothing in the cache, so the
        // next visit of the day asks for the picture again.
        file.Delete();
        showFailedDay(error == platform::Picture::IncompleteFileError()
                          ? QStringLiteral("The picture arrived incomplete. Try again later.")
                          : QStringLiteral("What the server sent is not a readable picture."),
                      true);
        return;
    }
    showPicture(std::move(picture), file);
}

void MainWindow::showPicture(platform::PictureRef picture, const platform::FolderItem& file)
{
    p = std::move(picture);
    factor = FitFactor(QSize(p->Width(), p->Height()), Canvas1->size());
    StatsText->setText(pictureSizeText(*p));
    drawPicture();
    showSelectedTitle();
    // The picture's state is set before the texts are cut, which hands control to the event loop.
    resetProgress();
    Globals::FileName = file;
    Globals::ActivateButtons();
    GetCredits();
}

void MainWindow::enableSteps()
{
    if (IndexWindow::instance()->ListBox1->ListIndex() > 0)
        NextButton->setEnabled(true);
    PreviousButton->setEnabled(true);
}

void MainWindow::ClearCache()
{
    const platform::LongLoopScope scope;
    PurgeCache();
}

void MainWindow::DeleteCache()
{
    // The one quit: the windows close (this one last), the frame is stored, the cache emptied when
    // the user asked for it, and the program ends with exit code 0.
    Globals::DoQuit();
}

bool MainWindow::AppleClearImageCache_Action()
{
    ClearCache();
    return false;
}

bool MainWindow::FileQuit_Action()
{
    DeleteCache();
    return false;
}

void MainWindow::TCPSocket1_Error(int code)
{
    HTTPAlert::ReportSocketError(*TCPSocket1, code);
}

void MainWindow::TCPSocket2_Error(int code)
{
    HTTPAlert::ReportSocketError(*TCPSocket2, code);
    // The day chosen has no picture to save, but the user can step on from it.
    showFailedDay(QStringLiteral("The picture could not be had (error %1). Try again later.").arg(code), true);
}

void MainWindow::TCPSocket3_Error(int code)
{
    HTTPAlert::ReportSocketError(*TCPSocket3, code);
    showFailedDay(QStringLiteral("The day's page could not be had (error %1). Try again later.").arg(code), false);
}

} // namespace Starwick
