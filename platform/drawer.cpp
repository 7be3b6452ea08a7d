#include "platform/drawer.h"

#include "platform/window.h"

#include <QEvent>
#include <QScreen>

#include <algorithm>

namespace Starwick::platform {

Qt::WindowFlags drawerWindowFlags()
{
    return Qt::Tool | Qt::FramelessWindowHint;
}

QRect drawerGeometry(const QRect& parentFrame, const QRect& parentContent, int drawerWidth, int minimumHeight,
                     int maximumHeight, int placementCode, const QRect& screenArea)
{
    const int height = std::clamp(parentContent.height(), minimumHeight, std::max(minimumHeight, maximumHeight));
    const int leftOfParent = parentFrame.left() - drawerWidth;
    const int rightOfParent = parentFrame.right() + 1;
    bool onLeft = placementCode == DrawerLeftEdge;
    if (screenArea.isValid()) {
        // The room beside each edge of the parent, up to the screen's side.
        const int roomLeft = parentFrame.left() - screenArea.left();
        const int roomRight = screenArea.right() - parentFrame.right();
        if (onLeft && roomLeft < drawerWidth && roomRight > roomLeft)
            onLeft = false;
        else if (!onLeft && roomRight < drawerWidth && roomLeft > roomRight)
            onLeft = true;
    }
    return QRect(onLeft ? leftOfParent : rightOfParent, parentContent.top(), drawerWidth, height);
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
    const QRect target =
        drawerGeometry(m_parent->frameGeometry(), m_parent->geometry(), frame.width(), m_drawer->minimumHeight(),
                       m_drawer->maximumHeight(), m_placementCode, screen ? screen->availableGeometry() : QRect());
    if (m_drawer->height() != target.height())
        m_drawer->resize(m_drawer->width(), target.height());
    const QPoint framePosition(target.left(), target.top() - (content.top() - frame.top()));
    if (m_drawer->pos() != framePosition)
        m_drawer->move(framePosition);
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
                place();
            break;
        default:
            break;
        }
    } else if (watched == m_drawer && event->type() == QEvent::Show) {
        place();
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
    attachment->place();
    drawer->show();
    attachment->place();
}

} // namespace Starwick::platform
