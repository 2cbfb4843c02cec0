// The user interface's elements of worksheet and matrix windows. Their one behaviour is
// where their submenu lies in the window's context menu (570 for worksheets, 584 for
// matrices); the views ask the element the page made for what was clicked.
#pragma once

#include "QKSelection.h"
#include "QUExport.h"

class QU_API CQUSelRowNum : public CQKSelRowNum {
public:
    int GetContextmenuPos() override { return 0; } // "RowNum"
};
class QU_API CQUSelOneColumn : public CQKSelOneColumn {
public:
    int GetContextmenuPos() override { return 5; } // "Nx1"
};
class QU_API CQUSelColHead : public CQKSelColHead {
public:
    int GetContextmenuPos() override { return 2; } // "ColHead"
};
class QU_API CQUSelOneCell : public CQKSelOneCell {
public:
    int GetContextmenuPos() override { return 3; } // "OneCel"
};
class QU_API CQUSelOneRow : public CQKSelOneRow {
public:
    int GetContextmenuPos() override { return 7; } // "1xM"
};
class QU_API CQUSelMultiCells : public CQKSelMultiCells {
public:
    int GetContextmenuPos() override { return 6; } // "NxM"
};
class QU_API CQUSelMultiRows : public CQKSelMultiRows {
public:
    int GetContextmenuPos() override { return 8; } // "RowNums"
};
class QU_API CQUSelMultiColumns : public CQKSelMultiColumns {
public:
    int GetContextmenuPos() override { return 9; } // "ColHeads"
};
class QU_API CQUSelAllColsRows : public CQKSelAllColsRows {
public:
    int GetContextmenuPos() override { return 3; } // 584 "SelectAll"
};
class QU_API CQULeftCorner : public CQKLeftCorner {
public:
    // 584 "Corner" on a matrix, 570 "Corner" on a worksheet.
    int GetContextmenuPos() override { return OnMatrix() ? 1 : 4; }

private:
    bool OnMatrix() const { return GetTablePage() != nullptr && GetTablePage()->GetType() == QK_PAGE_MATRIX; }
};
class QU_API CQUOutsideTable : public CQKOutsideTable {
public:
    // 584 "OutSide" on a matrix, 570 "OutSide" on a worksheet.
    int GetContextmenuPos() override
    {
        return GetTablePage() != nullptr && GetTablePage()->GetType() == QK_PAGE_MATRIX ? 2 : 1;
    }
};

// The factories worksheet and matrix pages share: every element but the whole matrix,
// which only a matrix page makes of its own.
template <class Base>
class CQUTableElements : public Base {
public:
    using Base::Base;
    CQKSelRowNum* PgCreateCQKSelRowNum() override { return new (std::nothrow) CQUSelRowNum; }
    CQKSelOneColumn* PgCreateCQKSelOneColumn() override { return new (std::nothrow) CQUSelOneColumn; }
    CQKSelColHead* PgCreateCQKSelColHead() override { return new (std::nothrow) CQUSelColHead; }
    CQKSelOneCell* PgCreateCQKSelOneCell() override { return new (std::nothrow) CQUSelOneCell; }
    CQKSelOneRow* PgCreateCQKSelOneRow() override { return new (std::nothrow) CQUSelOneRow; }
    CQKSelMultiCells* PgCreateCQKSelMultiCells() override { return new (std::nothrow) CQUSelMultiCells; }
    CQKSelMultiRows* PgCreateCQKSelMultiRows() override { return new (std::nothrow) CQUSelMultiRows; }
    CQKSelMultiColumns* PgCreateCQKSelMultiColumns() override { return new (std::nothrow) CQUSelMultiColumns; }
    CQKLeftCorner* PgCreateCQKLeftCorner() override { return new (std::nothrow) CQULeftCorner; }
    CQKOutsideTable* PgCreateCQKOutsideTable() override { return new (std::nothrow) CQUOutsideTable; }
};
