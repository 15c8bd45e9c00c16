#pragma once
// Small helpers every feature screen uses to look and behave alike: the
// fixed dialog frame, "caption: box" rows whose label is the box's buddy, a
// tab order that follows the visual order, and the refusal of a failed input
// check (message box, then clear and focus the offending box).

#include <QString>

#include <initializer_list>

class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class VtEdit;
class VtStatusBar;

namespace ScreenForm {

// Controls created with their specified object names.
VtEdit* newEdit(QWidget* form, const char* name, int minimumWidth);
// A push button that Enter in an edit box does not press.
QPushButton* newButton(QWidget* form, const char* name, const QString& caption);
// The form's status bar, named "StatusBar".
VtStatusBar* newStatusBar(QWidget* form);

// The layout every screen shares: the caption/field grid, a centred row of
// buttons below it, and the status bar along the bottom edge.
void layOut(QDialog* form, QGridLayout* fields, std::initializer_list<QPushButton*> buttons, VtStatusBar* bar);

// Limits what the user can type into the box to `maxLength` characters,
// like the maximum length of a desktop edit box: a longer text that the
// program puts there (a value read from the device) is shown whole and can
// be shortened, but typing or pasting cannot make a text longer than the
// limit grow. (QLineEdit::setMaxLength would cut the device's value.)
void setMaxLength(QLineEdit* box, int maxLength);

// Fixed-size modal dialog with a single border, the system menu and the
// minimise button only. Call after the layout is complete: the size is frozen
// at what the layout asks for with every control visible.
void fixDialogFrame(QDialog* form, const QString& caption);

// Adds "caption" in column 0 and the field in column 1 of `row`; the label is
// the field's buddy. Returns the label.
QLabel* addRow(QGridLayout* grid, int row, const QString& caption, QWidget* field);

// Tab order in the order given (the visual order of the form).
void setTabOrder(std::initializer_list<QWidget*> widgets);

// Moves the form to the centre of the application's main window, when one is
// shown (screens are created without an owner, so Qt would centre them on
// the desktop).
void centreOnMainWindow(QWidget* form);

// One input check of a form, written as a row of the form's check table.
struct InputCheck {
    bool failed;          // the condition that refuses the input
    const char* message;  // shown in a box with an OK button
    const char* caption;  // "Warning", "Error", ...
    QLineEdit* box;       // focused (and cleared when asked) on failure; null: focus stays
};

// Runs the checks in table order and stops at the first failure: shows its
// message, clears its box when `clearBox` is set, puts the focus in the box
// and returns false. True when every check passes.
bool passChecks(QWidget* form, std::initializer_list<InputCheck> checks, bool clearBox);

}  // namespace ScreenForm
