#include "shell/globals.h"

#include "browser/cachepurge.h"
#include "browser/daylistbox.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "shell/settings.h"

#include <QPushButton>
#include <QToolButton>

namespace Starwick::Globals {

namespace {
bool g_quitting = false;
} // namespace

void ResetForTesting()
{
    UserName.clear();
    Registered = false;
    DeleteCache = false;
    UseSounds = false;
    HideWarning = false;
    pAddress.clear();
    pPort = 0;
    pUserName.clear();
    pPassword.clear();
    UseProxy = false;
    FileTypeName.clear();
    wTop = wLeft = wWidth = wHeight = 0;
    PanelValue = 0;
    LastIndex = 0;
    DayHTML.clear();
    PageCredits.clear();
    PageExplanation.clear();
    Name.clear();
    ext.clear();
    FileName = platform::FolderItem();
    g_quitting = false;
}

void DeactivateButtons()
{
    MainWindow* window = MainWindow::existing();
    if (!window)
        return;
    window->NextButton->setEnabled(false);
    window->PreviousButton->setEnabled(false);
    window->SaveButton->setEnabled(false);
    window->SetButton->setEnabled(false);
}

void ActivateButtons()
{
    MainWindow* window = MainWindow::existing();
    if (!window)
        return;
    if (IndexWindow::instance()->ListBox1->ListIndex() > 0)
        window->NextButton->setEnabled(true);
    window->PreviousButton->setEnabled(true);
    window->SaveButton->setEnabled(true);
    window->SetButton->setEnabled(true);
}

void DoQuit()
{
    // One quit per run: the cache purge below hands control to the event loop, where another
    // quit may be asked for.
    if (g_quitting)
        return;
    g_quitting = true;
    // The windows closed below, the one whose handler asked for the quit among them, are released
    // only after this has returned, whatever the cache purge's yields run meanwhile.
    const platform::LongLoopScope scope;
    // Every window closes through its own Close, the main window last (Preferences saves there,
    // with the main window's frame); the closed main window's frame is still there to store.
    platform::CloseAllWindows(platform::CurrentInstance<MainWindow>());
    if (MainWindow* window = platform::CurrentInstance<MainWindow>()) {
        QString error;
        const SettingsUpdate update = UpdateSettingsFile(
            [window](SettingsLines& lines) {
                lines.setFrame(window->Top(), window->Left(), window->Width(), window->Height());
            },
            &error);
        if (update == SettingsUpdate::Failed)
            qWarning("The window's place could not be stored in the settings file: %s", qPrintable(error));
    }
    if (DeleteCache)
        PurgeCache();
    platform::Quit(0);
}

} // namespace Starwick::Globals
