// Frames, documents, views and document templates: the document/view part of the
// framework. Included by afxwin.h; not meant to be included alone.
#pragma once

class CDocument;
class CView;
class CFrameWnd;
class CMDIFrameWnd;
class CMDIChildWnd;
class CDocTemplate;
class CControlBar;
class CPrintInfo;
class CPreviewView;
class COleDataObject;
// The drop effects of OLE drags (DROPEFFECT_COPY and its kin).
typedef DWORD DROPEFFECT;

// Messages between frames, views and bars
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_INITIALUPDATE 0x0364
#define WM_RECALCPARENT 0x0368
#define WM_POPMESSAGESTRING 0x0375

// Frame styles
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// UpdateAllViews and OnUpdate hints
#define HINT_UPDATE_WINDOW 0

// What a frame needs to build its view and find its document.
struct CCreateContext
{
    CRuntimeClass* m_pNewViewClass;
    CDocument* m_pCurrentDoc;
    CDocTemplate* m_pNewDocTemplate;
    CView* m_pLastView;
    CFrameWnd* m_pCurrentFrame;
    CCreateContext() { memset(this, 0, sizeof(*this)); }
};

// What WM_SIZEPARENT carries: the rectangle still free, which each bar shrinks by its own
// place, and the deferred positions of a whole layout pass.
struct AFX_SIZEPARENTPARAMS
{
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// Moves a child window within a layout pass (deferred when hDWP is set).
QXAFX_API void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

/////////////////////////////////////////////////////////////////////////////
// CFrameWnd: a frame holding a view (or the MDI client), control bars and a menu.
// Commands go to the active view (which passes them to its document and template), then
// to the frame, then to the application.

class QXAFX_API CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;
    CFrameWnd();
    virtual ~CFrameWnd();

    // Creates the frame from the resources of nIDResource: the title is the string's text
    // before its first newline, and the menu, accelerators and icon of that id are used
    // when they exist (found through the resource chain).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                        CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                        CCreateContext* pContext = nullptr);
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    virtual CFrameWnd* GetActiveFrame();
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    BOOL IsFrameWnd() const { return TRUE; }

    // Lays out the control bars and gives the rest of the client area to the view.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    virtual HACCEL GetDefaultAccelerator();
    void DelayRecalcLayout(BOOL bNotify = TRUE) { m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0); }
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }

    // The status text of a command: its string resource up to the first newline.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    // The status bar (the child with AFX_IDW_STATUS_BAR), or null.
    virtual CWnd* GetMessageBar();
    CString GetTitle() const { return m_strTitle; }
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }

    // Modal state: the frame and the windows it owns that were enabled are disabled, and
    // enabled again when the last EndModalState comes.
    void BeginModalState() override;
    void EndModalState() override;
    BOOL InModalState() const { return m_cModalStack != 0; }

    // Control bars (afxext.h). EnableDocking makes a dock bar along each edge named by
    // CBRS_ALIGN_* bits; DockControlBar puts a bar into one (nDockBarID, or the first edge
    // the bar accepts: top, bottom, left, right); FloatControlBar puts it into a small
    // frame of its own at point (screen).
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000L);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags;
    BOOL m_bAutoMenuEnable;   // menu items with neither update nor command handler are disabled
    HMENU m_hMenuDefault;     // the frame's own menu, shown when no document supplies one
    HACCEL m_hAccelTable;
    UINT m_nIDHelp;
    int m_nWindow;            // this frame's number among its document's frames; -1 for one
    DWORD m_dwPromptContext;
    CRuntimeClass* m_pFloatingFrameClass;
    CPtrList m_listControlBars;   // every bar of this frame, docked, floating or free
    UINT m_nIDTracking;
    UINT m_nIDLastMessage;

protected:
    CView* m_pViewActive;
    CString m_strTitle;
    int m_cModalStack;
    CPtrList m_listDisabledWnds;   // HWNDs the modal state disabled
    BOOL m_bInRecalcLayout;

    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    BOOL OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    LPCTSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHelpPromptAddr(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDDEInitiate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDDEExecute(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDDETerminate(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    // Tool tips of bar buttons: the second part of the command's string ("prompt\ntip").
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    // Help: F1 asks the window with the focus and its parents (WM_COMMANDHELP), else shows
    // the active frame's topic (HID_BASE_RESOURCE + m_nIDHelp); Shift+F1 waits for a click
    // and shows the topic of what was clicked.
    afx_msg void OnHelp();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpIndex();
    afx_msg void OnHelpUsing();
    afx_msg void OnContextHelp();
    DECLARE_MESSAGE_MAP()

    friend class CView;
    friend class CWinApp;
};

/////////////////////////////////////////////////////////////////////////////
// CMDIFrameWnd: the main frame of a multiple-document program. Its client area is the
// system's MDI client; child frames live in it, and the active child's menu (its
// template's shared menu) replaces the frame's own while it is active.

class QXAFX_API CMDIFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();

    // Creates the MDI client; the window list goes into pWindowMenu.
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    // The popup that lists the children: the one holding ID_WINDOW_NEW or the arrange
    // commands, else the second popup from the right.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);

    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate) { ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, (WPARAM)pWndActivate->GetSafeHwnd(), 0); }
    void MDIIconArrange() { ::SendMessage(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    void MDIMaximize(CWnd* pWnd) { ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, (WPARAM)pWnd->GetSafeHwnd(), 0); }
    void MDINext() { ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
    void MDIPrev() { ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 1); }
    void MDIRestore(CWnd* pWnd) { ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, (WPARAM)pWnd->GetSafeHwnd(), 0); }
    void MDICascade(int nType = 0) { ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, nType, 0); }
    void MDITile(int nType = MDITILE_HORIZONTAL) { ::SendMessage(m_hWndMDIClient, WM_MDITILE, nType, 0); }
    CMenu* MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu);

    CFrameWnd* GetActiveFrame() override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    HWND m_hWndMDIClient;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnWindowNew();
    afx_msg BOOL OnMDIWindowCmd(UINT nID);
    afx_msg void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

/////////////////////////////////////////////////////////////////////////////
// CMDIChildWnd: a document window inside the MDI frame.

class QXAFX_API CMDIChildWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CMDIFrameWnd* pParentWnd = nullptr,
                        CCreateContext* pContext = nullptr);

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize() { ::SendMessage(::GetParent(m_hWnd), WM_MDIMAXIMIZE, (WPARAM)m_hWnd, 0); }
    void MDIRestore() { ::SendMessage(::GetParent(m_hWnd), WM_MDIRESTORE, (WPARAM)m_hWnd, 0); }

    void ActivateFrame(int nCmdShow = -1) override;
    BOOL DestroyWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt);
    using CFrameWnd::OnUpdateFrameMenu;

    HMENU m_hMenuShared;   // the template's menu, shown in the MDI frame while active

protected:
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    DECLARE_MESSAGE_MAP()
};

#define ON_WM_MDIACTIVATE() \
    AFX_MSG_VOID(WM_MDIACTIVATE, OnMDIActivate((HWND)_c.lParam == _p->m_hWnd, \
        CWnd::FromHandle((HWND)_c.lParam), CWnd::FromHandle((HWND)_c.wParam)))

/////////////////////////////////////////////////////////////////////////////
// CDocument

class QXAFX_API CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    virtual ~CDocument();

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Sets the path and takes the title from its file name; with bAddToMRU the path joins
    // the application's recent-file list.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    virtual POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    virtual CView* GetNextView(POSITION& rPosition) const { return (CView*)m_viewList.GetNext(rPosition); }
    // Tells every view but pSender through OnUpdate.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = nullptr);
    virtual void UpdateFrameCounts();

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Closes every frame of the document, then deletes it when m_bAutoDelete is set.
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual void OnChangedViewList();
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);
    // Asks whether to save a modified document: TRUE to go on (saved or not), FALSE when
    // the user cancelled or the save failed.
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();
    virtual HMENU GetDefaultMenu();
    virtual HACCEL GetDefaultAccelerator();
    virtual void OnIdle();
    virtual void OnFinalRelease();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    CPtrList m_viewList;
    BOOL m_bModified;
    BOOL m_bAutoDelete;
    BOOL m_bEmbedded;

protected:
    afx_msg void OnFileClose();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    DECLARE_MESSAGE_MAP()

    friend class CDocTemplate;
};

/////////////////////////////////////////////////////////////////////////////
// CPrintInfo: one print job as the view's printing members see it.

class CPrintDialog;

class QXAFX_API CPrintInfo
{
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;     // the dialog, whose m_pd.hDC is the printer's DC once chosen
    BOOL m_bDocObject;
    BOOL m_bPreview;
    BOOL m_bDirect;          // print at once on the current printer, asking nothing
    BOOL m_bContinuePrinting;
    UINT m_nCurPage;
    UINT m_nNumPreviewPages;
    CString m_strPageDesc;
    LPVOID m_lpUserData;
    CRect m_rectDraw;        // the page's printable area, in logical units

    void SetMinPage(UINT nMinPage);
    void SetMaxPage(UINT nMaxPage);
    UINT GetMinPage() const;
    UINT GetMaxPage() const;
    UINT GetFromPage() const;
    UINT GetToPage() const;
};

/////////////////////////////////////////////////////////////////////////////
// CView

class QXAFX_API CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CView();
    virtual ~CView();

    CDocument* GetDocument() const { return m_pDocument; }
    virtual BOOL IsSelected(const CObject* pDocItem) const;

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // Printing. OnPreparePrinting asks for the printer (through DoPreparePrinting unless a
    // view does otherwise); OnPrint draws one page, by default through OnDraw.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Print preview (`OnFilePrintPreview`, map it to ID_FILE_PRINT_PREVIEW) runs the same
    // job on the program's printer without printing: OnPreparePrinting and
    // OnBeginPrinting with m_bPreview set, then for each page shown OnPrepareDC and
    // OnPrint into a picture made for the printer's DC, shown in a window that takes the
    // view's place in its frame. Closing the preview calls OnEndPrintPreview, which ends
    // the job (OnEndPrinting) and gives the frame back to the view.
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView);

    // OLE drops on a view registered through a COleDropTarget: the view refuses them
    // unless it overrides these (OnDropEx -1: let OnDrop decide; OnDrop FALSE: no drop).
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                CPoint point);
    virtual DROPEFFECT OnDragScroll(DWORD dwKeyState, CPoint point);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    CDocument* m_pDocument;

    void PostNcDestroy() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnFilePrint();
    afx_msg void OnFilePrintPreview();
    DECLARE_MESSAGE_MAP()

    friend class CDocument;
    friend class CFrameWnd;
    friend class CPreviewView;
};

// The print preview's window: the pages of one print job as the printer would get them,
// one at a time, with buttons to print, page and close (Escape closes, Page Up and Page
// Down page). It owns the job's print information and printer DC.
class QXAFX_API CPreviewView : public CWnd
{
    DECLARE_DYNAMIC(CPreviewView)
public:
    CPreviewView(CView* pPrintView, CPrintInfo* pInfo, CDC* pPrinterDC);
    ~CPreviewView() override;
    // Puts the window in the view's place in its frame. FALSE when it could not be made.
    BOOL Create();
    CView* GetPrintView() const { return m_pPrintView; }
    CPrintInfo* GetPrintInfo() const { return m_pInfo; }
    CDC* GetPrinterDC() const { return m_pPrinterDC; }
    UINT GetCurrentPage() const { return m_nPage; }
    // Shows page n when the job has it (TRUE), else stays where it is.
    BOOL SetCurrentPage(UINT nPage);
    // The page shown, drawn by the view for the printer; null when the view drew none.
    HENHMETAFILE GetPagePicture();
    // Where the paper and the printable area lie in the client area.
    void GetPaperRects(CRect& paper, CRect& printable) const;
    // Ends the job and gives the frame back to the view (bViewGoing: the view is being
    // destroyed and is not shown again).
    void ClosePreview(BOOL bViewGoing = FALSE);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The preview showing a job of that view, if any.
    static CPreviewView* PASCAL FromPrintView(CView* pView);

protected:
    void PostNcDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    HENHMETAFILE RenderPage(UINT nPage);
    void UpdateButtons();
    CView* m_pPrintView;
    CPrintInfo* m_pInfo;
    CDC* m_pPrinterDC;
    UINT m_nPage;
    HENHMETAFILE m_hPage;   // the picture of m_nPage
    UINT m_nLastPage;       // the last page the view drew, 0 until it ran out
    BOOL m_bClosing;
};

// A view that scrolls a logical area of a fixed size.
class QXAFX_API CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();
    static const SIZE sizeDefault;

    // sizeTotal, sizePage and sizeLine are in logical units of nMapMode.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CPoint GetScrollPosition() const;          // logical units
    CPoint GetDeviceScrollPosition() const;    // pixels
    void ScrollToPosition(POINT pt);           // logical units
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

protected:
    int m_nMapMode;
    CSize m_totalLog, m_totalDev, m_pageDev, m_lineDev;

    void UpdateBars();
    BOOL OnScroll(int nBar, UINT nSBCode);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    DECLARE_MESSAGE_MAP()
};

/////////////////////////////////////////////////////////////////////////////
// Document templates. A template's string resource holds seven fields separated by
// newlines: window title, document name, File New name, filter name, filter extension,
// registry file type id and registry file type name.

class QXAFX_API CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
public:
    virtual ~CDocTemplate();

    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };
    virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);

    virtual void LoadTemplate();
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    // Opens the file, or a new document when lpszPathName is null; null on failure.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    virtual void OnIdle();

    // OLE server and container resources of the template, kept for the OLE layer.
    void SetContainerInfo(UINT nIDOleInPlaceContainer);
    void SetServerInfo(UINT nIDOleEmbedding, UINT nIDOleInPlaceServer = 0,
                       CRuntimeClass* pOleFrameClass = nullptr, CRuntimeClass* pOleViewClass = nullptr);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    UINT m_nIDResource;
    UINT m_nIDServerResource;
    UINT m_nIDEmbeddingResource;
    UINT m_nIDContainerResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CRuntimeClass* m_pOleFrameClass;
    CRuntimeClass* m_pOleViewClass;
    CString m_strDocStrings;
    CCmdTarget* m_pAttachedFactory;
    HMENU m_hMenuInPlace;
    HACCEL m_hAccelInPlace;
    HMENU m_hMenuEmbedding;
    HACCEL m_hAccelEmbedding;
    HMENU m_hMenuInPlaceServer;
    HACCEL m_hAccelInPlaceServer;
};

class QXAFX_API CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    virtual ~CMultiDocTemplate();

    void LoadTemplate() override;
    POSITION GetFirstDocPosition() const override { return m_docList.GetHeadPosition(); }
    CDocument* GetNextDoc(POSITION& rPos) const override { return (CDocument*)m_docList.GetNext(rPos); }
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // "<document name><n>", n counting up from 1 per template; "Untitled" without a name.
    void SetDefaultTitle(CDocument* pDocument) override;

    HMENU m_hMenuShared;
    HACCEL m_hAccelTable;
    CPtrList m_docList;
    UINT m_nUntitledCount;
};

class QXAFX_API CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    virtual ~CSingleDocTemplate();

    POSITION GetFirstDocPosition() const override { return m_pOnlyDoc ? (POSITION)1 : nullptr; }
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    // Reuses the one document and its frame: the old contents are saved (if the user
    // agrees) before they are replaced.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

    CDocument* m_pOnlyDoc;
};

/////////////////////////////////////////////////////////////////////////////
// Command line and recent files

class QXAFX_API CCommandLineInfo : public CObject
{
public:
    CCommandLineInfo();
    virtual ~CCommandLineInfo();
    // Called for each argument; bFlag when it began with '-' or '/' (which is removed).
    virtual void ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

// The most recently used files, newest first, as full paths. In the profile each is
// "File<n>" in the list's section.
class QXAFX_API CRecentFileList
{
public:
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen = 30);
    virtual ~CRecentFileList();

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex) { return m_arrNames[nIndex]; }
    virtual void Remove(int nIndex);
    virtual void Add(LPCTSTR lpszPathName);
    // The menu text of an entry: its file name, or the path shortened to nMaxDispLen
    // when the entry's folder differs from lpszCurDir.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir, BOOL bAtLeastName = TRUE) const;
    // Replaces the menu item of the first entry by one item per entry ("&1 name", ...).
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    virtual void WriteList();

    int m_nSize;
    CString* m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal;   // the menu text shown while the list is empty
};

QXAFX_API BOOL AfxFullPath(LPTSTR lpszPathOut, LPCTSTR lpszFileIn);
QXAFX_API BOOL AfxComparePath(LPCTSTR lpszPath1, LPCTSTR lpszPath2);
