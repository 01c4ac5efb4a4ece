// The learner's messages in Korean. The sentences end in plain nouns and avoid particles after the
// numbers and names they quote, whose right form depends on how those are read aloud.
#include "app/learn_korean.h"

#include <algorithm>
#include <cstdio>

#include "base/catalogue.h"
#include "base/text_encoding.h"
#include "reader/digit_grid.h"
#include "reader/glyph_pack.h"

namespace {

// Korean names of the 25 stats, as the pages label them.
constexpr const char* kStatNames[kStatCount] = {"방어도",
                                                "공격 속도 %",
                                                "초당 공격 횟수",
                                                "극대화 확률",
                                                "극대화 피해",
                                                "민첩",
                                                "지능",
                                                "힘",
                                                "활력",
                                                "최소 피해",
                                                "최대 피해",
                                                "공격력 %",
                                                "최소 속성 피해",
                                                "최대 속성 피해",
                                                "속성 피해 %",
                                                "생명력 %",
                                                "마법 아이템 발견",
                                                "모든 저항",
                                                "적중 시 생명력 회복",
                                                "최소 무기 공격력",
                                                "최대 무기 공격력",
                                                "무기 공격 속도 %",
                                                "무기 공격력 %",
                                                "초당 공격 횟수 +",
                                                "무기 초당 공격 횟수"};

// The layout values, in the order of the layout file.
constexpr const char* kLayoutNames[kLayoutFieldCount] = {
    "옵션 이름 위치",        "숫자 간격",       "점 간격", "무기 공격력 사이 간격", "물결 찾는 범위",
    "무기 공격력 가로 위치", "무기 공격력 높이"};

std::string N(int n) {
    return std::to_string(n);
}

std::string LayoutName(int field) {
    return field >= 0 && field < kLayoutFieldCount ? kLayoutNames[field] : "배치 값";
}

// Paths as Windows shows them.
std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Place(const LearnPlace& place) {
    const std::string tooltip = place.tooltip.empty() ? std::string() : KoreanTooltipName(place.tooltip);
    std::string spot;
    switch (place.spot) {
        case kSpotNone:
            return tooltip;
        case kSpotTooltip:
            return tooltip.empty() ? "이 툴팁" : tooltip;
        case kSpotLine:
            spot = N(place.line) + "번 줄";
            break;
        case kSpotSpeedLine:
            spot = "초당 공격 횟수 줄";
            break;
        case kSpotDamageLine:
            spot = "무기 공격력 줄";
            break;
        case kSpotKindCaption:
            spot = "종류 이름";
            break;
        case kSpotEmptySocket:
            spot = "빈 홈 줄";
            break;
    }
    return tooltip.empty() ? spot : tooltip + " " + spot;
}

// A refusal: the kept tooltip it is about, then the line, then why.
std::string Refusal(const LearnMessage& m, const std::string& why) {
    std::string out = m.at.tooltip.empty() ? std::string() : KoreanTooltipName(m.at.tooltip) + ": ";
    if (m.at.spot == kSpotLine) out += N(m.at.line) + "번 줄: ";
    return out + why;
}

std::string Cause(const LearnMessage& m) {
    return m.cause.empty() ? std::string() : KoreanText(m.cause[0]);
}

}  // namespace

std::string KoreanText(const LearnMessage& m) {
    const std::string a = N(m.a), b = N(m.b);
    switch (m.code) {
        case kLearnedPicture:
            return KoreanPictureName(m.picture) + ": " + Place(m.at) + "에서 자름" +
                   (m.guessed ? ", 칸 안의 자리는 추정" : "") + (m.replaces ? ", 추정했던 그림을 바꿈" : "");
        case kLearnedLayout:
            return "배치 값 " + LayoutName(m.field) + " = " + a;
        case kDiffersFromPack:
            return KoreanPictureName(m.picture) + ": " + Place(m.at) + "에서 자른 그림이 팩의 그림과 다름";
        case kDiffersFromCut:
            return KoreanPictureName(m.picture) + ": " + Place(m.at) + "에서 자른 그림이 " + Place(m.from) +
                   "에서 자른 그림과 다름";
        case kLayoutDiffers:
            return "배치 값 " + LayoutName(m.field) + ": " + Place(m.at) + "에서 잰 값 " + a + ", 팩의 값 " +
                   b;
        case kNoKindCaption:
            return "툴팁 오른쪽 위에서 회색 종류 이름을 찾지 못함";
        case kTooManyPending:
            return "보류 중인 툴팁은 앞의 " + a + "개만 시도함";
        case kPendingUnreadable:
            return KoreanTooltipName(m.at.tooltip) + ": 읽을 수 없어 건너뜀";
        case kLeftAside:
            return KoreanTooltipName(m.at.tooltip) + ": 이번에는 빼 둠 (" + Cause(m) + ")";
        case kMisread:
            return "설명대로 읽히지 않음" + (m.cause.empty() ? "" : ": " + Cause(m));
        case kKindReadsAs:
            return "종류가 다르게 읽힘: " + KoreanKindName(m.a) + " (설명 " + KoreanKindName(m.b) + ")";
        case kStatReadsAs:
            return KoreanStatName(m.a) + " " + StatValueText(m.got) + " (설명 " + StatValueText(m.want) + ")";
        case kDigitSpacingUnsure:
            return "숫자 간격이 아직 확실하지 않음: 한 수에 같은 숫자가 두 번 나오거나(1120처럼) 여러 툴팁에 "
                   "같은 숫자가 거듭 나오면 정해짐";
        case kPointSpacingUnsure:
            return Place(m.at) + ": 소수점 간격이 아직 확실하지 않음";
        case kTildeSpacingUnsure:
            return Place(m.at) + ": 물결(~) 간격이 아직 확실하지 않음";
        case kPlacedByGuess:
            return Place(m.at) + ": " + m.text +
                   "의 칸 안 자리는 추정: 이미 자리 잡은 숫자 옆에 이 숫자들이 나오는 툴팁을 배우면 정해짐";
        case kCannotPlace:
            return Place(m.at) + ": " + m.text + "의 자리를 아직 숫자 칸에서 정할 수 없음";
        case kNoTooltip:
            return "그림에 툴팁이 없음: 화면이면 201줄 이상의 검은 사각형이, 저장한 툴팁이면 검은 테두리가 "
                   "있어야 함";
        case kNoOptionLine:
            return "툴팁에서 머리표로 시작하는 옵션 줄을 찾지 못함";
        case kBlankBullet:
            return Refusal(m, "팩의 줄 머리표 그림이 비어 있음");
        case kNoBulletLine:
            return Refusal(m, "팩의 줄 머리표로 시작하는 줄이 없음");
        case kNoBulletedLines:
            return Refusal(m, "같은 머리표로 시작하는 줄 " + a + "개를 찾지 못함");
        case kLineCount:
            return Refusal(m, "툴팁의 머리표 줄은 " + a + "개인데 설명한 줄은 " + b + "개");
        case kRowOutOfRange:
            return Refusal(m, "옵션 번호가 범위를 벗어남");
        case kNotANumber:
            return Refusal(m, "'" + m.text + "': 그려진 수가 아님");
        case kNotARange:
            return Refusal(m, "이 옵션은 값이 하나이고 범위(~)가 아님");
        case kCaptionLeft:
            return Refusal(m, "옵션 이름이 팩의 배치보다 왼쪽에서 시작함");
        case kNoSpeedLine:
            return Refusal(m, "옵션 줄 위에서 흰 초당 공격 횟수(" + m.text + ")로 끝나는 줄을 찾지 못함");
        case kSocketsNeedLines:
            return Refusal(m, "빈 홈의 자리를 알 수 있게 옵션 줄도 설명하세요");
        case kSocketCount:
            return Refusal(m, "빈 홈을 " + a + "개 찾았는데 설명은 " + b + "개");
        case kKindOutOfRange:
            return Refusal(m, "아이템 종류는 0에서 12까지");
        case kWeaponNumbers:
            return Refusal(m, "무기의 수는 숫자와 점 하나로만 적어야 함");
        case kLineHeight:
            return Refusal(m, "옵션 줄의 높이를 잴 수 없음");
        case kNoGrid:
            return Refusal(m, "수들이 한 숫자 칸 간격에 맞지 않음: 값을 그려진 그대로 적었는지 확인하세요");
        case kNoRoom:
            return Place(m.at) + ": 줄에 " + m.text + "의 자리가 없음 (그려진 값보다 긺)";
        case kBuiltInMissing:
            return "기본 글자 그림을 불러오지 못함";
        case kPackUnreadable:
            return "글자 팩을 읽을 수 없음: " + Backslashed(m.file);
        case kPackUnwritable:
            return "글자 팩에 쓸 수 없음: " + Backslashed(m.file);
        case kLearnCodeCount:
            break;
    }
    return "알 수 없는 알림 " + N(int(m.code));
}

std::string KoreanPictureName(int index) {
    if (index < 0 || index >= kGlyphCount) return "그림";
    const std::string file = " (" + N(kGlyphInfo[index].resourceId) + ".bmp)";
    if (index == kGlyphBullet) return "줄 머리표" + file;
    if (index == kGlyphEmptySocket) return "빈 홈" + file;
    for (bool white : {false, true}) {
        const std::string colour = white ? "흰 " : "파란 ";
        for (int node = 0; node < kNodes; ++node)
            if (index == DigitIndex(node, white))
                return colour +
                       (node == kPointNode   ? "점"
                        : node == kTildeNode ? "물결(~)"
                                             : "숫자 " + N(node)) +
                       file;
    }
    for (const ItemKind& kind : kItemKinds)
        if (kind.templateIndex == index) return "종류 이름 '" + Utf8(kind.name) + "'" + file;
    for (const StatDescriptor& row : kStatDescriptors)
        if (row.templateIndex == index) return "옵션 이름 '" + Utf8(row.name) + "'" + file;
    return "그림" + file;
}

std::string KoreanTooltipName(const std::string& name) {
    return Backslashed(name) + ".bmp";
}

std::vector<std::string> KoreanPendingLines(const PendingTooltip& p) {
    std::vector<std::string> lines = {KoreanTooltipName(p.name) + (p.leftAside ? ": 이번에는 빼 둠" : "")};
    for (LearnMessage why : p.why) {
        if (why.at.tooltip == p.name) why.at.tooltip.clear();  // the line above names it
        const std::string line = "  " + KoreanText(why);
        if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
    }
    return lines;
}

std::string KoreanMissingText(const PackMissing& missing) {
    std::string out;
    auto list = [&](const std::vector<int>& members, auto name) {
        std::string text;
        for (int m : members) text += (text.empty() ? "" : ", ") + name(m);
        return text;
    };
    for (bool white : {false, true}) {
        const std::string text = list(white ? missing.white : missing.blue, [](int index) {
            for (int node = 0; node < kNodes; ++node)
                if (index == DigitIndex(node, false) || index == DigitIndex(node, true))
                    return node == kPointNode ? std::string("점") : node == kTildeNode ? "물결(~)" : N(node);
            return std::string("?");
        });
        out +=
            std::string(white ? "  흰 글자: " : "  파란 글자: ") + (text.empty() ? "다 있음" : text) + "\r\n";
    }
    if (!missing.marks.empty())
        out += "  표시: " +
               list(missing.marks,
                    [](int index) {
                        return std::string(index == kGlyphBullet        ? "줄 머리표"
                                           : index == kGlyphEmptySocket ? "빈 홈"
                                                                        : "초당 공격 횟수");
                    }) +
               "\r\n";
    // Counted against what tooltips can teach: the captions no option line shows are left out.
    const PackMissing all = MissingFromPack(PackContents());
    out += "  옵션 이름 " + N(int(all.captions.size() - missing.captions.size())) + " / " +
           N(int(all.captions.size())) + ", 종류 " + N(int(all.kinds.size() - missing.kinds.size())) + " / " +
           N(int(all.kinds.size())) + "\r\n";
    if (!missing.layout.empty()) out += "  배치 값: " + list(missing.layout, LayoutName) + "\r\n";
    return out;
}

std::string KoreanStatName(int stat) {
    return stat >= 0 && stat < kStatCount ? kStatNames[stat] : "능력치 " + N(stat);
}

std::string KoreanKindName(int kind) {
    const char16_t* name = KindName(kind);
    return name ? Utf8(name) : "종류 알 수 없음";
}

std::string StatValueText(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", double(v));
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}
