// Message boxes about the settings file. Each says what is wrong, where, and what will happen.
#include "win/settings_report_win.h"

#include <string>

#include "app/ini.h"
#include "app/ini_win.h"
#include "base/settings.h"
#include "win/startup_win.h"

namespace {

// Paragraphs of one message box.
class Report {
public:
    void Add(const std::wstring& paragraph) {
        if (!text_.empty()) text_ += L"\n\n";
        text_ += paragraph;
    }
    void Show(HWND owner) const {
        if (!text_.empty()) MessageBoxW(owner, text_.c_str(), kMessageBoxTitle, MB_OK | MB_ICONWARNING);
    }

private:
    std::wstring text_;
};

std::wstring W(const std::string& utf8) {
    return Utf8ToWide(utf8);
}

std::wstring ProfileName(int number) {
    return L"프로필 " + std::to_wstring(number) + L"번";
}

// Keeps the file holding the damaged line before anything can replace that line.
void AddDamagedProfile(Report& report) {
    if (!StoredProfileWasUnreadable()) return;
    std::string why;
    const std::string copy = KeepDamagedProfileCopy(&why);
    const std::wstring what =
        L"저장된 " + ProfileName(gSettings.activeProfile) + L"을 읽을 수 없어 기본 프로필을 불러왔습니다. ";
    if (!copy.empty())
        report.Add(what + L"손상된 줄이 든 설정 파일은 다음 이름으로 보관했습니다.\n" + W(copy));
    else
        report.Add(what + L"손상된 줄을 따로 보관하지 못해 이 설정 파일에는 저장하지 않습니다.\n" + W(why));
}

}  // namespace

void TellSettingsProblems(HWND owner, const StartupRead& read) {
    Report report;
    const std::wstring path = W(gSettings.settingsPath);
    if (!read.missingFolderFile.empty())
        report.Add(
            L"설정 폴더에서 설정 파일을 찾지 못해 프로그램 옆의 설정 파일을 읽었습니다. 바꾼 설정은 이 "
            L"파일에 저장됩니다.\n찾지 못한 파일: " +
            W(read.missingFolderFile) + L"\n읽은 파일: " + path);
    std::string why;
    if (read.status == IniFileStatus::kUnreadable)
        report.Add(
            L"설정 파일을 읽을 수 없어 기본 설정으로 시작합니다. 이 파일은 그대로 두므로, 이번에 바꾼 "
            L"설정과 프로필은 저장되지 않습니다.\n" +
            path + L"\n" + W(read.why));
    else if (!CanReplaceFile(gSettings.settingsPath, &why))
        report.Add(
            L"설정 파일에 저장할 수 없습니다. 이번에 바꾼 설정과 프로필은 끝낼 때 저장되지 않습니다. "
            L"읽기 전용을 풀거나, 설정에서 INI 파일 경로를 바꾸세요.\n" +
            path + L"\n" + W(why));
    AddDamagedProfile(report);
    report.Show(owner);
}

void TellDamagedProfile(HWND owner) {
    Report report;
    AddDamagedProfile(report);
    report.Show(owner);
}

void TellSaveNotes(HWND owner) {
    const SaveNotes& notes = LastSaveNotes();
    Report report;
    if (!notes.conflictCopy.empty())
        report.Add(L"다른 프로그램이 " + ProfileName(notes.profile) +
                   L"을 바꾸어 두었습니다. 이 프로그램에서 바꾼 프로필을 저장했고, 다른 쪽의 내용은 다음 "
                   L"파일에 보관했습니다(\"INI 파일 불러오기\"로 열 수 있습니다).\n" +
                   W(notes.conflictCopy));
    if (!notes.damagedCopy.empty())
        report.Add(L"저장된 " + ProfileName(notes.profile) +
                   L"의 줄이 손상되어 있어, 새로 저장하기 전에 그 설정 파일을 다음 이름으로 보관했습니다.\n" +
                   W(notes.damagedCopy));
    if (!notes.besideError.empty())
        report.Add(
            L"설정은 설정 폴더에 저장했지만, 프로그램 옆의 설정 파일에 설정 폴더를 적지 못했습니다. "
            L"다음에 시작할 때는 프로그램 옆의 설정 파일을 읽습니다.\n" +
            W(notes.besideFile) + L"\n" + W(notes.besideError));
    report.Show(owner);
}
