// Glyph packs on disk: reading and writing the folder, and its layout text.
#include "reader/glyph_pack.h"

#include <atomic>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <system_error>

#include "base/bmp.h"
#include "base/files.h"

namespace {

struct LayoutField {
    const char* name;
    int GlyphLayout::*value;
};
constexpr LayoutField kLayoutFields[] = {
    {"caption_offset", &GlyphLayout::captionOffset}, {"digit_advance", &GlyphLayout::digitAdvance},
    {"point_advance", &GlyphLayout::pointAdvance},   {"damage_gap", &GlyphLayout::damageGap},
    {"tilde_search", &GlyphLayout::tildeSearch},     {"damage_right", &GlyphLayout::damageRight},
    {"damage_up", &GlyphLayout::damageUp},
};
constexpr int kMaxLayoutValue = 1000;
constexpr uint64_t kMaxPackFileBytes = 1 << 20;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A text from the file as an error quotes it: whole when short, else its start, cut at a
// character's boundary, so that a long value cannot flood the message.
std::string Quoted(std::string_view text) {
    constexpr size_t kMost = 40;
    size_t cut = text.size();
    if (cut > kMost)
        for (cut = kMost; cut > 0 && (uint8_t(text[cut]) & 0xC0) == 0x80;) --cut;
    std::string quoted(1, '\'');
    quoted.append(text.substr(0, cut));
    if (cut < text.size())
        quoted.append("...' (").append(std::to_string(text.size())).append(" bytes)");
    else
        quoted.push_back('\'');
    return quoted;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(PathFromUtf8(path), ec);
}

// The names a folder lists. On Windows a FIFO is listed although asking for its status says it
// is not there: such a file is then read, and refused with its reason, not passed over.
std::set<std::string> ListedNames(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        names.emplace(name.begin(), name.end());
    }
    return names;
}

}  // namespace

const char* LayoutFieldName(int field) {
    return kLayoutFields[field].name;
}

int& LayoutValue(GlyphLayout& layout, int field) {
    return layout.*(kLayoutFields[field].value);
}

int PackContents::Pictures() const {
    int n = 0;
    for (bool p : picture) n += p;
    return n;
}

bool ParseGlyphLayout(std::string_view text, GlyphLayout& layout, std::string& error, unsigned* given) {
    GlyphLayout result = layout;
    unsigned seen = 0;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        ++lineNumber;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        line = Trim(line);
        if (line.empty()) continue;
        const std::string where = "layout line " + std::to_string(lineNumber) + ": ";
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return error = where + "expected name = value", false;
        const std::string_view name = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        const LayoutField* field = nullptr;
        for (const LayoutField& f : kLayoutFields)
            if (name == f.name) field = &f;
        if (field) seen |= 1u << (field - kLayoutFields);
        if (!field) return error = where + "unknown name " + Quoted(name), false;
        int v = 0;
        auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
        if (ec != std::errc() || end != value.data() + value.size() || v < 0 || v > kMaxLayoutValue)
            return error = where + Quoted(value) + " is not a whole number from 0 to 1000", false;
        result.*(field->value) = v;
    }
    layout = result;
    if (given) *given = seen;
    return true;
}

std::string FormatGlyphLayout(const GlyphLayout& layout, unsigned fields) {
    std::string text = "# Where the game puts things relative to each other, in pixels.\n";
    for (const LayoutField& f : kLayoutFields)
        if (fields >> (&f - kLayoutFields) & 1)
            text += std::string(f.name) + " = " + std::to_string(layout.*(f.value)) + "\n";
    return text;
}

bool LoadGlyphPack(const std::string& folder, GlyphPack& pack, std::string& error, PackContents* contents) {
    std::error_code ec;
    if (!std::filesystem::is_directory(PathFromUtf8(folder), ec))
        return error = folder + ": not a folder", false;
    GlyphPack result = BuiltInPack();
    PackContents found;
    std::vector<uint8_t> bytes;
    const std::set<std::string> listed = ListedNames(folder);
    auto present = [&](const std::string& name) { return listed.count(name) || Exists(folder + "/" + name); };
    for (int i = 0; i < kGlyphCount; ++i) {
        if (kGlyphInfo[i].resourceId == 0) continue;
        const std::string name = std::to_string(kGlyphInfo[i].resourceId) + ".bmp",
                          path = folder + "/" + name;
        if (!present(name)) continue;
        std::string why;
        PixelBuffer picture;
        if (!ReadFileBytes(path, bytes, why, kMaxPackFileBytes) ||
            !DecodeBmp(bytes.data(), bytes.size(), picture, why))
            return error = path + ": " + why, false;
        if (picture.width > kMaxPackPictureSide || picture.height > kMaxPackPictureSide)
            return error = path + ": larger than " + std::to_string(kMaxPackPictureSide) + " pixels a side",
                   false;
        result.templates[i] = std::move(picture);
        found.picture[i] = true;
    }
    const std::string layoutPath = folder + "/" + kPackLayoutFile;
    if (present(kPackLayoutFile)) {
        std::string text, why;
        if (!ReadFileBytes(layoutPath, text, why, kMaxPackFileBytes))
            return error = layoutPath + ": " + why, false;
        if (!ParseGlyphLayout(text, result.layout, why, &found.layoutFields))
            return error = layoutPath + ": " + why, false;
    }
    pack = std::move(result);
    if (contents) *contents = found;
    return true;
}

bool ReplaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    static const unsigned long long process = std::random_device()();  // another writer's differs
    std::error_code ec;
    const fs::path target = PathFromUtf8(path);
    // A name of its own beside the file, so that the rename never crosses a disk.
    fs::path temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target;
        temp += ".new-" + std::to_string(process) + "-" + std::to_string(counter++);
        if (!fs::exists(fs::symlink_status(temp, ec))) break;
    }
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return error = "cannot create a temporary file beside it", false;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return error = "write error (is the disk full?)", false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return error = "cannot replace it", false;
    }
    return true;
}

bool SaveGlyphPack(const std::string& folder, const GlyphPack& pack, const PackContents& contents,
                   std::string& error, std::vector<std::string>* written) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(folder), ec);
    if (ec) return error = folder + ": " + ec.message(), false;
    // Only what differs from the file already there is written.
    auto save = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder + "/" + name;
        std::vector<uint8_t> old;
        std::string why;
        if (Exists(path) && ReadFileBytes(path, old, why, kMaxPackFileBytes) && old == bytes) return true;
        if (!ReplaceFileBytes(path, bytes, why)) return error = path + ": " + why, false;
        if (written) written->push_back(name);
        return true;
    };
    for (int i = 0; i < kGlyphCount; ++i) {
        if (!contents.picture[i] || kGlyphInfo[i].resourceId == 0) continue;
        if (!save(std::to_string(kGlyphInfo[i].resourceId) + ".bmp", EncodeBmp24(pack.templates[i])))
            return false;
    }
    if (contents.layoutFields) {
        const std::string text = FormatGlyphLayout(pack.layout, contents.layoutFields);
        if (!save(kPackLayoutFile, std::vector<uint8_t>(text.begin(), text.end()))) return false;
    }
    return true;
}

std::string PackFolderForSize(const std::string& root, int width, int height) {
    return root + "/" + std::to_string(width) + "x" + std::to_string(height);
}
