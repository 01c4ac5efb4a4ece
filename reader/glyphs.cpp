// The Glyph Template set: which pictures exist, their sizes and colours, and loading them.
#include "reader/glyphs.h"

#include "base/bmp.h"

// clang-format off
const GlyphInfo kGlyphInfo[kGlyphCount] = {
    {101, 2, 10, kBlue},  // 0
    {120, 9, 10, kBlue},  // 1
    {122, 9, 10, kBlue},  // 2
    {124, 9, 10, kBlue},  // 3
    {126, 9, 10, kBlue},  // 4
    {128, 9, 10, kBlue},  // 5
    {130, 9, 10, kBlue},  // 6
    {132, 9, 10, kBlue},  // 7
    {134, 9, 10, kBlue},  // 8
    {136, 9, 10, kBlue},  // 9
    {138, 9, 10, kBlue},  // 10
    {208, 4, 11, kBlue},  // 11
    {211, 8, 10, kBlue},  // 12
    {119, 9, 10, kWhite},  // 13
    {121, 9, 10, kWhite},  // 14
    {123, 9, 10, kWhite},  // 15
    {125, 9, 10, kWhite},  // 16
    {127, 9, 10, kWhite},  // 17
    {129, 9, 10, kWhite},  // 18
    {131, 9, 10, kWhite},  // 19
    {133, 9, 10, kWhite},  // 20
    {135, 9, 10, kWhite},  // 21
    {137, 9, 10, kWhite},  // 22
    {207, 4, 11, kWhite},  // 23
    {210, 8, 10, kWhite},  // 24
    {0, 0, 0, 0},  // 25: not carried
    {0, 0, 0, 0},  // 26: not carried
    {0, 0, 0, 0},  // 27: not carried
    {0, 0, 0, 0},  // 28: not carried
    {0, 0, 0, 0},  // 29: not carried
    {0, 0, 0, 0},  // 30: not carried
    {0, 0, 0, 0},  // 31: not carried
    {0, 0, 0, 0},  // 32: not carried
    {0, 0, 0, 0},  // 33: not carried
    {0, 0, 0, 0},  // 34: not carried
    {0, 0, 0, 0},  // 35: not carried
    {204, 30, 11, kGrey},  // 36
    {261, 104, 10, kBlue},  // 37
    {113, 54, 10, kBlue},  // 38
    {114, 63, 10, kBlue},  // 39
    {115, 77, 10, kBlue},  // 40
    {116, 77, 10, kBlue},  // 41
    {177, 40, 10, kBlue},  // 42
    {182, 40, 10, kBlue},  // 43
    {143, 72, 10, kBlue},  // 44
    {236, 72, 10, kBlue},  // 45
    {184, 26, 10, kBlue},  // 46
    {118, 40, 10, kBlue},  // 47
    {117, 40, 10, kBlue},  // 48
    {238, 54, 10, kBlue},  // 49
    {237, 141, 10, kBlue},  // 50
    {235, 104, 10, kBlue},  // 51
    {139, 77, 10, kWhite},  // 52
    {140, 40, 10, kWhite},  // 53
    {141, 40, 10, kWhite},  // 54
    {142, 26, 10, kWhite},  // 55
    {146, 56, 11, kGrey},  // 56
    {147, 55, 10, kGrey},  // 57
    {112, 56, 12, kGrey},  // 58
    {194, 19, 14, kGrey},  // 59
    {200, 34, 13, kGrey},  // 60
    {196, 26, 10, kGrey},  // 61
    {202, 23, 13, kGrey},  // 62
    {191, 26, 10, kGrey},  // 63
    {193, 13, 14, kGrey},  // 64
    {197, 26, 9, kGrey},  // 65
    {201, 25, 13, kGrey},  // 66
    {192, 11, 14, kGrey},  // 67
    {195, 6, 13, kGrey},  // 68
    {255, 86, 10, kBlue},  // 69
    {251, 118, 10, kBlue},  // 70
    {253, 118, 10, kBlue},  // 71
    {250, 118, 10, kBlue},  // 72
    {249, 118, 10, kBlue},  // 73
    {254, 118, 10, kBlue},  // 74
    {252, 104, 10, kBlue},  // 75
    {259, 63, 10, kBlue},  // 76
    {256, 63, 10, kBlue},  // 77
    {248, 63, 10, kBlue},  // 78
    {257, 63, 10, kBlue},  // 79
    {258, 63, 10, kBlue},  // 80
    {260, 49, 10, kBlue},  // 81
    {232, 104, 10, kWhite},  // 82
    {262, 105, 10, kWhite},  // 83
    {233, 118, 10, kWhite},  // 84
    {234, 40, 10, kWhite},  // 85
    {240, 141, 10, kWhite},  // 86
    {239, 54, 10, kWhite},  // 87
    {231, 30, 14, kBlue},  // 88
    {0, 0, 0, 0},  // 89: not carried
    {0, 0, 0, 0},  // 90: not carried
    {0, 0, 0, 0},  // 91: not carried
    {0, 0, 0, 0},  // 92: not carried
    {0, 0, 0, 0},  // 93: not carried
    {0, 0, 0, 0},  // 94: not carried
    {0, 0, 0, 0},  // 95: not carried
    {0, 0, 0, 0},  // 96: not carried
    {0, 0, 0, 0},  // 97: not carried
    {0, 0, 0, 0},  // 98: not carried
    {0, 0, 0, 0},  // 99: not carried
    {0, 0, 0, 0},  // 100: not carried
    {0, 0, 0, 0},  // 101: not carried
    {0, 0, 0, 0},  // 102: not carried
    {0, 0, 0, 0},  // 103: not carried
    {0, 0, 0, 0},  // 104: not carried
    {0, 0, 0, 0},  // 105: not carried
    {0, 0, 0, 0},  // 106: not carried
    {0, 0, 0, 0},  // 107: not carried
    {0, 0, 0, 0},  // 108: not carried
    {0, 0, 0, 0},  // 109: not carried
    {0, 0, 0, 0},  // 110: not carried
    {0, 0, 0, 0},  // 111: not carried
    {0, 0, 0, 0},  // 112: not carried
    {0, 0, 0, 0},  // 113: not carried
    {0, 0, 0, 0},  // 114: not carried
    {0, 0, 0, 0},  // 115: not carried
    {0, 0, 0, 0},  // 116: not carried
};
// clang-format on

namespace {
GlyphPack gBuiltIn;
}  // namespace

const PixelBuffer& GlyphPack::Template(int index) const {
    static const PixelBuffer kNone;
    return index >= 0 && index < kGlyphCount ? templates[index] : kNone;
}

const GlyphPack& BuiltInPack() {
    return gBuiltIn;
}

bool LoadGlyphTemplates(GlyphSource source, std::string& error) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kGlyphCount; ++i) {
        const GlyphInfo& info = kGlyphInfo[i];
        if (info.resourceId == 0) continue;
        std::string why;
        PixelBuffer picture;
        if (!source(info.resourceId, bytes)) {
            error = "glyph " + std::to_string(info.resourceId) + ".bmp is missing";
            return false;
        }
        if (!DecodeBmp(bytes.data(), bytes.size(), picture, why)) {
            error = "glyph " + std::to_string(info.resourceId) + ".bmp: " + why;
            return false;
        }
        if (picture.width != info.width || picture.height != info.height) {
            error = "glyph " + std::to_string(info.resourceId) + ".bmp has the wrong size";
            return false;
        }
        gBuiltIn.templates[i] = std::move(picture);
    }
    return true;
}

const PixelBuffer& GlyphTemplate(int index) {
    return gBuiltIn.Template(index);
}
