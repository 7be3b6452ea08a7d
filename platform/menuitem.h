#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace Starwick::platform {

class MenuBar;

/// One item of the menu bar: a QAction carrying the item's name as its objectName, and a QMenu once
/// the item has children. The caption "-" makes a separator; "&" marks the mnemonic letter. A menu
/// bar raises the item's events: EnableMenu during every enabling pass, Action when the user
/// chooses the item (true means handled; false lets the menu bar call the handlers registered
/// under the item's name).
///
/// Children belong to their parent item; an item appended to a menu bar belongs to the bar.
class MenuItem : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(MenuItem)

public:
    /// Where the menu layer shows an item. Items of the application's own kinds show in the
    /// application menu, whichever menu they were appended to; lookup still finds them there.
    enum class Placement
    {
        InParent,
        ApplicationMenu, ///< about, personalise and the other application items
        Preferences,
        Quit,
    };

    MenuItem();
    explicit MenuItem(const QString& text);
    ~MenuItem() override;

    QString Name() const { return objectName(); }
    void SetName(const QString& name);

    QString Text() const { return m_text; }
    void SetText(const QString& text);
    bool isSeparator() const { return m_text == QLatin1String("-"); }

    /// The command key as written for the program ("Cmd+S", "Cmd+Shift+K", "Cmd+,", or a bare
    /// "M" meaning Command-M); Command is Control here.
    QString CommandKey() const { return m_commandKey; }
    void SetCommandKey(const QString& commandKey);
    QKeySequence shortcut() const { return m_shortcut; }
    static QKeySequence shortcutFromCommandKey(const QString& commandKey);

    /// Whether each enabling pass starts with the item enabled (true) or disabled (false).
    bool AutoEnable() const { return m_autoEnable; }
    void SetAutoEnable(bool autoEnable) { m_autoEnable = autoEnable; }

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);

    /// Appends `child` at the end of this item's children; this item becomes a menu and owns it.
    void Append(MenuItem* child);
    /// Removes child `index` from the menu and releases it (later, so that an item may be removed
    /// from inside one of its own events). Out of range: nothing happens.
    void Remove(int index);
    void Remove(MenuItem* child);
    int Count() const { return int(m_children.size()); }
    /// Child `index`, or nullptr outside the children.
    MenuItem* Item(int index) const;
    /// The direct child of that name, or nullptr.
    MenuItem* Child(const QString& name) const;
    /// The item of that name among the children and all their submenus, or nullptr.
    MenuItem* FindItem(const QString& name) const;

    MenuItem* parentItem() const { return m_parentItem; }
    /// The menu bar this item is in (through its parents), or nullptr.
    MenuBar* menuBar() const;
    Placement placement() const { return m_placement; }

    QAction* action() const { return m_action; }
    /// The item's submenu; nullptr until it has children or is a menu of the bar.
    QMenu* menu() const { return m_menu; }

    // Item events, raised by the menu bar.
    virtual void EnableMenu() {}
    virtual bool Action() { return false; }

protected:
    MenuItem(Placement placement, const QString& text);

private:
    friend class MenuBar;

    void ensureMenu();
    void structureChanged();
    /// Refills this item's submenu (and its children's) with the children shown in place; the
    /// children shown in the application menu are collected into `applicationItems`.
    void layoutMenus(QList<MenuItem*>* applicationItems);
    void restoreCheckState();
    void detach(MenuItem* child);

    QAction* m_action = nullptr;
    QMenu* m_menu = nullptr;
    QList<MenuItem*> m_children;
    MenuItem* m_parentItem = nullptr;
    MenuBar* m_bar = nullptr;
    Placement m_placement = Placement::InParent;
    QString m_text;
    QString m_commandKey;
    QKeySequence m_shortcut;
    bool m_autoEnable = true;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
};

/// The Quit item; the menu layer shows it last in the application menu.
class QuitMenuItem : public MenuItem
{
    Q_OBJECT
    Q_DISABLE_COPY(QuitMenuItem)

public:
    QuitMenuItem()
        : MenuItem(Placement::Quit, QString())
    {}
};

/// The Preferences item; the menu layer shows it in the application menu, above Quit.
class PrefsMenuItem : public MenuItem
{
    Q_OBJECT
    Q_DISABLE_COPY(PrefsMenuItem)

public:
    PrefsMenuItem()
        : MenuItem(Placement::Preferences, QString())
    {}
};

/// An item of the application menu (about, personalise, cache and drawer commands, updates),
/// shown there in the order appended, whichever menu it was appended to.
class AppleMenuItem : public MenuItem
{
    Q_OBJECT
    Q_DISABLE_COPY(AppleMenuItem)

public:
    AppleMenuItem()
        : MenuItem(Placement::ApplicationMenu, QString())
    {}
};

} // namespace Starwick::platform
