#pragma once

#include "platform/window.h"

namespace Starwick::platform {

/// A sheet: a dialog attached to its parent window, modal to that window alone (the program's
/// other windows and the event loop go on), placed centred across the parent at the top of its
/// content, under its title bar, menu bar and toolbar. Without a parent it is centred on the main
/// screen. The user cannot resize it; it has no close, minimise or zoom button.
class Sheet : public Window
{
    Q_OBJECT
    Q_DISABLE_COPY(Sheet)

public:
    explicit Sheet(QWidget* parent);
    ~Sheet() override;

protected:
    void placeOnFirstShow() override;
};

} // namespace Starwick::platform
