// The in-memory settings: one value per key of the settings file.
#pragma once
#include <cstdint>
#include <string>

#include "base/hotkeys.h"

enum Tolerance : int { kKindTolerance = 0, kOptionTolerance = 1, kValueTolerance = 2 };

// The range of each matcher tolerance (the settings dialog's sliders) and its default.
struct ToleranceRange {
    int32_t lowest, highest, byDefault;
};
constexpr ToleranceRange kToleranceRanges[3] = {{1, 20, 10}, {1, 15, 5}, {1, 30, 8}};

struct Settings {
    int32_t activeProfile = 1;
    int32_t noActivateMainWindowOnEquip = 1;
    int32_t showModifiedStatsPopup = 1;
    // Gem socket choices: equip set (weapon, helm, other), then compare set.
    int32_t socketOptions[6] = {};
    // Matcher tolerances: item kind, option caption, option value.
    int32_t errorLimit[3] = {10, 5, 8};
    HotkeySlot hotkeys[kHotkeyCount] = {kDefaultHotkeys[0], kDefaultHotkeys[1], kDefaultHotkeys[2],
                                        kDefaultHotkeys[3], kDefaultHotkeys[4]};
    int32_t imageFileExtension = 0;  // 0 BMP, 1 JPG
    std::string imageFolder;         // UTF-8; see ImageFolder()
    std::string iniFolder;           // UTF-8
    std::string settingsPath;        // UTF-8; where the settings are read and written
};

// The program's one set of settings.
extern Settings gSettings;

// The image folder is changed by the capture action's worker (its folder chooser) while the
// user-interface thread may read or change it too: every thread reads and changes it through
// these, which hand the text over under one lock.
std::string ImageFolder();
void SetImageFolder(const std::string& folder);
// A copy of every setting, the image folder read under that lock.
Settings SettingsCopy();
