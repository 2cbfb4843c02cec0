// CString. Buffers come from the C runtime's heap, which every module shares, so a string
// built in one module may be changed or destroyed in another.
#include "afxwin.h"
#include <ctype.h>
#include <mbstring.h>
#include <oleauto.h>

namespace {

// The empty string: a header and a terminator that are never written to.
struct EmptyStringData
{
    CStringData header;
    TCHAR terminator;
} g_emptyData = {{-1, 0, 0}, 0};

LPTSTR EmptyChars() { return g_emptyData.header.data(); }

}

static const CString s_emptyString;
const CString& afxEmptyString = s_emptyString;

void CString::Init() { m_pchData = EmptyChars(); }

CString::CString() { Init(); }

CString::CString(const CString& stringSrc)
{
    Init();
    AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
}

CString::CString(TCHAR ch, int nRepeat)
{
    Init();
    if (nRepeat >= 1) {
        AllocBuffer(nRepeat);
        memset(m_pchData, ch, nRepeat);
    }
}

CString::CString(LPCSTR lpsz)
{
    Init();
    if (lpsz != nullptr && IS_INTRESOURCE(lpsz))
        LoadString((UINT)(UINT_PTR)lpsz);
    else if (lpsz != nullptr)
        AssignCopy((int)strlen(lpsz), lpsz);
}

CString::CString(LPCSTR lpch, int nLength)
{
    Init();
    if (lpch != nullptr && nLength > 0) {
        AllocBuffer(nLength);
        memcpy(m_pchData, lpch, nLength);
    }
}

CString::CString(const unsigned char* psz) : CString((LPCSTR)psz) {}

CString::~CString() { Release(); }

void CString::Release()
{
    if (GetData() != &g_emptyData.header)
        ::free(GetData());
    Init();
}

void CString::AllocBuffer(int nLen)
{
    if (nLen == 0) {
        Init();
        return;
    }
    CStringData* pData = (CStringData*)::malloc(sizeof(CStringData) + nLen + 1);
    if (pData == nullptr)
        AfxThrowMemoryException();
    pData->nRefs = 1;
    pData->nAllocLength = nLen;
    pData->nDataLength = nLen;
    pData->data()[nLen] = '\0';
    m_pchData = pData->data();
}

void CString::AssignCopy(int nSrcLen, LPCTSTR lpszSrcData)
{
    if (nSrcLen > GetData()->nAllocLength) {
        // The source may lie in our own buffer: copy before releasing it.
        CStringData* pOld = GetData();
        AllocBuffer(nSrcLen);
        memcpy(m_pchData, lpszSrcData, nSrcLen);
        if (pOld != &g_emptyData.header)
            ::free(pOld);
        return;
    }
    if (nSrcLen == 0) {
        if (GetData() != &g_emptyData.header) {
            GetData()->nDataLength = 0;
            m_pchData[0] = '\0';
        }
        return;
    }
    memmove(m_pchData, lpszSrcData, nSrcLen);
    GetData()->nDataLength = nSrcLen;
    m_pchData[nSrcLen] = '\0';
}

void CString::ConcatInPlace(int nSrcLen, LPCTSTR lpszSrcData)
{
    if (nSrcLen == 0)
        return;
    int nOldLen = GetData()->nDataLength;
    if (nOldLen + nSrcLen > GetData()->nAllocLength) {
        CStringData* pOld = GetData();
        LPTSTR pOldChars = m_pchData;
        AllocBuffer(nOldLen + nSrcLen);
        memcpy(m_pchData, pOldChars, nOldLen);
        memcpy(m_pchData + nOldLen, lpszSrcData, nSrcLen);
        if (pOld != &g_emptyData.header)
            ::free(pOld);
    } else {
        memmove(m_pchData + nOldLen, lpszSrcData, nSrcLen);
        GetData()->nDataLength += nSrcLen;
        m_pchData[GetData()->nDataLength] = '\0';
    }
}

void CString::Empty() { Release(); }

void CString::SetAt(int nIndex, TCHAR ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_pchData[nIndex] = ch;
}

const CString& CString::operator=(const CString& stringSrc)
{
    if (this != &stringSrc)
        AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
    return *this;
}

const CString& CString::operator=(TCHAR ch)
{
    AssignCopy(1, &ch);
    return *this;
}

const CString& CString::operator=(LPCSTR lpsz)
{
    AssignCopy(lpsz ? (int)strlen(lpsz) : 0, lpsz);
    return *this;
}

const CString& CString::operator=(const unsigned char* psz) { return operator=((LPCSTR)psz); }

const CString& CString::operator+=(const CString& string)
{
    // Appending a string to itself: take the length before the buffer moves.
    CString copy(string);
    ConcatInPlace(copy.GetLength(), copy.m_pchData);
    return *this;
}

const CString& CString::operator+=(TCHAR ch)
{
    ConcatInPlace(1, &ch);
    return *this;
}

const CString& CString::operator+=(LPCTSTR lpsz)
{
    if (lpsz) {
        CString copy(lpsz);
        ConcatInPlace(copy.GetLength(), copy.m_pchData);
    }
    return *this;
}

CString operator+(const CString& string1, const CString& string2)
{
    CString s(string1);
    s += string2;
    return s;
}

CString operator+(const CString& string, TCHAR ch)
{
    CString s(string);
    s += ch;
    return s;
}

CString operator+(TCHAR ch, const CString& string)
{
    CString s(ch);
    s += string;
    return s;
}

CString operator+(const CString& string, LPCTSTR lpsz)
{
    CString s(string);
    s += lpsz;
    return s;
}

CString operator+(LPCTSTR lpsz, const CString& string)
{
    CString s(lpsz);
    s += string;
    return s;
}

int CString::CollateNoCase(LPCTSTR lpsz) const
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_pchData, -1, lpsz, -1) - 2;
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - nFirst); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nFirst + nCount > GetLength())
        nCount = GetLength() - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_pchData, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_pchData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const
{
    return Left((int)strspn(m_pchData, lpszCharSet));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    return Left((int)strcspn(m_pchData, lpszCharSet));
}

void CString::MakeUpper()
{
    if (!IsEmpty())
        CharUpperBuffA(m_pchData, GetLength());
}

void CString::MakeLower()
{
    if (!IsEmpty())
        CharLowerBuffA(m_pchData, GetLength());
}

void CString::MakeReverse()
{
    for (int i = 0, j = GetLength() - 1; i < j; i++, j--) {
        TCHAR t = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = t;
    }
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int nCount = 0;
    if (chOld == chNew)
        return 0;
    for (int i = 0; i < GetLength(); i++) {
        if (m_pchData[i] == chOld) {
            m_pchData[i] = chNew;
            nCount++;
        }
    }
    return nCount;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    int nOldLen = lpszOld ? (int)strlen(lpszOld) : 0;
    if (nOldLen == 0)
        return 0;
    int nNewLen = lpszNew ? (int)strlen(lpszNew) : 0;
    CString result;
    int nCount = 0;
    LPCTSTR p = m_pchData;
    LPCTSTR pEnd = m_pchData + GetLength();
    while (p < pEnd) {
        LPCTSTR pFound = strstr(p, lpszOld);
        if (pFound == nullptr)
            break;
        result.ConcatInPlace((int)(pFound - p), p);
        result.ConcatInPlace(nNewLen, lpszNew);
        p = pFound + nOldLen;
        nCount++;
    }
    if (nCount == 0)
        return 0;
    result.ConcatInPlace((int)(pEnd - p), p);
    *this = result;
    return nCount;
}

int CString::Remove(TCHAR chRemove)
{
    int nDest = 0;
    int nLen = GetLength();
    for (int i = 0; i < nLen; i++)
        if (m_pchData[i] != chRemove)
            m_pchData[nDest++] = m_pchData[i];
    int nCount = nLen - nDest;
    if (nCount) {
        m_pchData[nDest] = '\0';
        GetData()->nDataLength = nDest;
    }
    return nCount;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    TCHAR sz[2] = {ch, 0};
    return Insert(nIndex, sz);
}

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > GetLength())
        nIndex = GetLength();
    CString result(m_pchData, nIndex);
    result += pstr;
    result += m_pchData + nIndex;
    *this = result;
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    int nLen = GetLength();
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < nLen) {
        if (nIndex + nCount > nLen)
            nCount = nLen - nIndex;
        memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, nLen - (nIndex + nCount) + 1);
        GetData()->nDataLength = nLen - nCount;
    }
    return GetLength();
}

void CString::TrimRight() { TrimRight(" \t\r\n\v\f"); }
void CString::TrimLeft() { TrimLeft(" \t\r\n\v\f"); }

void CString::TrimRight(TCHAR chTarget)
{
    TCHAR sz[2] = {chTarget, 0};
    TrimRight(sz);
}

void CString::TrimLeft(TCHAR chTarget)
{
    TCHAR sz[2] = {chTarget, 0};
    TrimLeft(sz);
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    int n = GetLength();
    while (n > 0 && strchr(lpszTargets, m_pchData[n - 1]) != nullptr)
        n--;
    if (n != GetLength()) {
        m_pchData[n] = '\0';
        GetData()->nDataLength = n;
    }
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    int n = 0;
    while (n < GetLength() && strchr(lpszTargets, m_pchData[n]) != nullptr)
        n++;
    if (n > 0)
        Delete(0, n);
}

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    LPCTSTR p = strchr(m_pchData + nStart, ch);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    LPCTSTR p = strstr(m_pchData + nStart, lpszSub);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::ReverseFind(TCHAR ch) const
{
    LPCTSTR p = strrchr(m_pchData, ch);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    LPCTSTR p = strpbrk(m_pchData, lpszCharSet);
    return p ? (int)(p - m_pchData) : -1;
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList)
{
    va_list args;
    va_copy(args, argList);
    int nLen = _vscprintf(lpszFormat, args);
    va_end(args);
    if (nLen < 0) {
        Empty();
        return;
    }
    CString result;
    result.GetBuffer(nLen);
    vsnprintf(result.m_pchData, nLen + 1, lpszFormat, argList);
    result.ReleaseBuffer(nLen);
    *this = result;
}

void CString::Format(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString strFormat;
    strFormat.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(strFormat, args);
    va_end(args);
}

static void FormatMessageV(CString& rString, LPCTSTR lpszFormat, va_list* pArgs)
{
    LPTSTR lpszTemp = nullptr;
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, lpszFormat,
                         0, 0, (LPTSTR)&lpszTemp, 0, pArgs) == 0 || lpszTemp == nullptr) {
        rString.Empty();
        return;
    }
    rString = lpszTemp;
    LocalFree(lpszTemp);
}

void CString::FormatMessage(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatMessageV(*this, lpszFormat, &args);
    va_end(args);
}

void CString::FormatMessage(UINT nFormatID, ...)
{
    CString strFormat;
    strFormat.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatMessageV(*this, strFormat, &args);
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    HINSTANCE hInst = AfxFindStringResourceHandle(nID);
    LPCWSTR pwsz = nullptr;
    int nLen = hInst ? ::LoadStringW(hInst, nID, (LPWSTR)&pwsz, 0) : 0;
    if (nLen <= 0) {
        Empty();
        return FALSE;
    }
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pwsz, nLen, nullptr, 0, nullptr, nullptr);
    LPTSTR p = GetBuffer(nBytes);
    WideCharToMultiByte(CP_ACP, 0, pwsz, nLen, p, nBytes, nullptr, nullptr);
    ReleaseBuffer(nBytes);
    return TRUE;
}

void CString::AnsiToOem()
{
    if (!IsEmpty())
        CharToOemBuffA(m_pchData, m_pchData, GetLength());
}

void CString::OemToAnsi()
{
    if (!IsEmpty())
        OemToCharBuffA(m_pchData, m_pchData, GetLength());
}

BSTR CString::AllocSysString() const
{
    int nLen = MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), nullptr, 0);
    BSTR bstr = ::SysAllocStringLen(nullptr, nLen);
    if (bstr == nullptr)
        AfxThrowMemoryException();
    MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), bstr, nLen);
    return bstr;
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < 0)
        nMinBufLength = 0;
    if (GetData() == &g_emptyData.header || nMinBufLength > GetData()->nAllocLength) {
        CStringData* pOld = GetData();
        int nOldLen = pOld->nDataLength;
        if (nMinBufLength < nOldLen)
            nMinBufLength = nOldLen;
        // A buffer is always allocated, even for zero characters, so the caller may write
        // the terminator.
        CStringData* pData = (CStringData*)::malloc(sizeof(CStringData) + nMinBufLength + 1);
        if (pData == nullptr)
            AfxThrowMemoryException();
        pData->nRefs = 1;
        pData->nAllocLength = nMinBufLength;
        pData->nDataLength = nOldLen;
        memcpy(pData->data(), m_pchData, nOldLen + 1);
        if (pOld != &g_emptyData.header)
            ::free(pOld);
        m_pchData = pData->data();
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (GetData() == &g_emptyData.header)
        return;
    if (nNewLength == -1)
        nNewLength = (int)strnlen(m_pchData, GetData()->nAllocLength);
    if (nNewLength > GetData()->nAllocLength)
        nNewLength = GetData()->nAllocLength;
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    GetBuffer(nNewLength);
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
    return m_pchData;
}

void CString::FreeExtra()
{
    if (GetData()->nDataLength != GetData()->nAllocLength) {
        CString copy(*this);
        Release();
        *this = copy;
    }
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    AfxFormatString2(rString, nIDS, lpsz1, nullptr);
}

// Replaces %1 and %2 in a string resource.
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString strFormat;
    strFormat.LoadString(nIDS);
    CString result;
    for (LPCTSTR p = strFormat; *p; p++) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            LPCTSTR lpszArg = p[1] == '1' ? lpsz1 : lpsz2;
            if (lpszArg)
                result += lpszArg;
            p++;
        } else {
            result += *p;
        }
    }
    rString = result;
}

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, TCHAR chSep)
{
    if (lpszFullString == nullptr)
        return FALSE;
    while (iSubString--) {
        lpszFullString = strchr(lpszFullString, chSep);
        if (lpszFullString == nullptr) {
            rString.Empty();
            return FALSE;
        }
        lpszFullString++;
    }
    LPCTSTR lpchEnd = strchr(lpszFullString, chSep);
    int nLen = lpchEnd == nullptr ? (int)strlen(lpszFullString) : (int)(lpchEnd - lpszFullString);
    rString = CString(lpszFullString, nLen);
    return TRUE;
}

CArchive& operator<<(CArchive& ar, const CString& string)
{
    ar.WriteCount((DWORD)string.GetLength());
    ar.Write((LPCTSTR)string, string.GetLength());
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& string)
{
    DWORD nLen = ar.ReadCount();
    string.Empty();
    if (nLen) {
        LPTSTR p = string.GetBufferSetLength((int)nLen);
        if (ar.Read(p, nLen) != nLen) {
            string.Empty();
            AfxThrowArchiveException(CArchiveException::endOfFile);
        }
    }
    return ar;
}
