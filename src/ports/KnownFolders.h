#pragma once

// The per-user folders a window starts from. Every folder is returned with a trailing "/".

#include <string>

namespace velmora {

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  // The folder of the running executable (the user guide is found from there).
  virtual std::string ProgramFolder() const = 0;
  // The user's documents folder (initial folder of the report dialogs).
  virtual std::string PersonalFolder() const = 0;
  // The per-user application-data root; the product's own folder is made below it.
  virtual std::string AppDataFolder() const = 0;
  // The user's home folder.
  virtual std::string HomeFolder() const = 0;
  // The process's current folder (the folder picker starts there).
  virtual std::string CurrentFolder() const = 0;
  // A folder of installed programs to start a program picker in, "" when there is none.
  virtual std::string ProgramsFolder() const = 0;
  // Makes `folder` the process's current folder; false when that failed.
  virtual bool SetCurrentFolder(const std::string& folder) = 0;
};

}  // namespace velmora
