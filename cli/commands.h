// The subcommands of tallywick-cli. Each takes the arguments after its name, writes its report to
// `out` and its complaints to `err`, and returns the process exit code.
#pragma once
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "base/item.h"
#include "base/pixels.h"
#include "reader/locator.h"
#include "reader/parser.h"

// Runs the subcommand named by args[0] with the rest, printing its report; returns the exit code.
// Arguments and paths are UTF-8.
int RunCli(const std::vector<std::string>& args);
// The same, with the report appended to `out` and the complaints to `err` instead of printed.
int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err);

// Exit codes shared by the subcommands.
constexpr int kExitOk = 0;
constexpr int kExitNotRead = 1;  // no tooltip, or an item whose kind was not identified
constexpr int kExitUsage = 2;    // bad usage or an unreadable input file

// read IMAGE [--set equip|compare] [--socket-options E_WEAPON,E_HELM,E_OTHER,C_WEAPON,C_HELM,C_OTHER]
//      [--error-limit KIND,OPTION,VALUE] [--main-attribute 5|6|7] [--glyphs PACK] [--explain OUT.png]
//      [--text]
// Locates the tooltip in the picture, parses it and prints one JSON object; --explain also draws
// what matched where and adds the same as "explain". --text prints the item for a person instead.
int RunRead(const std::vector<std::string>& args, std::string& out, std::string& err);
extern const char kReadUsage[];

// What `read` takes from its options, with their defaults.
struct ReadOptions {
    int set = 0;  // 1 equip, 0 compare
    int32_t socketOptions[6] = {};
    int32_t errorLimit[3] = {10, 5, 8};
    int32_t mainAttribute = 6;
    const GlyphPack* pack = nullptr;  // null: the built-in pack
};

// What a read matched where, for --explain.
struct ReadTrace {
    bool found = false;
    TooltipRect rect;
    ParseTrace parse;
};
// The read of one screen picture: puts the options into the settings and the profile, locates,
// parses and writes the JSON line to `json`. Needs the glyph set loaded. Returns the exit code;
// the record read goes to `item` when given.
int ReadScreen(const PixelBuffer& screen, const ReadOptions& options, std::string& json,
               ItemRecord* item = nullptr);
// The same read with the record as a JSON object, for reports that hold it.
// With `trace`, the record gains "explain": the marks and the nearest captions of unmatched lines.
int ReadScreenRecord(const PixelBuffer& screen, const ReadOptions& options, nlohmann::ordered_json& record,
                     ItemRecord* item = nullptr, ReadTrace* trace = nullptr);
// Loads the glyph set built into the program, once.
bool EnsureGlyphs(std::string& error);
// The pack folder named by --glyphs, over the built-in pictures. Its check's findings are added
// to `warnings` as complaint lines; when one can make a read wrong or endless, `pack` is the
// built-in pack instead and the first line says so. A folder that cannot be loaded fails with
// `error`.
bool LoadPackOption(const std::string& folder, GlyphPack& pack, std::string& warnings, std::string& error);

// glyphs check PACK | glyphs learn PACK IMAGE --kind KIND ... | glyphs cut PACK IMAGE ID X Y W H
// Makes and checks glyph packs for a player's screen.
int RunGlyphs(const std::vector<std::string>& args, std::string& out, std::string& err);
extern const char kGlyphsUsage[];

// profile INI [--profile N]
// compare INI IMAGE [--secondary] [--profile N] [--glyphs PACK] [--text]
// equip INI IMAGE [--secondary] [--profile N] [--write] [--glyphs PACK] [--text]
// The calculator on a settings file: the profile's numbers, or what an item read from a screen
// picture would change (compare) or changes (equip; stored only with --write). --text prints the
// item and the change for a person instead of the JSON object.
int RunProfile(const std::vector<std::string>& args, std::string& out, std::string& err);
int RunCompare(const std::vector<std::string>& args, std::string& out, std::string& err);
int RunEquip(const std::vector<std::string>& args, std::string& out, std::string& err);
extern const char kProfileUsage[];
extern const char kCompareUsage[];
extern const char kEquipUsage[];
