// tallywick-cli's command line: the subcommand named by the first argument, and each subcommand's
// own arguments parsed with CLI11.
//
// A subcommand declares its positionals, options and flags on an Arguments, each with the place or
// the check that takes its value, and calls Parse. Faults are reported for the first faulty
// argument in the order given, in the words the tool has always used:
//   unknown option --x | --x given twice | --x needs a value | bad value for --x: VALUE
// An option's value is the argument after it, whatever it looks like, or follows an '=' in the
// same argument (--set=equip). A flag takes no value. An argument that begins with a dash (other
// than "-" alone and negative numbers) is an option; "--" is not accepted.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Arguments {
public:
    // Checks an option's value and stores it; false when the value is not acceptable.
    using Accept = std::function<bool(const std::string& value)>;
    enum class Repeat {
        Refused,     // "--x given twice"
        LastCounts,  // each occurrence is checked and stored in turn
    };

    Arguments();
    ~Arguments();
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    // The next positional argument: the first call declares the first one, and so on.
    Arguments& Positional(const std::string& name, std::string& into);
    // What to say about a positional beyond the declared ones, as soon as it appears. Without it,
    // extra positionals are only counted (PositionalCount) for the command to judge.
    Arguments& RefuseExtraPositionals(std::string why);
    // An option with one value. `note` follows the value in the bad-value complaint.
    Arguments& Option(const std::string& name, Accept accept, Repeat repeat = Repeat::Refused,
                      std::string note = {});
    // An option without a value; it may be repeated.
    Arguments& Flag(const std::string& name, bool& into);

    // Parses the arguments (those after the subcommand's name) into the declared places, once. On
    // a fault `why` says what is wrong and false is returned; values stored so far stay.
    bool Parse(const std::vector<std::string>& args, std::string& why);
    // After Parse: the positional arguments given, declared and extra.
    size_t PositionalCount() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The complaint about bad usage: the fault, then the subcommand's usage line.
std::string UsageComplaint(const std::string& why, const char* usage);

// A subcommand: its name, what runs it (with the arguments after the name) and its usage line
// (without the program's name in front).
struct Subcommand {
    const char* name;
    int (*run)(const std::vector<std::string>& args, std::string& out, std::string& err);
    const char* usage;
};

// Runs the subcommand named by args[0] among `commands` with the rest. Without a name, or with an
// unknown one, complains with every usage line and returns kExitUsage. A subcommand with
// subcommands of its own runs this again on its arguments, with usage lines that begin with its name.
int RunSubcommand(const std::vector<Subcommand>& commands, const std::vector<std::string>& args,
                  std::string& out, std::string& err);
