#include "modify/ListedFiles.h"

#include <sys/stat.h>

#include "engines/Un_Tambahan.h"

namespace velmora {

std::optional<TListedFiles::Stamp> TListedFiles::Take(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return std::nullopt;
  return StampOf(FileIdentity::Of(info));
}

void TListedFiles::Note(const std::string& fileName) {
  Note(fileName, Take(fileName));
}

void TListedFiles::Note(const std::string& fileName, const std::optional<Stamp>& stamp) {
  if (stamp) {
    stamps_[fileName] = *stamp;
  } else {
    stamps_.erase(fileName);
  }
}

void TListedFiles::Note(const std::string& fileName, const std::optional<FileIdentity>& status) {
  Note(fileName, status ? std::optional<Stamp>(StampOf(*status)) : std::nullopt);
}

void TListedFiles::CheckUnchanged(const std::string& fileName) const {
  const auto recorded = stamps_.find(fileName);
  if (recorded == stamps_.end()) return;
  if (Take(fileName) == recorded->second) return;
  throw EFileError("\"" + fileName +
                   "\" has changed since it was searched; its chosen lines may no longer be the "
                   "ones shown. Search it again and choose its lines anew.");
}

}  // namespace velmora
