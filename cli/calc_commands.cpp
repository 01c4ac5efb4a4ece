// tallywick-cli profile / compare / equip: the calculator on a settings file, optionally with an
// item read from a screen picture, as the program's hotkeys would use it.
#include <charconv>
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
#include "cli/commands.h"
#include "cli/image_file.h"
#include "cli/json.h"

const char kProfileUsage[] = "profile INI [--profile N]";
const char kCompareUsage[] = "compare INI IMAGE [--secondary] [--profile N]";
const char kEquipUsage[] = "equip INI IMAGE [--secondary] [--profile N] [--write]";

namespace {

enum class Task { Profile, Compare, Equip };

struct CalcArgs {
    std::string ini;
    std::string image;
    int profile = 0;  // 0: the file's "Active Profile"
    int secondary = 0;
    bool write = false;
};

bool ParseArgs(Task task, const std::vector<std::string>& args, CalcArgs& a, std::string& why) {
    std::vector<const std::string*> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--secondary" && task != Task::Profile) {
            a.secondary = 1;
        } else if (arg == "--write" && task == Task::Equip) {
            a.write = true;
        } else if (arg == "--profile") {
            if (i + 1 >= args.size()) return why = "--profile needs a value", false;
            const std::string& v = args[++i];
            auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), a.profile);
            if (ec != std::errc() || end != v.data() + v.size() || a.profile < 1 || a.profile > kProfileCount)
                return why = "bad value for --profile: " + v + " (1 to 5)", false;
        } else if (arg.rfind("--", 0) == 0) {
            return why = "unknown option " + arg, false;
        } else {
            positional.push_back(&arg);
        }
    }
    size_t wanted = task == Task::Profile ? 1 : 2;
    if (positional.size() != wanted)
        return why = task == Task::Profile ? "expected a settings file"
                                           : "expected a settings file and an image",
               false;
    a.ini = *positional[0];
    if (wanted == 2) a.image = *positional[1];
    return true;
}

std::vector<std::u16string> gAlerts;

void CollectAlert(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

std::string JsonFloats(const float* v, int n) {
    std::string s = "[";
    for (int i = 0; i < n; ++i) {
        if (i) s += ',';
        s += JsonFloat(v[i]);
    }
    s += ']';
    return s;
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
int ReadItemFromImage(const CalcArgs& a, int set, ItemRecord& item, std::string& itemJson, std::string& why) {
    PixelBuffer screen;
    if (!LoadImageFile(a.image, screen, why)) return why = a.image + ": " + why, kExitUsage;
    if (!EnsureGlyphs(why)) return why = "glyph set: " + why, kExitUsage;
    ReadOptions o;
    o.set = set;
    std::copy(std::begin(gSettings.socketOptions), std::end(gSettings.socketOptions), o.socketOptions);
    std::copy(std::begin(gSettings.errorLimit), std::end(gSettings.errorLimit), o.errorLimit);
    o.mainAttribute = gProfile.mainAttribute;
    int code = ReadScreen(screen, o, itemJson, &item);
    while (!itemJson.empty() && itemJson.back() == '\n') itemJson.pop_back();
    return code;
}

// The slot the item goes to, without raising the slot alert a second time.
int SlotOf(const ItemRecord& item, int secondary) {
    PopupDelivery previous = SetPopupDelivery(nullptr);
    int slot = ChooseSlot(item.kind, secondary);
    SetPopupDelivery(previous);
    return slot;
}

int Run(Task task, const std::vector<std::string>& args, std::string& out, std::string& err) {
    static const char* const kUsage[] = {kProfileUsage, kCompareUsage, kEquipUsage};
    CalcArgs a;
    std::string why;
    if (!ParseArgs(task, args, a, why)) {
        err = "tallywick-cli: " + why + "\nusage: tallywick-cli " + kUsage[int(task)] + "\n";
        return kExitUsage;
    }
    gAlerts.clear();
    PopupDelivery previous = SetPopupDelivery(CollectAlert);
    int code = kExitOk;
    std::string itemJson;
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
        ItemRecord item;
        code = ReadItemFromImage(a, task == Task::Equip ? 1 : 0, item, itemJson, why);
        if (code != kExitUsage) {
            slot = SlotOf(item, a.secondary);
            if (task == Task::Equip)
                EquipItem(item, a.secondary);
            else
                CompareItem(item, a.secondary, 0);
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

    out = "{\"profile\":";
    out += std::to_string(gSettings.activeProfile);
    out += ",\"weapon_dps\":" + JsonFloats(gCalc.weaponDps, 2);
    out += ",\"summary\":" + JsonFloats(gCalc.current.v, kSummaryCount);
    if (task != Task::Profile) {
        out += ",\"item\":";
        out += itemJson;
        out += ",\"slot\":";
        out += std::to_string(slot);
    }
    if (task == Task::Compare) {
        out += ",\"modified\":" + JsonFloats(gCalc.modified.v, kSummaryCount);
        out += ",\"adjustments\":" + JsonFloats(gCalc.adjustments, kAdjustmentCount);
        out += ",\"value_equivalents\":" + JsonFloats(gCalc.equivalents, kEquivalentCount);
    }
    out += ",\"alerts\":[";
    for (size_t i = 0; i < gAlerts.size(); ++i) {
        if (i) out += ',';
        out += JsonString(gAlerts[i]);
    }
    out += "]}\n";
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
