#include "PageClasses.h"

#include "QrxMultiDocTemplate.h"

#include <afxdisp.h>

IMPLEMENT_DYNCREATE(CMainFrameQuorix, CMainFrame)
IMPLEMENT_DYNCREATE(CChildFrameQuorix, CChildFrame)
IMPLEMENT_DYNCREATE(CUnbuiltPageView, CQuorixView)
IMPLEMENT_DYNCREATE(CWksDocQuorix, CQUWksDoc)
IMPLEMENT_DYNCREATE(CGraphDocQuorix, CQUGraphDoc)
IMPLEMENT_DYNCREATE(CMatrixDocQuorix, CQUMatrixDoc)
IMPLEMENT_DYNCREATE(CNotesDocQuorix, CDocument)
IMPLEMENT_DYNCREATE(CWksViewQuorix, CQUWksView)
IMPLEMENT_DYNCREATE(CGraphViewQuorix, CQUGraphView)
IMPLEMENT_DYNCREATE(CMatrixViewQuorix, CQUMatrixView)

BEGIN_MESSAGE_MAP(CMainFrameQuorix, CMainFrame)
    ON_WM_CREATE()
END_MESSAGE_MAP()

int CMainFrameQuorix::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CMainFrame::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

CString CUnbuiltPageView::GetNotice()
{
    CString kind = "page";
    CDocument* doc = GetDocument();
    if (doc && doc->GetDocTemplate())
        doc->GetDocTemplate()->GetDocString(kind, CDocTemplate::fileNewName);
    return "The " + kind + " window is not drawn in this version; its data is kept and scripts can use it.";
}

void CUnbuiltPageView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->DrawText(GetNotice(), &client, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}

CWksDocQuorix::CWksDocQuorix()
{
    AfxOleLockApp();
}

CWksDocQuorix::~CWksDocQuorix()
{
    AfxOleUnlockApp();
}
