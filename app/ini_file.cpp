// The settings file on disk: reading it whole after checking what it is, the lock that orders the
// read-modify-write of one file across processes, and the atomic replacement through a temporary
// file of the writer's own.
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <system_error>
#include <utility>

#include "app/ini.h"
#include "base/files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

IniFileStatus LoadIniFile(const std::string& path, IniText* ini, std::string* why) {
    *ini = IniText();
    std::string reason;
    auto unreadable = [&](std::string text) {
        if (why) *why = std::move(text);
        return IniFileStatus::kUnreadable;
    };
    std::error_code ec;
    fs::file_status status = fs::status(PathFromUtf8(path), ec);
    if (status.type() == fs::file_type::not_found) return IniFileStatus::kMissing;
    std::string bytes;
    // Room for the settings' own lines, so that writing them needs no copy.
    if (!ReadFileBytes(path, bytes, reason, kIniMaxFileBytes, 64 << 10)) return unreadable(reason);
    if (std::memchr(bytes.data(), '\0', bytes.size()) &&
        !(bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE'))
        return unreadable("not a text file (it holds NUL bytes, or is UTF-16 without a byte-order mark)");
    IniText parsed = ParseIniBytes(std::move(bytes));
    if (std::memchr(parsed.text.data(), '\0', parsed.text.size()))
        return unreadable("not a text file (it holds NUL characters)");
    *ini = std::move(parsed);
    return IniFileStatus::kLoaded;
}

namespace {

#ifndef _WIN32
intptr_t FlockAcquire(const std::string& lockPath, std::string* why) {
    int fd =
        ::open(PathFromUtf8(lockPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    if (fd < 0) {
        if (why) *why = "cannot create the lock file " + lockPath + " (" + std::strerror(errno) + ")";
        return -1;
    }
    // Polled, so that a holder that hangs makes the others give up rather than wait forever.
    for (int waited = 0; waited < 30000; waited += 5) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        ::usleep(5000);
    }
    ::close(fd);
    if (why) *why = "the settings file is locked by another writer";
    return -1;
}

void FlockRelease(intptr_t handle) {
    ::close(int(handle));  // closing releases the lock
}
#else
intptr_t NoLockAcquire(const std::string&, std::string*) {
    return 0;
}
void NoLockRelease(intptr_t) {}
#endif

FileLocker PortableLocker() {
#ifndef _WIN32
    return FileLocker{FlockAcquire, FlockRelease};
#else
    return FileLocker{NoLockAcquire, NoLockRelease};
#endif
}

FileLocker gLocker = PortableLocker();

struct HeldLock {
    int depth = 0;
    intptr_t handle = -1;
};
std::mutex gLocksMutex;
std::map<std::string, HeldLock> gLocks;  // by the resolved path of the settings file

bool LockHeld(const std::string& target) {
    std::lock_guard<std::mutex> guard(gLocksMutex);
    auto it = gLocks.find(target);
    return it != gLocks.end() && it->second.depth > 0;
}

bool ReadOnlyFile([[maybe_unused]] const std::filesystem::path& file, const fs::file_status& status) {
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    bool readOnly = (status.permissions() & writable) == fs::perms::none;
#ifndef _WIN32
    readOnly = readOnly || (::access(file.c_str(), W_OK) != 0 && errno != ENOENT);
#endif
    return readOnly;
}

uint64_t ProcessId() {
#ifndef _WIN32
    return uint64_t(::getpid());
#else
    return uint64_t(std::random_device()());
#endif
}

}  // namespace

std::string ResolveLinks(const std::string& path) {
    fs::path p = PathFromUtf8(path);
    std::error_code ec;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hop) {
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    const std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

IniFileLock::IniFileLock(const std::string& path) : key_(ResolveLinks(path)) {
    if (path.empty()) {
        error_ = "no settings file";
        return;
    }
    std::lock_guard<std::mutex> guard(gLocksMutex);
    HeldLock& lock = gLocks[key_];
    if (lock.depth == 0) {
        intptr_t handle = gLocker.acquire(key_ + ".lock", &error_);
        if (handle == -1) {
            gLocks.erase(key_);
            return;
        }
        lock.handle = handle;
    }
    ++lock.depth;
    held_ = true;
}

IniFileLock::~IniFileLock() {
    if (!held_) return;
    std::lock_guard<std::mutex> guard(gLocksMutex);
    auto it = gLocks.find(key_);
    if (it == gLocks.end()) return;
    if (--it->second.depth == 0) {
        gLocker.release(it->second.handle);
        gLocks.erase(it);
    }
}

bool SaveIniFile(const std::string& path, const IniText& ini, std::string* why) {
    auto refuse = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (path.empty()) return refuse("no settings file");
    const std::string target = ResolveLinks(path);
    std::error_code ec;
    const fs::path t = PathFromUtf8(target);
    const fs::file_status status = fs::status(t, ec);
    if (status.type() != fs::file_type::not_found) {
        if (ec || status.type() != fs::file_type::regular) return refuse("not a regular file");
        if (ReadOnlyFile(t, status)) return refuse("the settings file is read-only; it was not changed");
    }
    IniFileLock lock(target);
    if (!lock.Held()) return refuse(lock.Error());
    const bool ok = ini.encoding == IniEncoding::kBytes ? ReplaceFileContents(target, ini.text)  // no copy
                                                        : ReplaceFileContents(target, IniFileBytes(ini));
    return ok ? true : refuse("the settings file could not be replaced; it was left as it was");
}

bool CanReplaceFile(const std::string& path, std::string* why) {
    auto refuse = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (path.empty()) return refuse("no settings file");
    const std::string target = ResolveLinks(path);
    const fs::path t = PathFromUtf8(target);
    std::error_code ec;
    const fs::file_status status = fs::status(t, ec);
    if (status.type() != fs::file_type::not_found) {
        if (ec || status.type() != fs::file_type::regular) return refuse("not a regular file");
        if (ReadOnlyFile(t, status)) return refuse("the settings file is read-only");
    }
    fs::path folder = t.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return refuse("its folder does not exist");
    // A file written and removed beside it, the way a save writes: a folder or disk that is
    // read-only, or that the user may not write, refuses it.
    static std::atomic<uint64_t> counter{0};
    const std::string probe = TemporaryFileName(target, ProcessId(), (uint64_t(1) << 40) + counter++);
    if (!ReplaceFileContents(probe, std::string_view()))
        return refuse("no file can be written in its folder");
    fs::remove(PathFromUtf8(probe), ec);
    return true;
}

std::string KeepFileCopy(const std::string& path, std::string_view kind, std::string_view bytes,
                         bool* created, std::string* why) {
    if (created) *created = false;
    for (int n = 1; n <= 999; ++n) {
        const std::string name = path + "." + std::string(kind) + "-" + std::to_string(n);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(PathFromUtf8(name), ec);
        if (status.type() == fs::file_type::not_found) {
            if (!ReplaceFileContents(name, bytes)) break;
            if (created) *created = true;
            return name;
        }
        std::string old, reason;
        if (status.type() == fs::file_type::regular && ReadFileBytes(name, old, reason, bytes.size()) &&
            old == bytes)
            return name;
    }
    if (why) *why = "no copy of the settings file could be written beside it";
    return std::string();
}

std::string TemporaryFileName(const std::string& path, uint64_t pid, uint64_t n) {
    return path + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

bool IsTemporaryFileOf(const std::string& path, const std::string& name) {
    const std::u8string own = PathFromUtf8(path).filename().u8string();
    const std::string prefix = std::string(own.begin(), own.end()) + ".";
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    const std::string_view middle =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - 4);
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == middle.size()) return false;
    for (size_t i = 0; i < middle.size(); ++i)
        if (i != dash && (middle[i] < '0' || middle[i] > '9')) return false;
    return true;
}

namespace {

// Temporary files of `path` left by a writer that was killed. Called under the lock, when no
// other writer can have one.
void RemoveStaleTemporaries(const std::string& path) {
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    fs::path folder = p.parent_path();
    if (folder.empty()) folder = ".";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::u8string u8 = it->path().filename().u8string();
        if (!IsTemporaryFileOf(path, std::string(u8.begin(), u8.end()))) continue;
        const fs::file_status st = fs::symlink_status(it->path(), ec);
        if (!ec && (st.type() == fs::file_type::regular || st.type() == fs::file_type::symlink))
            fs::remove(it->path(), ec);  // a link itself, never what it leads to
        ec.clear();
    }
}

#ifndef _WIN32
// Creates a temporary file of a new name beside `path`, never through a link, with the mode and
// (where allowed) the owner of the file it will replace. -1 on failure.
int CreateTemporary(const std::string& path, std::string& temp) {
    static std::atomic<uint64_t> counter{0};
    struct stat old;
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryFileName(path, ProcessId(), counter++);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        if (replacing) {
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Not allowed to give it away: the file becomes the writer's own.
            }
            ::fchmod(fd, old.st_mode & 07777);
        }
        return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (!(n < 0 && errno == EINTR))
            return false;
    }
    return true;
}

void SyncFolder(const std::string& path) {
    std::string folder = PathFromUtf8(path).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename itself on the disk; failing here does not undo it
    ::close(fd);
}
#endif

bool PortableReplace(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    if (LockHeld(path)) RemoveStaleTemporaries(path);
    std::string temp;
#ifndef _WIN32
    int fd = CreateTemporary(PathFromUtf8(path).string(), temp);
    if (fd < 0) return false;
    // On the disk before the rename makes it the settings file.
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), PathFromUtf8(path).c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
#else
    static std::atomic<uint64_t> counter{0};
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryFileName(path, ProcessId(), counter++);
        if (!fs::exists(fs::symlink_status(PathFromUtf8(temp), ec))) break;
    }
    {
        std::ofstream out(PathFromUtf8(temp), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(PathFromUtf8(temp), ec);
            return false;
        }
    }
    fs::rename(PathFromUtf8(temp), PathFromUtf8(path), ec);
    if (!ec) return true;
    fs::remove(PathFromUtf8(temp), ec);
    return false;
#endif
}

FileReplacer gReplacer = PortableReplace;

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    return gReplacer(path, bytes);
}

FileReplacer SetFileReplacer(FileReplacer replacer) {
    FileReplacer old = gReplacer;
    gReplacer = replacer ? replacer : PortableReplace;
    return old;
}

FileLocker SetFileLocker(FileLocker locker) {
    FileLocker old = gLocker;
    gLocker = locker.acquire && locker.release ? locker : PortableLocker();
    return old;
}
