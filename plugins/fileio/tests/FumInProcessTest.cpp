// The object linked into the test program, for what cannot be arranged through the DLL:
// a block buffer that cannot be had, so that the engine must split the block.
#include <gtest/gtest.h>

#include <string>

#include "Fum.h"
#include "TestHost.h"
#include "qxdefs.h"

namespace {

int Call(const char* method, const std::string& argument, double* value)
{
    return TheFum().Dispatch(TestHost::Context(), method, argument.c_str(), value, &TestHost::Callback,
                             OBJOP_CALL_METHOD);
}

} // namespace

TEST(FumInProcess, ABlockTooLargeForOneBufferIsSplitIntoItsOwnRows)
{
    TestHost::Get().Reset();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "qxfileio_split_" + std::to_string(GetCurrentProcessId()) + ".bin";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < 37; ++i)
        fputc(i + 1, f);
    fclose(f);

    TestHost::Get().AddDataset("D", std::vector<double>(40, -7));
    double v = 0;
    ASSERT_EQ(Call("RESET", "", &v), 1);
    ASSERT_EQ(Call("OPEN", path, &v), 1);
    // At most 5 bytes a piece: 37 elements go in pieces of 4 or 5.
    QmBulk::s_bufferLimit = 5;
    EXPECT_EQ(Call("AREAD", "D,2,38,0", &v), 1);
    QmBulk::s_bufferLimit = static_cast<size_t>(-1);
    EXPECT_EQ(v, 37);
    std::vector<double> expected(40, -7);
    for (int i = 0; i < 37; ++i)
        expected[i + 1] = i + 1;
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, expected);

    // READROWBIN never splits: one piece or nothing.
    QmBulk::s_bufferLimit = 5;
    TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D", "E", "F"}, 0);
    ASSERT_EQ(Call("REWIND", "", &v), 1);
    EXPECT_EQ(Call("READROWBIN", "W,6,0", &v), 2);
    QmBulk::s_bufferLimit = static_cast<size_t>(-1);
    Call("CLOSEALL", "", &v);
    DeleteFileA(path.c_str());
}
