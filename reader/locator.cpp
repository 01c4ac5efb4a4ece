// Tooltip locator. The search is defined column by column down every row; this finds the same
// answer while reading only a small part of the screen. A run of more than 200 black pixels in a
// column always covers one of the rows 200, 401, 602, ... (every 201st row), so columns that are
// not black on any of those rows cannot hold one and are passed over after one read of those
// rows; in the others only the black runs through those rows are walked.
#include "reader/locator.h"

#include <vector>

#include "base/status.h"

namespace {

constexpr int64_t kMinHeight = 200;  // a black run must be longer than this
constexpr int64_t kMinWidth = 300;   // its bottom row must be black for longer than this
constexpr int64_t kProbeSpacing = 50;
constexpr int64_t kSkipDistance = 100;

struct Screen {
    const uint32_t* data;
    int64_t width, height, readable;
    uint32_t At(int64_t x, int64_t y) const {
        const int64_t p = x + width * y;
        return (p < 0 || p >= readable) ? 0u : data[p];
    }
};

// What testing a run as a tooltip's left edge leads to: nothing, a jump 100 columns on, or the end.
enum class EdgeTest { None, Jump, Found };

// Tests the black run of column x that starts at runStart and ends at row y - 1 (row y is not
// black) as the left edge of a tooltip. `segmentEnd` is the first non-black column at or right of
// x on the bottom row, or the width when the row stays black to the right edge.
EdgeTest TestLeftEdge(const Screen& s, int64_t x, int64_t y, int64_t runStart, int64_t segmentEnd,
                      TooltipRect& rect) {
    if (segmentEnd == s.width || segmentEnd - x <= kMinWidth) return EdgeTest::None;
    const int64_t bottom = y - 1, run = y - runStart;
    const int64_t middle = runStart + run / 2;
    for (int64_t py = bottom; py > middle; py -= kProbeSpacing)
        if (s.At(segmentEnd - 1, py) != 0) return EdgeTest::Jump;
    rect = TooltipRect{int32_t(x), int32_t(runStart), int32_t(segmentEnd - x), int32_t(run)};
    return EdgeTest::Found;
}

// The first non-black column at or right of x on one row. Columns are visited left to right, so
// once a row's black stretch from some column has been walked, every later column inside it has
// the same answer: each row's end is remembered, and a screen of black bands is walked once per
// row instead of once per column.
class SegmentEnds {
public:
    explicit SegmentEnds(int64_t height) : end_(size_t(height), -1) {}
    int64_t Find(const Screen& s, int64_t x, int64_t row) {
        int64_t& known = end_[size_t(row)];
        if (known > x) return known;  // x lies inside the stretch walked before
        while (x < s.width && s.At(x, row) == 0) ++x;
        known = x;
        return x;
    }

private:
    std::vector<int64_t> end_;
};

// The walk of one column from row `fromRow` on, the run counted from there (after a jump it
// starts mid-column). Returns the outcome of the first run that ends on a non-black pixel, is
// longer than 200 rows and has a bottom row wide enough to test its right edge; None when the
// walk reaches the bottom without one. Only the runs through every 201st row are looked at: a
// shorter run could not be tested, and the others do nothing but end.
EdgeTest WalkColumn(const Screen& s, SegmentEnds& ends, int64_t x, int64_t fromRow, int64_t& eventRow,
                    TooltipRect& rect) {
    const int64_t every = kMinHeight + 1;
    int64_t row = fromRow + (every - 1 - fromRow % every);  // the first sampled row from fromRow on
    for (; row < s.height; row += every) {
        if (s.At(x, row) != 0) continue;
        int64_t start = row, end = row;  // the black run through `row`, from fromRow on
        while (start > fromRow && s.At(x, start - 1) == 0) --start;
        while (end + 1 < s.height && s.At(x, end + 1) == 0) ++end;
        if (end + 1 == s.height) break;  // ends at the bottom edge: never tested
        if (end + 1 - start > kMinHeight) {
            const EdgeTest t = TestLeftEdge(s, x, end + 1, start, ends.Find(s, x, end), rect);
            if (t != EdgeTest::None) {
                eventRow = end + 1;
                return t;
            }
        }
        while (row + every <= end) row += every;  // rows of this run are done
    }
    return EdgeTest::None;
}

}  // namespace

bool FindTooltip(const PixelBuffer& screen, TooltipRect& rect) {
    const Screen s{screen.pixels.data(), screen.width, screen.height, ReadableCount(screen)};
    if (s.width <= 0 || s.height <= 0) return false;
    const int64_t every = kMinHeight + 1;

    // Columns that are black on at least one sampled row, found by reading those rows in order.
    std::vector<uint8_t> maybe(size_t(s.width), 0);
    for (int64_t row = every - 1; row < s.height; row += every) {
        if ((row + 1) * s.width <= s.readable) {
            const uint32_t* p = s.data + row * s.width;
            for (int64_t x = 0; x < s.width; ++x) maybe[size_t(x)] |= p[x] == 0;
        } else {
            for (int64_t x = 0; x < s.width; ++x) maybe[size_t(x)] |= s.At(x, row) == 0;
        }
    }

    SegmentEnds ends(s.height);
    // Columns left to right. A failed right-edge probe moves the walk 100 columns on, from the
    // next row, with a fresh run; that walk ends in another jump, the tooltip or the bottom.
    for (int64_t x = 0; x < s.width; ++x) {
        if (!maybe[size_t(x)]) continue;
        int64_t y = 0;
        EdgeTest t = WalkColumn(s, ends, x, 0, y, rect);
        while (t == EdgeTest::Jump) {
            x += kSkipDistance;
            t = WalkColumn(s, ends, x, y + 1, y, rect);
        }
        if (t == EdgeTest::Found) return true;
    }
    return false;
}

bool LocateTooltip(const PixelBuffer& screen, PixelBuffer& tooltip, HitPos* position, TooltipRect* rect) {
    TooltipRect found;
    if (!FindTooltip(screen, found)) {
        ShowAlert(kAlertNoTooltip);
        return false;
    }
    tooltip = CropPixels(screen, found.x, found.y, found.width, found.height);
    if (position) *position = HitPos{int16_t(found.x), int16_t(found.y)};
    if (rect) *rect = found;
    return true;
}
