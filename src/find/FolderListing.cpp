#include "find/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace velmora {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// The first eight bytes of a name (zero-padded), so that comparing two heads as numbers
// orders them as comparing the bytes would.
std::uint64_t HeadOf(std::string_view name) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    head = (head << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
  }
  return head;
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The entry's own type (a link stays a link); DT_UNKNOWN when it is gone.
unsigned char TypeOfEntry(int folder_fd, const char* name) {
  struct stat st {};
  if (fstatat(folder_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return DT_UNKNOWN;
  return static_cast<unsigned char>(IFTODT(st.st_mode));
}

}  // namespace

FolderListing::FolderListing(int folder_fd) {
  // Entries of a folder without search permission can be neither read nor entered.
  if (folder_fd < 0 || faccessat(folder_fd, ".", X_OK, AT_EACCESS) != 0) return;
  // The listing gets its own descriptor: closing it must leave folder_fd open.
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) return;
  const DirHandle dir(fdopendir(listing_fd));
  if (!dir) {
    ::close(listing_fd);
    return;
  }
  while (const dirent* ent = readdir(dir.get())) {
    if (IsDotOrDotDot(ent->d_name)) continue;
    const std::string_view name(ent->d_name);
    const unsigned char type =
        ent->d_type != DT_UNKNOWN ? ent->d_type : TypeOfEntry(folder_fd, ent->d_name);
    slots_.push_back({HeadOf(name), names_.size(), static_cast<std::uint16_t>(name.size()), type});
    names_ += name;
  }
  // Equal heads fall back to the whole names ("ab" and "ab\0" have equal heads).
  std::sort(slots_.begin(), slots_.end(), [this](const Slot& a, const Slot& b) {
    if (a.head != b.head) return a.head < b.head;
    return std::string_view(names_).substr(a.offset, a.size) <
           std::string_view(names_).substr(b.offset, b.size);
  });
}

}  // namespace velmora
