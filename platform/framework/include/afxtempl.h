// Collection templates. The fixed collections of afxcoll.h are instances of these, so
// growth, removal and iteration behave the same in both.
#pragma once
#include "afx.h"

/////////////////////////////////////////////////////////////////////////////
// Element helpers; specialise them for a type that needs other than the defaults.

template <class TYPE>
inline void ConstructElements(TYPE* pElements, INT_PTR nCount)
{
    for (; nCount--; pElements++)
        ::new ((void*)pElements) TYPE();
}

template <class TYPE>
inline void DestructElements(TYPE* pElements, INT_PTR nCount)
{
    for (; nCount--; pElements++)
        pElements->~TYPE();
}

template <class TYPE>
inline void CopyElements(TYPE* pDest, const TYPE* pSrc, INT_PTR nCount)
{
    while (nCount--)
        *pDest++ = *pSrc++;
}

// Plain data is stored as its bytes; strings and objects have their own forms.
template <class TYPE>
inline void SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    if (ar.IsStoring())
        ar.Write((void*)pElements, (UINT)(nCount * sizeof(TYPE)));
    else
        ar.Read((void*)pElements, (UINT)(nCount * sizeof(TYPE)));
}

template <>
inline void SerializeElements<CString>(CArchive& ar, CString* pElements, INT_PTR nCount)
{
    for (; nCount--; pElements++) {
        if (ar.IsStoring())
            ar << *pElements;
        else
            ar >> *pElements;
    }
}

template <>
inline void SerializeElements<CObject*>(CArchive& ar, CObject** pElements, INT_PTR nCount)
{
    for (; nCount--; pElements++) {
        if (ar.IsStoring())
            ar << *pElements;
        else
            ar >> *pElements;
    }
}

template <class TYPE, class ARG_TYPE>
inline BOOL CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    return (UINT)(((DWORD_PTR)key) >> 4);
}

template <>
inline UINT HashKey<LPCTSTR>(LPCTSTR key)
{
    UINT nHash = 0;
    while (*key)
        nHash = (nHash << 5) + nHash + (BYTE)*key++;
    return nHash;
}

/////////////////////////////////////////////////////////////////////////////
// CArray

template <class TYPE, class ARG_TYPE>
class CArray : public CObject
{
public:
    CArray() : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // nGrowBy -1 keeps the current growth; 0 grows by an eighth of the size, 4 to 1024.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize <= 0) {
            RemoveAll();
            return;
        }
        if (m_pData == nullptr) {
            INT_PTR nAlloc = nNewSize > m_nGrowBy ? nNewSize : m_nGrowBy;
            m_pData = Allocate(nAlloc);
            ConstructElements<TYPE>(m_pData, nNewSize);
            m_nSize = nNewSize;
            m_nMaxSize = nAlloc;
        } else if (nNewSize <= m_nMaxSize) {
            if (nNewSize > m_nSize)
                ConstructElements<TYPE>(&m_pData[m_nSize], nNewSize - m_nSize);
            else if (m_nSize > nNewSize)
                DestructElements<TYPE>(&m_pData[nNewSize], m_nSize - nNewSize);
            m_nSize = nNewSize;
        } else {
            INT_PTR nGrow = m_nGrowBy;
            if (nGrow == 0) {
                nGrow = m_nSize / 8;
                nGrow = nGrow < 4 ? 4 : (nGrow > 1024 ? 1024 : nGrow);
            }
            INT_PTR nNewMax = m_nMaxSize + nGrow;
            if (nNewSize > nNewMax)
                nNewMax = nNewSize;
            TYPE* pNewData = Allocate(nNewMax);
            // Elements move as bytes: they are never referenced by address from outside.
            memcpy((void*)pNewData, (void*)m_pData, m_nSize * sizeof(TYPE));
            ConstructElements<TYPE>(&pNewData[m_nSize], nNewSize - m_nSize);
            ::free(m_pData);
            m_pData = pNewData;
            m_nSize = nNewSize;
            m_nMaxSize = nNewMax;
        }
    }

    void FreeExtra()
    {
        if (m_nSize == m_nMaxSize)
            return;
        TYPE* pNewData = nullptr;
        if (m_nSize != 0) {
            pNewData = Allocate(m_nSize);
            memcpy((void*)pNewData, (void*)m_pData, m_nSize * sizeof(TYPE));
        }
        ::free(m_pData);
        m_pData = pNewData;
        m_nMaxSize = m_nSize;
    }

    void RemoveAll()
    {
        if (m_pData) {
            DestructElements<TYPE>(m_pData, m_nSize);
            ::free(m_pData);
        }
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }

    TYPE GetAt(INT_PTR nIndex) const { return m_pData[nIndex]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex >= m_nSize)
            SetSize(nIndex + 1, -1);
        m_pData[nIndex] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        INT_PTR nIndex = m_nSize;
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    INT_PTR Append(const CArray& src)
    {
        INT_PTR nOldSize = m_nSize;
        INT_PTR nCount = src.m_nSize;
        SetSize(m_nSize + nCount);
        CopyElements<TYPE>(m_pData + nOldSize, src.m_pData, nCount);
        return nOldSize;
    }
    void Copy(const CArray& src)
    {
        if (this == &src)
            return;
        SetSize(src.m_nSize);
        CopyElements<TYPE>(m_pData, src.m_pData, src.m_nSize);
    }

    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nCount <= 0)
            return;
        // Copy first: newElement may refer into this array.
        TYPE value = newElement;
        if (nIndex >= m_nSize) {
            SetSize(nIndex + nCount, -1);
        } else {
            INT_PTR nOldSize = m_nSize;
            SetSize(m_nSize + nCount, -1);
            DestructElements<TYPE>(&m_pData[nOldSize], nCount);
            memmove((void*)&m_pData[nIndex + nCount], (void*)&m_pData[nIndex],
                    (nOldSize - nIndex) * sizeof(TYPE));
            ConstructElements<TYPE>(&m_pData[nIndex], nCount);
        }
        while (nCount--)
            m_pData[nIndex++] = value;
    }
    void InsertAt(INT_PTR nStartIndex, CArray* pNewArray)
    {
        if (pNewArray == nullptr || pNewArray->GetSize() == 0)
            return;
        InsertAt(nStartIndex, pNewArray->GetAt(0), pNewArray->GetSize());
        for (INT_PTR i = 0; i < pNewArray->GetSize(); i++)
            SetAt(nStartIndex + i, pNewArray->GetAt(i));
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0 || nIndex + nCount > m_nSize)
            return;
        INT_PTR nMoveCount = m_nSize - (nIndex + nCount);
        DestructElements<TYPE>(&m_pData[nIndex], nCount);
        if (nMoveCount)
            memmove((void*)&m_pData[nIndex], (void*)&m_pData[nIndex + nCount], nMoveCount * sizeof(TYPE));
        m_nSize -= nCount;
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount((DWORD)m_nSize);
        } else {
            DWORD nOldSize = ar.ReadCount();
            SetSize(nOldSize, -1);
        }
        SerializeElements<TYPE>(ar, m_pData, m_nSize);
    }

protected:
    static TYPE* Allocate(INT_PTR nCount)
    {
        TYPE* p = (TYPE*)::malloc(nCount * sizeof(TYPE));
        if (p == nullptr)
            AfxThrowMemoryException();
        return p;
    }

    TYPE* m_pData;
    INT_PTR m_nSize;
    INT_PTR m_nMaxSize;
    INT_PTR m_nGrowBy;
};

/////////////////////////////////////////////////////////////////////////////
// CList: a doubly linked list; a POSITION is a node.

template <class TYPE, class ARG_TYPE>
class CList : public CObject
{
protected:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(INT_PTR nBlockSize = 10)
        : m_pNodeHead(nullptr), m_pNodeTail(nullptr), m_nCount(0), m_nBlockSize(nBlockSize) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return m_pNodeHead->data; }
    TYPE GetHead() const { return m_pNodeHead->data; }
    TYPE& GetTail() { return m_pNodeTail->data; }
    TYPE GetTail() const { return m_pNodeTail->data; }

    TYPE RemoveHead()
    {
        CNode* pOldNode = m_pNodeHead;
        TYPE returnValue = pOldNode->data;
        m_pNodeHead = pOldNode->pNext;
        if (m_pNodeHead)
            m_pNodeHead->pPrev = nullptr;
        else
            m_pNodeTail = nullptr;
        FreeNode(pOldNode);
        return returnValue;
    }
    TYPE RemoveTail()
    {
        CNode* pOldNode = m_pNodeTail;
        TYPE returnValue = pOldNode->data;
        m_pNodeTail = pOldNode->pPrev;
        if (m_pNodeTail)
            m_pNodeTail->pNext = nullptr;
        else
            m_pNodeHead = nullptr;
        FreeNode(pOldNode);
        return returnValue;
    }

    POSITION AddHead(ARG_TYPE newElement)
    {
        CNode* pNewNode = NewNode(nullptr, m_pNodeHead);
        pNewNode->data = newElement;
        if (m_pNodeHead)
            m_pNodeHead->pPrev = pNewNode;
        else
            m_pNodeTail = pNewNode;
        m_pNodeHead = pNewNode;
        return (POSITION)pNewNode;
    }
    POSITION AddTail(ARG_TYPE newElement)
    {
        CNode* pNewNode = NewNode(m_pNodeTail, nullptr);
        pNewNode->data = newElement;
        if (m_pNodeTail)
            m_pNodeTail->pNext = pNewNode;
        else
            m_pNodeHead = pNewNode;
        m_pNodeTail = pNewNode;
        return (POSITION)pNewNode;
    }
    void AddHead(CList* pNewList)
    {
        POSITION pos = pNewList->GetTailPosition();
        while (pos)
            AddHead(pNewList->GetPrev(pos));
    }
    void AddTail(CList* pNewList)
    {
        POSITION pos = pNewList->GetHeadPosition();
        while (pos)
            AddTail(pNewList->GetNext(pos));
    }

    void RemoveAll()
    {
        CNode* pNode = m_pNodeHead;
        while (pNode) {
            CNode* pNext = pNode->pNext;
            delete pNode;
            pNode = pNext;
        }
        m_pNodeHead = m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return (POSITION)m_pNodeHead; }
    POSITION GetTailPosition() const { return (POSITION)m_pNodeTail; }
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* pNode = (CNode*)rPosition;
        rPosition = (POSITION)pNode->pNext;
        return pNode->data;
    }
    TYPE GetNext(POSITION& rPosition) const
    {
        CNode* pNode = (CNode*)rPosition;
        rPosition = (POSITION)pNode->pNext;
        return pNode->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* pNode = (CNode*)rPosition;
        rPosition = (POSITION)pNode->pPrev;
        return pNode->data;
    }
    TYPE GetPrev(POSITION& rPosition) const
    {
        CNode* pNode = (CNode*)rPosition;
        rPosition = (POSITION)pNode->pPrev;
        return pNode->data;
    }
    TYPE& GetAt(POSITION position) { return ((CNode*)position)->data; }
    TYPE GetAt(POSITION position) const { return ((CNode*)position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { ((CNode*)pos)->data = newElement; }

    void RemoveAt(POSITION position)
    {
        CNode* pOldNode = (CNode*)position;
        if (pOldNode == m_pNodeHead)
            m_pNodeHead = pOldNode->pNext;
        else
            pOldNode->pPrev->pNext = pOldNode->pNext;
        if (pOldNode == m_pNodeTail)
            m_pNodeTail = pOldNode->pPrev;
        else
            pOldNode->pNext->pPrev = pOldNode->pPrev;
        FreeNode(pOldNode);
    }
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddHead(newElement);
        CNode* pOldNode = (CNode*)position;
        CNode* pNewNode = NewNode(pOldNode->pPrev, pOldNode);
        pNewNode->data = newElement;
        if (pOldNode->pPrev)
            pOldNode->pPrev->pNext = pNewNode;
        else
            m_pNodeHead = pNewNode;
        pOldNode->pPrev = pNewNode;
        return (POSITION)pNewNode;
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddTail(newElement);
        CNode* pOldNode = (CNode*)position;
        CNode* pNewNode = NewNode(pOldNode, pOldNode->pNext);
        pNewNode->data = newElement;
        if (pOldNode->pNext)
            pOldNode->pNext->pPrev = pNewNode;
        else
            m_pNodeTail = pNewNode;
        pOldNode->pNext = pNewNode;
        return (POSITION)pNewNode;
    }

    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* pNode = startAfter ? ((CNode*)startAfter)->pNext : m_pNodeHead;
        for (; pNode; pNode = pNode->pNext)
            if (CompareElements<TYPE, ARG_TYPE>(&pNode->data, &searchValue))
                return (POSITION)pNode;
        return nullptr;
    }
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* pNode = m_pNodeHead;
        while (nIndex--)
            pNode = pNode->pNext;
        return (POSITION)pNode;
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount((DWORD)m_nCount);
            for (CNode* pNode = m_pNodeHead; pNode; pNode = pNode->pNext)
                SerializeElements<TYPE>(ar, &pNode->data, 1);
        } else {
            DWORD nNewCount = ar.ReadCount();
            while (nNewCount--) {
                TYPE newData{};
                SerializeElements<TYPE>(ar, &newData, 1);
                AddTail(newData);
            }
        }
    }

protected:
    CNode* NewNode(CNode* pPrev, CNode* pNext)
    {
        CNode* pNode = new CNode{pNext, pPrev, TYPE()};
        m_nCount++;
        return pNode;
    }
    void FreeNode(CNode* pNode)
    {
        delete pNode;
        m_nCount--;
        if (m_nCount == 0)
            m_pNodeHead = m_pNodeTail = nullptr;
    }

    CNode* m_pNodeHead;
    CNode* m_pNodeTail;
    INT_PTR m_nCount;
    INT_PTR m_nBlockSize;   // kept for callers that pass one; nodes are allocated singly
};

/////////////////////////////////////////////////////////////////////////////
// CMap: a hash table; the iteration order is unspecified.

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
protected:
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    explicit CMap(INT_PTR nBlockSize = 10)
        : m_pHashTable(nullptr), m_nHashTableSize(17), m_nCount(0), m_nBlockSize(nBlockSize) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT nHash;
        CAssoc* pAssoc = GetAssocAt(key, nHash);
        if (pAssoc == nullptr)
            return FALSE;
        rValue = pAssoc->value;
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key)
    {
        UINT nHash;
        CAssoc* pAssoc = GetAssocAt(key, nHash);
        if (pAssoc == nullptr) {
            if (m_pHashTable == nullptr)
                InitHashTable(m_nHashTableSize);
            pAssoc = new CAssoc{m_pHashTable[nHash], nHash, KEY(), VALUE()};
            pAssoc->key = key;
            m_pHashTable[nHash] = pAssoc;
            m_nCount++;
        }
        return pAssoc->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_pHashTable == nullptr)
            return FALSE;
        CAssoc** ppAssocPrev = &m_pHashTable[HashKey<ARG_KEY>(key) % m_nHashTableSize];
        for (CAssoc* pAssoc = *ppAssocPrev; pAssoc; pAssoc = pAssoc->pNext) {
            if (CompareElements<KEY, ARG_KEY>(&pAssoc->key, &key)) {
                *ppAssocPrev = pAssoc->pNext;
                delete pAssoc;
                m_nCount--;
                return TRUE;
            }
            ppAssocPrev = &pAssoc->pNext;
        }
        return FALSE;
    }
    void RemoveAll()
    {
        if (m_pHashTable) {
            for (UINT i = 0; i < m_nHashTableSize; i++) {
                CAssoc* pAssoc = m_pHashTable[i];
                while (pAssoc) {
                    CAssoc* pNext = pAssoc->pNext;
                    delete pAssoc;
                    pAssoc = pNext;
                }
            }
            delete[] m_pHashTable;
        }
        m_pHashTable = nullptr;
        m_nCount = 0;
    }

    POSITION GetStartPosition() const
    {
        if (m_nCount == 0)
            return nullptr;
        return NextFrom(0);
    }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        CAssoc* pAssoc = (CAssoc*)rNextPosition;
        rKey = pAssoc->key;
        rValue = pAssoc->value;
        if (pAssoc->pNext)
            rNextPosition = (POSITION)pAssoc->pNext;
        else
            rNextPosition = NextFrom(pAssoc->nHashValue + 1);
    }

    // Only before the first element is added; a prime near 120% of the expected count.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
        if (bAllocNow) {
            m_pHashTable = new CAssoc*[hashSize];
            memset(m_pHashTable, 0, sizeof(CAssoc*) * hashSize);
        }
        m_nHashTableSize = hashSize;
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount((DWORD)m_nCount);
            POSITION pos = GetStartPosition();
            while (pos) {
                CAssoc* pAssoc = (CAssoc*)pos;
                SerializeElements<KEY>(ar, &pAssoc->key, 1);
                SerializeElements<VALUE>(ar, &pAssoc->value, 1);
                KEY k;
                VALUE v;
                GetNextAssoc(pos, k, v);
            }
        } else {
            DWORD nNewCount = ar.ReadCount();
            while (nNewCount--) {
                KEY newKey{};
                VALUE newValue{};
                SerializeElements<KEY>(ar, &newKey, 1);
                SerializeElements<VALUE>(ar, &newValue, 1);
                SetAt(newKey, newValue);
            }
        }
    }

protected:
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHash) const
    {
        nHash = HashKey<ARG_KEY>(key) % m_nHashTableSize;
        if (m_pHashTable == nullptr)
            return nullptr;
        for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc; pAssoc = pAssoc->pNext)
            if (CompareElements<KEY, ARG_KEY>(&pAssoc->key, &key))
                return pAssoc;
        return nullptr;
    }
    POSITION NextFrom(UINT nBucket) const
    {
        if (m_pHashTable == nullptr)
            return nullptr;
        for (; nBucket < m_nHashTableSize; nBucket++)
            if (m_pHashTable[nBucket])
                return (POSITION)m_pHashTable[nBucket];
        return nullptr;
    }

    CAssoc** m_pHashTable;
    UINT m_nHashTableSize;
    INT_PTR m_nCount;
    INT_PTR m_nBlockSize;
};

/////////////////////////////////////////////////////////////////////////////
// Typed pointer collections over the pointer collections of afxcoll.h

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return (TYPE&)BASE_CLASS::ElementAt(nIndex); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    { BASE_CLASS::InsertAt(nIndex, newElement, nCount); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    TYPE& GetHead() { return (TYPE&)BASE_CLASS::GetHead(); }
    TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
    TYPE& GetTail() { return (TYPE&)BASE_CLASS::GetTail(); }
    TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
    TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
    TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
    TYPE& GetNext(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetNext(rPosition); }
    TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetPrev(rPosition); }
    TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return (TYPE&)BASE_CLASS::GetAt(position); }
    TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
    POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS
{
public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_VALUE v;
        BOOL bFound = BASE_CLASS::Lookup(key, v);
        rValue = (VALUE)v;
        return bFound;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key) { return (VALUE&)BASE_CLASS::operator[](key); }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_KEY k;
        typename BASE_CLASS::BASE_VALUE v;
        BASE_CLASS::GetNextAssoc(rPosition, k, v);
        rKey = (KEY)k;
        rValue = (VALUE)v;
    }
};
