// The side-walls dialog, opened by the object edit command of the library itself.
#include <gtest/gtest.h>

#include <functional>

#include "Scx3DHost.h"
#include "qxtest/DialogDriver.h"

namespace {
typedef INT_PTR(WINAPI* Scx3DEntry)(HWND, UINT, INT_PTR, void*, INT_PTR);

INT_PTR WINAPI Thickness(INT_PTR, UINT code, INT_PTR, INT_PTR, INT_PTR, INT_PTR)
{
    return code == 0x20000D ? 40 : 0;
}

struct Edit {
    INT_PTR result;
    Scx3DAttributes attributes;
};

Edit RunEdit(Scx3DEntry scx3d, uint8_t style, uint8_t flags, const std::function<void(HWND)>& step)
{
    INT_PTR store = scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_CREATE, 0, nullptr, 0);
    Scx3DDescription d{};
    d.kind = 6;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 2;
    d.attributes.bytes[0] = style;
    d.attributes.bytes[11] = flags;
    int16_t width = 500;
    memcpy(&d.attributes.bytes[4], &width, 2);
    d.attributes.callbackUser = 1;
    d.attributes.callback = &Thickness;
    const int32_t pairs[] = {0, 0, 100, 100};
    store = scx3d(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&d);
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    Scx3DObject* wall = StoreObjects(header);
    Edit edit{};
    qxtest::DialogDriver driver;
    driver.Then(step);
    edit.result = driver.Run([&] { return scx3d(nullptr, SCX3D_OBJ_EDIT, 0, &wall->attributes, (INT_PTR)wall); });
    EXPECT_EQ(1, driver.StepsRun());
    edit.attributes = wall->attributes;
    GlobalUnlock((HGLOBAL)store);
    scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_FREE, store, nullptr, 0);
    return edit;
}
}

TEST(WallsDialog, ShowsAndWritesTheAttributes)
{
    HMODULE library = LoadLibraryA("qxsurface.dll");
    ASSERT_NE(nullptr, library);
    auto scx3d = (Scx3DEntry)GetProcAddress(library, "SCX3D");

    // Bars open on their radio and stay bars; "1.5" as the width is stored as 750.
    Edit e = RunEdit(scx3d, 0x60, 0, [&](HWND d) {
        EXPECT_TRUE(qxtest::IsChecked(d, 902));
        EXPECT_EQ("40", qxtest::GetText(d, 1002)) << "the thickness the kernel answers";
        EXPECT_EQ("1", qxtest::GetText(d, 101));
        Scx3DView v{};
        EXPECT_EQ(1, scx3d(nullptr, SCX3D_LETTER, 0, &v, (INT_PTR) "D")) << "an object dialog is open";
        qxtest::SetText(d, 101, "1.5");
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(0, e.result) << "the attributes changed";
    EXPECT_EQ(0x60, e.attributes.bytes[0]);
    int16_t width, thickness;
    memcpy(&width, &e.attributes.bytes[4], 2);
    memcpy(&thickness, &e.attributes.bytes[8], 2);
    EXPECT_EQ(750, width);
    EXPECT_EQ(2000, thickness);

    // Choosing the ribbon writes style 1 with its bit.
    e = RunEdit(scx3d, 0x60, 0, [](HWND d) {
        qxtest::Click(d, 900);
        qxtest::SetCheck(d, 804, true);
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(1, e.attributes.bytes[0]);
    EXPECT_EQ(0x03, e.attributes.bytes[11]);

    // Cancel changes nothing and says so.
    e = RunEdit(scx3d, 1, 0x02, [](HWND d) {
        EXPECT_TRUE(qxtest::IsChecked(d, 900));
        qxtest::SetText(d, 101, "8");
        qxtest::Click(d, IDCANCEL);
    });
    EXPECT_EQ(1, e.result);
    memcpy(&width, &e.attributes.bytes[4], 2);
    EXPECT_EQ(500, width);
}
