// Whole-file reading and writing by UTF-8 path.
#include "base/files.h"

#include <cerrno>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

std::string SizeText(uint64_t bytes) {
    return bytes >= (uint64_t(1) << 20) ? std::to_string(bytes >> 20) + " MB"
                                        : std::to_string(bytes) + " bytes";
}

bool TooLarge(std::string& error, uint64_t maxBytes) {
    error = "file too large (over " + SizeText(maxBytes) + ")";
    return false;
}

#ifdef _WIN32
// Whether the file's folder lists it. Windows cannot tell the status of some files it lists (a
// FIFO made by another system on a shared drive): those are there, just not regular files.
bool ListedByItsFolder(const std::filesystem::path& p) {
    std::error_code ec;
    const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : ".";
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename() == p.filename()) return true;
    return false;
}
#endif

template <typename Bytes>
bool ReadRegular(const std::string& path, Bytes& bytes, std::string& error, uint64_t maxBytes,
                 size_t extraCapacity) {
    bytes.clear();
#ifndef _WIN32
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    int fd = ::open(PathFromUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Fail(error, "cannot open file");
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return Fail(error, folder ? "is a folder, not a file" : "not a regular file");
    }
    if (uint64_t(st.st_size) > maxBytes) {
        ::close(fd);
        return TooLarge(error, maxBytes);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.reserve(size_t(st.st_size) + extraCapacity);
    char chunk[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return Fail(error, "read error");
        }
        if (n == 0) break;
        if (bytes.size() + size_t(n) > maxBytes) {  // grew while being read
            ::close(fd);
            return TooLarge(error, maxBytes);
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return true;
#else
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    const std::filesystem::file_status status = std::filesystem::status(p, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return Fail(error, ListedByItsFolder(p) ? "not a regular file" : "cannot open file");
    if (status.type() == std::filesystem::file_type::directory) return Fail(error, "is a folder, not a file");
    if (ec || status.type() != std::filesystem::file_type::regular) return Fail(error, "not a regular file");
    const uint64_t size = std::filesystem::file_size(p, ec);
    if (ec) return Fail(error, "cannot open file");
    if (size > maxBytes) return TooLarge(error, maxBytes);
    std::ifstream in(p, std::ios::binary);
    if (!in) return Fail(error, "cannot open file");
    bytes.reserve(size_t(size) + extraCapacity);
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        if (bytes.size() + size_t(in.gcount()) > maxBytes) return TooLarge(error, maxBytes);
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    return in.bad() ? Fail(error, "read error") : true;
#endif
}

}  // namespace

std::filesystem::path PathFromUtf8(const std::string& path) {
    try {
        return std::filesystem::path(
            std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
    } catch (...) {
        return {};  // not UTF-8: no file has that name, and opening the empty path fails
    }
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   uint64_t maxBytes) {
    return ReadRegular(path, bytes, error, maxBytes, 0);
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error, uint64_t maxBytes,
                   size_t extraCapacity) {
    return ReadRegular(path, bytes, error, maxBytes, extraCapacity);
}

bool CheckWritablePath(const std::string& path, std::string& error) {
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    switch (std::filesystem::status(p, ec).type()) {
        case std::filesystem::file_type::not_found:
#ifdef _WIN32
            if (ListedByItsFolder(p)) return Fail(error, "not a regular file");
#endif
            return true;
        case std::filesystem::file_type::regular:
            return true;
        case std::filesystem::file_type::directory:
            return Fail(error, "is a folder, not a file");
        case std::filesystem::file_type::none:
            return Fail(error, "cannot open file");
        default:
            return Fail(error, "not a regular file");
    }
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    if (!CheckWritablePath(path, error)) return false;
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, "cannot create file");
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return out ? true : Fail(error, "write error");
}
