// tallywick-cli read: options, exit codes, the JSON it prints (numbers that read back exactly,
// UTF-8 texts), and screens from one pixel to the largest accepted.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "base/bmp.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "cli/commands.h"
#include "cli/explain.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/png_writer.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace scenes;

namespace {

class ReadCommand : public ReaderTest {
protected:
    static std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = testing::TempDir() + "/" + name, error;
        EXPECT_TRUE(WriteFileBytes(path, bytes, error)) << error;
        return path;
    }
    static PixelBuffer ChestScreen() {
        TooltipScene s = Chest();
        s.screenWidth = 1280, s.screenHeight = 800, s.x = 700, s.y = 50;
        PixelBuffer screen;
        std::string error;
        EXPECT_TRUE(ComposeScreen(s, screen, error)) << error;
        return screen;
    }
    int Run(std::vector<std::string> args) {
        out.clear(), err.clear();
        return RunRead(args, out, err);
    }
    std::string out, err;
};

const char kChestJson[] =
    "{\"tooltip\":{\"x\":700,\"y\":50,\"width\":450,\"height\":700},\"kind\":6,"
    "\"kind_name\":\"\xEA\xB0\x80\xEC\x8A\xB4 \xEB\xB0\xA9\xEC\x96\xB4\xEA\xB5\xAC\","  // 가슴 방어구
    "\"stats\":[0,0,0,0,0,0,174,0,0,0,0,0,0,0,0,9,18,51,0,0,0,0,0,0,0],\"alerts\":[]}\n";

TEST_F(ReadCommand, ReadsBmpAndPngScreensAlike) {
    PixelBuffer screen = ChestScreen();
    for (const std::string& path :
         {Write("chest.bmp", EncodeBmp24(screen)), Write("chest.png", EncodePngRgb(screen))}) {
        EXPECT_EQ(Run({path}), 0);
        EXPECT_EQ(out, kChestJson);
        EXPECT_EQ(err, "");
    }
}

TEST_F(ReadCommand, OptionsReachTheParser) {
    const std::string path = Write("chest_options.bmp", EncodeBmp24(ChestScreen()));
    // Equip set, other items "주요 능력치 +58", strength: the two gems become 116 strength.
    EXPECT_EQ(Run({path, "--set", "equip", "--socket-options", "0,0,2,0,0,0", "--main-attribute", "7"}), 0);
    EXPECT_NE(out.find("\"stats\":[0,0,0,0,0,0,82,116,"), std::string::npos) << out;
    // The compare set is untouched by that choice.
    EXPECT_EQ(Run({path, "--socket-options", "0,0,2,0,0,0", "--set", "compare"}), 0);
    EXPECT_EQ(out, kChestJson);
    // A kind tolerance of 0 with a damaged caption pixel: the kind is not identified.
    PixelBuffer screen = ChestScreen();
    screen.pixels[size_t(50 + 12) * screen.width + 700 + 450 - 16 - 23] ^= 0x000001;
    const std::string damaged = Write("chest_damaged.bmp", EncodeBmp24(screen));
    EXPECT_EQ(Run({damaged}), 0);
    EXPECT_EQ(Run({damaged, "--error-limit", "0,5,8"}), 1);
    EXPECT_NE(out.find("\"kind\":-1,\"kind_name\":null"), std::string::npos) << out;
    EXPECT_NE(out.find("\"alerts\":[\"\xEC\x95\x84"), std::string::npos) << out;  // "아이템 종류 식별 불가."
}

TEST_F(ReadCommand, NoTooltipIsReportedWithExitOne) {
    PixelBuffer one(1, 1, 0x123456);
    EXPECT_EQ(Run({Write("one.png", EncodePngRgb(one))}), 1);
    EXPECT_EQ(out,
              "{\"tooltip\":null,\"kind\":-1,\"kind_name\":null,\"stats\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
              "0,0,0,0,"
              "0,0,0,0],\"alerts\":[\"\xED\x88\xB4\xED\x8C\x81\xEC\x9D\x84 "
              "\xEB\xB0\x9C\xEA\xB2\xAC\xED\x95\x98\xEC\xA7"
              "\x80 \xEB\xAA\xBB\xED\x95\x98\xEC\x98\x80\xEC\x9D\x8C.\"]}\n");  // 툴팁을 발견하지 못하였음.
}

TEST_F(ReadCommand, BadUsageAndUnreadableFilesExitTwoWithOneLine) {
    const std::string good = Write("usage.bmp", EncodeBmp24(PixelBuffer(4, 4, 0x101010)));
    const std::vector<std::vector<std::string>> bad = {
        {},
        {good, good},
        {good, "--set"},
        {good, "--set", "both"},
        {good, "--socket-options", "1,2,3"},
        {good, "--socket-options", "0,0,0,0,0,4"},
        {good, "--socket-options", "0,0,0,0,0,0,"},
        {good, "--error-limit", "10,5,x"},
        {good, "--error-limit", "-1,5,8"},
        {good, "--main-attribute", "8"},
        {good, "--main-attribute", "6", "--main-attribute", "6"},
        {good, "--colour"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(args), 2) << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(out, "");
        EXPECT_EQ(err.rfind("tallywick-cli: ", 0), 0u) << err;
    }
    const std::string garbage = Write("garbage.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3});
    EXPECT_EQ(Run({garbage}), 2);
    EXPECT_NE(err.find(garbage + ": unreadable PNG header"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_EQ(Run({"/no/such/dir/screen.bmp"}), 2);
    EXPECT_EQ(err, "tallywick-cli: /no/such/dir/screen.bmp: cannot open file\n");
}

TEST_F(ReadCommand, TheLargestScreenIsReadToItsFarCorner) {
    // 16384 x 16384, the most pixels a file may hold, with the tooltip near the bottom right.
    PixelBuffer screen(16384, 16384, 0x2A3040);
    PixelBuffer body = Tooltip(Chest());
    const int x0 = 16384 - 451, y0 = 16384 - 701;
    for (int y = 0; y < body.height; ++y)
        std::copy_n(body.pixels.begin() + long(y) * body.width, body.width,
                    screen.pixels.begin() + long(y0 + y) * screen.width + x0);
    std::string json;
    EXPECT_EQ(ReadScreen(screen, ReadOptions{}, json), 0);
    EXPECT_EQ(json.substr(0, 66),
              "{\"tooltip\":{\"x\":15933,\"y\":15683,\"width\":450,\"height\":700},\"kind\":6");
    EXPECT_NE(json.find("\"stats\":[0,0,0,0,0,0,174,"), std::string::npos);
}

// The bundled sample is the composer's picture of its description, and reads as described there.
TEST_F(ReadCommand, BundledSampleMatchesItsDescriptionAndReads) {
    const std::string dir = std::string(TALLYWICK_SOURCE_DIR) + "/samples/";
    std::vector<uint8_t> text;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(dir + "sample_screen.txt", text, error)) << error;
    TooltipScene scene;
    ASSERT_TRUE(
        ParseScene(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), scene, error))
        << error;
    PixelBuffer composed, bundled;
    ASSERT_TRUE(ComposeScreen(scene, composed, error)) << error;
    ASSERT_TRUE(LoadImageFile(dir + "sample_screen.png", bundled, error)) << error;
    EXPECT_TRUE(composed.pixels == bundled.pixels) << "samples/sample_screen.png is stale: regenerate it";

    EXPECT_EQ(Run({dir + "sample_screen.png"}), 0);
    EXPECT_EQ(
        out,
        "{\"tooltip\":{\"x\":1580,\"y\":260,\"width\":450,\"height\":700},\"kind\":2,"
        "\"kind_name\":\"\xEC\x96\x91\xEC\x86\x90 \xEB\xAC\xB4\xEA\xB8\xB0\","  // 양손 무기
        "\"stats\":[0,0,0,0,52,412,0,0,220,0,0,0,231,462,0,0,0,0,1450,1187,1463,7,9,0,1.1],\"alerts\":[]}\n");
}

// --explain writes a new file or replaces a regular one, never the picture read and never into
// something that would block or is not a file; refused before anything is read.
TEST_F(ReadCommand, ExplainRefusesTheInputAndWhatIsNotAFile) {
    const std::vector<uint8_t> png = EncodePngRgb(ChestScreen());
    const std::string screen = Write("explain-input.png", png),
                      picture = testing::TempDir() + "/explained.png";
    std::remove(picture.c_str());
    ASSERT_EQ(Run({screen, "--explain", picture}), 0) << err;
    EXPECT_EQ(out.find(kChestJson, 0, std::strlen(kChestJson) - 3), 0u) << out;  // the same record, and more
    ASSERT_EQ(Run({screen, "--explain", picture}), 0) << err;                    // a regular file is replaced

    const std::string link = testing::TempDir() + "/explain-link.png";
    std::remove(link.c_str());
    std::filesystem::create_hard_link(screen, link);
    for (const std::string& same : {screen, link, testing::TempDir() + "/./explain-input.png"}) {
        EXPECT_EQ(Run({screen, "--explain", same}), 2);
        EXPECT_EQ(err,
                  "tallywick-cli: " + same + ": is the picture being read; give --explain another name\n");
        EXPECT_EQ(out, "");
    }
    std::vector<uint8_t> bytes;
    std::string why;
    ASSERT_TRUE(ReadFileBytes(screen, bytes, why)) << why;
    EXPECT_EQ(bytes, png);

    EXPECT_EQ(Run({screen, "--explain", testing::TempDir()}), 2);
    EXPECT_NE(err.find(": is a folder, not a file"), std::string::npos) << err;
#ifndef _WIN32
    const std::string fifo = testing::TempDir() + "/explain-fifo.png";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Run({screen, "--explain", fifo}), 2);
    EXPECT_EQ(err, "tallywick-cli: " + fifo + ": not a regular file\n");
    EXPECT_FALSE(WriteFileBytes(fifo, png, why));  // nor does any other writer wait on it
    EXPECT_EQ(why, "not a regular file");
    std::remove(fifo.c_str());
#endif
}

// The explain picture stays within what any picture may be: 3 times the tooltip and its margin
// while that fits, less for a tooltip too wide, and the screen itself past that.
TEST(ExplainPicture, StaysWithinThePictureLimits) {
    struct Case {
        int screenW, screenH;
        TooltipRect rect;
        int width, height;
    };
    const Case cases[] = {
        {200, 100, {50, 20, 100, 50}, 116 * 3, 66 * 3},
        {6100, 30, {40, 10, 6000, 10}, 6016 * 2, 26 * 2},
        {kMaxImageSide, 20, {0, 5, kMaxImageSide, 10}, kMaxImageSide, 20},  // 8 past each side
    };
    for (const Case& c : cases) {
        const PixelBuffer screen(c.screenW, c.screenH, RgbValue(9, 9, 9));
        ParseTrace trace;
        trace.marks.push_back({kGlyphBullet, 2, 2});
        const PixelBuffer picture = ExplainPicture(screen, c.rect, trace, BuiltInPack());
        EXPECT_EQ(picture.width, c.width);
        EXPECT_EQ(picture.height, c.height);
        int boxed = 0;
        for (uint32_t p : picture.pixels) boxed += p == RgbValue(0, 220, 255);
        EXPECT_GT(boxed, 0) << "the bullet's box";
    }
}

TEST(Json, FloatsReadBackAsTheSameFloat) {
    EXPECT_EQ(JsonFloat(174), "174");
    EXPECT_EQ(JsonFloat(1.4f), "1.4");
    EXPECT_EQ(JsonFloat(0.1f), "0.1");
    EXPECT_EQ(JsonFloat(-2.5f), "-2.5");
    EXPECT_EQ(JsonFloat(1e30f), "1e+30");
    EXPECT_EQ(JsonFloat(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(JsonFloat(-std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(JsonFloat(std::numeric_limits<float>::quiet_NaN()), "null");
    std::mt19937 rng(5);
    for (int i = 0; i < 20000; ++i) {
        uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, 4);
        if (!std::isfinite(f)) continue;
        std::string text = JsonFloat(f);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), f) << text;
    }
}

TEST(Json, StringsAreUtf8WithEscapes) {
    EXPECT_EQ(JsonString(u"장갑"), "\"\xEC\x9E\xA5\xEA\xB0\x91\"");
    EXPECT_EQ(JsonString(u"a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonString(u"\U0001F600"), "\"\xF0\x9F\x98\x80\"");  // a surrogate pair
    const char16_t lone[] = {u'x', char16_t(0xD800), u'y', 0};
    EXPECT_EQ(JsonString(lone), "\"x\xEF\xBF\xBDy\"");  // U+FFFD for half a pair
    EXPECT_EQ(JsonString(std::string_view("tab\there")), "\"tab\\there\"");
}

}  // namespace
