// The colour map as a script object, over a kernel that keeps a "ZCOLORS" block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestHost.h"

namespace {
std::vector<std::string> g_typed;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_USER)
        g_typed.push_back(reinterpret_cast<const char*>(l));
    return DefWindowProcA(window, message, w, l);
}

HWND ListingWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ColourMapListing";
    RegisterClassA(&wc);
    return CreateWindowA("ColourMapListing", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

INT_PTR Get(const char* name, double* value)
{
    return ScxCmdObj(nullptr, name, "", value, nullptr, 0);
}

INT_PTR Set(const char* name, double value)
{
    return ScxCmdObj(nullptr, name, "", &value, nullptr, 17);
}
}

TEST(ColorMapObject, WithoutABlockOnlyTheListingWorks)
{
    TestHost host;
    HWND window = ListingWindow();
    EXPECT_EQ(1, ScxCmdObj(window, "", "", nullptr, host.callback(), 60));
    double value;
    EXPECT_EQ(0, ScxCmdObj(window, "", "", &value, nullptr, 0x4000));
    EXPECT_EQ(2, Get("ZMIN", &value));
    EXPECT_EQ(3, ScxCmdObj(window, "", "", &value, nullptr, 18));
    ASSERT_EQ(15u, g_typed.size());
    EXPECT_EQ("type COLOR", g_typed[0]);
    EXPECT_EQ("type ZMISSING", g_typed[14]);
    EXPECT_EQ(2, ScxCmdObj(window, "", "", &value, nullptr, 0));
    DestroyWindow(window);
}

TEST(ColorMapObject, PropertiesReadAndWriteTheBlock)
{
    TestHost host;
    ScxCmdObj(nullptr, "", "", nullptr, host.callback(), 60);
    auto& bytes = host.blocks["ZCOLORS"];
    bytes.assign(ZColorsSize(8), 0);
    ScxColorControl(0, 8, 0, bytes.data());
    auto block = [&] { return reinterpret_cast<ZColorsBlock*>(host.blocks["ZCOLORS"].data()); };

    double value = 0;
    EXPECT_EQ(1, ScxCmdObj(nullptr, "", "", &value, nullptr, 0x4000));
    struct Row { const char* name; INT_PTR result; double value; };
    const Row gets[] = {
        {"COLOR1", 1, 255}, {"COLOR8", 1, 0xFF0000}, {"COLOR0", 2, 0}, {"COLOR9", 2, 0},
        {"color1", 2, 0}, {"Z2", 1, 287}, {"ZMAX", 1, 1000}, {"NUMCOLORS", 1, 8}, {"MODE", 1, 3},
        {"COLORMISS", 1, 127}, {"NOSUCH", 2, 0},
    };
    for (const auto& r : gets) {
        SCOPED_TRACE(r.name);
        value = -1;
        EXPECT_EQ(r.result, Get(r.name, &value));
        if (r.result == 1) {
            EXPECT_EQ(r.value, value);
        }
    }
    EXPECT_EQ(0, ScxCmdObj(nullptr, "Z", "1", &value, nullptr, 16385)) << "the low end of the Z range";
    EXPECT_EQ(0, value);

    // Colours by ramp cannot be set one by one; with the ramp off they can, and the
    // fixed colours follow a set of the colour below.
    EXPECT_EQ(1 | 0x1000, Set("COLOR1", 0x00FF00));
    EXPECT_EQ(255, block()->slots[4].colour);
    EXPECT_EQ(1 | 0x1000, Set("MODE", 0));
    EXPECT_EQ(1 | 0x1000, Set("COLOR1", 0x00FF00));
    EXPECT_EQ(0x00FF00, block()->slots[4].colour);
    EXPECT_EQ(1 | 0x1000, Set("COLORBELOW", 0x0000AA));
    EXPECT_EQ(0xAA, block()->slots[3].colour);
    EXPECT_EQ(1 | 0x100, Set("ZMIN", -2.5));
    EXPECT_EQ(-2.5, block()->zMin);

    // More bands: the kernel's block is made anew for 10 and keeps what was set.
    EXPECT_EQ(1 | 0x1100, Set("NUMCOLORS", 10));
    EXPECT_EQ(ZColorsSize(10), host.blocks["ZCOLORS"].size());
    EXPECT_EQ(10, block()->n);
    EXPECT_EQ(33, block()->lastSlot);
    EXPECT_EQ(0x00FF00, block()->slots[4].colour);
    EXPECT_EQ(-2.5, block()->zMin);
    // A count outside 2..256 is held to those bounds.
    EXPECT_EQ(1 | 0x1100, Set("NUMCOLORS", -4));
    EXPECT_EQ(2, block()->n);

    // Every hand-out was taken back.
    int begins = 0, ends = 0;
    for (const auto& c : host.calls) {
        begins += c.code == PLOTHOST_BLOCKS_BEGIN;
        ends += c.code == PLOTHOST_BLOCKS_END;
    }
    EXPECT_EQ(begins, ends);
}
