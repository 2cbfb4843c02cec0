// Tag maps of the main drop-down menus: the initial tags of each window kind, and how
// insertions and removals of main menus are followed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QUDDMenuTagMap.h"

namespace {

std::vector<std::string> Tags(const CQUDDMenuTagMap& map)
{
    std::vector<std::string> tags;
    tagDDMENUSTAGTABLE* table = map.GetTable();
    for (int i = 0; table != nullptr && table[i] != nullptr; ++i)
        tags.push_back(table[i]);
    EXPECT_EQ((int)tags.size(), map.GetCount()) << "the count and the null entry disagree";
    return tags;
}

using TagList = std::vector<std::string>;

} // namespace

TEST(TagMap, EachWindowKindStartsWithTheTagsOfItsMenuBar)
{
    struct Case {
        CRuntimeClass* kind;
        TagList tags;
    } cases[] = {
        {RUNTIME_CLASS(CQUWksDDMenuTagMap), {"Fi", "Ed", "Vi", "Pl", "Co", "An", "To", "Fo", "Wi", "He"}},
        {RUNTIME_CLASS(CQUGraphDDMenuTagMap), {"Fi", "Ed", "Vi", "Gr", "Da", "An", "To", "Fo", "Wi", "He"}},
        {RUNTIME_CLASS(CQULayoutDDMenuTagMap), {"Fi", "Ed", "Vi", "La", "To", "Fo", "Wi", "He"}},
        {RUNTIME_CLASS(CQUMatrixDDMenuTagMap), {"Fi", "Ed", "Vi", "Pl", "Ma", "To", "Fo", "Wi", "He"}},
        {RUNTIME_CLASS(CQUxlDDMenuTagMap), {"Fi", "Ed", "Vi", "Pl", "Co", "An", "To", "Fo", "Wi", "He"}},
        {RUNTIME_CLASS(CQUNotesDDMenuTagMap), {}},
        {RUNTIME_CLASS(CQUDDMenuTagMap), {}},
    };
    for (const Case& c : cases) {
        CQUDDMenuTagMap* map = (CQUDDMenuTagMap*)c.kind->CreateObject();
        ASSERT_NE(map, nullptr) << c.kind->m_lpszClassName;
        EXPECT_EQ(map->GetTable(), nullptr) << "no table before Init";
        map->Init();
        ASSERT_NE(map->GetTable(), nullptr) << c.kind->m_lpszClassName;
        EXPECT_EQ(Tags(*map), c.tags) << c.kind->m_lpszClassName;
        delete map;
    }
}

TEST(TagMap, InsertionsAndRemovalsFollowTheMenuBarAndInitForgetsThem)
{
    CQULayoutDDMenuTagMap map;
    map.Init();
    map.OnAddRemoveMainDropDownMenu(3, FALSE); // a new menu before "La"
    EXPECT_EQ(Tags(map), (TagList{"Fi", "Ed", "Vi", "", "La", "To", "Fo", "Wi", "He"}));
    map.OnAddRemoveMainDropDownMenu(0, TRUE);
    EXPECT_EQ(Tags(map), (TagList{"Ed", "Vi", "", "La", "To", "Fo", "Wi", "He"}));
    map.insert_empty_at(map.GetCount()); // only before an existing menu
    map.insert_empty_at(-1);
    map.remove_at(map.GetCount());
    map.remove_at(-1);
    EXPECT_EQ(Tags(map), (TagList{"Ed", "Vi", "", "La", "To", "Fo", "Wi", "He"}));
    map.Init();
    EXPECT_EQ(Tags(map), (TagList{"Fi", "Ed", "Vi", "La", "To", "Fo", "Wi", "He"}));
}

TEST(TagMap, TheLastTagStaysAndAnEmptyMapTakesNoInsertion)
{
    CQUMatrixDDMenuTagMap map;
    map.Init();
    while (map.GetCount() > 1)
        map.remove_at(0);
    map.remove_at(0);
    EXPECT_EQ(Tags(map), (TagList{"He"}));

    CQUNotesDDMenuTagMap notes;
    notes.Init();
    notes.insert_empty_at(0);
    notes.remove_at(0);
    EXPECT_EQ(notes.GetCount(), 0);
    EXPECT_EQ(notes.GetTable()[0], nullptr);
    notes.ReleaseMap();
    EXPECT_EQ(notes.GetTable(), nullptr);
}
