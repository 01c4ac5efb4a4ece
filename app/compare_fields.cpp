// The compare-item record's fields by item kind.
#include "app/compare_fields.h"

void ClearHiddenCompareStats(ItemRecord& item, int32_t previousKind) {
    if (IsWeaponKind(item.kind) == IsWeaponKind(previousKind)) return;
    for (int s : kCompareWeaponOnlyStats) item.stats[s] = 0;
    for (int s : kCompareNonWeaponStats) item.stats[s] = 0;
}
