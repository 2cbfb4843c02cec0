// Tags of a window kind's main drop-down menus, in menu-bar order.
//
// Scripts add, remove and change main menus by tag rather than by position, so the map
// has to follow every insertion and removal the kernel makes on the menu bar. The table is
// a null-terminated array of pointers to tag strings, taken from the process heap so the
// kernel can walk it directly; the strings themselves are static.
#pragma once

#include <afxwin.h>

#include "QUExport.h"

typedef const char* tagDDMENUSTAGTABLE;
typedef const char* tagDDMENUSINITTAGTABLE;

class QU_API CQUDDMenuTagMap : public CObject {
    DECLARE_DYNCREATE(CQUDDMenuTagMap)
public:
    CQUDDMenuTagMap();
    ~CQUDDMenuTagMap() override;

    // The kind's initial tags; null in the base, which has no menus.
    virtual tagDDMENUSINITTAGTABLE* GetInitTagTable();

    // Drops every edit and starts again from the initial tags.
    void Init();
    tagDDMENUSTAGTABLE* GetTable() const { return m_table; }
    int GetCount() const { return m_count; }
    void OnAddRemoveMainDropDownMenu(int position, BOOL bRemove);
    // The last tag is never removed, and insertions go before an existing menu only.
    void remove_at(int position);
    void insert_empty_at(int position);
    void ReleaseMap();

private:
    tagDDMENUSTAGTABLE* m_table = nullptr;
    int m_count = 0;
};

#define QU_DECLARE_TAG_MAP(name)                                  \
    class QU_API name : public CQUDDMenuTagMap {                  \
        DECLARE_DYNCREATE(name)                                   \
    public:                                                       \
        static tagDDMENUSINITTAGTABLE lpDDMenusInitTagTable[];    \
        tagDDMENUSINITTAGTABLE* GetInitTagTable() override;       \
    };

QU_DECLARE_TAG_MAP(CQUWksDDMenuTagMap)
QU_DECLARE_TAG_MAP(CQUGraphDDMenuTagMap)
QU_DECLARE_TAG_MAP(CQULayoutDDMenuTagMap)
QU_DECLARE_TAG_MAP(CQUMatrixDDMenuTagMap)
QU_DECLARE_TAG_MAP(CQUxlDDMenuTagMap)
QU_DECLARE_TAG_MAP(CQUNotesDDMenuTagMap)

#undef QU_DECLARE_TAG_MAP
