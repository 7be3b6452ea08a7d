#pragma once

#include "platform/window.h"

class QLabel;
class QMenu;
class QMouseEvent;
class QScrollArea;

namespace Starwick {

namespace platform {
class Canvas;
}

/// The details drawer: the credit, the page link and the explanation of the day shown. Made
/// hidden; closing it (closeDrawer, not hiding) discards it, and the next instance() makes a fresh
/// one with its initial texts. The window manager's close of the shown drawer only hides it.
///
/// The link is drawn blue and underlined; Canvas1 lies over it as its clickable area. A click opens
/// the link in the browser, a contextual click (right button, or Ctrl with the left) pops up
/// ContextualMenu1, whose rows report their text to ContextualMenu1_Action.
class DetailsWindow : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(DetailsWindow)

public:
    DetailsWindow();
    ~DetailsWindow() override;

    /// The open window, or a new hidden one.
    static DetailsWindow* instance();

    QLabel* StaticText1;
    QLabel* CreditField;
    QLabel* StaticText3;
    /// Wraps its text; shown inside explanationArea(), which scrolls a long explanation.
    QLabel* ExplanationField;
    QLabel* StaticText5;
    QLabel* LinkField;
    platform::Canvas* Canvas1;
    QMenu* ContextualMenu1;

    QScrollArea* explanationArea() const { return m_explanationArea; }

    /// Shows a day's texts: the whole credit, with the link and the explanation moved down below
    /// it when it takes more than two lines; the link cut in the middle when it is wider than its
    /// field (LinkField's text stays the whole address, which hover, opening and copying use).
    void showTexts(const QString& credit, const QString& link, const QString& explanation);

    void Canvas1_MouseEnter();
    /// x and y are not used; `event` tells a contextual click from a plain one. Always false.
    bool Canvas1_MouseDown(int x, int y, const QMouseEvent& event);
    void ContextualMenu1_Open();
    /// `item` is the text of the row chosen.
    void ContextualMenu1_Action(const QString& item);

    /// A contextual click: the right button, or the left with Ctrl held.
    static bool isContextualClick(const QMouseEvent& event);

private:
    void openLink();
    void fitCredit();

    QScrollArea* m_explanationArea;
};

} // namespace Starwick
