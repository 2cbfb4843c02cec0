#include "QUDDMenuTagMap.h"

IMPLEMENT_DYNCREATE(CQUDDMenuTagMap, CObject)

namespace {

tagDDMENUSTAGTABLE* NewTable(int entries)
{
    return (tagDDMENUSTAGTABLE*)::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY,
                                            sizeof(tagDDMENUSTAGTABLE) * (size_t)entries);
}

void FreeTable(tagDDMENUSTAGTABLE* table)
{
    if (table != nullptr)
        ::HeapFree(::GetProcessHeap(), 0, table);
}

} // namespace

CQUDDMenuTagMap::CQUDDMenuTagMap() = default;

CQUDDMenuTagMap::~CQUDDMenuTagMap()
{
    ReleaseMap();
}

tagDDMENUSINITTAGTABLE* CQUDDMenuTagMap::GetInitTagTable()
{
    return nullptr;
}

void CQUDDMenuTagMap::Init()
{
    ReleaseMap();
    tagDDMENUSINITTAGTABLE* init = GetInitTagTable();
    int count = 0;
    while (init != nullptr && init[count] != nullptr)
        ++count;
    tagDDMENUSTAGTABLE* table = NewTable(count + 1);
    if (table == nullptr)
        AfxThrowMemoryException();
    for (int i = 0; i < count; ++i)
        table[i] = init[i];
    m_table = table;
    m_count = count;
}

void CQUDDMenuTagMap::OnAddRemoveMainDropDownMenu(int position, BOOL bRemove)
{
    if (bRemove)
        remove_at(position);
    else
        insert_empty_at(position);
}

void CQUDDMenuTagMap::remove_at(int position)
{
    if (position < 0 || position >= m_count || m_count <= 1)
        return;
    tagDDMENUSTAGTABLE* table = NewTable(m_count);
    if (table == nullptr)
        AfxThrowMemoryException();
    for (int i = 0, j = 0; i < m_count; ++i)
        if (i != position)
            table[j++] = m_table[i];
    FreeTable(m_table);
    m_table = table;
    --m_count;
}

void CQUDDMenuTagMap::insert_empty_at(int position)
{
    if (position < 0 || position >= m_count)
        return;
    tagDDMENUSTAGTABLE* table = NewTable(m_count + 2);
    if (table == nullptr)
        AfxThrowMemoryException();
    for (int i = 0, j = 0; i < m_count; ++i) {
        if (i == position)
            table[j++] = "";
        table[j++] = m_table[i];
    }
    FreeTable(m_table);
    m_table = table;
    ++m_count;
}

void CQUDDMenuTagMap::ReleaseMap()
{
    FreeTable(m_table);
    m_table = nullptr;
    m_count = 0;
}

#define QU_IMPLEMENT_TAG_MAP(name, ...)                                              \
    IMPLEMENT_DYNCREATE(name, CQUDDMenuTagMap)                                       \
    tagDDMENUSINITTAGTABLE name::lpDDMenusInitTagTable[] = {__VA_ARGS__};            \
    tagDDMENUSINITTAGTABLE* name::GetInitTagTable() { return lpDDMenusInitTagTable; }

QU_IMPLEMENT_TAG_MAP(CQUWksDDMenuTagMap, "Fi", "Ed", "Vi", "Pl", "Co", "An", "To", "Fo", "Wi", "He", nullptr)
QU_IMPLEMENT_TAG_MAP(CQUGraphDDMenuTagMap, "Fi", "Ed", "Vi", "Gr", "Da", "An", "To", "Fo", "Wi", "He", nullptr)
QU_IMPLEMENT_TAG_MAP(CQULayoutDDMenuTagMap, "Fi", "Ed", "Vi", "La", "To", "Fo", "Wi", "He", nullptr)
QU_IMPLEMENT_TAG_MAP(CQUMatrixDDMenuTagMap, "Fi", "Ed", "Vi", "Pl", "Ma", "To", "Fo", "Wi", "He", nullptr)
QU_IMPLEMENT_TAG_MAP(CQUxlDDMenuTagMap, "Fi", "Ed", "Vi", "Pl", "Co", "An", "To", "Fo", "Wi", "He", nullptr)
QU_IMPLEMENT_TAG_MAP(CQUNotesDDMenuTagMap, nullptr)
