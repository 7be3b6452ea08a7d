#include "platform/menuitem.h"

#include "platform/menubar.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <utility>

namespace Starwick::platform {

namespace {

QAction::MenuRole roleFor(MenuItem::Placement placement)
{
    // The roles matter only where the system has a menu bar of its own; they keep it from
    // guessing placements from the captions.
    switch (placement) {
    case MenuItem::Placement::ApplicationMenu:
        return QAction::ApplicationSpecificRole;
    case MenuItem::Placement::Preferences:
        return QAction::PreferencesRole;
    case MenuItem::Placement::Quit:
        return QAction::QuitRole;
    case MenuItem::Placement::InParent:
        break;
    }
    return QAction::NoRole;
}

} // namespace

MenuItem::MenuItem()
    : MenuItem(Placement::InParent, QString())
{}

MenuItem::MenuItem(const QString& text)
    : MenuItem(Placement::InParent, text)
{}

MenuItem::MenuItem(Placement placement, const QString& text)
    : m_action(new QAction(this))
    , m_placement(placement)
{
    m_action->setMenuRole(roleFor(placement));
    m_action->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_action, &QAction::triggered, this, [this] {
        restoreCheckState();
        MenuBar::dispatch(this);
    });
    SetText(text);
}

MenuItem::~MenuItem()
{
    if (m_parentItem)
        m_parentItem->detach(this);
    else if (m_bar)
        m_bar->detachMenu(this);
    const QList<MenuItem*> children = std::exchange(m_children, {});
    for (MenuItem* child : children) {
        child->m_parentItem = nullptr;
        delete child;
    }
    delete m_menu;
}

void MenuItem::SetName(const QString& name)
{
    setObjectName(name);
    m_action->setObjectName(name);
    if (m_menu)
        m_menu->setObjectName(name);
}

void MenuItem::SetText(const QString& text)
{
    m_text = text;
    m_action->setSeparator(isSeparator());
    m_action->setText(isSeparator() ? QString() : text);
    if (m_menu)
        m_menu->setTitle(text);
}

void MenuItem::SetCommandKey(const QString& commandKey)
{
    m_commandKey = commandKey;
    m_shortcut = shortcutFromCommandKey(commandKey);
    m_action->setShortcut(m_shortcut);
}

QKeySequence MenuItem::shortcutFromCommandKey(const QString& commandKey)
{
    QString text = commandKey.trimmed();
    if (text.isEmpty())
        return {};
    // The key itself may be "+" ("Cmd++"); the modifiers are the "+"-separated words before it.
    QString key;
    if (text == QLatin1String("+") || text.endsWith(QLatin1String("++"))) {
        key = QStringLiteral("+");
        text.chop(text.size() == 1 ? 1 : 2);
    } else {
        const qsizetype plus = text.lastIndexOf(QLatin1Char('+'));
        key = text.mid(plus + 1);
        text.truncate(plus < 0 ? 0 : plus);
    }
    if (key.isEmpty())
        return {};

    QStringList modifiers;
    const QStringList words = text.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        const QString w = word.trimmed().toLower();
        if (w == QLatin1String("cmd") || w == QLatin1String("command"))
            modifiers << QStringLiteral("Ctrl");
        else if (w == QLatin1String("shift"))
            modifiers << QStringLiteral("Shift");
        else if (w == QLatin1String("option") || w == QLatin1String("opt") || w == QLatin1String("alt"))
            modifiers << QStringLiteral("Alt");
        else if (w == QLatin1String("ctrl") || w == QLatin1String("control"))
            modifiers << QStringLiteral("Meta");
        else
            return {};
    }
    // A bare character is a Command key.
    if (modifiers.isEmpty() && key.size() == 1)
        modifiers << QStringLiteral("Ctrl");
    modifiers.removeDuplicates();
    modifiers << key;
    const QKeySequence sequence =
        QKeySequence::fromString(modifiers.join(QLatin1Char('+')), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return {};
    return sequence;
}

void MenuItem::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    m_action->setEnabled(enabled);
}

void MenuItem::SetVisible(bool visible)
{
    m_visible = visible;
    m_action->setVisible(visible);
}

void MenuItem::SetChecked(bool checked)
{
    m_checked = checked;
    restoreCheckState();
}

void MenuItem::restoreCheckState()
{
    m_action->setCheckable(m_checked);
    m_action->setChecked(m_checked);
}

void MenuItem::Append(MenuItem* child)
{
    if (!child || child == this || m_children.contains(child))
        return;
    for (const MenuItem* up = this; up; up = up->m_parentItem) {
        if (up == child)
            return; // an item cannot hold its own parent
    }
    if (child->m_parentItem)
        child->m_parentItem->detach(child);
    else if (child->m_bar)
        child->m_bar->detachMenu(child);
    child->setParent(this);
    child->m_parentItem = this;
    m_children.append(child);
    ensureMenu();
    structureChanged();
}

void MenuItem::Remove(int index)
{
    if (index < 0 || index >= m_children.size())
        return;
    MenuItem* child = m_children.at(index);
    detach(child);
    child->setParent(nullptr);
    child->deleteLater();
}

void MenuItem::Remove(MenuItem* child)
{
    Remove(int(m_children.indexOf(child)));
}

void MenuItem::detach(MenuItem* child)
{
    if (!m_children.removeOne(child))
        return;
    child->m_parentItem = nullptr;
    structureChanged();
}

MenuItem* MenuItem::Item(int index) const
{
    return index >= 0 && index < m_children.size() ? m_children.at(index) : nullptr;
}

MenuItem* MenuItem::Child(const QString& name) const
{
    for (MenuItem* child : m_children) {
        if (child->Name() == name)
            return child;
    }
    return nullptr;
}

MenuItem* MenuItem::FindItem(const QString& name) const
{
    for (MenuItem* child : m_children) {
        if (child->Name() == name)
            return child;
        if (MenuItem* found = child->FindItem(name))
            return found;
    }
    return nullptr;
}

MenuBar* MenuItem::menuBar() const
{
    const MenuItem* root = this;
    while (root->m_parentItem)
        root = root->m_parentItem;
    return root->m_bar;
}

void MenuItem::ensureMenu()
{
    if (m_menu)
        return;
    m_menu = new QMenu();
    m_menu->setObjectName(Name());
    m_menu->setTitle(m_text);
    m_menu->setSeparatorsCollapsible(true);
    m_action->setMenu(m_menu);
    if (MenuBar* bar = menuBar())
        bar->watchMenu(m_menu);
}

void MenuItem::structureChanged()
{
    MenuItem* root = this;
    while (root->m_parentItem)
        root = root->m_parentItem;
    if (root->m_bar)
        root->m_bar->rebuild();
    else
        root->layoutMenus(nullptr);
}

void MenuItem::layoutMenus(QList<MenuItem*>* applicationItems)
{
    if (!m_menu)
        return;
    const QList<QAction*> shown = m_menu->actions();
    for (QAction* action : shown)
        m_menu->removeAction(action);
    for (MenuItem* child : std::as_const(m_children)) {
        if (child->m_placement == Placement::InParent)
            m_menu->addAction(child->m_action);
        else if (applicationItems)
            applicationItems->append(child);
        child->layoutMenus(applicationItems);
    }
}

} // namespace Starwick::platform
