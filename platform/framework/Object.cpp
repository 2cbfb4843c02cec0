// Runtime classes, CObject, diagnostics and CTime.
#include "afxwin.h"

namespace {

// Serialisable classes of every module, newest first; archives find classes here by name.
CRuntimeClass* g_pFirstClass = nullptr;
CRITICAL_SECTION* ClassListLock()
{
    static CRITICAL_SECTION cs = [] {
        CRITICAL_SECTION c;
        InitializeCriticalSection(&c);
        return c;
    }();
    return &cs;
}

}

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};

CObject* CRuntimeClass::CreateObject()
{
    if (m_pfnCreateObject == nullptr)
        return nullptr;
    return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
        if (p == pBaseClass)
            return TRUE;
    return FALSE;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    WORD nLen = (WORD)strlen(m_lpszClassName);
    ar << (WORD)m_wSchema << nLen;
    ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema, nLen;
    ar >> wSchema >> nLen;
    char szClassName[64];
    if (nLen >= sizeof(szClassName) || ar.Read(szClassName, nLen) != nLen)
        return nullptr;
    szClassName[nLen] = '\0';
    *pwSchemaNum = wSchema;
    return FromName(szClassName);
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    EnterCriticalSection(ClassListLock());
    CRuntimeClass* pClass = g_pFirstClass;
    while (pClass != nullptr && strcmp(pClass->m_lpszClassName, lpszClassName) != 0)
        pClass = pClass->m_pNextClass;
    LeaveCriticalSection(ClassListLock());
    return pClass;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    EnterCriticalSection(ClassListLock());
    pNewClass->m_pNextClass = g_pFirstClass;
    g_pFirstClass = pNewClass;
    LeaveCriticalSection(ClassListLock());
}

CObject::CObject() {}
CObject::~CObject() {}

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << (const void*)this << "\n";
}

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    if (pObject != nullptr && pObject->IsKindOf(pClass))
        return pObject;
    return nullptr;
}

CDumpContext afxDump;

CDumpContext::CDumpContext(CFile* pFile) : m_pFile(pFile), m_nDepth(0) {}

CDumpContext& CDumpContext::operator<<(LPCSTR lpsz)
{
    if (lpsz == nullptr)
        lpsz = "(null)";
    if (m_pFile)
        m_pFile->Write(lpsz, (UINT)strlen(lpsz));
    else
        OutputDebugStringA(lpsz);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const void* lp)
{
    char sz[32];
    snprintf(sz, sizeof sz, "$%p", lp);
    return *this << (LPCSTR)sz;
}

CDumpContext& CDumpContext::operator<<(int n)
{
    char sz[32];
    snprintf(sz, sizeof sz, "%d", n);
    return *this << (LPCSTR)sz;
}

CDumpContext& CDumpContext::operator<<(UINT n)
{
    char sz[32];
    snprintf(sz, sizeof sz, "%u", n);
    return *this << (LPCSTR)sz;
}

CDumpContext& CDumpContext::operator<<(LONG n) { return *this << (int)n; }
CDumpContext& CDumpContext::operator<<(DWORD n) { return *this << (UINT)n; }

CDumpContext& CDumpContext::operator<<(double d)
{
    char sz[40];
    snprintf(sz, sizeof sz, "%g", d);
    return *this << (LPCSTR)sz;
}

CDumpContext& CDumpContext::operator<<(const CObject* pOb)
{
    if (pOb == nullptr)
        return *this << "NULL";
    pOb->Dump(*this);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const CObject& ob) { return *this << &ob; }

void CDumpContext::Flush()
{
    if (m_pFile)
        m_pFile->Flush();
}

BOOL AfxIsValidAddress(const void* lp, UINT_PTR nBytes, BOOL)
{
    return lp != nullptr || nBytes == 0;
}

BOOL AfxIsValidString(LPCSTR lpsz, int) { return lpsz != nullptr; }

void AfxAbort()
{
    FatalAppExitA(0, "The application framework stopped the program after a fatal error.");
}

/////////////////////////////////////////////////////////////////////////////
// CTime

CTime CTime::GetCurrentTime() { return CTime(::time(nullptr)); }

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    struct tm t = {};
    t.tm_sec = nSec;
    t.tm_min = nMin;
    t.tm_hour = nHour;
    t.tm_mday = nDay;
    t.tm_mon = nMonth - 1;
    t.tm_year = nYear - 1900;
    t.tm_isdst = nDST;
    m_time = mktime(&t);
}

CTime::CTime(const FILETIME& fileTime, int nDST)
{
    FILETIME localTime;
    SYSTEMTIME sysTime;
    if (!FileTimeToLocalFileTime(&fileTime, &localTime) || !FileTimeToSystemTime(&localTime, &sysTime)) {
        m_time = 0;
        return;
    }
    *this = CTime(sysTime.wYear, sysTime.wMonth, sysTime.wDay, sysTime.wHour, sysTime.wMinute,
                  sysTime.wSecond, nDST);
}

struct tm CTime::Local() const
{
    struct tm t = {};
    time_t tt = m_time;
    localtime_s(&t, &tt);
    return t;
}

int CTime::GetYear() const { return Local().tm_year + 1900; }
int CTime::GetMonth() const { return Local().tm_mon + 1; }
int CTime::GetDay() const { return Local().tm_mday; }
int CTime::GetHour() const { return Local().tm_hour; }
int CTime::GetMinute() const { return Local().tm_min; }
int CTime::GetSecond() const { return Local().tm_sec; }
int CTime::GetDayOfWeek() const { return Local().tm_wday + 1; }

CString CTime::Format(LPCTSTR pFormat) const
{
    char sz[256];
    struct tm t = Local();
    if (strftime(sz, sizeof sz, pFormat, &t) == 0)
        sz[0] = '\0';
    return CString(sz);
}
