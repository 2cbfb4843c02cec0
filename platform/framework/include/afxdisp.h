// OLE automation from the client's side: start-up of OLE, VARIANT values, calls through
// IDispatch, and the message filter that answers calls while the program is busy.
#pragma once
#include "afxwin.h"
#include <ole2.h>
#include <oleauto.h>

// Parameter lists of InvokeHelper: one byte per argument, its VARIANT type; 0x40 marks
// an argument passed by reference (a pointer to the type).
#define VT_MFCBYREF 0x40
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"        // LPCTSTR
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"        // BOOL
#define VTS_VARIANT "\x0C"     // const VARIANT* (or a COleVariant)
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PCY "\x46"
#define VTS_PDATE "\x47"
#define VTS_PBSTR "\x48"       // BSTR*
#define VTS_PDISPATCH "\x49"
#define VTS_PSCODE "\x4A"
#define VTS_PBOOL "\x4B"       // VARIANT_BOOL*
#define VTS_PVARIANT "\x4C"    // VARIANT*
#define VTS_PUNKNOWN "\x4D"
#define VTS_PUI1 "\x51"

class COleMessageFilter;
typedef const VARIANT* LPCVARIANT;

// Initialises OLE for the program (once) and registers a message filter for its thread;
// OLE ends with the program. FALSE when OLE could not start.
QXAFX_API BOOL AfxOleInit();
QXAFX_API COleMessageFilter* AfxOleGetMessageFilter();
// Dialogs here host no OLE controls; there is nothing to switch on.
QXAFX_API void AfxEnableControlContainer();
// Objects handed out to other programs keep the program running: while any is locked the
// main window hides rather than closes, and the last unlock closes a program the user did
// not start.
QXAFX_API void AfxOleLockApp();
QXAFX_API void AfxOleUnlockApp();
QXAFX_API BOOL AfxOleCanExitApp();
QXAFX_API void AfxOleSetUserCtrl(BOOL bUserCtrl);
QXAFX_API BOOL AfxOleGetUserCtrl();

// A BSTR as the program's text, and back (the caller frees the BSTR).
QXAFX_API CString AfxStringFromBSTR(BSTR bstr);
QXAFX_API BSTR AfxAllocBSTR(LPCTSTR lpsz);

/////////////////////////////////////////////////////////////////////////////
// COleVariant: a VARIANT that owns its value.

class QXAFX_API COleVariant : public tagVARIANT
{
public:
    COleVariant() { ::VariantInit(this); }
    COleVariant(const VARIANT& varSrc);
    COleVariant(LPCVARIANT pSrc);
    COleVariant(const COleVariant& varSrc);
    COleVariant(LPCTSTR lpszSrc);
    COleVariant(const CString& strSrc);
    COleVariant(BYTE nSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);     // VT_I2 or VT_BOOL
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);      // VT_I4, VT_ERROR or VT_BOOL
    COleVariant(float fltSrc);
    COleVariant(double dblSrc);
    ~COleVariant() { ::VariantClear(this); }

    void Clear() { ::VariantClear(this); }
    // Converts in place (or from pSrc); throws COleException when the value does not convert.
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);
    void Attach(VARIANT& varSrc);
    VARIANT Detach();

    const COleVariant& operator=(const VARIANT& varSrc);
    const COleVariant& operator=(const COleVariant& varSrc);
    const COleVariant& operator=(LPCTSTR lpszSrc);
    const COleVariant& operator=(const CString& strSrc);
    const COleVariant& operator=(long lSrc);
    const COleVariant& operator=(double dblSrc);
    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }
};

/////////////////////////////////////////////////////////////////////////////
// An error an automation object reported (DISP_E_EXCEPTION) with its own description.

class QXAFX_API COleDispatchException : public CException
{
    DECLARE_DYNAMIC(COleDispatchException)
public:
    COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;

    WORD m_wCode;
    SCODE m_scError;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    DWORD m_dwHelpContext;
};

[[noreturn]] QXAFX_API void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID = 0);

/////////////////////////////////////////////////////////////////////////////
// COleDispatchDriver: calls an automation object's members through IDispatch. Failures
// throw COleException, or COleDispatchException when the object described the error.

class QXAFX_API COleDispatchDriver
{
public:
    COleDispatchDriver();
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    COleDispatchDriver(const COleDispatchDriver& dispatchSrc);
    virtual ~COleDispatchDriver();

    BOOL CreateDispatch(REFCLSID clsid, COleException* pError = nullptr);
    BOOL CreateDispatch(LPCTSTR lpszProgID, COleException* pError = nullptr);
    // With bAutoRelease the driver releases the interface when it lets go of it.
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    LPDISPATCH DetachDispatch();
    void ReleaseDispatch();

    // The arguments follow pbParamInfo (VTS_ strings); the result goes to pvRet as vtRet
    // (VT_EMPTY for none; VT_BSTR into a CString, VT_BOOL into a BOOL, VT_VARIANT into a
    // VARIANT the caller clears, VT_DISPATCH into an LPDISPATCH the caller releases).
    void AFX_CDECL InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, va_list argList);
    void AFX_CDECL SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);
    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;

    const COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);
    operator LPDISPATCH() const { return m_lpDispatch; }

    LPDISPATCH m_lpDispatch;
    BOOL m_bAutoRelease;
};

/////////////////////////////////////////////////////////////////////////////
// COleMessageFilter: the program's answer to OLE calls coming in while it is busy, and
// its patience with calls out to a busy server.

class QXAFX_API COleMessageFilter : public CCmdTarget
{
    DECLARE_DYNAMIC(COleMessageFilter)
public:
    COleMessageFilter();
    virtual ~COleMessageFilter();

    BOOL Register();
    void Revoke();
    // While busy, calls from outside are answered with the busy reply.
    virtual void BeginBusyState() { m_nBusyCount++; }
    virtual void EndBusyState() { if (m_nBusyCount > 0) m_nBusyCount--; }
    void SetBusyReply(SERVERCALL nBusyReply) { m_nBusyReply = nBusyReply; }
    // How many milliseconds to wait before calling a busy server again.
    void SetRetryReply(DWORD nRetryReply = 0) { m_nRetryReply = nRetryReply; }
    // How long (ms) a busy server is called again before the call is cancelled.
    void SetMessagePendingDelay(DWORD nTimeout = 5000) { m_nTimeout = nTimeout; }
    void EnableBusyDialog(BOOL bEnableBusy = TRUE) { m_bEnableBusy = bEnableBusy; }
    void EnableNotRespondingDialog(BOOL bEnableNotResponding = TRUE) { m_bEnableNotResponding = bEnableNotResponding; }
    // A message that arrived while an outgoing call waits; paints are carried out.
    virtual BOOL OnMessagePending(const MSG* pMsg);

    IMessageFilter* GetMessageFilterInterface() { return &m_xMessageFilter; }

protected:
    // The COM face of the filter; the C++ object owns its lifetime.
    struct XMessageFilter : public IMessageFilter
    {
        COleMessageFilter* m_pThis;
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        STDMETHOD_(DWORD, HandleInComingCall)(DWORD dwCallType, HTASK htaskCaller, DWORD dwTickCount,
                                              LPINTERFACEINFO lpInterfaceInfo) override;
        STDMETHOD_(DWORD, RetryRejectedCall)(HTASK htaskCallee, DWORD dwTickCount, DWORD dwRejectType) override;
        STDMETHOD_(DWORD, MessagePending)(HTASK htaskCallee, DWORD dwTickCount, DWORD dwPendingType) override;
    } m_xMessageFilter;

    int m_nBusyCount;
    BOOL m_bRegistered;
    SERVERCALL m_nBusyReply;
    DWORD m_nRetryReply;
    DWORD m_nTimeout;
    BOOL m_bEnableBusy;
    BOOL m_bEnableNotResponding;
};
