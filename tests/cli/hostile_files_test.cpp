// tallywick-cli on hostile files: PNG files that crash or exhaust a careless decoder, files that
// are not regular files, settings files it must not read or write, and damaged profile lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/settings_file.h"
#include "base/bmp.h"
#include "base/files.h"
#include "base/text_encoding.h"
#include "cli/commands.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "tests/support/png_writer.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data, uint32_t length) {
    Put32(png, length);
    const size_t at = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, Crc32(png.data() + at, png.size() - at) ^ 0xFFFFFFFFu);
}

std::vector<uint8_t> Png(uint32_t w, uint32_t h, uint8_t depth, uint8_t colour,
                         const std::vector<uint8_t>& zlib, uint32_t idatLength) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, w), Put32(ihdr, h);
    ihdr.insert(ihdr.end(), {depth, colour, 0, 0, 0});
    Chunk(png, "IHDR", ihdr, 13);
    Chunk(png, "IDAT", zlib, idatLength);
    Chunk(png, "IEND", {}, 0);
    return png;
}

// A zlib stream of `zeros` zero bytes: one fixed-Huffman block of a literal 0 and copies of 258
// bytes at distance 1, about 160 times smaller than what it inflates to.
std::vector<uint8_t> ZeroBomb(uint64_t zeros) {
    std::vector<uint8_t> out = {0x78, 0x01};
    uint32_t bits = 0, count = 0;
    auto put = [&](uint32_t value, int n) {  // LSB first
        bits |= value << count, count += n;
        while (count >= 8) out.push_back(uint8_t(bits)), bits >>= 8, count -= 8;
    };
    auto code = [&](uint32_t c, int n) {  // Huffman codes go MSB first
        for (int i = n - 1; i >= 0; --i) put((c >> i) & 1, 1);
    };
    put(1, 1), put(1, 2);  // final block, fixed codes
    code(0x30, 8);         // literal 0
    uint64_t done = 1;
    for (; done + 258 <= zeros; done += 258) {
        code(0xC5, 8);  // length 258
        code(0, 5);     // distance 1
    }
    for (; done < zeros; ++done) code(0x30, 8);  // the rest as literals
    code(0, 7);                                  // end of block
    if (count) out.push_back(uint8_t(bits));
    const uint32_t adler = uint32_t(((zeros % 65521) << 16) | 1);
    Put32(out, adler);
    return out;
}

TEST(HostilePng, DecoderFailuresWithoutAReasonStillGiveOne) {
    // 61 bytes: an IDAT whose length field reads 0xFFFFFFF0.
    std::vector<uint8_t> png = Png(1, 1, 8, 2, {0x78, 0x01, 0x01}, 3);
    png[33] = 0xFF, png[34] = 0xFF, png[35] = 0xFF, png[36] = 0xF0;
    PixelBuffer out;
    std::string error;
    EXPECT_FALSE(DecodeImage(png.data(), png.size(), out, error));
    EXPECT_EQ(error.find("unreadable PNG data ("), 0u) << error;
    EXPECT_GT(error.size(), std::string("unreadable PNG data ()").size());
    // Every length a chunk may claim fails with a reason.
    for (uint32_t length : {0x7FFFFFF0u, 0x80000000u, 0xA0000000u, 0x40000000u, 0x10000000u}) {
        std::vector<uint8_t> f = Png(2, 1, 8, 2, ZeroBomb(7), 0);
        f[33] = uint8_t(length >> 24), f[34] = uint8_t(length >> 16), f[35] = uint8_t(length >> 8),
        f[36] = uint8_t(length);
        EXPECT_FALSE(DecodeImage(f.data(), f.size(), out, error)) << length;
        EXPECT_FALSE(error.empty());
    }
}

TEST(HostilePng, InflatingStopsAtThePicturesOwnSize) {
    // 2 x 1 RGB needs 7 bytes; these inflate to 7 bytes, then 64 MB.
    std::vector<uint8_t> fits = ZeroBomb(7);
    std::vector<uint8_t> png = Png(2, 1, 8, 2, fits, uint32_t(fits.size()));
    PixelBuffer out;
    std::string error;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), out, error)) << error;
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0, 0}));
    std::vector<uint8_t> bomb = ZeroBomb(uint64_t(64) << 20);
    png = Png(2, 1, 8, 2, bomb, uint32_t(bomb.size()));
    EXPECT_FALSE(DecodeImage(png.data(), png.size(), out, error));
    EXPECT_EQ(error.find("unreadable PNG data"), 0u) << error;
}

TEST(HostilePng, PicturesTooCostlyToDecodeAreRefusedFromTheHeader) {
    PixelBuffer out;
    std::string error;
    // Within the pixel limits, but 16-bit RGBA of 8192 x 8192 would take over 1 GB to decode.
    std::vector<uint8_t> png = Png(8192, 8192, 16, 6, ZeroBomb(1000), uint32_t(ZeroBomb(1000).size()));
    EXPECT_FALSE(DecodeImage(png.data(), png.size(), out, error));
    EXPECT_EQ(error.find("PNG needs too much memory"), 0u) << error;
    // 8-bit grey of the largest size is decoded (the data is short: it fails on the data, late).
    png = Png(8192, 8192, 8, 0, ZeroBomb(1000), uint32_t(ZeroBomb(1000).size()));
    EXPECT_FALSE(DecodeImage(png.data(), png.size(), out, error));
    EXPECT_EQ(error.find("unreadable PNG data"), 0u) << error;
    // A first IDAT chunk of no bytes.
    png = Png(2, 1, 8, 2, {}, 0);
    EXPECT_FALSE(DecodeImage(png.data(), png.size(), out, error));
    EXPECT_EQ(error, "unreadable PNG data (empty first IDAT chunk)");
}

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("tallywick-hostile-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int Cli(std::vector<std::string> args) {
        out_.clear(), err_.clear();
        const std::string command = args[0];
        args.erase(args.begin());
        if (command == "read") return RunRead(args, out_, err_);
        if (command == "profile") return RunProfile(args, out_, err_);
        return RunEquip(args, out_, err_);
    }

    fs::path dir_;
    std::string out_, err_;
};

TEST_F(HostileFiles, CorruptPngEndsInExitTwoNamingTheFile) {
    std::vector<uint8_t> png = Png(1, 1, 8, 2, {0x78, 0x01, 0x01}, 3);
    png[33] = 0xFF, png[34] = 0xFF, png[35] = 0xFF, png[36] = 0xF0;
    const std::string path = Path("crash.png");
    Write(path, std::string(png.begin(), png.end()));
    EXPECT_EQ(Cli({"read", path}), 2);
    EXPECT_EQ(err_.find("tallywick-cli: " + path + ": unreadable PNG data"), 0u) << err_;
}

#ifndef _WIN32
TEST_F(HostileFiles, FifosAndDevicesAreRefusedWithExitTwo) {
    const std::string fifo = Path("screen.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Cli({"read", fifo}), 2);
    EXPECT_EQ(err_, "tallywick-cli: " + fifo + ": not a regular file\n");
    EXPECT_EQ(Cli({"read", "/dev/zero"}), 2);
    EXPECT_EQ(err_, "tallywick-cli: /dev/zero: not a regular file\n");
    EXPECT_EQ(Cli({"profile", fifo}), 2);
    EXPECT_EQ(err_, "tallywick-cli: " + fifo + ": not a regular file\n");
}

TEST_F(HostileFiles, ReadOnlySettingsAreNotWritten) {
    const std::string ini = Path("Tallywick.ini");
    fs::copy_file(std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_settings.ini", ini);
    const std::string before = Read(ini);
    ::chmod(ini.c_str(), 0444);
    EXPECT_EQ(
        Cli({"equip", ini, std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_screen.png", "--write"}), 2);
    EXPECT_NE(err_.find(ini + ": the profile could not be written: the settings file is read-only"),
              std::string::npos)
        << err_;
    EXPECT_EQ(Read(ini), before);
}
#endif

TEST_F(HostileFiles, SettingsThatAreNotTextAreRefused) {
    const std::string ini = Path("Tallywick.ini");
    std::string utf16;
    for (char c : std::string("[Options]\r\nActive Profile=2\r\n")) utf16 += c, utf16 += '\0';
    Write(ini, utf16);
    EXPECT_EQ(Cli({"profile", ini}), 2);
    EXPECT_NE(err_.find(ini + ": not a text file"), std::string::npos) << err_;
    EXPECT_EQ(
        Cli({"equip", ini, std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_screen.png", "--write"}), 2);
    EXPECT_EQ(Read(ini), utf16);
}

TEST_F(HostileFiles, DamagedProfileLineRaisesAnAlert) {
    const std::string ini = Path("Tallywick.ini");
    fs::copy_file(std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_settings.ini", ini);
    ASSERT_EQ(Cli({"profile", ini}), 0) << err_;
    EXPECT_NE(out_.find("\"alerts\":[]"), std::string::npos) << out_;
    std::string text = Read(ini);
    const size_t line = text.find("\n1=", text.find("[Profiles]"));
    ASSERT_NE(line, std::string::npos);
    text.erase(line + 3, 2);  // the line is two characters short
    Write(ini, text);
    ASSERT_EQ(Cli({"profile", ini}), 0) << err_;
    EXPECT_NE(out_.find("\"alerts\":[" + JsonString(kAlertProfileUnreadable) + "]"), std::string::npos)
        << out_;
}

// Glyph packs that would read wrong or for ever are set aside, named, and the read goes on with
// the built-in pictures; a pack file that is no file, or a layout value a megabyte long, is
// refused in a line.
TEST_F(HostileFiles, PacksThatWouldMisreadAreSetAsideAndNamed) {
    const std::string screen = std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_screen.png";
    const std::string settings = std::string(TALLYWICK_SOURCE_DIR) + "/samples/sample_settings.ini";
    ASSERT_EQ(Cli({"read", screen}), 0) << err_;
    const std::string builtIn = out_;
    const std::string ini = Path("Tallywick.ini"), plainIni = Path("plain.ini");
    fs::copy_file(settings, plainIni);
    ASSERT_EQ(Cli({"equip", plainIni, screen, "--write"}), 0) << err_;

    auto pack = [&](const std::string& name, const std::string& layout) {
        const std::string folder = Path(name.c_str());
        fs::create_directories(folder);
        if (!layout.empty()) Write(folder + "/layout.txt", layout);
        return folder;
    };
    const std::string stalled = pack("stalled", "digit_advance = 0\n");
    const std::string narrow = pack("narrow", "digit_advance = 3\n");
    const std::string blank = pack("blank", "");
    std::string why;
    ASSERT_TRUE(WriteFileBytes(blank + "/122.bmp", EncodeBmp24(PixelBuffer(9, 10)), why)) << why;
    const std::pair<std::string, std::string> cases[] = {
        {stalled, "layout: digit_advance is 0; must be at least 1"},
        {narrow, "layout: digit_advance is 3, narrower than digit 0 (blue, 120.bmp), 9 pixels wide"},
        {blank, "digit 1 (blue, 122.bmp) has only 0 inked samples at step 1; needs at least 16"},
    };
    for (const auto& [folder, problem] : cases) {
        EXPECT_EQ(Cli({"read", screen, "--glyphs", folder}), 0) << err_;
        EXPECT_EQ(out_, builtIn);
        EXPECT_EQ(err_.find("tallywick-cli: glyph pack " + folder +
                            " is not used, the built-in pictures read instead: " + problem),
                  0u)
            << err_;
        // What equip stores is what the built-in pictures read.
        fs::remove(ini);
        fs::copy_file(settings, ini);
        EXPECT_EQ(Cli({"equip", ini, screen, "--write", "--glyphs", folder}), 0) << err_;
        EXPECT_NE(err_.find(" is not used, the built-in pictures read instead: "), std::string::npos) << err_;
        EXPECT_EQ(Read(ini), Read(plainIni)) << folder;
    }

    std::string out, err;
    EXPECT_EQ(RunGlyphs({"check", narrow}, out, err), kExitNotRead);
    EXPECT_NE(out.find("9 pixels wide: each step of the reader would overlap it [the pack is not used]\n"),
              std::string::npos)
        << out;

    const std::string huge = pack("huge", "digit_advance = " + std::string(1000000, '9') + "\n");
    EXPECT_EQ(Cli({"read", screen, "--glyphs", huge}), 2);
    EXPECT_EQ(err_, "tallywick-cli: glyph pack: " + huge + "/layout.txt: layout line 1: '" +
                        std::string(40, '9') + "...' (1000000 bytes) is not a whole number from 0 to 1000\n");
#ifndef _WIN32
    const std::string fifo = pack("fifo", "");
    ASSERT_EQ(::mkfifo((fifo + "/120.bmp").c_str(), 0600), 0);
    EXPECT_EQ(Cli({"read", screen, "--glyphs", fifo}), 2);
    EXPECT_EQ(err_, "tallywick-cli: glyph pack: " + fifo + "/120.bmp: not a regular file\n");
#endif
}

}  // namespace
