// The dialogs of the Excel link.
#include "XlDialogs.h"

#include "ExcelRes.h"

#include <mbstring.h>

namespace {

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &module);
    return module;
}

bool Contains(const CStringArray& names, const CString& name)
{
    for (int i = 0; i < names.GetSize(); ++i)
        if (names[i].CompareNoCase(name) == 0)
            return true;
    return false;
}

} // namespace

XlResourceScope::XlResourceScope() : m_previous(AfxGetResourceHandle())
{
    AfxSetResourceHandle(ThisModule());
}

XlResourceScope::~XlResourceScope()
{
    AfxSetResourceHandle(m_previous);
}

BEGIN_MESSAGE_MAP(CXlDialog, CDialog)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

BOOL CXlDialog::OnHelpInfo(HELPINFO*)
{
    WinHelp(m_nIDHelp, HELP_CONTEXT);
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Associate Excel Worksheet

BOOL CXlConnectLayerDlg::s_bSaveCancelled = FALSE;
BOOL CXlConnectLayerDlg::s_bUpdateCancelled = FALSE;

BEGIN_MESSAGE_MAP(CXlConnectLayerDlg, CXlDialog)
    ON_LBN_SELCHANGE(IDC_XL_CONNECT_SHEETS, OnSelectSheet)
    ON_BN_CLICKED(IDC_XL_CONNECT_REMOVE, OnRemove)
END_MESSAGE_MAP()

CXlConnectLayerDlg::CXlConnectLayerDlg(CQUxlView* view, CQKWksExternLayer* layer, CWnd* parent)
    : CXlDialog(IDD_XL_CONNECT_LAYER, parent), m_pView(view), m_pLayer(layer)
{
}

BOOL CXlConnectLayerDlg::Survey(CQUxlView* view, CStringArray& sheets, CStringArray& unassociated,
                                CQKWksExternLayer** orphan)
{
    unassociated.RemoveAll();
    *orphan = nullptr;
    CQUWksPageExternal* page = view->get_external_wks_page();
    if (!page || view->GetWorksheetNames(sheets) < 0)
        return FALSE;
    for (int i = 0; i < sheets.GetSize(); ++i)
        if (!page->FindLayer(sheets[i]))
            unassociated.Add(sheets[i]);
    for (int i = 0; i < page->GetNumLayers() && !*orphan; ++i)
        if (!Contains(sheets, page->GetLayer(i)->GetName().c_str()))
            *orphan = page->GetLayer(i);
    return TRUE;
}

void CXlConnectLayerDlg::PruneLayers(CQUxlView* view, const CStringArray& sheets)
{
    CQUWksPageExternal* page = view->get_external_wks_page();
    if (!page || sheets.GetSize() == 0)
        return;
    std::vector<CQKWksExternLayer*> marked;
    for (int i = 0; i < page->GetNumLayers(); ++i) {
        CQKWksExternLayer* layer = page->GetLayer(i);
        if (Contains(sheets, layer->GetName().c_str()))
            continue;
        CString message;
        message.Format(xlLoadString(IDS_XL_REMOVE_LAYER), layer->GetName().c_str());
        if (xlMessageBoxText(message, MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            marked.push_back(layer);
        else
            s_bSaveCancelled = TRUE;
    }
    // RemoveLayer keeps the page's last layer.
    for (CQKWksExternLayer* layer : marked)
        page->RemoveLayer(layer);
}

BOOL CXlConnectLayerDlg::OnInitDialog()
{
    CXlDialog::OnInitDialog();
    m_allSheets.Create(WS_CHILD | WS_DISABLED | LBS_SORT, CRect(10, 10, 20, 20), this, 0xFFFF);
    m_sheets.SubclassDlgItem(IDC_XL_CONNECT_SHEETS, this);
    if (!Refresh())
        EndDialog(IDCANCEL);
    return TRUE;
}

BOOL CXlConnectLayerDlg::Refresh()
{
    CStringArray sheets, unassociated;
    CQKWksExternLayer* orphan = nullptr;
    if (!Survey(m_pView, sheets, unassociated, &orphan)) {
        s_bSaveCancelled = TRUE;
        return FALSE;
    }
    m_allSheets.ResetContent();
    m_sheets.ResetContent();
    for (int i = 0; i < sheets.GetSize(); ++i)
        m_allSheets.AddString(sheets[i]);
    for (int i = 0; i < unassociated.GetSize(); ++i)
        m_sheets.AddString(unassociated[i]);
    if (unassociated.GetSize() == 0) {
        PruneLayers(m_pView, sheets);
        return FALSE;
    }
    if (!orphan)
        return FALSE;
    m_pLayer = orphan;
    CQUWksPageExternal* page = m_pView->get_external_wks_page();
    CString message;
    message.Format(xlLoadString(IDS_XL_CANNOT_FIND_SHEET), orphan->GetName().c_str(), page->GetName().c_str());
    SetDlgItemText(IDC_XL_CONNECT_TEXT, message);
    m_sheets.SetCurSel(0);
    SetDlgItemText(IDC_XL_CONNECT_NAME, unassociated[0]);
    GetDlgItem(IDC_XL_CONNECT_REMOVE)->EnableWindow(page->GetNumLayers() > 1);
    return TRUE;
}

void CXlConnectLayerDlg::OnSelectSheet()
{
    int i = m_sheets.GetCurSel();
    if (i < 0)
        return;
    CString name;
    m_sheets.GetText(i, name);
    SetDlgItemText(IDC_XL_CONNECT_NAME, name);
}

void CXlConnectLayerDlg::OnRemove()
{
    CQUWksPageExternal* page = m_pView->get_external_wks_page();
    if (page && m_pLayer)
        page->RemoveLayer(m_pLayer);
    m_pLayer = nullptr;
    if (!Refresh())
        EndDialog(IDCANCEL);
}

void CXlConnectLayerDlg::OnOK()
{
    CString name;
    GetDlgItemText(IDC_XL_CONNECT_NAME, name);
    name.TrimLeft();
    name.TrimRight();
    int i = m_sheets.FindStringExact(-1, name);
    if (name.IsEmpty() || i < 0) {
        xlMessageBox(IDS_XL_WRONG_SHEET_NAME, MB_OK);
        return;
    }
    CString exact;
    m_sheets.GetText(i, exact);
    m_pLayer->SetName((LPCTSTR)exact);
    EndDialog(IDOK);
}

void CXlConnectLayerDlg::OnCancel()
{
    s_bSaveCancelled = TRUE;
    s_bUpdateCancelled = TRUE;
    CXlDialog::OnCancel();
}

INT_PTR CQUxlView::OnCmExcelUpdateSheets()
{
    CXlConnectLayerDlg::s_bSaveCancelled = FALSE;
    CXlConnectLayerDlg::s_bUpdateCancelled = FALSE;
    INT_PTR result = IDCANCEL;
    for (;;) {
        CStringArray sheets, unassociated;
        CQKWksExternLayer* orphan = nullptr;
        if (!CXlConnectLayerDlg::Survey(this, sheets, unassociated, &orphan)) {
            CXlConnectLayerDlg::s_bSaveCancelled = TRUE;
            return IDCANCEL;
        }
        // Nothing to ask about: layers whose sheet is gone may go, and the dialog counts
        // as cancelled without a user's cancel.
        if (unassociated.GetSize() == 0) {
            CXlConnectLayerDlg::PruneLayers(this, sheets);
            return result;
        }
        if (!orphan)
            return result;
        XlResourceScope resources;
        CXlConnectLayerDlg dlg(this, orphan, m_hWnd ? this : nullptr);
        result = dlg.DoModal();
        if (result != IDOK)
            return result;
    }
}

BOOL CQUxlView::SetAutomaticExternalUpdate(int on, BOOL report)
{
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page)
        return FALSE;
    if (on && !page->GetExternalName().empty() && qkuFileExistsAndIsReadOnly(page->GetExternalName().c_str())) {
        if (report)
            xlMessageBox(IDS_XL_READ_ONLY_LINK, MB_OK);
        return FALSE;
    }
    return page->SetAutomaticExternalUpdate(on);
}

/////////////////////////////////////////////////////////////////////////////
// Open Excel

BEGIN_MESSAGE_MAP(COpenExcelDlg, CXlDialog)
    ON_BN_CLICKED(IDC_XL_OPEN_AS_EXCEL, OnChoice)
    ON_BN_CLICKED(IDC_XL_OPEN_AS_NATIVE, OnChoice)
END_MESSAGE_MAP()

COpenExcelDlg::COpenExcelDlg(CQUxlView* view, CWnd* parent) : CXlDialog(IDD_XL_OPEN_EXCEL, parent), m_pView(view) {}

BOOL COpenExcelDlg::OnInitDialog()
{
    CXlDialog::OnInitDialog();
    m_sheets.SubclassDlgItem(IDC_XL_OPEN_SHEETS, this);
    m_nChoice = CQUExcelDoc::OpenWorkbookAsExcel() ? 0 : 1;
    CheckRadioButton(IDC_XL_OPEN_AS_EXCEL, IDC_XL_OPEN_AS_NATIVE, IDC_XL_OPEN_AS_EXCEL + m_nChoice);
    ShowList();
    return TRUE;
}

void COpenExcelDlg::OnChoice()
{
    m_nChoice = IsDlgButtonChecked(IDC_XL_OPEN_AS_NATIVE) ? 1 : 0;
    ShowList();
}

void COpenExcelDlg::ShowList()
{
    if (m_nChoice == 1) {
        if (!m_bFilled) {
            m_pView->FillListboxWithWorksheetNames(&m_sheets, nullptr);
            m_bFilled = TRUE;
        }
        m_sheets.SetSel(-1, FALSE);
        m_sheets.SetSel(0, TRUE);
        m_sheets.EnableWindow(TRUE);
    } else {
        m_sheets.SetSel(-1, FALSE);
        m_sheets.EnableWindow(FALSE);
    }
}

void COpenExcelDlg::OnOK()
{
    m_chosenSheets.RemoveAll();
    for (int i = 0; i < m_sheets.GetCount(); ++i) {
        if (m_sheets.GetSel(i) > 0) {
            CString name;
            m_sheets.GetText(i, name);
            m_chosenSheets.Add(name);
        }
    }
    m_bDontShow = IsDlgButtonChecked(IDC_XL_OPEN_DONT_SHOW) != 0;
    EndDialog(IDOK);
}

BOOL CQUxlView::DoOpenExcelDialog(int* asExcel, UINT* count)
{
    COpenExcelDlg dlg(this, m_hWnd ? this : nullptr);
    INT_PTR result;
    {
        XlResourceScope resources;
        result = dlg.DoModal();
    }
    if (result != IDOK)
        return FALSE;
    CQUExcelDoc::SetOpenWorkbookAsExcel(dlg.m_nChoice == 0);
    CQUExcelDoc::SetDisplayOpenExcelDialog(!dlg.m_bDontShow);
    if (dlg.m_nChoice == 0) {
        *asExcel = 1;
        return TRUE;
    }
    *asExcel = 0;
    UINT copied = 0;
    for (int i = 0; i < dlg.m_chosenSheets.GetSize(); ++i)
        UpdateAssociatedWorksheet(dlg.m_chosenSheets[i], TRUE, nullptr);
    for (int i = 0; i < dlg.m_chosenSheets.GetSize(); ++i)
        if (DoCopyOneWksToNativeQuorix(dlg.m_chosenSheets[i], nullptr))
            ++copied;
    if (count)
        *count = copied;
    return TRUE;
}

BOOL CQUxlView::HandleOpenExcel(int* asExcel, UINT* count)
{
    if (CQUExcelDoc::DisplayOpenExcelDialog())
        return DoOpenExcelDialog(asExcel, count);
    if (CQUExcelDoc::OpenWorkbookAsExcel()) {
        *asExcel = 1;
        return TRUE;
    }
    *asExcel = 0;
    return DoCopyToNativeQuorixWorksheets(2, count);
}

/////////////////////////////////////////////////////////////////////////////
// Workbook Properties

BOOL CExlRename::s_bSortAscending = TRUE;
std::map<int, CString> CExlRename::s_names;

BEGIN_MESSAGE_MAP(CExlRename, CXlDialog)
    ON_BN_CLICKED(IDC_XL_RENAME_INTERNAL, OnStorage)
    ON_BN_CLICKED(IDC_XL_RENAME_EXTERNAL, OnStorage)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_XL_RENAME_SHEETS, OnColumnClick)
END_MESSAGE_MAP()

CExlRename::CExlRename(CQUxlView* view, CWnd* parent) : CXlDialog(IDD_XL_RENAME, parent), m_pView(view)
{
    if (CQUWksPageExternal* page = view->get_external_wks_page()) {
        m_strPath = page->GetExternalName().c_str();
        m_strTitle = page->GetName().c_str();
        m_bUpdate = page->IsAutomaticExternalUpdate();
        m_nStorage = page->IsInternalSaving() ? 0 : 1;
    }
}

CExlRename::~CExlRename()
{
    s_names.clear();
}

BOOL CExlRename::OnInitDialog()
{
    CXlDialog::OnInitDialog();
    SetDlgItemText(IDC_XL_RENAME_TITLE, m_strTitle);
    SetDlgItemText(IDC_XL_RENAME_PATH, m_strPath);
    CheckDlgButton(IDC_XL_RENAME_UPDATE, m_bUpdate ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(IDC_XL_RENAME_INTERNAL, IDC_XL_RENAME_EXTERNAL, IDC_XL_RENAME_INTERNAL + m_nStorage);
    m_sheets.SubclassDlgItem(IDC_XL_RENAME_SHEETS, this);
    m_sheets.InitCols(2, IDS_XL_SHEET_NAME_COLUMN);
    s_names.clear();
    if (CQUWksPageExternal* page = m_pView->get_external_wks_page()) {
        for (int i = 0; i < page->GetNumLayers(); ++i) {
            CQKWksExternLayer* layer = page->GetLayer(i);
            if (layer->GetName().empty())
                continue;
            int row = m_sheets.InsertItem(m_sheets.GetItemCount(), layer->GetName().c_str());
            if (layer->GetID() != 1) {
                CString index;
                index.Format("@%d", layer->GetID());
                m_sheets.SetItemText(row, 1, index);
            }
            m_sheets.SetItemData(row, (DWORD_PTR)layer->GetID());
            s_names[layer->GetID()] = layer->GetName().c_str();
        }
    }
    OnStorage();
    return TRUE;
}

void CExlRename::OnStorage()
{
    m_nStorage = IsDlgButtonChecked(IDC_XL_RENAME_EXTERNAL) ? 1 : 0;
    GetDlgItem(IDC_XL_RENAME_UPDATE)->EnableWindow(m_nStorage == 1);
    GetDlgItem(IDC_XL_RENAME_PATH)->ShowWindow(m_nStorage == 1 ? SW_SHOW : SW_HIDE);
}

int CALLBACK CExlRename::CompareNames(LPARAM a, LPARAM b, LPARAM)
{
    int r = _mbsicmp((const unsigned char*)(LPCTSTR)s_names[(int)a], (const unsigned char*)(LPCTSTR)s_names[(int)b]);
    return s_bSortAscending ? r : -r;
}

int CALLBACK CExlRename::CompareIds(LPARAM a, LPARAM b, LPARAM)
{
    // Identifiers are never equal: the larger one sorts after the smaller.
    int r = a < b ? -1 : 1;
    return s_bSortAscending ? r : -r;
}

void CExlRename::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* list = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    m_sheets.SortItems(list->iSubItem == 0 ? &CExlRename::CompareNames : &CExlRename::CompareIds, 0);
    s_bSortAscending = !s_bSortAscending;
    *pResult = 0;
}

void CExlRename::OnOK()
{
    GetDlgItemText(IDC_XL_RENAME_TITLE, m_strTitle);
    m_bUpdate = IsDlgButtonChecked(IDC_XL_RENAME_UPDATE) != 0;
    if (CQUExcelDoc* doc = m_pView->GetDocument())
        doc->SetTitle(m_strTitle);
    if (CQUWksPageExternal* page = m_pView->get_external_wks_page()) {
        page->SetInternalSaving(m_nStorage == 0);
        if (m_nStorage == 1)
            m_pView->SetAutomaticExternalUpdate(m_bUpdate, TRUE);
    }
    EndDialog(IDOK);
}

void CQUxlView::OnCmExcelRename()
{
    CExlRename dlg(this, m_hWnd ? this : nullptr);
    XlResourceScope resources;
    dlg.DoModal();
}

/////////////////////////////////////////////////////////////////////////////
// Save Excel Workbooks

int CQUXlSaveDialog::s_nSaveExcelDlg = 1;

BEGIN_MESSAGE_MAP(CQUXlSaveDialog, CXlDialog)
    ON_CLBN_CHKCHANGE(IDC_XL_SAVE_EXTERNAL, OnCheckChange)
END_MESSAGE_MAP()

CQUXlSaveDialog::CQUXlSaveDialog(CWnd* parent) : CXlDialog(IDD_XL_SAVE, parent) {}

BOOL CQUXlSaveDialog::OnInitDialog()
{
    CXlDialog::OnInitDialog();
    m_internal.SubclassDlgItem(IDC_XL_SAVE_INTERNAL, this);
    CRect frame;
    GetDlgItem(IDC_XL_SAVE_EXTERNAL_FRAME)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    m_external.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS |
                          LBS_OWNERDRAWFIXED,
                      frame, this, IDC_XL_SAVE_EXTERNAL);
    m_external.SetFont(GetFont());
    m_show.SubclassDlgItem(IDC_XL_SAVE_SHOW, this);
    m_show.INIResStringComboBox(IDS_XL_SAVE_DLG_CHOICES, s_nSaveExcelDlg);
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        auto* page = dynamic_cast<CQUWksPageExternal*>(project.GetPage(i));
        if (!page || !page->GetValidxlView())
            continue;
        if (page->IsInternalSaving()) {
            m_internal.AddString(page->GetName().c_str());
        } else {
            int row = m_external.AddString(page->GetName().c_str());
            m_external.SetItemData(row, (DWORD_PTR)page);
            m_external.SetCheck(row, page->IsAutomaticExternalUpdate() ? 1 : 0);
        }
    }
    return TRUE;
}

void CQUXlSaveDialog::OnCheckChange()
{
    int row = m_external.GetCaretIndex();
    if (row < 0 || !m_external.GetCheck(row))
        return;
    // A read-only linked file cannot be updated: the tick is taken back.
    auto* page = (CQUWksPageExternal*)m_external.GetItemData(row);
    CQUxlView* view = page ? page->GetValidxlView() : nullptr;
    XlResourceScope resources;
    if (!view || !view->SetAutomaticExternalUpdate(1, TRUE))
        m_external.SetCheck(row, 0);
}

void CQUXlSaveDialog::OnOK()
{
    for (int i = 0; i < m_external.GetCount(); ++i)
        if (auto* page = (CQUWksPageExternal*)m_external.GetItemData(i))
            page->SetAutomaticExternalUpdate(m_external.GetCheck(i) ? 1 : 0);
    int choice = m_show.GetCurSel();
    if (choice >= 0)
        s_nSaveExcelDlg = choice;
    EndDialog(IDOK);
}

int CQUXlSaveDialog::RunBeforeSaving(CWnd* owner)
{
    if (s_nSaveExcelDlg == 0)
        return 1;
    CQKProject& project = qkfxGetProject();
    bool any = false;
    for (int i = 0; i < project.GetNumPages() && !any; ++i)
        any = dynamic_cast<CQUWksPageExternal*>(project.GetPage(i)) != nullptr;
    if (!any)
        return 1;
    CQUXlSaveDialog dlg(owner);
    XlResourceScope resources;
    return dlg.DoModal() == IDCANCEL ? 0 : 1;
}
