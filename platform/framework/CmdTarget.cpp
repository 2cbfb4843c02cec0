// CCmdTarget: message-map lookup and command dispatch.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() {}
CCmdTarget::~CCmdTarget() {}

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
