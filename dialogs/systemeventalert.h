#pragma once

#include "platform/movablemodalwindow.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace Starwick {

namespace platform {
class Canvas;
}

/// The warning, once per launch, that a desktop which changes its picture by itself may undo the
/// picture Starwick sets. Either button stores "Don't show again" in the settings and closes it;
/// "Open System Preferences" also opens the desktop's wallpaper settings. Closed any other way,
/// it stores nothing. At most one exists at a time.
class SystemEventAlert : public platform::MovableModalWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(SystemEventAlert)

public:
    SystemEventAlert();
    ~SystemEventAlert() override;

    /// The open warning unchanged, or a new one: shown at once over the window in front, with a beep.
    static SystemEventAlert* instance();

    platform::Canvas* Canvas1;
    QLabel* StaticText1;
    QLabel* MessageText;
    QPushButton* PushButton2;
    QPushButton* PushButton3;
    QCheckBox* CheckBox1;

    void Open() override;
    void PushButton2_Action();
    void PushButton3_Action();

private:
    /// Stores the check box in the settings file and its mirror, when there is a settings file.
    void storeCheckBox();
};

} // namespace Starwick
