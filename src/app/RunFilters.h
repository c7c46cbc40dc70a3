#pragma once

// The filters of a search run (ignored folders and masks, size, date, ".bak" names), read from
// the settings store once when the run starts: the menus that change them are disabled while
// it runs, so every file of the run sees the same values.

#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"

namespace velmora {

class TMy_Registry;
class TSearchRec;

struct RunFilters {
  // searchInResult: the run re-examines the list, so the ignore lists do not apply;
  // replacePage: the run is on "Search and Replace", where backups are left out.
  static RunFilters Read(TMy_Registry& registry, bool searchInResult, bool replacePage);

  // Does a reported file pass? path is its folder; now is the date filter's clock. The
  // file's size and time are asked for only while their filter is on.
  bool Passes(const std::string& path, const TSearchRec& rec, TDateTime now) const;

  bool ignoreFolders = false;
  std::vector<std::string> ignoredFolders;  // sorted
  bool ignoreBelowFolders = false;          // a folder's subfolders are ignored too
  bool ignoreFiles = false;
  std::vector<std::string> ignoredMasks;  // sorted

  bool sizeFilter = false;
  std::int64_t sizeLimit = 0;  // in bytes
  bool maximum = false;        // a file of the limit or more is rejected
  bool minimum = false;        // a file of the limit or less is rejected

  bool dateFilter = false;
  bool between = false;
  TDateTime minDate = 0;
  TDateTime maxDate = 0;
  bool daysAgo = false;
  std::int64_t days = 0;

  bool skipBackups = false;

 private:
  bool IgnoredFolder(const std::string& path) const;
  bool IgnoredFile(const std::string& name) const;
  bool SizeRejected(std::int64_t size) const;
  bool DateRejected(std::int32_t fileDate, TDateTime now) const;
};

}  // namespace velmora
