#pragma once
// Input checker of edit boxes. Each watched box carries a format of one type
// letter:
//   "%s"  free text: every character accepted
//   "%u"  unsigned decimal: only digits while typing; on leaving, the number
//         must lie between 0 and 4294967295
//   "%h"  hexadecimal text: only 0-9, A-F, a-f while typing
// A rejected character is removed as it is typed, with a 1000 Hz / 200 ms beep.
// Leaving a "%u" box with a number out of range shows common.err entry 8 and
// puts back the box's accepted text (the text it last held when the user left
// it with a value that passed). A screen's own exit handler (the box's OnExit)
// that sets the box's Tag to -1 gets the same undo.
//
// Usage: VtEditConstraint c(form); c.Attach("%u", {ED_Port});
// VtSNMPRequest2Edits::BindFormatted does this for bound boxes.

#include "VtEdit.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <list>
#include <memory>
#include <vector>

struct EditConstraint_s {
    QPointer<VtEdit> Edit;
    char Type = 's';
    double Minimum = 0;
    double Maximum = 0;
    QString AcceptedText;
    std::function<void()> OwnChange;  // the box's own events, called by the checker
    std::function<void()> OwnExit;
};

class VtEditConstraint {
public:
    explicit VtEditConstraint(QWidget* owner);
    ~VtEditConstraint();
    VtEditConstraint(const VtEditConstraint&) = delete;
    VtEditConstraint& operator=(const VtEditConstraint&) = delete;

    // When on, leaving a box with a value that passes makes it the box's accepted text.
    bool RememberAcceptedText = true;

    // Watches edits[i] with the i-th "%x" item of format. Raises
    // VtException(-2, common.err entry 2) for a format that is not a sequence
    // of "%" + s/u/h (nothing is attached then); an empty format attaches
    // nothing. Watching lifts the box's maximum length.
    void Attach(const QString& format, const std::vector<VtEdit*>& edits);
    // Gives the box its own events back and forgets it.
    void Detach(VtEdit* edit);

    // The record of a watched box, or nullptr.
    const EditConstraint_s* Record(const VtEdit* edit) const;

private:
    void Changed(EditConstraint_s& rec);
    void Exited(EditConstraint_s& rec);

    QPointer<QWidget> owner_;
    std::list<std::unique_ptr<EditConstraint_s>> records_;  // stable addresses for the handlers
};

// File name of the running executable: the caption of the binding layer's
// own message boxes.
QString VtExecutableFileName();
