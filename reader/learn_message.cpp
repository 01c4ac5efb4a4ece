// The learner's messages in English, as the command line prints them.
#include "reader/learn_message.h"

#include "base/catalogue.h"
#include "base/text_encoding.h"
#include "reader/glyph_pack.h"

namespace {

std::string Where(const LearnPlace& place) {
    std::string spot;
    switch (place.spot) {
        case kSpotNone:
            return place.tooltip;
        case kSpotLine:
            spot = "line " + std::to_string(place.line);
            break;
        case kSpotSpeedLine:
            spot = "the attacks-per-second line";
            break;
        case kSpotDamageLine:
            spot = "the damage line";
            break;
        case kSpotTooltip:
            spot = "this tooltip";
            break;
        case kSpotKindCaption:
            spot = "the kind caption";
            break;
        case kSpotEmptySocket:
            spot = "an empty socket";
            break;
    }
    return place.tooltip.empty() ? spot : place.tooltip + ", " + spot;
}

// A refusal: the kept tooltip it is about, then the line, then why.
std::string Refusal(const LearnMessage& m, const std::string& why) {
    std::string out = m.at.tooltip.empty() ? std::string() : m.at.tooltip + ": ";
    if (m.at.spot == kSpotLine) out += "line " + std::to_string(m.at.line) + ": ";
    return out + why;
}

std::string Layout(int field) {
    return std::string("layout ") + LayoutFieldName(field);
}

std::string Cause(const LearnMessage& m) {
    return m.cause.empty() ? std::string() : MessageText(m.cause[0]);
}

}  // namespace

std::string MessageText(const LearnMessage& m) {
    const std::string a = std::to_string(m.a), b = std::to_string(m.b);
    switch (m.code) {
        case kLearnedPicture:
            return PictureName(m.picture) + " from " + Where(m.at) +
                   (m.guessed ? ", placed in its cell by a guess" : "") +
                   (m.replaces ? " (replaces an earlier guess)" : "");
        case kLearnedLayout:
            return Layout(m.field) + " = " + a;
        case kDiffersFromPack:
            return PictureName(m.picture) + " cut from " + Where(m.at) + " differs from the one in the pack";
        case kDiffersFromCut:
            return PictureName(m.picture) + " cut from " + Where(m.at) + " differs from the one cut from " +
                   Where(m.from);
        case kLayoutDiffers:
            return Layout(m.field) + " measures " + a + " on " + Where(m.at) + ", the pack has " + b;
        case kNoKindCaption:
            return "no grey kind caption in the tooltip's upper-right quarter";
        case kTooManyPending:
            return "only the first " + a + " kept tooltips are tried";
        case kPendingUnreadable:
            return m.at.tooltip + " cannot be read and is passed over: " + m.text;
        case kLeftAside:
            return m.at.tooltip + " is left aside this time: " + Cause(m);
        case kMisread:
            return "it does not read back as described" + (m.cause.empty() ? "" : " (" + Cause(m) + ")");
        case kKindReadsAs:
            return "the kind reads as " + a + ", described " + b;
        case kStatReadsAs:
            return "stat " + a + " reads as " + std::to_string(m.got) + ", described " +
                   std::to_string(m.want);
        case kDigitSpacingUnsure:
            return "the digit spacing is not certain yet: it is once a number repeats a digit (like 1120) or "
                   "digits recur across the tooltips taught";
        case kPointSpacingUnsure:
            return Where(m.at) + ": the decimal point's spacing is not certain yet";
        case kTildeSpacingUnsure:
            return Where(m.at) + ": the tilde's spacing is not certain yet";
        case kPlacedByGuess:
            return Where(m.at) + ": where " + m.text +
                   " stands in its cells is a guess until another tooltip shows its digits beside digits "
                   "already placed";
        case kCannotPlace:
            return Where(m.at) + ": " + m.text + " cannot be placed on the digit grid yet";
        case kNoTooltip:
            return "no tooltip in the picture: neither a black rectangle of at least 201 rows on a screen "
                   "nor a "
                   "saved tooltip with black edges";
        case kNoOptionLine:
            return "no bulleted option line in the tooltip";
        case kBlankBullet:
            return Refusal(m, "the pack's bullet picture is blank");
        case kNoBulletLine:
            return Refusal(m, "no line begins with the pack's bullet");
        case kNoBulletedLines:
            return Refusal(m, "found no " + a + " lines beginning with the same bullet");
        case kLineCount:
            return Refusal(m, "the tooltip shows " + a + " bulleted lines, " + b + " described");
        case kRowOutOfRange:
            return Refusal(m, "row out of range");
        case kNotANumber:
            return Refusal(m, "'" + m.text + "' is not a number as drawn");
        case kNotARange:
            return Refusal(m, "this row has one value, not a range");
        case kCaptionLeft:
            return Refusal(m, "the caption starts left of where the pack's layout puts it");
        case kNoSpeedLine:
            return Refusal(m, "no line above the options ends in the white attacks per second " + m.text);
        case kSocketsNeedLines:
            return Refusal(m, "describe the option lines too, so that the sockets' column is known");
        case kSocketCount:
            return Refusal(m, "found " + a + " empty sockets, " + b + " described");
        case kKindOutOfRange:
            return Refusal(m, "the item kind must be 0..12");
        case kWeaponNumbers:
            return Refusal(m, "the weapon's numbers must be digits with an optional point");
        case kLineHeight:
            return Refusal(m, "the option lines' height cannot be measured");
        case kNoGrid:
            return Refusal(m, "the numbers do not stand on one digit grid");
        case kNoRoom:
            return Where(m.at) + ": the line has no room for " + m.text + " as described";
        case kBuiltInMissing:
            return "the built-in pictures are not loaded";
        case kPackUnreadable:
        case kPackUnwritable:
            return m.text;
        case kLearnCodeCount:
            break;
    }
    return "message " + std::to_string(int(m.code));
}

std::vector<std::string> MessageTexts(const std::vector<LearnMessage>& messages) {
    std::vector<std::string> texts;
    for (const LearnMessage& m : messages) texts.push_back(MessageText(m));
    return texts;
}

std::string ReasonsText(const std::vector<LearnMessage>& reasons) {
    std::string out;
    for (const LearnMessage& m : reasons) out += (out.empty() ? "" : "; ") + MessageText(m);
    return out;
}

std::string PendingText(const PendingTooltip& p) {
    if (p.leftAside && !p.why.empty()) return p.name + ": left aside, " + MessageText(p.why[0]);
    return p.why.empty() ? p.name : p.name + ": " + ReasonsText(p.why);
}

std::string PictureName(int index) {
    const std::string file = " (" + std::to_string(kGlyphInfo[index].resourceId) + ".bmp)";
    auto colour = [](bool white) { return std::string(white ? "white " : "blue "); };
    if (index == kGlyphBullet) return "bullet" + file;
    if (index == kGlyphEmptySocket) return "empty socket caption" + file;
    if (index == kStatDescriptors[kAttacksPerSecondRow].templateIndex)
        return "attacks-per-second caption" + file;
    for (bool white : {false, true}) {
        const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        if (index >= digit0 && index < digit0 + 10)
            return colour(white) + "digit " + std::to_string(index - digit0) + file;
        if (index == (white ? kGlyphWhitePoint : kGlyphBluePoint)) return colour(white) + "point" + file;
        if (index == (white ? kGlyphWhiteTilde : kGlyphBlueTilde)) return colour(white) + "tilde" + file;
    }
    for (const ItemKind& kind : kItemKinds)
        if (kind.templateIndex == index) return "kind caption " + Utf8(kind.name) + file;
    for (const StatDescriptor& row : kStatDescriptors)
        if (row.templateIndex == index) return "caption " + Utf8(row.name) + file;
    return "picture" + file;
}

LearnMessage PackFailure(LearnCode code, const std::string& folder, const std::string& detail) {
    LearnMessage m;
    m.code = code;
    m.text = detail;
    const size_t end =
        detail.compare(0, folder.size(), folder) == 0 ? detail.find(": ", folder.size()) : std::string::npos;
    m.file = end == std::string::npos ? folder : detail.substr(0, end);
    return m;
}
