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
    // The problem can make a read wrong or endless (a picture that matches empty black or another
    // picture at the reader's own tolerance, a shape no text has, a layout the reader cannot step
    // with): such a pack is not used. Otherwise a warning: less room to spare than wanted.
    bool blocks = false;
};

// Every problem found, in template order. `contents` (optional) limits the report to what the
// folder holds, so a partly learned pack is not blamed for the built-in pictures it falls back to.
std::vector<PackProblem> CheckGlyphPack(const GlyphPack& pack, const PackContents* contents = nullptr);

// Whether any of the problems stops the pack being used, and the first that does (or null).
const PackProblem* FirstBlockingProblem(const std::vector<PackProblem>& problems);
