#pragma once

#include "platform/window.h"

class QLabel;

namespace Starwick {

namespace platform {
class Canvas;
}

/// The About box: the icon, the name and version, what the program does, the owner name and the
/// copyright notice. The pointer on the icon grows the box to uncover a strip with the maker's
/// logo and the development tool's badge, each a link to its web page; a click on either shrinks
/// the box back first. Command-W and the close box close it; the next one opens collapsed.
class AboutBox : public platform::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(AboutBox)

public:
    AboutBox();
    ~AboutBox() override;

    /// The open About box, or a new one, shown at once.
    static AboutBox* instance();

    static constexpr int kWidth = 321;
    static constexpr int kCollapsedHeight = 268;
    static constexpr int kExpandedHeight = 304;

    /// The development tool's web page, which the badge opens.
    static QString toolPageURL();

    platform::Canvas* Canvas1;
    QLabel* StaticText2;
    QLabel* StaticText1;
    QLabel* StaticText3;
    QLabel* StaticText5;
    QLabel* RegisteredTo;
    QLabel* Copyright;
    platform::Canvas* Canvas3;
    platform::Canvas* Canvas2;

    void StaticText1_Open();
    void Canvas1_MouseEnter();
    void Canvas2_MouseEnter();
    bool Canvas2_MouseDown();
    void RegisteredTo_Open();
    void Canvas3_MouseEnter();
    bool Canvas3_MouseDown();
    bool KeyDown(const QString& key) override;

private:
    QLabel* addText(const char* name, const QString& text, const QRect& rect, int points, bool bold = false,
                    bool multiLine = false);
    void resizeTo(int height);
};

} // namespace Starwick
