#pragma once

#include <QToolBar>

class QAbstractButton;

namespace Starwick::platform {

class Picture;

/// A window toolbar: a row of items across the window's top (Window::setToolbar), each a caption
/// under an icon. An item is a QAction named like the item; its Action event is
/// QAction::triggered. Items are enabled and carry no selection mark.
class Toolbar : public QToolBar
{
    Q_OBJECT
    Q_DISABLE_COPY(Toolbar)

public:
    explicit Toolbar(QWidget* parent = nullptr);
    ~Toolbar() override;

    /// Appends an item with `caption` and no icon yet.
    QAction* AddItem(const char* name, const QString& caption);
    /// The item of that name, or nullptr.
    QAction* Item(const QString& name) const;
    /// The button that shows `item` (what a click lands on).
    QAbstractButton* buttonFor(QAction* item) const;

    /// Sets an item's icon to `picture` as drawn, its mask applied.
    static void SetImage(QAction* item, const Picture& picture);
};

} // namespace Starwick::platform
