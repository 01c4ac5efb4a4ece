// Checking a glyph pack before it is trusted: every picture must have the right colours, enough
// ink, and differ enough from empty black and from the pictures it can meet where the reader
// looks, at the sampling steps and default tolerances the reading uses.
#pragma once
#include <string>
#include <vector>

#include "reader/glyph_pack.h"

struct PackProblem {
    int templateIndex;  // the weak or missing picture; -1 for the layout
    std::string text;   // what is wrong, naming what it is too close to, in English
};

// Every problem found, in template order. `contents` (optional) limits the report to what the
// folder holds, so a partly learned pack is not blamed for the built-in pictures it falls back to.
std::vector<PackProblem> CheckGlyphPack(const GlyphPack& pack, const PackContents* contents = nullptr);
