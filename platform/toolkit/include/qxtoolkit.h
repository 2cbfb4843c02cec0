// The toolkit of docking bars, toolbars and their state over the application framework.
// Classes carry the prefix SEC. The program derives its frames, bars and toolbar manager
// from them and overrides the hooks named here; see README.md for the contract.
#pragma once

#include <afxwin.h>
#include <afxext.h>
#include <afxtempl.h>
#include <afxdlgs.h>

#ifdef QXTOOLKIT_BUILDING
#define QXTK_API __declspec(dllexport)
#else
#define QXTK_API __declspec(dllimport)
#endif

// The registered window message "WM_BARNOTIFY": wParam the bar's id, lParam the code
// (0 shown, 1 hidden, 3 hidden by its close box, 4 a button of a customisation bar chosen).
QXTK_API UINT SECGetBarNotifyMessage();

// The control id of a frame's menu bar.
#define SEC_IDW_MENUBAR 59647

class SECToolBarManager;
class SECControlBarInfo;
class SECMenuBar;

/////////////////////////////////////////////////////////////////////////////
// SECControlBar: a sizable bar. It keeps one size per docking mode and, while docked in a
// row with others, its portion of the row's length.

class QXTK_API SECControlBar : public CControlBar
{
    DECLARE_DYNAMIC(SECControlBar)
public:
    SECControlBar();
    virtual ~SECControlBar();

    // A bar with a registered window class; dwExStyle is the toolkit's extended style.
    virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                        const RECT& rect = CRect(0, 0, 0, 0));
    DWORD GetExBarStyle() const { return m_dwExStyle; }
    void SetExBarStyle(DWORD dwExStyle) { m_dwExStyle = dwExStyle; }

    // Docking notices: the frame's docking and floating calls send the begin notice before
    // and the plain notice after the move.
    virtual void OnBarBeginDock() {}
    virtual void OnBarBeginFloat() {}
    virtual void OnBarDock() {}
    virtual void OnBarFloat() {}

    // The bar's saved state: GetBarInfoEx fills a record, SetBarInfo applies one.
    virtual void GetBarInfoEx(SECControlBarInfo* pInfo);
    virtual void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // Without LM_COMMIT the size for the mode; with it, nLength becomes the bar's length
    // in that mode (its height with LM_LENGTHY, else its width).
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    float m_fPortion;     // share of its dock row's length, 0 to 1
    DWORD m_dwExStyle;
    CSize m_szDockHorz;   // docked along the top or bottom
    CSize m_szDockVert;   // docked along the left or right
    CSize m_szFloat;      // floating

protected:
    // The left button on the bar's own area (not its controls) drags the bar, or, within
    // a splitter's width of the edge that faces the frame's inside, the thickness of its row.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

/////////////////////////////////////////////////////////////////////////////
// SECDockBar: a dock bar whose rows the program may lay out itself.

class QXTK_API SECDockBar : public CDockBar
{
    DECLARE_DYNAMIC(SECDockBar)
public:
    explicit SECDockBar(BOOL bFloating = FALSE);
    // The index of the bar in m_arrBars, -1 when it is not docked here.
    int FindBar(CControlBar* pBar) const;
    // The entry after nIndex that is a visible bar in the same row; -1 at the row's end.
    int GetNextVisibleBar(int nIndex) const;
    // Puts the bar into row nRow (a new last row when there are fewer) at column nCol.
    void DockControlBarAt(CControlBar* pBar, int nCol, int nRow);
    BOOL IsHorzDock() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || m_bFloating; }
    // A drag of the splitter after the bar at nIndex by nDelta pixels: along the row
    // between two bars, or across the rows (the row's thickness; nDelta as the pointer
    // moved, down or right positive). The toolkit changes only a row's thickness, each
    // sizable bar of the row growing as the pointer moves away from the edge.
    virtual void OnSplitterDrag(int nIndex, BOOL bAcrossRows, int nDelta);

protected:
    // The gap between two bars of a row is a splitter the left button drags.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Follows the pointer with the left button down from ptScreen until it is let go, and
// answers how far it went along (bHorz: x, else y); 0 when Escape or the right button
// called it off.
QXTK_API int SECTrackSplitter(CWnd* pWnd, CPoint ptScreen, BOOL bHorz);

// The floating frame of bars: dragging its caption moves it, or docks its bar when the
// pointer is let go over an edge of the frame the bar may dock to.
class QXTK_API SECMiniDockFrameWnd : public CMiniDockFrameWnd
{
    DECLARE_DYNCREATE(SECMiniDockFrameWnd)
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Follows the pointer from a press of the left button at ptScreen on the bar (its gripper,
// or its floating frame's caption) until the button is let go: over a dock edge of the
// bar's frame that the bar may dock to, the bar docks there, into the row under the
// pointer or a new row; elsewhere it floats with its frame's corner where the pointer
// took it. Escape, the right button or a lost capture leave everything as it was.
// FALSE when the pointer never moved far enough to start a drag.
QXTK_API BOOL SECTrackBarDrag(CControlBar* pBar, CPoint ptScreen);

class QXTK_API SECStatusBar : public CStatusBar
{
    DECLARE_DYNAMIC(SECStatusBar)
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR) override
    { return CStatusBar::Create(pParentWnd, dwStyle, nID); }
};

/////////////////////////////////////////////////////////////////////////////
// Saved bar state. One record per bar, kept in the profile in section
// "<prefix>-Bar<n>"; the list of records in "<prefix>-Summary" ("Bars").

enum SECBarType
{
    SECBarTypeOther = 0,
    SECBarTypeToolBar = 14946,
    SECBarTypeMenuBar = 14947,
};

class QXTK_API SECControlBarInfo
{
public:
    SECControlBarInfo();
    virtual ~SECControlBarInfo();

    UINT m_nBarID;
    int m_nType;            // SECBarType
    BOOL m_bVisible;
    BOOL m_bFloating;
    UINT m_nDockBarID;      // the dock bar it is docked in; 0 when floating
    int m_nRow, m_nCol;     // its place in the dock bar's rows
    float m_fPortion;
    CPoint m_ptFloat;       // the floating frame's position, screen coordinates
    DWORD m_dwStyle;        // the bar style (its docking alignment among it)
    DWORD m_dwExtra;        // one word the program keeps with the bar
    CString m_strWindowName;
    CDWordArray m_arrButtons;   // a toolbar's command ids, 0 for separators

    // The record's own keys; an extension adds its own after these.
    virtual void SaveState(LPCTSTR lpszSection);
    virtual void LoadState(LPCTSTR lpszSection);
    // An extension record of the program, or null.
    class SECControlBarInfoEx* m_pBarInfoEx;
};

// The program's extra state of a bar, saved in the bar's section beside the toolkit's.
class QXTK_API SECControlBarInfoEx
{
public:
    virtual ~SECControlBarInfoEx() {}
    virtual void SaveState(LPCTSTR lpszSection) = 0;
    virtual void LoadState(LPCTSTR lpszSection) = 0;
};

class QXTK_API SECDockState
{
public:
    explicit SECDockState(SECToolBarManager* pManager = nullptr);
    ~SECDockState();
    void Clear();
    void SaveState(LPCTSTR lpszProfileName);
    // FALSE when the profile holds no state under the prefix.
    BOOL LoadState(LPCTSTR lpszProfileName);

    SECToolBarManager* m_pManager;
    CPtrArray m_arrBarInfo;   // SECControlBarInfo*, owned
};

/////////////////////////////////////////////////////////////////////////////
// SECMDIFrameWnd: an MDI frame whose bars dock at a given row and column and whose bar
// arrangement is saved and loaded under a profile prefix.

class QXTK_API SECMDIFrameWnd : public CMDIFrameWnd
{
    DECLARE_DYNAMIC(SECMDIFrameWnd)
public:
    SECMDIFrameWnd();
    virtual ~SECMDIFrameWnd();

    // Docks the bar into the dock bar nDockBarID at column nCol of row nRow, with the
    // portion fPct of the row and, along a top or bottom edge, the height nHeight (0: as
    // it is); the bar's docking notices are sent.
    void DockControlBarEx(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPct = 1.0f,
                          int nHeight = 0);
    // Floats the bar at the point (screen), sending its floating notices.
    void FloatControlBarEx(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);

    // Fills the state with one record per bar of the frame (dock bars are left out).
    virtual void GetDockState(SECDockState& state);
    virtual void SetDockState(SECDockState& state);
    virtual void SaveBarState(LPCTSTR lpszProfileName);
    virtual void LoadBarState(LPCTSTR lpszProfileName);

    // Fills a record from a bar: place, visibility, style, toolbar buttons.
    void FillBarInfo(CControlBar* pBar, SECControlBarInfo* pInfo);

    // The menu the frame shows: its menu bar's while the bar has a window, else its own.
    HMENU GetFrameMenu() const;

    SECToolBarManager* m_pControlBarManager;
    // The frame's menu bar object (SECMenuBar), owned by the frame; null when the frame
    // shows its menu the system's way. The manager creates its window.
    CControlBar* m_pMenuBar;

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

/////////////////////////////////////////////////////////////////////////////
// SECMenuBar: the frame's menu as a bar that docks and floats like the others. It takes
// the menu off the frame (and every menu the MDI client would put on it: the menu of the
// active page window's kind) and shows its top-level items; a click or a key opens an
// item's drop-down as a popup of the frame, so the frame's menu messages (WM_INITMENU,
// WM_INITMENUPOPUP, WM_MENUSELECT, WM_COMMAND, owner drawing) are those of a menu on the
// frame. Keys: Alt or F10 highlights the first item (arrows move, Enter or Down opens,
// Escape leaves), Alt with an item's access key opens it; in an open drop-down, Left and
// Right go to the neighbouring items. While a page window is maximised the bar shows its
// window menu button and its minimise, restore and close buttons.

class QXTK_API SECMenuBar : public SECControlBar
{
    DECLARE_DYNAMIC(SECMenuBar)
public:
    SECMenuBar();
    ~SECMenuBar() override;

    // The bar for the frame (an SECMDIFrameWnd); the frame's menu moves onto the bar.
    BOOL CreateMenuBar(CFrameWnd* pFrame, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle);
    HMENU GetMenu() const { return m_hMenu; }
    // Docks the bar along the frame's top edge in a row of its own above the others.
    void DockAtTop();
    void SetMenu(HMENU hMenu);
    // Top-level items, their rectangles (client coordinates) and the item at a point; -1
    // for none.
    int GetItemCount() const;
    BOOL GetItemRect(int nIndex, RECT* pRect) const;
    int HitTest(CPoint ptClient) const;
    // Opens the drop-down of the item (a command item runs its command); with bKeyboard the
    // bar stays in keyboard mode when the drop-down closes by Escape.
    void TrackItem(int nIndex, BOOL bKeyboard);
    // The key handling the frame asks for ahead of the accelerators; TRUE when the bar took
    // the message.
    BOOL PreTranslateFrameMessage(MSG* pMsg);
    // From the frame's window procedure: WM_MENUSELECT during a drop-down.
    void OnFrameMenuSelect(UINT nFlags, HMENU hMenu);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Part { CRect rect; int nItem; };   // nItem >= 0 an item, else a window button
    // The parts for a length along the bar (0: its window's); bCommit keeps them.
    CSize Layout(int nLength, BOOL bCommit);
    CString ItemText(int nIndex) const;
    int FindAccessKey(TCHAR ch) const;
    void Paint(CDC* pDC);
    void SetHot(int nPart);
    void EnterKeyboardMode();
    void LeaveKeyboardMode();
    int PartAt(CPoint ptClient) const;
    CWnd* MaximizedChild() const;
    CString Signature() const;
    static LRESULT CALLBACK MenuFilter(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ClientProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HMENU m_hMenu;
    CArray<Part, const Part&> m_parts;
    int m_nHot;           // the part under the pointer or chosen by keys; -1 none
    int m_nTracking;      // the item whose drop-down is open; -1 none
    int m_nNext;          // the item to open when the open drop-down has closed; -1 none
    BOOL m_bKeyboard;     // keys move through the items
    BOOL m_bAltDown;      // Alt is down with no other key yet
    BOOL m_bClosedOnItem; // the open drop-down closed by a click on its own item
    UINT m_nSelFlags;     // the last WM_MENUSELECT of the open drop-down
    HMENU m_hSelMenu;
    HWND m_hWndFocusBefore;
    HWND m_hWndClient;
    WNDPROC m_pfnClientProc;
    CString m_strSignature;
    CFont m_font;
};

// The menu a top-level window shows (its menu bar's or its own) and the screen rectangle
// of one of its top-level items; usable from any thread. FALSE when the item is not shown.
QXTK_API HMENU SECGetFrameMenu(HWND hFrame);
QXTK_API BOOL SECGetFrameMenuItemRect(HWND hFrame, int nIndex, RECT* pRect);

/////////////////////////////////////////////////////////////////////////////
// Buttons and toolbars

class SECCustomToolBar;
class SECComboBtn;

// One button of a toolbar: a command with an image of the manager's image store.
class QXTK_API SECStdBtn : public CObject
{
    DECLARE_DYNCREATE(SECStdBtn)
public:
    SECStdBtn();
    virtual ~SECStdBtn();
    // extraData: what the button map entry carries for the button (three words).
    virtual void Init(SECCustomToolBar* pToolBar, const UINT* pExtraData);

    UINT m_nID;
    UINT m_nStyle;
    int m_nImage;      // index of its image in the toolbar's image list, -1 none
    int m_nType;       // 0 plain button, 3 window button, 4 separator
    SECCustomToolBar* m_pToolBar;
};

class QXTK_API SECWndBtn : public SECStdBtn
{
    DECLARE_DYNAMIC(SECWndBtn)
public:
    SECWndBtn() { m_nType = 3; }
};

// A combo box standing on a toolbar in the place of a button. Its notifications go to the
// toolbar under the control id m_nResourceID.
class QXTK_API SECComboBtn : public SECWndBtn
{
    DECLARE_DYNCREATE(SECComboBtn)
public:
    ~SECComboBtn() override;
    void Init(SECCustomToolBar* pToolBar, const UINT* pExtraData) override;
    // Makes the combo box in the rectangle (toolbar coordinates); the program fills it.
    virtual BOOL CreateWnd(CWnd* pToolBar, const CRect& rect);
    UINT m_nResourceID = 0;
    int m_nWidth = 120;
    CComboBox m_combo;
};

// An entry of the button map: the class and style a command's button is made with.
struct SECBtnMapEntry
{
    CRuntimeClass* m_pClass;
    UINT m_nID;
    UINT m_nStyle;
    UINT m_extra[4];
};

// A default toolbar, as the program defines it.
struct QXTK_API SECDefaultToolBar
{
    UINT m_nID;
    CString m_strTitle;
    CDWordArray m_arrButtons;
    DWORD m_dwDockStyle;
    UINT m_nDockBarID;
    UINT m_nBesideID;
    int m_nKeep;
    BOOL m_bVisible;
    CRuntimeClass* m_pClass;
};

class QXTK_API SECCustomToolBar : public CToolBar
{
    DECLARE_DYNCREATE(SECCustomToolBar)
public:
    SECCustomToolBar();
    virtual ~SECCustomToolBar();

    virtual BOOL CreateEx(CWnd* pParentWnd, LPCTSTR lpszTitle, DWORD dwStyle, DWORD dwExStyle, UINT nID);
    void SetManager(SECToolBarManager* pManager) { m_pManager = pManager; }
    SECToolBarManager* GetManager() const { return m_pManager; }

    // Replaces the buttons by those of the ids (0 a separator); ids without an image are
    // left out.
    virtual BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // The button of one command: made from the button map, with its image.
    virtual SECStdBtn* CreateButton(UINT nID, SECCustomToolBar* pToolBar);
    virtual void AddButton(int nPos, SECStdBtn* pBtn, BOOL bSeparator);
    // A separator or the button of a command, at the position (clamped to the count).
    void InsertButton(int nPos, UINT nID, BOOL bSeparator);
    virtual void RemoveButton(int nIndex);
    virtual void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame);
    // The saved button list is put back: entries with an id become buttons, 0 separators.
    virtual void RestoreButtons(const CDWordArray& arrButtons);
    virtual void OnBarHidden(BOOL bHidden);
    // A window button's window was made; the program fills it.
    virtual void OnButtonWindowCreated(SECComboBtn*) {}

    int GetBtnCount() const { return (int)m_btns.GetSize(); }
    SECStdBtn* GetBtn(int i) const { return (SECStdBtn*)m_btns[i]; }
    int BtnHitTest(CPoint point) const;   // client coordinates; -1 outside the buttons
    void GetButtonIds(CDWordArray& arrIds) const;

    // The stretch flags: the bar takes the whole edge when docked along it.
    BOOL m_bStretchHorz, m_bStretchVert, m_bStretchFloat;

protected:
    SECToolBarManager* m_pManager;
    CPtrArray m_btns;   // SECStdBtn*, owned; null entries are separators
    HIMAGELIST m_hImages;
    // Puts the buttons into the system toolbar control, with their images.
    void RebuildControl();
    // The left button on the gripper (the strip before the first button) drags the bar.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

/////////////////////////////////////////////////////////////////////////////
// SECToolBarManager: the toolbars of one frame, the images of their commands, the
// default arrangement and the state of the toolbars.

class QXTK_API SECToolBarManager : public CCmdTarget
{
    DECLARE_DYNAMIC(SECToolBarManager)
public:
    explicit SECToolBarManager(CFrameWnd* pFrame = nullptr);
    virtual ~SECToolBarManager();

    void SetFrameWnd(CFrameWnd* pFrame) { m_pFrameWnd = pFrame; }
    CFrameWnd* GetFrameWnd() const { return m_pFrameWnd; }

    // Loads a toolbar resource (and its bitmap) of the module: its commands join the
    // command-to-image map. FALSE when it cannot be found or loaded.
    BOOL LoadToolBarResource(UINT nID, HINSTANCE hInst = nullptr);
    // Adds a bitmap of 16-pixel images for the ids; the bitmap is filed under nFirstID.
    BOOL AddButtonBitmap(HBITMAP hbm, const UINT* pIds, const int* pImages, int nCount, UINT nFirstID);
    // The image store: the loaded bitmaps, and the map from a command id to the bitmap
    // and image index it draws from.
    struct ImageRef { HBITMAP hbm; int nImage; };
    BOOL LookupImage(UINT nID, ImageRef& ref) const;
    void SetImage(UINT nID, HBITMAP hbm, int nImage);
    void RemoveImage(UINT nID);
    // The bitmap filed under a first id, and its replacement or removal (the bitmaps filed
    // after a removed one move down).
    HBITMAP GetBitmapOfFirstId(UINT nFirstID) const;
    void ReplaceBitmap(UINT nFirstID, HBITMAP hbm);
    void RemoveBitmap(UINT nFirstID);
    // Files the bitmap kept under one first id under another.
    void RefileBitmap(UINT nOldFirstID, UINT nNewFirstID);
    int GetBitmapCount() const { return (int)m_bitmaps.GetSize(); }
    CSize GetImageSize() const { return m_sizeImage; }
    // The system's button colours changed: the bitmaps of the toolbar resources are loaded
    // again in the new colours (the toolbars take them when they rebuild).
    virtual void OnSysColorChange();

    void SetButtonMap(const SECBtnMapEntry* pMap, int nCount);
    void SetExtraButtonMap(const SECBtnMapEntry* pMap, int nCount);
    const SECBtnMapEntry* FindButtonMapEntry(UINT nID) const;

    void DefineDefaultToolBar(BOOL bVisible, UINT nID, LPCTSTR lpszTitle, UINT nCount, const UINT* pButtons,
                              CRuntimeClass* pClass, DWORD dwDockStyle, UINT nDockBarID, UINT nBesideID, int nKeep);
    void DefineDefaultToolBar(BOOL bVisible, UINT nID, UINT nIDTitle, UINT nCount, const UINT* pButtons,
                              CRuntimeClass* pClass, DWORD dwDockStyle, UINT nDockBarID, UINT nBesideID, int nKeep);
    SECDefaultToolBar* GetDefaultToolBar(UINT nID) const;
    int GetDefaultToolBarCount() const { return (int)m_defaults.GetSize(); }
    SECDefaultToolBar* GetDefaultToolBarAt(int i) const { return (SECDefaultToolBar*)m_defaults[i]; }

    // Builds the default arrangement from the definitions, the frame's menu bar first.
    virtual void SetDefaultDockState();
    // The frame's menu bar (its window made on the first call); null when it has none.
    SECMenuBar* CreateMenuBar();
    virtual SECControlBar* DynCreateControlBar(SECControlBarInfo* pInfo);
    // The program's extension record for a bar's saved state, or null.
    virtual SECControlBarInfoEx* CreateControlBarInfoEx(SECControlBarInfo* pInfo);
    virtual void BarNotify(UINT nBarID, int nCode);
    virtual CRuntimeClass* GetToolBarRuntimeClass(UINT nID);
    // Makes a toolbar for a saved record whose bar the frame does not have.
    virtual CControlBar* CreateSavedBar(SECControlBarInfo* pInfo);

    // A user toolbar of that title, with an id above the default ones; null on failure.
    virtual SECCustomToolBar* CreateUserToolBar(LPCTSTR lpszTitle);
    // The bar style toolbars are created with.
    DWORD GetToolBarStyle() const;
    DWORD GetToolBarExStyle() const;

    // The manager's own settings, under "<prefix>-Manager".
    virtual void LoadState(LPCTSTR lpszProfileName);
    virtual void SaveState(LPCTSTR lpszProfileName);

    // While the manager or the frame arranges the bars by program, their showing and
    // hiding is no choice of the user and is not notified.
    BOOL m_bArranging;

    BOOL IsCustomizing() const { return m_bCustomizing; }
    void SetCustomizing(BOOL b) { m_bCustomizing = b; }
    BOOL HasLargeToolBar() const { return FALSE; }
    BOOL m_bToolTips, m_bFlyBy, m_bCoolLook;

protected:
    CFrameWnd* m_pFrameWnd;
    CPtrArray m_defaults;        // SECDefaultToolBar*, owned
    CMap<UINT, UINT, ImageRef, const ImageRef&> m_mapImages;
    CPtrArray m_bitmaps;         // HBITMAPs of the store, owned, in load order
    CDWordArray m_bitmapFirstIds;   // the first id each bitmap is filed under
    struct BitmapSource { HINSTANCE hInst; UINT nResID; };
    CMap<UINT, UINT, BitmapSource, const BitmapSource&> m_bitmapSources;   // by first id: the resource
    CArray<SECBtnMapEntry, const SECBtnMapEntry&> m_btnMap, m_btnMapExtra;
    CSize m_sizeImage;
    BOOL m_bCustomizing;
    UINT m_nNextUserID;

    friend class SECCustomToolBar;
};

/////////////////////////////////////////////////////////////////////////////
// Customisation: the sheet and its page of toolbars.

// Asks the name of a new toolbar.
class QXTK_API SECNewToolBarDlg : public CDialog
{
public:
    explicit SECNewToolBarDlg(CWnd* pParent = nullptr);
    CString m_strName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};

// The frame's toolbars in a list whose checks show and hide them, the tool-tip and flat
// settings of the manager, and new toolbars.
class QXTK_API SECToolBarsPage : public CPropertyPage
{
    DECLARE_DYNAMIC(SECToolBarsPage)
public:
    explicit SECToolBarsPage(UINT nIDTemplate = 20513, UINT nIDCaption = 0);
    void SetManager(SECToolBarManager* pManager) { m_pManager = pManager; }
    SECToolBarManager* GetManager() const { return m_pManager; }

    // The list: one item per toolbar of the frame, its id as the item data.
    int GetItemCount() const;
    int FindItemOfBar(UINT nBarID) const;
    UINT GetItemBar(int nItem) const;
    BOOL GetItemCheck(int nItem) const;
    void SetItemCheck(int nItem, BOOL bCheck);
    CString GetItemText(int nItem) const;
    UINT GetSelectedBar() const;
    void SelectItem(int nItem);
    void FillList();

protected:
    SECToolBarManager* m_pManager;
    BOOL m_bFilling;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // A check changed in the list: the bar is shown or hidden.
    virtual void OnCheckChange(int nItem);
    virtual void OnNewToolbar();
    virtual void OnResetToolbar();
    virtual void OnReinitialize() {}
    HWND ListWnd() const { return ::GetDlgItem(m_hWnd, 43094); }
};

class QXTK_API SECToolBarSheet : public CPropertySheet
{
    DECLARE_DYNAMIC(SECToolBarSheet)
public:
    explicit SECToolBarSheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit SECToolBarSheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
};

/////////////////////////////////////////////////////////////////////////////
// The button-group page: groups of commands whose buttons stand in a customisation bar;
// clicking a button chooses it and shows its description.

// A bar that shows a group's buttons: a click chooses a button instead of running its
// command, and the page is told (WM_BARNOTIFY, code 4).
class QXTK_API SECCustomizeToolBar : public SECCustomToolBar
{
    DECLARE_DYNCREATE(SECCustomizeToolBar)
public:
    SECCustomizeToolBar();
    int GetSelectedButton() const { return m_nSelected; }
    void SetSelectedButton(int nIndex);
    UINT GetSelectedCommand() const;

protected:
    int m_nSelected;
    // The chosen button dragged from ptStart (screen): let go over a toolbar, that toolbar
    // takes a button of the command where it was let go.
    void DragButton(UINT nID, CPoint ptStart);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class QXTK_API SECBtnGroup
{
public:
    SECBtnGroup(LPCTSTR lpszName, int nCount, const UINT* pIds);
    virtual ~SECBtnGroup();
    // Makes the group's bar as a child of the page.
    virtual BOOL CreateBar(CWnd* pPage, SECToolBarManager* pManager, UINT nID);
    virtual void PlaceBar(const CRect& rect);
    virtual void Activate(BOOL bActive);
    virtual SECCustomizeToolBar* NewBar();

    CString m_strName;
    CDWordArray m_ids;
    SECCustomizeToolBar* m_pBar;
};

class QXTK_API SECTBBtnGroup : public SECBtnGroup
{
public:
    SECTBBtnGroup(LPCTSTR lpszName, int nCount, const UINT* pIds) : SECBtnGroup(lpszName, nCount, pIds) {}
};

class QXTK_API SECToolBarCmdPage : public CPropertyPage
{
    DECLARE_DYNAMIC(SECToolBarCmdPage)
public:
    explicit SECToolBarCmdPage(UINT nIDTemplate = 20509, UINT nIDCaption = 0);
    ~SECToolBarCmdPage() override;
    void SetManager(SECToolBarManager* pManager) { m_pManager = pManager; }
    SECToolBarManager* GetManager() const { return m_pManager; }

    void AddGroup(SECBtnGroup* pGroup) { m_groups.Add(pGroup); }
    int GetGroupCount() const { return (int)m_groups.GetSize(); }
    SECBtnGroup* GetGroup(int i) const { return (SECBtnGroup*)m_groups[i]; }
    void RemoveGroup(int i);
    // Hides every group's bar but the one at nIndex, which is shown (-1: none).
    virtual void ShowSelectedToolbar(int nIndex);
    int GetShownGroup() const { return m_nShownGroup; }
    // The rectangle of the box the bars stand in, less its margins.
    CRect GetBarRect();
    // The description of a command: its prompt (the string up to its newline).
    virtual void ShowCommandDescription(UINT nID);

protected:
    SECToolBarManager* m_pManager;
    CPtrArray m_groups;   // SECBtnGroup*, owned
    int m_nShownGroup;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void OnSelChange();
    virtual LRESULT OnBarNotify(WPARAM wParam, LPARAM lParam);
};
