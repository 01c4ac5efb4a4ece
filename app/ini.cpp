// The INI codec: finding sections and keys in the text and reading and writing values (the file on
// disk is ini_file.cpp). Every lookup is one pass over the text, so memory stays at the file's size.
#include "app/ini.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/bmp.h"
#include "base/files.h"
#include "base/text_encoding.h"

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

bool IniReadString(const IniText& ini, std::string_view section, std::string_view key, std::string* value,
                   bool* cut) {
    std::string_view raw;
    if (!FindRawValue(ini, section, key, &raw)) return false;
    raw = StripQuotes(raw);
    std::string utf8 = ini.encoding == IniEncoding::kBytes ? BytesToUtf8(raw) : SanitiseUtf8(raw);
    const std::string_view kept = CutToUtf16Units(utf8, kIniMaxString);
    if (cut) *cut = kept.size() < utf8.size();
    *value = std::string(kept);
    return true;
}

bool IniReadRaw(const IniText& ini, std::string_view section, std::string_view key, std::string* value) {
    std::string_view raw;
    if (!FindRawValue(ini, section, key, &raw)) return false;
    *value = std::string(raw);
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
