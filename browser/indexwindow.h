#pragma once

#include "platform/window.h"

namespace Starwick {

class DayListBox;

/// The index drawer: the day list, one row per day of the archive. Made hidden on first use and
/// kept for the run; showing and hiding it as a drawer keeps its rows and selection.
class IndexWindow : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(IndexWindow)

public:
    IndexWindow();
    ~IndexWindow() override;

    /// The window, made hidden when there is none.
    static IndexWindow* instance();

    DayListBox* ListBox1;

    /// The list's change event: the user changed the selection (see DayListBox::Change).
    void ListBox1_Change();
};

} // namespace Starwick
