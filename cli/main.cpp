// tallywick-cli: the reader and the calculator from the command line, one subcommand per task.
// On Windows the program starts in main_win.cpp instead, which hands on UTF-16 arguments as UTF-8.
#include <string>
#include <vector>

#include "cli/commands.h"

#ifndef _WIN32
int main(int argc, char** argv) {
    return RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
