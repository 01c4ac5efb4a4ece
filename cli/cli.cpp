// tallywick-cli's dispatch: the first argument names the subcommand, the rest are its own.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>& args, std::string& out, std::string& err);
    const char* usage;
};

const Command kCommands[] = {
    {"read", RunRead, kReadUsage},
    {"profile", RunProfile, kProfileUsage},
    {"compare", RunCompare, kCompareUsage},
    {"equip", RunEquip, kEquipUsage},
};

int Usage(std::string& err) {
    err += "usage:\n";
    for (const Command& c : kCommands) err += std::string("  tallywick-cli ") + c.usage + "\n";
    return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err) {
    if (args.empty()) return Usage(err);
    for (const Command& c : kCommands) {
        if (args[0] == c.name) return c.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    }
    err += "tallywick-cli: unknown command '" + args[0] + "'\n";
    return Usage(err);
}

int RunCli(const std::vector<std::string>& args) {
    std::string out, err;
    const int code = RunCli(args, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return code;
}
