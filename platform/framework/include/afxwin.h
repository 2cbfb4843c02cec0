// Windows part of the application framework: modules and their resources, command
// targets with message maps, the application, windows, dialogs, controls and GDI objects.
#pragma once
#include "afx.h"
#include "afxres.h"
#include <commctrl.h>

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
#define AFX_MSG_ENTRY(msg, body) {(UINT)(msg), 0, 0, 0, nullptr, AFX_THUNK(body)}
#define AFX_MSG_VOID(msg, call) AFX_MSG_ENTRY(msg, _p->call; _c.lResult = 0; return TRUE;)
#define AFX_MSG_RESULT(msg, call) AFX_MSG_ENTRY(msg, _c.lResult = (LRESULT)(_p->call); return TRUE;)

#define AFX_NOTIFY_ARGS ((AFX_NOTIFY*)_c.pExtra)->pNMHDR, ((AFX_NOTIFY*)_c.pExtra)->pResult

// Commands and control notifications
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)}
#define ON_COMMAND_EX(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(return _p->memberFxn(_c.nID);)}
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, AFX_THUNK(_p->memberFxn(_c.nID); return TRUE;)}
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, AFX_THUNK(return _p->memberFxn(_c.nID);)}
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(_p->memberFxn((CCmdUI*)_c.pExtra); return TRUE;)}
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn((CCmdUI*)_c.pExtra); return TRUE;)}
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)}
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn(_c.nID); return TRUE;)}
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(_p->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)}
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(_p->memberFxn(_c.nID, AFX_NOTIFY_ARGS); return TRUE;)}
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), nullptr, \
     AFX_THUNK(return _p->memberFxn(_c.nID, AFX_NOTIFY_ARGS);)}
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), nullptr, \
     AFX_THUNK(return _p->memberFxn(_c.nID, AFX_NOTIFY_ARGS);)}

// Notifications a control handles itself
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(wNotifyCode), 0, 0, nullptr, AFX_THUNK(_p->memberFxn(); return TRUE;)}
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(wNotifyCode), 0, 0, nullptr, AFX_THUNK(return _p->memberFxn();)}
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(_p->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)}
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(return _p->memberFxn(AFX_NOTIFY_ARGS);)}
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
     AFX_THUNK(_c.lResult = _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)}
#define ON_THREAD_MESSAGE(message, memberFxn) \
    AFX_MSG_ENTRY(message, _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn) \
    {WM_REGISTERED_MARKER, 0, 0, 0, &(nMessageVariable), \
     AFX_THUNK(_p->memberFxn(_c.wParam, _c.lParam); return TRUE;)}

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

class QXAFX_API CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    virtual ~CCmdTarget();

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
QXAFX_API LPCTSTR AfxGetAppName();
QXAFX_API CWinApp* AfxGetApp();
QXAFX_API CWnd* AfxGetMainWnd();
QXAFX_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
QXAFX_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// The framework keeps one module state for the whole process: every module shares it.
#define AFX_MANAGE_STATE(p) ((void)0)
#define AfxGetStaticModuleState() ((void*)nullptr)
#define AfxGetAppModuleState() ((void*)nullptr)
