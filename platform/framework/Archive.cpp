// CArchive. Object references are written as a 16-bit tag: 0 for null, the 1-based index
// of an object or class already in the archive, 0x8000 | index for a known class, and
// 0xFFFF followed by schema and class name for a class seen for the first time. Classes
// and objects share one index sequence.
#include "afxwin.h"

namespace {
const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const UINT nMaxMapCount = 0x7FFE;
}

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(nullptr), m_bDirectBuffer(FALSE), m_nObjectSchema((UINT)-1), m_pFile(pFile),
      m_nMode(nMode), m_nBufSize(nBufSize < 128 ? 128 : nBufSize), m_bUserBuf(lpBuf != nullptr),
      m_pMap(nullptr), m_nMapCount(0), m_nMapAlloc(0)
{
    m_strFileName = pFile->GetFilePath();
    if (lpBuf) {
        m_lpBufStart = (BYTE*)lpBuf;
    } else {
        m_lpBufStart = (BYTE*)::malloc(m_nBufSize);
        if (m_lpBufStart == nullptr)
            AfxThrowMemoryException();
    }
    m_lpBufMax = m_lpBufStart + m_nBufSize;
    m_lpBufCur = IsLoading() ? m_lpBufMax : m_lpBufStart;
}

CArchive::~CArchive()
{
    // An archive left open by an exception must not write half a buffer.
    if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    Abort();
}

void CArchive::Abort()
{
    if (!m_bUserBuf && m_lpBufStart)
        ::free(m_lpBufStart);
    m_lpBufStart = m_lpBufCur = m_lpBufMax = nullptr;
    ::free(m_pMap);
    m_pMap = nullptr;
    m_nMapCount = m_nMapAlloc = 0;
    m_pFile = nullptr;
}

void CArchive::Close()
{
    if (m_pFile == nullptr)
        return;
    Flush();
    m_pFile = nullptr;
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsLoading()) {
        // Give back what was read ahead, so the file position follows the archive.
        if (m_lpBufMax != m_lpBufCur)
            m_pFile->Seek(-(LONG)(m_lpBufMax - m_lpBufCur), CFile::current);
        m_lpBufCur = m_lpBufMax;
    } else {
        if (m_lpBufCur != m_lpBufStart)
            m_pFile->Write(m_lpBufStart, (UINT)(m_lpBufCur - m_lpBufStart));
        m_lpBufCur = m_lpBufStart;
    }
}

void CArchive::FillBuffer(UINT nBytesNeeded)
{
    UINT nUnused = (UINT)(m_lpBufMax - m_lpBufCur);
    if (nUnused > 0)
        memmove(m_lpBufStart, m_lpBufCur, nUnused);
    BYTE* lpRead = m_lpBufStart + nUnused;
    UINT nRead = m_pFile->Read(lpRead, (UINT)(m_nBufSize - nUnused));
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = lpRead + nRead;
    if ((UINT)(m_lpBufMax - m_lpBufCur) < nBytesNeeded)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    BYTE* pDest = (BYTE*)lpBuf;
    UINT nLeft = nMax;
    while (nLeft > 0) {
        UINT nAvail = (UINT)(m_lpBufMax - m_lpBufCur);
        if (nAvail == 0) {
            UINT nRead = m_pFile->Read(m_lpBufStart, (UINT)m_nBufSize);
            m_lpBufCur = m_lpBufStart;
            m_lpBufMax = m_lpBufStart + nRead;
            if (nRead == 0)
                break;
            continue;
        }
        UINT nCopy = nAvail < nLeft ? nAvail : nLeft;
        memcpy(pDest, m_lpBufCur, nCopy);
        m_lpBufCur += nCopy;
        pDest += nCopy;
        nLeft -= nCopy;
    }
    return nMax - nLeft;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
    const BYTE* pSrc = (const BYTE*)lpBuf;
    while (nMax > 0) {
        UINT nRoom = (UINT)(m_lpBufMax - m_lpBufCur);
        if (nRoom == 0) {
            Flush();
            continue;
        }
        UINT nCopy = nRoom < nMax ? nRoom : nMax;
        memcpy(m_lpBufCur, pSrc, nCopy);
        m_lpBufCur += nCopy;
        pSrc += nCopy;
        nMax -= nCopy;
    }
}

CArchive& CArchive::WriteRaw(const void* p, UINT n)
{
    Write(p, n);
    return *this;
}

CArchive& CArchive::ReadRaw(void* p, UINT n)
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    if ((UINT)(m_lpBufMax - m_lpBufCur) < n)
        FillBuffer(n);
    memcpy(p, m_lpBufCur, n);
    m_lpBufCur += n;
    return *this;
}

void CArchive::WriteCount(DWORD dwCount)
{
    if (dwCount < 0xFF) {
        *this << (BYTE)dwCount;
    } else {
        *this << (BYTE)0xFF;
        if (dwCount < 0xFFFF) {
            *this << (WORD)dwCount;
        } else {
            *this << (WORD)0xFFFF;
            *this << dwCount;
        }
    }
}

DWORD CArchive::ReadCount()
{
    BYTE bLen;
    *this >> bLen;
    if (bLen < 0xFF)
        return bLen;
    WORD wLen;
    *this >> wLen;
    if (wLen < 0xFFFF)
        return wLen;
    DWORD dwLen;
    *this >> dwLen;
    return dwLen;
}

void CArchive::WriteString(LPCTSTR lpsz)
{
    Write(lpsz, (UINT)strlen(lpsz));
}

LPTSTR CArchive::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (nMax == 0)
        return nullptr;
    UINT n = 0;
    BYTE ch = 0;
    while (n + 1 < nMax && Read(&ch, 1) == 1) {
        lpsz[n++] = (char)ch;
        if (ch == '\n')
            break;
    }
    lpsz[n] = '\0';
    return n == 0 ? nullptr : lpsz;
}

BOOL CArchive::ReadString(CString& rString)
{
    rString.Empty();
    BYTE ch;
    BOOL bAny = FALSE;
    while (Read(&ch, 1) == 1) {
        bAny = TRUE;
        if (ch == '\n')
            break;
        rString += (char)ch;
    }
    if (!rString.IsEmpty() && rString[rString.GetLength() - 1] == '\r')
        rString.Delete(rString.GetLength() - 1);
    return bAny;
}

UINT CArchive::GetObjectSchema()
{
    UINT nResult = m_nObjectSchema;
    m_nObjectSchema = (UINT)-1;   // each schema is read once
    return nResult;
}

UINT CArchive::FindIndexOf(const void* p) const
{
    for (UINT i = 0; i < m_nMapCount; i++)
        if (m_pMap[i] == p)
            return i + 1;
    return 0;
}

void CArchive::AddToMap(const void* p)
{
    if (m_nMapCount >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    if (m_nMapCount == m_nMapAlloc) {
        UINT nNew = m_nMapAlloc ? m_nMapAlloc * 2 : 64;
        void** pNew = (void**)::realloc(m_pMap, nNew * sizeof(void*));
        if (pNew == nullptr)
            AfxThrowMemoryException();
        m_pMap = pNew;
        m_nMapAlloc = nNew;
    }
    m_pMap[m_nMapCount++] = (void*)p;
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (pClassRef->m_wSchema == 0xFFFF)
        AfxThrowNotSupportedException();
    UINT nIndex = FindIndexOf(pClassRef);
    if (nIndex != 0) {
        *this << (WORD)(wClassTag | nIndex);
    } else {
        *this << wNewClassTag;
        pClassRef->Store(*this);
        AddToMap(pClassRef);
    }
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    WORD wTag;
    *this >> wTag;
    if (pObTag)
        *pObTag = wTag;
    if (wTag == wNullTag || (!(wTag & wClassTag) && wTag != wNewClassTag)) {
        // An object reference, not a class: the caller handles it.
        return nullptr;
    }
    CRuntimeClass* pClassRef;
    UINT nSchema;
    if (wTag == wNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (pClassRef == nullptr)
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema &&
            !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
            AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
        AddToMap(pClassRef);
    } else {
        UINT nIndex = wTag & ~wClassTag;
        if (nIndex == 0 || nIndex > m_nMapCount)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        pClassRef = (CRuntimeClass*)m_pMap[nIndex - 1];
        nSchema = pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA;
    }
    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    if (pSchema)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef, &m_nObjectSchema);
}

void CArchive::WriteObject(const CObject* pOb)
{
    if (pOb == nullptr) {
        *this << wNullTag;
        return;
    }
    UINT nIndex = FindIndexOf(pOb);
    if (nIndex != 0) {
        *this << (WORD)nIndex;
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    AddToMap(pOb);
    ((CObject*)pOb)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT nSchema;
    DWORD obTag;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    if (pClassRef == nullptr) {
        if (obTag == wNullTag)
            return nullptr;
        if (obTag > m_nMapCount)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        CObject* pOb = (CObject*)m_pMap[obTag - 1];
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        return pOb;
    }
    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        AfxThrowMemoryException();
    AddToMap(pOb);
    UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        m_nObjectSchema = nSchemaSave;
        throw;
    }
    m_nObjectSchema = nSchemaSave;
    return pOb;
}
