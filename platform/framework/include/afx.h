// Core of the application framework: runtime classes, strings, geometry, exceptions,
// files and archives. Every class lives in qxafx.dll, so all modules share one heap,
// one class registry and one resource chain.
#pragma once

#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <new>

#ifdef QXAFX_BUILDING
#define QXAFX_API __declspec(dllexport)
#else
#define QXAFX_API __declspec(dllimport)
#endif

// Classes of a framework extension library: exported by the library that defines _AFXEXT,
// imported by everyone else.
#ifndef AFX_EXT_CLASS
#ifdef _AFXEXT
#define AFX_EXT_CLASS __declspec(dllexport)
#else
#define AFX_EXT_CLASS __declspec(dllimport)
#endif
#endif
#define AFX_EXT_API AFX_EXT_CLASS
#define AFX_EXT_DATA AFX_EXT_CLASS

#define AFXAPI
#define AFX_CDECL
#define AFX_STATIC static
#define AFX_INLINE inline
#define AFX_DATA
#define afx_msg

#ifndef ASSERT
#define ASSERT(f) ((void)0)
#endif
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(p) ((void)0)
#define ASSERT_KINDOF(cls, p) ((void)0)
#define TRACE(...) ((void)0)
#define TRACE0(s) ((void)0)
#define TRACE1(s, a) ((void)0)
#define TRACE2(s, a, b) ((void)0)
#define DEBUG_NEW new
#define UNUSED(x) (void)(x)
#define UNUSED_ALWAYS(x) (void)(x)

#ifndef _countof
#define _countof(a) (sizeof(a) / sizeof((a)[0]))
#endif

// An opaque iterator over lists and maps.
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

class CArchive;
class CDumpContext;
class CFile;
class CObject;
class CString;

/////////////////////////////////////////////////////////////////////////////
// Runtime classes

struct QXAFX_API CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                      // 0xFFFF for classes that cannot be serialised
    CObject* (*m_pfnCreateObject)();     // null for classes that cannot be created dynamically
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;         // the registry of serialisable classes

    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Archive form of a class reference: schema and name.
    void Store(CArchive& ar) const;
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
    // A registered (serialisable) class by name, or null.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
};

// Registers a class for loading from archives; IMPLEMENT_SERIAL makes one.
struct QXAFX_API AFX_CLASSINIT
{
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) ((CRuntimeClass*)(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, (int)sizeof(class_name), (UINT)(wSchema), pfnNew, \
        RUNTIME_CLASS(base_class_name), nullptr }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema) \
    CObject* class_name::CreateObject() { return new class_name; } \
    _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name)); \
    CArchive& operator>>(CArchive& ar, class_name*& pOb) \
    { pOb = (class_name*)ar.ReadObject(RUNTIME_CLASS(class_name)); return ar; }

// Schema flag: the class reads several schemas and asks the archive which one it got.
#define VERSIONABLE_SCHEMA (0x80000000)

/////////////////////////////////////////////////////////////////////////////
// CObject

class QXAFX_API CObject
{
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

protected:
    CObject();

private:
    CObject(const CObject&) = delete;
    void operator=(const CObject&) = delete;

public:
    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    static CRuntimeClass classCObject;
};

#define DYNAMIC_DOWNCAST(class_name, object) \
    ((class_name*)AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object)))
#define STATIC_DOWNCAST(class_name, object) ((class_name*)(object))
QXAFX_API CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);

// Diagnostic output; the text goes to the debugger.
class QXAFX_API CDumpContext
{
public:
    explicit CDumpContext(CFile* pFile = nullptr);
    int GetDepth() const { return m_nDepth; }
    void SetDepth(int nNewDepth) { m_nDepth = nNewDepth; }
    CDumpContext& operator<<(LPCSTR lpsz);
    CDumpContext& operator<<(const void* lp);
    CDumpContext& operator<<(int n);
    CDumpContext& operator<<(UINT n);
    CDumpContext& operator<<(LONG n);
    CDumpContext& operator<<(DWORD n);
    CDumpContext& operator<<(double d);
    CDumpContext& operator<<(const CObject* pOb);
    CDumpContext& operator<<(const CObject& ob);
    void Flush();
private:
    CFile* m_pFile;
    int m_nDepth;
};
extern QXAFX_API CDumpContext afxDump;

/////////////////////////////////////////////////////////////////////////////
// CString: a single pointer to characters preceded by a length header, so a CString can
// be handed to C functions through LPCTSTR and its buffer can be freed by any module.

struct CStringData
{
    long nRefs;          // unused: every CString owns its buffer; kept for the layout
    int nDataLength;
    int nAllocLength;
    TCHAR* data() { return (TCHAR*)(this + 1); }
};

class QXAFX_API CString
{
public:
    CString();
    CString(const CString& stringSrc);
    CString(TCHAR ch, int nRepeat = 1);
    CString(LPCSTR lpsz);      // a MAKEINTRESOURCE value loads that string resource
    CString(LPCSTR lpch, int nLength);
    CString(const unsigned char* psz);
    ~CString();

    int GetLength() const { return GetData()->nDataLength; }
    BOOL IsEmpty() const { return GetData()->nDataLength == 0; }
    void Empty();
    TCHAR GetAt(int nIndex) const { return m_pchData[nIndex]; }
    TCHAR operator[](int nIndex) const { return m_pchData[nIndex]; }
    void SetAt(int nIndex, TCHAR ch);
    operator LPCTSTR() const { return m_pchData; }

    const CString& operator=(const CString& stringSrc);
    const CString& operator=(TCHAR ch);
    const CString& operator=(LPCSTR lpsz);
    const CString& operator=(const unsigned char* psz);
    const CString& operator+=(const CString& string);
    const CString& operator+=(TCHAR ch);
    const CString& operator+=(LPCTSTR lpsz);

    friend QXAFX_API CString operator+(const CString& string1, const CString& string2);
    friend QXAFX_API CString operator+(const CString& string, TCHAR ch);
    friend QXAFX_API CString operator+(TCHAR ch, const CString& string);
    friend QXAFX_API CString operator+(const CString& string, LPCTSTR lpsz);
    friend QXAFX_API CString operator+(LPCTSTR lpsz, const CString& string);

    int Compare(LPCTSTR lpsz) const { return strcmp(m_pchData, lpsz); }
    int CompareNoCase(LPCTSTR lpsz) const { return _stricmp(m_pchData, lpsz); }
    int Collate(LPCTSTR lpsz) const { return strcoll(m_pchData, lpsz); }
    int CollateNoCase(LPCTSTR lpsz) const;

    CString Mid(int nFirst, int nCount) const;
    CString Mid(int nFirst) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(TCHAR chRemove);
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR pstr);
    int Delete(int nIndex, int nCount = 1);

    void TrimRight();
    void TrimRight(TCHAR chTarget);
    void TrimRight(LPCTSTR lpszTargets);
    void TrimLeft();
    void TrimLeft(TCHAR chTarget);
    void TrimLeft(LPCTSTR lpszTargets);

    int Find(TCHAR ch) const { return Find(ch, 0); }
    int Find(TCHAR ch, int nStart) const;
    int Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }
    int Find(LPCTSTR lpszSub, int nStart) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    void Format(LPCTSTR lpszFormat, ...);
    void Format(UINT nFormatID, ...);
    void FormatV(LPCTSTR lpszFormat, va_list argList);
    // Inserts with the %1, %2 ... syntax of FormatMessage.
    void FormatMessage(LPCTSTR lpszFormat, ...);
    void FormatMessage(UINT nFormatID, ...);

    // Finds the string in whichever module of the resource chain holds it.
    BOOL LoadString(UINT nID);

    void AnsiToOem();
    void OemToAnsi();
    BSTR AllocSysString() const;

    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPTSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPTSTR LockBuffer() { return GetBuffer(0); }
    void UnlockBuffer() {}

protected:
    LPTSTR m_pchData;

    CStringData* GetData() const { return ((CStringData*)m_pchData) - 1; }
    void Init();
    void AllocBuffer(int nLen);
    void AssignCopy(int nSrcLen, LPCTSTR lpszSrcData);
    void ConcatInPlace(int nSrcLen, LPCTSTR lpszSrcData);
    void Release();
};
static_assert(sizeof(CString) == sizeof(void*), "a CString is one pointer");

inline bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
inline bool operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
inline bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator<(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
inline bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator>(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
inline bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
inline bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }

QXAFX_API extern const CString& afxEmptyString;
QXAFX_API void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
QXAFX_API void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
QXAFX_API BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString,
                                   TCHAR chSep = '\n');

/////////////////////////////////////////////////////////////////////////////
// Time, used by file status

class QXAFX_API CTime
{
public:
    static CTime GetCurrentTime();
    CTime() : m_time(0) {}
    CTime(time_t time) : m_time(time) {}
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const FILETIME& fileTime, int nDST = -1);
    time_t GetTime() const { return m_time; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;
    CString Format(LPCTSTR pFormat) const;
    bool operator==(CTime t) const { return m_time == t.m_time; }
    bool operator!=(CTime t) const { return m_time != t.m_time; }
    bool operator<(CTime t) const { return m_time < t.m_time; }
    bool operator>(CTime t) const { return m_time > t.m_time; }
private:
    struct tm Local() const;
    time_t m_time;
};

/////////////////////////////////////////////////////////////////////////////
// Exceptions: thrown as pointers to heap objects with C++ throw; a handler ends by calling
// Delete(), which the CATCH macros do for it. The one memory exception is static and
// survives Delete(), because allocating it could itself fail.

class QXAFX_API CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    CException();
    explicit CException(BOOL bAutoDelete);
    virtual ~CException();
    void Delete();
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr);
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);
    BOOL m_bAutoDelete;
};

class QXAFX_API CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException();
    explicit CMemoryException(BOOL bAutoDelete);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class QXAFX_API CNotSupportedException : public CException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class QXAFX_API CResourceException : public CException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class QXAFX_API CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException();
};

class QXAFX_API CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
        removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation,
        diskFull, endOfFile
    };
    CFileException(int cause = CFileException::none, LONG lOsError = -1, LPCTSTR lpszArchiveName = nullptr);
    static int OsErrorToException(LONG lOsError);
    static int ErrnoToException(int nErrno);
    static void PASCAL ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);
    static void PASCAL ThrowErrno(int nErrno, LPCTSTR lpszFileName = nullptr);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class QXAFX_API CArchiveException : public CException
{
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
    CArchiveException(int cause = CArchiveException::none, LPCTSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
    int m_cause;
    CString m_strFileName;
};

class QXAFX_API COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    COleException();
    static SCODE Process(const CException* pAnyException);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
    SCODE m_sc;
};

[[noreturn]] QXAFX_API void AfxThrowMemoryException();
[[noreturn]] QXAFX_API void AfxThrowNotSupportedException();
[[noreturn]] QXAFX_API void AfxThrowResourceException();
[[noreturn]] QXAFX_API void AfxThrowUserException();
[[noreturn]] QXAFX_API void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
[[noreturn]] QXAFX_API void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
[[noreturn]] QXAFX_API void AfxThrowOleException(SCODE sc);

// Deletes the exception a CATCH block caught when the block ends, unless the block threw
// it on with THROW_LAST().
class AfxCatchBlockGuard
{
public:
    explicit AfxCatchBlockGuard(CException* e) : m_e(e) {}
    ~AfxCatchBlockGuard() { if (m_e) m_e->Delete(); }
    void Release() { m_e = nullptr; }
private:
    AfxCatchBlockGuard(const AfxCatchBlockGuard&) = delete;
    CException* m_e;
};

#define TRY try {
#define CATCH(class_name, e) } catch (class_name* e) { AfxCatchBlockGuard _afxCatchGuard(e); (void)e;
#define AND_CATCH(class_name, e) CATCH(class_name, e)
#define END_CATCH }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) CATCH(CException, e)
#define END_CATCH_ALL }
#define THROW(e) throw (e)
#define THROW_LAST() do { _afxCatchGuard.Release(); throw; } while (0)
#define END_TRY }

/////////////////////////////////////////////////////////////////////////////
// Files

struct CFileStatus
{
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    LONG m_size;
    BYTE m_attribute;
    BYTE m_padding;
    TCHAR m_szFullName[MAX_PATH];
};

class QXAFX_API CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040, modeNoInherit = 0x0080,
        modeCreate = 0x1000, modeNoTruncate = 0x2000, typeText = 0x4000, typeBinary = (int)0x8000
    };
    enum Attribute { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04,
                     volume = 0x08, directory = 0x10, archive = 0x20 };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);   // throws CFileException*
    virtual ~CFile();

    HANDLE m_hFile;
    operator HANDLE() const { return m_hFile; }

    virtual DWORD GetPosition() const;
    BOOL GetStatus(CFileStatus& rStatus) const;
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCTSTR lpszNewName);

    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    static void PASCAL Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void PASCAL Remove(LPCTSTR lpszFileName);
    static BOOL PASCAL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);

    DWORD SeekToEnd();
    void SeekToBegin();
    DWORD ReadHuge(void* lpBuffer, DWORD dwCount) { return Read(lpBuffer, (UINT)dwCount); }
    void WriteHuge(const void* lpBuffer, DWORD dwCount) { Write(lpBuffer, (UINT)dwCount); }

    virtual CFile* Duplicate() const;
    virtual LONG Seek(LONG lOff, UINT nFrom);
    virtual void SetLength(DWORD dwNewLen);
    virtual DWORD GetLength() const;
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual void Abort();
    virtual void Flush();
    virtual void Close();

    // Memory files hand out their buffer directly; other files answer 0.
    enum BufferCommand { bufferRead, bufferWrite, bufferCommit, bufferCheck };
    virtual UINT GetBufferPtr(UINT nCommand, UINT nCount = 0, void** ppBufStart = nullptr,
                              void** ppBufMax = nullptr);

protected:
    BOOL m_bCloseOnDelete;
    CString m_strFileName;
};

class QXAFX_API CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    CStdioFile(FILE* pOpenStream);
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    virtual ~CStdioFile();

    FILE* m_pStream;

    virtual void WriteString(LPCTSTR lpsz);
    // Reads one line; the newline stays in the buffer, as with fgets.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    // Reads one line without its newline; FALSE at the end of the file.
    virtual BOOL ReadString(CString& rString);

    DWORD GetPosition() const override;
    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    void Abort() override;
    void Flush() override;
    void Close() override;
    DWORD GetLength() const override;
    CFile* Duplicate() const override;
};

class QXAFX_API CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    virtual ~CMemFile();

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    BYTE* Detach();

    DWORD GetPosition() const override;
    BOOL Open(LPCTSTR, UINT, CFileException* = nullptr) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    void SetLength(DWORD dwNewLen) override;
    DWORD GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Abort() override;
    void Flush() override;
    void Close() override;
    CFile* Duplicate() const override;
    UINT GetBufferPtr(UINT nCommand, UINT nCount = 0, void** ppBufStart = nullptr,
                      void** ppBufMax = nullptr) override;

protected:
    virtual BYTE* Alloc(DWORD nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, DWORD nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(DWORD dwNewLen);

    UINT m_nGrowBytes;
    DWORD m_nPosition;
    DWORD m_nBufferSize;
    DWORD m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;
};

/////////////////////////////////////////////////////////////////////////////
// CArchive: a buffered binary stream over a CFile. Numbers are stored little-endian with
// their stated sizes; objects are stored with class tags so a load creates the right class.

class CDocument;

class QXAFX_API CArchive
{
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    ~CArchive();

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
    CFile* GetFile() const { return m_pFile; }
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    CDocument* m_pDocument;

    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    void Flush();
    void Close();
    void Abort();

    void WriteString(LPCTSTR lpsz);
    LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    BOOL ReadString(CString& rString);

    CArchive& operator<<(BYTE by) { return WriteRaw(&by, 1); }
    CArchive& operator<<(WORD w) { return WriteRaw(&w, 2); }
    CArchive& operator<<(LONG l) { return WriteRaw(&l, 4); }
    CArchive& operator<<(DWORD dw) { return WriteRaw(&dw, 4); }
    CArchive& operator<<(float f) { return WriteRaw(&f, 4); }
    CArchive& operator<<(double d) { return WriteRaw(&d, 8); }
    CArchive& operator<<(int i) { return operator<<((LONG)i); }
    CArchive& operator<<(short w) { return operator<<((WORD)w); }
    CArchive& operator<<(char ch) { return operator<<((BYTE)ch); }
    CArchive& operator<<(unsigned u) { return operator<<((LONG)u); }
    CArchive& operator>>(BYTE& by) { return ReadRaw(&by, 1); }
    CArchive& operator>>(WORD& w) { return ReadRaw(&w, 2); }
    CArchive& operator>>(DWORD& dw) { return ReadRaw(&dw, 4); }
    CArchive& operator>>(LONG& l) { return ReadRaw(&l, 4); }
    CArchive& operator>>(float& f) { return ReadRaw(&f, 4); }
    CArchive& operator>>(double& d) { return ReadRaw(&d, 8); }
    CArchive& operator>>(int& i) { LONG l; ReadRaw(&l, 4); i = l; return *this; }
    CArchive& operator>>(short& w) { WORD v; ReadRaw(&v, 2); w = (short)v; return *this; }
    CArchive& operator>>(char& ch) { BYTE v; ReadRaw(&v, 1); ch = (char)v; return *this; }
    CArchive& operator>>(unsigned& u) { LONG l; ReadRaw(&l, 4); u = (unsigned)l; return *this; }

    friend CArchive& operator<<(CArchive& ar, const CObject* pOb) { ar.WriteObject(pOb); return ar; }
    friend CArchive& operator>>(CArchive& ar, CObject*& pOb) { pOb = ar.ReadObject(nullptr); return ar; }
    friend CArchive& operator>>(CArchive& ar, const CObject*& pOb) { pOb = ar.ReadObject(nullptr); return ar; }

    CObject* ReadObject(const CRuntimeClass* pClass);
    void WriteObject(const CObject* pOb);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr,
                             UINT* pSchema = nullptr, DWORD* pObTag = nullptr);
    void WriteClass(const CRuntimeClass* pClassRef);
    void SerializeClass(const CRuntimeClass* pClassRef);

    // Counts written for a string length: one byte below 0xFF, else 0xFF and a word below
    // 0xFFFF, else 0xFF, 0xFFFF and a double word.
    void WriteCount(DWORD dwCount);
    DWORD ReadCount();

protected:
    CArchive(const CArchive&) = delete;
    void operator=(const CArchive&) = delete;
    CArchive& WriteRaw(const void* p, UINT n);
    CArchive& ReadRaw(void* p, UINT n);
    void FillBuffer(UINT nBytesNeeded);
    UINT FindIndexOf(const void* p) const;
    void AddToMap(const void* p);

    BOOL m_bDirectBuffer;
    UINT m_nObjectSchema;
    CString m_strFileName;
    CFile* m_pFile;
    UINT m_nMode;
    int m_nBufSize;
    BOOL m_bUserBuf;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    // Objects and classes seen so far, in order; their 1-based position is their tag.
    void** m_pMap;
    UINT m_nMapCount;
    UINT m_nMapAlloc;
};

QXAFX_API CArchive& operator<<(CArchive& ar, const CString& string);
QXAFX_API CArchive& operator>>(CArchive& ar, CString& string);

/////////////////////////////////////////////////////////////////////////////
// Diagnostic and memory helpers

QXAFX_API BOOL AfxIsValidAddress(const void* lp, UINT_PTR nBytes, BOOL bReadWrite = TRUE);
QXAFX_API BOOL AfxIsValidString(LPCSTR lpsz, int nLength = -1);
QXAFX_API void AfxAbort();

/////////////////////////////////////////////////////////////////////////////
// Geometry

class CSize;
class CPoint;
class CRect;

class CSize : public tagSIZE
{
public:
    CSize() { cx = cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE initSize) { cx = initSize.cx; cy = initSize.cy; }
    CSize(POINT initPt) { cx = initPt.x; cy = initPt.y; }
    CSize(DWORD dwSize) { cx = (short)LOWORD(dwSize); cy = (short)HIWORD(dwSize); }
    BOOL operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    BOOL operator!=(SIZE size) const { return cx != size.cx || cy != size.cy; }
    void operator+=(SIZE size) { cx += size.cx; cy += size.cy; }
    void operator-=(SIZE size) { cx -= size.cx; cy -= size.cy; }
    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    inline CPoint operator+(POINT point) const;
    inline CPoint operator-(POINT point) const;
    inline CRect operator+(const RECT* lpRect) const;
    inline CRect operator-(const RECT* lpRect) const;
};

class CPoint : public tagPOINT
{
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT initPt) { x = initPt.x; y = initPt.y; }
    CPoint(SIZE initSize) { x = initSize.cx; y = initSize.cy; }
    CPoint(DWORD dwPoint) { x = (short)LOWORD(dwPoint); y = (short)HIWORD(dwPoint); }
    void Offset(int xOffset, int yOffset) { x += xOffset; y += yOffset; }
    void Offset(POINT point) { x += point.x; y += point.y; }
    void Offset(SIZE size) { x += size.cx; y += size.cy; }
    BOOL operator==(POINT point) const { return x == point.x && y == point.y; }
    BOOL operator!=(POINT point) const { return x != point.x || y != point.y; }
    void operator+=(SIZE size) { x += size.cx; y += size.cy; }
    void operator-=(SIZE size) { x -= size.cx; y -= size.cy; }
    void operator+=(POINT point) { x += point.x; y += point.y; }
    void operator-=(POINT point) { x -= point.x; y -= point.y; }
    CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
    CSize operator-(POINT point) const { return CSize(x - point.x, y - point.y); }
    inline CRect operator+(const RECT* lpRect) const;
    inline CRect operator-(const RECT* lpRect) const;
};

class CRect : public tagRECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& srcRect) { ::CopyRect(this, &srcRect); }
    CRect(const RECT* lpSrcRect) { ::CopyRect(this, lpSrcRect); }
    CRect(POINT point, SIZE size) { right = (left = point.x) + size.cx; bottom = (top = point.y) + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(right - left, bottom - top); }
    CPoint& TopLeft() { return *((CPoint*)this); }
    CPoint& BottomRight() { return *((CPoint*)this + 1); }
    const CPoint& TopLeft() const { return *((const CPoint*)this); }
    const CPoint& BottomRight() const { return *((const CPoint*)this + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    void SwapLeftRight() { LONG t = left; left = right; right = t; }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }

    void SetRect(int x1, int y1, int x2, int y2) { ::SetRect(this, x1, y1, x2, y2); }
    void SetRect(POINT topLeft, POINT bottomRight) { ::SetRect(this, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT lpSrcRect) { ::CopyRect(this, lpSrcRect); }
    BOOL EqualRect(LPCRECT lpRect) const { return ::EqualRect(this, lpRect); }

    void InflateRect(int x, int y) { ::InflateRect(this, x, y); }
    void InflateRect(SIZE size) { ::InflateRect(this, size.cx, size.cy); }
    void InflateRect(LPCRECT lpRect) { left -= lpRect->left; top -= lpRect->top; right += lpRect->right; bottom += lpRect->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int x, int y) { ::InflateRect(this, -x, -y); }
    void DeflateRect(SIZE size) { ::InflateRect(this, -size.cx, -size.cy); }
    void DeflateRect(LPCRECT lpRect) { left += lpRect->left; top += lpRect->top; right -= lpRect->right; bottom -= lpRect->bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
    void OffsetRect(int x, int y) { ::OffsetRect(this, x, y); }
    void OffsetRect(SIZE size) { ::OffsetRect(this, size.cx, size.cy); }
    void OffsetRect(POINT point) { ::OffsetRect(this, point.x, point.y); }
    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }

    BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) { return ::IntersectRect(this, lpRect1, lpRect2); }
    BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) { return ::UnionRect(this, lpRect1, lpRect2); }
    BOOL SubtractRect(LPCRECT lpRectSrc1, LPCRECT lpRectSrc2) { return ::SubtractRect(this, lpRectSrc1, lpRectSrc2); }

    void operator=(const RECT& srcRect) { ::CopyRect(this, &srcRect); }
    BOOL operator==(const RECT& rect) const { return ::EqualRect(this, &rect); }
    BOOL operator!=(const RECT& rect) const { return !::EqualRect(this, &rect); }
    void operator+=(POINT point) { ::OffsetRect(this, point.x, point.y); }
    void operator+=(SIZE size) { ::OffsetRect(this, size.cx, size.cy); }
    void operator+=(LPCRECT lpRect) { InflateRect(lpRect); }
    void operator-=(POINT point) { ::OffsetRect(this, -point.x, -point.y); }
    void operator-=(SIZE size) { ::OffsetRect(this, -size.cx, -size.cy); }
    void operator-=(LPCRECT lpRect) { DeflateRect(lpRect); }
    void operator&=(const RECT& rect) { ::IntersectRect(this, this, &rect); }
    void operator|=(const RECT& rect) { ::UnionRect(this, this, &rect); }

    CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt); return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CRect operator+(SIZE size) const { CRect r(*this); r.OffsetRect(size); return r; }
    CRect operator-(SIZE size) const { CRect r(*this); r.OffsetRect(-size.cx, -size.cy); return r; }
    CRect operator+(LPCRECT lpRect) const { CRect r(this); r.InflateRect(lpRect); return r; }
    CRect operator-(LPCRECT lpRect) const { CRect r(this); r.DeflateRect(lpRect); return r; }
    CRect operator&(const RECT& rect2) const { CRect r; ::IntersectRect(&r, this, &rect2); return r; }
    CRect operator|(const RECT& rect2) const { CRect r; ::UnionRect(&r, this, &rect2); return r; }
};

inline CPoint CSize::operator+(POINT point) const { return CPoint(cx + point.x, cy + point.y); }
inline CPoint CSize::operator-(POINT point) const { return CPoint(cx - point.x, cy - point.y); }
inline CRect CSize::operator+(const RECT* lpRect) const { return CRect(lpRect) + *this; }
inline CRect CSize::operator-(const RECT* lpRect) const { return CRect(lpRect) - *this; }
inline CRect CPoint::operator+(const RECT* lpRect) const { return CRect(lpRect) + *this; }
inline CRect CPoint::operator-(const RECT* lpRect) const { return CRect(lpRect) - *this; }

#include "afxcoll.h"
