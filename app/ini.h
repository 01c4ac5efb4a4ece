// An INI codec on the text of a file in memory, read and written the way the Windows profile
// functions do, plus loading a file and replacing it whole.
//
// Lines end in CR LF, LF or CR. A section starts with a line whose first non-blank character is
// '[' and that holds a ']'; its name lies between the '[' and the last ']'. Any other non-blank
// line is a key line: the name before the first '=', the value after it. Names and values are
// trimmed of spaces, tabs, VT, FF and Ctrl-Z and end at a NUL; names compare without regard to
// ASCII case; only the first section of a name and the first key of a name in it count. Lines
// before the first section belong to no section. Comments are not special: ";x=1" is a key.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class IniEncoding {
    kBytes,    // no byte-order mark: UTF-8, or the system code page of older files
    kUtf8Bom,  // UTF-8 after EF BB BF
    kUtf16Le,  // UTF-16LE after FF FE; `text` holds it as 8-bit text (see Utf16LeToText)
};

struct IniText {
    std::string text;  // without the byte-order mark
    IniEncoding encoding = IniEncoding::kBytes;
    std::string oddByte;  // a UTF-16LE file's odd last byte, kept as it was
};

// Longest string value read, in UTF-16 characters (the system's 260-character buffer).
constexpr size_t kIniMaxString = 259;
// Files larger than this are neither read nor replaced.
constexpr uint64_t kIniMaxFileBytes = uint64_t(512) << 20;

IniText ParseIniBytes(std::string bytes);
std::string IniFileBytes(const IniText& ini);

// The value of section/key as UTF-8, with a surrounding pair of matching quotes removed and cut
// to kIniMaxString characters. False when the key is absent (or its line has no '=').
bool IniReadString(const IniText& ini, std::string_view section, std::string_view key, std::string* value);
// The value's leading number, 0 when it has none: after control characters and spaces an
// optional sign, an optional base prefix 0x, 0o or 0b, then digits, wrapping at 32 bits. Only
// the first 29 characters count. `defaultValue` when the key is absent or its value empty.
int32_t IniReadInt(const IniText& ini, std::string_view section, std::string_view key, int32_t defaultValue);
// A struct of `size` bytes stored as hexadecimal plus a checksum byte (the sum of the bytes mod
// 256). False, with `data` untouched, when absent, of the wrong length, not hexadecimal or when
// the checksum differs.
bool IniReadStruct(const IniText& ini, std::string_view section, std::string_view key, void* data,
                   size_t size);

// Writing replaces the value of an existing key in place (the key's own spelling stays), adds a
// missing key after the last line of its section and a missing section at the end, and leaves
// every other byte as it was. New lines take the file's first line ending (CR LF when none).
// False, with nothing changed, for names or values that cannot be stored (line breaks or NUL,
// '=' in a key, a key starting with '[', an empty section name, a value not in UTF-8).
// Leading blanks of a value are dropped, as the system does.
bool IniWriteString(IniText* ini, std::string_view section, std::string_view key, std::string_view value);
bool IniWriteInt(IniText* ini, std::string_view section, std::string_view key, int32_t value);
// Upper-case hexadecimal, byte by byte in memory order, then the checksum byte.
bool IniWriteStruct(IniText* ini, std::string_view section, std::string_view key, const void* data,
                    size_t size);

enum class IniFileStatus { kLoaded, kMissing, kUnreadable };

// Paths are UTF-8. A missing file gives an empty text; a folder, a file that cannot be read or
// one larger than kIniMaxFileBytes is kUnreadable.
IniFileStatus LoadIniFile(const std::string& path, IniText* ini);
// The text with its byte-order mark and encoding, through ReplaceFileContents.
bool SaveIniFile(const std::string& path, const IniText& ini);

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it over `path`, so
// the file is the old one or the new one whole, never a mix. False on any failure; `path` is
// then untouched and the folder is never created.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// The way ReplaceFileContents does its work. The portable one uses the standard library (and
// fsync on POSIX); the Windows layer installs one that writes through to the disk.
using FileReplacer = bool (*)(const std::string& path, std::string_view bytes);
// Installs `replacer` (nullptr restores the portable one). Returns the previous one.
FileReplacer SetFileReplacer(FileReplacer replacer);
