// The binary item conversions, in-process. References: the byte layouts of little-endian
// IEEE and two's complement integers as the compiler's own types store them, and the
// 80-bit extended layout of the x87 (long double under mingw), an independent encoder.
#include <gtest/gtest.h>

#include <string.h>

#include "Fum.h"
#include "qxdefs.h"

namespace {

typedef std::vector<uint8_t> Bytes;

struct Settings {
    int byteOrder, isSigned, extended;
};

void Apply(const Settings& s)
{
    FUM& fum = TheFum();
    fum.byteOrder.value = s.byteOrder;
    fum.isSigned.value = s.isSigned;
    fum.newActions.value = s.extended;
    fum.error.value = 0;
    g_fumConverter.LoadSettings();
}

Bytes Encode(int typeClass, int size, double v)
{
    FumCodec codec = nullptr;
    EXPECT_EQ(FUM_SelectConversion(&codec, typeClass, size, false), 0);
    Bytes b(size);
    if (codec)
        codec(b.data(), &v);
    return b;
}

double Decode(int typeClass, Bytes b)
{
    FumCodec codec = nullptr;
    EXPECT_EQ(FUM_SelectConversion(&codec, typeClass, static_cast<int>(b.size()), true), 0);
    double v = -999;
    if (codec)
        codec(b.data(), &v);
    return v;
}

} // namespace

TEST(FumConverter, IntegerAndFloatItemsByteForByte)
{
    struct Row {
        Settings s;
        int typeClass, size;
        double value;
        Bytes bytes;
        double readBack;
    } rows[] = {
        {{0, 0, 0}, 0, 1, 300, {44}, 44},
        {{0, 0, 0}, 0, 1, -1, {0xFF}, 255},
        {{0, 1, 0}, 0, 1, -1, {0xFF}, -1},
        {{0, 0, 0}, 0, 2, 513, {0x01, 0x02}, 513},
        // A big-endian short is written and read reversed in both modes, so that what
        // is written reads back.
        {{1, 0, 0}, 0, 2, 513, {0x02, 0x01}, 513},
        {{1, 0, 1}, 0, 2, 513, {0x02, 0x01}, 513},
        {{0, 1, 0}, 0, 2, -2, {0xFE, 0xFF}, -2},
        {{0, 1, 0}, 0, 3, -8388608, {0x00, 0x00, 0x80}, -8388608},
        {{2, 0, 0}, 0, 3, 0x010203, {0x01, 0x02, 0x03}, 0x010203},
        {{0, 0, 0}, 0, 4, 4294967295.0, {0xFF, 0xFF, 0xFF, 0xFF}, 4294967295.0},
        {{2, 1, 0}, 0, 4, -2, {0xFF, 0xFF, 0xFF, 0xFE}, -2},
        // Byte order 1 leaves 4-byte items alone; only 2 reverses them.
        {{1, 1, 0}, 0, 4, 1, {0x01, 0, 0, 0}, 1},
        {{0, 0, 0}, 1, 4, 1.5, {0x00, 0x00, 0xC0, 0x3F}, 1.5},
        {{2, 0, 0}, 1, 4, 1.5, {0x3F, 0xC0, 0x00, 0x00}, 1.5},
        {{0, 0, 0}, 1, 8, -2.0, {0, 0, 0, 0, 0, 0, 0, 0xC0}, -2.0},
        {{2, 0, 0}, 1, 8, -2.0, {0xC0, 0, 0, 0, 0, 0, 0, 0}, -2.0},
        {{0, 0, 0}, 1, 10, 1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, 1.0},
        // Decimal: two digits a byte, least significant first, sign in byte 9.
        {{0, 0, 0}, 2, 10, -1234, {0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0x80}, -1234},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("class " + std::to_string(row.typeClass) + " size " + std::to_string(row.size) +
                     " value " + std::to_string(row.value) + " order " + std::to_string(row.s.byteOrder) +
                     " extended " + std::to_string(row.s.extended));
        Apply(row.s);
        EXPECT_EQ(Encode(row.typeClass, row.size, row.value), row.bytes);
        EXPECT_EQ(Decode(row.typeClass, row.bytes), row.readBack);
        EXPECT_EQ(TheFum().error.value, 0);
    }
}

TEST(FumConverter, OutOfRangeAndUnknownItems)
{
    Apply({0, 1, 0});
    EXPECT_EQ(Encode(0, 3, 8388608), (Bytes{0x00, 0x00, 0x80}));
    EXPECT_EQ(TheFum().error.value, 34);

    Apply({0, 0, 0});
    EXPECT_EQ(Decode(1, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), MISSING_VALUE);
    EXPECT_EQ(TheFum().error.value, 34);

    Apply({0, 0, 0});
    EXPECT_EQ(Encode(2, 10, 1e18 + 1024), (Bytes{0x24, 0x10, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(TheFum().error.value, 34);

    Apply({0, 0, 0});
    EXPECT_EQ(Decode(2, {0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0}), -999);
    EXPECT_EQ(TheFum().error.value, 32);

    FumCodec codec = reinterpret_cast<FumCodec>(1);
    const int refused[][2] = {{0, 5}, {0, 8}, {1, 2}, {1, 3}, {3, 4}};
    for (const auto& r : refused) {
        SCOPED_TRACE(std::to_string(r[0]) + "/" + std::to_string(r[1]));
        TheFum().error.value = 0;
        EXPECT_EQ(FUM_SelectConversion(&codec, r[0], r[1], true), 43);
        EXPECT_EQ(codec, nullptr);
        EXPECT_EQ(TheFum().error.value, 43);
    }
}

TEST(FumConverter, ExtendedValuesMatchTheX87Layout)
{
    static_assert(sizeof(long double) >= 10, "an x87 long double");
    const double values[] = {1.0, -1.0, 0.1, 3.141592653589793, 1e300, -2.5e-300, 65536.0, 0.0};
    for (double v : values) {
        SCOPED_TRACE(v);
        long double x = v;
        uint8_t reference[16] = {};
        memcpy(reference, &x, 10);
        uint8_t in[8], out[10];
        memcpy(in, &v, 8);
        FUM_DoubleToExtended(in, out);
        EXPECT_EQ(Bytes(out, out + 10), Bytes(reference, reference + 10));
        EXPECT_EQ(FUM_ExtendedToDouble(out), v);
    }
}
