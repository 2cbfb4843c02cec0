// The scatter dialog: two sets of attribute bytes behind one page, each control writing
// its byte at once.
#include <gtest/gtest.h>

#include "Scx3DHost.h"
#include "qxtest/DialogDriver.h"

TEST(ScatterDialog, TwoSetsWrittenAsTheyChange)
{
    HMODULE library = LoadLibraryA("qxsurface.dll");
    ASSERT_NE(nullptr, library);
    typedef INT_PTR(WINAPI * Scx3DEntry)(HWND, UINT, INT_PTR, void*, INT_PTR);
    auto scx3d = (Scx3DEntry)GetProcAddress(library, "SCX3D");

    INT_PTR store = scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_CREATE, 0, nullptr, 0);
    Scx3DDescription d{};
    d.kind = 0;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 1;
    d.attributes.bytes[8] = 8;  // symbol size
    d.attributes.bytes[9] = 25; // line set's size
    const float point[3] = {1, 2, 3};
    store = scx3d(nullptr, SCX3D_OBJ_ADD, store, (void*)point, (INT_PTR)&d);
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    Scx3DObject* scatter = StoreObjects(header);

    qxtest::DialogDriver driver;
    driver.Then([](HWND dlg) {
        EXPECT_EQ(2, qxtest::ComboSelection(dlg, 418)) << "size 8 is the third in the list";
        qxtest::SetCheck(dlg, 419, true);  // the symbols' own bit
        qxtest::SetCheck(dlg, 414, true);  // a bit both sets share
        qxtest::ComboSelect(dlg, 418, 4);  // size 12
        qxtest::Click(dlg, 1501);
        qxtest::ComboSelect(dlg, 102, 3);
        qxtest::Click(dlg, 104);           // the lines' set
        EXPECT_FALSE(qxtest::IsChecked(dlg, 419));
        EXPECT_TRUE(qxtest::IsChecked(dlg, 414));
        EXPECT_EQ(7, qxtest::ComboSelection(dlg, 418)) << "size 25";
        qxtest::SetCheck(dlg, 416, true);
        qxtest::Click(dlg, IDOK);
    });
    INT_PTR result = driver.Run([&] { return scx3d(nullptr, SCX3D_OBJ_EDIT, 0, &scatter->attributes, (INT_PTR)scatter); });
    EXPECT_EQ(0, result) << "the attributes changed";
    const uint8_t* b = scatter->attributes.bytes;
    EXPECT_EQ(0x01 | 0x10, b[11]);
    EXPECT_EQ(0x08 | 0x10, b[2]);
    EXPECT_EQ(12, b[8]);
    EXPECT_EQ(25, b[9]);
    EXPECT_EQ(0x80, b[12] & 0x80);
    EXPECT_EQ(3, b[6] >> 4);
    GlobalUnlock((HGLOBAL)store);
    scx3d(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_FREE, store, nullptr, 0);
}
