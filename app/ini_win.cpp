// Replacing the settings file on Windows: the new text goes to a temporary file beside it, is
// flushed to the disk and then renamed over the old file in one step.
#include "app/ini_win.h"

#include <string>

#include "app/ini.h"
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
    static LONG counter = 0;
    std::wstring target = WidePath(path), temp;
    if (target.empty()) return false;
    // A temporary file of its own name, created new: an existing file or link of that name is
    // never opened.
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temp = WidePath(
            TemporaryFileName(path, GetCurrentProcessId(), uint64_t(InterlockedIncrement(&counter))));
        if (temp.empty()) return false;
        created =
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    OwnedFile file(created);
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    ok = ok && MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

intptr_t LockFileWin(const std::string& lockPath, std::string* why) {
    const std::wstring wide = WidePath(lockPath);
    HANDLE file = wide.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (why) *why = "cannot create the lock file " + lockPath;
        return -1;
    }
    // Polled, so that a holder that hangs makes the others give up rather than wait forever.
    for (int waited = 0; waited < 30000; waited += 5) {
        OVERLAPPED at = {};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return reinterpret_cast<intptr_t>(file);
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) break;
        Sleep(5);
    }
    CloseHandle(file);
    if (why) *why = "the settings file is locked by another writer";
    return -1;
}

void UnlockFileWin(intptr_t handle) {
    HANDLE file = reinterpret_cast<HANDLE>(handle);
    OVERLAPPED at = {};
    UnlockFileEx(file, 0, 1, 0, &at);
    CloseHandle(file);
}

std::string WideToUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string utf8(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

std::wstring Utf8ToWide(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

std::string SystemCodePageToUtf8(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return std::string();
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0) return std::string();
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wide.data(), n);
    return WideToUtf8(wide.c_str());
}
