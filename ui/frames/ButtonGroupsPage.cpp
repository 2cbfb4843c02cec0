#include "ButtonGroupsPage.h"

#include <QKAccess.h>
#include <afxdlgs.h>

#include "ButtonDialogs.h"
#include "FrameHost.h"
#include "FramesResource.h"
#include "ToolBarManagerEx.h"
#include "UserDefButtons.h"

namespace {

int GroupMessage(CWnd* pOwner, const CString& strText, UINT nType = MB_OK)
{
    CString strCaption;
    strCaption.LoadString(IDS_BG_CAPTION);
    return ::MessageBoxA(pOwner->GetSafeHwnd(), strText, strCaption, nType);
}

CString LoadText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQUCathegoriesToolBar

IMPLEMENT_DYNCREATE(CQUCathegoriesToolBar, SECCustomizeToolBar)

LRESULT CQUCathegoriesToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = SECCustomizeToolBar::WindowProc(message, wParam, lParam);
    if (message == WM_LBUTTONDOWN && GetSelectedButton() >= 0) {
        CWnd* pPage = GetParent();
        if (pPage != nullptr) {
            pPage->GetDlgItem(IDC_BG_SETTINGS)->EnableWindow(TRUE);
            if (!m_bReadOnly)
                pPage->GetDlgItem(IDC_BG_DELETE_BUTTON)->EnableWindow(TRUE);
        }
    }
    return lResult;
}

SECCustomizeToolBar* QUBtnGroup::NewBar()
{
    CQUCathegoriesToolBar* pBar = new CQUCathegoriesToolBar;
    pBar->m_bReadOnly = m_bReadOnly;
    return pBar;
}

/////////////////////////////////////////////////////////////////////////////
// SECToolBarCmdPageEx

IMPLEMENT_DYNCREATE(SECToolBarCmdPageEx, SECToolBarCmdPage)

SECToolBarCmdPageEx::SECToolBarCmdPageEx()
    : SECToolBarCmdPage(IDD_BUTTON_GROUPS_PAGE), m_bIsUserGroup(FALSE), m_nCurrentUserGroup(0), m_nUserGroupCount(0)
{
}

SECToolBarManagerEx* SECToolBarCmdPageEx::GetManagerEx() const
{
    return DYNAMIC_DOWNCAST(SECToolBarManagerEx, m_pManager);
}

void SECToolBarCmdPageEx::DefineBtnGroup(UINT nNameID, int nCount, const UINT* pIds)
{
    CString strName = LoadText(nNameID);
    m_groupNames.Add(strName);
    AddGroup(new SECTBBtnGroup(strName, nCount, pIds));
}

void SECToolBarCmdPageEx::DefineBtnGroupUser(LPCTSTR lpszName, int nCount, const UINT* pIds, BOOL bReadOnly)
{
    AddGroup(new QUBtnGroup(lpszName, nCount, pIds, bReadOnly));
}

CString SECToolBarCmdPageEx::MakeGroupNameUnique(const CString& strName)
{
    int n = 0;
    for (int i = 0; i < GetGroupCount(); i++)
        if (GetGroup(i)->m_strName.CompareNoCase(strName) == 0)
            n++;
    if (n == 0)
        return strName;
    CString strUnique;
    strUnique.Format("%s %d", (LPCTSTR)strName, n);
    return strUnique;
}

BOOL SECToolBarCmdPageEx::CheckGroupNameExists(const CString& strName)
{
    for (int i = 0; i < GetGroupCount(); i++)
        if (GetGroup(i)->m_strName.CompareNoCase(strName) == 0)
            return TRUE;
    return FALSE;
}

void SECToolBarCmdPageEx::DefineUserDefBtnGroups()
{
    SECToolBarManagerEx* pManager = GetManagerEx();
    if (pManager == nullptr)
        return;
    auto& groups = pManager->GetUserDefBtnsGroupsArray();
    m_nUserGroupCount = (int)groups.GetSize();
    for (INT_PTR i = 0; i < groups.GetSize(); i++) {
        CQUUserDefButtons* pGroup = groups[i];
        pGroup->RefreshIds();
        CString strName = pGroup->GetName().IsEmpty() ? CString("User Defined") : pGroup->GetName();
        strName = MakeGroupNameUnique(strName);
        pGroup->SetName(strName);
        m_userGroupNames.Add(strName);
        m_groupNames.Add(strName);
        DefineBtnGroupUser(strName, pGroup->GetButtonCount(), pGroup->GetIds(), pGroup->IsSystem());
    }
}

CQUUserDefButtons* SECToolBarCmdPageEx::GetCurrentUserDefBtnsGroup() const
{
    SECToolBarManagerEx* pManager = GetManagerEx();
    if (pManager == nullptr)
        return nullptr;
    auto& groups = pManager->GetUserDefBtnsGroupsArray();
    return m_nCurrentUserGroup >= 0 && m_nCurrentUserGroup < groups.GetSize() ? groups[m_nCurrentUserGroup] : nullptr;
}

BOOL SECToolBarCmdPageEx::OnInitDialog()
{
    SECToolBarCmdPage::OnInitDialog();
    CWnd* pList = GetDlgItem(IDC_BG_LIST);
    int cxMax = 0;
    HDC hdc = ::GetDC(pList->m_hWnd);
    for (int i = 0; i < GetGroupCount(); i++) {
        SIZE size = {};
        ::GetTextExtentPoint32A(hdc, GetGroup(i)->m_strName, GetGroup(i)->m_strName.GetLength(), &size);
        cxMax = std::max(cxMax, (int)size.cx);
    }
    ::ReleaseDC(pList->m_hWnd, hdc);
    pList->SendMessage(LB_SETHORIZONTALEXTENT, cxMax + 8);
    return TRUE;
}

void SECToolBarCmdPageEx::SetupUserDefButtonsControls(BOOL bReadOnly, BOOL bUserGroup)
{
    BOOL bWritable = bUserGroup && !bReadOnly;
    GetDlgItem(IDC_BG_SETTINGS)->EnableWindow(FALSE);
    for (int nID : {IDC_BG_BITMAP_LABEL, IDC_BG_NAME_LABEL, IDC_BG_NAME, IDC_BG_BITMAP})
        GetDlgItem(nID)->EnableWindow(bUserGroup);
    GetDlgItem(IDC_BG_BITMAP)->SendMessage(EM_SETREADONLY, bReadOnly);
    GetDlgItem(IDC_BG_NAME)->SendMessage(EM_SETREADONLY, bReadOnly);
    for (int nID : {IDC_BG_BROWSE, IDC_BG_DELETE_GROUP, IDC_BG_ADD_BUTTON, IDC_BG_EXPORT})
        GetDlgItem(nID)->EnableWindow(bWritable);
    GetDlgItem(IDC_BG_DELETE_BUTTON)->EnableWindow(FALSE);
}

void SECToolBarCmdPageEx::UpdateControls()
{
    m_bIsUserGroup = FALSE;
    int nSel = (int)GetDlgItem(IDC_BG_LIST)->SendMessage(LB_GETCURSEL);
    if (nSel >= 0) {
        char szText[256] = "";
        GetDlgItem(IDC_BG_LIST)->SendMessage(LB_GETTEXT, nSel, (LPARAM)szText);
        for (INT_PTR i = 0; i < m_userGroupNames.GetSize(); i++)
            if (m_userGroupNames[i] == szText) {
                m_nCurrentUserGroup = (int)i;
                m_bIsUserGroup = TRUE;
                break;
            }
    }
    CQUUserDefButtons* pGroup = m_bIsUserGroup ? GetCurrentUserDefBtnsGroup() : nullptr;
    BOOL bReadOnly = TRUE, bUser = FALSE;
    if (pGroup != nullptr) {
        m_strBitmapText = pGroup->GetBitmapPath();
        bReadOnly = pGroup->IsSystem();
        bUser = TRUE;
    } else {
        m_strBitmapText.Empty();
    }
    SetupUserDefButtonsControls(bReadOnly, bUser);
    SetDlgItemText(IDC_BG_BITMAP, m_strBitmapText);
    SetDlgItemText(IDC_BG_NAME, m_strGroupNameText);
}

void SECToolBarCmdPageEx::OnSelChange()
{
    SECToolBarCmdPage::OnSelChange();
    int nSel = (int)GetDlgItem(IDC_BG_LIST)->SendMessage(LB_GETCURSEL);
    char szText[256] = "";
    if (nSel >= 0)
        GetDlgItem(IDC_BG_LIST)->SendMessage(LB_GETTEXT, nSel, (LPARAM)szText);
    m_strGroupNameText = szText;
    UpdateControls();
}

void SECToolBarCmdPageEx::SetDescriptionUserDefined(int nIndex)
{
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (nIndex == -1 || pGroup == nullptr || nIndex >= pGroup->GetButtonCount()) {
        SetDlgItemText(IDC_BG_DESCRIPTION, "");
        return;
    }
    SetDlgItemText(IDC_BG_DESCRIPTION, pGroup->GetButton(nIndex)->StatusBarMsg);
}

LRESULT SECToolBarCmdPageEx::OnBarNotify(WPARAM wParam, LPARAM lParam)
{
    if (m_pManager == nullptr || lParam != 4 || m_nShownGroup < 0)
        return 0;
    if (!m_bIsUserGroup)
        return SECToolBarCmdPage::OnBarNotify(wParam, lParam);
    SECCustomizeToolBar* pBar = GetGroup(m_nShownGroup)->m_pBar;
    SetDescriptionUserDefined(pBar != nullptr ? pBar->GetSelectedButton() : -1);
    return 0;
}

BOOL SECToolBarCmdPageEx::GetCurrentButton(UINT& nID, BOOL bButton, int& nIndex)
{
    if (m_nShownGroup < 0 || GetGroup(m_nShownGroup)->m_pBar == nullptr)
        return FALSE;
    if (!bButton)
        return TRUE;
    SECCustomizeToolBar* pBar = GetGroup(m_nShownGroup)->m_pBar;
    nIndex = pBar->GetSelectedButton();
    if (nIndex < 0)
        return FALSE;
    nID = pBar->GetSelectedCommand();
    return TRUE;
}

void SECToolBarCmdPageEx::ReplaceBar()
{
    // The shown bar made anew from the group's buttons, in the box.
    if (m_nShownGroup < 0)
        return;
    SECBtnGroup* pEntry = GetGroup(m_nShownGroup);
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (pEntry->m_pBar == nullptr || pGroup == nullptr)
        return;
    pGroup->RefreshIds();
    pEntry->m_ids.RemoveAll();
    for (int i = 0; i < pGroup->GetButtonCount(); i++)
        pEntry->m_ids.Add(pGroup->GetIds()[i]);
    CArray<UINT, UINT> ids;
    for (INT_PTR i = 0; i < pEntry->m_ids.GetSize(); i++)
        ids.Add(pEntry->m_ids[i]);
    pEntry->m_pBar->SetButtons(ids.GetData(), (int)ids.GetSize());
    pEntry->PlaceBar(GetBarRect());
    pEntry->m_pBar->Invalidate();
}

void SECToolBarCmdPageEx::OnModifyButton()
{
    UINT nID = 0;
    int nIndex = -1;
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (!m_bIsUserGroup || pGroup == nullptr || !GetCurrentButton(nID, TRUE, nIndex))
        return;
    pGroup->ModifyButtonWithDialog(nIndex, GetManagerEx());
    SetDescriptionUserDefined(nIndex);
}

void SECToolBarCmdPageEx::OnDeleteUserButton()
{
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (!m_bIsUserGroup || pGroup == nullptr || pGroup->IsSystem())
        return;
    if (pGroup->GetButtonCount() == 1) {
        OnDeleteGroup();
        return;
    }
    UINT nID = 0;
    int nIndex = -1;
    if (!GetCurrentButton(nID, TRUE, nIndex))
        return;
    pGroup->DeleteButton(nID, nIndex, GetManagerEx());
    ReplaceBar();
    GetDlgItem(IDC_BG_SETTINGS)->EnableWindow(FALSE);
    GetDlgItem(IDC_BG_DELETE_BUTTON)->EnableWindow(FALSE);
}

void SECToolBarCmdPageEx::OnAddUserButton()
{
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (!m_bIsUserGroup || pGroup == nullptr)
        return;
    if (pGroup->GetButtonCount() >= CQUUserDefButtons::MaxButtons) {
        GroupMessage(this, LoadText(IDS_BG_FULL));
        return;
    }
    if (pGroup->AddButtonWithDialog(GetManagerEx()) != 0)
        ReplaceBar();
}

void SECToolBarCmdPageEx::OnDeleteGroup()
{
    if (GroupMessage(this, LoadText(IDS_BG_DELETE_GROUP), MB_YESNO) == IDNO)
        return;
    CWnd* pList = GetDlgItem(IDC_BG_LIST);
    int nSel = (int)pList->SendMessage(LB_GETCURSEL);
    SECToolBarManagerEx* pManager = GetManagerEx();
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (nSel < 0 || pManager == nullptr || pGroup == nullptr)
        return;
    CString strName = pGroup->GetName();
    CString strFile = pGroup->GetIniFileFullPath();
    pGroup->RemoveImages(pManager);
    for (int i = 0; i < pGroup->GetButtonCount(); i++)
        pManager->RemoveFromUsedIds(pGroup->GetIds()[i]);
    auto& groups = pManager->GetUserDefBtnsGroupsArray();
    groups.RemoveAt(m_nCurrentUserGroup);
    delete pGroup;

    pList->SendMessage(LB_DELETESTRING, nSel);
    m_userGroupNames.RemoveAt(m_nCurrentUserGroup);
    m_nUserGroupCount--;
    RemoveGroup(nSel);
    int nNext = nSel > 0 ? nSel - 1 : 0;
    if (pList->SendMessage(LB_GETCOUNT) > 0) {
        pList->SendMessage(LB_SETCURSEL, nNext);
        OnSelChange();
    }
    Invalidate();

    // Gone from the settings' list, the registry and the disk.
    ::WritePrivateProfileStringA("UserDefinedButtons", strName, nullptr, QUUserSettingsFile());
    char szKey[MAX_PATH] = "";
    QUGetFrameHost()->GetToolbarRegKeyString(szKey, FALSE);
    qkuDeleteRegKey(HKEY_CURRENT_USER, CString("Software\\") + szKey + "\\UserGroupsBtnsIds\\" + strName);
    if (qkuFileExists(strFile))
        qkuDeleteFile(strFile);
}

void SECToolBarCmdPageEx::OnExportCategory()
{
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (m_bIsUserGroup && pGroup != nullptr && GetDlgItem(IDC_BG_LIST)->SendMessage(LB_GETCURSEL) >= 0)
        pGroup->ExportWithDialog(GetManagerEx());
}

void SECToolBarCmdPageEx::OnKillFocusGroupName()
{
    CWnd* pList = GetDlgItem(IDC_BG_LIST);
    int nSel = (int)pList->SendMessage(LB_GETCURSEL);
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (nSel < 0 || !m_bIsUserGroup || pGroup == nullptr || pGroup->IsSystem())
        return;
    GetDlgItemText(IDC_BG_NAME, m_strGroupNameText);
    CString strOld = pGroup->GetName();
    if (m_strGroupNameText.IsEmpty() || m_strGroupNameText == strOld)
        return;
    m_userGroupNames[m_nCurrentUserGroup] = m_strGroupNameText;
    GetGroup(nSel)->m_strName = m_strGroupNameText;
    pGroup->SetName(m_strGroupNameText);
    pGroup->WriteGroupName();
    pList->SendMessage(LB_DELETESTRING, nSel);
    pList->SendMessage(LB_INSERTSTRING, nSel, (LPARAM)(LPCTSTR)m_strGroupNameText);
    pList->SendMessage(LB_SETCURSEL, nSel);
    CString strSettings = QUUserSettingsFile();
    ::WritePrivateProfileStringA("UserDefinedButtons", strOld, nullptr, strSettings);
    ::WritePrivateProfileStringA("UserDefinedButtons", m_strGroupNameText, pGroup->MakeRelative(pGroup->GetIniPath()),
                                 strSettings);
    char szKey[MAX_PATH] = "";
    QUGetFrameHost()->GetToolbarRegKeyString(szKey, FALSE);
    qkuDeleteRegKey(HKEY_CURRENT_USER, CString("Software\\") + szKey + "\\UserGroupsBtnsIds\\" + strOld);
    pGroup->WriteIds(FALSE, TRUE);
    UpdateControls();
}

void SECToolBarCmdPageEx::OnChangeBitmap()
{
    UINT nID = 0;
    int nIndex = -1;
    if (!GetCurrentButton(nID, FALSE, nIndex))
        return;
    CFileDialog dlg(TRUE, "bmp", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                    "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||", this);
    if (dlg.DoModal() != IDOK)
        return;
    CQUUserDefButtons* pGroup = GetCurrentUserDefBtnsGroup();
    if (m_bIsUserGroup && pGroup != nullptr) {
        if (!pGroup->ChangeBitmap(dlg.GetPathName(), GetManagerEx()))
            return;
        ReplaceBar();
    }
    m_strBitmapText = dlg.GetPathName();
    SetDlgItemText(IDC_BG_BITMAP, m_strBitmapText);
    Invalidate();
}

BOOL SECToolBarCmdPageEx::AddBtnGroup()
{
    SECToolBarManagerEx* pManager = GetManagerEx();
    auto& groups = pManager->GetUserDefBtnsGroupsArray();
    if (groups.GetSize() == 0)
        return FALSE;
    m_nUserGroupCount++;
    CQUUserDefButtons* pGroup = groups[groups.GetSize() - 1];
    pGroup->RefreshIds();
    m_userGroupNames.Add(pGroup->GetName());
    m_groupNames.Add(pGroup->GetName());
    DefineBtnGroupUser(pGroup->GetName(), pGroup->GetButtonCount(), pGroup->GetIds(), pGroup->IsSystem());
    return TRUE;
}

BOOL SECToolBarCmdPageEx::AddGroupToList()
{
    int nLast = GetGroupCount() - 1;
    SECBtnGroup* pEntry = GetGroup(nLast);
    if (!pEntry->CreateBar(this, m_pManager, 59568 - GetGroupCount()))
        return FALSE;
    pEntry->PlaceBar(GetBarRect());
    pEntry->Activate(FALSE);
    CWnd* pList = GetDlgItem(IDC_BG_LIST);
    int nItem = (int)pList->SendMessage(LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)pEntry->m_strName);
    pList->SendMessage(LB_SETCURSEL, nItem);
    ShowSelectedToolbar(nLast);
    m_strGroupNameText = pEntry->m_strName;
    UpdateControls();
    return TRUE;
}

void SECToolBarCmdPageEx::OnCreateCategory()
{
    CQUCreateGroupDlg dlg(GetManagerEx(), this);
    if (dlg.DoModal() != IDOK)
        return;
    CFileDialog fileDlg(FALSE, "ini", dlg.m_strGroupName, OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "Ini Files (*.ini)|*.ini||", this);
    if (fileDlg.DoModal() != IDOK)
        return;
    CString strFile = fileDlg.GetPathName();
    CQUUserDefButtons* pOther = GetManagerEx()->GetGroupWithIniFile(strFile);
    if (pOther != nullptr) {
        GroupMessage(this, LoadText(IDS_BG_INI_IN_USE) + pOther->GetName());
        return;
    }
    if (qkuFileExists(strFile))
        qkuDeleteFile(strFile);
    if (GetManagerEx()->AddUserDefButtons(strFile, dlg.m_strGroupName, FALSE, dlg.m_strBitmapFile,
                                          atoi(dlg.m_strButtonCount), CQUUserDefButtons::LoadCreateNew)) {
        AddBtnGroup();
        AddGroupToList();
    }
}

void SECToolBarCmdPageEx::OnAddCategory()
{
    CQUAddGroupDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    CString strFile = dlg.m_strIniFile;
    int nSlash = strFile.ReverseFind('\\');
    if (strFile.Find('.', nSlash + 1) < 0)
        strFile += ".ini";
    if (GetManagerEx()->AddUserDefButtons(strFile, "", FALSE, "", 0, CQUUserDefButtons::LoadAddExisting)) {
        AddBtnGroup();
        AddGroupToList();
    }
}

BOOL SECToolBarCmdPageEx::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    if (nCode == BN_CLICKED) {
        switch (nID) {
        case IDC_BG_SETTINGS: OnModifyButton(); return TRUE;
        case IDC_BG_DELETE_BUTTON: OnDeleteUserButton(); return TRUE;
        case IDC_BG_ADD_BUTTON: OnAddUserButton(); return TRUE;
        case IDC_BG_BROWSE: OnChangeBitmap(); return TRUE;
        case IDC_BG_NEW_GROUP: OnCreateCategory(); return TRUE;
        case IDC_BG_ADD_GROUP: OnAddCategory(); return TRUE;
        case IDC_BG_DELETE_GROUP: OnDeleteGroup(); return TRUE;
        case IDC_BG_EXPORT: OnExportCategory(); return TRUE;
        }
    }
    if (nID == IDC_BG_NAME && nCode == EN_KILLFOCUS) {
        OnKillFocusGroupName();
        return TRUE;
    }
    return SECToolBarCmdPage::OnCommand(wParam, lParam);
}
