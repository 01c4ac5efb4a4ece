// Where the locator reads a screen from: a whole picture in memory (the tests, the command line),
// or the display fetched piece by piece as the locator asks for it, so that a hotkey copies a small
// part of a large screen instead of all of it.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/pixels.h"

struct ScreenArea {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// The rows of an area: pixel (dx, dy) of the area, counted from its top-left, is at
// first[dy * stride + dx].
struct ScreenRows {
    const uint32_t* first = nullptr;
    int64_t stride = 0;
    uint32_t At(int64_t dx, int64_t dy) const { return first[dy * stride + dx]; }
};

// A screen read by areas. An area asked for lies inside the screen and is not empty; the rows
// handed out stay valid as long as the source.
class ScreenSource {
public:
    ScreenSource(int32_t width, int32_t height)
        : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0) {}
    virtual ~ScreenSource() = default;
    ScreenSource(const ScreenSource&) = delete;
    ScreenSource& operator=(const ScreenSource&) = delete;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The rows of `area`. `fetch`, which holds the area and lies inside the screen, is what the
    // caller is likely to read next: a source that has to fetch the area fetches that instead, in
    // the same one go.
    virtual ScreenRows Rows(const ScreenArea& area, const ScreenArea& fetch) = 0;
    ScreenRows Rows(const ScreenArea& area) { return Rows(area, area); }

private:
    int32_t width_, height_;
};

// A Pixel Buffer read as a screen. The buffer is borrowed. A hand-made buffer that holds fewer
// values than its size reads black past its end, as PixelAt does.
class BufferSource final : public ScreenSource {
public:
    explicit BufferSource(const PixelBuffer& buffer);
    using ScreenSource::Rows;
    ScreenRows Rows(const ScreenArea& area, const ScreenArea& fetch) override;

private:
    const uint32_t* pixels_ = nullptr;
    std::vector<uint32_t> padded_;  // only for a buffer shorter than its size
};

// Copies an area of the real screen: w * h pixel values, rows top-down, into `out`. False when the
// screen could not be read.
class ScreenFetcher {
public:
    virtual ~ScreenFetcher() = default;
    virtual bool Fetch(const ScreenArea& area, uint32_t* out) = 0;
};

// A screen fetched in blocks as they are asked for and kept for the rest of its life: an area that
// lies inside a block fetched before is read from it, any other is fetched as a new block. Once
// the blocks would cost more than copying the whole screen, the whole screen is fetched instead,
// once, so that no screen costs much more than that. A failed fetch reads black and is
// remembered.
class SparseScreen final : public ScreenSource {
public:
    SparseScreen(int32_t width, int32_t height, std::unique_ptr<ScreenFetcher> fetcher);
    using ScreenSource::Rows;
    ScreenRows Rows(const ScreenArea& area, const ScreenArea& fetch) override;

    int64_t FetchedPixels() const { return fetchedPixels_; }
    int Fetches() const { return int(blocks_.size()); }
    double FetchMilliseconds() const;
    bool Failed() const { return failed_; }
    // Copies every fetched block into `screen`, a picture of the whole screen.
    void PasteInto(PixelBuffer& screen) const;

private:
    struct Block {
        ScreenArea area;
        std::vector<uint32_t> pixels;
    };
    static constexpr int32_t kCell = 128;  // side of the squares blocks are looked up by
    // What a copy costs, in pixels: its own, and (as measured under Wine) about as much again for
    // each of its rows as for a hundred pixels, and for the copy itself as for five thousand.
    static int64_t Cost(const ScreenArea& a) { return (int64_t(a.width) + 100) * a.height + 5000; }

    const Block* Find(const ScreenArea& area) const;
    std::vector<uint32_t>& CellOf(int64_t x, int64_t y);

    std::unique_ptr<ScreenFetcher> fetcher_;
    std::vector<std::unique_ptr<Block>> blocks_;
    // For each square of the screen, the blocks that overlap it, oldest first.
    std::vector<std::vector<uint32_t>> cells_;
    int64_t cellColumns_ = 0;
    const Block* last_ = nullptr;  // the block read last: the locator reads on where it was
    int64_t fetchedPixels_ = 0, cost_ = 0;
    std::chrono::steady_clock::duration fetchTime_{};
    bool failed_ = false;
};
