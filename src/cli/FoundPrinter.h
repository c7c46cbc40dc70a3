#pragma once

// Prints the files that find reports: each full name at once, or, sorted, all at the end
// ordered by file name and then by folder, bytewise. Folders and files that could not be read
// are told at once on standard error, one line each ("velmora-cli: NAME: REASON").

#include <string>
#include <utility>
#include <vector>

#include "cli/Cli.h"

namespace velmora::cli {

class FoundPrinter {
 public:
  FoundPrinter(Io& io, bool sorted) : io_(io), sorted_(sorted) {}

  // folder ends with the path delimiter; name has no folder part.
  void Add(const std::string& folder, const std::string& name);
  // Prints what was held back for sorting.
  void Finish();
  std::size_t Count() const { return count_; }
  void Unreadable(const std::string& name, const std::string& reason);
  std::size_t UnreadableCount() const { return unreadable_; }

 private:
  Io& io_;
  bool sorted_;
  std::size_t count_ = 0;
  std::size_t unreadable_ = 0;
  std::vector<std::pair<std::string, std::string>> held_;  // name, folder
};

}  // namespace velmora::cli
