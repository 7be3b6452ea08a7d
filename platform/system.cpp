#include "platform/system.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>

#include <optional>

namespace Starwick::platform {

namespace {
int g_beeps = 0;
std::function<void(const QUrl&)> g_urlOpener;
std::function<void(int)> g_quitHandler;
std::optional<Qt::KeyboardModifiers> g_eventModifiers;
} // namespace

void Beep()
{
    ++g_beeps;
    QApplication::beep();
}

int BeepCount()
{
    return g_beeps;
}

void OpenURL(const QUrl& url)
{
    if (g_urlOpener) {
        g_urlOpener(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void setUrlOpenerForTesting(std::function<void(const QUrl&)> opener)
{
    g_urlOpener = std::move(opener);
}

void Quit(int code)
{
    if (g_quitHandler) {
        g_quitHandler(code);
        return;
    }
    QCoreApplication::exit(code);
}

void setQuitHandlerForTesting(std::function<void(int)> handler)
{
    g_quitHandler = std::move(handler);
}

bool CommandKeyDown()
{
    const Qt::KeyboardModifiers modifiers =
        g_eventModifiers ? *g_eventModifiers : QGuiApplication::queryKeyboardModifiers();
    return modifiers.testFlag(Qt::ControlModifier);
}

QRect ScreenAvailableGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QFont SystemFont(int points)
{
    QFont font = QApplication::font();
    if (points > 0 && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * points / 13.0);
    return font;
}

QFont SmallSystemFont(int points)
{
    // The small system font is 11 points where the system font is 13.
    return SystemFont(points > 0 ? points : 11);
}

void SetClipboardText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

KeyboardState::KeyboardState(Qt::KeyboardModifiers modifiers)
    : m_previous(g_eventModifiers.value_or(Qt::NoModifier))
    , m_hadPrevious(g_eventModifiers.has_value())
{
    g_eventModifiers = modifiers;
}

KeyboardState::~KeyboardState()
{
    if (m_hadPrevious)
        g_eventModifiers = m_previous;
    else
        g_eventModifiers.reset();
}

} // namespace Starwick::platform
