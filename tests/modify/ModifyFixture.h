#pragma once

// A scratch folder, a settings store in memory and the doubles the modify controllers use.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedDialogs.h"
#include "doubles/TestEnvironment.h"
#include "engines/EngineFixture.h"
#include "settings/MemoryKeyStore.h"
#include "settings/Un_MyRegistry.h"

namespace velmora::testing {

class ModifyTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return dir / relative; }
  // Writes a file below the folder, making the folders above it.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    return dir.Write(relative, bytes);
  }
  static std::string Read(const std::string& name) { return TempFolder::Read(name); }
  static bool Exists(const std::string& name) { return std::filesystem::exists(name); }
  std::vector<std::string> Recorded() {
    std::vector<std::string> names;
    registry.ReadBackups(names);
    return names;
  }

  TempFolder dir;
  MemoryKeyStore keys;
  FixedLocale locale;
  TMy_Registry registry{keys, locale, TestEnvironment({}, "/home/user/")};
  RecordingShell shell;
  ScriptedDialogs dialogs;
  FakeKnownFolders folders;
};

}  // namespace velmora::testing
