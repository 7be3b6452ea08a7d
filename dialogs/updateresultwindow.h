#pragma once

#include "platform/movablemodalwindow.h"

class QLabel;
class QPushButton;

namespace Starwick {

namespace platform {
class Canvas;
}

/// The layout NoUpdateWindow and UpdateNeeded share: the application icon, a bold heading and a
/// message over the buttons, centred on the main screen and shown as soon as it is made. Opening
/// one ends the update check (its window closes) with a beep; Command-W beeps and leaves it open.
class UpdateResultWindow : public platform::MovableModalWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(UpdateResultWindow)

public:
    UpdateResultWindow(const QString& heading, const QString& message);
    ~UpdateResultWindow() override;

    platform::Canvas* Canvas1;
    QLabel* StaticText1;
    QLabel* MessageText;

    void Open() override;
    bool KeyDown(const QString& key) override;

protected:
    QPushButton* addButton(const char* name, const QString& caption, const QRect& rect);
};

} // namespace Starwick
