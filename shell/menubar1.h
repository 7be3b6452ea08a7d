#pragma once

#include "platform/menubar.h"

namespace Starwick {

class WindowMenuItem;

/// The application's menu bar: the application menu "Starwick", then File, Links (with its
/// Support submenu) and the Window menu. Items are found by name; the application's and the main
/// window's handlers are bound to them by the same names.
class MenuBar1 : public platform::MenuBar
{
    Q_OBJECT
    Q_DISABLE_COPY(MenuBar1)

public:
    MenuBar1();

    /// The single menu bar of the run, built on the first call and kept until the program ends.
    static MenuBar1* instance();

    /// The Window menu, where windows register their entries.
    WindowMenuItem* windowMenu() const;
};

// The items the application object and the main window enable, hide, show or retitle, looked up
// by name in the application's menu bar.
platform::AppleMenuItem* AppleShowAPODIndex();
platform::AppleMenuItem* AppleShowDetailsDrawer();
platform::AppleMenuItem* ApplePersonalizethisCopy();
platform::MenuItem* LinksSupportStarwick();
platform::MenuItem* FileConnect();
platform::MenuItem* FileSave();

} // namespace Starwick
