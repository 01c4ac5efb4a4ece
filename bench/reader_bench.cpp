// Speed of the tooltip locator and the item-kind search, the product code against the literal
// versions, with one sequential read of the screen as the floor for the locator; and how much of
// the screen the program copies to locate and cut a tooltip.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "base/files.h"
#include "reader/glyphs.h"
#include "reader/locator.h"
#include "reader/matcher.h"
#include "reader/screen_check.h"
#include "reader/screen_source.h"
#include "tests/support/reference_reader.h"
#include "tools/compose/compose.h"

// Counts what the measured calls allocate (one untimed call each, reported as counters). GCC
// takes the malloc behind this operator new for a different allocator than the free behind delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<int64_t> gAllocBytes{0}, gAllocCount{0};
}  // namespace

void* operator new(size_t n) {
    gAllocBytes += int64_t(n);
    ++gAllocCount;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int kTipWidth = 450, kTipHeight = 700;
const int kScreens[][2] = {{1920, 1080}, {2560, 1440}, {3840, 2160}};

template <typename F>
void CountAllocations(benchmark::State& state, F call) {
    const int64_t bytes = gAllocBytes, count = gAllocCount;
    call();
    const double madeBytes = double(gAllocBytes - bytes), made = double(gAllocCount - count);
    state.counters["alloc_bytes"] = madeBytes;
    state.counters["allocs"] = made;
}

void Fill(PixelBuffer& s, int x, int y, int w, int h, uint32_t v) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) s.pixels[size_t(yy) * s.width + xx] = v;
}

// Short strokes of text colour, as option lines and captions look from afar.
void Scribble(PixelBuffer& s, std::mt19937& rng, int x0, int y0, int w, int h, int lines,
              const uint32_t* colours, int colourCount) {
    for (int line = 0; line < lines; ++line) {
        const int y = y0 + int(rng() % uint32_t(h - 12));
        const uint32_t c = colours[rng() % uint32_t(colourCount)];
        for (int x = x0 + int(rng() % 20); x < x0 + w - 10; x += 5 + int(rng() % 6)) {
            if (rng() % 7 == 0) x += 8;
            for (int k = int(rng() % 8); k >= 0; --k)
                s.pixels[size_t(y + rng() % 11) * s.width + x + rng() % 4] = c;
        }
    }
}

// A desktop: gradients, windows of flat colour and dark text, no other black area big enough to
// be a tooltip; the tooltip (450 x 700, black with grey and blue lines) sits at the right.
PixelBuffer MakeScreen(int width, int height, TooltipRect& tip) {
    std::mt19937 rng{uint32_t(width)};
    PixelBuffer s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.pixels[size_t(y) * width + x] =
                RgbValue(uint8_t(1 + x * 200 / width), uint8_t(40 + y * 150 / height), 160);
    for (int k = 0; k < 40; ++k) {
        const int w = 100 + int(rng() % 700), h = 60 + int(rng() % 500);
        const int x = int(rng() % uint32_t(width - w)), y = int(rng() % uint32_t(height - h));
        Fill(s, x, y, w, h, (rng() & 0xFFFFFF) | 0x010101);
        const uint32_t dark[] = {0, 0x202020, 0x101010};
        Scribble(s, rng, x + 5, y + 5, w - 10, h - 10, h / 20, dark, 3);
    }
    tip = TooltipRect{width - kTipWidth - 40, (height - kTipHeight) / 2, kTipWidth, kTipHeight};
    Fill(s, tip.x, tip.y, tip.width, tip.height, 0);
    const uint32_t text[] = {0x888888, 0xFF6969, 0xFFFFFF};
    Scribble(s, rng, tip.x + 20, tip.y + 20, tip.width - 40, tip.height - 40, 40, text, 3);
    return s;
}

// The same 4K desktop with three large black windows (text, and grid lines every 250 columns so
// that none is wide enough): every column there holds long black runs that must be tested.
PixelBuffer MakeDarkScreen(TooltipRect& tip) {
    PixelBuffer s = MakeScreen(3840, 2160, tip);
    std::mt19937 rng{17};
    const uint32_t text[] = {0xC0C0C0, 0x00FF00};
    const int windows[3][2] = {{100, 200}, {1100, 900}, {2000, 150}};
    for (const auto& at : windows) {
        Fill(s, at[0], at[1], 900, 700, 0);
        Scribble(s, rng, at[0] + 10, at[1] + 10, 880, 680, 30, text, 2);
        for (int x = at[0] + 249; x < at[0] + 900; x += 250) Fill(s, x, at[1], 1, 700, 0x404040);
    }
    return s;
}

// The tooltip alone, with a slot caption in its upper right quarter when the glyphs exist.
PixelBuffer MakeTooltip() {
    TooltipRect tip;
    PixelBuffer screen = MakeScreen(1920, 1080, tip);
    PixelBuffer t = CropPixels(screen, tip.x, tip.y, tip.width, tip.height);
    const PixelBuffer& caption = GlyphTemplate(62);
    for (int y = 0; y < caption.height; ++y)
        for (int x = 0; x < caption.width; ++x)
            t.pixels[size_t(40 + y) * t.width + 380 + x] = caption.pixels[size_t(y) * caption.width + x];
    return t;
}

// The 13 slot-caption templates: the real pictures, or grey stand-ins of their sizes.
const PixelBuffer* KindTemplates() {
    static PixelBuffer stand[13];
    static const PixelBuffer* list[13];
    static bool ready = false;
    if (!ready) {
        std::string error;
        const bool loaded = LoadGlyphTemplates(error);
        std::mt19937 rng(5);
        for (int i = 0; i < 13; ++i) {
            const GlyphInfo& info = kGlyphInfo[56 + i];
            if (loaded && GlyphTemplate(56 + i).count > 0) {
                stand[i] = GlyphTemplate(56 + i);
            } else {
                stand[i] = PixelBuffer(info.width, info.height);
                for (uint32_t& v : stand[i].pixels) v = rng() % 3 == 0 ? 0x888888 : 0;
            }
        }
        ready = true;
        for (int i = 0; i < 13; ++i) list[i] = &stand[i];
    }
    return *list;
}

void LocateProduct(benchmark::State& state) {
    TooltipRect tip, found;
    const PixelBuffer screen = MakeScreen(kScreens[state.range(0)][0], kScreens[state.range(0)][1], tip);
    for (auto _ : state) benchmark::DoNotOptimize(FindTooltip(screen, found));
    if (!FindTooltip(screen, found) || found.x != tip.x || found.y != tip.y)
        state.SkipWithError("tooltip not found");
    CountAllocations(state, [&] { FindTooltip(screen, found); });
    state.SetBytesProcessed(int64_t(state.iterations()) * screen.count * 4);
}

void LocateReference(benchmark::State& state) {
    TooltipRect tip, found;
    const PixelBuffer screen = MakeScreen(kScreens[state.range(0)][0], kScreens[state.range(0)][1], tip);
    for (auto _ : state) benchmark::DoNotOptimize(ReferenceFindTooltip(screen, found));
    if (found.x != tip.x || found.y != tip.y) state.SkipWithError("tooltip not found");
    state.SetBytesProcessed(int64_t(state.iterations()) * screen.count * 4);
}

void LocateDarkProduct(benchmark::State& state) {
    TooltipRect tip, found;
    const PixelBuffer screen = MakeDarkScreen(tip);
    for (auto _ : state) benchmark::DoNotOptimize(FindTooltip(screen, found));
    if (!FindTooltip(screen, found) || found.x != tip.x || found.y != tip.y)
        state.SkipWithError("tooltip not found");
    CountAllocations(state, [&] { FindTooltip(screen, found); });
}

void LocateDarkReference(benchmark::State& state) {
    TooltipRect tip, found;
    const PixelBuffer screen = MakeDarkScreen(tip);
    for (auto _ : state) benchmark::DoNotOptimize(ReferenceFindTooltip(screen, found));
    if (found.x != tip.x || found.y != tip.y) state.SkipWithError("tooltip not found");
}

void SequentialRead(benchmark::State& state) {
    TooltipRect tip;
    const PixelBuffer screen = MakeScreen(kScreens[state.range(0)][0], kScreens[state.range(0)][1], tip);
    for (auto _ : state) {
        uint64_t sum = 0;
        for (uint32_t v : screen.pixels) sum += v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * screen.count * 4);
}

// Item-kind identification: each slot caption over the upper right quarter, step 2, tolerance 10.
template <int (*Match)(const PixelBuffer&, int, int, int, int, const PixelBuffer&, HitPos*, int, int, int,
                       int)>
void KindSearch(benchmark::State& state) {
    const PixelBuffer tooltip = MakeTooltip();
    const PixelBuffer* templates = KindTemplates();
    const int w = tooltip.width, h = tooltip.height;
    int hits = 0;
    auto search = [&] {
        hits = 0;
        for (int i = 0; i < 13; ++i) {
            HitPos hit;
            hits += Match(tooltip, w / 2, 0, w / 2, h / 2, templates[i], &hit, 0, 2, 10, 0);
        }
    };
    for (auto _ : state) {
        search();
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
    CountAllocations(state, search);
}

}  // namespace

// Screens of the largest accepted size built to make the locator work hardest: bands of 201
// black rows and one white row, where every column holds a run long enough to test and every
// bottom row is black to the right edge; and one black frame filling the screen but for a white
// right column, which is found and cut out whole.
PixelBuffer HostileScreen(int kind) {
    const int w = kind == 1 ? 8192 : 16384, h = kind == 1 ? 8192 : 4096;
    PixelBuffer s(w, h, 0);
    if (kind == 2) {
        for (int y = 0; y < h; ++y) s.pixels[size_t(y) * w + (w - 1)] = 0xFFFFFF;
        Fill(s, 0, h - 1, w, 1, 0xFFFFFF);
        return s;
    }
    for (int y = 201; y < h; y += 202) Fill(s, 0, y, w, 1, 0xFFFFFF);
    return s;
}

void LocateHostile(benchmark::State& state) {
    const PixelBuffer screen = HostileScreen(int(state.range(0)));
    TooltipRect rect;
    for (auto _ : state) benchmark::DoNotOptimize(FindTooltip(screen, rect));
    state.SetLabel(std::to_string(screen.width) + "x" + std::to_string(screen.height) +
                   (state.range(0) == 2 ? " frame" : " bands"));
}
BENCHMARK(LocateHostile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

namespace {

// The sample screen composed at one of the three sizes.
PixelBuffer SampleScreen(int width, int height) {
    static const bool loaded = [] {
        std::string error;
        return LoadGlyphTemplates(error);
    }();
    std::string text, error;
    TooltipScene scene;
    PixelBuffer screen;
    if (!loaded || !ReadFileBytes(TALLYWICK_SOURCE_DIR "/samples/sample_screen.txt", text, error, 1 << 16) ||
        !ParseScene(text, scene, error))
        return screen;
    scene.screenWidth = width, scene.screenHeight = height;
    scene.x = std::min(scene.x, width - scene.width - 40);  // where the sample has it, or inside
    ComposeScreen(scene, screen, error);
    return screen;
}

class MemoryFetcher final : public ScreenFetcher {
public:
    explicit MemoryFetcher(const PixelBuffer& p) : picture_(p) {}
    bool Fetch(const ScreenArea& a, uint32_t* out) override {
        for (int32_t row = 0; row < a.height; ++row)
            std::copy_n(picture_.pixels.begin() + (int64_t(a.y) + row) * picture_.width + a.x, a.width,
                        out + int64_t(row) * a.width);
        return true;
    }

private:
    const PixelBuffer& picture_;
};

}  // namespace

// What the program copies from the display for one action: the black-capture check, locating and
// the cut, read in blocks. Counters: pixels copied, copies made, and the whole screen's pixels
// over those copied. Ranges 0..2: the sample screen at the three sizes; 3: the dark 4K screen of
// three black windows.
void SparseCopy(benchmark::State& state) {
    TooltipRect tip{-1, -1, -1, -1};
    const int which = int(state.range(0));
    const PixelBuffer screen =
        which == 3 ? MakeDarkScreen(tip) : SampleScreen(kScreens[which][0], kScreens[which][1]);
    if (screen.count == 0) return state.SkipWithError("cannot compose the screen");
    int64_t copied = 0;
    int copies = 0;
    TooltipRect found{-1, -1, -1, -1};
    for (auto _ : state) {
        SparseScreen s(screen.width, screen.height, std::make_unique<MemoryFetcher>(screen));
        if (!IsAllBlack(s) && FindTooltip(s, found))
            benchmark::DoNotOptimize(CropScreen(s, found).pixels.data());
        copied = s.FetchedPixels(), copies = s.Fetches();
    }
    TooltipRect whole;
    if (!FindTooltip(screen, whole) || whole.x != found.x || whole.y != found.y || whole.width != found.width)
        state.SkipWithError("not the whole screen's tooltip");
    state.counters["copied_px"] = double(copied);
    state.counters["copies"] = copies;
    state.counters["screen_over_copied"] = double(screen.count) / double(copied);
    state.SetLabel((which == 3 ? "dark " : "sample ") + std::to_string(screen.width) + "x" +
                   std::to_string(screen.height));
}
BENCHMARK(SparseCopy)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK(LocateProduct)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateReference)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateDarkProduct)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateDarkReference)->Unit(benchmark::kMillisecond);
BENCHMARK(SequentialRead)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(KindSearch<MatchTemplate>)->Name("KindSearchProduct")->Unit(benchmark::kMillisecond);
BENCHMARK(KindSearch<ReferenceMatchTemplate>)->Name("KindSearchReference")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
