// Replacing the settings file on Windows, written through to the disk. Install it at start-up
// with SetFileReplacer(ReplaceFileWriteThrough) (app/ini.h).
#pragma once
#include <string>
#include <string_view>

// Writes a temporary file beside `path`, flushes it with FlushFileBuffers and moves it over `path`
// with MoveFileExW (replace existing, write through). False, with `path` untouched, on failure.
bool ReplaceFileWriteThrough(const std::string& path, std::string_view bytes);
