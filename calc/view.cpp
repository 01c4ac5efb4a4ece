// The calculator's window hooks. Installed once at start-up, before any action can run.
#include "calc/view.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {
CalcView gView;

// The hooks in use before the hold, and the page writes kept meanwhile. The summaries and the
// profile handed to the hooks are the calculator's own, which the pages find by address: they are
// kept by address, and the diff text, which lives only for the call, as a copy.
CalcView gHeldFrom;
bool gHolding = false;
std::vector<std::function<void()>> gHeld;

template <class Hook, class... Args>
void Later(Hook CalcView::*hook, Args... args) {
    gHeld.emplace_back([hook, args...] {
        if (auto f = gHeldFrom.*hook) f(args...);
    });
}

void HeldSlotStat(int slot, int stat, float value) {
    Later(&CalcView::showSlotStat, slot, stat, value);
}
void HeldWeaponStyle(int style) {
    Later(&CalcView::showWeaponStyle, style);
}
void HeldWeaponColumn(WeaponColumn column, float* stats) {
    Later(&CalcView::setWeaponColumn, column, stats);
}
void HeldProfileValues(const EquipmentProfile& profile) {
    gHeld.emplace_back([p = &profile] {
        if (gHeldFrom.showProfileValues) gHeldFrom.showProfileValues(*p);
    });
}
void HeldWeaponDps(const float dps[2]) {
    Later(&CalcView::showWeaponDps, dps);
}
void HeldCurrentSummary(const StatSummary& summary) {
    gHeld.emplace_back([s = &summary] {
        if (gHeldFrom.showCurrentSummary) gHeldFrom.showCurrentSummary(*s);
    });
}
void HeldModifiedSummary(const StatSummary& summary) {
    gHeld.emplace_back([s = &summary] {
        if (gHeldFrom.showModifiedSummary) gHeldFrom.showModifiedSummary(*s);
    });
}
void HeldAdjustments(const float adjustments[kAdjustmentCount]) {
    Later(&CalcView::showAdjustments, adjustments);
}
void HeldDiffIndicator(int entry, std::u16string_view text, bool rising) {
    gHeld.emplace_back([entry, copy = std::u16string(text), rising] {
        if (gHeldFrom.showDiffIndicator) gHeldFrom.showDiffIndicator(entry, copy, rising);
    });
}
void HeldValueEquivalents(const float equivalents[kEquivalentCount]) {
    Later(&CalcView::showValueEquivalents, equivalents);
}

// Swaps an installed page hook for its holding one.
template <class Hook>
void Hold(CalcView& view, Hook CalcView::*hook, Hook held) {
    if (view.*hook) view.*hook = held;
}

}  // namespace

CalcView SetCalcView(const CalcView& view) {
    CalcView previous = gView;
    gView = view;
    return previous;
}

const CalcView& GetCalcView() {
    return gView;
}

void HoldPageWrites() {
    if (gHolding) return;
    gHolding = true;
    gHeldFrom = gView;
    Hold(gView, &CalcView::showSlotStat, HeldSlotStat);
    Hold(gView, &CalcView::showWeaponStyle, HeldWeaponStyle);
    Hold(gView, &CalcView::setWeaponColumn, HeldWeaponColumn);
    Hold(gView, &CalcView::showProfileValues, HeldProfileValues);
    Hold(gView, &CalcView::showWeaponDps, HeldWeaponDps);
    Hold(gView, &CalcView::showCurrentSummary, HeldCurrentSummary);
    Hold(gView, &CalcView::showAdjustments, HeldAdjustments);
    Hold(gView, &CalcView::showModifiedSummary, HeldModifiedSummary);
    Hold(gView, &CalcView::showDiffIndicator, HeldDiffIndicator);
    Hold(gView, &CalcView::showValueEquivalents, HeldValueEquivalents);
}

void ReleasePageWrites() {
    if (!gHolding) return;
    gHolding = false;
    gView = gHeldFrom;
    std::vector<std::function<void()>> held;
    held.swap(gHeld);
    for (const auto& write : held) write();
}
