#include "shell/app.h"

#include "browser/mainwindow.h"
#include "dialogs/aboutbox.h"
#include "dialogs/updatecheckwindow.h"
#include "platform/folderitem.h"
#include "platform/menuitem.h"
#include "platform/savedialog.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "shell/filetypes.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/resources.h"
#include "shell/servers.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <cmath>

namespace Starwick {

Q_LOGGING_CATEGORY(lcApp, "starwick.app")

namespace {
App* g_app = nullptr;

const QStringList& creatorCodes()
{
    static const QStringList codes{QStringLiteral("GKON"), QStringLiteral("MeSa"), QStringLiteral("8BIM"),
                                   QStringLiteral("prvw")};
    return codes;
}
} // namespace

App::App()
{
    g_app = this;
}

App::~App()
{
    if (g_app == this)
        g_app = nullptr;
}

App* App::instance()
{
    return g_app;
}

void App::Open()
{
    // Folders: made at every launch; one that exists already is left as it is (the settings
    // writers narrow an older, open settings folder). The Preferences folder itself may be
    // missing in a new home, so it is made first. Each is made for its owner alone: the settings
    // folder holds the proxy password, and the cache lies inside it.
    constexpr auto ownerOnly = platform::FileAccess::OwnerOnly;
    platform::FolderItem::PreferencesFolder().CreateAsFolder(nullptr, ownerOnly);
    SettingsFolder().Parent().CreateAsFolder(nullptr, ownerOnly);
    SettingsFolder().CreateAsFolder(nullptr, ownerOnly);
    CacheFolder().CreateAsFolder(nullptr, ownerOnly);
    RemoveSettingsLeftovers();

    Globals::PanelValue = 0;

    m_settingsProblem.clear();
    if (SettingsFile().Exists()) {
        SettingsFileStatus status = SettingsFileStatus::Read;
        QString error;
        const SettingsLines lines = ReadSettingsFile(&status, &error);
        if (status == SettingsFileStatus::Unreadable) {
            // The run goes on with the values of an empty file; the file itself is left alone.
            m_settingsProblem = error;
            qCWarning(lcApp, "The settings file could not be read: %s", qPrintable(error));
        }
        applySettings(lines);
    } else {
        // First launch: the default file is written, but its values take effect only at the next
        // launch; this run keeps the initial values and the window its layout frame.
        QString error;
        if (!WriteDefaultSettingsFile(&error)) {
            m_settingsProblem = error;
            qCWarning(lcApp, "The settings file could not be written: %s", qPrintable(error));
        }
    }

    Globals::LastIndex = 0;
}

void App::applySettings(const SettingsLines& lines)
{
    Globals::wTop = lines.number(SettingsLine::Top);
    Globals::wLeft = lines.number(SettingsLine::Left);
    Globals::wWidth = lines.number(SettingsLine::Width);
    Globals::wHeight = lines.number(SettingsLine::Height);

    const QString owner = lines.value(SettingsLine::UserName);
    Globals::Registered = owner != QLatin1String("Not Personalized") && !owner.isEmpty();
    Globals::UserName = owner;

    // The version check at launch: the check window is made hidden and its timer armed.
    if (lines.isOn(SettingsLine::CheckForUpdates))
        UpdateCheckWindow::instance()->Timer1->SetMode(platform::Timer::ModeSingle);

    Globals::DeleteCache = lines.isOn(SettingsLine::DeleteCache);
    Globals::UseSounds = lines.isOn(SettingsLine::UseSounds);
    Globals::HideWarning = lines.isOn(SettingsLine::HideWarning);
    Globals::pAddress = lines.value(SettingsLine::ProxyAddress);
    Globals::pPort = lines.number(SettingsLine::ProxyPort);
    Globals::pUserName = lines.value(SettingsLine::ProxyUserName);
    Globals::pPassword = lines.value(SettingsLine::ProxyPassword);
    Globals::UseProxy = lines.isOn(SettingsLine::UseProxy);
    const QString creator = lines.value(SettingsLine::FileType);
    if (creatorCodes().contains(creator))
        Globals::FileTypeName = creator;

    MainWindow* window = MainWindow::instance();
    const bool rememberPosition = lines.isOn(SettingsLine::RememberPosition);
    if (rememberPosition) {
        window->SetTop(Globals::wTop);
        window->SetLeft(Globals::wLeft);
    }
    if (lines.isOn(SettingsLine::RememberSize)) {
        window->SetWidth(Globals::wWidth);
        window->SetHeight(Globals::wHeight);
    }
    if (!rememberPosition) {
        const QRect screen = platform::ScreenAvailableGeometry();
        const double left = double(screen.width()) / 2.0 - double(window->Width()) / 2.0;
        window->SetLeft(screen.left() + static_cast<int>(std::lround(left)));
    }
    // A frame remembered on a larger screen, or on one that is gone, would leave the window partly
    // out of reach: it comes onto this screen, shrunk where it is larger. One that fits stays as
    // stored.
    if (rememberPosition || lines.isOn(SettingsLine::RememberSize))
        window->moveOntoScreen();
}

void App::EnableMenuItems()
{
    const MainWindow* window = MainWindow::existing();
    FileSave()->SetEnabled(window && window->SaveButton->isEnabled());
    AppleShowAPODIndex()->SetVisible(true);
    FileConnect()->SetVisible(false);
}

bool App::AppleCheckforUpdates_Action()
{
    UpdateCheckWindow::instance()->Show();
    return false;
}

bool App::AppleAboutStarwick_Action()
{
    AboutBox::instance()->Show();
    return false;
}

void App::registerMenuHandlers()
{
    MenuBar1* bar = MenuBar1::instance();
    bar->addHandlers<App>(this, {
                                    {"AppleCheckforUpdates", &App::AppleCheckforUpdates_Action},
                                    {"AppleAboutStarwick", &App::AppleAboutStarwick_Action},
                                    {"FileSave", &App::FileSave_Action},
                                    {"LinksStarwickHome", &App::LinksStarwickHome_Action},
                                    {"LinksEmailVessik", &App::LinksEmailVessik_Action},
                                    {"LinksNASAs", &App::LinksNASAs_Action},
                                });
    bar->setEnableMenuItemsHook([this] { EnableMenuItems(); });
}

bool App::FileSave_Action()
{
    // The same save as the main window's Save button, without the creator code.
    if (MainWindow* window = MainWindow::existing())
        window->SavePicture(false);
    return false;
}

bool App::LinksStarwickHome_Action()
{
    platform::OpenURL(QUrl(QStringLiteral("http://") + MakerServer() + QStringLiteral("/")));
    return false;
}

bool App::LinksEmailVessik_Action()
{
    platform::OpenURL(QUrl(QStringLiteral("mailto:") + MakerContactAddress() + QStringLiteral("?subject=Starwick ") +
                           AppVersion() + QStringLiteral("...")));
    return false;
}

bool App::LinksNASAs_Action()
{
    platform::OpenURL(QUrl(QStringLiteral("http://") + APODServer() + QStringLiteral("/apod/lib/aptree.html")));
    return false;
}

int RunStarwick(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Starwick"));
    QApplication::setApplicationVersion(AppVersion());
    QApplication::setDesktopFileName(QStringLiteral("starwick"));

    FileTypes::Initialize();
    App app;
    MenuBar1::instance();
    app.registerMenuHandlers();
    if (const platform::PictureRef icon = IconImage())
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon->composed())));

    // The main window is the default window: made now, opened once the event loop runs, right
    // after the application's Open has placed it and loaded the settings its requests use.
    MainWindow* window = platform::MakeInstance<MainWindow>();
    QTimer::singleShot(0, &app, [&app, window] {
        app.Open();
        window->completeOpening();
    });
    return QApplication::exec();
}

} // namespace Starwick
