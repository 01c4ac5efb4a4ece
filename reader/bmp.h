// Reading and writing uncompressed BMP files (24- and 32-bit, bottom-up or top-down).
// Malformed input yields a clear error; nothing is read outside the given bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "reader/pixels.h"

// Largest image accepted: positions are 16-bit on screen, and the pixel count must fit 32 bits.
constexpr int32_t kMaxImageSide = 32767;
constexpr int64_t kMaxImagePixels = int64_t(1) << 28;

// Decodes a whole .bmp file. On failure returns false and sets `error` to a short reason.
bool DecodeBmp(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error);

// A 24-bit bottom-up BMP file of the buffer (the fourth byte of a value is dropped).
std::vector<uint8_t> EncodeBmp24(const PixelBuffer& image);

// Largest file read whole: a BMP of the largest accepted image, with room for its headers.
constexpr uint64_t kMaxFileBytes = uint64_t(kMaxImagePixels) * 4 + (uint64_t(1) << 20);

// Paths are UTF-8 everywhere in the program; on Windows they reach the file system as UTF-16.
std::filesystem::path PathFromUtf8(const std::string& path);

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
