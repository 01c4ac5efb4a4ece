// What the program prepares before its pages exist and releases after its windows are gone.
#pragma once
#include <string>

#include "base/gdi_win.h"

// The Windows hooks of the settings file, the glyph pictures from the executable's resources.
void PrepareProgramState();
// The settings file beside the executable (or in the settings folder), with the active profile.
void LoadStartupSettings();
// Problems the player must know about from the start: a settings file that is not one, pictures
// that did not load, a stored profile that could not be used.
void ReportStartupProblems();
// The caption of the program's message boxes (apart from the main window's "Tallywick").
inline constexpr wchar_t kMessageBoxTitle[] = L"Tallywick 알림";

// A message box: what could not be done because the settings file could not be written, and
// where that file is.
void ReportSaveFailure(HWND owner, const wchar_t* what, const std::string& why = std::string());
// The popups and the overlay, created hidden.
void CreatePopupsAndOverlay();
// The running program's executable file, UTF-8.
std::string ExecutablePath();
