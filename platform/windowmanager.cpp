#include "platform/windowmanager.h"

#include "platform/window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace Starwick::platform {

namespace {

constexpr int kTransitionMs = 200;

std::function<void(QByteArrayView)> g_debugStrHandler;
std::function<int(QByteArrayView, qint32*)> g_gestaltHandler;
std::function<void(QWidget*, int, int, const Rect16&)> g_transitionObserver;
std::optional<bool> g_animateOverride;

QHash<const QObject*, int> g_windowNumbers;
int g_nextWindowNumber = 1;

qint16 clamp16(int value)
{
    return static_cast<qint16>(
        std::clamp(value, int(std::numeric_limits<qint16>::min()), int(std::numeric_limits<qint16>::max())));
}

Rect16 toRect16(const QRect& r)
{
    return {clamp16(r.top()), clamp16(r.left()), clamp16(r.top() + r.height()), clamp16(r.left() + r.width())};
}

QRect fromRect16(const Rect16& r)
{
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

bool isFloating(const QWidget* window)
{
    switch (window->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
        return false;
    default:
        return true;
    }
}

/// Keeps the application's top-level windows in the order they were last shown or activated,
/// front first: Qt reports activation but keeps no stacking order of its own.
class WindowTracker : public QObject
{
public:
    explicit WindowTracker(QObject* parent)
        : QObject(parent)
    {}

    void bringToFront(QWidget* window)
    {
        prune();
        m_order.removeAll(window);
        m_order.prepend(window);
    }

    void placeBehind(QWidget* window, QWidget* behind)
    {
        prune();
        if (!m_order.contains(behind))
            m_order.append(behind);
        m_order.removeAll(window);
        m_order.insert(m_order.indexOf(behind) + 1, window);
    }

    /// Every live top-level widget, front to back; those never shown or activated since the
    /// tracker started come last.
    QList<QWidget*> order()
    {
        prune();
        QList<QWidget*> result;
        for (const QPointer<QWidget>& window : std::as_const(m_order))
            result.append(window.data());
        const QWidgetList tops = QApplication::topLevelWidgets();
        for (QWidget* window : tops) {
            if (!result.contains(window))
                result.append(window);
        }
        return result;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::WindowActivate) {
            if (watched->isWidgetType()) {
                QWidget* widget = static_cast<QWidget*>(watched);
                if (widget->isWindow() && !isFloating(widget))
                    bringToFront(widget);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void prune()
    {
        m_order.removeIf([](const QPointer<QWidget>& window) { return window.isNull(); });
    }

    QList<QPointer<QWidget>> m_order;
};

QPointer<WindowTracker> g_tracker;

WindowTracker* tracker()
{
    if (!g_tracker && qApp) {
        g_tracker = new WindowTracker(qApp);
        qApp->installEventFilter(g_tracker);
    }
    return g_tracker.data();
}

void installTracker()
{
    tracker();
}

QList<QWidget*> visibleNonFloatingWindows()
{
    QList<QWidget*> result;
    WindowTracker* t = tracker();
    if (!t)
        return result;
    const QList<QWidget*> all = t->order();
    for (QWidget* window : all) {
        if (!window->isVisible() || isFloating(window))
            continue;
        if (const auto* w = qobject_cast<const Window*>(window); w && w->isClosed())
            continue;
        result.append(window);
    }
    return result;
}

QList<Window*> documentWindows()
{
    QList<Window*> result;
    const QList<QWidget*> windows = visibleNonFloatingWindows();
    for (QWidget* widget : windows) {
        if (auto* window = qobject_cast<Window*>(widget))
            result.append(window);
    }
    return result;
}

void animateGeometry(QWidget* window, const QRect& target)
{
    QPointer<QWidget> guard(window);
    QPropertyAnimation animation(window, "geometry");
    animation.setDuration(kTransitionMs);
    animation.setStartValue(window->geometry());
    animation.setEndValue(target);
    animation.setEasingCurve(QEasingCurve::InOutQuad);
    // Keeps the wait below waking even if the animation timer falls quiet.
    QTimer heartbeat;
    heartbeat.start(16);
    QElapsedTimer elapsed;
    elapsed.start();
    animation.start();
    while (guard && animation.state() == QAbstractAnimation::Running && elapsed.elapsed() < kTransitionMs + 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    animation.stop();
}

struct VersionParts
{
    int major = -1;
    int minor = 0;
    int patch = 0;
};

VersionParts parseVersion(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    VersionParts parts;
    if (!match.hasMatch())
        return parts;
    parts.major = match.captured(1).toInt();
    parts.minor = match.captured(2).toInt();
    parts.patch = match.captured(3).toInt();
    return parts;
}

int bcdDigit(int value)
{
    return std::clamp(value, 0, 9);
}

qint32 systemVersionBcd()
{
    VersionParts parts = parseVersion(QSysInfo::productVersion());
    if (parts.major < 0)
        parts = parseVersion(QSysInfo::kernelVersion());
    if (parts.major < 0)
        return 0;
    const int major = std::clamp(parts.major, 0, 99);
    return ((major / 10) << 12) | ((major % 10) << 8) | (bcdDigit(parts.minor) << 4) | bcdDigit(parts.patch);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installTracker)

int GetWindowBounds(QWidget* window, int regionCode, Rect16* bounds)
{
    if (!window || !window->isWindow())
        return errInvalidWindowRef;
    if (!bounds)
        return paramErr;
    switch (regionCode) {
    case kWindowStructureRgn:
        *bounds = toRect16(window->frameGeometry());
        return noErr;
    case kWindowContentRgn:
        if (const auto* w = qobject_cast<const Window*>(window))
            *bounds = toRect16(QRect(w->Left(), w->Top(), w->Width(), w->Height()));
        else
            *bounds = toRect16(window->geometry());
        return noErr;
    default:
        return errWindowRegionCodeInvalid;
    }
}

int TransitionWindow(QWidget* window, int effect, int action, const Rect16* bounds)
{
    if (!window || !window->isWindow())
        return errInvalidWindowRef;
    switch (action) {
    case kWindowShowTransitionAction:
        window->show();
        return noErr;
    case kWindowHideTransitionAction:
        window->hide();
        return noErr;
    case kWindowMoveTransitionAction:
    case kWindowResizeTransitionAction:
        break;
    default:
        return paramErr;
    }
    if (!bounds)
        return paramErr;
    if (g_transitionObserver)
        g_transitionObserver(window, effect, action, *bounds);

    // The bounds are the frame's; the widget's geometry lies inside the frame margins, which stay.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    QRect target = fromRect16(*bounds).marginsRemoved(margins);
    if (action == kWindowMoveTransitionAction)
        target.setSize(inner.size());
    if (target.width() < 0 || target.height() < 0)
        return paramErr;

    // A window of fixed size (one the user may not resize) is resized by the program all the
    // same, and keeps its new size fixed.
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    if (fixedSize) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    QPointer<QWidget> guard(window);
    if (WindowTransitionsAnimate() && window->isVisible() && target != inner)
        animateGeometry(window, target);
    if (guard) {
        window->setGeometry(target);
        if (fixedSize)
            window->setFixedSize(window->size());
    }
    return noErr;
}

QRect fitFrameToArea(const QRect& frame, const QRect& area)
{
    if (area.isEmpty())
        return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(area.size()));
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() - fitted.height() + 1));
    return fitted;
}

int SendBehind(QWidget* window, QWidget* behindWindow)
{
    if (!window || !window->isWindow() || (behindWindow && !behindWindow->isWindow()))
        return errInvalidWindowRef;
    WindowTracker* t = tracker();
    if (!t || !behindWindow || window == behindWindow)
        return noErr;
    t->placeBehind(window, behindWindow);
    // Raise `window`, then every window in front of it, front one last, so that the screen's
    // stacking matches the order kept here.
    const QList<QWidget*> order = t->order();
    for (qsizetype i = order.indexOf(window); i >= 0; --i) {
        if (order.at(i)->isVisible())
            order.at(i)->raise();
    }
    return noErr;
}

QWidget* FrontNonFloatingWindow()
{
    const QList<QWidget*> windows = visibleNonFloatingWindows();
    return windows.isEmpty() ? nullptr : windows.first();
}

bool IsWindowCollapsable(QWidget* window)
{
    return window && window->isWindow() && !isFloating(window) &&
           window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint);
}

int CollapseWindow(QWidget* window, bool collapse)
{
    if (!window || !window->isWindow())
        return errInvalidWindowRef;
    if (collapse) {
        window->showMinimized();
    } else {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
    }
    return noErr;
}

bool HasZoomBox(QWidget* window)
{
    return window && window->isWindow() && window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) &&
           window->minimumSize() != window->maximumSize();
}

bool HasCloseBox(QWidget* window)
{
    return window && window->isWindow() && window->windowFlags().testFlag(Qt::WindowCloseButtonHint);
}

void DebugStr(const unsigned char* pascalString)
{
    if (!pascalString)
        return;
    const QByteArrayView text(reinterpret_cast<const char*>(pascalString + 1), pascalString[0]);
    if (g_debugStrHandler) {
        g_debugStrHandler(text);
        return;
    }
    std::fwrite(text.data(), 1, size_t(text.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void setDebugStrHandlerForTesting(std::function<void(QByteArrayView)> handler)
{
    g_debugStrHandler = std::move(handler);
}

int Gestalt(QByteArrayView selector, qint32* response)
{
    if (g_gestaltHandler)
        return g_gestaltHandler(selector, response);
    if (!response)
        return paramErr;
    if (selector == QByteArrayView("sysv")) {
        *response = systemVersionBcd();
        return noErr;
    }
    return gestaltUndefSelectorErr;
}

void setGestaltHandlerForTesting(std::function<int(QByteArrayView, qint32*)> handler)
{
    g_gestaltHandler = std::move(handler);
}

int WindowCount()
{
    return int(documentWindows().size());
}

Window* WindowAt(int index)
{
    const QList<Window*> windows = documentWindows();
    return index >= 0 && index < windows.size() ? windows.at(index) : nullptr;
}

int MacWindowPtr(const QWidget* window)
{
    if (!window)
        return 0;
    auto it = g_windowNumbers.constFind(window);
    if (it != g_windowNumbers.constEnd())
        return it.value();
    const int number = g_nextWindowNumber++;
    g_windowNumbers.insert(window, number);
    QObject::connect(window, &QObject::destroyed, [window] { g_windowNumbers.remove(window); });
    return number;
}

bool WindowTransitionsAnimate()
{
    if (g_animateOverride)
        return *g_animateOverride;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void setWindowTransitionsAnimatedForTesting(std::optional<bool> animated)
{
    g_animateOverride = animated;
}

void setTransitionObserverForTesting(std::function<void(QWidget*, int, int, const Rect16&)> observer)
{
    g_transitionObserver = std::move(observer);
}

} // namespace Starwick::platform
