#pragma once

#include <string>

#include "ports/KnownFolders.h"

namespace velmora::testing {

// Folders fixed by the test (usually below a temporary folder); each should end with "/".
class FakeKnownFolders : public KnownFolders {
 public:
  std::string ProgramFolder() const override { return program; }
  std::string PersonalFolder() const override { return personal; }
  std::string AppDataFolder() const override { return appData; }
  std::string HomeFolder() const override { return home; }
  std::string CurrentFolder() const override { return current; }
  std::string ProgramsFolder() const override { return programs; }
  bool SetCurrentFolder(const std::string& folder) override {
    current = folder;
    return true;
  }
  std::string program = "/opt/velmora/";
  std::string personal = "/home/user/Documents/";
  std::string appData = "/home/user/.local/share/";
  std::string home = "/home/user/";
  std::string current = "/home/user/";
  std::string programs = "/usr/bin/";
};

}  // namespace velmora::testing
