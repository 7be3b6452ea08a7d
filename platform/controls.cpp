#include "platform/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStackedWidget>

#include <limits>

namespace Starwick::platform {

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
