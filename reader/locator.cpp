// Tooltip locator. The search is defined column by column down every row; this finds the same
// answer while reading only a small part of the screen. A run of more than 200 black pixels in a
// column always covers one of the rows 200, 401, 602, ... (every 201st row), so columns that are
// not black on any of those rows cannot hold one and are passed over after one read of those
// rows; in the others only the black runs through those rows are walked. The screen is read by
// areas (a sampled row, a stretch of a column, a piece of a bottom row), so that a screen fetched
// from the display is fetched only where the walk goes.
#include "reader/locator.h"

#include <algorithm>
#include <vector>

#include "base/status.h"

namespace {

constexpr int64_t kMinHeight = 200;  // a black run must be longer than this
constexpr int64_t kMinWidth = 300;   // its bottom row must be black for longer than this
constexpr int64_t kProbeSpacing = 50;
constexpr int64_t kSkipDistance = 100;
constexpr int64_t kEvery = kSampledRowStep;
// Once three neighbouring columns are walked through the same sampled row, the columns right of
// them that are black on some sampled row are likely walked too: they are fetched with the third,
// twice as many as were walked, up to this many.
constexpr int64_t kFetchColumns = 1024;
// A black stretch of a sampled row narrower than this is a speck, fetched with the specks up to
// kSpeckReach columns on.
constexpr int64_t kSpeck = 8, kSpeckReach = 32;
// A bottom row is read to the right in pieces, the first this long (a tooltip's width), each next
// one twice as long.
constexpr int64_t kRowPiece = 512;

// The screen as the locator reads it: the sampled rows at hand, everything else asked for by area.
class Screen {
public:
    explicit Screen(ScreenSource& source)
        : width(source.Width()),
          height(source.Height()),
          source_(source),
          firstBlack_(size_t(width), -1),
          lastBlack_(size_t(width), -1) {
        for (int64_t row = kEvery - 1; row < height; row += kEvery) {
            const uint32_t* p = source.Rows(ScreenArea{0, int32_t(row), int32_t(width), 1}).first;
            sampled_.push_back(p);
            for (int64_t x = 0; x < width; ++x) {
                if (p[x] != 0) continue;
                if (firstBlack_[size_t(x)] < 0) firstBlack_[size_t(x)] = int32_t(row);
                lastBlack_[size_t(x)] = int32_t(row);
            }
        }
        walkedColumn_.assign(sampled_.size(), -1);
        walkedStreak_.assign(sampled_.size(), 0);
    }
    // Whether column x is black on a sampled row: only then can it hold a run long enough to test.
    bool Candidate(int64_t x) const { return firstBlack_[size_t(x)] >= 0; }
    // Pixel x of a sampled row.
    uint32_t Sampled(int64_t x, int64_t row) const { return sampled_[size_t(row / kEvery)][x]; }
    // The rows of (x, y, w, h); a source that fetches fetches `fetch` (holding them) instead.
    ScreenRows Rows(int64_t x, int64_t y, int64_t w, int64_t h) { return source_.Rows(Area(x, y, w, h)); }
    ScreenRows Rows(int64_t x, int64_t y, int64_t w, int64_t h, const ScreenArea& fetch) {
        return source_.Rows(Area(x, y, w, h), fetch);
    }
    static ScreenArea Area(int64_t x, int64_t y, int64_t w, int64_t h) {
        return ScreenArea{int32_t(x), int32_t(y), int32_t(w), int32_t(h)};
    }
    // What to fetch with `stretch`, the stretch of column x around sampled row `row`. A copy costs
    // about as much per row as per thousand pixels, so columns likely to be read over the same rows
    // come along: in a black area (three columns walked through this row, but for a line of colour
    // between them) the candidate columns from x on, with every row their walks can reach; at a
    // speck on this row (dark text), the specks up to 32 columns on. The first column of a wider
    // stretch, as a tooltip's left edge, comes alone: it is often all there is to read.
    ScreenArea FetchFor(int64_t x, int64_t row, const ScreenArea& stretch) {
        const size_t k = size_t(row / kEvery);
        walkedStreak_[k] = walkedColumn_[k] >= x - 2 ? walkedStreak_[k] + 1 : 1;
        walkedColumn_[k] = x;
        if (walkedStreak_[k] < 3) {
            int64_t black = 0, end = x + 1;
            while (x + black < width && black < kSpeck && Sampled(x + black, row) == 0) ++black;
            if (black == kSpeck) return stretch;
            for (int64_t c = x + 1; c < std::min(width, x + kSpeckReach); ++c)
                if (Sampled(c, row) == 0) end = c + 1;
            return Area(x, stretch.y, end - x, stretch.height);
        }
        const ScreenArea& b = areaBlock_;
        if (stretch.x >= b.x && stretch.x < b.x + b.width && stretch.y >= b.y &&
            stretch.y + stretch.height <= b.y + b.height)
            return b;  // fetched with a column before
        int64_t top = stretch.y, bottom = int64_t(stretch.y) + stretch.height - 1, end = x;
        // Twice as many columns as were walked before, so that a walk that stops soon fetched little.
        const int64_t columns = std::clamp<int64_t>(2 * walkedStreak_[k], 16, kFetchColumns);
        for (const int64_t last = std::min(width, x + columns); end < last && Candidate(end); ++end) {
            top = std::min(top, int64_t(firstBlack_[size_t(end)]) - kEvery + 1);
            bottom = std::max(bottom, int64_t(lastBlack_[size_t(end)]) + kEvery - 1);
        }
        // The column after them too: where their bottom rows are likely to end.
        end = std::min(end + 1, width);
        top = std::max<int64_t>(top, 0), bottom = std::min(bottom, height - 1);
        areaBlock_ = Area(x, top, end - x, bottom - top + 1);
        return areaBlock_;
    }
    // The last block fetched for a black area, as FetchFor gave it.
    const ScreenArea& AreaBlock() const { return areaBlock_; }

    const int64_t width, height;

private:
    ScreenSource& source_;
    std::vector<const uint32_t*> sampled_;
    std::vector<int32_t> firstBlack_, lastBlack_;  // per column: its first and last black sampled row
    ScreenArea areaBlock_;
    // Per sampled row: the last column walked through it, and how many neighbours led up to it.
    std::vector<int64_t> walkedColumn_, walkedStreak_;
};

// What testing a run as a tooltip's left edge leads to: nothing, a jump 100 columns on, or the end.
enum class EdgeTest { None, Jump, Found };

// Tests the black run of column x that starts at runStart and ends at row y - 1 (row y is not
// black) as the left edge of a tooltip. `segmentEnd` is the first non-black column at or right of
// x on the bottom row, or the width when the row stays black to the right edge.
EdgeTest TestLeftEdge(Screen& s, int64_t x, int64_t y, int64_t runStart, int64_t segmentEnd,
                      TooltipRect& rect) {
    if (segmentEnd == s.width || segmentEnd - x <= kMinWidth) return EdgeTest::None;
    const int64_t bottom = y - 1, run = y - runStart;
    const int64_t middle = runStart + run / 2;
    // The probed rows lie in the right column between the middle and the bottom row. Fetched, they
    // come with the rest of the rectangle, which is cut out when they are all black.
    const ScreenRows edge = s.Rows(segmentEnd - 1, middle + 1, 1, bottom - middle,
                                   Screen::Area(x, runStart, segmentEnd - x, run));
    for (int64_t py = bottom; py > middle; py -= kProbeSpacing)
        if (edge.At(0, py - middle - 1) != 0) return EdgeTest::Jump;
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
    int64_t Find(Screen& s, int64_t x, int64_t row) {
        int64_t& known = end_[size_t(row)];
        if (known > x) return known;  // x lies inside the stretch walked before
        // Inside a black area the row is read first from the block fetched with the column.
        const ScreenArea& area = s.AreaBlock();
        int64_t piece = kRowPiece;
        if (x >= area.x && x < int64_t(area.x) + area.width && row >= area.y &&
            row < int64_t(area.y) + area.height)
            piece = area.x + area.width - x;
        for (; x < s.width; piece = std::max(2 * piece, kRowPiece)) {
            const int64_t n = std::min(piece, s.width - x);
            const uint32_t* p = s.Rows(x, row, n, 1).first;
            int64_t i = 0;
            while (i < n && p[i] == 0) ++i;
            x += i;
            if (i < n) break;
        }
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
EdgeTest WalkColumn(Screen& s, SegmentEnds& ends, int64_t x, int64_t fromRow, int64_t& eventRow,
                    TooltipRect& rect) {
    // A jump can land past the last column, where the defined reads run on into the next row;
    // no bottom row there is wide enough to test, so nothing there can be found or jump again.
    if (x >= s.width) return EdgeTest::None;
    int64_t row = fromRow + (kEvery - 1 - fromRow % kEvery);  // the first sampled row from fromRow on
    for (; row < s.height; row += kEvery) {
        if (s.Sampled(x, row) != 0) continue;
        // The run through `row` lies between the nearest sampled rows above and below it that are
        // not black in this column (or the walk's first row and the bottom edge): read that
        // stretch of the column in one piece.
        int64_t top = row, bottom = row;
        while (top - kEvery >= fromRow && s.Sampled(x, top - kEvery) == 0) top -= kEvery;
        top = std::max(fromRow, top - kEvery + 1);
        while (bottom + kEvery < s.height && s.Sampled(x, bottom + kEvery) == 0) bottom += kEvery;
        bottom = std::min(s.height - 1, bottom + kEvery - 1);
        const ScreenArea stretch = Screen::Area(x, top, 1, bottom - top + 1);
        const ScreenRows column = s.Rows(x, top, 1, bottom - top + 1, s.FetchFor(x, row, stretch));
        int64_t start = row, end = row;  // the black run through `row`, from fromRow on
        while (start > top && column.At(0, start - 1 - top) == 0) --start;
        while (end < bottom && column.At(0, end + 1 - top) == 0) ++end;
        if (end + 1 == s.height) break;  // ends at the bottom edge: never tested
        if (end + 1 - start > kMinHeight) {
            const EdgeTest t = TestLeftEdge(s, x, end + 1, start, ends.Find(s, x, end), rect);
            if (t != EdgeTest::None) {
                eventRow = end + 1;
                return t;
            }
        }
        while (row + kEvery <= end) row += kEvery;  // rows of this run are done
    }
    return EdgeTest::None;
}

}  // namespace

bool FindTooltip(ScreenSource& source, TooltipRect& rect) {
    if (source.Width() <= 0 || source.Height() <= 0) return false;
    Screen s(source);
    SegmentEnds ends(s.height);
    // Columns left to right. A failed right-edge probe moves the walk 100 columns on, from the
    // next row, with a fresh run; that walk ends in another jump, the tooltip or the bottom.
    for (int64_t x = 0; x < s.width; ++x) {
        if (!s.Candidate(x)) continue;
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

bool FindTooltip(const PixelBuffer& screen, TooltipRect& rect) {
    BufferSource source(screen);
    return FindTooltip(source, rect);
}

PixelBuffer CropScreen(ScreenSource& screen, const TooltipRect& rect) {
    PixelBuffer out(rect.width, rect.height);
    if (out.pixels.empty()) return out;
    const ScreenRows rows = screen.Rows(ScreenArea{rect.x, rect.y, rect.width, rect.height});
    for (int64_t row = 0; row < out.height; ++row)
        std::copy_n(rows.first + row * rows.stride, out.width, out.pixels.begin() + row * out.width);
    return out;
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
