// Binary records and their templates. The record bytes are assembled here from the
// compiler's own little-endian types.
#include "FumFixture.h"

#include <string.h>

#include "qxdefs.h"

namespace {

template <typename T>
void Put(std::vector<unsigned char>& out, T v)
{
    unsigned char b[sizeof v];
    memcpy(b, &v, sizeof v);
    out.insert(out.end(), b, b + sizeof v);
}

std::vector<double> Column(const char* name)
{
    HostDataset* d = TestHost::Get().DatasetByName(name);
    return d ? d->values : std::vector<double>{-999};
}

} // namespace

TEST_F(FumTest, RecordsReadIntoColumnsAndWriteBackByteForByte)
{
    // by|-sh2|4|d: a byte, two signed shorts, four bytes to skip, a double: 17 bytes.
    std::vector<unsigned char> file;
    const double d[3] = {0.5, -1e100, 3};
    for (int r = 0; r < 3; ++r) {
        Put<uint8_t>(file, static_cast<uint8_t>(250 + r));
        Put<int16_t>(file, static_cast<int16_t>(-1000 * r));
        Put<int16_t>(file, static_cast<int16_t>(7 + r));
        Put<uint32_t>(file, 0);
        Put<double>(file, d[r]);
    }
    WriteBytes(Path("rec.bin"), file);
    TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D"}, 0);
    Value("OPEN", Path("rec.bin"));
    EXPECT_EQ(Value("READRECORD", "W,3,by|-sh2|4|d"), 3);
    EXPECT_EQ(Value("GETPOS"), 51);
    EXPECT_EQ(Column("W_A"), (std::vector<double>{250, 251, 252}));
    EXPECT_EQ(Column("W_B"), (std::vector<double>{0, -1000, -2000}));
    EXPECT_EQ(Column("W_C"), (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(Column("W_D"), (std::vector<double>(d, d + 3)));

    Value("OPEN", Path("out.bin") + ",1");
    EXPECT_EQ(Value("WRITERECORD", "W,3,BYTE|-SH2|SK4|DOUBLE"), 0);
    EXPECT_EQ(Value("CLOSE"), 0);
    EXPECT_EQ(ReadBytes(Path("out.bin")), file);

    // Unsigned shorts without the mark, whatever SIGNED says; a closing skip is not read
    // after the last record.
    ASSERT_EQ(Set("SIGNED", 1), 1);
    Value("OPEN", Path("rec.bin"));
    EXPECT_EQ(Value("RREAD", "W,2,SK1|SH|14"), 2);
    EXPECT_EQ(Value("GETPOS"), 17 + 3);
    EXPECT_EQ(Column("W_A"), (std::vector<double>{0, 64536, 252}));
}

TEST_F(FumTest, RecordTemplatesAndTheirErrors)
{
    WriteBytes(Path("z.bin"), std::vector<unsigned char>(200, 0));
    TestHost::Get().AddWorksheet("W", {"A", "B"}, 0);
    struct Row {
        const char* argument;
        double classicError, extendedError;
    } rows[] = {
        {"W,1,LO0", 17, 17}, {"W,1,QQ", 16, 16}, {"W,1,BY||SH", 16, 16}, {"W,1,BY|", 16, 16},
        {"W,1,-5", 16, 16},  {"W,1,D2X", 16, 16}, {"W,1,by|99999999999", 16, 16},
        {"W,1", 1024, 10},   {",1,BY", 1024, 10},
    };
    Value("OPEN", Path("z.bin"));
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.argument) + " extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            EXPECT_EQ(Run("READRECORD", row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
            EXPECT_EQ(Value("GETPOS"), 0);
        }
    ASSERT_EQ(Set("NEWACTIONS", 0), 1);
    // LO|8: 12-byte records whose last skip is not read: 10 x 12 - 8 bytes.
    EXPECT_EQ(Value("READRECORD", "W,10,LO|8"), 10);
    EXPECT_EQ(Value("GETPOS"), 112);
    // DX2 is two doubles; SK alone skips one byte.
    EXPECT_EQ(Value("REWIND"), 0);
    EXPECT_EQ(Value("READRECORD", "W,1,SK|DX2"), 1);
    EXPECT_EQ(Value("GETPOS"), 17);

    // Three values a record and two columns: nothing is written and the call fails.
    Value("OPEN", Path("few.bin") + ",1");
    EXPECT_EQ(Run("WRITERECORD", "W,1,BY3"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 38);
    EXPECT_EQ(Value("SIZE"), 0);
}
