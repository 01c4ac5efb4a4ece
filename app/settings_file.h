// Reading and writing the settings file: options, hotkeys, folders and the active profile.
#pragma once
#include <string>

#include "app/ini.h"

// Sets gSettings.settingsPath: the settings folder's "Tallywick.ini" when a folder is set,
// otherwise "Tallywick.ini" beside the executable (`executablePath` is its full path).
void ComputeSettingsPath(const std::string& executablePath);

// What the program read at start-up.
struct StartupRead {
    IniFileStatus status = IniFileStatus::kMissing;  // of the file read
    std::string why;                                 // why that file could not be read
    // The settings folder's file, when the file beside the executable names a folder without one:
    // the file beside the executable was read instead.
    std::string missingFolderFile;
};
// Reads "Tallywick.ini" beside the executable. When it names a settings folder whose
// "Tallywick.ini" exists, that file is read instead and is the one written from then on, so the
// settings kept there come back at every start.
StartupRead LoadSettingsAtStart(const std::string& executablePath);

// Reads every option from gSettings.settingsPath (defaults for what is absent or unreadable),
// then the active profile. kUnreadable, with the reason in `why`, for a file that exists but is
// not a settings file (see LoadIniFile): the defaults are taken, and no save replaces that file.
// Values no setting can hold are taken as the nearest sound one, and their lines are left as they
// are until the program changes that setting: "Active Profile" outside 1..5 as 1, tolerances
// clamped to kToleranceRanges, a hotkey slot naming an earlier slot's field as missing, and a
// folder longer than kIniMaxString characters as empty (it is refused, not cut).
IniFileStatus LoadSettings(std::string* why = nullptr);
// Writes, under the file's lock and into the file as it is now, each option the program changed
// since it last read or wrote this file, and each one the file lacks or holds unreadable: what
// another writer changed meanwhile stays. Then the active profile, as SaveActiveProfile. False,
// with the reason in `why`, when the file could not or must not be replaced; it is then left as
// it was. After a save into the settings folder's file, the file beside the executable is made
// to name that folder (see LastSaveNotes).
bool SaveSettings(std::string* why = nullptr);

// The active profile (gSettings.activeProfile) into gProfile, or the default profile.
void LoadActiveProfile();
// gProfile under the active profile's number, when the program changed it since it last read or
// wrote it, or the file holds no readable one, under the file's lock. Where another writer changed
// that profile too, the program's is written and the file as the other writer left it is kept
// beside it first; a damaged line is kept the same way before it is replaced. False when the file
// could not be replaced, or a copy that had to be kept could not be written.
bool SaveActiveProfile(std::string* why = nullptr);

// What the last SaveSettings or SaveActiveProfile did besides its own write.
struct SaveNotes {
    int profile = 0;           // the number of the profile the copies are about
    std::string conflictCopy;  // "<file>.conflict-N": the other writer's version of the profile
    std::string damagedCopy;   // "<file>.damaged-N", newly written before a damaged line was replaced
    std::string besideFile;    // the file beside the executable, when it could not name the folder,
    std::string besideError;   // and why
};
const SaveNotes& LastSaveNotes();

// Keeps the settings file as it is in "<file>.damaged-N" when the active profile's line is
// damaged (a copy of the same bytes is reused). Its path; empty when nothing is damaged or no copy
// could be written (the reason then in `why`).
std::string KeepDamagedProfileCopy(std::string* why = nullptr);

// True when the last profile read found the active profile's line but could not use it (wrong
// length, not hexadecimal, wrong checksum), so the default profile was taken instead; the
// program shows kAlertProfileUnreadable once, before the line is overwritten.
bool StoredProfileWasUnreadable();
extern const char16_t kAlertProfileUnreadable[];
