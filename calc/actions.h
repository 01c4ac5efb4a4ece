// The equip and compare actions: an item that was read goes into the active profile, or into a
// private copy of it to show what would change.
#pragma once
#include "base/item.h"
#include "base/profile.h"

// The slot for an item kind: the first slot that accepts it, or with `secondary` 1 the slot that
// takes it as the second placement, else the last one that accepts it. -1 for kind -1 (silently)
// and for a kind that no slot accepts (after the alert "slot index를 결정할 수 없음").
int ChooseSlot(int kind, int secondary);

// Stores the record in its slot of `profile` and brings the weapon style in line with what the
// weapon slots now hold. Returns the slot, or -1 with the profile unchanged.
int PlaceItem(ItemRecord record, int secondary, EquipmentProfile& profile, int suppressDisplay);

// Puts the record into the active profile, shows it, recomputes and confirms with a notice.
void EquipItem(ItemRecord record, int secondary);

// Shows what equipping the record would change, leaving the active profile as it is. `manual` is
// 1 when the player typed the item in, 0 when a hotkey read it.
void CompareItem(ItemRecord record, int secondary, int manual);
