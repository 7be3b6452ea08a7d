#include "shell/menubar1.h"

#include "shell/windowmenuitem.h"

namespace Starwick {

namespace {

/// Sets an item up in the order the menu bar is built by: name, AutoEnable, caption, then the
/// command key where the item has one.
template <class Item>
Item* made(Item* item, const char* name, const QString& caption, const char* commandKey, bool autoEnable = true)
{
    item->SetName(QLatin1String(name));
    item->SetAutoEnable(autoEnable);
    item->SetText(caption);
    if (commandKey)
        item->SetCommandKey(QLatin1String(commandKey));
    return item;
}

template <class Item> Item* findAs(const char* name)
{
    return qobject_cast<Item*>(MenuBar1::instance()->FindItem(QLatin1String(name)));
}

} // namespace

MenuBar1::MenuBar1()
{
    using platform::AppleMenuItem;
    using platform::MenuItem;
    setApplicationMenuTitle(QStringLiteral("Starwick"));

    Append(made(new MenuItem(), "FileMenu", QStringLiteral("&File"), ""));
    MenuItem* file = Child(QStringLiteral("FileMenu"));
    file->Append(made(new MenuItem(), "FileSave", QStringLiteral("Save"), "Cmd+S"));
    file->Append(made(new platform::QuitMenuItem(), "FileQuit", QStringLiteral("Quit"), "Cmd+Q"));
    file->Append(made(new MenuItem(), "FileConnect", QStringLiteral("Connect..."), "Cmd+Shift+K", false));
    file->Append(made(new platform::PrefsMenuItem(), "FilePreferences", QStringLiteral("Preferences..."), "Cmd+,"));

    Append(made(new MenuItem(), "LinksMenu", QStringLiteral("Links"), ""));
    MenuItem* links = Child(QStringLiteral("LinksMenu"));
    links->Append(made(new MenuItem(), "LinksStarwickHome", QStringLiteral("Starwick Home..."), ""));
    links->Append(made(new MenuItem(), "LinksEmailVessik", QStringLiteral("Email Vessik..."), ""));
    links->Append(made(new MenuItem(), "LinksSupportStarwick", QStringLiteral("Support Starwick"), nullptr));
    MenuItem* support = links->Child(QStringLiteral("LinksSupportStarwick"));
    support->Append(made(new MenuItem(), "MakeaDonationDonateviaPayPal", QStringLiteral("Donate via PayPal"), ""));
    support->Append(made(new MenuItem(), "MakeaDonationDonateviaKagi", QStringLiteral("Donate via Kagi"), ""));
    links->Append(made(new MenuItem(), "UntitledMenu0", QStringLiteral("-"), nullptr));
    links->Append(made(new MenuItem(), "LinksNASAs", QStringLiteral("NASA's Main APOD Page..."), ""));

    // The Window menu makes its own items first; the application items appended after them show
    // in the application menu.
    Append(made(new WindowMenuItem(), "WindowMenu", QStringLiteral("Window"), ""));
    MenuItem* window = Child(QStringLiteral("WindowMenu"));
    window->Append(made(new AppleMenuItem(), "AppleAboutStarwick", QStringLiteral("About Starwick..."), ""));
    window->Append(
        made(new AppleMenuItem(), "ApplePersonalizethisCopy", QStringLiteral("Personalize this Copy..."), ""));
    window->Append(made(new AppleMenuItem(), "UntitledMenu3", QStringLiteral("-"), nullptr));
    window->Append(made(new AppleMenuItem(), "AppleClearImageCache", QStringLiteral("Clear Image Cache"), "Cmd+K"));
    window->Append(made(new AppleMenuItem(), "AppleShowDetailsDrawer", QStringLiteral("Show Details Drawer"), "Cmd+D"));
    window->Append(made(new AppleMenuItem(), "AppleShowAPODIndex", QStringLiteral("Show APOD Index"), "Cmd+I"));
    window->Append(made(new AppleMenuItem(), "UntitledMenu2", QStringLiteral("-"), nullptr));
    window->Append(made(new AppleMenuItem(), "AppleCheckforUpdates", QStringLiteral("Check for Updates..."), ""));
}

MenuBar1* MenuBar1::instance()
{
    // Made once and kept for the whole run. It is never destroyed: its menus are widgets, and
    // widgets may not be destroyed once the application object is gone.
    static MenuBar1* const bar = new MenuBar1();
    return bar;
}

WindowMenuItem* MenuBar1::windowMenu() const
{
    return qobject_cast<WindowMenuItem*>(Child(QStringLiteral("WindowMenu")));
}

platform::AppleMenuItem* AppleShowAPODIndex()
{
    return findAs<platform::AppleMenuItem>("AppleShowAPODIndex");
}

platform::AppleMenuItem* AppleShowDetailsDrawer()
{
    return findAs<platform::AppleMenuItem>("AppleShowDetailsDrawer");
}

platform::AppleMenuItem* ApplePersonalizethisCopy()
{
    return findAs<platform::AppleMenuItem>("ApplePersonalizethisCopy");
}

platform::MenuItem* LinksSupportStarwick()
{
    return findAs<platform::MenuItem>("LinksSupportStarwick");
}

platform::MenuItem* FileConnect()
{
    return findAs<platform::MenuItem>("FileConnect");
}

platform::MenuItem* FileSave()
{
    return findAs<platform::MenuItem>("FileSave");
}

} // namespace Starwick
