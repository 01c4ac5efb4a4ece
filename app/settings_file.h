// Reading and writing the settings file: options, hotkeys, folders and the active profile.
#pragma once
#include <string>

#include "app/ini.h"

// Sets gSettings.settingsPath: the settings folder's "Tallywick.ini" when a folder is set,
// otherwise "Tallywick.ini" beside the executable (`executablePath` is its full path).
void ComputeSettingsPath(const std::string& executablePath);

// Reads every option from gSettings.settingsPath (defaults for what is absent or unreadable),
// then the active profile. kUnreadable, with the reason in `why`, for a file that exists but is
// not a settings file (see LoadIniFile): the defaults are taken, and no save replaces that file.
IniFileStatus LoadSettings(std::string* why = nullptr);
// Writes every option, then the active profile, under the file's lock. False, with the reason in
// `why`, when the file could not or must not be replaced; the file on disk is then left as it was.
bool SaveSettings(std::string* why = nullptr);

// The active profile (gSettings.activeProfile) into gProfile, or the default profile.
void LoadActiveProfile();
// gProfile under the active profile's number. False when the file could not be replaced.
bool SaveActiveProfile(std::string* why = nullptr);

// True when the last profile read found the active profile's line but could not use it (wrong
// length, not hexadecimal, wrong checksum), so the default profile was taken instead; the
// program shows kAlertProfileUnreadable once, before the line is overwritten.
bool StoredProfileWasUnreadable();
extern const char16_t kAlertProfileUnreadable[];
