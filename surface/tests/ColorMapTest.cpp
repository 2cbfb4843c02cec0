// The colour map: defaults and levels, the scale conversion, the band search, the
// legend, the kernel's hook, and the fetch, upgrade and conversion of the kernel's
// blocks. Reference values are worked out by hand (python3 for the logarithms).
#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "TestHost.h"

namespace {
struct Map {
    explicit Map(int n) : bytes(ZColorsSize(n), 0) { ScxColorControl(0, n, 0, block()); }
    ZColorsBlock* block() { return reinterpret_cast<ZColorsBlock*>(bytes.data()); }
    INT_PTR operator()(UINT code, INT_PTR argument = 0, INT_PTR pointer = 0)
    {
        return ScxColorControl(code, argument, pointer, block());
    }
    std::vector<uint8_t> bytes;
};

ZColorsBlock* Block(TestHost& host, const char* name)
{
    auto it = host.blocks.find(name);
    return it == host.blocks.end() ? nullptr : reinterpret_cast<ZColorsBlock*>(it->second.data());
}

std::vector<UINT> Codes(const TestHost& host)
{
    std::vector<UINT> codes;
    for (const auto& c : host.calls)
        codes.push_back(c.code);
    return codes;
}
}

TEST(ColorMap, DefaultsGiveEvenLevelsAndFixedColours)
{
    EXPECT_EQ(422u, ZColorsSize(8));
    Map map(8);
    ZColorsBlock* b = map.block();
    EXPECT_EQ(3850, b->version);
    EXPECT_EQ(35, b->flags);
    EXPECT_EQ(31, b->lastSlot);
    EXPECT_EQ(2300, b->levelMax);
    // 2300 * e / 8, truncated
    const int levels[] = {0, 287, 575, 862, 1150, 1437, 1725, 2012, 2300};
    for (int e = 0; e <= 8; ++e)
        EXPECT_EQ(levels[e], b->slots[4 + e].level) << "slot " << 4 + e;
    EXPECT_EQ(-9998, b->slots[3].level);
    EXPECT_EQ(-10000, b->slots[0].level);
    EXPECT_EQ(32000, b->slots[1].level);
    EXPECT_EQ(127, b->slots[2].colour);
    EXPECT_EQ(0, b->slots[3].colour);
    EXPECT_EQ(0xFFFFFF, b->slots[12].colour);
    // The ramp runs from the low colour through the middle one to the high one.
    EXPECT_EQ(255, b->slots[4].colour);
    EXPECT_EQ(0x7FFF7F, b->slots[4 + 4].colour);
    EXPECT_EQ(0xFF0000, b->slots[4 + 7].colour);
    EXPECT_EQ(10, map(54));
    EXPECT_EQ(8, map(18));
    EXPECT_EQ(2, map(56));
    EXPECT_EQ(0, map(34, 0) + 9998);
    EXPECT_EQ(287, map(34, 2));

    // Without the middle colour (mode 2) the middle band mixes low and high.
    b->rampMode = 2;
    map(1);
    int32_t middle = b->slots[4 + 4].colour;
    EXPECT_GT(middle & 0xFF, 0);
    EXPECT_GT((middle >> 16) & 0xFF, 0);
    EXPECT_EQ(0, (middle >> 8) & 0xFF);
}

TEST(ColorMap, ScaleConversion)
{
    struct Row { int kind; double zmin, zmax, z; int scale; };
    const Row rows[] = {
        {0, 0, 1000, 500, 1150},
        {0, 0, 1000, -9999, -9999},   // the missing value
        {0, 0, 1000, 1000, 2300},
        {0, 0, 1000, -100, -230},
        {1, 1, 1000, 10, 767},        // ln 10 / ln 1000 * 2300 = 766.67
        {1, 1, 1000, -1, -3330},      // ln of z <= 0 is taken as -10: -3329.59
        {0, 5, 5, 5, 0},              // no range: the bottom of the scale, no NaN
        {0, 0, 1000, NAN, -9999},     // no number: missing, not the bottom of the scale
        {1, 1, 1000, NAN, -9999},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << r.kind << " range " << r.zmin << ".." << r.zmax << " z " << r.z);
        Map map(8);
        map.block()->scaleKind = (int16_t)r.kind;
        map.block()->zMin = r.zmin;
        map.block()->zMax = r.zmax;
        double z = r.z;
        EXPECT_EQ(r.scale, map(39, 0, (INT_PTR)&z));
    }
    Map map(8);
    double real = 0;
    map(40, 1150, (INT_PTR)&real);
    EXPECT_DOUBLE_EQ(500, real);
    map(41, -9999, (INT_PTR)&real);
    EXPECT_DOUBLE_EQ(-9999, real);
}

TEST(ColorMap, BandSearchFindsTheEnclosingLevels)
{
    Map map(8);
    struct Row { int v, slot; };
    const Row even[] = {{-9998, 2}, {32000, 1}, {-5, 3}, {2300, 12}, {0, 4}, {600, 6}, {2299, 11}};
    for (const auto& r : even) {
        SCOPED_TRACE(r.v);
        EXPECT_EQ(r.slot, map(37, r.v));
        EXPECT_EQ(r.slot >= 4 && r.slot < 12 ? r.slot - 4 : 0, map(38, r.v));
    }
    // Levels placed by hand: 1500 lies between 300 and 2000, band 3, although an even
    // spacing would put it in band 5.
    ZColorsBlock* b = map.block();
    b->flags &= ~ZCOLORS_EVEN_LEVELS;
    const int16_t levels[] = {0, 100, 200, 300, 2000, 2100, 2200, 2250, 2300};
    for (int i = 0; i < 9; ++i)
        b->slots[4 + i].level = levels[i];
    map(21);
    EXPECT_EQ(2000, b->slots[8].level) << "recomputing keeps levels placed by hand";
    EXPECT_EQ(3, map(38, 1500));
    EXPECT_EQ(7, map(37, 1500));

    // Slots that may be edited, and slots that do not exist.
    struct SlotRow { INT_PTR slot; INT_PTR editable; INT_PTR colour; };
    const SlotRow slots[] = {{2, 1, 0}, {3, 0, 0}, {12, 0, 0}, {13, 1, 0}, {31, 1, 0}, {32, 1, 1}, {-1, 1, 1}};
    for (const auto& s : slots) {
        SCOPED_TRACE(s.slot);
        EXPECT_EQ(s.editable, map(6, s.slot));
        int32_t colour;
        EXPECT_EQ(s.colour, map(4, s.slot, (INT_PTR)&colour));
    }
}

TEST(ColorMap, LegendLinesForEachBand)
{
    Map map(3);
    // Levels 0, 766, 1533, 2300 snap to thirds of Z 0..1000, written with 4 digits.
    char text[256];
    map(14, sizeof text, (INT_PTR)text);
    EXPECT_STREQ("\\L(C4) 0  --  333.3\r\n\\L(C5) 333.3  --  666.7\r\n\\L(C6) 666.7  --  1000\r\n", text);
    char small[30];
    map(14, sizeof small, (INT_PTR)small);
    EXPECT_STREQ("\\L(C4) 0  --  333.3\r\n", small) << "cut to the buffer, at a whole line";
}

namespace {
int g_hookCalls = 0;
bool g_hookHandles = true;
INT_PTR WINAPI Hook(UINT code, INT_PTR, INT_PTR, int* handled, INT_PTR)
{
    ++g_hookCalls;
    if (handled)
        *handled = g_hookHandles;
    return code == 54 ? 77 : 0;
}
}

TEST(ColorMap, TheKernelsHookComesFirst)
{
    TestHost host;
    host.colourHook = (INT_PTR)&Hook;
    ScxColorControl(30, 0x55, (INT_PTR)host.callback(), nullptr);
    std::vector<uint8_t> untouched(ZColorsSize(8), 0xCD);
    std::vector<uint8_t> block = untouched;
    EXPECT_EQ(77, ScxColorControl(54, 0, 0, block.data()));
    EXPECT_EQ(0, ScxColorControl(21, 0, 0, block.data()));
    EXPECT_EQ(untouched, block) << "a hook that handles everything leaves the block alone";
    EXPECT_EQ(2, g_hookCalls);

    // A hook that declines lets the block code run.
    g_hookHandles = false;
    Map map(8);
    map.block()->levelMax = 1000;
    map(47);
    EXPECT_EQ(1000, map.block()->slots[12].level);
}

TEST(ColorMap, LoadCreatesUpgradesAndConverts)
{
    TestHost host;
    ScxColorControl(30, 0x55, (INT_PTR)host.callback(), nullptr);
    host.calls.clear();

    // No block yet: one is made with defaults for 8 bands and takes the range given.
    double range[2] = {-5, 5}, out[2] = {};
    ColorMapControl(nullptr, out, range, 10);
    ZColorsBlock* b = Block(host, "ZCOLORS");
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(422u, host.blocks["ZCOLORS"].size());
    EXPECT_EQ(8, b->n);
    EXPECT_EQ(-5, b->zMin);
    EXPECT_EQ(5, out[1]);
    EXPECT_EQ((std::vector<UINT>{PLOTHOST_BLOCKS_BEGIN, PLOTHOST_BLOCK_GET, PLOTHOST_BLOCK_GET,
                                 PLOTHOST_BLOCK_CREATE, PLOTHOST_BLOCK_GET, PLOTHOST_BLOCK_RELEASE,
                                 PLOTHOST_BLOCKS_END}),
              Codes(host));
    EXPECT_EQ(0, ColorMapControl(nullptr, nullptr, nullptr, 3)) << "other requests do nothing";

    // Old blocks: 10 bands are carried over with their colours; 40 bands are too many
    // for the old format and give way to defaults.
    struct Row { int oldN; int newN; };
    for (const Row r : {Row{10, 10}, Row{40, 8}}) {
        SCOPED_TRACE(r.oldN);
        host.blocks.clear();
        auto& bytes = host.blocks["ZCOLORS"];
        bytes.assign(ZColorsSize(r.oldN), 0);
        auto* old = reinterpret_cast<ZColorsBlock*>(bytes.data());
        ScxColorControl(0, r.oldN, 0, old);
        old->version = 3840;
        old->flags = 0;
        old->slots[5].colour = 0x123456;
        ColorMapControl(nullptr, nullptr, nullptr, 10);
        b = Block(host, "ZCOLORS");
        EXPECT_EQ(3850, b->version);
        EXPECT_EQ(r.newN, b->n);
        EXPECT_EQ(ZColorsSize(r.newN), host.blocks["ZCOLORS"].size());
        if (r.oldN == 10) {
            EXPECT_EQ(0x123456, b->slots[5].colour) << "the user's colour survives";
        } else {
            EXPECT_NE(0x123456, b->slots[5].colour);
        }
    }

    // A 3D colour record of the older interface becomes the colour map.
    host.blocks.clear();
    auto& legacyBytes = host.blocks["3DCOLOR"];
    legacyBytes.assign(sizeof(Legacy3DColors), 0);
    auto* legacy = reinterpret_cast<Legacy3DColors*>(legacyBytes.data());
    legacy->bands = 5;
    legacy->zMin = 0;
    legacy->zMax = 100;
    legacy->levelMin = 10;
    legacy->levelMax = 90;
    legacy->rampLow = 0x0000AA;
    ColorMapControl(nullptr, nullptr, nullptr, 10);
    b = Block(host, "ZCOLORS");
    EXPECT_EQ(5, b->n);
    EXPECT_EQ(230, b->levelMin);
    EXPECT_EQ(2070, b->levelMax);
    EXPECT_EQ(0xAA, b->rampLow);
    Legacy3DColors back{};
    ScxColorControl(50, 0, (INT_PTR)&back, b);
    EXPECT_FLOAT_EQ(10, back.levelMin);
    EXPECT_FLOAT_EQ(90, back.levelMax);
    EXPECT_EQ(5, back.bands);
}
