#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

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
/// A drawer that would reach past its side of `screenArea` (when one is given) opens on the other
/// edge, where it fits or at least has more room.
QRect drawerGeometry(const QRect& parentFrame, const QRect& parentContent, int drawerWidth, int minimumHeight,
                     int maximumHeight, int placementCode, const QRect& screenArea = QRect());

/// Shows `drawer` as a drawer of `parent`: the drawer becomes a tool window of the parent, is placed
/// flush against the edge `placementCode` names, and follows the parent whenever it moves or
/// resizes. Hiding the drawer (QWidget::hide) keeps it attached and keeps its state; showing it again
/// through this call (with any parent and code) places it anew.
void showAsDrawer(Window* drawer, Window* parent, int placementCode);

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

    /// Moves the drawer to its place beside the parent now.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void showAsDrawer(Window* drawer, Window* parent, int placementCode);
    DrawerAttachment(Window* drawer, Window* parent, int placementCode);
    void attach(Window* parent, int placementCode);

    Window* m_drawer;
    // Held as a widget: the filter still sees events while the parent is being destroyed, when it
    // is no longer a Window.
    QPointer<QWidget> m_parent;
    int m_placementCode;
};

} // namespace Starwick::platform
