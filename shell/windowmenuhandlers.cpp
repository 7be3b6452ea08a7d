#include "shell/windowmenuhandlers.h"

#include "platform/system.h"
#include "platform/window.h"
#include "platform/windowmanager.h"
#include "shell/dbcmodule.h"
#include "shell/notifyingmenuitem.h"

#include <QCoreApplication>

namespace Starwick {

namespace {

constexpr int kMenuTextLength = 31;

/// Brings a window forward as the framework's Show does: shown, restored when minimised, raised
/// and made active.
void showWindow(platform::Window* window)
{
    if (!window)
        return;
    if (window->windowState() & Qt::WindowMinimized)
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
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
    try {
        if (platform::WindowCount() > 0) {
            showWindow(platform::WindowAt(0));
            const int count = platform::WindowCount();
            for (int i = 1; i <= count - 1; ++i) {
                platform::SendBehind(platform::WindowAt(i), platform::WindowAt(i - 1));
                QCoreApplication::processEvents();
            }
        }
        return true;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("BringAllToFrontMenuHandler.Action"));
    }
}

void BringAllToFrontMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    try {
        if (platform::WindowCount() >= 1)
            claim(item);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("BringAllToFrontMenuHandler.EnableMenu"));
    }
}

// Minimize Window

MinimizeWindowMenuHandler::MinimizeWindowMenuHandler(platform::Window* w)
{
    try {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("MinimizeWindowMenuHandler.Constructor"));
    }
}

bool MinimizeWindowMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    try {
        if (window && platform::IsWindowCollapsable(window))
            platform::CollapseWindow(window, true);
        return false;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("MinimizeWindowMenuHandler.Action"));
    }
}

void MinimizeWindowMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    try {
        if (window && platform::MacWindowPtr(window) == platform::MacWindowPtr(platform::FrontNonFloatingWindow()))
            claim(item);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("MinimizeWindowMenuHandler.EnableMenu"));
    }
}

// The window's entry

WindowListMenuHandler::WindowListMenuHandler(platform::Window* w)
{
    try {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("WindowListMenuHandler.Constructor"));
    }
}

bool WindowListMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    try {
        showWindow(window);
        return true;
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("WindowListMenuHandler.Action"));
    }
}

void WindowListMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    try {
        if (!window)
            return;
        item->SetActiveHandler(shared_from_this());
        item->SetText(WindowMenuText(window->Title()));
        item->SetChecked(window == platform::WindowAt(0));
        item->SetEnabled(true);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("WindowListMenuHandler.EnableMenu"));
    }
}

// Zoom Window

ZoomWindowMenuHandler::ZoomWindowMenuHandler(platform::Window* w)
{
    try {
        DBCModule::Require(w != nullptr);
        window = w;
        DBCModule::Ensure(window != nullptr);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("ZoomWindowMenuHandler.Constructor"));
    }
}

void ZoomWindowMenuHandler::EnableMenu(NotifyingMenuItem* item)
{
    try {
        if (window && window == platform::WindowAt(0) && platform::HasZoomBox(window))
            claim(item);
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("ZoomWindowMenuHandler.EnableMenu"));
    }
}

bool ZoomWindowMenuHandler::Action(NotifyingMenuItem* /*item*/)
{
    try {
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
    } catch (...) {
        DBCModule::LogException(std::current_exception(), QStringLiteral("ZoomWindowMenuHandler.Action"));
    }
}

} // namespace Starwick
