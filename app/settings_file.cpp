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

std::string ActiveProfileKey() {
    return std::to_string(gSettings.activeProfile);
}

void ReadActiveProfile(const IniText& ini) {
    EquipmentProfile profile;
    if (!IniReadStruct(ini, kProfiles, ActiveProfileKey(), &profile, sizeof profile))
        profile = DefaultProfile();
    gProfile = profile;
}

bool WriteActiveProfile(IniText* ini) {
    return IniWriteStruct(ini, kProfiles, ActiveProfileKey(), &gProfile, sizeof gProfile);
}

// Applies `write` to the file's current text and replaces the file with the result. A file that
// exists but cannot be read is never replaced: that would lose the profiles it holds.
template <typename Write>
bool UpdateFile(Write write) {
    const std::string& path = gSettings.settingsPath;
    IniText ini;
    if (path.empty() || LoadIniFile(path, &ini) == IniFileStatus::kUnreadable) return false;
    return write(&ini) && SaveIniFile(path, ini);
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

void LoadSettings() {
    IniText ini;
    LoadIniFile(gSettings.settingsPath, &ini);  // a missing or unreadable file reads as empty
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
}

bool SaveSettings() {
    return UpdateFile([](IniText* ini) {
        const Settings& s = gSettings;
        bool ok =
            IniWriteInt(ini, kOptions, "Active Profile", s.activeProfile) &&
            IniWriteInt(ini, kOptions, "No Activate Main Window On Equip", s.noActivateMainWindowOnEquip) &&
            IniWriteInt(ini, kOptions, "Show Modified Stats Popup", s.showModifiedStatsPopup) &&
            IniWriteStruct(ini, kOptions, "Socket Options", s.socketOptions, sizeof s.socketOptions) &&
            IniWriteStruct(ini, kOptions, "Error Limit", s.errorLimit, sizeof s.errorLimit);
        for (int i = 0; ok && i < kHotkeyCount; ++i)
            ok = IniWriteStruct(ini, kHotKey, std::to_string(i), &s.hotkeys[i], sizeof s.hotkeys[i]);
        return ok && IniWriteInt(ini, kOptions, "Image File Extension", s.imageFileExtension) &&
               IniWriteString(ini, kFilePath, "Image", s.imageFolder) &&
               IniWriteString(ini, kFilePath, "INI", s.iniFolder) && WriteActiveProfile(ini);
    });
}

void LoadActiveProfile() {
    IniText ini;
    LoadIniFile(gSettings.settingsPath, &ini);
    ReadActiveProfile(ini);
}

bool SaveActiveProfile() {
    return UpdateFile(WriteActiveProfile);
}
