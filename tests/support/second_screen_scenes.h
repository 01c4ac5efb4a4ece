// Tooltips of the second screen (another font, text size and layout than the built-in pictures)
// as a player would save and describe them, for teaching a glyph pack and for checking it.
#pragma once
#include <string>
#include <vector>

#include "reader/pack_learn.h"
#include "tools/compose/compose.h"
#include "tools/compose/second_screen.h"

// What a player would type for a composed tooltip.
inline LearnTooltip Describe(const TooltipScene& s) {
    LearnTooltip d;
    d.kind = s.kind;
    d.weapon = s.weapon;
    d.attacksPerSecond = s.attacksPerSecond, d.minDamage = s.minDamage, d.maxDamage = s.maxDamage;
    for (const ComposeLine& line : s.lines) {
        if (line.type == ComposeLine::kEmptySocket) ++d.emptySockets;
        if (line.type == ComposeLine::kOption)
            d.lines.push_back({line.row, line.value + (line.maxValue.empty() ? "" : "~" + line.maxValue)});
        if (line.type == ComposeLine::kRaw) d.lines.push_back({-1, line.value});
    }
    return d;
}

namespace second_screen_scenes {

inline TooltipScene Scene(const SecondScreen& second, int kind, std::vector<ComposeLine> lines) {
    TooltipScene s = second.Scene();
    s.kind = kind;
    s.lines = std::move(lines);
    return s;
}

inline TooltipScene Weapon(const SecondScreen& second, int kind, std::string aps, std::string low,
                           std::string high, std::vector<ComposeLine> lines) {
    TooltipScene s = Scene(second, kind, std::move(lines));
    s.weapon = true, s.attacksPerSecond = std::move(aps), s.minDamage = std::move(low),
    s.maxDamage = std::move(high);
    return s;
}

}  // namespace second_screen_scenes

// The tooltips a player would save and describe: every digit in blue and in white, a point, a
// range, a gem line, an empty socket, a weapon.
inline std::vector<TooltipScene> SecondScreenTeaching(const SecondScreen& second) {
    using namespace second_screen_scenes;
    return {
        Scene(second, 4,
              {OptionLine(6, "1120"), OptionLine(7, "345"), OptionLine(4, "7.5"), OptionLine(12, "71", "75"),
               OptionLine(13, "6"), OptionLine(14, "89")}),
        Weapon(second, 1, "1.10", "1187", "1469",
               {OptionLine(6, "35"), OptionLine(7, "120"), OptionLine(31, "2350"), EmptySocketLine()}),
        Scene(
            second, 11,
            {OptionLine(10, "240"), OptionLine(15, "57"), OptionLine(37, "31"), OptionLine(20, "12", "30")}),
    };
}

// Tooltips of the same screen that were not taught.
inline std::vector<TooltipScene> SecondScreenOthers(const SecondScreen& second) {
    using namespace second_screen_scenes;
    return {
        Scene(second, 4,
              {OptionLine(7, "98.5"), OptionLine(6, "406"), OptionLine(12, "213", "1078"),
               OptionLine(14, "23")}),
        Scene(second, 11,
              {OptionLine(15, "93"), OptionLine(37, "708"), OptionLine(10, "1.5"), OptionLine(13, "14")}),
        Weapon(second, 1, "1.57", "902", "2381",
               {OptionLine(7, "86"), OptionLine(31, "984"), EmptySocketLine()}),
        Weapon(second, 1, "0.95", "38", "60", {OptionLine(6, "7"), EmptySocketLine(), EmptySocketLine()}),
        Scene(second, 4, {OptionLine(4, "10.5"), OptionLine(20, "4", "9"), OptionLine(6, "57")}),
    };
}

// The tight screen's tooltips a player would save and describe. Their numbers touch: "1199",
// "90.5", "99~109", "1.40", "1087~1363"; together they show every digit in blue and in white, a
// point in both, a range, a gem line, an empty socket and a weapon.
inline std::vector<TooltipScene> TightScreenTeaching(const SecondScreen& tight) {
    using namespace second_screen_scenes;
    return {
        Scene(tight, 4,
              {OptionLine(6, "1199"), OptionLine(7, "90.5"), OptionLine(12, "99", "109"), OptionLine(13, "8"),
               OptionLine(14, "27")}),
        Weapon(tight, 1, "1.40", "1087", "1363",
               {OptionLine(6, "356"), OptionLine(7, "44"), OptionLine(31, "2490"), EmptySocketLine()}),
        Scene(tight, 11,
              {OptionLine(10, "2450"), OptionLine(15, "65"), OptionLine(37, "35"), OptionLine(20, "12", "30"),
               OptionLine(4, "9.5")}),
    };
}

// Tooltips of the tight screen that were not taught.
inline std::vector<TooltipScene> TightScreenOthers(const SecondScreen& tight) {
    using namespace second_screen_scenes;
    return {
        Scene(tight, 4,
              {OptionLine(7, "98.5"), OptionLine(6, "406"), OptionLine(12, "213", "1078"),
               OptionLine(14, "23")}),
        Scene(tight, 11,
              {OptionLine(15, "93"), OptionLine(37, "708"), OptionLine(10, "1.5"), OptionLine(13, "14")}),
        Weapon(tight, 1, "1.57", "902", "2381",
               {OptionLine(7, "86"), OptionLine(31, "984"), EmptySocketLine()}),
        Weapon(tight, 1, "0.95", "38", "60", {OptionLine(6, "7"), EmptySocketLine(), EmptySocketLine()}),
        Scene(tight, 4, {OptionLine(4, "10.5"), OptionLine(20, "4", "9"), OptionLine(6, "57")}),
    };
}
