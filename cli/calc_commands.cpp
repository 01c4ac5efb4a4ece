// tallywick-cli profile / compare / equip: the calculator on a settings file, optionally with an
// item read from a screen picture, as the program's hotkeys would use it.
#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "base/bmp.h"
#include "base/files.h"
#include "base/settings.h"
#include "base/status.h"
#include "calc/actions.h"
#include "calc/formulas.h"
#include "calc/profile_layout.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "cli/text_report.h"

const char kProfileUsage[] = "profile INI [--profile N]";
const char kCompareUsage[] = "compare INI IMAGE [--secondary] [--profile N] [--glyphs PACK] [--text]";
const char kEquipUsage[] = "equip INI IMAGE [--secondary] [--profile N] [--write] [--glyphs PACK] [--text]";

namespace {

enum class Task { Profile, Compare, Equip };

struct CalcArgs {
    std::string ini;
    std::string image;
    int profile = 0;  // 0: the file's "Active Profile"
    bool secondary = false;
    bool write = false;
    bool text = false;   // a report for people instead of the JSON object
    std::string glyphs;  // a glyph pack folder, or empty for the built-in pictures
};

// The arguments of profile, compare and equip.
void DefineCalcArguments(Arguments& a, Task task, CalcArgs& c) {
    a.Positional("INI", c.ini);
    if (task != Task::Profile) a.Positional("IMAGE", c.image);
    a.Option(
        "--profile",
        [&c](const std::string& v) {
            auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), c.profile);
            return ec == std::errc() && end == v.data() + v.size() && c.profile >= 1 &&
                   c.profile <= kProfileCount;
        },
        Arguments::Repeat::LastCounts, " (1 to 5)");
    if (task != Task::Profile) a.Flag("--secondary", c.secondary);
    if (task != Task::Profile)
        a.Option("--glyphs", [&c](const std::string& v) { return !(c.glyphs = v).empty(); });
    if (task == Task::Equip) a.Flag("--write", c.write);
    if (task != Task::Profile) a.Flag("--text", c.text);
}

bool ParseArgs(Task task, const std::vector<std::string>& args, CalcArgs& c, std::string& why) {
    Arguments a;
    DefineCalcArguments(a, task, c);
    if (!a.Parse(args, why)) return false;
    // The files are counted once every option is known to be good.
    const size_t wanted = task == Task::Profile ? 1 : 2;
    if (a.PositionalCount() != wanted)
        return why = task == Task::Profile ? "expected a settings file"
                                           : "expected a settings file and an image",
               false;
    return true;
}

std::vector<std::u16string> gAlerts;

void CollectAlert(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

// Loads the settings file and the requested profile, shows and recomputes it as the program does
// after loading a settings file.
bool LoadCalculator(const CalcArgs& a, std::string& why) {
    gSettings = Settings{};
    gSettings.settingsPath = a.ini;
    const IniFileStatus status = LoadSettings(&why);
    if (status == IniFileStatus::kMissing) why = "cannot open file";
    if (status != IniFileStatus::kLoaded) return false;
    if (a.profile != 0 && a.profile != gSettings.activeProfile) {
        gSettings.activeProfile = a.profile;
        LoadActiveProfile();
    }
    // The default profile stands in for a damaged line; the player hears of it before a write
    // replaces the line.
    if (StoredProfileWasUnreadable()) ShowAlert(kAlertProfileUnreadable);
    ShowProfile();
    Recalculate();
    return true;
}

// The item of the screen picture, read with the settings' tolerances and socket choices.
int ReadItemFromImage(const CalcArgs& a, int set, ItemRecord& item, nlohmann::ordered_json& record,
                      std::string& why, std::string& warnings) {
    PixelBuffer screen;
    if (!LoadImageFile(a.image, screen, why)) return why = a.image + ": " + why, kExitUsage;
    if (!EnsureGlyphs(why)) return why = "glyph set: " + why, kExitUsage;
    GlyphPack pack;
    if (!a.glyphs.empty() && !LoadPackOption(a.glyphs, pack, warnings, why)) return kExitUsage;
    ReadOptions o;
    if (!a.glyphs.empty()) o.pack = &pack;
    o.set = set;
    std::copy(std::begin(gSettings.socketOptions), std::end(gSettings.socketOptions), o.socketOptions);
    std::copy(std::begin(gSettings.errorLimit), std::end(gSettings.errorLimit), o.errorLimit);
    o.mainAttribute = gProfile.mainAttribute;
    return ReadScreenRecord(screen, o, record, &item);
}

// The slot the item goes to, without raising the slot alert a second time.
int SlotOf(const ItemRecord& item, int secondary) {
    PopupDelivery previous = SetPopupDelivery(nullptr);
    int slot = ChooseSlot(item.kind, secondary);
    SetPopupDelivery(previous);
    return slot;
}

// What equipping the item would change, as a compare of it tells before the equip; the program's
// results and messages are left as they were.
ChangeReport PreviewEquip(const ItemRecord& item, int secondary) {
    const CalcState saved = gCalc;
    PopupDelivery previous = SetPopupDelivery(nullptr);
    CompareItem(item, secondary, 0);
    SetPopupDelivery(previous);
    ChangeReport change;
    change.current = gCalc.current;
    change.modified = gCalc.modified;
    std::copy(std::begin(gCalc.equivalents), std::end(gCalc.equivalents), change.equivalents);
    gCalc = saved;
    return change;
}

// The --text report: the item, where it goes and what it changes, whether the file was written,
// and every alert (the read's first).
std::string TextReport(Task task, const CalcArgs& a, int code, const ItemRecord& item, int slot,
                       const ChangeReport& change, const nlohmann::ordered_json& itemRecord) {
    std::string text = ItemText(item);
    if (slot >= 0) {
        text += SlotText(slot, gSettings.activeProfile);
        text += ChangeText(change, task == Task::Equip ? u"장착 전 → 장착 후" : u"지금 → 비교");
    }
    if (task == Task::Equip)
        text += Utf8(code == kExitOk && a.write ? u"설정 파일에 저장했습니다."
                                                : u"설정 파일은 그대로입니다 (저장하려면 --write).") +
                "\n";
    std::vector<std::string> alerts;
    if (itemRecord.contains("alerts")) alerts = itemRecord["alerts"].get<std::vector<std::string>>();
    for (const std::u16string& alert : gAlerts) alerts.push_back(Utf8(alert));
    return text + AlertsText(alerts);
}

int Run(Task task, const std::vector<std::string>& args, std::string& out, std::string& err) {
    static const char* const kUsage[] = {kProfileUsage, kCompareUsage, kEquipUsage};
    CalcArgs a;
    std::string why;
    if (!ParseArgs(task, args, a, why)) {
        err = UsageComplaint(why, kUsage[int(task)]);
        return kExitUsage;
    }
    gAlerts.clear();
    PopupDelivery previous = SetPopupDelivery(CollectAlert);
    int code = kExitOk;
    nlohmann::ordered_json itemRecord;
    ItemRecord item = UnidentifiedItem();
    ChangeReport change;
    int slot = -1;
    // A writing equip holds the file's lock from reading the profile to storing it, so that
    // concurrent writers each build on the other's result.
    std::optional<IniFileLock> lock;
    if (a.write) lock.emplace(a.ini);
    if (lock && !lock->Held()) {
        why = a.ini + ": " + lock->Error();
        code = kExitUsage;
    } else if (!LoadCalculator(a, why)) {
        why = a.ini + ": " + why;
        code = kExitUsage;
    } else if (task != Task::Profile) {
        code = ReadItemFromImage(a, task == Task::Equip ? 1 : 0, item, itemRecord, why, err);
        if (code != kExitUsage) {
            slot = SlotOf(item, a.secondary);
            if (task == Task::Equip) {
                if (a.text && slot >= 0) change = PreviewEquip(item, a.secondary);
                change.current = gCalc.current;
                EquipItem(item, a.secondary);
                change.modified = gCalc.current;
            } else {
                CompareItem(item, a.secondary, 0);
                change.current = gCalc.current;
                change.modified = gCalc.modified;
                std::copy(std::begin(gCalc.equivalents), std::end(gCalc.equivalents), change.equivalents);
            }
            if (slot < 0) code = kExitNotRead;
        }
        std::string reason;
        if (code == kExitOk && a.write && !SaveActiveProfile(&reason)) {
            why = a.ini + ": the profile could not be written: " + reason;
            code = kExitUsage;
        }
    }
    SetPopupDelivery(previous);
    if (code == kExitUsage) {
        err = "tallywick-cli: ";
        err += why;
        err += '\n';
        return code;
    }

    if (a.text) {
        out = TextReport(task, a, code, item, slot, change, itemRecord);
        return code;
    }
    nlohmann::ordered_json report;
    report["profile"] = gSettings.activeProfile;
    report["weapon_dps"] = FloatArray(gCalc.weaponDps, 2);
    report["summary"] = FloatArray(gCalc.current.v, kSummaryCount);
    if (task != Task::Profile) {
        report["item"] = std::move(itemRecord);
        report["slot"] = slot;
    }
    if (task == Task::Compare) {
        report["modified"] = FloatArray(gCalc.modified.v, kSummaryCount);
        report["adjustments"] = FloatArray(gCalc.adjustments, kAdjustmentCount);
        report["value_equivalents"] = FloatArray(gCalc.equivalents, kEquivalentCount);
    }
    report["alerts"] = nlohmann::ordered_json::array();
    for (const std::u16string& alert : gAlerts) report["alerts"].push_back(Utf8(alert));
    out = JsonText(report) + "\n";
    return code;
}

}  // namespace

int RunProfile(const std::vector<std::string>& args, std::string& out, std::string& err) {
    return Run(Task::Profile, args, out, err);
}
int RunCompare(const std::vector<std::string>& args, std::string& out, std::string& err) {
    return Run(Task::Compare, args, out, err);
}
int RunEquip(const std::vector<std::string>& args, std::string& out, std::string& err) {
    return Run(Task::Equip, args, out, err);
}
