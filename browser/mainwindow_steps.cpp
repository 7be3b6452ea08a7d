// The main window's steps between days: Next and Previous, the Ctrl keys, and the stop of the
// picture download.
#include "browser/daylistbox.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/scripts.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/resources.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace Starwick {

namespace {

constexpr QChar kLeftArrow(28);
constexpr QChar kRightArrow(29);

} // namespace

void MainWindow::bindStepsAndSaving()
{
    connect(NextButton, &QToolButton::clicked, this, &MainWindow::NextButton_Action);
    connect(PreviousButton, &QToolButton::clicked, this, &MainWindow::PreviousButton_Action);
    connect(SaveButton, &QPushButton::clicked, this, &MainWindow::SaveButton_Action);
    connect(SetButton, &QPushButton::clicked, this, &MainWindow::SetButton_Action);
    Timer1->Action = [this] { Timer1_Action(); };
    // The desktop script's answer to Set arrives whenever the script ends.
    connect(platform::ScriptService::instance(), &platform::ScriptService::finished, this,
            &MainWindow::desktopScriptFinished);
}

void MainWindow::NextButton_Action()
{
    // Row 0 is the newest day; on an empty list the index is 0 as well.
    if (Globals::LastIndex <= 0) {
        platform::Beep();
        return;
    }
    PlayInterfaceSound(Tink());
    StepTo(Globals::LastIndex - 1);
}

void MainWindow::PreviousButton_Action()
{
    if (Globals::LastIndex + 1 >= IndexWindow::instance()->ListBox1->ListCount()) {
        platform::Beep();
        return;
    }
    PlayInterfaceSound(Tink());
    StepTo(Globals::LastIndex + 1);
}

void MainWindow::StepTo(int row)
{
    Globals::DeactivateButtons();
    // The picture of the day before goes with it: until this day's picture shows, there is
    // nothing to save or set.
    p.reset();
    Globals::FileName = platform::FolderItem();
    fillPictureArea();
    Globals::LastIndex = row;
    GetSelectedPage();
}

bool MainWindow::KeyDown(const QString& key)
{
    if (!platform::CommandKeyDown())
        return false;
    if (key.compare(QLatin1String("w"), Qt::CaseInsensitive) == 0)
        DeleteCache();
    else if (key == QLatin1String("."))
        stopPictureDownload();
    else if (key == kRightArrow)
        NextButton_Action();
    else if (key == kLeftArrow)
        PreviousButton_Action();
    return false;
}

void MainWindow::stopPictureDownload()
{
    if (!TCPSocket2->isBusy())
        return;
    // The download goes into a temporary file that replaces the cache file only when it is whole,
    // so dropping it leaves nothing behind. The day stays chosen, without a picture.
    TCPSocket2->Disconnect();
    showFailedDay(QStringLiteral("The picture download was stopped."), true);
}

} // namespace Starwick
