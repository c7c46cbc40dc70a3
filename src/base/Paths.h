#pragma once

// Folder and full-name helpers. Every folder or full name is built, split and shown with
// PathDelim; a folder handed to a caller always ends with it.

#include <string>
#include <string_view>

namespace velmora {

inline constexpr char PathDelim = '/';

// The folder with PathDelim appended when its last character is not PathDelim. An empty
// text stays empty.
inline std::string WithTrailingDelim(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && result.back() != PathDelim) result += PathDelim;
  return result;
}

// The folder part of a full name, up to and including the last PathDelim ("" when none).
inline std::string FolderOf(std::string_view full_name) {
  const auto delim = full_name.rfind(PathDelim);
  return delim == std::string_view::npos ? std::string()
                                         : std::string(full_name.substr(0, delim + 1));
}

// The part of a full name after the last PathDelim (the whole text when none).
inline std::string NameOf(std::string_view full_name) {
  const auto delim = full_name.rfind(PathDelim);
  return std::string(delim == std::string_view::npos ? full_name : full_name.substr(delim + 1));
}

}  // namespace velmora
