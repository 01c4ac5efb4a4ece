// tallywick-cli on Windows: arguments arrive as UTF-16 and are handed on as UTF-8, so Korean file
// and folder names work; settings files are replaced with a write-through save and older files in
// the system code page are read as such.
#include <string>
#include <vector>

#include "app/ini.h"
#include "app/ini_win.h"
#include "base/gdi_win.h"  // <windows.h>, lean and without min/max
#include "base/text_encoding.h"
#include "cli/commands.h"

int wmain(int argc, wchar_t** argv) {
    SetFileReplacer(ReplaceFileWriteThrough);
    SetFileLocker(FileLocker{LockFileWin, UnlockFileWin});
    SetCodePageDecoder(SystemCodePageToUtf8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
    return RunCli(args);
}
