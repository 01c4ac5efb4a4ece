// Reading and writing the settings file: which keys, in which order, with which defaults, and how a
// save leaves what another writer (the command-line tool, a second copy) changed meanwhile.
#include "app/settings_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/ini.h"
#include "base/files.h"
#include "base/profile.h"
#include "base/settings.h"
#include "calc/profile_layout.h"

// Structs are stored as their bytes in memory order, which the file defines as little-endian.
static_assert(std::endian::native == std::endian::little, "the settings file stores little-endian structs");

namespace {

constexpr char kFileName[] = "Tallywick.ini";
constexpr char kOptions[] = "Options";
constexpr char kHotKey[] = "HotKey";
constexpr char kFilePath[] = "File Path";
constexpr char kProfiles[] = "Profiles";
constexpr char kCannotStore[] = "a value cannot be stored in the settings file";

bool gProfileUnreadable = false;
std::string gBesideFile;  // the file beside the executable, once start-up has read it
SaveNotes gNotes;

// The options as the file at `path` held them when the program last read or wrote it: a save
// writes the keys whose in-memory value differs, and leaves the others to whoever changed them.
struct OptionsBase {
    bool known = false;
    std::string path;
    Settings values;
};
OptionsBase gOptionsBase;

// The same for the active profile: as read, and after the weapon layout that every display runs,
// so that merely showing a profile does not count as changing it.
struct ProfileBase {
    bool known = false;
    std::string path;
    int32_t number = 0;
    std::optional<std::string> line;  // the stored value; none when the key was absent
    EquipmentProfile profile, laidOut;
};
ProfileBase gProfileBase;

std::string ActiveProfileKey() {
    return std::to_string(gSettings.activeProfile);
}

bool SameProfile(const EquipmentProfile& a, const EquipmentProfile& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string FolderFile(const std::string& folder) {
    char separator = '\\';
#ifndef _WIN32
    if (folder.find('\\') == std::string::npos) separator = '/';
#endif
    return folder + separator + kFileName;
}

void ReadActiveProfile(const IniText& ini) {
    EquipmentProfile profile;
    std::string line;
    const bool present = IniReadRaw(ini, kProfiles, ActiveProfileKey(), &line);
    gProfileUnreadable = false;
    if (!IniReadStruct(ini, kProfiles, ActiveProfileKey(), &profile, sizeof profile)) {
        gProfileUnreadable = present;
        profile = DefaultProfile();
    }
    gProfile = profile;
    ProfileBase& base = gProfileBase;
    base = {true, gSettings.settingsPath, gSettings.activeProfile, std::nullopt, profile, profile};
    if (present) base.line = line;
    ApplyWeaponLayout(base.laidOut, base.laidOut.weaponStyle, 1);
}

// A folder too long for the system's paths is refused rather than cut: a cut one names another
// folder, and would be written back cut over the player's own text.
std::string ReadFolder(const IniText& ini, const char* key) {
    std::string folder;
    bool cut = false;
    if (!IniReadString(ini, kFilePath, key, &folder, &cut) || cut) return std::string();
    return folder;
}

// A slot that names the hotkey field of an earlier slot counts as missing: two slots on one field
// would rewrite each other in the settings dialog.
void ReadHotkeys(const IniText& ini, Settings& s) {
    for (int i = 0; i < kHotkeyCount; ++i) {
        HotkeySlot slot;
        if (!IniReadStruct(ini, kHotKey, std::to_string(i), &slot, sizeof slot)) continue;
        bool taken = false;
        for (int j = 0; j < i; ++j) taken = taken || s.hotkeys[j].controlId == slot.controlId;
        if (!taken) s.hotkeys[i] = slot;
    }
}

// Writes a key when the program changed it since the file was last read or written (every key
// when there is no such record for this file), or when the file lacks it or cannot read it.
struct OptionWriter {
    IniText* ini;
    const Settings* base;
    bool ok = true;
    bool wrote = false;

    void Put(bool needed, bool stored) {
        wrote = wrote || needed;
        ok = ok && stored;
    }
    void Int(const char* section, const char* key, int32_t mine, int32_t Settings::*field) {
        std::string stored;
        const bool needed = !base || base->*field != mine || !IniReadRaw(*ini, section, key, &stored);
        if (ok && needed) Put(true, IniWriteInt(ini, section, key, mine));
    }
    void Struct(const char* section, const std::string& key, const void* mine, const void* old, size_t size) {
        std::string readable(size, '\0');
        const bool needed = !base || std::memcmp(mine, old, size) != 0 ||
                            !IniReadStruct(*ini, section, key, readable.data(), size);
        if (ok && needed) Put(true, IniWriteStruct(ini, section, key, mine, size));
    }
    void String(const char* section, const char* key, const std::string& mine, std::string Settings::*field) {
        std::string stored;
        const bool needed = !base || base->*field != mine || !IniReadRaw(*ini, section, key, &stored);
        if (ok && needed) Put(true, IniWriteString(ini, section, key, mine));
    }
};

// Whether the active profile goes into `ini` (the file as it is now), and the copies kept first.
struct ProfilePlan {
    bool write = false;
    std::string line;  // the value written
    std::string conflictCopy, damagedCopy;
};

bool PlanProfileWrite(const IniText& ini, ProfilePlan* plan, std::string* why) {
    const std::string key = ActiveProfileKey();
    std::string line;
    const bool present = IniReadRaw(ini, kProfiles, key, &line);
    EquipmentProfile stored;
    const bool readable = IniReadStruct(ini, kProfiles, key, &stored, sizeof stored);
    const ProfileBase& base = gProfileBase;
    const bool baseHolds =
        base.known && base.path == gSettings.settingsPath && base.number == gSettings.activeProfile;
    const bool changed =
        !baseHolds || !(SameProfile(gProfile, base.profile) || SameProfile(gProfile, base.laidOut));
    plan->write = changed || !readable;
    if (!plan->write) return true;
    bool created = false;
    if (present && !readable) {
        const std::string copy =
            KeepFileCopy(gSettings.settingsPath, "damaged", IniFileBytes(ini), &created, why);
        if (copy.empty()) return false;
        if (created) plan->damagedCopy = copy;
    } else if (changed && baseHolds && readable && base.line != line && !SameProfile(stored, gProfile)) {
        // Both changed this profile: the program's save wins, the other version is kept whole.
        plan->conflictCopy =
            KeepFileCopy(gSettings.settingsPath, "conflict", IniFileBytes(ini), &created, why);
        if (plan->conflictCopy.empty()) return false;
    }
    return true;
}

bool WriteActiveProfile(IniText* ini, ProfilePlan* plan) {
    return IniWriteStruct(ini, kProfiles, ActiveProfileKey(), &gProfile, sizeof gProfile) &&
           IniReadRaw(*ini, kProfiles, ActiveProfileKey(), &plan->line);
}

void CommitProfile(const ProfilePlan& plan) {
    gNotes.profile = gSettings.activeProfile;
    gNotes.conflictCopy = plan.conflictCopy;
    gNotes.damagedCopy = plan.damagedCopy;
    if (plan.write)
        gProfileBase = {true, gSettings.settingsPath, gSettings.activeProfile, plan.line, gProfile, gProfile};
}

// Applies `write` to the file's current text and replaces the file with the result, all under
// the file's lock, so that concurrent writers' updates all reach the file. A file that exists but
// cannot be read is never replaced: that would lose the profiles it holds. Nothing is replaced
// when `write` changed nothing.
template <typename Write>
bool UpdateFile(const std::string& path, Write write, std::string* why) {
    auto fail = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (path.empty()) return fail("no settings file");
    IniFileLock lock(path);
    if (!lock.Held()) return fail(lock.Error());
    IniText ini;
    std::string reason;
    if (LoadIniFile(path, &ini, &reason) == IniFileStatus::kUnreadable) return fail(reason);
    bool wrote = false;
    if (!write(&ini, &wrote, &reason)) return fail(reason);
    return !wrote || SaveIniFile(path, ini, why);
}

// After a save into the settings folder's file, the file beside the executable names that folder
// (its one key changed), so that the next start finds the settings there.
void TellBesideFile(const Settings& mine) {
    if (gBesideFile.empty() || mine.iniFolder.empty() || mine.settingsPath != FolderFile(mine.iniFolder) ||
        ResolveLinks(mine.settingsPath) == ResolveLinks(gBesideFile))
        return;
    const bool told = UpdateFile(
        gBesideFile,
        [&](IniText* ini, bool* wrote, std::string* why) {
            std::string named;
            if (IniReadString(*ini, kFilePath, "INI", &named) && named == mine.iniFolder) return true;
            *wrote = true;
            return IniWriteString(ini, kFilePath, "INI", mine.iniFolder) || (*why = kCannotStore, false);
        },
        &gNotes.besideError);
    if (!told) gNotes.besideFile = gBesideFile;
}

}  // namespace

void ComputeSettingsPath(const std::string& executablePath) {
    const std::string& folder = gSettings.iniFolder;
    if (!folder.empty()) {
        gSettings.settingsPath = FolderFile(folder);
        return;
    }
    size_t cut = executablePath.rfind('\\');
#ifndef _WIN32
    if (cut == std::string::npos) cut = executablePath.rfind('/');
#endif
    gSettings.settingsPath =
        (cut == std::string::npos ? std::string() : executablePath.substr(0, cut + 1)) + kFileName;
}

StartupRead LoadSettingsAtStart(const std::string& executablePath) {
    StartupRead read;
    gSettings.iniFolder.clear();
    ComputeSettingsPath(executablePath);
    gBesideFile = gSettings.settingsPath;
    read.status = LoadSettings(&read.why);
    const std::string folder = gSettings.iniFolder;
    if (folder.empty()) return read;
    const std::string file = FolderFile(folder);
    if (ResolveLinks(file) == ResolveLinks(gBesideFile)) return read;
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(file), ec)) {
        read.missingFolderFile = file;
        return read;
    }
    gSettings.settingsPath = file;
    read.why.clear();
    read.status = LoadSettings(&read.why);
    // The folder in use, whatever its own file says: the settings dialog shows it, and closing the
    // dialog keeps this file.
    gSettings.iniFolder = folder;
    return read;
}

IniFileStatus LoadSettings(std::string* why) {
    IniText ini;
    // A missing or unreadable file reads as empty.
    const IniFileStatus status = LoadIniFile(gSettings.settingsPath, &ini, why);
    Settings& s = gSettings;
    s.activeProfile = IniReadInt(ini, kOptions, "Active Profile", 1);
    // Another number would send equips to a profile that no button shows.
    if (s.activeProfile < 1 || s.activeProfile > kProfileCount) s.activeProfile = 1;
    s.noActivateMainWindowOnEquip = IniReadInt(ini, kOptions, "No Activate Main Window On Equip", 1);
    s.showModifiedStatsPopup = IniReadInt(ini, kOptions, "Show Modified Stats Popup", 1);
    IniReadStruct(ini, kOptions, "Socket Options", s.socketOptions, sizeof s.socketOptions);
    if (!IniReadStruct(ini, kOptions, "Error Limit", s.errorLimit, sizeof s.errorLimit))
        for (int i = 0; i < 3; ++i) s.errorLimit[i] = kToleranceRanges[i].byDefault;
    for (int i = 0; i < 3; ++i)
        s.errorLimit[i] =
            std::clamp(s.errorLimit[i], kToleranceRanges[i].lowest, kToleranceRanges[i].highest);
    ReadHotkeys(ini, s);
    s.imageFileExtension = IniReadInt(ini, kOptions, "Image File Extension", 0);
    SetImageFolder(ReadFolder(ini, "Image"));
    s.iniFolder = ReadFolder(ini, "INI");
    gOptionsBase = {true, s.settingsPath, SettingsCopy()};
    ReadActiveProfile(ini);
    return status;
}

bool SaveSettings(std::string* why) {
    gNotes = SaveNotes();
    const Settings mine = SettingsCopy();
    const bool baseHolds = gOptionsBase.known && gOptionsBase.path == mine.settingsPath;
    ProfilePlan plan;
    const bool saved = UpdateFile(
        mine.settingsPath,
        [&](IniText* ini, bool* wrote, std::string* reason) {
            // The copies a profile write needs are kept of the file as it was found.
            if (!PlanProfileWrite(*ini, &plan, reason)) return false;
            OptionWriter w{ini, baseHolds ? &gOptionsBase.values : nullptr};
            const Settings& old = gOptionsBase.values;
            w.Int(kOptions, "Active Profile", mine.activeProfile, &Settings::activeProfile);
            w.Int(kOptions, "No Activate Main Window On Equip", mine.noActivateMainWindowOnEquip,
                  &Settings::noActivateMainWindowOnEquip);
            w.Int(kOptions, "Show Modified Stats Popup", mine.showModifiedStatsPopup,
                  &Settings::showModifiedStatsPopup);
            w.Struct(kOptions, "Socket Options", mine.socketOptions, old.socketOptions,
                     sizeof mine.socketOptions);
            w.Struct(kOptions, "Error Limit", mine.errorLimit, old.errorLimit, sizeof mine.errorLimit);
            for (int i = 0; i < kHotkeyCount; ++i)
                w.Struct(kHotKey, std::to_string(i), &mine.hotkeys[i], &old.hotkeys[i],
                         sizeof mine.hotkeys[i]);
            w.Int(kOptions, "Image File Extension", mine.imageFileExtension, &Settings::imageFileExtension);
            w.String(kFilePath, "Image", mine.imageFolder, &Settings::imageFolder);
            w.String(kFilePath, "INI", mine.iniFolder, &Settings::iniFolder);
            if (plan.write) w.Put(true, WriteActiveProfile(ini, &plan));
            *wrote = w.wrote;
            return w.ok || (*reason = kCannotStore, false);
        },
        why);
    if (!saved) return false;
    gOptionsBase = {true, mine.settingsPath, mine};
    CommitProfile(plan);
    TellBesideFile(mine);
    return true;
}

void LoadActiveProfile() {
    IniText ini;
    LoadIniFile(gSettings.settingsPath, &ini);
    ReadActiveProfile(ini);
}

bool SaveActiveProfile(std::string* why) {
    gNotes = SaveNotes();
    ProfilePlan plan;
    const bool saved = UpdateFile(
        gSettings.settingsPath,
        [&](IniText* ini, bool* wrote, std::string* reason) {
            if (!PlanProfileWrite(*ini, &plan, reason)) return false;
            *wrote = plan.write;
            return !plan.write || WriteActiveProfile(ini, &plan) || (*reason = kCannotStore, false);
        },
        why);
    if (saved) CommitProfile(plan);
    return saved;
}

const SaveNotes& LastSaveNotes() {
    return gNotes;
}

std::string KeepDamagedProfileCopy(std::string* why) {
    const std::string& path = gSettings.settingsPath;
    IniFileLock lock(path);
    if (!lock.Held()) {
        if (why) *why = lock.Error();
        return std::string();
    }
    IniText ini;
    if (LoadIniFile(path, &ini, why) != IniFileStatus::kLoaded) return std::string();
    std::string line;
    EquipmentProfile profile;
    if (!IniReadRaw(ini, kProfiles, ActiveProfileKey(), &line) ||
        IniReadStruct(ini, kProfiles, ActiveProfileKey(), &profile, sizeof profile))
        return std::string();
    return KeepFileCopy(path, "damaged", IniFileBytes(ini), nullptr, why);
}

bool StoredProfileWasUnreadable() {
    return gProfileUnreadable;
}

const char16_t kAlertProfileUnreadable[] = u"저장된 프로필을 읽을 수 없어 기본 프로필을 불러왔습니다.";
