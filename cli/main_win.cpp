// tallywick-cli on Windows: arguments arrive as UTF-16 and are handed on as UTF-8, so Korean file
// and folder names work; settings files are replaced with a write-through save and older files in
// the system code page are read as such. Reports reach a console window as text.
#include <string>
#include <vector>

#include "app/ini.h"
#include "app/ini_win.h"
#include "base/console_win.h"
#include "base/text_encoding.h"
#include "cli/commands.h"

int wmain(int argc, wchar_t** argv) {
    SetFileReplacer(ReplaceFileWriteThrough);
    SetFileLocker(FileLocker{LockFileWin, UnlockFileWin});
    SetCodePageDecoder(SystemCodePageToUtf8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
    std::string out, err;
    const int code = RunCli(args, out, err);
    WriteStandardStream(GetStdHandle(STD_OUTPUT_HANDLE), stdout, out);
    WriteStandardStream(GetStdHandle(STD_ERROR_HANDLE), stderr, err);
    return code;
}
