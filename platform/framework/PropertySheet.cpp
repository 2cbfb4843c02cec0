// Property sheets and pages over the system's property sheet. A modal sheet is created
// modeless and run in the framework's modal loop, so messages pass PreTranslateMessage.
#include "afxdlgs.h"

namespace {

// The sheet being created, for the creation callback, which has no context of its own.
thread_local CPropertySheet* t_pSheetCreating = nullptr;

// The extended dialog template's header, up to the styles the callback changes.
struct DialogTemplateExHeader
{
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
};

// Help buttons appear when the main window answers ID_HELP.
BOOL HelpEnabled()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd == nullptr || pMainWnd->m_hWnd == nullptr)
        return FALSE;
    AFX_CMDHANDLERINFO info = {nullptr, nullptr};
    return pMainWnd->OnCmdMsg(ID_HELP, CN_COMMAND, nullptr, &info);
}

}

/////////////////////////////////////////////////////////////////////////////
// CPropertyPage

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage() : m_bFirstSetActive(TRUE) { Construct((LPCTSTR) nullptr, 0); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : m_bFirstSetActive(TRUE)
{
    Construct(nIDTemplate, nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : m_bFirstSetActive(TRUE)
{
    Construct(lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage() {}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(MAKEINTRESOURCE(nIDTemplate), nIDCaption);
    m_nIDHelp = nIDTemplate;
}

void CPropertyPage::Construct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    memset(&m_psp, 0, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = 0;
    m_psp.pszTemplate = lpszTemplateName;
    m_psp.pfnDlgProc = AfxDlgProc;
    m_psp.lParam = (LPARAM)this;
    m_lpszTemplateName = lpszTemplateName;
    if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption)) {
        m_psp.pszTitle = m_strCaption;
        m_psp.dwFlags |= PSP_USETITLE;
    }
    if (HelpEnabled())
        m_psp.dwFlags |= PSP_HASHELP;
    m_bFirstSetActive = TRUE;
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND hWndSheet = ::GetParent(m_hWnd);
    if (hWndSheet != nullptr)
        ::SendMessageA(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, (WPARAM)m_hWnd, 0);
}

void CPropertyPage::CancelToClose() { ::SendMessageA(::GetParent(m_hWnd), PSM_CANCELTOCLOSE, 0, 0); }

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(::GetParent(m_hWnd), PSM_QUERYSIBLINGS, wParam, lParam);
}

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, which has already loaded the controls.
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

// The sheet does dialog navigation for its pages.
BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CDialog::OnNotify(wParam, lParam, pResult))
        return TRUE;
    NMHDR* pNMHDR = (NMHDR*)lParam;
    switch (pNMHDR->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        *pResult = !OnKillActive();
        break;
    case PSN_APPLY:
        *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
    case PSN_RESET:
        OnReset();
        break;
    case PSN_QUERYCANCEL:
        *pResult = !OnQueryCancel();
        break;
    case PSN_WIZNEXT:
        *pResult = OnWizardNext();
        break;
    case PSN_WIZBACK:
        *pResult = OnWizardBack();
        break;
    case PSN_WIZFINISH:
        *pResult = !OnWizardFinish();
        break;
    case PSN_HELP:
        SendMessage(WM_COMMAND, ID_HELP);
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// CPropertySheet

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

int CALLBACK AfxPropSheetCallback(HWND, UINT message, LPARAM lParam)
{
    CPropertySheet* pSheet = t_pSheetCreating;
    if (message != PSCB_PRECREATE || pSheet == nullptr || pSheet->m_dwCreateStyle == (DWORD)-1)
        return 0;
    // Give the sheet the caller's styles, keeping the flags that describe the template.
    const DWORD dwKeep = DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK;
    DialogTemplateExHeader* pEx = (DialogTemplateExHeader*)lParam;
    if (pEx->signature == 0xFFFF) {
        pEx->style = pSheet->m_dwCreateStyle | (pEx->style & dwKeep);
        pEx->exStyle = pSheet->m_dwCreateExStyle;
    } else {
        DLGTEMPLATE* pTemplate = (DLGTEMPLATE*)lParam;
        pTemplate->style = pSheet->m_dwCreateStyle | (pTemplate->style & dwKeep);
        pTemplate->dwExtendedStyle = pSheet->m_dwCreateExStyle;
    }
    return 0;
}

CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.LoadString(nIDCaption);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption;
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    delete[] m_phPages;
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.LoadString(nIDCaption);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption;
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    memset(&m_psh, 0, sizeof(m_psh));
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.pfnCallback = AfxPropSheetCallback;
    m_psh.nStartPage = iSelectPage;
    if (HelpEnabled())
        m_psh.dwFlags |= PSH_HASHELP;
    m_pParentWnd = pParentWnd;
    m_bModeless = FALSE;
    m_dwCreateStyle = (DWORD)-1;
    m_dwCreateExStyle = 0;
    m_phPages = nullptr;
}

BOOL CPropertySheet::BuildPropPageArray()
{
    delete[] m_phPages;
    int nPages = (int)m_pages.GetSize();
    m_phPages = new HPROPSHEETPAGE[nPages ? nPages : 1];
    for (int i = 0; i < nPages; i++) {
        CPropertyPage* pPage = GetPage(i);
        pPage->m_psp.hInstance = AfxFindResourceHandle(pPage->m_psp.pszTemplate, RT_DIALOG);
        m_phPages[i] = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (m_phPages[i] == nullptr) {
            while (i-- > 0)
                ::DestroyPropertySheetPage(m_phPages[i]);
            return FALSE;
        }
    }
    m_psh.dwFlags &= ~PSH_PROPSHEETPAGE;
    m_psh.phpage = m_phPages;
    m_psh.nPages = (UINT)nPages;
    m_psh.pszCaption = m_strCaption;
    m_psh.hInstance = AfxGetResourceHandle();
    return TRUE;
}

void CPropertySheet::HideStandardButtons()
{
    if (m_psh.dwFlags & PSH_WIZARD)
        return;
    const int ids[] = {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP};
    for (int id : ids) {
        HWND hWnd = ::GetDlgItem(m_hWnd, id);
        if (hWnd != nullptr) {
            ::ShowWindow(hWnd, SW_HIDE);
            ::EnableWindow(hWnd, FALSE);
        }
    }
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (dwStyle == (DWORD)-1)
        dwStyle = DS_MODALFRAME | DS_3DLOOK | DS_CONTEXTHELP | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    if (dwStyle & WS_CHILD) {
        dwStyle |= DS_CONTROL;
        dwExStyle |= WS_EX_CONTROLPARENT;
    }
    m_dwCreateStyle = dwStyle;
    m_dwCreateExStyle = dwExStyle;
    m_bModeless = TRUE;
    if (pParentWnd == nullptr)
        pParentWnd = m_pParentWnd;
    if (pParentWnd == nullptr && !(dwStyle & WS_CHILD))
        pParentWnd = AfxGetMainWnd();
    m_psh.hwndParent = pParentWnd->GetSafeHwnd();
    m_psh.dwFlags |= PSH_MODELESS;
    if (!BuildPropPageArray())
        return FALSE;

    t_pSheetCreating = this;
    AfxHookWindowCreate(this);
    HWND hWnd = (HWND)::PropertySheetA(&m_psh);
    AfxUnhookWindowCreate();
    t_pSheetCreating = nullptr;
    if (hWnd == nullptr || hWnd == (HWND)-1 || m_hWnd != hWnd)
        return FALSE;
    HideStandardButtons();
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    HWND hWndParent = nullptr;
    CWnd::GetSafeOwner(m_pParentWnd, &hWndParent);
    m_psh.hwndParent = hWndParent;
    BOOL bEnableParent = FALSE;
    if (hWndParent != nullptr && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }
    HWND hWndCapture = ::GetCapture();
    if (hWndCapture != nullptr)
        ::SendMessageA(hWndCapture, WM_CANCELMODE, 0, 0);

    m_bModeless = FALSE;
    m_dwCreateStyle = (DWORD)-1;
    m_nModalResult = -1;
    INT_PTR nResult = -1;
    m_psh.dwFlags |= PSH_MODELESS;
    if (BuildPropPageArray()) {
        t_pSheetCreating = this;
        AfxHookWindowCreate(this);
        HWND hWnd = (HWND)::PropertySheetA(&m_psh);
        AfxUnhookWindowCreate();
        t_pSheetCreating = nullptr;
        if (hWnd != nullptr && hWnd != (HWND)-1 && m_hWnd == hWnd) {
            m_nModalResult = IDCANCEL;
            m_nFlags |= WF_CONTINUEMODAL;
            nResult = RunModalLoop(MLF_SHOWONIDLE);
            if (m_hWnd != nullptr)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    m_psh.dwFlags &= ~PSH_MODELESS;

    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    DestroyWindow();
    return nResult;
}

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    LRESULT result = Default();
    OnInitDialog();
    return result;
}

BOOL CPropertySheet::OnInitDialog()
{
    return TRUE;
}

BOOL CPropertySheet::ContinueModal()
{
    if (!CWnd::ContinueModal())
        return FALSE;
    // The system's sheet has ended when it has no current page any more.
    return ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    // The push button that is clicked becomes the modal result (OK or Cancel).
    HWND hWndCtrl = (HWND)lParam;
    if (hWndCtrl != nullptr && HIWORD(wParam) == BN_CLICKED &&
        (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON))) {
        LONG_PTR lStyle = ::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & 0x0F;
        if (lStyle == BS_PUSHBUTTON || lStyle == BS_DEFPUSHBUTTON || lStyle == BS_USERBUTTON || lStyle == BS_OWNERDRAW)
            m_nModalResult = LOWORD(wParam);
    }
    return FALSE;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    // A child sheet leaves navigation to the dialog that holds it.
    if (GetStyle() & WS_CHILD)
        return FALSE;
    if ((pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) &&
        (pMsg->message < WM_MOUSEFIRST || pMsg->message > WM_MOUSELAST))
        return FALSE;
    return (BOOL)::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, (LPARAM)pMsg);
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.Add(pPage);
    if (m_hWnd == nullptr)
        return;
    pPage->m_psp.hInstance = AfxFindResourceHandle(pPage->m_psp.pszTemplate, RT_DIALOG);
    HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
    if (hPage == nullptr || !::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, (LPARAM)hPage)) {
        if (hPage != nullptr)
            ::DestroyPropertySheetPage(hPage);
        m_pages.RemoveAt(m_pages.GetUpperBound());
        AfxThrowResourceException();
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    int nPage = GetPageIndex(pPage);
    if (nPage >= 0)
        RemovePage(nPage);
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    if (m_hWnd != nullptr)
        ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, nPage, 0);
    m_pages.RemoveAt(nPage);
}

int CPropertySheet::GetPageCount() const { return (int)m_pages.GetSize(); }

CPropertyPage* CPropertySheet::GetPage(int nPage) const { return (CPropertyPage*)m_pages.GetAt(nPage); }

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); i++)
        if (GetPage(i) == pPage)
            return i;
    return -1;
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == nullptr)
        return (int)m_psh.nStartPage;
    HWND hWndTab = (HWND)::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0);
    return (int)::SendMessageA(hWndTab, TCM_GETCURSEL, 0, 0);
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    int nPage = GetActiveIndex();
    return nPage >= 0 && nPage < GetPageCount() ? GetPage(nPage) : nullptr;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (m_hWnd == nullptr) {
        m_psh.nStartPage = (UINT)nPage;
        return TRUE;
    }
    return (BOOL)::SendMessageA(m_hWnd, PSM_SETCURSEL, nPage, 0);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    int nPage = GetPageIndex(pPage);
    return nPage >= 0 && SetActivePage(nPage);
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    m_psh.pszCaption = m_strCaption;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd != nullptr)
        ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, (LPARAM)lpszText);
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return (CTabCtrl*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
}

void CPropertySheet::EndDialog(int nEndID)
{
    EndModalLoop(nEndID);
    if (m_bModeless)
        DestroyWindow();
}
