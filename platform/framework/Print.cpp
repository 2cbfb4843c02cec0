// Printing: the print and page setup dialogs, the program's printer, and the print job a
// view runs page by page.
#include "afxdlgs.h"

#include <algorithm>

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

/////////////////////////////////////////////////////////////////////////////
// Print preview

namespace {

// One preview at a time, as one job per program.
CPreviewView* g_pActivePreview = nullptr;

const int kButtonBarHeight = 30;
const int kPageMargin = 12;

struct PreviewButton {
    UINT nID;
    const char* pszText;
    int nWidth;
};

const PreviewButton kButtons[] = {
    {AFX_ID_PREVIEW_PRINT, "&Print...", 70},
    {AFX_ID_PREVIEW_NEXT, "&Next Page", 80},
    {AFX_ID_PREVIEW_PREV, "Pre&v Page", 80},
    {AFX_ID_PREVIEW_CLOSE, "&Close", 70},
};

} // namespace

void CView::OnFilePrintPreview()
{
    if (CPreviewView* pOld = g_pActivePreview)
        pOld->ClosePreview();
    CPrintInfo* pInfo = new CPrintInfo;
    pInfo->m_bPreview = TRUE;
    if (!OnPreparePrinting(pInfo) || pInfo->m_pPD->m_pd.hDC == nullptr) {
        delete pInfo;
        return;
    }
    CDC* pDC = new CDC;
    pDC->Attach(pInfo->m_pPD->m_pd.hDC);
    pDC->m_bPrinting = TRUE;
    OnBeginPrinting(pDC, pInfo);
    CPreviewView* pPreview = new CPreviewView(this, pInfo, pDC);
    if (!pPreview->Create()) {
        OnEndPrinting(pDC, pInfo);
        delete pPreview;
    }
}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CPreviewView* pView)
{
    OnEndPrinting(pDC, pInfo);
    pView->DestroyWindow();
}

IMPLEMENT_DYNAMIC(CPreviewView, CWnd)

BEGIN_MESSAGE_MAP(CPreviewView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CPreviewView::CPreviewView(CView* pPrintView, CPrintInfo* pInfo, CDC* pPrinterDC)
    : m_pPrintView(pPrintView), m_pInfo(pInfo), m_pPrinterDC(pPrinterDC), m_nPage(pInfo->GetMinPage()),
      m_hPage(nullptr), m_nLastPage(0), m_bClosing(FALSE)
{
}

CPreviewView::~CPreviewView()
{
    if (g_pActivePreview == this)
        g_pActivePreview = nullptr;
    if (m_hPage != nullptr)
        ::DeleteEnhMetaFile(m_hPage);
    // The DC belongs to the print information, which deletes it.
    m_pPrinterDC->Detach();
    delete m_pPrinterDC;
    delete m_pInfo;
}

CPreviewView* PASCAL CPreviewView::FromPrintView(CView* pView)
{
    return g_pActivePreview != nullptr && g_pActivePreview->m_pPrintView == pView ? g_pActivePreview : nullptr;
}

BOOL CPreviewView::Create()
{
    CWnd* pFrame = m_pPrintView->GetParent();
    if (pFrame == nullptr)
        return FALSE;
    CRect rect;
    m_pPrintView->GetWindowRect(&rect);
    pFrame->ScreenToClient(&rect);
    LPCTSTR pszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    if (!CreateEx(0, pszClass, "Print Preview", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, pFrame,
                  AFX_IDW_PANE_FIRST + 0xFF))
        return FALSE;
    HFONT hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    int x = 6;
    for (const PreviewButton& b : kButtons) {
        HWND hButton = ::CreateWindowA("BUTTON", b.pszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 4,
                                       b.nWidth, kButtonBarHeight - 8, m_hWnd, (HMENU)(UINT_PTR)b.nID,
                                       AfxGetInstanceHandle(), nullptr);
        ::SendMessageA(hButton, WM_SETFONT, (WPARAM)hFont, FALSE);
        x += b.nWidth + 6;
    }
    HWND hPage = ::CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, x + 6, 4, 120,
                                 kButtonBarHeight - 8, m_hWnd, (HMENU)(UINT_PTR)AFX_ID_PREVIEW_NUMPAGE,
                                 AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(hPage, WM_SETFONT, (WPARAM)hFont, FALSE);
    // The frame lays its pane out: the preview takes the view's place while it lasts.
    m_pPrintView->SetDlgCtrlID(AFX_IDW_PANE_SAVE);
    SetDlgCtrlID(AFX_IDW_PANE_FIRST);
    m_pPrintView->ShowWindow(SW_HIDE);
    ShowWindow(SW_SHOW);
    g_pActivePreview = this;
    if (CFrameWnd* pParentFrame = DYNAMIC_DOWNCAST(CFrameWnd, pFrame))
        pParentFrame->RecalcLayout();
    else
        MoveWindow(&rect);
    SetCurrentPage(m_nPage);
    UpdateButtons();
    SetFocus();
    return TRUE;
}

HENHMETAFILE CPreviewView::RenderPage(UINT nPage)
{
    HDC hPrinter = m_pPrinterDC->GetSafeHdc();
    const int cx = ::GetDeviceCaps(hPrinter, HORZRES), cy = ::GetDeviceCaps(hPrinter, VERTRES);
    // The picture's frame in hundredths of a millimetre: the printable area, in the
    // device's own millimetres, so that the picture maps back onto it pixel for pixel.
    RECT frame = {0, 0, ::GetDeviceCaps(hPrinter, HORZSIZE) * 100, ::GetDeviceCaps(hPrinter, VERTSIZE) * 100};
    HDC hPicture = ::CreateEnhMetaFileA(hPrinter, nullptr, &frame, nullptr);
    if (hPicture == nullptr)
        return nullptr;
    CDC dc;
    dc.Attach(hPicture);
    dc.m_bPrinting = TRUE;
    m_pInfo->m_nCurPage = nPage;
    m_pInfo->m_bContinuePrinting = TRUE;
    m_pPrintView->OnPrepareDC(&dc, m_pInfo);
    const BOOL bDrawn = m_pInfo->m_bContinuePrinting;
    if (bDrawn) {
        m_pInfo->m_rectDraw.SetRect(0, 0, cx, cy);
        dc.DPtoLP(&m_pInfo->m_rectDraw);
        m_pPrintView->OnPrint(&dc, m_pInfo);
    }
    dc.Detach();
    HENHMETAFILE hPage = ::CloseEnhMetaFile(hPicture);
    if (!bDrawn && hPage != nullptr) {
        ::DeleteEnhMetaFile(hPage);
        hPage = nullptr;
    }
    return hPage;
}

BOOL CPreviewView::SetCurrentPage(UINT nPage)
{
    if (nPage < m_pInfo->GetMinPage() || nPage > m_pInfo->GetMaxPage() || (m_nLastPage != 0 && nPage > m_nLastPage))
        return FALSE;
    HENHMETAFILE hPage = RenderPage(nPage);
    if (hPage == nullptr) {
        // The view has no such page: the job ends before it.
        if (nPage > m_pInfo->GetMinPage())
            m_nLastPage = nPage - 1;
        if (m_hPage != nullptr || nPage != m_nPage)
            return FALSE;
    }
    if (m_hPage != nullptr)
        ::DeleteEnhMetaFile(m_hPage);
    m_hPage = hPage;
    m_nPage = nPage;
    if (m_hWnd != nullptr) {
        UpdateButtons();
        Invalidate(TRUE);
    }
    return hPage != nullptr;
}

HENHMETAFILE CPreviewView::GetPagePicture() { return m_hPage; }

void CPreviewView::UpdateButtons()
{
    const UINT nMax = m_nLastPage != 0 ? std::min(m_nLastPage, m_pInfo->GetMaxPage()) : m_pInfo->GetMaxPage();
    ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_NEXT), m_nPage < nMax);
    ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_PREV), m_nPage > m_pInfo->GetMinPage());
    CString text;
    text.Format("Page %u", m_nPage);
    ::SetDlgItemTextA(m_hWnd, AFX_ID_PREVIEW_NUMPAGE, text);
}

void CPreviewView::GetPaperRects(CRect& paper, CRect& printable) const
{
    CRect client;
    GetClientRect(&client);
    client.top += kButtonBarHeight;
    client.DeflateRect(kPageMargin, kPageMargin);
    HDC hPrinter = m_pPrinterDC->GetSafeHdc();
    const int cx = ::GetDeviceCaps(hPrinter, HORZRES), cy = ::GetDeviceCaps(hPrinter, VERTRES);
    int paperW = ::GetDeviceCaps(hPrinter, PHYSICALWIDTH), paperH = ::GetDeviceCaps(hPrinter, PHYSICALHEIGHT);
    int offX = ::GetDeviceCaps(hPrinter, PHYSICALOFFSETX), offY = ::GetDeviceCaps(hPrinter, PHYSICALOFFSETY);
    if (paperW < cx || paperH < cy) {
        paperW = cx;
        paperH = cy;
        offX = offY = 0;
    }
    if (client.Width() <= 0 || client.Height() <= 0 || paperW <= 0 || paperH <= 0) {
        paper.SetRectEmpty();
        printable.SetRectEmpty();
        return;
    }
    // The paper as large as the window allows, its shape kept, centred.
    const double scale = std::min((double)client.Width() / paperW, (double)client.Height() / paperH);
    const int w = (int)(paperW * scale), h = (int)(paperH * scale);
    paper.left = client.left + (client.Width() - w) / 2;
    paper.top = client.top + (client.Height() - h) / 2;
    paper.right = paper.left + w;
    paper.bottom = paper.top + h;
    printable.left = paper.left + (int)(offX * scale);
    printable.top = paper.top + (int)(offY * scale);
    printable.right = printable.left + (int)(cx * scale);
    printable.bottom = printable.top + (int)(cy * scale);
}

BOOL CPreviewView::OnEraseBkgnd(CDC*) { return TRUE; }

void CPreviewView::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect paper, printable;
    GetPaperRects(paper, printable);
    // Drawn into a bitmap first: the page never shows half drawn.
    HDC hMem = ::CreateCompatibleDC(dc.m_hDC);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(dc.m_hDC, std::max(1, client.Width()), std::max(1, client.Height()));
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::FillRect(hMem, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    CRect work = client;
    work.top += kButtonBarHeight;
    ::FillRect(hMem, &work, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    if (!paper.IsRectEmpty()) {
        CRect shadow = paper;
        shadow.OffsetRect(3, 3);
        ::FillRect(hMem, &shadow, (HBRUSH)::GetStockObject(BLACK_BRUSH));
        ::FillRect(hMem, &paper, (HBRUSH)::GetStockObject(WHITE_BRUSH));
        if (m_hPage != nullptr)
            ::PlayEnhMetaFile(hMem, m_hPage, &printable);
    }
    ::BitBlt(dc.m_hDC, 0, 0, client.Width(), client.Height(), hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
}

void CPreviewView::OnSize(UINT, int, int)
{
    Invalidate(TRUE);
}

BOOL CPreviewView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case AFX_ID_PREVIEW_NEXT:
        SetCurrentPage(m_nPage + 1);
        SetFocus();
        return TRUE;
    case AFX_ID_PREVIEW_PREV:
        SetCurrentPage(m_nPage - 1);
        SetFocus();
        return TRUE;
    case AFX_ID_PREVIEW_CLOSE:
        ClosePreview();
        return TRUE;
    case AFX_ID_PREVIEW_PRINT: {
        // Printing asks for the printer as File Print does, once the preview has gone.
        CView* pView = m_pPrintView;
        ClosePreview();
        pView->PostMessage(WM_COMMAND, ID_FILE_PRINT);
        return TRUE;
    }
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPreviewView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        switch (pMsg->wParam) {
        case VK_ESCAPE:
            ClosePreview();
            return TRUE;
        case VK_NEXT:
            SetCurrentPage(m_nPage + 1);
            return TRUE;
        case VK_PRIOR:
            SetCurrentPage(m_nPage - 1);
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CPreviewView::ClosePreview(BOOL bViewGoing)
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    g_pActivePreview = nullptr;
    CView* pView = m_pPrintView;
    const BOOL bViewLives = !bViewGoing && pView->m_hWnd != nullptr && ::IsWindow(pView->m_hWnd);
    CPoint point(0, 0);
    SetDlgCtrlID(AFX_IDW_PANE_FIRST + 0xFF);
    if (bViewLives) {
        pView->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
        pView->ShowWindow(SW_SHOW);
    }
    // The view's handler ends the job and destroys this window, which deletes itself.
    pView->OnEndPrintPreview(m_pPrinterDC, m_pInfo, point, this);
    if (bViewLives) {
        if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pView->GetParent()))
            pFrame->RecalcLayout();
        pView->SetFocus();
    }
}

void CPreviewView::PostNcDestroy() { delete this; }
