#include "platform/statictext.h"

#include "platform/elidedstatictext.h"

#include <QLabel>
#include <QPalette>
#include <QTextDocument>

namespace Starwick::platform {

namespace {

QLabel* setUp(QLabel* label, const char* name, const QString& text, const QFont& font, bool multiLine)
{
    label->setText(text);
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

} // namespace

QLabel* MakeStaticText(QWidget* parent, const char* name, const QString& text, const QFont& font, bool multiLine)
{
    return setUp(new QLabel(parent), name, text, font, multiLine);
}

QString PlainTextToolTip(const QString& text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QLabel* MakeElidedStaticText(QWidget* parent, const char* name, const QString& text, const QFont& font)
{
    return setUp(new ElidedStaticText(parent), name, text, font, false);
}

} // namespace Starwick::platform
