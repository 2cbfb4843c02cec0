// The mesh dialog, opened by the object edit command of the library itself: what each
// kind shows, the line selection that acts at once, and what confirming writes.
#include <gtest/gtest.h>

#include <functional>

#include "Scx3DHost.h"
#include "qxtest/DialogDriver.h"

namespace {
typedef INT_PTR(WINAPI* Scx3DEntry)(HWND, UINT, INT_PTR, void*, INT_PTR);

bool Visible(HWND dialog, int id)
{
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

Scx3DAttributes RunEdit(Scx3DEntry scx3d, uint8_t kind, const std::function<void(HWND)>& step)
{
    INT_PTR store = scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_CREATE, 0, nullptr, 0);
    MeshDescription d{};
    d.kind = 2;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 4;
    d.grid.meshColumns = d.grid.meshRows = 2;
    d.grid.meshDx = d.grid.meshDy = 100;
    d.attributes.bytes[6] = kind;
    const float z[4] = {1, 2, 3, 4};
    store = scx3d(nullptr, SCX3D_OBJ_ADD, store, (void*)z, (INT_PTR)&d);
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    Scx3DObject* mesh = StoreObjects(header);
    qxtest::DialogDriver driver;
    driver.Then(step);
    driver.Run([&] { return scx3d(nullptr, SCX3D_OBJ_EDIT, 0, &mesh->attributes, (INT_PTR)mesh); });
    EXPECT_EQ(1, driver.StepsRun());
    Scx3DAttributes after = mesh->attributes;
    GlobalUnlock((HGLOBAL)store);
    scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_FREE, store, nullptr, 0);
    return after;
}
}

TEST(MeshDialog, KindsLinesAndWrites)
{
    HMODULE library = LoadLibraryA("qxsurface.dll");
    ASSERT_NE(nullptr, library);
    auto scx3d = (Scx3DEntry)GetProcAddress(library, "SCX3D");

    Scx3DAttributes a = RunEdit(scx3d, 1, [](HWND d) {
        // Kind 1: the line choice and, with lines both ways, the face options.
        EXPECT_TRUE(qxtest::IsChecked(d, 201));
        EXPECT_TRUE(Visible(d, 211));
        EXPECT_TRUE(Visible(d, 303));
        EXPECT_FALSE(Visible(d, 305));
        qxtest::Click(d, 212); // lines along X only: at once, and the face options go
        EXPECT_FALSE(Visible(d, 303));
        // Kind 0 shows its own range and hides the line choice; kind 3 almost nothing.
        qxtest::Click(d, 200);
        EXPECT_TRUE(Visible(d, 305));
        EXPECT_FALSE(Visible(d, 212));
        qxtest::Click(d, 203);
        EXPECT_TRUE(Visible(d, 319));
        EXPECT_FALSE(Visible(d, 300));
        qxtest::Click(d, 202);
        EXPECT_TRUE(Visible(d, 329));
        qxtest::SetText(d, 329, "-5");
        qxtest::SetText(d, 102, "1.5");
        qxtest::Click(d, 325);
        qxtest::SetCheck(d, 290, true);
        qxtest::Click(d, IDOK);
    });
    EXPECT_EQ(2, a.bytes[6]);
    EXPECT_EQ(0x20 | 0x40 | 0x10 | 0x02, a.bytes[11]);
    int16_t inner, width;
    memcpy(&inner, &a.bytes[8], 2);
    memcpy(&width, &a.bytes[4], 2);
    EXPECT_EQ(0, inner) << "a negative count of inner lines is taken as 0";
    EXPECT_EQ(750, width);
}
