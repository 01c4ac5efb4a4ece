// Kept captures of failed reads, beside the action log.
#include "app/failed_captures.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"

namespace fs = std::filesystem;

namespace {

constexpr char kInfix[] = "-failed-";
constexpr char kExtension[] = ".bmp";

std::string Utf8(const std::u8string& text) {
    return std::string(text.begin(), text.end());
}

// The kept captures' file names start with this: the log's file name without its extension.
std::string NamePrefix(const fs::path& log) {
    return Utf8(log.stem().u8string()) + kInfix;
}

// The number in a kept capture's file name, or -1 when the name is not one of them.
long long NumberOf(const std::string& name, const std::string& prefix) {
    const size_t extension = sizeof kExtension - 1;
    if (name.size() <= prefix.size() + extension || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - extension, extension, kExtension) != 0)
        return -1;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - extension);
    if (digits.size() > 9) return -1;
    long long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string NumberText(long long number) {
    char text[24];
    std::snprintf(text, sizeof text, "%04lld", number);
    return text;
}

// Writes the next picture and prunes the old ones; see KeepFailedCapture.
std::string Keep(const std::string& logPath, const PixelBuffer& capture, std::string& error, int keep) {
    if (ReadableCount(capture) <= 0) return error = "no capture", std::string();
    const fs::path log = PathFromUtf8(logPath);
    const std::string prefix = NamePrefix(log);
    const fs::path folder = log.parent_path().empty() ? fs::path(".") : log.parent_path();

    struct Kept {
        long long number;
        fs::path path;
    };
    std::vector<Kept> kept;  // the files; anything else of that name only moves the numbering on
    long long next = 1;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long long n = NumberOf(Utf8(it->path().filename().u8string()), prefix);
        if (n < 0) continue;
        next = std::max(next, n + 1);
        std::error_code type;
        if (it->is_regular_file(type)) kept.push_back({n, it->path()});
    }
    if (next > 999999999) return error = "kept captures numbered to the end", std::string();

    const std::string path =
        Utf8((log.parent_path() / PathFromUtf8(prefix + NumberText(next) + kExtension)).u8string());
    if (!WriteFileBytes(path, EncodeBmp24(capture), error)) {
        error = path + ": " + error;
        std::error_code ignored;
        fs::remove(PathFromUtf8(path), ignored);  // no half-written picture left behind
        return std::string();
    }
    // The new one counts among those kept: delete the lowest numbers beyond `keep`.
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.number < b.number; });
    const size_t total = kept.size() + 1, limit = size_t(std::max(keep, 1));
    for (size_t i = 0; total > limit && i < total - limit && i < kept.size(); ++i) {
        std::error_code ignored;
        fs::remove(kept[i].path, ignored);
    }
    return path;
}

}  // namespace

std::string FailedCapturePath(const std::string& logPath, int number) {
    const fs::path log = PathFromUtf8(logPath);
    return Utf8(
        (log.parent_path() / PathFromUtf8(NamePrefix(log) + NumberText(number) + kExtension)).u8string());
}

std::string KeepFailedCapture(const std::string& logPath, const PixelBuffer& capture, std::string& error,
                              int keep) {
    static std::mutex mutex;  // two failed actions at once must not take the same number
    std::lock_guard<std::mutex> hold(mutex);
    // Keeping the picture is a help, never a reason for the action (or the program) to fail.
    try {
        return Keep(logPath, capture, error, keep);
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "cannot keep the capture";
    }
    return std::string();
}
