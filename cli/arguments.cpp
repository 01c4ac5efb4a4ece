// tallywick-cli's command line on CLI11.
//
// CLI11 splits the arguments into options, values and positionals. The options run their checks as
// CLI11 meets them (trigger_on_parse), so a fault is found in the order of the arguments; what CLI11
// does not recognise it keeps aside in order (remaining()), and each check first looks there for an
// earlier fault. The complaints are tallywick-cli's own.
#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/commands.h"

namespace {

// A fault found while parsing; ends the parse.
struct Fault {
    std::string why;
};

// Whether an argument CLI11 set aside is an unknown option rather than an extra positional: it
// begins with a dash, but is not "-" alone nor a negative number (CLI11 takes those for values).
bool LooksLikeOption(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-') return false;
    return arg[1] == '-' || !(arg[1] >= '0' && arg[1] <= '9');
}

}  // namespace

struct Arguments::State {
    CLI::App app;
    std::vector<CLI::Option*> positionals;
    std::string extraPositional;            // the complaint about an extra positional, if refused
    std::vector<std::string> onceOnly;      // options refused when repeated
    std::vector<std::string> given;         // options met so far, in order
    std::vector<std::string> valueOptions;  // every option that takes a value

    bool Given(const std::string& name) const {
        return std::find(given.begin(), given.end(), name) != given.end();
    }
    bool OnceOnly(const std::string& name) const {
        return std::find(onceOnly.begin(), onceOnly.end(), name) != onceOnly.end();
    }

    // The first fault among the arguments CLI11 has set aside so far: an unknown option, or an
    // extra positional when those are refused.
    void ThrowEarlierFault() const {
        for (const std::string& arg : app.remaining()) {
            if (LooksLikeOption(arg)) throw Fault{"unknown option " + arg};
            if (!extraPositional.empty()) throw Fault{extraPositional};
        }
    }

    // Marks an option as met; refuses a second one when it may appear only once.
    void Meet(const std::string& name) {
        ThrowEarlierFault();
        if (Given(name) && OnceOnly(name)) throw Fault{name + " given twice"};
        given.push_back(name);
    }

    // CLI11 ran out of arguments for an option's value: the last argument names the option.
    Fault MissingValue(const std::string& last, const CLI::Error& error) const {
        const std::string name = last.substr(0, last.find('='));
        if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end())
            return Fault{error.what()};
        if (Given(name) && OnceOnly(name)) return Fault{name + " given twice"};
        return Fault{name + " needs a value"};
    }
};

Arguments::Arguments() : state_(std::make_unique<State>()) {
    CLI::App& app = state_->app;
    app.set_help_flag();  // --help is an unknown option like any other
    app.allow_extras();   // unknown options and extra positionals are judged here, in order
    // CLI11 takes "/x" for an option on Windows by default; there it is a file as well.
    app.allow_windows_style_options(false);
}

Arguments::~Arguments() = default;

Arguments& Arguments::Positional(const std::string& name, std::string& into) {
    CLI::Option* option = state_->app.add_option(name, [&into](const CLI::results_t& values) {
        into = values.front();
        return true;
    });
    option->expected(1);
    state_->positionals.push_back(option);
    return *this;
}

Arguments& Arguments::RefuseExtraPositionals(std::string why) {
    state_->extraPositional = std::move(why);
    return *this;
}

Arguments& Arguments::Option(const std::string& name, Accept accept, Repeat repeat, std::string note) {
    State* state = state_.get();
    if (repeat == Repeat::Refused) state->onceOnly.push_back(name);
    state->valueOptions.push_back(name);
    CLI::Option* option = state->app.add_option(name, [state, name, accept = std::move(accept),
                                                       note = std::move(note)](const CLI::results_t& values) {
        state->Meet(name);
        const std::string& value = values.front();
        if (!accept(value)) throw Fault{"bad value for " + name + ": " + value + note};
        return true;
    });
    // Exactly one value, taken even when it looks like an option, and checked at once.
    option->expected(1)->trigger_on_parse()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    return *this;
}

Arguments& Arguments::Flag(const std::string& name, bool& into) {
    State* state = state_.get();
    CLI::Option* option = state->app.add_option(name, [state, name, &into](const CLI::results_t& values) {
        state->Meet(name);
        // CLI11 passes "true" for the bare flag; "--flag=VALUE" passes VALUE.
        if (values.front() != "true") throw Fault{"bad value for " + name + ": " + values.front()};
        into = true;
        return true;
    });
    option->expected(0)->trigger_on_parse()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    return *this;
}

bool Arguments::Parse(const std::vector<std::string>& args, std::string& why) {
    State& state = *state_;
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them from the back
    try {
        try {
            state.app.parse(reversed);
        } catch (const CLI::ArgumentMismatch& error) {
            // Options take exactly one value, so CLI11 complains only of an option with nothing after it.
            state.ThrowEarlierFault();
            if (args.empty()) throw Fault{error.what()};
            throw state.MissingValue(args.back(), error);
        }
        state.ThrowEarlierFault();
    } catch (const Fault& fault) {
        why = fault.why;
        return false;
    } catch (const CLI::Error& error) {
        why = error.what();
        return false;
    }
    return true;
}

size_t Arguments::PositionalCount() const {
    size_t count = 0;
    for (const CLI::Option* option : state_->positionals) count += option->count();
    for (const std::string& arg : state_->app.remaining())
        if (!LooksLikeOption(arg)) ++count;
    return count;
}

std::string UsageComplaint(const std::string& why, const char* usage) {
    return "tallywick-cli: " + why + "\nusage: tallywick-cli " + usage + "\n";
}

int RunSubcommand(const std::vector<Subcommand>& commands, const std::vector<std::string>& args,
                  std::string& out, std::string& err) {
    if (!args.empty()) {
        for (const Subcommand& c : commands)
            if (args[0] == c.name)
                return c.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
        err += "tallywick-cli: unknown command '" + args[0] + "'\n";
    }
    err += "usage:\n";
    for (const Subcommand& c : commands) err += std::string("  tallywick-cli ") + c.usage + "\n";
    return kExitUsage;
}
