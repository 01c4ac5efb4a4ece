// Loading another settings file chosen in the system's open-file dialog.
#include "win/settings_open_win.h"

#include <string>

#include "app/ini.h"
#include "app/ini_win.h"
#include "app/settings_file.h"
#include "base/settings.h"
#include "base/status.h"
#include "win/controls_win.h"
#include "win/hotkeys_win.h"
#include "win/pages_win.h"
#include "win/settings_report_win.h"
#include "win/startup_win.h"

void OpenSettingsFile(HWND owner) {
    wchar_t path[260] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"INI 파일(*.ini)\0*.ini\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = 260;
    dialog.Flags = OFN_HIDEREADONLY | OFN_NONETWORKBUTTON;
    if (!GetOpenFileNameW(&dialog)) return;
    // A file that is not a settings file changes nothing: the running settings stay as they are.
    IniText probe;
    std::string why;
    if (LoadIniFile(WideToUtf8(path), &probe, &why) == IniFileStatus::kUnreadable) {
        const std::wstring text =
            L"선택한 파일은 설정 파일로 읽을 수 없습니다. 지금 설정을 그대로 씁니다.\n" + std::wstring(path) +
            L"\n" + Utf8ToWide(why);
        MessageBoxW(owner, text.c_str(), kMessageBoxTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    gSettings.settingsPath = WideToUtf8(path);
    StartupRead read;
    read.status = LoadSettings(&read.why);
    UnregisterHotkeys(owner);
    RegisterHotkeys(owner);
    ShowActiveProfileEverywhere();
    ShowAlert(u"선택한 INI 파일의 정보를 불러왔습니다.");
    // A file that cannot be saved, or a damaged profile in it, is told now, as at start-up.
    TellSettingsProblems(owner, read);
}
