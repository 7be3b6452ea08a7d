#include "dialogs/updateresultwindow.h"

#include "dialogs/updatecheckwindow.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/picturecanvas.h"
#include "shell/resources.h"

#include <QLabel>
#include <QPushButton>

namespace Starwick {

using platform::Lock;

UpdateResultWindow::UpdateResultWindow(const QString& heading, const QString& message)
    : platform::MovableModalWindow(Placement::CentredOnScreen, CloseBox::None)
{
    setContentSize(491, 126);
    setContentSizeLimits(QSize(491, 126), QSize(491, 126));

    Canvas1 = AddPictureCanvas(this, "Canvas1", QRect(20, 20, 64, 64), IconImage, IconMask);
    QFont bold = platform::SystemFont();
    bold.setBold(true);
    StaticText1 =
        add(platform::MakeStaticText(content(), "StaticText1", heading, bold), QRect(96, 20, 375, 20), Lock::None);
    MessageText = add(platform::MakeStaticText(content(), "MessageText", message, smallFont(), true),
                      QRect(96, 44, 375, 30), Lock::None);
}

UpdateResultWindow::~UpdateResultWindow() = default;

QPushButton* UpdateResultWindow::addButton(const char* name, const QString& caption, const QRect& rect)
{
    return add(platform::MakePushButton(content(), name, caption), rect, Lock::None);
}

void UpdateResultWindow::Open()
{
    // The check has its answer: its window goes, whether it was shown or hidden. Only an open one
    // is closed; none is made for it.
    if (UpdateCheckWindow* check = platform::ExistingInstance<UpdateCheckWindow>())
        check->close();
    platform::Beep();
}

bool UpdateResultWindow::KeyDown(const QString& key)
{
    if (platform::CommandKeyDown() && key == QLatin1String("w"))
        platform::Beep();
    return false;
}

} // namespace Starwick
