// The second screen: tooltips drawn in another font, text size and layout than the built-in
// pictures, which the built-in pack cannot read. Its pictures and reader layout (a glyph pack
// folder) and the composer's placement for it ("placement.txt" beside them) are kept in
// tests/data/second_screen, made by `glyphgen --second-screen tests/data/second_screen`.
//
// Use: load it once, keep the SecondScreen alive while its scenes are composed.
//   SecondScreen second;
//   if (!LoadSecondScreen(second, error)) ...
//   TooltipScene scene = second.Scene();
//   scene.kind = 4, scene.lines = {OptionLine(7, "82")};
//   ComposeTooltip(scene, tooltip, error);  // ParseItem(&tooltip, 0, second.pack) reads it
#pragma once
#include <filesystem>
#include <string>
#include <system_error>

#include "base/files.h"
#include "reader/glyph_pack.h"
#include "reader/glyphs.h"
#include "tools/compose/compose.h"

inline constexpr char kPlacementFile[] = "placement.txt";

// Reads folder/placement.txt over `placement`; a folder without one leaves it as it is.
inline bool LoadComposePlacement(const std::string& folder, ComposePlacement& placement, std::string& error) {
    const std::string path = folder + "/" + kPlacementFile;
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(path), ec)) return true;
    std::string text, why;
    if (!ReadFileBytes(path, text, why, 1 << 16) || !ParseComposePlacement(text, placement, why)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}

struct SecondScreen {
    GlyphPack pack;
    ComposePlacement placement;

    // An empty scene of this screen: drawn with `pack` (so this SecondScreen must outlive the
    // scene's composing) at `placement`, a weapon's damage line the pack's damage_up rows above
    // its attacks-per-second caption.
    TooltipScene Scene() const {
        TooltipScene scene;
        scene.pack = &pack;
        scene.placement = placement;
        scene.damageRise = pack.layout.damageUp;
        return scene;
    }
};

// Loads the second screen's pack (over the built-in one, which must be loaded) and placement from
// `folder`. Fails with the reason when the folder, a picture or a text file cannot be read, or when
// the folder lacks any carried picture, the layout or the placement: the second screen never falls
// back to the built-in pictures or placement.
inline bool LoadSecondScreen(SecondScreen& screen, const std::string& folder, std::string& error) {
    PackContents contents;
    if (!LoadGlyphPack(folder, screen.pack, error, &contents)) return false;
    for (int i = 0; i < kGlyphCount; ++i)
        if (kGlyphInfo[i].resourceId != 0 && !contents.picture[i]) {
            error = folder + ": " + std::to_string(kGlyphInfo[i].resourceId) + ".bmp is missing";
            return false;
        }
    if (contents.layoutFields != kAllLayoutFields) {
        error = folder + ": " + kPackLayoutFile + " is missing or incomplete";
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(folder + "/" + kPlacementFile), ec)) {
        error = folder + ": " + kPlacementFile + " is missing";
        return false;
    }
    screen.placement = ComposePlacement();
    return LoadComposePlacement(folder, screen.placement, error);
}

#ifdef TALLYWICK_SOURCE_DIR
// The copy in the source tree.
inline std::string SecondScreenFolder() {
    return std::string(TALLYWICK_SOURCE_DIR) + "/tests/data/second_screen";
}
inline bool LoadSecondScreen(SecondScreen& screen, std::string& error) {
    return LoadSecondScreen(screen, SecondScreenFolder(), error);
}
// The tight screen (tests/data/tight_screen, `glyphgen --tight-screen`): a smaller face whose
// digits, points and tildes touch their neighbours. Loaded and used as the second screen is.
inline std::string TightScreenFolder() {
    return std::string(TALLYWICK_SOURCE_DIR) + "/tests/data/tight_screen";
}
inline bool LoadTightScreen(SecondScreen& screen, std::string& error) {
    return LoadSecondScreen(screen, TightScreenFolder(), error);
}
#endif
