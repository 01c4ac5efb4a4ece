// Loading screen pictures for tallywick-cli: BMP and PNG of every colour layout, and files that
// are truncated, hostile or too large, which must fail with a reason and never crash.
#include "cli/image_file.h"

#include <gtest/gtest.h>

#include <random>

#include "base/bmp.h"
#include "tests/support/png_writer.h"

namespace {

PixelBuffer Gradient(int w, int h) {
    PixelBuffer p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.pixels[size_t(y) * w + x] = RgbValue(uint8_t(x * 7), uint8_t(y * 13), uint8_t(x ^ y));
    return p;
}

bool Decode(const std::vector<uint8_t>& file, PixelBuffer& out, std::string& error) {
    return DecodeImage(file.data(), file.size(), out, error);
}

std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, uint16_t bits, size_t total) {
    std::vector<uint8_t> f(total, 0);
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) f[at + i] = uint8_t(v >> (8 * i));
    };
    f[0] = 'B', f[1] = 'M';
    put(2, uint32_t(total), 4), put(10, 54, 4), put(14, 40, 4);
    put(18, uint32_t(width), 4), put(22, uint32_t(height), 4), put(26, 1, 2), put(28, bits, 2);
    return f;
}

TEST(ImageFile, BmpAndPngGiveTheSamePixels) {
    PixelBuffer picture = Gradient(37, 23);
    for (const auto& file : {EncodeBmp24(picture), EncodePngRgb(picture)}) {
        PixelBuffer out;
        std::string error;
        ASSERT_TRUE(Decode(file, out, error)) << error;
        EXPECT_EQ(out.width, 37);
        EXPECT_EQ(out.height, 23);
        EXPECT_EQ(out.pixels, picture.pixels);
    }
}

TEST(ImageFile, PngColourLayoutsAreReadAsRgbWithoutAlpha) {
    PixelBuffer out;
    std::string error;
    // Grey, grey with alpha, RGBA and 16-bit RGB, one 2 x 1 row each (filter byte first).
    ASSERT_TRUE(Decode(EncodePngRaw(2, 1, 8, 0, {0, 0x10, 0xF0}), out, error)) << error;
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0x101010, 0xF0F0F0}));
    ASSERT_TRUE(Decode(EncodePngRaw(2, 1, 8, 4, {0, 0x20, 0x00, 0x30, 0xFF}), out, error)) << error;
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0x202020, 0x303030}));
    ASSERT_TRUE(Decode(EncodePngRaw(2, 1, 8, 6, {0, 1, 2, 3, 0, 0xFF, 0x69, 0x69, 0x80}), out, error))
        << error;
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0x030201, 0x6969FF}));
    ASSERT_TRUE(Decode(EncodePngRaw(1, 1, 16, 2, {0, 0xAB, 0xCD, 0x12, 0x34, 0xFF, 0xFF}), out, error))
        << error;
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF12AB}));
}

TEST(ImageFile, OnePixelPictures) {
    PixelBuffer one(1, 1, 0xFFFFFF);
    for (const auto& file : {EncodeBmp24(one), EncodePngRgb(one)}) {
        PixelBuffer out;
        std::string error;
        ASSERT_TRUE(Decode(file, out, error)) << error;
        EXPECT_EQ(out.count, 1);
        EXPECT_EQ(out.pixels[0], 0xFFFFFFu);
    }
}

TEST(ImageFile, EveryTruncationOfAFileFailsCleanly) {
    PixelBuffer picture = Gradient(19, 11);
    const std::vector<uint8_t> bmp = EncodeBmp24(picture), png = EncodePngRgb(picture);
    for (size_t n = 0; n < bmp.size(); ++n) {
        PixelBuffer out;
        std::string error;
        EXPECT_FALSE(DecodeImage(bmp.data(), n, out, error)) << n;
        EXPECT_FALSE(error.empty());
    }
    // A PNG is complete once its image data is: the 12-byte end chunk may go missing.
    for (size_t n = 0; n + 12 < png.size(); ++n) {
        PixelBuffer out;
        std::string error;
        EXPECT_FALSE(DecodeImage(png.data(), n, out, error)) << n;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ImageFile, HeadersClaimingTheLargestPictureWithoutItsDataAreRejected) {
    PixelBuffer out;
    std::string error;
    EXPECT_FALSE(Decode(BmpHeader(16384, 4096, 24, 4096), out, error));
    EXPECT_EQ(error, "truncated BMP pixel data");
    EXPECT_FALSE(Decode(EncodePngRaw(16384, 4096, 8, 2, std::vector<uint8_t>(3000, 0)), out, error));
    EXPECT_NE(error.find("unreadable PNG data"), std::string::npos) << error;
}

TEST(ImageFile, PicturesBeyondTheLimitsAreRejectedBeforeDecoding) {
    PixelBuffer out;
    std::string error;
    for (auto [w, h] :
         {std::pair{16384, 4097}, {8193, 8192}, {16385, 1}, {1, 16385}, {40000, 40000}, {-1, 5}}) {
        EXPECT_FALSE(Decode(BmpHeader(w, h, 24, 64), out, error)) << w << "x" << h;
        EXPECT_FALSE(Decode(EncodePngRaw(uint32_t(w), uint32_t(h), 8, 2, {0}), out, error)) << w << "x" << h;
        // Refused on the header: either our limits or the decoder's own.
        EXPECT_TRUE(error.find("PNG dimensions too large") == 0 || error.find("unreadable PNG header") == 0)
            << error;
    }
    // The side limit itself is allowed: a 16384 x 1 row decodes.
    EXPECT_TRUE(Decode(EncodePngRaw(16384, 1, 8, 0, std::vector<uint8_t>(16385, 0)), out, error)) << error;
    EXPECT_EQ(out.width, 16384);
}

TEST(ImageFile, HostileFilesFailWithAReason) {
    PixelBuffer picture = Gradient(16, 16);
    std::vector<uint8_t> png = EncodePngRgb(picture);
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> f = round % 2 ? png : EncodeBmp24(picture);
        for (int k = 0; k < 1 + round % 8; ++k) f[rng() % f.size()] = uint8_t(rng());
        PixelBuffer out;
        std::string error;
        if (Decode(f, out, error)) {
            EXPECT_GT(out.count, 0);
            EXPECT_EQ(out.pixels.size(), size_t(out.count));
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    PixelBuffer out;
    std::string error;
    EXPECT_FALSE(Decode({'h', 'e', 'l', 'l', 'o'}, out, error));
    EXPECT_EQ(error, "not a BMP or PNG file");
    EXPECT_FALSE(LoadImageFile(testing::TempDir() + "/no such picture.png", out, error));
    EXPECT_EQ(error, "cannot open file");
}

}  // namespace
