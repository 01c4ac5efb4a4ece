// Replacing the settings file on Windows: the new text goes to a temporary file beside it, is
// flushed to the disk and then renamed over the old file in one step.
#include "app/ini_win.h"

#include <string>

#include "base/gdi_win.h"  // <windows.h>, lean and without min/max

namespace {

std::wstring WidePath(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

// A file handle closed at the end of its scope unless closed before.
class OwnedFile {
public:
    explicit OwnedFile(HANDLE file) : file_(file) {}
    ~OwnedFile() { Close(); }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;
    HANDLE get() const { return file_; }
    bool Close() {
        HANDLE file = file_;
        file_ = INVALID_HANDLE_VALUE;
        return file == INVALID_HANDLE_VALUE || CloseHandle(file);
    }

private:
    HANDLE file_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = DWORD(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool ReplaceFileWriteThrough(const std::string& path, std::string_view bytes) {
    std::wstring target = WidePath(path), temp = WidePath(path + ".tmp");
    if (target.empty() || temp.empty()) return false;
    OwnedFile file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    ok = ok && MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

std::string WideToUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string utf8(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

std::string SystemCodePageToUtf8(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return std::string();
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0) return std::string();
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wide.data(), n);
    return WideToUtf8(wide.c_str());
}
