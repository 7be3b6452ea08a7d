#include "dialogs/personalizewindow.h"

#include "browser/mainwindow.h"
#include "platform/controls.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/settings.h"

#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>

namespace Starwick {

Q_LOGGING_CATEGORY(lcPersonalize, "starwick.personalize")

PersonalizeWindow* PersonalizeWindow::instance()
{
    return platform::Instance<PersonalizeWindow>();
}

PersonalizeWindow::PersonalizeWindow()
    : platform::Sheet(MainWindow::existing())
{
    using platform::Lock;
    setObjectName(QStringLiteral("PersonalizeWindow"));
    SetTitle(QStringLiteral("Personalize"));
    setContentSize(429, 113);

    StaticText2 = add(platform::MakeStaticText(content(), "StaticText2",
                                               QStringLiteral("Enter your name to personalize your copy of Starwick:"),
                                               platform::SystemFont()),
                      QRect(20, 14, 389, 20), Lock::None);
    EditField1 = add(platform::MakeEditField(content(), "EditField1", platform::SystemFont()), QRect(20, 39, 389, 22),
                     Lock::None);

    PushButton1 = add(platform::MakePushButton(content(), "PushButton1", QStringLiteral("OK")), QRect(337, 73, 72, 20),
                      Lock::None);
    PushButton1->setFont(platform::SystemFont(13));
    PushButton2 = add(platform::MakePushButton(content(), "PushButton2", QStringLiteral("Cancel")),
                      QRect(253, 73, 72, 20), Lock::None);
    PushButton2->setFont(platform::SystemFont());
    setDefaultButton(PushButton1);
    setCancelButton(PushButton2);
    connect(PushButton1, &QPushButton::clicked, this, &PersonalizeWindow::PushButton1_Action);
    connect(PushButton2, &QPushButton::clicked, this, &PersonalizeWindow::PushButton2_Action);
}

PersonalizeWindow::~PersonalizeWindow() = default;

void PersonalizeWindow::PushButton1_Action()
{
    // Without a settings file the name could not be kept: the sheet stays, with a beep.
    if (!SettingsFile().Exists()) {
        platform::Beep();
        return;
    }
    const QString name = EditField1->text();
    if (name.isEmpty()) {
        platform::Beep();
        return;
    }

    Globals::UserName = name;
    QString error;
    const SettingsUpdate update =
        UpdateSettingsFile([&name](SettingsLines& lines) { lines.setValue(SettingsLine::UserName, name); }, &error);
    if (update != SettingsUpdate::Written) {
        // The name is not stored: the sheet stays for another try or for Cancel.
        qCWarning(lcPersonalize, "The owner name could not be stored in the settings file: %s", qPrintable(error));
        platform::Beep();
        return;
    }
    close();
    Globals::Registered = true;
}

void PersonalizeWindow::PushButton2_Action()
{
    close();
}

} // namespace Starwick
