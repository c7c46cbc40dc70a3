#include "modify/FileOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/Paths.h"

namespace velmora {

std::string ShortPath(const std::string& fullName) {
  std::vector<std::string> parts(1);
  for (const char c : fullName) {
    if (c == PathDelim) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  if (parts.size() < 2) return fullName;
  const std::string delim(1, PathDelim);
  return parts.front() + delim + ".." + delim + parts[parts.size() - 2] + delim + parts.back();
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A link fails on an existing name, so nothing is replaced on this way either.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  if (::unlink(from.c_str()) != 0) {
    const int error = errno;
    ::unlink(to.c_str());
    errno = error;
    return false;
  }
  return true;
}

}  // namespace velmora
