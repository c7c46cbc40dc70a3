#pragma once

// What the copy, rename and delete commands on listed files share: the shortened name their
// messages show, and the file steps that never lose a file. Names are bytes.

#include <string>

namespace velmora {

// The display form of a full name: its first part, "/../", its second-to-last part, "/" and
// its last part (parts split at every "/", empty ones kept). A name without "/" stays as it is.
std::string ShortPath(const std::string& fullName);

// True when both names reach the same file (device and inode).
bool SameFile(const std::string& a, const std::string& b);

// Renames from to to, never replacing an existing file, also one created meanwhile. Where the
// file system cannot rename without replacing, a new link and the removal of the old name do
// the same. False with errno set when the rename did not happen (EEXIST: to exists).
bool RenameNoReplace(const std::string& from, const std::string& to);

}  // namespace velmora
