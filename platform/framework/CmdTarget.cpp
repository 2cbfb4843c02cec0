// CCmdTarget: message-map lookup and command dispatch.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// The IDispatch of a command target: names of its dispatch maps, no members to call
// beyond them (the maps of this framework name members only by their ids).
class CCmdTargetDispatch final : public IDispatch
{
public:
    explicit CCmdTargetDispatch(CCmdTarget* owner) : m_pOwner(owner) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        return (HRESULT)m_pOwner->InternalQueryInterface(&iid, ppv);
    }
    STDMETHOD_(ULONG, AddRef)() override { return m_pOwner->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return m_pOwner->InternalRelease(); }
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override
    {
        if (pctinfo == nullptr)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** ppTInfo) override
    {
        if (ppTInfo != nullptr)
            *ppTInfo = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            char name[256] = "";
            ::WideCharToMultiByte(CP_ACP, 0, names[i], -1, name, sizeof name, nullptr, nullptr);
            ids[i] = i == 0 ? m_pOwner->FindDispID(name) : DISPID_UNKNOWN;
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    CCmdTarget* m_pOwner;
};

CCmdTarget::CCmdTarget() : m_dwRef(1), m_pDispatch(nullptr) {}
CCmdTarget::~CCmdTarget() { delete m_pDispatch; }

DWORD CCmdTarget::InternalAddRef()
{
    return (DWORD)::InterlockedIncrement(&m_dwRef);
}

DWORD CCmdTarget::InternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    LONG n = ::InterlockedDecrement(&m_dwRef);
    if (n == 0)
        OnFinalRelease();
    return (DWORD)n;
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap()
{
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, (size_t)-1}};
    static const AFX_INTERFACEMAP map = {nullptr, entries};
    return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap()
{
    static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, DISPID_UNKNOWN}};
    static const AFX_DISPMAP map = {nullptr, entries};
    return &map;
}

const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const { return GetThisDispatchMap(); }

long CCmdTarget::FindDispID(LPCSTR lpszName) const
{
    for (const AFX_DISPMAP* m = GetDispatchMap(); m != nullptr; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr)
        for (const AFX_DISPMAP_ENTRY* e = m->lpEntries; e->lpszName != nullptr; ++e)
            if (lstrcmpiA(e->lpszName, lpszName) == 0)
                return e->lDispID;
    return DISPID_UNKNOWN;
}

void CCmdTarget::EnableAutomation()
{
    if (m_pDispatch == nullptr)
        m_pDispatch = new CCmdTargetDispatch(this);
}

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef)
{
    if (m_pDispatch != nullptr && bAddRef)
        InternalAddRef();
    return m_pDispatch;
}

LPUNKNOWN CCmdTarget::GetInterface(const void* iid)
{
    const IID& wanted = *(const IID*)iid;
    const bool unknown = IsEqualIID(wanted, IID_IUnknown) != 0;
    for (const AFX_INTERFACEMAP* m = GetInterfaceMap(); m != nullptr; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr)
        for (const AFX_INTERFACEMAP_ENTRY* e = m->pEntry; e->piid != nullptr; ++e)
            if (unknown || IsEqualIID(*e->piid, wanted))
                return (LPUNKNOWN)((BYTE*)this + e->nOffset);
    if (m_pDispatch != nullptr && (unknown || IsEqualIID(wanted, IID_IDispatch)))
        return m_pDispatch;
    return nullptr;
}

DWORD CCmdTarget::InternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (ppvObj == nullptr)
        return (DWORD)E_POINTER;
    LPUNKNOWN p = GetInterface(iid);
    *ppvObj = p;
    if (p == nullptr)
        return (DWORD)E_NOINTERFACE;
    InternalAddRef();
    return (DWORD)S_OK;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID)
{
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfn != nullptr; p++) {
            if (p->pnRegMsg != nullptr) {
                if (nMsg >= WM_REGISTERED_MARKER && *p->pnRegMsg == nMsg)
                    return p;
                continue;
            }
            if (p->nMessage == nMsg && p->nCode == nCode && nID >= p->nID && nID <= p->nLastID)
                return p;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Notifications arrive as MAKELONG(code, WM_NOTIFY); their entries hold the code alone.
    UINT nMsg = WM_COMMAND;
    UINT nEntryCode = (UINT)nCode;
    if (nCode != CN_UPDATE_COMMAND_UI && HIWORD(nCode) == WM_NOTIFY) {
        nMsg = WM_NOTIFY;
        nEntryCode = LOWORD(nCode);
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfn != nullptr; p++) {
            if (p->nMessage != nMsg || p->pnRegMsg != nullptr || nID < p->nID || nID > p->nLastID)
                continue;
            UINT nCodeOfEntry = nMsg == WM_NOTIFY ? (UINT)(WORD)p->nCode : p->nCode;
            if (nCodeOfEntry != nEntryCode)
                continue;
            if (pHandlerInfo != nullptr) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pEntry = p;
                return TRUE;
            }
            AFX_MSGCALL call = {nMsg, 0, 0, nID, nCode, pExtra, 0};
            if (nCode == CN_UPDATE_COMMAND_UI && pExtra != nullptr) {
                // A handler that calls ContinueRouting passes the item on.
                CCmdUI* pCmdUI = (CCmdUI*)pExtra;
                pCmdUI->m_bContinueRouting = FALSE;
                p->pfn(this, call);
                return !pCmdUI->m_bContinueRouting;
            }
            if (p->pfn(this, call))
                return TRUE;
        }
    }
    return FALSE;
}

static int g_nWaitCursorCount = 0;
static HCURSOR g_hcurWaitCursorRestore = nullptr;

void CCmdTarget::BeginWaitCursor()
{
    HCURSOR hcurPrev = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (g_nWaitCursorCount++ == 0)
        g_hcurWaitCursorRestore = hcurPrev;
}

void CCmdTarget::EndWaitCursor()
{
    if (g_nWaitCursorCount == 0)
        return;
    if (--g_nWaitCursorCount == 0)
        ::SetCursor(g_hcurWaitCursorRestore ? g_hcurWaitCursorRestore : ::LoadCursor(nullptr, IDC_ARROW));
}

void CCmdTarget::RestoreWaitCursor()
{
    if (g_nWaitCursorCount > 0)
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}
