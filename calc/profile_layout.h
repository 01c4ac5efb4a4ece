// The weapon layout of a profile and its display on the profile page.
#pragma once

#include "base/profile.h"

// Makes slots 0 and 1 agree with `style` (0 one-hand with off-hand, 1 two-hand, 2 dual wield;
// any other value counts as 0). A weapon slot whose kind changes loses its stats; one whose kind
// already fits keeps them. Unless suppressDisplay, the profile page's weapon-2 and off-hand
// columns are then set to match. The style itself is not stored here.
void ApplyWeaponLayout(EquipmentProfile& profile, int style, int suppressDisplay);
// The layout of the active profile's own style, with display.
void ApplyActiveWeaponLayout();
// Redisplays the profile page: the active layout first, then every field of the profile.
void ShowProfile();
