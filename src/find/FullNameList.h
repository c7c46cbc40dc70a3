#pragma once

// A list of full file names kept compactly: every name is split at its last PathDelim, a
// folder shared by consecutive names is stored once, and all texts live in one buffer, so a
// listing of many files costs about the bytes of its names plus eight per entry, not one heap
// string each. Names come back as new strings, in the order they were added.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FullNameList {
 public:
  FullNameList() = default;
  explicit FullNameList(const std::vector<std::string>& full_names);

  // folder ends with PathDelim (or is empty); name has no folder part.
  void Add(std::string_view folder, std::string_view name);
  void Add(std::string_view full_name);
  void clear();

  std::size_t size() const { return name_ends_.size(); }
  bool empty() const { return name_ends_.empty(); }
  std::string operator[](std::size_t index) const;
  std::vector<std::string> ToVector() const;

  bool operator==(const FullNameList& other) const { return ToVector() == other.ToVector(); }

 private:
  struct Folder {
    std::size_t offset;
    std::size_t size;
    std::size_t first_entry;
  };
  const Folder& FolderOfEntry(std::size_t index) const;
  std::size_t NameStart(std::size_t index, const Folder& folder) const;

  std::string text_;  // each folder, followed by the names added in it
  std::vector<Folder> folders_;
  std::vector<std::size_t> name_ends_;  // where each entry's name ends in text_
};

}  // namespace velmora
