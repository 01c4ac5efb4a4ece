// The settings dialog: every setting of the settings file except the active profile, edited in
// place in the in-memory settings; and the folder chooser it shares with the image saver.
#pragma once
#include <string>

#include "base/gdi_win.h"

// Runs the dialog modally over `owner`. The hotkeys are off while it is open and registered from
// its fields when it closes.
void OpenSettingsDialog(HWND owner);

// The system's folder browser over `owner`, titled "저장할 폴더를 선택하세요.", starting at `folder`
// (UTF-8). A confirmed folder's full path replaces `folder`; false, with `folder` unchanged, when
// the player cancels or the browser fails. Any thread.
bool ChooseFolder(HWND owner, std::string& folder);

// The image saver's chooser: ChooseFolder on the image folder, over the main window.
bool ChooseImageFolder();
