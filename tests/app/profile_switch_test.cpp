// Switching profiles through the settings file: what is saved, what comes back, what is shown.
#include "app/profile_switch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_file.h"
#include "calc/profile_layout.h"
#include "tests/calc/recorder.h"

namespace {

namespace fs = std::filesystem;

class ProfileSwitch : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        dir_ = fs::temp_directory_path() /
               ("tallywick-calc-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        gSettings.settingsPath = (dir_ / "Tallywick.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        CalcTest::TearDown();
    }
    fs::path dir_;
};

// A profile worth recognising: a two-hander, a ring, paragon and skills.
void MakeDistinctProfile(float seed) {
    gProfile = DefaultProfile();
    gProfile.slots[0] = Weapon(2, 300 + seed, 400, 1.1f);
    gProfile.slots[10] = Item(4, kCritChance, seed);
    gProfile.weaponStyle = 1;
    gProfile.paragonLevel = seed;
    gProfile.skillCritDamage = 2 * seed;
    gProfile.mainAttribute = kDexterity;
}

TEST_F(ProfileSwitch, ProfilesComeBackByteForByte) {
    // As the pages leave a profile: laid out and recalculated (weapons normalised in place).
    MakeDistinctProfile(3);
    ApplyActiveWeaponLayout();
    Recalculate();
    const EquipmentProfile first = gProfile;
    ASSERT_TRUE(SwitchProfile(2));
    EXPECT_EQ(gSettings.activeProfile, 2);
    // Nothing stored under 2 yet: the default profile, laid out one-handed.
    EXPECT_EQ(gProfile.slots[0].kind, 1);
    EXPECT_EQ(gProfile.slots[1].kind, 0);
    EXPECT_EQ(gProfile.mainAttribute, kIntelligence);

    MakeDistinctProfile(7);
    ApplyActiveWeaponLayout();
    Recalculate();
    const EquipmentProfile second = gProfile;
    ASSERT_TRUE(SwitchProfile(1));
    EXPECT_TRUE(SameBytes(gProfile, first));
    ASSERT_TRUE(SwitchProfile(2));
    EXPECT_TRUE(SameBytes(gProfile, second));
}

TEST_F(ProfileSwitch, SwitchShowsTheNewProfileAndRecomputesInOrder) {
    ASSERT_TRUE(SwitchProfile(3));
    EXPECT_EQ(rec::Folded(), (std::vector<std::string>{"weapon2 cleared", "offhand bound", "profile", "dps",
                                                       "current", "modified", "diff*11", "equivalents"}));
    EXPECT_EQ(gCalc.current.v[kSumLife], 4721);
}

TEST_F(ProfileSwitch, NumbersAreComputedForTheLoadedProfile) {
    MakeDistinctProfile(10);  // dexterity main, paragon 10
    ASSERT_TRUE(SwitchProfile(4));
    ASSERT_TRUE(SwitchProfile(1));
    EXPECT_EQ(gCalc.base.dexterity, 217);
    EXPECT_EQ(gCalc.current.v[kSumCritChance], 15);
    EXPECT_EQ(gCalc.current.v[kSumCritDamage], 70);
}

TEST_F(ProfileSwitch, OutOfRangeNumberChangesNothing) {
    MakeDistinctProfile(5);
    const EquipmentProfile before = gProfile;
    for (int n : {0, 6, -1}) {
        EXPECT_FALSE(SwitchProfile(n));
        EXPECT_EQ(gSettings.activeProfile, 1);
        EXPECT_TRUE(SameBytes(gProfile, before));
    }
    EXPECT_TRUE(rec::log.empty());
    EXPECT_FALSE(fs::exists(gSettings.settingsPath));
}

// When the active profile cannot be written, switching would throw its edits away.
TEST_F(ProfileSwitch, UnsavableProfileIsKeptInMemory) {
    gSettings.settingsPath = (dir_ / "missing folder" / "Tallywick.ini").string();
    MakeDistinctProfile(5);
    const EquipmentProfile before = gProfile;
    EXPECT_FALSE(SwitchProfile(2));
    EXPECT_EQ(gSettings.activeProfile, 1);
    EXPECT_TRUE(SameBytes(gProfile, before));
    EXPECT_TRUE(rec::log.empty());
}

}  // namespace
