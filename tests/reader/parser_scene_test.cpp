// The composer's scene descriptions: what they say, and the mistakes they are refused for.
#include <gtest/gtest.h>

#include "reader/locator.h"
#include "tests/support/parser_scenes.h"

using namespace scenes;

namespace {

class SceneText : public ReaderTest {};

TEST_F(SceneText, DirectivesBuildTheScene) {
    TooltipScene s;
    std::string error;
    ASSERT_TRUE(
        ParseScene("screen 800 600  # a comment\n"
                   "tooltip 10 20 320 240\nkind 1\nweapon 1.40 100 200 20\n"
                   "at 30 100\nline 21 5 11 %\ngem 32 9\nraw 40 12 white\nempty_socket\nbullet\n"
                   "text 5 6 70 10 F08A1E\n",
                   s, error))
        << error;
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.attacksPerSecond, "1.40");
    EXPECT_EQ(s.damageRise, 20);
    ASSERT_EQ(s.lines.size(), 6u);
    EXPECT_TRUE(s.lines[0].placed);
    EXPECT_EQ(s.lines[0].x, 30);
    EXPECT_EQ(s.lines[0].maxValue, "11");
    EXPECT_EQ(s.lines[0].tailWidth, 8);
    EXPECT_FALSE(s.lines[1].placed);
    EXPECT_TRUE(s.lines[2].white);
    EXPECT_EQ(s.lines[5].colour, 0x1E8AF0u);
    PixelBuffer screen;
    EXPECT_TRUE(ComposeScreen(s, screen, error)) << error;
}

// The screen the window tests use for "no tooltip": the locator must find nothing on it.
TEST_F(SceneText, ATooltipOfNoneLeavesOnlyTheDesktop) {
    TooltipScene s;
    std::string error;
    ASSERT_TRUE(ParseScene("screen 1920 1200\ndecoys 6\ntooltip none\n", s, error)) << error;
    PixelBuffer screen;
    ASSERT_TRUE(ComposeScreen(s, screen, error)) << error;
    EXPECT_EQ(screen.width, 1920);
    TooltipRect rect;
    EXPECT_FALSE(FindTooltip(screen, rect));
}

TEST_F(SceneText, MistakesAreRefusedWithTheirLine) {
    const char* const bad[] = {
        "kind 6\nline 7\n",         "kind 6\nline 7 8x\n",    "kind 6\nfrobnicate 3\n",
        "kind 6\ngem 7 46\n",       "kind 6\nline 7 1 2 3\n", "kind 6\ntext 1 2 3 4 GGGGGG\n",
        "kind 6\nraw 40 12 blue\n",
    };
    for (const char* text : bad) {
        TooltipScene s;
        std::string error;
        EXPECT_FALSE(ParseScene(text, s, error)) << text;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
}

TEST_F(SceneText, ScenesThatDoNotFitAreRefused) {
    std::string error;
    PixelBuffer out;
    TooltipScene small = Chest();
    small.width = 300;  // narrower than any tooltip
    EXPECT_FALSE(ComposeTooltip(small, out, error));
    TooltipScene full = Chest();
    for (int i = 0; i < 40; ++i) full.lines.push_back(OptionLine(7, "1"));
    EXPECT_FALSE(ComposeTooltip(full, out, error));
    EXPECT_NE(error.find("does not fit"), std::string::npos) << error;
    TooltipScene off = Chest();
    off.screenWidth = 1000, off.x = 600;
    EXPECT_FALSE(ComposeScreen(off, out, error));
    TooltipScene badRow = Chest();
    badRow.lines.push_back(OptionLine(40, "1"));
    EXPECT_FALSE(ComposeTooltip(badRow, out, error));
}

TEST_F(SceneText, BackgroundHasNoBlackButTheDecoysAndNoSecondTooltip) {
    TooltipScene s = Chest();
    s.decoys = 12, s.noisePercent = 30;
    PixelBuffer screen;
    std::string error;
    ASSERT_TRUE(ComposeScreen(s, screen, error)) << error;
    TooltipRect rect;
    ASSERT_TRUE(FindTooltip(screen, rect));
    EXPECT_EQ(rect.x, s.x);
    // Painting the tooltip over with a colour leaves nothing the locator would take.
    for (int y = s.y; y < s.y + s.height; ++y)
        for (int x = s.x; x < s.x + s.width; ++x) screen.pixels[size_t(y) * screen.width + x] = 0x102030;
    EXPECT_FALSE(FindTooltip(screen, rect));
}

}  // namespace
