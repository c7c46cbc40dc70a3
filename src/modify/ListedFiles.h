#pragma once

// The state of each listed file at the moment its lines were listed (by the search or by a
// preview): its size and modification time. A row's chosen lines are line indexes of the file
// as it was then; a run must not apply them to a file that has changed since.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileIdentity.h"

namespace velmora {

class TListedFiles {
 public:
  // Records the file as it is now; a file that cannot be looked at is forgotten.
  void Note(const std::string& fileName);
  // The same from a status already read for the file; nothing forgets it.
  void Note(const std::string& fileName, const std::optional<FileIdentity>& status);
  void Clear();
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
  static std::optional<FileIdentity> Take(const std::string& fileName);

  // Every name noted since the last Clear, its text in one shared buffer; a forgotten name
  // keeps its record without a stamp. Forgetting a list of 100,000 files then frees three
  // blocks instead of a string and a node per file.
  struct Record {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::optional<Stamp> stamp;
  };
  std::string_view NameOf(const Record& record) const {
    return std::string_view(names_).substr(record.offset, record.length);
  }
  // The slot that holds name, or the free slot where it would go; slots_ must not be empty.
  std::size_t SlotOf(std::string_view name) const;
  void Grow();

  std::string names_;
  std::vector<Record> records_;
  std::vector<std::uint32_t> slots_;  // open addressing: record index + 1, or 0 when free
};

}  // namespace velmora
