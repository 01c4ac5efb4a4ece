// Captures the reader cannot use: an entirely black screen and a screen the system scaled, told
// apart from an ordinary screen without a tooltip.
#include "reader/screen_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

PixelBuffer BlackScreen(int width, int height) {
    return PixelBuffer(width, height, 0);
}

TEST(AllBlack, AnEmptyCaptureIsNotBlack) {
    EXPECT_FALSE(IsAllBlack(PixelBuffer()));
    EXPECT_FALSE(IsAllBlack(PixelBuffer(0, 1080)));
}

TEST(AllBlack, BlackScreensOfEverySizeAreBlack) {
    EXPECT_TRUE(IsAllBlack(BlackScreen(1, 1)));
    EXPECT_TRUE(IsAllBlack(BlackScreen(1920, 1080)));
    EXPECT_TRUE(IsAllBlack(BlackScreen(3840, 2160)));
    EXPECT_TRUE(IsAllBlack(BlackScreen(4097, 3)));  // not a whole number of blocks
}

TEST(AllBlack, OneLitPixelAnywhereMakesItNotBlack) {
    const int width = 1920, height = 1080;
    const int64_t last = int64_t(width) * height - 1;
    // The first and last pixels, both sides of the block edges, and a pixel deep inside.
    for (int64_t at : {int64_t(0), int64_t(1), int64_t(4095), int64_t(4096), int64_t(8191), int64_t(8192),
                       int64_t(width) * 700 + 1234, last - 1, last}) {
        PixelBuffer screen = BlackScreen(width, height);
        screen.pixels[size_t(at)] = RgbValue(1, 0, 0);
        EXPECT_FALSE(IsAllBlack(screen)) << "lit pixel at " << at;
    }
}

TEST(AllBlack, EachColourChannelCounts) {
    for (uint32_t value :
         {RgbValue(1, 0, 0), RgbValue(0, 1, 0), RgbValue(0, 0, 1), RgbValue(255, 255, 255)}) {
        PixelBuffer screen = BlackScreen(64, 64);
        screen.pixels[2000] = value;
        EXPECT_FALSE(IsAllBlack(screen)) << std::hex << value;
    }
}

TEST(AllBlack, TheFourthByteIsNoColour) {
    PixelBuffer screen = BlackScreen(64, 64);
    for (uint32_t& p : screen.pixels) p = 0xFF000000u;
    EXPECT_TRUE(IsAllBlack(screen));
}

TEST(AllBlack, OnlyThePixelsOfThePictureAreRead) {
    // A hand-made buffer may hold more values than its count, or fewer.
    PixelBuffer longer = BlackScreen(10, 10);
    longer.pixels.push_back(RgbValue(9, 9, 9));
    EXPECT_TRUE(IsAllBlack(longer));
    PixelBuffer shorter = BlackScreen(10, 10);
    shorter.pixels.resize(50);
    EXPECT_TRUE(IsAllBlack(shorter));
    shorter.pixels[49] = RgbValue(0, 0, 7);
    EXPECT_FALSE(IsAllBlack(shorter));
}

TEST(ScaledCapture, OnlyAnExactMatchOfBothSidesIsTheScreen) {
    EXPECT_FALSE(IsScaledCapture(1920, 1080, 1920, 1080));
    EXPECT_TRUE(IsScaledCapture(1536, 864, 1920, 1080));   // 125 %
    EXPECT_TRUE(IsScaledCapture(1280, 720, 1920, 1080));   // 150 %
    EXPECT_TRUE(IsScaledCapture(2560, 1440, 1920, 1080));  // larger than the display
    EXPECT_TRUE(IsScaledCapture(1920, 1079, 1920, 1080));
    EXPECT_TRUE(IsScaledCapture(1919, 1080, 1920, 1080));
    EXPECT_TRUE(IsScaledCapture(1080, 1920, 1920, 1080));  // the sides swapped
}

TEST(ScaledCapture, AnUnknownPhysicalSizeNeverBlamesTheCapture) {
    EXPECT_FALSE(IsScaledCapture(1536, 864, 0, 0));
    EXPECT_FALSE(IsScaledCapture(1536, 864, 1920, 0));
    EXPECT_FALSE(IsScaledCapture(1536, 864, 0, 1080));
    EXPECT_FALSE(IsScaledCapture(1536, 864, -1, -1));
}

TEST(CheckCapture, NamesTheProblemOrNone) {
    PixelBuffer desktop(1920, 1080, RgbValue(40, 60, 90));
    EXPECT_EQ(CaptureProblem::kNone, CheckCapture(desktop, 1920, 1080));
    EXPECT_EQ(CaptureProblem::kScaled, CheckCapture(desktop, 2400, 1350));
    EXPECT_EQ(CaptureProblem::kNone, CheckCapture(desktop, 0, 0));

    const PixelBuffer black = BlackScreen(1920, 1080);
    EXPECT_EQ(CaptureProblem::kBlack, CheckCapture(black, 1920, 1080));
    EXPECT_EQ(CaptureProblem::kBlack, CheckCapture(black, 0, 0));
    // A scaled capture is named as such even when it is black: scaling is what the player fixes first.
    EXPECT_EQ(CaptureProblem::kScaled, CheckCapture(black, 2400, 1350));
}

TEST(CheckCapture, AnEmptyCaptureIsLeftToTheLocator) {
    EXPECT_EQ(CaptureProblem::kNone, CheckCapture(PixelBuffer(), 1920, 1080));
    EXPECT_EQ(CaptureProblem::kNone, CheckCapture(PixelBuffer(), 0, 0));
}

}  // namespace
