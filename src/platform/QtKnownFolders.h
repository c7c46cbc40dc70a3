#pragma once

// The per-user folders from Qt: the executable's folder, QStandardPaths for documents and
// application data (the XDG variables included), QDir for the current folder.

#include "ports/KnownFolders.h"

namespace velmora {

class QtKnownFolders : public KnownFolders {
 public:
  std::string ProgramFolder() const override;
  std::string PersonalFolder() const override;
  std::string AppDataFolder() const override;
  std::string HomeFolder() const override;
  std::string CurrentFolder() const override;
  // /usr/bin when it exists.
  std::string ProgramsFolder() const override;
  bool SetCurrentFolder(const std::string& folder) override;
};

// The settings file: $XDG_CONFIG_HOME/Velmora/registry.reg (default ~/.config/Velmora/).
std::string SettingsFileName();

}  // namespace velmora
