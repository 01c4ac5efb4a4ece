// Replacing the settings file on Windows, written through to the disk. Install it at start-up
// with SetFileReplacer(ReplaceFileWriteThrough) (app/ini.h).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Writes a temporary file beside `path`, flushes it with FlushFileBuffers and moves it over `path`
// with MoveFileExW (replace existing, write through). False, with `path` untouched, on failure.
bool ReplaceFileWriteThrough(const std::string& path, std::string_view bytes);

// The settings file's lock through LockFileEx on "<file>.lock". Install it at start-up with
// SetFileLocker({LockFileWin, UnlockFileWin}) (app/ini.h).
intptr_t LockFileWin(const std::string& lockPath, std::string* why);
void UnlockFileWin(intptr_t handle);

// Bytes in the system code page, as settings files of older Windows programs hold them, as UTF-8.
// Install it at start-up with SetCodePageDecoder(SystemCodePageToUtf8) (app/text_encoding.h).
std::string SystemCodePageToUtf8(std::string_view bytes);

// UTF-16 text (a command-line argument, a path from the system) as UTF-8; unpaired surrogates
// become U+FFFD.
std::string WideToUtf8(const wchar_t* text);
// UTF-8 (a path or a reason kept by the program) as UTF-16 for the system.
std::wstring Utf8ToWide(const std::string& utf8);
