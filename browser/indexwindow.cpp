#include "browser/indexwindow.h"

#include "browser/daylistbox.h"
#include "browser/mainwindow.h"
#include "platform/drawer.h"
#include "shell/menubar1.h"
#include "shell/resources.h"

#include <QLabel>

namespace Starwick {

using platform::Lock;

IndexWindow::IndexWindow()
    : platform::Window(nullptr, platform::drawerWindowFlags())
{
    setObjectName(QStringLiteral("IndexWindow"));
    SetTitle(QStringLiteral("APOD Index"));
    setContentSize(274, 473);
    setContentSizeLimits(QSize(274, 473), QSize(550, 32000));
    setVisibleWhenMade(false);

    ListBox1 = add(new DayListBox(content()), QRect(0, 0, 267, 473), Lock::All);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    connect(ListBox1, &DayListBox::Change, this, &IndexWindow::ListBox1_Change);

    // Closed by the window manager, the drawer is hidden as the menu item hides it: the day list
    // lives for the whole run.
    platform::keepOnClose(this, [] { AppleShowAPODIndex()->SetText(QStringLiteral("Show Index Drawer")); });
}

IndexWindow::~IndexWindow() = default;

IndexWindow* IndexWindow::instance()
{
    return platform::Instance<IndexWindow>();
}

void IndexWindow::ListBox1_Change()
{
    const int row = ListBox1->ListIndex();
    // The drawer belongs to the main window, which is there for the whole run.
    MainWindow* main = MainWindow::existing();
    if (row != -1 && main) {
        main->ImageName->setText(ListBox1->Cell(row, 2));
        main->StepTo(row);
    }
    PlayInterfaceSound(Tink());
}

} // namespace Starwick
