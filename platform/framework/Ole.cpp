// OLE from the client's side: start and end of OLE, VARIANT values, calls through
// IDispatch, the message filter and the lock that keeps a server running.
#include "afxdisp.h"
#include "ModuleState.h"
#include <vector>

namespace {

BOOL g_bOleInitialized = FALSE;
LONG g_nOleLocks = 0;
BOOL g_bUserCtrl = TRUE;

void CheckResult(HRESULT hr)
{
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

}

namespace afximpl {

void FlushOleClipboard();

void TermOle()
{
    if (!g_bOleInitialized)
        return;
    FlushOleClipboard();
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMessageFilter != nullptr) {
        pThread->m_pMessageFilter->Revoke();
        delete pThread->m_pMessageFilter;
        pThread->m_pMessageFilter = nullptr;
    }
    ::OleUninitialize();
    g_bOleInitialized = FALSE;
}

}

BOOL AfxOleInit()
{
    if (g_bOleInitialized)
        return TRUE;
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    g_bOleInitialized = TRUE;
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMessageFilter == nullptr) {
        pThread->m_pMessageFilter = new COleMessageFilter;
        pThread->m_pMessageFilter->Register();
    }
    return TRUE;
}

COleMessageFilter* AfxOleGetMessageFilter()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->m_pMessageFilter : nullptr;
}

void AfxEnableControlContainer() {}

void AfxOleLockApp() { ::InterlockedIncrement(&g_nOleLocks); }

void AfxOleUnlockApp()
{
    if (::InterlockedDecrement(&g_nOleLocks) != 0 || g_bUserCtrl)
        return;
    // The last object a program started by OLE handed out is gone: the program ends.
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr)
        pMainWnd->PostMessage(WM_CLOSE);
}

BOOL AfxOleCanExitApp() { return g_nOleLocks == 0; }
void AfxOleSetUserCtrl(BOOL bUserCtrl) { g_bUserCtrl = bUserCtrl; }
BOOL AfxOleGetUserCtrl() { return g_bUserCtrl; }

CString AfxStringFromBSTR(BSTR bstr)
{
    if (bstr == nullptr)
        return CString();
    int nWide = (int)::SysStringLen(bstr);
    int nBytes = ::WideCharToMultiByte(CP_ACP, 0, bstr, nWide, nullptr, 0, nullptr, nullptr);
    CString str;
    if (nBytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, bstr, nWide, str.GetBuffer(nBytes), nBytes, nullptr, nullptr);
        str.ReleaseBuffer(nBytes);
    }
    return str;
}

BSTR AfxAllocBSTR(LPCTSTR lpsz)
{
    if (lpsz == nullptr)
        lpsz = "";
    int nLen = (int)strlen(lpsz);
    int nWide = ::MultiByteToWideChar(CP_ACP, 0, lpsz, nLen, nullptr, 0);
    BSTR bstr = ::SysAllocStringLen(nullptr, (UINT)nWide);
    if (bstr == nullptr)
        AfxThrowMemoryException();
    ::MultiByteToWideChar(CP_ACP, 0, lpsz, nLen, bstr, nWide);
    return bstr;
}

/////////////////////////////////////////////////////////////////////////////
// COleVariant

COleVariant::COleVariant(const VARIANT& varSrc)
{
    ::VariantInit(this);
    CheckResult(::VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
}

COleVariant::COleVariant(LPCVARIANT pSrc)
{
    ::VariantInit(this);
    CheckResult(::VariantCopy(this, const_cast<VARIANT*>(pSrc)));
}

COleVariant::COleVariant(const COleVariant& varSrc)
{
    ::VariantInit(this);
    CheckResult(::VariantCopy(this, const_cast<COleVariant*>(&varSrc)));
}

COleVariant::COleVariant(LPCTSTR lpszSrc)
{
    ::VariantInit(this);
    vt = VT_BSTR;
    bstrVal = AfxAllocBSTR(lpszSrc);
}

COleVariant::COleVariant(const CString& strSrc) : COleVariant((LPCTSTR)strSrc) {}

COleVariant::COleVariant(BYTE nSrc)
{
    ::VariantInit(this);
    vt = VT_UI1;
    bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc)
{
    ::VariantInit(this);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        vt = VT_I2;
        iVal = nSrc;
    }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc)
{
    ::VariantInit(this);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (vtSrc == VT_ERROR) {
        vt = VT_ERROR;
        scode = lSrc;
    } else {
        vt = VT_I4;
        lVal = lSrc;
    }
}

COleVariant::COleVariant(float fltSrc)
{
    ::VariantInit(this);
    vt = VT_R4;
    fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc)
{
    ::VariantInit(this);
    vt = VT_R8;
    dblVal = dblSrc;
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc)
{
    if (pSrc == nullptr)
        pSrc = this;
    if (pSrc == this && vt == vartype)
        return;
    CheckResult(::VariantChangeType(this, pSrc, 0, vartype));
}

void COleVariant::Attach(VARIANT& varSrc)
{
    ::VariantClear(this);
    memcpy((VARIANT*)this, &varSrc, sizeof(VARIANT));
    varSrc.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach()
{
    VARIANT varResult = *this;
    vt = VT_EMPTY;
    return varResult;
}

const COleVariant& COleVariant::operator=(const VARIANT& varSrc)
{
    if (&varSrc != this)
        CheckResult(::VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
    return *this;
}

const COleVariant& COleVariant::operator=(const COleVariant& varSrc) { return operator=((const VARIANT&)varSrc); }

const COleVariant& COleVariant::operator=(LPCTSTR lpszSrc)
{
    BSTR bstr = AfxAllocBSTR(lpszSrc);
    ::VariantClear(this);
    vt = VT_BSTR;
    bstrVal = bstr;
    return *this;
}

const COleVariant& COleVariant::operator=(const CString& strSrc) { return operator=((LPCTSTR)strSrc); }

const COleVariant& COleVariant::operator=(long lSrc)
{
    ::VariantClear(this);
    vt = VT_I4;
    lVal = lSrc;
    return *this;
}

const COleVariant& COleVariant::operator=(double dblSrc)
{
    ::VariantClear(this);
    vt = VT_R8;
    dblVal = dblSrc;
    return *this;
}

/////////////////////////////////////////////////////////////////////////////
// COleDispatchException

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

COleDispatchException::COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_scError(0), m_strDescription(lpszDescription), m_dwHelpContext(nHelpID)
{
}

BOOL COleDispatchException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = m_dwHelpContext;
    if (m_strDescription.IsEmpty())
        return FALSE;
    lstrcpynA(lpszError, m_strDescription, (int)nMaxError);
    return TRUE;
}

void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID)
{
    throw new COleDispatchException(lpszDescription, nHelpID, wCode);
}

/////////////////////////////////////////////////////////////////////////////
// COleDispatchDriver

COleDispatchDriver::COleDispatchDriver() : m_lpDispatch(nullptr), m_bAutoRelease(TRUE) {}

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease)
{
}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& dispatchSrc)
    : m_lpDispatch(dispatchSrc.m_lpDispatch), m_bAutoRelease(TRUE)
{
    if (m_lpDispatch != nullptr)
        m_lpDispatch->AddRef();
}

COleDispatchDriver::~COleDispatchDriver() { ReleaseDispatch(); }

const COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& dispatchSrc)
{
    if (this != &dispatchSrc) {
        LPDISPATCH lpDispatch = dispatchSrc.m_lpDispatch;
        if (lpDispatch != nullptr)
            lpDispatch->AddRef();
        ReleaseDispatch();
        m_lpDispatch = lpDispatch;
        m_bAutoRelease = TRUE;
    }
    return *this;
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError)
{
    ReleaseDispatch();
    LPUNKNOWN lpUnknown = nullptr;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, (void**)&lpUnknown);
    if (SUCCEEDED(hr)) {
        // A local server must be running before it is asked for its interface.
        ::OleRun(lpUnknown);
        hr = lpUnknown->QueryInterface(IID_IDispatch, (void**)&m_lpDispatch);
        lpUnknown->Release();
    }
    if (FAILED(hr)) {
        m_lpDispatch = nullptr;
        if (pError != nullptr)
            pError->m_sc = hr;
        return FALSE;
    }
    m_bAutoRelease = TRUE;
    return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR lpszProgID, COleException* pError)
{
    BSTR bstrProgID = AfxAllocBSTR(lpszProgID);
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(bstrProgID, &clsid);
    ::SysFreeString(bstrProgID);
    if (FAILED(hr)) {
        if (pError != nullptr)
            pError->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease)
{
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch()
{
    LPDISPATCH lpDispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    return lpDispatch;
}

void COleDispatchDriver::ReleaseDispatch()
{
    if (m_lpDispatch != nullptr && m_bAutoRelease)
        m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...)
{
    va_list argList;
    va_start(argList, pbParamInfo);
    try {
        InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList)
{
    // Calling through no object is a caller's error, told as OLE tells it.
    if (m_lpDispatch == nullptr)
        AfxThrowOleException(E_POINTER);

    // IDispatch takes the arguments last first.
    size_t nArgs = pbParamInfo != nullptr ? strlen((const char*)pbParamInfo) : 0;
    std::vector<VARIANT> args(nArgs);
    std::vector<BSTR> ownedStrings;
    for (size_t i = 0; i < nArgs; i++) {
        VARIANT& arg = args[nArgs - 1 - i];
        ::VariantInit(&arg);
        BYTE bType = pbParamInfo[i];
        if (bType & VT_MFCBYREF) {
            arg.vt = (VARTYPE)((bType & ~VT_MFCBYREF) | VT_BYREF);
            arg.byref = va_arg(argList, void*);
            continue;
        }
        arg.vt = bType;
        switch (bType) {
        case VT_I2: arg.iVal = (short)va_arg(argList, int); break;
        case VT_I4: arg.lVal = va_arg(argList, long); break;
        case VT_R4: arg.fltVal = (float)va_arg(argList, double); break;
        case VT_R8: arg.dblVal = va_arg(argList, double); break;
        case VT_DATE: arg.date = va_arg(argList, DATE); break;
        case VT_CY: arg.cyVal = va_arg(argList, CY); break;
        case VT_BSTR:
            arg.bstrVal = AfxAllocBSTR(va_arg(argList, LPCTSTR));
            ownedStrings.push_back(arg.bstrVal);
            break;
        case VT_DISPATCH: arg.pdispVal = va_arg(argList, LPDISPATCH); break;
        case VT_UNKNOWN: arg.punkVal = va_arg(argList, LPUNKNOWN); break;
        case VT_ERROR: arg.scode = va_arg(argList, SCODE); break;
        case VT_BOOL: arg.boolVal = va_arg(argList, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_UI1: arg.bVal = (BYTE)va_arg(argList, int); break;
        case VT_VARIANT: {
            // The caller's value, passed as it stands; the caller keeps it.
            const VARIANT* pSrc = va_arg(argList, const VARIANT*);
            arg = *pSrc;
            break;
        }
        default:
            for (BSTR bstr : ownedStrings)
                ::SysFreeString(bstr);
            AfxThrowNotSupportedException();
        }
    }

    DISPPARAMS dispparams = {nArgs ? args.data() : nullptr, nullptr, (UINT)nArgs, 0};
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        dispparams.cNamedArgs = 1;
        dispparams.rgdispidNamedArgs = &dispidNamed;
    }
    VARIANT vaResult;
    ::VariantInit(&vaResult);
    EXCEPINFO excepInfo = {};
    UINT nArgErr = (UINT)-1;
    HRESULT hr = m_lpDispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, &dispparams,
                                      vtRet != VT_EMPTY ? &vaResult : nullptr, &excepInfo, &nArgErr);
    for (BSTR bstr : ownedStrings)
        ::SysFreeString(bstr);

    if (FAILED(hr)) {
        ::VariantClear(&vaResult);
        if (hr == DISP_E_EXCEPTION) {
            if (excepInfo.pfnDeferredFillIn != nullptr)
                excepInfo.pfnDeferredFillIn(&excepInfo);
            COleDispatchException* pException =
                new COleDispatchException(AfxStringFromBSTR(excepInfo.bstrDescription), excepInfo.dwHelpContext,
                                          excepInfo.wCode);
            pException->m_scError = excepInfo.scode != 0 ? excepInfo.scode : hr;
            pException->m_strSource = AfxStringFromBSTR(excepInfo.bstrSource);
            pException->m_strHelpFile = AfxStringFromBSTR(excepInfo.bstrHelpFile);
            ::SysFreeString(excepInfo.bstrSource);
            ::SysFreeString(excepInfo.bstrDescription);
            ::SysFreeString(excepInfo.bstrHelpFile);
            throw pException;
        }
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY)
        return;
    if (vtRet != VT_VARIANT) {
        HRESULT hrChange = ::VariantChangeType(&vaResult, &vaResult, 0, vtRet);
        if (FAILED(hrChange)) {
            ::VariantClear(&vaResult);
            AfxThrowOleException(hrChange);
        }
    }
    switch (vtRet) {
    case VT_I2: *(short*)pvRet = vaResult.iVal; break;
    case VT_I4: *(long*)pvRet = vaResult.lVal; break;
    case VT_R4: *(float*)pvRet = vaResult.fltVal; break;
    case VT_R8: *(double*)pvRet = vaResult.dblVal; break;
    case VT_DATE: *(DATE*)pvRet = vaResult.date; break;
    case VT_CY: *(CY*)pvRet = vaResult.cyVal; break;
    case VT_BSTR:
        *(CString*)pvRet = AfxStringFromBSTR(vaResult.bstrVal);
        ::SysFreeString(vaResult.bstrVal);
        break;
    case VT_DISPATCH: *(LPDISPATCH*)pvRet = vaResult.pdispVal; break;
    case VT_UNKNOWN: *(LPUNKNOWN*)pvRet = vaResult.punkVal; break;
    case VT_ERROR: *(SCODE*)pvRet = vaResult.scode; break;
    case VT_BOOL: *(BOOL*)pvRet = vaResult.boolVal != VARIANT_FALSE; break;
    case VT_UI1: *(BYTE*)pvRet = vaResult.bVal; break;
    case VT_VARIANT: *(VARIANT*)pvRet = vaResult; break;
    default:
        ::VariantClear(&vaResult);
        AfxThrowNotSupportedException();
    }
}

void COleDispatchDriver::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...)
{
    BYTE rgbParams[2] = {(BYTE)vtProp, 0};
    WORD wFlags = vtProp == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    va_list argList;
    va_start(argList, vtProp);
    try {
        InvokeHelperV(dwDispID, wFlags, VT_EMPTY, nullptr, rgbParams, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const
{
    const_cast<COleDispatchDriver*>(this)->InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

/////////////////////////////////////////////////////////////////////////////
// COleMessageFilter

IMPLEMENT_DYNAMIC(COleMessageFilter, CCmdTarget)

COleMessageFilter::COleMessageFilter()
    : m_nBusyCount(0), m_bRegistered(FALSE), m_nBusyReply(SERVERCALL_RETRYLATER), m_nRetryReply(10),
      m_nTimeout(8000), m_bEnableBusy(TRUE), m_bEnableNotResponding(TRUE)
{
    m_xMessageFilter.m_pThis = this;
}

COleMessageFilter::~COleMessageFilter() { Revoke(); }

BOOL COleMessageFilter::Register()
{
    if (m_bRegistered)
        return TRUE;
    LPMESSAGEFILTER lpOld = nullptr;
    if (FAILED(::CoRegisterMessageFilter(&m_xMessageFilter, &lpOld)))
        return FALSE;
    if (lpOld != nullptr)
        lpOld->Release();
    m_bRegistered = TRUE;
    return TRUE;
}

void COleMessageFilter::Revoke()
{
    if (!m_bRegistered)
        return;
    LPMESSAGEFILTER lpOld = nullptr;
    ::CoRegisterMessageFilter(nullptr, &lpOld);
    // Another filter registered since stays.
    if (lpOld != nullptr && lpOld != &m_xMessageFilter)
        ::CoRegisterMessageFilter(lpOld, nullptr);
    if (lpOld != nullptr)
        lpOld->Release();
    m_bRegistered = FALSE;
}

BOOL COleMessageFilter::OnMessagePending(const MSG*)
{
    // Windows are repainted while the call waits; nothing else runs meanwhile.
    MSG msg;
    BOOL bPainted = FALSE;
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
        bPainted = TRUE;
    }
    return bPainted;
}

STDMETHODIMP COleMessageFilter::XMessageFilter::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
        *ppv = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(DWORD) COleMessageFilter::XMessageFilter::HandleInComingCall(DWORD dwCallType, HTASK, DWORD,
                                                                          LPINTERFACEINFO)
{
    if (m_pThis->m_nBusyCount == 0)
        return SERVERCALL_ISHANDLED;
    // Calls that start new work wait while the program is busy; calls that belong to
    // work under way go through.
    if (dwCallType == CALLTYPE_TOPLEVEL || dwCallType == CALLTYPE_TOPLEVEL_CALLPENDING)
        return (DWORD)m_pThis->m_nBusyReply;
    return SERVERCALL_ISHANDLED;
}

STDMETHODIMP_(DWORD) COleMessageFilter::XMessageFilter::RetryRejectedCall(HTASK, DWORD dwTickCount, DWORD dwRejectType)
{
    // A refusal is final; a busy server is called again until the delay has passed, then
    // the call is given up (no busy dialog is shown).
    if (dwRejectType == SERVERCALL_REJECTED)
        return (DWORD)-1;
    if (dwTickCount < m_pThis->m_nTimeout)
        return m_pThis->m_nRetryReply;
    return (DWORD)-1;
}

STDMETHODIMP_(DWORD) COleMessageFilter::XMessageFilter::MessagePending(HTASK, DWORD, DWORD)
{
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        m_pThis->OnMessagePending(&msg);
    return PENDINGMSG_WAITDEFPROCESS;
}
