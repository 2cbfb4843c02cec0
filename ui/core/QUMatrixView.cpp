#include "QUMatrixView.h"

#include "QKData.h"
#include "QKSelection.h"
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
    CQKTablePage* page = GetTablePage();
    CQKTableElement* element = page != nullptr ? page->GetSelectionElement(hitKind) : nullptr;
    if (element == nullptr)
        return -1;
    // Every selection of cells shares the matrix's cell menu; the whole matrix, the corner
    // and the area outside have their own.
    if (dynamic_cast<CQKSelAllColsRows*>(element) || dynamic_cast<CQKLeftCorner*>(element) ||
        dynamic_cast<CQKOutsideTable*>(element))
        return element->GetContextmenuPos();
    return 0;
}
