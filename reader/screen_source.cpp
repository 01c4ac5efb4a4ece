// Screens read by areas: a picture in memory, or the display fetched in blocks.
#include "reader/screen_source.h"

#include <algorithm>
#include <cstring>

namespace {

bool Contains(const ScreenArea& outer, const ScreenArea& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

}  // namespace

BufferSource::BufferSource(const PixelBuffer& buffer) : ScreenSource(buffer.width, buffer.height) {
    const int64_t size = int64_t(Width()) * Height();
    const int64_t readable = ReadableCount(buffer);
    if (readable >= size) {
        pixels_ = buffer.pixels.data();
    } else {
        padded_.assign(size_t(size), 0);
        std::copy_n(buffer.pixels.begin(), size_t(std::max<int64_t>(readable, 0)), padded_.begin());
        pixels_ = padded_.data();
    }
}

ScreenRows BufferSource::Rows(const ScreenArea& area, const ScreenArea&) {
    return ScreenRows{pixels_ + int64_t(area.y) * Width() + area.x, Width()};
}

SparseScreen::SparseScreen(int32_t width, int32_t height, std::unique_ptr<ScreenFetcher> fetcher)
    : ScreenSource(width, height), fetcher_(std::move(fetcher)) {
    cellColumns_ = (int64_t(Width()) + kCell - 1) / kCell;
    const int64_t cellRows = (int64_t(Height()) + kCell - 1) / kCell;
    cells_.resize(size_t(cellColumns_ * cellRows));
}

std::vector<uint32_t>& SparseScreen::CellOf(int64_t x, int64_t y) {
    return cells_[size_t((y / kCell) * cellColumns_ + x / kCell)];
}

const SparseScreen::Block* SparseScreen::Find(const ScreenArea& area) const {
    if (last_ && Contains(last_->area, area)) return last_;
    // Every block holding the area overlaps the square of its top-left corner; newest first.
    const auto& cell = cells_[size_t((area.y / kCell) * cellColumns_ + area.x / kCell)];
    for (auto it = cell.rbegin(); it != cell.rend(); ++it) {
        const Block* block = blocks_[*it].get();
        if (Contains(block->area, area)) return block;
    }
    return nullptr;
}

ScreenRows SparseScreen::Rows(const ScreenArea& area, const ScreenArea& fetch) {
    const Block* block = Find(area);
    if (!block) {
        auto made = std::make_unique<Block>();
        made->area = Contains(fetch, area) ? fetch : area;
        const ScreenArea whole{0, 0, Width(), Height()};
        if (cost_ + Cost(made->area) > Cost(whole)) made->area = whole;
        const ScreenArea& a = made->area;
        cost_ += Cost(a);
        made->pixels.assign(size_t(a.width) * size_t(a.height), 0);
        const auto start = std::chrono::steady_clock::now();
        if (!fetcher_ || !fetcher_->Fetch(a, made->pixels.data())) {
            std::fill(made->pixels.begin(), made->pixels.end(), 0u);
            failed_ = true;
        }
        fetchTime_ += std::chrono::steady_clock::now() - start;
        fetchedPixels_ += int64_t(a.width) * a.height;
        const uint32_t index = uint32_t(blocks_.size());
        for (int64_t cy = a.y / kCell; cy <= (int64_t(a.y) + a.height - 1) / kCell; ++cy)
            for (int64_t cx = a.x / kCell; cx <= (int64_t(a.x) + a.width - 1) / kCell; ++cx)
                CellOf(cx * kCell, cy * kCell).push_back(index);
        blocks_.push_back(std::move(made));
        block = blocks_.back().get();
    }
    last_ = block;
    const ScreenArea& b = block->area;
    return ScreenRows{block->pixels.data() + int64_t(area.y - b.y) * b.width + (area.x - b.x), b.width};
}

double SparseScreen::FetchMilliseconds() const {
    return std::chrono::duration<double, std::milli>(fetchTime_).count();
}

void SparseScreen::PasteInto(PixelBuffer& screen) const {
    const int64_t readable = ReadableCount(screen);
    for (const auto& block : blocks_) {
        const ScreenArea& a = block->area;
        // Cut to the picture, should it be of another size than this screen.
        const int64_t columns = std::min<int64_t>(a.width, int64_t(screen.width) - a.x);
        for (int64_t row = 0; row < a.height && columns > 0; ++row) {
            const int64_t at = (a.y + row) * screen.width + a.x;
            if (a.y + row >= screen.height || at + columns > readable) break;
            std::memcpy(screen.pixels.data() + at, block->pixels.data() + row * a.width,
                        size_t(columns) * sizeof(uint32_t));
        }
    }
}
