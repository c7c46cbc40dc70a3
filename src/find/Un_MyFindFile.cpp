#include "find/Un_MyFindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <deque>
#include <optional>
#include <utility>

#include "base/Paths.h"
#include "base/RewriteTemporary.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"

namespace velmora {

namespace {

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
    if (cut == std::string_view::npos || cut == 0) {
      errno = ENAMETOOLONG;
      return FolderFd();
    }
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

// Directory or archive for a folder or a regular file (a link counts as what it points to);
// 0 for entries that are never reported: FIFOs, sockets, devices.
std::int32_t KindAttrOf(mode_t mode) {
  if (S_ISDIR(mode)) return kAttrDirectory;
  if (S_ISREG(mode)) return kAttrArchive;
  return 0;
}

std::int32_t HiddenAttrOf(std::string_view name) {
  return !name.empty() && name.front() == '.' ? kAttrHidden : 0;
}

// The status of a full name, following a final link. A name too long to hand to the kernel at
// once is looked up from its open folder.
bool StatFullName(const std::string& full_name, struct stat& st) {
  if (full_name.size() < PATH_MAX) return ::stat(full_name.c_str(), &st) == 0;
  const FolderFd fd = OpenFolder(FolderOf(full_name), true);
  return fd.Get() >= 0 && fstatat(fd.Get(), NameOf(full_name).c_str(), &st, 0) == 0;
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

TSearchRec& TSearchRec::operator=(const TSearchRec& other) {
  other.Load();
  Name = other.Name;
  folder_fd_ = -1;
  kind_attr_ = other.kind_attr_;
  loaded_ = true;
  read_only_ = other.read_only_;
  size_ = other.size_;
  time_ = other.time_;
  identity_ = other.identity_;
  return *this;
}

std::int32_t TSearchRec::Time() const {
  Load();
  return time_;
}

std::int64_t TSearchRec::Size() const {
  Load();
  return size_;
}

std::int32_t TSearchRec::Attr() const {
  Load();
  return kind_attr_ | read_only_;
}

const std::optional<FileIdentity>& TSearchRec::Identity() const {
  Load();
  return identity_;
}

void TSearchRec::Defer(int folder_fd, std::int32_t kind_attr) {
  folder_fd_ = folder_fd;
  kind_attr_ = kind_attr;
  loaded_ = false;
}

void TSearchRec::Fill(std::int32_t kind_attr, const struct stat& status) {
  folder_fd_ = -1;
  kind_attr_ = kind_attr;
  SetStatus(status);
}

void TSearchRec::SetStatus(const struct stat& status) const {
  loaded_ = true;
  read_only_ = (status.st_mode & S_IWUSR) == 0 ? kAttrReadOnly : 0;
  size_ = (kind_attr_ & kAttrArchive) != 0 ? status.st_size : 0;
  time_ = UnixTimeToFileDate(status.st_mtime);
  identity_ = FileIdentity::Of(status);
}

void TSearchRec::Load() const {
  if (loaded_) return;
  loaded_ = true;
  identity_.reset();
  // An entry gone since it was listed keeps its kind with no size, time or read-only bit.
  struct stat st {};
  if (fstatat(folder_fd_, Name.c_str(), &st, 0) != 0) return;
  SetStatus(st);
}

void TMyFindFile::SetFileList(const std::vector<std::string>& list) {
  // The walk's names stay for TotalSize while sizes are unread.
  if (!size_unread_.empty() && walked_names_.empty()) walked_names_ = std::move(file_list_);
  file_list_ = FullNameList(list);
}

std::int64_t TMyFindFile::TotalSize() {
  const FullNameList& names = walked_names_.empty() ? file_list_ : walked_names_;
  for (std::size_t i = 0; i < size_unread_.size(); ++i) {
    struct stat st {};
    if (size_unread_[i] && StatFullName(names[i], st) && S_ISREG(st.st_mode)) {
      total_size_ += static_cast<std::uint64_t>(st.st_size);
    }
  }
  size_unread_.clear();
  walked_names_.clear();
  return static_cast<std::int64_t>(total_size_);
}

void TMyFindFile::Execute() {
  // Hidden, system and directory exclude an entry unless Attributes holds them.
  const std::int32_t exclusion =
      (kAttrHidden | kAttrSystem | kAttrDirectory) & ~Attributes.ToMask();
  total_size_ = 0;
  size_unread_.clear();
  walked_names_.clear();
  DirCount = 0;
  FileCount = 0;
  if (OnStart) OnStart(*this);
  if (!Path.empty()) {
    if (SearchInList) {
      SearchList(exclusion);
    } else {
      file_list_.clear();
      if (Recursive) {
        SearchTree(exclusion);
      } else {
        const std::string folder = WithTrailingDelim(Path);
        const FolderFd fd = OpenFolder(folder, true);
        TellIfNotOpened(fd.Get(), folder);
        SearchFolder(fd.Get(), folder, FolderListing(fd.Get()), exclusion);
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
    const std::string folder = std::move(queue.front());
    queue.pop_front();
    const FolderFd fd = OpenFolder(folder, std::exchange(start, false));
    TellIfNotOpened(fd.Get(), folder);
    const FolderListing entries(fd.Get());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      // Only real folders are entered: a link to a folder is listed as a link.
      if (entries[i].type != DT_DIR) continue;
      std::string& subfolder = queue.emplace_back(folder);
      subfolder.append(entries[i].name);
      subfolder += PathDelim;
    }
    SearchFolder(fd.Get(), folder, entries, exclusion);
    if (Stop) break;
  }
}

bool TMyFindFile::PrepareRecord(int folder_fd, const FolderListing::Entry& entry) {
  record_.Name.assign(entry.name);
  const std::int32_t hidden = HiddenAttrOf(entry.name);
  if (entry.type == DT_REG) {
    record_.Defer(folder_fd, kAttrArchive | hidden);
  } else if (entry.type == DT_DIR) {
    record_.Defer(folder_fd, kAttrDirectory | hidden);
  } else if (entry.type == DT_LNK) {
    // A link is reported as what it points to; dangling links are not reported.
    struct stat st {};
    if (fstatat(folder_fd, record_.Name.c_str(), &st, 0) != 0) return false;
    const std::int32_t kind = KindAttrOf(st.st_mode);
    if (kind == 0) return false;
    record_.Fill(kind | hidden, st);
  } else {
    return false;
  }
  return true;
}

void TMyFindFile::TellIfNotOpened(int fd, const std::string& folder) {
  if (fd < 0 && OnFolderError) OnFolderError(*this, folder, errno);
}

void TMyFindFile::SearchFolder(int folder_fd, const std::string& folder,
                               const FolderListing& entries, std::int32_t exclusion) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const FolderListing::Entry entry = entries[i];
    // A rewrite's temporary file (of this or a killed run) is no file of the user's.
    if (IsRewriteTemporary(entry.name) || !WalkMaskMatches(entry.name, Mask) ||
        !PrepareRecord(folder_fd, entry) || (record_.KindAttr() & exclusion) != 0) {
      continue;
    }
    file_list_.Add(folder, record_.Name);
    Report(folder);
    // A size nobody asked for is read when TotalSize is.
    size_unread_.push_back(!record_.Loaded());
    if (record_.Loaded()) total_size_ += static_cast<std::uint64_t>(record_.Size());
    if (Stop) return;
  }
}

void TMyFindFile::SearchList(std::int32_t exclusion) {
  // Compiled on the first name, so an invalid mask raises before anything is reported.
  std::optional<TMask> mask;
  // By index and by copy: a handler could replace FileList while it runs.
  for (std::size_t i = 0; i < file_list_.size(); ++i) {
    const std::string full_name = file_list_[i];
    if (!mask) mask.emplace(Mask);
    if (!mask->Matches(full_name)) continue;
    std::string name = NameOf(full_name);
    if (name.empty() || IsDotOrDotDot(name)) continue;
    std::string folder = FolderOf(full_name);
    if (folder.empty()) folder = std::string(".") + PathDelim;
    // The lookup needs the status anyway, so the record is complete at once.
    struct stat st {};
    if (!StatFullName(full_name, st)) continue;
    const std::int32_t kind = KindAttrOf(st.st_mode);
    const std::int32_t hidden = HiddenAttrOf(name);
    if (kind == 0 || ((kind | hidden) & exclusion) != 0) continue;
    record_.Name = std::move(name);
    record_.Fill(kind | hidden, st);
    Report(folder);
    total_size_ += static_cast<std::uint64_t>(record_.Size());
    if (Stop) return;
  }
}

void TMyFindFile::Report(const std::string& folder) {
  // Unsigned arithmetic: the counters wrap instead of overflowing. Only a folder can have
  // Attr exactly kAttrDirectory, so a file's status is not read for this.
  if (record_.KindAttr() == kAttrDirectory && record_.Attr() == kAttrDirectory) {
    DirCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(DirCount) + 1u);
  } else {
    FileCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(FileCount) + 1u);
  }
  if (OnFileFound) OnFileFound(*this, folder, record_, Stop);
}

}  // namespace velmora
