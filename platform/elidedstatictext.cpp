#include "platform/elidedstatictext.h"

#include "platform/statictext.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace Starwick::platform {

ElidedStaticText::ElidedStaticText(QWidget* parent)
    : QLabel(parent)
{}

QString ElidedStaticText::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool ElidedStaticText::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        // The whole text on hover, and only when part of it is hidden.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (isElided()) {
            QToolTip::showText(help->globalPos(), PlainTextToolTip(text()), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QLabel::event(event);
}

void ElidedStaticText::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, shownText());
}

} // namespace Starwick::platform
