// The whole read of a screen, locating the tooltip and parsing it, for a 450 x 700 tooltip on a
// 2560 x 1440 and a 3840 x 2160 screen: the product against the literal reference (reference
// matcher and locator, the tooltip's pixels copied for every matcher call).
#include <benchmark/benchmark.h>

#include <string>

#include "reader/glyphs.h"
#include "reader/locator.h"
#include "reader/parser.h"
#include "tests/support/reference_parser.h"
#include "tools/compose/compose.h"

namespace {

// A chest armour with eight option lines, two gems and an empty socket, placed where the game
// puts a tooltip beside the inventory.
PixelBuffer ScreenWithTooltip(int width, int height) {
    static bool loaded = [] {
        std::string error;
        return LoadGlyphTemplates(error);
    }();
    TooltipScene s;
    s.screenWidth = width, s.screenHeight = height;
    s.x = width * 62 / 100, s.y = height / 4, s.width = 450, s.height = 700;
    s.kind = 6;
    s.lines = {OptionLine(7, "182"), OptionLine(11, "140"), RawLine(60, "12"),    OptionLine(15, "71"),
               OptionLine(13, "12"), OptionLine(14, "18"),  OptionLine(4, "6.5"), OptionLine(5, "45"),
               OptionLine(35, "46"), OptionLine(35, "46"),  EmptySocketLine()};
    PixelBuffer screen;
    std::string error;
    if (!loaded || !ComposeScreen(s, screen, error)) return PixelBuffer();
    return screen;
}

void ProductRead(benchmark::State& state) {
    const PixelBuffer screen = ScreenWithTooltip(int(state.range(0)), int(state.range(1)));
    if (screen.count == 0) return state.SkipWithError("cannot compose the screen");
    ItemRecord item;
    for (auto _ : state) {
        PixelBuffer tooltip;
        item = LocateTooltip(screen, tooltip, nullptr) ? ParseItem(&tooltip, 0) : UnidentifiedItem();
        benchmark::DoNotOptimize(item.stats);
    }
    if (item.stats[6] != 274) state.SkipWithError("wrong reading");
}

void ReferenceRead(benchmark::State& state) {
    const PixelBuffer screen = ScreenWithTooltip(int(state.range(0)), int(state.range(1)));
    if (screen.count == 0) return state.SkipWithError("cannot compose the screen");
    ItemRecord item;
    for (auto _ : state) {
        item = ReferenceReadScreen(screen, 0, nullptr);
        benchmark::DoNotOptimize(item.stats);
    }
    if (item.stats[6] != 274) state.SkipWithError("wrong reading");
}

}  // namespace

BENCHMARK(ProductRead)->Args({2560, 1440})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(ReferenceRead)
    ->Args({2560, 1440})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
