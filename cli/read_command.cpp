// tallywick-cli read: locate the tooltip in a screen picture, parse it, print the Item Record.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>

#include "base/catalogue.h"
#include "base/files.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/explain.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "cli/text_report.h"
#include "reader/glyphs.h"
#include "reader/locator.h"
#include "reader/pack_check.h"
#include "reader/pack_learn.h"
#include "reader/parser.h"
#include "reader/screen_check.h"

const char kReadUsage[] =
    "read IMAGE [--set equip|compare] [--socket-options E_WEAPON,E_HELM,E_OTHER,C_WEAPON,C_HELM,C_OTHER] "
    "[--error-limit KIND,OPTION,VALUE] [--main-attribute 5|6|7] [--glyphs PACK] [--explain OUT.png] [--text]";

namespace {

// Comma-separated integers, exactly `count` of them, each within [lo, hi].
bool ParseList(const std::string& text, int32_t* values, int count, int32_t lo, int32_t hi) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < count; ++i) {
        auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || values[i] < lo || values[i] > hi) return false;
        p = next;
        if (i + 1 < count) {
            if (p == end || *p != ',') return false;
            ++p;
        }
    }
    return p == end;
}

struct ReadArgs {
    std::string image;
    ReadOptions options;
    std::string glyphs, explain;
    bool text = false;
};

// The arguments of `read`.
void DefineReadArguments(Arguments& a, ReadArgs& r) {
    ReadOptions& o = r.options;
    a.Positional("IMAGE", r.image).RefuseExtraPositionals("more than one image given");
    a.Option("--set", [&o](const std::string& v) {
        o.set = v == "equip" ? 1 : 0;
        return v == "equip" || v == "compare";
    });
    a.Option("--socket-options",
             [&o](const std::string& v) { return ParseList(v, o.socketOptions, 6, 0, 3); });
    a.Option("--error-limit", [&o](const std::string& v) { return ParseList(v, o.errorLimit, 3, 0, 1000); });
    a.Option("--main-attribute",
             [&o](const std::string& v) { return ParseList(v, &o.mainAttribute, 1, 5, 7); });
    a.Option("--glyphs", [&r](const std::string& v) { return !(r.glyphs = v).empty(); });
    a.Option("--explain", [&r](const std::string& v) { return !(r.explain = v).empty(); });
    a.Flag("--text", r.text);
}

bool ParseReadArgs(const std::vector<std::string>& args, ReadArgs& r, std::string& why) {
    Arguments a;
    DefineReadArguments(a, r);
    if (!a.Parse(args, why)) return false;
    if (r.image.empty()) return why = "no image given", false;
    return true;
}

// The --explain picture goes to a new name or replaces a regular file, never the picture read.
bool CheckExplainPath(const ReadArgs& r, std::string& why) {
    std::error_code ec;
    if (std::filesystem::equivalent(PathFromUtf8(r.explain), PathFromUtf8(r.image), ec) && !ec)
        return why = "is the picture being read; give --explain another name", false;
    return CheckWritablePath(r.explain, why);
}

std::vector<std::u16string> gAlerts;

void CollectAlert(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

}  // namespace

bool EnsureGlyphs(std::string& error) {
    static std::once_flag once;
    static bool loaded = false;
    static std::string why;
    std::call_once(once, [] { loaded = LoadGlyphTemplates(why); });
    error = why;
    return loaded;
}

int RunRead(const std::vector<std::string>& args, std::string& out, std::string& err) {
    ReadArgs r;
    std::string why;
    if (!ParseReadArgs(args, r, why)) {
        err = UsageComplaint(why, kReadUsage);
        return kExitUsage;
    }
    if (!r.explain.empty() && !CheckExplainPath(r, why)) {
        err = "tallywick-cli: " + r.explain + ": " + why + "\n";
        return kExitUsage;
    }
    PixelBuffer screen;
    if (!LoadImageFile(r.image, screen, why)) {
        err = "tallywick-cli: " + r.image + ": " + why + "\n";
        return kExitUsage;
    }
    if (!EnsureGlyphs(why)) {
        err = "tallywick-cli: glyph set: " + why + "\n";
        return kExitUsage;
    }
    GlyphPack pack;
    if (!r.glyphs.empty()) {
        if (!LoadPackOption(r.glyphs, pack, err, why))
            return err += "tallywick-cli: " + why + "\n", kExitUsage;
        r.options.pack = &pack;
    }
    if (r.explain.empty() && !r.text) return ReadScreen(screen, r.options, out);
    ReadTrace trace;
    nlohmann::ordered_json record;
    ItemRecord item;
    const int code = ReadScreenRecord(screen, r.options, record, &item, r.explain.empty() ? nullptr : &trace);
    out = r.text ? ItemText(item) + AlertsText(record["alerts"].get<std::vector<std::string>>())
                 : JsonText(record) + "\n";
    if (r.explain.empty()) return code;
    if (!trace.found) return code;
    PixelBuffer picture =
        ExplainPicture(screen, trace.rect, trace.parse, r.options.pack ? *r.options.pack : BuiltInPack());
    screen = PixelBuffer();  // let go before the PNG's own copies are made
    if (!WriteFileBytes(r.explain, EncodePng(std::move(picture)), why)) {
        err += "tallywick-cli: " + r.explain + ": " + why + "\n";
        return kExitUsage;
    }
    return code;
}

bool LoadPackOption(const std::string& folder, GlyphPack& pack, std::string& warnings, std::string& error) {
    PackContents contents;
    if (!LoadGlyphPack(folder, pack, error, &contents)) return error = "glyph pack: " + error, false;
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    // A pack that would read wrong or for ever is told and set aside, and the read goes on.
    const PackProblem* blocking = FirstBlockingProblem(problems);
    if (blocking) {
        warnings += "tallywick-cli: glyph pack " + folder +
                    " is not used, the built-in pictures read instead: " + blocking->text + "\n";
        pack = BuiltInPack();
    }
    for (const PackProblem& problem : problems)
        if (&problem != blocking)
            warnings += "tallywick-cli: glyph pack " + folder + ": " + problem.text + "\n";
    return true;
}

namespace {

// What matched where, as data: the marks, the nearest caption of each line that matched nothing.
nlohmann::ordered_json ExplainRecord(const ParseTrace& trace, const GlyphPack& pack) {
    nlohmann::ordered_json explain = nlohmann::ordered_json::object(),
                           marks = nlohmann::ordered_json::array(), misses = nlohmann::ordered_json::array();
    for (const ParseMark& m : trace.marks) {
        const PixelBuffer& t = pack.Template(m.templateIndex);
        marks.push_back({{"kind", MarkKind(m.templateIndex)},
                         {"picture", PictureName(m.templateIndex)},
                         {"x", m.x},
                         {"y", m.y},
                         {"width", t.width},
                         {"height", t.height}});
    }
    for (const ParseMiss& miss : trace.misses) {
        nlohmann::ordered_json entry = {{"line", miss.bullet}};
        if (miss.templateIndex < 0) {
            entry["nearest"] = nullptr;
        } else {
            entry["nearest"] = PictureName(miss.templateIndex);
            entry["x"] = miss.x, entry["y"] = miss.y, entry["mismatches"] = miss.mismatches;
        }
        misses.push_back(entry);
    }
    explain["marks"] = marks;
    explain["misses"] = misses;
    explain["kind_mismatches"] =
        trace.kindMismatches >= 0 ? nlohmann::ordered_json(trace.kindMismatches) : nullptr;
    return explain;
}

}  // namespace

int ReadScreenRecord(const PixelBuffer& screen, const ReadOptions& o, nlohmann::ordered_json& record,
                     ItemRecord* itemOut, ReadTrace* trace) {
    std::copy(std::begin(o.socketOptions), std::end(o.socketOptions), gSettings.socketOptions);
    std::copy(std::begin(o.errorLimit), std::end(o.errorLimit), gSettings.errorLimit);
    gProfile.mainAttribute = o.mainAttribute;

    gAlerts.clear();
    PopupDelivery previous = SetPopupDelivery(CollectAlert);
    const GlyphPack& pack = o.pack ? *o.pack : BuiltInPack();
    PixelBuffer tooltip;
    TooltipRect rect;
    // A picture that is black all over is a capture the system withheld, not a screen without a tooltip.
    const bool black = IsAllBlack(screen);
    if (black) ShowAlert(kAlertBlackCapture);
    const bool found = !black && LocateTooltip(screen, tooltip, nullptr, &rect);
    const ItemRecord item =
        found ? ParseItem(&tooltip, o.set, pack, trace ? &trace->parse : nullptr) : UnidentifiedItem();
    SetPopupDelivery(previous);
    if (trace) trace->found = found, trace->rect = rect;

    record = nlohmann::ordered_json::object();
    if (found)
        record["tooltip"] = {{"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}};
    else
        record["tooltip"] = nullptr;
    record["kind"] = item.kind;
    const char16_t* name = KindName(item.kind);
    record["kind_name"] = name ? nlohmann::ordered_json(Utf8(name)) : nlohmann::ordered_json(nullptr);
    record["stats"] = FloatArray(item.stats, kStatCount);
    record["alerts"] = nlohmann::ordered_json::array();
    for (const std::u16string& alert : gAlerts) record["alerts"].push_back(Utf8(alert));
    if (trace) record["explain"] = ExplainRecord(trace->parse, pack);
    if (itemOut) *itemOut = item;
    return item.kind >= 0 ? kExitOk : kExitNotRead;
}

int ReadScreen(const PixelBuffer& screen, const ReadOptions& o, std::string& out, ItemRecord* itemOut) {
    nlohmann::ordered_json record;
    const int code = ReadScreenRecord(screen, o, record, itemOut);
    out = JsonText(record) + "\n";
    return code;
}
