// Where a saved tooltip picture goes: the image folder's text made usable, and the next free
// numbered name "D3Item_0001" ... "D3Item_9999" in it. Paths are UTF-8 with backslashes; whether a
// file exists is asked of a probe, so the choice is the same on every system and in tests.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

constexpr int kImageNumberLimit = 9999;
// The system's limit on a path, in UTF-16 units including the terminating zero.
constexpr size_t kMaxPathUnits = 260;

// The folder that a folder text names, so that it can be tested and joined: trailing separators
// are dropped, except that a drive's root keeps its backslash ("C:\", and "C:" becomes "C:\") and
// a lone "\" stays. Empty for an empty text.
std::string NormaliseFolderText(std::string_view folder);

// folder + "\" + name, without doubling a root's backslash.
std::string JoinFolderPath(std::string_view folder, std::string_view name);

// Length of UTF-8 text in UTF-16 units (a character beyond U+FFFF counts two).
size_t Utf16Length(std::string_view utf8);

// Answers whether any file matches a pattern such as "C:\pics\D3Item_0001.*".
using FileProbe = std::function<bool(const std::string& pattern)>;

// The lowest number whose name has no file of any extension, with the extension "bmp" or "jpg".
// Nothing when every number is taken, or when the path would not fit the system's limit (a path
// is refused rather than cut). `folder` is used as NormaliseFolderText leaves it.
std::optional<std::string> NextImageFileName(std::string_view folder, bool bmp, const FileProbe& exists);
