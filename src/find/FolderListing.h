#pragma once

// The names of one open folder with their types, read in one pass and kept in one buffer, in
// byte order (so walks are repeatable). "." and ".." are left out. A type the directory
// entry does not tell is read from the entry itself (without following a link), so every
// entry carries a known DT_* type.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FolderListing {
 public:
  struct Entry {
    std::string_view name;
    unsigned char type;  // DT_REG, DT_DIR, DT_LNK or another known DT_* value
  };

  // folder_fd: an open folder, or -1 for none; a folder that cannot be read or searched
  // lists nothing.
  explicit FolderListing(int folder_fd);

  std::size_t size() const { return slots_.size(); }
  Entry operator[](std::size_t index) const {
    const Slot& slot = slots_[index];
    return {std::string_view(names_).substr(slot.offset, slot.size), slot.type};
  }

 private:
  struct Slot {
    std::uint64_t head;  // the name's first eight bytes, big-endian: most comparisons end here
    std::size_t offset;
    std::uint16_t size;
    unsigned char type;
  };
  std::string names_;
  std::vector<Slot> slots_;
};

}  // namespace velmora
