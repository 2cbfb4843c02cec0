// The four steps of the dialog project wizard. Each step writes its defaults into the
// dictionary when it is built, shows the dictionary's values whenever it is shown and
// stores its answers when it is left, so going back shows them again.
#include "DialogWizard.h"

#include <algorithm>
#include <cstdlib>

#include "resource.h"

namespace {

const char* const kKindKeys[] = {"DDK_PROJECT_EMPTY", "DDK_PROJECT_SIMPLE", "DDK_PROJECT_TABBED",
                                 "DDK_PROJECT_WIZARD"};
// The steps the host counts for each kind: the kind itself, then the dialog, then the
// tabs or pages.
const int kStepsOfKind[] = {1, 2, 3, 3};

CString LoadText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

int CountOf(const CMapStringToString& dictionary, const CString& key)
{
    CString value;
    if (!dictionary.Lookup(key, value))
        return 0;
    return std::max(0, atoi(value));
}

} // namespace

BEGIN_MESSAGE_MAP(CProjectKindStep, CAppWizStepDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_KIND_EMPTY, IDC_KIND_WIZARD, OnKindClicked)
END_MESSAGE_MAP()

CProjectKindStep::CProjectKindStep(CMapStringToString& dictionary)
    : CAppWizStepDlg(IDD_STEP_PROJECT_KIND), m_dictionary(dictionary)
{
    for (const char* key : kKindKeys)
        m_dictionary.RemoveKey(key);
    m_dictionary[kKindKeys[kEmptyProject]] = "1";
}

BOOL CProjectKindStep::OnInitDialog()
{
    CAppWizStepDlg::OnInitDialog();
    int kind = kEmptyProject;
    for (int i = 3; i >= 0; --i) {
        CString value;
        if (m_dictionary.Lookup(kKindKeys[i], value))
            kind = i;
    }
    CheckRadioButton(IDC_KIND_EMPTY, IDC_KIND_WIZARD, IDC_KIND_EMPTY + kind);
    return TRUE;
}

void CProjectKindStep::OnKindClicked(UINT nID)
{
    SetNumberOfSteps(kStepsOfKind[nID - IDC_KIND_EMPTY]);
}

BOOL CProjectKindStep::OnDismiss()
{
    int checked = GetCheckedRadioButton(IDC_KIND_EMPTY, IDC_KIND_WIZARD);
    int kind = checked ? checked - IDC_KIND_EMPTY : kEmptyProject;
    for (const char* key : kKindKeys)
        m_dictionary.RemoveKey(key);
    m_dictionary[kKindKeys[kind]] = "1";
    SetProjectKind(DialogProjectKind(kind));
    return TRUE;
}

CDialogInfoStep::CDialogInfoStep(CMapStringToString& dictionary)
    : CAppWizStepDlg(IDD_STEP_DIALOG_INFO), m_dictionary(dictionary)
{
    m_dictionary["DDK_DLG_CAPTION"] = "My Dialog";
    m_dictionary["DDK_DLG_IDNAME"] = "IDD_MYDIALOG";
    m_dictionary["DDK_DLG_SCRIPTNAME"] = "MyDialog";
}

BOOL CDialogInfoStep::OnInitDialog()
{
    CAppWizStepDlg::OnInitDialog();
    SetDlgItemText(IDC_CAPTION, m_dictionary["DDK_DLG_CAPTION"]);
    SetDlgItemText(IDC_RESOURCE_ID, m_dictionary["DDK_DLG_IDNAME"]);
    SetDlgItemText(IDC_SCRIPT_NAME, m_dictionary["DDK_DLG_SCRIPTNAME"]);
    CWnd* pHint = GetDlgItem(IDC_NEXT_HINT);
    if (GetProjectKind() == kTabbedDialog || GetProjectKind() == kWizardDialog) {
        pHint->SetWindowText(LoadText(GetProjectKind() == kTabbedDialog ? IDS_TABS_HINT : IDS_PAGES_HINT));
        pHint->ShowWindow(SW_SHOW);
    } else {
        pHint->ShowWindow(SW_HIDE);
    }
    return TRUE;
}

BOOL CDialogInfoStep::Refuse(UINT nIDPrompt, int nIDField)
{
    MessageBox(LoadText(nIDPrompt), LoadText(IDS_DIALOG_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
    GetDlgItem(nIDField)->SetFocus();
    return FALSE;
}

BOOL CDialogInfoStep::OnDismiss()
{
    CString caption, idName, scriptName;
    GetDlgItemText(IDC_CAPTION, caption);
    GetDlgItemText(IDC_RESOURCE_ID, idName);
    GetDlgItemText(IDC_SCRIPT_NAME, scriptName);

    // The three answers are written into a resource script, a header and a file name:
    // an answer that would make them fail to compile, or name a file elsewhere, keeps
    // the step open. Quotes and backslashes would end or escape the caption's string.
    if (caption.FindOneOf("\"\\") >= 0)
        return Refuse(IDS_CAPTION_QUOTE, IDC_CAPTION);
    if (!IsValidResourceName(idName))
        return Refuse(IDS_RESOURCE_ID_INVALID, IDC_RESOURCE_ID);
    if (IsReservedResourceName(idName))
        return Refuse(IDS_RESOURCE_ID_TAKEN, IDC_RESOURCE_ID);
    const char* family = GetProjectKind() == kTabbedDialog ? "TAB"
                         : GetProjectKind() == kWizardDialog ? "PAGE" : nullptr;
    if (family) {
        CString prefix;
        prefix.Format("DDK_%s_", family);
        int count = CountOf(m_dictionary, prefix + "COUNT");
        for (int i = 0; i < count; ++i) {
            CString key, value;
            key.Format("%sIDNAME_%d", (LPCTSTR)prefix, i);
            if (m_dictionary.Lookup(key, value) && value == idName)
                return Refuse(IDS_RESOURCE_ID_USED, IDC_RESOURCE_ID);
        }
    }
    if (!IsValidScriptName(scriptName))
        return Refuse(IDS_SCRIPT_NAME_INVALID, IDC_SCRIPT_NAME);

    m_dictionary["DDK_DLG_CAPTION"] = caption;
    m_dictionary["DDK_DLG_IDNAME"] = idName;
    m_dictionary["DDK_DLG_SCRIPTNAME"] = scriptName;
    return TRUE;
}

BEGIN_MESSAGE_MAP(CChildListStep, CAppWizStepDlg)
    ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CAPTION, IDC_SCRIPT_NAME, OnFieldKillFocus)
    ON_NOTIFY(NM_CLICK, IDC_CHILD_LIST, OnListClick)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_CHILD_LIST, OnListItemChanged)
    ON_BN_CLICKED(IDC_ADD, OnAdd)
    ON_BN_CLICKED(IDC_UP, OnUp)
    ON_BN_CLICKED(IDC_DOWN, OnDown)
    ON_BN_CLICKED(IDC_REMOVE, OnRemove)
END_MESSAGE_MAP()

CChildListStep::CChildListStep(UINT nIDTemplate, CMapStringToString& dictionary, LPCTSTR lpszFamily,
                               LPCTSTR lpszNoun)
    : CAppWizStepDlg(nIDTemplate), m_dictionary(dictionary), m_family(lpszFamily)
{
    CString noun(lpszNoun), upper(lpszNoun);
    upper.MakeUpper();
    m_dictionary[Key("COUNT")] = "2";
    const char* const ordinals[] = {"First", "Second"};
    for (int i = 0; i < 2; ++i) {
        CString ordinal(ordinals[i]), ordinalUpper(ordinals[i]), value;
        ordinalUpper.MakeUpper();
        m_dictionary[Key("CAPTION", i)] = ordinal + " " + noun;
        m_dictionary[Key("IDNAME", i)] = "IDD_" + ordinalUpper + upper;
        value.Format("%d", 3000 + i);
        m_dictionary[Key("IDVAL", i)] = value;
        m_dictionary[Key("SCRIPTNAME", i)] = ordinal + noun;
    }
}

CString CChildListStep::Key(LPCTSTR lpszName) const
{
    CString key;
    key.Format("DDK_%s_%s", (LPCTSTR)m_family, lpszName);
    return key;
}

CString CChildListStep::Key(LPCTSTR lpszName, int i) const
{
    CString key;
    key.Format("DDK_%s_%s_%d", (LPCTSTR)m_family, lpszName, i);
    return key;
}

BOOL CChildListStep::OnInitDialog()
{
    CAppWizStepDlg::OnInitDialog();
    m_list.SubclassDlgItem(IDC_CHILD_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);

    CStringArray columns;
    CString headings = LoadText(IDS_LIST_COLUMNS);
    for (int start = 0;;) {
        int bar = headings.Find('|', start);
        columns.Add(bar < 0 ? headings.Mid(start) : headings.Mid(start, bar - start));
        if (bar < 0)
            break;
        start = bar + 1;
    }
    CRect client;
    m_list.GetClientRect(&client);
    int width = client.Width() / (int)columns.GetSize();
    for (int i = 0; i < (int)columns.GetSize(); ++i)
        m_list.InsertColumn(i, columns[i], LVCFMT_LEFT, width);

    int count = CountOf(m_dictionary, Key("COUNT"));
    for (int i = 0; i < count; ++i) {
        m_list.InsertItem(i, m_dictionary[Key("CAPTION", i)]);
        m_list.SetItemText(i, 1, m_dictionary[Key("IDNAME", i)]);
        m_list.SetItemText(i, 2, m_dictionary[Key("SCRIPTNAME", i)]);
    }
    UpdateButtons();
    return TRUE;
}

CString CChildListStep::Field(int nID)
{
    CString text;
    GetDlgItemText(nID, text);
    text.TrimLeft(" \t");
    text.TrimRight(" \t");
    return text;
}

void CChildListStep::OnFieldKillFocus(UINT nID)
{
    CString text;
    GetDlgItemText(nID, text);
    CString trimmed = Field(nID);
    if (trimmed != text)
        SetDlgItemText(nID, trimmed);
}

int CChildListStep::Selection() const
{
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CChildListStep::Select(int nRow)
{
    m_list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(nRow, FALSE);
}

void CChildListStep::UpdateButtons()
{
    int row = Selection();
    int count = m_list.GetItemCount();
    GetDlgItem(IDC_UP)->EnableWindow(row >= 0 && count > 1 && row > 0);
    GetDlgItem(IDC_DOWN)->EnableWindow(row >= 0 && count > 1 && row < count - 1);
    GetDlgItem(IDC_REMOVE)->EnableWindow(row >= 0);
}

void CChildListStep::OnListClick(NMHDR*, LRESULT* pResult)
{
    DWORD pos = GetMessagePos();
    CPoint point((short)LOWORD(pos), (short)HIWORD(pos));
    m_list.ScreenToClient(&point);
    int row = m_list.HitTest(point);
    if (row >= 0)
        Select(row);
    UpdateButtons();
    *pResult = 0;
}

void CChildListStep::OnListItemChanged(NMHDR*, LRESULT* pResult)
{
    UpdateButtons();
    *pResult = 0;
}

BOOL CChildListStep::Refuse(UINT nIDPrompt, int nIDField)
{
    MessageBox(LoadText(nIDPrompt), LoadText(IDS_ADD_ERROR_CAPTION), MB_OK | MB_ICONEXCLAMATION);
    GetDlgItem(nIDField)->SetFocus();
    return FALSE;
}

void CChildListStep::OnAdd()
{
    CString caption = Field(IDC_CAPTION);
    CString idName = Field(IDC_RESOURCE_ID);
    CString scriptName = Field(IDC_SCRIPT_NAME);
    int count = m_list.GetItemCount();
    auto used = [&](int column, const CString& text, BOOL ignoreCase) {
        for (int i = 0; i < count; ++i) {
            CString cell = m_list.GetItemText(i, column);
            if (ignoreCase ? cell.CompareNoCase(text) == 0 : cell == text)
                return TRUE;
        }
        return FALSE;
    };

    if (caption.IsEmpty())
        return (void)Refuse(IDS_CAPTION_EMPTY, IDC_CAPTION);
    if (used(0, caption, FALSE))
        return (void)Refuse(IDS_CAPTION_USED, IDC_CAPTION);
    if (caption.FindOneOf("\"\\") >= 0)
        return (void)Refuse(IDS_CAPTION_QUOTE, IDC_CAPTION);
    if (idName.IsEmpty())
        return (void)Refuse(IDS_RESOURCE_ID_EMPTY, IDC_RESOURCE_ID);
    if (used(1, idName, FALSE))
        return (void)Refuse(IDS_RESOURCE_ID_USED, IDC_RESOURCE_ID);
    if (!IsValidResourceName(idName))
        return (void)Refuse(IDS_RESOURCE_ID_INVALID, IDC_RESOURCE_ID);
    if (IsReservedResourceName(idName) || idName == m_dictionary["DDK_DLG_IDNAME"])
        return (void)Refuse(IDS_RESOURCE_ID_TAKEN, IDC_RESOURCE_ID);
    if (scriptName.IsEmpty())
        return (void)Refuse(IDS_SCRIPT_NAME_EMPTY, IDC_SCRIPT_NAME);
    // Section names of the dialog engine are found regardless of case.
    if (used(2, scriptName, TRUE))
        return (void)Refuse(IDS_SCRIPT_NAME_USED, IDC_SCRIPT_NAME);
    if (!IsValidScriptName(scriptName))
        return (void)Refuse(IDS_SCRIPT_NAME_INVALID, IDC_SCRIPT_NAME);

    m_list.InsertItem(count, caption);
    m_list.SetItemText(count, 1, idName);
    m_list.SetItemText(count, 2, scriptName);
    SetDlgItemText(IDC_CAPTION, "");
    SetDlgItemText(IDC_RESOURCE_ID, "");
    SetDlgItemText(IDC_SCRIPT_NAME, "");
    UpdateButtons();
    GetDlgItem(IDC_CAPTION)->SetFocus();
}

void CChildListStep::SwapRows(int nFirst, int nSecond)
{
    for (int column = 0; column < 3; ++column) {
        CString first = m_list.GetItemText(nFirst, column);
        m_list.SetItemText(nFirst, column, m_list.GetItemText(nSecond, column));
        m_list.SetItemText(nSecond, column, first);
    }
}

void CChildListStep::OnUp()
{
    int row = Selection();
    if (row <= 0)
        return;
    SwapRows(row - 1, row);
    Select(row - 1);
    UpdateButtons();
}

void CChildListStep::OnDown()
{
    int row = Selection();
    if (row < 0 || row >= m_list.GetItemCount() - 1)
        return;
    SwapRows(row, row + 1);
    Select(row + 1);
    UpdateButtons();
}

void CChildListStep::OnRemove()
{
    int row = Selection();
    if (row < 0)
        return;
    m_list.DeleteItem(row);
    UpdateButtons();
}

BOOL CChildListStep::OnDismiss()
{
    int oldCount = CountOf(m_dictionary, Key("COUNT"));
    m_dictionary.RemoveKey(Key("COUNT"));
    for (int i = 0; i < oldCount; ++i) {
        m_dictionary.RemoveKey(Key("CAPTION", i));
        m_dictionary.RemoveKey(Key("IDNAME", i));
        m_dictionary.RemoveKey(Key("IDVAL", i));
        m_dictionary.RemoveKey(Key("SCRIPTNAME", i));
    }
    // The numeric ids follow the list order, whatever the defaults said.
    int count = m_list.GetItemCount();
    CString value;
    value.Format("%d", count);
    m_dictionary[Key("COUNT")] = value;
    for (int i = 0; i < count; ++i) {
        m_dictionary[Key("CAPTION", i)] = m_list.GetItemText(i, 0);
        m_dictionary[Key("IDNAME", i)] = m_list.GetItemText(i, 1);
        value.Format("%d", 3000 + i);
        m_dictionary[Key("IDVAL", i)] = value;
        m_dictionary[Key("SCRIPTNAME", i)] = m_list.GetItemText(i, 2);
    }
    return TRUE;
}
