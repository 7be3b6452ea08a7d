#include "platform/toolbar.h"

#include "platform/picture.h"

#include <QAbstractButton>
#include <QAction>
#include <QIcon>
#include <QPixmap>

namespace Starwick::platform {

Toolbar::Toolbar(QWidget* parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
    setContextMenuPolicy(Qt::PreventContextMenu);
}

Toolbar::~Toolbar() = default;

QAction* Toolbar::AddItem(const char* name, const QString& caption)
{
    // A blank icon holds the icon's place until the item's image is set, so that the toolbar's
    // height, and with it the window's content area, does not change then.
    QPixmap blank(iconSize());
    blank.fill(Qt::transparent);
    QAction* item = addAction(QIcon(blank), caption);
    item->setObjectName(QLatin1String(name));
    item->setEnabled(true);
    if (QWidget* button = widgetForAction(item))
        button->setObjectName(QLatin1String(name) + QStringLiteral("Button"));
    return item;
}

QAction* Toolbar::Item(const QString& name) const
{
    const QList<QAction*> items = actions();
    for (QAction* item : items) {
        if (item->objectName() == name)
            return item;
    }
    return nullptr;
}

QAbstractButton* Toolbar::buttonFor(QAction* item) const
{
    return qobject_cast<QAbstractButton*>(widgetForAction(item));
}

void Toolbar::SetImage(QAction* item, const Picture& picture)
{
    item->setIcon(QIcon(QPixmap::fromImage(picture.composed())));
}

} // namespace Starwick::platform
