#pragma once
// Report-style list view: columns with captions and pixel widths, rows of
// text cells, an optional check box per row, one selected row. Screens also
// keep invisible ones as plain tables of walked rows.
//
// OnSelectItem(row, selected) is the list's own selection event: it runs
// with selected = false for a row that loses the selection and with
// selected = true for the row that gains it. The binding layer chains its
// own handler behind one the screen set before binding the list.

#include <QStringList>
#include <QTreeWidget>

#include <functional>

class VtListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit VtListView(QWidget* parent = nullptr);

    // Columns.
    int columnCount() const { return QTreeWidget::columnCount(); }
    int addColumn(const QString& caption, int width);
    void clearColumns();
    QString columnCaption(int column) const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);

    // Rows.
    int rowCount() const { return topLevelItemCount(); }
    int addRow(const QStringList& cells);
    void deleteRow(int row);
    void clearRows();
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    QStringList rowCells(int row) const;

    // Check boxes in the first column.
    void setCheckBoxes(bool on);
    bool checkBoxes() const { return checkBoxes_; }
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);

    // Selection: -1 = none.
    int selectedRow() const;
    void setSelectedRow(int row);

    // Presentation the binding layer gives a table: read-only, whole-row
    // selection kept visible without focus, grid lines.
    void setReportStyle();
    void setGridLines(bool on);

    std::function<void(int row, bool selected)> OnSelectItem;

private:
    void selectionChangedByView();
    QTreeWidgetItem* rowItem(int row) const;

    bool checkBoxes_ = false;
    int lastSelected_ = -1;
};
