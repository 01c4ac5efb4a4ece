// The image folder's text and the numbered picture names.
#include "app/image_names.h"

#include <cstdio>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string NormaliseFolderText(std::string_view folder) {
    if (folder.empty()) return {};
    size_t end = folder.size();
    while (end > 1 && IsSeparator(folder[end - 1])) --end;
    std::string text(folder.substr(0, end));
    if (text.size() == 1 && IsSeparator(text[0])) return "\\";
    // "C:" alone means the current folder of drive C to the system; the user means its root.
    if (text.size() == 2 && IsDriveLetter(text[0]) && text[1] == ':') text += '\\';
    return text;
}

std::string JoinFolderPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || !IsSeparator(path.back())) path += '\\';
    path += name;
    return path;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++units;  // a lead byte starts a character
        if ((c & 0xF8) == 0xF0) ++units;  // four-byte characters need a surrogate pair
    }
    return units;
}

std::optional<std::string> NextImageFileName(std::string_view folder, bool bmp, const FileProbe& exists) {
    // Every name has the same length, so one check covers them all.
    const std::string longest = JoinFolderPath(folder, "D3Item_0000.bmp");
    if (folder.empty() || Utf16Length(longest) >= kMaxPathUnits) return std::nullopt;
    for (int n = 1; n <= kImageNumberLimit; ++n) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "D3Item_%04d", n);
        // Any extension blocks the number, so BMP and JPEG saves share one sequence.
        if (exists(JoinFolderPath(folder, std::string(stem) + ".*"))) continue;
        return JoinFolderPath(folder, std::string(stem) + (bmp ? ".bmp" : ".jpg"));
    }
    return std::nullopt;
}
