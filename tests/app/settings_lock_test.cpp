// The settings file against hostile or unlucky surroundings: concurrent writers and readers in
// separate processes, planted links, links and hard links as the settings file, permissions and
// owners, files that are not regular files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "app/ini.h"
#include "app/settings_file.h"
#include "base/files.h"
#include "base/profile.h"
#include "base/settings.h"
#include "tests/support/settings_scratch.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class SettingsLock : public SettingsScratch {
protected:
    SettingsLock() : SettingsScratch("tallywick-lock-") {}

    // Runs `body` in `count` child processes at once; true when every one exits 0.
    template <typename Body>
    static bool InChildren(int count, Body body) {
        std::vector<pid_t> children;
        for (int i = 0; i < count; ++i) {
            pid_t pid = ::fork();
            if (pid == 0) ::_exit(body(i));
            children.push_back(pid);
        }
        bool ok = true;
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        return ok;
    }
};

// Every writer's every update reaches the file, and a reader never sees a partial file: each
// version ends in the line of the update that wrote it.
TEST_F(SettingsLock, ConcurrentWritersKeepEveryUpdateAndReadersSeeWholeFiles) {
    constexpr int kWriters = 12, kRounds = 15;
    const std::string path = File().string();
    pid_t reader = ::fork();
    if (reader == 0) {
        int torn = 0;
        for (int i = 0; i < 3000 && torn == 0; ++i) {
            IniText ini;
            if (LoadIniFile(path, &ini) != IniFileStatus::kLoaded) continue;
            std::string last;
            if (!IniReadString(ini, "End", "Last", &last)) continue;  // not written yet
            torn += ini.text.size() < 2 || ini.text.compare(ini.text.size() - 2, 2, "\r\n") != 0 ||
                    ini.text.find("Last=" + last + "\r\n") == std::string::npos;
        }
        ::_exit(torn);
    }
    const bool writersOk = InChildren(kWriters, [&](int w) {
        for (int round = 1; round <= kRounds; ++round) {
            IniFileLock lock(path);
            if (!lock.Held()) return 1;
            IniText ini;
            if (LoadIniFile(path, &ini) == IniFileStatus::kUnreadable) return 2;
            const std::string mark = std::to_string(w) + "-" + std::to_string(round);
            if (!IniWriteInt(&ini, "Writers", std::to_string(w), round) ||
                !IniWriteString(&ini, "End", "Last", mark) || !SaveIniFile(path, ini))
                return 3;
        }
        return 0;
    });
    int status = 0;
    ::waitpid(reader, &status, 0);
    EXPECT_TRUE(writersOk) << "a writer reported a failure";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a reader saw a partial file";
    IniText ini;
    ASSERT_EQ(LoadIniFile(path, &ini), IniFileStatus::kLoaded);
    for (int w = 0; w < kWriters; ++w)
        EXPECT_EQ(IniReadInt(ini, "Writers", std::to_string(w), 0), kRounds) << w;
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_FALSE(IsTemporaryFileOf(path, entry.path().filename().string())) << entry.path();
}

// Profile switches of several processes, each on its own profile, through the settings calls.
TEST_F(SettingsLock, ConcurrentProfileSavesAllLand) {
    constexpr int kProfiles = 5, kRounds = 8;
    ASSERT_TRUE(SaveSettings());
    const bool ok = InChildren(kProfiles, [&](int p) {
        for (int round = 1; round <= kRounds; ++round) {
            gSettings.activeProfile = p + 1;
            gProfile = DefaultProfile();
            gProfile.paragonLevel = float(round * 10 + p);
            if (!SaveActiveProfile()) return 1;
        }
        return 0;
    });
    EXPECT_TRUE(ok);
    for (int p = 0; p < kProfiles; ++p) {
        gSettings.activeProfile = p + 1;
        LoadActiveProfile();
        EXPECT_EQ(gProfile.paragonLevel, float(kRounds * 10 + p)) << p + 1;
    }
}

// A writer killed between creating its temporary file and renaming it leaves the settings file
// whole and a temporary file behind, which the next writer removes.
TEST_F(SettingsLock, StaleTemporaryFilesOfKilledWritersAreRemoved) {
    WriteBytes(File(), "[Options]\r\nActive Profile=2\r\n");
    const std::string stale = TemporaryFileName(File().string(), 999999, 3);
    WriteBytes(stale, "[Options]\r\nActive Pro");
    WriteBytes(dir_ / "Tallywick.ini.notes.tmp", "someone else's");
    gSettings.activeProfile = 2;
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(dir_ / "Tallywick.ini.notes.tmp"));
    EXPECT_TRUE(IsTemporaryFileOf(File().string(), "Tallywick.ini.12-0.tmp"));
    for (const char* name : {"Tallywick.ini.tmp", "Tallywick.ini.-1.tmp", "Tallywick.ini.1-.tmp",
                             "Tallywick.ini.1-2.tmpx", "Other.ini.1-2.tmp", "Tallywick.ini.1a-2.tmp"})
        EXPECT_FALSE(IsTemporaryFileOf(File().string(), name)) << name;
}

// Links planted where a temporary file would go are never followed, nor is the old fixed name.
TEST_F(SettingsLock, PlantedTemporaryLinksAreNotFollowed) {
    WriteBytes(File(), "[Options]\r\nActive Profile=1\r\n");
    const fs::path victim = dir_ / "victim.txt";
    WriteBytes(victim, "precious");
    fs::create_symlink(victim, File().string() + ".tmp");
    for (uint64_t n = 0; n < 8; ++n)
        fs::create_symlink(victim, TemporaryFileName(File().string(), uint64_t(::getpid()), n));
    gSettings.activeProfile = 3;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(File().string() + ".tmp"));
    EXPECT_FALSE(fs::is_symlink(File()));
    EXPECT_NE(ReadBytes(File()).find("Active Profile=3"), std::string::npos);
}

// A settings file that is a link is written through; a hard-linked one is replaced under its own
// name only, the other name keeping the old contents.
TEST_F(SettingsLock, LinksAreWrittenThroughAndHardLinksSplit) {
    const fs::path real = dir_ / "real" / "settings.ini";
    fs::create_directories(real.parent_path());
    WriteBytes(real, "[Options]\r\nActive Profile=1\r\n");
    fs::create_symlink(fs::path("real") / "settings.ini", File());
    gSettings.activeProfile = 4;
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_NE(ReadBytes(real).find("Active Profile=4"), std::string::npos);
    LoadSettings();
    EXPECT_EQ(gSettings.activeProfile, 4);

    // A dangling link: its target is created.
    fs::remove(real);
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_NE(ReadBytes(real).find("Active Profile=4"), std::string::npos);

    const fs::path hard = dir_ / "hard.ini", other = dir_ / "other.ini";
    WriteBytes(hard, "[Options]\r\nActive Profile=1\r\n");
    fs::create_hard_link(hard, other);
    gSettings.settingsPath = hard.string();
    ASSERT_TRUE(SaveSettings());
    EXPECT_NE(ReadBytes(hard).find("Active Profile=4"), std::string::npos);
    EXPECT_EQ(ReadBytes(other), "[Options]\r\nActive Profile=1\r\n");
}

TEST_F(SettingsLock, ReadOnlyFilesAreRefusedAndModesAndOwnersKept) {
    const std::string before = "[Options]\r\nActive Profile=1\r\n";
    WriteBytes(File(), before);
    fs::permissions(File(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    gSettings.activeProfile = 2;
    std::string why;
    EXPECT_FALSE(SaveSettings(&why));
    EXPECT_NE(why.find("read-only"), std::string::npos) << why;
    EXPECT_FALSE(SaveActiveProfile());
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_EQ(fs::status(File()).permissions(), fs::perms(0444));

    fs::permissions(File(), fs::perms(0600));
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(fs::status(File()).permissions(), fs::perms(0600));
    EXPECT_NE(ReadBytes(File()).find("Active Profile=2"), std::string::npos);
    if (::geteuid() == 0) {  // only the superuser may give a file away
        ASSERT_EQ(::chown(File().c_str(), 4321, 4322), 0);
        ASSERT_TRUE(SaveSettings());
        struct stat st;
        ASSERT_EQ(::stat(File().c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
}

// A FIFO or a device is refused at once, never waited on.
TEST_F(SettingsLock, FifosAndDevicesAreRefusedWithoutWaiting) {
    const fs::path fifo = dir_ / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    gSettings.settingsPath = fifo.string();
    std::string why;
    EXPECT_EQ(LoadSettings(&why), IniFileStatus::kUnreadable);
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(fs::is_fifo(fifo));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(ReadFileBytes(fifo.string(), bytes, why));
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(ReadFileBytes("/dev/zero", bytes, why));
    EXPECT_EQ(why, "not a regular file");
    WriteBytes(dir_ / "big", std::string(5000, 'x'));
    EXPECT_FALSE(ReadFileBytes((dir_ / "big").string(), bytes, why, 4999));
    EXPECT_EQ(why, "file too large (over 4999 bytes)");
    EXPECT_TRUE(ReadFileBytes((dir_ / "big").string(), bytes, why, 5000)) << why;
}

// A damaged line of the active profile still gives the default profile, and says so.
TEST_F(SettingsLock, DamagedProfileLinesAreReported) {
    gProfile = DefaultProfile();
    gProfile.paragonLevel = 100;
    gSettings.activeProfile = 2;
    ASSERT_TRUE(SaveSettings());
    LoadSettings();
    EXPECT_FALSE(StoredProfileWasUnreadable());
    std::string text = ReadBytes(File());
    const size_t at = text.find("2=", text.find("[Profiles]")) + 2;
    text[at + 1] = text[at + 1] == '0' ? '1' : '0';  // one digit changed: the checksum fails
    WriteBytes(File(), text);
    LoadSettings();
    EXPECT_TRUE(StoredProfileWasUnreadable());
    EXPECT_EQ(gProfile.paragonLevel, 0);
    gSettings.activeProfile = 3;  // absent is not damaged
    LoadActiveProfile();
    EXPECT_FALSE(StoredProfileWasUnreadable());
}

}  // namespace
#endif
