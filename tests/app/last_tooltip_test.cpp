// The last capture's tooltip: kept as a copy with its screen size, forgotten by a capture without
// a tooltip, and whole whichever threads keep and read at once.
#include "app/last_tooltip.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(LastTooltipTest, TheMostRecentCaptureDecides) {
    PixelBuffer tooltip(3, 2, 0x123456);
    KeepLastTooltip(&tooltip, 1920, 1200);
    tooltip.pixels[0] = 0;  // the keeper holds its own copy
    KeptTooltip first;
    ASSERT_TRUE(LastTooltip(first));
    EXPECT_EQ(std::vector<uint32_t>(6, 0x123456), first.picture.pixels);
    EXPECT_EQ(1920, first.screenWidth);
    EXPECT_EQ(1200, first.screenHeight);

    KeepLastTooltip(nullptr, 2560, 1440);  // the next capture found no tooltip
    KeptTooltip none;
    EXPECT_FALSE(LastTooltip(none));
    KeepLastTooltip(&tooltip, 2560, 1440);
    KeptTooltip next;
    ASSERT_TRUE(LastTooltip(next));
    EXPECT_EQ(first.capture + 2, next.capture);
    EXPECT_EQ(0u, next.picture.pixels[0]);
}

TEST(LastTooltipTest, KeepingAndReadingAtOnceNeverMixTwoCaptures) {
    // Each capture's picture is as wide as its screen is high, so a torn read shows.
    const PixelBuffer start(100, 2);
    KeepLastTooltip(&start, 1000, 100);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        KeptTooltip kept;
        while (!done)
            if (LastTooltip(kept)) {
                ASSERT_EQ(kept.screenHeight, kept.picture.width);
                ASSERT_EQ(size_t(kept.picture.width) * 2, kept.picture.pixels.size());
            }
    });
    std::vector<std::thread> keepers;
    for (int t = 0; t < 3; ++t)
        keepers.emplace_back([t] {
            for (int i = 0; i < 300; ++i) {
                const PixelBuffer p(100 + t * 10 + i % 7, 2);
                KeepLastTooltip(&p, 1000, p.width);
            }
        });
    for (std::thread& k : keepers) k.join();
    done = true;
    reader.join();
}

}  // namespace
