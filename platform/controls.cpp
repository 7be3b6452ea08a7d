#include "platform/controls.h"

#include "platform/window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>

#include <limits>

namespace Starwick::platform {

namespace {

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

/// A control that edits text over several lines: Return starts a new line there.
bool editsLines(const QWidget* control)
{
    if (const auto* text = qobject_cast<const QTextEdit*>(control))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return !plain->isReadOnly();
    return false;
}

/// A control where Return is an action of its own: a new line in a text area, the highlighted menu
/// opening in a menu bar driven from the keyboard.
bool takesReturn(const QWidget* control)
{
    return editsLines(control) || qobject_cast<const QMenuBar*>(control);
}

/// A control that edits text, where Control and Left or Right move by words.
bool editsText(const QWidget* control)
{
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QAbstractSpinBox*>(control))
        return true;
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->isEditable();
    return editsLines(control);
}

/// Hands the window's keys to the window from whichever of its controls has the focus. Qt gives a
/// key to the focus widget, which keeps it when it has a use for it (a pop-up menu searches its rows
/// for "w", a button moves the focus on with an arrow), so the keys are taken before the control
/// sees them. One filter on the application serves every control of every window.
class KeyRouter : public QObject
{
public:
    explicit KeyRouter(QObject* parent)
        : QObject(parent)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* control = static_cast<QWidget*>(watched);
        auto* window = qobject_cast<Window*>(control->window());
        if (!window || window == control)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!WindowTakesKey(control, key->key(), key->modifiers(), window->defaultButton() != nullptr))
            return false;
        QCoreApplication::sendEvent(window, key);
        // Handled by the window: the key goes neither to the control nor to its parents.
        key->accept();
        return true;
    }
};

} // namespace

void RouteWindowKeys()
{
    static QPointer<KeyRouter> router;
    if (!router && qApp) {
        router = new KeyRouter(qApp);
        qApp->installEventFilter(router);
    }
}

bool WindowTakesKey(const QWidget* control, int key, Qt::KeyboardModifiers modifiers, bool hasDefaultButton)
{
    const bool withControl = modifiers.testFlag(Qt::ControlModifier);
    if (withControl && (key == Qt::Key_W || key == Qt::Key_Period))
        return true;
    if (withControl && isArrow(key))
        return !((key == Qt::Key_Left || key == Qt::Key_Right) && editsText(control));
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter))
        return hasDefaultButton && !takesReturn(control);
    return false;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, const QFont& font, bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(font);
    box->setChecked(checked);
    return box;
}

QPushButton* MakePushButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QComboBox* MakePopupMenu(QWidget* parent, const char* name, const QStringList& rows, const QFont& font)
{
    auto* popup = new QComboBox(parent);
    popup->setObjectName(QLatin1String(name));
    popup->setFont(font);
    popup->setEditable(false);
    popup->addItems(rows);
    popup->setCurrentIndex(rows.isEmpty() ? -1 : 0);
    return popup;
}

QLineEdit* MakeEditField(QWidget* parent, const char* name, const QFont& font, EditFieldKind kind)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setFont(font);
    field->setFrame(true);
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setEchoMode(kind == EditFieldKind::Password ? QLineEdit::Password : QLineEdit::Normal);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
    return field;
}

QStackedWidget* MakePagePanel(QWidget* parent, const char* name, int pageCount)
{
    auto* panel = new QStackedWidget(parent);
    panel->setObjectName(QLatin1String(name));
    for (int page = 0; page < pageCount; ++page) {
        auto* widget = new QWidget(panel);
        widget->setObjectName(QStringLiteral("Page%1").arg(page));
        panel->addWidget(widget);
    }
    panel->setCurrentIndex(0);
    return panel;
}

} // namespace Starwick::platform
