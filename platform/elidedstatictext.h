#pragma once

#include <QLabel>

namespace Starwick::platform {

/// A one-line static text that draws a text too wide for it cut in the middle (an ellipsis in place
/// of what is left out, so that both ends show), and then shows the whole text when the pointer
/// rests on it. text() is always the whole text. Made by MakeElidedStaticText (statictext.h).
class ElidedStaticText : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY(ElidedStaticText)

public:
    explicit ElidedStaticText(QWidget* parent = nullptr);

    /// The text as drawn at the control's present width.
    QString shownText() const;
    /// Whether the text is cut to fit.
    bool isElided() const { return shownText() != text(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace Starwick::platform
