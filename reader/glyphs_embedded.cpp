// Loading the glyph set from the pictures built into the binary.
#include "reader/glyphs_embedded.h"

#include "reader/glyphs.h"

namespace {
bool EmbeddedSource(int resourceId, std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < kEmbeddedGlyphCount; ++i)
        if (kEmbeddedGlyphs[i].resourceId == resourceId) {
            bytes.assign(kEmbeddedGlyphs[i].data, kEmbeddedGlyphs[i].data + kEmbeddedGlyphs[i].size);
            return true;
        }
    return false;
}
}  // namespace

bool LoadGlyphTemplates(std::string& error) {
    return LoadGlyphTemplates(EmbeddedSource, error);
}
