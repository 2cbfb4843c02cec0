// The view dialog, driven as a user would through the library itself (its template is
// one of the library's resources).
#include <gtest/gtest.h>

#include <functional>

#include "Scx3DHost.h"
#include "qxtest/DialogDriver.h"

namespace {
typedef INT_PTR(WINAPI* Scx3DEntry)(HWND, UINT, INT_PTR, void*, INT_PTR);

Scx3DEntry Entry()
{
    HMODULE library = LoadLibraryA("qxsurface.dll");
    return library ? (Scx3DEntry)GetProcAddress(library, "SCX3D") : nullptr;
}

Scx3DView RunDialog(Scx3DEntry scx3d, const std::function<void(HWND)>& step, Scx3DView* before = nullptr)
{
    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.horizontal = 1;
    scx3d(nullptr, SCX3D_DEFAULTS, 0, &v, 0);
    int32_t viewport[4] = {0, 0, 400, 300};
    scx3d(nullptr, SCX3D_FIT_VIEWPORT, 0, &v, (INT_PTR)viewport);
    if (before)
        *before = v;
    qxtest::DialogDriver driver;
    driver.Then(step);
    driver.Run([&] { return scx3d(nullptr, SCX3D_LETTER, 0, &v, (INT_PTR) "E"); });
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_FALSE(driver.TimedOut());
    return v;
}
}

TEST(ViewDialog, ShowsAndWritesTheRecord)
{
    Scx3DEntry scx3d = Entry();
    ASSERT_NE(nullptr, scx3d);

    // What the dialog shows of a default view.
    RunDialog(scx3d, [](HWND d) {
        EXPECT_EQ("15.0", qxtest::GetText(d, 708));
        EXPECT_EQ("100", qxtest::GetText(d, 720));
        EXPECT_EQ("100", qxtest::GetText(d, 714));
        EXPECT_EQ("32", qxtest::GetText(d, 705));
        EXPECT_TRUE(qxtest::IsChecked(d, 702));
        EXPECT_TRUE(qxtest::IsChecked(d, 104));
        EXPECT_EQ(1, qxtest::ComboSelection(d, 701));
        qxtest::Click(d, IDCANCEL);
    });

    struct Row {
        const char* what;
        std::function<void(HWND)> edit;
        std::function<void(const Scx3DView&)> check;
    };
    const Row rows[] = {
        {"box 0 and perspective 50",
         [](HWND d) { qxtest::SetText(d, 720, "0"); qxtest::SetText(d, 718, "50"); },
         [](const Scx3DView& v) {
             EXPECT_FLOAT_EQ(23, v.boxX);
             EXPECT_FLOAT_EQ(30.001f, v.perspective);
             EXPECT_EQ(0, v.flat);
         }},
        {"flat",
         [](HWND d) { qxtest::SetText(d, 718, "12"); qxtest::Click(d, 103); },
         [](const Scx3DView& v) {
             EXPECT_EQ(1, v.flat);
             EXPECT_FLOAT_EQ(0.001f, v.perspective);
         }},
        {"ranges, walls, counts and colours",
         [](HWND d) {
             qxtest::SetText(d, 713, "80");
             qxtest::SetText(d, 714, "20");
             qxtest::SetText(d, 726, "100");
             qxtest::SetText(d, 705, "1");
             qxtest::SetCheck(d, 702, false);
             qxtest::ComboSelect(d, 701, 5);
             qxtest::SetText(d, 708, "30");
         },
         [](const Scx3DView& v) {
             EXPECT_FLOAT_EQ(460, v.xyRect[0]) << "a range entered backwards is turned round";
             EXPECT_FLOAT_EQ(1840, v.xyRect[1]);
             EXPECT_FLOAT_EQ(2300, v.wallZ);
             EXPECT_EQ(2, v.gridCount1);
             EXPECT_EQ(0, v.walls & SCX3D_WALL_Z);
             EXPECT_EQ(5, v.wallColour[0]);
             EXPECT_FLOAT_EQ(30, v.rotation);
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Scx3DView before;
        Scx3DView after = RunDialog(scx3d, [&](HWND d) { r.edit(d); qxtest::Click(d, IDOK); }, &before);
        r.check(after);
    }

    // Cancel, and a confirm that changes nothing, leave every byte as it was.
    Scx3DView before;
    Scx3DView after = RunDialog(scx3d, [](HWND d) { qxtest::SetText(d, 720, "7"); qxtest::Click(d, IDCANCEL); }, &before);
    EXPECT_EQ(0, memcmp(&before, &after, sizeof before));
}
