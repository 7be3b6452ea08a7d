#pragma once

#include "dialogs/updateresultwindow.h"

namespace Starwick {

/// Says that the running version is the latest release; OK (Return) closes it.
class NoUpdateWindow : public UpdateResultWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(NoUpdateWindow)

public:
    NoUpdateWindow();
    ~NoUpdateWindow() override;

    /// The open window, or a new one, shown at once.
    static NoUpdateWindow* instance();

    QPushButton* PushButton2;

    void PushButton2_Action();
};

} // namespace Starwick
