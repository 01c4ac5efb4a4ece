// Text conversions for the settings file.
#include "base/text_encoding.h"

#include <cstdint>

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) AppendUtf8(out, b);
    return out;
}

CodePageDecoder gDecoder = Latin1ToUtf8;

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the sequence at text[i], 0 when it is not strict UTF-8 (overlong forms, surrogates
// and values above U+10FFFF are refused); the code point goes to `c`.
size_t StrictSequence(std::string_view text, size_t i, uint32_t* c) {
    unsigned char b0 = text[i];
    if (b0 < 0x80) {
        *c = b0;
        return 1;
    }
    size_t n = b0 >= 0xC2 && b0 <= 0xDF ? 2 : b0 >= 0xE0 && b0 <= 0xEF ? 3 : b0 >= 0xF0 && b0 <= 0xF4 ? 4 : 0;
    if (n == 0 || text.size() - i < n) return 0;
    uint32_t v = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        unsigned char b = text[i + k];
        if (!IsContinuation(b)) return 0;
        v = v << 6 | (b & 0x3F);
    }
    static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    *c = v;
    return n;
}

}  // namespace

CodePageDecoder SetCodePageDecoder(CodePageDecoder decoder) {
    CodePageDecoder old = gDecoder;
    gDecoder = decoder ? decoder : Latin1ToUtf8;
    return old;
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    uint32_t c;
    for (size_t i = 0; i < text.size();) {
        size_t n = StrictSequence(text, i, &c);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string BytesToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    // A decoder must hand back UTF-8; whatever it gets wrong is made safe here.
    return SanitiseUtf8(gDecoder(bytes));
}

std::string SanitiseUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    uint32_t c;
    for (size_t i = 0; i < text.size();) {
        size_t n = StrictSequence(text, i, &c);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string_view CutToUtf16Units(std::string_view utf8, size_t maxUnits) {
    size_t units = 0, i = 0;
    while (i < utf8.size()) {
        unsigned char b = utf8[i];
        size_t n = 1;
        if (b >= 0xC0) {
            n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            if (n > utf8.size() - i) n = 1;
        }
        size_t u = n == 4 ? 2 : 1;
        if (units + u > maxUnits) break;
        units += u;
        i += n;
    }
    return utf8.substr(0, i);
}

std::string Utf16LeToText(std::string_view bytes, std::string* oddByte) {
    std::string out;
    out.reserve(bytes.size());
    size_t count = bytes.size() / 2;
    auto unit = [&](size_t k) {
        return uint32_t(uint8_t(bytes[2 * k])) | uint32_t(uint8_t(bytes[2 * k + 1])) << 8;
    };
    for (size_t k = 0; k < count; ++k) {
        uint32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < count) {
            uint32_t low = unit(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, u);  // an unpaired surrogate keeps its three-byte form
    }
    if (oddByte) *oddByte = bytes.size() % 2 ? std::string(1, bytes.back()) : std::string();
    return out;
}

std::string TextToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&](uint32_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    for (size_t i = 0; i < text.size();) {
        unsigned char b0 = text[i];
        size_t n = b0 < 0x80 ? 1 : b0 >= 0xF0 && b0 <= 0xF7 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 0;
        bool whole = n != 0 && n <= text.size() - i;
        for (size_t k = 1; whole && k < n; ++k) whole = IsContinuation(text[i + k]);
        if (!whole) {
            put(0xFFFD);
            ++i;
            continue;
        }
        uint32_t c = n == 1 ? b0 : b0 & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) c = c << 6 | (uint8_t(text[i + k]) & 0x3F);
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
        i += n;
    }
    return out;
}
