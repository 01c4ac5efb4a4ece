// Learning a glyph pack from the player's own saved tooltips: the player says what a tooltip
// shows, the learner finds each picture on it, cuts it at the layout it measures, and adds what
// the pack lacks. Pictures the pack already holds must agree; a disagreement is reported, never
// written over.
//
// What the learner relies on, as the game draws its text: option lines begin with the same
// bullet at the same column; the characters of a number (digits, point, tilde) stand on one
// digit grid, each exactly in its cell, and may touch; lines are apart by blank rows.
#pragma once
#include <string>
#include <vector>

#include "base/item.h"
#include "base/pixels.h"
#include "reader/glyph_pack.h"
#include "reader/learn_message.h"

// One option line as the tooltip shows it: its descriptor row (-1 for a bulleted line the table
// does not know, which is passed over) and its value as drawn: "120", "8.5", "7~9"; characters
// after the number ("52%") are text that follows it.
struct LearnLine {
    int row = -1;
    std::string text;
};

struct LearnTooltip {
    int kind = -1;
    bool weapon = false;
    std::string attacksPerSecond, minDamage, maxDamage;  // as drawn, for a weapon
    int emptySockets = 0;
    std::vector<LearnLine> lines;  // every bulleted line, top to bottom
};

struct LearnReport {
    std::vector<LearnMessage> learned;        // pictures and layout values added to the pack
    std::vector<LearnMessage> disagreements;  // cuts that differ from what the pack holds
    std::vector<LearnMessage> notes;          // what this tooltip could not teach, and why
    std::vector<LearnMessage> readBack;       // where reading the tooltip with the pack falls short
    // Why the tooltip cannot be learned whole yet (the digit grid is not settled by what has been
    // described so far); empty when it was learned whole.
    std::vector<LearnMessage> pending;
};

// A tooltip to learn from: its body (black all round) and what the player said it shows.
struct TaughtTooltip {
    PixelBuffer tooltip;
    LearnTooltip what;
    std::string name;  // how reports name it, e.g. "pending/0001"; empty for the one being taught
};

// Pictures of a pack that were placed by a guess (a character whose place in its cell nothing
// fixed yet): they read, but a later tooltip that settles them replaces them without a
// disagreement.
struct PackGuesses {
    bool picture[kGlyphCount] = {};
    bool Any() const;
};

// Learns from several tooltips at once, solving the digit grid from all their numbers, so that
// one tooltip can settle where another's characters stand. `guesses` says which of the pack's
// pictures are guesses and receives what is still guessed afterwards. One report per tooltip, its
// `pending` saying what of it waits for later tooltips. Fails with `error` (naming the tooltip)
// when a tooltip's lines cannot be found as described or its numbers do not fit; nothing changes
// then.
bool LearnFromTooltips(const std::vector<TaughtTooltip>& tooltips, GlyphPack& pack, PackContents& contents,
                       PackGuesses& guesses, std::vector<LearnReport>& reports, LearnMessage& error);

// The tooltip body in `image`: the black rectangle of a screenshot, or the whole picture when it is
// a saved tooltip (black all round). False with `error` when there is neither.
bool FindTooltipBody(const PixelBuffer& image, PixelBuffer& tooltip, LearnMessage& error);

// Learns from one picture (a screen or a saved tooltip) alone. Fails with `error` when the tooltip
// or its lines cannot be found as described; otherwise updates `pack` and `contents` with what is
// new and fills `report`.
bool LearnFromTooltip(const PixelBuffer& image, const LearnTooltip& what, GlyphPack& pack,
                      PackContents& contents, LearnReport& report, LearnMessage& error);

// The Item Record a tooltip described this way reads as (compare set, default socket choices).
ItemRecord ExpectedRecord(const LearnTooltip& what);
