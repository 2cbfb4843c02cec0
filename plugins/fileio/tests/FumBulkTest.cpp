// Blocks of binary numbers between files and datasets or worksheet rows. Reference bytes
// are built from the compiler's own types; the round trips write with AWRITE and read
// back with AREAD.
#include "FumFixture.h"

#include <string.h>

#include "qxdefs.h"

TEST_F(FumTest, BlocksOfEveryKindRoundTripThroughAFile)
{
    struct Row {
        int nBytes, skip, isSigned, byteOrder, binType;
        std::vector<double> values;
    } rows[] = {
        {1, 0, 0, 0, 0, {0, 1, 255, 128}},
        {2, 2, 1, 1, 0, {-32768, -1, 0, 32767}},
        {3, 1, 1, 2, 0, {-8388608, 8388607, 5}},
        {4, 0, 0, 2, 0, {4294967295.0, 0, 65536}},
        {4, 3, 0, 0, 1, {1.5, -0.25, 1048576.0}},
        {8, 0, 0, 2, 1, {0.1, -1e-300, 3.141592653589793}},
        {10, 0, 0, 0, 1, {1.0, -2.5, 1e300}},
        {10, 2, 0, 0, 2, {-1234, 99999999999999.0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("nBytes " + std::to_string(row.nBytes) + " skip " + std::to_string(row.skip) +
                     " binType " + std::to_string(row.binType));
        TestHost::Get().AddDataset("SRC", row.values);
        TestHost::Get().AddDataset("DST", std::vector<double>(row.values.size(), -7));
        ASSERT_EQ(Value("RESET"), 0);
        ASSERT_EQ(Set("NBYTES", row.nBytes), 1);
        ASSERT_EQ(Set("SKIP", row.skip), 1);
        ASSERT_EQ(Set("SIGNED", row.isSigned), 1);
        ASSERT_EQ(Set("BYTEORDER", row.byteOrder), 1);
        std::string path = Path("block" + std::to_string(row.nBytes) + "_" + std::to_string(row.binType) + ".bin");
        Value("OPEN", path + ",2");
        size_t n = row.values.size();
        std::string range = ",1," + std::to_string(n) + "," + std::to_string(row.binType);
        EXPECT_EQ(Value("AWRITE", "SRC" + range), n);
        size_t bytes = n * (row.nBytes + row.skip) - row.skip;
        EXPECT_EQ(Value("GETPOS"), bytes);
        EXPECT_EQ(Value("REWIND"), 0);
        EXPECT_EQ(Value("AREAD", "DST" + range), n);
        EXPECT_EQ(Value("GETPOS"), bytes);
        EXPECT_EQ(TestHost::Get().DatasetByName("DST")->values, row.values);
        EXPECT_EQ(Value("CLOSE"), 0);
        EXPECT_EQ(ReadBytes(path).size(), bytes);
        TestHost::Get().Reset();
    }
}

TEST_F(FumTest, BlockReadLandsInItsRowsAndStopsAtTheEndOfTheFile)
{
    // Ten little-endian shorts 2 bytes apart: the last gap is not read (38 bytes).
    std::vector<unsigned char> file;
    for (int i = 0; i < 10; ++i) {
        int16_t v = static_cast<int16_t>(100 * i - 3);
        unsigned char b[2];
        memcpy(b, &v, 2);
        file.insert(file.end(), {b[0], b[1], 0xEE, 0xEE});
    }
    WriteBytes(Path("s.bin"), file);
    TestHost::Get().AddDataset("D", std::vector<double>(12, -7));
    Value("OPEN", Path("s.bin"));
    ASSERT_EQ(Set("NBYTES", 2), 1);
    ASSERT_EQ(Set("SKIP", 2), 1);
    ASSERT_EQ(Set("SIGNED", 1), 1);
    EXPECT_EQ(Value("AREAD", "D,2,11,0"), 10);
    EXPECT_EQ(Value("GETPOS"), 38);
    std::vector<double> expected(12, -7);
    for (int i = 0; i < 10; ++i)
        expected[i + 1] = 100 * i - 3;
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, expected);

    // Three elements are asked for where two are left: the two are stored, the row the
    // file did not reach keeps its value, and the call fails.
    for (int extended = 0; extended < 2; ++extended) {
        SCOPED_TRACE(extended);
        ASSERT_EQ(Set("NEWACTIONS", extended), 1);
        ASSERT_EQ(Value("SETPOS", "32"), 32);
        TestHost::Get().DatasetByName("D")->values.assign(4, -7);
        double v = -999;
        EXPECT_EQ(Run("AREAD", "D,1,3,0", &v), QM_NOT_HANDLED);
        EXPECT_EQ(v, 2);
        EXPECT_EQ(Get("ERROR"), 33);
        EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, (std::vector<double>{797, 897, -7, -7}));
    }
}

TEST_F(FumTest, BlockArgumentsAndKindsInBothModes)
{
    WriteBytes(Path("z.bin"), std::vector<unsigned char>(40, 0));
    TestHost::Get().AddDataset("D", {1, 2, 3});
    struct Row {
        const char* argument;
        int nBytes, skip;
        double classicError, extendedError;
    } rows[] = {
        {"D,5,3,0", 1, 0, 64, 19},
        {"D,1,3", 1, 0, 1024, 10},
        {",1,3,0", 1, 0, 1024, 10},
        {"D,1,3,3", 1, 0, 3, 12},
        {"D,1,3,0", 8, 0, 43, 43},
        {"D,1,3,1", 2, 0, 43, 43},
        // A decimal element is ten bytes wide.
        {"D,1,3,2", 4, 0, 43, 43},
        {"D,1,3,0", 1, -1, 3, 12},
        {"D,1,0,0", 1, 0, 33, 33},
    };
    Value("OPEN", Path("z.bin"));
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string("AREAD(") + row.argument + ") nBytes " + std::to_string(row.nBytes) +
                         " extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", 0), 1);
            ASSERT_EQ(Set("NBYTES", row.nBytes), 1);
            ASSERT_EQ(Set("SKIP", row.skip), 1);
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            ASSERT_EQ(Value("REWIND"), 0);
            EXPECT_EQ(Run("AREAD", row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
            EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, (std::vector<double>{1, 2, 3}));
        }
}

TEST_F(FumTest, ReadRowBinStoresOneRowAcrossTheWorksheet)
{
    std::vector<unsigned char> file;
    for (float f : {1.5f, -2.0f, 4.25f}) {
        unsigned char b[4];
        memcpy(b, &f, 4);
        file.insert(file.end(), b, b + 4);
    }
    WriteBytes(Path("r.bin"), file);
    TestHost::Get().AddWorksheet("Data1", {"A", "B", "C"}, 0);
    Value("OPEN", Path("r.bin"));
    ASSERT_EQ(Set("NBYTES", 4), 1);
    EXPECT_EQ(Value("READROWBIN", "Data1,3,1"), 3);
    EXPECT_EQ(Value("GETPOS"), 12);
    auto rows = TestHost::Get().Requests(HOST_OBJECT_PUT_ROW);
    ASSERT_EQ(rows.size(), 1u);
    auto scripts = TestHost::Get().Requests(HOST_RUN_SCRIPT);
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(scripts[0].a), "doc -uw");

    // Columns the host does not add fail the call and store nothing.
    ASSERT_EQ(Value("REWIND"), 0);
    ASSERT_EQ(Set("NBYTES", 1), 1);
    EXPECT_EQ(Run("READROWBIN", "Data1,5,0"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 6);
    EXPECT_EQ(TestHost::Get().Requests(HOST_OBJECT_PUT_ROW).size(), 1u);
}
