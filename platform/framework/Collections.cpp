// Runtime classes of the fixed collections.
#include "afx.h"

CObArray::~CObArray() {}
IMPLEMENT_SERIAL(CObArray, CObject, 0)

CPtrArray::~CPtrArray() {}
IMPLEMENT_DYNAMIC(CPtrArray, CObject)

CStringArray::~CStringArray() {}
IMPLEMENT_SERIAL(CStringArray, CObject, 0)

CDWordArray::~CDWordArray() {}
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)

CWordArray::~CWordArray() {}
IMPLEMENT_SERIAL(CWordArray, CObject, 0)

CUIntArray::~CUIntArray() {}
IMPLEMENT_DYNAMIC(CUIntArray, CObject)

CByteArray::~CByteArray() {}
IMPLEMENT_SERIAL(CByteArray, CObject, 0)

CObList::~CObList() {}
IMPLEMENT_SERIAL(CObList, CObject, 0)

CPtrList::~CPtrList() {}
IMPLEMENT_DYNAMIC(CPtrList, CObject)

CStringList::~CStringList() {}
IMPLEMENT_SERIAL(CStringList, CObject, 0)

CMapStringToPtr::~CMapStringToPtr() {}
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)

CMapStringToOb::~CMapStringToOb() {}
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)

CMapStringToString::~CMapStringToString() {}
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)

CMapPtrToPtr::~CMapPtrToPtr() {}
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)

CMapPtrToWord::~CMapPtrToWord() {}
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)

CMapWordToPtr::~CMapWordToPtr() {}
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)

CMapWordToOb::~CMapWordToOb() {}
IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
