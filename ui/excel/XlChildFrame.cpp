#include "XlChildFrame.h"

#include "ExcelRes.h"
#include "MainFrame.h"
#include "XlView.h"

IMPLEMENT_DYNCREATE(CxlChildFrame, CChildFrame)

CxlChildFrame::CxlChildFrame() = default;

BOOL CxlChildFrame::OnBeforeActivateDeactivate(BOOL bActivate, CWnd* pActivated, CWnd* pDeactivated)
{
    CChildFrame::OnBeforeActivateDeactivate(bActivate, pActivated, pDeactivated);
    if (!bActivate)
        SetAdjustment();
    return TRUE;
}

void CxlChildFrame::SetAdjustment()
{
    CMainFrame* frame = get_main_frame();
    m_lAdjustment = frame != nullptr ? -frame->GetExcelTopDockVertSize() : 0;
}

BOOL CxlChildFrame::VirtualNcRButtonDown(UINT nHitTest, CPoint point)
{
    CQUxlView* view = DYNAMIC_DOWNCAST(CQUxlView, GetActiveView());
    return nHitTest == HTCAPTION && view != nullptr && view->HasExcel() && TrackCaptionMenu(IDR_XL_TITLEBAR, point);
}

WORD CxlChildFrame::get_wnd_template_bits()
{
    CQUxlView* view = DYNAMIC_DOWNCAST(CQUxlView, GetActiveView());
    return view != nullptr ? (WORD)view->GetViewToolbarBits() : 0x0080;
}

LRESULT CxlChildFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_LBUTTONDOWN && IsActiveMDIChild())
        SetFocus();
    LRESULT result = CChildFrame::WindowProc(message, wParam, lParam);
    if (message == WM_MDIACTIVATE && (HWND)lParam == m_hWnd && DYNAMIC_DOWNCAST(CQUxlView, GetActiveView())) {
        // A mouse move over the caption wakes an in-place workbook's own frame tools.
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        ClientToScreen(&client);
        PostMessage(WM_NCMOUSEMOVE, HTCAPTION,
                    MAKELPARAM((client.left + client.right) / 2, (window.top + client.top) / 2));
    }
    return result;
}
