// CDialog, modal and modeless, and dialog data exchange and validation.
#include "afxwin.h"
#include <prsht.h>
#include <float.h>
#include <stdlib.h>

/////////////////////////////////////////////////////////////////////////////
// CDialog

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_nIDHelp(0), m_lpszTemplateName(nullptr), m_hDialogTemplate(nullptr), m_lpDialogTemplate(nullptr),
      m_pParentWnd(nullptr)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_pParentWnd = pParentWnd;
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_pParentWnd = pParentWnd;
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    m_nIDHelp = nIDTemplate;
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

static LPCDLGTEMPLATE LoadDialogTemplate(LPCTSTR lpszTemplateName, HINSTANCE* phInst)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceA(hInst, lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    *phInst = hInst;
    return hTemplate ? (LPCDLGTEMPLATE)::LockResource(hTemplate) : nullptr;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = LoadDialogTemplate(lpszTemplateName, &hInst);
    if (lpTemplate == nullptr)
        return FALSE;
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (hInst == nullptr)
        hInst = AfxGetResourceHandle();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(),
                                             AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr && m_hWnd == hWnd;
}

HWND CDialog::PreModal()
{
    HWND hWndTop = nullptr;
    CWnd::GetSafeOwner(m_pParentWnd, &hWndTop);
    return hWndTop;
}

void CDialog::PostModal() {}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = AfxGetResourceHandle();
    LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate;
    if (m_lpszTemplateName != nullptr)
        lpTemplate = LoadDialogTemplate(m_lpszTemplateName, &hInst);
    else if (m_hDialogTemplate != nullptr)
        lpTemplate = (LPCDLGTEMPLATE)::LockResource(m_hDialogTemplate);
    if (lpTemplate == nullptr)
        return -1;

    HWND hWndParent = PreModal();
    BOOL bEnableParent = FALSE;
    if (hWndParent != nullptr && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    try {
        if (CreateDlgIndirect(lpTemplate, CWnd::FromHandle(hWndParent), hInst)) {
            if (m_nFlags & WF_CONTINUEMODAL) {
                DWORD dwFlags = MLF_SHOWONIDLE;
                if (GetStyle() & DS_NOIDLEMSG)
                    dwFlags |= MLF_NOIDLEMSG;
                RunModalLoop(dwFlags);
            }
            if (m_hWnd != nullptr)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        e->Delete();
        m_nModalResult = -1;
    }
    m_nFlags &= ~WF_CONTINUEMODAL;

    // Enable the owner before the dialog goes, so activation returns to it.
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    DestroyWindow();
    PostModal();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit(m_lpszTemplateName);
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnSetFont(CFont*) {}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam == 0 && m_nIDHelp != 0)
        lParam = HID_BASE_RESOURCE + m_nIDHelp;
    if (lParam != 0) {
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr)
            pApp->WinHelp((DWORD_PTR)lParam);
        return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard and mouse input of the dialog's own controls gets dialog navigation.
    if ((pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) &&
        (pMsg->message < WM_MOUSEFIRST || pMsg->message > WM_MOUSELAST))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI)
        return FALSE;
    // The application gets the last chance at commands.
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    if (pDlg == nullptr && lParam != 0) {
        // A property page: the sheet creates it when first shown and hands over the page
        // description, which names the page object.
        LPPROPSHEETPAGEA ppsp = (LPPROPSHEETPAGEA)lParam;
        if (ppsp->pfnDlgProc == AfxDlgProc) {
            pDlg = (CDialog*)ppsp->lParam;
            if (!pDlg->SubclassWindow(hWnd))
                return TRUE;
        }
    }
    if (pDlg == nullptr)
        return TRUE;
    // The system's dialog code is between here and the window procedure's handler.
    try {
        return pDlg->OnInitDialog();
    } catch (CException* e) {
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
        pDlg->EndDialog(-1);
        return FALSE;
    }
}

/////////////////////////////////////////////////////////////////////////////
// Data exchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == nullptr)
        AfxThrowNotSupportedException();   // the dialog has no such control
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

static CString ControlText(HWND hWnd)
{
    CString str;
    int nLen = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, str.GetBufferSetLength(nLen), nLen + 1);
    str.ReleaseBuffer();
    return str;
}

// A whole-text parse: surrounding blanks are allowed, anything else is an error.
static bool ParseLong(LPCTSTR psz, bool bUnsigned, long long& value)
{
    while (*psz == ' ' || *psz == '\t')
        psz++;
    if (*psz == '\0' || (bUnsigned && *psz == '-'))
        return false;
    char* pEnd;
    errno = 0;
    value = strtoll(psz, &pEnd, 10);
    if (pEnd == psz || errno == ERANGE)
        return false;
    while (*pEnd == ' ' || *pEnd == '\t')
        pEnd++;
    return *pEnd == '\0';
}

static bool ParseDouble(LPCTSTR psz, double& value)
{
    while (*psz == ' ' || *psz == '\t')
        psz++;
    if (*psz == '\0')
        return false;
    char* pEnd;
    value = strtod(psz, &pEnd);
    if (pEnd == psz)
        return false;
    while (*pEnd == ' ' || *pEnd == '\t')
        pEnd++;
    return *pEnd == '\0';
}

// Exchanges an integer held in a member of type T within [minVal, maxVal]; text that is
// no such integer is refused with the given prompt.
template <class T>
static void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal,
                            bool bUnsigned, UINT nIDPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v;
        if (!ParseLong(ControlText(hWndCtrl), bUnsigned, v) || v < minVal || v > maxVal) {
            AfxMessageBox(nIDPrompt);
            pDX->Fail();
        }
        value = (T)v;
    } else {
        char sz[32];
        if (bUnsigned)
            snprintf(sz, sizeof sz, "%llu", (unsigned long long)value);
        else
            snprintf(sz, sizeof sz, "%lld", (long long)value);
        ::SetWindowTextA(hWndCtrl, sz);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { ExchangeInteger(pDX, nIDC, value, 0, 255, true, AFX_IDP_PARSE_BYTE); }
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ExchangeInteger(pDX, nIDC, value, SHRT_MIN, SHRT_MAX, false, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* pDX, int nIDC, WORD& value) { ExchangeInteger(pDX, nIDC, value, 0, USHRT_MAX, true, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, INT_MIN, INT_MAX, false, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeInteger(pDX, nIDC, value, 0, UINT_MAX, true, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ExchangeInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX, false, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { ExchangeInteger(pDX, nIDC, value, 0, ULONG_MAX, true, AFX_IDP_PARSE_UINT); }

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        ::SetWindowTextA(hWndCtrl, value);
}

// Floating-point values are shown with as many digits as the type holds, so a value
// survives a round trip through the control unchanged.
static void ExchangeReal(CDataExchange* pDX, int nIDC, double& value, int nDigits)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double d;
        if (!ParseDouble(ControlText(hWndCtrl), d)) {
            AfxMessageBox(AFX_IDP_PARSE_REAL);
            pDX->Fail();
        }
        value = d;
    } else {
        char sz[64];
        snprintf(sz, sizeof sz, "%.*g", nDigits, value);
        ::SetWindowTextA(hWndCtrl, sz);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    double d = value;
    ExchangeReal(pDX, nIDC, d, FLT_DIG);
    value = (float)d;
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { ExchangeReal(pDX, nIDC, value, DBL_DIG); }

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0);
    else
        ::SendMessageA(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int iButton = 0;
    do {
        if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != 0)
                    value = iButton;
            } else {
                ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value, 0);
            }
            iButton++;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != nullptr && !(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nIndex = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
        if (nIndex != LB_ERR) {
            int nLen = (int)::SendMessageA(hWndCtrl, LB_GETTEXTLEN, nIndex, 0);
            ::SendMessageA(hWndCtrl, LB_GETTEXT, nIndex, (LPARAM)value.GetBufferSetLength(nLen));
            value.ReleaseBuffer();
        } else {
            value.Empty();
        }
    } else if (::SendMessageA(hWndCtrl, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCTSTR)value) == LB_ERR) {
        ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)-1, 0);
    }
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_LBString(pDX, nIDC, value);
    } else {
        int i = (int)::SendMessageA(hWndCtrl, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)value);
        ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)i, 0);
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        // The edit field's text if it has one, else the selected item's.
        value = ControlText(hWndCtrl);
        if (value.IsEmpty()) {
            int nIndex = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
            if (nIndex != CB_ERR) {
                int nLen = (int)::SendMessageA(hWndCtrl, CB_GETLBTEXTLEN, nIndex, 0);
                ::SendMessageA(hWndCtrl, CB_GETLBTEXT, nIndex, (LPARAM)value.GetBufferSetLength(nLen));
                value.ReleaseBuffer();
            }
        }
    } else if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCTSTR)value) == CB_ERR) {
        ::SetWindowTextA(hWndCtrl, value);   // a value not in the list stays as typed text
    }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_CBString(pDX, nIDC, value);
    } else {
        int i = (int)::SendMessageA(hWndCtrl, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)value);
        if (i < 0)
            ::SetWindowTextA(hWndCtrl, value);
        else
            ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)i, 0);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::GetScrollPos(hWndCtrl, SB_CTL);
    else
        ::SetScrollPos(hWndCtrl, SB_CTL, value, TRUE);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(hWndCtrl, TBM_GETPOS, 0, 0);
    else
        ::SendMessageA(hWndCtrl, TBM_SETPOS, TRUE, value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr) {
        HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
        if (!rControl.SubclassWindow(hWndCtrl))
            AfxThrowNotSupportedException();   // already attached to another object
    }
}

/////////////////////////////////////////////////////////////////////////////
// Validation: only when saving, right after the exchange of the control it checks

static void FailRange(CDataExchange* pDX, LPCTSTR lpszMin, LPCTSTR lpszMax, UINT nIDPrompt)
{
    CString prompt;
    AfxFormatString2(prompt, nIDPrompt, lpszMin, lpszMax);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}

static void CheckSignedRange(CDataExchange* pDX, long long value, long long minVal, long long maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char szMin[32], szMax[32];
    snprintf(szMin, sizeof szMin, "%lld", minVal);
    snprintf(szMax, sizeof szMax, "%lld", maxVal);
    FailRange(pDX, szMin, szMax, AFX_IDP_PARSE_INT_RANGE);
}

static void CheckUnsignedRange(CDataExchange* pDX, unsigned long long value, unsigned long long minVal,
                               unsigned long long maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char szMin[32], szMax[32];
    snprintf(szMin, sizeof szMin, "%llu", minVal);
    snprintf(szMax, sizeof szMax, "%llu", maxVal);
    FailRange(pDX, szMin, szMax, AFX_IDP_PARSE_INT_RANGE);
}

static void CheckRealRange(CDataExchange* pDX, double value, double minVal, double maxVal, int nDigits)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char szMin[64], szMax[64];
    snprintf(szMin, sizeof szMin, "%.*g", nDigits, minVal);
    snprintf(szMax, sizeof szMax, "%.*g", nDigits, maxVal);
    FailRange(pDX, szMin, szMax, AFX_IDP_PARSE_REAL_RANGE);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal) { CheckUnsignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal) { CheckSignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) { CheckSignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) { CheckSignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) { CheckUnsignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) { CheckUnsignedRange(pDX, value, minVal, maxVal); }
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal) { CheckRealRange(pDX, value, minVal, maxVal, FLT_DIG); }
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) { CheckRealRange(pDX, value, minVal, maxVal, DBL_DIG); }

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            char szMax[32];
            snprintf(szMax, sizeof szMax, "%d", nChars);
            CString prompt;
            AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, szMax);
            AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl) {
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, (WPARAM)nChars, 0);
    }
}
