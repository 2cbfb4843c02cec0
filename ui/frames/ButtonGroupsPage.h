// The "Button Groups" page of the customise sheet: the standard groups of commands and the
// user-defined button groups, whose groups and buttons the page also makes, changes,
// deletes and exports.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"

class CQUUserDefButtons;
class SECToolBarManagerEx;

// The bar of a user-defined group: read-only for a group of the program folder.
class QXFRAMES_API CQUCathegoriesToolBar : public SECCustomizeToolBar
{
    DECLARE_DYNCREATE(CQUCathegoriesToolBar)
public:
    BOOL m_bReadOnly = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class QXFRAMES_API QUBtnGroup : public SECBtnGroup
{
public:
    QUBtnGroup(LPCTSTR lpszName, int nCount, const UINT* pIds, BOOL bReadOnly)
        : SECBtnGroup(lpszName, nCount, pIds), m_bReadOnly(bReadOnly) {}
    SECCustomizeToolBar* NewBar() override;
    BOOL m_bReadOnly;
};

class QXFRAMES_API SECToolBarCmdPageEx : public SECToolBarCmdPage
{
    DECLARE_DYNCREATE(SECToolBarCmdPageEx)
public:
    SECToolBarCmdPageEx();
    SECToolBarManagerEx* GetManagerEx() const;

    void DefineBtnGroup(UINT nNameID, int nCount, const UINT* pIds);
    void DefineBtnGroupUser(LPCTSTR lpszName, int nCount, const UINT* pIds, BOOL bReadOnly);
    void DefineUserDefBtnGroups();
    CString MakeGroupNameUnique(const CString& strName);
    BOOL CheckGroupNameExists(const CString& strName);
    CQUUserDefButtons* GetCurrentUserDefBtnsGroup() const;
    BOOL IsUserGroup() const { return m_bIsUserGroup; }
    int GetCurrentUserGroup() const { return m_nCurrentUserGroup; }
    const CStringArray& GetUserGroupNames() const { return m_userGroupNames; }

    // The actions of the page's buttons, also for the tests that drive them.
    void OnModifyButton();
    void OnDeleteUserButton();
    void OnAddUserButton();
    void OnDeleteGroup();
    void OnExportCategory();
    void OnKillFocusGroupName();
    void OnChangeBitmap();
    void OnCreateCategory();
    void OnAddCategory();
    // Adds the last group of the manager to the page, the list and the bars.
    BOOL AddBtnGroup();
    BOOL AddGroupToList();

protected:
    CStringArray m_groupNames;
    CStringArray m_userGroupNames;
    CString m_strBitmapText;
    CString m_strGroupNameText;
    BOOL m_bIsUserGroup;
    int m_nCurrentUserGroup;
    int m_nUserGroupCount;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSelChange() override;
    LRESULT OnBarNotify(WPARAM wParam, LPARAM lParam) override;
    void UpdateControls();
    void SetupUserDefButtonsControls(BOOL bReadOnly, BOOL bUserGroup);
    void SetDescriptionUserDefined(int nIndex);
    BOOL GetCurrentButton(UINT& nID, BOOL bButton, int& nIndex);
    void ReplaceBar();
};
