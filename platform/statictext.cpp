#include "platform/statictext.h"

#include <QLabel>
#include <QPalette>

namespace Starwick::platform {

QLabel* MakeStaticText(QWidget* parent, const char* name, const QString& text, const QFont& font, bool multiLine)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(multiLine);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace Starwick::platform
