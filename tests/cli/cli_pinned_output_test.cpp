// tallywick-cli's exact bytes: what each subcommand prints on the bundled samples, its complaints
// about bad usage and its exit codes. Scripts parse these lines, so a change in any byte (a key,
// the order of the keys, the text of a number, the wording of a complaint) is a change of the
// tool's interface.
//
// The expected texts below are reference outputs captured by running tallywick-cli, as it stood
// with its hand-written argument parsing and JSON writing, on samples/sample_screen.png and
// samples/sample_settings.ini. They are not computed here; they pin the outputs so that a change of
// how the arguments are parsed or the JSON is written cannot change them unnoticed.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "calc/formulas.h"
#include "cli/commands.h"
#include "tests/support/parser_scenes.h"

namespace {

const std::string kSamples = std::string(TALLYWICK_SOURCE_DIR) + "/samples/";

// "양손 무기" (two-hand weapon) and "보조장비" (off-hand) in UTF-8.
const std::string kTwoHandName = "\xEC\x96\x91\xEC\x86\x90 \xEB\xAC\xB4\xEA\xB8\xB0";
const std::string kOffHandName = "\xEB\xB3\xB4\xEC\xA1\xB0\xEC\x9E\xA5\xEB\xB9\x84";

const std::string kSampleTooltip = R"({"tooltip":{"x":1580,"y":260,"width":450,"height":700},)";
// The sample's item as `read` prints it with the default options (without the newline).
const std::string kSampleItem =
    kSampleTooltip + R"("kind":2,"kind_name":")" + kTwoHandName +
    R"(","stats":[0,0,0,0,52,412,0,0,220,0,0,0,231,462,0,0,0,0,1450,1187,1463,7,9,0,1.1],"alerts":[]})";
// The same item with the weapon gem's stat (index 18) taken by a socket choice.
const std::string kSampleItemSocketChosen =
    kSampleTooltip + R"("kind":2,"kind_name":")" + kTwoHandName +
    R"(","stats":[0,0,0,0,52,412,0,0,220,0,0,0,231,462,0,0,0,0,0,1187,1463,7,9,0,1.1],"alerts":[]})";

// The sample settings file's profiles as `profile` prints them (without the alerts).
const std::string kProfile1 =
    R"({"profile":1,"weapon_dps":[1365,0],"summary":[53484.02,42527.52,273.7,1.4,180,30.5,67,67,2137,1077,12])";
const std::string kProfile1Equipped =
    R"({"profile":1,"weapon_dps":[1460.0345,0],"summary":[27514.373,35471.52,183.7,1.1021,182,22.5,67,479,1237,897,12])";
const std::string kProfile3 =
    R"({"profile":3,"weapon_dps":[0,0],"summary":[0,4721,18.7,0,50,5,67,67,187,127,0])";

// The usage lines grew with the glyph pack options, the glyphs command and --text; everything else
// is as it was before the move to CLI11.
const std::string kReadUsageLine =
    "usage: tallywick-cli read IMAGE [--set equip|compare] [--socket-options "
    "E_WEAPON,E_HELM,E_OTHER,C_WEAPON,C_HELM,C_OTHER] [--error-limit KIND,OPTION,VALUE] "
    "[--main-attribute 5|6|7] [--glyphs PACK] [--explain OUT.png] [--text]\n";
const std::string kProfileUsageLine = "usage: tallywick-cli profile INI [--profile N]\n";
const std::string kCompareUsageLine =
    "usage: tallywick-cli compare INI IMAGE [--secondary] [--profile N] [--glyphs PACK] [--text]\n";
const std::string kEquipUsageLine =
    "usage: tallywick-cli equip INI IMAGE [--secondary] [--profile N] [--write] [--glyphs PACK] [--text]\n";
const std::string kAllUsage =
    "usage:\n"
    "  tallywick-cli read IMAGE [--set equip|compare] [--socket-options "
    "E_WEAPON,E_HELM,E_OTHER,C_WEAPON,C_HELM,C_OTHER] [--error-limit KIND,OPTION,VALUE] "
    "[--main-attribute 5|6|7] [--glyphs PACK] [--explain OUT.png] [--text]\n"
    "  tallywick-cli profile INI [--profile N]\n"
    "  tallywick-cli compare INI IMAGE [--secondary] [--profile N] [--glyphs PACK] [--text]\n"
    "  tallywick-cli equip INI IMAGE [--secondary] [--profile N] [--write] [--glyphs PACK] [--text]\n"
    "  tallywick-cli glyphs check|learn|cut ...\n";

class CliPinnedOutput : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        savedCalc_ = gCalc;
        // A copy of the sample settings per test, so that nothing here touches the bundled file and
        // tests running side by side do not share one.
        ini_ = testing::TempDir() + "/cli_pinned_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::copy_file(kSamples + "sample_settings.ini", ini_,
                                   std::filesystem::copy_options::overwrite_existing);
        std::string error;
        ASSERT_TRUE(ReadFileBytes(ini_, original_, error)) << error;
    }
    void TearDown() override {
        gCalc = savedCalc_;
        ReaderTest::TearDown();
    }
    // Runs tallywick-cli in-process and checks its exit code, stdout and stderr byte for byte.
    void Expect(const std::vector<std::string>& args, int code, const std::string& out,
                const std::string& err) {
        std::string gotOut, gotErr;
        const int gotCode = RunCli(args, gotOut, gotErr);
        EXPECT_EQ(gotCode, code) << testing::PrintToString(args);
        EXPECT_EQ(gotOut, out) << testing::PrintToString(args);
        EXPECT_EQ(gotErr, err) << testing::PrintToString(args);
    }
    bool IniUnchanged() {
        std::vector<uint8_t> now;
        std::string error;
        return ReadFileBytes(ini_, now, error) && now == original_;
    }

    std::string ini_;
    std::vector<uint8_t> original_;
    const std::string screen_ = kSamples + "sample_screen.png";

private:
    CalcState savedCalc_;
};

TEST_F(CliPinnedOutput, ReadPrintsTheSampleItem) {
    Expect({"read", screen_}, 0, kSampleItem + "\n", "");
    // The explicit defaults change nothing.
    Expect({"read", screen_, "--set", "compare", "--error-limit", "10,5,8", "--main-attribute", "6",
            "--socket-options", "0,0,0,0,0,0"},
           0, kSampleItem + "\n", "");
    // The compare set takes the weapon's socket choice from the fourth value, the equip set from
    // the first; options come before or after the image alike.
    Expect({"read", screen_, "--socket-options", "0,0,0,3,0,0"}, 0, kSampleItemSocketChosen + "\n", "");
    Expect({"read", screen_, "--socket-options", "0,0,0,3,0,0", "--set", "equip"}, 0, kSampleItem + "\n", "");
    Expect({"read", "--set", "equip", "--socket-options", "3,0,0,0,0,0", "--main-attribute", "7", screen_}, 0,
           kSampleItemSocketChosen + "\n", "");
    // Tolerances so wide that the first kind's caption matches.
    Expect({"read", screen_, "--error-limit", "1000,1000,1000"}, 0,
           kSampleTooltip + R"("kind":0,"kind_name":")" + kOffHandName +
               R"(","stats":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],"alerts":[]})" + "\n",
           "");
}

TEST_F(CliPinnedOutput, ProfilePrintsTheStoredProfiles) {
    Expect({"profile", ini_}, 0, kProfile1 + R"(,"alerts":[]})" + "\n", "");
    Expect({"profile", ini_, "--profile", "3"}, 0, kProfile3 + R"(,"alerts":[]})" + "\n", "");
    Expect({"profile", "--profile", "1", ini_}, 0, kProfile1 + R"(,"alerts":[]})" + "\n", "");
    EXPECT_TRUE(IniUnchanged());
}

TEST_F(CliPinnedOutput, ComparePrintsThePrediction) {
    const std::string modified1 =
        R"("modified":[27514.373,35471.52,183.7,1.1021,182,22.5,67,479,1237,897,12],)"
        R"("adjustments":[105.93005,-99.379944,231,462,-0.29789996,-15,0,2,-8,0,0,412,-900,-180,0,0],)"
        R"("value_equivalents":[-25969.646,-749.46027,-535.3288,-62.979855,-1086.1954,-48.555897,)"
        R"(-246.60028,-41.78505,-7056,-180.00002,-18.582603],)";
    Expect({"compare", ini_, screen_}, 0,
           kProfile1 + R"(,"item":)" + kSampleItem + R"(,"slot":0,)" + modified1 + R"("alerts":[]})" + "\n",
           "");
    // A two-hand weapon goes to the main hand either way.
    Expect({"compare", ini_, screen_, "--secondary"}, 0,
           kProfile1 + R"(,"item":)" + kSampleItem + R"(,"slot":0,)" + modified1 + R"("alerts":[]})" + "\n",
           "");
    // Profile 3's empty values give equivalents that are not finite: JSON null.
    Expect({"compare", "--secondary", ini_, "--profile", "2", screen_}, 0,
           R"({"profile":2,"weapon_dps":[0,0],"summary":[0,4721,18.7,0,50,5,67,67,187,127,0],"item":)" +
               kSampleItem +
               R"(,"slot":0,"modified":[4404.0044,12421,18.7,1.1021,102,5,67,479,187,347,0],)"
               R"("adjustments":[955.93005,1000.62006,231,462,1.1021,0,0,52,0,0,0,412,0,220,0,0],)"
               R"("value_equivalents":[4404.0044,null,null,null,null,null,null,null,7700,220,163.10104],)"
               R"("alerts":[]})" +
               "\n",
           "");
    EXPECT_TRUE(IniUnchanged());
}

TEST_F(CliPinnedOutput, EquipPrintsTheNewProfileAndWritesOnlyWhenAsked) {
    const std::string equipped1 =
        kProfile1Equipped + R"(,"item":)" + kSampleItem + R"(,"slot":0,"alerts":[]})" + "\n";
    Expect({"equip", ini_, screen_}, 0, equipped1, "");
    // Without --write a second run starts from the same stored profile.
    Expect({"equip", ini_, screen_, "--secondary"}, 0, equipped1, "");
    // --profile may be repeated; the last one counts.
    Expect(
        {"equip", ini_, screen_, "--profile", "1", "--profile", "2"}, 0,
        R"({"profile":2,"weapon_dps":[1460.0345,0],"summary":[4404.0044,12421,18.7,1.1021,102,5,67,479,187,347,0],"item":)" +
            kSampleItem + R"(,"slot":0,"alerts":[]})" + "\n",
        "");
    EXPECT_TRUE(IniUnchanged());

    Expect({"equip", ini_, screen_, "--write"}, 0, equipped1, "");
    EXPECT_FALSE(IniUnchanged());
    Expect({"profile", ini_}, 0, kProfile1Equipped + R"(,"alerts":[]})" + "\n", "");
}

TEST_F(CliPinnedOutput, DispatchComplainsWithTheFullUsage) {
    Expect({}, 2, "", kAllUsage);
    Expect({"bogus"}, 2, "", "tallywick-cli: unknown command 'bogus'\n" + kAllUsage);
    Expect({"--set", "read"}, 2, "", "tallywick-cli: unknown command '--set'\n" + kAllUsage);
    Expect({"READ", screen_}, 2, "", "tallywick-cli: unknown command 'READ'\n" + kAllUsage);
}

TEST_F(CliPinnedOutput, ReadComplainsAboutBadUsage) {
    const auto bad = [&](std::vector<std::string> args, const std::string& why) {
        args.insert(args.begin(), "read");
        Expect(args, 2, "", "tallywick-cli: " + why + "\n" + kReadUsageLine);
    };
    bad({}, "no image given");
    bad({"--set", "equip"}, "no image given");
    bad({screen_, screen_}, "more than one image given");
    bad({screen_, "--colour"}, "unknown option --colour");
    bad({screen_, "--help"}, "unknown option --help");
    bad({"--colour", screen_, "--set"}, "unknown option --colour");
    bad({screen_, "--set", "equip", "--set", "equip"}, "--set given twice");
    bad({screen_, "--main-attribute", "6", "--main-attribute", "6"}, "--main-attribute given twice");
    bad({screen_, "--socket-options", "0,0,0,0,0,0", "--socket-options", "0,0,0,0,0,0"},
        "--socket-options given twice");
    bad({screen_, "--error-limit", "1,1,1", "--error-limit", "1,1,1"}, "--error-limit given twice");
    bad({screen_, "--set"}, "--set needs a value");
    bad({screen_, "--socket-options"}, "--socket-options needs a value");
    bad({screen_, "--error-limit"}, "--error-limit needs a value");
    bad({screen_, "--main-attribute"}, "--main-attribute needs a value");
    bad({screen_, "--set", "both"}, "bad value for --set: both");
    bad({screen_, "--set", "Equip"}, "bad value for --set: Equip");
    bad({screen_, "--set", "--main-attribute", "6"}, "bad value for --set: --main-attribute");
    bad({screen_, "--socket-options", "1,2,3"}, "bad value for --socket-options: 1,2,3");
    bad({screen_, "--socket-options", "0,0,0,0,0,4"}, "bad value for --socket-options: 0,0,0,0,0,4");
    bad({screen_, "--socket-options", "0,0,0,0,0,0,"}, "bad value for --socket-options: 0,0,0,0,0,0,");
    bad({screen_, "--socket-options", "0,0,0,0,0,-1"}, "bad value for --socket-options: 0,0,0,0,0,-1");
    bad({screen_, "--socket-options", "0,0, 0,0,0,0"}, "bad value for --socket-options: 0,0, 0,0,0,0");
    bad({screen_, "--error-limit", "10,5,x"}, "bad value for --error-limit: 10,5,x");
    bad({screen_, "--error-limit", "-1,5,8"}, "bad value for --error-limit: -1,5,8");
    bad({screen_, "--error-limit", "10,5,1001"}, "bad value for --error-limit: 10,5,1001");
    bad({screen_, "--error-limit", ""}, "bad value for --error-limit: ");
    bad({screen_, "--main-attribute", "8"}, "bad value for --main-attribute: 8");
    bad({screen_, "--main-attribute", "4"}, "bad value for --main-attribute: 4");
    bad({screen_, "--main-attribute", "6.0"}, "bad value for --main-attribute: 6.0");
    // The first fault in the order of the arguments is the one named.
    bad({screen_, "--set", "x", "--colour"}, "bad value for --set: x");
    bad({screen_, "--set", "equip", "--main-attribute", "9", "--set", "equip"},
        "bad value for --main-attribute: 9");

    const std::string missing = testing::TempDir() + "/no_such_screen.png";
    Expect({"read", missing}, 2, "", "tallywick-cli: " + missing + ": cannot open file\n");
}

TEST_F(CliPinnedOutput, CalculatorCommandsComplainAboutBadUsage) {
    const auto bad = [&](const std::vector<std::string>& args, const std::string& why,
                         const std::string& usage) {
        Expect(args, 2, "", "tallywick-cli: " + why + "\n" + usage);
    };
    bad({"profile"}, "expected a settings file", kProfileUsageLine);
    bad({"profile", ini_, screen_}, "expected a settings file", kProfileUsageLine);
    bad({"profile", ini_, "--profile"}, "--profile needs a value", kProfileUsageLine);
    bad({"profile", ini_, "--profile", "0"}, "bad value for --profile: 0 (1 to 5)", kProfileUsageLine);
    bad({"profile", ini_, "--profile", "6"}, "bad value for --profile: 6 (1 to 5)", kProfileUsageLine);
    bad({"profile", ini_, "--profile", "2x"}, "bad value for --profile: 2x (1 to 5)", kProfileUsageLine);
    bad({"profile", ini_, "--profile", "-1"}, "bad value for --profile: -1 (1 to 5)", kProfileUsageLine);
    bad({"profile", ini_, "--secondary"}, "unknown option --secondary", kProfileUsageLine);
    bad({"profile", ini_, "--write"}, "unknown option --write", kProfileUsageLine);

    bad({"compare"}, "expected a settings file and an image", kCompareUsageLine);
    bad({"compare", ini_}, "expected a settings file and an image", kCompareUsageLine);
    bad({"compare", ini_, screen_, screen_}, "expected a settings file and an image", kCompareUsageLine);
    bad({"compare", ini_, screen_, "--write"}, "unknown option --write", kCompareUsageLine);
    bad({"compare", ini_, screen_, "--bogus"}, "unknown option --bogus", kCompareUsageLine);
    bad({"compare", ini_, screen_, "--profile"}, "--profile needs a value", kCompareUsageLine);
    bad({"compare", ini_, screen_, "--profile", "9"}, "bad value for --profile: 9 (1 to 5)",
        kCompareUsageLine);
    // The first fault in the order of the arguments is the one named.
    bad({"compare", ini_, "--bogus", "--profile", "9"}, "unknown option --bogus", kCompareUsageLine);
    bad({"compare", ini_, "--profile", "9", "--bogus"}, "bad value for --profile: 9 (1 to 5)",
        kCompareUsageLine);

    bad({"equip", ini_}, "expected a settings file and an image", kEquipUsageLine);
    bad({"equip", ini_, screen_, "--profile", "--write"}, "bad value for --profile: --write (1 to 5)",
        kEquipUsageLine);
    bad({"equip", ini_, screen_, "--force"}, "unknown option --force", kEquipUsageLine);
    EXPECT_TRUE(IniUnchanged());

    const std::string missingIni = testing::TempDir() + "/no_such_settings.ini";
    Expect({"profile", missingIni}, 2, "", "tallywick-cli: " + missingIni + ": cannot open file\n");
    const std::string missingScreen = testing::TempDir() + "/no_such_screen.png";
    Expect({"compare", ini_, missingScreen}, 2, "",
           "tallywick-cli: " + missingScreen + ": cannot open file\n");
}

}  // namespace
