#include "QUMatrixView.h"

#include "QKData.h"
#include "MainFrame.h"
#include "QUAccess.h"
#include "QuorixSrvrItem.h"

IMPLEMENT_DYNCREATE(CQUMatrixDoc, CQUWksDoc)

COleServerItem* CQUMatrixDoc::OnGetEmbeddedItem()
{
    return new CQUMatrixSrvrItem(this);
}
IMPLEMENT_DYNCREATE(CQUMatrixView, CQUWksView)

CQKMatrixPage* CQUMatrixDoc::get_matrix_page() const
{
    return dynamic_cast<CQKMatrixPage*>(GetPage());
}

BEGIN_MESSAGE_MAP(CQUMatrixView, CQUWksView)
    ON_COMMAND_EX_RANGE(36048, 36058, OnMatrixCommand)
    ON_UPDATE_COMMAND_UI_RANGE(36048, 36058, OnUpdateMatrixCommand)
END_MESSAGE_MAP()

CQKMatrixPage* CQUMatrixView::get_matrix_page()
{
    return dynamic_cast<CQKMatrixPage*>(GetPage());
}

BOOL CQUMatrixView::OnMatrixCommand(UINT nID)
{
    RunScript("MATRIX", nID);
    return TRUE;
}

void CQUMatrixView::OnUpdateMatrixCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(get_matrix_page() != nullptr && QUIsCommandAvailable("MATRIX", pCmdUI->m_nID));
}

int CQUMatrixView::GetSelectionMenuPosition(int hitKind)
{
    if (hitKind == 0)
        return 2;
    if (hitKind == 4)
        return 1;
    CQKMatrixPage* m = get_matrix_page();
    if (m == nullptr)
        return 0;
    // Whole columns of a matrix are its every row; whole rows its every column.
    bool allColumns = m->m_selC1 == 1 && m->m_selC2 >= m->GetNumCols();
    bool allRows = m->m_selR1 == 0 || (m->m_selR1 <= 1 && m->m_selR2 >= m->GetNumRows());
    return allColumns && allRows ? 3 : 0;
}
