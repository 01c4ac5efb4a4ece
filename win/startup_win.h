// What the program prepares before its pages exist and releases after its windows are gone.
#pragma once
#include <string>

#include "base/gdi_win.h"

// The Windows hooks of the settings file, the glyph pictures from the executable's resources.
void PrepareProgramState();
// The settings file beside the executable, or the one in the settings folder it names, with the
// active profile.
void LoadStartupSettings();
// The glyph pictures that did not load, told at once.
void ReportStartupProblems();
// What is wrong with the settings file read at start-up, in a message box owned by `owner`.
void ReportSettingsAtStart(HWND owner);
// The caption of the program's message boxes (apart from the main window's "Tallywick").
inline constexpr wchar_t kMessageBoxTitle[] = L"Tallywick 알림";

// A message box: what could not be done because the settings file could not be written, and
// where that file is.
void ReportSaveFailure(HWND owner, const wchar_t* what, const std::string& why = std::string());
// The popups and the overlay, created hidden.
void CreatePopupsAndOverlay();
// The running program's executable file, UTF-8.
std::string ExecutablePath();
