#include "Newrequest.h"

#include "VtListView.h"

New_req2Edit::New_req2Edit(QWidget* owner) : VtSNMPRequest2Edits(owner) {}

void New_req2Edit::RowReceived()
{
    if (!ListView()) {
        ShowValues();
        return;
    }
    if (Request.VarList.Item(TestColumn).Value == SkipText)
        return;
    AddNumberedRow();
    ++RowNumber;
    ProcessPendingMessages();
}

void New_req2Edit::AddNumberedRow()
{
    QStringList cells = RowCells();
    if (cells.isEmpty())
        cells << QString();
    cells[0] = QString::number(RowNumber);
    AddRow(cells);
}
