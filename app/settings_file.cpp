// Reading and writing the settings file: which keys, in which order, with which defaults.
#include "app/settings_file.h"

#include <bit>
#include <cstring>

#include "app/ini.h"
#include "base/profile.h"
#include "base/settings.h"

// Structs are stored as their bytes in memory order, which the file defines as little-endian.
static_assert(std::endian::native == std::endian::little, "the settings file stores little-endian structs");

namespace {

constexpr char kFileName[] = "Tallywick.ini";
constexpr char kOptions[] = "Options";
constexpr char kHotKey[] = "HotKey";
constexpr char kFilePath[] = "File Path";
constexpr char kProfiles[] = "Profiles";
constexpr int32_t kDefaultErrorLimit[3] = {10, 5, 8};

bool gProfileUnreadable = false;

std::string ActiveProfileKey() {
    return std::to_string(gSettings.activeProfile);
}

void ReadActiveProfile(const IniText& ini) {
    EquipmentProfile profile;
    gProfileUnreadable = false;
    if (!IniReadStruct(ini, kProfiles, ActiveProfileKey(), &profile, sizeof profile)) {
        std::string present;
        gProfileUnreadable = IniReadString(ini, kProfiles, ActiveProfileKey(), &present);
        profile = DefaultProfile();
    }
    gProfile = profile;
}

bool WriteActiveProfile(IniText* ini) {
    return IniWriteStruct(ini, kProfiles, ActiveProfileKey(), &gProfile, sizeof gProfile);
}

// Applies `write` to the file's current text and replaces the file with the result, all under
// the file's lock, so that concurrent writers' updates all reach the file. A file that exists but
// cannot be read is never replaced: that would lose the profiles it holds.
template <typename Write>
bool UpdateFile(Write write, std::string* why) {
    const std::string& path = gSettings.settingsPath;
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
    if (!write(&ini)) return fail("a value cannot be stored in the settings file");
    return SaveIniFile(path, ini, why);
}

}  // namespace

void ComputeSettingsPath(const std::string& executablePath) {
    const std::string& folder = gSettings.iniFolder;
    if (!folder.empty()) {
        char separator = '\\';
#ifndef _WIN32
        if (folder.find('\\') == std::string::npos) separator = '/';
#endif
        gSettings.settingsPath = folder + separator + kFileName;
        return;
    }
    size_t cut = executablePath.rfind('\\');
#ifndef _WIN32
    if (cut == std::string::npos) cut = executablePath.rfind('/');
#endif
    gSettings.settingsPath =
        (cut == std::string::npos ? std::string() : executablePath.substr(0, cut + 1)) + kFileName;
}

IniFileStatus LoadSettings(std::string* why) {
    IniText ini;
    // A missing or unreadable file reads as empty.
    const IniFileStatus status = LoadIniFile(gSettings.settingsPath, &ini, why);
    Settings& s = gSettings;
    s.activeProfile = IniReadInt(ini, kOptions, "Active Profile", 1);
    s.noActivateMainWindowOnEquip = IniReadInt(ini, kOptions, "No Activate Main Window On Equip", 1);
    s.showModifiedStatsPopup = IniReadInt(ini, kOptions, "Show Modified Stats Popup", 1);
    IniReadStruct(ini, kOptions, "Socket Options", s.socketOptions, sizeof s.socketOptions);
    if (!IniReadStruct(ini, kOptions, "Error Limit", s.errorLimit, sizeof s.errorLimit))
        std::memcpy(s.errorLimit, kDefaultErrorLimit, sizeof s.errorLimit);
    for (int i = 0; i < kHotkeyCount; ++i)
        IniReadStruct(ini, kHotKey, std::to_string(i), &s.hotkeys[i], sizeof s.hotkeys[i]);
    s.imageFileExtension = IniReadInt(ini, kOptions, "Image File Extension", 0);
    if (!IniReadString(ini, kFilePath, "Image", &s.imageFolder)) s.imageFolder.clear();
    if (!IniReadString(ini, kFilePath, "INI", &s.iniFolder)) s.iniFolder.clear();
    ReadActiveProfile(ini);
    return status;
}

bool SaveSettings(std::string* why) {
    return UpdateFile(
        [](IniText* ini) {
            const Settings& s = gSettings;
            bool ok =
                IniWriteInt(ini, kOptions, "Active Profile", s.activeProfile) &&
                IniWriteInt(ini, kOptions, "No Activate Main Window On Equip",
                            s.noActivateMainWindowOnEquip) &&
                IniWriteInt(ini, kOptions, "Show Modified Stats Popup", s.showModifiedStatsPopup) &&
                IniWriteStruct(ini, kOptions, "Socket Options", s.socketOptions, sizeof s.socketOptions) &&
                IniWriteStruct(ini, kOptions, "Error Limit", s.errorLimit, sizeof s.errorLimit);
            for (int i = 0; ok && i < kHotkeyCount; ++i)
                ok = IniWriteStruct(ini, kHotKey, std::to_string(i), &s.hotkeys[i], sizeof s.hotkeys[i]);
            return ok && IniWriteInt(ini, kOptions, "Image File Extension", s.imageFileExtension) &&
                   IniWriteString(ini, kFilePath, "Image", s.imageFolder) &&
                   IniWriteString(ini, kFilePath, "INI", s.iniFolder) && WriteActiveProfile(ini);
        },
        why);
}

void LoadActiveProfile() {
    IniText ini;
    LoadIniFile(gSettings.settingsPath, &ini);
    ReadActiveProfile(ini);
}

bool SaveActiveProfile(std::string* why) {
    return UpdateFile(WriteActiveProfile, why);
}

bool StoredProfileWasUnreadable() {
    return gProfileUnreadable;
}

const char16_t kAlertProfileUnreadable[] = u"저장된 프로필을 읽을 수 없어 기본 프로필을 불러왔습니다.";
