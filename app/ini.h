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
// Files larger than this are neither read nor replaced (a settings file holds a few kilobytes).
constexpr uint64_t kIniMaxFileBytes = uint64_t(64) << 20;

IniText ParseIniBytes(std::string bytes);
std::string IniFileBytes(const IniText& ini);

// The value of section/key as UTF-8, with a surrounding pair of matching quotes removed and cut
// to kIniMaxString characters (`cut`, when given, says whether it was longer). False when the key
// is absent (or its line has no '=').
bool IniReadString(const IniText& ini, std::string_view section, std::string_view key, std::string* value,
                   bool* cut = nullptr);
// The value of section/key exactly as stored (without its surrounding blanks, up to a NUL), uncut
// and unconverted. False when the key is absent.
bool IniReadRaw(const IniText& ini, std::string_view section, std::string_view key, std::string* value);
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

// Paths are UTF-8. A missing file gives an empty text. Anything that is not a settings file is
// kUnreadable, with the reason in `why`: a folder, a FIFO or device (refused without waiting on
// it), a file that cannot be read, one larger than kIniMaxFileBytes (judged before reading) and
// one that is not text: NUL bytes, which also mark UTF-16 without a byte-order mark.
IniFileStatus LoadIniFile(const std::string& path, IniText* ini, std::string* why = nullptr);

// Replaces the file with the text, its byte-order mark and encoding, through ReplaceFileContents.
// A link is written through: the file it leads to is replaced and the link stays a link. A file
// with other hard links is replaced under this name only; the other names keep the old contents
// (the file is never rewritten in place, where a crash could leave it half written). Refused,
// with the reason in `why` and the file untouched: a read-only file (no write permission), a
// path that is not a regular file, a lock that cannot be had. The replacement keeps the old
// file's permissions and, where the system allows, its owner.
bool SaveIniFile(const std::string& path, const IniText& ini, std::string* why = nullptr);

// Serialises the read-modify-write of one settings file across processes: holds an exclusive
// lock on "<file>.lock" beside the file (beside the file a link leads to), waiting up to 30 s
// for another holder. SaveIniFile takes it for its own write; take it around a load and the save
// that follows it, so that no other writer's update falls between them. Taken again in the same
// process for the same file it nests. The lock file is left in place: removing it would let two
// writers hold locks on two different files.
class IniFileLock {
public:
    explicit IniFileLock(const std::string& path);
    ~IniFileLock();
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;
    bool Held() const { return held_; }
    const std::string& Error() const { return error_; }

private:
    std::string key_;
    bool held_ = false;
    std::string error_;
};

// The file a path names after following symbolic links (up to 40), even when the last one leads
// to a file that does not exist yet; the path itself when it is not a link.
std::string ResolveLinks(const std::string& path);

// Writes `bytes` to a temporary file of its own name beside `path` (created exclusively, never
// through a link), flushes it and renames it over `path`, so the file is the old one or the new
// one whole, never a mix. False on any failure; `path` is then untouched and the folder is never
// created. Temporary files left by a writer that was killed are removed by the next one.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// The way ReplaceFileContents does its work. The portable one uses POSIX calls (the standard
// library elsewhere); the Windows layer installs one that writes through to the disk.
using FileReplacer = bool (*)(const std::string& path, std::string_view bytes);
// Installs `replacer` (nullptr restores the portable one). Returns the previous one.
FileReplacer SetFileReplacer(FileReplacer replacer);

// The way IniFileLock locks: `acquire` opens and locks `lockPath`, returning a handle (or -1 with
// the reason); `release` unlocks and closes it. The portable one uses flock on POSIX and locks
// nothing elsewhere; the Windows layer installs one with LockFileEx.
struct FileLocker {
    intptr_t (*acquire)(const std::string& lockPath, std::string* why);
    void (*release)(intptr_t handle);
};
// Installs `locker` (null functions restore the portable one). Returns the previous one.
FileLocker SetFileLocker(FileLocker locker);

// Whether SaveIniFile could replace the file at `path` now, asked without changing anything the
// file's readers see: false, with the reason in `why`, for a path that is not a regular file, a
// read-only file, a missing folder or one where no file can be created (a read-only folder or
// disk). A missing file in a writable folder can be created.
bool CanReplaceFile(const std::string& path, std::string* why = nullptr);

// Keeps `bytes` in a file of their own beside `path`: "<path>.<kind>-1", "-2" and on, the lowest
// number that is free, never replacing a file. A file of those names that already holds exactly
// these bytes is reused, so the same contents are kept once. The kept file's path, or empty (with
// the reason in `why`) when none could be written; `created` says whether a new file was written.
std::string KeepFileCopy(const std::string& path, std::string_view kind, std::string_view bytes,
                         bool* created = nullptr, std::string* why = nullptr);

// The name of a temporary file of ReplaceFileContents for `path` ("<path>.<pid>-<n>.tmp"), and
// whether a file name (without folder) beside `path` is one of them.
std::string TemporaryFileName(const std::string& path, uint64_t pid, uint64_t n);
bool IsTemporaryFileOf(const std::string& path, const std::string& name);
