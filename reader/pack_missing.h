// What a pack folder still lacks of everything tooltips can teach it, so that the player knows
// which items to show it next.
#pragma once
#include <string>
#include <vector>

#include "reader/glyph_pack.h"

struct PackMissing {
    std::vector<int> blue, white;  // digits, then the point, then the tilde where a row of that colour
                                   // shows a range (no tooltip could teach another): template indices
    std::vector<int> marks;        // the bullet, the empty socket, the attacks-per-second caption
    std::vector<int> kinds;        // kind numbers
    std::vector<int> captions;     // descriptor rows, one per caption picture, none that never shows
    std::vector<int> layout;       // layout fields
};
PackMissing MissingFromPack(const PackContents& contents);
// The same, one short English line per group (digits, marks, kinds, captions, layout).
std::vector<std::string> MissingLines(const PackMissing& missing);
