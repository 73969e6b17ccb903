// A simulated machine whose files live in a fresh scratch folder per test: the program sits in
// <scratch>/app with its shipped files in <scratch>/app/data. Nothing touches the repository.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "config/data_folder.h"
#include "sim/sim_machine.h"
#include "text/utf8.h"

namespace tonvira {

class ScratchMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Per process as well: the debug and sanitizer builds may run the same test at once.
    root_ = std::filesystem::path(::testing::TempDir()) / ("tonvira-config-" + std::to_string(::getpid())) /
            (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "app" / "data");
    SimulatedMachine() = {};
    SimulatedMachine().executablePath = Path("app/tonvira.exe");
    ForgetDataFolder();
  }
  void TearDown() override {
    SimulatedMachine() = {};
    ForgetDataFolder();
    std::filesystem::remove_all(root_);
    std::error_code ignored;
    std::filesystem::remove(root_.parent_path(), ignored);  // when no other test is left in it
  }

  // An installed copy: the program in <scratch>/Program Files/Tonvira, the user's files in
  // <scratch>/LocalAppData/Tonvira.
  void Install() {
    SimulatedMachine().executablePath = Path("Program Files/Tonvira/tonvira.exe");
    SimulatedMachine().programFiles = Path("Program Files");
    SimulatedMachine().localAppData = Path("LocalAppData");
    std::filesystem::create_directories(root_ / "LocalAppData");
  }

  // A path under the scratch folder, as the program sees paths.
  std::u16string Path(std::string_view relative) const { return Utf8ToUtf16((root_ / relative).string()); }
  static std::u16string Shipped(std::u16string_view name) { return ShippedFilePath(name); }

  static void Put(std::u16string_view path, std::string_view bytes) {
    std::filesystem::path native(Utf16ToUtf8(path));
    std::filesystem::create_directories(native.parent_path());
    FILE* file = std::fopen(native.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
  }
  static std::string Get(std::u16string_view path) {
    FILE* file = std::fopen(Utf16ToUtf8(path).c_str(), "rb");
    if (file == nullptr) return "<missing>";
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
  }
  static bool Exists(std::u16string_view path) { return std::filesystem::exists(Utf16ToUtf8(path)); }

  std::filesystem::path root_;
};

}  // namespace tonvira
