#include "QUNotes.h"

#include <algorithm>

#include "QKAccess.h"
#include "QKSysMethod.h"
#include "QrxMultiDocTemplate.h"
#include "CoreResources.h"
#include "QuorixApp.h"

IMPLEMENT_DYNCREATE(CQUNotesDoc, CRichEditDoc)
IMPLEMENT_DYNCREATE(CQUNotesView, CRichEditView)

namespace {

// The page the next notes document takes (set while the manager opens a window for it).
CQUNotesPage* s_pendingPage = nullptr;

// Now in seconds from the kernel's day 0 (30 December 1899).
double NowSeconds()
{
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    const double from1601 = (double)t.QuadPart / 1e7;
    return from1601 - 109205.0 * 86400.0;
}

const UINT kRemainIconized = 33030, kWordWrap = 33031;

CNotesMultiDocTemplate* NotesTemplate()
{
    CQuorixApp* app = GetQuorixApp();
    return app ? DYNAMIC_DOWNCAST(CNotesMultiDocTemplate, app->GetValidDocTemplate(QU_TEMPLATE_NOTES)) : nullptr;
}

} // namespace

// ---- the page ------------------------------------------------------------------------------

CQUNotesPage::CQUNotesPage() : CQKNotesPage(&qkfxGetProject(), std::string())
{
}

CQUNotesPage::~CQUNotesPage()
{
    // The kernel deleted the page (a new project): its window goes with it.
    if (CQUNotesDoc* doc = m_doc) {
        doc->DetachPage();
        if (CFrameWnd* frame = doc->GetChildFrame())
            frame->PostMessage(WM_CLOSE);
    }
}

int CQUNotesPage::GetClosePrompt()
{
    return qkfxGetQrxSystem().GetRefNotes().GetClosePrompt();
}

void CQUNotesPage::TakeFromView(CQUNotesView* view)
{
    if (view == nullptr || view->GetRichEditCtrl().GetSafeHwnd() == nullptr)
        return;
    m_text = (LPCTSTR)view->GetText();
    long start = 0, end = 0;
    view->GetRichEditCtrl().GetSel(start, end);
    m_selStart = (int)start;
    m_selEnd = (int)end;
    m_wordWrap = view->m_nWordWrap == CRichEditView::WrapToWindow;
}

int CQUNotesPage::OnCloseWnd()
{
    if (m_doc == nullptr)
        return 0;
    TakeFromView(m_doc->GetFirstView());
    m_doc->SetDestroyPageOnClose(0);
    if (CFrameWnd* frame = m_doc->GetChildFrame())
        frame->SendMessage(WM_CLOSE);
    return 1;
}

int CQUNotesPage::ShowFrame(int show)
{
    CChildFrame* frame = m_doc ? DYNAMIC_DOWNCAST(CChildFrame, m_doc->GetChildFrame()) : nullptr;
    if (frame == nullptr)
        return 0;
    switch (show) {
    case SW_MINIMIZE: return frame->Minimize();
    case SW_MAXIMIZE: return frame->Maximize();
    case SW_RESTORE: return frame->Restore();
    default: return frame->Activate();
    }
}

int CQUNotesPage::Minimize() { return ShowFrame(SW_MINIMIZE); }
int CQUNotesPage::Restore() { return ShowFrame(SW_RESTORE); }
int CQUNotesPage::Activate() { return ShowFrame(SW_SHOW); }
int CQUNotesPage::Maximize() { return ShowFrame(SW_MAXIMIZE); }

// ---- the document --------------------------------------------------------------------------

CQUNotesDoc::CQUNotesDoc()
{
    m_bRTF = FALSE;
}

CQUNotesDoc::~CQUNotesDoc()
{
    if (m_page != nullptr)
        m_page->m_doc = nullptr;
}

BOOL CQUNotesDoc::OnNewDocument()
{
    if (!CRichEditDoc::OnNewDocument())
        return FALSE;
    CQUNotesPage* page = s_pendingPage;
    s_pendingPage = nullptr;
    return InitPage(page) != nullptr;
}

BOOL CQUNotesDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    if (!CRichEditDoc::OnOpenDocument(lpszPathName))
        return FALSE;
    m_new = 0;
    return TRUE;
}

void CQUNotesDoc::Serialize(CArchive& ar)
{
    m_bRTF = FALSE;
    CRichEditDoc::Serialize(ar);
}

CQUNotesPage* CQUNotesDoc::InitPage(CQUNotesPage* page)
{
    if (page == nullptr) {
        page = dynamic_cast<CQUNotesPage*>(qkfxGetProject().CreatePage(QK_PAGE_NOTES));
        if (page == nullptr)
            return nullptr;
        page->m_created = page->m_modified = NowSeconds();
    }
    m_page = page;
    page->m_doc = this;
    SetTitle(page->GetName().c_str());
    return page;
}

CQUNotesPage* CQUNotesDoc::DetachPage()
{
    CQUNotesPage* page = m_page;
    if (page != nullptr) {
        page->m_doc = nullptr;
        page->SetTheFrameWnd(nullptr);
        page->SetTheDrawingWnd(nullptr);
    }
    m_page = nullptr;
    return page;
}

CQUNotesView* CQUNotesDoc::GetFirstView() const
{
    return DYNAMIC_DOWNCAST(CQUNotesView, GetView());
}

CFrameWnd* CQUNotesDoc::GetChildFrame() const
{
    CQUNotesView* view = GetFirstView();
    return view ? view->GetParentFrame() : nullptr;
}

void CQUNotesDoc::OnCloseDocument()
{
    if (CQUNotesPage* page = m_page) {
        page->TakeFromView(GetFirstView());
        DetachPage();
        qkfxGetProject().SetProjectModified(true);
        if (m_destroyPageOnClose)
            page->Destroy();
    }
    CRichEditDoc::OnCloseDocument();
}

// ---- the view ------------------------------------------------------------------------------

CQKPage* CQUNotesView::GetPage()
{
    CQUNotesDoc* doc = GetDocument();
    return doc ? doc->GetPage() : nullptr;
}

void CQUNotesView::OnInitialUpdate()
{
    CQUNotesDoc* doc = GetDocument();
    if (doc != nullptr)
        doc->m_initialUpdate = 1;
    CRichEditView::OnInitialUpdate();
    if (CQUNotesPage* page = doc ? doc->GetPage() : nullptr) {
        CFrameWnd* frame = GetParentFrame();
        page->SetTheFrameWnd(frame ? frame->GetSafeHwnd() : nullptr);
        page->SetTheDrawingWnd(GetSafeHwnd());
        m_nWordWrap = page->m_wordWrap ? WrapToWindow : WrapNone;
        WrapChanged();
        SetText(page->m_text.c_str());
        GetRichEditCtrl().SetSel(page->m_selStart, page->m_selEnd);
    }
    if (doc != nullptr)
        doc->m_initialUpdate = 0;
}

void CQUNotesView::OnTextChanged()
{
    CQUNotesDoc* doc = GetDocument();
    if (doc == nullptr || doc->m_initialUpdate || doc->GetPage() == nullptr)
        return;
    doc->GetPage()->TakeFromView(this);
    doc->GetPage()->m_modified = NowSeconds();
    qkfxGetProject().SetProjectModified(true);
}

void CQUNotesView::AppendString(const char* text, BOOL activate)
{
    AppendText(text);
    CFrameWnd* frame = GetParentFrame();
    if (activate && frame != nullptr && !(m_remainIconized && frame->IsIconic()))
        if (CChildFrame* child = DYNAMIC_DOWNCAST(CChildFrame, frame))
            child->Activate();
}

BEGIN_MESSAGE_MAP(CQUNotesView, CRichEditView)
    ON_COMMAND(57604, OnNotesSaveAs)
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPrintPreview)
    ON_COMMAND(ID_FILE_PAGE_SETUP, OnPageSetup)
    ON_COMMAND(33053, OnFilePrintDirectNotes)
    ON_COMMAND(32993, OnHideWindow)
    ON_COMMAND(kRemainIconized, OnRemainIconized)
    ON_UPDATE_COMMAND_UI(kRemainIconized, OnUpdateRemainIconized)
    ON_COMMAND(kWordWrap, OnWordWrap)
    ON_UPDATE_COMMAND_UI(kWordWrap, OnUpdateWordWrap)
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CQUNotesView::CQUNotesView() : m_margins(1800, 1440, 1800, 1440)
{
    if (CQuorixApp* app = GetQuorixApp())
        app->GetNotesPageMargin(m_margins);
}

void CQUNotesView::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1) { // from the keyboard: at the caret
        long start = 0, end = 0;
        GetRichEditCtrl().GetSel(start, end);
        point = GetRichEditCtrl().GetCharPos(end);
        GetRichEditCtrl().ClientToScreen(&point);
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_QU_NOTES_CONTEXT))
        return;
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, AfxGetMainWnd());
}

void CQUNotesView::EnableWordWrap(BOOL wrap)
{
    m_nWordWrap = wrap ? WrapToWindow : WrapNone;
    WrapChanged();
    if (CQUNotesPage* page = GetDocument() ? GetDocument()->GetPage() : nullptr)
        page->m_wordWrap = wrap != FALSE;
}

void CQUNotesView::OnWordWrap()
{
    EnableWordWrap(!IsWordWrap());
}

void CQUNotesView::OnUpdateWordWrap(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(IsWordWrap());
}

void CQUNotesView::OnRemainIconized()
{
    m_remainIconized = !m_remainIconized;
}

void CQUNotesView::OnUpdateRemainIconized(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_remainIconized != 0);
}

int CQUNotesView::TwipsToThousandths(int twips)
{
    const int t = ::MulDiv(twips, 1000, 1440);
    return (t + 5) / 10 * 10;
}

int CQUNotesView::ThousandthsToTwips(int thousandths)
{
    return ::MulDiv((thousandths + 5) / 10 * 10, 1440, 1000);
}

namespace {

// The DEVMODE of the block, or of the application's printer when there is none; null when
// neither is there. Unlock hDevMode after.
DEVMODEA* LockDevMode(HGLOBAL& hDevMode)
{
    CQuorixApp* app = GetQuorixApp();
    if (hDevMode == nullptr && app != nullptr) {
        PRINTDLGA defaults = {sizeof defaults};
        if (app->GetPrinterDeviceDefaults(&defaults))
            hDevMode = defaults.hDevMode;
    }
    return hDevMode ? (DEVMODEA*)::GlobalLock(hDevMode) : nullptr;
}

} // namespace

int CQUNotesView::GetCachedPrinterOrientationIntoDevMode(HGLOBAL hDevMode)
{
    DEVMODEA* mode = LockDevMode(hDevMode);
    if (mode == nullptr)
        return 0;
    mode->dmOrientation = (short)m_orientation;
    mode->dmFields |= DM_ORIENTATION;
    ::GlobalUnlock(hDevMode);
    return 1;
}

int CQUNotesView::SetCachedPrinterOrientationFromDevMode(HGLOBAL hDevMode)
{
    DEVMODEA* mode = LockDevMode(hDevMode);
    if (mode == nullptr)
        return 0;
    if (mode->dmOrientation == DMORIENT_PORTRAIT || mode->dmOrientation == DMORIENT_LANDSCAPE)
        m_orientation = mode->dmOrientation;
    ::GlobalUnlock(hDevMode);
    return 1;
}

void CQUNotesView::OnPageSetup()
{
    CQuorixApp* app = GetQuorixApp();
    if (app == nullptr)
        return;
    PRINTDLGA defaults;
    if (!app->GetPageSetupDefaults(defaults))
        return;
    GetCachedPrinterOrientationIntoDevMode(defaults.hDevMode);
    CPageSetupDialog dialog(PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES, this);
    dialog.m_psd.rtMargin = {TwipsToThousandths(m_margins.left), TwipsToThousandths(m_margins.top),
                             TwipsToThousandths(m_margins.right), TwipsToThousandths(m_margins.bottom)};
    dialog.m_psd.hDevMode = defaults.hDevMode;
    dialog.m_psd.hDevNames = defaults.hDevNames;
    if (dialog.DoModal() != IDOK)
        return;
    SetCachedPrinterOrientationFromDevMode(dialog.m_psd.hDevMode);
    const RECT& m = dialog.m_psd.rtMargin;
    m_margins.SetRect(ThousandthsToTwips(m.left), ThousandthsToTwips(m.top), ThousandthsToTwips(m.right),
                      ThousandthsToTwips(m.bottom));
    app->SetNotesPageMargin(m_margins);
    app->SelectPrinter(dialog.m_psd.hDevNames, dialog.m_psd.hDevMode);
    app->NotifyPrinterChanged(0);
}

void CQUNotesView::OnPrintPreview()
{
    CView::OnFilePrintPreview();
}

void CQUNotesView::DrawMargins(CDC* pDC)
{
    if (pDC == nullptr || pDC->m_hAttribDC == nullptr)
        return;
    const int dpiX = pDC->GetDeviceCaps(LOGPIXELSX), dpiY = pDC->GetDeviceCaps(LOGPIXELSY);
    const int width = pDC->GetDeviceCaps(HORZRES), height = pDC->GetDeviceCaps(VERTRES);
    CPen pen(PS_SOLID, 2, pDC->GetTextColor());
    CPen* old = pDC->SelectObject(&pen);
    const int top = ::MulDiv(m_margins.top, dpiY, 1440), bottom = height - ::MulDiv(m_margins.bottom, dpiY, 1440);
    const int left = ::MulDiv(m_margins.left, dpiX, 1440), right = width - ::MulDiv(m_margins.right, dpiX, 1440);
    for (int y : {top, bottom}) {
        pDC->MoveTo(0, y);
        pDC->LineTo(10000, y);
    }
    for (int x : {left, right}) {
        pDC->MoveTo(x, 0);
        pDC->LineTo(x, 10000);
    }
    pDC->SelectObject(old);
}

void CQUNotesView::OnNotesSaveAs()
{
    CQUNotesPage* page = GetDocument() ? GetDocument()->GetPage() : nullptr;
    if (page == nullptr)
        return;
    std::string name = page->GetName(), path = page->GetFullPathFileName();
    std::string text = "File,NotesSaveAs,\"" + name + "\" \"" + (path.empty() ? name : path) + "\"";
    if (CQKAccess* access = qkfxGetAccess())
        access->run_section_script(text.c_str(), nullptr);
}

void CQUNotesView::OnFilePrintDirectNotes()
{
    SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
}

void CQUNotesView::OnHideWindow()
{
    if (CQUNotesPage* page = GetDocument() ? GetDocument()->GetPage() : nullptr) {
        page->CloseWnd();
        page->SetHiddenPEWnd(1);
    }
}

BOOL CQUNotesView::OnPreparePrinting(CPrintInfo* pInfo)
{
    GetCachedPrinterOrientationIntoDevMode();
    if (!DoPreparePrinting(pInfo))
        return FALSE;
    SetCachedPrinterOrientationFromDevMode();
    return TRUE;
}

CRect CQUNotesView::PrintArea(CDC* pDC) const
{
    const CRect& margin = m_margins;
    const int dpiX = pDC->GetDeviceCaps(LOGPIXELSX), dpiY = pDC->GetDeviceCaps(LOGPIXELSY);
    const int offX = pDC->GetDeviceCaps(PHYSICALOFFSETX), offY = pDC->GetDeviceCaps(PHYSICALOFFSETY);
    int width = pDC->GetDeviceCaps(PHYSICALWIDTH), height = pDC->GetDeviceCaps(PHYSICALHEIGHT);
    if (width <= 0 || height <= 0) {
        width = pDC->GetDeviceCaps(HORZRES);
        height = pDC->GetDeviceCaps(VERTRES);
    }
    // Margins from the paper's edges, drawing from the printable area's corner.
    CRect area(::MulDiv(margin.left, dpiX, 1440) - offX, ::MulDiv(margin.top, dpiY, 1440) - offY,
               width - ::MulDiv(margin.right, dpiX, 1440) - offX, height - ::MulDiv(margin.bottom, dpiY, 1440) - offY);
    if (area.Width() < dpiX / 2 || area.Height() < dpiY / 2) // margins leaving no room: the whole page
        area.SetRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    return area;
}

void CQUNotesView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    // The window's fixed-pitch text at 10 points, tabs as blanks, long lines wrapped at
    // the margins; as many lines a page as fit between them.
    m_printFont.DeleteObject();
    m_printFont.CreateFont(-::MulDiv(10, pDC->GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, "Courier New");
    CFont* old = pDC->SelectObject(&m_printFont);
    TEXTMETRIC tm = {};
    pDC->GetTextMetrics(&tm);
    pDC->SelectObject(old);
    m_printArea = PrintArea(pDC);
    m_lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    m_linesPerPage = std::max(1, m_printArea.Height() / m_lineHeight);
    m_printLines = qkuWrapTextLines((const char*)GetText(), 8, m_printArea.Width() / std::max<int>(1, tm.tmAveCharWidth));
    m_printedPages = std::max(1, ((int)m_printLines.size() + m_linesPerPage - 1) / m_linesPerPage);
    pInfo->SetMaxPage((UINT)m_printedPages);
}

void CQUNotesView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CRichEditView::OnPrepareDC(pDC, pInfo);
    if (pInfo != nullptr && pDC->IsPrinting() && (int)pInfo->m_nCurPage > m_printedPages)
        pInfo->m_bContinuePrinting = FALSE;
}

void CQUNotesView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    CFont* old = pDC->SelectObject(&m_printFont);
    pDC->SetBkMode(TRANSPARENT);
    size_t first = (size_t)(pInfo->m_nCurPage - 1) * (size_t)m_linesPerPage;
    for (size_t i = first; i < m_printLines.size() && i < first + (size_t)m_linesPerPage; ++i)
        pDC->TextOut(m_printArea.left, m_printArea.top + (int)(i - first) * m_lineHeight, m_printLines[i].c_str(),
                     (int)m_printLines[i].size());
    pDC->SelectObject(old);
    if (pInfo->m_bPreview)
        DrawMargins(pDC);
}

void CQUNotesView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    m_printLines.clear();
    m_printFont.DeleteObject();
    CRichEditView::OnEndPrinting(pDC, pInfo);
}

// ---- the manager ---------------------------------------------------------------------------

CQUNotesPage* CQUNotes::CreateNotesWindow(CQUNotesPage* page, BOOL visible)
{
    CNotesMultiDocTemplate* t = NotesTemplate();
    if (t == nullptr)
        return nullptr;
    s_pendingPage = page;
    CQUNotesDoc* doc = DYNAMIC_DOWNCAST(CQUNotesDoc, t->OpenDocumentFile(nullptr, visible));
    s_pendingPage = nullptr;
    if (doc == nullptr)
        return nullptr;
    doc->SetModifiedFlag(FALSE);
    return doc->GetPage();
}

CQUNotesDoc* CQUNotes::GetNotesDoc(const char* name)
{
    CNotesMultiDocTemplate* t = NotesTemplate();
    return t ? DYNAMIC_DOWNCAST(CQUNotesDoc, t->FindNotesWindow(name)) : nullptr;
}

int CQUNotes::AppendStr(const char* name, const char* text, BOOL activate)
{
    CQUNotesDoc* doc = GetNotesDoc(name);
    CQUNotesView* view = doc ? doc->GetFirstView() : nullptr;
    if (view == nullptr)
        return 0;
    view->AppendString(text, activate);
    return 1;
}
