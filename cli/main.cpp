// tallywick-cli: the reader and the calculator from the command line, one subcommand per task.
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

int Usage() {
    std::fputs("usage:\n", stderr);
    for (const Command& c : kCommands) std::fprintf(stderr, "  tallywick-cli %s\n", c.usage);
    return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
    if (args.empty()) return Usage();
    for (const Command& c : kCommands) {
        if (args[0] != c.name) continue;
        std::string out, err;
        int code = c.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fwrite(err.data(), 1, err.size(), stderr);
        return code;
    }
    std::fprintf(stderr, "tallywick-cli: unknown command '%s'\n", args[0].c_str());
    return Usage();
}

#ifndef _WIN32
int main(int argc, char** argv) {
    return RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
