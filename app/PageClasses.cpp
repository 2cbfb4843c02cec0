#include "PageClasses.h"

#include "CoreResources.h"
#include "QrxMultiDocTemplate.h"

#include <afxdisp.h>

IMPLEMENT_DYNCREATE(CMainFrameQuorix, CMainFrame)
IMPLEMENT_DYNCREATE(CChildFrameQuorix, CChildFrame)
IMPLEMENT_DYNCREATE(CInPlaceFrameQuorix, CInPlaceFrame)
IMPLEMENT_DYNCREATE(CWksDocQuorix, CQUWksDoc)
IMPLEMENT_DYNCREATE(CGraphDocQuorix, CQUGraphDoc)
IMPLEMENT_DYNCREATE(CMatrixDocQuorix, CQUMatrixDoc)
IMPLEMENT_DYNCREATE(CNotesDocQuorix, CQUNotesDoc)
IMPLEMENT_DYNCREATE(CNotesViewQuorix, CQUNotesView)
IMPLEMENT_DYNCREATE(CNotesChildFrame, CChildFrame)
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

CWksDocQuorix::CWksDocQuorix()
{
    AfxOleLockApp();
}

CWksDocQuorix::~CWksDocQuorix()
{
    AfxOleUnlockApp();
}

BOOL CNotesChildFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == EN_CHANGE)
        if (CQUNotesView* view = DYNAMIC_DOWNCAST(CQUNotesView, GetActiveView()))
            if ((HWND)lParam == view->GetSafeHwnd())
                view->OnTextChanged();
    return CChildFrame::OnCommand(wParam, lParam);
}

BOOL CNotesChildFrame::VirtualNcRButtonDown(UINT nHitTest, CPoint point)
{
    return nHitTest == HTCAPTION && TrackCaptionMenu(IDR_QU_NOTES_CAPTION, point);
}
