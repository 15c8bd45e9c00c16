#include "VtSNMPRequest2Edits.h"

#include "Dialogs.h"
#include "VtItemControls.h"
#include "VtListView.h"
#include "VtMessages.h"
#include "VtRadioGroup.h"
#include "VtStatusBar.h"
#include "VtValueFormat.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kBooleanSyntax = 1;
constexpr int kNotBoolean = -517;
constexpr int kNoOptionList = -520;
constexpr int kBadControl = -521;

QString toQ(const std::string& s) { return QString::fromStdString(s); }
std::string toStd(const QString& s) { return s.toStdString(); }

bool switchedOff(const VtSNMPVarItem& item) { return (item.Access & VT_ACCESS_INVALID) != 0; }

// Runs f; an exception leaves the object idle and goes on to the caller.
template <class F>
void clearingBusyOnThrow(bool& busy, F&& f)
{
    try {
        f();
    } catch (...) {
        busy = false;
        throw;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// VtSNMPRequest2Controls

VtSNMPRequest2Controls::VtSNMPRequest2Controls(QWidget* owner)
    : QObject(owner), owner_(owner), alive_(std::make_shared<bool>(true))
{
}

VtSNMPRequest2Controls::~VtSNMPRequest2Controls()
{
    // The request's destructor waits for outstanding answers while events
    // run; by then the derived parts of this object are gone, so late
    // completions must find nothing to do.
    *alive_ = false;
    Request.Enabled = false;
}

void VtSNMPRequest2Controls::ProcessPendingMessages()
{
    QCoreApplication::processEvents();
}

void VtSNMPRequest2Controls::ReportSuccess()
{
    if (!Request.OnResult)
        return;
    VtSNMPError ok;
    ok.Code = 0;
    ok.Message = VtMapOutcome(0).second;
    ok.Number = -1;
    Request.OnResult(&ok);
}

void VtSNMPRequest2Controls::ReportShowError(const std::string& message)
{
    if (LogTarget)
        VtWriteResultLog(LogTarget.data(), kind_, message);
    else
        Dialogs::messageBox(owner_.data(), toQ(message), VtExecutableFileName());
}

bool VtSNMPRequest2Controls::Load()
{
    kind_ = 0;
    DoBeforeLoad();
    Busy = true;
    if (Asynchronous) {
        if (!Request.Enabled) {
            Busy = false;
            return true;
        }
        clearingBusyOnThrow(Busy, [&] { SendLoadStep(true); });
        return true;
    }

    bool ok = true;
    clearingBusyOnThrow(Busy, [&] {
        if (!Request.VarList.IsTable()) {
            Request.Read(true, ok);
            RowReceived();  // also after a failure: the controls show "(NULL)"
        } else {
            for (bool first = true; Request.Read(first, ok); first = false)
                RowReceived();
        }
        DoAfterLoad();
    });
    Busy = false;
    if (ok)
        ReportSuccess();
    return ok;
}

void VtSNMPRequest2Controls::SendLoadStep(bool first)
{
    std::weak_ptr<bool> alive = alive_;
    Request.ReadAsync(
        [this, alive](VtSNMPError& result, VtSNMPVarList&) {
            const auto flag = alive.lock();
            if (flag && *flag)
                LoadAnswered(result);
        },
        first);
}

void VtSNMPRequest2Controls::LoadAnswered(VtSNMPError& result)
{
    if (result.Code != 0) {
        Busy = false;
        kind_ = 0;
        if (OnLoadDone)
            OnLoadDone(this, result);
        return;
    }
    // Nothing may escape into the event loop: errors while showing the
    // answer are reported where the screen can see them.
    try {
        if (!Request.VarList.IsTable()) {
            RowReceived();
            FinishAsyncLoad(result);
        } else if (!result.Last) {
            RowReceived();
            if (Request.Enabled)
                SendLoadStep(false);
            else
                FinishAsyncLoad(result);
        } else {
            FinishAsyncLoad(result);
        }
    } catch (const std::exception& e) {
        Busy = false;
        kind_ = 0;
        ReportShowError(e.what());
    }
}

void VtSNMPRequest2Controls::FinishAsyncLoad(VtSNMPError& result)
{
    DoAfterLoad();
    Busy = false;
    ReportSuccess();
    if (OnLoadDone)
        OnLoadDone(this, result);
}

bool VtSNMPRequest2Controls::Save(bool reloadAfterSave, bool collectFromControls)
{
    kind_ = 1;
    reload_ = reloadAfterSave;
    DoBeforeSave();
    if (collectFromControls)
        clearingBusyOnThrow(Busy, [&] { CollectValues(); });

    Busy = true;
    if (Asynchronous) {
        if (!Request.Enabled) {
            Busy = false;
            return true;
        }
        std::weak_ptr<bool> alive = alive_;
        clearingBusyOnThrow(Busy, [&] {
            Request.WriteAsync([this, alive](VtSNMPError& result, VtSNMPVarList&) {
                const auto flag = alive.lock();
                if (flag && *flag)
                    SaveAnswered(result);
            });
        });
        return true;
    }

    bool ok = true;
    clearingBusyOnThrow(Busy, [&] {
        Request.Write(ok);
        DoAfterSave();
    });
    Busy = false;
    if (ok)
        ReportSuccess();
    if (Request.VarList.IsTable() && reload_)
        Load();
    return ok;
}

void VtSNMPRequest2Controls::SaveAnswered(VtSNMPError& result)
{
    try {
        if (result.Code != 0) {
            Busy = false;
            kind_ = 1;
            if (OnSaveDone)
                OnSaveDone(this, result);
            return;
        }
        DoAfterSave();
        Busy = false;
        kind_ = 1;
        ReportSuccess();
        if (OnSaveDone)
            OnSaveDone(this, result);
        if (Request.VarList.IsTable() && reload_)
            Load();
    } catch (const std::exception& e) {
        Busy = false;
        ReportShowError(e.what());
    }
}

// ---------------------------------------------------------------------------
// VtSNMPRequest2Edits

VtSNMPRequest2Edits::VtSNMPRequest2Edits(QWidget* owner)
    : VtSNMPRequest2Controls(owner), constraint_(owner)
{
}

VtSNMPRequest2Edits::~VtSNMPRequest2Edits()
{
    if (listView_)
        listView_->OnSelectItem = savedSelect_;
}

void VtSNMPRequest2Edits::BindComboBox(int index, QComboBox* box)
{
    if (box)
        box->setEditable(false);
    BindControl(index, box);
}

void VtSNMPRequest2Edits::BindControl(int index, QWidget* control)
{
    VtSNMPVarItem& item = Request.VarList.Item(index);
    auto* combo = qobject_cast<QComboBox*>(control);
    auto* radio = qobject_cast<VtRadioGroup*>(control);
    if (combo || radio) {
        if (!item.OptionList)
            VtRaise(kNoOptionList);
        if (combo) {
            VtComboItems items(combo);
            item.OptionList->FillItems(items);
        } else {
            VtRadioItems items(radio);
            item.OptionList->FillItems(items);
        }
    }
    bindings_.push_back({index, control});
}

void VtSNMPRequest2Edits::BindFormatted(int index, const QString& format, VtEdit* edit)
{
    BindControl(index, edit);
    constraint_.Attach(format, {edit});
}

void VtSNMPRequest2Edits::BindListView(VtListView* view)
{
    if (listView_)
        listView_->OnSelectItem = savedSelect_;
    listView_ = view;
    if (!view)
        return;
    view->setReportStyle();
    savedSelect_ = view->OnSelectItem;
    view->OnSelectItem = [this](int row, bool selected) { ListViewSelectItem(row, selected); };
}

// --- showing values

void VtSNMPRequest2Edits::ShowValues()
{
    for (const Binding& b : bindings_)
        if (!switchedOff(Request.VarList.Item(b.Index)))
            ShowValue(b);
}

void VtSNMPRequest2Edits::ShowValue(const Binding& b)
{
    QWidget* control = b.Control.data();
    if (!control)
        return;
    const VtSNMPVarItem& item = Request.VarList.Item(b.Index);
    const VtOptionList* options = item.OptionList;
    // A number that has a label shows the label.
    const std::string text = options ? options->LabelOf(options->ValueOf(item.Value)) : item.Value;

    if (auto* radio = qobject_cast<VtRadioGroup*>(control)) {
        VtRadioItems items(radio);
        if (options)
            options->Select(items, text);
        else
            radio->setItemIndex(-1);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        if (options) {
            int entry = options->LabelIndex(text);
            if (entry < 0)
                entry = options->ValueIndex(text);
            check->setChecked(entry > 0);
        } else if (item.Syntax == kBooleanSyntax) {
            check->setChecked(text == "true");
        } else {
            VtRaise(kNotBoolean);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        VtComboItems items(combo);
        if (options)
            options->Select(items, text);
        else
            combo->setCurrentIndex(combo->findText(toQ(text)));
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(toQ(text));
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(toQ(text));
    } else {
        VtRaise(kBadControl);
    }
}

// --- collecting values

std::string VtSNMPRequest2Edits::ControlText(const Binding& b) const
{
    QWidget* control = b.Control.data();
    const VtSNMPVarItem& item = Request.VarList.Item(b.Index);
    const VtOptionList* options = item.OptionList;

    if (auto* radio = qobject_cast<VtRadioGroup*>(control))
        return toStd(radio->itemText(radio->itemIndex()));  // none selected: ""
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        if (options) {
            if (options->Count() < 2)
                VtRaise(kNoOptionList);
            return options->Label(check->isChecked() ? 1 : 0);
        }
        if (item.Syntax == kBooleanSyntax)
            return check->isChecked() ? "true" : "false";
        VtRaise(kNotBoolean);
    }
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return toStd(combo->itemText(combo->currentIndex()));  // none selected: ""
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return toStd(edit->text());
    if (auto* label = qobject_cast<QLabel*>(control))
        return toStd(label->text());
    VtRaise(kBadControl);
}

void VtSNMPRequest2Edits::CollectValues()
{
    VtSNMPVarList& list = Request.VarList;
    for (int i = 0; i < list.Count(); ++i)
        list.Item(i).Value.clear();
    if (listView_ && listView_->selectedRow() >= 0)
        CopyRowToItems(listView_->selectedRow());

    // An item bound to several controls is collected from the first of them.
    std::vector<bool> collected(static_cast<size_t>(list.Count()), false);
    for (const Binding& b : bindings_) {
        if (!b.Control || b.Index >= list.Count() || collected[b.Index] || !list.IsWritable(b.Index))
            continue;
        collected[b.Index] = true;
        VtSNMPVarItem& item = list.Item(b.Index);
        std::string text = ControlText(b);
        if (item.OptionList)
            text = item.OptionList->ValueOf(text);
        item.Value = VtNormaliseControlText(item, text);
    }
}

// --- list view

std::vector<int> VtSNMPRequest2Edits::ColumnItems() const
{
    const VtSNMPVarList& list = Request.VarList;
    std::vector<int> columns;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsHiddenColumn(i))
            columns.push_back(i);
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsShownColumn(i))
            columns.push_back(i);
    return columns;
}

void VtSNMPRequest2Edits::SetUpColumns()
{
    const VtSNMPVarList& list = Request.VarList;
    const std::vector<int> columns = ColumnItems();
    // A list that already has enough columns keeps them, with the widths the
    // screen or the user gave them.
    if (listView_->columnCount() >= static_cast<int>(columns.size()))
        return;
    listView_->clearColumns();
    const QFontMetrics metrics(listView_->font());
    for (int i : columns) {
        const QString caption = toQ(list.Item(i).Name);
        const int width = list.IsHiddenColumn(i) ? 0 : metrics.horizontalAdvance(caption) + 16;
        listView_->addColumn(caption, width);
    }
}

QStringList VtSNMPRequest2Edits::RowCells() const
{
    QStringList cells;
    for (int i : ColumnItems())
        cells << toQ(Request.VarList.Item(i).Value);
    return cells;
}

void VtSNMPRequest2Edits::AddRow()
{
    AddRow(RowCells());
}

void VtSNMPRequest2Edits::AddRow(const QStringList& cells)
{
    listView_->addRow(cells);
}

void VtSNMPRequest2Edits::CopyRowToItems(int row)
{
    const std::vector<int> columns = ColumnItems();
    const int n = std::min(static_cast<int>(columns.size()), listView_->columnCount());
    for (int c = 0; c < n; ++c)
        Request.VarList.Item(columns[c]).Value = toStd(listView_->cell(row, c));
}

void VtSNMPRequest2Edits::SetBoundControlsEnabled(bool enabled)
{
    for (const Binding& b : bindings_)
        if (b.Control)
            b.Control->setEnabled(enabled);
}

void VtSNMPRequest2Edits::ListViewSelectItem(int row, bool selected)
{
    if (savedSelect_)
        savedSelect_(row, selected);
    if (!selected || !listView_)
        return;
    // Called from the list's signal: nothing may escape into the event loop.
    try {
        SetBoundControlsEnabled(true);
        CopyRowToItems(row);
        ShowValues();
    } catch (const std::exception& e) {
        ReportShowError(e.what());
    }
}

// --- flow slots

void VtSNMPRequest2Edits::DoBeforeLoad()
{
    if (listView_) {
        SetUpColumns();
        listView_->clearRows();
    }
    if (BeforeLoad)
        BeforeLoad();
}

void VtSNMPRequest2Edits::DoBeforeSave()
{
    if (BeforeSave)
        BeforeSave();
}

void VtSNMPRequest2Edits::RowReceived()
{
    if (listView_) {
        AddRow();
        ProcessPendingMessages();
    } else {
        ShowValues();
    }
}

void VtSNMPRequest2Edits::DoAfterLoad()
{
    if (listView_ && Request.VarList.ItemType == MVT_FMV)
        SetBoundControlsEnabled(false);
    if (AfterLoad)
        AfterLoad();
}

void VtSNMPRequest2Edits::DoAfterSave()
{
    if (AfterSave)
        AfterSave();
}
