// Message boxes about the settings file: what start-up (or loading another file) found wrong with
// it and what will happen, and what a save kept beside it.
#pragma once
#include "app/settings_file.h"
#include "base/gdi_win.h"

// Posted by the main window to itself at creation, so that the start-up report shows over the main
// window once that is on the screen.
constexpr UINT kReportSettingsAtStart = WM_APP + 40;

// One message box owned by `owner` for what is wrong with the settings file just read, if anything:
// a file that cannot be read (the defaults are used and the file is left as it is), one that cannot
// be saved (named now, not after the session), the settings folder's file missing, a damaged active
// profile (the file kept as "<file>.damaged-N" first).
void TellSettingsProblems(HWND owner, const StartupRead& read);
// The same for a profile just loaded by a profile switch: a damaged line is kept and told.
void TellDamagedProfile(HWND owner);
// What the last save kept beside the file (another writer's version of a profile, a damaged line)
// and a settings folder the file beside the program could not be told of. Nothing when none.
void TellSaveNotes(HWND owner);
