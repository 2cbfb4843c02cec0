// The one MDI frame of the application: its status bar, docking bars and toolbars, the
// road by which the kernel reaches them, and the routing of the user-defined buttons.
#pragma once

#include <afxext.h>

#include "ChildFrame.h"
#include "DataDisplay.h"
#include "CustomToolBar.h"
#include "FramesApi.h"
#include "OutputLog.h"
#include "ProjectExplorer.h"
#include "ResizableBar.h"
#include "SpawnFrames.h"
#include "ToolBarManagerEx.h"

class QXFRAMES_API CMainFrame : public CSpawnMDIFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    CQUCustomToolBar* GetToolBar(UINT nID);
    BOOL ShowToolBar(UINT nID, BOOL bShow, BOOL bDelay);
    BOOL SetStatusbarText(LPCTSTR lpszText, BOOL bUpdate);
    void SetPaneSize(int nPane, CString& strText);
    void SetPaneSize(int nPane, int nWidth);
    BOOL SetStatusPaneText(int nPane, LPCTSTR lpszText);
    CChildFrame* get_active_childframe(int* pbMaximized);
    BOOL set_menu_according_to_active_child();
    void UnmaximizeActiveChild();
    void ShowToolBarsOfChildFrame(CChildFrame* pChild);
    CDockExplore* GetProjectExplorer() { return &m_wndExplorer; }
    CQUTreeExplorer* GetTreeExplorer() { return m_wndExplorer.m_hWnd ? m_wndExplorer.GetTreeExplorer() : nullptr; }
    CQUListExplorer* GetListExplorer() { return m_wndExplorer.m_hWnd ? m_wndExplorer.GetListExplorer() : nullptr; }
    BOOL CheckShowProjectExplorer() { return m_wndExplorer.CheckShowProjectExplorer(); }
    CQUOutputLog* GetOutputLog() { return &m_wndOutputLog; }
    BOOL ShowOutputLog() { return m_wndOutputLog.OnFirstActivate(); }
    BOOL OutputLogToggle();
    CQUSpacer* GetSpacer() { return &m_wndSpacer; }
    QUDataDisplay* GetDataDisplay() { return &m_wndDataDisplay; }
    BOOL DataDisplayShow(BOOL bShow);
    BOOL DataDisplayText(LPCTSTR lpszText);
    SECStatusBar* GetStatusBar() { return &m_wndStatusBar; }
    SECToolBarManagerEx* GetToolBarManager() { return m_pToolBarManager; }
    BOOL TlbarsArrangementFilePresent();
    BOOL KeyTlbarsArrangement();
    BOOL IsRegistryWritable();
    long GetTopDockBarVertSize();
    long GetExcelTopDockVertSize();
    long GetMDIClientVertOffset();
    BOOL UsingSpacering();
    BOOL UseSpacer(BOOL) { return 1; }
    void SetSaveTbarsRegistry(int bSave) { m_nSaveToolbars = bSave; }
    int GetSaveTbarsRegistry() const { return m_nSaveToolbars; }
    // Dock bars on the edges the style names: the top one a CQUDockBar, the others
    // SECDockBarEx.
    void EnableDocking(DWORD dwDockStyle);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void GetMessageString(UINT nID, CString& rMessage) const override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void GetDockState(SECDockState& state) override;
    void SaveBarState(LPCTSTR lpszProfileName) override;
    virtual int InitToolbars();
    virtual int InitToolbarResources();
    virtual int DefineDefaultToolbars();
    virtual int DefineBtnGroupsForTlbCommandsPage(class SECToolBarCmdPageEx* pPage);

    afx_msg void OnGeneralToolsUpdate(CCmdUI* pCmdUI);
    // Tool tips of user-defined buttons come from their groups.
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

protected:
    SECStatusBar m_wndStatusBar;
    CDockExplore m_wndExplorer;
    QUDataDisplay m_wndDataDisplay;
    CQUSpacer m_wndSpacer;
    CQUOutputLog m_wndOutputLog;
    SECToolBarManagerEx* m_pToolBarManager;
    int m_nSaveToolbars;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnClose();
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnDevModeChange(LPSTR lpDeviceName);
    afx_msg void OnWinIniChange(LPCSTR lpszSection);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    // Closes every window through the kernel with the OLE user control on; FALSE when the
    // user kept the project open.
    BOOL CloseAllWindows(int nMode);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnViewToolbar();
    afx_msg void OnMoreWindows();
    afx_msg void OnUncheckUI(CCmdUI* pCmdUI);
    afx_msg void on_command_tree(UINT nID);
    afx_msg void on_command_list(UINT nID);
    afx_msg void OnFolderList(UINT nID);
    afx_msg void OnUpdateFolderListUI(CCmdUI* pCmdUI);
    afx_msg void OnCmSpacerResetSize();
    afx_msg void OnCmSpacerRemove();
    afx_msg void OnUserDefinedButton(UINT nID);
    afx_msg void OnUserDefinedButtonsUpdate(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

// Whether a command that runs the script of its string resource can run now: the kernel
// does not refuse it (its kernel side is built and it applies to the active window) and
// its string has a script. Menu items and buttons of other commands are drawn grey.
QXFRAMES_API BOOL QUIsCommandAvailable(const char* pszGroup, UINT nID);

// The application's main window as the main frame, null when it is of another class.
QXFRAMES_API CMainFrame* get_main_frame();
