#pragma once

// Environment, folder and error helpers for the settings tests.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "doubles/TempFolder.h"

namespace velmora::testing {

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

// Sets an environment variable for the life of the object; unset when `value` is empty.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value.empty()) {
      ::unsetenv(name);
    } else {
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The text of the `Error` the action throws, or "(no error)".
template <typename Error>
std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

}  // namespace velmora::testing
