// The option parser on composed tooltips: the example items, socket choices, weapons, the rows'
// conditions, range lines, the bullet limit and kind identification.
#include "reader/parser.h"

#include <gtest/gtest.h>

#include "base/catalogue.h"
#include "tests/support/parser_scenes.h"

using namespace scenes;

namespace {

class Parser : public ReaderTest {};

TEST_F(Parser, ChestArmourWithTheDefaultChoiceReadsEveryLine) {
    ItemRecord r = Parse(Chest());
    EXPECT_EQ(r.kind, 6);
    ExpectStats(r, {{kIntelligence, 174}, {kLifePercent, 9}, {kMagicFind, 18}, {kAllResistance, 51}});
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Parser, MainAttributeChoiceCountsGemsForTheSelectedAttribute) {
    gSettings.socketOptions[2] = 2;  // equip set, other items: "주요 능력치 +58"
    gProfile.mainAttribute = 6;
    ExpectStats(Parse(Chest(), 1),
                {{kIntelligence, 198}, {kLifePercent, 9}, {kMagicFind, 18}, {kAllResistance, 51}});
    for (int selector : {kStrength, kDexterity}) {
        gProfile.mainAttribute = selector;
        ExpectStats(Parse(Chest(), 1), {{kIntelligence, 82},
                                        {selector, 116},
                                        {kLifePercent, 9},
                                        {kMagicFind, 18},
                                        {kAllResistance, 51}});
    }
    // The compare set still says "기본": the gems are read.
    EXPECT_EQ(Parse(Chest(), 0).stats[kIntelligence], 174);
}

TEST_F(Parser, EmptySocketChoiceCountsGemsWithoutReadingThem) {
    gSettings.socketOptions[5] = 1;  // compare set, other items: "빈 홈"
    ExpectStats(Parse(Chest(), 0),
                {{kIntelligence, 82}, {kLifePercent, 9}, {kMagicFind, 18}, {kAllResistance, 51}});
    gSettings.socketOptions[5] = 3;  // "활력 +58" per gem
    EXPECT_EQ(Parse(Chest(), 0).stats[kVitality], 116);
}

TEST_F(Parser, EmptySocketsCountTowardsTheChoice) {
    TooltipScene s = Chest();
    s.lines.push_back(EmptySocketLine());
    gSettings.socketOptions[5] = 3;
    EXPECT_EQ(Parse(s, 0).stats[kVitality], 3 * 58);
    gSettings.socketOptions[5] = 0;  // "기본": empty sockets add nothing
    EXPECT_EQ(Parse(s, 0).stats[kVitality], 0);
}

TEST_F(Parser, WeaponBaseLineAndCriticalDamageChoice) {
    gSettings.socketOptions[0] = 2;  // equip set, weapons: "극대화 피해 +100%"
    ItemRecord r = Parse(Weapon(), 1);
    EXPECT_EQ(r.kind, 1);
    ExpectStats(r, {{kWeaponAttacksPerSecond, 1.4f},
                    {kWeaponMin, 100},
                    {kWeaponMax, 200},
                    {kDexterity, 35},
                    {kIntelligence, 120},
                    {kCritDamage, 100}});
    // The compare set says "기본": the empty socket adds nothing.
    EXPECT_EQ(Parse(Weapon(), 0).stats[kCritDamage], 0);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Parser, WeaponDamageLineIsFoundNineteenOrTwentyRowsUp) {
    for (int rise : {19, 20}) {
        TooltipScene s = Weapon();
        s.kind = 2, s.damageRise = rise, s.attacksPerSecond = "0.95", s.minDamage = "1387",
        s.maxDamage = "2046";
        ItemRecord r = Parse(s);
        EXPECT_EQ(r.stats[kWeaponAttacksPerSecond], 0.95f) << rise;
        EXPECT_EQ(r.stats[kWeaponMin], 1387) << rise;
        EXPECT_EQ(r.stats[kWeaponMax], 2046) << rise;
    }
}

TEST_F(Parser, WeaponDamageOfEveryDigit) {
    // Each digit as the minimum's last and the maximum's first, so the separator and the
    // 8-pixel gap are crossed by every digit.
    for (int d = 0; d <= 9; ++d) {
        TooltipScene s = Weapon();
        s.minDamage = std::to_string(10 * (d + 1) + d);
        s.maxDamage = std::to_string(d + 1) + std::to_string(9 - d) + std::to_string(d);
        ItemRecord r = Parse(s);
        EXPECT_EQ(r.stats[kWeaponMin], std::stof(s.minDamage)) << s.minDamage;
        EXPECT_EQ(r.stats[kWeaponMax], std::stof(s.maxDamage)) << s.maxDamage;
    }
}

TEST_F(Parser, WeaponWithoutItsAttacksPerSecondCaptionStillReadsOptions) {
    TooltipScene s = Weapon();
    s.weapon = false;
    ItemRecord r = Parse(s);
    EXPECT_EQ(r.kind, 1);
    ExpectStats(r, {{kDexterity, 35}, {kIntelligence, 120}});
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], u"무기 고유 옵션 발견 못함.");
}

TEST_F(Parser, AttackSpeedGoesToTheWeaponStatOnWeaponsOnly) {
    TooltipScene s = Weapon();
    s.lines = {OptionLine(1, "7")};  // the caption "공격 속도"
    EXPECT_EQ(Parse(s).stats[kWeaponSpeedPercent], 7);
    EXPECT_EQ(Parse(s).stats[kAttackSpeed], 0);
    for (int kind : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
        TooltipScene other;
        other.kind = kind;
        other.lines = {OptionLine(1, "7")};
        ItemRecord r = Parse(other);
        ExpectStats(r, {{kAttackSpeed, 7}});
        EXPECT_EQ(r.kind, kind);
    }
}

TEST_F(Parser, DamageRangeLineOnNonWeaponsOnly) {
    TooltipScene ring;
    ring.kind = 4;
    ring.lines = {OptionLine(12, "10", "20")};
    ExpectStats(Parse(ring), {{kMinDamage, 10}, {kMaxDamage, 20}});
    TooltipScene s = Weapon();
    s.lines = {OptionLine(12, "10", "20")};
    ExpectStats(Parse(s), {{kWeaponAttacksPerSecond, 1.4f}, {kWeaponMin, 100}, {kWeaponMax, 200}});
}

TEST_F(Parser, ElementalRangeLineFillsBothEnds) {
    TooltipScene s = Weapon();
    s.lines = {OptionLine(21, "315", "690"), OptionLine(24, "6")};
    ItemRecord r = Parse(s);
    EXPECT_EQ(r.stats[kElementalMin], 315);
    EXPECT_EQ(r.stats[kElementalMax], 690);
    EXPECT_EQ(r.stats[kElementalPercent], 6);
}

TEST_F(Parser, ValuesWithFractionsAndTrailingText) {
    TooltipScene s;
    s.kind = 11;
    s.lines = {OptionLine(4, "8.5"), OptionLine(5, "50"), OptionLine(13, "12")};
    s.lines[0].tailWidth = s.lines[1].tailWidth = s.lines[2].tailWidth = 8;
    ExpectStats(Parse(s), {{kCritChance, 8.5f}, {kCritDamage, 50}, {kLifePercent, 12}});
}

// Every descriptor row drawn alone feeds its own stat and nothing else: no caption of the glyph
// set is taken for another at the option tolerance.
TEST_F(Parser, EveryRowFeedsItsOwnStatOnly) {
    for (int row = 0; row < kDescriptorCount; ++row) {
        const StatDescriptor& d = kStatDescriptors[row];
        if (d.condition == kNever) continue;
        TooltipScene s;
        s.kind = d.condition == kWeaponsOnly ? 2 : 7;
        if (d.condition == kWeaponsOnly)
            s.weapon = true, s.attacksPerSecond = "1", s.minDamage = "2", s.maxDamage = "3";
        s.lines = {OptionLine(row, "37", d.range ? "64" : "")};
        ItemRecord r = Parse(s);
        std::map<int, float> expected;
        if (s.weapon) expected = {{kWeaponAttacksPerSecond, 1}, {kWeaponMin, 2}, {kWeaponMax, 3}};
        if (d.stat >= 0) expected[d.stat] = 37;
        if (d.range) expected[d.stat + 1] = 64;
        SCOPED_TRACE("row " + std::to_string(row));
        ExpectStats(r, expected);
    }
}

TEST_F(Parser, EveryKindIsIdentifiedByItsCaption) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        TooltipScene s;
        s.kind = kind;
        s.lines = {OptionLine(7, "5")};
        ItemRecord r = Parse(s);
        EXPECT_EQ(r.kind, kind);
        EXPECT_EQ(r.stats[kIntelligence], 5) << "kind " << kind;
    }
    EXPECT_EQ(alerts.size(), 2u);  // the two weapons have no attacks-per-second caption here
}

TEST_F(Parser, UnidentifiableTooltipYieldsNoKindAndTheAlert) {
    TooltipScene s = Chest();
    s.kind = -1;
    ItemRecord r = Parse(s);
    EXPECT_EQ(r.kind, -1);
    ExpectParsedInvariants(r);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], u"아이템 종류 식별 불가.");
    // A caption outside the upper-right quarter does not count.
    PixelBuffer t = Tooltip(s);
    DrawGlyph(t, 20, 40, kItemKinds[6].templateIndex);
    EXPECT_EQ(ParseItem(&t, 0).kind, -1);
}

TEST_F(Parser, NoTooltipYieldsNoKindWithoutAlert) {
    ItemRecord r = ParseItem(nullptr, 1);
    EXPECT_EQ(r.kind, -1);
    ExpectParsedInvariants(r);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Parser, OnlyTheFirstTwentyBulletsByColumnThenRowAreRead) {
    TooltipScene s;
    s.kind = 6;
    for (int i = 0; i < 25; ++i) s.lines.push_back(OptionLine(7, "1"));
    EXPECT_EQ(Parse(s).stats[kIntelligence], 20);

    // Two columns: the left one's 15 lines, then the right one's top 5 lines (1 + 2 + ... + 5).
    TooltipScene two;
    two.kind = 6;
    for (int i = 0; i < 15; ++i) two.lines.push_back(OptionLine(7, "1"));
    for (int i = 0; i < 10; ++i) {
        ComposeLine l = OptionLine(10, std::to_string(i + 1));
        two.lines.push_back(i == 0 ? PlacedAt(l, 240, 44) : l);
    }
    ItemRecord r = Parse(two);
    EXPECT_EQ(r.stats[kIntelligence], 15);
    EXPECT_EQ(r.stats[kStrength], 15);
}

TEST_F(Parser, TolerancesComeFromTheSettingsAtEachCall) {
    // One sampled caption pixel changed: read at tolerance 5, not at 0 (the slider's floor is 1,
    // but the parser takes whatever the settings hold).
    TooltipScene s;
    s.kind = 6;
    s.lines = {OptionLine(7, "82")};
    PixelBuffer t = Tooltip(s);
    const int captionX = 16 + 11, captionY = 44;
    t.pixels[size_t(captionY) * t.width + captionX] ^= 0x010101;
    EXPECT_EQ(ParseItem(&t, 0).stats[kIntelligence], 82);
    gSettings.errorLimit[1] = 0;
    EXPECT_EQ(ParseItem(&t, 0).stats[kIntelligence], 0);
}

}  // namespace
