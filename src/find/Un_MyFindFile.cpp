#include "find/Un_MyFindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include "base/Paths.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"

namespace velmora {

// One name of a folder listing; is_folder is true for real folders only, not for links to them.
struct TMyFindFile::FolderEntry {
  std::string name;
  bool is_folder = false;
};

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// An open descriptor, closed with the object; -1 when none.
class FolderFd {
 public:
  explicit FolderFd(int fd = -1) : fd_(fd) {}
  ~FolderFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderFd(FolderFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FolderFd& operator=(FolderFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Opens a folder of any length: the kernel takes at most PATH_MAX bytes of a name at once, so
// a longer one is opened piece by piece, each piece relative to the folder before it. A final
// link is followed only for the start folder; a link put in place of a subfolder is not.
FolderFd OpenFolder(const std::string& folder, bool follow_final_link) {
  constexpr std::size_t kPieceLimit = PATH_MAX - 1;
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  FolderFd at;
  std::string_view rest = folder;
  while (rest.size() > kPieceLimit) {
    // Cut after a delimiter, so every piece is whole names (each at most NAME_MAX bytes).
    const auto cut = rest.rfind(PathDelim, kPieceLimit - 1);
    if (cut == std::string_view::npos || cut == 0) return FolderFd();
    const std::string piece(rest.substr(0, cut + 1));
    FolderFd next(::openat(at.Get() >= 0 ? at.Get() : AT_FDCWD, piece.c_str(), flags));
    if (next.Get() < 0) return FolderFd();
    at = std::move(next);
    rest.remove_prefix(cut + 1);
  }
  if (rest.empty()) return at;
  const std::string last(rest);
  return FolderFd(::openat(at.Get() >= 0 ? at.Get() : AT_FDCWD, last.c_str(),
                           flags | (follow_final_link ? 0 : O_NOFOLLOW)));
}

bool IsDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

bool IsRealFolder(int folder_fd, const char* name, unsigned char type) {
  if (type != DT_UNKNOWN) return type == DT_DIR;
  struct stat st {};
  return fstatat(folder_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// Reads the record of one entry, `where` relative to the open folder `folder_fd` (or to the
// current folder for AT_FDCWD). False for entries that are never reported: gone since,
// FIFOs, sockets, devices and dangling links.
bool ReadRecord(int folder_fd, const char* where, std::string name, TSearchRec& rec) {
  struct stat st {};
  if (fstatat(folder_fd, where, &st, 0) != 0) return false;
  std::int32_t attr = 0;
  if (S_ISDIR(st.st_mode)) {
    attr = kAttrDirectory;
  } else if (S_ISREG(st.st_mode)) {
    attr = kAttrArchive;
  } else {
    return false;
  }
  if (!name.empty() && name.front() == '.') attr |= kAttrHidden;
  if ((st.st_mode & S_IWUSR) == 0) attr |= kAttrReadOnly;
  rec.Attr = attr;
  rec.Size = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
  rec.Time = UnixTimeToFileDate(st.st_mtime);
  rec.Name = std::move(name);
  return true;
}

unsigned char UpperAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// "*" and "?" over the whole name, without recursion: a failed attempt resumes after the
// last "*", which is enough because a later "*" can absorb whatever an earlier one could.
bool GlobMatches(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0;
  std::size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (m < mask.size() && (mask[m] == '?' || UpperAscii(mask[m]) == UpperAscii(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool WalkMaskMatches(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      GlobMatches(name, mask.substr(0, mask.size() - 2))) {
    return true;
  }
  return GlobMatches(name, mask);
}

void TMyFindFile::Execute() {
  // Hidden, system and directory exclude an entry unless Attributes holds them.
  const std::int32_t exclusion =
      (kAttrHidden | kAttrSystem | kAttrDirectory) & ~Attributes.ToMask();
  TotalSize = 0;
  DirCount = 0;
  FileCount = 0;
  if (OnStart) OnStart(*this);
  if (!Path.empty()) {
    if (SearchInList) {
      SearchList(exclusion);
    } else {
      FileList.clear();
      if (Recursive) {
        SearchTree(exclusion);
      } else {
        const std::string folder = WithTrailingDelim(Path);
        const FolderFd fd = OpenFolder(folder, true);
        SearchFolder(fd.Get(), folder, ReadFolder(fd.Get()), exclusion);
      }
    }
  }
  if (OnFinish) OnFinish(*this);
}

void TMyFindFile::SearchTree(std::int32_t exclusion) {
  // Breadth first: a folder's subfolders are queued before its own entries are reported.
  std::deque<std::string> queue{WithTrailingDelim(Path)};
  bool start = true;
  while (!queue.empty()) {
    const std::string folder = queue.front();
    const FolderFd fd = OpenFolder(folder, std::exchange(start, false));
    const std::vector<FolderEntry> entries = ReadFolder(fd.Get());
    for (const FolderEntry& entry : entries) {
      if (entry.is_folder) queue.push_back(folder + entry.name + PathDelim);
    }
    SearchFolder(fd.Get(), folder, entries, exclusion);
    queue.pop_front();
    if (Stop) break;
  }
}

void TMyFindFile::SearchFolder(int folder_fd, const std::string& folder,
                               const std::vector<FolderEntry>& entries, std::int32_t exclusion) {
  for (const FolderEntry& entry : entries) {
    if (!WalkMaskMatches(entry.name, Mask)) continue;
    TSearchRec rec;
    if (!ReadRecord(folder_fd, entry.name.c_str(), entry.name, rec) ||
        (rec.Attr & exclusion) != 0) {
      continue;
    }
    FileList.push_back(folder + rec.Name);
    Report(folder, rec);
    if (Stop) return;
  }
}

void TMyFindFile::SearchList(std::int32_t exclusion) {
  // Compiled on the first name, so an invalid mask raises before anything is reported.
  std::optional<TMask> mask;
  // By index and by copy: a handler could replace FileList while it runs.
  for (std::size_t i = 0; i < FileList.size(); ++i) {
    const std::string full_name = FileList[i];
    if (!mask) mask.emplace(Mask);
    if (!mask->Matches(full_name)) continue;
    std::string name = NameOf(full_name);
    if (name.empty() || IsDotOrDotDot(name)) continue;
    std::string folder = FolderOf(full_name);
    if (folder.empty()) folder = std::string(".") + PathDelim;
    // A name too long to hand to the kernel at once is looked up from its open folder.
    const bool long_name = full_name.size() >= PATH_MAX;
    const FolderFd fd = long_name ? OpenFolder(folder, true) : FolderFd();
    const std::string where = long_name ? name : full_name;
    TSearchRec rec;
    if (!ReadRecord(long_name ? fd.Get() : AT_FDCWD, where.c_str(), std::move(name), rec) ||
        (rec.Attr & exclusion) != 0) {
      continue;
    }
    Report(folder, rec);
    if (Stop) return;
  }
}

void TMyFindFile::Report(const std::string& folder, const TSearchRec& rec) {
  // Unsigned arithmetic: the counters wrap instead of overflowing.
  if (rec.Attr == kAttrDirectory) {
    DirCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(DirCount) + 1u);
  } else {
    FileCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(FileCount) + 1u);
  }
  TotalSize = static_cast<std::int64_t>(static_cast<std::uint64_t>(TotalSize) +
                                        static_cast<std::uint64_t>(rec.Size));
  if (OnFileFound) OnFileFound(*this, folder, rec, Stop);
}

std::vector<TMyFindFile::FolderEntry> TMyFindFile::ReadFolder(int folder_fd) {
  std::vector<FolderEntry> entries;
  if (folder_fd < 0) return entries;
  // The listing gets its own descriptor: closing it must leave folder_fd open.
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) return entries;
  const DirHandle dir(fdopendir(listing_fd));
  if (!dir) {
    ::close(listing_fd);
    return entries;
  }
  while (const dirent* ent = readdir(dir.get())) {
    std::string name = ent->d_name;
    if (IsDotOrDotDot(name)) continue;
    const bool is_folder = IsRealFolder(folder_fd, ent->d_name, ent->d_type);
    entries.push_back({std::move(name), is_folder});
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  return entries;
}

}  // namespace velmora
