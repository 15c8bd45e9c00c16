#include "VtListView.h"

#include <QHeaderView>

VtListView::VtListView(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(0);
    setHeaderLabels({});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Widths are the screen's: nothing stretches or sizes itself.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setMinimumSectionSize(0);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &VtListView::selectionChangedByView);
}

int VtListView::addColumn(const QString& caption, int width)
{
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, caption);
    setColumnWidth(column, width);
    return column;
}

void VtListView::clearColumns()
{
    setColumnCount(0);
}

QString VtListView::columnCaption(int column) const
{
    return headerItem()->text(column);
}

int VtListView::columnWidth(int column) const
{
    return header()->sectionSize(column);
}

void VtListView::setColumnWidth(int column, int width)
{
    header()->resizeSection(column, width);
}

QTreeWidgetItem* VtListView::rowItem(int row) const
{
    return row >= 0 && row < rowCount() ? topLevelItem(row) : nullptr;
}

int VtListView::addRow(const QStringList& cells)
{
    auto* item = new QTreeWidgetItem(cells);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable |
                   (checkBoxes_ ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
    if (checkBoxes_)
        item->setCheckState(0, Qt::Unchecked);
    addTopLevelItem(item);
    return rowCount() - 1;
}

void VtListView::deleteRow(int row)
{
    if (row == lastSelected_)
        lastSelected_ = -1;
    else if (row < lastSelected_)
        --lastSelected_;
    delete rowItem(row);
}

void VtListView::clearRows()
{
    // Rows go without selection events: a list being refilled has nothing selected.
    const QSignalBlocker block(this);
    clear();
    lastSelected_ = -1;
}

QString VtListView::cell(int row, int column) const
{
    const QTreeWidgetItem* item = rowItem(row);
    return item ? item->text(column) : QString();
}

void VtListView::setCell(int row, int column, const QString& text)
{
    if (QTreeWidgetItem* item = rowItem(row))
        item->setText(column, text);
}

QStringList VtListView::rowCells(int row) const
{
    QStringList out;
    for (int c = 0; c < columnCount(); ++c)
        out << cell(row, c);
    return out;
}

void VtListView::setCheckBoxes(bool on)
{
    checkBoxes_ = on;
    for (int r = 0; r < rowCount(); ++r) {
        QTreeWidgetItem* item = topLevelItem(r);
        item->setFlags(on ? item->flags() | Qt::ItemIsUserCheckable : item->flags() & ~Qt::ItemIsUserCheckable);
        if (on)
            item->setCheckState(0, Qt::Unchecked);
        else
            item->setData(0, Qt::CheckStateRole, QVariant());
    }
}

bool VtListView::isChecked(int row) const
{
    const QTreeWidgetItem* item = rowItem(row);
    return checkBoxes_ && item && item->checkState(0) == Qt::Checked;
}

void VtListView::setChecked(int row, bool checked)
{
    if (QTreeWidgetItem* item = rowItem(row); item && checkBoxes_)
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int VtListView::selectedRow() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.first());
}

void VtListView::setSelectedRow(int row)
{
    if (QTreeWidgetItem* item = rowItem(row)) {
        setCurrentItem(item);
        item->setSelected(true);
    } else {
        clearSelection();
    }
}

void VtListView::setReportStyle()
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setGridLines(true);
    // The selected row stays as visible when the list loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void VtListView::setGridLines(bool on)
{
    setStyleSheet(on ? QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                      "border-bottom: 1px solid #d0d0d0; }")
                     : QString());
}

void VtListView::selectionChangedByView()
{
    const int now = selectedRow();
    if (now == lastSelected_)
        return;
    const int before = lastSelected_;
    lastSelected_ = now;
    if (!OnSelectItem)
        return;
    const std::function<void(int, bool)> handler = OnSelectItem;
    if (before >= 0)
        handler(before, false);
    if (now >= 0)
        handler(now, true);
}
