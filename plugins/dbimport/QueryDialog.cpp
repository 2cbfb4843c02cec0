#include "QueryDialog.h"

#include "QodbcObject.h"
#include "resource.h"

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string ListText(CListBox& list, int index)
{
    if (index < 0 || index >= list.GetCount())
        return std::string();
    CString text;
    list.GetText(index, text);
    return static_cast<const char*>(text);
}

void Message(CWnd* owner, UINT textId, UINT captionId)
{
    std::string text = DbLoadString(textId), caption = DbLoadString(captionId);
    ::MessageBoxA(owner->m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void EnableSheetOk(CWnd* page, bool enable)
{
    HWND sheet = ::GetParent(page->m_hWnd);
    if (HWND ok = sheet ? ::GetDlgItem(sheet, IDOK) : nullptr)
        ::EnableWindow(ok, enable);
}

} // namespace

HINSTANCE DbModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&DbModule), &module);
    return module;
}

// ---- The data source page -----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDatabaseDialog, CPropertyPage)
    ON_LBN_SELCHANGE(IDC_SOURCE_LIST, OnSourceChanged)
    ON_BN_CLICKED(IDC_KIND_TABLE, OnKindClicked)
    ON_BN_CLICKED(IDC_KIND_VIEW, OnKindClicked)
    ON_BN_CLICKED(IDC_ADD_SOURCE, OnAddSource)
END_MESSAGE_MAP()

CDatabaseDialog::CDatabaseDialog(QmODBC& root, QueryDraft& draft)
    : CPropertyPage(IDD_DATABASE), root_(root), draft_(draft)
{
}

BOOL CDatabaseDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_kind = !draft_.tableType.empty() && !SameText(draft_.tableType, "TABLE") ? 1 : 0;
    CheckRadioButton(IDC_KIND_TABLE, IDC_KIND_VIEW, m_kind ? IDC_KIND_VIEW : IDC_KIND_TABLE);
    ListSources();
    if (Sources().GetCount() > 0) {
        SelectByPrefix(Sources(), draft_.source.c_str());
        ListTablesOfSelected();
        if (Tables().GetCount() > 0)
            SelectByPrefix(Tables(), draft_.table.c_str());
    }
    return TRUE;
}

void CDatabaseDialog::SelectByPrefix(CListBox& list, const char* prefix)
{
    int index = prefix && *prefix ? list.FindString(-1, prefix) : LB_ERR;
    list.SetCurSel(index == LB_ERR ? 0 : index);
}

void CDatabaseDialog::ListSources()
{
    Sources().ResetContent();
    connectStrings_.clear();
    QmStringVector names(80, 5);
    QmMemObjInt count;
    database_.ListSources(names, count);
    for (int i = 0; i <= names.lastIndex; ++i)
        Sources().AddString(static_cast<const char*>(names.ItemAt(i)));
}

void CDatabaseDialog::ListTablesOfSelected()
{
    Tables().ResetContent();
    int index = Sources().GetCurSel();
    if (index < 0)
        return;
    std::string source = ListText(Sources(), index);
    auto* known = static_cast<std::string*>(Sources().GetItemDataPtr(index));
    if (known)
        database_.SetConnectString(known->c_str(), source.c_str());
    QmStringVector names(80, 5);
    QmMemObjInt count;
    // The driver may ask for a login here; the completed string then spares asking again.
    database_.ListTables(names, count, source.c_str(), "", "", m_kind == 1 ? DB_VIEWS : DB_TABLES, m_hWnd, 1);
    if (!known && !database_.GetConnectString().empty()) {
        connectStrings_.push_back(std::make_unique<std::string>(database_.GetConnectString()));
        Sources().SetItemDataPtr(index, connectStrings_.back().get());
    }
    draft_.connectString = database_.GetConnectString();
    draft_.connectSource = source;
    database_.SetConnectString("");
    for (int i = 0; i <= names.lastIndex; ++i)
        Tables().AddString(static_cast<const char*>(names.ItemAt(i)));
    if (Tables().GetCount() > 0)
        Tables().SetCurSel(0);
}

void CDatabaseDialog::OnSourceChanged()
{
    ListTablesOfSelected();
}

void CDatabaseDialog::OnKindClicked()
{
    m_kind = IsDlgButtonChecked(IDC_KIND_VIEW) ? 1 : 0;
    ListTablesOfSelected();
}

void CDatabaseDialog::OnAddSource()
{
    if (!database_.ManageSources(m_hWnd)) {
        // Some systems have no administrator to show (or one that opens nothing).
        ::MessageBoxA(m_hWnd, "The ODBC Data Source Administrator could not be opened on this system.",
                      DbLoadString(IDS_ERROR_CAPTION).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    std::string noted = ListText(Sources(), Sources().GetCurSel());
    ListSources();
    if (Sources().GetCount() == 0) {
        Tables().ResetContent();
        return;
    }
    int index = Sources().FindStringExact(-1, noted.c_str());
    Sources().SetCurSel(index == LB_ERR ? 0 : index);
    ListTablesOfSelected();
}

BOOL CDatabaseDialog::OnSetActive()
{
    EnableSheetOk(this, false);
    return CPropertyPage::OnSetActive();
}

BOOL CDatabaseDialog::OnKillActive()
{
    if (Sources().GetCount() == 0) {
        Message(this, IDS_NO_SOURCES, IDS_ERROR_CAPTION);
        return FALSE;
    }
    int index = Sources().GetCurSel();
    if (index < 0) {
        Message(this, IDS_SELECT_SOURCE, IDS_ERROR_CAPTION);
        return FALSE;
    }
    if (auto* known = static_cast<std::string*>(Sources().GetItemDataPtr(index))) {
        draft_.connectString = *known;
        draft_.connectSource = ListText(Sources(), index);
    }
    return CPropertyPage::OnKillActive();
}

std::string CDatabaseDialog::SelectedSource()
{
    return ListText(Sources(), Sources().GetCurSel());
}

std::string CDatabaseDialog::SelectedTable()
{
    return ListText(Tables(), Tables().GetCurSel());
}

bool CDatabaseDialog::ViewsChosen()
{
    return m_kind == 1;
}

// ---- The query page ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CSelectCasesDialog, CPropertyPage)
    ON_BN_CLICKED(IDC_CHECK_ALL, OnCheckAll)
    ON_BN_CLICKED(IDC_UNCHECK_ALL, OnUncheckAll)
END_MESSAGE_MAP()

CSelectCasesDialog::CSelectCasesDialog(QmODBC& root, QueryDraft& draft, CDatabaseDialog& sourcePage)
    : CPropertyPage(IDD_SELECT_CASES), root_(root), draft_(draft), sourcePage_(sourcePage)
{
}

BOOL CSelectCasesDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    grid.Attach(::GetDlgItem(m_hWnd, IDC_QUERY_GRID));
    if (!draft_.query.empty()) {
        std::vector<QueryRow> rows;
        if (ParseQuery(rows, draft_.query.c_str(), draft_.table.c_str(), draft_.source.c_str(), database_))
            grid.SetQueryRows(rows);
        SetDlgItemText(IDC_SOURCE_SHOWN, draft_.source.c_str());
        SetDlgItemText(IDC_TABLE_SHOWN, draft_.table.c_str());
    }
    database_.SetConnectString(draft_.connectString.c_str(), draft_.connectSource.c_str());
    return TRUE;
}

BOOL CSelectCasesDialog::OnSetActive()
{
    EnableSheetOk(this, true);
    database_.SetConnectString(draft_.connectString.c_str(), draft_.connectSource.c_str());
    draft_.source = sourcePage_.SelectedSource();
    draft_.table = sourcePage_.SelectedTable();
    draft_.tableType = sourcePage_.ViewsChosen() ? "VIEW" : "TABLE";
    char shownSource[256] = "", shownTable[256] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_SOURCE_SHOWN, shownSource, sizeof shownSource);
    ::GetDlgItemTextA(m_hWnd, IDC_TABLE_SHOWN, shownTable, sizeof shownTable);
    if (!SameText(draft_.source, shownSource) || !SameText(draft_.table, shownTable)) {
        SetDlgItemText(IDC_SOURCE_SHOWN, draft_.source.c_str());
        SetDlgItemText(IDC_TABLE_SHOWN, draft_.table.c_str());
        QmStringVector names(64, 5);
        QmMemObjInt count;
        if (database_.ListColumns(names, count, draft_.source.c_str(), draft_.table.c_str(), "", "") != 0) {
            ::MessageBoxA(m_hWnd, "Can Not Open The Table!", "Error!", MB_OK | MB_ICONEXCLAMATION);
            grid.ResetRows();
        } else {
            std::vector<std::string> columns;
            for (int i = 0; i <= names.lastIndex; ++i)
                columns.push_back(static_cast<const char*>(names.ItemAt(i)));
            grid.SetColumns(columns);
        }
    }
    shown = true;
    return CPropertyPage::OnSetActive();
}

BOOL CSelectCasesDialog::OnKillActive()
{
    database_.SetConnectString("");
    return CPropertyPage::OnKillActive();
}

void CSelectCasesDialog::OnOK()
{
    if (shown) {
        char table[256] = "";
        ::GetDlgItemTextA(m_hWnd, IDC_TABLE_SHOWN, table, sizeof table);
        draft_.query = BuildQueryText(grid.GetQueryRows(), table);
        accepted = true;
    }
    CPropertyPage::OnOK();
}

void CSelectCasesDialog::OnCheckAll()
{
    grid.CheckAll(true);
}

void CSelectCasesDialog::OnUncheckAll()
{
    grid.CheckAll(false);
}

// ---- The sheet -------------------------------------------------------------------------------

CSQLTabbedDialog::CSQLTabbedDialog(QmODBC& root, CWnd* parent)
    : CPropertySheet(IDS_SHEET_CAPTION, parent), databasePage(root, draft), casesPage(root, draft, databasePage)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    draft.source = root.m_dbSource.text ? root.m_dbSource.text : "";
    draft.table = root.m_dbTable.text ? root.m_dbTable.text : "";
    draft.tableType = root.m_tableType.text ? root.m_tableType.text : "";
    draft.query = root.m_dbSql.text ? root.m_dbSql.text : "";
    draft.connectString = root.connectString;
    draft.connectSource = root.connectSource;
    AddPage(&databasePage);
    AddPage(&casesPage);
}

int EditQuery(QmODBC& root)
{
    if (!GridControl::RegisterClasses(DbModule()))
        return 0;
    HWND host = g_qmHostContext && ::IsWindow(g_qmHostContext) ? g_qmHostContext : nullptr;
    CSQLTabbedDialog sheet(root, host ? CWnd::FromHandle(host) : nullptr);
    if (sheet.DoModal() != IDOK || !sheet.casesPage.accepted)
        return 0;
    const QueryDraft& d = sheet.draft;
    root.m_dbSql.SetText(d.query.c_str());
    root.m_dbSource.SetText(d.source.c_str());
    root.m_dbTable.SetText(d.table.c_str());
    root.m_tableType.SetText(d.tableType.c_str());
    root.connectString = d.connectString;
    root.connectSource = d.connectSource;
    return 1;
}
