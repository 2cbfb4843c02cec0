#include "SortDlg.h"

#include <vector>

#include "DialogResources.h"
#include "QKData.h"

namespace {

// The blank-separated words of a string resource, or the fallback's.
CString Word(UINT id, const char* fallback, int index)
{
    CString text;
    if (!text.LoadString(id))
        text = fallback;
    int from = 0;
    for (int i = 0; i < index && from >= 0; ++i) {
        from = text.Find(' ', from);
        if (from >= 0)
            ++from;
    }
    if (from < 0)
        return CString();
    int end = text.Find(' ', from);
    return end < 0 ? text.Mid(from) : text.Mid(from, end - from);
}

int FirstSelected(const CListCtrl& list)
{
    return list.GetNextItem(-1, LVNI_SELECTED);
}

} // namespace

BEGIN_MESSAGE_MAP(CQUSortDlg, CDialog)
    ON_BN_CLICKED(IDC_QU_SORT_ASCENDING, OnSortAddAscendButton)
    ON_BN_CLICKED(IDC_QU_SORT_DESCENDING, OnSortAddDescendButton)
    ON_BN_CLICKED(IDC_QU_SORT_REMOVE, OnSortDeleteButton)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_QU_SORT_COLUMNS, OnListChanged)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_QU_SORT_ORDER, OnListChanged)
    ON_NOTIFY(NM_SETFOCUS, IDC_QU_SORT_COLUMNS, OnListChanged)
    ON_NOTIFY(NM_SETFOCUS, IDC_QU_SORT_ORDER, OnListChanged)
END_MESSAGE_MAP()

CQUSortDlg::CQUSortDlg(CQKWksPage* page, CWnd* parent)
    : CDialog(IDD_QU_NESTED_SORT, parent), m_page(page), m_columns(IDC_QU_SORT_COLUMNS, "WksColWidth")
{
}

void CQUSortDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_QU_MISSING_SMALLEST, m_missingAs);
    DDX_Radio(pDX, IDC_QU_SCOPE_SELECTED, m_scope);
}

BOOL CQUSortDlg::OnInitDialog()
{
    m_columns.SubclassDlgItem(IDC_QU_SORT_COLUMNS, this);
    m_order.SubclassDlgItem(IDC_QU_SORT_ORDER, this);
    CDialog::OnInitDialog();
    CString titles;
    if (!titles.LoadString(IDS_QU_COLUMN_TITLES))
        titles = "Name Label Type";
    m_columns.SetTitles(titles);
    m_columns.SetWksLayer(m_page);
    m_columns.MakeList(FALSE);
    for (int i = 0; i < 2; ++i)
        m_order.InsertColumn(i, Word(IDS_QU_SORT_ORDER_TITLES, "Name Direction", i), LVCFMT_LEFT, 70);
    m_order.SetExtendedStyle(m_order.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    GetDlgItem(IDC_QU_SCOPE_SELECTED)->EnableWindow(m_scopeEnabled);
    GetDlgItem(IDC_QU_SCOPE_WORKSHEET)->EnableWindow(m_scopeEnabled);
    EnableDisableButtons();
    return TRUE;
}

void CQUSortDlg::OnListChanged(NMHDR*, LRESULT* pResult)
{
    EnableDisableButtons();
    *pResult = 0;
}

void CQUSortDlg::EnableDisableButtons()
{
    if (m_order.m_hWnd == nullptr)
        return;
    BOOL add = FALSE, remove = FALSE;
    HWND focus = ::GetFocus();
    int row = FirstSelected(m_columns);
    if (focus == m_columns.m_hWnd) {
        if (row >= 0) {
            LVFINDINFOA find = {LVFI_STRING};
            CString name = m_columns.GetItemText(row, 0);
            find.psz = name;
            add = m_order.FindItem(&find) < 0;
        }
    } else {
        remove = FirstSelected(m_order) >= 0;
    }
    GetDlgItem(IDC_QU_SORT_ASCENDING)->EnableWindow(add);
    GetDlgItem(IDC_QU_SORT_DESCENDING)->EnableWindow(add);
    GetDlgItem(IDC_QU_SORT_REMOVE)->EnableWindow(remove);
}

void CQUSortDlg::OnSortAddAscendButton()
{
    OnSortAddButton(FALSE);
}

void CQUSortDlg::OnSortAddDescendButton()
{
    OnSortAddButton(TRUE);
}

void CQUSortDlg::OnSortAddButton(BOOL descending)
{
    int row = FirstSelected(m_columns);
    if (row < 0)
        return;
    CString name = m_columns.GetItemText(row, 0);
    LVFINDINFOA find = {LVFI_STRING};
    find.psz = name;
    if (m_order.FindItem(&find) >= 0)
        return;
    int at = m_order.InsertItem(m_order.GetItemCount(), name);
    m_order.SetItemText(at, 1, Word(IDS_QU_SORT_DIRECTIONS, "Ascending Descending", descending ? 1 : 0));
    EnableDisableButtons();
}

void CQUSortDlg::OnSortDeleteButton()
{
    int row = FirstSelected(m_order);
    if (row >= 0)
        m_order.DeleteItem(row);
    EnableDisableButtons();
}

void CQUSortDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    OnSortOkButton();
    EndDialog(IDOK);
}

void CQUSortDlg::OnSortOkButton()
{
    m_criteria.RemoveAll();
    int n = m_order.GetItemCount();
    for (int i = 0; i < n; ++i) {
        CString direction = m_order.GetItemText(i, 1), name = m_order.GetItemText(i, 0);
        if (direction.IsEmpty()) {
            m_criteria.RemoveAll();
            return;
        }
        m_criteria.Add(CString(direction.Left(1)) + ": " + name.Left(100));
    }
    if (n == 0)
        return;
    std::vector<const char*> keys;
    for (int i = 0; i < m_criteria.GetSize(); ++i)
        keys.push_back(m_criteria[i]);
    std::string why;
    if (!m_page->SortColumns((int)keys.size(), keys.data(), m_missingAs != 0, m_scope != 0, &why))
        AfxMessageBox(("The worksheet was not sorted: " + why).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

const int CQUPlotObjEditDlg::kDesignations[5] = {QK_COLTYPE_X, QK_COLTYPE_Y, QK_COLTYPE_Z, QK_COLTYPE_LABEL,
                                                 QK_COLTYPE_YERR};

BEGIN_MESSAGE_MAP(CQUPlotObjEditDlg, CDialog)
    ON_NOTIFY(NM_DBLCLK, IDC_QU_LAYER_COLUMNS, OnRowActivated)
    ON_NOTIFY(LVN_KEYDOWN, IDC_QU_LAYER_COLUMNS, OnRowKey)
END_MESSAGE_MAP()

CQUPlotObjEditDlg::CQUPlotObjEditDlg(CQKWksPage* page, CWnd* parent)
    : CDialog(IDD_QU_LAYER_CONTENTS, parent), m_page(page)
{
}

BOOL CQUPlotObjEditDlg::OnInitDialog()
{
    m_list.SubclassDlgItem(IDC_QU_LAYER_COLUMNS, this);
    CDialog::OnInitDialog();
    static const UINT kTitles[] = {IDS_QU_NAME_TITLE, IDS_QU_DESIGNATION_TITLE, IDS_QU_LABEL_TITLE, IDS_QU_TYPE_TITLE};
    for (int i = 0; i < 4; ++i) {
        CString title;
        title.LoadString(kTitles[i]);
        m_list.InsertColumn(i, title, LVCFMT_LEFT, i == 1 ? 90 : 70);
    }
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    for (int n = 1; n <= m_page->GetNumCols(); ++n) {
        m_types.push_back(m_page->GetColumn(n)->m_type);
        m_list.InsertItem(n - 1, m_page->GetColumn(n)->m_columnName.c_str());
        ShowRow(n - 1);
    }
    return TRUE;
}

void CQUPlotObjEditDlg::ShowRow(int row)
{
    CQKDataset* c = m_page->GetColumn(row + 1);
    CString word;
    for (int i = 0; i < 5; ++i)
        if (kDesignations[i] == m_types[(size_t)row])
            word = Word(IDS_QU_DESIGNATIONS, "X Y Z Label Error", i);
    m_list.SetItemText(row, 1, word);
    m_list.SetItemText(row, 2, c->m_label.c_str());
    CString type = CQUWksColumnListCtrl::TypeText(c->m_format);
    int amp = type.Find("& ");
    if (amp >= 0)
        type.Insert(amp, '&');
    m_list.SetItemText(row, 3, type);
}

void CQUPlotObjEditDlg::NextDesignation()
{
    int row = FirstSelected(m_list);
    if (row < 0 || row >= (int)m_types.size())
        return;
    int next = 0;
    for (int i = 0; i < 5; ++i)
        if (kDesignations[i] == m_types[(size_t)row])
            next = (i + 1) % 5;
    m_types[(size_t)row] = kDesignations[next];
    ShowRow(row);
}

void CQUPlotObjEditDlg::OnRowActivated(NMHDR*, LRESULT* pResult)
{
    NextDesignation();
    *pResult = 0;
}

void CQUPlotObjEditDlg::OnRowKey(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (((NMLVKEYDOWN*)pNMHDR)->wVKey == VK_SPACE)
        NextDesignation();
    *pResult = 0;
}

void CQUPlotObjEditDlg::OnOK()
{
    bool changed = false;
    for (int n = 1; n <= m_page->GetNumCols() && n <= (int)m_types.size(); ++n)
        if (m_page->GetColumn(n)->m_type != m_types[(size_t)n - 1]) {
            m_page->GetColumn(n)->m_type = m_types[(size_t)n - 1];
            changed = true;
        }
    if (changed) {
        qkfxGetProject().SetProjectModified(true);
        m_page->SetPageChange(1);
        if (HWND view = m_page->GetDrawingWnd())
            ::InvalidateRect(view, nullptr, FALSE);
    }
    CDialog::OnOK();
}
