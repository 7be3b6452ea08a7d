#pragma once

#include "platform/canvas.h"
#include "platform/httpsocket.h"
#include "platform/picture.h"
#include "platform/timer.h"
#include "platform/window.h"

QT_BEGIN_NAMESPACE
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
QT_END_NAMESPACE

namespace Starwick {

class DetailsWindow;

/// The application's one document window: the framed picture area with the day's title above it,
/// Previous and Next below it, the status line with its progress bar, Save and Set, the warning
/// timer and the three HTTP requests of the picture browser. Made at start-up through instance()
/// and kept until the program quits.
class MainWindow : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(MainWindow)

public:
    /// The single main window, made (and opened) on the first call.
    static MainWindow* instance();
    /// The main window when it exists, else nullptr; makes nothing.
    static MainWindow* existing();

    MainWindow();
    ~MainWindow() override;

    /// The picture shown (nullptr before the first picture and after a file that did not open).
    platform::PictureRef p;
    /// The scale at which `p` is drawn.
    double factor = 0;

    // Controls, in the order the window makes them.
    platform::Canvas* BGCanvas = nullptr;
    platform::Canvas* IW2 = nullptr;
    platform::Canvas* IW3 = nullptr;
    platform::Canvas* IW4 = nullptr;
    platform::Canvas* Canvas1 = nullptr;
    QLabel* ImageName = nullptr;
    QFrame* Separator1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatsText = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* SetButton = nullptr;
    platform::Timer* Timer1 = nullptr;
    platform::Canvas* IW1 = nullptr;
    platform::Canvas* IW4a = nullptr;
    platform::Canvas* IW1a = nullptr;
    platform::Canvas* IW2a = nullptr;
    platform::Canvas* IW3a = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    platform::HTTPSocket* TCPSocket1 = nullptr; ///< the archive page
    platform::HTTPSocket* TCPSocket2 = nullptr; ///< the picture, into the cache
    platform::HTTPSocket* TCPSocket3 = nullptr; ///< the day page

    /// Re-fits `p` to the picture area, clears the area to grey and draws `p` centred.
    void RedrawImage();

    /// The scale that fits a picture of `pictureSize` to an area of `areaSize`: wide pictures by
    /// width, tall and square ones by height.
    static double FitFactor(const QSize& pictureSize, const QSize& areaSize);
    /// Where a picture of `pictureSize` drawn at `scale` stands, centred in `areaSize`.
    static QRect DrawnRect(const QSize& pictureSize, double scale, const QSize& areaSize);

    /// The grey of the picture area.
    static QColor areaGrey() { return QColor(243, 243, 243); }

    void Resizing() override;
    void Resized() override;
    void Open() override;
    void Close() override;

    // The archive page and the day list.
    void TCPSocket1_Connected();
    void TCPSocket1_ReceiveProgress(qint64 bytes, qint64 total, const QByteArray& data);
    void TCPSocket1_PageReceived(const QString& url, int status, const platform::HTTPSocket::Headers& headers,
                                 const QByteArray& content);
    bool TCPSocket1_AuthenticationRequired(QString& user, QString& password);
    void ParseURLs();
    void GetSelectedPage();
    bool FileConnect_Action();

    // The day page, the picture and the cache.
    void TCPSocket3_Connected();
    void TCPSocket3_PageReceived(const QString& url, int status, const platform::HTTPSocket::Headers& headers,
                                 const QByteArray& content);
    bool TCPSocket3_AuthenticationRequired(QString& user, QString& password);
    void GetImageURLs();
    void TCPSocket2_ReceiveProgress(qint64 bytes, qint64 total, const QByteArray& data);
    void TCPSocket2_DownloadComplete(const QString& url, int status, const platform::HTTPSocket::Headers& headers,
                                     const platform::FolderItem& file);
    bool TCPSocket2_AuthenticationRequired(QString& user, QString& password);
    void ClearCache();
    void DeleteCache();
    bool AppleClearImageCache_Action();
    bool FileQuit_Action();

    // Socket errors, reported in the error alert; a failed step leaves Next and Previous usable.
    void TCPSocket1_Error(int code);
    void TCPSocket2_Error(int code);
    void TCPSocket3_Error(int code);

    // The day's details and the drawers.
    void GetCredits();
    void GetExplanation();
    void UpdateDetails();
    QString ClearHTML(const QString& text);
    bool AppleShowDetailsDrawer_Action();
    bool AppleShowAPODIndex_Action();

    // Menus: the owner-name sheet, Preferences, the donation pages, and the items kept up to date.
    void EnableMenuItems() override;
    bool ApplePersonalizethisCopy_Action();
    bool FilePreferences_Action();
    bool MakeaDonationDonateviaKagi_Action();
    bool MakeaDonationDonateviaPayPal_Action();

private:
    void makeSockets();
    void requestArchive();
    void AddMenuHandlers();
    bool answerAuthentication(platform::HTTPSocket* socket, QString& user, QString& password);
    void showSelectedTitle();
    void enableSteps();
    void fillDetails(DetailsWindow* details);

    /// A step whose day page or picture failed: the day stays chosen with its title and link, the
    /// picture area grey, `reason` in the status line, Save and Set off, Next and Previous on. The
    /// details hold the day's texts when `pageCame`, else they are emptied.
    void showFailedDay(const QString& reason, bool pageCame);
    /// The status text for a day page that came as an error answer or did not come whole.
    static QString dayPageFailure(int status, int errorCode);

    /// Counts the day pages received, so that work for an earlier page can tell it is out of date.
    int m_daySerial = 0;

    void BGCanvas_Paint(platform::Graphics& g);
    void Canvas1_Paint(platform::Graphics& g);
    /// Draws `p` at the current `factor`, centred, through Canvas1's own graphics.
    void drawPicture();
    void centrePreviousNext();

    platform::Canvas* makeEdge(const QRect& rect, platform::Locks locks, platform::PictureRef picture);
    platform::Canvas* makeCorner(const QRect& rect, platform::Locks locks, platform::PictureRef (*picture)(),
                                 platform::PictureRef (*mask)());

    // Stepping between days, saving and setting the picture, and the warning timer.
public:
    void NextButton_Action();
    void PreviousButton_Action();
    /// Ctrl+W quits, Ctrl+. stops the picture download, Ctrl+Right and Ctrl+Left step; always false.
    bool KeyDown(const QString& key) override;
    void SaveButton_Action();
    void SetButton_Action();
    void Timer1_Action();

    /// The one way to save a copy of the shown picture, for the Save button and File > Save: asks
    /// where, copies the picture's file there and says so, or beeps and says what failed.
    /// `withCreatorCode` gives the copy the creator code of the settings.
    void SavePicture(bool withCreatorCode);
    /// A step to the row `row` of the day list: the buttons off, the picture of the day before and
    /// its file dropped, the picture area grey, the day's page asked for.
    void StepTo(int row);

private:
    void bindStepsAndSaving();
    /// Ctrl+.: drops the picture download in progress; the day stays chosen, shown as failed.
    void stopPictureDownload();
    /// A save or set that failed: the beep and the reason in the status line.
    void reportFailure(const QString& text);
    void desktopScriptFinished(int scriptId, const QStringList& arguments, int exitCode);
    /// A picture opened from `file` is shown: fitted, drawn, titled, its file current, the buttons
    /// on; then the day's texts are cut.
    void showPicture(platform::PictureRef picture, const platform::FolderItem& file);
    void drawPicture(platform::Graphics& g);
    /// Clears the picture area to grey.
    void fillPictureArea();
    /// Empties the progress bar.
    void resetProgress();

    /// Names of copies handed to the desktop script whose answer has not come yet.
    QStringList m_desktopNamesPending;
};

} // namespace Starwick
