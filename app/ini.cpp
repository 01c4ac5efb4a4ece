// The INI codec: finding sections and keys in the text, reading and writing values, and the file
// round trip. Every lookup is one pass over the text, so memory stays at the file's size.
#include "app/ini.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <system_error>
#include <utility>

#include "base/bmp.h"
#include "base/files.h"
#include "base/text_encoding.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr size_t kNone = std::string_view::npos;
// The system reads an integer through a 30-character buffer.
constexpr size_t kIntChars = 29;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Names and values end at a NUL, as the system keeps them as C strings.
std::string_view CutAtNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool SameName(std::string_view stored, std::string_view wanted) {
    stored = CutAtNul(stored);
    if (stored.size() != wanted.size()) return false;
    for (size_t i = 0; i < stored.size(); ++i)
        if (Lower(stored[i]) != Lower(wanted[i])) return false;
    return true;
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

size_t LineEnd(std::string_view text, size_t from) {
    while (from < text.size() && !IsBreak(text[from])) ++from;
    return from;
}

// Where the line ending at `end` is followed by the next one; `end` itself for a last line
// without a line break.
size_t NextLine(std::string_view text, size_t end) {
    if (end == text.size()) return end;
    return text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
}

struct Header {
    size_t begin = 0, next = 0;  // the line, and where the section's first line starts
    std::string_view name;       // trimmed
};

// The first section header starting at or after the line start `from`. Only lines whose first
// non-blank character is '[' are looked at, and those are found with memchr, so a scan costs
// little more than the text's length even when it holds millions of lines.
bool NextHeader(std::string_view text, size_t from, Header* header) {
    size_t p = from;
    while (p < text.size()) {
        const void* hit = std::memchr(text.data() + p, '[', text.size() - p);
        if (!hit) return false;
        size_t bracket = size_t(static_cast<const char*>(hit) - text.data());
        size_t before = bracket;
        while (before > 0 && IsBlank(text[before - 1])) --before;
        if (before > 0 && !IsBreak(text[before - 1])) {
            p = bracket + 1;  // not the first character of its line
            continue;
        }
        size_t end = LineEnd(text, bracket);
        size_t close = end;
        while (close > bracket + 1 && text[close - 1] != ']') --close;
        if (close > bracket + 1) {
            header->begin = before;
            header->next = NextLine(text, end);
            header->name = Trim(text.substr(bracket + 1, close - 2 - bracket));
            return true;
        }
        p = NextLine(text, end);
    }
    return false;
}

struct KeyLine {
    std::string_view name;   // trimmed
    size_t nameEnd = 0;      // offset just past the name
    size_t end = 0;          // offset of the line's end
    size_t equals = kNone;   // offset of the '=', if there is one
    size_t valueBegin = 0;   // offset of the value's first non-blank character
    std::string_view value;  // trimmed
};

// The key line whose first non-blank character is at `b`.
KeyLine ParseKeyLine(std::string_view text, size_t b) {
    KeyLine k;
    k.end = LineEnd(text, b);
    size_t e = k.end;
    while (e > b && IsBlank(text[e - 1])) --e;
    const void* eq = std::memchr(text.data() + b, '=', e - b);
    size_t nameEnd = e;
    if (eq) {
        k.equals = size_t(static_cast<const char*>(eq) - text.data());
        nameEnd = k.equals;
        while (nameEnd > b && IsBlank(text[nameEnd - 1])) --nameEnd;
        size_t v = k.equals + 1;
        while (v < e && IsBlank(text[v])) ++v;
        k.valueBegin = v;
        k.value = text.substr(v, e - v);
    }
    k.name = text.substr(b, nameEnd - b);
    k.nameEnd = nameEnd;
    return k;
}

// Where a key is, or where it would go.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    KeyLine line;                   // the key's line
    size_t insertAt = 0;            // after the section's last non-blank line (or its header)
    bool insertNeedsBreak = false;  // that line ends the text without a line break
};

KeyPlace FindKey(std::string_view text, std::string_view section, std::string_view key) {
    KeyPlace place;
    Header header;
    size_t from = 0;
    do {
        if (!NextHeader(text, from, &header)) return place;
        from = header.next;
    } while (!SameName(header.name, section));  // only the first section of a name counts
    place.sectionFound = true;
    place.insertAt = header.next;
    place.insertNeedsBreak = header.next == text.size() && !IsBreak(text.back());
    Header following;
    size_t sectionEnd = NextHeader(text, header.next, &following) ? following.begin : text.size();
    // Every non-blank line before the next header is a key line.
    for (size_t p = header.next;;) {
        while (p < sectionEnd && (IsBlank(text[p]) || IsBreak(text[p]))) ++p;
        if (p >= sectionEnd) break;
        KeyLine line = ParseKeyLine(text, p);
        if (SameName(line.name, key)) {
            place.keyFound = true;
            place.line = line;
            return place;
        }
        p = NextLine(text, line.end);
        place.insertAt = p;
        place.insertNeedsBreak = p == line.end;
    }
    return place;
}

std::string_view Normalise(std::string_view name) {
    return Trim(CutAtNul(name));
}

// The stored value of a key line that has an '=', without blanks, up to a NUL.
bool FindRawValue(const IniText& ini, std::string_view section, std::string_view key, std::string_view* raw) {
    section = Normalise(section);
    if (section.empty()) return false;
    KeyPlace place = FindKey(ini.text, section, Normalise(key));
    if (!place.keyFound || place.line.equals == kNone) return false;
    *raw = CutAtNul(place.line.value);
    return true;
}

std::string_view StripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return 99;
}

// The line break that new lines take: the text's first one, CR LF when it has none.
std::string_view LineBreakOf(std::string_view text) {
    const void* cr = std::memchr(text.data(), '\r', text.size());
    const void* lf =
        std::memchr(text.data(), '\n', cr ? static_cast<const char*>(cr) - text.data() : text.size());
    if (lf) return "\n";
    if (!cr) return "\r\n";
    size_t i = size_t(static_cast<const char*>(cr) - text.data());
    return i + 1 < text.size() && text[i + 1] == '\n' ? "\r\n" : "\r";
}

bool Storable(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == kNone;
}

bool WriteValue(IniText* ini, std::string_view section, std::string_view key, std::string_view value) {
    for (std::string_view s : {section, key, value})
        if (!Storable(s) || !IsValidUtf8(s)) return false;
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.find('=') != kNone || (!key.empty() && key.front() == '[')) return false;
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);

    std::string& text = ini->text;
    KeyPlace place = FindKey(text, section, key);
    if (place.keyFound) {
        const KeyLine& l = place.line;
        if (l.equals != kNone) {
            text.replace(l.valueBegin, l.end - l.valueBegin, value);
        } else {
            std::string tail = "=";
            tail += value;
            text.replace(l.nameEnd, l.end - l.nameEnd, tail);
        }
        return true;
    }
    std::string_view br = LineBreakOf(text);
    std::string add;
    if (place.sectionFound) {
        if (place.insertNeedsBreak) add += br;
        add.append(key).append("=").append(value).append(br);
        text.insert(place.insertAt, add);
        return true;
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') add += br;
    add.append("[").append(section).append("]").append(br);
    add.append(key).append("=").append(value).append(br);
    text += add;
    return true;
}

}  // namespace

IniText ParseIniBytes(std::string bytes) {
    IniText ini;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        ini.encoding = IniEncoding::kUtf16Le;
        ini.text = Utf16LeToText(std::string_view(bytes).substr(2), &ini.oddByte);
        return ini;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.encoding = IniEncoding::kUtf8Bom;
        bytes.erase(0, 3);
    }
    ini.text = std::move(bytes);
    return ini;
}

std::string IniFileBytes(const IniText& ini) {
    switch (ini.encoding) {
        case IniEncoding::kUtf16Le:
            return "\xFF\xFE" + TextToUtf16Le(ini.text) + ini.oddByte;
        case IniEncoding::kUtf8Bom:
            return "\xEF\xBB\xBF" + ini.text;
        case IniEncoding::kBytes:
            break;
    }
    return ini.text;
}

bool IniReadString(const IniText& ini, std::string_view section, std::string_view key, std::string* value) {
    std::string_view raw;
    if (!FindRawValue(ini, section, key, &raw)) return false;
    raw = StripQuotes(raw);
    std::string utf8 = ini.encoding == IniEncoding::kBytes ? BytesToUtf8(raw) : SanitiseUtf8(raw);
    *value = std::string(CutToUtf16Units(utf8, kIniMaxString));
    return true;
}

int32_t IniReadInt(const IniText& ini, std::string_view section, std::string_view key, int32_t defaultValue) {
    std::string_view raw;
    if (!FindRawValue(ini, section, key, &raw)) return defaultValue;
    std::string_view s = StripQuotes(raw).substr(0, kIntChars);
    if (s.empty()) return defaultValue;
    size_t i = 0;
    while (i < s.size() && uint8_t(s[i]) <= ' ') ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
    uint32_t base = 10;
    if (s.size() - i >= 2 && s[i] == '0') {
        char p = s[i + 1];
        base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < s.size(); ++i) {
        uint32_t d = uint32_t(DigitValue(s[i]));
        if (d >= base) break;
        total = total * base + d;
    }
    return int32_t(minus ? 0u - total : total);
}

bool IniReadStruct(const IniText& ini, std::string_view section, std::string_view key, void* data,
                   size_t size) {
    std::string_view raw;
    if (!FindRawValue(ini, section, key, &raw) || raw.size() != 2 * size + 2) return false;
    std::string bytes(size + 1, '\0');
    uint8_t sum = 0;
    for (size_t i = 0; i <= size; ++i) {
        int hi = HexDigit(raw[2 * i]), lo = HexDigit(raw[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i] = char(hi << 4 | lo);
        if (i < size) sum = uint8_t(sum + hi * 16 + lo);
    }
    if (uint8_t(bytes[size]) != sum) return false;
    if (size) std::memcpy(data, bytes.data(), size);
    return true;
}

bool IniWriteString(IniText* ini, std::string_view section, std::string_view key, std::string_view value) {
    return WriteValue(ini, section, key, value);
}

bool IniWriteInt(IniText* ini, std::string_view section, std::string_view key, int32_t value) {
    return WriteValue(ini, section, key, std::to_string(value));
}

bool IniWriteStruct(IniText* ini, std::string_view section, std::string_view key, const void* data,
                    size_t size) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(2 * size + 2);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint8_t sum = 0;
    for (size_t i = 0; i <= size; ++i) {
        uint8_t b = i < size ? p[i] : sum;
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
        sum = uint8_t(sum + b);
    }
    return WriteValue(ini, section, key, hex);
}

IniFileStatus LoadIniFile(const std::string& path, IniText* ini, std::string* why) {
    *ini = IniText();
    std::string reason;
    auto unreadable = [&](std::string text) {
        if (why) *why = std::move(text);
        return IniFileStatus::kUnreadable;
    };
    std::error_code ec;
    fs::file_status status = fs::status(PathFromUtf8(path), ec);
    if (status.type() == fs::file_type::not_found) return IniFileStatus::kMissing;
    std::string bytes;
    // Room for the settings' own lines, so that writing them needs no copy.
    if (!ReadFileBytes(path, bytes, reason, kIniMaxFileBytes, 64 << 10)) return unreadable(reason);
    if (std::memchr(bytes.data(), '\0', bytes.size()) &&
        !(bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE'))
        return unreadable("not a text file (it holds NUL bytes, or is UTF-16 without a byte-order mark)");
    IniText parsed = ParseIniBytes(std::move(bytes));
    if (std::memchr(parsed.text.data(), '\0', parsed.text.size()))
        return unreadable("not a text file (it holds NUL characters)");
    *ini = std::move(parsed);
    return IniFileStatus::kLoaded;
}

namespace {

#ifndef _WIN32
intptr_t FlockAcquire(const std::string& lockPath, std::string* why) {
    int fd =
        ::open(PathFromUtf8(lockPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    if (fd < 0) {
        if (why) *why = "cannot create the lock file " + lockPath + " (" + std::strerror(errno) + ")";
        return -1;
    }
    // Polled, so that a holder that hangs makes the others give up rather than wait forever.
    for (int waited = 0; waited < 30000; waited += 5) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        ::usleep(5000);
    }
    ::close(fd);
    if (why) *why = "the settings file is locked by another writer";
    return -1;
}

void FlockRelease(intptr_t handle) {
    ::close(int(handle));  // closing releases the lock
}
#else
intptr_t NoLockAcquire(const std::string&, std::string*) {
    return 0;
}
void NoLockRelease(intptr_t) {}
#endif

FileLocker PortableLocker() {
#ifndef _WIN32
    return FileLocker{FlockAcquire, FlockRelease};
#else
    return FileLocker{NoLockAcquire, NoLockRelease};
#endif
}

FileLocker gLocker = PortableLocker();

struct HeldLock {
    int depth = 0;
    intptr_t handle = -1;
};
std::mutex gLocksMutex;
std::map<std::string, HeldLock> gLocks;  // by the resolved path of the settings file

bool LockHeld(const std::string& target) {
    std::lock_guard<std::mutex> guard(gLocksMutex);
    auto it = gLocks.find(target);
    return it != gLocks.end() && it->second.depth > 0;
}

uint64_t ProcessId() {
#ifndef _WIN32
    return uint64_t(::getpid());
#else
    return uint64_t(std::random_device()());
#endif
}

}  // namespace

std::string ResolveLinks(const std::string& path) {
    fs::path p = PathFromUtf8(path);
    std::error_code ec;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hop) {
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    const std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

IniFileLock::IniFileLock(const std::string& path) : key_(ResolveLinks(path)) {
    if (path.empty()) {
        error_ = "no settings file";
        return;
    }
    std::lock_guard<std::mutex> guard(gLocksMutex);
    HeldLock& lock = gLocks[key_];
    if (lock.depth == 0) {
        intptr_t handle = gLocker.acquire(key_ + ".lock", &error_);
        if (handle == -1) {
            gLocks.erase(key_);
            return;
        }
        lock.handle = handle;
    }
    ++lock.depth;
    held_ = true;
}

IniFileLock::~IniFileLock() {
    if (!held_) return;
    std::lock_guard<std::mutex> guard(gLocksMutex);
    auto it = gLocks.find(key_);
    if (it == gLocks.end()) return;
    if (--it->second.depth == 0) {
        gLocker.release(it->second.handle);
        gLocks.erase(it);
    }
}

bool SaveIniFile(const std::string& path, const IniText& ini, std::string* why) {
    auto refuse = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (path.empty()) return refuse("no settings file");
    const std::string target = ResolveLinks(path);
    std::error_code ec;
    const fs::path t = PathFromUtf8(target);
    const fs::file_status status = fs::status(t, ec);
    if (status.type() != fs::file_type::not_found) {
        if (ec || status.type() != fs::file_type::regular) return refuse("not a regular file");
        const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        bool readOnly = (status.permissions() & writable) == fs::perms::none;
#ifndef _WIN32
        readOnly = readOnly || (::access(t.c_str(), W_OK) != 0 && errno != ENOENT);
#endif
        if (readOnly) return refuse("the settings file is read-only; it was not changed");
    }
    IniFileLock lock(target);
    if (!lock.Held()) return refuse(lock.Error());
    const bool ok = ini.encoding == IniEncoding::kBytes ? ReplaceFileContents(target, ini.text)  // no copy
                                                        : ReplaceFileContents(target, IniFileBytes(ini));
    return ok ? true : refuse("the settings file could not be replaced; it was left as it was");
}

std::string TemporaryFileName(const std::string& path, uint64_t pid, uint64_t n) {
    return path + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

bool IsTemporaryFileOf(const std::string& path, const std::string& name) {
    const std::u8string own = PathFromUtf8(path).filename().u8string();
    const std::string prefix = std::string(own.begin(), own.end()) + ".";
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    const std::string_view middle =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - 4);
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == kNone || dash + 1 == middle.size()) return false;
    for (size_t i = 0; i < middle.size(); ++i)
        if (i != dash && (middle[i] < '0' || middle[i] > '9')) return false;
    return true;
}

namespace {

// Temporary files of `path` left by a writer that was killed. Called under the lock, when no
// other writer can have one.
void RemoveStaleTemporaries(const std::string& path) {
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    fs::path folder = p.parent_path();
    if (folder.empty()) folder = ".";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::u8string u8 = it->path().filename().u8string();
        if (!IsTemporaryFileOf(path, std::string(u8.begin(), u8.end()))) continue;
        const fs::file_status st = fs::symlink_status(it->path(), ec);
        if (!ec && (st.type() == fs::file_type::regular || st.type() == fs::file_type::symlink))
            fs::remove(it->path(), ec);  // a link itself, never what it leads to
        ec.clear();
    }
}

#ifndef _WIN32
// Creates a temporary file of a new name beside `path`, never through a link, with the mode and
// (where allowed) the owner of the file it will replace. -1 on failure.
int CreateTemporary(const std::string& path, std::string& temp) {
    static std::atomic<uint64_t> counter{0};
    struct stat old;
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryFileName(path, ProcessId(), counter++);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        if (replacing) {
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Not allowed to give it away: the file becomes the writer's own.
            }
            ::fchmod(fd, old.st_mode & 07777);
        }
        return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (!(n < 0 && errno == EINTR))
            return false;
    }
    return true;
}

void SyncFolder(const std::string& path) {
    std::string folder = PathFromUtf8(path).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename itself on the disk; failing here does not undo it
    ::close(fd);
}
#endif

bool PortableReplace(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    if (LockHeld(path)) RemoveStaleTemporaries(path);
    std::string temp;
#ifndef _WIN32
    int fd = CreateTemporary(PathFromUtf8(path).string(), temp);
    if (fd < 0) return false;
    // On the disk before the rename makes it the settings file.
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), PathFromUtf8(path).c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
#else
    static std::atomic<uint64_t> counter{0};
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryFileName(path, ProcessId(), counter++);
        if (!fs::exists(fs::symlink_status(PathFromUtf8(temp), ec))) break;
    }
    {
        std::ofstream out(PathFromUtf8(temp), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(PathFromUtf8(temp), ec);
            return false;
        }
    }
    fs::rename(PathFromUtf8(temp), PathFromUtf8(path), ec);
    if (!ec) return true;
    fs::remove(PathFromUtf8(temp), ec);
    return false;
#endif
}

FileReplacer gReplacer = PortableReplace;

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    return gReplacer(path, bytes);
}

FileReplacer SetFileReplacer(FileReplacer replacer) {
    FileReplacer old = gReplacer;
    gReplacer = replacer ? replacer : PortableReplace;
    return old;
}

FileLocker SetFileLocker(FileLocker locker) {
    FileLocker old = gLocker;
    gLocker = locker.acquire && locker.release ? locker : PortableLocker();
    return old;
}
