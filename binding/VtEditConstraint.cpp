#include "VtEditConstraint.h"

#include "Dialogs.h"
#include "VtError.h"
#include "VtMessages.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

constexpr int kBadFormatContext = -2;
constexpr int kBadFormatEntry = 2;
constexpr int kRangeEntry = 8;

bool isMarker(const QString& text)
{
    return text == QLatin1String("(NULL)") || text == QLatin1String("(NOTDONE)");
}

bool accepts(char type, QChar c)
{
    switch (type) {
    case 'u':
        return c >= '0' && c <= '9';
    case 'h':
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    default:
        return true;
    }
}

struct FormatItem {
    char type;
    double minimum;
    double maximum;
};

std::vector<FormatItem> parseFormat(const QString& format)
{
    std::vector<FormatItem> items;
    for (int i = 0; i < format.size(); i += 2) {
        const QChar type = i + 1 < format.size() ? format[i + 1] : QChar();
        if (format[i] != '%' || (type != 's' && type != 'u' && type != 'h'))
            throw VtException(kBadFormatContext, VtMsgText(VtMsgTable::Common, kBadFormatEntry));
        if (type == 'u')
            items.push_back({'u', 0.0, 4294967295.0});
        else
            items.push_back({static_cast<char>(type.unicode()), 0.0, 0.0});
    }
    return items;
}

}  // namespace

QString VtExecutableFileName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

VtEditConstraint::VtEditConstraint(QWidget* owner) : owner_(owner) {}

VtEditConstraint::~VtEditConstraint()
{
    while (!records_.empty())
        Detach(records_.front()->Edit.data());
}

void VtEditConstraint::Attach(const QString& format, const std::vector<VtEdit*>& edits)
{
    const std::vector<FormatItem> items = parseFormat(format);
    for (size_t i = 0; i < items.size() && i < edits.size(); ++i) {
        VtEdit* edit = edits[i];
        if (!edit)
            continue;
        Detach(edit);  // a box is watched by one format item at a time
        auto rec = std::make_unique<EditConstraint_s>();
        rec->Edit = edit;
        rec->Type = items[i].type;
        rec->Minimum = items[i].minimum;
        rec->Maximum = items[i].maximum;
        rec->OwnChange = edit->OnChange;
        rec->OwnExit = edit->OnExit;
        EditConstraint_s* r = rec.get();
        edit->setMaxLength(32767);  // Qt's "no limit"
        edit->OnChange = [this, r] { Changed(*r); };
        edit->OnExit = [this, r] { Exited(*r); };
        records_.push_back(std::move(rec));
    }
}

void VtEditConstraint::Detach(VtEdit* edit)
{
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if ((*it)->Edit.data() != edit)
            continue;
        if (edit) {
            edit->OnChange = (*it)->OwnChange;
            edit->OnExit = (*it)->OwnExit;
        }
        records_.erase(it);
        return;
    }
}

const EditConstraint_s* VtEditConstraint::Record(const VtEdit* edit) const
{
    for (const auto& rec : records_)
        if (rec->Edit.data() == edit)
            return rec.get();
    return nullptr;
}

// The box of a record when its text is for the checker: boxes showing no
// value ("(NULL)", "(NOTDONE)") and empty boxes are left alone.
static VtEdit* checkedBox(const EditConstraint_s& rec)
{
    VtEdit* edit = rec.Edit.data();
    if (!edit || edit->text().isEmpty() || isMarker(edit->text()))
        return nullptr;
    return edit;
}

void VtEditConstraint::Changed(EditConstraint_s& rec)
{
    VtEdit* edit = checkedBox(rec);
    if (!edit)
        return;
    const QString text = edit->text();
    for (int i = 0; i < text.size(); ++i) {
        if (accepts(rec.Type, text[i]))
            continue;
        Dialogs::beep(1000, 200);
        // Setting the shortened text is a change of its own and is checked again.
        edit->setText(QString(text).remove(i, 1));
        edit->setCursorPosition(std::min(i, static_cast<int>(edit->text().size())));
        return;
    }
    if (rec.OwnChange)
        rec.OwnChange();
}

void VtEditConstraint::Exited(EditConstraint_s& rec)
{
    VtEdit* edit = checkedBox(rec);
    if (!edit)
        return;
    const QString text = edit->text();
    if (rec.Type == 'u') {
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || number < rec.Minimum || number > rec.Maximum) {
            QString message = QString::fromStdString(VtMsgText(VtMsgTable::Common, kRangeEntry));
            message.replace(QLatin1String("[MIN]"), QString::number(rec.Minimum, 'f', 0));
            message.replace(QLatin1String("[MAX]"), QString::number(rec.Maximum, 'f', 0));
            Dialogs::messageBox(owner_.data(), message, VtExecutableFileName());
            if (rec.Edit) {
                edit->setText(rec.AcceptedText);
                edit->setFocus();
            }
            return;
        }
    }
    if (rec.OwnExit) {
        const std::function<void()> own = rec.OwnExit;
        own();
        // The screen's handler may have detached the box.
        if (!Record(edit))
            return;
    }
    if (edit->Tag == -1)
        edit->setText(rec.AcceptedText);
    else if (RememberAcceptedText)
        rec.AcceptedText = edit->text();
}
