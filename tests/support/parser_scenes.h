// Shared pieces of the reader's end-to-end tests: a fixture that loads the glyph set, resets the
// settings the parser reads and records its alerts, and the example items as composer scenes.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/item.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/glyphs.h"
#include "reader/parser.h"
#include "tools/compose/compose.h"

namespace scenes {

inline std::vector<std::u16string> alerts;
inline void RecordAlert(PopupTarget target, const PopupRequest& r) {
    if (target == PopupTarget::Alert) alerts.emplace_back(r.text);
}

// The chest armour of the examples: intelligence +82, a physical resistance line no row knows,
// all resistance +51, life +9%, magic find 18%, two gems of intelligence +46.
inline TooltipScene Chest() {
    TooltipScene s;
    s.kind = 6;
    s.lines = {OptionLine(7, "82"),  RawLine(60, "12"),    OptionLine(15, "51"), OptionLine(13, "9"),
               OptionLine(14, "18"), OptionLine(35, "46"), OptionLine(35, "46")};
    s.lines[3].tailWidth = s.lines[4].tailWidth = 8;  // "9%", "18%"
    return s;
}

// A one-hand weapon: 1.40 attacks per second, damage 100 - 200, dexterity +35, intelligence
// +120 and one empty socket.
inline TooltipScene Weapon() {
    TooltipScene s;
    s.kind = 1;
    s.weapon = true, s.attacksPerSecond = "1.40", s.minDamage = "100", s.maxDamage = "200";
    s.lines = {OptionLine(6, "35"), OptionLine(7, "120"), EmptySocketLine()};  // dexterity, intelligence
    return s;
}

class ReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    }
    void SetUp() override {
        savedSettings_ = gSettings, savedProfile_ = gProfile;
        for (int32_t& v : gSettings.socketOptions) v = 0;
        gSettings.errorLimit[0] = 10, gSettings.errorLimit[1] = 5, gSettings.errorLimit[2] = 8;
        gProfile.mainAttribute = 6;
        alerts.clear();
        previous_ = SetPopupDelivery(RecordAlert);
    }
    void TearDown() override {
        SetPopupDelivery(previous_);
        gSettings = savedSettings_, gProfile = savedProfile_;
    }

    static PixelBuffer Tooltip(const TooltipScene& scene) {
        PixelBuffer t;
        std::string error;
        EXPECT_TRUE(ComposeTooltip(scene, t, error)) << error;
        return t;
    }
    static ItemRecord Parse(const TooltipScene& scene, int set = 0) {
        PixelBuffer t = Tooltip(scene);
        return ParseItem(&t, set);
    }

private:
    Settings savedSettings_;
    EquipmentProfile savedProfile_;
    PopupDelivery previous_ = nullptr;
};

// What every parsed record keeps: stats 0, 2 and 11 are never written, and a weapon record has
// no bonus damage.
inline void ExpectParsedInvariants(const ItemRecord& r) {
    EXPECT_EQ(r.stats[kArmour], 0);
    EXPECT_EQ(r.stats[kAttacksPerSecond], 0);
    EXPECT_EQ(r.stats[kSkillDamagePercent], 0);
    if (IsWeaponKind(r.kind)) {
        EXPECT_EQ(r.stats[kMinDamage], 0);
        EXPECT_EQ(r.stats[kMaxDamage], 0);
    }
    if (r.kind < 0) {
        for (float v : r.stats) EXPECT_EQ(v, 0);
    }
}

// Exactly these stats are non-zero, with these values.
inline void ExpectStats(const ItemRecord& r, const std::map<int, float>& nonZero) {
    for (int s = 0; s < kStatCount; ++s) {
        auto it = nonZero.find(s);
        EXPECT_EQ(r.stats[s], it == nonZero.end() ? 0.0f : it->second) << "stat " << s;
    }
    ExpectParsedInvariants(r);
}

}  // namespace scenes
