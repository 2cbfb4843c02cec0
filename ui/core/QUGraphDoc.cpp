#include "QUGraphDoc.h"

#include "QuorixSrvrItem.h"

IMPLEMENT_DYNCREATE(CQUGraphDoc, CQuorixDoc)
IMPLEMENT_DYNCREATE(CQULayoutDoc, CQUGraphDoc)

namespace {
const UINT kEditUpdateClient = 34100;
}

BEGIN_MESSAGE_MAP(CQUGraphDoc, CQuorixDoc)
    ON_COMMAND(kEditUpdateClient, OnEditUpdateClient)
    ON_UPDATE_COMMAND_UI(kEditUpdateClient, OnUpdateEditUpdateClient)
END_MESSAGE_MAP()

CQUGraphDoc::CQUGraphDoc()
{
    EnableAutomation();
}

COleServerItem* CQUGraphDoc::OnGetEmbeddedItem()
{
    return new CQUGraphSrvrItem(this);
}

COleServerItem* CQULayoutDoc::OnGetEmbeddedItem()
{
    return new CQULayoutSrvrItem(this);
}

void CQUGraphDoc::OnFinalRelease()
{
    const BOOL shutDown = ShutDownOnFinalRelease();
    CQuorixDoc::OnFinalRelease();
    if (shutDown)
        if (CWnd* main = AfxGetMainWnd())
            main->PostMessage(WM_CLOSE);
}

int CQUGraphDoc::OnBeforeCloseWnd()
{
    if (m_bEmbedded)
        OnUpdateDocument();
    return 1;
}

BOOL CQUGraphDoc::OnBeforeClosingAllWhenEmbedding()
{
    return m_bEmbedded || IsInPlaceActive() ? CQuorixDoc::OnUpdateDocument() : 1;
}

BOOL CQUGraphDoc::CanUpdateClient()
{
    POSITION pos = GetStartPosition();
    while (COleServerItem* item = GetNextServerItem(pos))
        if (item->IsConnected())
            return TRUE;
    return FALSE;
}

void CQUGraphDoc::CopyPage()
{
    BeginWaitCursor();
    if (COleServerItem* item = GetEmbeddedItem())
        item->CopyToClipboard(TRUE);
    EndWaitCursor();
}

void CQUGraphDoc::OnEditUpdateClient()
{
    UpdateAllItems(nullptr);
}

void CQUGraphDoc::OnUpdateEditUpdateClient(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanUpdateClient());
}
