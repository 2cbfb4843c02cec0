// Single binary values and file positions: byte-exact files, round trips, and the errors
// of both reporting modes. Reference bytes come from the compiler's own little-endian
// types (memcpy of an int16_t, float, double), not from the plug-in.
#include "FumFixture.h"

#include <string.h>

#include "qxdefs.h"

namespace {

template <typename T>
std::vector<unsigned char> BytesOf(T v)
{
    std::vector<unsigned char> b(sizeof v);
    memcpy(b.data(), &v, sizeof v);
    return b;
}

std::vector<unsigned char> Join(std::initializer_list<std::vector<unsigned char>> parts)
{
    std::vector<unsigned char> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST_F(FumTest, ValuesWrittenAreTheBytesOfTheirTypesAndReadBack)
{
    double h = Value("OPEN", Path("v.bin") + ",2");
    ASSERT_EQ(Set("SIGNED", 1), 1);
    EXPECT_EQ(Value("WRITE", "-2,2"), 2);
    EXPECT_EQ(Value("WRITE", "1000,1"), 1);
    EXPECT_EQ(Value("WRITE", "-100000,4"), 4);
    EXPECT_EQ(Value("FWRITE", "1.5"), 4);
    EXPECT_EQ(Value("DWRITE", "-0.1"), 8);
    EXPECT_EQ(Value("WRITE", "-8388608,3"), 3);
    EXPECT_EQ(Value("GETPOS"), 22);
    ASSERT_EQ(Value("CLOSE"), 0);
    EXPECT_EQ(ReadBytes(Path("v.bin")),
              Join({BytesOf<int16_t>(-2), {0xE8}, BytesOf<int32_t>(-100000), BytesOf(1.5f),
                    BytesOf(-0.1), {0x00, 0x00, 0x80}}));

    Value("OPEN", Path("v.bin"));
    EXPECT_EQ(Value("READ", "2"), -2);
    EXPECT_EQ(Value("READ", "1"), -24);   // 0xE8 as a signed byte
    EXPECT_EQ(Value("READ", "4"), -100000);
    EXPECT_EQ(Value("FREAD"), 1.5);
    EXPECT_EQ(Value("DREAD"), -0.1);
    EXPECT_EQ(Value("READ", "3"), -8388608);
    (void)h;
}

TEST_F(FumTest, WidthsSignsAndByteOrderOfReads)
{
    WriteBytes(Path("ff.bin"), {0xFF, 0xFF, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F});
    Value("OPEN", Path("ff.bin"));
    ASSERT_EQ(Set("NBYTES", 2), 1);
    ASSERT_EQ(Set("SIGNED", 1), 1);
    EXPECT_EQ(Value("READ"), -1);
    EXPECT_EQ(Value("GETPOS"), 2);
    ASSERT_EQ(Set("SIGNED", 0), 1);
    EXPECT_EQ(Value("READ", "2,") , 513);
    EXPECT_EQ(Value("SETPOS", "0"), 0);
    EXPECT_EQ(Value("READ"), 65535);
    ASSERT_EQ(Set("BYTEORDER", 1), 1);
    EXPECT_EQ(Value("READ"), 258);
    EXPECT_EQ(Value("LDREAD"), 1.0);
    EXPECT_EQ(Value("REWIND"), 0);
    EXPECT_EQ(Value("READ", "3"), 0x01FFFF);

    // NBYTES 8 is no width for READ; neither is an nBytes argument of 8.
    struct Row {
        const char* argument;
        double classicError, extendedError;
    } rows[] = {{"8", 2, 268}, {"", 2, 12}};
    ASSERT_EQ(Set("NBYTES", 8), 1);
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string("READ(") + row.argument + ") extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            EXPECT_EQ(Run("READ", row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
        }
}

TEST_F(FumTest, ReadsAtTheEndOfTheFileFailInBothModes)
{
    WriteBytes(Path("short.bin"), {0x01, 0x02, 0x03});
    Value("OPEN", Path("short.bin"));
    struct Row {
        const char* method;
        const char* argument;
        double classicError;
    } rows[] = {{"READ", "4", 1158}, {"FREAD", "", 1157}, {"DREAD", "", 1157}};
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.method) + " extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            ASSERT_EQ(Value("SETPOS", "1"), 1);
            double v = -999;
            // Two bytes are left: the value would be made of a stale buffer.
            EXPECT_EQ(Run(row.method, row.argument, &v), QM_NOT_HANDLED);
            EXPECT_EQ(v, extended ? MISSING_VALUE : 0);
            EXPECT_EQ(Get("ERROR"), extended ? 33 : row.classicError);
        }
}

TEST_F(FumTest, WriteErrorsAndTheRefusedExtendedWrite)
{
    Value("OPEN", Path("w.bin") + ",1");
    struct Row {
        const char* method;
        const char* argument;
        double classicError, extendedError;
    } rows[] = {{"WRITE", "", 65, 10}, {"FWRITE", "", 65, 10}, {"WRITE", "1,5", 2, 268}};
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.method) + "(" + row.argument + ") extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            EXPECT_EQ(Run(row.method, row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
        }
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    ASSERT_EQ(Run("DREAD", ""), QM_NOT_HANDLED); // written only: the read fails
    EXPECT_EQ(Get("ERROR"), 28);
    Printed().clear();
    EXPECT_EQ(Run("LDWRITE", "1"), QM_NOT_HANDLED);
    EXPECT_EQ(Printed(), std::vector<std::string>{"file.LDWrite() is not supported in this version"});
    EXPECT_EQ(Get("ERROR"), 28);
    EXPECT_EQ(Value("SIZE"), 0);
}

TEST_F(FumTest, PositionsMoveByBytesAndChunks)
{
    WriteBytes(Path("k.bin"), std::vector<unsigned char>(1000, 7));
    Value("OPEN", Path("k.bin"));
    EXPECT_EQ(Value("TOEND"), 1000);
    EXPECT_EQ(Value("GETPOS"), 1000);
    EXPECT_EQ(Value("JUMP", "-4"), 996);
    EXPECT_EQ(Value("TOBEGINNING"), 0);
    ASSERT_EQ(Set("NBYTES", 4), 1);
    EXPECT_EQ(Value("JUMPCHUNK", "3"), 12);
    EXPECT_EQ(Value("JUMPCHUNKS", "3,2"), 18);
    EXPECT_EQ(Value("FASTFORWARD"), 1000);

    struct Row {
        const char* method;
        const char* argument;
        double classicError, extendedError;
    } rows[] = {
        {"SETPOS", "", 65, 10},
        {"JUMP", "", 10, 10},
        {"JUMPCHUNK", "3,5", 3, 12},
        {"SWITCHMODE", "", 65, 10},
        // Before the start of the file.
        {"SETPOS", "-1", 1156, 27},
    };
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.method) + "(" + row.argument + ") extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            ASSERT_EQ(Value("SETPOS", "20"), 20);
            EXPECT_EQ(Run(row.method, row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
            EXPECT_EQ(Value("GETPOS"), 20);
        }
}

TEST_F(FumTest, SwitchModeReopensAtTheSamePositionWithoutTruncating)
{
    WriteBytes(Path("s.bin"), std::vector<unsigned char>(16, 0xAA));
    Value("OPEN", Path("s.bin"));
    ASSERT_EQ(Value("SETPOS", "10"), 10);
    double h = Value("SWITCHMODE", "1");
    EXPECT_EQ(Get("HFILE"), h);
    EXPECT_EQ(Value("GETPOS"), 10);
    EXPECT_EQ(Value("WRITE", "1,1"), 1);
    // A wrong mode is refused and leaves the file open and usable.
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("SWITCHMODE", "5"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 12);
    EXPECT_EQ(Value("WRITE", "2,1"), 1);
    EXPECT_EQ(Value("CLOSE"), 0);
    std::vector<unsigned char> expected(16, 0xAA);
    expected[10] = 1;
    expected[11] = 2;
    EXPECT_EQ(ReadBytes(Path("s.bin")), expected);
}
