// The digit grid numbers stand on, as the reader steps it: digits one digit advance apart, a point
// one point advance wide, a range's tilde one tilde advance wide, each character's picture exactly
// its cell. Characters may touch (ink in the last column of one cell and the first of the next),
// so numbers are cut by cells, never by gaps in the ink: the grid and each number's first cell
// are solved together from all numbers described, the same character always cutting to the same
// picture and pictures already known pinning the cells they fall on.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/pixels.h"
#include "reader/learn_message.h"

constexpr int kPointNode = 10;  // grid nodes: digits 0..9, the decimal point and the tilde
constexpr int kTildeNode = 11;
constexpr int kNodes = 12;

// '0'..'9', '.' or '~' to its node.
int NodeOf(char c);
// The template index of a node's picture, blue or white.
int DigitIndex(int node, bool white);
// The value the reader makes of a number drawn this way, digit by digit in float.
float ReadAs(const std::string& number);
// Digits with at most one point inside them.
bool IsNumber(std::string_view s);
// "7~9%" -> numbers {"7", "9"} and one character of text after them.
bool SplitValue(std::string text, std::vector<std::string>& numbers, int& tail);

struct Grid {
    int advance = 0, pointAdvance = 0, tildeAdvance = 0;  // 0: not known
    int Cell(int node) const;
};

// One number on a tooltip: its characters, where its cells may stand and what stands before it.
struct Number {
    const PixelBuffer* image = nullptr;
    std::string text;  // digits and points; a range on an option line is one number, "71~75"
    bool white = false;
    int labelIndex = -1;  // the picture ending where the first cell begins (a caption), or -1
    int labelX = 0;       // that picture's first column
    int startLo = 0;      // the first cell begins within these columns
    int startHi = 0;
    int firstInk = -1;  // >= 0: this column is in the first cell (the number starts its text)
    int lastInk = -1;   // >= 0: this column is in the last cell (the number ends its line)
    int topLo = 0;      // rows the line box may begin at (one row for an option line)
    int topHi = 0;
    int topGuess = 0;  // the likeliest of them, taken when nothing else tells
    int owner = 0;     // the tooltip it is on
    LearnPlace where;
};

struct Placement {
    bool placed = false;
    bool guessed = false;    // nothing fixed where its cells begin: centred in them, a guess
    bool disagrees = false;  // no place agrees with every picture known: the likeliest one
    int start = 0, top = 0;
};

// What the solver starts from: grid values known for certain and pictures known for certain.
struct GridKnowns {
    Grid grid;
    int boxHeight = 0;                           // rows of every picture on the grid
    std::map<int, const PixelBuffer*> pictures;  // by template index: digits, points, tildes, labels
};

struct GridSolution {
    Grid grid;                                     // 0 where still not known
    std::vector<Placement> placements;             // one per number
    std::vector<std::optional<LearnMessage>> why;  // per number: why it is not placed, or placed by a guess
};

// Solves the grid for the numbers. Numbers that nothing places yet are left out (or centred in
// their cells by a guess when the grid is known), each with why. False with `error` when the
// numbers cannot stand on any grid as described: a number with no room on its line, or numbers
// that contradict each other before the digit advance is known.
bool SolveGrid(const std::vector<Number>& numbers, const GridKnowns& knowns, GridSolution& solution,
               LearnMessage& error);
