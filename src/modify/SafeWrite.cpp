#include "modify/SafeWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>

#include "base/Descriptor.h"
#include "base/DescriptorIo.h"
#include "base/FileIdentity.h"
#include "base/Paths.h"
#include "base/RewriteTemporary.h"
#include "engines/TextBuffer.h"

namespace velmora {

namespace {

std::function<void(const std::string&)>& RewriteCheckHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

std::string SystemMessage(int error) {
  return std::strerror(error);
}

// The file a name finally stands for once symbolic links are followed; a relative link target
// is taken from the folder of the link. A name that does not exist stands for itself.
std::string ResolveLinks(const std::string& fileName) {
  std::string current = fileName;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) RaiseFileError("Cannot read link", current, errno);
    target.resize(static_cast<std::size_t>(length));
    current = target.front() == PathDelim ? target : FolderOf(current) + target;
  }
  RaiseFileError("Cannot resolve", fileName, ELOOP);
}

// Syncs the folder so that a rename survives a crash; failures here lose nothing.
void SyncFolder(const std::string& fileName) {
  std::string folder = FolderOf(fileName);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes content to fd through a buffer, so that many small pieces cost few system calls.
// The first failure is kept and later pieces are dropped.
class DescriptorSink : public ContentSink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }

  void Append(std::string_view bytes) override {
    size_ += bytes.size();
    if (buffer_.size() + bytes.size() > kBufferSize) Flush();
    if (bytes.size() >= kBufferSize) {
      Put(bytes);
    } else {
      buffer_ += bytes;
    }
  }
  // Writes what is buffered; the errno of the first failure, or 0.
  int Finish() {
    Flush();
    return error_;
  }
  std::size_t Size() const { return size_; }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

  void Flush() {
    Put(buffer_);
    buffer_.clear();
  }
  void Put(std::string_view bytes) {
    if (error_ == 0 && !WriteAll(fd_, bytes)) error_ = errno;
  }

  int fd_;
  std::string buffer_;
  std::size_t size_ = 0;
  int error_ = 0;
};

// Removes a temporary file on every way out unless it is kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string name) : name_(std::move(name)) {}
  ~TemporaryFile() {
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  std::string Keep() { return std::exchange(name_, {}); }

 private:
  std::string name_;
};

// A temporary file with the complete new content, and its size.
struct WrittenTemporary {
  std::string name;
  std::size_t size = 0;
};

// Writes content to a new temporary file beside target. The file gets mode (and, where
// allowed, the owner of the original) and is synced to disk.
WrittenTemporary WriteTemporary(const std::string& target, const ContentWriter& write, mode_t mode,
                                const struct stat* original) {
  std::string name = FolderOf(target) + RewriteTemporaryTemplate(NameOf(target));
  Descriptor fd(::mkstemp(name.data()));
  if (fd.Get() < 0) RaiseFileError("Cannot create a temporary file for", target, errno);
  TemporaryFile temporary(name);
  const auto fail = [&](int error) { RaiseFileError("Cannot write", target, error); };
  if (original != nullptr) {
    // Only root may give the file away; for anyone else the owner simply stays theirs.
    if (::fchown(fd.Get(), original->st_uid, original->st_gid) != 0) errno = 0;
  }
  if (::fchmod(fd.Get(), mode) != 0) fail(errno);
  DescriptorSink sink(fd.Get());
  write(sink);
  if (const int error = sink.Finish(); error != 0) fail(error);
  if (::fsync(fd.Get()) != 0) fail(errno);
  if (fd.Close() != 0) fail(errno);
  return {temporary.Keep(), sink.Size()};
}

mode_t DefaultMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Raises "changed while being modified" unless the target (and the file open as fd, when not
// -1) is still the file as read; the temporary file is removed first.
void CheckStillAsRead(const std::string& target, const FileIdentity* asRead, int fd,
                      const std::string& temporary) {
  if (asRead == nullptr) return;
  if (const auto& hook = RewriteCheckHook()) hook(target);
  // The name must still lead to the file read, and an open descriptor must be that file too.
  struct stat named {};
  struct stat open {};
  const bool same = ::stat(target.c_str(), &named) == 0 && FileIdentity::Of(named) == *asRead &&
                    (fd < 0 || (::fstat(fd, &open) == 0 && FileIdentity::Of(open) == *asRead));
  if (same) return;
  ::unlink(temporary.c_str());
  throw EFileError("\"" + target + "\" changed while being modified; it was left as it was");
}

// Removes temporary files of earlier rewrites of target that a killed run left behind (older
// than an hour: a younger one may belong to a rewrite still under way).
void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string name = NameOf(target);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                                &::closedir);
  if (!dir) return;
  const std::time_t limit = std::time(nullptr) - kStaleTemporarySeconds;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsRewriteTemporaryOf(entry->d_name, name)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_mtim.tv_sec < limit) {
      ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
  }
}

// Copies the temporary file's bytes over the start of fd; false with errno set on failure.
bool CopyTemporaryInto(const std::string& temporary, int fd) {
  Descriptor in(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
  return in.Get() >= 0 && CopyBytes(in.Get(), fd);
}

// Rewrites a file that has several names through its own inode, so that all names keep
// sharing it. Called only once the complete content sits in the temporary file; the space is
// reserved before the first byte is written, and if the write still fails the temporary file
// is kept and named in the error, so nothing is lost.
void RewriteInPlace(const std::string& target, const WrittenTemporary& temporary,
                    const struct stat& before, const FileIdentity* asRead) {
  const auto fail = [&](int error) {
    throw EFileError("Cannot rewrite \"" + target + "\" in place (" + SystemMessage(error) +
                     "); its new content is in \"" + temporary.name + "\"");
  };
  Descriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    const int error = errno;
    ::unlink(temporary.name.c_str());
    RaiseFileError("Cannot open", target, error);
  }
  CheckStillAsRead(target, asRead, fd.Get(), temporary.name);
  const auto size = static_cast<off_t>(temporary.size);
  if (size > 0) {
    const int error = ::posix_fallocate(fd.Get(), 0, size);
    if (error != 0) {
      // Nothing was written: the file keeps its old text and size.
      if (::ftruncate(fd.Get(), before.st_size) != 0) fail(errno);
      ::unlink(temporary.name.c_str());
      RaiseFileError("Cannot reserve space to rewrite", target, error);
    }
  }
  if (!CopyTemporaryInto(temporary.name, fd.Get())) fail(errno);
  if (::ftruncate(fd.Get(), size) != 0) fail(errno);
  if (::fsync(fd.Get()) != 0) fail(errno);
  if (fd.Close() != 0) fail(errno);
  ::unlink(temporary.name.c_str());
}

// Puts content under target through a temporary file and a rename, giving it mode and owner.
void ReplaceThroughTemporary(const std::string& target, const ContentWriter& write, mode_t mode,
                             const struct stat* owner, const FileIdentity* asRead) {
  const std::string temporary = WriteTemporary(target, write, mode, owner).name;
  CheckStillAsRead(target, asRead, -1, temporary);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    RaiseFileError("Cannot replace", target, error);
  }
  SyncFolder(target);
}

}  // namespace

void SetRewriteCheckHook(std::function<void(const std::string& target)> hook) {
  RewriteCheckHook() = std::move(hook);
}

void WriteFileSafely(const std::string& fileName, std::string_view content,
                     const FileIdentity* asRead) {
  WriteFileSafely(
      fileName, [content](ContentSink& sink) { sink.Append(content); }, asRead);
}

void WriteFileSafely(const std::string& fileName, const ContentWriter& write,
                     const FileIdentity* asRead) {
  const std::string target = ResolveLinks(fileName);
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  // A rename would get past a file the user may not write; writing in place would not.
  if (exists && ::access(target.c_str(), W_OK) != 0) RaiseFileError("Cannot write", target, errno);
  RemoveStaleTemporaries(target);
  if (exists && info.st_nlink > 1) {
    RewriteInPlace(target, WriteTemporary(target, write, info.st_mode & 07777, &info), info,
                   asRead);
    return;
  }
  ReplaceThroughTemporary(target, write, exists ? (info.st_mode & 07777) : DefaultMode(),
                          exists ? &info : nullptr, asRead);
}

void BackupFile(const std::string& fileName) {
  const TextBuffer file(fileName);
  BackupFile(file);
}

void BackupFile(const TextBuffer& file) {
  // The rename replaces an older backup in one step, so a failed copy keeps the old one; the
  // copy is as private as the file it saves.
  const std::string backup = file.FileName() + ".bak";
  ReplaceThroughTemporary(
      backup,
      [&file](ContentSink& sink) {
        sink.Append(file.Text());
        sink.Append(file.Tail());
      },
      file.Permissions(), nullptr, nullptr);
}

}  // namespace velmora
