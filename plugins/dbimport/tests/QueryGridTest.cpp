// The cell store, the query grid in a window driven through the grid control's own
// messages, and the query dialog driven by the dialog driver against the SQLite fixture.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DbFixture.h"
#include "GridControl.h"
#include "QodbcObject.h"
#include "QueryDialog.h"
#include "qxtest/DialogDriver.h"

namespace {

TEST(GridCellStore, CellsAreMadeOnWriteAndLookLikeTheCornerUntilThen)
{
    GridCellStore store;
    EXPECT_EQ(store.Count(), 1) << "the corner is always there";
    store.Make(5, 3).text = "x";
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.Find(4, 3), nullptr);
    const GridCell& unwritten = store.Look(4, 3);
    EXPECT_EQ(unwritten.text, "");
    EXPECT_EQ(unwritten.templ, "") << "a body cell does not copy the corner's template";
    EXPECT_EQ(unwritten.textColor, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(unwritten.alignment, UG_ALIGN_LEFT);
    EXPECT_EQ(store.Look(-1, -1).templ, std::string(20, 'a'));
    const GridCell& heading = store.Look(2, -1);
    EXPECT_EQ(heading.alignment, UG_ALIGN_CENTRE);
    EXPECT_EQ(heading.flags, UG_CELL_RAISED);
    EXPECT_EQ(heading.backColor, GetSysColor(COLOR_BTNFACE));

    // A body cell takes a copy of the corner's list, never the list itself.
    store.Make(-1, -1).dropList = {"one", "two"};
    store.Make(-1, -1).alignment = UG_ALIGN_RIGHT;
    GridCell& body = store.Make(1, 1);
    body.dropList.push_back("three");
    EXPECT_EQ(store.Look(-1, -1).dropList.size(), 2u);
    EXPECT_EQ(body.alignment, UG_ALIGN_RIGHT);
    store.Clear();
    EXPECT_EQ(store.Count(), 1);
}

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcA(h, m, w, l);
}

class QueryGridWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = DbModule();
        ASSERT_TRUE(GridControl::RegisterClasses(instance));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = instance;
        wc.lpszClassName = "QueryGridTestHost";
        RegisterClassA(&wc);
        host_ = CreateWindowA("QueryGridTestHost", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                              nullptr, instance, nullptr);
        frame_ = CreateWindowA("CUGCLASS", "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | 0x30, 0, 0, 500,
                               300, host_, reinterpret_cast<HMENU>(7), instance, nullptr);
        ASSERT_NE(frame_, nullptr);
        EXPECT_EQ(GetWindowLongPtrA(frame_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0) << "scroll bars go to the cells";
        ASSERT_TRUE(grid_.Attach(frame_));
    }
    void TearDown() override { DestroyWindow(host_); }

    RECT Cell(int column, int row)
    {
        RECT r = {};
        SendMessageA(grid_.cells, UGM_GETCELLRECT, MAKEWPARAM(column, row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void Click(int column, int row, UINT message = WM_LBUTTONDOWN)
    {
        RECT r = Cell(column, row);
        SendMessageA(grid_.cells, message, 0, MAKELPARAM(r.left + 2, r.top + 2));
        if (message == WM_LBUTTONDOWN)
            SendMessageA(grid_.cells, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
    }
    HWND Editor() { return reinterpret_cast<HWND>(SendMessageA(grid_.cells, UGM_GETEDITOR, 0, 0)); }

    HWND host_ = nullptr, frame_ = nullptr;
    QueryGrid grid_;
};

TEST_F(QueryGridWindow, SetsUpHeadingsRowsAndCellKinds)
{
    EXPECT_NE(grid_.top, nullptr);
    EXPECT_NE(grid_.side, nullptr);
    EXPECT_EQ(grid_.ColumnCount(), 5);
    EXPECT_EQ(grid_.RowCount(), 10) << "empty rows until a table is chosen";
    const char* headings[] = {"Column Name", "Import", "Sort", "Criteria", "Or"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid_.GetText(c, -1), headings[c]);
    EXPECT_EQ(grid_.GetText(-1, 9), "9");
    EXPECT_EQ(grid_.DropList(2, 0), (std::vector<std::string>{"Ascending", "Descending", "Not Sorted"}));

    grid_.SetColumns({"id", "name", "value"});
    EXPECT_EQ(grid_.RowCount(), 3);
    EXPECT_EQ(grid_.GetText(0, 2), "value");
    EXPECT_TRUE(grid_.IsReadOnly(0, 2));
    EXPECT_EQ(grid_.GetCheck(1, 2), GRID_CHECKED);
    EXPECT_EQ(grid_.GetCheck(3, 2), GRID_NO_CHECK);
    char small[3];
    EXPECT_EQ(grid_.GetText(small, sizeof small, 0, 2), 0) << "too small a buffer";
    char room[8];
    EXPECT_EQ(grid_.GetText(room, sizeof room, 0, 2), 1);
    EXPECT_STREQ(room, "value");

    // Double clicks toggle the import mark; twice is unchecked... and back again.
    Click(1, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(grid_.GetCheck(1, 1), GRID_UNCHECKED);
    EXPECT_TRUE(grid_.changed);
    Click(1, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(grid_.GetCheck(1, 1), GRID_CHECKED);
    EXPECT_EQ(Editor(), nullptr) << "double clicks do not edit in the query grid";
    grid_.CheckAll(false);
    EXPECT_EQ(BuildQueryText(grid_.GetQueryRows(), "t"), "SELECT * FROM \"t\"");
}

TEST_F(QueryGridWindow, CriteriaAreEditedTidiedAndMovedThrough)
{
    grid_.SetColumns({"id", "name", "value"});
    Click(3, 0);
    SendMessageA(grid_.cells, WM_CHAR, 'a', 0);
    HWND editor = Editor();
    ASSERT_NE(editor, nullptr);
    SetWindowTextA(editor, "abc");
    SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(grid_.GetText(3, 0), "\"abc\"");
    ASSERT_NE(Editor(), nullptr) << "Enter goes on to the cell below";
    SetWindowTextA(Editor(), ">5");
    SendMessageA(Editor(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(grid_.GetText(3, 1), ">5");
    ASSERT_NE(Editor(), nullptr) << "Tab goes on to the Or cell";
    SendMessageA(Editor(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(grid_.GetText(4, 1), "");

    // Read-only names and the Delete key start no edit; the last cell has no next one.
    Click(0, 1);
    SendMessageA(grid_.cells, WM_CHAR, 'x', 0);
    EXPECT_EQ(Editor(), nullptr);
    Click(3, 2);
    SendMessageA(grid_.cells, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Editor(), nullptr);
    ASSERT_TRUE(grid_.Edit(4, 2, 0));
    SendMessageA(Editor(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(Editor(), nullptr);

    std::vector<QueryRow> rows = grid_.GetQueryRows();
    EXPECT_EQ(rows[0].criteria, "\"abc\"");
    EXPECT_EQ(rows[1].criteria, ">5");
}

TEST_F(QueryGridWindow, SortIsChosenFromTheDropList)
{
    grid_.SetColumns({"id", "name"});
    grid_.OpenList(2, 0);
    HWND list = GridControl::OpenDropList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    grid_.CloseList(true);
    EXPECT_EQ(GridControl::OpenDropList(), nullptr);
    EXPECT_EQ(grid_.GetText(2, 0), "Descending");
    EXPECT_EQ(grid_.GetQueryRows()[0].sort, kSortDescending);

    grid_.OpenList(2, 0);
    SendMessageA(GridControl::OpenDropList(), LB_SETCURSEL, 2, 0);
    grid_.CloseList(true);
    EXPECT_EQ(grid_.GetText(2, 0), "") << "Not Sorted leaves the row out of the ORDER BY";

    grid_.OpenList(2, 1);
    SendMessageA(GridControl::OpenDropList(), LB_SETCURSEL, 0, 0);
    grid_.CloseList(false);
    EXPECT_EQ(grid_.GetText(2, 1), "") << "a cancelled list changes nothing";
}

TEST_F(QueryGridWindow, PlainGridShowsItsOwnExample)
{
    GridControl plain;
    HWND frame = CreateWindowA("CUGCLASS", "", WS_CHILD | WS_VISIBLE | 0x10, 0, 0, 300, 200, host_, nullptr,
                               DbModule(), nullptr);
    ASSERT_TRUE(plain.Attach(frame));
    EXPECT_EQ(plain.side, nullptr) << "style 0x10 asks for the top heading only";
    EXPECT_NE(plain.top, nullptr);
    EXPECT_EQ(plain.RowCount(), 10);
    EXPECT_EQ(plain.GetText(3, 4), "12");
    EXPECT_EQ(plain.store.Look(3, 4).alignment, UG_ALIGN_RIGHT);
    EXPECT_EQ(plain.GetText(7, -1), "7");
    EXPECT_EQ(plain.DropList(2, 5), (std::vector<std::string>{"One", "Two", "Three", "Four", "Five"}))
        << "a cell without a list of its own offers its column heading's";
    EXPECT_TRUE(plain.DropList(3, 5).empty());

    // Selection: a click starts it, Ctrl adds a cell, Shift spans a block from the anchor.
    UGNotify n = {};
    n.column = 1;
    n.row = 1;
    plain.OnSelect(n);
    n.column = 2;
    n.row = 3;
    n.flags = UG_SHIFT;
    plain.OnSelect(n);
    EXPECT_TRUE(plain.IsSelected(1, 2));
    EXPECT_TRUE(plain.IsSelected(2, 3));
    EXPECT_FALSE(plain.IsSelected(3, 3));
    n.column = 5;
    n.row = 5;
    n.flags = UG_CTRL;
    plain.OnSelect(n);
    EXPECT_TRUE(plain.IsSelected(5, 5));
    EXPECT_TRUE(plain.IsSelected(1, 1));
    n.flags = 0;
    plain.OnSelect(n);
    EXPECT_FALSE(plain.IsSelected(1, 1)) << "a plain click starts afresh";
    DestroyWindow(frame);
}

// A grid that notes what reaches its corner-box handlers.
class CornerGrid : public GridControl {
public:
    void OnCornerButton(const GridCornerClick& c, bool down) override { Note(down ? "down" : "up", c); }
    void OnCornerRightButton(const GridCornerClick& c) override { Note("right", c); }
    void OnCornerDoubleClick(const GridCornerClick& c) override { Note("double", c); }
    void Note(const char* what, const GridCornerClick& c)
    {
        calls.push_back(std::string(what) + " " + std::to_string(c.keys) + " " + std::to_string(c.point.x) + "," +
                        std::to_string(c.point.y));
        box = c.box;
    }
    std::vector<std::string> calls;
    RECT box = {};
};

TEST_F(QueryGridWindow, CornerBoxCloseAndOwnerDrawnCells)
{
    CornerGrid corner;
    HWND frame = CreateWindowA("CUGCLASS", "", WS_CHILD | WS_VISIBLE | 0x30, 0, 0, 300, 200, host_, nullptr,
                               DbModule(), nullptr);
    ASSERT_TRUE(corner.Attach(frame));
    SendMessageA(frame, WM_LBUTTONDOWN, MK_CONTROL, MAKELPARAM(5, 6));
    SendMessageA(frame, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(5, 6));
    SendMessageA(frame, WM_RBUTTONDOWN, 0, MAKELPARAM(30, 10));
    SendMessageA(frame, WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT, MAKELPARAM(1, 1));
    // Past the box: not the corner's.
    SendMessageA(frame, WM_LBUTTONDOWN, 0, MAKELPARAM(45, 25));
    EXPECT_EQ(corner.calls, (std::vector<std::string>{"down 1 5,6", "up 2 5,6", "right 0 30,10", "double 3 1,1"}));
    EXPECT_EQ(corner.box.right, 40);
    EXPECT_EQ(corner.box.bottom, 20);

    // Closing ends an edit and a drop list; the window stays for its owner to destroy.
    ASSERT_TRUE(corner.Edit(4, 4, 0));
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(SendMessageA(corner.cells, UGM_GETEDITOR, 0, 0), 0);
    corner.OpenList(2, 3);
    ASSERT_NE(GridControl::OpenDropList(), nullptr);
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(GridControl::OpenDropList(), nullptr);
    EXPECT_TRUE(IsWindow(frame));

    // An owner-drawn cell without a list is drawn by the control: "Owner", in its colours.
    corner.store.Make(1, 1).ownerDrawn = true;
    corner.SetColors(RGB(0, 0, 0), RGB(255, 255, 255), 1, 1);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 80, -20, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, 80, 20, BLACKNESS);
    UGNotify n = {};
    n.column = 1;
    n.row = 1;
    n.dc = dc;
    n.rect = {0, 0, 80, 20};
    corner.OnDraw(n, false);
    GdiFlush();
    EXPECT_EQ(n.handled, 1);
    int dark = 0, light = 0;
    for (int i = 0; i < 80 * 20; ++i)
        ((static_cast<uint32_t*>(bits)[i] & 0xFFFFFF) == 0 ? dark : light)++;
    EXPECT_GT(dark, 20) << "text was written";
    EXPECT_GT(light, 80 * 20 / 2) << "on the cell's background";
    // No ink beyond the width of "Owner": the text is cut to five letters.
    SIZE owner = {};
    GetTextExtentPoint32A(dc, "Owner", 5, &owner);
    int rightmost = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            if ((static_cast<uint32_t*>(bits)[y * 80 + x] & 0xFFFFFF) == 0)
                rightmost = std::max(rightmost, x);
    EXPECT_LT(rightmost, owner.cx + 1) << "no exclamation marks";
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    DestroyWindow(frame);
}

TEST(QueryResources, DialogsAndStringsInEveryLanguage)
{
    struct Case {
        LANGID language;
        const wchar_t* ascending; // string 12
    } cases[] = {
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"Ascending"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Aufsteigend"},
        {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"\x6607\x9806"},
    };
    HMODULE module = DbModule();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        for (int dialog : {101, 102})
            EXPECT_NE(FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(dialog), c.language), nullptr);
        for (int block : {1, 64})
            EXPECT_NE(FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), c.language), nullptr);
        // String 12 is the 13th of block 1: each entry is a length and that many UTF-16 units.
        HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(1), c.language);
        ASSERT_NE(found, nullptr);
        const WORD* p = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
        for (int i = 0; i < 12; ++i)
            p += 1 + *p;
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p), c.ascending);
    }
}

// ---- The dialog ------------------------------------------------------------------------------

class QueryDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dbtest::CreateDatabases(); }
    void SetUp() override
    {
        root_.ResetOwn();
        root_.connectString.clear();
        root_.connectSource.clear();
    }
    static HWND Page(HWND sheet) { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    static void ToQueryPage(HWND sheet) { SendMessageA(sheet, PSM_SETCURSEL, 1, 0); }
    static int IndexOf(HWND page, int id, const char* text)
    {
        return static_cast<int>(SendDlgItemMessageA(page, id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(text)));
    }
    static std::vector<std::string> Items(HWND page, int id)
    {
        std::vector<std::string> items;
        int n = static_cast<int>(SendDlgItemMessageA(page, id, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[128] = "";
            SendDlgItemMessageA(page, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    static QueryGrid* GridOf(HWND page)
    {
        return static_cast<QueryGrid*>(
            reinterpret_cast<GridControl*>(GetWindowLongPtrA(GetDlgItem(page, 1007), 0)));
    }
    static std::string Text(const QmString& s) { return s.text ? s.text : ""; }

    QmODBC root_;
};

TEST_F(QueryDialogTest, OkWritesTheQueryAndTheChoices)
{
    qxtest::DialogDriver driver;
    std::vector<std::string> tables, views;
    int gridRows = -1;
    driver.Then([&](HWND sheet) {
        HWND page = Page(sheet);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDOK))) << "OK waits for the query page";
        qxtest::ListSelect(page, 1002, IndexOf(page, 1002, dbtest::kMain));
        tables = Items(page, 1003);
        qxtest::SetCheck(page, 1016, true);
        qxtest::Click(page, 1016);
        views = Items(page, 1003);
        qxtest::SetCheck(page, 1016, false);
        qxtest::SetCheck(page, 1015, true);
        qxtest::Click(page, 1015);
        qxtest::ListSelect(page, 1003, IndexOf(page, 1003, "samples"));
        ToQueryPage(sheet);
        page = Page(sheet);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, IDOK)));
        EXPECT_EQ(qxtest::GetText(page, 1005), "samples");
        QueryGrid* grid = GridOf(page);
        ASSERT_NE(grid, nullptr);
        gridRows = grid->shownRows;
        grid->SetCheck(false, 1, 0);
        grid->SetText(">2", 3, 0);
        grid->OnDropChoice(2, 0, "Descending");
        qxtest::Click(sheet, IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return static_cast<INT_PTR>(EditQuery(root_)); }), 1);
    EXPECT_FALSE(driver.TimedOut());
    std::sort(tables.begin(), tables.end());
    EXPECT_EQ(tables, (std::vector<std::string>{"notes", "odd table", "samples"}));
    EXPECT_EQ(views, std::vector<std::string>{"big_samples"});
    EXPECT_EQ(gridRows, 6);
    EXPECT_EQ(Text(root_.m_dbSql), "SELECT \"name\",\"value\",\"2006 Sales\",\"stamp\",\"day\" FROM \"samples\"\r\n"
                                   "WHERE \"id\">2\r\nORDER BY \"id\" DESC");
    EXPECT_EQ(Text(root_.m_dbSource), dbtest::kMain);
    EXPECT_EQ(Text(root_.m_dbTable), "samples");
    EXPECT_EQ(Text(root_.m_tableType), "TABLE");
    EXPECT_NE(root_.connectString.find(dbtest::kMain), std::string::npos) << root_.connectString;

    // Opened again, the query page shows what the query says.
    std::vector<QueryRow> shown;
    qxtest::DialogDriver again;
    again.Then([&](HWND sheet) {
        ToQueryPage(sheet);
        shown = GridOf(Page(sheet))->GetQueryRows();
        qxtest::Click(sheet, IDCANCEL);
    });
    EXPECT_EQ(again.Run([&] { return static_cast<INT_PTR>(EditQuery(root_)); }), 0);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_FALSE(shown[0].import);
    EXPECT_TRUE(shown[1].import);
    EXPECT_EQ(shown[0].criteria, ">2");
    EXPECT_EQ(shown[0].sort, kSortDescending);
}

TEST_F(QueryDialogTest, CancelKeepsEverythingAsItWas)
{
    root_.m_dbSource.SetText(dbtest::kMain);
    root_.m_dbTable.SetText("samples");
    root_.m_dbSql.SetText("SELECT * FROM \"samples\"");
    qxtest::DialogDriver driver;
    std::string selected;
    driver.Then([&](HWND sheet) {
        HWND page = Page(sheet);
        selected = qxtest::ListSelection(page, 1002) >= 0 ? Items(page, 1002)[qxtest::ListSelection(page, 1002)] : "";
        qxtest::ListSelect(page, 1002, IndexOf(page, 1002, dbtest::kOther));
        ToQueryPage(sheet);
        qxtest::Click(sheet, IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return static_cast<INT_PTR>(EditQuery(root_)); }), 0);
    EXPECT_EQ(selected, dbtest::kMain) << "the source named by DBSOURCE is selected";
    EXPECT_EQ(Text(root_.m_dbSource), dbtest::kMain);
    EXPECT_EQ(Text(root_.m_dbTable), "samples");
    EXPECT_EQ(Text(root_.m_dbSql), "SELECT * FROM \"samples\"");
    EXPECT_EQ(root_.connectString, "");
}

TEST_F(QueryDialogTest, QueryPageNeedsASelectedSource)
{
    qxtest::DialogDriver driver;
    std::string message;
    int stillOn = -1;
    driver.Then([&](HWND sheet) {
              HWND page = Page(sheet);
              SendDlgItemMessageA(page, 1002, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
              ToQueryPage(sheet);
              stillOn = static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(Page(sheet)), 0));
              qxtest::Click(sheet, IDCANCEL);
          })
        .Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
        });
    EXPECT_EQ(driver.Run([&] { return static_cast<INT_PTR>(EditQuery(root_)); }), 0);
    EXPECT_EQ(message, "Select a data source");
    EXPECT_EQ(stillOn, 0);
}

} // namespace
