#pragma once

// What tells that a file is still the one that was read: the same inode on the same device,
// with the same size and modification time.

#include <sys/stat.h>

#include <cstdint>

namespace velmora {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;

  static FileIdentity Of(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
  }
  bool operator==(const FileIdentity&) const = default;
};

}  // namespace velmora
