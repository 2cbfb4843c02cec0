// The project explorer: a docking bar with the project's folder tree on the left and the
// current folder's windows and subfolders on the right, with a splitter between them; its
// deletion questions, the properties of what is selected and the find dialog.
#pragma once

#include <afxwin.h>

#include <QKExplorer.h>

#include <string>
#include <vector>

#include "FramesApi.h"
#include "ResizableBar.h"

class CQUProjectExplorerFind;

class QXFRAMES_API CQUTreeExplorer : public CQKTreeExplorer
{
public:
    ~CQUTreeExplorer() override;
    int DeleteFolder(int* askFolders, int* askWindows, HTREEITEM folder, BOOL last) override;
    void OnItemRemoved(HTREEITEM item) override;
    void FindFrom(HTREEITEM item) override;
    void ShowProperties(int type) override;
    BOOL GetContainedText(HTREEITEM item, std::string& text) override;

    CQUProjectExplorerFind* GetFindDialog() const { return m_pFindDlg; }
    void ForgetFindDialog() { m_pFindDlg = nullptr; }

private:
    CQUProjectExplorerFind* m_pFindDlg = nullptr;
};

class QXFRAMES_API CQUListExplorer : public CQKListExplorer
{
public:
    void DeleteSelected() override;
    int DeleteWindow(int* askWindows, CQKPage* page, BOOL last) override;
    void ShowProperties() override;
    BOOL GetContainedText(std::string& text) override;
};

// "W Windows, F Folders" and its shorter forms; FALSE when both are 0.
QXFRAMES_API BOOL QUContainedText(int nWindows, int nFolders, CString& strText);

class QXFRAMES_API CDockExplore : public QCResizableControlBar
{
    DECLARE_DYNAMIC(CDockExplore)
public:
    CDockExplore();

    BOOL Init(CFrameWnd* pFrame);
    CQUTreeExplorer* GetTreeExplorer() { return &m_tree; }
    CQUListExplorer* GetListExplorer() { return &m_list; }
    // Shows the bar when hidden, hides it when shown.
    void ToggleShow();
    BOOL CheckShowProjectExplorer();
    void SetViewModeFromCommand(UINT nID);
    UINT GetViewModeCommand() const;
    double GetTreeShare() const { return m_dTreeShare; }
    // The folder menu of the main menu (ids 28672-28927).
    void UpdateFolderMenu(CCmdUI* pCmdUI);
    void OnFolderMenu(UINT nID);
    // Commands of the explorer's menus: new windows go to the main window, the others to
    // the tree (40992-41039) or the list (41040-41088).
    BOOL RouteCommand(UINT nID);
    // The explorer's keys: Enter and Escape while a label is edited, Escape during a drag,
    // Enter on a folder in the list. TRUE when consumed.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // The profile keys of the saved state: tree share, view mode, list columns.
    void SaveExplorerState();
    void LoadExplorerState();
    int GetYDefaultSize() override { return 140; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void LayoutPanes();
    // Brings tree and list up to date when the project changed under them.
    void SyncWithProject();
    CRect SplitterRect() const;

    CQUTreeExplorer m_tree;
    CQUListExplorer m_list;
    HWND m_hTree = nullptr;
    HWND m_hList = nullptr;
    double m_dTreeShare = 0.5;
    BOOL m_bShowState = TRUE;
    BOOL m_bShowPending = TRUE;
    BOOL m_bSplitterDrag = FALSE;
    std::string m_strTreeSignature;
    std::string m_strListSignature;
};

class QXFRAMES_API CQUConfirmDeleteDlg : public CDialog
{
public:
    CQUConfirmDeleteDlg(LPCTSTR lpszQuestion, BOOL bTwoButtons, CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    CString m_strQuestion;
    BOOL m_bTwoButtons;
};

class QXFRAMES_API CQUProjectExplorerProp : public CDialog
{
public:
    CQUProjectExplorerProp(int nType, CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void Hide(UINT nLabel, UINT nValue);
    void ApplyLabel();
    int m_nType;
    CQKPage* m_pPage = nullptr;
    BOOL m_bChanged = FALSE;
};

class QXFRAMES_API CQUProjectExplorerFind : public CDialog
{
public:
    explicit CQUProjectExplorerFind(CWnd* pParent = nullptr);
    BOOL Create(CWnd* pParent);
    void RefreshStart();
    static int GetSearchFlags() { return s_nFlags; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
    void PostNcDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFind();
    void SaveFlags();

    static int s_nFlags;
    static std::vector<CString> s_history;
};
