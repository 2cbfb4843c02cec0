// The main frame's toolbar manager: default toolbars and the bars of a saved arrangement,
// the user's show choices, toolbars by name, and the user-defined button groups with the
// bookkeeping of their command ids.
#pragma once

#include <qxtoolkit.h>

#include "CustomToolBar.h"
#include "FramesApi.h"
#include "UserDefButtons.h"

class CMainFrame;

class QXFRAMES_API SECToolBarManagerEx : public SECToolBarManager
{
    DECLARE_DYNAMIC(SECToolBarManagerEx)
public:
    enum { UsedIdCount = 1501, FirstUserId = 47649, LastUserId = 49150 };

    SECToolBarManagerEx();
    explicit SECToolBarManagerEx(CRuntimeClass* pToolBarClass);
    explicit SECToolBarManagerEx(CFrameWnd* pFrame);
    SECToolBarManagerEx(CFrameWnd* pFrame, CRuntimeClass* pToolBarClass);
    ~SECToolBarManagerEx() override;

    CMainFrame* GetMainFrame() const;

    SECControlBar* DynCreateControlBar(SECControlBarInfo* pInfo) override;
    SECControlBarInfoEx* CreateControlBarInfoEx(SECControlBarInfo* pInfo) override;
    void BarNotify(UINT nBarID, int nCode) override;
    CRuntimeClass* GetToolBarRuntimeClass(UINT nID) override;
    void RemoveEmptyToolbars();
    // The pictures of the button groups too are made again in the new button colours.
    void OnSysColorChange() override;

    // Toolbars by name: the window text without leading blanks, ignoring case.
    CQUCustomToolBar* FindTbarByName(LPCTSTR lpszName);
    BOOL TbarExists(LPCTSTR lpszName);
    BOOL TbarIsOpen(LPCTSTR lpszName);
    BOOL OpenTbar(LPCTSTR lpszName, BOOL bShow);
    BOOL DeleteTbar(LPCTSTR lpszName);
    BOOL GetTbarsNames(CString& strNames);
    BOOL MakeUserDefTbar(LPCTSTR lpszGroup, LPCTSTR lpszToolBar, int nCount, int nFirst);

    // User-defined button groups
    BOOL AddUserDefBtnsGroups();
    BOOL AddUserDefBtnsGroups1(LPCTSTR lpszFile, BOOL bSystem);
    void ScenKeysUserDefined(const char* pszKeys, LPCTSTR lpszFile, LPCTSTR lpszSection, BOOL bIdsPass,
                             BOOL bSystem);
    BOOL AddUserDefButtons(LPCTSTR lpszIniFile, LPCTSTR lpszName, BOOL bSystem, LPCTSTR lpszBitmapFile, int nCount,
                           int nMode);
    CTypedPtrArray<CPtrArray, CQUUserDefButtons*>& GetUserDefBtnsGroupsArray() { return m_groups; }
    int GetCurrentButtonGroup(UINT nID) const;
    int GetGroupWithName(LPCTSTR lpszName) const;
    CQUUserDefButtons* GetGroupWithIniFile(LPCTSTR lpszFile) const;
    UINT GetNextAvailableId();
    int GetAllUserBtnsUsedIds(LPCTSTR lpszIniFile, LPCTSTR lpszKey, int nFirstIndex, BOOL bSystem);
    BOOL IsUsedId(UINT nID) const;
    void AddToUsedIds(UINT nID);
    void RemoveFromUsedIds(UINT nID);
    BOOL IsPostRelease60FirstTime();

    // Module bars of the kernel (bar ids 10000 to 10100), found by the module's id.
    class CQUIMToolbar* FindUIMBar(int nModuleID);
    UINT FindUnusedBarID();
    class CQUIMToolbar* CreateUIMBar(UINT nBarID, LPCTSTR lpszTitle, const SIZE* pSize, BOOL bVisible);
    // The module's bar, made (floating) when it has none; null when it cannot be made.
    class CQUIMToolbar* GetUIMBar(int nModuleID, LPCTSTR lpszTitle, const SIZE* pSize, BOOL bVisible);
    class CQUIMToolbar* DynCreateUIMBar(SECControlBarInfo* pInfo);
    BOOL OnSizeChange(int nModuleID, int cx, int cy, int nFlag);
    BOOL ShowUIMBar(int nModuleID, BOOL bShow, DWORD dwFlags);
    BOOL IsUIMBarVisible(int nModuleID);
    BOOL IsUIMBarGloballyVisible(int nModuleID);
    BOOL InitChildUIM(int nModuleID, HWND hWnd, DWORD dwFlags);
    CControlBar* CreateSavedBar(SECControlBarInfo* pInfo) override;

    // The id counters start again (a new program run).
    static void ResetIdCounters();

protected:
    CRuntimeClass* m_pDefaultToolBarClass;
    CTypedPtrArray<CPtrArray, CQUUserDefButtons*> m_groups;
    UINT* m_pUsedIds;   // UsedIdCount entries, 0 a free slot

    void InitManager(CRuntimeClass* pToolBarClass);
};

// The main frame's manager while the frame lives, else null.
QXFRAMES_API SECToolBarManagerEx* QUGetToolBarManager();
QXFRAMES_API void QUSetToolBarManager(SECToolBarManagerEx* pManager);
