// Whole-file reading and writing by UTF-8 path.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/bmp.h"

// Largest file read whole by default: a 32-bit BMP of the largest accepted image, with room for
// its headers.
constexpr uint64_t kMaxFileBytes = uint64_t(kMaxImagePixels) * 4 + (uint64_t(1) << 20);

// Paths are UTF-8 everywhere in the program; on Windows they reach the file system as UTF-16.
std::filesystem::path PathFromUtf8(const std::string& path);

// Reads a regular file whole. Anything else (a folder, a FIFO, a device such as /dev/zero) is
// refused without waiting on it, and so is a file larger than `maxBytes`, judged by its size
// before any byte is read (a file that grows while being read is refused too). `error` names
// the reason.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   uint64_t maxBytes = kMaxFileBytes);
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error, uint64_t maxBytes,
                   size_t extraCapacity = 0);
// Writes a regular file whole, creating or replacing it. What is not a regular file or a new name
// is refused without waiting on it (see CheckWritablePath).
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Whether a file may be written at `path`: a new name or a regular file. A folder, a FIFO (whose
// writer would wait for a reader for ever) or a device is refused, `error` naming the reason.
bool CheckWritablePath(const std::string& path, std::string& error);
