// BMP files of saved tooltips: header fields, row padding, palettes, and the pixels read back.
#include "app/bitmap_file.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | (b[at + 1] << 8));
}

TEST(BitmapFile, TenByTwentyOn32BitScreenIs854Bytes) {
    PixelBuffer image(10, 20, RgbValue(1, 2, 3));
    std::vector<uint8_t> f = EncodeBmp32(image);
    ASSERT_EQ(f.size(), 854u);
    EXPECT_EQ(U16(f, 0), 0x4D42);
    EXPECT_EQ(U32(f, 2), 854u);
    EXPECT_EQ(U32(f, 6), 0u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U32(f, 18), 10u);
    EXPECT_EQ(U32(f, 22), 20u);
    EXPECT_EQ(U16(f, 26), 1);
    EXPECT_EQ(U16(f, 28), 32);
    EXPECT_EQ(U32(f, 30), 0u);
    EXPECT_EQ(U32(f, 34), 800u);
    for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32(f, at), 0u) << at;
}

TEST(BitmapFile, RowsAreBottomUpBlueGreenRed) {
    PixelBuffer image(2, 2);
    image.pixels = {RgbValue(10, 20, 30), RgbValue(40, 50, 60), RgbValue(70, 80, 90), RgbValue(1, 2, 3)};
    std::vector<uint8_t> f = EncodeBmp32(image);
    ASSERT_EQ(f.size(), 54u + 16u);
    // The file's first row is the picture's bottom row.
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.begin() + 62),
              (std::vector<uint8_t>{90, 80, 70, 0, 3, 2, 1, 0}));
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 62, f.end()),
              (std::vector<uint8_t>{30, 20, 10, 0, 60, 50, 40, 0}));
    // The project's own reader gives back the same pixels.
    PixelBuffer back;
    std::string error;
    ASSERT_TRUE(DecodeBmp(f.data(), f.size(), back, error)) << error;
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(BitmapFile, RowPaddingAndSystemSizeImage) {
    EXPECT_EQ(DibRowBytes(10, 24), 32u);  // 30 bytes padded to 32
    EXPECT_EQ(DibRowBytes(3, 16), 8u);
    EXPECT_EQ(DibRowBytes(9, 1), 4u);
    EXPECT_EQ(DibImageBytes(10, 20, 24), 640u);
    std::vector<uint8_t> rows(700, 0xAB);
    // A size the system filled in is written as given, with that many pixel bytes.
    std::vector<uint8_t> f = EncodeBitmapFile({10, 20, 24, 700}, nullptr, rows.data(), rows.size());
    ASSERT_EQ(f.size(), 54u + 700u);
    EXPECT_EQ(U32(f, 2), 754u);
    EXPECT_EQ(U32(f, 34), 700u);
    // Left at 0, it is computed from the width, the bit count and the height.
    f = EncodeBitmapFile({10, 20, 24, 0}, nullptr, rows.data(), rows.size());
    EXPECT_EQ(U32(f, 34), 640u);
    EXPECT_EQ(f.size(), 54u + 640u);
}

TEST(BitmapFile, PalettePicturesCarryTheirColourTable) {
    EXPECT_EQ(DibPaletteBytes(8), 1024u);
    EXPECT_EQ(DibPaletteBytes(1), 8u);
    EXPECT_EQ(DibPaletteBytes(16), 0u);
    std::vector<uint8_t> palette(1024);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint8_t(i);
    std::vector<uint8_t> rows(DibImageBytes(5, 3, 8), 7);
    std::vector<uint8_t> f = EncodeBitmapFile({5, 3, 8, 0}, palette.data(), rows.data(), rows.size());
    ASSERT_EQ(f.size(), 54u + 1024u + 24u);
    EXPECT_EQ(U32(f, 10), 54u + 1024u);
    EXPECT_EQ(U32(f, 2), f.size());
    EXPECT_EQ(f[54 + 1023], 0xFF);
    EXPECT_EQ(f[54 + 1024], 7);
}

TEST(BitmapFile, RefusesWhatAFileCannotHold) {
    std::vector<uint8_t> rows(1000);
    EXPECT_TRUE(EncodeBitmapFile({0, 5, 32, 0}, nullptr, rows.data(), rows.size()).empty());
    EXPECT_TRUE(EncodeBitmapFile({5, -5, 32, 0}, nullptr, rows.data(), rows.size()).empty());
    EXPECT_TRUE(EncodeBitmapFile({5, 5, 12, 0}, nullptr, rows.data(), rows.size()).empty());
    EXPECT_TRUE(EncodeBitmapFile({5, 5, 32, 0}, nullptr, rows.data(), 99).empty());  // needs 100
    EXPECT_TRUE(EncodeBitmapFile({5, 5, 32, 80}, nullptr, rows.data(), rows.size()).empty());
    EXPECT_TRUE(EncodeBitmapFile({5, 5, 8, 0}, nullptr, rows.data(), rows.size()).empty());  // no palette
    EXPECT_TRUE(EncodeBmp32(PixelBuffer()).empty());
    PixelBuffer shortOfValues(4, 4);
    shortOfValues.pixels.resize(10);
    EXPECT_TRUE(EncodeBmp32(shortOfValues).empty());
}

}  // namespace
