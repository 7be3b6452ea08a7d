#pragma once

#include "platform/window.h"

#include <QString>

#include <optional>

QT_BEGIN_NAMESPACE
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
QT_END_NAMESPACE

namespace Starwick {

namespace platform {
class Toolbar;
}

/// The Preferences window: three pages (General, Files, Network) chosen from its toolbar, with no
/// OK and no Cancel button. It loads its controls from the settings file when it opens; however
/// it closes, it writes every setting back and puts the values that act at once into Globals.
/// At most one exists; a closed one is gone, and the next instance() reads the file again.
class Preferences : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(Preferences)

public:
    /// The open Preferences window, or a new one made (and shown) now.
    static Preferences* instance();
    /// The open Preferences window, or nullptr; makes nothing.
    static Preferences* existing();

    Preferences();
    ~Preferences() override;

    platform::Toolbar* Toolbar1 = nullptr;
    QAction* ToolbarItem1 = nullptr; ///< "General", page 0
    QAction* ToolbarItem2 = nullptr; ///< "Files", page 1
    QAction* ToolbarItem3 = nullptr; ///< "Network", page 2
    QStackedWidget* PagePanel1 = nullptr;
    QCheckBox* UpdateCheck = nullptr;
    QCheckBox* DelCacheCheck = nullptr;
    QCheckBox* UseSoundsCheck = nullptr;
    QCheckBox* WindowPosCheck = nullptr;
    QCheckBox* WindowSizeCheck = nullptr;
    QLabel* StaticText5 = nullptr;
    QComboBox* TypePopup = nullptr;
    QCheckBox* UseProxyCheck = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText3 = nullptr;
    QLabel* StaticText4 = nullptr;
    QLineEdit* pAddressField = nullptr;
    QLineEdit* pPortField = nullptr;
    QLineEdit* pUsernameField = nullptr;
    QLineEdit* pPasswordField = nullptr;

    /// The content height of each page: General, Files, Network.
    static int pageHeight(int page);
    /// The content size of the window as laid out, before Open gives it its page's height.
    static constexpr int kWidth = 364;
    static constexpr int kLayoutHeight = 337;
    /// How far Open moves the window down from where it was made.
    static constexpr int kOpenDrop = 54;

    void ToolbarItem1_Action();
    void ToolbarItem1_Open();
    void ToolbarItem2_Open();
    void ToolbarItem2_Action();
    void ToolbarItem3_Open();
    void ToolbarItem3_Action();
    void UseProxyCheck_Action();
    bool KeyDown(const QString& key) override;
    void Close() override;
    void Open() override;

private:
    /// Resizes the window to `page`'s height, shows the page and titles the window after it;
    /// false, with nothing more done, when the window was closed while it resized.
    bool showPage(int page);
    /// Loads the controls from this run's Globals, when there is no settings file to load them
    /// from, so that a close without a change leaves the run's values as they are.
    void loadFromGlobals();
    /// Tells the user, with a beep and in the main window's status line, that the close could
    /// not store the settings.
    static void reportSaveFailure(const QString& cause);

    /// Set when the controls came from Globals: the run's creator code (it may be empty, or one
    /// that no row stands for) and the row shown for it. The run keeps that code unless the row
    /// is changed.
    std::optional<QString> m_runCreator;
    int m_runCreatorRow = 0;
};

} // namespace Starwick
