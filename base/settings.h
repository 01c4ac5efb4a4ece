// The in-memory settings: one value per key of the settings file.
#pragma once
#include <cstdint>
#include <string>

#include "base/hotkeys.h"

enum Tolerance : int { kKindTolerance = 0, kOptionTolerance = 1, kValueTolerance = 2 };

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
    std::string imageFolder;         // UTF-8
    std::string iniFolder;           // UTF-8
    std::string settingsPath;        // UTF-8; where the settings are read and written
};

// The program's one set of settings.
extern Settings gSettings;
