// The digit grid numbers stand on: digits one advance apart, a point its own advance, each
// character's ink at its own bearing within its cell. Solved from where neighbouring characters'
// ink stands, for a glyph pack learned from the player's own tooltips.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "reader/ink_lines.h"

constexpr int kPointNode = 10;  // grid nodes: digits 0..9 and the decimal point
constexpr int kNodes = 11;

int NodeOf(char c);
// The template index of a grid node's picture, blue or white.
int DigitIndex(int node, bool white);
// The value the reader makes of a number drawn this way, digit by digit in float.
float ReadAs(const std::string& number);
// Digits with at most one point inside them.
bool IsNumber(std::string_view s);
// "7~9%" -> numbers {"7", "9"} and one character of text after them.
bool SplitValue(std::string text, std::vector<std::string>& numbers, int& tail);

// One number on the tooltip: its characters' ink columns, and what stands before it.
struct Number {
    std::string text;
    std::vector<Blob> chars;
    bool white = false;
    int top = 0;         // the line box's top row; -1 until known (weapon lines)
    int inkBefore = -1;  // right end of the ink just before it (caption or tilde), or -1
    std::string where;
};

struct Grid {
    int advance = 0, pointAdvance = 0;
    int bearing[kNodes] = {};  // first ink column of each character within its cell
    int Cell(int node) const { return node == kPointNode ? pointAdvance : advance; }
    int Pen(const Number& n, size_t k) const { return n.chars[k].x0 - bearing[NodeOf(n.text[k])]; }
};

// Finds the digit grid the numbers stand on: one advance per digit, one per point, and each
// character's bearing, from the distances between neighbouring characters' ink. Known values
// (from the pack) are kept; the rest must come out unique.
// `uncertain` is set when the numbers fit more than one grid (more tooltips will tell).
bool SolveGrid(const std::vector<Number>& numbers, const Grid& known, const bool knownBearing[kNodes],
               bool knownAdvance, bool knownPointAdvance, Grid& grid, std::string& error,
               bool* uncertain = nullptr);
