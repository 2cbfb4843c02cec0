// The elements of worksheet and matrix windows, made through the page's factories.
#include <new>

#include "QKSelection.h"

CQKTableElement* CQKTablePage::GetSelectionElement(int hit)
{
    CQKTableElement* made = nullptr;
    const bool wholeMatrix = GetType() == QK_PAGE_MATRIX && m_selC1 == 1 && m_selC2 >= GetNumCols() &&
                             (m_selR1 == 0 || (m_selR1 <= 1 && m_selR2 >= GetNumRows()));
    if (hit == 0)
        made = PgCreateCQKOutsideTable();
    else if (hit == 4)
        made = PgCreateCQKLeftCorner();
    else if (wholeMatrix)
        made = PgCreateCQKSelAllColsRows();
    else
        switch (GetSelectionKind()) {
        case 0: made = PgCreateCQKSelRowNum(); break;
        case 2: made = PgCreateCQKSelColHead(); break;
        case 3: made = PgCreateCQKSelOneCell(); break;
        case 4: made = PgCreateCQKLeftCorner(); break;
        case 5: made = PgCreateCQKSelOneColumn(); break;
        case 6: made = PgCreateCQKSelMultiCells(); break;
        case 7: made = PgCreateCQKSelOneRow(); break;
        case 8: made = PgCreateCQKSelMultiRows(); break;
        case 9: made = PgCreateCQKSelMultiColumns(); break;
        default: made = PgCreateCQKOutsideTable(); break;
        }
    if (made != nullptr)
        made->SetTablePage(this);
    m_selectionElement.reset(made);
    return made;
}

CQKSelRowNum* CQKTablePage::PgCreateCQKSelRowNum() { return new (std::nothrow) CQKSelRowNum; }
CQKSelOneColumn* CQKTablePage::PgCreateCQKSelOneColumn() { return new (std::nothrow) CQKSelOneColumn; }
CQKSelColHead* CQKTablePage::PgCreateCQKSelColHead() { return new (std::nothrow) CQKSelColHead; }
CQKSelOneCell* CQKTablePage::PgCreateCQKSelOneCell() { return new (std::nothrow) CQKSelOneCell; }
CQKSelOneRow* CQKTablePage::PgCreateCQKSelOneRow() { return new (std::nothrow) CQKSelOneRow; }
CQKSelMultiCells* CQKTablePage::PgCreateCQKSelMultiCells() { return new (std::nothrow) CQKSelMultiCells; }
CQKSelMultiRows* CQKTablePage::PgCreateCQKSelMultiRows() { return new (std::nothrow) CQKSelMultiRows; }
CQKSelMultiColumns* CQKTablePage::PgCreateCQKSelMultiColumns() { return new (std::nothrow) CQKSelMultiColumns; }
CQKSelAllColsRows* CQKTablePage::PgCreateCQKSelAllColsRows() { return new (std::nothrow) CQKSelAllColsRows; }
CQKLeftCorner* CQKTablePage::PgCreateCQKLeftCorner() { return new (std::nothrow) CQKLeftCorner; }
CQKOutsideTable* CQKTablePage::PgCreateCQKOutsideTable() { return new (std::nothrow) CQKOutsideTable; }
