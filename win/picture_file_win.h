// Pictures the player opens in the program: a saved tooltip or a screenshot, as BMP or PNG.
#pragma once
#include <string>

#include "base/pixels.h"

// Reads the file (UTF-8 path): BMP through the program's own decoder, PNG through GDI+. Any other
// file, or one larger than the reader takes, fails with a reason in Korean.
bool LoadPictureFile(const std::string& path, PixelBuffer& picture, std::string& error);
