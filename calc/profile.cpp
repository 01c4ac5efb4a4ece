// The Equipment Profile.
#include "calc/profile.h"

EquipmentProfile gProfile = DefaultProfile();

EquipmentProfile DefaultProfile() {
    EquipmentProfile p;
    p.mainAttribute = kIntelligence;
    return p;
}
