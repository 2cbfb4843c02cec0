// The fixed collections: instances of the templates with runtime classes of their own.
// Arrays of strings and lists of strings take LPCTSTR arguments; object collections hold
// pointers they do not own.
#pragma once
#include "afxtempl.h"


class QXAFX_API CObArray : public CArray<CObject*, CObject*>
{
    DECLARE_SERIAL(CObArray)
public:
    CObArray() {}
    ~CObArray() override;
};

class QXAFX_API CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
public:
    CPtrArray() {}
    ~CPtrArray() override;
};

class QXAFX_API CStringArray : public CArray<CString, LPCTSTR>
{
    DECLARE_SERIAL(CStringArray)
public:
    CStringArray() {}
    ~CStringArray() override;
};

class QXAFX_API CDWordArray : public CArray<DWORD, DWORD>
{
    DECLARE_SERIAL(CDWordArray)
public:
    CDWordArray() {}
    ~CDWordArray() override;
};

class QXAFX_API CWordArray : public CArray<WORD, WORD>
{
    DECLARE_SERIAL(CWordArray)
public:
    CWordArray() {}
    ~CWordArray() override;
};

class QXAFX_API CUIntArray : public CArray<UINT, UINT>
{
    DECLARE_DYNAMIC(CUIntArray)
public:
    CUIntArray() {}
    ~CUIntArray() override;
};

class QXAFX_API CByteArray : public CArray<BYTE, BYTE>
{
    DECLARE_SERIAL(CByteArray)
public:
    CByteArray() {}
    ~CByteArray() override;
};

class QXAFX_API CObList : public CList<CObject*, CObject*>
{
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10) : CList<CObject*, CObject*>(nBlockSize) {}
    ~CObList() override;
};

class QXAFX_API CPtrList : public CList<void*, void*>
{
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList<void*, void*>(nBlockSize) {}
    ~CPtrList() override;
};

class QXAFX_API CStringList : public CList<CString, LPCTSTR>
{
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : CList<CString, LPCTSTR>(nBlockSize) {}
    ~CStringList() override;
};

class QXAFX_API CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    typedef CString BASE_KEY;
    typedef LPCTSTR BASE_ARG_KEY;
    typedef void* BASE_VALUE;
    typedef void* BASE_ARG_VALUE;
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap<CString, LPCTSTR, void*, void*>(nBlockSize) {}
    ~CMapStringToPtr() override;
};

class QXAFX_API CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapStringToOb)
public:
    typedef CString BASE_KEY;
    typedef LPCTSTR BASE_ARG_KEY;
    typedef CObject* BASE_VALUE;
    typedef CObject* BASE_ARG_VALUE;
    explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap<CString, LPCTSTR, CObject*, CObject*>(nBlockSize) {}
    ~CMapStringToOb() override;
};

class QXAFX_API CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR>
{
    DECLARE_SERIAL(CMapStringToString)
public:
    typedef CString BASE_KEY;
    typedef LPCTSTR BASE_ARG_KEY;
    typedef CString BASE_VALUE;
    typedef LPCTSTR BASE_ARG_VALUE;
    explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap<CString, LPCTSTR, CString, LPCTSTR>(nBlockSize) {}
    ~CMapStringToString() override;
};

class QXAFX_API CMapPtrToPtr : public CMap<void*, void*, void*, void*>
{
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    typedef void* BASE_KEY;
    typedef void* BASE_ARG_KEY;
    typedef void* BASE_VALUE;
    typedef void* BASE_ARG_VALUE;
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap<void*, void*, void*, void*>(nBlockSize) {}
    ~CMapPtrToPtr() override;
};

class QXAFX_API CMapPtrToWord : public CMap<void*, void*, WORD, WORD>
{
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    typedef void* BASE_KEY;
    typedef void* BASE_ARG_KEY;
    typedef WORD BASE_VALUE;
    typedef WORD BASE_ARG_VALUE;
    explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : CMap<void*, void*, WORD, WORD>(nBlockSize) {}
    ~CMapPtrToWord() override;
};

class QXAFX_API CMapWordToPtr : public CMap<WORD, WORD, void*, void*>
{
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    typedef WORD BASE_KEY;
    typedef WORD BASE_ARG_KEY;
    typedef void* BASE_VALUE;
    typedef void* BASE_ARG_VALUE;
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap<WORD, WORD, void*, void*>(nBlockSize) {}
    ~CMapWordToPtr() override;
};

class QXAFX_API CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapWordToOb)
public:
    typedef WORD BASE_KEY;
    typedef WORD BASE_ARG_KEY;
    typedef CObject* BASE_VALUE;
    typedef CObject* BASE_ARG_VALUE;
    explicit CMapWordToOb(INT_PTR nBlockSize = 10) : CMap<WORD, WORD, CObject*, CObject*>(nBlockSize) {}
    ~CMapWordToOb() override;
};
