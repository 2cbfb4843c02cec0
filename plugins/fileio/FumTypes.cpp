// The checked properties of fum and the conversion of doubles to the bytes of binary
// items and back.
#include "Fum.h"

#include <math.h>
#include <string.h>

IMPLEMENT_DYNAMIC(QmErrorInt, QmInt)
IMPLEMENT_DYNAMIC(QmLimited, QmInt)
IMPLEMENT_DYNAMIC(QmBounded, QmLimited)
IMPLEMENT_DYNAMIC(QmDiscrete, QmLimited)
IMPLEMENT_DYNAMIC(QmHFILE, QmLimited)

static int Truncated(double v)
{
    QmInt scratch;
    scratch.QmInt::SetValue(v);
    return scratch.value;
}

// ---- Checked properties ---------------------------------------------------------------

int QmLimited::SetValue(double v)
{
    int t = Truncated(v);
    if (FumExtended()) {
        int r = Check(t);
        if (r)
            return r;
    }
    value = t;
    return 0;
}

int QmLimited::SetChecked(double v)
{
    int t = Truncated(v);
    int r = Check(t);
    if (r)
        return r;
    value = t;
    return 0;
}

QmBounded::QmBounded(int lowest, int highest, int start) : low(lowest), high(highest), initial(start)
{
    value = start;
}

int QmBounded::Check(int v)
{
    if (v >= low && v <= high)
        return 0;
    return TheFum().Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
}

void QmBounded::init()
{
    QmInt::init();
    // A table reset brings integer properties to 0; the root's defaults then restore
    // the ones that start elsewhere.
    value = 0;
}

QmDiscrete::QmDiscrete(std::vector<int> values) : allowed(std::move(values))
{
    value = allowed.empty() ? 0 : allowed[0];
}

int QmDiscrete::Check(int v)
{
    for (int a : allowed)
        if (a == v)
            return 0;
    return TheFum().Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
}

void QmDiscrete::init()
{
    QmInt::init();
    value = 0;
}

int QmHFILE::Check(int v)
{
    FUM& fum = TheFum();
    if (v < 0 || v > 99999)
        return fum.Fail(FUM_ERR_HFILE_RANGE, FUM_OLD_RANGE);
    file = fum.files.FindByHandle(v);
    if (!file)
        return fum.Fail(FUM_ERR_NOT_OPEN, FUM_OLD_FILE, 0, 9);
    return 0;
}

void QmHFILE::Reset()
{
    value = -1;
    file = nullptr;
}

void QmHFILE::init()
{
    QmInt::init();
    file = nullptr;
}

void QmHFILE::Attach(FUM_File* f)
{
    value = f->Handle();
    file = f;
}

void QmHFILE::Forget()
{
    file = nullptr;
    if (FumExtended())
        Reset();
}

// ---- The converter --------------------------------------------------------------------

FUM_TypeConverter g_fumConverter;

void FUM_TypeConverter::LoadSettings()
{
    FUM& fum = TheFum();
    isSigned = static_cast<uint8_t>(fum.isSigned.value);
    byteOrder = static_cast<uint8_t>(fum.byteOrder.value);
}

void FUM_TypeConverter::Reverse(uint8_t* bytes, int n)
{
    for (int i = 0, j = n - 1; i < j; ++i, --j) {
        uint8_t t = bytes[i];
        bytes[i] = bytes[j];
        bytes[j] = t;
    }
}

// Integer writes keep the low bytes of the value truncated to 64 bits, so that values
// above the item's range wrap as they always have (300 as a byte is 44).
static uint64_t LowBits(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 9.2233720368547758e18 || v <= -9.2233720368547758e18)
        return 0;
    return static_cast<uint64_t>(static_cast<int64_t>(v));
}

static int WriteInt1(uint8_t* b, double* v)
{
    b[0] = static_cast<uint8_t>(LowBits(*v));
    return 0;
}

static int ReadInt1(uint8_t* b, double* v)
{
    *v = g_fumConverter.isSigned ? static_cast<double>(static_cast<int8_t>(b[0])) : b[0];
    return 0;
}

static int WriteInt2(uint8_t* b, double* v)
{
    uint16_t u = static_cast<uint16_t>(LowBits(*v));
    memcpy(b, &u, 2);
    // Reversed whenever reading reverses, so that a short written reads back.
    if (g_fumConverter.byteOrder)
        FUM_TypeConverter::Reverse(b, 2);
    return 0;
}

static int ReadInt2(uint8_t* b, double* v)
{
    if (g_fumConverter.byteOrder)
        FUM_TypeConverter::Reverse(b, 2);
    uint16_t u;
    memcpy(&u, b, 2);
    *v = g_fumConverter.isSigned ? static_cast<double>(static_cast<int16_t>(u)) : u;
    return 0;
}

static int WriteInt3(uint8_t* b, double* v)
{
    int32_t t = static_cast<int32_t>(LowBits(*v));
    bool inRange = g_fumConverter.isSigned ? (t >= -8388608 && t <= 8388607) : (t >= 0 && t <= 16777215);
    if (!inRange)
        TheFum().error.value = FUM_ERR_CONVERSION;
    uint32_t u = static_cast<uint32_t>(t);
    b[0] = static_cast<uint8_t>(u);
    b[1] = static_cast<uint8_t>(u >> 8);
    b[2] = static_cast<uint8_t>(u >> 16);
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 3);
    return 0;
}

static int ReadInt3(uint8_t* b, double* v)
{
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 3);
    uint32_t u = b[0] | (b[1] << 8) | (static_cast<uint32_t>(b[2]) << 16);
    if (g_fumConverter.isSigned && (u & 0x800000))
        *v = static_cast<double>(static_cast<int32_t>(u | 0xFF000000u));
    else
        *v = u;
    return 0;
}

static int WriteInt4(uint8_t* b, double* v)
{
    uint32_t u = static_cast<uint32_t>(LowBits(*v));
    memcpy(b, &u, 4);
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 4);
    return 0;
}

static int ReadInt4(uint8_t* b, double* v)
{
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 4);
    uint32_t u;
    memcpy(&u, b, 4);
    *v = g_fumConverter.isSigned ? static_cast<double>(static_cast<int32_t>(u)) : u;
    return 0;
}

static int WriteFloat4(uint8_t* b, double* v)
{
    float f = static_cast<float>(*v);
    memcpy(b, &f, 4);
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 4);
    return 0;
}

static int ReadFloat4(uint8_t* b, double* v)
{
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 4);
    float f;
    memcpy(&f, b, 4);
    *v = f;
    return 0;
}

static int WriteFloat8(uint8_t* b, double* v)
{
    memcpy(b, v, 8);
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 8);
    return 0;
}

static int ReadFloat8(uint8_t* b, double* v)
{
    if (g_fumConverter.byteOrder == 2)
        FUM_TypeConverter::Reverse(b, 8);
    memcpy(v, b, 8);
    return 0;
}

static int WriteFloat10(uint8_t* b, double* v)
{
    uint8_t in[8];
    memcpy(in, v, 8);
    FUM_DoubleToExtended(in, b);
    return 0;
}

static int ReadFloat10(uint8_t* b, double* v)
{
    *v = FUM_ExtendedToDouble(b);
    if (*v == MISSING_VALUE)
        TheFum().error.value = FUM_ERR_CONVERSION;
    return 0;
}

// Decimal items: eighteen digits, two per byte, least significant byte first (the low
// nibble the lower digit), sign in bit 7 of byte 9 — one layout for both directions.
static int WriteDecimal(uint8_t* b, double* v)
{
    memset(b, 0, 10);
    double x = *v;
    if (!(x == x))
        return 0;
    if (x < 0) {
        b[9] = 0x80;
        x = -x;
    }
    x = floor(x);
    // Eighteen digits are all the item holds; like an integer item too narrow for its
    // value, the low digits are written and the loss is told through ERROR. The digits
    // are taken in integer arithmetic: dividing a large double by ten rounds.
    if (x >= 1e18) {
        TheFum().error.value = FUM_ERR_CONVERSION;
        x = fmod(x, 1e18);
    }
    uint64_t u = static_cast<uint64_t>(x);
    for (int i = 0; i < 9; ++i) {
        int low = static_cast<int>(u % 10);
        u /= 10;
        int high = static_cast<int>(u % 10);
        u /= 10;
        b[i] = static_cast<uint8_t>(low | (high << 4));
    }
    return 0;
}

static int ReadDecimal(uint8_t* b, double* v)
{
    uint64_t u = 0;
    for (int i = 8; i >= 0; --i) {
        int high = b[i] >> 4, low = b[i] & 15;
        if (high > 9 || low > 9) {
            TheFum().error.value = FUM_ERR_DIGIT;
            return FUM_ERR_DIGIT;
        }
        u = u * 100 + static_cast<uint64_t>(high * 10 + low);
    }
    double x = static_cast<double>(u);
    *v = (b[9] & 0x80) ? -x : x;
    return 0;
}

int FUM_SelectConversion(FumCodec* codec, int typeClass, int size, bool read)
{
    *codec = nullptr;
    if (typeClass == FUM_CLASS_INTEGER) {
        switch (size) {
        case 1: *codec = read ? ReadInt1 : WriteInt1; break;
        case 2: *codec = read ? ReadInt2 : WriteInt2; break;
        case 3: *codec = read ? ReadInt3 : WriteInt3; break;
        case 4: *codec = read ? ReadInt4 : WriteInt4; break;
        }
    } else if (typeClass == FUM_CLASS_FLOAT) {
        switch (size) {
        case 4: *codec = read ? ReadFloat4 : WriteFloat4; break;
        case 8: *codec = read ? ReadFloat8 : WriteFloat8; break;
        case 10: *codec = read ? ReadFloat10 : WriteFloat10; break;
        }
    } else if (typeClass == FUM_CLASS_DECIMAL) {
        *codec = read ? ReadDecimal : WriteDecimal;
    }
    if (*codec)
        return 0;
    TheFum().error.value = FUM_ERR_TYPE;
    return FUM_ERR_TYPE;
}

// Bit helpers over little-endian byte arrays.
static int Bit(const uint8_t* b, int i) { return (b[i >> 3] >> (i & 7)) & 1; }
static void SetBit(uint8_t* b, int i, int on)
{
    if (on)
        b[i >> 3] |= static_cast<uint8_t>(1 << (i & 7));
    else
        b[i >> 3] &= static_cast<uint8_t>(~(1 << (i & 7)));
}

void FUM_DoubleToExtended(const uint8_t in[8], uint8_t out[10])
{
    memset(out, 0, 10);
    bool zero = true;
    for (int i = 0; i < 8; ++i)
        zero = zero && in[i] == 0;
    if (zero)
        return;
    for (int i = 0; i < 52; ++i)
        SetBit(out, 11 + i, Bit(in, i));
    SetBit(out, 63, 1);
    for (int i = 0; i < 10; ++i)
        SetBit(out, 64 + i, Bit(in, 52 + i));
    if (!Bit(in, 62))
        for (int i = 74; i <= 77; ++i)
            SetBit(out, i, 1);
    SetBit(out, 78, Bit(in, 62));
    SetBit(out, 79, Bit(in, 63));
}

double FUM_ExtendedToDouble(const uint8_t in[10])
{
    bool zero = true;
    for (int i = 0; i < 10; ++i)
        zero = zero && in[i] == 0;
    if (zero)
        return 0.0;
    int middle = Bit(in, 74) + Bit(in, 75) + Bit(in, 76) + Bit(in, 77);
    int top = Bit(in, 78);
    if (!((middle == 4 && top == 0) || (middle == 0 && top == 1)))
        return MISSING_VALUE;
    uint8_t out[8] = {};
    for (int i = 0; i < 52; ++i)
        SetBit(out, i, Bit(in, 11 + i));
    for (int i = 0; i < 10; ++i)
        SetBit(out, 52 + i, Bit(in, 64 + i));
    SetBit(out, 62, top);
    SetBit(out, 63, Bit(in, 79));
    double v;
    memcpy(&v, out, 8);
    return v;
}
