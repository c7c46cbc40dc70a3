#include "modify/BackupFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/Descriptor.h"
#include "base/DescriptorIo.h"
#include "base/Paths.h"

namespace velmora {

namespace {

// Writes a complete, synced copy of source to a new temporary file beside target; returns its
// name, or "" when that failed (nothing is left behind then).
std::string CopyToTemporary(const std::string& source, const std::string& target) {
  Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (in.Get() < 0 || ::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  // The program's own temporary name, shortened so a long target still leaves room for it.
  std::string name = FolderOf(target) + "." + NameOf(target).substr(0, 200) + ".velmora-XXXXXX";
  Descriptor out(::mkostemp(name.data(), O_CLOEXEC));
  if (out.Get() < 0) return {};
  const bool copied = ::fchmod(out.Get(), info.st_mode & 07777) == 0 &&
                      CopyBytes(in.Get(), out.Get()) && ::fsync(out.Get()) == 0 && out.Close() == 0;
  if (!copied) {
    ::unlink(name.c_str());
    return {};
  }
  return name;
}

}  // namespace

std::string BackupTarget(const std::string& backupName) {
  return backupName.size() <= 4 ? std::string() : backupName.substr(0, backupName.size() - 4);
}

bool FileExists(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PutBackupInPlace(const std::string& backup, const std::string& target) {
  return std::rename(backup.c_str(), target.c_str()) == 0;
}

bool CopyFileOver(const std::string& source, const std::string& target) {
  const std::string temporary = CopyToTemporary(source, target);
  if (temporary.empty()) return false;
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace velmora
