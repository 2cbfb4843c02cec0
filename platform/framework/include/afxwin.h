// Windows part of the application framework: modules and their resources, command
// targets with message maps, the application, windows, dialogs, controls and GDI objects.
#pragma once
#include "afx.h"
#include "afxres.h"
#include <commctrl.h>

// Windows' macro of this name would hide CWnd::GetNextWindow.
#ifdef GetNextWindow
#undef GetNextWindow
#endif

class CCmdTarget;
class CCmdUI;
class CWnd;
class CWinApp;
class CMenu;
class CDC;

/////////////////////////////////////////////////////////////////////////////
// Message maps. Each entry carries a small function that unpacks the message's
// parameters and calls the handler with the types the ON_ macro promises, so a handler
// with the wrong signature does not compile.

struct AFX_MSGMAP_ENTRY;

// The message or command being dispatched, and the result a handler leaves.
struct AFX_MSGCALL
{
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;         // commands and notifications: the control or command id
    int nCode;        // commands: the notification code, CN_COMMAND or CN_UPDATE_COMMAND_UI
    void* pExtra;     // CCmdUI* for updates, AFX_NOTIFY* for notifications
    LRESULT lResult;
};

// Answers TRUE when the handler took the message.
typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* pTarget, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;        // window message, WM_COMMAND, WM_NOTIFY, a reflected message, or 0xC000
    UINT nCode;           // notification code
    UINT nID;             // first control or command id
    UINT nLastID;         // last id of a range
    const UINT* pnRegMsg; // registered messages: the variable holding the message number
    AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// What a notification carries through command routing: the record and where its
// handler's result goes.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((int)(-1))
#define WM_REFLECT_BASE 0xBC00
#define WM_REGISTERED_MARKER 0xC000
// Sent at idle to the main window and its descendants: update command user interface.
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_HELPHITTEST 0x0366
#define WM_COMMANDHELP 0x0365
#define WM_KICKIDLE 0x036A

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr, nullptr} }; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// Building blocks of the ON_ macros.
#define AFX_THUNK(body) [](CCmdTarget* _pT, AFX_MSGCALL& _c) -> BOOL { \
        ThisClass* _p = static_cast<ThisClass*>(_pT); (void)_p; (void)_c; body }
#define AFX_MSG_ENTRY(msg, body) {(UINT)(msg), 0, 0, 0, nullptr, AFX_THUNK(body)},
#define AFX_MSG_VOID(msg, call) AFX_MSG_ENTRY(msg, _p->call; _c.lResult = 0; return TRUE;)
#define AFX_MSG_RESULT(msg, call) AFX_MSG_ENTRY(msg, _c.lResult = (LRESULT)(_p->call); return TRUE;)

#define AFX_NOTIFY_ARGS ((AFX_NOTIFY*)_c.pExtra)->pNMHDR, ((AFX_NOTIFY*)_c.pExtra)->pResult

// Commands and control notifications
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)},
#define ON_COMMAND_EX(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(return _p->memberFxn(_c.nID);)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, AFX_THUNK(_p->memberFxn(_c.nID); return TRUE;)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, AFX_THUNK(return _p->memberFxn(_c.nID);)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(_p->memberFxn((CCmdUI*)_c.pExtra); return TRUE;)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn((CCmdUI*)_c.pExtra); return TRUE;)},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn(_c.nID); return TRUE;)},
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(_p->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn(_c.nID, AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(return _p->memberFxn(_c.nID, AFX_NOTIFY_ARGS);)},
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(return _p->memberFxn(_c.nID, AFX_NOTIFY_ARGS);)},

// Notifications a control handles itself
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(wNotifyCode), 0, 0, nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(wNotifyCode), 0, 0, nullptr, AFX_THUNK(return _p->memberFxn();)},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(_p->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(return _p->memberFxn(AFX_NOTIFY_ARGS);)},
// Every WM_CTLCOLOR... message is reflected as this one, with the control type in lParam.
#define WM_CTLCOLOR 0x0019
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, \
        _c.lResult = (LRESULT)_p->CtlColor(CDC::FromHandle((HDC)_c.wParam), (UINT)_c.lParam); \
        return _c.lResult != 0;)
#define ON_WM_DRAWITEM_REFLECT() \
    AFX_MSG_VOID(WM_REFLECT_BASE + WM_DRAWITEM, DrawItem((LPDRAWITEMSTRUCT)_c.lParam))
#define ON_WM_MEASUREITEM_REFLECT() \
    AFX_MSG_VOID(WM_REFLECT_BASE + WM_MEASUREITEM, MeasureItem((LPMEASUREITEMSTRUCT)_c.lParam))
#define ON_WM_COMPAREITEM_REFLECT() \
    AFX_MSG_RESULT(WM_REFLECT_BASE + WM_COMPAREITEM, CompareItem((LPCOMPAREITEMSTRUCT)_c.lParam))
#define ON_WM_DELETEITEM_REFLECT() \
    AFX_MSG_VOID(WM_REFLECT_BASE + WM_DELETEITEM, DeleteItem((LPDELETEITEMSTRUCT)_c.lParam))

// User, registered and thread messages
#define ON_MESSAGE(message, memberFxn) \
    AFX_MSG_ENTRY(message, _c.lResult = _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    {WM_REGISTERED_MARKER, 0, 0, 0, &(nMessageVariable), \
     AFX_THUNK(_c.lResult = _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)},
#define ON_THREAD_MESSAGE(message, memberFxn) \
    AFX_MSG_ENTRY(message, _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn) \
    {WM_REGISTERED_MARKER, 0, 0, 0, &(nMessageVariable), \
     AFX_THUNK(_p->memberFxn(_c.wParam, _c.lParam); return TRUE;)},

// Control notification shorthands
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
// The check list box reports a changed check box with this code.
#define CLBN_CHKCHANGE 40
#define ON_CLBN_CHKCHANGE(id, memberFxn) ON_CONTROL(CLBN_CHKCHANGE, id, memberFxn)

/////////////////////////////////////////////////////////////////////////////
// CCmdTarget: the root of everything that takes commands

// Interface maps: the COM interfaces a command target answers, each a nested part
// (BEGIN_INTERFACE_PART) at its offset in the object. QueryInterface, AddRef and Release
// of every part go to the object's one reference count (afxole.h has the macros).
struct AFX_INTERFACEMAP_ENTRY
{
    const IID* piid;   // null ends the map
    size_t nOffset;    // of the interface part in the object
};

struct AFX_INTERFACEMAP
{
    const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* pEntry;
};

// Dispatch maps: the automation members a command target offers by name.
struct AFX_DISPMAP_ENTRY
{
    LPCSTR lpszName;   // null ends the map
    long lDispID;
};

struct AFX_DISPMAP
{
    const AFX_DISPMAP* (*pfnGetBaseMap)();
    const AFX_DISPMAP_ENTRY* lpEntries;
};

class QXAFX_API CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    virtual ~CCmdTarget();

    // ---- OLE: one reference count for every interface of the object -------------------
    // The count starts at 1 (the creator's); OnFinalRelease runs when it reaches 0.
    DWORD InternalAddRef();
    DWORD InternalRelease();
    DWORD InternalQueryInterface(const void* iid, LPVOID* ppvObj);
    DWORD ExternalAddRef() { return InternalAddRef(); }
    DWORD ExternalRelease() { return InternalRelease(); }
    DWORD ExternalQueryInterface(const void* iid, LPVOID* ppvObj) { return InternalQueryInterface(iid, ppvObj); }
    // The interface of the maps (IUnknown: the first part of the maps), without a
    // reference; null when the object has none.
    LPUNKNOWN GetInterface(const void* iid);
    // The object's IDispatch after EnableAutomation (with a reference when asked).
    LPDISPATCH GetIDispatch(BOOL bAddRef);
    void EnableAutomation();
    BOOL IsAutomationEnabled() const { return m_pDispatch != nullptr; }
    // The last reference went: deletes the object.
    virtual void OnFinalRelease();
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;
    virtual const AFX_DISPMAP* GetDispatchMap() const;
    // A name of the dispatch maps, or DISPID_UNKNOWN.
    long FindDispID(LPCSTR lpszName) const;

    long m_dwRef;

    // Offers a command, an update request or a notification to this target's map.
    // With pHandlerInfo set, only looks the handler up.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The map entry for a window message, or null.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();
    static const AFX_DISPMAP* GetThisDispatchMap();

private:
    class CCmdTargetDispatch* m_pDispatch;
    friend class CCmdTargetDispatch;
};

/////////////////////////////////////////////////////////////////////////////
// Modules and the resource chain. Resources are searched in the application's resource
// module, then in every extension library, newest first, then in the framework itself.

struct AFX_EXTENSION_MODULE
{
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
    CRuntimeClass* pFirstSharedClass;
    void* pFirstSharedFactory;
};

QXAFX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
QXAFX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// An extension library's place in the chain: created in its DllMain at attach, deleted
// (leaving the chain) by AfxTermExtensionModule at detach.
class QXAFX_API CDynLinkLibrary : public CCmdTarget
{
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    virtual ~CDynLinkLibrary();

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL;
};

QXAFX_API HINSTANCE AfxGetInstanceHandle();
QXAFX_API HINSTANCE AfxGetResourceHandle();
QXAFX_API void AfxSetResourceHandle(HINSTANCE hInstResource);
QXAFX_API HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// The first module of the chain that holds the string; null when none does.
QXAFX_API HINSTANCE AfxFindStringResourceHandle(UINT nID);
QXAFX_API LPCTSTR AfxGetAppName();
QXAFX_API CWinApp* AfxGetApp();
QXAFX_API CWnd* AfxGetMainWnd();
QXAFX_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
QXAFX_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// The framework keeps one module state for the whole process: every module shares it.
#define AFX_MANAGE_STATE(p) ((void)0)
#define AfxGetStaticModuleState() ((void*)nullptr)
#define AfxGetAppModuleState() ((void*)nullptr)

/////////////////////////////////////////////////////////////////////////////
// GDI objects. FromHandle gives the permanent wrapper of a handle when there is one,
// else a temporary wrapper that the framework deletes at idle time.

class QXAFX_API CGdiObject : public CObject
{
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() : m_hObject(nullptr) {}
    virtual ~CGdiObject();

    HGDIOBJ m_hObject;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const;

    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const { return (UINT)::GetObjectType(m_hObject); }
    BOOL CreateStockObject(int nIndex);
    BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
    BOOL operator==(const CGdiObject& obj) const { return obj.m_hObject == m_hObject; }
    BOOL operator!=(const CGdiObject& obj) const { return obj.m_hObject != m_hObject; }
};

class QXAFX_API CPen : public CGdiObject
{
    DECLARE_DYNAMIC(CPen)
public:
    static CPen* PASCAL FromHandle(HPEN hPen) { return (CPen*)CGdiObject::FromHandle(hPen); }
    CPen() {}
    CPen(int nPenStyle, int nWidth, COLORREF crColor);
    CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0, const DWORD* lpStyle = nullptr);
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0, const DWORD* lpStyle = nullptr);
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen);
    operator HPEN() const { return (HPEN)m_hObject; }
    int GetLogPen(LOGPEN* pLogPen) { return ::GetObject(m_hObject, sizeof(LOGPEN), pLogPen); }
};

class QXAFX_API CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)
public:
    static CBrush* PASCAL FromHandle(HBRUSH hBrush) { return (CBrush*)CGdiObject::FromHandle(hBrush); }
    CBrush() {}
    explicit CBrush(COLORREF crColor);
    CBrush(int nIndex, COLORREF crColor);
    explicit CBrush(class CBitmap* pBitmap);
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
    BOOL CreatePatternBrush(class CBitmap* pBitmap);
    BOOL CreateSysColorBrush(int nIndex);
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    int GetLogBrush(LOGBRUSH* pLogBrush) { return ::GetObject(m_hObject, sizeof(LOGBRUSH), pLogBrush); }
};

class QXAFX_API CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* PASCAL FromHandle(HFONT hFont) { return (CFont*)CGdiObject::FromHandle(hFont); }
    CFont() {}
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                    BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    // Height in tenths of a point, converted for the given DC (the screen when null).
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
    operator HFONT() const { return (HFONT)m_hObject; }
    int GetLogFont(LOGFONT* pLogFont) { return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont); }
};

class QXAFX_API CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap) { return (CBitmap*)CGdiObject::FromHandle(hBitmap); }
    CBitmap() {}
    // Found through the resource chain.
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadOEMBitmap(UINT nIDBitmap);
    // Maps the standard button colours of the image to the current system colours.
    BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP lpColorMap = nullptr, int nMapSize = 0);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight);
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    int GetBitmap(BITMAP* pBitMap) { return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap); }
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits) { return ::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits); }
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const { return ::GetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits); }
    CSize SetBitmapDimension(int nWidth, int nHeight);
    CSize GetBitmapDimension() const;
};

class QXAFX_API CPalette : public CGdiObject
{
    DECLARE_DYNAMIC(CPalette)
public:
    static CPalette* PASCAL FromHandle(HPALETTE hPalette) { return (CPalette*)CGdiObject::FromHandle(hPalette); }
    CPalette() {}
    BOOL CreatePalette(LPLOGPALETTE lpLogPalette);
    BOOL CreateHalftonePalette(CDC* pDC);
    operator HPALETTE() const { return (HPALETTE)m_hObject; }
    int GetEntryCount();
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const;
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors);
    void AnimatePalette(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors);
    UINT GetNearestPaletteIndex(COLORREF crColor) const;
    BOOL ResizePalette(UINT nNumEntries);
};

class QXAFX_API CRgn : public CGdiObject
{
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* PASCAL FromHandle(HRGN hRgn) { return (CRgn*)CGdiObject::FromHandle(hRgn); }
    CRgn() {}
    operator HRGN() const { return (HRGN)m_hObject; }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
    BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
    BOOL CreatePolygonRgn(LPPOINT lpPoints, int nCount, int nMode);
    BOOL CreatePolyPolygonRgn(LPPOINT lpPoints, LPINT lpPolyCounts, int nCount, int nPolyFillMode);
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL CreateFromPath(CDC* pDC);
    void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2); }
    void SetRectRgn(LPCRECT lpRect) { ::SetRectRgn((HRGN)m_hObject, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int CombineRgn(CRgn* pRgn1, CRgn* pRgn2, int nCombineMode);
    int CopyRgn(CRgn* pRgnSrc);
    BOOL EqualRgn(CRgn* pRgn) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->m_hObject); }
    int OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
    int OffsetRgn(POINT point) { return ::OffsetRgn((HRGN)m_hObject, point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    BOOL PtInRegion(POINT point) const { return ::PtInRegion((HRGN)m_hObject, point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion((HRGN)m_hObject, lpRect); }
};

class QXAFX_API CDC : public CObject
{
    DECLARE_DYNCREATE(CDC)
public:
    CDC();
    virtual ~CDC();

    // Output goes to m_hDC; queries go to m_hAttribDC. They are the same but for
    // metafiles and print preview.
    HDC m_hDC;
    HDC m_hAttribDC;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const;
    CWnd* GetWindow() const;

    static CDC* PASCAL FromHandle(HDC hDC);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HDC hDC);
    HDC Detach();
    virtual void SetAttribDC(HDC hDC);
    virtual void SetOutputDC(HDC hDC);
    virtual void ReleaseAttribDC();
    virtual void ReleaseOutputDC();
    BOOL IsPrinting() const { return m_bPrinting; }

    BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData);
    BOOL CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData);
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    virtual int SaveDC();
    virtual BOOL RestoreDC(int nSavedDC);
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    virtual CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    int SelectObject(CRgn* pRgn);
    CGdiObject* SelectObject(CGdiObject* pObject);
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    virtual CGdiObject* SelectStockObject(int nIndex);
    CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    CPen* GetCurrentPen() const { return CPen::FromHandle((HPEN)::GetCurrentObject(m_hDC, OBJ_PEN)); }
    CBrush* GetCurrentBrush() const { return CBrush::FromHandle((HBRUSH)::GetCurrentObject(m_hDC, OBJ_BRUSH)); }
    CFont* GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }
    CBitmap* GetCurrentBitmap() const { return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP)); }
    CPalette* GetCurrentPalette() const { return CPalette::FromHandle((HPALETTE)::GetCurrentObject(m_hDC, OBJ_PAL)); }

    COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
    int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
    virtual COLORREF SetBkColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    virtual COLORREF SetTextColor(COLORREF crColor);
    int GetROP2() const { return ::GetROP2(m_hAttribDC); }
    int SetROP2(int nDrawMode);
    int SetStretchBltMode(int nStretchMode);
    int GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
    int SetPolyFillMode(int nPolyFillMode);
    UINT SetTextAlign(UINT nFlags);
    UINT GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
    int SetTextCharacterExtra(int nCharExtra);

    int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
    virtual int SetMapMode(int nMapMode);
    CPoint GetViewportOrg() const;
    virtual CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    virtual CPoint OffsetViewportOrg(int nWidth, int nHeight);
    CSize GetViewportExt() const;
    virtual CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
    CPoint GetWindowOrg() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint OffsetWindowOrg(int nWidth, int nHeight);
    CSize GetWindowExt() const;
    virtual CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
    void DPtoLP(LPPOINT lpPoints, int nCount = 1) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
    void DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, (LPPOINT)lpRect, 2); }
    void DPtoLP(LPSIZE lpSize) const;
    void LPtoDP(LPPOINT lpPoints, int nCount = 1) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
    void LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, (LPPOINT)lpRect, 2); }
    void LPtoDP(LPSIZE lpSize) const;
    // HIMETRIC units are hundredths of a millimetre, converted through the device's
    // logical pixels per inch.
    void DPtoHIMETRIC(LPSIZE lpSize) const;
    void LPtoHIMETRIC(LPSIZE lpSize) const;
    void HIMETRICtoDP(LPSIZE lpSize) const;
    void HIMETRICtoLP(LPSIZE lpSize) const;

    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
    int SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : nullptr); }
    int SelectClipRgn(CRgn* pRgn, int nMode) { return ::ExtSelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : nullptr, nMode); }
    int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
    int ExcludeClipRect(LPCRECT lpRect) { return ::ExcludeClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
    int IntersectClipRect(LPCRECT lpRect) { return ::IntersectClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
    BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

    CPoint GetCurrentPosition() const;
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
    BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
    BOOL PolyBezier(const POINT* lpPoints, int nCount) { return ::PolyBezier(m_hDC, lpPoints, (DWORD)nCount); }

    void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    BOOL DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }
    void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
    BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) { return ::DrawFrameControl(m_hDC, lpRect, nType, nState); }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(LPCRECT lpRect) { return ::Ellipse(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    BOOL PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount) { return ::PolyPolygon(m_hDC, lpPoints, lpPolyCounts, nCount); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT lpRect) { return ::Rectangle(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
    BOOL RoundRect(LPCRECT lpRect, POINT point) { return ::RoundRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x, point.y); }
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) { return ::FillRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject); }
    BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight) { return ::FrameRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject, nWidth, nHeight); }
    BOOL FloodFill(int x, int y, COLORREF crColor) { return ::FloodFill(m_hDC, x, y, crColor); }

    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    { return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop); }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop)
    { return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return ::GetPixel(m_hDC, point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
    COLORREF SetPixel(POINT point, COLORREF crColor) { return ::SetPixel(m_hDC, point.x, point.y, crColor); }

    virtual BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
    virtual BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths);
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths)
    { return ExtTextOut(x, y, nOptions, lpRect, str, (UINT)str.GetLength(), lpDxWidths); }
    virtual int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText(str, str.GetLength(), lpRect, nFormat); }
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
    CSize GetOutputTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetOutputTextExtent(const CString& str) const { return GetOutputTextExtent(str, str.GetLength()); }
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetrics(m_hAttribDC, lpMetrics); }
    int GetTextFace(int nCount, LPTSTR lpszFacename) const { return ::GetTextFace(m_hAttribDC, nCount, lpszFacename); }
    BOOL GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const { return ::GetCharWidth(m_hAttribDC, nFirstChar, nLastChar, lpBuffer); }

    int StartDoc(LPDOCINFO lpDocInfo) { return ::StartDoc(m_hDC, lpDocInfo); }
    int StartDoc(LPCTSTR lpszDocName);
    int StartPage() { return ::StartPage(m_hDC); }
    int EndPage() { return ::EndPage(m_hDC); }
    int EndDoc() { return ::EndDoc(m_hDC); }
    int AbortDoc() { return ::AbortDoc(m_hDC); }
    int Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData) { return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData); }
    BOOL PlayMetaFile(HMETAFILE hMF) { return ::PlayMetaFile(m_hDC, hMF); }
    BOOL PlayMetaFile(HENHMETAFILE hEnhMetaFile, LPCRECT lpBounds) { return ::PlayEnhMetaFile(m_hDC, hEnhMetaFile, lpBounds); }

protected:
    BOOL m_bPrinting;
    friend class CView;
    friend class CPreviewView;
};

class QXAFX_API CClientDC : public CDC
{
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* pWnd);
    virtual ~CClientDC();
protected:
    HWND m_hWnd;
};

class QXAFX_API CWindowDC : public CDC
{
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* pWnd);
    virtual ~CWindowDC();
protected:
    HWND m_hWnd;
};

class QXAFX_API CPaintDC : public CDC
{
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* pWnd);
    virtual ~CPaintDC();
    PAINTSTRUCT m_ps;
protected:
    HWND m_hWnd;
};

// Records drawing into a Windows or enhanced metafile.
class QXAFX_API CMetaFileDC : public CDC
{
    DECLARE_DYNAMIC(CMetaFileDC)
public:
    CMetaFileDC();
    virtual ~CMetaFileDC();
    BOOL Create(LPCTSTR lpszFilename = nullptr);
    BOOL CreateEnhanced(CDC* pDCRef, LPCTSTR lpszFileName, LPCRECT lpBounds, LPCTSTR lpszDescription);
    HMETAFILE Close();
    HENHMETAFILE CloseEnhanced();
    void SetAttribDC(HDC hDC) override;
};

/////////////////////////////////////////////////////////////////////////////
// CMenu

class QXAFX_API CMenu : public CObject
{
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu();
    virtual ~CMenu();

    HMENU m_hMenu;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const;
    static CMenu* PASCAL FromHandle(HMENU hMenu);
    static CMenu* PASCAL FromHandlePermanent(HMENU hMenu);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Found through the resource chain.
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadMenuIndirect(const void* lpMenuTemplate);
    BOOL DestroyMenu();

    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
    BOOL RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr)
    { return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem); }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp)
    { return ::AppendMenu(m_hMenu, nFlags | MF_BITMAP, nIDNewItem, (LPCTSTR)pBmp->m_hObject); }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr)
    { return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr)
    { return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
    { return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags); }
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
    UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE) { return ::GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags); }
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
    { return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo); }
    UINT GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const
    { return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags); }
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const;
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    BOOL operator==(const CMenu& menu) const { return menu.m_hMenu == m_hMenu; }
    BOOL operator!=(const CMenu& menu) const { return menu.m_hMenu != m_hMenu; }
};

/////////////////////////////////////////////////////////////////////////////
// CCmdUI: one menu item, toolbar button or control being asked for its state

class QXAFX_API CCmdUI
{
public:
    CCmdUI();
    virtual ~CCmdUI() {}

    UINT m_nID;
    UINT m_nIndex;
    CMenu* m_pMenu;       // the menu holding the item, for menu items
    CMenu* m_pSubMenu;    // the popup the item opens, if any
    CWnd* m_pOther;       // the control, for controls and bars
    UINT m_nIndexMax;
    CMenu* m_pParentMenu;
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target; an item nobody handles is disabled when bDisableIfNoHndler is set
    // and there is no command handler for it either.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

/////////////////////////////////////////////////////////////////////////////
// CWnd

// m_nFlags
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_STAYACTIVE 0x0020
#define WF_NOPOPMSG 0x0040
#define WF_MODALDISABLE 0x0080

// RunModalLoop flags
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

// Help context bases for WinHelp
#define HID_BASE_COMMAND 0x00010000UL
#define HID_BASE_RESOURCE 0x00020000UL
#define HID_BASE_PROMPT 0x00030000UL
#define WM_HELPPROMPTADDR 0x0376

class CScrollBar;
class CDataExchange;

class QXAFX_API CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd;
    // These accept a null object, as callers rely on (GetDlgItem may answer null).
    operator HWND() const;
    HWND GetSafeHwnd() const;
    BOOL operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
    BOOL operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr; }

    // The handle map: the one permanent CWnd of a window, or a temporary one.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Routes an existing window's messages through this object.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);

    // Window text, size and position
    void SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    CMenu* GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
    BOOL SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    CMenu* GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    UINT ArrangeIconicWindows() { return ::ArrangeIconicWindows(m_hWnd); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const { return ::GetWindowPlacement(m_hWnd, lpwndpl); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const { ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), lpPoint, nCount); }
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), (LPPOINT)lpRect, 2); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // Drawing
    CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
    CDC* GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
    int ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->m_hDC); }
    CDC* BeginPaint(LPPAINTSTRUCT lpPaint) { return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint)); }
    void EndPaint(LPPAINTSTRUCT lpPaint) { ::EndPaint(m_hWnd, lpPaint); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE) { ::InvalidateRgn(m_hWnd, (HRGN)pRgn->GetSafeHandle(), bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    { return ::RedrawWindow(m_hWnd, lpRectUpdate, (HRGN)prgnUpdate->GetSafeHandle(), flags); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void ShowOwnedPopups(BOOL bShow = TRUE) { ::ShowOwnedPopups(m_hWnd, bShow); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr)
    { ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw); }
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos); }
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) { return ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
    void EnableScrollBarCtrl(int nBar, BOOL bEnable = TRUE);

    // State and focus
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    static CWnd* PASCAL GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* PASCAL GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* PASCAL GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }

    // Dialog items and relatives
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
    { ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton); }
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton);
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtr(m_hWnd, GWLP_ID, nID); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const { return ::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    { return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam); }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgGroupItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious)); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentOwner() const;
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    // The nearest ancestor that is a frame window, or null.
    class CFrameWnd* GetParentFrame() const;
    // Lays out the children with ids nIDFirst..nIDLast through WM_SIZEPARENT and gives the
    // rest of the client area to the child nIDLeftOver. reposQuery only measures: the rest
    // goes into lpRectParam.
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    static CWnd* PASCAL FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
    { return FromHandle(::FindWindow(lpszClassName, lpszWindowName)); }
    static CWnd* PASCAL GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);

    // Messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::PostMessage(m_hWnd, message, wParam, lParam); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);
    static const MSG* PASCAL GetCurrentMessage();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void (CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD) = nullptr)
    { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    void DragAcceptFiles(BOOL bAccept = TRUE);
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }

    // Dialog data and control updates
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    BOOL ExecuteDlgInit(LPCTSTR lpszResourceName);

    // While a frame is in modal state it and the windows it owns take no input; other
    // windows have nothing to do.
    virtual void BeginModalState() {}
    virtual void EndModalState() {}

    // Modal loops
    int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // Offers a message to pWnd's ancestors' PreTranslateMessage, up to hWndStop.
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    virtual WNDPROC* GetSuperWndProcAddr();

    // Sends the current message from a parent back to the control it came from.
    static BOOL PASCAL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);

    UINT m_nFlags;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy();
    virtual void PreSubclassWindow();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A message from this control to its parent, offered to the control first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);
    LRESULT Default();

    // Message handlers; each does what Windows does unless a class overrides it.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    afx_msg void OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnInitMenu(CMenu* pMenu);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg void OnSysColorChange();
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnDevModeChange(LPSTR lpDeviceName);
    afx_msg void OnWinIniChange(LPCSTR lpszSection);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnCancelMode();

    DECLARE_MESSAGE_MAP()

    HWND m_hWndOwner;
    WNDPROC m_pfnSuper;   // the window's procedure before this object subclassed it
    int m_nModalResult;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    friend class CWinThread;
    friend class CPropertySheet;
};

QXAFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
QXAFX_API LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// The framework's class names: registered once, with the given style, cursor, brush and icon.
QXAFX_API LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                      HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
QXAFX_API BOOL AfxRegisterClass(WNDCLASS* lpWndClass);
// Arms the creation hook: the next window this thread creates is attached to pWnd.
QXAFX_API void AfxHookWindowCreate(CWnd* pWnd);
QXAFX_API BOOL AfxUnhookWindowCreate();

// Window message handler entries
#define ON_WM_CREATE() AFX_MSG_RESULT(WM_CREATE, OnCreate((LPCREATESTRUCT)_c.lParam))
#define ON_WM_DESTROY() AFX_MSG_VOID(WM_DESTROY, OnDestroy())
#define ON_WM_NCDESTROY() AFX_MSG_VOID(WM_NCDESTROY, OnNcDestroy())
#define ON_WM_CLOSE() AFX_MSG_VOID(WM_CLOSE, OnClose())
#define ON_WM_PAINT() AFX_MSG_VOID(WM_PAINT, OnPaint())
#define ON_WM_NCPAINT() AFX_MSG_VOID(WM_NCPAINT, OnNcPaint())
#define ON_WM_ERASEBKGND() AFX_MSG_RESULT(WM_ERASEBKGND, OnEraseBkgnd(CDC::FromHandle((HDC)_c.wParam)))
#define ON_WM_SIZE() AFX_MSG_VOID(WM_SIZE, OnSize((UINT)_c.wParam, (short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam)))
#define ON_WM_MOVE() AFX_MSG_VOID(WM_MOVE, OnMove((short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam)))
#define ON_WM_TIMER() AFX_MSG_VOID(WM_TIMER, OnTimer((UINT_PTR)_c.wParam))
#define ON_WM_SETFOCUS() AFX_MSG_VOID(WM_SETFOCUS, OnSetFocus(CWnd::FromHandle((HWND)_c.wParam)))
#define ON_WM_KILLFOCUS() AFX_MSG_VOID(WM_KILLFOCUS, OnKillFocus(CWnd::FromHandle((HWND)_c.wParam)))
#define AFX_MOUSE_ENTRY(msg, fn) AFX_MSG_VOID(msg, fn((UINT)_c.wParam, CPoint((short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam))))
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_MOUSE_ENTRY(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_MOUSEWHEEL() AFX_MSG_RESULT(WM_MOUSEWHEEL, OnMouseWheel(LOWORD(_c.wParam), (short)HIWORD(_c.wParam), CPoint((short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam))))
#define ON_WM_MOUSEACTIVATE() AFX_MSG_RESULT(WM_MOUSEACTIVATE, OnMouseActivate(CWnd::FromHandle((HWND)_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)))
#define ON_WM_NCHITTEST() AFX_MSG_RESULT(WM_NCHITTEST, OnNcHitTest(CPoint((short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam))))
#define AFX_KEY_ENTRY(msg, fn) AFX_MSG_VOID(msg, fn((UINT)_c.wParam, LOWORD(_c.lParam), HIWORD(_c.lParam)))
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSCOMMAND() AFX_MSG_VOID(WM_SYSCOMMAND, OnSysCommand((UINT)_c.wParam, _c.lParam))
#define ON_WM_GETDLGCODE() AFX_MSG_RESULT(WM_GETDLGCODE, OnGetDlgCode())
#define ON_WM_HSCROLL() AFX_MSG_VOID(WM_HSCROLL, OnHScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), (CScrollBar*)CWnd::FromHandle((HWND)_c.lParam)))
#define ON_WM_VSCROLL() AFX_MSG_VOID(WM_VSCROLL, OnVScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), (CScrollBar*)CWnd::FromHandle((HWND)_c.lParam)))
#define ON_WM_CTLCOLOR() AFX_MSG_RESULT(WM_CTLCOLOR, OnCtlColor(CDC::FromHandle((HDC)_c.wParam), CWnd::FromHandle((HWND)_c.lParam), (UINT)_c.nID))
#define ON_WM_DRAWITEM() AFX_MSG_VOID(WM_DRAWITEM, OnDrawItem((int)_c.wParam, (LPDRAWITEMSTRUCT)_c.lParam))
#define ON_WM_MEASUREITEM() AFX_MSG_VOID(WM_MEASUREITEM, OnMeasureItem((int)_c.wParam, (LPMEASUREITEMSTRUCT)_c.lParam))
#define ON_WM_COMPAREITEM() AFX_MSG_RESULT(WM_COMPAREITEM, OnCompareItem((int)_c.wParam, (LPCOMPAREITEMSTRUCT)_c.lParam))
#define ON_WM_DELETEITEM() AFX_MSG_VOID(WM_DELETEITEM, OnDeleteItem((int)_c.wParam, (LPDELETEITEMSTRUCT)_c.lParam))
#define ON_WM_PARENTNOTIFY() AFX_MSG_VOID(WM_PARENTNOTIFY, OnParentNotify(LOWORD(_c.wParam), _c.lParam))
#define ON_WM_HELPINFO() AFX_MSG_RESULT(WM_HELP, OnHelpInfo((HELPINFO*)_c.lParam))
#define ON_WM_CONTEXTMENU() AFX_MSG_VOID(WM_CONTEXTMENU, OnContextMenu(CWnd::FromHandle((HWND)_c.wParam), CPoint((short)LOWORD(_c.lParam), (short)HIWORD(_c.lParam))))
#define ON_WM_SETCURSOR() AFX_MSG_RESULT(WM_SETCURSOR, OnSetCursor(CWnd::FromHandle((HWND)_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)))
#define ON_WM_GETMINMAXINFO() AFX_MSG_VOID(WM_GETMINMAXINFO, OnGetMinMaxInfo((MINMAXINFO*)_c.lParam))
#define ON_WM_SHOWWINDOW() AFX_MSG_VOID(WM_SHOWWINDOW, OnShowWindow((BOOL)_c.wParam, (UINT)_c.lParam))
#define ON_WM_ACTIVATE() AFX_MSG_VOID(WM_ACTIVATE, OnActivate(LOWORD(_c.wParam), CWnd::FromHandle((HWND)_c.lParam), HIWORD(_c.wParam)))
#define ON_WM_ACTIVATEAPP() AFX_MSG_VOID(WM_ACTIVATEAPP, OnActivateApp((BOOL)_c.wParam, (DWORD)_c.lParam))
#define ON_WM_NCACTIVATE() AFX_MSG_RESULT(WM_NCACTIVATE, OnNcActivate((BOOL)_c.wParam))
#define ON_WM_ENABLE() AFX_MSG_VOID(WM_ENABLE, OnEnable((BOOL)_c.wParam))
#define ON_WM_INITMENU() AFX_MSG_VOID(WM_INITMENU, OnInitMenu(CMenu::FromHandle((HMENU)_c.wParam)))
#define ON_WM_INITMENUPOPUP() AFX_MSG_VOID(WM_INITMENUPOPUP, OnInitMenuPopup(CMenu::FromHandle((HMENU)_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)))
#define ON_WM_MENUSELECT() AFX_MSG_VOID(WM_MENUSELECT, OnMenuSelect(LOWORD(_c.wParam), HIWORD(_c.wParam), (HMENU)_c.lParam))
#define ON_WM_WINDOWPOSCHANGING() AFX_MSG_VOID(WM_WINDOWPOSCHANGING, OnWindowPosChanging((WINDOWPOS*)_c.lParam))
#define ON_WM_WINDOWPOSCHANGED() AFX_MSG_VOID(WM_WINDOWPOSCHANGED, OnWindowPosChanged((WINDOWPOS*)_c.lParam))
#define ON_WM_QUERYENDSESSION() AFX_MSG_RESULT(WM_QUERYENDSESSION, OnQueryEndSession())
#define ON_WM_ENDSESSION() AFX_MSG_VOID(WM_ENDSESSION, OnEndSession((BOOL)_c.wParam))
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_VOID(WM_SYSCOLORCHANGE, OnSysColorChange())
#define ON_WM_DROPFILES() AFX_MSG_VOID(WM_DROPFILES, OnDropFiles((HDROP)_c.wParam))
#define ON_WM_DEVMODECHANGE() AFX_MSG_VOID(WM_DEVMODECHANGE, OnDevModeChange((LPSTR)_c.lParam))
#define ON_WM_WININICHANGE() AFX_MSG_VOID(WM_WININICHANGE, OnWinIniChange((LPCSTR)_c.lParam))
#define ON_WM_CAPTURECHANGED() AFX_MSG_VOID(WM_CAPTURECHANGED, OnCaptureChanged(CWnd::FromHandle((HWND)_c.lParam)))
#define ON_WM_CANCELMODE() AFX_MSG_VOID(WM_CANCELMODE, OnCancelMode())

/////////////////////////////////////////////////////////////////////////////
// The application

class QXAFX_API CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    virtual ~CWinThread();

    CWnd* m_pMainWnd;       // the window whose closing ends the message loop
    CWnd* m_pActiveWnd;
    class COleMessageFilter* m_pMessageFilter;   // set by AfxOleInit
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;

    virtual CWnd* GetMainWnd();
    virtual BOOL InitInstance();
    // The message loop: idle processing while the queue is empty, then messages until
    // WM_QUIT, whose code ExitInstance returns.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    // lCount counts the calls since the last message; answer TRUE for more idle time.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual BOOL ProcessMessageFilter(int code, LPMSG lpMsg);

protected:
    MSG m_msgLastMouse;   // to recognise mouse moves that move nothing
};

QXAFX_API CWinThread* AfxGetThread();
// Runs a message through the thread's PreTranslateMessage, or, with no application,
// through the windows it is addressed to.
QXAFX_API BOOL AfxPreTranslateMessage(MSG* pMsg);
QXAFX_API BOOL AfxPumpMessage();

class QXAFX_API CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    virtual ~CWinApp();

    LPCTSTR m_pszAppName;
    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszExeName;
    LPCTSTR m_pszHelpFilePath;
    // Where the profile functions read and write: with m_pszRegistryKey set, the key
    // HKEY_CURRENT_USER\Software\<m_pszRegistryKey>\<m_pszProfileName>; otherwise the
    // INI file m_pszProfileName. Both are heap strings the application object frees.
    LPCTSTR m_pszProfileName;
    LPCTSTR m_pszRegistryKey;
    DWORD m_dwPromptContext;
    int m_nWaitCursorCount;
    HCURSOR m_hcurWaitCursorRestore;

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL OnIdle(LONG lCount);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual void DoWaitCursor(int nCode);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }
    HCURSOR LoadOEMCursor(UINT nIDCursor) const { return ::LoadCursor(nullptr, MAKEINTRESOURCE(nIDCursor)); }
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }
    HICON LoadOEMIcon(UINT nIDIcon) const { return ::LoadIcon(nullptr, MAKEINTRESOURCE(nIDIcon)); }

    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    // A null value deletes the entry; a null entry deletes the whole section.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    // Moves the profile into the registry under Software\<lpszRegistryKey>\<application name>.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Documents. The application owns its templates and deletes them when it ends.
    void AddDocTemplate(class CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    class CDocTemplate* GetNextDocTemplate(POSITION& pos) const { return (class CDocTemplate*)m_templateList.GetNext(pos); }
    // Opens a file with the template whose extension fits best; a file already open is
    // activated instead. Null when it could not be opened.
    virtual class CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount();
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  class CDocTemplate* pTemplate);

    // The recent-file list (nMaxMRU entries, 0 for none) and its profile section.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();

    // Command line and shell
    void ParseCommandLine(class CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(class CCommandLineInfo& rCmdInfo);
    // Lets the shell open files through DDE (application = the program's name, topic "system").
    void EnableShellOpen();
    // Registers each template's file type: extension, type name, open command and, with
    // shell open enabled, the DDE open command; bCompat adds the icon and print commands.
    void RegisterShellFileTypes(BOOL bCompat = FALSE);
    void UnregisterShellFileTypes();
    // A DDE execute string sent to the program; handles [open("file")].
    virtual BOOL OnDDECommand(LPTSTR lpszCommand);

    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    // Disables (and enables again) the main frame and the windows it owns while a modal
    // window of another program is up; calls nest.
    virtual void EnableModeless(BOOL bEnable);

    // The program's printer, as DEVNAMES and DEVMODE blocks the application owns.
    HGLOBAL m_hDevMode;
    HGLOBAL m_hDevNames;
    // Takes the default printer when none is chosen yet (or bForceDefaults).
    void UpdatePrinterSelection(BOOL bForceDefaults);
    BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
    BOOL CreatePrinterDC(CDC& dc);
    void SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld = TRUE);
    // Shows the dialog with the program's printer; the printer chosen becomes the program's.
    int DoPrintDialog(class CPrintDialog* pPD);
    afx_msg void OnFilePrintSetup();

    CPtrList m_templateList;
    class CRecentFileList* m_pRecentFileList;
    ATOM m_atomApp;
    ATOM m_atomSystemTopic;

protected:
    afx_msg void OnAppExit();
    afx_msg void OnHelp();
    afx_msg BOOL OnOpenRecentFile(UINT nID);
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    int m_nCmdShowAfterDDE;   // how a DDE start shows its hidden main window once a file opens

    void SetCurrentHandles();
    friend QXAFX_API BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPTSTR, int);
};

// Shows the wait cursor for its lifetime.
class CWaitCursor
{
public:
    CWaitCursor() { CWinApp* pApp = AfxGetApp(); if (pApp != nullptr) pApp->DoWaitCursor(1); }
    ~CWaitCursor() { CWinApp* pApp = AfxGetApp(); if (pApp != nullptr) pApp->DoWaitCursor(-1); }
    void Restore() { CWinApp* pApp = AfxGetApp(); if (pApp != nullptr) pApp->DoWaitCursor(0); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// The program's main routine: initialise, InitInstance, Run (or ExitInstance when
// InitInstance fails). A program links qxafxmain, whose WinMain calls this.
QXAFX_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
QXAFX_API BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
QXAFX_API void AfxWinTerm();
QXAFX_API void AfxPostQuitMessage(int nExitCode);

/////////////////////////////////////////////////////////////////////////////
// Dialogs and dialog data exchange

class QXAFX_API CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    BOOL m_bSaveAndValidate;   // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus back on the control that failed and abandons the exchange.
    [[noreturn]] void Fail();
    HWND m_hWndLastControl;
    BOOL m_bEditLastControl;
};

class QXAFX_API CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual ~CDialog();

    // Modeless: the template is found through the resource chain.
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) { return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd); }
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, HINSTANCE hInst = nullptr);
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog in the framework's modal loop, so PreTranslateMessage and idle
    // processing work while it is up. Answers the EndDialog result, or -1 when the
    // dialog could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    void NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1); }
    void SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
    void SetHelpID(UINT nIDR) { m_nIDHelp = nIDR; }

    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    UINT m_nIDHelp;
    LPCTSTR m_lpszTemplateName;
    HGLOBAL m_hDialogTemplate;
    LPCDLGTEMPLATE m_lpDialogTemplate;
    CWnd* m_pParentWnd;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    // Creates the dialog window from a template held in hInst.
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
    HWND PreModal();
    void PostModal();
    DECLARE_MESSAGE_MAP()

    friend class CWnd;
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

QXAFX_API INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Exchange between controls and members; on a bad value they show the standard prompt
// and fail the exchange.
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, WORD& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
QXAFX_API void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
QXAFX_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The buttons of a group, from nIDC (which has WS_GROUP) to the next group: -1 for none.
QXAFX_API void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
QXAFX_API void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
QXAFX_API void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
QXAFX_API void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
QXAFX_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
QXAFX_API void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);
QXAFX_API void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
QXAFX_API void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value);
QXAFX_API void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
QXAFX_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

QXAFX_API void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
QXAFX_API void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
QXAFX_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
QXAFX_API void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
QXAFX_API void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
QXAFX_API void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
QXAFX_API void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
QXAFX_API void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
QXAFX_API void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);

/////////////////////////////////////////////////////////////////////////////
// Standard controls. Owner-drawn ones get DrawItem, MeasureItem, CompareItem and
// DeleteItem through reflection from their parent.

class QXAFX_API CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() {}
    virtual ~CStatic();
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
    HICON SetIcon(HICON hIcon) { return (HICON)::SendMessage(m_hWnd, STM_SETICON, (WPARAM)hIcon, 0); }
    HICON GetIcon() const { return (HICON)::SendMessage(m_hWnd, STM_GETICON, 0, 0); }
    HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
    HBITMAP GetBitmap() const { return (HBITMAP)::SendMessage(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0); }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QXAFX_API CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)
public:
    CButton() {}
    virtual ~CButton();
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    UINT GetState() const { return (UINT)::SendMessage(m_hWnd, BM_GETSTATE, 0, 0); }
    void SetState(BOOL bHighlight) { ::SendMessage(m_hWnd, BM_SETSTATE, bHighlight, 0); }
    int GetCheck() const { return (int)::SendMessage(m_hWnd, BM_GETCHECK, 0, 0); }
    void SetCheck(int nCheck) { ::SendMessage(m_hWnd, BM_SETCHECK, nCheck, 0); }
    UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xff; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
    HICON SetIcon(HICON hIcon) { return (HICON)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
    HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QXAFX_API CListBox : public CWnd
{
    DECLARE_DYNAMIC(CListBox)
public:
    CListBox() {}
    virtual ~CListBox();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const { return (int)::SendMessage(m_hWnd, LB_GETCOUNT, 0, 0); }
    int GetHorizontalExtent() const { return (int)::SendMessage(m_hWnd, LB_GETHORIZONTALEXTENT, 0, 0); }
    void SetHorizontalExtent(int cxExtent) { ::SendMessage(m_hWnd, LB_SETHORIZONTALEXTENT, cxExtent, 0); }
    int GetTopIndex() const { return (int)::SendMessage(m_hWnd, LB_GETTOPINDEX, 0, 0); }
    int SetTopIndex(int nIndex) { return (int)::SendMessage(m_hWnd, LB_SETTOPINDEX, nIndex, 0); }
    DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)::SendMessage(m_hWnd, LB_GETITEMDATA, nIndex, 0); }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)::SendMessage(m_hWnd, LB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
    int GetItemRect(int nIndex, LPRECT lpRect) const { return (int)::SendMessage(m_hWnd, LB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    int GetSel(int nIndex) const { return (int)::SendMessage(m_hWnd, LB_GETSEL, nIndex, 0); }
    int GetText(int nIndex, LPTSTR lpszBuffer) const { return (int)::SendMessage(m_hWnd, LB_GETTEXT, nIndex, (LPARAM)lpszBuffer); }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const { return (int)::SendMessage(m_hWnd, LB_GETTEXTLEN, nIndex, 0); }
    void SetColumnWidth(int cxWidth) { ::SendMessage(m_hWnd, LB_SETCOLUMNWIDTH, cxWidth, 0); }
    BOOL SetTabStops(int nTabStops, LPINT rgTabStops) { return (BOOL)::SendMessage(m_hWnd, LB_SETTABSTOPS, nTabStops, (LPARAM)rgTabStops); }
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)::SendMessage(m_hWnd, LB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0)); }
    int GetItemHeight(int nIndex) const { return (int)::SendMessage(m_hWnd, LB_GETITEMHEIGHT, nIndex, 0); }
    int GetCaretIndex() const { return (int)::SendMessage(m_hWnd, LB_GETCARETINDEX, 0, 0); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) { return (int)::SendMessage(m_hWnd, LB_SETCARETINDEX, nIndex, MAKELONG(bScroll, 0)); }
    int GetCurSel() const { return (int)::SendMessage(m_hWnd, LB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) { return (int)::SendMessage(m_hWnd, LB_SETCURSEL, nSelect, 0); }
    int SetSel(int nIndex, BOOL bSelect = TRUE) { return (int)::SendMessage(m_hWnd, LB_SETSEL, bSelect, nIndex); }
    int GetSelCount() const { return (int)::SendMessage(m_hWnd, LB_GETSELCOUNT, 0, 0); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const { return (int)::SendMessage(m_hWnd, LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex); }
    int SelItemRange(BOOL bSelect, int nFirstItem, int nLastItem) { return (int)::SendMessage(m_hWnd, LB_SELITEMRANGEEX, bSelect ? nFirstItem : nLastItem, bSelect ? nLastItem : nFirstItem); }
    int AddString(LPCTSTR lpszItem) { return (int)::SendMessage(m_hWnd, LB_ADDSTRING, 0, (LPARAM)lpszItem); }
    int DeleteString(UINT nIndex) { return (int)::SendMessage(m_hWnd, LB_DELETESTRING, nIndex, 0); }
    int InsertString(int nIndex, LPCTSTR lpszItem) { return (int)::SendMessage(m_hWnd, LB_INSERTSTRING, nIndex, (LPARAM)lpszItem); }
    void ResetContent() { ::SendMessage(m_hWnd, LB_RESETCONTENT, 0, 0); }
    int Dir(UINT attr, LPCTSTR lpszWildCard) { return (int)::SendMessage(m_hWnd, LB_DIR, attr, (LPARAM)lpszWildCard); }
    int FindString(int nStartAfter, LPCTSTR lpszItem) const { return (int)::SendMessage(m_hWnd, LB_FINDSTRING, nStartAfter, (LPARAM)lpszItem); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return (int)::SendMessage(m_hWnd, LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind); }
    int SelectString(int nStartAfter, LPCTSTR lpszItem) { return (int)::SendMessage(m_hWnd, LB_SELECTSTRING, nStartAfter, (LPARAM)lpszItem); }
    int ItemFromPoint(CPoint pt, BOOL& bOutside) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
    virtual int VKeyToItem(UINT nKey, UINT nIndex);
    virtual int CharToItem(UINT nKey, UINT nIndex);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// A list box with a check box before each item. It must be owner-drawn with strings;
// it keeps each item's check state and enabled state itself, and item data set through
// it (or LB_SETITEMDATA) stays the caller's. Clicking a check box, or pressing the space
// bar, changes it and tells the parent with CLBN_CHKCHANGE.
class QXAFX_API CCheckListBox : public CListBox
{
    DECLARE_DYNAMIC(CCheckListBox)
public:
    CCheckListBox();
    virtual ~CCheckListBox();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }
    UINT GetCheckStyle() const { return m_nStyle; }
    void SetCheck(int nIndex, int nCheck);
    int GetCheck(int nIndex) const;
    void Enable(int nIndex, BOOL bEnabled = TRUE);
    BOOL IsEnabled(int nIndex) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) override;

protected:
    struct CheckData;
    CheckData* GetCheckData(int nIndex) const;
    void ToggleCheck(int nIndex);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    UINT m_nStyle;
};

class QXAFX_API CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox() {}
    virtual ~CComboBox();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const { return (int)::SendMessage(m_hWnd, CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return (int)::SendMessage(m_hWnd, CB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) { return (int)::SendMessage(m_hWnd, CB_SETCURSEL, nSelect, 0); }
    DWORD GetEditSel() const { return (DWORD)::SendMessage(m_hWnd, CB_GETEDITSEL, 0, 0); }
    BOOL LimitText(int nMaxChars) { return (BOOL)::SendMessage(m_hWnd, CB_LIMITTEXT, nMaxChars, 0); }
    BOOL SetEditSel(int nStartChar, int nEndChar) { return (BOOL)::SendMessage(m_hWnd, CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar)); }
    DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)::SendMessage(m_hWnd, CB_GETITEMDATA, nIndex, 0); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)::SendMessage(m_hWnd, CB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
    int GetLBText(int nIndex, LPTSTR lpszText) const { return (int)::SendMessage(m_hWnd, CB_GETLBTEXT, nIndex, (LPARAM)lpszText); }
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const { return (int)::SendMessage(m_hWnd, CB_GETLBTEXTLEN, nIndex, 0); }
    // nIndex -1 sets the height of the selection field.
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)::SendMessage(m_hWnd, CB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0)); }
    int GetItemHeight(int nIndex) const { return (int)::SendMessage(m_hWnd, CB_GETITEMHEIGHT, nIndex, 0); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return (int)::SendMessage(m_hWnd, CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind); }
    int SetExtendedUI(BOOL bExtended = TRUE) { return (int)::SendMessage(m_hWnd, CB_SETEXTENDEDUI, bExtended, 0); }
    BOOL GetExtendedUI() const { return (BOOL)::SendMessage(m_hWnd, CB_GETEXTENDEDUI, 0, 0); }
    void GetDroppedControlRect(LPRECT lprect) const { ::SendMessage(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect); }
    BOOL GetDroppedState() const { return (BOOL)::SendMessage(m_hWnd, CB_GETDROPPEDSTATE, 0, 0); }
    int SetDroppedWidth(UINT nWidth) { return (int)::SendMessage(m_hWnd, CB_SETDROPPEDWIDTH, nWidth, 0); }
    int GetDroppedWidth() const { return (int)::SendMessage(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0); }
    int GetTopIndex() const { return (int)::SendMessage(m_hWnd, CB_GETTOPINDEX, 0, 0); }
    int SetTopIndex(int nIndex) { return (int)::SendMessage(m_hWnd, CB_SETTOPINDEX, nIndex, 0); }
    void ShowDropDown(BOOL bShowIt = TRUE) { ::SendMessage(m_hWnd, CB_SHOWDROPDOWN, bShowIt, 0); }
    int AddString(LPCTSTR lpszString) { return (int)::SendMessage(m_hWnd, CB_ADDSTRING, 0, (LPARAM)lpszString); }
    int DeleteString(UINT nIndex) { return (int)::SendMessage(m_hWnd, CB_DELETESTRING, nIndex, 0); }
    int InsertString(int nIndex, LPCTSTR lpszString) { return (int)::SendMessage(m_hWnd, CB_INSERTSTRING, nIndex, (LPARAM)lpszString); }
    void ResetContent() { ::SendMessage(m_hWnd, CB_RESETCONTENT, 0, 0); }
    int Dir(UINT attr, LPCTSTR lpszWildCard) { return (int)::SendMessage(m_hWnd, CB_DIR, attr, (LPARAM)lpszWildCard); }
    int FindString(int nStartAfter, LPCTSTR lpszString) const { return (int)::SendMessage(m_hWnd, CB_FINDSTRING, nStartAfter, (LPARAM)lpszString); }
    int SelectString(int nStartAfter, LPCTSTR lpszString) { return (int)::SendMessage(m_hWnd, CB_SELECTSTRING, nStartAfter, (LPARAM)lpszString); }
    void Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QXAFX_API CEdit : public CWnd
{
    DECLARE_DYNAMIC(CEdit)
public:
    CEdit() {}
    virtual ~CEdit();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL CanUndo() const { return (BOOL)::SendMessage(m_hWnd, EM_CANUNDO, 0, 0); }
    int GetLineCount() const { return (int)::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    BOOL GetModify() const { return (BOOL)::SendMessage(m_hWnd, EM_GETMODIFY, 0, 0); }
    void SetModify(BOOL bModified = TRUE) { ::SendMessage(m_hWnd, EM_SETMODIFY, bModified, 0); }
    void GetRect(LPRECT lpRect) const { ::SendMessage(m_hWnd, EM_GETRECT, 0, (LPARAM)lpRect); }
    DWORD GetSel() const { return (DWORD)::SendMessage(m_hWnd, EM_GETSEL, 0, 0); }
    void GetSel(int& nStartChar, int& nEndChar) const;
    int GetLine(int nIndex, LPTSTR lpszBuffer) const { return (int)::SendMessage(m_hWnd, EM_GETLINE, nIndex, (LPARAM)lpszBuffer); }
    int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const;
    void EmptyUndoBuffer() { ::SendMessage(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0); }
    BOOL FmtLines(BOOL bAddEOL) { return (BOOL)::SendMessage(m_hWnd, EM_FMTLINES, bAddEOL, 0); }
    void LimitText(int nChars = 0) { ::SendMessage(m_hWnd, EM_LIMITTEXT, nChars, 0); }
    UINT GetLimitText() const { return (UINT)::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0); }
    void SetLimitText(UINT nMax) { ::SendMessage(m_hWnd, EM_SETLIMITTEXT, nMax, 0); }
    int LineFromChar(int nIndex = -1) const { return (int)::SendMessage(m_hWnd, EM_LINEFROMCHAR, nIndex, 0); }
    int LineIndex(int nLine = -1) const { return (int)::SendMessage(m_hWnd, EM_LINEINDEX, nLine, 0); }
    int LineLength(int nLine = -1) const { return (int)::SendMessage(m_hWnd, EM_LINELENGTH, nLine, 0); }
    void LineScroll(int nLines, int nChars = 0) { ::SendMessage(m_hWnd, EM_LINESCROLL, nChars, nLines); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) { ::SendMessage(m_hWnd, EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText); }
    void SetPasswordChar(TCHAR ch) { ::SendMessage(m_hWnd, EM_SETPASSWORDCHAR, (WPARAM)(BYTE)ch, 0); }
    void SetRect(LPCRECT lpRect) { ::SendMessage(m_hWnd, EM_SETRECT, 0, (LPARAM)lpRect); }
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    BOOL SetTabStops(int nTabStops, LPINT rgTabStops) { return (BOOL)::SendMessage(m_hWnd, EM_SETTABSTOPS, nTabStops, (LPARAM)rgTabStops); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0); }
    int GetFirstVisibleLine() const { return (int)::SendMessage(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0); }
    TCHAR GetPasswordChar() const { return (TCHAR)::SendMessage(m_hWnd, EM_GETPASSWORDCHAR, 0, 0); }
    void SetMargins(UINT nLeft, UINT nRight) { ::SendMessage(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight)); }
    BOOL Undo() { return (BOOL)::SendMessage(m_hWnd, EM_UNDO, 0, 0); }
    void Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }
};

class QXAFX_API CScrollBar : public CWnd
{
    DECLARE_DYNAMIC(CScrollBar)
public:
    CScrollBar() {}
    virtual ~CScrollBar();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw); }
    void ShowScrollBar(BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
    BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) { return ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw); }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
};

#include "afxframe.h"
