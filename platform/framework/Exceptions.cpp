// The exception family and the throw functions.
#include "afxwin.h"
#include "afxres.h"
#include <errno.h>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)

// Copies a framework string into the caller's buffer; FALSE when there is none.
static BOOL CopyPrompt(UINT nID, LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString str;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    if (!str.LoadString(nID)) {
        lpszError[0] = '\0';
        return FALSE;
    }
    lstrcpynA(lpszError, str, (int)nMaxError);
    return TRUE;
}

CException::CException() : m_bAutoDelete(TRUE) {}
CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
CException::~CException() {}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError)
        lpszError[0] = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szMessage[512];
    UINT nHelpContext = 0;
    if (GetErrorMessage(szMessage, sizeof szMessage, &nHelpContext))
        return AfxMessageBox(szMessage, nType, nHelpContext);
    if (nMessageID == 0)
        nMessageID = AFX_IDP_NO_ERROR_AVAILABLE;
    return AfxMessageBox(nMessageID, nType, nHelpContext);
}

CMemoryException::CMemoryException() : CException(TRUE) {}
CMemoryException::CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}
BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    return CopyPrompt(AFX_IDS_MEMORY_EXCEPTION, lpszError, nMaxError, pnHelpContext);
}

CNotSupportedException::CNotSupportedException() {}
BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    return CopyPrompt(AFX_IDS_NOT_SUPPORTED_EXCEPTION, lpszError, nMaxError, pnHelpContext);
}

CResourceException::CResourceException() {}
BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    return CopyPrompt(AFX_IDS_RESOURCE_EXCEPTION, lpszError, nMaxError, pnHelpContext);
}

CUserException::CUserException() {}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    CString str;
    AfxFormatString1(str, AFX_IDP_FILE_NONE + m_cause,
                     m_strFileName.IsEmpty() ? "an unnamed file" : (LPCTSTR)m_strFileName);
    lstrcpynA(lpszError, str, (int)nMaxError);
    return !str.IsEmpty();
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE: case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME: case ERROR_INVALID_NAME: case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: case ERROR_INVALID_ACCESS: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK: case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: case ERROR_SHARING_BUFFER_EXCEEDED: return sharingViolation;
    case ERROR_LOCK_VIOLATION: case ERROR_LOCK_FAILED: return lockViolation;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_CRC: case ERROR_SECTOR_NOT_FOUND: case ERROR_READ_FAULT: case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: case ERROR_NOT_READY: return hardIO;
    default: return generic;
    }
}

int CFileException::ErrnoToException(int nErrno)
{
    switch (nErrno) {
    case EPERM: case EACCES: return accessDenied;
    case EBADF: return invalidFile;
    case EDEADLOCK: return sharingViolation;
    case EMFILE: return tooManyOpenFiles;
    case ENOENT: case ENFILE: return fileNotFound;
    case ENOSPC: return diskFull;
    case EINVAL: case EIO: return hardIO;
    default: return generic;
    }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    if (lOsError != 0)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void PASCAL CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    if (nErrno != 0)
        AfxThrowFileException(ErrnoToException(nErrno), _doserrno, lpszFileName);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    CString str;
    AfxFormatString1(str, AFX_IDP_ARCH_NONE + m_cause,
                     m_strFileName.IsEmpty() ? "an unnamed file" : (LPCTSTR)m_strFileName);
    lstrcpynA(lpszError, str, (int)nMaxError);
    return !str.IsEmpty();
}

COleException::COleException() : m_sc(S_OK) {}

SCODE COleException::Process(const CException* pAnyException)
{
    if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
        return ((const COleException*)pAnyException)->m_sc;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException)))
        return E_NOTIMPL;
    return E_UNEXPECTED;
}

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, m_sc,
                       0, lpszError, nMaxError, nullptr) != 0)
        return TRUE;
    CString str;
    str.Format("OLE error 0x%08lX.", (unsigned long)m_sc);
    lstrcpynA(lpszError, str, (int)nMaxError);
    return TRUE;
}

void AfxThrowMemoryException()
{
    // Preallocated: throwing must not need memory. Delete() leaves it alone.
    static CMemoryException s_memoryException(FALSE);
    throw &s_memoryException;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowResourceException() { throw new CResourceException; }
void AfxThrowUserException() { throw new CUserException; }

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

void AfxThrowOleException(SCODE sc)
{
    COleException* e = new COleException;
    e->m_sc = sc;
    throw e;
}
