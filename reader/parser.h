// The option parser: turns a located tooltip into an Item Record (kind, weapon base values and
// the sum of every option line it recognises), and the number reader under it.
#pragma once
#include <vector>

#include "base/item.h"
#include "base/pixels.h"
#include "reader/glyphs.h"
#include "reader/matcher.h"

// What a parse matched where, for diagnostics. Positions are the pictures' top-left corners in
// the tooltip.
struct ParseMark {
    int templateIndex;
    int x, y;
};
struct ParseMiss {
    int bullet;         // index into the bullets, top to bottom
    int templateIndex;  // the caption that came closest, -1 when none applies
    int x, y;           // where it came closest
    int mismatches;     // sampled pixels that differed there
};
struct ParseTrace {
    std::vector<ParseMark> marks;   // kind caption, bullets, captions, digits, points, tildes, sockets
    std::vector<ParseMiss> misses;  // bullets whose caption matched nothing
    int kindMismatches = -1;        // unidentified kind: fewest mismatches found within a margin, or -1
};

// Parses the tooltip picture with the pictures and layout of `pack`. set: 1 for the equip actions,
// 0 for the compare actions; it only selects which socket choices apply. Reads the tolerances and
// socket choices of gSettings and the main-attribute selector of gProfile at each call. A null
// tooltip yields kind -1 without a message; a kind that cannot be identified raises "아이템 종류
// 식별 불가." and yields kind -1, followed by what is likely wrong when no bullet matched either
// or when a kind caption came within a few mismatches of the tolerance; a weapon without its
// attacks-per-second caption raises "무기 고유 옵션 발견 못함." (its options are still read).
// Keeps no state between calls, so parses may run on several threads at once. `trace`, when
// given, receives what matched where.
ItemRecord ParseItem(const PixelBuffer* tooltip, int set, const GlyphPack& pack = BuiltInPack(),
                     ParseTrace* trace = nullptr);

// Reads one decimal number drawn in the game's digits, starting at the right edge of `label` (at
// x, y when there is none). white: the white digit set, else the blue one. mode: matcher mode for
// digits and point (0 or 2; mode 2 also looks one row higher for the first digit). tolerance: 0
// means the option-value tolerance. When `end` is given it receives where reading stopped.
float ReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white, int mode,
                 int tolerance, HitPos* end, const GlyphPack& pack = BuiltInPack(),
                 ParseTrace* trace = nullptr);

// Sampled pixels of `tmpl` at (x, y) that differ from the image, as the matcher counts them.
int CountMismatches(const PixelBuffer& image, int x, int y, const PixelBuffer& tmpl, int step, int mode);
