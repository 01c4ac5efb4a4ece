// Glyph packs on disk: a folder of pictures named by resource id ("120.bmp", like res/glyphs)
// and "layout.txt" with the layout they were cut at. A pack made for one screen (a resolution and
// text size) reads that screen; whatever the folder lacks comes from the built-in pack.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "reader/glyphs.h"

inline constexpr char kPackLayoutFile[] = "layout.txt";

// Largest picture a pack may hold; the game's captions are far smaller.
constexpr int kMaxPackPictureSide = 512;

// The layout's values by number, in the order of the layout file.
constexpr int kLayoutFieldCount = 7;
const char* LayoutFieldName(int field);
int& LayoutValue(GlyphLayout& layout, int field);
constexpr unsigned kAllLayoutFields = (1u << kLayoutFieldCount) - 1;

// What a pack folder itself holds, as opposed to what falls back to the built-in pack.
struct PackContents {
    bool picture[kGlyphCount] = {};
    unsigned layoutFields = 0;  // bit f: the folder's layout file gives field f
    int Pictures() const;
};

// The layout text: one "name = value" per line, '#' starts a comment; names are caption_offset,
// digit_advance, point_advance, damage_gap, tilde_search, damage_right, damage_up. Names not
// given keep their value in `layout`. Unknown names and values outside 0..1000 are errors.
// `given` receives a bit per field the text gives.
bool ParseGlyphLayout(std::string_view text, GlyphLayout& layout, std::string& error,
                      unsigned* given = nullptr);
// The fields marked in `fields`, one per line.
std::string FormatGlyphLayout(const GlyphLayout& layout, unsigned fields = kAllLayoutFields);

// Loads the pack folder over the built-in pack (which must be loaded). A picture that cannot be
// read or is larger than kMaxPackPictureSide, a bad layout file or a missing folder is an error
// naming the file. `contents`, when given, says what came from the folder.
bool LoadGlyphPack(const std::string& folder, GlyphPack& pack, std::string& error,
                   PackContents* contents = nullptr);

// Writes the pictures and layout fields marked in `contents`; creates the folder. A file that
// already holds the same bytes is left alone; the others are replaced whole (ReplaceFileBytes), so
// a failed write leaves the old file. `written`, when given, receives the names written.
bool SaveGlyphPack(const std::string& folder, const GlyphPack& pack, const PackContents& contents,
                   std::string& error, std::vector<std::string>* written = nullptr);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`: the file is the old
// one or the new one, never a part (a full disk leaves the old one and an error).
bool ReplaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// The pack folder for a capture of this size under `root`: root/WIDTHxHEIGHT.
std::string PackFolderForSize(const std::string& root, int width, int height);
