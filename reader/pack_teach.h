// Teaching a pack folder one tooltip at a time, as the player does from the program: a first guess
// at what a tooltip shows (read with the pack as it stands), and learning a described tooltip into
// the folder. A tooltip whose numbers cannot be placed on the digit grid yet is kept in the folder
// as pending and learned by itself once later tooltips settle the grid.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/item.h"
#include "base/pixels.h"
#include "reader/glyph_pack.h"
#include "reader/pack_learn.h"
#include "reader/pack_missing.h"

// What a tooltip seems to show before the player has described it.
struct TooltipGuess {
    // The guess: kind -1, row -1 and empty texts where nothing could be read. `what.lines` holds
    // one entry per bulleted option line found, top to bottom; a line whose caption the pack does
    // not know has row -1 and, when its digits are known, its value.
    LearnTooltip what;
    // Each bulleted line's top row in the tooltip, as `what.lines`: the top of the pack's bullet
    // where it matched, else the line's highest ink.
    std::vector<int> lineTops;
    bool weaponLines = false;  // the attacks-per-second and damage lines were found
    int filled = 0;            // fields the guess filled in (kind, rows, values, weapon lines, sockets)
};

// Reads the tooltip in `image` (a screen or a tooltip picture, black all round) with `pack`: the
// kind caption, each bulleted line's caption and value, the weapon lines and the empty sockets.
// False with `error` when no tooltip or no option line can be found.
bool GuessTooltip(const PixelBuffer& image, const GlyphPack& pack, TooltipGuess& guess, LearnMessage& error);

struct TeachOutcome {
    LearnReport report;                   // this tooltip: learned, disagreements, notes, read-back shortfalls
    std::vector<PendingTooltip> pending;  // tooltips the folder keeps until the grid settles, each with why
    std::vector<std::string> settled;     // tooltips kept earlier that this one let the folder learn
    PackMissing missing;                  // what the pack still lacks
    ItemRecord readBack;                  // the tooltip read with the pack as it now stands
    bool wrote = false;                   // the folder changed (also when a later write failed)
    bool fits = true;                     // false: learned, it does not read back as described, so
                                          // nothing was written
    bool folderFailed = false;            // on failure: the folder could not be read or written
};

// Learns a described tooltip into the pack folder `folder` (created when missing) over the
// built-in pack. Writes only what changed, each file through a temporary and a rename, and
// nothing at all when the description does not fit (the tooltip, learned, does not read back as
// described: true, `wrote` false, the shortfalls in `report.readBack`). False with `error` when
// the tooltip cannot be used as described, or (`folderFailed`) when the folder cannot be read or
// written. A tooltip kept as pending must read back at least its kind. Needs the built-in pictures
// loaded; reads back with the settings' socket choices, with alerts silenced meanwhile (the popup
// delivery is process-wide, so call it while no hotkey action parses).
bool TeachPackFolder(const std::string& folder, const PixelBuffer& image, const LearnTooltip& what,
                     TeachOutcome& outcome, LearnMessage& error);

// The subfolder of a pack folder that keeps pending tooltips (NNNN.bmp, the tooltip body, and
// NNNN.txt, its description); the pack loader never looks into it.
inline constexpr char kPendingFolder[] = "pending";
// A description as kept there: "kind K", "weapon APS MIN MAX", "empty_sockets N", "line ROW TEXT"
// (ROW -1 for a line no row knows), one a line, '#' starts a comment line.
std::string FormatTooltipDescription(const LearnTooltip& what);
bool ParseTooltipDescription(std::string_view text, LearnTooltip& what, std::string& error);
