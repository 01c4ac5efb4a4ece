// tallywick-cli glyphs: making and checking glyph packs for a player's own screen.
//   glyphs check PACK
//   glyphs learn PACK IMAGE --kind KIND [--weapon APS,MIN~MAX] [--empty-sockets N] --line ROW=TEXT ...
//   glyphs cut PACK IMAGE ID X Y W H
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "base/bmp.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "reader/pack_check.h"
#include "reader/pack_learn.h"
#include "reader/pack_missing.h"
#include "reader/pack_teach.h"

const char kGlyphsUsage[] = "glyphs check|learn|cut ...";
const char kGlyphsCheckUsage[] = "glyphs check PACK";
const char kGlyphsLearnUsage[] =
    "glyphs learn PACK IMAGE --kind KIND [--weapon APS,MIN~MAX] [--empty-sockets N] --line ROW=TEXT ...";
const char kGlyphsCutUsage[] = "glyphs cut PACK IMAGE ID X Y W H";

namespace {

bool ParseInt(const std::string& text, int& value, int lo, int hi) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= lo && value <= hi;
}

// A kind by number (0..12) or by its name ("반지").
bool ParseKind(const std::string& text, int& kind) {
    if (ParseInt(text, kind, 0, kKindCount - 1)) return true;
    for (int k = 0; k < kKindCount; ++k)
        if (text == Utf8(kItemKinds[k].name)) return kind = k, true;
    return false;
}

// A descriptor row by number (0..39) or name ("지능"); "-" for a line no row knows.
bool ParseRow(const std::string& text, int& row) {
    if (text == "-") return row = -1, true;
    if (ParseInt(text, row, 0, kDescriptorCount - 1)) return true;
    for (int r = 0; r < kDescriptorCount; ++r)
        if (text == Utf8(kStatDescriptors[r].name)) return row = r, true;
    return false;
}

bool FolderExists(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(PathFromUtf8(folder), ec);
}

// The pack as it stands: its folder over the built-in pictures, or the built-in pictures alone
// and nothing of its own when the folder does not exist yet.
bool OpenPack(const std::string& folder, bool mayBeNew, GlyphPack& pack, PackContents& contents,
              std::string& err) {
    std::string why;
    if (!EnsureGlyphs(why)) return err = "tallywick-cli: glyph set: " + why + "\n", false;
    if (mayBeNew && !FolderExists(folder)) {
        pack = BuiltInPack();
        contents = PackContents();
        return true;
    }
    if (!LoadGlyphPack(folder, pack, why, &contents))
        return err = "tallywick-cli: glyph pack: " + why + "\n", false;
    return true;
}

void ListLines(std::string& out, const char* title, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    out += std::string(title) + ":\n";
    for (const std::string& line : lines) out += "  " + line + "\n";
}

int RunCheck(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::string folder, why;
    Arguments a;
    a.Positional("PACK", folder).RefuseExtraPositionals("more than one pack given");
    if (!a.Parse(args, why) || (folder.empty() && !(why = "no pack given").empty()))
        return err = UsageComplaint(why, kGlyphsCheckUsage), kExitUsage;
    GlyphPack pack;
    PackContents contents;
    if (!OpenPack(folder, false, pack, contents, err)) return kExitUsage;
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    out += folder + ": " + std::to_string(contents.Pictures()) + " pictures of its own\n";
    std::vector<std::string> texts;
    for (const PackProblem& p : problems)
        texts.push_back(p.blocks ? p.text + " [the pack is not used]" : p.text);
    ListLines(out, "problems", texts);
    ListLines(out, "missing (read with the built-in pictures)", MissingLines(MissingFromPack(contents)));
    if (problems.empty()) out += "no problems\n";
    return problems.empty() ? kExitOk : kExitNotRead;
}

struct LearnArgs {
    std::string folder, image;
    LearnTooltip what;
    bool kindGiven = false;
};

void DefineLearnArguments(Arguments& a, LearnArgs& l) {
    a.Positional("PACK", l.folder)
        .Positional("IMAGE", l.image)
        .RefuseExtraPositionals("more than one image given");
    a.Option(
        "--kind", [&l](const std::string& v) { return l.kindGiven = ParseKind(v, l.what.kind); }, {},
        " (0 to 12 or a kind's name)");
    a.Option("--empty-sockets",
             [&l](const std::string& v) { return ParseInt(v, l.what.emptySockets, 0, 20); });
    a.Option(
        "--weapon",
        [&l](const std::string& v) {
            const size_t comma = v.find(','), tilde = v.find('~');
            if (comma == std::string::npos || tilde == std::string::npos || tilde < comma) return false;
            l.what.weapon = true;
            l.what.attacksPerSecond = v.substr(0, comma);
            l.what.minDamage = v.substr(comma + 1, tilde - comma - 1);
            l.what.maxDamage = v.substr(tilde + 1);
            return true;
        },
        {}, " (APS,MIN~MAX, e.g. 1.10,1187~1463)");
    a.Option(
        "--line",
        [&l](const std::string& v) {
            const size_t eq = v.find('=');
            LearnLine line;
            if (eq == std::string::npos || !ParseRow(v.substr(0, eq), line.row)) return false;
            line.text = v.substr(eq + 1);
            l.what.lines.push_back(line);
            return !line.text.empty();
        },
        Arguments::Repeat::LastCounts, " (ROW=TEXT, e.g. 지능=120 or 12=7~9)");
}

int RunLearn(const std::vector<std::string>& args, std::string& out, std::string& err) {
    LearnArgs l;
    std::string why;
    Arguments a;
    DefineLearnArguments(a, l);
    if (!a.Parse(args, why)) return err = UsageComplaint(why, kGlyphsLearnUsage), kExitUsage;
    if (l.image.empty())
        return err = UsageComplaint("no pack and image given", kGlyphsLearnUsage), kExitUsage;
    if (!l.kindGiven) return err = UsageComplaint("--kind is needed", kGlyphsLearnUsage), kExitUsage;
    GlyphPack pack;
    PackContents contents;
    if (!OpenPack(l.folder, true, pack, contents, err)) return kExitUsage;
    PixelBuffer image;
    if (!LoadImageFile(l.image, image, why))
        return err = "tallywick-cli: " + l.image + ": " + why + "\n", kExitUsage;
    TeachOutcome outcome;
    LearnMessage error;
    if (!TeachPackFolder(l.folder, image, l.what, outcome, error)) {
        if (outcome.folderFailed)
            return err = "tallywick-cli: glyph pack: " + MessageText(error) + "\n", kExitUsage;
        err = "tallywick-cli: " + l.image + ": " + MessageText(error) + "\n";
        return kExitNotRead;
    }
    const LearnReport& report = outcome.report;
    const bool whole = report.pending.empty();
    ListLines(out, "learned", MessageTexts(report.learned));
    ListLines(out, "disagrees with the pack (kept the pack's)", MessageTexts(report.disagreements));
    ListLines(out, "not learned", MessageTexts(report.notes));
    ListLines(out, "reading it back falls short", MessageTexts(report.readBack));
    if (report.readBack.empty()) out += "reads back exactly\n";
    if (!outcome.fits) out += "nothing written: the tooltip does not read back as described\n";
    ListLines(out, "learned from tooltips kept earlier", outcome.settled);
    std::vector<std::string> pending;
    for (const PendingTooltip& p : outcome.pending) pending.push_back(PendingText(p));
    ListLines(out, "kept until later tooltips settle the digit grid", pending);
    ListLines(out, "the pack still lacks", MissingLines(outcome.missing));
    // A tooltip kept for later is no failure: the player goes on with the next one.
    return outcome.fits && report.disagreements.empty() && (!whole || report.readBack.empty()) ? kExitOk
                                                                                               : kExitNotRead;
}

int RunCut(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::string folder, image, id, x, y, w, h, why;
    Arguments a;
    a.Positional("PACK", folder).Positional("IMAGE", image).Positional("ID", id).Positional("X", x);
    a.Positional("Y", y).Positional("W", w).Positional("H", h).RefuseExtraPositionals("too many arguments");
    if (!a.Parse(args, why)) return err = UsageComplaint(why, kGlyphsCutUsage), kExitUsage;
    int resourceId = 0, rx = 0, ry = 0, rw = 0, rh = 0;
    int index = -1;
    if (ParseInt(id, resourceId, 1, 1000))
        for (int i = 0; i < kGlyphCount; ++i)
            if (kGlyphInfo[i].resourceId == resourceId) index = i;
    if (index < 0)
        return err =
                   UsageComplaint("'" + id + "' is not the id of a picture the reader uses", kGlyphsCutUsage),
               kExitUsage;
    if (!ParseInt(x, rx, 0, kMaxImageSide) || !ParseInt(y, ry, 0, kMaxImageSide) ||
        !ParseInt(w, rw, 1, kMaxPackPictureSide) || !ParseInt(h, rh, 1, kMaxPackPictureSide))
        return err = UsageComplaint("bad rectangle", kGlyphsCutUsage), kExitUsage;
    PixelBuffer picture;
    if (!LoadImageFile(image, picture, why))
        return err = "tallywick-cli: " + image + ": " + why + "\n", kExitUsage;
    if (rx + rw > picture.width || ry + rh > picture.height)
        return err = "tallywick-cli: the rectangle reaches outside the " + std::to_string(picture.width) +
                     " x " + std::to_string(picture.height) + " picture\n",
               kExitUsage;
    GlyphPack pack;
    PackContents contents;
    if (!OpenPack(folder, true, pack, contents, err)) return kExitUsage;
    pack.templates[index] = CropPixels(picture, rx, ry, rw, rh);
    if (std::all_of(pack.templates[index].pixels.begin(), pack.templates[index].pixels.end(),
                    [](uint32_t p) { return p == 0; }))
        return err = "tallywick-cli: the rectangle holds no ink: a blank picture would match anywhere\n",
               kExitUsage;
    PackContents only;
    only.picture[index] = true;
    if (!SaveGlyphPack(folder, pack, only, why))
        return err = "tallywick-cli: glyph pack: " + why + "\n", kExitUsage;
    out += "wrote " + PictureName(index) + ", " + std::to_string(rw) + " x " + std::to_string(rh) + "\n";
    return kExitOk;
}

}  // namespace

int RunGlyphs(const std::vector<std::string>& args, std::string& out, std::string& err) {
    static const std::vector<Subcommand> kGlyphCommands = {
        {"check", RunCheck, kGlyphsCheckUsage},
        {"learn", RunLearn, kGlyphsLearnUsage},
        {"cut", RunCut, kGlyphsCutUsage},
    };
    return RunSubcommand(kGlyphCommands, args, out, err);
}
