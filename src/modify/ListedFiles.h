#pragma once

// The state of each listed file at the moment its lines were listed (by the search or by a
// preview): its size and modification time. A row's chosen lines are line indexes of the file
// as it was then; a run must not apply them to a file that has changed since.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/FileIdentity.h"

namespace velmora {

class TListedFiles {
 public:
  // Records the file as it is now; a file that cannot be looked at is forgotten.
  void Note(const std::string& fileName);
  // The same from a status already read for the file; nothing forgets it.
  void Note(const std::string& fileName, const std::optional<FileIdentity>& status);
  void Clear() { stamps_.clear(); }
  // Raises EFileError naming the file when it is no longer as recorded. A file never recorded
  // passes: nothing is known against it.
  void CheckUnchanged(const std::string& fileName) const;

 private:
  struct Stamp {
    std::int64_t size = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp StampOf(const FileIdentity& status) {
    return {status.size, status.seconds, status.nanoseconds};
  }
  static std::optional<Stamp> Take(const std::string& fileName);
  void Note(const std::string& fileName, const std::optional<Stamp>& stamp);

  std::unordered_map<std::string, Stamp> stamps_;
};

}  // namespace velmora
