// tallywick-cli on Windows: arguments arrive as UTF-16 and are handed on as UTF-8, so Korean file
// and folder names work; settings files are replaced with a write-through save and older files in
// the system code page are read as such. Reports are UTF-8 bytes in a file or a pipe, and UTF-16
// text in a console window, which would show UTF-8 bytes in its own code page (CP949 on a Korean
// system) as garbage.
#include <cstdio>
#include <string>
#include <vector>

#include "app/ini.h"
#include "app/ini_win.h"
#include "base/gdi_win.h"  // <windows.h>, lean and without min/max
#include "base/text_encoding.h"
#include "cli/commands.h"

namespace {

// Into a file or a pipe the bytes go through the C stream as ever (its text mode ends lines with
// CR LF).
void Write(DWORD stream, FILE* file, const std::string& utf8) {
    if (utf8.empty()) return;
    HANDLE handle = GetStdHandle(stream);
    DWORD mode = 0, done = 0;
    if (GetConsoleMode(handle, &mode)) {
        fflush(file);
        const std::wstring text = Utf8ToWide(utf8);
        WriteConsoleW(handle, text.data(), DWORD(text.size()), &done, nullptr);
    } else {
        fwrite(utf8.data(), 1, utf8.size(), file);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetFileReplacer(ReplaceFileWriteThrough);
    SetFileLocker(FileLocker{LockFileWin, UnlockFileWin});
    SetCodePageDecoder(SystemCodePageToUtf8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
    std::string out, err;
    const int code = RunCli(args, out, err);
    Write(STD_OUTPUT_HANDLE, stdout, out);
    Write(STD_ERROR_HANDLE, stderr, err);
    return code;
}
