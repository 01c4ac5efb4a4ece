// Teaching a pack folder one tooltip at a time: the folder's pictures and layout, and beside them
// in "pending/" the tooltips whose numbers the digit grid cannot place yet, each kept as its
// picture (NNNN.bmp) and its description (NNNN.txt) until later tooltips settle the grid.
#include "reader/pack_teach.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "base/bmp.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "base/status.h"
#include "reader/digit_grid.h"
#include "reader/parser.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxPendingBytes = 64u << 20;  // a tooltip picture, with room to spare
constexpr int kMaxPending = 50;                   // tooltips a folder keeps waiting

struct Pending {
    std::string name;  // "pending/0001"
    PixelBuffer tooltip;
    LearnTooltip what;
};

bool ParseWhole(const std::string& text, int& value, int lo, int hi) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= lo && value <= hi;
}

}  // namespace

std::string FormatTooltipDescription(const LearnTooltip& what) {
    std::string text = "# What the tooltip beside this file shows, as the player described it.\n";
    text += "kind " + std::to_string(what.kind) + "\n";
    if (what.weapon)
        text += "weapon " + what.attacksPerSecond + " " + what.minDamage + " " + what.maxDamage + "\n";
    if (what.emptySockets) text += "empty_sockets " + std::to_string(what.emptySockets) + "\n";
    for (const LearnLine& line : what.lines)
        text += "line " + std::to_string(line.row) + " " + line.text + "\n";
    return text;
}

bool ParseTooltipDescription(std::string_view text, LearnTooltip& what, std::string& error) {
    LearnTooltip result;
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.empty() || raw[0] == '#') continue;
        std::istringstream words(raw);
        std::string key, a, b, c, extra;
        words >> key >> a >> b >> c >> extra;
        const std::string where = "description line " + std::to_string(lineNo) + ": ";
        bool ok = false;
        if (key == "kind") {
            ok = b.empty() && ParseWhole(a, result.kind, 0, kKindCount - 1);
        } else if (key == "weapon") {
            ok = extra.empty() && IsNumber(a) && IsNumber(b) && IsNumber(c);
            result.weapon = true, result.attacksPerSecond = a, result.minDamage = b, result.maxDamage = c;
        } else if (key == "empty_sockets") {
            ok = b.empty() && ParseWhole(a, result.emptySockets, 0, 20);
        } else if (key == "line") {
            // The text is the rest of the line, as typed.
            LearnLine line;
            const size_t at = raw.find(a, raw.find(key) + key.size()) + a.size();
            std::getline(std::istringstream(raw.substr(at)) >> std::ws, line.text);
            ok = !line.text.empty() && ParseWhole(a, line.row, -1, kDescriptorCount - 1);
            if (ok) result.lines.push_back(line);
        }
        if (!ok) return error = where + "cannot read '" + raw.substr(0, 80) + "'", false;
    }
    if (result.kind < 0) return error = "the description gives no kind", false;
    what = std::move(result);
    return true;
}

namespace {

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(PathFromUtf8(path), ec);
}

// The tooltips the folder keeps waiting, oldest first. One that cannot be read is named in
// `notes` and passed over (it stays on the disk).
std::vector<Pending> LoadPending(const std::string& folder, std::vector<LearnMessage>& notes) {
    std::vector<Pending> pending;
    const std::string dir = folder + "/" + kPendingFolder;
    if (!IsFolder(dir)) return pending;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(dir), ec), end; !ec && it != end; it.increment(ec)) {
        const std::u8string file = it->path().filename().u8string();
        const std::string name(file.begin(), file.end());
        if (name.size() == 8 && name.compare(4, 4, ".txt") == 0 &&
            std::all_of(name.begin(), name.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
            names.push_back(name.substr(0, 4));
    }
    std::sort(names.begin(), names.end());
    if (names.size() > size_t(kMaxPending)) {
        LearnMessage note{kTooManyPending};
        note.a = kMaxPending;
        notes.push_back(note);
        names.resize(kMaxPending);
    }
    for (const std::string& n : names) {
        Pending p;
        p.name = std::string(kPendingFolder) + "/" + n;
        std::string text, why;
        std::vector<uint8_t> bytes;
        if (!ReadFileBytes(dir + "/" + n + ".txt", text, why, 1 << 16) ||
            !ParseTooltipDescription(text, p.what, why) ||
            !ReadFileBytes(dir + "/" + n + ".bmp", bytes, why, kMaxPendingBytes) ||
            !DecodeBmp(bytes.data(), bytes.size(), p.tooltip, why)) {
            LearnMessage note{kPendingUnreadable, LearnPlace{p.name}};
            note.text = why;
            notes.push_back(note);
            continue;
        }
        pending.push_back(std::move(p));
    }
    return pending;
}

// The next free name in the pending folder.
std::string NextPendingName(const std::string& folder) {
    std::error_code ec;
    for (int n = 1; n <= 9999; ++n) {
        char name[8];
        std::snprintf(name, sizeof name, "%04d", n);
        const std::string base = folder + "/" + kPendingFolder + "/" + name;
        if (!fs::exists(PathFromUtf8(base + ".txt"), ec) && !fs::exists(PathFromUtf8(base + ".bmp"), ec))
            return std::string(kPendingFolder) + "/" + name;
    }
    return {};
}

ItemRecord ReadQuietly(const PixelBuffer& tooltip, const GlyphPack& pack) {
    const PopupDelivery previous = SetPopupDelivery(nullptr);
    const ItemRecord got = ParseItem(&tooltip, 0, pack);
    SetPopupDelivery(previous);
    return got;
}

void RemovePending(const std::string& folder, const std::string& name) {
    std::error_code ec;
    fs::remove(PathFromUtf8(folder + "/" + name + ".txt"), ec);
    fs::remove(PathFromUtf8(folder + "/" + name + ".bmp"), ec);
}

// Pictures of the pack placed by a guess, kept in the pending folder as their resource ids.
constexpr char kGuessesFile[] = "guesses.txt";

PackGuesses LoadGuesses(const std::string& folder) {
    PackGuesses guesses;
    std::string text, why;
    if (!ReadFileBytes(folder + "/" + kPendingFolder + "/" + kGuessesFile, text, why, 1 << 16))
        return guesses;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        int id = 0;
        if (!ParseWhole(word, id, 1, 1000)) continue;
        for (int i = 0; i < kGlyphCount; ++i)
            if (kGlyphInfo[i].resourceId == id) guesses.picture[i] = true;
    }
    return guesses;
}

bool SaveGuesses(const std::string& folder, const PackGuesses& guesses, std::string& error) {
    const std::string path = folder + "/" + kPendingFolder + "/" + kGuessesFile;
    std::error_code ec;
    if (!guesses.Any()) {
        fs::remove(PathFromUtf8(path), ec);
        return true;
    }
    std::string text = "# Pictures of the pack placed in their cells by a guess, by resource id.\n";
    for (int i = 0; i < kGlyphCount; ++i)
        if (guesses.picture[i]) text += std::to_string(kGlyphInfo[i].resourceId) + "\n";
    fs::create_directories(PathFromUtf8(folder + "/" + kPendingFolder), ec);
    if (!ReplaceFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()), error))
        return error = path + ": " + error, false;
    return true;
}

bool ReadsBackKind(const LearnReport& report) {
    return std::none_of(report.readBack.begin(), report.readBack.end(),
                        [](const LearnMessage& m) { return m.code == kKindReadsAs; });
}

// It does not read back as described, for `shortfall` when one is given.
LearnMessage Misread(const LearnMessage* shortfall) {
    LearnMessage m{kMisread};
    if (shortfall) m.cause.push_back(*shortfall);
    return m;
}

}  // namespace

bool TeachPackFolder(const std::string& folder, const PixelBuffer& image, const LearnTooltip& what,
                     TeachOutcome& outcome, LearnMessage& error) {
    outcome = TeachOutcome();
    if (BuiltInPack().Template(kGlyphBullet).count <= 0) return error = LearnMessage{kBuiltInMissing}, false;
    GlyphPack pack = BuiltInPack();
    PackContents contents;
    std::string detail;
    if (IsFolder(folder) && !LoadGlyphPack(folder, pack, detail, &contents)) {
        error = PackFailure(kPackUnreadable, folder, detail);
        return outcome.folderFailed = true, false;
    }
    std::vector<TaughtTooltip> taught(1);
    if (!FindTooltipBody(image, taught[0].tooltip, error)) return false;
    taught[0].what = what;
    const PackGuesses guessed = LoadGuesses(folder);
    LearnReport& report = outcome.report;

    // The tooltip alone must fit its description; then the kept ones join it, all together or, when
    // some contradict the others, one by one; one that contradicts them or, learned, does not read
    // back as described is left aside.
    GlyphPack next;
    PackContents nextContents;
    PackGuesses nextGuesses;
    std::vector<LearnReport> reports;
    auto learn = [&](const std::vector<TaughtTooltip>& set, LearnMessage& why) {
        next = pack, nextContents = contents, nextGuesses = guessed;
        return LearnFromTooltips(set, next, nextContents, nextGuesses, reports, why);
    };
    if (!learn(taught, error)) return false;
    std::vector<Pending> kept = LoadPending(folder, report.notes);
    std::vector<PendingTooltip> aside;
    for (Pending& p : kept) taught.push_back(TaughtTooltip{std::move(p.tooltip), std::move(p.what), p.name});
    // A kept tooltip that, learned, does not read back as described is left aside.
    auto setAside = [&](size_t i, const LearnMessage& why) {
        LearnMessage note{kLeftAside, LearnPlace{taught[i].name}};
        note.cause.push_back(why);
        report.notes.push_back(note);
        aside.push_back(PendingTooltip{taught[i].name, {why}, true});
        taught.erase(taught.begin() + std::ptrdiff_t(i));
    };
    auto misread = [&]() -> size_t {
        for (size_t i = 1; i < reports.size(); ++i)
            if (reports[i].pending.empty() && !reports[i].readBack.empty()) return i;
        return 0;
    };
    LearnMessage why;
    bool learned = kept.empty() || learn(taught, why);
    for (size_t bad = learned ? misread() : 0; learned && bad; bad = misread()) {
        setAside(bad, Misread(&reports[bad].readBack[0]));
        learned = learn(taught, why);
    }
    if (!learned) {
        // Some kept tooltip contradicts the others: they join one by one instead.
        std::vector<TaughtTooltip> all = std::move(taught);
        taught.assign(std::make_move_iterator(all.begin()), std::make_move_iterator(all.begin() + 1));
        for (size_t i = 1; i < all.size(); ++i) {
            taught.push_back(std::move(all[i]));
            if (!learn(taught, why))
                setAside(taught.size() - 1, why);
            else if (misread() == taught.size() - 1)
                setAside(taught.size() - 1, Misread(nullptr));
        }
        if (!learn(taught, error)) return false;  // the set that was learned last, once more
    }
    const LearnReport& mine = reports[0];
    report.learned = mine.learned, report.disagreements = mine.disagreements, report.readBack = mine.readBack;
    report.pending = mine.pending;
    for (const LearnMessage& n : mine.notes) report.notes.push_back(n);
    for (size_t i = 1; i < reports.size(); ++i)
        report.learned.insert(report.learned.end(), reports[i].learned.begin(), reports[i].learned.end());
    outcome.readBack = ReadQuietly(taught[0].tooltip, next);

    // A tooltip learned whole must read back as described, and a kept one at least by its kind;
    // otherwise the description does not fit it and nothing is written.
    const bool isPending = !mine.pending.empty();
    if (isPending ? !ReadsBackKind(mine) : !mine.readBack.empty()) {
        outcome.fits = false;
        outcome.missing = MissingFromPack(contents);
        outcome.readBack = ReadQuietly(taught[0].tooltip, pack);
        for (size_t i = 1; i < taught.size(); ++i) outcome.pending.push_back(PendingTooltip{taught[i].name});
        outcome.pending.insert(outcome.pending.end(), aside.begin(), aside.end());
        return true;
    }

    std::vector<std::string> written;
    outcome.folderFailed = true;
    const bool saved = SaveGlyphPack(folder, next, nextContents, detail, &written);
    outcome.wrote = !written.empty();  // also on failure: what was written before it stays
    if (!saved) return error = PackFailure(kPackUnwritable, folder, detail), false;
    // The same tooltip taught again while it waits is kept once.
    const bool keptAlready = std::any_of(taught.begin() + 1, taught.end(), [&](const TaughtTooltip& k) {
        return k.tooltip.pixels == taught[0].tooltip.pixels && k.tooltip.width == taught[0].tooltip.width &&
               FormatTooltipDescription(k.what) == FormatTooltipDescription(what);
    });
    if (isPending && !keptAlready) {
        std::error_code ec;
        fs::create_directories(PathFromUtf8(folder + "/" + kPendingFolder), ec);
        const std::string name = NextPendingName(folder);
        std::string why;
        if (ec || name.empty())
            return error = PackFailure(kPackUnwritable, folder,
                                       folder + "/" + kPendingFolder + ": cannot keep the tooltip"),
                   false;
        const std::string text = FormatTooltipDescription(what);
        if (!ReplaceFileBytes(folder + "/" + name + ".bmp", EncodeBmp24(taught[0].tooltip), why) ||
            !ReplaceFileBytes(folder + "/" + name + ".txt", std::vector<uint8_t>(text.begin(), text.end()),
                              why))
            return error = PackFailure(kPackUnwritable, folder, folder + "/" + name + ": " + why), false;
        outcome.wrote = true;
        outcome.pending.push_back(PendingTooltip{name, mine.pending});
    }
    for (size_t i = 1; i < taught.size(); ++i) {
        if (!reports[i].pending.empty()) {
            outcome.pending.push_back(PendingTooltip{taught[i].name, reports[i].pending});
            continue;
        }
        RemovePending(folder, taught[i].name);
        outcome.settled.push_back(taught[i].name);
        outcome.wrote = true;
    }
    outcome.pending.insert(outcome.pending.end(), aside.begin(), aside.end());
    if (nextGuesses.Any() != guessed.Any() ||
        !std::equal(std::begin(nextGuesses.picture), std::end(nextGuesses.picture),
                    std::begin(guessed.picture))) {
        if (!SaveGuesses(folder, nextGuesses, detail))
            return error = PackFailure(kPackUnwritable, folder, detail), false;
        outcome.wrote = true;
    }
    std::error_code ec;
    const fs::path pendingFolder = PathFromUtf8(folder + "/" + kPendingFolder);
    if (fs::is_directory(pendingFolder, ec) && fs::is_empty(pendingFolder, ec)) fs::remove(pendingFolder, ec);
    outcome.folderFailed = false;
    outcome.missing = MissingFromPack(nextContents);
    return true;
}
