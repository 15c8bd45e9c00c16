#include <gtest/gtest.h>

#include "MainArrays.h"
#include "VtCatalogue.h"

namespace {

const VtOptionPair kSwitch[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const VtOptionList Switch(kSwitch);

struct FakeCombo : VtItemControl {
    std::vector<std::string> items;
    int index = -1;
    void clearItems() override {
        items.clear();
        index = -1;
    }
    void addItem(const std::string& t) override { items.push_back(t); }
    void setItemIndex(int i) override { index = i; }
    int itemIndex() const override { return index; }
    std::string itemText(int i) const override { return items.at(i); }
};

TEST(OptionList, LookupsMatchLabelsWithoutCaseAndKeepUnknownValues) {
    EXPECT_EQ(Switch.LabelIndex("enable"), 1);
    EXPECT_EQ(Switch.LabelIndex("Enabled"), -1);
    struct {
        const char* in;
        int valueIndex;
        const char* label;
    } cases[] = {
        {"1", 1, "Enable"}, {"0", 0, "Disable"}, {"7", -1, "7"},        {"(NULL)", -1, "(NULL)"},
        {"1x", -1, "1x"},   {"", -1, ""},        {"abc", -1, "abc"},    {"99999999999", -1, "99999999999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Switch.ValueIndex(c.in), c.valueIndex) << c.in;
        EXPECT_EQ(Switch.LabelOf(c.in), c.label) << c.in;
    }
    EXPECT_EQ(Switch.ValueOf("ENABLE"), "1");
    EXPECT_EQ(Switch.ValueOf("7"), "7");
}

TEST(OptionList, FillsAndSelectsControls) {
    FakeCombo combo;
    combo.items = {"stale"};
    MainOptApMode.FillItems(combo);
    EXPECT_EQ(combo.items, (std::vector<std::string>{"Access Point", "WDS With Ap", "WDS", "Wireless Client"}));
    MainOptApMode.Select(combo, "wds");
    EXPECT_EQ(combo.index, 2);
    MainOptApMode.Select(combo, "4");  // a value selects its entry
    EXPECT_EQ(combo.index, 3);
    MainOptApMode.Select(combo, "0");  // matches nothing: no selection
    EXPECT_EQ(combo.index, -1);
}

const VtSNMPVariable kTable[] = {
    {" ", "ifIndex", VT_SYNTAX_INTEGER, VT_ACCESS_NOTACCESS, nullptr},
    {"1.3.6.1.4.1.9.1.1.1", "index", VT_SYNTAX_INTEGER, VT_ACCESS_NOTACCESS, nullptr},
    {"1.3.6.1.4.1.9.1.1.2", "name", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {"1.3.6.1.4.1.9.1.1.3", "mode", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &Switch},
    {"1.3.6.1.4.1.9.1.1.4", "secret", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_WRITEONLY, nullptr},
    {"1.3.6.1.4.1.9.1.1.5", "gone", VT_SYNTAX_INTEGER, VT_ACCESS_INVALID | VT_ACCESS_READWRITE, nullptr},
    {"1.3.6.1.4.1.9.1.1.6", "extra", VT_SYNTAX_INTEGER, VT_ACCESS_READONLY | VT_ACCESS_HIDDEN, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

TEST(VarList, DerivedTestsFollowAccessBitsAndKeys) {
    VtSNMPVarList walked(kTable, MVT_UMV, 2);
    ASSERT_EQ(walked.Count(), 7);
    struct {
        bool readable, writable, shown, hidden;
    } expected[] = {
        {false, true, true, false},   // key of a walked list: writable (it addresses the row)
        {false, true, true, false},   //
        {true, true, true, false},    //
        {true, true, true, false},    //
        {false, true, false, true},   // write-only: a hidden column
        {false, false, false, true},  // invalid wins over every other bit
        {true, false, false, true},   // hidden bit
    };
    for (int i = 0; i < walked.Count(); ++i) {
        EXPECT_EQ(walked.IsReadable(i), expected[i].readable) << i;
        EXPECT_EQ(walked.IsWritable(i), expected[i].writable) << i;
        EXPECT_EQ(walked.IsShownColumn(i), expected[i].shown) << i;
        EXPECT_EQ(walked.IsHiddenColumn(i), expected[i].hidden) << i;
    }
    EXPECT_EQ(walked.ShownCount(), 4);
    EXPECT_EQ(walked.HiddenCount(), 3);

    VtSNMPVarList fixed(kTable, MVT_SV, 2);  // key count means nothing for a fixed list
    EXPECT_FALSE(fixed.IsWritable(0));
}

TEST(VarList, CopiesCarryValuesAndEmptyArraysGiveEmptyLists) {
    const VtSNMPVariable empty[] = {{nullptr, nullptr, 0, 0, nullptr}};
    EXPECT_EQ(VtSNMPVarList(empty, SVT_SV).Count(), 0);

    VtSNMPVarList loaded(kTable, MVT_FMV, 2);
    loaded[0].Value = "3";
    loaded[1].Value = "17";
    loaded[3].Value = "Enable";
    loaded[3].InstanceOid = "1.3.6.1.4.1.9.1.1.3.3.17";
    VtSNMPVarList target(MainCommitVars, SVT_SV);
    target = loaded;
    loaded[3].Value = "changed";
    EXPECT_EQ(target.ItemType, MVT_FMV);
    EXPECT_EQ(target.PKeyCount, 2);
    EXPECT_EQ(target.Count(), 7);
    EXPECT_EQ(target[3].Value, "Enable");
    EXPECT_EQ(target[3].OptionList, &Switch);
    EXPECT_EQ(target.KeyText(), "3.17");
}

TEST(MainArrays, CommitAndUpgradeCatalogue) {
    VtSNMPVarList commit(MainCommitVars, SVT_SV);
    ASSERT_EQ(commit.Count(), 3);
    EXPECT_EQ(commit[0].Oid, std::string(DeviceRoot) + ".4.2.3");
    EXPECT_EQ(commit[2].Name, "deviceRestart");
    EXPECT_EQ(commit[2].OptionList->LabelOf("1"), "reboot");
    VtSNMPVarList upgrade(MainUpgradeCommandVars, SVT_SV);
    EXPECT_EQ(upgrade[0].OptionList->ValueOf("Reboot"), "4");
    EXPECT_EQ(upgrade[0].OptionList->LabelIndex("getacl"), 7);
}

}  // namespace
