// Whole-file reading and writing by UTF-8 path.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/bmp.h"

// Largest file read whole: a BMP of the largest accepted image, with room for its headers.
constexpr uint64_t kMaxFileBytes = uint64_t(kMaxImagePixels) * 4 + (uint64_t(1) << 20);

// Paths are UTF-8 everywhere in the program; on Windows they reach the file system as UTF-16.
std::filesystem::path PathFromUtf8(const std::string& path);

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
