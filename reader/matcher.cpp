// Template matcher. Each call lists the template samples it compares (offset and value), the
// ones most likely to differ first, then tests candidates eight columns at a time by plain
// pointer reads; only candidates whose samples reach outside the buffer use bounded reads.
#include "reader/matcher.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kLanes = 8;  // candidate columns tested together

struct Sample {
    int64_t offset;  // tx + image width * ty
    uint32_t value;  // the value the screen must hold there
};

// The samples of one call. Small templates keep them on the stack: the option parser makes
// hundreds of calls at a single position, where building the list is most of the work.
struct SampleList {
    static constexpr size_t kInline = 256;
    Sample inlineStore[kInline];
    std::vector<Sample> heap;
    const Sample* data = inlineStore;
    size_t size = 0;
    int64_t maxOffset = 0;
};

// Lists the samples a candidate is judged on. In every mode a sample is a mismatch exactly when
// the screen value differs from the listed value: mode 1 leaves out black template pixels, mode 2
// keeps only pure white ones. Whether a candidate passes does not depend on the order of its
// samples, so template ink comes first: on the tooltip's black background it fails fastest.
void ListSamples(const PixelBuffer& tmpl, int64_t imageWidth, int step, int mode, SampleList& list) {
    const int64_t columns = tmpl.width > 0 ? (int64_t(tmpl.width) + step - 1) / step : 0;
    const int64_t rows = tmpl.height > 0 ? (int64_t(tmpl.height) + step - 1) / step : 0;
    const size_t most = size_t(columns * rows);
    Sample* out = list.inlineStore;
    if (most > SampleList::kInline) {
        list.heap.resize(most);
        out = list.heap.data();
    }
    // Ink from the front, black from the back, then the black ones moved up behind the ink.
    size_t ink = 0, black = most;
    for (int64_t tx = 0; tx < tmpl.width; tx += step) {
        for (int64_t ty = 0; ty < tmpl.height; ty += step) {
            const uint32_t t = PixelAt(tmpl, tx, ty);
            if ((mode == 1 && t == 0) || (mode == 2 && t != 0xFFFFFF)) continue;
            const int64_t offset = tx + imageWidth * ty;
            list.maxOffset = std::max(list.maxOffset, offset);
            out[t != 0 ? ink++ : --black] = Sample{offset, t};
        }
    }
    if (black != ink) std::copy(out + black, out + most, out + ink);
    list.data = out;
    list.size = ink + (most - black);
}

// One candidate whose samples all lie inside the buffer; `at` points at its top-left pixel.
bool PassesDirect(const uint32_t* at, const SampleList& list, int tolerance) {
    int mismatches = 0;
    for (size_t i = 0; i < list.size; ++i) {
        const Sample& s = list.data[i];
        if (at[s.offset] == s.value) continue;
        if (mismatches >= tolerance) return false;
        ++mismatches;
    }
    return true;
}

// One candidate at linear position `base`, reading 0 outside 0..readable-1 as PixelAt does.
bool PassesBounded(const uint32_t* data, int64_t readable, int64_t base, const SampleList& list,
                   int tolerance) {
    int mismatches = 0;
    for (size_t i = 0; i < list.size; ++i) {
        const Sample& s = list.data[i];
        const int64_t p = base + s.offset;
        const uint32_t v = (p < 0 || p >= readable) ? 0u : data[p];
        if (v == s.value) continue;
        if (mismatches >= tolerance) return false;
        ++mismatches;
    }
    return true;
}

#if defined(__GNUC__)
// Eight candidates side by side share each sample's row of the screen, so vector compares judge
// that sample for all of them: two vectors of four, the width every x86-64 and ARM64 has.
typedef int32_t Quad __attribute__((vector_size(16)));
typedef int64_t QuadPairs __attribute__((vector_size(16)));

inline Quad LoadQuad(const uint32_t* p) {
    Quad v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Eight neighbouring candidates whose samples all lie inside the buffer. Returns bit j set when
// the candidate `at + j` passes. Stops as soon as every one of them has failed.
unsigned PassMaskDirect(const uint32_t* at, const SampleList& list, int tolerance) {
    const Sample* s = list.data;
    const size_t n = list.size;
    const Quad limit = Quad{} + tolerance;
    Quad low = {}, high = {};  // mismatches of candidates 0..3 and 4..7
    auto count = [&](const Sample& sample) {
        const uint32_t* p = at + sample.offset;
        const Quad value = Quad{} + int32_t(sample.value);
        low -= LoadQuad(p) != value;  // a true compare is -1
        high -= LoadQuad(p + 4) != value;
    };
    // No candidate can fail before tolerance + 1 samples, so those are counted unchecked.
    const size_t first = std::min(n, size_t(tolerance) + 1);
    size_t i = 0;
    for (; i < first; ++i) count(s[i]);
    for (;; ++i) {
        const QuadPairs alive = QuadPairs((low <= limit) | (high <= limit));
        if ((alive[0] | alive[1]) == 0) return 0;
        if (i == n) break;
        count(s[i]);
    }
    const Quad lowAlive = low <= limit, highAlive = high <= limit;
    unsigned mask = 0;
    for (int j = 0; j < 4; ++j)
        mask |= unsigned(lowAlive[j] != 0) << j | unsigned(highAlive[j] != 0) << (j + 4);
    return mask;
}
#else
unsigned PassMaskDirect(const uint32_t* at, const SampleList& list, int tolerance) {
    unsigned mask = 0;
    for (int j = 0; j < kLanes; ++j) mask |= unsigned(PassesDirect(at + j, list, tolerance)) << j;
    return mask;
}
#endif

}  // namespace

int MatchTemplate(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
                  int many, int step, int tolerance, int mode) {
    // Any other mode searches nothing; a step below 1 would never advance.
    if (mode < 0 || mode > 2 || step < 1) return 0;
    if (w == 0) w = image.width;
    if (h == 0) h = image.height;
    const int limit = many ? kHitListSize : 1;
    const int64_t xEnd = std::min<int64_t>(int64_t(x) + w, image.width);
    const int64_t yEnd = std::min<int64_t>(int64_t(y) + h, image.height);
    if (x >= xEnd || y >= yEnd) return 0;

    const int64_t width = image.width;
    const int64_t readable = ReadableCount(image);
    const uint32_t* data = image.pixels.data();
    SampleList samples;
    ListSamples(tmpl, width, step, mode, samples);
    // A negative tolerance rejects on the first mismatch, as tolerance 0 does.
    tolerance = std::max(tolerance, 0);

    int count = 0;
    auto record = [&](int64_t cx, int64_t cy) {
        if (hits) hits[count] = HitPos{int16_t(cx), int16_t(cy)};
        return ++count == limit;
    };

    // With no more samples than the tolerance every candidate passes.
    if (samples.size <= size_t(tolerance)) {
        for (int64_t cx = x; cx < xEnd; ++cx)
            for (int64_t cy = y; cy < yEnd; ++cy)
                if (record(cx, cy)) return count;
        return count;
    }

    // Hits come out by column, then row. A strip of eight columns is tested row by row, keeping
    // the first passing rows of each column that may still be wanted, and is reported column by
    // column after it.
    int laneHits[kLanes][kHitListSize];
    for (int64_t cx0 = x; cx0 < xEnd; cx0 += kLanes) {
        const int lanes = int(std::min<int64_t>(kLanes, xEnd - cx0));
        const int need = limit - count;  // hits still wanted
        int laneCount[kLanes] = {};
        bool anyHit = false;
        for (int64_t cy = y; cy < yEnd; ++cy) {
            const int64_t base = cx0 + width * cy;
            unsigned mask = 0;
            if (lanes == kLanes && base >= 0 && base + kLanes - 1 + samples.maxOffset < readable) {
                mask = PassMaskDirect(data + base, samples, tolerance);
            } else {
                for (int j = 0; j < lanes; ++j) {
                    const int64_t at = base + j;
                    const bool inside = at >= 0 && at + samples.maxOffset < readable;
                    const bool pass = inside ? PassesDirect(data + at, samples, tolerance)
                                             : PassesBounded(data, readable, at, samples, tolerance);
                    mask |= unsigned(pass) << j;
                }
            }
            if (mask == 0) continue;
            anyHit = true;
            for (int j = 0; j < lanes; ++j)
                if ((mask >> j & 1) && laneCount[j] < need) laneHits[j][laneCount[j]++] = int(cy - y);
            // The first column alone already gives every hit still wanted: nothing else can come
            // before them.
            if (laneCount[0] == need) break;
        }
        if (!anyHit) continue;
        for (int j = 0; j < lanes; ++j)
            for (int k = 0; k < laneCount[j]; ++k)
                if (record(cx0 + j, y + laneHits[j][k])) return count;
    }
    return count;
}
