// The elements of a worksheet or matrix window: what is selected in the table, its corner,
// and the area outside it. The page makes each through its factory (`PgCreateCQKSel...`),
// so the user interface's subclasses answer where their submenu lies in the window's
// context menu; the kernel's own elements have no menu (-1).
#pragma once

#include "QKData.h"
#include "QKGraphObjects.h"

class QK_API CQKTableElement : public CQKGrElement {
public:
    // The page that made the element.
    CQKTablePage* GetTablePage() const { return m_tablePage; }
    void SetTablePage(CQKTablePage* page) { m_tablePage = page; }
    // The position of the element's submenu in the window's context menu; -1 for none.
    virtual int GetContextmenuPos() { return -1; }

private:
    CQKTablePage* m_tablePage = nullptr;
};

class QK_API CQKSelRowNum : public CQKTableElement {};       // one row number
class QK_API CQKSelOneColumn : public CQKTableElement {};    // part of one column
class QK_API CQKSelColHead : public CQKTableElement {};      // one column heading
class QK_API CQKSelOneCell : public CQKTableElement {};      // one cell
class QK_API CQKSelOneRow : public CQKTableElement {};       // part of one row
class QK_API CQKSelMultiCells : public CQKTableElement {};   // a block of cells
class QK_API CQKSelMultiRows : public CQKTableElement {};    // several row numbers
class QK_API CQKSelMultiColumns : public CQKTableElement {}; // several column headings
class QK_API CQKSelAllColsRows : public CQKTableElement {};  // the whole matrix
class QK_API CQKLeftCorner : public CQKTableElement {};      // the top-left corner
class QK_API CQKOutsideTable : public CQKTableElement {};    // the area outside the table
