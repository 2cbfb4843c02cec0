// The grid control in a parent window that records its notifications and answers the
// cell looks, as the grid's frame does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ug3220.h"

namespace {

struct Seen {
    int control;
    int code;
    int column;
    int row;
    int key;
    int flags;
    int moveCode;
    std::string text;
};

std::vector<Seen> g_seen;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && lParam) {
        HWND child = reinterpret_cast<HWND>(lParam);
        auto* n = reinterpret_cast<UGNotify*>(SendMessageA(child, UGM_GETNOTIFY, 0, 0));
        if (!n)
            return 0;
        g_seen.push_back({LOWORD(wParam), n->code, n->column, n->row, n->key, n->flags, n->moveCode,
                          n->editText ? n->editText : ""});
        if (n->code == UGN_DRAWCELL) {
            static std::string text;
            text = std::to_string(n->column) + "," + std::to_string(n->row);
            n->text = text.c_str();
        }
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Grid : public ::testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_EQ(UGRegisterClasses(instance), 1);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = instance;
        wc.lpszClassName = "GridTestParent";
        RegisterClassA(&wc);
        parent_ = CreateWindowA("GridTestParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                nullptr, instance, nullptr);
        ASSERT_NE(parent_, nullptr);
        cells_ = Child(120, 40, 20, 400, 300, WS_VSCROLL | WS_HSCROLL);
        top_ = Child(121, 40, 0, 400, 20, 0);
        side_ = Child(122, 0, 20, 40, 300, 0);
        ASSERT_EQ(UGLinkWindows(cells_, top_, side_, 20, 0, 0, 3, 1), 1);
        SendMessageA(cells_, UGM_SETROWS, 30, 0);
        SendMessageA(cells_, UGM_SETCOLS, 5, 0);
        for (int c = 0; c < 5; ++c)
            SendMessageA(cells_, UGM_SETCOLWIDTH, c, 50);
        g_seen.clear();
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND Child(int id, int x, int y, int w, int h, DWORD extra)
    {
        return CreateWindowA("DUNUG3220", "", WS_CHILD | WS_VISIBLE | extra, x, y, w, h, parent_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    }
    std::vector<::Seen> Notes(int code)
    {
        std::vector<::Seen> out;
        for (const ::Seen& s : g_seen)
            if (s.code == code)
                out.push_back(s);
        return out;
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

    HWND parent_ = nullptr, cells_ = nullptr, top_ = nullptr, side_ = nullptr;
};

TEST_F(Grid, SizesGeometryAndScrolling)
{
    EXPECT_EQ(SendMessageA(cells_, UGM_GETROWS, 0, 0), 30);
    EXPECT_EQ(SendMessageA(cells_, UGM_GETCOLS, 0, 0), 5);
    RECT r = {};
    ASSERT_EQ(SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(2, 1), reinterpret_cast<LPARAM>(&r)), 1);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 150);
    SendMessageA(cells_, UGM_SETCOLWIDTH, 0, 80);
    SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(2, 1), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 130);
    ASSERT_EQ(UGSetMargin(cells_, 1, 4), 1);
    SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(2, 1), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 24);

    SendMessageA(cells_, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(2, 0), reinterpret_cast<LPARAM>(&r)), 0)
        << "row 0 scrolled out of view";
    SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(2, 1), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(SendMessageA(cells_, UGM_GETCELLRECT, MAKEWPARAM(9, 1), reinterpret_cast<LPARAM>(&r)), 0);
}

TEST_F(Grid, PaintingAsksTheParentForCellsAndHeadings)
{
    InvalidateRect(cells_, nullptr, TRUE);
    InvalidateRect(top_, nullptr, TRUE);
    InvalidateRect(side_, nullptr, TRUE);
    UpdateWindow(cells_);
    UpdateWindow(top_);
    UpdateWindow(side_);
    bool body = false, top = false, side = false;
    for (const ::Seen& s : Notes(UGN_DRAWCELL)) {
        body = body || (s.control == 120 && s.column >= 0 && s.row >= 0);
        top = top || (s.control == 121 && s.row == -1 && s.column >= 0);
        side = side || (s.control == 122 && s.column == -1 && s.row >= 0);
    }
    EXPECT_TRUE(body);
    EXPECT_TRUE(top);
    EXPECT_TRUE(side);
}

TEST_F(Grid, MouseAndKeysAreReported)
{
    SendMessageA(cells_, WM_LBUTTONDOWN, MK_LBUTTON, At(125, 45));
    SendMessageA(cells_, WM_LBUTTONUP, 0, At(125, 45));
    SendMessageA(cells_, WM_LBUTTONDBLCLK, 0, At(125, 45));
    ASSERT_EQ(Notes(UGN_BUTTONDOWN).size(), 1u);
    EXPECT_EQ(Notes(UGN_BUTTONDOWN)[0].column, 2);
    EXPECT_EQ(Notes(UGN_BUTTONDOWN)[0].row, 2);
    EXPECT_TRUE(Notes(UGN_BUTTONDOWN)[0].flags & UG_BUTTON_DOWN);
    ASSERT_EQ(Notes(UGN_CLICK).size(), 1u);
    EXPECT_FALSE(Notes(UGN_CLICK)[0].flags & UG_BUTTON_DOWN);
    ASSERT_EQ(Notes(UGN_DBLCLICK).size(), 1u);

    SendMessageA(cells_, WM_CHAR, 'x', 0);
    SendMessageA(cells_, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageA(cells_, WM_KEYDOWN, VK_HOME, 0);
    std::vector<::Seen> keys = Notes(UGN_KEY);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].key, 'x');
    EXPECT_EQ(keys[1].key, -46);
    EXPECT_EQ(keys[2].key, -36);
    EXPECT_EQ(keys[0].column, 2);

    SendMessageA(cells_, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(cells_, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(cells_, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_EQ(Notes(UGN_SELECT).size(), 3u);
    EXPECT_EQ(Notes(UGN_SELECT)[2].column, 4) << "the current cell stops at the last column";
    SendMessageA(cells_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Notes(UGN_ENTER).size(), 1u);

    SendMessageA(top_, WM_LBUTTONDOWN, MK_LBUTTON, At(75, 5));
    SendMessageA(side_, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 45));
    std::vector<::Seen> clicks = Notes(UGN_CLICK);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[1].control, 121);
    EXPECT_EQ(clicks[1].column, 1);
    EXPECT_EQ(clicks[1].row, -1);
    EXPECT_EQ(clicks[2].control, 122);
    EXPECT_EQ(clicks[2].column, -1);
    EXPECT_EQ(clicks[2].row, 2);
}

TEST_F(Grid, EditsEndWithTheirTextAndAMoveCode)
{
    struct Case {
        WPARAM key;
        bool done;
        int move;
    } cases[] = {{VK_RETURN, true, UG_MOVE_DOWN}, {VK_TAB, true, UG_MOVE_NEXT}, {VK_UP, true, UG_MOVE_UP},
                 {VK_ESCAPE, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        g_seen.clear();
        ASSERT_EQ(UGStartEditAt(cells_, "abc", "aaaaaaaaaa", 0, 0, 1, 3), 1);
        HWND editor = reinterpret_cast<HWND>(SendMessageA(cells_, UGM_GETEDITOR, 0, 0));
        ASSERT_NE(editor, nullptr);
        char text[16] = "";
        GetWindowTextA(editor, text, sizeof text);
        EXPECT_STREQ(text, "abc");
        SetWindowTextA(editor, "typed");
        SendMessageA(editor, WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(SendMessageA(cells_, UGM_GETEDITOR, 0, 0), 0);
        EXPECT_FALSE(IsWindow(editor));
        std::vector<::Seen> done = Notes(UGN_EDITDONE);
        std::vector<::Seen> moved = Notes(UGN_EDITMOVE);
        if (c.done) {
            ASSERT_EQ(done.size(), 1u);
            EXPECT_EQ(done[0].text, "typed");
            EXPECT_EQ(done[0].column, 1);
            EXPECT_EQ(done[0].row, 3);
            ASSERT_EQ(moved.size(), 1u);
            EXPECT_EQ(moved[0].moveCode, c.move);
        } else {
            EXPECT_TRUE(done.empty());
            EXPECT_TRUE(moved.empty());
        }
    }

    // A typed key starts the text; ending without a notification leaves nothing behind.
    ASSERT_EQ(UGStartEdit(cells_, "old", nullptr, 1, 'z'), 1);
    HWND editor = reinterpret_cast<HWND>(SendMessageA(cells_, UGM_GETEDITOR, 0, 0));
    char text[16] = "";
    GetWindowTextA(editor, text, sizeof text);
    EXPECT_STREQ(text, "z");
    g_seen.clear();
    EXPECT_EQ(UGEndEdit(cells_), 1);
    EXPECT_EQ(UGEndEdit(cells_), 0);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(UGStartEditAt(cells_, "", nullptr, 0, 0, 5, 0), 0) << "no column 5";
}

} // namespace
