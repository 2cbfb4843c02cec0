#include "qxtest/Pixels.h"

#include <cstdio>
#include <cstring>

namespace qxtest {

COLORREF Image::ColorAt(int x, int y) const
{
    uint32_t p = At(x, y);
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
}

int Image::Count(COLORREF color) const
{
    uint32_t want = (uint32_t(GetRValue(color)) << 16) | (uint32_t(GetGValue(color)) << 8) | GetBValue(color);
    int n = 0;
    for (uint32_t p : pixels)
        n += p == want;
    return n;
}

static void Put32le(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xff));
}

static void Put16le(std::string &out, uint16_t v)
{
    out.push_back(char(v & 0xff));
    out.push_back(char(v >> 8));
}

static bool WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool Image::WriteBmp(const std::string &path) const
{
    // 32 bits per pixel, top-down (negative height), no compression.
    std::string out;
    uint32_t dataSize = uint32_t(width) * uint32_t(height) * 4;
    out += "BM";
    Put32le(out, 14 + 40 + dataSize);
    Put32le(out, 0);
    Put32le(out, 14 + 40);
    Put32le(out, 40);
    Put32le(out, uint32_t(width));
    Put32le(out, uint32_t(-height));
    Put16le(out, 1);
    Put16le(out, 32);
    Put32le(out, BI_RGB);
    Put32le(out, dataSize);
    Put32le(out, 2835);
    Put32le(out, 2835);
    Put32le(out, 0);
    Put32le(out, 0);
    for (uint32_t p : pixels)
        Put32le(out, p & 0x00ffffff);
    return WriteFile(path, out);
}

static uint32_t Crc32(const unsigned char *data, size_t n, uint32_t crc = 0)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

static void Put32be(std::string &out, uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(char((v >> (8 * i)) & 0xff));
}

static void PngChunk(std::string &out, const char *type, const std::string &data)
{
    Put32be(out, uint32_t(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Put32be(out, Crc32(reinterpret_cast<const unsigned char *>(body.data()), body.size()));
}

bool Image::WritePng(const std::string &path) const
{
    // RGB, 8 bits per channel; the image data is a zlib stream of stored (uncompressed)
    // deflate blocks, which every PNG reader accepts and which needs no compressor.
    std::string raw;
    raw.reserve(size_t(height) * (1 + size_t(width) * 3));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            uint32_t p = At(x, y);
            raw.push_back(char((p >> 16) & 0xff));
            raw.push_back(char((p >> 8) & 0xff));
            raw.push_back(char(p & 0xff));
        }
    }
    std::string z = "\x78\x01";
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(char(last ? 1 : 0));
        Put16le(z, uint16_t(n));
        Put16le(z, uint16_t(~n));
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32be(z, (b << 16) | a);

    std::string ihdr;
    Put32be(ihdr, uint32_t(width));
    Put32be(ihdr, uint32_t(height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);

    std::string out = "\x89PNG\r\n\x1a\n";
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", "");
    return WriteFile(path, out);
}

// 32 bits per pixel, top row first: the layout of Image::pixels.
static BITMAPINFO TopDownInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

MemoryCanvas::MemoryCanvas(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info = TopDownInfo(width, height);
    void *bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

Image MemoryCanvas::Capture() const
{
    GdiFlush();
    Image image;
    image.width = width_;
    image.height = height_;
    image.pixels.resize(size_t(width_) * height_);
    BITMAPINFO info = TopDownInfo(width_, height_);
    GetDIBits(dc_, bitmap_, 0, UINT(height_), image.pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t &p : image.pixels)
        p &= 0x00ffffff;
    return image;
}

Image CaptureDC(HDC dc, const RECT &rect)
{
    MemoryCanvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    BitBlt(canvas.dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, dc, rect.left, rect.top, SRCCOPY);
    return canvas.Capture();
}

} // namespace qxtest
