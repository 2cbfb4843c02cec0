// The resources of the built quorix61.exe, loaded from the file as a data module, against
// the tables they are written from (read here with a parser of their own) and the texts
// the program must carry.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kTestData[] = "quorix61_testdata\\";

struct MenuItem {
    std::string text; // with its shortcut after a tab, without access-key marks
    UINT id = 0;
    bool separator = false;
    bool popup = false;
    std::vector<MenuItem> items;
};

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// "Save Project Ctrl+S" -> "Save Project\tCtrl+S".
std::string WithShortcut(const std::string& text)
{
    static const std::regex shortcut("^(.*) ((Ctrl|Alt|Shift)\\+[^ ]+|F[0-9]+|Del)$");
    std::smatch m;
    if (std::regex_match(text, m, shortcut))
        return m[1].str() + "\t" + m[2].str();
    return text;
}

MenuItem CommandItem(const std::string& segment)
{
    size_t space = segment.find_last_of(' ');
    MenuItem item;
    item.text = WithShortcut(segment.substr(0, space));
    item.id = (UINT)std::stoul(segment.substr(space + 1));
    return item;
}

// The items of a drop-down menu up to its closing bracket (or the end).
std::vector<MenuItem> ParseItems(const std::string& s, size_t& pos)
{
    std::vector<MenuItem> items;
    while (pos < s.size()) {
        char c = s[pos];
        if (c == ' ' || c == ';') {
            ++pos;
        } else if (c == '|') {
            MenuItem separator;
            separator.separator = true;
            items.push_back(separator);
            ++pos;
        } else if (c == ']') {
            ++pos;
            return items;
        } else if (c == '[') {
            // An item whose own text is in brackets.
            size_t close = s.find(']', pos);
            size_t end = s.find_first_of(";|]", close + 1);
            MenuItem item = CommandItem(s.substr(pos, (end == std::string::npos ? s.size() : end) - pos));
            items.push_back(item);
            pos = end == std::string::npos ? s.size() : end;
        } else {
            size_t end = s.find_first_of(";|[]", pos);
            if (end == std::string::npos)
                end = s.size();
            std::string segment = s.substr(pos, end - pos);
            if (end < s.size() && s[end] == '[') {
                MenuItem popup;
                popup.popup = true;
                popup.text = Trim(segment);
                pos = end + 1;
                popup.items = ParseItems(s, pos);
                items.push_back(popup);
            } else {
                items.push_back(CommandItem(Trim(segment)));
                pos = end;
            }
        }
    }
    return items;
}

std::vector<std::string> Split(const std::string& s, const std::string& by)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = s.find(by, start)) != std::string::npos; start = at + by.size())
        parts.push_back(s.substr(start, at - start));
    parts.push_back(s.substr(start));
    return parts;
}

std::vector<std::string> DataLines(const char* name)
{
    std::ifstream in(std::string(kTestData) + name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

// The menus of the table file, by id.
std::vector<std::pair<UINT, std::vector<MenuItem>>> ExpectedMenus()
{
    std::vector<std::pair<UINT, std::vector<MenuItem>>> menus;
    std::string help;
    for (const std::string& line : DataLines("menus.txt")) {
        if (line.rfind("Help: ", 0) == 0) {
            help = line.substr(6);
            continue;
        }
        size_t colon = line.find(": ");
        UINT id = (UINT)std::stoul(line.substr(5, colon - 5));
        std::vector<MenuItem> bar;
        for (std::string drop : Split(line.substr(colon + 2), " / ")) {
            if (drop == "Help (as above)")
                drop = "Help: " + help;
            size_t nameEnd = drop.find(": ");
            MenuItem popup;
            popup.popup = true;
            popup.text = drop.substr(0, nameEnd);
            size_t pos = nameEnd + 2;
            popup.items = ParseItems(drop, pos);
            bar.push_back(popup);
        }
        menus.emplace_back(id, bar);
    }
    return menus;
}

std::string WithoutAccessKeys(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

std::vector<MenuItem> ActualItems(HMENU menu)
{
    std::vector<MenuItem> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info = {sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        MenuItem item;
        item.separator = (info.fType & MFT_SEPARATOR) != 0;
        item.popup = info.hSubMenu != nullptr;
        if (!item.separator)
            item.text = WithoutAccessKeys(text);
        if (item.popup)
            item.items = ActualItems(info.hSubMenu);
        else if (!item.separator)
            item.id = info.wID;
        items.push_back(item);
    }
    return items;
}

void ExpectSameItems(const std::vector<MenuItem>& expected, const std::vector<MenuItem>& actual,
                     const std::string& where)
{
    ASSERT_EQ(expected.size(), actual.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        const MenuItem& e = expected[i];
        const MenuItem& a = actual[i];
        std::string here = where + " > " + (e.separator ? "separator" : e.text);
        EXPECT_EQ(e.separator, a.separator) << here;
        EXPECT_EQ(e.popup, a.popup) << here;
        EXPECT_EQ(e.text, a.text) << here;
        EXPECT_EQ(e.id, a.id) << here;
        if (e.popup && a.popup)
            ExpectSameItems(e.items, a.items, here);
    }
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA("quorix61.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module) << "quorix61.exe is not in the program folder";
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    std::string String(UINT id)
    {
        char text[1024] = {};
        LoadStringA(module, id, text, sizeof text);
        return text;
    }
    bool Has(UINT id, LPCSTR type) { return FindResourceA(module, MAKEINTRESOURCEA(id), type) != nullptr; }

    HMODULE module = nullptr;
};

TEST_F(ProgramResources, EveryMenuHasTheItemsOfItsTable)
{
    auto menus = ExpectedMenus();
    ASSERT_EQ(13u, menus.size());
    for (const auto& [id, bar] : menus) {
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, menu) << "menu " << id;
        ExpectSameItems(bar, ActualItems(menu), "menu " + std::to_string(id));
        DestroyMenu(menu);
    }
}

// A few items read straight from the menus, so that a fault shared by the table reader
// and the resource writer still shows.
TEST_F(ProgramResources, MenusSpotChecks)
{
    HMENU graph = LoadMenuA(module, MAKEINTRESOURCEA(502));
    ASSERT_NE(nullptr, graph);
    char text[128];
    ASSERT_GT(GetMenuStringA(graph, 36084, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ("&Plot...", text);
    ASSERT_GT(GetMenuStringA(graph, 57600, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ("&New...\tCtrl+N", text);
    ASSERT_GT(GetMenuStringA(graph, 28672, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ("[&ProjectName]", text);
    EXPECT_EQ(10, GetMenuItemCount(graph)); // File .. Help
    DestroyMenu(graph);

    HMENU excel = LoadMenuA(module, MAKEINTRESOURCEA(505));
    EXPECT_EQ(9, GetMenuItemCount(excel)); // no Edit menu
    DestroyMenu(excel);
    HMENU noExcel = LoadMenuA(module, MAKEINTRESOURCEA(509));
    EXPECT_EQ(3, GetMenuItemCount(noExcel));
    DestroyMenu(noExcel);
    HMENU worksheet = LoadMenuA(module, MAKEINTRESOURCEA(501));
    ASSERT_GT(GetMenuStringA(worksheet, 41035, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ("&Windows in Active Folder && Subfolders", text);
    DestroyMenu(worksheet);
}

struct Accel {
    BYTE flags;
    WORD key;
    WORD cmd;
};

std::vector<Accel> ExpectedAccelerators(const std::string& entries)
{
    std::vector<Accel> table;
    for (const std::string& entry : Split(entries, "; ")) {
        size_t space = entry.find_last_of(' ');
        std::string key = entry.substr(0, space);
        Accel a = {FVIRTKEY, 0, (WORD)std::stoul(entry.substr(space + 1))};
        for (;;) {
            if (key.rfind("Ctrl+", 0) == 0) { a.flags |= FCONTROL; key = key.substr(5); }
            else if (key.rfind("Alt+", 0) == 0) { a.flags |= FALT; key = key.substr(4); }
            else if (key.rfind("Shift+", 0) == 0) { a.flags |= FSHIFT; key = key.substr(6); }
            else break;
        }
        if (key.size() == 1) a.key = (WORD)key[0];
        else if (key[0] == 'F') a.key = (WORD)(VK_F1 + std::stoi(key.substr(1)) - 1);
        else if (key == "Backspace") a.key = VK_BACK;
        else if (key == "Delete") a.key = VK_DELETE;
        else if (key == "Insert") a.key = VK_INSERT;
        else if (key == "Esc") a.key = VK_ESCAPE;
        else ADD_FAILURE() << "unknown key " << key;
        table.push_back(a);
    }
    return table;
}

TEST_F(ProgramResources, AcceleratorTablesMatchTheirTables)
{
    int tables = 0;
    for (const std::string& line : DataLines("accelerators.txt")) {
        size_t colon = line.find(": ");
        UINT id = (UINT)std::stoul(line.substr(6, colon - 6));
        std::vector<Accel> expected = ExpectedAccelerators(line.substr(colon + 2));
        HACCEL accel = LoadAcceleratorsA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, accel) << "accelerators " << id;
        std::vector<ACCEL> actual(CopyAcceleratorTableA(accel, nullptr, 0));
        CopyAcceleratorTableA(accel, actual.data(), (int)actual.size());
        ASSERT_EQ(expected.size(), actual.size()) << "accelerators " << id;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].flags, actual[i].fVirt & 0x7F) << id << " entry " << i;
            EXPECT_EQ(expected[i].key, actual[i].key) << id << " entry " << i;
            EXPECT_EQ(expected[i].cmd, actual[i].cmd) << id << " entry " << i;
        }
        ++tables;
    }
    EXPECT_EQ(4, tables);
    // Two entries straight from the table, independent of the table reader above.
    HACCEL main = LoadAcceleratorsA(module, MAKEINTRESOURCEA(480));
    ACCEL entries[64];
    int n = CopyAcceleratorTableA(main, entries, 64);
    ASSERT_EQ(42, n);
    EXPECT_EQ(VK_BACK, entries[27].key);
    EXPECT_EQ(FVIRTKEY | FALT, entries[27].fVirt & 0x7F);
    EXPECT_EQ(57643, entries[27].cmd);
}

TEST_F(ProgramResources, StringsAreTheProgramsTexts)
{
    const struct { UINT id; const char* text; } strings[] = {
        {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {102, "Failed to create object.  Make sure the object is entered in the system registry."},
        {105, "Displays a Tip of the Day."},
        {106, "Ti&p of the Day..."},
        {107, "Did you know..."},
        {108, "Tips.txt file does not exist in the startup directory.  "},
        {109, "Trouble reading the tips file"},
        {110, "&Help"},
        {480, "Quorix 6.1"},
        {501, "\nData\nWorksheet\nQuorix Worksheet (*.qgw)\n.QGW\nQuorix50.Worksheet\nQuorix Worksheet"},
        {502, "\nGraph\nGraph\nGraph files (*.qgg)\n.QGG\nQuorix50.Graph\nQuorix Graph"},
        {503, "\nLayout\nLayout\nQuorix Layout (*.qgl)\n.QGL\nQuorix50.Layout\nQuorix Layout"},
        {504, "\nMatrix\nMatrix\nQuorix Matrix (*.qgm)\n.QGM\nQuorix50.Matrix\nQuorix Matrix"},
        {505, "\nExcel\nExcel\nExcel workbook (*.xls)\n.XLS\nQuorix50.Excel\nExcel Workbook"},
        {506, "\nNotes\nNotes\nNotes\n.TXT\nnotes.txt\nQuorix Notes"},
        {10097, "&Update\tCtrl+S"},
        {43104, "Tips.txt"},
        {43205, "&View Graph Export Server Status"},
        {43290, "6.1"},
        {36127, "Maximize the active layer to fit the page\nMaximize Layer\nrun.section(Graph,FitLayerToPage);"},
        {36436, "Sort the active worksheet/column according to the highlighted column\nSort\n@Sort"},
        {36466, "Transpose the worksheet\nTranspose"},
        {57873, "Activate embedded or linked object"},
        {57875, "Activate embedded or linked object"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(s.text, String(s.id)) << "string " << s.id;

    // Command strings whose script part replaces the library's.
    const struct { UINT id; const char* script; } scripts[] = {
        {36448, "@SortRangeAsc"}, {36449, "@SortRangeDesc"}, {36464, "@SortWksAsc"}, {36465, "@SortWksDesc"},
    };
    for (const auto& s : scripts) {
        std::vector<std::string> parts = Split(String(s.id), "\n");
        ASSERT_EQ(3u, parts.size()) << "string " << s.id;
        EXPECT_EQ(s.script, parts[2]) << "string " << s.id;
    }
    // The framework's edit prompts: a status-bar text and a tool tip each.
    for (UINT id = 57632; id <= 57643; ++id)
        EXPECT_EQ(2u, Split(String(id), "\n").size()) << "string " << id;
    EXPECT_EQ(2u, Split(String(57664), "\n").size());
}

TEST_F(ProgramResources, ToolbarIconsDialogsPictureAndScript)
{
    HRSRC bar = FindResourceA(module, MAKEINTRESOURCEA(480), MAKEINTRESOURCEA(241));
    ASSERT_NE(nullptr, bar);
    const WORD* words = (const WORD*)LockResource(LoadResource(module, bar));
    const WORD expected[] = {1, 16, 15, 12, 57600, 57601, 0, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664, 57669};
    ASSERT_EQ(sizeof expected, SizeofResource(module, bar));
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i)
        EXPECT_EQ(expected[i], words[i]) << "toolbar word " << i;

    // One 16-pixel image per button.
    HRSRC strip = FindResourceA(module, MAKEINTRESOURCEA(480), (LPCSTR)RT_BITMAP);
    ASSERT_NE(nullptr, strip);
    const BITMAPINFOHEADER* image = (const BITMAPINFOHEADER*)LockResource(LoadResource(module, strip));
    EXPECT_EQ(9 * 16, image->biWidth);
    EXPECT_EQ(15, image->biHeight);

    for (UINT id : {480u, 501u, 502u, 503u, 504u, 505u, 506u, 1000u})
        EXPECT_TRUE(Has(id, (LPCSTR)RT_GROUP_ICON)) << "icon " << id;
    for (UINT id : {100u, 104u, 136u})
        EXPECT_TRUE(Has(id, (LPCSTR)RT_DIALOG)) << "dialog " << id;
    EXPECT_TRUE(Has(138, "DIB"));
    EXPECT_TRUE(Has(1, "SCRIVEX"));
}

} // namespace
