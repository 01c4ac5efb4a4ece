// The settings file shared with other writers: a save writes only what the program changed, keeps
// the other side's version of a profile both changed and a damaged line before replacing it;
// values no setting can hold; the settings folder named beside the program; unsaveable files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/ini.h"
#include "app/settings_file.h"
#include "base/profile.h"
#include "base/settings.h"
#include "tests/support/settings_scratch.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SettingsMerge : public SettingsScratch {
protected:
    SettingsMerge() : SettingsScratch("tallywick-merge-") {}

    // Another writer's edit, under the file's lock, as the command-line tool makes one.
    void Foreign(const std::function<void(IniText*)>& edit) {
        IniFileLock lock(File().string());
        IniText ini;
        LoadIniFile(File().string(), &ini);
        edit(&ini);
        ASSERT_TRUE(SaveIniFile(File().string(), ini));
    }
    void ForeignParagon(int number, float paragon) {
        EquipmentProfile p = DefaultProfile();
        p.paragonLevel = paragon;
        Foreign([&](IniText* ini) { IniWriteStruct(ini, "Profiles", std::to_string(number), &p, sizeof p); });
    }
    static std::string Value(const fs::path& file, const char* section, const char* key) {
        IniText ini;
        std::string v;
        LoadIniFile(file.string(), &ini);
        return IniReadRaw(ini, section, key, &v) ? v : "<absent>";
    }
    static float Paragon(const fs::path& file, int number) {
        IniText ini;
        EquipmentProfile p;
        LoadIniFile(file.string(), &ini);
        return IniReadStruct(ini, "Profiles", std::to_string(number), &p, sizeof p) ? p.paragonLevel : -1;
    }
};

// What the program did not change stays the other writer's; where both changed the active profile
// the program's is written and the file as the other side left it is kept, once per conflict.
TEST_F(SettingsMerge, SavesKeepAnotherWritersChangesAndBothSidesOfAConflict) {
    ASSERT_TRUE(SaveSettings());
    ForeignParagon(2, 20);
    LoadSettings();
    gSettings.socketOptions[2] = 3;
    ForeignParagon(1, 11);
    ForeignParagon(2, 21);
    Foreign([](IniText* ini) { IniWriteInt(ini, "Options", "Show Modified Stats Popup", 0); });
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Paragon(File(), 1), 11);
    EXPECT_EQ(Paragon(File(), 2), 21);
    EXPECT_EQ(Value(File(), "Options", "Show Modified Stats Popup"), "0");
    EXPECT_EQ(Value(File(), "Options", "Socket Options").substr(16, 8), "03000000");
    const fs::file_time_type stamp = fs::last_write_time(File());
    ASSERT_TRUE(SaveSettings());  // nothing changed: the file is not even replaced
    EXPECT_EQ(fs::last_write_time(File()), stamp);
    ASSERT_TRUE(SaveActiveProfile());  // the active profile's own button: the other's version comes in
    LoadActiveProfile();
    EXPECT_EQ(gProfile.paragonLevel, 11);

    gProfile.paragonLevel = 100;
    ForeignParagon(1, 12);
    const std::string theirs = ReadBytes(File());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Paragon(File(), 1), 100);
    EXPECT_EQ(LastSaveNotes().conflictCopy, File().string() + ".conflict-1");
    EXPECT_EQ(ReadBytes(File().string() + ".conflict-1"), theirs);
    gProfile.paragonLevel = 101;
    ForeignParagon(1, 13);
    ASSERT_TRUE(SaveActiveProfile());
    EXPECT_EQ(LastSaveNotes().conflictCopy, File().string() + ".conflict-2");
    EXPECT_EQ(Paragon(File().string() + ".conflict-2", 1), 13);
    gProfile.paragonLevel = 102;
    ForeignParagon(1, 102);  // the same change on both sides is no conflict
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(LastSaveNotes().conflictCopy, "");
}

// A damaged line is kept in "<file>.damaged-N" before anything replaces it, once for the same bytes.
TEST_F(SettingsMerge, ADamagedProfileLineIsKeptBeforeItIsReplaced) {
    const std::string damaged = "[Options]\r\nActive Profile=2\r\n[Profiles]\r\n2=0A0B\r\n";
    std::ofstream(File(), std::ios::binary) << damaged;
    LoadSettings();
    ASSERT_TRUE(StoredProfileWasUnreadable());
    const std::string copy = KeepDamagedProfileCopy();
    EXPECT_EQ(copy, File().string() + ".damaged-1");
    EXPECT_EQ(ReadBytes(copy), damaged);
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(LastSaveNotes().damagedCopy, "");  // the same bytes were kept already
    EXPECT_EQ(Paragon(File(), 2), 0);
    EXPECT_EQ(KeepDamagedProfileCopy(), "");
    Foreign([](IniText* ini) { IniWriteString(ini, "Profiles", "2", "FF"); });
    gProfile.paragonLevel = 7;
    ASSERT_TRUE(SaveActiveProfile());
    EXPECT_EQ(LastSaveNotes().damagedCopy, File().string() + ".damaged-2");
    EXPECT_EQ(Value(File().string() + ".damaged-2", "Profiles", "2"), "FF");
}

// Values no setting can hold read as the nearest sound one; their lines stay until changed.
TEST_F(SettingsMerge, ValuesNoSettingCanHoldAreReadSoundAndLeftAlone) {
    const std::string tooLong = std::string("C:\\").append(257, 'a');
    HotkeySlot second = kDefaultHotkeys[1];
    second.controlId = kDefaultHotkeys[0].controlId;
    second.virtualKey = 0x41;
    const int32_t limits[3] = {50, 0, 31};
    Foreign([&](IniText* ini) {
        IniWriteInt(ini, "Options", "Active Profile", 7);
        IniWriteStruct(ini, "Options", "Error Limit", limits, sizeof limits);
        IniWriteStruct(ini, "HotKey", "1", &second, sizeof second);
        IniWriteString(ini, "File Path", "Image", tooLong);
    });
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 1);
    EXPECT_EQ(gSettings.errorLimit[0], 20);
    EXPECT_EQ(gSettings.errorLimit[1], 1);
    EXPECT_EQ(gSettings.errorLimit[2], 30);
    EXPECT_EQ(gSettings.hotkeys[1].virtualKey, kDefaultHotkeys[1].virtualKey);
    EXPECT_EQ(ImageFolder(), "");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Value(File(), "Options", "Active Profile"), "7");
    EXPECT_EQ(Value(File(), "File Path", "Image"), tooLong);
    gSettings.errorLimit[0] = 12;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Value(File(), "Options", "Error Limit"), "0C000000010000001E0000002B");
}

// The settings folder named beside the program is read at start, and stays named there.
TEST_F(SettingsMerge, TheSettingsFolderNamedBesideTheProgramIsReadAtStart) {
    const fs::path program = dir_ / "bin" / "tallywick", folder = dir_ / "folder";
    const fs::path beside = dir_ / "bin" / "Tallywick.ini", inFolder = folder / "Tallywick.ini";
    fs::create_directories(program.parent_path());
    fs::create_directories(folder);
    std::ofstream(beside, std::ios::binary) << "[Options]\r\nActive Profile=2\r\n";
    LoadSettingsAtStart(program.string());
    gSettings.iniFolder = folder.string();  // chosen in the settings dialog
    ComputeSettingsPath(program.string());
    gSettings.activeProfile = 4;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(beside),
              "[Options]\r\nActive Profile=2\r\n[File Path]\r\nINI=" + folder.string() + "\r\n");

    gSettings = Settings();
    EXPECT_EQ(LoadSettingsAtStart(program.string()).status, IniFileStatus::kLoaded);
    EXPECT_EQ(gSettings.settingsPath, inFolder.string());
    EXPECT_EQ(gSettings.activeProfile, 4);
    fs::remove(inFolder);
    EXPECT_EQ(LoadSettingsAtStart(program.string()).missingFolderFile, inFolder.string());
    EXPECT_EQ(gSettings.settingsPath, beside.string());
    EXPECT_EQ(gSettings.activeProfile, 2);
}

TEST_F(SettingsMerge, WhetherAFileCanBeReplacedIsKnownBeforeSaving) {
    std::string why;
    EXPECT_TRUE(CanReplaceFile(File().string(), &why)) << why;  // missing, in a writable folder
    std::ofstream(File()) << "[Options]\r\n";
    fs::permissions(File(), fs::perms(0444));
    EXPECT_FALSE(CanReplaceFile(File().string(), &why));
    EXPECT_EQ(why, "the settings file is read-only");
    EXPECT_FALSE(CanReplaceFile((dir_ / "missing" / "Tallywick.ini").string(), &why));
    EXPECT_FALSE(CanReplaceFile(dir_.string(), &why));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no probe left
}

}  // namespace
