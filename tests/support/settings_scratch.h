// A test fixture with a scratch folder of its own and fresh in-memory settings pointing at
// "Tallywick.ini" in it. The folder name is unique across processes, since other build trees may
// run the same tests at the same time.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "base/profile.h"
#include "base/settings.h"

class SettingsScratch : public ::testing::Test {
protected:
    explicit SettingsScratch(const char* prefix) : prefix_(prefix) {}
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(std::random_device()()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        gSettings = Settings();
        gProfile = DefaultProfile();
        gSettings.settingsPath = File().string();
    }
    void TearDown() override {
        gSettings = Settings();
        gProfile = DefaultProfile();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::filesystem::path File() const { return dir_ / "Tallywick.ini"; }

    std::filesystem::path dir_;

private:
    std::string prefix_;
};
