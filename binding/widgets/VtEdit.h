#pragma once
// Edit box of the module: a QLineEdit with the small extras the screens and
// the binding layer rely on.
//
// - Tag: an integer the screen may set freely. A screen's own exit handler
//   sets it to -1 to reject what the user typed; the input checker then puts
//   the last accepted text back (see VtEditConstraint).
// - OnChange / OnExit: the box's own change and exit events. OnChange runs on
//   every change of the text (typed or set by code); OnExit runs when the
//   focus leaves the box for another control (switching windows or opening a
//   popup is not leaving the box). The input checker puts its own handling in
//   their place and calls the screen's handlers from there, so screens react
//   to these two instead of connecting to textChanged/editingFinished when
//   the box carries a format.

#include <QLineEdit>

#include <functional>

class VtEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    explicit VtEdit(QWidget* parent = nullptr);

    int tag() const { return Tag; }
    void setTag(int tag) { Tag = tag; }

    int Tag = 0;
    std::function<void()> OnChange;
    std::function<void()> OnExit;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};
