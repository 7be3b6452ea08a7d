// The day's credit and explanation, cut from the day page into the details drawer.
#include "browser/daylistbox.h"
#include "browser/daypage.h"
#include "browser/detailswindow.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "browser/pagetext.h"
#include "platform/drawer.h"
#include "platform/eventloop.h"
#include "platform/menuitem.h"
#include "shell/globals.h"
#include "shell/menubar1.h"

namespace Starwick {

QString MainWindow::ClearHTML(const QString& text)
{
    return Starwick::ClearHTML(text, platform::YieldToEventLoop);
}

// The cuts hand control to the event loop once per tag; when another day was asked for meanwhile
// (or the window closed), what they found belongs to a day no longer shown and is dropped.
void MainWindow::GetCredits()
{
    const platform::LongLoopScope scope;
    const int day = m_daySerial;
    const QString credits = CutCredits(Globals::DayHTML, platform::YieldToEventLoop);
    if (day != m_daySerial || isClosed())
        return;
    Globals::PageCredits = credits;
    GetExplanation();
}

void MainWindow::GetExplanation()
{
    const platform::LongLoopScope scope;
    const int day = m_daySerial;
    const QString explanation = CutExplanation(Globals::DayHTML, platform::YieldToEventLoop);
    if (day != m_daySerial || isClosed())
        return;
    Globals::PageExplanation = explanation;
    UpdateDetails();
}

void MainWindow::fillDetails(DetailsWindow* details)
{
    DayListBox* list = IndexWindow::instance()->ListBox1;
    const int row = list->ListIndex();
    details->showTexts(Globals::PageCredits, row >= 0 ? list->Cell(row, 1) : QString(), Globals::PageExplanation);
}

void MainWindow::UpdateDetails()
{
    fillDetails(DetailsWindow::instance());
}

bool MainWindow::AppleShowDetailsDrawer_Action()
{
    DetailsWindow* open = platform::ExistingInstance<DetailsWindow>();
    if (!open || !open->isVisible()) {
        DetailsWindow* details = DetailsWindow::instance();
        fillDetails(details);
        platform::showAsDrawer(details, this, 2);
        AppleShowDetailsDrawer()->SetText(QStringLiteral("Hide Details Drawer"));
    } else {
        platform::closeDrawer(open);
        AppleShowDetailsDrawer()->SetText(QStringLiteral("Show Details Drawer"));
    }
    return false;
}

} // namespace Starwick
