// A recorder for the calculator's window hooks and the status messages, and a fixture that
// installs it and restores every piece of process-wide state after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "calc/formulas.h"
#include "calc/view.h"

namespace rec {

// One line per visible effect, in order.
inline std::vector<std::string> log;
inline std::u16string diffText[kSummaryCount];
inline bool diffRising[kSummaryCount];
inline float* boundColumn[2];
inline int kindsAtColumn[2];  // kinds of slots 0 and 1 when the first column was set
inline float shownStat[kSlotCount][kStatCount];
inline PopupRequest lastPopup;

inline void SlotStat(int slot, int stat, float value) {
    log.push_back("stat " + std::to_string(slot));
    shownStat[slot][stat] = value;
}
inline void Style(int style) {
    log.push_back("style " + std::to_string(style));
}
inline void Column(WeaponColumn column, float* bound) {
    if (column == WeaponColumn::Weapon2)
        kindsAtColumn[0] = gProfile.slots[0].kind, kindsAtColumn[1] = gProfile.slots[1].kind;
    boundColumn[int(column)] = bound;
    log.push_back(std::string(column == WeaponColumn::Weapon2 ? "weapon2 " : "offhand ") +
                  (bound ? "bound" : "cleared"));
}
inline void ProfileValues(const EquipmentProfile&) {
    log.push_back("profile");
}
inline void Dps(const float*) {
    log.push_back("dps");
}
inline void Current(const StatSummary&) {
    log.push_back("current");
}
inline void Adjustments(const float*) {
    log.push_back("adjustments");
}
inline void Modified(const StatSummary&) {
    log.push_back("modified");
}
inline void Diff(int entry, std::u16string_view text, bool rising) {
    log.push_back("diff");
    diffText[entry] = std::u16string(text);
    diffRising[entry] = rising;
}
inline void Equivalents(const float*) {
    log.push_back("equivalents");
}
inline void Page(CalcPage page) {
    log.push_back(page == CalcPage::Profile ? "page profile" : "page calculator");
}
inline void Activate() {
    log.push_back("activate");
}
inline void Minimise() {
    log.push_back("minimise");
}
inline void Popup() {
    log.push_back("popup");
}
inline void Deliver(PopupTarget target, const PopupRequest& request) {
    log.push_back(target == PopupTarget::Alert ? "alert" : "notice");
    lastPopup = request;
}

inline CalcView View() {
    CalcView v;
    v.showSlotStat = SlotStat;
    v.showWeaponStyle = Style;
    v.setWeaponColumn = Column;
    v.showProfileValues = ProfileValues;
    v.showWeaponDps = Dps;
    v.showCurrentSummary = Current;
    v.showAdjustments = Adjustments;
    v.showModifiedSummary = Modified;
    v.showDiffIndicator = Diff;
    v.showValueEquivalents = Equivalents;
    v.selectPage = Page;
    v.activateMainWindow = Activate;
    v.minimiseMainWindow = Minimise;
    v.showModifiedStats = Popup;
    return v;
}

// The log with runs of equal lines folded: "stat 1" x 25 reads "stat 1*25".
inline std::vector<std::string> Folded() {
    std::vector<std::string> out;
    for (size_t i = 0; i < log.size();) {
        size_t j = i;
        while (j < log.size() && log[j] == log[i]) ++j;
        out.push_back(j - i > 1 ? log[i] + "*" + std::to_string(j - i) : log[i]);
        i = j;
    }
    return out;
}

inline std::u16string PopupText() {
    return std::u16string(lastPopup.text);
}

}  // namespace rec

// Starts each test from a default profile, zero results and default settings, with the recorder
// installed; puts everything back afterwards.
class CalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedProfile_ = gProfile;
        savedCalc_ = gCalc;
        savedSettings_ = gSettings;
        savedView_ = SetCalcView(rec::View());
        savedDelivery_ = SetPopupDelivery(rec::Deliver);
        gProfile = DefaultProfile();
        gCalc = CalcState{};
        gSettings = Settings{};
        Clear();
    }
    void TearDown() override {
        SetPopupDelivery(savedDelivery_);
        SetCalcView(savedView_);
        gSettings = savedSettings_;
        gCalc = savedCalc_;
        gProfile = savedProfile_;
    }

public:
    static void Clear() {
        rec::log.clear();
        for (auto& t : rec::diffText) t.clear();
        std::memset(rec::shownStat, 0, sizeof rec::shownStat);
        rec::boundColumn[0] = rec::boundColumn[1] = nullptr;
    }

private:
    EquipmentProfile savedProfile_;
    CalcState savedCalc_;
    Settings savedSettings_;
    CalcView savedView_;
    PopupDelivery savedDelivery_ = nullptr;
};

// A weapon as the reader leaves it: tooltip damage and speed, nothing derived yet.
inline ItemRecord Weapon(int kind, float minDamage, float maxDamage, float attacksPerSecond) {
    ItemRecord r;
    r.kind = kind;
    r.stats[kWeaponMin] = minDamage;
    r.stats[kWeaponMax] = maxDamage;
    r.stats[kWeaponAttacksPerSecond] = attacksPerSecond;
    return r;
}

inline ItemRecord Item(int kind, int stat, float value) {
    ItemRecord r;
    r.kind = kind;
    r.stats[stat] = value;
    return r;
}

inline bool SameBytes(const EquipmentProfile& a, const EquipmentProfile& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
