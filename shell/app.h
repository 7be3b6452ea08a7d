#pragma once

#include "shell/settings.h"

#include <QObject>
#include <QString>

namespace Starwick {

/// The application object: it prepares the settings and cache folders and loads the settings
/// when the event loop starts (Open), keeps three menu items in step with the main window
/// (EnableMenuItems), and handles the application-level menu items. One exists per run.
class App : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(App)

public:
    App();
    ~App() override;

    /// The running application object (nullptr before it is made).
    static App* instance();

    /// Runs once when the event loop starts.
    void Open();
    /// Runs whenever the menus are brought up to date.
    void EnableMenuItems();

    bool AppleCheckforUpdates_Action();
    bool AppleAboutStarwick_Action();
    bool FileSave_Action();
    bool LinksStarwickHome_Action();
    bool LinksEmailVessik_Action();
    bool LinksNASAs_Action();

    /// Binds the application's menu handlers to their items by name, and its EnableMenuItems to
    /// the menu bar's enabling pass.
    void registerMenuHandlers();

    /// Why the settings file could not be read at launch; empty when it could (or did not exist).
    QString settingsProblem() const { return m_settingsProblem; }

private:
    void applySettings(const SettingsLines& lines);

    QString m_settingsProblem;
};

/// The program: start-up, the event loop, and the exit code it ends with.
int RunStarwick(int argc, char* argv[]);

} // namespace Starwick
