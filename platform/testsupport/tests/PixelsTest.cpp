#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <iterator>

#include "qxtest/Pixels.h"

namespace {

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t Be32(const std::string &s, size_t at)
{
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint8_t(s[at + 3]);
}

TEST(Pixels, CapturesWhatGdiDrewIntoAMemoryCanvas)
{
    qxtest::MemoryCanvas canvas(40, 30);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r = {10, 5, 20, 15};
    FillRect(canvas.dc(), &r, red);
    DeleteObject(red);
    SetPixel(canvas.dc(), 39, 29, RGB(0, 0, 255));

    qxtest::Image image = canvas.Capture();
    ASSERT_EQ(image.width, 40);
    ASSERT_EQ(image.height, 30);
    EXPECT_EQ(image.ColorAt(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.ColorAt(10, 5), RGB(255, 0, 0));
    EXPECT_EQ(image.ColorAt(19, 14), RGB(255, 0, 0));
    EXPECT_EQ(image.ColorAt(20, 15), RGB(255, 255, 255)) << "FillRect excludes right and bottom";
    EXPECT_EQ(image.ColorAt(39, 29), RGB(0, 0, 255)) << "rows are top first";
    EXPECT_EQ(image.Count(RGB(255, 0, 0)), 100);

    qxtest::Image part = qxtest::CaptureDC(canvas.dc(), RECT{10, 5, 12, 7});
    EXPECT_EQ(part.width, 2);
    EXPECT_EQ(part.Count(RGB(255, 0, 0)), 4);
}

TEST(Pixels, WritesBmpAndPngFiles)
{
    qxtest::MemoryCanvas canvas(300, 250);  // more than one stored deflate block of PNG data
    SetPixel(canvas.dc(), 1, 0, RGB(1, 2, 3));
    qxtest::Image image = canvas.Capture();

    ASSERT_TRUE(image.WriteBmp("pixels_test.bmp"));
    std::string bmp = ReadAll("pixels_test.bmp");
    ASSERT_EQ(bmp.size(), 14u + 40u + 300u * 250u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    // Top-down rows, BGRA: the second pixel of the first row.
    EXPECT_EQ(uint8_t(bmp[54 + 4]), 3);
    EXPECT_EQ(uint8_t(bmp[54 + 5]), 2);
    EXPECT_EQ(uint8_t(bmp[54 + 6]), 1);

    ASSERT_TRUE(image.WritePng("pixels_test.png"));
    std::string png = ReadAll("pixels_test.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(Be32(png, 16), 300u);
    EXPECT_EQ(Be32(png, 20), 250u);
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    DeleteFileA("pixels_test.bmp");
    DeleteFileA("pixels_test.png");
}

} // namespace
