// CFile over Win32 file handles, CStdioFile over C streams, CMemFile over a heap block.
#include "afxwin.h"
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

static CString FullPath(LPCTSTR lpszFileName)
{
    char szPath[MAX_PATH];
    LPSTR lpszFilePart;
    DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, szPath, &lpszFilePart);
    if (n == 0 || n >= MAX_PATH)
        return CString(lpszFileName);
    return CString(szPath);
}

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Close();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pException)
{
    m_bCloseOnDelete = FALSE;
    m_hFile = hFileNull;
    m_strFileName = FullPath(lpszFileName);

    DWORD dwAccess;
    switch (nOpenFlags & 3) {
    case modeRead: dwAccess = GENERIC_READ; break;
    case modeWrite: dwAccess = GENERIC_WRITE; break;
    case modeReadWrite: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    default:
        if (pException) {
            pException->m_cause = CFileException::generic;
            pException->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    DWORD dwShareMode;
    switch (nOpenFlags & 0x70) {
    case shareExclusive: dwShareMode = 0; break;
    case shareDenyWrite: dwShareMode = FILE_SHARE_READ; break;
    case shareDenyRead: dwShareMode = FILE_SHARE_WRITE; break;
    case shareDenyNone: dwShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: dwShareMode = 0; break;   // compatibility mode is exclusive on Win32
    }
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (nOpenFlags & modeNoInherit) == 0};
    DWORD dwCreateFlag;
    if (nOpenFlags & modeCreate)
        dwCreateFlag = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    else
        dwCreateFlag = OPEN_EXISTING;

    HANDLE hFile = ::CreateFileA(lpszFileName, dwAccess, dwShareMode, &sa, dwCreateFlag,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pException) {
            pException->m_lOsError = (LONG)::GetLastError();
            pException->m_cause = CFileException::OsErrorToException(pException->m_lOsError);
            pException->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD dwRead = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    return (UINT)dwRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD nWritten = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &nWritten, nullptr))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    // A short write is a full disk, not a success.
    if (nWritten != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    LARGE_INTEGER li, liNew;
    li.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, li, &liNew, (DWORD)nFrom))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    return (LONG)liNew.QuadPart;
}

DWORD CFile::GetPosition() const
{
    LARGE_INTEGER li = {}, liNew;
    if (!::SetFilePointerEx(m_hFile, li, &liNew, FILE_CURRENT))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    return (DWORD)liNew.QuadPart;
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (!::FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
}

void CFile::Close()
{
    BOOL bError = FALSE;
    if (m_hFile != hFileNull)
        bError = !::CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (bError)
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        ::CloseHandle(m_hFile);
        m_hFile = hFileNull;
    }
    m_strFileName.Empty();
}

CFile* CFile::Duplicate() const
{
    CFile* pFile = new CFile(hFileNull);
    HANDLE hFile;
    if (!::DuplicateHandle(::GetCurrentProcess(), m_hFile, ::GetCurrentProcess(), &hFile, 0,
                           FALSE, DUPLICATE_SAME_ACCESS)) {
        delete pFile;
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    }
    pFile->m_hFile = hFile;
    pFile->m_bCloseOnDelete = m_bCloseOnDelete;
    pFile->m_strFileName = m_strFileName;
    return pFile;
}

void CFile::SetLength(DWORD dwNewLen)
{
    Seek((LONG)dwNewLen, begin);
    if (!::SetEndOfFile(m_hFile))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
}

DWORD CFile::GetLength() const
{
    LARGE_INTEGER li;
    if (!::GetFileSizeEx(m_hFile, &li))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    return (DWORD)li.QuadPart;
}

DWORD CFile::SeekToEnd() { return (DWORD)Seek(0, end); }
void CFile::SeekToBegin() { Seek(0, begin); }

UINT CFile::GetBufferPtr(UINT, UINT, void** ppBufStart, void** ppBufMax)
{
    if (ppBufStart)
        *ppBufStart = nullptr;
    if (ppBufMax)
        *ppBufMax = nullptr;
    return 0;
}

CString CFile::GetFileName() const
{
    int n = m_strFileName.ReverseFind('\\');
    int n2 = m_strFileName.ReverseFind('/');
    if (n2 > n)
        n = n2;
    return m_strFileName.Mid(n + 1);
}

CString CFile::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? strName : strName.Left(nDot);
}

CString CFile::GetFilePath() const { return m_strFileName; }
void CFile::SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

static void FillStatus(const WIN32_FILE_ATTRIBUTE_DATA& data, CFileStatus& rStatus)
{
    rStatus.m_size = (LONG)data.nFileSizeLow;
    rStatus.m_attribute = (BYTE)data.dwFileAttributes;
    rStatus.m_padding = 0;
    rStatus.m_ctime = CTime(data.ftCreationTime);
    rStatus.m_atime = CTime(data.ftLastAccessTime);
    rStatus.m_mtime = CTime(data.ftLastWriteTime);
    if (rStatus.m_ctime.GetTime() == 0)
        rStatus.m_ctime = rStatus.m_mtime;
    if (rStatus.m_atime.GetTime() == 0)
        rStatus.m_atime = rStatus.m_mtime;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    lstrcpynA(rStatus.m_szFullName, m_strFileName, MAX_PATH);
    if (m_hFile == hFileNull)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data = {info.dwFileAttributes, info.ftCreationTime,
                                      info.ftLastAccessTime, info.ftLastWriteTime,
                                      info.nFileSizeHigh, info.nFileSizeLow};
    FillStatus(data, rStatus);
    return TRUE;
}

BOOL PASCAL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    CString strFull = FullPath(lpszFileName);
    lstrcpynA(rStatus.m_szFullName, strFull, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    FillStatus(data, rStatus);
    return TRUE;
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!::MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError((LONG)::GetLastError(), lpszOldName);
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName)
{
    if (!::DeleteFileA(lpszFileName))
        CFileException::ThrowOsError((LONG)::GetLastError(), lpszFileName);
}

/////////////////////////////////////////////////////////////////////////////
// CStdioFile

CStdioFile::CStdioFile() : m_pStream(nullptr) {}

CStdioFile::CStdioFile(FILE* pOpenStream) : CFile(hFileNull), m_pStream(pOpenStream)
{
    if (pOpenStream)
        m_hFile = (HANDLE)_get_osfhandle(_fileno(pOpenStream));
}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pStream(nullptr)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream != nullptr && m_bCloseOnDelete)
        Close();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pException)
{
    m_pStream = nullptr;
    // The handle is opened through CFile, so sharing and creation behave alike, then
    // wrapped in a stream for line-wise text access.
    if (!CFile::Open(lpszFileName, nOpenFlags & ~typeText & ~typeBinary, pException))
        return FALSE;

    char szMode[4];
    int nMode = 0;
    int nFlags = 0;
    if (nOpenFlags & modeCreate) {
        szMode[nMode++] = (nOpenFlags & modeNoTruncate) ? 'a' : 'w';
        if (nOpenFlags & modeReadWrite)
            szMode[nMode++] = '+';
    } else if (nOpenFlags & modeWrite) {
        szMode[nMode++] = 'a';
    } else {
        szMode[nMode++] = 'r';
        if (nOpenFlags & modeReadWrite)
            szMode[nMode++] = '+';
    }
    if (nOpenFlags & modeWrite)
        nFlags |= _O_WRONLY;
    else if (nOpenFlags & modeReadWrite)
        nFlags |= _O_RDWR;
    else
        nFlags |= _O_RDONLY;
    if (nOpenFlags & typeBinary) {
        szMode[nMode++] = 'b';
        nFlags |= _O_BINARY;
    } else {
        szMode[nMode++] = 't';
        nFlags |= _O_TEXT;
    }
    szMode[nMode] = '\0';

    int nHandle = _open_osfhandle((intptr_t)m_hFile, nFlags);
    if (nHandle != -1)
        m_pStream = _fdopen(nHandle, szMode);
    if (m_pStream == nullptr) {
        if (pException) {
            pException->m_lOsError = _doserrno;
            pException->m_cause = CFileException::ErrnoToException(errno);
        }
        if (nHandle != -1)
            _close(nHandle);
        else
            CFile::Abort();
        m_hFile = hFileNull;
        return FALSE;
    }
    if ((nOpenFlags & modeCreate) && (nOpenFlags & modeNoTruncate))
        fseek(m_pStream, 0, SEEK_SET);
    return TRUE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    UINT nRead = (UINT)fread(lpBuf, 1, nCount, m_pStream);
    if (nRead == 0 && ferror(m_pStream)) {
        clearerr(m_pStream);
        CFileException::ThrowErrno(errno, m_strFileName);
    }
    return nRead;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        CFileException::ThrowErrno(errno ? errno : ENOSPC, m_strFileName);
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (fputs(lpsz, m_pStream) == EOF)
        CFileException::ThrowErrno(errno ? errno : ENOSPC, m_strFileName);
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    LPTSTR lpszResult = fgets(lpsz, (int)nMax, m_pStream);
    if (lpszResult == nullptr && !feof(m_pStream)) {
        clearerr(m_pStream);
        CFileException::ThrowErrno(errno, m_strFileName);
    }
    return lpszResult;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    char sz[256];
    BOOL bAny = FALSE;
    for (;;) {
        if (fgets(sz, sizeof sz, m_pStream) == nullptr) {
            if (!feof(m_pStream)) {
                clearerr(m_pStream);
                CFileException::ThrowErrno(errno, m_strFileName);
            }
            break;
        }
        bAny = TRUE;
        size_t n = strlen(sz);
        if (n > 0 && sz[n - 1] == '\n') {
            sz[n - 1] = '\0';
            rString += sz;
            break;
        }
        rString += sz;
    }
    // A binary-mode file keeps its carriage returns; a line never ends in one.
    if (!rString.IsEmpty() && rString[rString.GetLength() - 1] == '\r')
        rString.Delete(rString.GetLength() - 1);
    return bAny;
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom)
{
    int nOrigin = nFrom == begin ? SEEK_SET : (nFrom == end ? SEEK_END : SEEK_CUR);
    if (fseek(m_pStream, lOff, nOrigin) != 0)
        AfxThrowFileException(CFileException::badSeek, _doserrno, m_strFileName);
    return ftell(m_pStream);
}

DWORD CStdioFile::GetPosition() const
{
    long pos = ftell(m_pStream);
    if (pos == -1)
        AfxThrowFileException(CFileException::invalidFile, _doserrno, m_strFileName);
    return (DWORD)pos;
}

DWORD CStdioFile::GetLength() const
{
    long nCurrent = ftell(m_pStream);
    fseek(m_pStream, 0, SEEK_END);
    long nLength = ftell(m_pStream);
    fseek(m_pStream, nCurrent, SEEK_SET);
    return (DWORD)nLength;
}

void CStdioFile::Flush()
{
    if (m_pStream != nullptr && fflush(m_pStream) != 0)
        CFileException::ThrowErrno(errno ? errno : ENOSPC, m_strFileName);
}

void CStdioFile::Close()
{
    int nErr = 0;
    if (m_pStream != nullptr)
        nErr = fclose(m_pStream);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_pStream = nullptr;
    if (nErr != 0)
        CFileException::ThrowErrno(errno ? errno : EIO, m_strFileName);
    m_strFileName.Empty();
}

void CStdioFile::Abort()
{
    if (m_pStream != nullptr && m_bCloseOnDelete)
        fclose(m_pStream);
    m_hFile = hFileNull;
    m_pStream = nullptr;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CFile* CStdioFile::Duplicate() const
{
    AfxThrowNotSupportedException();
}

/////////////////////////////////////////////////////////////////////////////
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(nullptr), m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer)
        Close();
}

// A grow size of zero means a fixed buffer whose contents are the file; otherwise the
// file starts empty in the caller's buffer and grows (moving out of it) as needed.
void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nBufferSize = nBufferSize;
    m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
    m_lpBuffer = lpBuffer;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nFileSize = m_nBufferSize = m_nPosition = 0;
    return lpBuffer;
}

BYTE* CMemFile::Alloc(DWORD nBytes) { return (BYTE*)::malloc(nBytes); }
BYTE* CMemFile::Realloc(BYTE* lpMem, DWORD nBytes) { return (BYTE*)::realloc(lpMem, nBytes); }
void CMemFile::Free(BYTE* lpMem) { ::free(lpMem); }

void CMemFile::GrowFile(DWORD dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    DWORD dwNewBufferSize = m_nBufferSize;
    while (dwNewBufferSize < dwNewLen)
        dwNewBufferSize += m_nGrowBytes;
    BYTE* lpNew;
    if (m_lpBuffer == nullptr) {
        lpNew = Alloc(dwNewBufferSize);
    } else if (!m_bAutoDelete) {
        // The caller's buffer is not ours to reallocate: move into one of our own.
        lpNew = Alloc(dwNewBufferSize);
        if (lpNew)
            memcpy(lpNew, m_lpBuffer, m_nFileSize);
    } else {
        lpNew = Realloc(m_lpBuffer, dwNewBufferSize);
    }
    if (lpNew == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = lpNew;
    m_bAutoDelete = TRUE;
    m_nBufferSize = dwNewBufferSize;
}

DWORD CMemFile::GetLength() const { return m_nFileSize; }

void CMemFile::SetLength(DWORD dwNewLen)
{
    if (dwNewLen > m_nBufferSize)
        GrowFile(dwNewLen);
    if (dwNewLen < m_nPosition)
        m_nPosition = dwNewLen;
    m_nFileSize = dwNewLen;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    UINT nRead = (m_nPosition + nCount > m_nFileSize) ? m_nFileSize - m_nPosition : nCount;
    memcpy(lpBuf, m_lpBuffer + m_nPosition, nRead);
    m_nPosition += nRead;
    return nRead;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition + nCount > m_nBufferSize)
        GrowFile(m_nPosition + nCount);
    memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition += nCount;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

LONG CMemFile::Seek(LONG lOff, UINT nFrom)
{
    LONG lNewPos = (LONG)m_nPosition;
    if (nFrom == begin)
        lNewPos = lOff;
    else if (nFrom == current)
        lNewPos += lOff;
    else if (nFrom == end)
        lNewPos = (LONG)m_nFileSize + lOff;
    else
        return -1;
    if (lNewPos < 0)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = (DWORD)lNewPos;
    return lNewPos;
}

DWORD CMemFile::GetPosition() const { return m_nPosition; }

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException*) { AfxThrowNotSupportedException(); }
void CMemFile::Flush() {}
CFile* CMemFile::Duplicate() const { AfxThrowNotSupportedException(); }

void CMemFile::Close()
{
    m_nGrowBytes = 0;
    m_nPosition = 0;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Abort() { Close(); }

UINT CMemFile::GetBufferPtr(UINT nCommand, UINT nCount, void** ppBufStart, void** ppBufMax)
{
    if (nCommand == bufferCheck)
        return 0;   // archives copy through their own buffer
    return CFile::GetBufferPtr(nCommand, nCount, ppBufStart, ppBufMax);
}
