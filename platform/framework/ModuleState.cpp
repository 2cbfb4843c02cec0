// The process-wide module state: instance handles, the resource chain of extension
// libraries and the application object. One copy lives in this library, so every
// executable and extension library sees the same chain.
#include "afxwin.h"
#include "ModuleState.h"

namespace {

CRITICAL_SECTION g_chainLock;
HINSTANCE g_hInstFramework = nullptr;
HINSTANCE g_hInstApp = nullptr;
HINSTANCE g_hInstResource = nullptr;
CDynLinkLibrary* g_pFirstDLL = nullptr;

class ChainLock
{
public:
    ChainLock() { EnterCriticalSection(&g_chainLock); }
    ~ChainLock() { LeaveCriticalSection(&g_chainLock); }
};

BOOL HasResource(HINSTANCE hInst, LPCTSTR lpszName, LPCTSTR lpszType)
{
    return hInst != nullptr && ::FindResourceA(hInst, lpszName, lpszType) != nullptr;
}

}

namespace afximpl {

CWinApp* g_pApp = nullptr;

void InitFrameworkModule(HINSTANCE hInst)
{
    InitializeCriticalSection(&g_chainLock);
    g_hInstFramework = hInst;
}

HINSTANCE FrameworkInstance() { return g_hInstFramework; }

void SetInstanceHandle(HINSTANCE hInst)
{
    g_hInstApp = hInst;
    if (g_hInstResource == nullptr)
        g_hInstResource = hInst;
}

}

HINSTANCE AfxGetInstanceHandle()
{
    return g_hInstApp ? g_hInstApp : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource ? g_hInstResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    if (HasResource(hInst, lpszName, lpszType))
        return hInst;
    {
        ChainLock lock;
        for (CDynLinkLibrary* pDLL = g_pFirstDLL; pDLL; pDLL = pDLL->m_pNextDLL)
            if (!pDLL->m_bSystem && HasResource(pDLL->m_hResource, lpszName, lpszType))
                return pDLL->m_hResource;
        for (CDynLinkLibrary* pDLL = g_pFirstDLL; pDLL; pDLL = pDLL->m_pNextDLL)
            if (pDLL->m_bSystem && HasResource(pDLL->m_hResource, lpszName, lpszType))
                return pDLL->m_hResource;
    }
    if (HasResource(g_hInstFramework, lpszName, lpszType))
        return g_hInstFramework;
    // Not found anywhere: the caller's load fails against the usual module.
    return hInst;
}

HINSTANCE AfxFindStringResourceHandle(UINT nID)
{
    // Strings are stored in blocks of sixteen, and a module that holds one string of a
    // block holds the whole block: the program's replacement of one library string must
    // not hide the library's other fifteen, so each module is asked for the string itself.
    auto hasString = [nID](HINSTANCE h) {
        LPCWSTR text = nullptr;
        return h != nullptr && ::LoadStringW(h, nID, (LPWSTR)&text, 0) > 0;
    };
    HINSTANCE hInst = AfxGetResourceHandle();
    if (hasString(hInst))
        return hInst;
    {
        ChainLock lock;
        for (CDynLinkLibrary* pDLL = g_pFirstDLL; pDLL; pDLL = pDLL->m_pNextDLL)
            if (!pDLL->m_bSystem && hasString(pDLL->m_hResource))
                return pDLL->m_hResource;
        for (CDynLinkLibrary* pDLL = g_pFirstDLL; pDLL; pDLL = pDLL->m_pNextDLL)
            if (pDLL->m_bSystem && hasString(pDLL->m_hResource))
                return pDLL->m_hResource;
    }
    if (hasString(g_hInstFramework))
        return g_hInstFramework;
    return nullptr;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.pFirstSharedClass = nullptr;
    state.pFirstSharedFactory = nullptr;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    if (!state.bInitialized)
        return;
    CDynLinkLibrary* pToDelete = nullptr;
    {
        ChainLock lock;
        for (CDynLinkLibrary* pDLL = g_pFirstDLL; pDLL; pDLL = pDLL->m_pNextDLL) {
            if (pDLL->m_hModule == state.hModule) {
                pToDelete = pDLL;
                break;
            }
        }
    }
    delete pToDelete;   // leaves the chain in its destructor
    state.bInitialized = FALSE;
}

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pNextDLL(nullptr)
{
    ChainLock lock;
    m_pNextDLL = g_pFirstDLL;
    g_pFirstDLL = this;
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_bSystem(FALSE), m_pNextDLL(nullptr)
{
    ChainLock lock;
    m_pNextDLL = g_pFirstDLL;
    g_pFirstDLL = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    ChainLock lock;
    for (CDynLinkLibrary** pp = &g_pFirstDLL; *pp; pp = &(*pp)->m_pNextDLL) {
        if (*pp == this) {
            *pp = m_pNextDLL;
            break;
        }
    }
}

CWinApp* AfxGetApp() { return afximpl::g_pApp; }

LPCTSTR AfxGetAppName()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pszAppName != nullptr)
        return pApp->m_pszAppName;
    static char szName[MAX_PATH];
    if (szName[0] == '\0') {
        char szPath[MAX_PATH];
        GetModuleFileNameA(nullptr, szPath, MAX_PATH);
        LPSTR pszName = strrchr(szPath, '\\');
        pszName = pszName ? pszName + 1 : szPath;
        LPSTR pszDot = strrchr(pszName, '.');
        if (pszDot)
            *pszDot = '\0';
        lstrcpynA(szName, pszName, MAX_PATH);
    }
    return szName;
}
