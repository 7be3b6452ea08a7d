#include "platform/drawer.h"

#include "platform/window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QScreen>

#include <algorithm>

namespace Starwick::platform {

Qt::WindowFlags drawerWindowFlags()
{
    return Qt::Tool | Qt::FramelessWindowHint;
}

QRect drawerGeometry(const QRect& parentFrame, const QRect& parentContent, int drawerWidth, int minimumHeight,
                     int maximumHeight, int placementCode, const QRect& screenArea, const QList<QRect>& otherDrawers)
{
    const int height = std::clamp(parentContent.height(), minimumHeight, std::max(minimumHeight, maximumHeight));
    // The first free place on one side: flush against the parent, or further out past the drawers
    // that lie there. Each step goes strictly outwards and past one drawer, so it ends.
    const auto freePlace = [&](bool onLeft) {
        QRect place(onLeft ? parentFrame.left() - drawerWidth : parentFrame.right() + 1, parentContent.top(),
                    drawerWidth, height);
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRect& other : otherDrawers) {
                if (other.isEmpty() || !place.intersects(other))
                    continue;
                place.moveLeft(onLeft ? other.left() - drawerWidth : other.right() + 1);
                moved = true;
            }
        }
        return place;
    };
    const auto fits = [&screenArea](const QRect& place) {
        return !screenArea.isValid() || (place.left() >= screenArea.left() && place.right() <= screenArea.right());
    };
    const bool ownEdgeIsLeft = placementCode == DrawerLeftEdge;
    const QRect own = freePlace(ownEdgeIsLeft);
    if (fits(own))
        return own;
    const QRect other = freePlace(!ownEdgeIsLeft);
    return fits(other) ? other : own;
}

namespace {

quint64 g_drawersShown = 0;

// Turns the close of a shown drawer into a hide; see keepOnClose().
class CloseKeeper : public QObject
{
public:
    CloseKeeper(Window* drawer, std::function<void()> hidden)
        : QObject(drawer)
        , m_drawer(drawer)
        , m_hidden(std::move(hidden))
    {
        setObjectName(QStringLiteral("drawerCloseKeeper"));
        drawer->installEventFilter(this);
    }

    bool letThrough = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_drawer || event->type() != QEvent::Close || letThrough || !m_drawer->isVisible() ||
            m_drawer->isClosed())
            return QObject::eventFilter(watched, event);
        event->ignore();
        m_drawer->hide();
        if (m_hidden)
            m_hidden();
        return true;
    }

private:
    Window* m_drawer;
    std::function<void()> m_hidden;
};

CloseKeeper* closeKeeperOf(Window* drawer)
{
    return drawer->findChild<CloseKeeper*>(QStringLiteral("drawerCloseKeeper"), Qt::FindDirectChildrenOnly);
}

} // namespace

void keepOnClose(Window* drawer, std::function<void()> hidden)
{
    if (drawer && !closeKeeperOf(drawer))
        new CloseKeeper(drawer, std::move(hidden));
}

void closeDrawer(Window* drawer)
{
    if (!drawer || drawer->isClosed())
        return;
    QPointer<CloseKeeper> keeper = closeKeeperOf(drawer);
    if (keeper)
        keeper->letThrough = true;
    drawer->close();
    // A window that was never shown may have no platform window to take the close.
    if (!drawer->isClosed()) {
        QCloseEvent event;
        QCoreApplication::sendEvent(drawer, &event);
    }
    if (keeper)
        keeper->letThrough = false;
}

DrawerAttachment::DrawerAttachment(Window* drawer, Window* parent, int placementCode)
    : QObject(drawer)
    , m_drawer(drawer)
    , m_placementCode(placementCode)
{
    setObjectName(QStringLiteral("drawerAttachment"));
    attach(parent, placementCode);
    drawer->installEventFilter(this);
}

DrawerAttachment* DrawerAttachment::of(const Window* drawer)
{
    return drawer ? drawer->findChild<DrawerAttachment*>(QStringLiteral("drawerAttachment"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

Window* DrawerAttachment::parentWindow() const
{
    return qobject_cast<Window*>(m_parent.data());
}

void DrawerAttachment::attach(Window* parent, int placementCode)
{
    m_placementCode = placementCode;
    if (m_parent == parent)
        return;
    if (m_parent)
        m_parent->removeEventFilter(this);
    m_parent = parent;
    parent->installEventFilter(this);
}

void DrawerAttachment::place()
{
    if (!m_parent)
        return;
    // The drawer is frameless; should a window manager frame it all the same, its frame goes flush
    // against the parent's frame and its content top level with the parent's content top.
    const QRect frame = m_drawer->frameGeometry();
    const QRect content = m_drawer->geometry();
    const QScreen* screen = m_parent->screen();
    QList<QRect> before;
    for (const DrawerAttachment* other : drawersOf(m_parent)) {
        if (other != this && other->m_shownAt < m_shownAt)
            before.append(other->m_drawer->frameGeometry());
    }
    const QRect target = drawerGeometry(m_parent->frameGeometry(), m_parent->geometry(), frame.width(),
                                        m_drawer->minimumHeight(), m_drawer->maximumHeight(), m_placementCode,
                                        screen ? screen->availableGeometry() : QRect(), before);
    if (m_drawer->height() != target.height())
        m_drawer->resize(m_drawer->width(), target.height());
    const QPoint framePosition(target.left(), target.top() - (content.top() - frame.top()));
    if (m_drawer->pos() != framePosition)
        m_drawer->move(framePosition);
}

QList<DrawerAttachment*> DrawerAttachment::drawersOf(const QWidget* parent)
{
    QList<DrawerAttachment*> shown;
    for (QObject* child : parent->children()) {
        auto* window = qobject_cast<Window*>(child);
        DrawerAttachment* attachment = window && window->isVisible() ? of(window) : nullptr;
        if (attachment && attachment->m_parent == parent)
            shown.append(attachment);
    }
    return shown;
}

void DrawerAttachment::placeAllOfParent()
{
    if (!m_parent)
        return;
    QList<DrawerAttachment*> shown = drawersOf(m_parent);
    std::sort(shown.begin(), shown.end(),
              [](const DrawerAttachment* a, const DrawerAttachment* b) { return a->m_shownAt < b->m_shownAt; });
    for (DrawerAttachment* attachment : std::as_const(shown))
        attachment->place();
}

bool DrawerAttachment::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parent) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::WindowStateChange:
            if (m_drawer->isVisible())
                placeAllOfParent();
            break;
        default:
            break;
        }
    } else if (watched == m_drawer && event->type() == QEvent::Show) {
        place();
    } else if (watched == m_drawer && event->type() == QEvent::Hide && !event->spontaneous() && m_parent &&
               m_parent->isVisible()) {
        // The drawers shown after this one move in to the place it leaves.
        placeAllOfParent();
    }
    return QObject::eventFilter(watched, event);
}

void showAsDrawer(Window* drawer, Window* parent, int placementCode)
{
    if (!drawer || !parent || drawer == parent)
        return;
    if (drawer->parentWidget() != parent) {
        // Reparenting a window hides it and resets its flags; a tool window of the parent stays
        // above it and goes with it.
        const QSize size = drawer->size();
        drawer->setParent(parent, drawerWindowFlags());
        drawer->resize(size);
    }
    drawer->setAttribute(Qt::WA_ShowWithoutActivating);
    DrawerAttachment* attachment = DrawerAttachment::of(drawer);
    if (attachment)
        attachment->attach(parent, placementCode);
    else
        attachment = new DrawerAttachment(drawer, parent, placementCode);
    attachment->m_shownAt = ++g_drawersShown;
    attachment->place();
    drawer->show();
    attachment->place();
}

} // namespace Starwick::platform
