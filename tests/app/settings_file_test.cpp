// The settings file on disk: its path, the keys and their defaults, the exact lines written,
// profiles kept apart, hostile files, and saves that fail without harming the old file.
#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/ini.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/text_encoding.h"
#include "tests/support/settings_scratch.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(fs::file_size(path), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    return bytes;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The value of the first line after `section` that starts with `prefix`.
std::string LineValue(const std::string& text, const std::string& section, const std::string& prefix) {
    size_t at = text.find("\n" + prefix, text.find(section));
    if (at == std::string::npos) return "<none>";
    at += 1 + prefix.size();
    return text.substr(at, text.find_first_of("\r\n", at) - at);
}

const std::string kDefaultProfileValue = std::string(2760, '0') + "06" + std::string(30, '0') + "06";

// Everything a first run writes, in this order.
const std::string kFirstRunFile =
    "[Options]\r\n"
    "Active Profile=1\r\n"
    "No Activate Main Window On Equip=1\r\n"
    "Show Modified Stats Popup=1\r\n"
    "Socket Options=" +
    std::string(50, '0') +
    "\r\n"
    "Error Limit=0A000000050000000800000017\r\n"
    "Image File Extension=0\r\n"
    "[HotKey]\r\n"
    "0=0A000000A00F00003100000002000000EC\r\n"
    "1=0B000000A20F00003100000006000000F3\r\n"
    "2=0C000000A30F00003200000002000000F2\r\n"
    "3=0D000000A40F00003200000006000000F8\r\n"
    "4=0E000000A50F000078000000000000003A\r\n"
    "[File Path]\r\n"
    "Image=\r\n"
    "INI=\r\n"
    "[Profiles]\r\n"
    "1=" +
    kDefaultProfileValue + "\r\n";

class SettingsFileTest : public SettingsScratch {
protected:
    SettingsFileTest() : SettingsScratch("tallywick-settings-") {}
};

EquipmentProfile SampleProfile(uint32_t seed) {
    EquipmentProfile p;
    std::mt19937 random(seed);
    auto* bytes = reinterpret_cast<uint8_t*>(&p);
    for (size_t i = 0; i < sizeof p; ++i) bytes[i] = uint8_t(random());
    return p;
}

bool SameProfile(const EquipmentProfile& a, const EquipmentProfile& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SettingsPath, FolderOrBesideTheExecutable) {
    Settings saved = gSettings;
    gSettings.iniFolder = "D:\\Games\\TW";
    ComputeSettingsPath("C:\\Program Files\\TW\\tallywick.exe");
    EXPECT_EQ(gSettings.settingsPath, "D:\\Games\\TW\\Tallywick.ini");
    gSettings.iniFolder = "D:\\";
    ComputeSettingsPath("C:\\x.exe");
    EXPECT_EQ(gSettings.settingsPath, "D:\\\\Tallywick.ini");  // used as it is
    gSettings.iniFolder.clear();
    ComputeSettingsPath("C:\\Program Files\\TW\\tallywick.exe");
    EXPECT_EQ(gSettings.settingsPath, "C:\\Program Files\\TW\\Tallywick.ini");
    ComputeSettingsPath("tallywick.exe");
    EXPECT_EQ(gSettings.settingsPath, "Tallywick.ini");
#ifndef _WIN32
    ComputeSettingsPath("/opt/tw/bin/tallywick");
    EXPECT_EQ(gSettings.settingsPath, "/opt/tw/bin/Tallywick.ini");
    gSettings.iniFolder = "/home/u/tw";
    ComputeSettingsPath("/opt/tw/bin/tallywick");
    EXPECT_EQ(gSettings.settingsPath, "/home/u/tw/Tallywick.ini");
#endif
    gSettings = saved;
}

TEST_F(SettingsFileTest, FirstRunGivesDefaultsAndWritesEveryKeyInOrder) {
    gSettings.activeProfile = 4;
    gSettings.errorLimit[0] = 1;
    gSettings.imageFolder = "stale";
    gProfile = SampleProfile(1);
    LoadSettings();
    const Settings fresh;
    EXPECT_EQ(gSettings.activeProfile, 1);
    EXPECT_EQ(gSettings.noActivateMainWindowOnEquip, 1);
    EXPECT_EQ(gSettings.showModifiedStatsPopup, 1);
    EXPECT_EQ(std::memcmp(gSettings.errorLimit, fresh.errorLimit, sizeof fresh.errorLimit), 0);
    EXPECT_EQ(std::memcmp(gSettings.hotkeys, kDefaultHotkeys, sizeof kDefaultHotkeys), 0);
    EXPECT_EQ(gSettings.imageFileExtension, 0);
    EXPECT_EQ(gSettings.imageFolder, "");
    EXPECT_TRUE(SameProfile(gProfile, DefaultProfile()));
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(File()), kFirstRunFile);
    EXPECT_EQ(kDefaultProfileValue.size(), 2794u);
    EXPECT_FALSE(fs::exists(File().string() + ".tmp"));
}

TEST_F(SettingsFileTest, AbsentOrDamagedKeysFollowTheirOwnRules) {
    std::string text = kFirstRunFile;
    // One digit of each struct changed: every checksum fails.
    for (const char* key : {"Error Limit=0A", "Socket Options=00", "0=0A", "1=0"}) {
        const size_t at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        text[at + std::strlen(key) - 1] = '9';
    }
    WriteBytes(File(), text);
    const int32_t sockets[6] = {1, 2, 3, 0, 1, 2};
    std::memcpy(gSettings.socketOptions, sockets, sizeof sockets);
    gSettings.hotkeys[0].virtualKey = 0x41;
    gSettings.errorLimit[1] = 15;
    LoadSettings();
    EXPECT_EQ(gSettings.errorLimit[0], 10);  // defaults
    EXPECT_EQ(gSettings.errorLimit[1], 5);
    EXPECT_EQ(gSettings.errorLimit[2], 8);
    EXPECT_EQ(std::memcmp(gSettings.socketOptions, sockets, sizeof sockets), 0);  // kept
    EXPECT_EQ(gSettings.hotkeys[0].virtualKey, 0x41u);
    EXPECT_EQ(gSettings.hotkeys[2].virtualKey, 0x32u);
}

TEST_F(SettingsFileTest, ProfilesRoundTripAndStayApart) {
    LoadSettings();
    const EquipmentProfile one = SampleProfile(11), two = SampleProfile(22);
    gProfile = one;
    ASSERT_TRUE(SaveSettings());
    const std::string firstSave = ReadBytes(File());
    // Switching: the profile left is written first, then the new number's profile is read.
    ASSERT_TRUE(SaveActiveProfile());
    gSettings.activeProfile = 2;
    LoadActiveProfile();
    EXPECT_TRUE(SameProfile(gProfile, DefaultProfile()));
    gProfile = two;
    ASSERT_TRUE(SaveActiveProfile());
    const std::string lineOne = LineValue(ReadBytes(File()), "[Profiles]", "1=");
    EXPECT_EQ(lineOne, LineValue(firstSave, "[Profiles]", "1="));
    EXPECT_EQ(lineOne.size(), 2794u);
    gSettings.activeProfile = 1;
    LoadActiveProfile();
    EXPECT_TRUE(SameProfile(gProfile, one));
    ASSERT_TRUE(SaveActiveProfile());
    gSettings.activeProfile = 2;
    LoadActiveProfile();
    EXPECT_TRUE(SameProfile(gProfile, two));
    // Number 7 has a key of its own; the file still holds 1 and 2 as they were.
    gSettings.activeProfile = 7;
    gProfile = one;
    ASSERT_TRUE(SaveSettings());
    std::string text = ReadBytes(File());
    EXPECT_EQ(LineValue(text, "[Options]", "Active Profile="), "7");
    EXPECT_EQ(LineValue(text, "[Profiles]", "7="), lineOne);
    EXPECT_EQ(LineValue(text, "[Profiles]", "1="), lineOne);
    // Read back, 7 is no profile a button shows: it counts as 1, as a missing value does.
    gProfile = DefaultProfile();
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 1);
    EXPECT_TRUE(SameProfile(gProfile, one));
}

TEST_F(SettingsFileTest, SaveKeepsForeignContentAndLineEnds) {
    const std::string before =
        "; kept\n[Options]\nActive Profile=3\nUnknown=yes\n\n[Profiles]\n5=abc\n3=" + kDefaultProfileValue +
        "\n[Other]\nx=1\n";
    WriteBytes(File(), before);
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 3);
    ASSERT_TRUE(SaveSettings());
    std::string after = ReadBytes(File());
    EXPECT_EQ(after.find('\r'), std::string::npos);
    EXPECT_EQ(after.substr(0, 46), "; kept\n[Options]\nActive Profile=3\nUnknown=yes\n");
    EXPECT_NE(after.find("\nImage File Extension=0\n\n[Profiles]\n5=abc\n3=" + kDefaultProfileValue +
                         "\n[Other]\nx=1\n"),
              std::string::npos);
}

TEST_F(SettingsFileTest, FoldersKeepTheirTextInEveryEncoding) {
    // A UTF-16LE file stays UTF-16LE; the folder comes back as UTF-8.
    std::string wide = "\xFF\xFE";
    for (char c : std::string("[File Path]\r\nImage=C:\\")) wide += std::string{c, '\0'};
    wide += std::string("\x48\xC5\r\0\n\0", 6);
    WriteBytes(File(), wide);
    LoadSettings();
    EXPECT_EQ(gSettings.imageFolder, "C:\\\xEC\x95\x88");
    gSettings.iniFolder = "D:\\\xEC\x95\x88";
    ASSERT_TRUE(SaveSettings());
    std::string saved = ReadBytes(File());
    EXPECT_EQ(saved.substr(0, wide.size()), wide);
    LoadSettings();
    EXPECT_EQ(gSettings.iniFolder, "D:\\\xEC\x95\x88");
    // An older file in the system code page goes through the installed decoder.
    WriteBytes(File(), "[File Path]\r\nImage=C:\\\xBE\xC8\r\n");
    CodePageDecoder old =
        SetCodePageDecoder([](std::string_view b) { return "decoded:" + std::to_string(b.size()); });
    LoadSettings();
    SetCodePageDecoder(old);
    EXPECT_EQ(gSettings.imageFolder, "decoded:5");
}

TEST_F(SettingsFileTest, FailedSavesLeaveTheOldFileAndSayFalse) {
    WriteBytes(File(), "[Options]\r\nActive Profile=2\r\n");
    const std::string before = ReadBytes(File());
    gSettings.activeProfile = 5;
    // The replacement fails.
    FileReplacer old = SetFileReplacer([](const std::string&, std::string_view) { return false; });
    std::string why;
    EXPECT_FALSE(SaveSettings(&why));
    EXPECT_NE(why.find("left as it was"), std::string::npos) << why;
    EXPECT_FALSE(SaveActiveProfile());
    SetFileReplacer(old);
    EXPECT_EQ(ReadBytes(File()), before);
    // A value that would break the file.
    gSettings.imageFolder = "C:\\a\r\n[Profiles]";
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(ReadBytes(File()), before);
    gSettings.imageFolder.clear();
    // A missing folder is not created.
    gSettings.settingsPath = (dir_ / "missing" / "Tallywick.ini").string();
    EXPECT_FALSE(SaveSettings());
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    // The path is a folder: neither read nor replaced.
    fs::create_directory(dir_ / "folder.ini");
    fs::path inner = dir_ / "folder.ini" / "keep";
    WriteBytes(inner, "x");
    gSettings.settingsPath = (dir_ / "folder.ini").string();
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 1);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(ReadBytes(inner), "x");
    gSettings.settingsPath.clear();
    EXPECT_FALSE(SaveActiveProfile());
}

TEST_F(SettingsFileTest, LargeTextGarbageGivesDefaultsAndIsKept) {
    std::string garbage(size_t(40) << 20, '\0');
    std::mt19937 random(3);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = char(1 + random() % 255);  // no NUL
    garbage[0] = 'x';                                                                   // no byte-order mark
    // A header with a name of 1 MB, and a run of empty lines.
    garbage.replace(1000, size_t(1) << 20, "[" + std::string((size_t(1) << 20) - 2, 'O') + "]");
    garbage.replace(size_t(20) << 20, size_t(8) << 20, std::string(size_t(8) << 20, '\n'));
    WriteBytes(File(), garbage);
    gSettings.showModifiedStatsPopup = 0;
    EXPECT_EQ(LoadSettings(), IniFileStatus::kLoaded);
    EXPECT_EQ(gSettings.showModifiedStatsPopup, 1);
    EXPECT_EQ(gSettings.errorLimit[0], 10);
    gSettings.imageFileExtension = 1;
    gProfile = SampleProfile(5);
    ASSERT_TRUE(SaveSettings());
    std::string after = ReadBytes(File());
    EXPECT_EQ(after.compare(0, garbage.size(), garbage), 0);
    garbage.clear();
    gProfile = DefaultProfile();
    gSettings.imageFileExtension = 0;
    LoadSettings();
    EXPECT_EQ(gSettings.imageFileExtension, 1);
    EXPECT_TRUE(SameProfile(gProfile, SampleProfile(5)));
}

// Files that are not settings files are neither read nor written, and say why.
TEST_F(SettingsFileTest, OversizedAndNonTextFilesAreRefusedAndKept) {
    std::string utf16;  // "[Options]\r\nActive Profile=3\r\n" as UTF-16LE without a byte-order mark
    for (char c : std::string("[Options]\r\nActive Profile=3\r\n")) utf16 += c, utf16 += '\0';
    std::string oversized = "[Options]\r\nActive Profile=3\r\n";
    oversized.resize(size_t(kIniMaxFileBytes) + 1, 'x');
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {{"UTF-16 without a mark", utf16, "not a text file"},
                 {"NUL bytes", "[Options]\r\nActive Profile=3\r\n" + std::string(3, '\0'), "not a text file"},
                 {"over the size limit", oversized, "too large"}};
    for (const Case& c : cases) {
        WriteBytes(File(), c.bytes);
        gSettings.activeProfile = 4;
        std::string why;
        EXPECT_EQ(LoadSettings(&why), IniFileStatus::kUnreadable) << c.what;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        EXPECT_EQ(gSettings.activeProfile, 1) << c.what;  // the defaults
        why.clear();
        EXPECT_FALSE(SaveSettings(&why)) << c.what;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        EXPECT_FALSE(SaveActiveProfile()) << c.what;
        EXPECT_EQ(fs::file_size(File()), c.bytes.size()) << c.what;
        EXPECT_TRUE(ReadBytes(File()) == c.bytes) << c.what;
    }
    // UTF-16 with its byte-order mark is text.
    WriteBytes(File(), "\xFF\xFE" + utf16);
    EXPECT_EQ(LoadSettings(), IniFileStatus::kLoaded);
    EXPECT_EQ(gSettings.activeProfile, 3);
}

}  // namespace
