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

UINT s_findMessage = ::RegisterWindowMessageA(FINDMSGSTRINGA);

// The find and replace dialog of the system, kept as a window object so that keys typed
// in it are the dialog's and not the main window's accelerators.
class CFindDialogWnd : public CWnd
{
public:
    FINDREPLACEA m_fr = {sizeof(FINDREPLACEA)};
    BOOL PreTranslateMessage(MSG* pMsg) override { return ::IsDialogMessageA(m_hWnd, pMsg); }
};

// What the dialogs last searched for and replaced with, for the next dialog.
char s_findWhat[256] = "";
char s_replaceWith[256] = "";
DWORD s_findFlags = FR_DOWN;

} // namespace

BEGIN_MESSAGE_MAP(CRichEditView, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_COMMAND(ID_EDIT_FIND, OnEditFind)
    ON_COMMAND(ID_EDIT_REPLACE, OnEditReplace)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedSel)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedSel)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateNeedSel)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
    ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateNeedText)
    ON_UPDATE_COMMAND_UI(ID_EDIT_FIND, OnUpdateNeedText)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REPLACE, OnUpdateNeedText)
    ON_REGISTERED_MESSAGE(s_findMessage, OnFindReplaceCmd)
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

void CRichEditView::OnDestroy()
{
    if (m_pFindDialog != nullptr) {
        HWND dialog = m_pFindDialog->Detach();
        delete m_pFindDialog;
        m_pFindDialog = nullptr;
        ::DestroyWindow(dialog);
    }
    CView::OnDestroy();
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

// ---- the edit commands ---------------------------------------------------------------------

void CRichEditView::OnEditUndo() { m_edit.Undo(); }
void CRichEditView::OnEditCut() { m_edit.Cut(); }
void CRichEditView::OnEditCopy() { m_edit.Copy(); }
void CRichEditView::OnEditClear() { m_edit.Clear(); }
void CRichEditView::OnEditSelectAll() { m_edit.SetSel(0, -1); }

void CRichEditView::OnEditPaste()
{
    // Plain text only: formatting that comes with it is left behind.
    m_edit.SendMessage(EM_PASTESPECIAL, CF_TEXT, 0);
}

void CRichEditView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_edit.CanUndo());
}

void CRichEditView::OnUpdateNeedSel(CCmdUI* pCmdUI)
{
    long start = 0, end = 0;
    m_edit.GetSel(start, end);
    pCmdUI->Enable(start != end);
}

void CRichEditView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(CF_TEXT));
}

void CRichEditView::OnUpdateNeedText(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_edit.GetTextLength() > 0);
}

BOOL CRichEditView::PreTranslateMessage(MSG* pMsg)
{
    // The control's own paste keys would bring formatted text in.
    if (pMsg->hwnd == m_edit.GetSafeHwnd() && pMsg->message == WM_KEYDOWN &&
        ((pMsg->wParam == 'V' && ::GetKeyState(VK_CONTROL) < 0) ||
         (pMsg->wParam == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0))) {
        OnEditPaste();
        return TRUE;
    }
    return CView::PreTranslateMessage(pMsg);
}

void CRichEditView::OnEditFind() { OnEditFindReplace(TRUE); }
void CRichEditView::OnEditReplace() { OnEditFindReplace(FALSE); }

void CRichEditView::OnEditFindReplace(BOOL bFindOnly)
{
    if (m_pFindDialog != nullptr) {
        if (m_bFindOnly == bFindOnly) {
            m_pFindDialog->SetActiveWindow();
            return;
        }
        HWND dialog = m_pFindDialog->Detach();
        delete m_pFindDialog;
        m_pFindDialog = nullptr;
        ::DestroyWindow(dialog);
    }
    // A selection within one line is what to find.
    CString selected = m_edit.GetSelText();
    if (!selected.IsEmpty() && selected.Find('\r') < 0 && selected.Find('\n') < 0 &&
        selected.GetLength() < (int)sizeof s_findWhat)
        lstrcpynA(s_findWhat, selected, sizeof s_findWhat);
    auto* wnd = new CFindDialogWnd;
    FINDREPLACEA& fr = wnd->m_fr;
    fr.hwndOwner = m_hWnd;
    fr.Flags = s_findFlags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD);
    fr.lpstrFindWhat = s_findWhat;
    fr.wFindWhatLen = sizeof s_findWhat;
    fr.lpstrReplaceWith = s_replaceWith;
    fr.wReplaceWithLen = sizeof s_replaceWith;
    HWND dialog = bFindOnly ? ::FindTextA(&fr) : ::ReplaceTextA(&fr);
    if (dialog == nullptr) {
        delete wnd;
        return;
    }
    wnd->Attach(dialog);
    m_pFindDialog = wnd;
    m_bFindOnly = bFindOnly;
}

BOOL CRichEditView::FindText(LPCTSTR lpszFind, BOOL bCase, BOOL bWord, BOOL bNext)
{
    if (lpszFind == nullptr || *lpszFind == 0)
        return FALSE;
    CHARRANGE sel;
    m_edit.GetSel(sel);
    FINDTEXTEXA ft = {};
    ft.lpstrText = lpszFind;
    if (bNext) {
        ft.chrg.cpMin = sel.cpMax;
        ft.chrg.cpMax = -1;
    } else {
        ft.chrg.cpMin = sel.cpMin;
        ft.chrg.cpMax = 0;
    }
    const DWORD flags = (bNext ? FR_DOWN : 0) | (bCase ? FR_MATCHCASE : 0) | (bWord ? FR_WHOLEWORD : 0);
    if (m_edit.FindText(flags, &ft) < 0)
        return FALSE;
    m_edit.SetSel(ft.chrgText);
    return TRUE;
}

void CRichEditView::OnTextNotFound(LPCTSTR lpszFind)
{
    CString text;
    text.Format("Cannot find \"%s\".", lpszFind);
    ::MessageBoxA(m_pFindDialog ? m_pFindDialog->m_hWnd : m_hWnd, text, AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
}

LRESULT CRichEditView::OnFindReplaceCmd(WPARAM, LPARAM lParam)
{
    const FINDREPLACEA* fr = (const FINDREPLACEA*)lParam;
    if (fr == nullptr)
        return 0;
    s_findFlags = fr->Flags;
    if (fr->Flags & FR_DIALOGTERM) {
        if (m_pFindDialog != nullptr) {
            m_pFindDialog->Detach();
            delete m_pFindDialog;
            m_pFindDialog = nullptr;
        }
        return 0;
    }
    const BOOL bCase = (fr->Flags & FR_MATCHCASE) != 0, bWord = (fr->Flags & FR_WHOLEWORD) != 0;
    const BOOL bDown = (fr->Flags & FR_DOWN) != 0 || (fr->Flags & (FR_REPLACE | FR_REPLACEALL)) != 0;
    if (fr->Flags & FR_REPLACEALL) {
        // From the start, each found text replaced; the search goes on after the replacement.
        m_edit.SetSel(0, 0);
        int count = 0;
        while (FindText(fr->lpstrFindWhat, bCase, bWord, TRUE)) {
            m_edit.ReplaceSel(fr->lpstrReplaceWith, TRUE);
            ++count;
        }
        if (count == 0)
            OnTextNotFound(fr->lpstrFindWhat);
        return 0;
    }
    if (fr->Flags & FR_REPLACE) {
        // The selection is replaced when it is the text sought; then the next is found.
        CString selected = m_edit.GetSelText();
        if (bCase ? selected.Compare(fr->lpstrFindWhat) == 0 : selected.CompareNoCase(fr->lpstrFindWhat) == 0)
            m_edit.ReplaceSel(fr->lpstrReplaceWith, TRUE);
    }
    if (!FindText(fr->lpstrFindWhat, bCase, bWord, bDown))
        OnTextNotFound(fr->lpstrFindWhat);
    return 0;
}
