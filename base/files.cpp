// Whole-file reading and writing by UTF-8 path.
#include "base/files.h"

#include <fstream>

namespace {

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
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

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    if (!std::filesystem::exists(p, ec)) return Fail(error, "cannot open file");
    if (std::filesystem::is_directory(p, ec)) return Fail(error, "is a folder, not a file");
    std::ifstream in(p, std::ios::binary);
    if (!in) return Fail(error, "cannot open file");
    bytes.clear();
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        if (bytes.size() + size_t(in.gcount()) > kMaxFileBytes) return Fail(error, "file too large");
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    return in.bad() ? Fail(error, "read error") : true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, "cannot create file");
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return out ? true : Fail(error, "write error");
}
