#include "platform/window.h"

#include "platform/controls.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "platform/windowmanager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace Starwick::platform {

Window::Window(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_content(new QWidget(this))
    , m_resizeSettle(new QTimer(this))
{
    RouteWindowKeys();
    m_content->setObjectName(QStringLiteral("content"));
    m_resizeSettle->setSingleShot(true);
    m_resizeSettle->setInterval(kResizeSettleMs);
    connect(m_resizeSettle, &QTimer::timeout, this, [this] { Resized(); });
}

Window::~Window() = default;

int Window::menuBarHeight() const
{
    return m_menuBar && !m_menuBar->isHidden() ? m_menuBar->sizeHint().height() : 0;
}

int Window::chromeHeight() const
{
    const int toolbar = m_toolbar && !m_toolbar->isHidden() ? m_toolbar->sizeHint().height() : 0;
    return menuBarHeight() + toolbar;
}

int Window::Top() const
{
    return geometry().top() + chromeHeight();
}

int Window::Left() const
{
    return geometry().left();
}

// From the window's own size, which a hidden window takes at once (its content follows only
// when it is shown).
int Window::Width() const
{
    return width();
}

int Window::Height() const
{
    return std::max(0, height() - chromeHeight());
}

void Window::SetTop(int top)
{
    QRect g = geometry();
    g.moveTop(top - chromeHeight());
    setGeometry(g);
}

void Window::SetLeft(int left)
{
    QRect g = geometry();
    g.moveLeft(left);
    setGeometry(g);
}

void Window::SetWidth(int width)
{
    resizeFrame(width, height());
}

void Window::SetHeight(int height)
{
    resizeFrame(width(), height + chromeHeight());
}

void Window::resizeFrame(int width, int height)
{
    if (m_userResizable) {
        resize(width, height);
        return;
    }
    // The user's limit is a fixed size; the program lifts it for its own change.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(width, height);
    setFixedSize(size());
}

void Window::setUserResizable(bool resizable)
{
    m_userResizable = resizable;
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void Window::setContentSize(int width, int height)
{
    m_designSize = QSize(width, height);
    resizeFrame(width, height + chromeHeight());
    m_content->setGeometry(0, chromeHeight(), width, height);
}

void Window::setContentSizeLimits(const QSize& minimum, const QSize& maximum)
{
    const int extra = chromeHeight();
    setMinimumSize(minimum.width(), minimum.height() + extra);
    setMaximumSize(maximum.width(), std::min(QWIDGETSIZE_MAX, maximum.height() + extra));
}

void Window::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect g = geometry();
    g.moveCenter(area.center());
    setGeometry(g);
}

void Window::moveOntoScreen()
{
    const QRect area = ScreenAvailableGeometry();
    const QRect inner = geometry();
    const QRect frame = frameGeometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    const QRect fitted = fitFrameToArea(frame, area).marginsRemoved(margins);
    if (fitted.size() != inner.size())
        resizeFrame(fitted.width(), fitted.height());
    // A window that could not shrink as far (its minimum size) is placed again at the size it took.
    const QRect placed = fitFrameToArea(QRect(fitted.topLeft(), size()).marginsAdded(margins), area);
    // setGeometry, as SetTop and SetLeft: the position is the window's own, inside the frame.
    setGeometry(QRect(placed.marginsRemoved(margins).topLeft(), size()));
    if (!m_shownOnce)
        m_fitWhenFramed = true;
}

void Window::Show()
{
    if (m_closed)
        return;
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Window::setMenuBar(QMenuBar* menuBar)
{
    const QSize contentSize = m_content->size();
    const int chromeBefore = chromeHeight();
    m_menuBar = menuBar;
    attachAbove(menuBar, contentSize, chromeBefore);
}

void Window::setToolbar(QToolBar* toolbar)
{
    const QSize contentSize = m_content->size();
    const int chromeBefore = chromeHeight();
    m_toolbar = toolbar;
    attachAbove(toolbar, contentSize, chromeBefore);
}

void Window::attachAbove(QWidget* bar, const QSize& contentSize, int chromeBefore)
{
    bar->setParent(this);
    bar->show();
    // The window grows by the bar; the content keeps its size and its limits.
    const QSize minimum = minimumSize();
    if (minimum.height() > 0)
        setMinimumSize(minimum.width(), minimum.height() + chromeHeight() - chromeBefore);
    resizeFrame(contentSize.width(), contentSize.height() + chromeHeight());
    layoutContent();
}

void Window::place(QWidget* control, const QRect& rect, Locks locks)
{
    auto placed = std::find_if(m_placements.begin(), m_placements.end(),
                               [control](const Placement& placement) { return placement.control == control; });
    if (placed != m_placements.end()) {
        placed->rect = rect;
        placed->locks = locks;
    } else {
        m_placements.push_back({control, rect, locks});
    }
    layoutContent();
}

void Window::setDefaultButton(QPushButton* button)
{
    if (m_defaultButton)
        m_defaultButton->setDefault(false);
    m_defaultButton = button;
    if (button)
        button->setDefault(true);
}

void Window::setCancelButton(QPushButton* button)
{
    m_cancelButton = button;
}

void Window::addControlOpenHandler(std::function<void()> handler)
{
    m_controlOpenHandlers.push_back(std::move(handler));
}

void Window::completeOpening()
{
    if (m_opened)
        return;
    m_opened = true;
    for (const auto& handler : m_controlOpenHandlers)
        handler();
    Open();
    if (m_visibleWhenMade && !m_closed)
        show();
}

bool Window::KeyDown(const QString& /*key*/)
{
    return false;
}

void Window::layoutContent()
{
    const int top = chromeHeight();
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), menuBarHeight());
    if (m_toolbar)
        m_toolbar->setGeometry(0, menuBarHeight(), width(), top - menuBarHeight());
    m_content->setGeometry(0, top, width(), std::max(0, height() - top));
    if (m_designSize.isEmpty())
        return;

    const int dw = m_content->width() - m_designSize.width();
    const int dh = m_content->height() - m_designSize.height();
    for (const Placement& placement : m_placements) {
        if (!placement.control)
            continue;
        QRect r = placement.rect;
        const Locks locks = placement.locks;
        if (locks.testFlag(Lock::Left) && locks.testFlag(Lock::Right))
            r.setWidth(r.width() + dw);
        else if (locks.testFlag(Lock::Right))
            r.translate(dw, 0);
        if (locks.testFlag(Lock::Top) && locks.testFlag(Lock::Bottom))
            r.setHeight(r.height() + dh);
        else if (locks.testFlag(Lock::Bottom))
            r.translate(0, dh);
        QWidget* parent = placement.control->parentWidget();
        if (parent && parent != m_content)
            r.translate(-parent->mapTo(m_content, QPoint(0, 0)));
        placement.control->setGeometry(r);
    }
}

void Window::showEvent(QShowEvent* event)
{
    if (!m_shownOnce) {
        m_shownOnce = true;
        placeOnFirstShow();
        if (m_fitWhenFramed && windowHandle())
            windowHandle()->installEventFilter(this);
    }
    QWidget::showEvent(event);
}

void Window::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        // Once the window manager has settled: it may be minimising other windows along with this one.
        QTimer::singleShot(0, this, &Window::keepStateToItsButtons);
}

void Window::keepStateToItsButtons()
{
    // Some window managers give every window a minimise button, and a zoom button to every window
    // that can change its size, whatever the window asks for. A window without the button is
    // brought back: a minimised modal window would hold the program's other windows with nothing
    // to show for it. One minimised along with the window it belongs to (a window manager takes a
    // window's dialogs with it) stays with that window.
    if (m_closed || (windowType() != Qt::Window && windowType() != Qt::Dialog))
        return;
    const Qt::WindowFlags flags = windowFlags();
    Qt::WindowStates state = windowState();
    if ((state & Qt::WindowMaximized) && !flags.testFlag(Qt::WindowMaximizeButtonHint))
        state &= ~Qt::WindowMaximized;
    if ((state & Qt::WindowMinimized) && !flags.testFlag(Qt::WindowMinimizeButtonHint)) {
        bool takenAlong = false;
        for (const QWindow* owner = windowHandle() ? windowHandle()->transientParent() : nullptr; owner && !takenAlong;
             owner = owner->transientParent())
            takenAlong = owner->windowStates().testFlag(Qt::WindowMinimized) &&
                         owner->flags().testFlag(Qt::WindowMinimizeButtonHint);
        if (!takenAlong)
            state &= ~Qt::WindowMinimized;
    }
    if (state == windowState())
        return;
    setWindowState(state);
    if (!(state & Qt::WindowMinimized) && isVisible()) {
        raise();
        activateWindow();
    }
}

bool Window::eventFilter(QObject* watched, QEvent* event)
{
    // The first exposure comes once the window manager has framed the window: its frame is known
    // from then on.
    if (m_fitWhenFramed && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        m_fitWhenFramed = false;
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (!m_closed)
                moveOntoScreen();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void Window::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutContent();
    if (!m_opened)
        return;
    Resizing();
    m_resizeSettle->start();
}

void Window::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    m_closed = true;
    event->accept();
    Close();
    ReleaseLater(this);
}

void Window::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter) && m_defaultButton && m_defaultButton->isEnabled() &&
        m_defaultButton->isVisible()) {
        m_defaultButton->animateClick();
        return;
    }
    if (plain && key == Qt::Key_Escape && m_cancelButton && m_cancelButton->isEnabled()) {
        m_cancelButton->animateClick();
        return;
    }

    QString text;
    switch (key) {
    case Qt::Key_Left:
        text = QChar(28);
        break;
    case Qt::Key_Right:
        text = QChar(29);
        break;
    case Qt::Key_Up:
        text = QChar(30);
        break;
    case Qt::Key_Down:
        text = QChar(31);
        break;
    default:
        text = event->text();
        // With Control held, the event's text is a control character; the framework reports the
        // key itself ("w" for Command-W).
        if (event->modifiers() & Qt::ControlModifier) {
            if (key >= Qt::Key_A && key <= Qt::Key_Z)
                text = QChar(u'a' + (key - Qt::Key_A));
            else if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
                text = QChar(key);
        }
        break;
    }
    const KeyboardState state(event->modifiers());
    if (text.isEmpty() || !KeyDown(text))
        QWidget::keyPressEvent(event);
}

namespace {

void closeWindow(Window* window)
{
    if (!window || window->isClosed())
        return;
    window->close();
    // A window that was never shown may have no platform window to take the close; it is told
    // directly.
    if (!window->isClosed()) {
        QCloseEvent event;
        QCoreApplication::sendEvent(window, &event);
    }
}

} // namespace

void CloseAllWindows(Window* last)
{
    QList<QPointer<Window>> windows;
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops) {
        auto* window = qobject_cast<Window*>(top);
        if (window && window != last && !window->isClosed())
            windows.append(window);
    }
    // A window's Close may close others; those are left out by the guard.
    for (const QPointer<Window>& window : std::as_const(windows))
        closeWindow(window.data());
    closeWindow(last);
}

} // namespace Starwick::platform
