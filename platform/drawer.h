#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

namespace Starwick::platform {

class Window;

/// Placement codes of drawers: the edge of the parent window a drawer opens at. Any other code is
/// taken as the right edge.
enum DrawerPlacement : int
{
    DrawerRightEdge = 2,
    DrawerLeftEdge = 3,
};

/// The window flags a drawer has: a frameless tool window, which the window manager keeps above
/// its parent and which has no title bar of its own to be moved or resized by.
Qt::WindowFlags drawerWindowFlags();

/// Where a drawer goes beside a parent whose frame and content geometries (screen coordinates) are
/// given: its frame flush against the parent frame's right edge (code 2) or left edge (code 3), its
/// content top level with the parent content's top, as high as the parent content within the
/// drawer's own height limits, and as wide as the drawer's frame (`drawerWidth`). Left is the
/// frame's, top and height the content's; for a frameless drawer the two are one.
///
/// `otherDrawers` are the frames of the parent's other open drawers: on an edge one of them already
/// takes, the drawer goes beside it, further out. A drawer that would reach past its side of
/// `screenArea` (when one is given) opens on the other edge only when it fits there; with room on
/// neither edge it stays on its own, partly or wholly off the screen, so that it never lies on the
/// parent or on another drawer.
QRect drawerGeometry(const QRect& parentFrame, const QRect& parentContent, int drawerWidth, int minimumHeight,
                     int maximumHeight, int placementCode, const QRect& screenArea = QRect(),
                     const QList<QRect>& otherDrawers = {});

/// Shows `drawer` as a drawer of `parent`: the drawer becomes a tool window of the parent, is placed
/// flush against the edge `placementCode` names, and follows the parent whenever it moves or
/// resizes. Hiding the drawer (QWidget::hide) keeps it attached and keeps its state; showing it again
/// through this call (with any parent and code) places it anew.
void showAsDrawer(Window* drawer, Window* parent, int placementCode);

/// Makes a close of `drawer` while it is shown, as the window manager's close box or Alt+F4 sends
/// it, hide the drawer instead: it stays with its contents, as a drawer hidden by the program does,
/// and `hidden` (when given) runs after each such hide. A drawer that is hidden closes as any
/// window does, so closing every window (quitting) still closes it; closeDrawer() closes a shown
/// one.
void keepOnClose(Window* drawer, std::function<void()> hidden = {});

/// Closes `drawer` for good, also when it is shown and keepOnClose() applies to it.
void closeDrawer(Window* drawer);

/// What keeps a drawer beside its parent: an event filter on the parent, owned by the drawer.
class DrawerAttachment : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DrawerAttachment)

public:
    /// The attachment of `drawer`, or nullptr when it was never shown as a drawer.
    static DrawerAttachment* of(const Window* drawer);

    Window* parentWindow() const;
    int placementCode() const { return m_placementCode; }

    /// Moves the drawer to its place beside the parent now, beside the parent's drawers that were
    /// shown before it.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void showAsDrawer(Window* drawer, Window* parent, int placementCode);
    DrawerAttachment(Window* drawer, Window* parent, int placementCode);
    void attach(Window* parent, int placementCode);
    /// The shown drawers attached to `parent`.
    static QList<DrawerAttachment*> drawersOf(const QWidget* parent);
    /// Places every shown drawer of the parent, in the order they were shown.
    void placeAllOfParent();

    Window* m_drawer;
    // Held as a widget: the filter still sees events while the parent is being destroyed, when it
    // is no longer a Window.
    QPointer<QWidget> m_parent;
    int m_placementCode;
    // When the drawer was last shown: a drawer makes room for those shown before it.
    quint64 m_shownAt = 0;
};

} // namespace Starwick::platform
