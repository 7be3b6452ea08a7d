// The main window's Save and Set, and the timer that shows the desktop-picture warning.
#include "browser/mainwindow.h"
#include "dialogs/systemeventalert.h"
#include "platform/folderitem.h"
#include "platform/savedialog.h"
#include "platform/scripts.h"
#include "platform/system.h"
#include "shell/desktopscripts.h"
#include "shell/globals.h"
#include "shell/resources.h"

#include <QLabel>
#include <QList>

namespace Starwick {

namespace {

const QString kDesktopFolderName = QStringLiteral("Starwick Images");

// Makes `folder` and every missing folder above it.
bool makeFolders(const platform::FolderItem& folder, QString* error)
{
    QList<platform::FolderItem> missing;
    for (platform::FolderItem item = folder; !item.isNull() && !item.Exists(); item = item.Parent())
        missing.prepend(item);
    for (const platform::FolderItem& item : missing) {
        if (!item.CreateAsFolder(error))
            return false;
    }
    return folder.Directory();
}

// The shown picture's file is gone when the cache was emptied after it was shown.
bool pictureIsThere(const platform::FolderItem& picture, QString* reason)
{
    if (!picture.isNull() && picture.Exists() && !picture.Directory())
        return true;
    *reason = QStringLiteral("the picture is gone; show the day again.");
    return false;
}

// The desktop script's own statuses: 1 it found no picture at the path it was given, 2 it cannot
// tell this desktop or the desktop's tool is missing, 3 the part of the desktop that shows its
// picture is not running; 4 and above the desktop's tool refused the picture.
QString desktopScriptFailure(int exitCode)
{
    switch (exitCode) {
    case 1:
        return QStringLiteral("Not set: the desktop script found no copy of the picture in \"%1\".")
            .arg(kDesktopFolderName);
    case 2:
        return QStringLiteral("Not set: Starwick cannot set the picture of this desktop.");
    case 3:
        return QStringLiteral("Not set: the desktop is not running the part that shows its picture.");
    case platform::ScriptService::kNotRun:
        return QStringLiteral("Not set: the desktop script did not run.");
    default:
        return QStringLiteral("Not set: the desktop refused the picture (status %1).").arg(exitCode);
    }
}

} // namespace

void MainWindow::SaveButton_Action()
{
    SavePicture(true);
}

void MainWindow::SavePicture(bool withCreatorCode)
{
    // The picture shown when the user asked; another may arrive while the dialog is open.
    const platform::FolderItem picture = Globals::FileName;
    QString error;
    // A picture emptied from the cache is told at the press, before any name is asked for.
    if (!pictureIsThere(picture, &error)) {
        reportFailure(QStringLiteral("Not saved: %1").arg(error));
        return;
    }
    const platform::FolderItem destination =
        platform::GetSaveFolderItem(QString(), platform::SuggestedSaveName(Globals::Name, picture.Name()));
    if (destination.isNull())
        return;
    if (!pictureIsThere(picture, &error) || !picture.CopyFileTo(destination, &error)) {
        reportFailure(QStringLiteral("Not saved: %1").arg(error));
        return;
    }
    if (withCreatorCode)
        destination.SetMacCreator(Globals::FileTypeName);
    PlayInterfaceSound(Saved());
}

void MainWindow::SetButton_Action()
{
    const platform::FolderItem picture = Globals::FileName;
    QString error;
    if (!pictureIsThere(picture, &error)) {
        reportFailure(QStringLiteral("Not set: %1").arg(error));
        return;
    }
    const platform::FolderItem folder = platform::FolderItem::PicturesFolder().Child(kDesktopFolderName);
    if (folder.isNull() || !makeFolders(folder, &error)) {
        reportFailure(QStringLiteral("Not set: the folder \"%1\" cannot be made. %2").arg(kDesktopFolderName, error));
        return;
    }
    // The copy bears the cache file's name; an older copy of that name may be another picture,
    // so it is replaced (whole, never half written).
    if (!pictureIsThere(picture, &error) || !picture.CopyFileTo(folder, &error)) {
        reportFailure(QStringLiteral("Not set: %1").arg(error));
        return;
    }
    // The script is given the copy's full path, so that it never looks for the folder on its own.
    const QString copy = folder.Child(picture.Name()).path();
    m_desktopNamesPending.append(copy);
    SetDTPic({copy});
}

void MainWindow::desktopScriptFinished(int scriptId, const QStringList& arguments, int exitCode)
{
    // The script runs on its own; its answer comes back here whenever it ends.
    if (scriptId != SetDTPicScript || arguments.size() != 1 || !m_desktopNamesPending.removeOne(arguments.first()))
        return;
    if (exitCode == 0)
        PlayInterfaceSound(SaveToDT());
    else
        reportFailure(desktopScriptFailure(exitCode));
}

void MainWindow::reportFailure(const QString& text)
{
    platform::Beep();
    StatsText->setText(text);
}

void MainWindow::Timer1_Action()
{
    // Read when the timer fires: start-up has read the settings by then.
    if (Globals::HideWarning)
        return;
    SystemEventAlert::instance()->Show();
}

} // namespace Starwick
