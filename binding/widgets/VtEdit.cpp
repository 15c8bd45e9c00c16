#include "VtEdit.h"

#include <QFocusEvent>

VtEdit::VtEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) {
            const std::function<void()> handler = OnChange;
            handler();
        }
    });
}

void VtEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Losing focus to another window or to a popup menu leaves the user in the
    // box; only a move to another control counts as leaving it.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (OnExit) {
        // Copy first: the handler may replace OnExit (detaching the checker).
        const std::function<void()> handler = OnExit;
        handler();
    }
}
