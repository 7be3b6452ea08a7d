#pragma once

#include <QFlags>
#include <QFont>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace Starwick::platform {

/// A check box with its caption, checked or not. Its Action event is QCheckBox::toggled: it is
/// raised whenever the value changes, by a click or by code (setChecked with the other value);
/// setting the value it already has raises nothing.
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, const QFont& font, bool checked);

/// A push button with its caption; its Action event is QPushButton::clicked.
QPushButton* MakePushButton(QWidget* parent, const char* name, const QString& caption);

/// A pop-up menu of text rows, row 0 selected; the selected row is currentIndex().
QComboBox* MakePopupMenu(QWidget* parent, const char* name, const QStringList& rows, const QFont& font);

enum class EditFieldKind
{
    Plain,
    Password, ///< what is typed shows masked
};

/// A one-line edit field: bordered, left-aligned, on white, without a length limit.
QLineEdit* MakeEditField(QWidget* parent, const char* name, const QFont& font,
                         EditFieldKind kind = EditFieldKind::Plain);

/// A page panel: `pageCount` pages (children "Page0", "Page1", ...) of which one shows at a time,
/// page 0 when made. Controls of a page are children of widget(page); the page shown is
/// currentIndex().
QStackedWidget* MakePagePanel(QWidget* parent, const char* name, int pageCount);

/// Whether a key typed in `control`, a control of a window, is the window's rather than the
/// control's: the window's KeyDown and its default button get it whichever control has the focus.
/// They are Control and W, Control and the full stop, Control and an arrow key (but Control and Left
/// or Right in a text field, which move by words there), and Return or Enter when the window has a
/// default button (but not in a text area that takes several lines, nor in a menu bar, where it
/// opens the highlighted menu). Every other key, plain arrows and the text fields' editing keys
/// among them, stays with the control.
bool WindowTakesKey(const QWidget* control, int key, Qt::KeyboardModifiers modifiers, bool hasDefaultButton);

/// Hands the window's keys (WindowTakesKey) to the window from whichever of its controls has the
/// focus, in every window of the program; the window's KeyDown and default button get them. Every
/// window calls it when made; it installs itself once.
void RouteWindowKeys();

} // namespace Starwick::platform
