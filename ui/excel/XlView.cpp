// The workbook view: finding Excel, the automation drivers of its workbook, the modified
// check and the macro runs.
#include "XlView.h"

#include "ExcelRes.h"
#include "XlPlot.h"

DWORD CQUxlView::dwExcelInstallation = 0;
BOOL CQUxlView::s_versionChecked = FALSE;
BOOL CQUxlView::s_higherThanVersion5 = FALSE;
CString CQUxlView::s_versionText;
int CQUxlView::s_dirtyRetries = 0;

IMPLEMENT_DYNCREATE(CQUxlView, CQUWksView)

CString xlLoadString(UINT id)
{
    // This library's own table: the Excel link's texts are found whatever the resource
    // chain holds.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&xlLoadString, &module);
    char text[1024];
    int n = LoadStringA(module, id, text, sizeof text);
    return CString(text, n > 0 ? n : 0);
}

int xlMessageBoxText(const CString& text, UINT type)
{
    if ((type & MB_ICONMASK) == 0 && ((type & MB_TYPEMASK) == MB_OK || (type & MB_TYPEMASK) == MB_YESNO))
        type |= MB_ICONEXCLAMATION;
    return AfxMessageBox(text, type);
}

int xlMessageBox(UINT id, UINT type)
{
    return xlMessageBoxText(xlLoadString(id), type);
}

CQUxlView::CQUxlView() = default;

CQUxlView::~CQUxlView()
{
    if (m_pPlotExcelDlg && m_pPlotExcelDlg->GetOwner() == this)
        DeletePlotDlg();
    uninit_xlDriver();
    // The item belongs to the document's list; Delete takes it out and ends it.
    if (m_pItem)
        m_pItem->Delete();
}

void CQUxlView::SetItem(CxlCntrItem* item)
{
    uninit_xlDriver();
    if (m_pItem && m_pItem != item)
        m_pItem->Delete();
    m_pItem = item;
    if (item)
        item->SetxlView(this);
}

CQUWksPageExternal* CQUxlView::get_external_wks_page() const
{
    CQUExcelDoc* doc = GetDocument();
    return doc ? doc->GetPage() : nullptr;
}

void CQUxlView::OnDraw(CDC* pDC)
{
    if (m_pItem && m_bDisplayExcel) {
        if (pDC->IsPrinting()) {
            // The workbook on the printable area of the paper.
            CSize paper(pDC->GetDeviceCaps(PHYSICALWIDTH) - 2 * pDC->GetDeviceCaps(PHYSICALOFFSETX),
                        pDC->GetDeviceCaps(PHYSICALHEIGHT) - 2 * pDC->GetDeviceCaps(PHYSICALOFFSETY));
            pDC->DPtoLP(&paper);
            m_pItem->Draw(pDC, CRect(CPoint(0, 0), paper), DVASPECT_DOCPRINT);
        } else {
            // The workbook's own window paints it while it is in place; until then (or
            // when it cannot be) its picture stands there.
            CRect client;
            GetClientRect(&client);
            pDC->FillSolidRect(&client, ::GetSysColor(COLOR_APPWORKSPACE));
            if (!m_pItem->IsInPlaceActive()) {
                CRect rect;
                get_draw_rect(rect);
                m_pItem->Draw(pDC, rect);
            }
        }
        OnFinishDC(pDC);
        return;
    }
    if (GetTablePage() != nullptr) {
        CQUWksView::OnDraw(pDC);
        return;
    }
    // No sheet read yet (no workbook): the window names its file.
    CQUWksPageExternal* page = get_external_wks_page();
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
    if (page) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(page->GetExternalName().c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    OnFinishDC(pDC);
}

void CQUxlView::ComputeItemExtent()
{
    CRect client(0, 0, 0, 0);
    if (m_hWnd)
        GetClientRect(&client);
    m_itemExtent = CSize(std::max(1, client.Width() - 40), std::max(1, client.Height() - 32));
}

void CQUxlView::get_draw_rect(CRect& rect)
{
    if (m_itemExtent.cx <= 0 || m_itemExtent.cy <= 0)
        ComputeItemExtent();
    rect = CRect(CPoint(27, 15), m_itemExtent);
}

void CQUxlView::OnSize(UINT nType, int cx, int cy)
{
    CQUWksView::OnSize(nType, cx, cy);
    // The workbook shown as a document fills the view, as it did when it was shown.
    if (m_pItem && m_pItem->IsInPlaceActive())
        if (IOleDocumentView* view = m_pItem->GetDocumentView()) {
            CRect client(0, 0, cx, cy);
            view->SetRect(&client);
        }
}

CQKTablePage* CQUxlView::GetTablePage()
{
    CQUWksPageExternal* page = get_external_wks_page();
    CQKWksExternLayer* layer = page ? page->GetActiveLayer() : nullptr;
    return layer ? layer->GetTable() : nullptr;
}

void CQUxlView::OnInitialUpdate()
{
    CQUWksView::OnInitialUpdate();
    RefreshSheetTable();
}

BOOL CQUxlView::RefreshSheetTable()
{
    BOOL ok = m_pItem != nullptr && UpdateAssociatedActiveWorksheet(nullptr, TRUE);
    if (m_hWnd)
        Invalidate(FALSE);
    return ok;
}

LRESULT CQUxlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The workbook leaves its place before the window that holds it goes.
    if (message == WM_DESTROY && m_pItem && m_pItem->IsInPlaceActive())
        m_pItem->Deactivate();
    // While the workbook is shown, the table's own mouse and key handling stays out.
    if (m_pItem && m_bDisplayExcel)
        return CView::WindowProc(message, wParam, lParam);
    // The sheet's table is a copy of the workbook's cells: it is looked at and scrolled,
    // not typed into, so that it never differs from the workbook unseen.
    const bool editing = message == WM_CHAR || message == WM_LBUTTONDBLCLK ||
                         (message == WM_KEYDOWN && (wParam == VK_DELETE || wParam == VK_F2 || wParam == VK_BACK));
    if (editing)
        return CView::WindowProc(message, wParam, lParam);
    return CQUWksView::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Installation and version

void CQUxlView::AddExcelInstallationBit(DWORD bits)
{
    dwExcelInstallation |= bits;
}

BOOL CQUxlView::AssumeExcelVersionEight()
{
    return (dwExcelInstallation & 0x15200000) != 0;
}

BOOL CQUxlView::CheckExcelInstallationEx(BOOL versionEight, BOOL report)
{
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(versionEight ? L"Excel.Sheet.8" : L"Excel.Sheet.5", &clsid))) {
        AddExcelInstallationBit(versionEight ? 0x40000000 : 0x80000000);
        LPOLESTR text = nullptr;
        CString key;
        if (SUCCEEDED(StringFromCLSID(clsid, &text))) {
            char braced[64] = "";
            WideCharToMultiByte(CP_ACP, 0, text, -1, braced, sizeof braced, nullptr, nullptr);
            key = CString("CLSID\\") + braced + "\\LocalServer32";
            CoTaskMemFree(text);
        }
        HKEY h;
        if (!key.IsEmpty() &&
            RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &h) == ERROR_SUCCESS) {
            char server[520];
            DWORD type = 0, size = sizeof server;
            LONG rc = RegQueryValueExA(h, nullptr, nullptr, &type, (BYTE*)server, &size);
            RegCloseKey(h);
            if (rc == ERROR_SUCCESS && type == REG_SZ && size > 1) {
                server[sizeof server - 1] = 0;
                AddExcelInstallationBit(versionEight ? 0x10000000 : 0x20000000);
                if (GetFileAttributesA(server) != INVALID_FILE_ATTRIBUTES) {
                    AddExcelInstallationBit(versionEight ? 0x04000000 : 0x08000000);
                    return TRUE;
                }
            }
        }
    }
    if (report)
        xlMessageBox(IDS_XL_NOT_INSTALLED, MB_OK);
    return FALSE;
}

BOOL CQUxlView::CheckExcelInstallation(BOOL report)
{
    return CheckExcelInstallationEx(TRUE, FALSE) || CheckExcelInstallationEx(FALSE, report);
}

BOOL CQUxlView::IsExcelRunning()
{
    HWND wnd = ::FindWindowA("XLMAIN", nullptr);
    if (!wnd)
        return FALSE;
    char title[520];
    ::GetWindowTextA(wnd, title, sizeof title);
    return strstr(title, "Excel") != nullptr || strstr(title, "EXCEL") != nullptr;
}

BOOL CQUxlView::VersionHigherThan5(CString& version, int* higher)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjApplication* app = m_pWorkbook->GetApplication();
    BOOL ok = app && app->GetVersion(version) && !version.IsEmpty();
    delete app;
    if (!ok)
        return FALSE;
    char first = version[0];
    if (first == '5')
        AddExcelInstallationBit(0x00800000);
    else if (first == '6' || first == '7')
        AddExcelInstallationBit(0x00400000);
    else
        AddExcelInstallationBit(0x00200000);
    *higher = first != '5';
    return TRUE;
}

BOOL CQUxlView::CanGetSelection(BOOL report)
{
    if (!s_versionChecked) {
        CString text;
        int higher = 0;
        if (VersionHigherThan5(text, &higher)) {
            s_versionChecked = TRUE;
            s_higherThanVersion5 = higher;
            s_versionText = text;
        }
    }
    if (report && s_versionChecked && !s_higherThanVersion5 && !s_versionText.IsEmpty()) {
        CString message;
        message.Format(xlLoadString(IDS_XL_OLD_VERSION), (LPCTSTR)s_versionText);
        xlMessageBoxText(message, MB_OK);
        return FALSE;
    }
    return s_higherThanVersion5;
}

/////////////////////////////////////////////////////////////////////////////
// Automation drivers

BOOL CQUxlView::InitDriverAutomation()
{
    return m_pItem && init_xlDriver();
}

BOOL CQUxlView::init_xlDriver()
{
    if (!m_pItem)
        return FALSE;
    if (!m_pWorkbook) {
        if (AssumeExcelVersionEight()) {
            m_pWorkbook = xlWrap<CxlobjWorkbook>(m_pItem->get_IDispatch());
        } else if (CxlobjWorksheet* sheet = m_pItem->GetxlobjWksDriver()) {
            m_pWorkbook = sheet->GetParent();
            delete sheet;
        }
    }
    if (m_pWorkbook && !m_pWorksheets)
        m_pWorksheets = m_pWorkbook->GetWorksheets();
    return m_pWorksheets != nullptr;
}

void CQUxlView::uninit_xlDriver()
{
    delete m_pWorksheets;
    m_pWorksheets = nullptr;
    delete m_pWorkbook;
    m_pWorkbook = nullptr;
}

BOOL CQUxlView::GetDirty(int* dirty)
{
    BOOL saved;
    if (!InitDriverAutomation() || !m_pWorkbook->GetSaved(&saved))
        return FALSE;
    *dirty = saved ? 0 : 1;
    return TRUE;
}

BOOL CQUxlView::ClearDirty(int saved)
{
    return InitDriverAutomation() && m_pWorkbook->SetSaved(saved);
}

BOOL CQUxlView::GetExcelVisible(int* visible)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjApplication* app = m_pWorkbook->GetApplication();
    BOOL ok = app && app->GetVisible(visible);
    delete app;
    return ok;
}

void CQUxlView::OnCheckxlDirty()
{
    int dirty = 0;
    if (!GetDirty(&dirty)) {
        // The workbook may be busy for a moment: ask again later, a few times.
        if (++s_dirtyRetries <= 5) {
            if (m_hWnd)
                PostMessage(WM_COMMAND, ID_XL_CHECK_DIRTY);
            return;
        }
        s_dirtyRetries = 0;
        dirty = 1;
    } else {
        s_dirtyRetries = 0;
    }
    if (dirty) {
        ClearDirty(1);
        if (CQUWksPageExternal* page = get_external_wks_page())
            page->OnExternalDataModified();
    }
}

CQUxlView* CQUxlView::get_active_excel_view()
{
    CWnd* main = AfxGetMainWnd();
    CFrameWnd* frame = main ? DYNAMIC_DOWNCAST(CFrameWnd, main) : nullptr;
    CFrameWnd* active = frame ? frame->GetActiveFrame() : nullptr;
    CView* view = active ? active->GetActiveView() : nullptr;
    return view ? DYNAMIC_DOWNCAST(CQUxlView, view) : nullptr;
}

/////////////////////////////////////////////////////////////////////////////
// Macros

BOOL CQUxlView::Run(const char* macro, COleVariant& result, int count, const VARIANT* args)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjApplication* app = m_pWorkbook->GetApplication();
    if (!app)
        return FALSE;
    VARIANT out;
    VariantInit(&out);
    BOOL ok = app->Run(macro, &out, count, args);
    delete app;
    if (ok)
        result = out;
    VariantClear(&out);
    return ok;
}

BOOL CQUxlView::RunRange(const char* sheet, const char* cell, COleVariant& result, int count, const VARIANT* args)
{
    if (!InitDriverAutomation())
        return FALSE;
    // Sheets, not Worksheets: macro sheets are reachable too.
    CxlobjSheet target(*m_pWorkbook, sheet);
    if (!target.IsAttached())
        return FALSE;
    CxlobjRange* range = target.GetRange(cell);
    BOOL ok = range && target.Activate() && range->Activate();
    if (ok) {
        VARIANT out;
        VariantInit(&out);
        ok = range->Run(&out, count > 6 ? 6 : count, args);
        if (ok)
            result = out;
        VariantClear(&out);
    }
    delete range;
    return ok;
}
