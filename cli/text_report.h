// tallywick-cli's reports for people (--text): an item and what a compare or an equip changes, in
// the program's own Korean captions and number formats. UTF-8, one line per value.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/item.h"
#include "calc/formulas.h"

// What a compare or an equip changes: the summary before and after, and the value equivalents of
// that change.
struct ChangeReport {
    StatSummary current;
    StatSummary modified;
    float equivalents[kEquivalentCount] = {};
};

// "종류: " and the kind's name, then one line per stat that is not zero, by name, with the
// decimals of the compare-item dialog's field for it.
std::string ItemText(const ItemRecord& item);

// "장착 위치: " and the slot's name with the profile's number.
std::string SlotText(int slot, int profile);

// "능력치 요약: " and `sides` (what the two columns are), then one line per summary entry:
// current → modified, each as its field shows it, and the change as the modified-stats popup shows
// it. Then the value equivalents under the calculator page's two group captions.
std::string ChangeText(const ChangeReport& change, std::u16string_view sides);

// "알림: " before each alert text (UTF-8).
std::string AlertsText(const std::vector<std::string>& alerts);
