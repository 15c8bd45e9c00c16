// The Qt stand-ins of the desktop controls: radio group, list view and
// status bar, used as screens use them.
#include "VtListView.h"
#include "VtRadioGroup.h"
#include "VtStatusBar.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(VtRadioGroup, SelectsOneItemOrNone)
{
    VtRadioGroup group("Mode");
    group.setItems({"Auto", "Manual", "Off"});
    group.show();
    std::vector<int> changes;
    QObject::connect(&group, &VtRadioGroup::itemIndexChanged, [&](int i) { changes.push_back(i); });

    EXPECT_EQ(group.itemIndex(), -1);
    QTest::mouseClick(group.button(2), Qt::LeftButton, {}, QPoint(8, group.button(2)->height() / 2));
    EXPECT_EQ(group.itemIndex(), 2);
    group.setItemIndex(0);
    EXPECT_EQ(group.itemIndex(), 0);
    EXPECT_FALSE(group.button(2)->isChecked());
    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
    group.setItemIndex(7);
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(changes, (std::vector<int>{2, 0, -1}));

    group.setItemIndex(1);
    group.setItems({"A", "B"});
    EXPECT_EQ(group.count(), 2);
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(group.itemText(1), "B");
    EXPECT_EQ(group.itemText(2), "");
}

TEST(VtListView, RowsCellsCheckBoxesAndSelectionEvents)
{
    VtListView list;
    list.addColumn("MAC", 120);
    list.addColumn("Key", 0);
    list.setCheckBoxes(true);
    list.show();
    for (const char* mac : {"00A0B1C2D3E4", "00A0B1C2D3E5", "00A0B1C2D3E6"})
        list.addRow({mac, "k"});
    EXPECT_EQ(list.columnWidth(0), 120);
    EXPECT_EQ(list.columnWidth(1), 0);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cell(2, 0), "00A0B1C2D3E6");
    EXPECT_EQ(list.cell(5, 0), "");

    list.setChecked(1, true);
    EXPECT_FALSE(list.isChecked(0));
    EXPECT_TRUE(list.isChecked(1));

    std::vector<std::pair<int, bool>> events;
    list.OnSelectItem = [&](int row, bool selected) { events.push_back({row, selected}); };
    list.setSelectedRow(0);
    list.setSelectedRow(2);
    EXPECT_EQ(list.selectedRow(), 2);
    EXPECT_EQ(events, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {2, true}}));

    // Deleting rows keeps the selection on the same row.
    list.deleteRow(0);
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_EQ(list.cell(1, 0), "00A0B1C2D3E6");

    events.clear();
    list.clearRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_TRUE(events.empty());
    list.addRow({"x", "y"});
    list.setSelectedRow(0);
    EXPECT_EQ(events, (std::vector<std::pair<int, bool>>{{0, true}}));
}

TEST(VtStatusBar, SimpleTextPanelsAndResultLogTargets)
{
    VtStatusBar bar;
    bar.show();
    bar.setSimpleText("Get OK!");
    EXPECT_EQ(bar.simpleText(), "Get OK!");
    EXPECT_TRUE(bar.findChild<QLabel*>("simpleText")->isVisible());

    VtStatusPanel* panel = bar.addPanel(50);
    EXPECT_EQ(bar.panelCount(), 1);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(bar.findChild<QLabel*>("simpleText")->isVisible());
    bar.setPanelText(0, "Set OK!");
    bar.setPanelText(3, "nowhere");
    EXPECT_EQ(bar.panelText(0), "Set OK!");
    EXPECT_EQ(bar.panelText(3), "");

    QPlainTextEdit memo;
    QLabel other;
    VtWriteResultLog(&memo, 0, "first");
    VtWriteResultLog(&memo, 1, "second");
    VtWriteResultLog(panel, 1, "panel");
    VtWriteResultLog(&other, 0, "ignored");
    VtWriteResultLog(nullptr, 0, "ignored");
    const QStringList lines = memo.toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Get: first. Receive at ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Set: second. Receive at ")) << lines[1].toStdString();
    EXPECT_TRUE(panel->text().startsWith("Set: panel. Receive at "));
    EXPECT_EQ(other.text(), "");
}

}  // namespace
