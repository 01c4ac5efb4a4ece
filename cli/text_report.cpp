// The --text reports of tallywick-cli: captions from the catalogue and the pages, numbers through
// the pages' and the popup's own formatting, laid out in columns for a terminal.
#include "cli/text_report.h"

#include <algorithm>
#include <cstdint>

#include "app/bindings.h"
#include "app/stat_delta.h"
#include "base/catalogue.h"
#include "calc/display.h"
#include "cli/json.h"

namespace {

// Columns a terminal gives the text: Hangul and other East Asian wide characters take two.
int DisplayWidth(std::u16string_view text) {
    int width = 0;
    for (char16_t c : text) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

// Rows of cells, each column as wide as its widest cell in all rows; text columns are padded on the
// right, number columns on the left. Every line is indented by two spaces.
struct Table {
    std::vector<std::vector<std::u16string>> rows;
    std::vector<bool> numeric;  // per column

    // The lines of rows [from, to).
    std::string Text(size_t from = 0, size_t to = SIZE_MAX) const {
        std::vector<int> widths(numeric.size(), 0);
        for (const auto& row : rows)
            for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        std::u16string out;
        for (size_t r = from; r < std::min(to, rows.size()); ++r) {
            const auto& row = rows[r];
            std::u16string line = u"  ";
            for (size_t c = 0; c < row.size(); ++c) {
                const std::u16string pad(size_t(widths[c] - DisplayWidth(row[c])), u' ');
                if (c > 0) line += u"  ";
                line += numeric[c] ? pad + row[c] : row[c] + pad;
            }
            line.erase(line.find_last_not_of(u' ') + 1);
            out += line + u"\n";
        }
        return Utf8(out);
    }
};

// A value as its field shows it, with a zero of the field's decimals where it would stay empty.
std::u16string Shown(float value, int decimals) {
    std::u16string text = FormatValue(value, decimals);
    if (!text.empty()) return text;
    return decimals <= 0 ? u"0" : u"0." + std::u16string(decimals == 1 ? 1 : 2, u'0');
}

}  // namespace

std::string ItemText(const ItemRecord& item) {
    const char16_t* kind = KindName(item.kind);
    std::string out = Utf8(std::u16string(u"종류: ") + (kind ? kind : u"식별 불가")) + "\n";
    Table stats{{}, {false, true}};
    for (int s = 0; s < kStatCount; ++s)
        if (item.stats[s] != 0)
            stats.rows.push_back(
                {StatName(s) ? StatName(s) : u"?", Shown(item.stats[s], CompareFieldDecimals(s))});
    return out + stats.Text();
}

std::string SlotText(int slot, int profile) {
    if (slot < 0 || slot >= kSlotCount) return {};
    return Utf8(std::u16string(u"장착 위치: ") + kSlots[slot].name + u" (프로필 ") + std::to_string(profile) +
           ")\n";
}

std::string ChangeText(const ChangeReport& change, std::u16string_view sides) {
    std::string out = Utf8(std::u16string(u"능력치 요약: ") + std::u16string(sides)) + "\n";
    Table summary{{}, {false, true, false, true, false}};
    for (int i = 0; i < kSummaryCount; ++i) {
        StatDeltaText delta;
        FormatStatDelta(change.modified.v[i] - change.current.v[i], delta, kSummaryDecimals[i]);
        summary.rows.push_back({kSummaryCaptions[i], Shown(change.current.v[i], kSummaryDecimals[i]), u"→",
                                Shown(change.modified.v[i], kSummaryDecimals[i]), delta.text});
    }
    out += summary.Text();
    // The two groups share one layout, so their numbers line up.
    Table equivalents{{}, {false, true}};
    for (int row = 0; row < kEquivalentCount; ++row)
        equivalents.rows.push_back(
            {kEquivalentCaptions[row], Shown(change.equivalents[row], kEquivalentDecimals)});
    out += Utf8(kDamageEquivalentsCaption) + "\n" + equivalents.Text(0, kEqLife);
    out += Utf8(kLifeEquivalentsCaption) + "\n" + equivalents.Text(kEqLife);
    return out;
}

std::string AlertsText(const std::vector<std::string>& alerts) {
    std::string out;
    for (const std::string& alert : alerts) out += Utf8(u"알림: ") + alert + "\n";
    return out;
}
