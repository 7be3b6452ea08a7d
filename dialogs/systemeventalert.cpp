#include "dialogs/systemeventalert.h"

#include "platform/controls.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/desktopscripts.h"
#include "shell/globals.h"
#include "shell/picturecanvas.h"
#include "shell/resources.h"
#include "shell/settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>

namespace Starwick {

namespace {

Q_LOGGING_CATEGORY(lcWarning, "starwick.warning")

// Two paragraphs, apart by two carriage returns, and a blank at the end.
const QString kMessage =
    QStringLiteral("Due to a limitation (aka \"bug\") in OS X, if you have your Desktop Preferences set to change the "
                   "Desktop picture automatically, I won't be able to update your image for you!\r\rTo \"fix\" it so "
                   "that I can set your desktop picture, open your Desktop Preference pane in the System Preferences "
                   "and uncheck the \"Change picture\" check box. ");

} // namespace

using platform::Lock;

SystemEventAlert::SystemEventAlert()
    : platform::MovableModalWindow(Placement::OverParent)
{
    setObjectName(QStringLiteral("SystemEventAlert"));
    setContentSize(511, 191);
    setContentSizeLimits(QSize(64, 64), QSize(32000, 32000));

    Canvas1 = AddPictureCanvas(this, "Canvas1", QRect(20, 20, 64, 64), IconImage, IconMask);

    QFont bold = platform::SystemFont();
    bold.setBold(true);
    StaticText1 = add(platform::MakeStaticText(content(), "StaticText1",
                                               QStringLiteral("Starwick may not set your desktop picture!"), bold),
                      QRect(96, 20, 395, 20), Lock::None);
    // A static text shows a carriage return as no break at all; the paragraphs need line feeds.
    QString message = kMessage;
    message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    MessageText = add(platform::MakeStaticText(content(), "MessageText", message, smallFont(), true),
                      QRect(96, 44, 388, 94), Lock::None);

    PushButton2 = add(platform::MakePushButton(content(), "PushButton2", QStringLiteral("OK")), QRect(419, 150, 72, 20),
                      Lock::None);
    setDefaultButton(PushButton2);
    connect(PushButton2, &QPushButton::clicked, this, &SystemEventAlert::PushButton2_Action);

    PushButton3 = add(platform::MakePushButton(content(), "PushButton3", QStringLiteral("Open System Preferences")),
                      QRect(210, 150, 197, 20), Lock::None);
    connect(PushButton3, &QPushButton::clicked, this, &SystemEventAlert::PushButton3_Action);

    CheckBox1 = add(platform::MakeCheckBox(content(), "CheckBox1", QStringLiteral("Don't show again"),
                                           platform::SystemFont(12), false),
                    QRect(20, 151, 163, 20), Lock::None);

    PushButton2->setFocus();
}

SystemEventAlert::~SystemEventAlert() = default;

SystemEventAlert* SystemEventAlert::instance()
{
    return platform::Instance<SystemEventAlert>();
}

void SystemEventAlert::Open()
{
    platform::Beep();
}

void SystemEventAlert::PushButton2_Action()
{
    storeCheckBox();
    close();
}

void SystemEventAlert::PushButton3_Action()
{
    storeCheckBox();
    close();
    OpenDTPrefs({});
}

void SystemEventAlert::storeCheckBox()
{
    const bool hide = CheckBox1->isChecked();
    QString error;
    const SettingsUpdate update =
        UpdateSettingsFile([hide](SettingsLines& lines) { lines.setOn(SettingsLine::HideWarning, hide); }, &error);
    if (update == SettingsUpdate::NoFile)
        return;
    Globals::HideWarning = hide;
    if (update == SettingsUpdate::Failed)
        qCWarning(lcWarning, "The warning's setting could not be stored: %s", qPrintable(error));
}

} // namespace Starwick
