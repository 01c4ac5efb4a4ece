// tallywick-cli's subcommands: the first argument names one, the rest are its own.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"

namespace {

// A new subcommand gets a line here; one with subcommands of its own runs RunSubcommand on a
// table like this one.
const std::vector<Subcommand> kCommands = {
    {"read", RunRead, kReadUsage},
    {"profile", RunProfile, kProfileUsage},
    {"compare", RunCompare, kCompareUsage},
    {"equip", RunEquip, kEquipUsage},
    {"glyphs", RunGlyphs, kGlyphsUsage},
};

}  // namespace

int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err) {
    return RunSubcommand(kCommands, args, out, err);
}

int RunCli(const std::vector<std::string>& args) {
    std::string out, err;
    const int code = RunCli(args, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return code;
}
