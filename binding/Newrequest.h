#pragma once
// Binding object for numbered tables: rows whose TestColumn item holds the
// skip text (a free slot of the device's table) are left out of the list
// view, and the first cell of each row shown is its running number instead
// of the first column's value. Set RowNumber back to 1 before every Load.

#include "VtSNMPRequest2Edits.h"

#include <cstdint>
#include <string>

class New_req2Edit : public VtSNMPRequest2Edits {
    Q_OBJECT

public:
    explicit New_req2Edit(QWidget* owner);

    int32_t RowNumber = 1;       // number of the next row shown
    std::string SkipText = "0";  // rows whose test item has this value are not shown
    int32_t TestColumn = 1;      // index of the tested item

protected:
    void RowReceived() override;
    virtual void AddNumberedRow();
};
