// Start-up and shutdown steps of the program that are not windows.
#include "win/startup_win.h"

#include <string>
#include <vector>

#include "app/ini.h"
#include "app/ini_win.h"
#include "app/settings_file.h"
#include "base/settings.h"
#include "base/status.h"
#include "base/text_encoding.h"
#include "reader/glyphs.h"
#include "win/image_save_win.h"
#include "win/main_window_win.h"
#include "win/overlay_win.h"
#include "win/popups_win.h"
#include "win/settings_dialog_win.h"
#include "win/settings_report_win.h"

namespace {

std::string gGlyphError;
StartupRead gStartupRead;

// A bitmap resource is a .bmp file without its 14-byte file header: put one in front.
bool GlyphFromResource(int resourceId, std::vector<uint8_t>& bmpFile) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(2));  // RT_BITMAP
    if (!found) return false;
    const DWORD size = SizeofResource(module, found);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    if (!data || size < 40) return false;
    const uint32_t headerSize = *reinterpret_cast<const uint32_t*>(data);
    const uint32_t bitsOffset = 14 + headerSize;  // 24- and 32-bit pictures carry no palette
    const uint32_t fileSize = 14 + size;
    const uint8_t fileHeader[14] = {'B',
                                    'M',
                                    uint8_t(fileSize),
                                    uint8_t(fileSize >> 8),
                                    uint8_t(fileSize >> 16),
                                    uint8_t(fileSize >> 24),
                                    0,
                                    0,
                                    0,
                                    0,
                                    uint8_t(bitsOffset),
                                    uint8_t(bitsOffset >> 8),
                                    uint8_t(bitsOffset >> 16),
                                    uint8_t(bitsOffset >> 24)};
    bmpFile.assign(fileHeader, fileHeader + 14);
    bmpFile.insert(bmpFile.end(), data, data + size);
    return true;
}

}  // namespace

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);  // long paths: the name did not fit
    }
    return WideToUtf8(path.c_str());
}

void PrepareProgramState() {
    SetFileReplacer(ReplaceFileWriteThrough);
    SetFileLocker(FileLocker{LockFileWin, UnlockFileWin});
    SetCodePageDecoder(SystemCodePageToUtf8);
    SetImageFolderChooser(ChooseImageFolder);
    if (!LoadGlyphTemplates(GlyphFromResource, gGlyphError) && gGlyphError.empty())
        gGlyphError = "glyph pictures missing";
}

void LoadStartupSettings() {
    gStartupRead = LoadSettingsAtStart(ExecutablePath());
}

void ReportSettingsAtStart(HWND owner) {
    TellSettingsProblems(owner, gStartupRead);
}

void ReportStartupProblems() {
    if (gGlyphError.empty()) return;
    const std::wstring text =
        L"인식용 그림을 불러오지 못했습니다. 아이템을 읽을 수 없습니다.\n" + Utf8ToWide(gGlyphError);
    MessageBoxW(nullptr, text.c_str(), L"Tallywick", MB_OK | MB_ICONWARNING);
}

void ReportSaveFailure(HWND owner, const wchar_t* what, const std::string& why) {
    std::wstring text = std::wstring(what) + L"\n" + Utf8ToWide(gSettings.settingsPath);
    if (!why.empty()) text += L"\n" + Utf8ToWide(why);
    MessageBoxW(owner, text.c_str(), kMessageBoxTitle, MB_OK | MB_ICONERROR);
}

void CreatePopupsAndOverlay() {
    CreatePopupWindows(gInstance);
    CreateOverlayWindow(gInstance);
    InstallPopupDelivery();
}
