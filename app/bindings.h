// How every value control of the pages and dialogs is tied to one program variable: the control
// binding table, the choice lists, and the text a value shows or a typed text stores.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/item.h"

constexpr int kBindingCount = 275;
constexpr int32_t kCompareFieldKind = 4;  // the compare-item dialog's fields

// The weapon-2 and off-hand columns of the profile page follow the weapon layout: their entries
// point at slot 1's stats or at nothing.
enum BoundColumn : int8_t { kNoColumn = -1, kWeapon2Column = 0, kOffHandColumn = 1 };

struct ControlBinding {
    int32_t controlId = 0;
    void* target = nullptr;  // a float or an int32; null: bound to nothing, skipped by every lookup
    int32_t decimals = 0;    // when a float is shown
    int32_t kind = 0;        // kCompareFieldKind or 0
    int8_t column = kNoColumn;
    int8_t stat = 0;  // the column's stat index
};

// What the compare-item dialog edits; kept from one opening to the next.
struct CompareItemRecord {
    int32_t secondary = 0;
    ItemRecord item;
    float weaponDps = 0;  // shown, never typed
};
extern CompareItemRecord gCompareItem;

// Fills the table (targets are the program's variables). Call once at start-up, before any page.
void BuildBindingTable();
const ControlBinding* BindingTable();

// The first entry for a control id, or null.
ControlBinding* FindBindingById(int controlId);
// The first entry bound to `target`, or null (an entry bound to nothing never matches).
ControlBinding* FindBindingByTarget(const void* target);

// Points a weapon column's entries at `stats` (25 values) or, with null, at nothing.
void BindColumn(BoundColumn column, float* stats);
// The entry of a column for one stat index, or null where the column has no control for it.
ControlBinding* ColumnEntry(BoundColumn column, int stat);

// The decimals the compare-item dialog shows a stat of its item with; 0 for a stat it has no field
// for. Needs no built table.
int CompareFieldDecimals(int stat);

// What a bound value shows: empty strictly between -0.01 and 0.01, else the entry's decimals.
std::u16string BoundValueText(float value, int decimals);
// What a typed text stores: its leading decimal number (0 when there is none), at most 9999.
float StoredValueFromText(std::u16string_view text);

// Choice lists of the drop-down controls.
constexpr int kChoiceMax = 20;
struct Choice {
    const char16_t* text;
    int32_t value;
};
struct ChoiceList {
    int32_t controlId;
    int count;
    Choice choices[kChoiceMax];
};
const ChoiceList* FindChoiceList(int controlId);
// The index of the first choice whose value is `value`, or 0 when none is.
int ChoiceIndexForValue(const ChoiceList& list, int32_t value);
