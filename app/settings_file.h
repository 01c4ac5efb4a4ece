// Reading and writing the settings file: options, hotkeys, folders and the active profile.
#pragma once
#include <string>

// Sets gSettings.settingsPath: the settings folder's "Tallywick.ini" when a folder is set,
// otherwise "Tallywick.ini" beside the executable (`executablePath` is its full path).
void ComputeSettingsPath(const std::string& executablePath);

// Reads every option from gSettings.settingsPath (defaults for what is absent or unreadable),
// then the active profile.
void LoadSettings();
// Writes every option, then the active profile. False when the file could not be replaced;
// the file on disk is then left as it was.
bool SaveSettings();

// The active profile (gSettings.activeProfile) into gProfile, or the default profile.
void LoadActiveProfile();
// gProfile under the active profile's number. False when the file could not be replaced.
bool SaveActiveProfile();
