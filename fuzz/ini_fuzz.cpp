// Fuzz target for the INI codec: any bytes as a settings file. Every key of the settings file is
// read, values are written back and the result is parsed again; written values must read back,
// and every other key found in the input must read exactly as before.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/ini.h"
#include "base/text_encoding.h"

namespace {

#define CHECK(cond)                                                                \
    do {                                                                           \
        if (!(cond)) {                                                             \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #cond, __LINE__); \
            std::abort();                                                          \
        }                                                                          \
    } while (0)

struct Pair {
    std::string section, key;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

// A name as the codec compares it: up to a NUL, without blanks, in lower case.
std::string Canonical(std::string_view s) {
    s = s.substr(0, s.find('\0'));
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return out;
}

bool SamePair(const Pair& a, const Pair& b) {
    return Canonical(a.section) == Canonical(b.section) && Canonical(a.key) == Canonical(b.key);
}

// Candidate sections and keys, taken roughly from the text's lines.
std::vector<Pair> ProbePairs(std::string_view text) {
    std::vector<Pair> pairs;
    std::string section;
    size_t p = 0;
    while (p < text.size() && pairs.size() < 32) {
        size_t end = text.find_first_of("\r\n", p);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(p, end - p);
        p = end + 1;
        size_t open = line.find('['), close = line.rfind(']');
        if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
            section = std::string(line.substr(open + 1, close - open - 1));
        } else if (size_t eq = line.find('='); eq != std::string_view::npos) {
            pairs.push_back({section, std::string(line.substr(0, eq))});
        }
    }
    return pairs;
}

struct Reading {
    bool present;
    std::string value;
};

Reading Read(const IniText& ini, const Pair& p) {
    Reading r;
    r.present = IniReadString(ini, p.section, p.key, &r.value);
    return r;
}

void ReadEverySettingsKey(const IniText& ini) {
    uint8_t buffer[1396];
    for (const char* key : {"Active Profile", "No Activate Main Window On Equip", "Show Modified Stats Popup",
                            "Image File Extension"})
        (void)IniReadInt(ini, "Options", key, 1);
    (void)IniReadStruct(ini, "Options", "Socket Options", buffer, 24);
    (void)IniReadStruct(ini, "Options", "Error Limit", buffer, 12);
    for (const char* key : {"0", "1", "2", "3", "4"}) (void)IniReadStruct(ini, "HotKey", key, buffer, 16);
    std::string s;
    (void)IniReadString(ini, "File Path", "Image", &s);
    CHECK(IsValidUtf8(s));
    (void)IniReadString(ini, "File Path", "INI", &s);
    CHECK(IsValidUtf8(s));
    (void)IniReadStruct(ini, "Profiles", "1", buffer, sizeof buffer);
}

// What a written string reads back as, when that is predictable.
bool PlainValue(std::string_view v) {
    while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
    if (!v.empty() && IsBlank(v.back())) return false;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return false;
    return CutToUtf16Units(v, kIniMaxString).size() == v.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniText ini = ParseIniBytes(bytes);
    CHECK(IniFileBytes(ini) == bytes);
    ReadEverySettingsKey(ini);

    const std::vector<Pair> probes = ProbePairs(ini.text);
    std::vector<Reading> before;
    for (const Pair& p : probes) before.push_back(Read(ini, p));

    // Values to write, drawn from the input's tail.
    const std::string tail = bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 40));
    int32_t number = 0;
    std::memcpy(&number, tail.data(), std::min<size_t>(tail.size(), 4));
    uint8_t hotkey[16] = {};
    std::memcpy(hotkey, tail.data(), std::min<size_t>(tail.size(), sizeof hotkey));

    std::vector<Pair> written = {{"Options", "Active Profile"}, {"HotKey", "3"}, {"File Path", "Image"}};
    CHECK(IniWriteInt(&ini, "Options", "Active Profile", number));
    CHECK(IniWriteStruct(&ini, "HotKey", "3", hotkey, sizeof hotkey));
    const std::string textBefore = ini.text;
    bool stringWritten = IniWriteString(&ini, "File Path", "Image", tail);
    bool storable =
        tail.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos && IsValidUtf8(tail);
    CHECK(stringWritten == storable);
    if (!stringWritten) CHECK(ini.text == textBefore);
    // One key of the input itself, with whatever spelling and spacing it has.
    if (!probes.empty()) {
        const Pair& target = probes[size_t(uint8_t(tail.empty() ? 0 : tail[0])) % probes.size()];
        bool fresh = true;
        for (const Pair& w : written) fresh = fresh && !SamePair(w, target);
        if (fresh && IniWriteString(&ini, target.section, target.key, "v1")) written.push_back(target);
    }

    IniText again = ParseIniBytes(IniFileBytes(ini));
    CHECK(again.text == ini.text);
    CHECK(IniReadInt(again, "Options", "Active Profile", 1) == number);
    uint8_t back[16] = {};
    CHECK(IniReadStruct(again, "HotKey", "3", back, sizeof back));
    CHECK(std::memcmp(back, hotkey, sizeof back) == 0);
    std::string image;
    if (stringWritten) {
        CHECK(IniReadString(again, "File Path", "Image", &image));
        std::string_view expected = tail;
        while (!expected.empty() && IsBlank(expected.front())) expected.remove_prefix(1);
        if (PlainValue(tail)) CHECK(image == expected);
    }
    if (written.size() == 4) {
        std::string v;
        CHECK(IniReadString(again, written[3].section, written[3].key, &v) && v == "v1");
    }
    for (size_t i = 0; i < probes.size(); ++i) {
        bool touched = false;
        for (const Pair& w : written) touched = touched || SamePair(w, probes[i]);
        if (touched) continue;
        Reading now = Read(again, probes[i]);
        CHECK(now.present == before[i].present && now.value == before[i].value);
    }
    return 0;
}
