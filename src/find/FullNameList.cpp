#include "find/FullNameList.h"

#include <algorithm>

#include "base/Paths.h"

namespace velmora {

FullNameList::FullNameList(const std::vector<std::string>& full_names) {
  name_ends_.reserve(full_names.size());
  for (const std::string& full_name : full_names) Add(full_name);
}

void FullNameList::Add(std::string_view folder, std::string_view name) {
  const bool same_folder =
      !folders_.empty() &&
      std::string_view(text_).substr(folders_.back().offset, folders_.back().size) == folder;
  if (!same_folder) {
    folders_.push_back({text_.size(), folder.size(), name_ends_.size()});
    text_ += folder;
  }
  text_ += name;
  name_ends_.push_back(text_.size());
}

void FullNameList::Add(std::string_view full_name) {
  const auto delim = full_name.rfind(PathDelim);
  const std::size_t folder_size = delim == std::string_view::npos ? 0 : delim + 1;
  Add(full_name.substr(0, folder_size), full_name.substr(folder_size));
}

void FullNameList::clear() {
  text_.clear();
  folders_.clear();
  name_ends_.clear();
}

const FullNameList::Folder& FullNameList::FolderOfEntry(std::size_t index) const {
  // The last folder whose first entry is at or before index.
  const auto after =
      std::upper_bound(folders_.begin(), folders_.end(), index,
                       [](std::size_t i, const Folder& folder) { return i < folder.first_entry; });
  return *(after - 1);
}

std::size_t FullNameList::NameStart(std::size_t index, const Folder& folder) const {
  return index == folder.first_entry ? folder.offset + folder.size : name_ends_[index - 1];
}

std::string FullNameList::operator[](std::size_t index) const {
  const Folder& folder = FolderOfEntry(index);
  const std::size_t start = NameStart(index, folder);
  std::string full_name;
  full_name.reserve(folder.size + name_ends_[index] - start);
  full_name.append(text_, folder.offset, folder.size);
  full_name.append(text_, start, name_ends_[index] - start);
  return full_name;
}

std::vector<std::string> FullNameList::ToVector() const {
  std::vector<std::string> names;
  names.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) names.push_back((*this)[i]);
  return names;
}

}  // namespace velmora
