// Glyph packs chosen by screen size, loaded once per size and kept.
#include "app/pack_shelf.h"

#include <filesystem>
#include <system_error>

#include "base/files.h"
#include "base/status.h"

namespace {

std::u16string Ascii16(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The pack file a problem is about: the picture's file, or the layout file.
std::string ProblemFile(int templateIndex) {
    if (templateIndex < 0) return kPackLayoutFile;
    if (templateIndex < kGlyphCount && kGlyphInfo[templateIndex].resourceId != 0)
        return std::to_string(kGlyphInfo[templateIndex].resourceId) + ".bmp";
    return "template " + std::to_string(templateIndex);
}

}  // namespace

PackShelf::PackShelf(std::string root, Loader loader, Checker checker)
    : root_(std::move(root)), loader_(std::move(loader)), checker_(std::move(checker)) {}

PackPick PackShelf::PackFor(int width, int height) {
    if (width <= 0 || height <= 0 || root_.empty()) return PackPick{&BuiltInPack(), false, std::nullopt};
    Slot* slot;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        std::unique_ptr<Slot>& s = slots_[{width, height}];
        if (!s) s = std::make_unique<Slot>();
        slot = s.get();
    }
    std::lock_guard<std::mutex> hold(slot->mutex);
    if (slot->ready) {
        if (slot->pack) return PackPick{slot->pack.get(), true, std::nullopt};
        return PackPick{&BuiltInPack(), false, std::nullopt};
    }
    // Marked ready only once the load is over: a load that throws is tried again next time.
    PackPick pick = Load(width, height, *slot);
    slot->ready = true;
    return pick;
}

void PackShelf::Drop(int width, int height) {
    Slot* slot;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        const auto found = slots_.find({width, height});
        if (found == slots_.end()) return;
        slot = found->second.get();
    }
    std::lock_guard<std::mutex> hold(slot->mutex);
    if (slot->pack) slot->dropped.push_back(std::move(slot->pack));
    slot->ready = false;
}

PackPick PackShelf::Load(int width, int height, Slot& slot) {
    PackPick pick{&BuiltInPack(), false, std::nullopt};
    const std::string folder = PackFolderForSize(root_, width, height);
    std::error_code ec;
    const auto status = std::filesystem::status(PathFromUtf8(folder), ec);
    if (status.type() == std::filesystem::file_type::not_found) return pick;  // no pack for this size

    auto pack = std::make_unique<GlyphPack>();
    PackContents contents;
    std::string error;
    PackReport report;
    report.folder = folder;
    if (!loader_(folder, *pack, error, &contents)) {
        report.loadError = error.empty() ? folder + ": cannot be loaded" : error;
        pick.report = std::move(report);
        return pick;
    }
    report.problems = checker_(*pack, &contents);
    if (FirstBlockingProblem(report.problems)) {
        report.notUsed = true;
        pick.report = std::move(report);
        return pick;
    }
    slot.pack = std::move(pack);
    pick.pack = slot.pack.get();
    pick.fromFolder = true;
    if (!report.problems.empty()) pick.report = std::move(report);
    return pick;
}

std::u16string PackAlertText(int width, int height, const PackReport& report, bool logged) {
    std::u16string text = u"글자 팩 문제: " + Ascii16(std::to_string(width) + "x" + std::to_string(height));
    const PackProblem* blocking = FirstBlockingProblem(report.problems);
    if (!report.loadError.empty()) {
        text += u" 팩을 읽지 못해 기본 글자로 읽음";
    } else if (report.notUsed && blocking) {
        text += u" 팩 대신 기본 글자로 읽음: " + Ascii16(ProblemFile(blocking->templateIndex));
        if (report.problems.size() > 1)
            text += u" 외 " + Ascii16(std::to_string(report.problems.size() - 1)) + u"건";
    } else {
        text += u" 팩에 문제 " + Ascii16(std::to_string(report.problems.size())) + u"건";
    }
    if (logged) text += u" (로그 참고)";
    if (text.size() > size_t(kPopupTextMax)) text.resize(kPopupTextMax);
    return text;
}

std::vector<std::string> PackReportLines(const PackReport& report) {
    std::vector<std::string> lines;
    if (!report.loadError.empty())
        lines.push_back("pack-problem folder=" + report.folder +
                        " not loaded, the built-in pack reads instead: " + report.loadError);
    if (report.notUsed)
        lines.push_back("pack-problem folder=" + report.folder +
                        " not used, the built-in pack reads instead: a problem below can make a read wrong");
    for (const PackProblem& p : report.problems)
        lines.push_back("pack-problem folder=" + report.folder + " file=" + ProblemFile(p.templateIndex) +
                        (p.blocks ? " blocks the pack: " : " ") + p.text);
    return lines;
}
