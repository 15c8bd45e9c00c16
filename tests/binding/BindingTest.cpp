// Binding objects end to end: values travel between the simulated access
// point (real SNMP over loopback) and real Qt controls.
#include "Dialogs.h"
#include "Newrequest.h"
#include "SimulatedDevice.h"
#include "WaitUntil.h"
#include "SnmpEventProcessor.h"
#include "VtEdit.h"
#include "VtListView.h"
#include "VtMessages.h"
#include "VtRadioGroup.h"
#include "VtSNMPRequest2Edits.h"
#include "VtSession.h"
#include "VtStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

#define T_ROOT VT_DEVICE_ROOT ".99"
const std::string kRoot = T_ROOT;

const VtOptionPair kModeTable[] = {{1, "Access Point"}, {2, "WDS with AP"}, {3, "WDS"}, {4, "Wireless Client"}, {0, nullptr}};
const VtOptionPair kSwitchTable[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const VtOptionPair kNoZeroTable[] = {{1, "One"}, {2, "Two"}, {0, nullptr}};
const VtOptionList kMode(kModeTable);
const VtOptionList kSwitch(kSwitchTable);
const VtOptionList kNoZero(kNoZeroTable);

const VtSNMPVariable kScalars[] = {
    {T_ROOT ".1.1", "name", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {T_ROOT ".1.2", "mode", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &kMode},
    {T_ROOT ".1.3", "switch", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &kSwitch},
    {T_ROOT ".1.4", "count", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

// A walked table: key, two columns, and an entry left out of every request.
const VtSNMPVariable kTable[] = {
    {T_ROOT ".2.1.1", "Index", VT_SYNTAX_INTEGER, VT_ACCESS_NOTACCESS, nullptr},
    {T_ROOT ".2.1.2", "Host Name", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {T_ROOT ".2.1.3", "Lease", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, nullptr},
    {T_ROOT ".2.1.4", "Unused", VT_SYNTAX_INTEGER, VT_ACCESS_INVALID, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

using testsupport::waitUntil;

class Binding : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir sessionDir;
        static bool started = false;
        if (!started) {
            VtStartSNMP(sessionDir.path().toStdString());
            SnmpEventProcessor::start();
            started = true;
        }
        sim_ = new simtest::SimulatedDevice();
    }
    static void TearDownTestSuite()
    {
        delete sim_;
        sim_ = nullptr;
    }

    void SetUp() override
    {
        VtResetMessageTables();
        VtSNMPDevice.address = sim_->address();
        VtSNMPDevice.port = sim_->port();
        VtSNMPSecurity.version = 1;  // v2c
        sim_->control("unset " + kRoot);
        sim_->setValue(kRoot + ".1.1.0", 's', "ap-office");
        sim_->setValue(kRoot + ".1.2.0", 'i', "2");
        sim_->setValue(kRoot + ".1.3.0", 'i', "1");
        sim_->setValue(kRoot + ".1.4.0", 'i', "7");
        sim_->clearJournal();
        window_ = std::make_unique<QWidget>();
        layout_ = new QVBoxLayout(window_.get());
    }

    template <class W>
    W* add(W* w)
    {
        layout_->addWidget(w);
        return w;
    }

    // Rows 1..n of the test table: host "h<row>", lease values given.
    void fillTable(const std::vector<int>& leases)
    {
        for (size_t r = 0; r < leases.size(); ++r) {
            const std::string row = std::to_string(r + 1);
            sim_->setValue(kRoot + ".2.1.2." + row, 's', "h" + row);
            sim_->setValue(kRoot + ".2.1.3." + row, 'i', std::to_string(leases[r]));
        }
        sim_->clearJournal();
    }

    std::vector<std::string> journalWith(const std::string& op)
    {
        std::vector<std::string> out;
        for (const std::string& line : sim_->journal())
            if (line.rfind(op + " ", 0) == 0)
                out.push_back(line);
        return out;
    }

    static simtest::SimulatedDevice* sim_;
    std::unique_ptr<QWidget> window_;
    QVBoxLayout* layout_ = nullptr;
};

simtest::SimulatedDevice* Binding::sim_ = nullptr;

TEST_F(Binding, ScalarListShownInEditComboRadioAndLabel)
{
    auto* name = add(new VtEdit);
    auto* mode = add(new QComboBox);
    auto* modeRadio = add(new VtRadioGroup);
    auto* count = add(new QLabel);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    b.Asynchronous = false;
    std::vector<VtSNMPError> results;
    b.Request.OnResult = [&](VtSNMPError* e) { results.push_back(*e); };
    b.BindFormatted(0, "%s", name);
    b.BindComboBox(1, mode);
    b.BindControl(1, modeRadio);
    b.BindControl(3, count);

    EXPECT_EQ(mode->count(), 4);
    EXPECT_EQ(mode->itemText(3), "Wireless Client");
    EXPECT_FALSE(mode->isEditable());
    EXPECT_EQ(modeRadio->items(), QStringList({"Access Point", "WDS with AP", "WDS", "Wireless Client"}));

    ASSERT_TRUE(b.Load());
    EXPECT_EQ(name->text(), "ap-office");
    EXPECT_EQ(mode->currentIndex(), 1);
    EXPECT_EQ(modeRadio->itemIndex(), 1);
    EXPECT_EQ(count->text(), "7");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Code, 0);
    EXPECT_EQ(results[0].Message, "(VtSNMP++) Ok!");
    EXPECT_EQ(results[0].Number, -1);
    // Only the readable variables were asked for, in one get.
    const auto gets = journalWith("GET");
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_NE(gets[0].find(kRoot + ".1.4.0"), std::string::npos);

    // A number with a label selects by number; a text matching neither leaves no selection.
    struct Case {
        const char* value;
        int index;
    };
    for (const Case& c : {Case{"4", 3}, Case{"wds", 2}, Case{"9", -1}, Case{"(NULL)", -1}}) {
        SCOPED_TRACE(c.value);
        b.Request.VarList.Item(1).Value = c.value;
        b.ShowValues();
        EXPECT_EQ(mode->currentIndex(), c.index);
        EXPECT_EQ(modeRadio->itemIndex(), c.index);
    }

    // A switched-off item keeps whatever its controls show.
    b.Request.VarList.Item(3).Access = VT_ACCESS_INVALID;
    b.Request.VarList.Item(3).Value = "8";
    b.ShowValues();
    EXPECT_EQ(count->text(), "7");
}

TEST_F(Binding, CheckBoxWithDisableEnableIsShownAndCollected)
{
    auto* box = add(new QCheckBox("Enable"));
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    for (int i : {0, 1, 3})
        b.Request.VarList.Item(i).Access = VT_ACCESS_INVALID;  // write the switch alone
    b.Asynchronous = false;
    b.BindControl(2, box);
    window_->show();

    ASSERT_TRUE(b.Load());
    EXPECT_TRUE(box->isChecked());

    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_FALSE(box->isChecked());
    ASSERT_TRUE(b.Save(true, true));
    EXPECT_EQ(sim_->value(kRoot + ".1.3.0"), "i:0");
    EXPECT_EQ(b.Request.VarList.Item(2).Value, "Disable");

    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(b.Save(true, true));
    EXPECT_EQ(sim_->value(kRoot + ".1.3.0"), "i:1");

    sim_->setValue(kRoot + ".1.3.0", 'i', "0");
    ASSERT_TRUE(b.Load());
    EXPECT_FALSE(box->isChecked());
}

TEST_F(Binding, ComboBoxWithNoSelectionIsCollectedAsZero)
{
    struct Case {
        const VtOptionList* options;
        const char* stored;  // the item's Value afterwards
    };
    for (const Case& c : {Case{&kNoZero, "0"}, Case{&kSwitch, "Disable"}}) {
        SCOPED_TRACE(c.stored);
        auto* combo = add(new QComboBox);
        VtSNMPRequest2Edits b(window_.get());
        b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
        for (int i : {0, 1, 3})
            b.Request.VarList.Item(i).Access = VT_ACCESS_INVALID;
        b.Request.VarList.Item(2).OptionList = c.options;
        b.Asynchronous = false;
        b.BindComboBox(2, combo);
        sim_->setValue(kRoot + ".1.3.0", 'i', "1");
        ASSERT_TRUE(b.Load());
        combo->setCurrentIndex(-1);
        ASSERT_TRUE(b.Save(false, true));
        EXPECT_EQ(b.Request.VarList.Item(2).Value, c.stored);
        EXPECT_EQ(sim_->value(kRoot + ".1.3.0"), "i:0");
    }
}

TEST_F(Binding, RadioGroupIsCollectedFromTheClickedItem)
{
    auto* group = add(new VtRadioGroup);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    for (int i : {0, 2, 3})
        b.Request.VarList.Item(i).Access = VT_ACCESS_INVALID;
    b.Asynchronous = false;
    b.BindControl(1, group);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    ASSERT_TRUE(b.Load());
    EXPECT_EQ(group->itemIndex(), 1);

    // On the button's indicator: a stretched button takes clicks only there and on its text.
    QTest::mouseClick(group->button(2), Qt::LeftButton, {}, QPoint(8, group->button(2)->height() / 2));
    ASSERT_EQ(group->itemIndex(), 2);
    ASSERT_TRUE(b.Save(true, true));
    EXPECT_EQ(sim_->value(kRoot + ".1.2.0"), "i:3");

    // No item selected: nothing to take, written as 0 like an empty drop-down.
    group->setItemIndex(-1);
    ASSERT_TRUE(b.Save(true, true));
    EXPECT_EQ(sim_->value(kRoot + ".1.2.0"), "i:0");
}

TEST_F(Binding, DestroyingTheObjectDropsAnAnswerStillOnItsWay)
{
    auto* name = add(new VtEdit);
    bool done = false;
    sim_->control("delay 300");
    {
        VtSNMPRequest2Edits b(window_.get());
        b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
        b.OnLoadDone = [&](VtSNMPRequest2Controls*, VtSNMPError&) { done = true; };
        b.BindControl(0, name);
        ASSERT_TRUE(b.Load());
    }
    sim_->control("delay 0");
    QTest::qWait(400);
    EXPECT_FALSE(done);
    EXPECT_EQ(name->text(), "");
}

TEST_F(Binding, FailedBlockingReadShowsNullValues)
{
    auto* name = add(new VtEdit);
    auto* count = add(new VtEdit);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    b.Request.Timeout = 10;
    b.Request.Retries = 0;
    b.Asynchronous = false;
    std::vector<int> codes;
    b.Request.OnResult = [&](VtSNMPError* e) { codes.push_back(e->Code); };
    b.BindFormatted(0, "%s", name);
    b.BindFormatted(3, "%u", count);
    name->setText("old");
    sim_->setSilent(true);
    const bool loaded = b.Load();
    sim_->setSilent(false);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(b.Busy);
    EXPECT_EQ(codes, std::vector<int>({-405}));
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(count->text(), "(NULL)");
}

TEST_F(Binding, FmvTableInListViewEnablesControlsOnSelection)
{
    fillTable({100, 200, 300});
    auto* list = add(new VtListView);
    auto* host = add(new VtEdit);
    auto* lease = add(new VtEdit);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kTable, MVT_FMV, 1);
    b.Asynchronous = false;
    std::vector<std::pair<int, bool>> screenSelections;
    list->OnSelectItem = [&](int row, bool selected) { screenSelections.push_back({row, selected}); };
    int afterLoads = 0;
    b.AfterLoad = [&] { ++afterLoads; };
    b.BindFormatted(1, "%s", host);
    b.BindFormatted(2, "%u", lease);
    b.BindListView(list);
    window_->show();

    ASSERT_TRUE(b.Load());
    // The excluded entry gets a zero-width column ahead of the shown ones.
    ASSERT_EQ(list->columnCount(), 4);
    EXPECT_EQ(list->columnCaption(0), "Unused");
    EXPECT_EQ(list->columnWidth(0), 0);
    EXPECT_EQ(list->columnCaption(1), "Index");
    EXPECT_GT(list->columnWidth(1), 0);
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->rowCells(1), QStringList({"", "2", "h2", "200"}));
    EXPECT_FALSE(host->isEnabled());
    EXPECT_FALSE(lease->isEnabled());
    EXPECT_EQ(afterLoads, 1);

    const QRect rect = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(list->selectedRow(), 1);
    EXPECT_EQ(screenSelections, (std::vector<std::pair<int, bool>>{{1, true}}));
    EXPECT_TRUE(host->isEnabled());
    EXPECT_TRUE(lease->isEnabled());
    EXPECT_EQ(host->text(), "h2");
    EXPECT_EQ(lease->text(), "200");

    // Saving writes at the selected row's key, then walks the table again.
    host->clear();
    QTest::keyClicks(host, "renamed");
    ASSERT_TRUE(b.Save(true, true));
    const auto sets = journalWith("SET");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_NE(sets[0].find(kRoot + ".2.1.2.2=s:\"renamed\""), std::string::npos) << sets[0];
    EXPECT_NE(sets[0].find(kRoot + ".2.1.3.2=i:200"), std::string::npos) << sets[0];
    EXPECT_EQ(sets[0].find(".2.1.1."), std::string::npos) << "keys are not written";
    EXPECT_EQ(sets[0].find(".2.1.4."), std::string::npos) << "excluded entries are not written";
    EXPECT_EQ(afterLoads, 2);
    EXPECT_EQ(list->cell(1, 2), "renamed");
    EXPECT_FALSE(host->isEnabled());
}

TEST_F(Binding, ListViewKeepsItsColumnsAcrossLoads)
{
    fillTable({100, 200});
    auto* list = add(new VtListView);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kTable, MVT_UMV, 1);
    b.Asynchronous = false;
    b.BindListView(list);

    // Too few columns: they are made anew.
    list->addColumn("stale", 50);
    ASSERT_TRUE(b.Load());
    ASSERT_EQ(list->columnCount(), 4);
    EXPECT_EQ(list->columnCaption(3), "Lease");

    list->setColumnWidth(2, 123);
    list->headerItem()->setText(3, "Lease time ");
    fillTable({100, 200, 300});
    ASSERT_TRUE(b.Load());
    EXPECT_EQ(list->columnCount(), 4);
    EXPECT_EQ(list->columnWidth(2), 123);
    EXPECT_EQ(list->columnCaption(3), "Lease time ");
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->cell(2, 3), "300");
}

TEST_F(Binding, NumberedTableLeavesOutFreeRows)
{
    fillTable({0, 3, 0, 5});
    auto* list = add(new VtListView);
    New_req2Edit b(window_.get());
    b.Request.VarList = VtSNMPVarList(kTable, MVT_UMV, 1);
    b.Request.VarList.Item(3).Access = 0;  // no column: the key comes first
    b.TestColumn = 2;
    b.BindListView(list);
    b.RowNumber = 1;
    ASSERT_TRUE(b.Load());  // asynchronous
    EXPECT_TRUE(b.Busy);
    waitUntil([&] { return !b.Busy; });
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowCells(0), QStringList({"1", "h2", "3"}));
    EXPECT_EQ(list->cell(0, 0), "1");
    EXPECT_EQ(list->cell(1, 0), "2");
    EXPECT_EQ(list->cell(0, 1), "h2");
    EXPECT_EQ(list->cell(1, 1), "h4");
    EXPECT_EQ(b.RowNumber, 3);
}

TEST_F(Binding, SavingATableWithNoSelectedRowWritesAtKeyZero)
{
    fillTable({100});
    auto* list = add(new VtListView);
    auto* lease = add(new VtEdit);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kTable, MVT_UMV, 1);
    b.Request.VarList.Item(1).Access = VT_ACCESS_READONLY;
    b.Asynchronous = false;
    b.BindFormatted(2, "%u", lease);
    b.BindListView(list);
    ASSERT_TRUE(b.Load());
    ASSERT_EQ(list->selectedRow(), -1);
    lease->setText("42");
    sim_->clearJournal();
    b.Save(false, true);
    const auto sets = journalWith("SET");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_NE(sets[0].find(kRoot + ".2.1.3.0=i:42"), std::string::npos) << sets[0];
}

TEST_F(Binding, AsynchronousLoadAndSaveEndInTheirEvents)
{
    auto* name = add(new VtEdit);
    auto* mode = add(new QComboBox);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    b.Request.VarList.Item(2).Access = VT_ACCESS_READONLY;
    b.Request.VarList.Item(3).Access = VT_ACCESS_READONLY;
    std::vector<std::string> events;
    b.Request.OnResult = [&](VtSNMPError* e) { events.push_back("result " + std::to_string(e->Code)); };
    b.OnLoadDone = [&](VtSNMPRequest2Controls* sender, VtSNMPError& e) {
        EXPECT_EQ(sender, &b);
        EXPECT_FALSE(b.Busy);
        events.push_back("load " + std::to_string(e.Code));
    };
    b.OnSaveDone = [&](VtSNMPRequest2Controls*, VtSNMPError& e) { events.push_back("save " + std::to_string(e.Code)); };
    b.BeforeSave = [&] { events.push_back("before save " + name->text().toStdString()); };
    b.AfterSave = [&] { events.push_back("after save"); };
    b.BindFormatted(0, "%s", name);
    b.BindComboBox(1, mode);

    ASSERT_TRUE(b.Load());
    EXPECT_TRUE(b.Busy);
    EXPECT_EQ(name->text(), "");
    waitUntil([&] { return !b.Busy; });
    EXPECT_EQ(name->text(), "ap-office");
    EXPECT_EQ(mode->currentText(), "WDS with AP");

    name->setText("lab");
    mode->setCurrentIndex(3);
    ASSERT_TRUE(b.Save(true, true));
    waitUntil([&] { return !b.Busy; });
    EXPECT_EQ(sim_->value(kRoot + ".1.1.0"), "s:\"lab\"");
    EXPECT_EQ(sim_->value(kRoot + ".1.2.0"), "i:4");
    EXPECT_EQ(events, (std::vector<std::string>{"result 0", "load 0", "before save lab", "after save", "result 0",
                                                "save 0"}));

    // A device error reaches the event with its code, without the success report.
    events.clear();
    sim_->injectError(kRoot + ".1.1.0", 10);
    b.Save(true, true);
    waitUntil([&] { return !b.Busy; });
    sim_->injectError(kRoot + ".1.1.0", 0);
    EXPECT_EQ(events, (std::vector<std::string>{"before save lab", "save -110"}));
}

TEST_F(Binding, DisabledRequestSendsNothing)
{
    auto* name = add(new VtEdit);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    bool done = false;
    b.OnLoadDone = [&](VtSNMPRequest2Controls*, VtSNMPError&) { done = true; };
    b.BindControl(0, name);
    b.Request.Enabled = false;

    EXPECT_TRUE(b.Load());
    EXPECT_FALSE(b.Busy);
    EXPECT_TRUE(b.Save(true, true));
    EXPECT_FALSE(b.Busy);
    b.Asynchronous = false;
    EXPECT_FALSE(b.Load());
    EXPECT_FALSE(b.Busy);
    QTest::qWait(100);
    EXPECT_FALSE(done);
    EXPECT_TRUE(sim_->journal().empty());
}

TEST_F(Binding, BindingErrorsRaiseTheirCodes)
{
    auto* combo = add(new QComboBox);
    auto* radio = add(new VtRadioGroup);
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    auto codeOf = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const VtException& e) {
            return e.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { b.BindComboBox(0, combo); }), -520);
    EXPECT_EQ(codeOf([&] { b.BindControl(3, radio); }), -520);

    // Check box on an integer without options; a control of no known class.
    b.Asynchronous = false;
    for (QWidget* control : std::initializer_list<QWidget*>{add(new QCheckBox), add(new QPushButton)}) {
        VtSNMPRequest2Edits bad(window_.get());
        bad.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
        bad.Asynchronous = false;
        bad.BindControl(3, control);
        const int expected = qobject_cast<QCheckBox*>(control) ? -517 : -521;
        try {
            bad.Load();
            ADD_FAILURE() << "no exception";
        } catch (const VtException& e) {
            EXPECT_EQ(e.code(), expected);
            EXPECT_EQ(e.what(), VtCodeText(expected));
        }
        EXPECT_FALSE(bad.Busy);
        EXPECT_EQ(codeOf([&] { bad.Save(true, true); }), expected);
        EXPECT_FALSE(bad.Busy);
    }
}

TEST_F(Binding, ErrorWhileShowingAnAsynchronousAnswerGoesToTheLogTarget)
{
    const std::string text = VtCodeText(-521);
    auto* memo = add(new QPlainTextEdit);
    auto* bar = add(new VtStatusBar);
    VtStatusPanel* panel = add(new VtStatusBar)->addPanel(50);

    struct Case {
        QObject* target;
        std::function<QString()> shown;
    };
    const Case cases[] = {
        {bar, [&] { return bar->simpleText(); }},
        {panel, [&] { return panel->text(); }},
        {memo, [&] { return memo->toPlainText(); }},
    };
    for (const Case& c : cases) {
        DialogRecorder dialogs;
        VtSNMPRequest2Edits b(window_.get());
        b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
        bool done = false;
        b.OnLoadDone = [&](VtSNMPRequest2Controls*, VtSNMPError&) { done = true; };
        b.BindControl(0, add(new QPushButton));
        b.SetLogTarget(c.target);
        ASSERT_TRUE(b.Load());
        waitUntil([&] { return !b.Busy; });
        const QString line = c.shown();
        EXPECT_TRUE(line.startsWith(QString::fromStdString("Get: " + text + ". Receive at "))) << line.toStdString();
        EXPECT_FALSE(done);
        EXPECT_TRUE(dialogs.shown.isEmpty());
    }

    // Without a log target: a message box captioned with the executable's name.
    DialogRecorder dialogs;
    VtSNMPRequest2Edits b(window_.get());
    b.Request.VarList = VtSNMPVarList(kScalars, SVT_SV);
    b.BindControl(0, add(new QPushButton));
    ASSERT_TRUE(b.Load());
    waitUntil([&] { return !b.Busy; });
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text.toStdString(), text);
    EXPECT_EQ(dialogs.shown[0].caption, VtExecutableFileName());
}

}  // namespace
