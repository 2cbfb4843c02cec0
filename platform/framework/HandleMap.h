// Maps from Windows handles to the framework objects wrapping them; not part of the
// interface. A handle has at most one permanent wrapper (attached by the program) and
// otherwise gets a temporary one, deleted at idle time, whose handle is never destroyed.
#pragma once
#include <windows.h>
#include <unordered_map>

namespace afximpl {

template <class HANDLE_T, class OBJ>
class HandleMap
{
public:
    using Factory = OBJ* (*)();
    using SetHandle = void (*)(OBJ*, HANDLE_T);

    HandleMap(Factory factory, SetHandle setHandle) : m_factory(factory), m_setHandle(setHandle)
    {
        InitializeCriticalSection(&m_lock);
    }

    OBJ* FromHandle(HANDLE_T h)
    {
        if (h == nullptr)
            return nullptr;
        Lock lock(m_lock);
        auto it = m_permanent.find(h);
        if (it != m_permanent.end())
            return it->second;
        it = m_temporary.find(h);
        if (it != m_temporary.end())
            return it->second;
        OBJ* pObj = m_factory();
        m_setHandle(pObj, h);
        m_temporary[h] = pObj;
        return pObj;
    }

    OBJ* LookupPermanent(HANDLE_T h)
    {
        Lock lock(m_lock);
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }

    bool IsTemporary(OBJ* pObj, HANDLE_T h)
    {
        Lock lock(m_lock);
        auto it = m_temporary.find(h);
        return it != m_temporary.end() && it->second == pObj;
    }

    void SetPermanent(HANDLE_T h, OBJ* pObj)
    {
        Lock lock(m_lock);
        m_permanent[h] = pObj;
    }

    void RemoveHandle(HANDLE_T h, OBJ* pObj)
    {
        Lock lock(m_lock);
        auto it = m_permanent.find(h);
        if (it != m_permanent.end() && it->second == pObj)
            m_permanent.erase(it);
        it = m_temporary.find(h);
        if (it != m_temporary.end() && it->second == pObj)
            m_temporary.erase(it);
    }

    // Temporary wrappers let go of their handles before they are deleted.
    void DeleteTemp()
    {
        std::unordered_map<HANDLE_T, OBJ*> temp;
        {
            Lock lock(m_lock);
            temp.swap(m_temporary);
        }
        for (auto& entry : temp) {
            m_setHandle(entry.second, nullptr);
            delete entry.second;
        }
    }

private:
    struct Lock
    {
        explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
        ~Lock() { LeaveCriticalSection(&m_cs); }
        CRITICAL_SECTION& m_cs;
    };

    Factory m_factory;
    SetHandle m_setHandle;
    CRITICAL_SECTION m_lock;
    std::unordered_map<HANDLE_T, OBJ*> m_permanent;
    std::unordered_map<HANDLE_T, OBJ*> m_temporary;
};

}
