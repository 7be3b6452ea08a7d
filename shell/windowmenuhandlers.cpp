#include "shell/windowmenuhandlers.h"

#include "platform/eventloop.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/windowmanager.h"
#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"

namespace Starwick {

namespace {

constexpr int kMenuTextLength = 31;

void showWindow(platform::Window* window)
{
    if (window)
        window->Show();
}

} // namespace

QString WindowMenuText(const QString& title)
{
    if (title.size() <= kMenuTextLength)
        return title;
    qsizetype length = kMenuTextLength;
    // Never split a character that takes two UTF-16 units.
    if (title.at(length - 1).isHighSurrogate())
        --length;
    return title.left(length);
}

// Bring All To Front

bool BringAllToFrontMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    return DBCModule::Logged("BringAllToFrontMenuHandler.Action", [&] {
        if (platform::WindowCount() > 0) {
            showWindow(platform::WindowAt(0));
            const int count = platform::WindowCount();
            for (int i = 1; i <= count - 1; ++i) {
                platform::SendBehind(platform::WindowAt(i), platform::WindowAt(i - 1));
                platform::YieldToEventLoop();
            }
        }
        return true;
    });
}

void BringAllToFrontMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    DBCModule::Logged("BringAllToFrontMenuHandler.EnableMenu", [&] {
        if (platform::WindowCount() >= 1)
            claim(item);
    });
}

// Minimize Window

MinimizeWindowMenuHandler::MinimizeWindowMenuHandler(platform::Window* w)
{
    DBCModule::Logged("MinimizeWindowMenuHandler.Constructor", [&] {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    });
}

bool MinimizeWindowMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    return DBCModule::Logged("MinimizeWindowMenuHandler.Action", [&] {
        if (window && platform::IsWindowCollapsable(window))
            platform::CollapseWindow(window, true);
        return false;
    });
}

void MinimizeWindowMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    DBCModule::Logged("MinimizeWindowMenuHandler.EnableMenu", [&] {
        if (window && platform::MacWindowPtr(window) == platform::MacWindowPtr(platform::FrontNonFloatingWindow()))
            claim(item);
    });
}

// The window's entry

WindowListMenuHandler::WindowListMenuHandler(platform::Window* w)
{
    DBCModule::Logged("WindowListMenuHandler.Constructor", [&] {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    });
}

bool WindowListMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    return DBCModule::Logged("WindowListMenuHandler.Action", [&] {
        showWindow(window);
        return true;
    });
}

void WindowListMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    DBCModule::Logged("WindowListMenuHandler.EnableMenu", [&] {
        if (!window)
            return;
        item->SetActiveHandler(shared_from_this());
        item->SetText(WindowMenuText(window->Title()));
        item->SetChecked(window == platform::WindowAt(0));
        item->SetEnabled(true);
    });
}

// Zoom Window

ZoomWindowMenuHandler::ZoomWindowMenuHandler(platform::Window* w)
{
    DBCModule::Logged("ZoomWindowMenuHandler.Constructor", [&] {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    });
}

void ZoomWindowMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    DBCModule::Logged("ZoomWindowMenuHandler.EnableMenu", [&] {
        if (window && window == platform::WindowAt(0) && platform::HasZoomBox(window))
            claim(item);
    });
}

bool ZoomWindowMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    return DBCModule::Logged("ZoomWindowMenuHandler.Action", [&] {
        if (!window)
            return false;
        if (!IsZoomed) {
            oldLeft = window->Left();
            oldTop = window->Top();
            oldWidth = window->Width();
            oldHeight = window->Height();
            // The content reaches from 5 pixels inside the screen's left edge and 45 below its
            // top to its right and bottom edges; the screen is the area windows may use.
            const QRect screen = platform::ScreenAvailableGeometry();
            window->SetLeft(screen.left() + 5);
            window->SetTop(screen.top() + 45);
            window->SetWidth(screen.width() - 5);
            window->SetHeight(screen.height() - 45);
        } else {
            window->SetLeft(oldLeft);
            window->SetTop(oldTop);
            window->SetWidth(oldWidth);
            window->SetHeight(oldHeight);
        }
        IsZoomed = !IsZoomed;
        return false;
    });
}

} // namespace Starwick
