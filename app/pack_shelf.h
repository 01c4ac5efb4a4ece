// Glyph packs chosen by screen size: a root folder holds one pack folder per screen size, named
// WIDTHxHEIGHT ("glyphs/2560x1440"). A capture of a size with no folder is read with the built-in
// pack. A size's pack is loaded and checked the first time that size is asked for and then kept
// until that size is dropped: what is handed out is never freed or changed while the shelf lives.
// A pack whose check finds a problem that can make a read wrong or endless is not used: that size
// reads with the built-in pack.
// Safe to use from several threads at once; a size is loaded once however many ask together.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reader/glyph_pack.h"
#include "reader/pack_check.h"

// What is wrong with a size's pack folder, told once: to the first caller for that size.
struct PackReport {
    std::string folder;                 // the pack folder
    std::string loadError;              // not empty: the folder could not be loaded, the built-in pack reads
    std::vector<PackProblem> problems;  // what the check found in what the folder holds
    bool notUsed = false;               // a problem blocks the pack: the built-in pack reads instead
};

struct PackPick {
    const GlyphPack* pack = nullptr;   // never null
    bool fromFolder = false;           // false: the built-in pack
    std::optional<PackReport> report;  // the first call for a size only, and only when something is wrong
};

class PackShelf {
public:
    using Loader = std::function<bool(const std::string& folder, GlyphPack& pack, std::string& error,
                                      PackContents* contents)>;
    using Checker =
        std::function<std::vector<PackProblem>(const GlyphPack& pack, const PackContents* contents)>;

    // root: the folder of pack folders; empty means the built-in pack for every size. The loader
    // and checker are LoadGlyphPack and CheckGlyphPack unless a test gives its own. The built-in
    // pack must be loaded before the first call.
    explicit PackShelf(std::string root, Loader loader = LoadGlyphPack, Checker checker = CheckGlyphPack);
    PackShelf(const PackShelf&) = delete;
    PackShelf& operator=(const PackShelf&) = delete;

    // The pack for a capture of width x height. A size that is not positive gets the built-in pack.
    PackPick PackFor(int width, int height);

    // Forgets the pack of that size, so that the next call for it loads the folder again (after
    // the folder was taught more) and tells its problems again. The pack handed out so far stays
    // alive and unchanged until the shelf goes, since an action may still be reading with it.
    void Drop(int width, int height);

    const std::string& Root() const { return root_; }

private:
    struct Slot {
        std::mutex mutex;  // held while the size loads, so that callers for it wait for that load
        bool ready = false;
        std::unique_ptr<const GlyphPack> pack;                  // null: the built-in pack
        std::vector<std::unique_ptr<const GlyphPack>> dropped;  // handed out before a Drop
    };
    PackPick Load(int width, int height, Slot& slot);

    const std::string root_;
    const Loader loader_;
    const Checker checker_;
    std::mutex mutex_;  // guards the map only; a slot, once made, stays where it is
    std::map<std::pair<int, int>, std::unique_ptr<Slot>> slots_;
};

// The alert for a report, in Korean and at most kPopupTextMax characters: "글자 팩 문제: " and what
// is wrong with the pack of that size, naming the file of the first problem that stops it being
// used; `logged` adds that the details are in the log.
std::u16string PackAlertText(int width, int height, const PackReport& report, bool logged);

// The report in full, one line each, for the log: the folder and the load error, or one line per
// problem naming the pack file it is about (after a line saying the pack is not used, when so).
std::vector<std::string> PackReportLines(const PackReport& report);
