// UTF-8 reports on a console or into a file.
#include "base/console_win.h"

void WriteStandardStream(HANDLE handle, FILE* file, const std::string& utf8) {
    if (utf8.empty()) return;
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) {
        fwrite(utf8.data(), 1, utf8.size(), file);
        return;
    }
    fflush(file);  // whatever the stream still holds comes first
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), size);
    DWORD done = 0;
    WriteConsoleW(handle, text.data(), DWORD(text.size()), &done, nullptr);
}
