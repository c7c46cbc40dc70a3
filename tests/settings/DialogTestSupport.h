#pragma once

// A settings store over memory for the dialog tests, that counts its saves and can refuse
// them, and the registry, dialogs and folders the dialogs are built with.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "doubles/RecordingForms.h"
#include "doubles/ScriptedDialogs.h"
#include "doubles/TestEnvironment.h"
#include "settings/MemoryKeyStore.h"
#include "settings/SettingsTestSupport.h"
#include "settings/Un_MyRegistry.h"

namespace velmora::testing {

class CountingKeyStore final : public KeyStore {
 public:
  bool OpenKey(std::string_view path, bool create) override { return tree.OpenKey(path, create); }
  void CloseKey() override { tree.CloseKey(); }
  bool HasSubKey(std::string_view name) const override { return tree.HasSubKey(name); }
  ValueKind GetValueKind(std::string_view name) const override { return tree.GetValueKind(name); }
  std::string ReadString(std::string_view name) const override { return tree.ReadString(name); }
  void WriteString(std::string_view name, std::string_view value) override {
    tree.WriteString(name, value);
  }
  bool DeleteValue(std::string_view name) override { return tree.DeleteValue(name); }
  std::vector<std::string> ValueNames() const override { return tree.ValueNames(); }
  void Flush() override {
    ++saves;
    if (refuseSaves) throw std::runtime_error("Cannot save the settings file: disk full");
  }

  MemoryKeyStore tree;
  int saves = 0;
  bool refuseSaves = false;
};

class DialogTest : public ::testing::Test {
 protected:
  ::testing::AssertionResult HasOptions(const std::string& expected) {
    return HasValues(keys, kOptionKey, expected);
  }
  void SetOptions(const std::vector<std::pair<std::string, std::string>>& values) {
    keys.tree.OpenKey(kOptionKey, true);
    for (const auto& [name, value] : values) keys.tree.WriteString(name, value);
  }

  CountingKeyStore keys;
  FixedLocale locale;
  TMy_Registry registry{keys, locale, TestEnvironment()};
  ScriptedDialogs dialogs;
  RecordingForms forms;
  FakeKnownFolders folders;
};

}  // namespace velmora::testing
