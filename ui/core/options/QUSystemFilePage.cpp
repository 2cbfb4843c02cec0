// The File Locations page and its two dialogs.
#include "QUSystemFilePage.h"

#include <afxres.h>

#include "OptionsResources.h"
#include "QKAccess.h"
#include "QKUtil.h"

namespace {

// The group the page keeps out of the groups list: templates are found by the program,
// not chosen by the user.
const char kHiddenGroup[] = "TEMPLATE";
const char kAsciiGroup[] = "ASCII";

} // namespace

int CQUSystemFilePage::s_shown = 0;

BEGIN_MESSAGE_MAP(CQUSystemFilePage, CQUSystemPropertyPage)
    ON_BN_CLICKED(IDC_QU_FILE_MODIFY, OnModify)
    ON_BN_CLICKED(IDC_QU_FILE_ADD, OnAdd)
    ON_BN_CLICKED(IDC_QU_FILE_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_QU_FILE_TRACK, OnTrack)
    ON_BN_CLICKED(IDC_QU_FILE_TRACK_BETWEEN, OnTrackBetween)
    ON_BN_CLICKED(IDC_QU_FILE_STARTUP, OnStartup)
    ON_BN_CLICKED(IDC_QU_FILE_CURRENT, OnCurrent)
    ON_NOTIFY(NM_CLICK, IDC_QU_FILE_GROUPS, OnListClick)
    ON_NOTIFY(NM_CLICK, IDC_QU_FILE_TYPES, OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_QU_FILE_GROUPS, OnGroupsDoubleClick)
END_MESSAGE_MAP()

CQUSystemFilePage::CQUSystemFilePage() : CQUSystemPropertyPage(IDD_QU_FILES)
{
}

void CQUSystemFilePage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    m_groups.SubclassDlgItem(IDC_QU_FILE_GROUPS, this);
    m_types.SubclassDlgItem(IDC_QU_FILE_TYPES, this);
    m_groups.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_types.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_groups.InitColumns(IDS_QU_GROUP_COLUMNS);
    m_types.InitColumns(IDS_QU_TYPE_COLUMNS);
}

void CQUSystemFilePage::LoadTracking()
{
    QKSysMethodFileExt& ext = GetSystem()->GetRefFileExt();
    m_track = ext.IsTracking() ? 1 : 0;
    m_trackBetween = ext.IsTrackingBetweenSessions() ? 1 : 0;
}

void CQUSystemFilePage::GetData()
{
    CQUSystemPropertyPage::GetData();
    QKSysMethodFileExt& ext = GetSystem()->GetRefFileExt();
    LoadTracking();
    ext.Load(m_startup);
    ext.GetAllGroups(m_current);
    if (m_groups.m_hWnd) {
        FillGroups();
        FillTypes();
        if (m_groups.GetItemCount() > 0)
            m_groups.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CQUSystemFilePage::DoDataExchange(CDataExchange* pDX)
{
    CQUSystemPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_QU_FILE_TRACK, m_track);
    DDX_Check(pDX, IDC_QU_FILE_TRACK_BETWEEN, m_trackBetween);
    int shown = s_shown;
    DDX_Radio(pDX, IDC_QU_FILE_STARTUP, shown);
}

BOOL CQUSystemFilePage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CQUSystemFilePage::SetData()
{
    CQUSystemPropertyPage::SetData();
    QKSysMethodFileExt& ext = GetSystem()->GetRefFileExt();
    ext.EnableTracking(m_track);
    ext.EnableTrackingBetweenSessions(m_trackBetween);
}

int CQUSystemFilePage::Refresh(int reset)
{
    if (!m_hWnd)
        return 0;
    LoadTracking();
    QKSysMethodFileExt& ext = GetSystem()->GetRefFileExt();
    if (reset)
        ext.LoadInternalDefaults(m_startup);
    else
        ext.Load(m_startup);
    FillGroups();
    FillTypes();
    UpdateData(FALSE);
    MarkChanged();
    return 1;
}

void CQUSystemFilePage::SetGroupRow(int row, const CQKFileTypeGroup& group)
{
    m_groups.SetItemText(row, 1, group.GetDefaultPath().c_str());
    m_groups.SetItemText(row, 2, group.GetTypeDescription(group.GetDefaultType()).c_str());
}

void CQUSystemFilePage::FillGroups()
{
    m_groups.DeleteAllItems();
    CQKFileTypeGroupPtrArray& groups = Shown();
    for (int i = 0; i < groups.GetSize(); ++i) {
        const CQKFileTypeGroup* g = groups.GetAt(i);
        if (_stricmp(g->GetName().c_str(), kHiddenGroup) == 0)
            continue;
        int row = m_groups.InsertItem(m_groups.GetItemCount(), g->GetName().c_str());
        m_groups.SetItemData(row, (DWORD_PTR)i);
        SetGroupRow(row, *g);
    }
}

void CQUSystemFilePage::FillTypes()
{
    m_types.DeleteAllItems();
    m_ascii = Shown().GetGroupIndex(kAsciiGroup);
    const CQKFileTypeGroup* ascii = Shown().GetAt(m_ascii);
    if (!ascii)
        return;
    for (int t = 0; t < ascii->GetNumTypes(); ++t) {
        int row = m_types.InsertItem(t, ascii->GetTypeDescription(t).c_str());
        m_types.SetItemText(row, 1, ascii->GetTypeExtensions(t).c_str());
        m_types.SetItemData(row, (DWORD_PTR)t);
    }
}

void CQUSystemFilePage::MarkChanged(bool startup)
{
    CQUSystemPropertySheet* sheet = GetSheet();
    if (m_notTouched || !sheet)
        return;
    if (startup || !s_shown) {
        sheet->m_askToSave = 1;
        sheet->m_saveFileGroups = 1;
    } else {
        sheet->m_setFileGroups = 1;
    }
}

void CQUSystemFilePage::ShowArray(int shown)
{
    if (shown == s_shown)
        return;
    SetShownArray(shown);
    FillGroups();
    FillTypes();
}

void CQUSystemFilePage::OnStartup()
{
    ShowArray(0);
}

void CQUSystemFilePage::OnCurrent()
{
    ShowArray(1);
}

void CQUSystemFilePage::OnTrack()
{
    m_track = !m_track;
    MarkChanged(true);
}

void CQUSystemFilePage::OnTrackBetween()
{
    m_trackBetween = !m_trackBetween;
    MarkChanged(true);
}

void CQUSystemFilePage::OnModify()
{
    int row = m_groups.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    CQKFileTypeGroup* group = Shown().GetAt((int)m_groups.GetItemData(row));
    if (!group)
        return;
    CFileExtGroupDefaultsDlg dlg(*group, this);
    if (dlg.DoModal() != IDOK)
        return;
    MarkChanged();
    SetGroupRow(row, *group);
}

void CQUSystemFilePage::OnAdd()
{
    CQKFileTypeGroup* ascii = Shown().GetAt(m_ascii);
    if (!ascii)
        return;
    CFileExtGroupAddTypeDlg dlg(*ascii, this);
    if (dlg.DoModal() != IDOK)
        return;
    if (!ascii->AddType((LPCTSTR)dlg.m_description, (LPCTSTR)dlg.m_pattern))
        return;
    FillTypes();
    MarkChanged();
}

void CQUSystemFilePage::OnDelete()
{
    int row = m_types.GetNextItem(-1, LVNI_SELECTED);
    CQKFileTypeGroup* ascii = Shown().GetAt(m_ascii);
    if (row < 0 || !ascii)
        return;
    ascii->DeleteType((int)m_types.GetItemData(row));
    FillTypes();
    MarkChanged();
}

void CQUSystemFilePage::OnListClick(NMHDR* nmhdr, LRESULT* result)
{
    (nmhdr->idFrom == IDC_QU_FILE_GROUPS ? m_groups : m_types).SelectItemAtMessagePos();
    *result = 0;
}

void CQUSystemFilePage::OnGroupsDoubleClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    if (m_groups.SelectItemAtMessagePos() >= 0)
        OnModify();
}

// ---- File Extension Group Defaults ----

BEGIN_MESSAGE_MAP(CFileExtGroupDefaultsDlg, CDialog)
    ON_BN_CLICKED(IDC_QU_GD_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CFileExtGroupDefaultsDlg::CFileExtGroupDefaultsDlg(CQKFileTypeGroup& group, CWnd* parent)
    : CDialog(IDD_QU_GROUP_DEFAULTS, parent), m_group(group)
{
}

BOOL CFileExtGroupDefaultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_QU_GD_NAME, m_group.GetName().c_str());
    SetDlgItemText(IDC_QU_GD_PATH, m_group.GetDefaultPath().c_str());
    CComboBox* types = (CComboBox*)GetDlgItem(IDC_QU_GD_TYPES);
    for (int t = 0; t < m_group.GetNumTypes(); ++t)
        types->AddString(m_group.GetTypeDescription(t).c_str());
    types->SetCurSel(m_group.GetDefaultType());
    return TRUE;
}

void CFileExtGroupDefaultsDlg::OnBrowse()
{
    CString text;
    GetDlgItemText(IDC_QU_GD_PATH, text);
    std::string folder = (LPCTSTR)text;
    if (qkuBrowseForFolder(m_hWnd, m_group.GetName().c_str(), folder))
        SetDlgItemText(IDC_QU_GD_PATH, folder.c_str());
}

void CFileExtGroupDefaultsDlg::OnOK()
{
    CString path;
    GetDlgItemText(IDC_QU_GD_PATH, path);
    path.TrimLeft();
    path.TrimRight();
    if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\')
        path += '\\';
    if (!path.IsEmpty() && !CQKCString((LPCTSTR)path).IsPathValid()) {
        CString format, message, caption;
        format.LoadString(IDS_QU_MISSING_FOLDER);
        message.Format(format, (LPCTSTR)path);
        if (!caption.LoadString(AFX_IDS_APP_TITLE) && AfxGetApp())
            caption = AfxGetApp()->m_pszAppName;
        if (MessageBox(message, caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    m_group.SetDefaultPath((LPCTSTR)path);
    int type = (int)SendDlgItemMessage(IDC_QU_GD_TYPES, CB_GETCURSEL, 0, 0);
    if (type >= 0)
        m_group.SetDefaultType(type);
    EndDialog(IDOK);
}

// ---- Add File Extension Type ----

CFileExtGroupAddTypeDlg::CFileExtGroupAddTypeDlg(CQKFileTypeGroup& group, CWnd* parent)
    : CDialog(IDD_QU_GROUP_ADD_TYPE, parent), m_group(group)
{
}

BOOL CFileExtGroupAddTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_QU_AT_NAME, m_group.GetName().c_str());
    SendDlgItemMessage(IDC_QU_AT_DESCRIPTION, EM_LIMITTEXT, CQKFileTypeGroup::MAX_DESCRIPTION, 0);
    SendDlgItemMessage(IDC_QU_AT_PATTERN, EM_LIMITTEXT, CQKFileTypeGroup::MAX_PATTERN, 0);
    return TRUE;
}

void CFileExtGroupAddTypeDlg::OnOK()
{
    GetDlgItemText(IDC_QU_AT_DESCRIPTION, m_description);
    GetDlgItemText(IDC_QU_AT_PATTERN, m_pattern);
    m_pattern.TrimLeft();
    m_pattern.TrimRight();
    // A type without a pattern matches no file: the dialog stays for one.
    if (m_pattern.IsEmpty()) {
        GetDlgItem(IDC_QU_AT_PATTERN)->SetFocus();
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}
