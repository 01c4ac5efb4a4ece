// The glyph pack dialog's form and texts.
#include "app/learn_form.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/learn_korean.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "base/text_encoding.h"
#include "reader/pack_learn.h"

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Number(int n) {
    return std::to_string(n);
}

bool IsCount(const std::string& text, int& n) {
    if (text.empty()) return n = 0, true;
    if (text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    n = std::stoi(text);
    return n <= 20;
}

std::string Lines(const std::string& title, const std::vector<std::string>& lines) {
    if (lines.empty()) return {};
    std::string out = title + "\r\n";
    for (const std::string& line : lines) out += "  " + line + "\r\n";
    return out;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator = ", ") {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

std::vector<std::string> Korean(const std::vector<LearnMessage>& messages) {
    std::vector<std::string> texts;
    for (const LearnMessage& m : messages) texts.push_back(KoreanText(m));
    return texts;
}

// The pictures a folder gained, named for the player, and how many layout values it learned.
std::vector<std::string> LearnedNames(const PackContents& before, const PackContents& after) {
    auto gained = [&](int index) { return after.picture[index] && !before.picture[index]; };
    std::vector<std::string> names;
    for (bool white : {false, true}) {
        const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        std::vector<std::string> parts;
        for (int d = 0; d < 10; ++d)
            if (gained(digit0 + d)) parts.push_back(Number(d));
        if (gained(white ? kGlyphWhitePoint : kGlyphBluePoint)) parts.push_back("점");
        if (gained(white ? kGlyphWhiteTilde : kGlyphBlueTilde)) parts.push_back("물결(~)");
        if (!parts.empty()) names.push_back(std::string(white ? "흰 글자: " : "파란 글자: ") + Joined(parts));
    }
    std::vector<std::string> marks, captions, kinds;
    if (gained(kGlyphBullet)) marks.push_back("줄 머리표");
    if (gained(kGlyphEmptySocket)) marks.push_back("빈 홈");
    for (int r = 0; r < kDescriptorCount; ++r)
        if (gained(kStatDescriptors[r].templateIndex) &&
            std::none_of(kStatDescriptors, kStatDescriptors + r, [&](const StatDescriptor& o) {
                return o.templateIndex == kStatDescriptors[r].templateIndex;
            }))
            captions.push_back(Utf8(kStatDescriptors[r].name));
    for (const ItemKind& kind : kItemKinds)
        if (gained(kind.templateIndex)) kinds.push_back(Utf8(kind.name));
    if (!captions.empty()) names.push_back("옵션 이름: " + Joined(captions));
    if (!kinds.empty()) names.push_back("종류: " + Joined(kinds));
    if (!marks.empty()) names.push_back(Joined(marks));
    const int layout = std::popcount(after.layoutFields & ~before.layoutFields);
    if (layout > 0) names.push_back("글자 간격과 배치 값 " + Number(layout) + "개");
    return names;
}

// The stats where the read-back differs from the description.
std::vector<std::string> Differences(const ItemRecord& got, const ItemRecord& want) {
    std::vector<std::string> out;
    if (got.kind != want.kind) {
        const char16_t* name = KindName(got.kind);
        out.push_back("종류: " + (name ? Utf8(name) : std::string("알 수 없음")));
    }
    for (int s = 0; s < kStatCount; ++s)
        if (got.stats[s] != want.stats[s])
            out.push_back(KoreanStatName(s) + " " + StatValueText(got.stats[s]) + " (설명 " +
                          StatValueText(want.stats[s]) + ")");
    return out;
}

}  // namespace

LearnForm FormFromGuess(const TooltipGuess& guess) {
    LearnForm form;
    const LearnTooltip& w = guess.what;
    form.kind = w.kind >= 0 && w.kind < kKindCount ? w.kind : -1;
    form.lineCount = int(w.lines.size());
    for (int i = 0; i < std::min(form.lineCount, kLearnRows); ++i) {
        const int row = w.lines[size_t(i)].row;
        form.rows[i] = row >= 0 && row < kDescriptorCount ? row : -1;
        form.values[i] = w.lines[size_t(i)].text;
    }
    if (w.weapon) {
        form.attacksPerSecond = w.attacksPerSecond;
        if (!w.minDamage.empty() || !w.maxDamage.empty()) form.damage = w.minDamage + "~" + w.maxDamage;
    }
    form.emptySockets = Number(w.emptySockets);
    return form;
}

bool DescribeForm(const LearnForm& form, LearnTooltip& what, std::string& problem) {
    what = LearnTooltip();
    if (form.lineCount <= 0) return problem = "툴팁에서 옵션 줄을 찾지 못해 배울 수 없습니다.", false;
    if (form.kind < 0 || form.kind >= kKindCount) return problem = "아이템 종류를 고르세요.", false;
    what.kind = form.kind;
    for (int i = 0; i < form.lineCount; ++i) {
        LearnLine line;
        if (i < kLearnRows && form.rows[i] >= 0) {
            line.row = form.rows[i];
            line.text = Trim(form.values[i]);
            if (line.text.empty()) return problem = Number(i + 1) + "번 줄: 값을 적으세요.", false;
        }
        what.lines.push_back(line);
    }
    if (IsWeaponKind(form.kind)) {
        const std::string aps = Trim(form.attacksPerSecond), damage = Trim(form.damage);
        if (!aps.empty() || !damage.empty()) {
            const size_t tilde = damage.find('~');
            if (aps.empty() || tilde == std::string::npos || tilde == 0 || tilde + 1 == damage.size())
                return problem = "무기는 초당 공격 횟수(1.40)와 무기 공격력(712~1039)을 함께 적으세요.",
                       false;
            what.weapon = true;
            what.attacksPerSecond = aps;
            what.minDamage = Trim(damage.substr(0, tilde));
            what.maxDamage = Trim(damage.substr(tilde + 1));
        }
    }
    if (!IsCount(Trim(form.emptySockets), what.emptySockets))
        return problem = "빈 홈 수는 0에서 20까지의 수로 적으세요.", false;
    return true;
}

int FormFields(const LearnForm& form) {
    int fields = 2;  // the kind and the empty sockets
    for (int i = 0; i < std::min(form.lineCount, kLearnRows); ++i) fields += form.rows[i] >= 0 ? 2 : 1;
    if (IsWeaponKind(form.kind)) fields += 2;
    return fields;
}

int FieldsFilled(const LearnForm& form) {
    int n = form.kind >= 0;
    for (int i = 0; i < std::min(form.lineCount, kLearnRows); ++i)
        if (form.rows[i] >= 0) n += 1 + !Trim(form.values[i]).empty();
    if (IsWeaponKind(form.kind)) n += !Trim(form.attacksPerSecond).empty() + !Trim(form.damage).empty();
    int sockets = 0;
    const std::string socketText = Trim(form.emptySockets);
    n += !socketText.empty() && IsCount(socketText, sockets);
    return n;
}

int FieldsByHand(const LearnForm& guessed, const LearnForm& described) {
    int n = guessed.kind != described.kind;
    for (int i = 0; i < std::min(described.lineCount, kLearnRows); ++i) {
        n += guessed.rows[i] != described.rows[i];
        if (described.rows[i] >= 0) n += Trim(guessed.values[i]) != Trim(described.values[i]);
    }
    if (IsWeaponKind(described.kind)) {
        n += Trim(guessed.attacksPerSecond) != Trim(described.attacksPerSecond);
        n += Trim(guessed.damage) != Trim(described.damage);
    }
    int a = -1, b = -2;
    n += !(IsCount(Trim(guessed.emptySockets), a) && IsCount(Trim(described.emptySockets), b) && a == b);
    return n;
}

std::string IntroText(const LearnSource& source, const LearnForm& guessed, const std::string& guessError) {
    const std::string size = Number(source.screenWidth) + "x" + Number(source.screenHeight);
    std::string out;
    if (source.openedFile) {
        out += "그림: " + source.file + "\r\n";
        out += "연 그림은 지금 주 모니터의 크기 " + size + "의 팩으로 배웁니다.\r\n";
        if (source.pictureWidth > source.screenWidth || source.pictureHeight > source.screenHeight)
            out += "주의: 그림(" + Number(source.pictureWidth) + "x" + Number(source.pictureHeight) +
                   ")이 주 모니터보다 큽니다. 그 화면에서 단축키로 캡처해 배우세요.\r\n";
    } else {
        out += "그림: 마지막 단축키 캡처의 툴팁 (" + size + " 화면)\r\n";
    }
    if (!source.packError.empty()) out += source.packError + " (기본 글자로 읽음)\r\n";
    out += "글자 팩: " + source.folder +
           (source.packPictures > 0 ? " (그림 " + Number(source.packPictures) + "개)"
                                    : " (아직 없음, 기본 글자로 읽음)") +
           "\r\n\r\n";
    if (!guessError.empty()) return out + "툴팁을 읽지 못했습니다: " + guessError + "\r\n";
    out += "옵션 줄 " + Number(guessed.lineCount) + "개, 미리 채운 칸 " + Number(FieldsFilled(guessed)) +
           " / " + Number(FormFields(guessed)) + "\r\n";
    if (guessed.lineCount > kLearnRows)
        out += "줄이 " + Number(kLearnRows) + "개를 넘습니다: 나머지 줄은 모르는 줄로 넘깁니다.\r\n";
    out +=
        "그림의 번호가 줄 번호입니다. 줄마다 옵션과 값(그려진 그대로: 82, 9.5, 107~346)을 확인하고 "
        "\"배우기\"를 누르세요.\r\n";
    return out;
}

std::string TeachText(const LearnSource& source, const TeachOutcome& outcome, const PackContents& before,
                      const PackContents& after, const LearnTooltip& what, int byHand, int fields) {
    std::string out = "배운 팩: " + source.folder + "\r\n";
    if (source.openedFile)
        out += "(연 그림이라 주 모니터 크기 " + Number(source.screenWidth) + "x" +
               Number(source.screenHeight) + "로 배움)\r\n";
    out += "손으로 채운 칸: " + Number(byHand) + " / " + Number(fields) + "\r\n\r\n";
    const std::vector<std::string> learned = LearnedNames(before, after);
    out += learned.empty() ? "새로 배운 것 없음\r\n" : Lines("배운 것:", learned);
    out += Lines("어긋난 것 (팩에 있던 그림을 그대로 둠):", Korean(outcome.report.disagreements));
    out += Lines("이 툴팁에서 배우지 못한 것:", Korean(outcome.report.notes));
    std::vector<std::string> pending, settled;
    for (const PendingTooltip& p : outcome.pending) {
        const std::vector<std::string> lines = KoreanPendingLines(p);
        pending.insert(pending.end(), lines.begin(), lines.end());
    }
    for (const std::string& name : outcome.settled) settled.push_back(KoreanTooltipName(name));
    out += Lines("보류 중인 툴팁 (다음 툴팁이 글자 간격을 정하면 배움):", pending);
    out += Lines("보류했다가 이번에 배운 툴팁:", settled);
    out += "\r\n팩에 아직 없는 것:\r\n" + KoreanMissingText(outcome.missing);
    // The learner writes nothing when the tooltip, learned as described, would not read back so.
    if (!outcome.fits)
        return out + "\r\n" +
               Lines("설명대로 배우면 설명과 다르게 읽혀 팩에 쓰지 않았습니다. 종류, 옵션과 값을 확인하세요:",
                     Korean(outcome.report.readBack));
    out += "\r\n다시 읽은 결과: " + RecordText(outcome.readBack) + "\r\n";
    const std::vector<std::string> differ = Differences(outcome.readBack, ExpectedRecord(what));
    out += differ.empty() ? "설명과 똑같이 읽힘\r\n" : Lines("설명과 다르게 읽힌 것:", differ);
    return out;
}

std::string RecordText(const ItemRecord& record) {
    std::string out = KoreanKindName(record.kind);
    std::vector<std::string> stats;
    for (int s = 0; s < kStatCount; ++s)
        if (record.stats[s] != 0) stats.push_back(KoreanStatName(s) + " " + StatValueText(record.stats[s]));
    if (!stats.empty()) out += ": " + Joined(stats);
    return out;
}

bool FolderWritable(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path existing = PathFromUtf8(folder);
    while (!fs::exists(existing, ec) && existing.has_relative_path()) existing = existing.parent_path();
    if (existing.empty()) existing = ".";
    if (!fs::is_directory(existing, ec)) return false;
    const fs::path probe = existing / ".tallywick-write-probe";
    bool written;
    {
        std::ofstream file(probe, std::ios::binary | std::ios::trunc);
        written = file && (file << 'x') && file.flush();
    }
    fs::remove(probe, ec);
    return written;
}
