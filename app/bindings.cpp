// Lookups in the control binding table and the conversions between values and field texts.
#include "app/bindings.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "calc/display.h"
#include "res/resource.h"

CompareItemRecord gCompareItem;

namespace {

ControlBinding gBindings[kBindingCount];
// Per weapon column and stat index: the entry's index in the table, or -1.
int gColumnEntries[2][kStatCount];

constexpr float kLargestStoredValue = 9999;

}  // namespace

// The entries themselves: one line per control, in the order the pages list them.
void FillBindingEntries(ControlBinding* table);

void BuildBindingTable() {
    FillBindingEntries(gBindings);
    for (auto& column : gColumnEntries)
        for (int& e : column) e = -1;
    for (int i = 0; i < kBindingCount; ++i) {
        const ControlBinding& b = gBindings[i];
        if (b.column != kNoColumn && gColumnEntries[b.column][b.stat] < 0)
            gColumnEntries[b.column][b.stat] = i;
    }
}

const ControlBinding* BindingTable() {
    return gBindings;
}

ControlBinding* FindBindingById(int controlId) {
    for (ControlBinding& b : gBindings)
        if (b.controlId == controlId) return &b;
    return nullptr;
}

ControlBinding* FindBindingByTarget(const void* target) {
    if (!target) return nullptr;
    for (ControlBinding& b : gBindings)
        if (b.target == target) return &b;
    return nullptr;
}

void BindColumn(BoundColumn column, float* stats) {
    for (int s = 0; s < kStatCount; ++s)
        if (ControlBinding* b = ColumnEntry(column, s)) b->target = stats ? &stats[s] : nullptr;
}

ControlBinding* ColumnEntry(BoundColumn column, int stat) {
    if (column != kWeapon2Column && column != kOffHandColumn) return nullptr;
    if (stat < 0 || stat >= kStatCount) return nullptr;
    const int i = gColumnEntries[column][stat];
    return i < 0 ? nullptr : &gBindings[i];
}

int CompareFieldDecimals(int stat) {
    if (stat < 0 || stat >= kStatCount) return 0;
    // A table of its own, so that a caller without pages needs no BuildBindingTable.
    static const std::array<ControlBinding, kBindingCount> table = [] {
        std::array<ControlBinding, kBindingCount> t{};
        FillBindingEntries(t.data());
        return t;
    }();
    for (const ControlBinding& b : table)
        if (b.kind == kCompareFieldKind && b.target == &gCompareItem.item.stats[stat]) return b.decimals;
    return 0;
}

std::u16string BoundValueText(float value, int decimals) {
    return FormatValue(value, decimals);
}

float StoredValueFromText(std::u16string_view text) {
    // The leading decimal number: spaces, a sign, digits, a decimal point, an exponent. Hexadecimal,
    // "inf" and "nan" are text without a number, whatever the C library would make of them.
    size_t i = 0;
    auto digitAt = [&](size_t k) { return k < text.size() && text[k] >= u'0' && text[k] <= u'9'; };
    auto charAt = [&](size_t k) { return k < text.size() ? text[k] : u'\0'; };
    while (charAt(i) == u' ' || charAt(i) == u'\t') ++i;
    const size_t start = i;
    if (charAt(i) == u'+' || charAt(i) == u'-') ++i;
    const size_t mantissa = i;
    while (digitAt(i)) ++i;
    if (charAt(i) == u'.') {
        ++i;
        while (digitAt(i)) ++i;
    }
    if (i == mantissa || (i == mantissa + 1 && charAt(mantissa) == u'.')) return 0;
    if (charAt(i) == u'e' || charAt(i) == u'E') {
        size_t e = i + 1;
        if (charAt(e) == u'+' || charAt(e) == u'-') ++e;
        if (digitAt(e)) {
            while (digitAt(e)) ++e;
            i = e;
        }
    }
    const std::string number(text.begin() + start, text.begin() + i);  // ASCII only by now
    const double v = std::strtod(number.c_str(), nullptr);
    if (v > kLargestStoredValue) return kLargestStoredValue;
    // No lower limit, but a float must hold it.
    if (v < -double(std::numeric_limits<float>::max())) return -std::numeric_limits<float>::max();
    return float(v);
}

namespace {

const ChoiceList kChoiceLists[] = {
    {IDC_WEAPON_STYLE, 3, {{u"한손", 0}, {u"양손", 1}, {u"쌍수", 2}}},
    {IDC_MAIN_ATTRIBUTE, 3, {{u"힘", 7}, {u"민첩", 5}, {u"지능", 6}}},
    {IDC_CMP_KIND,
     13,
     {{u"한손 무기", 1},
      {u"양손 무기", 2},
      {u"보조장비", 0},
      {u"투구", 5},
      {u"어깨 방어구", 10},
      {u"가슴 방어구", 6},
      {u"팔 방어구", 3},
      {u"장갑", 12},
      {u"허리띠", 7},
      {u"바지", 9},
      {u"장화", 8},
      {u"목걸이", 11},
      {u"반지", 4}}},
    {IDC_CMP_POSITION, 2, {{u"기본", 0}, {u"보조", 1}}},
    {IDC_SOCKET_EQUIP_WEAPON, 3, {{u"기본", 0}, {u"빈 홈", 1}, {u"극대화 피해 +100%", 2}}},
    {IDC_SOCKET_EQUIP_HELM, 3, {{u"기본", 0}, {u"빈 홈", 1}, {u"생명력 +18%", 2}}},
    {IDC_SOCKET_EQUIP_OTHER, 4, {{u"기본", 0}, {u"빈 홈", 1}, {u"주요 능력치 +58", 2}, {u"활력 +58", 3}}},
    {IDC_SOCKET_COMPARE_WEAPON, 3, {{u"기본", 0}, {u"빈 홈", 1}, {u"극대화 피해 +100%", 2}}},
    {IDC_SOCKET_COMPARE_HELM, 3, {{u"기본", 0}, {u"빈 홈", 1}, {u"생명력 +18%", 2}}},
    {IDC_SOCKET_COMPARE_OTHER, 4, {{u"기본", 0}, {u"빈 홈", 1}, {u"주요 능력치 +58", 2}, {u"활력 +58", 3}}},
    {IDC_IMAGE_FORMAT, 2, {{u"BMP", 0}, {u"JPG", 1}}},
};

}  // namespace

const ChoiceList* FindChoiceList(int controlId) {
    for (const ChoiceList& list : kChoiceLists)
        if (list.controlId == controlId) return &list;
    return nullptr;
}

int ChoiceIndexForValue(const ChoiceList& list, int32_t value) {
    for (int i = 0; i < list.count; ++i)
        if (list.choices[i].value == value) return i;
    return 0;
}
