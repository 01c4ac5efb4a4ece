// The glyph pictures built into the binary: the .bmp files of res/glyphs, by resource id.
#pragma once
#include <cstddef>
#include <cstdint>

struct EmbeddedFile {
    int resourceId;
    const uint8_t* data;
    size_t size;
};
extern const EmbeddedFile kEmbeddedGlyphs[];
extern const size_t kEmbeddedGlyphCount;
