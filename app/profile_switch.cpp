// Switching the active profile: the one calculator operation that reads and writes the settings file.
#include "app/profile_switch.h"

#include "app/settings_file.h"
#include "base/settings.h"
#include "calc/formulas.h"
#include "calc/profile_layout.h"

bool SwitchProfile(int n, std::string* why) {
    if (n < 1 || n > kProfileCount) return false;
    if (!SaveActiveProfile(why)) return false;
    gSettings.activeProfile = n;
    LoadActiveProfile();
    ShowProfile();
    Recalculate();
    ApplyAdjustments();
    ComputeValueEquivalents();
    return true;
}
