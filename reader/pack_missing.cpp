#include "reader/pack_missing.h"

#include <algorithm>

#include "base/catalogue.h"
#include "base/text_encoding.h"
#include "reader/digit_grid.h"

PackMissing MissingFromPack(const PackContents& contents) {
    PackMissing missing;
    auto lack = [&](std::vector<int>& list, int index, int entry) {
        if (!contents.picture[index]) list.push_back(entry);
    };
    for (bool white : {false, true}) {
        std::vector<int>& list = white ? missing.white : missing.blue;
        for (int node = 0; node <= kPointNode; ++node)
            lack(list, DigitIndex(node, white), DigitIndex(node, white));
        // A tilde only where some row shows a range in this colour: no tooltip could teach another.
        if (std::any_of(kStatDescriptors, kStatDescriptors + kDescriptorCount,
                        [&](const StatDescriptor& r) { return r.range && bool(r.white) == white; }))
            lack(list, DigitIndex(kTildeNode, white), DigitIndex(kTildeNode, white));
    }
    for (int index : {kGlyphBullet, kGlyphEmptySocket, kStatDescriptors[kAttacksPerSecondRow].templateIndex})
        lack(missing.marks, index, index);
    for (int k = 0; k < kKindCount; ++k) lack(missing.kinds, kItemKinds[k].templateIndex, k);
    for (int r = 0; r < kDescriptorCount; ++r) {
        const StatDescriptor& row = kStatDescriptors[r];
        const bool shared = std::any_of(kStatDescriptors, kStatDescriptors + r, [&](const StatDescriptor& o) {
            return o.templateIndex == row.templateIndex;
        });
        if (row.condition != kNever && !shared) lack(missing.captions, row.templateIndex, r);
    }
    for (int f = 0; f < kLayoutFieldCount; ++f)
        if (!(contents.layoutFields >> f & 1)) missing.layout.push_back(f);
    return missing;
}

std::vector<std::string> MissingLines(const PackMissing& missing) {
    std::vector<std::string> lines;
    auto group = [&](const std::string& title, const std::vector<int>& members, auto name) {
        std::string list;
        for (int m : members) list += (list.empty() ? "" : ", ") + name(m);
        if (!list.empty()) lines.push_back(title + ": " + list);
    };
    auto character = [](int index) {
        for (int node = 0; node < kNodes; ++node)
            if (index == DigitIndex(node, false) || index == DigitIndex(node, true))
                return node == kPointNode   ? std::string("point")
                       : node == kTildeNode ? std::string("tilde")
                                            : std::to_string(node);
        return std::string();
    };
    group("blue digits", missing.blue, character);
    group("white digits", missing.white, character);
    group("marks", missing.marks, [](int index) {
        return std::string(index == kGlyphBullet        ? "bullet"
                           : index == kGlyphEmptySocket ? "empty socket"
                                                        : "attacks per second");
    });
    group("kinds", missing.kinds, [](int k) { return std::to_string(k) + " " + Utf8(kItemKinds[k].name); });
    group("captions", missing.captions,
          [](int r) { return std::to_string(r) + " " + Utf8(kStatDescriptors[r].name); });
    group("layout", missing.layout, [](int f) { return std::string(LayoutFieldName(f)); });
    return lines;
}
