// The colour-map dialog through the library's colour-map entry: what it shows, the band
// count it refuses, and what it answers after each ending.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Scx3DHost.h"
#include "qxtest/DialogDriver.h"

namespace {
typedef INT_PTR(WINAPI* ColourEntry)(UINT, INT_PTR, INT_PTR, void*);

struct Outcome {
    INT_PTR result;
    std::vector<uint8_t> block;
};

Outcome RunDialog(ColourEntry control, const std::function<void(HWND)>& step)
{
    Outcome o{0, std::vector<uint8_t>(ZColorsSize(8))};
    control(0, 8, 0, o.block.data());
    qxtest::DialogDriver driver;
    driver.Then(step);
    o.result = driver.Run([&] { return control(2, 0, 0, o.block.data()); });
    EXPECT_EQ(1, driver.StepsRun());
    return o;
}

const ZColorsBlock* Map(const Outcome& o)
{
    return reinterpret_cast<const ZColorsBlock*>(o.block.data());
}
}

TEST(ColorMapDialog, EndingsAndWhatTheyApply)
{
    HMODULE library = LoadLibraryA("qxsurface.dll");
    ASSERT_NE(nullptr, library);
    auto control = (ColourEntry)GetProcAddress(library, "ScxColorControl");

    Outcome o = RunDialog(control, [](HWND d) {
        EXPECT_EQ("8", qxtest::GetText(d, 101));
        EXPECT_EQ("100", qxtest::GetText(d, 111));
        EXPECT_FALSE(qxtest::IsChecked(d, 2003)) << "colours by ramp";
        qxtest::SetText(d, 115, "50");
        qxtest::Click(d, IDCANCEL);
    });
    EXPECT_EQ(2, o.result);
    EXPECT_EQ(0, Map(o)->levelMin);

    o = RunDialog(control, [](HWND d) { qxtest::Click(d, IDOK); });
    EXPECT_EQ(2, o.result) << "nothing changed";

    o = RunDialog(control, [](HWND d) {
        qxtest::SetText(d, 115, "10");
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(1, o.result);
    EXPECT_EQ(230, Map(o)->levelMin);

    // A count beyond 256 goes back to 3 when the field is left.
    o = RunDialog(control, [](HWND d) {
        qxtest::SetText(d, 101, "300");
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(101, EN_KILLFOCUS), (LPARAM)GetDlgItem(d, 101));
        EXPECT_EQ("3", qxtest::GetText(d, 101));
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(1, o.result);
    EXPECT_EQ(3, Map(o)->n);
    EXPECT_EQ(26, Map(o)->lastSlot);

    // More bands than the block holds: the caller is told to grow it.
    o = RunDialog(control, [](HWND d) {
        qxtest::SetText(d, 101, "10");
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(4096 + 10, o.result);
    EXPECT_EQ(8, Map(o)->n);
}
