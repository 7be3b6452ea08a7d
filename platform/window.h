#pragma once

#include <QFlags>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class QMenuBar;
class QPushButton;
class QTimer;
class QToolBar;

namespace Starwick::platform {

/// The window edges a control keeps its distance to when its window is resized. A control locked
/// to both edges of a pair stretches; locked to one, it moves with that edge; locked to neither,
/// it keeps its place on that axis.
enum class Lock : unsigned
{
    None = 0,
    Left = 1,
    Top = 2,
    Right = 4,
    Bottom = 8,
    All = 15,
};
Q_DECLARE_FLAGS(Locks, Lock)
Q_DECLARE_OPERATORS_FOR_FLAGS(Locks)

/// A top-level window as the program's windows are written against: a content area with its own
/// geometry (Top, Left, Width, Height; a menu bar and a toolbar, where there are, lie above it), controls at
/// pixel positions that follow the edges they are locked to, default and cancel buttons, and the
/// window events Open, Close, KeyDown, Resizing, Resized and EnableMenuItems as virtual handlers.
///
/// Windows are made through Instance<T>(), which runs the controls' and the window's Open events
/// once the object is built and shows it unless it is made hidden. Closing a window raises Close
/// and releases it with deleteLater(); the next Instance<T>() makes a fresh one.
class Window : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(Window)

public:
    explicit Window(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);
    ~Window() override;

    // Content-area geometry: Top and Left in screen coordinates, Width and Height its size.
    int Top() const;
    int Left() const;
    int Width() const;
    int Height() const;
    void SetTop(int top);
    void SetLeft(int left);
    void SetWidth(int width);
    void SetHeight(int height);

    QString Title() const { return windowTitle(); }
    void SetTitle(const QString& title) { setWindowTitle(title); }

    /// The parent of every control; its coordinates are the window's content coordinates.
    QWidget* content() const { return m_content; }

    /// Places `control` at `rect` (content coordinates, also for a control whose parent is another
    /// control) and keeps it there by `locks` whenever the content area changes size. Placing a
    /// control again moves it; controls are laid out in the order they were first placed.
    void place(QWidget* control, const QRect& rect, Locks locks);
    template <class T> T* add(T* control, const QRect& rect, Locks locks)
    {
        place(control, rect, locks);
        return control;
    }

    /// Return and Enter press the default button whichever control has the focus; Escape the cancel
    /// button.
    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);
    QPushButton* defaultButton() const { return m_defaultButton; }

    /// Puts a menu bar above the content area.
    void setMenuBar(QMenuBar* menuBar);
    QMenuBar* menuBar() const { return m_menuBar; }

    /// Puts a toolbar above the content area, under the menu bar where there is one. The content
    /// keeps its size: the window grows by the toolbar's height.
    void setToolbar(QToolBar* toolbar);
    QToolBar* toolbar() const { return m_toolbar; }

    /// Whether the user may change the window's size (true unless set otherwise). A window that
    /// the user may not resize still takes every size the program gives it.
    void setUserResizable(bool resizable);
    bool userResizable() const { return m_userResizable; }

    /// Sets the content size the window is built at and its minimum and maximum content sizes.
    void setContentSize(int width, int height);
    void setContentSizeLimits(const QSize& minimum, const QSize& maximum);

    /// Shows the window (restored when minimised) and brings it to the front; an open window comes
    /// forward unchanged.
    void Show();

    /// Centres the window on the main screen's available area.
    void centreOnScreen();
    /// Moves the window onto the main screen's available area where part of it lies outside, and
    /// shrinks it to the area (down to its minimum size) where it is larger; a window that lies
    /// whole on the area stays where it is. The window manager's frame is known only once the window
    /// is on the screen: a window not shown yet is fitted by its own rectangle (menu bar, toolbar and
    /// content) now and fitted again, frame and all, when it first appears.
    void moveOntoScreen();

    /// True from the moment close() was accepted; the object itself goes with deleteLater().
    bool isClosed() const { return m_closed; }
    /// Whether the window is shown when made (a window made hidden still runs its Open event).
    void setVisibleWhenMade(bool visible) { m_visibleWhenMade = visible; }

    /// Called by Instance<T>() right after construction: the controls' Open events, the window's
    /// Open event, then show() unless the window is made hidden.
    void completeOpening();

    /// Registers an Open event for a control, raised by completeOpening() in the order added.
    void addControlOpenHandler(std::function<void()> handler);

    // Window events. They are public so that code may raise them as the framework would.
    virtual void Open() {}
    virtual void Close() {}
    /// A key typed while the window is in front: the key's text, or for the arrow keys the
    /// characters 28 (left), 29 (right), 30 (up) and 31 (down). True means handled.
    virtual bool KeyDown(const QString& key);
    virtual void Resizing() {}
    virtual void Resized() {}
    virtual void EnableMenuItems() {}

    /// How long the size must stay unchanged before Resized follows a run of Resizing events.
    static constexpr int kResizeSettleMs = 120;

protected:
    /// Called once, when the window is first shown and before it appears: a window kind that
    /// places itself (over its parent, at its parent's top) does it here, when its size is final.
    virtual void placeOnFirstShow() {}

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placement
    {
        QPointer<QWidget> control;
        QRect rect;
        Locks locks;
    };

    void layoutContent();
    /// Undoes a minimise or maximise of a window that has no such button.
    void keepStateToItsButtons();
    /// The height of the menu bar and the toolbar above the content area.
    int chromeHeight() const;
    int menuBarHeight() const;
    /// Gives the window a new size, also one the user may not resize.
    void resizeFrame(int width, int height);
    /// Puts a menu bar or toolbar, just set, above the content, which keeps `contentSize`.
    void attachAbove(QWidget* bar, const QSize& contentSize, int chromeBefore);

    QWidget* m_content = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QToolBar* m_toolbar = nullptr;
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QTimer* m_resizeSettle = nullptr;
    QSize m_designSize;
    std::vector<Placement> m_placements;
    std::vector<std::function<void()>> m_controlOpenHandlers;
    bool m_closed = false;
    bool m_visibleWhenMade = true;
    bool m_opened = false;
    bool m_shownOnce = false;
    bool m_userResizable = true;
    bool m_fitWhenFramed = false;
};

/// Closes every open window of the program, shown or hidden, as quitting does: each window's
/// Close event runs once (a window already closing is left alone), `last` (when given) after all
/// the others. The windows are released as any closed window is.
void CloseAllWindows(Window* last);

template <class T> QPointer<T>& instanceSlot()
{
    static QPointer<T> slot;
    return slot;
}

/// The single instance of a window class: the open one, or a new one made and opened now.
template <class T> T* Instance()
{
    QPointer<T>& slot = instanceSlot<T>();
    if (!slot || slot->isClosed()) {
        slot = new T();
        slot->completeOpening();
    }
    return slot.data();
}

/// Makes the single instance of a window class without opening it yet: its Open events follow
/// when the caller calls completeOpening() (start-up opens the default window this way once the
/// event loop runs, after the application's own Open).
template <class T> T* MakeInstance()
{
    QPointer<T>& slot = instanceSlot<T>();
    if (!slot || slot->isClosed())
        slot = new T();
    return slot.data();
}

/// The instance of a window class as long as it exists, also while it is closing; makes nothing.
template <class T> T* CurrentInstance()
{
    return instanceSlot<T>().data();
}

/// The open instance of a window class, or nullptr when none is open; makes nothing.
template <class T> T* ExistingInstance()
{
    QPointer<T>& slot = instanceSlot<T>();
    return slot && !slot->isClosed() ? slot.data() : nullptr;
}

} // namespace Starwick::platform
