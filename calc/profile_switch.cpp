// Switching the active profile. Kept apart from the profile record because it is the one part of
// the calculator that reads and writes the settings file.
#include "app/settings.h"
#include "app/settings_file.h"
#include "calc/formulas.h"
#include "calc/profile.h"

bool SwitchProfile(int n) {
    if (n < 1 || n > kProfileCount) return false;
    if (!SaveActiveProfile()) return false;
    gSettings.activeProfile = n;
    LoadActiveProfile();
    ShowProfile();
    Recalculate();
    ApplyAdjustments();
    ComputeValueEquivalents();
    return true;
}
