#include <afxrich.h>

#include <richedit.h>

IMPLEMENT_DYNCREATE(CRichEditView, CView)
IMPLEMENT_DYNAMIC(CRichEditDoc, CDocument)

namespace {

const UINT kEditId = 1;

DWORD CALLBACK WriteOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    static_cast<CArchive*>((void*)cookie)->Write(buffer, (UINT)count);
    *done = count;
    return 0;
}

DWORD CALLBACK ReadIn(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    *done = (LONG) static_cast<CArchive*>((void*)cookie)->Read(buffer, (UINT)count);
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CRichEditView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CRichEditView::CRichEditView() = default;
CRichEditView::~CRichEditView() = default;

CRichEditDoc* CRichEditView::GetDocument() const
{
    return DYNAMIC_DOWNCAST(CRichEditDoc, m_pDocument);
}

int CRichEditView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    CRect client(0, 0, lpcs->cx, lpcs->cy);
    if (!m_edit.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                           ES_NOHIDESEL | ES_AUTOHSCROLL | WS_HSCROLL,
                       client, this, kEditId))
        return -1;
    m_edit.LimitText(0x7FFFFFFF);
    m_edit.SetEventMask(m_edit.GetEventMask() | ENM_CHANGE);
    // The control's own font, not the system's bold dialog font.
    m_edit.SendMessage(WM_SETFONT, (WPARAM)::GetStockObject(ANSI_FIXED_FONT), FALSE);
    m_edit.SetModify(FALSE);
    return 0;
}

void CRichEditView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_edit.GetSafeHwnd())
        m_edit.MoveWindow(0, 0, cx, cy);
}

void CRichEditView::OnSetFocus(CWnd*)
{
    if (m_edit.GetSafeHwnd())
        m_edit.SetFocus();
}

BOOL CRichEditView::OnEraseBkgnd(CDC*)
{
    return TRUE; // the control covers the view
}

void CRichEditView::OnDraw(CDC*)
{
}

BOOL CRichEditView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if ((HWND)lParam == m_edit.GetSafeHwnd() && LOWORD(wParam) == kEditId) {
        CWnd* parent = GetParent();
        if (parent != nullptr)
            return (BOOL)parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), HIWORD(wParam)), (LPARAM)m_hWnd);
        return TRUE;
    }
    return CView::OnCommand(wParam, lParam);
}

CString CRichEditView::GetText() const
{
    CString text;
    if (m_edit.GetSafeHwnd())
        m_edit.GetWindowText(text);
    return text;
}

void CRichEditView::SetText(LPCTSTR text)
{
    m_edit.SetWindowText(text ? text : "");
}

void CRichEditView::AppendText(LPCTSTR text)
{
    long end = (long)m_edit.SendMessage(WM_GETTEXTLENGTH);
    m_edit.SetSel(end, end);
    m_edit.SendMessage(EM_REPLACESEL, FALSE, (LPARAM)(text ? text : ""));
}

void CRichEditView::WrapChanged()
{
    // A null target device wraps at the window's edge; a line width of 1 keeps lines whole.
    m_edit.SendMessage(EM_SETTARGETDEVICE, 0, m_nWordWrap == WrapToWindow ? 0 : 1);
}

void CRichEditView::Stream(CArchive& ar, BOOL bRTF)
{
    EDITSTREAM es = {(DWORD_PTR)&ar, 0, ar.IsStoring() ? WriteOut : ReadIn};
    UINT format = bRTF ? SF_RTF : SF_TEXT;
    m_edit.SendMessage(ar.IsStoring() ? EM_STREAMOUT : EM_STREAMIN, format, (LPARAM)&es);
    if (!ar.IsStoring())
        m_edit.SetModify(FALSE);
}

CRichEditView* CRichEditDoc::GetView() const
{
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr)
        if (CRichEditView* view = DYNAMIC_DOWNCAST(CRichEditView, GetNextView(pos)))
            return view;
    return nullptr;
}

void CRichEditDoc::Serialize(CArchive& ar)
{
    if (CRichEditView* view = GetView())
        view->Stream(ar, m_bRTF);
}
