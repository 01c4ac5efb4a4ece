// The Equipment Profile record.
#include "base/profile.h"

EquipmentProfile gProfile = DefaultProfile();

EquipmentProfile DefaultProfile() {
    EquipmentProfile p;
    p.mainAttribute = kIntelligence;
    return p;
}
