#pragma once

#include "dialogs/updateresultwindow.h"

namespace Starwick {

/// Names the newer release (the check sets MessageText) and offers it: Download (Return) opens the
/// download page in the browser and closes the update windows; Cancel (Escape) closes this one.
/// Nothing is remembered: the next check reports the same release again.
class UpdateNeeded : public UpdateResultWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(UpdateNeeded)

public:
    UpdateNeeded();
    ~UpdateNeeded() override;

    /// The open window, or a new one, shown at once.
    static UpdateNeeded* instance();

    /// The download page on the maker's server.
    static QString downloadURL();

    QPushButton* PushButton1;
    QPushButton* PushButton2;

    void PushButton1_Action();
    void PushButton2_Open();
    void PushButton2_Action();
};

} // namespace Starwick
