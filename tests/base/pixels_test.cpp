// Pixel access, cropping and the BMP codec.
#include "base/pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <random>

#include "base/bmp.h"
#include "base/files.h"

namespace {

PixelBuffer Numbered(int w, int h) {
    PixelBuffer b(w, h);
    for (int i = 0; i < w * h; ++i) b.pixels[size_t(i)] = uint32_t(i + 1);
    return b;
}

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = uint8_t(x), v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    Put16(v, at, x), Put16(v, at + 2, x >> 16);
}

// A BMP file with a 40-byte header; the pixel bytes are for the caller to fill.
std::vector<uint8_t> BmpFile(int32_t w, int32_t h, int bits, uint32_t compression = 0) {
    const uint64_t stride = (uint64_t(uint32_t(w)) * bits + 31) / 32 * 4;
    const int64_t rows = h == INT32_MIN ? 1 : (h < 0 ? -int64_t(h) : h);
    const size_t data = (w > 0 && rows > 0 && stride * rows < (1u << 24)) ? size_t(stride * rows) : 0;
    std::vector<uint8_t> v(54 + data, 0);
    v[0] = 'B', v[1] = 'M';
    Put32(v, 2, uint32_t(v.size())), Put32(v, 10, 54), Put32(v, 14, 40);
    Put32(v, 18, uint32_t(w)), Put32(v, 22, uint32_t(h));
    Put16(v, 26, 1), Put16(v, 28, uint32_t(bits)), Put32(v, 30, compression);
    return v;
}

bool Decode(const std::vector<uint8_t>& file, PixelBuffer& out, std::string& error) {
    // An exactly sized copy, so that any read past the end is caught by the sanitizer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() ? file.size() : 1]);
    if (!file.empty()) std::memcpy(exact.get(), file.data(), file.size());
    return DecodeBmp(exact.get(), file.size(), out, error);
}

}  // namespace

TEST(PixelAccess, ReadsByLinearPositionAndWrapsIntoTheNextRow) {
    const PixelBuffer b = Numbered(4, 3);
    EXPECT_EQ(PixelAt(b, 4, 0), PixelAt(b, 0, 1));
    EXPECT_EQ(PixelAt(b, 4, 0), 5u);
    EXPECT_EQ(PixelAt(b, -1, 1), 4u);  // negative x, but the linear position is inside
    EXPECT_EQ(PixelAt(b, 5, 1), 10u);  // linear position 9
    EXPECT_EQ(PixelAt(b, 3, 2), 12u);
}

TEST(PixelAccess, PositionsOutsideTheBufferReadBlack) {
    const PixelBuffer b = Numbered(4, 3);
    EXPECT_EQ(PixelAt(b, -1, 0), 0u);
    EXPECT_EQ(PixelAt(b, 0, -1), 0u);
    EXPECT_EQ(PixelAt(b, 4, 2), 0u);  // linear position 12 = count
    EXPECT_EQ(PixelAt(b, 0, 3), 0u);
    EXPECT_EQ(PixelAt(b, INT64_MIN / 8, 0), 0u);
    EXPECT_EQ(PixelAt(b, 0, INT32_MAX), 0u);
    EXPECT_EQ(PixelAt(PixelBuffer(), 0, 0), 0u);
}

TEST(PixelAccess, HandMadeBufferNeverReadsPastItsValues) {
    PixelBuffer b;
    b.width = 4, b.height = 4, b.count = 16;
    b.pixels.assign(6, 7);
    EXPECT_EQ(PixelAt(b, 1, 1), 7u);
    EXPECT_EQ(PixelAt(b, 2, 1), 0u);
    EXPECT_EQ(ReadableCount(b), 6);
    b.count = 4;  // fewer than it holds: the count decides
    EXPECT_EQ(PixelAt(b, 3, 0), 7u);
    EXPECT_EQ(PixelAt(b, 0, 1), 0u);
    EXPECT_EQ(ReadableCount(b), 4);
    b.count = -5;
    EXPECT_EQ(ReadableCount(b), 0);
    EXPECT_EQ(PixelAt(b, 0, 0), 0u);
}

TEST(PixelAccess, NegativeSizesMakeAnEmptyBuffer) {
    const PixelBuffer b(-3, 5);
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(b.count, 0);
    EXPECT_TRUE(b.pixels.empty());
}

TEST(PixelAccess, CropCopiesTheRectangleAndBlackensWhatLiesOutside) {
    const PixelBuffer b = Numbered(5, 4);
    const PixelBuffer inside = CropPixels(b, 1, 1, 3, 2);
    ASSERT_EQ(inside.width, 3);
    ASSERT_EQ(inside.height, 2);
    EXPECT_EQ(inside.pixels, (std::vector<uint32_t>{7, 8, 9, 12, 13, 14}));

    const PixelBuffer over = CropPixels(b, 3, -1, 4, 3);  // hangs over the top and right edges
    EXPECT_EQ(over.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 4, 5, 0, 0, 9, 10, 0, 0}));
    EXPECT_EQ(CropPixels(b, 9, 9, 2, 2).pixels, std::vector<uint32_t>(4, 0));
    EXPECT_EQ(CropPixels(b, 0, 0, -2, 3).count, 0);
}

TEST(Bmp, Decodes24BitBottomUpWithRowPadding) {
    // 3 pixels of 3 bytes: 9 bytes a row, padded to 12.
    std::vector<uint8_t> f = BmpFile(3, 2, 24);
    const uint8_t bottom[9] = {0, 0, 255, 255, 0, 0, 255, 255, 255};  // red, blue, white (B, G, R)
    const uint8_t top[9] = {1, 2, 3, 0, 0, 0, 10, 20, 30};
    std::memcpy(&f[54], bottom, 9);
    std::memcpy(&f[54 + 12], top, 9);
    PixelBuffer b;
    std::string error;
    ASSERT_TRUE(Decode(f, b, error)) << error;
    ASSERT_EQ(b.width, 3);
    ASSERT_EQ(b.height, 2);
    EXPECT_EQ(b.count, 6);
    EXPECT_EQ(PixelAt(b, 0, 0), 0x010203u);
    EXPECT_EQ(PixelAt(b, 1, 0), 0u);
    EXPECT_EQ(PixelAt(b, 2, 0), 0x0A141Eu);
    EXPECT_EQ(PixelAt(b, 0, 1), 0x0000FFu);  // pure red
    EXPECT_EQ(PixelAt(b, 1, 1), 0xFF0000u);  // pure blue
    EXPECT_EQ(PixelAt(b, 2, 1), 0xFFFFFFu);  // pure white
}

TEST(Bmp, Decodes32BitTopDownAndIgnoresTheFourthByte) {
    std::vector<uint8_t> f = BmpFile(2, -2, 32);
    const uint8_t px[16] = {0, 0, 255, 0xAB, 1, 2, 3, 0xFF, 255, 255, 255, 0x80, 0, 0, 0, 0x7F};
    std::memcpy(&f[54], px, 16);
    PixelBuffer b;
    std::string error;
    ASSERT_TRUE(Decode(f, b, error)) << error;
    EXPECT_EQ(b.pixels, (std::vector<uint32_t>{0x0000FF, 0x010203, 0xFFFFFF, 0}));
}

TEST(Bmp, Decodes32BitBitFieldsWithStandardMasks) {
    // Masks right after a 40-byte header, pixel data after them.
    std::vector<uint8_t> f = BmpFile(1, 1, 32, 3);
    f.insert(f.begin() + 54, 12, 0);
    Put32(f, 10, 66), Put32(f, 54, 0xFF0000), Put32(f, 58, 0xFF00), Put32(f, 62, 0xFF);
    Put32(f, 66, 0x00123456);  // bytes 56 34 12 00: blue 0x56, green 0x34, red 0x12
    PixelBuffer b;
    std::string error;
    ASSERT_TRUE(Decode(f, b, error)) << error;
    EXPECT_EQ(PixelAt(b, 0, 0), 0x563412u);
    Put32(f, 54, 0xFF);  // swapped masks are not ours to interpret
    EXPECT_FALSE(Decode(f, b, error));
    EXPECT_NE(error.find("mask"), std::string::npos);
}

TEST(Bmp, EncodeThenDecodeKeepsEveryPixel) {
    std::mt19937 rng(7);
    for (int w : {1, 2, 3, 4, 5, 13}) {
        PixelBuffer b(w, 3);
        for (uint32_t& v : b.pixels) v = rng() & 0xFFFFFF;
        const std::vector<uint8_t> f = EncodeBmp24(b);
        EXPECT_EQ(f.size(), 54 + size_t((w * 3 + 3) & ~3) * 3);
        PixelBuffer back;
        std::string error;
        ASSERT_TRUE(Decode(f, back, error)) << error;
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.pixels, b.pixels) << "width " << w;
    }
}

TEST(Bmp, EncodingAHandMadeShortBufferWritesBlackForMissingValues) {
    PixelBuffer b;
    b.width = 2, b.height = 2, b.count = 4;
    b.pixels = {0x111111, 0x222222, 0x333333};
    PixelBuffer back;
    std::string error;
    ASSERT_TRUE(Decode(EncodeBmp24(b), back, error)) << error;
    EXPECT_EQ(back.pixels, (std::vector<uint32_t>{0x111111, 0x222222, 0x333333, 0}));
}

TEST(Bmp, MalformedFilesGiveAClearError) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        const char* expect;  // part of the error text
    };
    std::vector<Case> cases;
    const std::vector<uint8_t> good = BmpFile(4, 4, 24);
    cases.push_back({"empty", {}, "too short"});
    cases.push_back(
        {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated BMP header"});
    {
        std::vector<uint8_t> f = good;
        f[0] = 'P';
        cases.push_back({"signature", f, "signature"});
    }
    cases.push_back(
        {"pixels cut", std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated BMP pixel"});
    cases.push_back({"huge in tiny file", BmpFile(16384, 4096, 24), "truncated BMP pixel"});
    cases.push_back({"too large", BmpFile(16385, 1, 24), "too large"});
    cases.push_back({"too many pixels in all", BmpFile(16384, 4097, 24), "too large"});
    cases.push_back({"too many pixels", BmpFile(32767, 32767, 32), "too large"});
    cases.push_back({"zero width", BmpFile(0, 4, 24), "no pixels"});
    cases.push_back({"zero height", BmpFile(4, 0, 24), "no pixels"});
    cases.push_back({"negative width", BmpFile(-4, 4, 24), "no pixels"});
    cases.push_back({"INT32_MIN height", BmpFile(4, INT32_MIN, 24), "height"});
    cases.push_back({"run-length", BmpFile(4, 4, 24, 1), "compressed"});
    cases.push_back({"24-bit bit fields", BmpFile(4, 4, 24, 3), "compressed"});
    for (int bits : {1, 4, 8, 16, 0, 48})
        cases.push_back({"bit depth", BmpFile(4, 4, bits), "24- and 32-bit"});
    {
        std::vector<uint8_t> f = good;
        Put16(f, 26, 2);
        cases.push_back({"planes", f, "plane"});
        f = good;
        Put32(f, 14, 12);
        cases.push_back({"old header", f, "unsupported BMP header"});
        f = good;
        Put32(f, 14, 0xFFFFFFF0u);
        cases.push_back({"header size", f, "unsupported BMP header"});
        f = good;
        Put32(f, 10, 20);
        cases.push_back({"offset in header", f, "overlaps"});
        f = good;
        Put32(f, 10, 0xFFFFFFFFu);
        cases.push_back({"offset past end", f, "truncated BMP pixel"});
        f = BmpFile(1, 1, 32, 3);
        f.resize(60);
        cases.push_back({"masks cut", f, "truncated BMP colour masks"});
    }
    for (const Case& c : cases) {
        PixelBuffer out(2, 2, 0x123456);
        std::string error;
        EXPECT_FALSE(Decode(c.file, out, error)) << c.what;
        EXPECT_NE(error.find(c.expect), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(out.width, 2) << c.what << ": the output is left alone on failure";
    }
}

TEST(Bmp, DamagedFilesNeverReadOutsideTheirBytes) {
    // Every truncation and many random byte changes of a valid file; the sanitizer build checks
    // that no read leaves the exactly sized copy, and a decoded image always matches its header.
    PixelBuffer img(5, 3);
    std::mt19937 rng(11);
    for (uint32_t& v : img.pixels) v = rng() & 0xFFFFFF;
    const std::vector<uint8_t> good = EncodeBmp24(img);
    PixelBuffer out;
    std::string error;
    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(Decode(std::vector<uint8_t>(good.begin(), good.begin() + n), out, error)) << n;
    }
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> f = good;
        const int changes = 1 + int(rng() % 4);
        for (int k = 0; k < changes; ++k) f[rng() % 54] = uint8_t(rng());
        if (Decode(f, out, error)) {
            EXPECT_EQ(size_t(out.count), out.pixels.size());
            EXPECT_EQ(int64_t(out.width) * out.height, out.count);
        }
    }
}

namespace {

TEST(Files, KoreanNamesRoundTripAndFoldersAreRefused) {
    const std::string folder = testing::TempDir() + "/툴팁 저장";
    std::filesystem::create_directories(PathFromUtf8(folder));
    const std::string path = folder + "/아이템_0001.bmp";
    std::string error;
    const std::vector<uint8_t> bytes = EncodeBmp24(Numbered(3, 2));
    ASSERT_TRUE(WriteFileBytes(path, bytes, error)) << error;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back, error)) << error;
    EXPECT_EQ(back, bytes);

    EXPECT_FALSE(ReadFileBytes(folder, back, error));
    EXPECT_EQ(error, "is a folder, not a file");
    EXPECT_FALSE(ReadFileBytes(folder + "/없는 파일.bmp", back, error));
    EXPECT_EQ(error, "cannot open file");
    EXPECT_FALSE(WriteFileBytes(folder + "/없는 폴더/x.bmp", bytes, error));
    std::filesystem::remove_all(PathFromUtf8(folder));
}

}  // namespace
