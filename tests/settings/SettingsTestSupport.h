#pragma once

// Environment, folder, value and error helpers for the settings tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "doubles/ErrorText.h"
#include "doubles/FileSizeLimit.h"
#include "doubles/TempFolder.h"
#include "ports/KeyStore.h"

namespace velmora::testing {

inline constexpr const char* kOptionKey = "Software\\Velmora\\Option";
inline constexpr const char* kBackupKey = "Software\\Velmora\\Backup";

// A settings file name in a fresh folder.
class SettingsFileTest : public ::testing::Test {
 protected:
  std::string FileName() const { return folder_ / "registry.reg"; }
  TempFolder folder_;
};

// Names of the folder's entries whose name starts with `prefix`.
inline std::vector<std::string> EntriesStartingWith(const std::filesystem::path& folder,
                                                    const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const auto name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  return names;
}

// Checks the values of `key` against "Name=value Name=value", "-" standing for a missing
// value; a failure shows every stored value next to the expected ones.
inline ::testing::AssertionResult HasValues(KeyStore& store, std::string_view key,
                                            const std::string& expected) {
  const bool open = store.OpenKey(key, false);
  std::istringstream words(expected);
  std::string stored, word;
  while (words >> word) {
    const std::string name = word.substr(0, word.find('='));
    const bool present = open && store.GetValueKind(name) != ValueKind::kMissing;
    stored += (stored.empty() ? "" : " ") + name + "=" + (present ? store.ReadString(name) : "-");
  }
  if (stored == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "stored " << stored << "\nwanted " << expected;
}

// Sets an environment variable for the life of the object; unset when `value` is empty.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value.empty() ? nullptr : value.c_str());
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value) { value ? ::setenv(name_, value, 1) : ::unsetenv(name_); }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace velmora::testing
