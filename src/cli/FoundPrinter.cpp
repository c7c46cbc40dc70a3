#include "cli/FoundPrinter.h"

#include <algorithm>

namespace velmora::cli {

void FoundPrinter::Add(const std::string& folder, const std::string& name) {
  ++count_;
  if (sorted_) {
    held_.emplace_back(name, folder);
    return;
  }
  io_.out << folder << name << '\n';
  if (io_.flushEachLine) io_.out.flush();
}

void FoundPrinter::Unreadable(const std::string& name, const std::string& reason) {
  ++unreadable_;
  io_.out.flush();  // the names printed so far come first, as the walk met them
  io_.err << "velmora-cli: " << name << ": " << reason << '\n';
}

void FoundPrinter::Finish() {
  // std::string compares bytes as unsigned char: a bytewise order whatever the locale.
  std::sort(held_.begin(), held_.end());
  for (const auto& [name, folder] : held_) io_.out << folder << name << '\n';
  held_.clear();
  io_.out.flush();
}

}  // namespace velmora::cli
