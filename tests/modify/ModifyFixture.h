#pragma once

// A temporary folder, a settings store in memory and the doubles the modify controllers use.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "doubles/FakeKnownFolders.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedDialogs.h"
#include "settings/MemoryKeyStore.h"
#include "settings/Un_MyRegistry.h"

namespace velmora::testing {

class ModifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("velmora-modify-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  static RegistryEnvironment Environment() {
    RegistryEnvironment env;
    env.home_folder = "/home/user/";
    env.find_program = [](const std::string&) { return std::string(); };
    env.now = [] { return EncodeDate(2026, 12, 6); };
    return env;
  }

  std::string Path(const std::string& relative) const { return (root / relative).string(); }

  std::string Write(const std::string& relative, const std::string& bytes) {
    const auto path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  static std::string Read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static bool Exists(const std::string& name) { return std::filesystem::exists(name); }

  std::vector<std::string> Recorded() {
    std::vector<std::string> names;
    registry.ReadBackups(names);
    return names;
  }

  std::filesystem::path root;
  MemoryKeyStore keys;
  FixedLocale locale;
  TMy_Registry registry{keys, locale, Environment()};
  RecordingShell shell;
  ScriptedDialogs dialogs;
  FakeKnownFolders folders;
};

}  // namespace velmora::testing
