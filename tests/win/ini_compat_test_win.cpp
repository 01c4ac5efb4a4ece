// Our INI codec against the Windows profile functions, both ways: what one writes the other reads
// alike, fresh files come out byte for byte the same, and odd files read the same through both.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ini.h"
#include "app/ini_win.h"
#include "app/settings_file.h"
#include "base/gdi_win.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/text_encoding.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::wstring W(std::string_view utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string U(std::wstring_view wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Utf8Path(const fs::path& path) {
    return U(path.wstring());
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// What the system reads: a string (absent as nullopt-like flag), an integer, a struct.
struct SystemReading {
    bool present;
    std::string value;
};

SystemReading SystemString(const fs::path& file, const std::string& section, const std::string& key) {
    wchar_t buffer[260];
    const wchar_t* absent = L"\x01<absent>";
    GetPrivateProfileStringW(W(section).c_str(), W(key).c_str(), absent, buffer, 260, file.c_str());
    if (std::wcscmp(buffer, absent) == 0) return {false, ""};
    return {true, U(buffer)};
}

int32_t SystemInt(const fs::path& file, const std::string& section, const std::string& key, int32_t def) {
    return int32_t(GetPrivateProfileIntW(W(section).c_str(), W(key).c_str(), def, file.c_str()));
}

bool SystemStruct(const fs::path& file, const std::string& section, const std::string& key, void* data,
                  UINT size) {
    return GetPrivateProfileStructW(W(section).c_str(), W(key).c_str(), data, size, file.c_str()) != FALSE;
}

class IniCompatTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tallywick-ini-" + std::to_string(GetCurrentProcessId()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        SetFileReplacer(ReplaceFileWriteThrough);
        gSettings = Settings();
        gProfile = DefaultProfile();
    }
    void TearDown() override {
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr);  // drop the system's cache
        SetFileReplacer(nullptr);
        std::error_code ec;
        fs::remove_all(dir_, ec);
        gSettings = Settings();
        gProfile = DefaultProfile();
    }
    // A new name for every file: the system caches what it has read by name.
    fs::path NewFile() { return dir_ / ("f" + std::to_string(count_++) + ".ini"); }

    fs::path dir_;
    int count_ = 0;
};

void FillSettings() {
    gSettings.activeProfile = 3;
    gSettings.noActivateMainWindowOnEquip = 0;
    gSettings.showModifiedStatsPopup = 1;
    const int32_t sockets[6] = {1, 2, 3, 0, 1, 2};
    std::memcpy(gSettings.socketOptions, sockets, sizeof sockets);
    gSettings.errorLimit[0] = 20;
    gSettings.hotkeys[4].virtualKey = 0x79;
    gSettings.hotkeys[4].modifiers = 5;
    gSettings.imageFileExtension = 1;
    gSettings.imageFolder = "C:\\Users\\me\\Pictures";
    gSettings.iniFolder = "";
    auto* bytes = reinterpret_cast<uint8_t*>(&gProfile);
    for (size_t i = 0; i < sizeof gProfile; ++i) bytes[i] = uint8_t(i * 7 + 3);
}

// The settings as the system writes them, key by key in the order of the settings file.
void SystemWriteSettings(const fs::path& file) {
    const Settings& s = gSettings;
    const wchar_t* f = file.c_str();
    WritePrivateProfileStringW(L"Options", L"Active Profile", std::to_wstring(s.activeProfile).c_str(), f);
    WritePrivateProfileStringW(L"Options", L"No Activate Main Window On Equip",
                               std::to_wstring(s.noActivateMainWindowOnEquip).c_str(), f);
    WritePrivateProfileStringW(L"Options", L"Show Modified Stats Popup",
                               std::to_wstring(s.showModifiedStatsPopup).c_str(), f);
    WritePrivateProfileStructW(L"Options", L"Socket Options", (void*)s.socketOptions, sizeof s.socketOptions,
                               f);
    WritePrivateProfileStructW(L"Options", L"Error Limit", (void*)s.errorLimit, sizeof s.errorLimit, f);
    for (int i = 0; i < kHotkeyCount; ++i)
        WritePrivateProfileStructW(L"HotKey", std::to_wstring(i).c_str(), (void*)&s.hotkeys[i], 16, f);
    WritePrivateProfileStringW(L"Options", L"Image File Extension",
                               std::to_wstring(s.imageFileExtension).c_str(), f);
    WritePrivateProfileStringW(L"File Path", L"Image", W(s.imageFolder).c_str(), f);
    WritePrivateProfileStringW(L"File Path", L"INI", W(s.iniFolder).c_str(), f);
    WritePrivateProfileStructW(L"Profiles", std::to_wstring(s.activeProfile).c_str(), &gProfile,
                               sizeof gProfile, f);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, f);
}

TEST_F(IniCompatTest, FreshFilesComeOutByteForByteTheSame) {
    for (bool defaults : {true, false}) {
        gSettings = Settings();
        gProfile = DefaultProfile();
        if (!defaults) FillSettings();
        fs::path ours = NewFile(), theirs = NewFile();
        gSettings.settingsPath = Utf8Path(ours);
        ASSERT_TRUE(SaveSettings());
        SystemWriteSettings(theirs);
        EXPECT_EQ(ReadBytes(ours), ReadBytes(theirs)) << (defaults ? "defaults" : "filled");
    }
    const std::string text = ReadBytes(dir_ / "f0.ini");
    for (const char* line :
         {"\r\nError Limit=0A000000050000000800000017\r\n", "\r\n0=0A000000A00F00003100000002000000EC\r\n",
          "\r\n1=0B000000A20F00003100000006000000F3\r\n", "\r\n2=0C000000A30F00003200000002000000F2\r\n",
          "\r\n3=0D000000A40F00003200000006000000F8\r\n", "\r\n4=0E000000A50F000078000000000000003A\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_NE(text.find("\r\nSocket Options=" + std::string(50, '0') + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1=" + std::string(2760, '0') + "06" + std::string(30, '0') + "06\r\n"),
              std::string::npos);
}

TEST_F(IniCompatTest, EachReadsWhatTheOtherWrote) {
    FillSettings();
    const Settings wanted = gSettings;
    const EquipmentProfile profile = gProfile;
    fs::path ours = NewFile(), theirs = NewFile();
    gSettings.settingsPath = Utf8Path(ours);
    ASSERT_TRUE(SaveSettings());
    // The system reads our file.
    EXPECT_EQ(SystemInt(ours, "Options", "Active Profile", 1), 3);
    EXPECT_EQ(SystemInt(ours, "Options", "No Activate Main Window On Equip", 1), 0);
    int32_t sockets[6] = {}, limits[3] = {};
    EXPECT_TRUE(SystemStruct(ours, "Options", "Socket Options", sockets, sizeof sockets));
    EXPECT_EQ(std::memcmp(sockets, wanted.socketOptions, sizeof sockets), 0);
    EXPECT_TRUE(SystemStruct(ours, "Options", "Error Limit", limits, sizeof limits));
    EXPECT_EQ(limits[0], 20);
    HotkeySlot slot;
    EXPECT_TRUE(SystemStruct(ours, "HotKey", "4", &slot, sizeof slot));
    EXPECT_EQ(std::memcmp(&slot, &wanted.hotkeys[4], sizeof slot), 0);
    EXPECT_EQ(SystemString(ours, "File Path", "Image").value, wanted.imageFolder);
    EquipmentProfile read;
    EXPECT_TRUE(SystemStruct(ours, "Profiles", "3", &read, sizeof read));
    EXPECT_EQ(std::memcmp(&read, &profile, sizeof read), 0);
    // We read the system's file.
    SystemWriteSettings(theirs);
    gSettings = Settings();
    gProfile = DefaultProfile();
    gSettings.settingsPath = Utf8Path(theirs);
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 3);
    EXPECT_EQ(gSettings.noActivateMainWindowOnEquip, 0);
    EXPECT_EQ(std::memcmp(gSettings.socketOptions, wanted.socketOptions, sizeof sockets), 0);
    EXPECT_EQ(std::memcmp(gSettings.errorLimit, wanted.errorLimit, sizeof limits), 0);
    EXPECT_EQ(std::memcmp(gSettings.hotkeys, wanted.hotkeys, sizeof wanted.hotkeys), 0);
    EXPECT_EQ(gSettings.imageFileExtension, 1);
    EXPECT_EQ(gSettings.imageFolder, wanted.imageFolder);
    EXPECT_EQ(std::memcmp(&gProfile, &profile, sizeof profile), 0);
}

// Files with odd lines, each read through both for every value form.
struct OddRead {
    std::string file;
    const char* section;
    const char* key;
    // The system takes a struct value longer than its size from its first characters; we hold
    // to the exact length, so those values are compared as strings and integers only.
    bool sameStruct = true;
};

std::vector<OddRead> OddReads() {
    std::vector<OddRead> cases;
    const char* values[] = {"12",
                            "  12",
                            "-5",
                            "+7",
                            "12abc",
                            "abc",
                            "",
                            "0x10",
                            "0X1f",
                            " -3",
                            "- 5",
                            "--5",
                            "4294967297",
                            "99999999999",
                            "2147483648",
                            "\t8",
                            "\"5\"",
                            "'6'",
                            "\"\"",
                            "-",
                            "0b101",
                            "0o17",
                            "0x",
                            "012",
                            "1 2",
                            "00000000000000000000000000000000012",
                            "0000000000000000000000000012",
                            "000000000000000000000000000012",
                            "-0x10",
                            "9a",
                            "0A000000050000000800000017",
                            "0a000000050000000800000017",
                            "0A000000050000000800000018",
                            "0A00000005000000080000001",
                            "0G000000050000000800000017",
                            "\"0A000000050000000800000017\"",
                            "\"q\"",
                            "\"a",
                            "\"a\"b\"",
                            "'s'",
                            "\x1A v \x1A",
                            "\x01"
                            "5"};
    for (const char* v : values)
        cases.push_back({"[A]\nk=" + std::string(v) + "\n", "A", "k", std::strlen(v) <= 26});
    cases.push_back({"[A]\nk=a\0b\nj=2\n"s, "A", "k"});
    const std::string odd =
        "top=1\n  [ Sec ]  ; c\n  Key  =  val ue  \n;c=1\nkeyonly\ndup=1\ndup=2\n[B]]\nj=2\n[sec]\nlate=1\n"
        "[Half\nh=3\n[C] x\ni=3\n=6\nk\0x=1\n\v k \f = \x1A v \x1A\n"s;
    for (auto [s, k] : std::vector<std::pair<const char*, const char*>>{{"Sec", "Key"},
                                                                        {"SEC", "KEY"},
                                                                        {" Sec ", " Key "},
                                                                        {"Sec", ";c"},
                                                                        {"Sec", "keyonly"},
                                                                        {"Sec", "dup"},
                                                                        {"Sec", "late"},
                                                                        {"B]", "j"},
                                                                        {"B", "j"},
                                                                        {"B]", "h"},
                                                                        {"C", "i"},
                                                                        {"C", ""},
                                                                        {"C", "k"},
                                                                        {"C", "top"}})
        cases.push_back({odd, s, k});
    cases.push_back({"[A]\rk=1\rj=2\r[B]\rk=3\r", "B", "k"});
    cases.push_back({"[A]\r\nk=1\r\n\r\n[B]\r\nk=3", "B", "k"});
    cases.push_back({"[A]\nk=1\n[A]\nj=1\n", "A", "j"});
    cases.push_back({"\xEF\xBB\xBF[A]\nk=\xEC\x95\x88\n", "A", "k"});
    cases.push_back({"\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x48\xC5\r\0\n\0"s, "A", "k"});
    cases.push_back({"[A]\nk=" + std::string(300, 'x') + "\n", "A", "k"});
    return cases;
}

TEST_F(IniCompatTest, OddFilesReadTheSameThroughBoth) {
    for (const OddRead& c : OddReads()) {
        fs::path file = NewFile();
        WriteBytes(file, c.file);
        IniText ini;
        std::string where = "file " + file.filename().string() + " [" + c.section + "] " + c.key;
        // A NUL byte outside UTF-16 marks a file that is not text: refused rather than half read.
        const bool utf16 = c.file.size() >= 2 && c.file[0] == '\xFF' && c.file[1] == '\xFE';
        if (!utf16 && c.file.find('\0') != std::string::npos) {
            EXPECT_EQ(LoadIniFile(Utf8Path(file), &ini), IniFileStatus::kUnreadable) << where;
            continue;
        }
        ASSERT_EQ(LoadIniFile(Utf8Path(file), &ini), IniFileStatus::kLoaded) << where;
        SystemReading system = SystemString(file, c.section, c.key);
        std::string ours;
        bool present = IniReadString(ini, c.section, c.key, &ours);
        EXPECT_EQ(present, system.present) << where;
        if (present && system.present) {
            EXPECT_EQ(ours, system.value) << where;
        }
        EXPECT_EQ(IniReadInt(ini, c.section, c.key, -99), SystemInt(file, c.section, c.key, -99)) << where;
        uint8_t mine[12] = {}, theirs[12] = {};
        bool ok = IniReadStruct(ini, c.section, c.key, mine, sizeof mine);
        if (!c.sameStruct) {
            EXPECT_FALSE(ok) << where;
            continue;
        }
        EXPECT_EQ(ok, SystemStruct(file, c.section, c.key, theirs, sizeof theirs)) << where;
        if (ok) {
            EXPECT_EQ(std::memcmp(mine, theirs, sizeof mine), 0) << where;
        }
    }
}

TEST_F(IniCompatTest, EditsOfOddFilesReadAlike) {
    const std::string starts[] = {
        "; head\n[A]  ; c\r\n  k = 1  \r\n\r\n;comment\r\n[B]\r\nz=1",
        "[A]\rk=1\r[B]\rz=1\r",
        "[A]\nk=1\n[A]\nj=1\nk=2\n",
        "\xEF\xBB\xBF[A]\nk=1\n",
        "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0"
        "1\0\r\0\n\0"s,
    };
    struct Edit {
        const char *section, *key, *value;
    } edits[] = {{"A", "k", "9"}, {"a", "new", "\xEC\x95\x88"}, {"B", "y", "  3"}, {"C", "w", "4"}};
    const char* reads[][2] = {{"A", "k"}, {"A", "new"}, {"A", "j"},       {"B", "z"},
                              {"B", "y"}, {"C", "w"},   {"A", ";comment"}};
    for (const std::string& start : starts) {
        bool unicode = start[0] == '\xEF' || start[0] == '\xFF';
        fs::path ours = NewFile(), theirs = NewFile();
        IniText ini = ParseIniBytes(start);
        WriteBytes(theirs, start);
        for (const Edit& e : edits) {
            if (!unicode && std::strlen(e.value) > 1 && e.value[0] & 0x80)
                continue;  // code page files: ASCII only
            ASSERT_TRUE(IniWriteString(&ini, e.section, e.key, e.value));
            WritePrivateProfileStringW(W(e.section).c_str(), W(e.key).c_str(), W(e.value).c_str(),
                                       theirs.c_str());
        }
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, theirs.c_str());
        ASSERT_TRUE(SaveIniFile(Utf8Path(ours), ini));
        IniText system;
        ASSERT_EQ(LoadIniFile(Utf8Path(theirs), &system), IniFileStatus::kLoaded);
        EXPECT_EQ(system.encoding, ini.encoding);
        for (auto& r : reads) {
            std::string where =
                std::string("[") + r[0] + "] " + r[1] + " after edits of file " + ours.filename().string();
            std::string a, b;
            bool inOurs = IniReadString(ini, r[0], r[1], &a),
                 inTheirs = IniReadString(system, r[0], r[1], &b);
            EXPECT_EQ(inOurs, inTheirs) << where;
            EXPECT_EQ(a, b) << where;
            SystemReading s = SystemString(ours, r[0], r[1]);
            EXPECT_EQ(s.present, inOurs) << where;
            EXPECT_EQ(s.value, a) << where;
        }
    }
}

TEST_F(IniCompatTest, CodePageFilesLoadThroughTheHook) {
    // The system writes a file without a byte-order mark in the code page.
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the code page is UTF-8 here";
    const std::wstring folder = GetACP() == 949 ? L"C:\\\xC548\xB155" : L"C:\\caf\xE9";
    fs::path file = NewFile();
    WritePrivateProfileStringW(L"File Path", L"Image", folder.c_str(), file.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    ASSERT_FALSE(IsValidUtf8(ReadBytes(file)));
    CodePageDecoder old = SetCodePageDecoder(SystemCodePageToUtf8);
    gSettings.settingsPath = Utf8Path(file);
    LoadSettings();
    SetCodePageDecoder(old);
    EXPECT_EQ(gSettings.imageFolder, U(folder));
}

TEST_F(IniCompatTest, ReplacingTheFileOnWindows) {
    // A folder with a Korean name: paths go through as UTF-8.
    fs::path korean = dir_ / fs::path(L"\xC124\xC815");
    fs::create_directory(korean);
    gSettings.settingsPath = Utf8Path(korean / L"Tallywick.ini");
    gSettings.activeProfile = 4;
    ASSERT_TRUE(SaveSettings());
    ASSERT_TRUE(SaveSettings());  // over the existing file
    EXPECT_EQ(SystemInt(korean / L"Tallywick.ini", "Options", "Active Profile", 1), 4);
    EXPECT_FALSE(fs::exists(korean / L"Tallywick.ini.tmp"));
    gSettings.activeProfile = 1;
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 4);
    // Something planted at the old temporary name is neither used nor in the way: each save
    // writes a temporary file of its own name.
    fs::create_directory(korean / L"Tallywick.ini.tmp");
    EXPECT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::is_directory(korean / L"Tallywick.ini.tmp"));
    // Failures leave the old file and say so.
    const std::string before = ReadBytes(korean / L"Tallywick.ini");
    gSettings.settingsPath = Utf8Path(dir_ / L"missing" / L"Tallywick.ini");
    EXPECT_FALSE(SaveSettings());
    EXPECT_FALSE(fs::exists(dir_ / L"missing"));
    gSettings.settingsPath = Utf8Path(korean);
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(fs::is_directory(korean));
    EXPECT_EQ(ReadBytes(korean / L"Tallywick.ini"), before);
}

}  // namespace
