#pragma once
// Binding objects: one SNMP request whose variables are shown in and
// collected from a screen's controls, or presented in a list view.
//
// A screen builds one object per request in its constructor:
//
//   auto* lan = new VtSNMPRequest2Edits(this);          // owned by the form
//   lan->Request.VarList = VtSNMPVarList(LanArray, SVT_SV);
//   lan->Request.Timeout = 1000;                        // 10 s
//   lan->Asynchronous = false;                          // blocking Load/Save
//   lan->BindComboBox(0, CB_IPFrom);                    // items = option labels
//   lan->BindFormatted(1, "%s", ED_IpAddr);             // edit + input checker
//   lan->SetLogTarget(StatusBar);
//   lan->Load();                                        // device -> controls
//   ...
//   lan->Save(true, true);                              // controls -> device
//
// Assign the variable list before binding (binding a combo box or a radio
// group fills it from the item's option list). Bindable controls: QLabel,
// QCheckBox, QComboBox, VtRadioGroup and QLineEdit (VtEdit for formats);
// anything else raises -521 when values are shown or collected.
//
// Blocking Load/Save return whether no error was reported; errors go to
// Request.OnResult, and a success record (code 0, Number -1) is sent there
// too. Asynchronous ones return at once and end in OnLoadDone/OnSaveDone,
// called from the event pump with the request's result. Binding and
// conversion errors are VtException: thrown by the bind calls and blocking
// operations; written to LogTarget (or a message box) when they happen while
// an asynchronous answer is shown.
//
// A bound list view (BindListView) receives the rows of a walked table. With
// item type MVT_FMV the bound controls stay disabled after each load until
// the user selects a row, which fills them from the row. A Save then writes
// at the selected row's keys. Screens that react to the list's selection set
// the list's OnSelectItem before binding it: that handler keeps running first.

#include "VtEditConstraint.h"
#include "VtError.h"
#include "VtListView.h"
#include "VtRequest.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class VtEdit;

class VtSNMPRequest2Controls : public QObject {
    Q_OBJECT

public:
    using DoneEvent = std::function<void(VtSNMPRequest2Controls* sender, VtSNMPError& result)>;

    explicit VtSNMPRequest2Controls(QWidget* owner);
    ~VtSNMPRequest2Controls() override;

    VtSNMPRequest Request;         // set its VarList, Timeout and OnResult directly
    DoneEvent OnLoadDone;          // an asynchronous Load ended
    DoneEvent OnSaveDone;          // an asynchronous Save ended
    bool Asynchronous = true;
    bool Busy = false;             // a Load or Save is under way
    // VtStatusBar (its simple text), VtStatusPanel (bar->panel(0) on bars
    // with panels), QPlainTextEdit, or null.
    QPointer<QObject> LogTarget;

    QWidget* Owner() const { return owner_.data(); }
    int Kind() const { return kind_; }  // 0 read, 1 write: the last operation

    void SetLogTarget(QObject* target) { LogTarget = target; }

    // Reads the device into the controls. Blocking: returns whether no error
    // was reported. Asynchronous: returns true at once.
    bool Load();
    // Writes the controls (or, without collecting, the items' current
    // Values) to the device. A table list is loaded again afterwards when
    // reloadAfterSave is set.
    bool Save(bool reloadAfterSave = true, bool collectFromControls = true);

protected:
    // Slots of the load and save flows, in this order.
    virtual void DoBeforeLoad() {}
    virtual void DoBeforeSave() {}
    virtual void RowReceived() = 0;
    virtual void CollectValues() {}
    virtual void ReportReadResult(VtSNMPError&) {}
    virtual void ReportWriteResult(VtSNMPError&) {}
    virtual void DoAfterLoad() {}
    virtual void DoAfterSave() {}

    // Lets the window repaint and the pump run (long walks fill lists visibly).
    static void ProcessPendingMessages();
    // An error while showing an asynchronous answer: to LogTarget, else a
    // message box on the owner captioned with the executable's file name.
    void ReportShowError(const std::string& message);

private:
    void SendLoadStep(bool first);
    void LoadAnswered(VtSNMPError& result);
    void FinishAsyncLoad(VtSNMPError& result);
    void SaveAnswered(VtSNMPError& result);
    void ReportSuccess();

    QPointer<QWidget> owner_;
    int kind_ = 0;
    bool reload_ = true;
    std::shared_ptr<bool> alive_;  // completions arriving during destruction are dropped
};

class VtSNMPRequest2Edits : public VtSNMPRequest2Controls {
    Q_OBJECT

public:
    explicit VtSNMPRequest2Edits(QWidget* owner);
    ~VtSNMPRequest2Edits() override;

    std::function<void()> BeforeLoad;  // start of every Load
    std::function<void()> BeforeSave;  // start of every Save, before collecting
    std::function<void()> AfterLoad;   // end of every Load, after the last row
    std::function<void()> AfterSave;   // after every blocking write, every successful asynchronous one

    // Sets the combo box to a plain drop-down list (no typing), then binds it.
    void BindComboBox(int index, QComboBox* box);
    // Binds a label, check box, combo box, radio group or edit box to item
    // `index`. A combo box or radio group needs an option list (-520); its
    // items become the option labels in table order.
    void BindControl(int index, QWidget* control);
    // Binds an edit box and watches it with the input format "%s", "%u" or "%h".
    void BindFormatted(int index, const QString& format, VtEdit* edit);
    // Presents the walked table in the list view (read-only, whole rows).
    void BindListView(VtListView* view);

    VtListView* ListView() const { return listView_.data(); }
    VtEditConstraint& Constraint() { return constraint_; }

    // Shows every item's Value in its bound controls.
    void ShowValues();

protected:
    void DoBeforeLoad() override;
    void DoBeforeSave() override;
    void RowReceived() override;
    void CollectValues() override;
    void DoAfterLoad() override;
    void DoAfterSave() override;
    // The list view's selection handler (row gained or lost the selection).
    virtual void ListViewSelectItem(int row, bool selected);

    // Item index of each list-view column: hidden columns first, then shown ones.
    std::vector<int> ColumnItems() const;
    // Adds the items' current Values as a row of the list view.
    void AddRow();
    void AddRow(const QStringList& cells);
    QStringList RowCells() const;

private:
    struct Binding {
        int Index;
        QPointer<QWidget> Control;
    };

    void SetUpColumns();
    void CopyRowToItems(int row);
    void ShowValue(const Binding& b);
    std::string ControlText(const Binding& b) const;
    void SetBoundControlsEnabled(bool enabled);

    std::vector<Binding> bindings_;
    QPointer<VtListView> listView_;
    std::function<void(int, bool)> savedSelect_;
    VtEditConstraint constraint_;
};
