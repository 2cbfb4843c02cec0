// The workbook document, its external page and the workbook item.
#include "XlView.h"

#include <docobj.h>

#include "QKAccess.h"
#include "QKSysMethod.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "XlPlot.h"

#include "ExcelRes.h"

/////////////////////////////////////////////////////////////////////////////
// CxlCntrItem

IMPLEMENT_SERIAL(CxlCntrItem, CQuorixCntrItem, 0)

BEGIN_INTERFACE_MAP(CxlCntrItem, CQuorixCntrItem)
    INTERFACE_PART(CxlCntrItem, IID_IOleDocumentSite, OleDocumentSite)
END_INTERFACE_MAP()

CxlCntrItem::CxlCntrItem(CQUExcelDoc* doc) : CQuorixCntrItem(doc) {}

CxlCntrItem::~CxlCntrItem()
{
    CloseDocumentView();
}

void CxlCntrItem::CloseDocumentView()
{
    IOleDocumentView* view = m_pDocView;
    m_pDocView = nullptr;
    if (view) {
        view->UIActivate(FALSE);
        view->CloseView(0);
        view->Release();
    }
}

void CxlCntrItem::Release(OLECLOSE dwCloseOption)
{
    CloseDocumentView();
    CQuorixCntrItem::Release(dwCloseOption);
}

HRESULT CxlCntrItem::CreateFromFile(const char* path)
{
    if (COleClientItem::CreateFromFile(path, CLSID_NULL, OLERENDER_DRAW))
        return S_OK;
    return FAILED(m_scLast) ? m_scLast : E_FAIL;
}

LPDISPATCH CxlCntrItem::get_IDispatch()
{
    LPDISPATCH d = nullptr;
    try {
        if (!m_lpObject || FAILED(m_lpObject->QueryInterface(IID_IDispatch, (void**)&d)))
            return nullptr;
    } catch (...) {
        return nullptr;
    }
    return d;
}

CxlobjWorksheet* CxlCntrItem::GetxlobjWksDriver()
{
    // The registered class embeds a workbook: its worksheet is the first sheet.
    LPDISPATCH d = get_IDispatch();
    if (!d)
        return nullptr;
    CxlobjWorkbook book;
    book.AttachDispatch(d);
    CxlobjWorksheet* sheet = new CxlobjWorksheet(book, (short)1);
    if (!sheet->IsAttached()) {
        delete sheet;
        return nullptr;
    }
    return sheet;
}

int CxlCntrItem::ActivateExcel(CQUxlView* view)
{
    SetxlView(view);
    // A server busy starting, or still deactivating elsewhere, refuses for a moment.
    for (int tries = 0; tries < 6; ++tries) {
        try {
            Activate(OLEIVERB_SHOW, view);
        } catch (COleException* e) {
            e->Delete();
        }
        UINT state = GetItemState();
        if (state == activeState || state == activeUIState)
            return 1;
    }
    return 0;
}

void CxlCntrItem::set_extent(CSize& size)
{
    HDC screen = ::GetDC(nullptr);
    CSize himetric(::MulDiv(size.cx, 2540, ::GetDeviceCaps(screen, LOGPIXELSX)),
                   ::MulDiv(size.cy, 2540, ::GetDeviceCaps(screen, LOGPIXELSY)));
    SetExtent(himetric, DVASPECT_CONTENT);
    CSize kept;
    if (GetExtent(&kept, DVASPECT_CONTENT))
        himetric = kept;
    size.cx = ::MulDiv(himetric.cx, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
    size.cy = ::MulDiv(himetric.cy, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
    ::ReleaseDC(nullptr, screen);
}

BOOL CxlCntrItem::ExecuteActiveDocumentCommand(DWORD command, DWORD options)
{
    IOleCommandTarget* target = nullptr;
    if (!m_lpObject || FAILED(m_lpObject->QueryInterface(IID_IOleCommandTarget, (void**)&target)))
        return FALSE;
    HRESULT hr = target->Exec(nullptr, command, options, nullptr, nullptr);
    target->Release();
    return hr == S_OK || hr == OLE_E_NOCONNECTION;
}

void CxlCntrItem::OnChange(OLE_NOTIFICATION nCode, DWORD dwParam)
{
    COleClientItem::OnChange(nCode, dwParam);
    if (nCode == OLE_CHANGED_STATE && m_pxlView) {
        if (dwParam == loadedState && m_excelOpened) {
            // The workbook came back from the spreadsheet's own window: it returns in place.
            m_excelOpened = 0;
            m_pxlView->uninit_xlDriver();
            if (m_pxlView->display_excel() && m_pxlView->m_hWnd)
                m_pxlView->PostMessage(WM_COMMAND, ID_XL_INPLACE_ACTIVATE);
        } else if (dwParam == openState) {
            m_excelOpened = 1;
            m_pxlView->uninit_xlDriver();
        }
    }
    if (CQuorixDoc* doc = GetDocument())
        doc->UpdateAllViews(nullptr);
}

void CxlCntrItem::OnGetItemPosition(CRect& rPosition)
{
    if (m_pxlView)
        m_pxlView->get_draw_rect(rPosition);
    else
        rPosition.SetRectEmpty();
}

IMPLEMENT_IUNKNOWN(CxlCntrItem, OleDocumentSite)

HRESULT CxlCntrItem::XOleDocumentSite::ActivateMe(IOleDocumentView* pView)
{
    METHOD_PROLOGUE(CxlCntrItem, OleDocumentSite)
    IOleInPlaceSite* site = nullptr;
    if (pThis->ExternalQueryInterface(&IID_IOleInPlaceSite, (void**)&site) != S_OK || !site)
        return E_FAIL;
    if (pView) {
        pView->SetInPlaceSite(site);
        pView->AddRef();
    } else {
        IOleDocument* document = nullptr;
        if (!pThis->m_lpObject ||
            FAILED(pThis->m_lpObject->QueryInterface(IID_IOleDocument, (void**)&document))) {
            site->Release();
            return E_FAIL;
        }
        HRESULT hr = document->CreateView(site, nullptr, 0, &pView);
        document->Release();
        if (FAILED(hr) || !pView) {
            site->Release();
            return E_OUTOFMEMORY;
        }
    }
    site->Release();
    if (pThis->m_pDocView)
        pThis->m_pDocView->Release();
    pThis->m_pDocView = pView;
    pView->UIActivate(TRUE);
    CRect client(0, 0, 0, 0);
    if (pThis->m_pView && ::IsWindow(pThis->m_pView->GetSafeHwnd()))
        pThis->m_pView->GetClientRect(&client);
    pView->SetRect(&client);
    pView->Show(TRUE);
    return S_OK;
}

/////////////////////////////////////////////////////////////////////////////
// CQUWksPageExternal

CQUWksPageExternal::CQUWksPageExternal(CQKProject* project, const std::string& name, CQUExcelDoc* doc)
    : CQKWksExternPage(project, name), m_pDoc(doc)
{
}

CQUxlView* CQUWksPageExternal::GetValidxlView() const
{
    return m_pDoc ? m_pDoc->get_first_QU_view() : nullptr;
}

BOOL CQUWksPageExternal::GetExternalDataValue(const char* sheet, int column, int row, VARIANT* value)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSetOneExcelCellValue(sheet, column, row, value, 3, FALSE);
}

BOOL CQUWksPageExternal::SetExternalDataValue(const char* sheet, int column, int row, VARIANT* value)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSetOneExcelCellValue(sheet, column, row, value, 3, TRUE);
}

BOOL CQUWksPageExternal::GetSetExternalDataAsStringVal(const char* sheet, int column, int row, char* text, BOOL set)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSetOneExcelCellValue(sheet, column, row, text, 1, set);
}

BOOL CQUWksPageExternal::GetExternalDataAsReal(const char* sheet, int column, int row, double* value)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSetOneExcelCellValueAsReal(sheet, column, row, value, FALSE);
}

BOOL CQUWksPageExternal::SetExternalDataAsReal(const char* sheet, int column, int row, double* value)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSetOneExcelCellValueAsReal(sheet, column, row, value, TRUE);
}

BOOL CQUWksPageExternal::GetExternalDataAsText(const char* sheet, int column, int row, char* text)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetOneExcelCellValueAsText(sheet, column, row, text);
}

BOOL CQUWksPageExternal::OnInternalSaveExternalPage(const char* file, BOOL prompt)
{
    CQUxlView* v = GetValidxlView();
    return v && v->SaveTheWorkbook(file, prompt);
}

BOOL CQUWksPageExternal::CopyDataOneExternalColumn(const char* sheet, int column, CQKExternData* data,
                                                   BOOL toExternal)
{
    CQUxlView* v = GetValidxlView();
    if (!v)
        return FALSE;
    return toExternal ? v->CopyOneInternalColumnToExcel(sheet, column, data)
                      : v->CopyDataOneExternalColumn(sheet, column, data);
}

BOOL CQUWksPageExternal::OnInternalInsertDeleteColumn(const char* sheet, int column, BOOL del)
{
    CQUxlView* v = GetValidxlView();
    return v && v->OnInternalInsertDeleteColumn(sheet, column, del);
}

BOOL CQUWksPageExternal::OnUpdateToExternalSheet(const char* sheet)
{
    CQUxlView* v = GetValidxlView();
    return v && v->UpdateAssociatedWorksheet(sheet, TRUE, nullptr);
}

BOOL CQUWksPageExternal::GetSelection(unsigned* count, QXLSELECTION* ranges, CString* sheet)
{
    CQUxlView* v = GetValidxlView();
    return v && v->GetSelection(count, ranges, sheet);
}

BOOL CQUWksPageExternal::ActivateExternalWorksheet(const char* sheet)
{
    CQUxlView* v = GetValidxlView();
    return v && v->ActivateWorksheet(sheet);
}

BOOL CQUWksPageExternal::OnGetExternalUseRange(const char* sheet, QXLSELECTION* range)
{
    CQUxlView* v = GetValidxlView();
    return v && v->UpdateAssociatedWorksheet(sheet, FALSE, range);
}

int CQUWksPageExternal::OnDeactivate(CQKPage* next)
{
    if (CQUxlView* v = GetValidxlView())
        v->OnCheckxlDirty();
    return CQKWksExternPage::OnDeactivate(next);
}

namespace {

std::string TempWorkbookPath()
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "qxb", 0, path);
    DeleteFileA(path);
    return std::string(path) + ".xls";
}

} // namespace

BOOL CQUWksPageExternal::GetInternalWorkbook(std::string& bytes)
{
    bytes.clear();
    CQUxlView* v = GetValidxlView();
    if (!v || !v->HasExcel())
        return FALSE;
    std::string path = TempWorkbookPath();
    BOOL ok = v->SaveTheWorkbook(path.c_str(), FALSE);
    if (ok) {
        CFile file;
        ok = file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        if (ok) {
            bytes.resize((size_t)file.GetLength());
            ok = file.Read(&bytes[0], (UINT)bytes.size()) == bytes.size();
            file.Close();
        }
    }
    DeleteFileA(path.c_str());
    return ok;
}

int CQUWksPageExternal::OnDestroy()
{
    if (CQUExcelDoc* doc = m_pDoc) {
        m_pDoc = nullptr;
        doc->on_page_destroy_internally();
    }
    return CQKWksExternPage::OnDestroy();
}

int CQUWksPageExternal::CloseWnd()
{
    SetExternalHidden(TRUE);
    CQUxlView* v = GetValidxlView();
    CFrameWnd* frame = v && v->m_hWnd ? v->GetParentFrame() : nullptr;
    if (frame)
        frame->ShowWindow(SW_HIDE);
    return 1;
}

/////////////////////////////////////////////////////////////////////////////
// CQUExcelDoc

int CQUExcelDoc::s_displayOpenExcelDialog = 1;
int CQUExcelDoc::s_openWorkbookAsExcel = 1;
int CQUExcelDoc::s_ignoreAll = 0;

IMPLEMENT_DYNCREATE(CQUExcelDoc, CQUWksDoc)

CQUExcelDoc::CQUExcelDoc() = default;

CQUExcelDoc::~CQUExcelDoc()
{
    // A document deleted without being closed still lets its page go.
    if (CQUWksPageExternal* page = GetPage())
        page->SetDocument(nullptr);
    if (CQKPage* page = DisconnectPage())
        page->Destroy();
}

CQUxlView* CQUExcelDoc::get_first_QU_view() const
{
    POSITION pos = GetFirstViewPosition();
    while (pos) {
        CView* view = GetNextView(pos);
        if (CQUxlView* xl = DYNAMIC_DOWNCAST(CQUxlView, view))
            return xl;
    }
    return nullptr;
}

namespace {

// The kernel makes workbook pages of this kind, whoever asks for one: a script's window,
// a project being loaded, or a new workbook window.
CQKPage* NewExternalPage(CQKProject* project, const std::string& name)
{
    return new CQUWksPageExternal(project, name, nullptr);
}

const bool g_pageFactory = (qkfxGetProject().SetPageFactory(QK_PAGE_EXCEL, &NewExternalPage), true);

} // namespace

BOOL CQUExcelDoc::InitPage(const char* file)
{
    if (!GetPage()) {
        // The page the kernel made for this window when it asked for one, else a new one.
        CQKPage* made = is_being_created_internally() ? get_new_internally_created_page()
                                                      : qkfxGetProject().CreatePage(QK_PAGE_EXCEL);
        auto* page = dynamic_cast<CQUWksPageExternal*>(made);
        if (!page)
            return FALSE;
        page->SetDocument(this);
        ConnectPage(page);
        // The window is called as its page is.
        SetNiceTitle(TRUE);
    }
    GetPage()->SetAsExternalDataSource(1);
    if (file)
        GetPage()->SetExternalName(file);
    return TRUE;
}

BOOL CQUExcelDoc::SetNewExternalFilename()
{
    CQUWksPageExternal* page = GetPage();
    if (!page)
        return FALSE;
    std::string folder = qkfxGetQrxSystem().GetRefPath().GetExcel();
    for (int n = 1;; ++n) {
        CString name;
        name.Format("%s%s%d.%s", folder.c_str(), "Excel", n, "XLS");
        if (qkuFileExists(name) || IsNameAmongOpened(name))
            continue;
        // The path name is the document's without the framework's path-setting step (no
        // such file exists yet).
        m_strPathName = name;
        return page->SetExternalName(name);
    }
}

BOOL CQUExcelDoc::IsNameAmongOpened(const char* path)
{
    CQuorixApp* app = GetQuorixApp();
    auto* excel = app ? DYNAMIC_DOWNCAST(CxlMultiDocTemplate, app->GetExcelDocumentTemplate()) : nullptr;
    if (excel && excel->IsFileNameAmongOpened(path))
        return TRUE;
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        auto* page = dynamic_cast<CQKWksExternPage*>(project.GetPage(i));
        if (page && _stricmp(page->GetExternalName().c_str(), path) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL CQUExcelDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    if (m_bOpenedFromFile)
        return TRUE;
    CQUxlView* view = get_first_QU_view();
    if (!view || !InitPage(nullptr))
        return FALSE;
    if (GetPage()->IsExternalHidden()) {
        view->m_bIdleReactivationDisabled = 1;
        view->m_bActivateNewExcel = 0;
    }
    // A project being loaded kept this workbook inside: it comes back from those bytes.
    std::string kept = GetPage()->TakeKeptWorkbook();
    if (!kept.empty()) {
        std::string path = TempWorkbookPath();
        CFile file;
        BOOL written = file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        if (written) {
            file.Write(kept.data(), (UINT)kept.size());
            file.Close();
        }
        BOOL ok = written && view->LoadNewExcelItemFromFile(path.c_str(), view->m_bActivateNewExcel);
        DeleteFileA(path.c_str());
        view->m_bActivateNewExcel = 1;
        if (ok) {
            m_strPathName = GetPage()->GetExternalName().c_str();
            view->CanGetSelection(FALSE);
        }
        return ok;
    }
    BOOL ok = view->CreateNewExcelItem();
    view->m_bActivateNewExcel = 1;
    if (ok) {
        SetNewExternalFilename();
        view->CanGetSelection(FALSE);
        // A new workbook is kept inside the project file.
        GetPage()->SetInternalSaving(1);
    }
    return ok;
}

BOOL CQUExcelDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    m_bOpenedFromFile = 1;
    if (!OnNewDocument())
        return FALSE;
    CQUxlView* view = get_first_QU_view();
    if (!view)
        return FALSE;
    if (!qkuFileExists(lpszPathName)) {
        xlMessageBox(IDS_XL_FILE_NOT_FOUND, MB_OK);
        return FALSE;
    }
    if (!InitPage(lpszPathName))
        return FALSE;
    m_strPathName = lpszPathName;
    if (!DisplayOpenExcelDialog() && OpenWorkbookAsExcel()) {
        if (!view->LoadNewExcelItemFromFile(lpszPathName, TRUE))
            return FALSE;
    } else {
        if (!view->LoadNewExcelItemFromFile(lpszPathName, FALSE))
            return FALSE;
        int asExcel = 1;
        UINT count = 0;
        CQuorixApp* app = GetQuorixApp();
        if (!view->HandleOpenExcel(&asExcel, &count)) {
            // Cancelled: the file stays in the recent-file list.
            if (app)
                app->SetLeaveInMRU(TRUE);
            return FALSE;
        }
        if (!asExcel) {
            // Opened as native worksheets, the workbook window itself does not stay.
            if (app) {
                app->SetLeaveInMRU(TRUE);
                if (app->GetAccess())
                    app->GetAccess()->SetOpenedExternalAsQuorix(TRUE);
            }
            return FALSE;
        }
        view->ActivateExcel();
    }
    view->CanGetSelection(FALSE);
    CQuorixApp* app = GetQuorixApp();
    auto* excel = app ? DYNAMIC_DOWNCAST(CxlMultiDocTemplate, app->GetExcelDocumentTemplate()) : nullptr;
    if ((excel && excel->OpenAsReadOnly()) || qkuFileExistsAndIsReadOnly(lpszPathName))
        GetPage()->SetAutomaticExternalUpdate(0);
    return TRUE;
}

void CQUExcelDoc::OnCloseDocument()
{
    if (CQUxlView* view = get_first_QU_view()) {
        view->m_bReactivateOnDeactivate = 0;
        if (CQUxlView::m_pPlotExcelDlg && CQUxlView::m_pPlotExcelDlg->GetOwner() == view)
            CQUxlView::DeletePlotDlg();
        view->uninit_xlDriver();
    }
    if (CQUWksPageExternal* page = GetPage())
        page->SetDocument(nullptr);
    CQUWksDoc::OnCloseDocument();
}

HMENU CQUExcelDoc::GetDefaultMenu()
{
    // A window without a workbook offers only what it can do: the application's reduced
    // menu.
    CQUxlView* view = get_first_QU_view();
    CQuorixApp* app = GetQuorixApp();
    if (view && !view->HasExcel() && app)
        return app->GetNoExcelMenu();
    return CQUWksDoc::GetDefaultMenu();
}

void CQUExcelDoc::OnIdle()
{
    if (CQUxlView* view = get_first_QU_view())
        view->OnIdle();
}
