#include "modify/ListedFiles.h"

#include <sys/stat.h>

#include "engines/Un_Tambahan.h"

namespace velmora {

bool TListedFiles::Take(const std::string& fileName, Stamp& stamp) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return false;
  stamp = {static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
           static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
  return true;
}

void TListedFiles::Note(const std::string& fileName) {
  Stamp stamp;
  if (Take(fileName, stamp)) {
    stamps_[fileName] = stamp;
  } else {
    stamps_.erase(fileName);
  }
}

void TListedFiles::CheckUnchanged(const std::string& fileName) const {
  const auto recorded = stamps_.find(fileName);
  if (recorded == stamps_.end()) return;
  Stamp now;
  if (Take(fileName, now) && now == recorded->second) return;
  throw EFileError("\"" + fileName +
                   "\" has changed since it was searched; its chosen lines may no longer be the "
                   "ones shown. Search it again and choose its lines anew.");
}

}  // namespace velmora
