#include "InPlaceFrame.h"

IMPLEMENT_DYNCREATE(CInPlaceFrame, COleIPFrameWnd)

BEGIN_MESSAGE_MAP(CInPlaceFrame, COleIPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_HELP_FINDER, CFrameWnd::OnHelpFinder)
    ON_COMMAND(ID_CONTEXT_HELP, CFrameWnd::OnContextHelp)
    ON_COMMAND(ID_HELP, CFrameWnd::OnHelp)
    ON_COMMAND(ID_DEFAULT_HELP, CFrameWnd::OnHelpFinder)
END_MESSAGE_MAP()

CInPlaceFrame::CInPlaceFrame() {}

int CInPlaceFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (COleIPFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndResizeBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_RESIZE_BAR))
        return -1;
    m_dropTarget.Register(this);
    return 0;
}

BOOL CInPlaceFrame::OnCreateControlBars(CFrameWnd*, CFrameWnd*)
{
    return TRUE;
}

BOOL CInPlaceFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return COleIPFrameWnd::PreCreateWindow(cs);
}

IMPLEMENT_DYNAMIC(CQUOleMessageFilter, COleMessageFilter)

CQUOleMessageFilter::CQUOleMessageFilter()
{
    SetMessagePendingDelay(3000);
}
