#include "settings/FileKeyStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "base/DescriptorIo.h"

namespace velmora {

namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::string_view kHeader = "; Velmora settings\n";

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out + '"';
}

// Reads a quoted text at the start of `line` and drops it from `line`.
bool ReadQuoted(std::string_view& line, std::string& text) {
  if (line.empty() || line.front() != '"') return false;
  text.clear();
  for (std::size_t i = 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      line.remove_prefix(i + 1);
      return true;
    }
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++i == line.size()) return false;
    switch (line[i]) {
      case '\\':
        text += '\\';
        break;
      case '"':
        text += '"';
        break;
      case 'n':
        text += '\n';
        break;
      case 'r':
        text += '\r';
        break;
      default:
        return false;
    }
  }
  return false;
}

// The stored form of a value of another kind: a type word, optionally with a number in
// parentheses, then ":" (as in dword:00000001 or hex(2):41,00).
bool IsOtherValue(std::string_view data) {
  const auto colon = data.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (const char c : data.substr(0, colon)) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '(' || c == ')' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool ParseSection(std::string_view line, MemoryKeyStore& store) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.size() < 2 || line.back() != ']') return false;
  line = line.substr(1, line.size() - 2);
  if (FoldName(line.substr(0, kRootName.size())) != FoldName(kRootName)) return false;
  line.remove_prefix(kRootName.size());
  if (!line.empty() && line.front() != KeyDelim) return false;
  return store.OpenKey(line, true);
}

bool ParseValue(std::string_view line, bool in_section, MemoryKeyStore& store) {
  std::string name;
  if (!in_section || !ReadQuoted(line, name) || line.empty() || line.front() != '=') return false;
  line.remove_prefix(1);
  if (!line.empty() && line.front() == '"') {
    std::string value;
    if (!ReadQuoted(line, value) || !line.empty()) return false;
    store.WriteString(name, value);
    return true;
  }
  if (!IsOtherValue(line)) return false;
  store.WriteOther(name, line);
  return true;
}

// The file a link points to, followed to its end, also when that file does not exist yet;
// the name itself when it is no link.
std::string FollowLink(const std::string& name) {
  constexpr int kMaxLinks = 40;  // as the kernel allows
  std::filesystem::path current(name);
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(current, error)) break;
    const auto target = std::filesystem::read_symlink(current, error);
    if (error) break;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.string();
}

// Holds an exclusive advisory lock on a file for its lifetime; every running copy locks the
// same file before it reads, merges and saves the settings.
class FileLock {
 public:
  explicit FileLock(const std::string& name)
      : fd_(::open(name.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // 0 when the lock is held, else the reason it is not.
  int Error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

std::string LockFileName(const std::string& file_name) {
  const std::filesystem::path file(file_name);
  return (file.parent_path() / ("." + file.filename().string() + ".lock")).string();
}

std::runtime_error ReadError(const std::string& file_name, int error) {
  return std::runtime_error("Cannot read the settings file '" + file_name +
                            "': " + std::strerror(error));
}

std::runtime_error SaveError(const std::string& file_name, int error) {
  return std::runtime_error("Cannot save the settings file '" + file_name +
                            "': " + std::strerror(error));
}

std::string LocalTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

std::string SerializeKeyStore(const MemoryKeyStore& store) {
  std::string text(kHeader);
  store.ForEachKey([&](const std::string& path, const MemoryKeyStore::Key& key) {
    const auto values = MemoryKeyStore::OrderedValues(key);
    if (path.empty() && values.empty()) return;
    text += "\n[";
    text += kRootName;
    if (!path.empty()) text += KeyDelim + path;
    text += "]\n";
    for (const auto* value : values) {
      text += Quoted(value->name) + '=';
      text += value->kind == ValueKind::kText ? Quoted(value->data) : value->data;
      text += '\n';
    }
  });
  return text;
}

bool ParseKeyStore(std::string_view text, MemoryKeyStore& store) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool in_section = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsBlank(line) || line[line.find_first_not_of(" \t")] == ';') continue;
    if (line.front() == '[') {
      if (!ParseSection(line, store)) return false;
      in_section = true;
    } else if (!ParseValue(line, in_section, store)) {
      return false;
    }
  }
  store.CloseKey();
  return true;
}

std::string DefaultRegistryFileName() {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : "") + "/.config";
  }
  return base + "/Velmora/registry.reg";
}

FileKeyStore::FileKeyStore(std::string file_name) : file_name_(std::move(file_name)) {
  try {
    Load();
  } catch (...) {
    Unwatch();  // no destructor runs for a store that failed to load
    throw;
  }
}

FileKeyStore::~FileKeyStore() {
  try {
    Flush();
  } catch (...) {
    // Nothing can be reported from here; every writing operation flushed already.
  }
  Unwatch();
}

void FileKeyStore::Watch() {
  if (watch_ >= 0) return;
  // Changes to a link's target happen in another folder.
  struct stat info {};
  if (::lstat(file_name_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) return;
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return;
  const std::filesystem::path file(file_name_);
  const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
  constexpr std::uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                    IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_DELETE_SELF |
                                    IN_MOVE_SELF | IN_ONLYDIR;
  if (::inotify_add_watch(fd, folder.c_str(), kEvents) < 0) {
    ::close(fd);
    return;
  }
  watch_ = fd;
}

void FileKeyStore::Unwatch() {
  if (watch_ < 0) return;
  ::close(watch_);
  watch_ = -1;
}

bool FileKeyStore::Drain() {
  if (watch_ < 0) return true;
  alignas(inotify_event) char buffer[4096];
  bool any = false;
  for (;;) {
    const ssize_t got = ::read(watch_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return any;
    if (got <= 0) break;
    any = true;
    for (ssize_t at = 0; at < got;) {
      inotify_event event{};
      std::memcpy(&event, buffer + at, sizeof event);
      // Lost events, or the folder itself gone or moved: the watch proves nothing any more.
      if ((event.mask &
           (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) != 0) {
        Unwatch();
        return true;
      }
      at += static_cast<ssize_t>(sizeof event + event.len);
    }
  }
  Unwatch();
  return true;
}

bool FileKeyStore::MayHaveChanged() {
  const auto now = std::chrono::steady_clock::now();
  const bool due = now - looked_ >= kLookInterval;
  if (!Drain() && !due) return false;
  looked_ = now;
  return true;
}

FileKeyStore::FileStamp FileKeyStore::Stamp() const {
  struct stat info {};
  if (::stat(file_name_.c_str(), &info) != 0) return FileStamp{};
  return StampOf(info);
}

FileKeyStore::FileStamp FileKeyStore::StampOf(const struct stat& info) {
  return FileStamp{true,
                   info.st_dev,
                   info.st_ino,
                   info.st_size,
                   info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec,
                   info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec};
}

FileKeyStore::ReadResult FileKeyStore::ReadFile(MemoryKeyStore& into, FileStamp& stamp) const {
  // Without blocking: opening a FIFO for reading would wait for a writer forever.
  const int fd = ::open(file_name_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return ReadResult::kMissing;
    throw ReadError(file_name_, errno);
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    throw ReadError(file_name_, error);
  }
  // A FIFO, socket or device is never read (it may never end); it is kept aside like a file
  // that does not parse.
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return ReadResult::kCorrupt;
  }
  stamp = StampOf(info);
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      throw ReadError(file_name_, error);
    }
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return ParseKeyStore(text, into) ? ReadResult::kLoaded : ReadResult::kCorrupt;
}

void FileKeyStore::Load() {
  // Watched before the file is read, so no change can fall between the two.
  Watch();
  MemoryKeyStore loaded;
  FileStamp stamp;
  switch (ReadFile(loaded, stamp)) {
    case ReadResult::kLoaded:
      tree_ = std::move(loaded);
      break;
    case ReadResult::kCorrupt:
      SetAside();
      tree_ = MemoryKeyStore();
      stamp = Stamp();
      break;
    case ReadResult::kMissing:
      tree_ = MemoryKeyStore();
      break;
  }
  saved_changes_ = tree_.ChangeCount();
  stamp_ = stamp;
  looked_ = std::chrono::steady_clock::now();
}

void FileKeyStore::ReloadIfReplaced() {
  if (Dirty() || !MayHaveChanged() || Stamp() == stamp_) return;
  // Watched anew before the file is read, for the same reasons as after a save.
  Unwatch();
  Watch();
  MemoryKeyStore loaded;
  FileStamp stamp;
  ReadResult result = ReadResult::kMissing;
  try {
    result = ReadFile(loaded, stamp);
    if (result == ReadResult::kCorrupt) SetAside();
  } catch (const std::exception&) {
    // Unreadable now: go on with what is in memory; a save reports its own failure.
    return;
  }
  if (result == ReadResult::kLoaded) {
    tree_ = std::move(loaded);
    saved_changes_ = tree_.ChangeCount();
    unsaved_.clear();
    stamp_ = stamp;
    return;
  }
  // Gone or set aside: keep what this process holds; a corrupt file is replaced by it at
  // the next save.
  must_save_ = must_save_ || result == ReadResult::kCorrupt;
  stamp_ = Stamp();
}

void FileKeyStore::SetAside() {
  const std::string base = file_name_ + ".corrupt-" + LocalTimestamp();
  std::string target = base;
  std::error_code error;
  for (int n = 1; std::filesystem::exists(target, error); ++n)
    target = base + "-" + std::to_string(n);
  if (::rename(file_name_.c_str(), target.c_str()) != 0) {
    throw std::runtime_error("Cannot keep the unreadable settings file '" + file_name_ +
                             "' aside: " + std::strerror(errno));
  }
  corrupt_copy_ = target;
  kept_copy_told_ = false;
}

std::string FileKeyStore::TakeKeptCopy() {
  if (kept_copy_told_) return std::string();
  kept_copy_told_ = true;
  return corrupt_copy_;
}

bool FileKeyStore::Dirty() const {
  return must_save_ || tree_.ChangeCount() != saved_changes_;
}

void FileKeyStore::Flush() {
  if (Dirty()) Save();
}

void FileKeyStore::Save() {
  // A settings file that is a link (settings kept with the user's other dotfiles) stays a
  // link: the file it points to is the one replaced.
  const std::string real_name = FollowLink(file_name_);
  const std::filesystem::path target(real_name);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::error_code folder_error;
  std::filesystem::create_directories(folder, folder_error);
  if (folder_error) throw SaveError(file_name_, folder_error.value());
  const FileLock lock(LockFileName(file_name_));
  if (lock.Error() != 0) throw SaveError(file_name_, lock.Error());
  MergeWithFile();

  std::string temp_name = real_name + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temp_name.data(), O_CLOEXEC);
  if (fd < 0) throw SaveError(file_name_, errno);
  const auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temp_name.c_str());
    return SaveError(file_name_, error);
  };
  // The new file keeps the permission bits of the one it replaces.
  struct stat old_info {};
  const mode_t mode = ::stat(real_name.c_str(), &old_info) == 0 ? old_info.st_mode & 07777 : 0600;
  if (::fchmod(fd, mode) != 0) throw fail(errno);
  if (!WriteAll(fd, SerializeKeyStore(tree_))) throw fail(errno != 0 ? errno : EIO);
  if (::fsync(fd) != 0) throw fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp_name.c_str());
    throw SaveError(file_name_, error);
  }
  if (::rename(temp_name.c_str(), real_name.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp_name.c_str());
    throw SaveError(file_name_, error);
  }
  // Make the rename itself durable. The new file is complete either way, so a failure here
  // only means a power loss might bring the previous version back.
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  saved_changes_ = tree_.ChangeCount();
  unsaved_.clear();
  must_save_ = false;
  // Watched anew before the stamp is taken: the folder may not be the one watched so far
  // (made by this save, or put in place of the old one), and a later change leaves an event.
  Unwatch();
  Watch();
  stamp_ = Stamp();
  looked_ = std::chrono::steady_clock::now();
}

void FileKeyStore::MergeWithFile() {
  MemoryKeyStore merged;
  FileStamp stamp;
  const ReadResult result = ReadFile(merged, stamp);
  if (result == ReadResult::kCorrupt) SetAside();
  // Gone or set aside: this copy's tree is all there is to save.
  if (result != ReadResult::kLoaded) return;
  for (const auto& change : unsaved_) {
    merged.OpenKey(change.path, true);
    if (change.creates_key) continue;
    if (change.value) {
      merged.WriteString(change.name, *change.value);
    } else {
      merged.DeleteValue(change.name);
    }
  }
  merged.CloseKey();
  tree_ = std::move(merged);
  if (current_path_) tree_.OpenKey(*current_path_, false);
}

bool FileKeyStore::OpenKey(std::string_view path, bool create) {
  CloseKey();
  // A line break in a key name would break the file's layout.
  if (path.find_first_of("\r\n") != std::string_view::npos) return false;
  ReloadIfReplaced();
  const auto changes = tree_.ChangeCount();
  if (!tree_.OpenKey(path, create)) return false;
  current_path_ = std::string(path);
  if (tree_.ChangeCount() != changes) unsaved_.push_back({*current_path_, {}, {}, true});
  return true;
}

void FileKeyStore::CloseKey() {
  tree_.CloseKey();
  current_path_.reset();
}

bool FileKeyStore::HasSubKey(std::string_view name) const {
  return tree_.HasSubKey(name);
}

ValueKind FileKeyStore::GetValueKind(std::string_view name) const {
  return tree_.GetValueKind(name);
}

std::string FileKeyStore::ReadString(std::string_view name) const {
  return tree_.ReadString(name);
}

void FileKeyStore::WriteString(std::string_view name, std::string_view value) {
  tree_.WriteString(name, value);
  unsaved_.push_back({*current_path_, std::string(name), std::string(value), false});
}

bool FileKeyStore::DeleteValue(std::string_view name) {
  if (!tree_.DeleteValue(name)) return false;
  unsaved_.push_back({*current_path_, std::string(name), std::nullopt, false});
  return true;
}

std::vector<std::string> FileKeyStore::ValueNames() const {
  return tree_.ValueNames();
}

}  // namespace velmora
