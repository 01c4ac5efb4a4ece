// libFuzzer target: the screen-picture loader (BMP and PNG), then the whole read of whatever
// picture it accepts: locating the tooltip and parsing it, then parsing it again with a layout made
// of the input's last bytes (any value, none or negative ones too). Any crash, sanitizer report,
// broken record invariant or read that does not end is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/status.h"
#include "cli/image_file.h"
#include "reader/glyph_pack.h"
#include "reader/glyphs.h"
#include "reader/locator.h"
#include "reader/parser.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    if (!LoadGlyphTemplates(error)) std::abort();
    SetPopupDelivery(nullptr);  // alerts go nowhere
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PixelBuffer screen;
    std::string error;
    if (!DecodeImage(data, size, screen, error)) {
        if (error.empty()) std::abort();  // a failure always says why
        return 0;
    }
    if (screen.width <= 0 || screen.height <= 0 || screen.pixels.size() != size_t(screen.count)) std::abort();
    PixelBuffer tooltip;
    TooltipRect rect;
    if (!LocateTooltip(screen, tooltip, nullptr, &rect)) return 0;
    if (rect.width < 301 || rect.height < 201 || int64_t(rect.x) + rect.width > screen.width ||
        int64_t(rect.y) + rect.height > screen.height)
        std::abort();
    const ItemRecord item = ParseItem(&tooltip, int(size & 1));
    // Stats 0, 2 and 11 are never read; a weapon has no bonus damage; no kind means no stats.
    if (item.stats[0] != 0 || item.stats[2] != 0 || item.stats[11] != 0) std::abort();
    if (IsWeaponKind(item.kind) && (item.stats[9] != 0 || item.stats[10] != 0)) std::abort();
    if (item.kind < -1 || item.kind > 12) std::abort();
    if (item.kind == -1)
        for (float v : item.stats)
            if (v != 0) std::abort();
    if (item.kind < 0 || size < 7) return 0;
    // Whatever the layout says, the read ends and says no more about the kind.
    GlyphPack pack = BuiltInPack();
    for (int f = 0; f < 7; ++f) LayoutValue(pack.layout, f) = int8_t(data[size - 7 + size_t(f)]) * 3;
    if (ParseItem(&tooltip, int(size & 1), pack).kind != item.kind) std::abort();
    return 0;
}
