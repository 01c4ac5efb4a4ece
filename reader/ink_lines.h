// Text found as ink on black: a picture's lines (bands of rows with ink, split by blank rows) and
// their characters (blobs of columns with ink, split by blank columns), and pictures cut from it.
#pragma once
#include <vector>

#include "base/pixels.h"

constexpr int kMaxGapInLine = 2;  // blank rows a line's own text may have inside it

struct Blob {
    int x0, x1, y0, y1;  // ink box, right and bottom exclusive
};
struct Band {
    int y0, y1;
    std::vector<Blob> blobs;
};

bool Inked(const PixelBuffer& t, int x, int y);
// Rows of ink, split where more than a few blank rows pass; then each band's columns of ink.
std::vector<Band> FindBands(const PixelBuffer& t);
bool SamePicture(const PixelBuffer& a, const PixelBuffer& b);
// The picture of columns x0..x1 and rows y0..y1 (right and bottom exclusive).
PixelBuffer Cut(const PixelBuffer& t, int x0, int y0, int x1, int y1);
bool HasPureWhite(const PixelBuffer& t, const Blob& b);
// The ink box of a picture: first and last inked columns and rows.
Blob InkBox(const PixelBuffer& p);
