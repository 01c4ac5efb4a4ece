// tallywick-cli's command line: a subcommand's arguments parsed by Arguments (on CLI11), the faults
// it names and in which order, and the dispatch over tables of subcommands, nested as well.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "calc/formulas.h"
#include "cli/commands.h"
#include "tests/support/parser_scenes.h"

namespace {

// A command in the shape of `read`: one file, an option taking a number from 1 to 9 once, an
// option that may be repeated, a flag, and every accepted value in the order met.
struct Sample {
    std::string file;
    bool flag = false;
    std::vector<std::string> met;

    explicit Sample(Arguments& a, bool refuseExtraFiles = true) {
        a.Positional("FILE", file);
        if (refuseExtraFiles) a.RefuseExtraPositionals("more than one file given");
        a.Option("--digit", [this](const std::string& v) {
            met.push_back("digit " + v);
            return v.size() == 1 && v[0] >= '1' && v[0] <= '9';
        });
        a.Option(
            "--name",
            [this](const std::string& v) {
                met.push_back("name " + v);
                return !v.empty();
            },
            Arguments::Repeat::LastCounts, " (not empty)");
        a.Flag("--flag", flag);
    }
};

// The complaint for `args`, or "" when they are accepted.
std::string Fault(const std::vector<std::string>& args, bool refuseExtraFiles = true) {
    Arguments a;
    Sample s(a, refuseExtraFiles);
    std::string why;
    return a.Parse(args, why) ? "" : why;
}

TEST(Arguments, ValuesArriveAsGiven) {
    Arguments a;
    Sample s(a);
    std::string why;
    ASSERT_TRUE(
        a.Parse({"--name", "--digit", "[a,b]", "--digit", "7", "--flag", "--flag", "--name=x=y"}, why))
        << why;
    EXPECT_EQ(s.file, "[a,b]");  // no list syntax: a file name is a file name
    EXPECT_TRUE(s.flag);
    EXPECT_EQ(s.met, (std::vector<std::string>{"name --digit", "digit 7", "name x=y"}));
    EXPECT_EQ(a.PositionalCount(), 1u);

    for (const char* file : {"", "-", "-1", "{}", "a b", "\xEC\x9E\xA5.png", "/tmp/x.png", "C:\\x.png"}) {
        Arguments b;
        Sample t(b);
        ASSERT_TRUE(b.Parse({file}, why)) << file << ": " << why;
        EXPECT_EQ(t.file, file);
        EXPECT_EQ(b.PositionalCount(), 1u);
    }
    Arguments none;
    Sample u(none);
    ASSERT_TRUE(none.Parse({}, why));
    EXPECT_EQ(u.file, "");
    EXPECT_EQ(none.PositionalCount(), 0u);
}

TEST(Arguments, EachFaultIsNamedInTheToolsWords) {
    EXPECT_EQ(Fault({"f", "--other"}), "unknown option --other");
    EXPECT_EQ(Fault({"f", "--other=1"}), "unknown option --other=1");
    EXPECT_EQ(Fault({"f", "-h"}), "unknown option -h");
    EXPECT_EQ(Fault({"f", "--help"}), "unknown option --help");
    EXPECT_EQ(Fault({"f", "--", "g"}), "unknown option --");
    EXPECT_EQ(Fault({"f", "--digit"}), "--digit needs a value");
    EXPECT_EQ(Fault({"f", "--digit="}), "--digit needs a value");
    EXPECT_EQ(Fault({"f", "--name", "a", "--name"}), "--name needs a value");
    EXPECT_EQ(Fault({"f", "--digit", "1", "--digit", "1"}), "--digit given twice");
    EXPECT_EQ(Fault({"f", "--digit", "1", "--digit"}), "--digit given twice");
    EXPECT_EQ(Fault({"f", "--digit", "0"}), "bad value for --digit: 0");
    EXPECT_EQ(Fault({"f", "--digit=12"}), "bad value for --digit: 12");
    EXPECT_EQ(Fault({"f", "--name", ""}), "bad value for --name:  (not empty)");
    EXPECT_EQ(Fault({"f", "--name", "a", "--name", ""}), "bad value for --name:  (not empty)");
    EXPECT_EQ(Fault({"f", "--flag=1"}), "bad value for --flag: 1");
    EXPECT_EQ(Fault({"f", "g"}), "more than one file given");
    EXPECT_EQ(Fault({"f", "--flag", "--flag=true", "--name", "a", "--name", "b"}), "");
}

TEST(Arguments, TheFirstFaultInTheOrderGivenIsNamed) {
    EXPECT_EQ(Fault({"f", "--other", "--digit", "0"}), "unknown option --other");
    EXPECT_EQ(Fault({"f", "--digit", "0", "--other"}), "bad value for --digit: 0");
    EXPECT_EQ(Fault({"f", "g", "--digit", "0"}), "more than one file given");
    EXPECT_EQ(Fault({"f", "--digit", "0", "g"}), "bad value for --digit: 0");
    EXPECT_EQ(Fault({"f", "--other", "--digit"}), "unknown option --other");
    EXPECT_EQ(Fault({"f", "g", "--other"}), "more than one file given");
    EXPECT_EQ(Fault({"f", "--other", "g"}), "unknown option --other");
    EXPECT_EQ(Fault({"--digit", "1", "--digit", "0"}), "--digit given twice");
    // Without a complaint of their own, extra files are left for the command to count, after
    // every option is known to be good.
    EXPECT_EQ(Fault({"f", "g", "--digit", "0"}, false), "bad value for --digit: 0");
    EXPECT_EQ(Fault({"f", "g", "--other"}, false), "unknown option --other");
    EXPECT_EQ(Fault({"f", "g", "h"}, false), "");
}

TEST(Arguments, ValuesAreCheckedInTheOrderGivenAndParsingStopsAtAFault) {
    Arguments a;
    Sample s(a);
    std::string why;
    EXPECT_FALSE(a.Parse({"--name", "a", "--digit", "x", "--name", "b"}, why));
    EXPECT_EQ(why, "bad value for --digit: x");
    EXPECT_EQ(s.met, (std::vector<std::string>{"name a", "digit x"}));
}

TEST(Arguments, ExtraPositionalsAreCounted) {
    Arguments a;
    Sample s(a, false);
    std::string why;
    ASSERT_TRUE(a.Parse({"f", "-1", "--flag", "", "-"}, why)) << why;
    EXPECT_EQ(s.file, "f");
    EXPECT_EQ(a.PositionalCount(), 4u);
}

int RunEcho(const std::vector<std::string>& args, std::string& out, std::string&) {
    for (const std::string& a : args) out += "[" + a + "]";
    return 7;
}
int RunNested(const std::vector<std::string>& args, std::string& out, std::string& err) {
    static const std::vector<Subcommand> kInner = {
        {"check", RunEcho, "outer check PACK"},
        {"learn", RunEcho, "outer learn PACK IMAGE"},
    };
    return RunSubcommand(kInner, args, out, err);
}

TEST(Subcommands, TablesDispatchAndNest) {
    const std::vector<Subcommand> table = {{"echo", RunEcho, "echo ARGS"}, {"outer", RunNested, "outer ..."}};
    std::string out, err;
    EXPECT_EQ(RunSubcommand(table, {"echo", "a", "--b"}, out, err), 7);
    EXPECT_EQ(out, "[a][--b]");
    EXPECT_EQ(err, "");

    out.clear();
    EXPECT_EQ(RunSubcommand(table, {"outer", "learn", "p", "i"}, out, err), 7);
    EXPECT_EQ(out, "[p][i]");

    out.clear();
    EXPECT_EQ(RunSubcommand(table, {"outer", "cut"}, out, err), kExitUsage);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err,
              "tallywick-cli: unknown command 'cut'\nusage:\n  tallywick-cli outer check PACK\n"
              "  tallywick-cli outer learn PACK IMAGE\n");
    err.clear();
    EXPECT_EQ(RunSubcommand(table, {}, out, err), kExitUsage);
    EXPECT_EQ(err, "usage:\n  tallywick-cli echo ARGS\n  tallywick-cli outer ...\n");
}

// What CLI11 brings to tallywick-cli's own commands: a value after '=' in the same argument, and
// single-dash arguments that are refused as options rather than opened as files.
class CliConventions : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        savedCalc_ = gCalc;
    }
    void TearDown() override {
        gCalc = savedCalc_;
        ReaderTest::TearDown();
    }
    int Run(const std::vector<std::string>& args) {
        out.clear(), err.clear();
        return RunCli(args, out, err);
    }
    std::string out, err;
    const std::string samples_ = std::string(TALLYWICK_SOURCE_DIR) + "/samples/";

private:
    CalcState savedCalc_;
};

TEST_F(CliConventions, ValuesMayFollowAnEqualsSign) {
    const std::string screen = samples_ + "sample_screen.png";
    ASSERT_EQ(Run({"read", screen, "--set", "equip", "--socket-options", "3,0,0,0,0,0"}), 0) << err;
    const std::string spaced = out;
    ASSERT_EQ(Run({"read", screen, "--set=equip", "--socket-options=3,0,0,0,0,0"}), 0) << err;
    EXPECT_EQ(out, spaced);
    EXPECT_NE(out.find("\"stats\":[0,0,0,0,52,412,0,0,220,0,0,0,231,462,0,0,0,0,0,"), std::string::npos)
        << out;

    ASSERT_EQ(Run({"profile", samples_ + "sample_settings.ini", "--profile=3"}), 0) << err;
    EXPECT_EQ(out.rfind("{\"profile\":3,", 0), 0u) << out;
    EXPECT_EQ(Run({"profile", samples_ + "sample_settings.ini", "--profile=9"}), kExitUsage);
    EXPECT_EQ(err.substr(0, err.find('\n')), "tallywick-cli: bad value for --profile: 9 (1 to 5)");
}

TEST_F(CliConventions, SingleDashArgumentsAreOptions) {
    EXPECT_EQ(Run({"read", "-h"}), kExitUsage);
    EXPECT_EQ(err.substr(0, err.find('\n')), "tallywick-cli: unknown option -h");
    EXPECT_EQ(Run({"compare", samples_ + "sample_settings.ini", "-x"}), kExitUsage);
    EXPECT_EQ(err.substr(0, err.find('\n')), "tallywick-cli: unknown option -x");
    EXPECT_EQ(out, "");
    // "-" alone and negative numbers stay values.
    EXPECT_EQ(Run({"read", "-"}), kExitUsage);
    EXPECT_EQ(err, "tallywick-cli: -: cannot open file\n");
    EXPECT_EQ(Run({"profile", "-1"}), kExitUsage);
    EXPECT_EQ(err, "tallywick-cli: -1: cannot open file\n");
}

}  // namespace
