#include "dialogs/updateneeded.h"

#include "dialogs/updatecheckwindow.h"
#include "platform/system.h"
#include "shell/servers.h"

#include <QPushButton>
#include <QUrl>

namespace Starwick {

UpdateNeeded::UpdateNeeded()
    : UpdateResultWindow(QStringLiteral("A new version of Starwick is available."), QString())
{
    setObjectName(QStringLiteral("UpdateNeeded"));
    PushButton1 = addButton("PushButton1", QStringLiteral("Download"), QRect(373, 86, 98, 20));
    setDefaultButton(PushButton1);
    connect(PushButton1, &QPushButton::clicked, this, &UpdateNeeded::PushButton1_Action);
    PushButton2 = addButton("PushButton2", QStringLiteral("Cancel"), QRect(289, 86, 72, 20));
    setCancelButton(PushButton2);
    connect(PushButton2, &QPushButton::clicked, this, &UpdateNeeded::PushButton2_Action);
    addControlOpenHandler([this] { PushButton2_Open(); });
    PushButton1->setFocus();
}

UpdateNeeded::~UpdateNeeded() = default;

UpdateNeeded* UpdateNeeded::instance()
{
    return platform::Instance<UpdateNeeded>();
}

QString UpdateNeeded::downloadURL()
{
    return QStringLiteral("http://") + MakerServer() + QStringLiteral("/downloads/software/Starwick.dmg");
}

void UpdateNeeded::PushButton1_Action()
{
    platform::OpenURL(QUrl(downloadURL()));
    close();
    if (UpdateCheckWindow* check = platform::ExistingInstance<UpdateCheckWindow>())
        check->close();
}

void UpdateNeeded::PushButton2_Open()
{
    // Cancel stands 12 pixels to the left of Download, whatever the captions' widths.
    const QRect download = PushButton1->geometry();
    PushButton2->move(download.left() - PushButton2->width() - 12, PushButton2->y());
}

void UpdateNeeded::PushButton2_Action()
{
    close();
}

} // namespace Starwick
