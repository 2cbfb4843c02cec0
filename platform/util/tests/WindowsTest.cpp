// The progress box and the drawing services, under Wine's null display driver.
#include <gtest/gtest.h>
#include <windows.h>

#include "qxcolors.h"
#include "qxtest/Pixels.h"
#include "qxutil.h"

#include <string>
#include <vector>

namespace {

// Test programs run in parallel on one desktop: look only at this thread's windows, or
// another program's progress box could be found.
HWND FindBox()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            char cls[64] = "";
            GetClassNameA(hwnd, cls, sizeof cls);
            if (lstrcmpA(cls, "QxUtilProgressBox") != 0)
                return TRUE;
            *reinterpret_cast<HWND *>(param) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string Text(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ProgressBox : public ::testing::Test {
protected:
    void TearDown() override { UtilProgressBox(nullptr, UTIL_PROGRESS_CLOSE, 0, nullptr); }
};

TEST_F(ProgressBox, ShowsTitleAndPercentage)
{
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN, 0, "Reading Database"), 0);
    HWND box = FindBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(Text(box), "Reading Database");
    EXPECT_EQ(Text(GetDlgItem(box, 100)), "Reading Database");
    EXPECT_EQ(Text(GetDlgItem(box, 101)), "0%");
    EXPECT_EQ(Text(GetDlgItem(box, IDCANCEL)), "Cancel");

    const int values[][2] = {{42, 42}, {150, 100}, {-5, 0}, {100, 100}};
    for (const auto &v : values) {
        EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_SET, v[0], nullptr), 0);
        EXPECT_EQ(Text(GetDlgItem(box, 101)), std::to_string(v[1]) + "%") << v[0];
    }
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 0);

    // Opening again reuses the box with the new title and starts at 0 %.
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN_ALT, 0, "Drawing"), 0);
    EXPECT_EQ(FindBox(), box);
    EXPECT_EQ(Text(box), "Drawing");
    EXPECT_EQ(Text(GetDlgItem(box, 101)), "0%");

    EXPECT_EQ(UtilProgressBox(box, UTIL_PROGRESS_CLOSE, 0, nullptr), 0);
    EXPECT_FALSE(IsWindow(box));

    // Opened with 4096 for drawing, a new box stays hidden at first: a quick paint shows none.
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN_ALT, 0, "Drawing"), 0);
    box = FindBox();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_EQ(UtilProgressBox(box, UTIL_PROGRESS_CLOSE, 0, nullptr), 0);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(FindBox(), nullptr);
}

TEST_F(ProgressBox, PollReportsCancelOnceItWasPressed)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    UtilProgressBox(owner, UTIL_PROGRESS_OPEN, 0, "Calculating Confidence Interval Limits...");
    HWND box = FindBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 0);

    // A click arrives as a queued message; only the poll hands it to the button.
    PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 1);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 1);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_SET, 50, nullptr), 0);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 1);

    // A new run forgets the old Cancel; closing the box by its frame cancels too.
    UtilProgressBox(owner, UTIL_PROGRESS_OPEN, 0, "Again");
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 0);
    PostMessageA(box, WM_CLOSE, 0, 0);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 1);
    EXPECT_TRUE(IsWindow(box));  // the work closes it, not the user

    UtilProgressBox(nullptr, UTIL_PROGRESS_CLOSE, 0, nullptr);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 0);
    DestroyWindow(owner);
}

TEST_F(ProgressBox, OnlyTheBoxMessagesAreHandledByThePoll)
{
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN, 0, "Drawing");
    PostMessageA(other, WM_USER + 7, 0, 0);
    UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, other, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    DestroyWindow(other);
}

TEST_F(ProgressBox, WithoutABoxEveryCommandAnswers)
{
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_SET, 10, nullptr), 0);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr), 0);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_CLOSE, 0, nullptr), 0);
    EXPECT_EQ(UtilProgressBox(nullptr, 77, 0, nullptr), -1);
    EXPECT_EQ(UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN, 0, nullptr), 0);
    EXPECT_EQ(Text(FindBox()), "");
}

// The bar, drawn into a memory DC through WM_PRINTCLIENT, fills its share of the width.
TEST_F(ProgressBox, BarFillsItsPercentage)
{
    UtilProgressBox(nullptr, UTIL_PROGRESS_OPEN, 0, "Drawing");
    UtilProgressBox(nullptr, UTIL_PROGRESS_SET, 25, nullptr);
    HWND box = FindBox();
    ASSERT_NE(box, nullptr);
    qxtest::MemoryCanvas canvas(320, 118);
    SendMessageA(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    qxtest::Image image = canvas.Capture();
    int filled = 0;
    const int row = 43;  // through the middle of the bar
    for (int x = 0; x < image.width; ++x)
        if (image.ColorAt(x, row) == RGB(0, 0, 128))
            ++filled;
    EXPECT_EQ(filled, (294 * 25) / 100);  // a quarter of the bar's inside
}

TEST(PrepareDC, FillsTheColourComboInIndexOrder)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("stale"));
    EXPECT_EQ(UtilPrepareDC(combo, 0, 0, UTIL_DC_COLOR_COMBO), kQxStandardColorCount);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), kQxStandardColorCount);
    for (int i = 0; i < kQxStandardColorCount; ++i) {
        char name[64] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, kQxStandardColors[i].name);
        EXPECT_EQ(COLORREF(SendMessageA(combo, CB_GETITEMDATA, i, 0)), kQxStandardColors[i].rgb);
    }
    // The walls' default colour indexes 1, 2 and 3 are red, green and blue.
    EXPECT_EQ(kQxStandardColors[1].rgb, RGB(255, 0, 0));
    EXPECT_EQ(kQxStandardColors[2].rgb, RGB(0, 255, 0));
    EXPECT_EQ(kQxStandardColors[3].rgb, RGB(0, 0, 255));
    EXPECT_EQ(UtilPrepareDC(nullptr, 0, 0, UTIL_DC_COLOR_COUNT), kQxStandardColorCount);
    EXPECT_EQ(UtilPrepareDC(nullptr, 0, 0, UTIL_DC_COLOR_COMBO), -1);
    DestroyWindow(combo);
}

TEST(PrepareDC, ReleasesDrawingObjectsFromADeviceContext)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 5, RGB(4, 5, 6));

    SelectObject(dc, brush);
    EXPECT_EQ(UtilPrepareDC(dc, 0, 0, UTIL_DC_END_FILL), 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));

    SelectObject(dc, brush);
    SelectObject(dc, pen);
    EXPECT_EQ(UtilPrepareDC(dc, 0, 0, UTIL_DC_END_OUTLINE), 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    // Released, the brush and pen can be deleted by their owner.
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(pen));

    EXPECT_EQ(UtilPrepareDC(dc, 0, 0, UTIL_DC_AREAS), 1);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);

    EXPECT_EQ(UtilPrepareDC(nullptr, 0, 0, UTIL_DC_AREAS), 0);
    EXPECT_EQ(UtilPrepareDC(reinterpret_cast<HANDLE>(0x1234), 0, 0, UTIL_DC_END_FILL), 0);
    EXPECT_EQ(UtilPrepareDC(dc, 0, 0, 99), -1);
    DeleteDC(dc);
}

TEST(PaletteService, RegistersSlotsAndGivesDisplayColours)
{
    std::vector<UtilColorSlot> slots(30);
    for (size_t i = 0; i < slots.size(); ++i)
        slots[i] = {RGB(i * 8, 255 - i * 8, 17), int16_t(i), 0};
    static_assert(sizeof(UtilColorSlot) == 10, "a colour slot is 10 bytes");
    EXPECT_EQ(UtilPaletteService(nullptr, UTIL_PALETTE_REGISTER, slots.size(), slots.data()), 30u);
    EXPECT_EQ(UtilPaletteService(nullptr, UTIL_PALETTE_REGISTER, 5, nullptr), 0u);
    EXPECT_EQ(UtilPaletteService(nullptr, UTIL_PALETTE_REGISTER, 0, slots.data()), 0u);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    SelectObject(dc, bitmap);
    EXPECT_EQ(UtilPrepareDC(dc, 0, 0, UTIL_DC_AREAS), 1);
    // A true-colour device shows every colour as it is; the high byte is dropped.
    EXPECT_EQ(UtilPaletteService(dc, UTIL_PALETTE_DISPLAY_COLOR, 0x01123456, nullptr), 0x123456u);
    EXPECT_EQ(UtilPaletteService(nullptr, UTIL_PALETTE_DISPLAY_COLOR, RGB(9, 8, 7), nullptr),
              DWORD(RGB(9, 8, 7)));
    EXPECT_EQ(UtilPaletteService(dc, 3, 0, nullptr), 0u);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

} // namespace
