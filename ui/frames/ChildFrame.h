// The MDI child frames of the document windows: their window kind and toolbar bits, what
// closing one means (hide or delete, with the close prompt), and the main frame's bars on
// activation.
#pragma once

#include <afxwin.h>

#include "FramesApi.h"
#include "SpawnFrames.h"

class CQKPage;

// What a document window's view tells its frame: the kernel page it shows and the window
// kind of its document's template (worksheet 0, graph 1, matrix 2, Excel workbook 3,
// layout 4, notes 5). The application's base view implements it.
class QXFRAMES_API IQUPageView
{
public:
    virtual ~IQUPageView() {}
    virtual CQKPage* GetPage() = 0;
    virtual int GetWndTemplateId() = 0;
};

class QXFRAMES_API CChildFrame : public CSpawnMDIChildWnd
{
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame();

    virtual CQKPage* GetPage();
    virtual BOOL OnBeforeActivateDeactivate(BOOL bActivate, CWnd* pActivated, CWnd* pDeactivated);
    virtual int get_wnd_template_id();
    virtual WORD get_wnd_template_bits();
    virtual CQKPage* GetBasePage() { return GetPage(); }
    // The caption's context menu (HTCAPTION only), owned by the main window; the main
    // frame calls it for a maximised child, whose caption it shows. FALSE when none came.
    virtual BOOL VirtualNcRButtonDown(UINT nHitTest, CPoint point);
    // The first popup of a menu resource, found along the resource chain, at a screen
    // point with the main window as its owner; FALSE when there is no such menu.
    BOOL TrackCaptionMenu(UINT nMenuID, CPoint point);
    // What the close box does, from the kernel's close-prompt option of the window's
    // kind: 0 hides the window without asking, 1 asks whether to hide or delete it, any
    // other value (2) deletes it without asking.
    virtual int GetClosePromptSetting();

    IQUPageView* get_page_view();
    BOOL IsActiveMDIChild();
    BOOL Minimize();
    BOOL Maximize();
    BOOL Restore();
    BOOL Activate();
    // FALSE for SIZE_MAXSHOW, SIZE_MAXHIDE and the size type already noted.
    BOOL IsWindowStatusChanged(UINT nSizeType);
    BOOL OnGeneralToolsUpdate(CCmdUI* pCmdUI);
    HMENU get_shared_menu() const { return m_hMenuShared; }
    void set_shared_menu(HMENU hMenu) { m_hMenuShared = hMenu; }

protected:
    UINT m_nLastSizeType;
    int m_nLoadingShowCmd;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Ctrl+F6 and Ctrl+Shift+F6: activates the next (previous) shown window in the order of
    // the project's pages; FALSE when there is no other.
    BOOL ActivateNextInProject(BOOL bPrevious);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCloseBox();
    void OnMDIActivateFrame(BOOL bActivate, HWND hActivated, HWND hDeactivated);
};

// The "hide or delete" question of closing a window: IDOK hides, 7 deletes, IDCANCEL.
class QXFRAMES_API CQUWndClosePrompt : public CDialog
{
public:
    CQUWndClosePrompt(CWnd* pParent = nullptr);
    CString m_strCaption;
    CString m_strMessage;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
