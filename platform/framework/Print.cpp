// Printing: the print and page setup dialogs, the program's printer, and the print job a
// view runs page by page.
#include "afxdlgs.h"

namespace {

CString DevNamesField(HGLOBAL hDevNames, int nField)
{
    if (hDevNames == nullptr)
        return CString();
    LPDEVNAMES pNames = (LPDEVNAMES)::GlobalLock(hDevNames);
    if (pNames == nullptr)
        return CString();
    WORD wOffset = nField == 0 ? pNames->wDriverOffset : nField == 1 ? pNames->wDeviceOffset : pNames->wOutputOffset;
    CString str((LPCSTR)pNames + wOffset);
    ::GlobalUnlock(hDevNames);
    return str;
}

// The template's dialog becomes the object's window, so its message map handles it.
template <class T>
UINT_PTR HookInit(HWND hWnd, T* pDlg)
{
    if (pDlg == nullptr || pDlg->m_hWnd != nullptr)
        return 0;
    pDlg->SubclassWindow(hWnd);
    return (UINT_PTR)pDlg->OnInitDialog();
}

UINT_PTR CALLBACK PageSetupHookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    return HookInit(hWnd, (CPageSetupDialog*)((PAGESETUPDLGA*)lParam)->lCustData);
}

}

UINT_PTR CALLBACK AfxPrintHookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    return HookInit(hWnd, (CPrintDialog*)((PRINTDLGA*)lParam)->lCustData);
}

HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode)
{
    if (hDevNames == nullptr)
        return nullptr;
    LPDEVNAMES pNames = (LPDEVNAMES)::GlobalLock(hDevNames);
    if (pNames == nullptr)
        return nullptr;
    LPDEVMODEA pMode = hDevMode != nullptr ? (LPDEVMODEA)::GlobalLock(hDevMode) : nullptr;
    HDC hDC = ::CreateDCA((LPCSTR)pNames + pNames->wDriverOffset, (LPCSTR)pNames + pNames->wDeviceOffset,
                          (LPCSTR)pNames + pNames->wOutputOffset, pMode);
    if (pMode != nullptr)
        ::GlobalUnlock(hDevMode);
    ::GlobalUnlock(hDevNames);
    return hDC;
}

/////////////////////////////////////////////////////////////////////////////
// CPrintDialog

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    memset(&m_pd, 0, sizeof m_pd);
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = dwFlags | PD_RETURNDC | (bPrintSetupOnly ? PD_PRINTSETUP : 0);
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
    m_pd.nCopies = 1;
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.hwndOwner = OwnerForModal();
    if (m_pd.Flags & (PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPTEMPLATE)) {
        if (m_pd.hInstance == nullptr)
            m_pd.hInstance = AfxFindResourceHandle(m_pd.lpPrintTemplateName ? m_pd.lpPrintTemplateName
                                                                             : m_pd.lpSetupTemplateName,
                                                   RT_DIALOG);
        m_pd.Flags |= PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
        m_pd.lpfnPrintHook = AfxPrintHookProc;
        m_pd.lpfnSetupHook = AfxPrintHookProc;
        m_pd.lCustData = (LPARAM)this;
    }
    if (m_pd.hDC != nullptr) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    BOOL bResult = ::PrintDlgA(&m_pd);
    return bResult ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    PRINTDLGA pd = m_pd;
    pd.Flags = (m_pd.Flags | PD_RETURNDEFAULT) & ~(PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPTEMPLATE |
                                                    PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_RETURNDC);
    pd.hDevMode = nullptr;
    pd.hDevNames = nullptr;
    pd.hwndOwner = nullptr;
    if (!::PrintDlgA(&pd))
        return FALSE;
    m_pd.hDevMode = pd.hDevMode;
    m_pd.hDevNames = pd.hDevNames;
    return TRUE;
}

LPDEVMODEA CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode != nullptr ? (LPDEVMODEA)::GlobalLock(m_pd.hDevMode) : nullptr;
}

CString CPrintDialog::GetDriverName() const { return DevNamesField(m_pd.hDevNames, 0); }
CString CPrintDialog::GetDeviceName() const { return DevNamesField(m_pd.hDevNames, 1); }
CString CPrintDialog::GetPortName() const { return DevNamesField(m_pd.hDevNames, 2); }

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDC != nullptr)
        ::DeleteDC(m_pd.hDC);
    m_pd.hDC = AfxCreateDC(m_pd.hDevNames, m_pd.hDevMode);
    return m_pd.hDC;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        LPDEVMODEA pMode = GetDevMode();
        if (pMode != nullptr) {
            int nCopies = pMode->dmCopies;
            ::GlobalUnlock(m_pd.hDevMode);
            return nCopies;
        }
    }
    return m_pd.nCopies;
}

/////////////////////////////////////////////////////////////////////////////
// CPageSetupDialog

IMPLEMENT_DYNAMIC(CPageSetupDialog, CCommonDialog)

CPageSetupDialog::CPageSetupDialog(DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    memset(&m_psd, 0, sizeof m_psd);
    m_psd.lStructSize = sizeof m_psd;
    m_psd.Flags = dwFlags;
}

INT_PTR CPageSetupDialog::DoModal()
{
    m_psd.hwndOwner = OwnerForModal();
    if (m_psd.Flags & PSD_ENABLEPAGESETUPTEMPLATE) {
        if (m_psd.hInstance == nullptr)
            m_psd.hInstance = AfxFindResourceHandle(m_psd.lpPageSetupTemplateName, RT_DIALOG);
        m_psd.Flags |= PSD_ENABLEPAGESETUPHOOK;
        m_psd.lpfnPageSetupHook = PageSetupHookProc;
        m_psd.lCustData = (LPARAM)this;
    }
    return ::PageSetupDlgA(&m_psd) ? IDOK : IDCANCEL;
}

LPDEVMODEA CPageSetupDialog::GetDevMode() const
{
    return m_psd.hDevMode != nullptr ? (LPDEVMODEA)::GlobalLock(m_psd.hDevMode) : nullptr;
}

CString CPageSetupDialog::GetDriverName() const { return DevNamesField(m_psd.hDevNames, 0); }
CString CPageSetupDialog::GetDeviceName() const { return DevNamesField(m_psd.hDevNames, 1); }
CString CPageSetupDialog::GetPortName() const { return DevNamesField(m_psd.hDevNames, 2); }
HDC CPageSetupDialog::CreatePrinterDC() { return AfxCreateDC(m_psd.hDevNames, m_psd.hDevMode); }

void CPageSetupDialog::GetMargins(LPRECT lpRectMargins, LPRECT lpRectMinMargins) const
{
    if (lpRectMargins != nullptr)
        *lpRectMargins = m_psd.rtMargin;
    if (lpRectMinMargins != nullptr)
        *lpRectMinMargins = m_psd.rtMinMargin;
}

/////////////////////////////////////////////////////////////////////////////
// The program's printer

void CWinApp::SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld)
{
    if (bFreeOld) {
        if (m_hDevNames != nullptr && m_hDevNames != hDevNames)
            ::GlobalFree(m_hDevNames);
        if (m_hDevMode != nullptr && m_hDevMode != hDevMode)
            ::GlobalFree(m_hDevMode);
    }
    m_hDevNames = (HGLOBAL)hDevNames;
    m_hDevMode = (HGLOBAL)hDevMode;
}

void CWinApp::UpdatePrinterSelection(BOOL bForceDefaults)
{
    if (m_hDevNames != nullptr && !bForceDefaults)
        return;
    CPrintDialog pd(TRUE);
    if (pd.GetDefaults())
        SelectPrinter(pd.m_pd.hDevNames, pd.m_pd.hDevMode);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg)
{
    UpdatePrinterSelection(m_hDevNames == nullptr);
    if (m_hDevNames == nullptr)
        return FALSE;   // there is no printer
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return TRUE;
}

BOOL CWinApp::CreatePrinterDC(CDC& dc)
{
    UpdatePrinterSelection(FALSE);
    HDC hDC = AfxCreateDC(m_hDevNames, m_hDevMode);
    return hDC != nullptr && dc.Attach(hDC);
}

int CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    UpdatePrinterSelection(FALSE);
    pPD->m_pd.hDevMode = m_hDevMode;
    pPD->m_pd.hDevNames = m_hDevNames;
    int nResult = (int)pPD->DoModal();
    // The dialog may have replaced the blocks; the program keeps what it shows now.
    if (nResult == IDOK || pPD->m_pd.hDevNames != m_hDevNames || pPD->m_pd.hDevMode != m_hDevMode)
        SelectPrinter(pPD->m_pd.hDevNames, pPD->m_pd.hDevMode, FALSE);
    return nResult;
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog pd(TRUE);
    if (DoPrintDialog(&pd) == IDOK && pd.m_pd.hDC != nullptr) {
        ::DeleteDC(pd.m_pd.hDC);
        pd.m_pd.hDC = nullptr;
    }
}

/////////////////////////////////////////////////////////////////////////////
// CPrintInfo

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION)), m_bDocObject(FALSE),
      m_bPreview(FALSE), m_bDirect(FALSE), m_bContinuePrinting(TRUE), m_nCurPage(1), m_nNumPreviewPages(0),
      m_lpUserData(nullptr), m_rectDraw(0, 0, 0, 0)
{
    SetMinPage(1);
    SetMaxPage(0xFFFF);
    m_pPD->m_pd.nFromPage = 1;
    m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    if (m_pPD->m_pd.hDC != nullptr)
        ::DeleteDC(m_pPD->m_pd.hDC);
    delete m_pPD;
}

void CPrintInfo::SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = (WORD)nMinPage; }
void CPrintInfo::SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = (WORD)nMaxPage; }
UINT CPrintInfo::GetMinPage() const { return m_pPD->m_pd.nMinPage; }
UINT CPrintInfo::GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }

UINT CPrintInfo::GetFromPage() const
{
    return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nFromPage : m_pPD->m_pd.nMinPage;
}

UINT CPrintInfo::GetToPage() const
{
    return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nToPage : m_pPD->m_pd.nMaxPage;
}

/////////////////////////////////////////////////////////////////////////////
// Printing from a view

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    // A view that does not prepare otherwise prints on the printer the user chooses.
    return DoPreparePrinting(pInfo);
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* pApp = AfxGetApp();
    CPrintDialog* pPD = pInfo->m_pPD;
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // The program's printer, asking nothing.
        if (pApp == nullptr || !pApp->GetPrinterDeviceDefaults(&pPD->m_pd)) {
            AfxMessageBox(AFX_IDP_NO_PRINTER);
            return FALSE;
        }
        if (pPD->CreatePrinterDC() == nullptr) {
            AfxMessageBox(AFX_IDP_NO_PRINTER);
            return FALSE;
        }
    } else {
        pPD->m_pd.nFromPage = (WORD)pInfo->GetMinPage();
        pPD->m_pd.nToPage = (WORD)pInfo->GetMaxPage();
        // The system's dialog tells the user itself when there is no printer.
        if (pApp == nullptr || pApp->DoPrintDialog(pPD) != IDOK)
            return FALSE;
    }
    return pPD->m_pd.hDC != nullptr;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* pMsg = GetCurrentMessage();
    if (pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT)
        printInfo.m_bDirect = TRUE;
    if (!OnPreparePrinting(&printInfo))
        return;
    CDC dcPrint;
    dcPrint.Attach(printInfo.m_pPD->m_pd.hDC);
    dcPrint.m_bPrinting = TRUE;
    OnBeginPrinting(&dcPrint, &printInfo);

    CString strTitle = m_pDocument != nullptr ? m_pDocument->GetTitle() : CString(AfxGetAppName());
    DOCINFOA docInfo = {sizeof docInfo};
    docInfo.lpszDocName = strTitle;
    BOOL bError = dcPrint.StartDoc(&docInfo) <= 0;
    if (bError) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
    } else {
        UINT nEndPage = printInfo.GetToPage();
        for (printInfo.m_nCurPage = printInfo.GetFromPage();
             printInfo.m_nCurPage <= nEndPage && printInfo.m_bContinuePrinting; printInfo.m_nCurPage++) {
            OnPrepareDC(&dcPrint, &printInfo);
            if (!printInfo.m_bContinuePrinting)
                break;   // the view has no more pages
            if (dcPrint.StartPage() <= 0) {
                bError = TRUE;
                break;
            }
            printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
            dcPrint.DPtoLP(&printInfo.m_rectDraw);
            OnPrint(&dcPrint, &printInfo);
            if (dcPrint.EndPage() <= 0) {
                bError = TRUE;
                break;
            }
        }
        if (bError)
            dcPrint.AbortDoc();
        else
            dcPrint.EndDoc();
    }
    OnEndPrinting(&dcPrint, &printInfo);
    dcPrint.Detach();   // the print job's DC goes with printInfo
}
