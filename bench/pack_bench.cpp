// Reading with a learned glyph pack against reading with the built-in one: the same ring, drawn
// once in the built-in pictures and once on the second screen (another font, size and layout),
// parsed with the built-in pack and with a pack learned from three described tooltips.
#include <benchmark/benchmark.h>

#include <string>

#include "reader/glyphs.h"
#include "reader/parser.h"
#include "tests/support/second_screen_scenes.h"

namespace {

std::vector<ComposeLine> RingLines() {
    return {OptionLine(7, "98.5"), OptionLine(6, "406"), OptionLine(12, "213", "1078"), OptionLine(14, "23")};
}

struct Setup {
    bool ok = false;
    SecondScreen second;
    GlyphPack learned;
    PixelBuffer builtInTooltip, secondTooltip;
};

const Setup& Prepared() {
    static Setup s = [] {
        Setup s;
        std::string error;
        if (!LoadGlyphTemplates(error) || !LoadSecondScreen(s.second, error)) return s;
        s.learned = BuiltInPack();
        PackContents contents;
        for (const TooltipScene& scene : SecondScreenTeaching(s.second)) {
            PixelBuffer screen;
            LearnReport report;
            LearnMessage refusal;
            if (!ComposeScreen(scene, screen, error) ||
                !LearnFromTooltip(screen, Describe(scene), s.learned, contents, report, refusal))
                return s;
        }
        TooltipScene ring;
        ring.kind = 4, ring.lines = RingLines();
        TooltipScene secondRing = second_screen_scenes::Scene(s.second, 4, RingLines());
        s.ok = ComposeTooltip(ring, s.builtInTooltip, error) &&
               ComposeTooltip(secondRing, s.secondTooltip, error);
        return s;
    }();
    return s;
}

void Parse(benchmark::State& state, bool learned) {
    const Setup& s = Prepared();
    if (!s.ok) return state.SkipWithError("cannot prepare the tooltips");
    const PixelBuffer& tooltip = learned ? s.secondTooltip : s.builtInTooltip;
    const GlyphPack& pack = learned ? s.learned : BuiltInPack();
    ItemRecord item;
    for (auto _ : state) {
        item = ParseItem(&tooltip, 0, pack);
        benchmark::DoNotOptimize(item.stats);
    }
    if (item.kind != 4 || item.stats[kIntelligence] != 98.5f) state.SkipWithError("wrong reading");
}

void ParseBuiltInPack(benchmark::State& state) {
    Parse(state, false);
}
void ParseLearnedPack(benchmark::State& state) {
    Parse(state, true);
}

}  // namespace

BENCHMARK(ParseBuiltInPack)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseLearnedPack)->Unit(benchmark::kMicrosecond);
