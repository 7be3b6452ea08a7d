#pragma once

#include "platform/sheet.h"

QT_BEGIN_NAMESPACE
class QLabel;
class QLineEdit;
class QPushButton;
QT_END_NAMESPACE

namespace Starwick {

/// The owner-name sheet over the main window: the name typed here is stored in line 1 of the
/// settings file and kept in Globals for the run. OK with an empty name beeps and keeps the sheet;
/// Cancel closes it without reading or writing anything.
class PersonalizeWindow : public platform::Sheet
{
    Q_OBJECT
    Q_DISABLE_COPY(PersonalizeWindow)

public:
    /// The open sheet, or a new one made (and shown) now over the main window.
    static PersonalizeWindow* instance();

    PersonalizeWindow();
    ~PersonalizeWindow() override;

    QLabel* StaticText2 = nullptr;
    QLineEdit* EditField1 = nullptr;
    QPushButton* PushButton1 = nullptr; ///< OK, the default button
    QPushButton* PushButton2 = nullptr; ///< Cancel

    void PushButton1_Action();
    void PushButton2_Action();
};

} // namespace Starwick
