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

CxlCntrItem::CxlCntrItem(CQUExcelDoc* doc) : m_pDoc(doc) {}

CxlCntrItem::~CxlCntrItem()
{
    if (m_pObject)
        m_pObject->Release();
}

BOOL CxlCntrItem::CreateNewItem(REFCLSID clsid)
{
    if (m_pObject)
        return FALSE;
    return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                      (void**)&m_pObject));
}

HRESULT CxlCntrItem::CreateFromFile(const char* path)
{
    if (m_pObject)
        return E_UNEXPECTED;
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Excel.Sheet.8", &clsid);
    if (FAILED(hr))
        hr = CLSIDFromProgID(L"Excel.Sheet.5", &clsid);
    if (FAILED(hr))
        return hr;
    IPersistFile* file = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IPersistFile,
                          (void**)&file);
    if (FAILED(hr))
        return hr;
    BSTR wide = AfxAllocBSTR(path);
    hr = file->Load(wide, STGM_READ);
    SysFreeString(wide);
    if (SUCCEEDED(hr))
        hr = file->QueryInterface(IID_IUnknown, (void**)&m_pObject);
    file->Release();
    return hr;
}

LPDISPATCH CxlCntrItem::get_IDispatch()
{
    LPDISPATCH d = nullptr;
    if (!m_pObject || FAILED(m_pObject->QueryInterface(IID_IDispatch, (void**)&d)))
        return nullptr;
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
    return 0;
}

BOOL CxlCntrItem::ExecuteActiveDocumentCommand(DWORD command, DWORD options)
{
    IOleCommandTarget* target = nullptr;
    if (!m_pObject || FAILED(m_pObject->QueryInterface(IID_IOleCommandTarget, (void**)&target)))
        return FALSE;
    HRESULT hr = target->Exec(nullptr, command, options, nullptr, nullptr);
    target->Release();
    return hr == S_OK || hr == OLE_E_NOCONNECTION;
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
