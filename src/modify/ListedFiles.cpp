#include "modify/ListedFiles.h"

#include <sys/stat.h>

#include <functional>

#include "engines/Un_Tambahan.h"

namespace velmora {

std::optional<FileIdentity> TListedFiles::Take(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity::Of(info);
}

void TListedFiles::Note(const std::string& fileName) {
  Note(fileName, Take(fileName));
}

void TListedFiles::Note(const std::string& fileName, const std::optional<FileIdentity>& status) {
  const std::optional<Stamp> stamp = status ? std::optional<Stamp>(StampOf(*status)) : std::nullopt;
  // Kept at most half full, so that a search ends at a free slot soon.
  if ((records_.size() + 1) * 2 > slots_.size()) Grow();
  const std::size_t slot = SlotOf(fileName);
  if (slots_[slot] != 0) {
    records_[slots_[slot] - 1].stamp = stamp;
    return;
  }
  if (!stamp) return;
  records_.push_back({names_.size(), fileName.size(), stamp});
  names_ += fileName;
  slots_[slot] = static_cast<std::uint32_t>(records_.size());
}

void TListedFiles::Clear() {
  names_ = {};
  records_ = {};
  slots_ = {};
}

std::size_t TListedFiles::SlotOf(std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  const std::size_t hash = std::hash<std::string_view>{}(name);
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t taken = slots_[slot];
    if (taken == 0 || NameOf(records_[taken - 1]) == name) return slot;
  }
}

void TListedFiles::Grow() {
  constexpr std::size_t kFirstSize = 64;
  slots_.assign(slots_.empty() ? kFirstSize : slots_.size() * 2, 0);
  for (std::size_t i = 0; i < records_.size(); ++i)
    slots_[SlotOf(NameOf(records_[i]))] = static_cast<std::uint32_t>(i + 1);
}

void TListedFiles::CheckUnchanged(const std::string& fileName) const {
  if (slots_.empty()) return;
  const std::uint32_t taken = slots_[SlotOf(fileName)];
  if (taken == 0) return;
  const std::optional<Stamp>& recorded = records_[taken - 1].stamp;
  if (!recorded) return;
  const std::optional<FileIdentity> now = Take(fileName);
  if (now && StampOf(*now) == *recorded) return;
  throw EFileError("\"" + fileName +
                   "\" has changed since it was searched; its chosen lines may no longer be the "
                   "ones shown. Search it again and choose its lines anew.");
}

}  // namespace velmora
