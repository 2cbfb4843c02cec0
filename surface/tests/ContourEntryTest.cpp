// The contour module's message entry: the version check and its refusal, the clamps of
// the set-up record, the colour-map load and the older colour-map set-up.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "qxtest/DialogDriver.h"

namespace {
struct Record {
    uint8_t bytes[16];
    void* colourBlock;
};
}

TEST(ContourEntry, VersionCheckAndSetUpRecord)
{
    qxtest::DialogDriver driver;
    std::string text;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([] { return Contour(nullptr, nullptr, 251, 50); });
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_EQ("You need a version 2.52 or later to use this contour module", text);

    Record r{};
    r.bytes[4] = 60;
    r.bytes[5] = 29;
    EXPECT_EQ(0, Contour(nullptr, &r, 1, 12)) << "refused: nothing is done";
    EXPECT_EQ(60, r.bytes[4]);

    EXPECT_EQ(0, Contour(nullptr, nullptr, 252, 0x10000 | 50)) << "an acceptable version lifts it";
    struct Row { uint8_t b4, b5; INT_PTR argument; INT_PTR result; uint8_t e4, e5; };
    const Row rows[] = {
        {40, 29, 1, 0, 40, 29},
        {60, 29, 1, 2, 50, 29},
        {40, 28, 1, 2, 10, 29},
        {40, 29, 0, 1, 40, 29},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.b4) << "/" << int(row.b5) << " argument " << row.argument);
        Record s{};
        s.bytes[4] = row.b4;
        s.bytes[5] = row.b5;
        s.colourBlock = &s;
        EXPECT_EQ(row.result, Contour(nullptr, &s, row.argument, 12));
        EXPECT_EQ(row.e4, s.bytes[4]);
        EXPECT_EQ(row.e5, s.bytes[5]);
        EXPECT_EQ(nullptr, s.colourBlock);
    }
    uint8_t flag = 9;
    Contour(nullptr, &flag, 0, 130);
    EXPECT_EQ(0, flag);
    EXPECT_EQ(1, qc3dxEntry(0, 0, 0, 0, 0));
    EXPECT_EQ(1, qc3dxEntry(2, 0, 0, 0, 0));
}

TEST(ContourEntry, ColourMapLoadAndTheOlderSetUp)
{
    TestHost host;
    EXPECT_EQ(0, Contour((HWND)0x77, (void*)host.callback(), 0, 60));
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(0x77, host.calls[0].context);

    // Without a colour map the older set-up finds no block and leaves the record's
    // block field empty instead of writing through it.
    Record r{};
    Contour(nullptr, &r, 0, 40);
    EXPECT_EQ(nullptr, r.colourBlock);
    EXPECT_EQ(192, r.bytes[2]);

    double range[2] = {3, 3};
    Contour(nullptr, range, 0, 100);
    Contour(nullptr, range, 0, 220);
    auto* block = reinterpret_cast<ZColorsBlock*>(host.blocks["ZCOLORS"].data());
    EXPECT_EQ(3, block->zMin);

    // With a block the range of zero width becomes -2 .. 2.
    Contour(nullptr, &r, 0, 40);
    block = reinterpret_cast<ZColorsBlock*>(host.blocks["ZCOLORS"].data());
    EXPECT_EQ(block, r.colourBlock);
    EXPECT_EQ(-2, block->zMin);
    EXPECT_EQ(2, block->zMax);
    EXPECT_EQ(3, block->digits);
}
