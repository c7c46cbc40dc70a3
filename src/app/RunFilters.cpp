#include "app/RunFilters.h"

#include <algorithm>
#include <cctype>

#include "base/Paths.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"
#include "find/Un_MyFindFile.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

namespace {

bool IsBackupName(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".bak";
}

std::vector<std::string> SortedIgnoreList(TMy_Registry& registry, const char* which) {
  std::vector<std::string> list;
  registry.ReadIgnoreList(which, list);
  std::sort(list.begin(), list.end());
  return list;
}

}  // namespace

RunFilters RunFilters::Read(TMy_Registry& registry, bool searchInResult, bool replacePage) {
  RunFilters f;
  if (!searchInResult) {
    f.ignoreFolders = registry.ReadBool("IgnorePathXPCh");
    if (f.ignoreFolders) {
      f.ignoredFolders = SortedIgnoreList(registry, "Path");
      f.ignoreBelowFolders = registry.ReadBool("IgnoreSubFoldXPCh");
    }
    f.ignoreFiles = registry.ReadBool("IgnoreFileXPCh");
    if (f.ignoreFiles) f.ignoredMasks = SortedIgnoreList(registry, "Mask");
  }
  f.sizeFilter = registry.ReadBool("Size");
  if (f.sizeFilter) {
    const std::int64_t unit = registry.ReadInt("KBComboBox") == 0 ? 1024 : 1048576;
    f.sizeLimit = static_cast<std::int64_t>(registry.ReadInt("SizeSpinEdit")) * unit;
    f.maximum = registry.ReadBool("MaximumRadioButton");
    f.minimum = registry.ReadBool("MinimumRadioButton");
  }
  f.dateFilter = registry.ReadBool("Date");
  if (f.dateFilter) {
    f.between = registry.ReadBool("BetweenRadioButton");
    if (f.between) {
      f.minDate = registry.ReadDate("MinDateTimePicker");
      f.maxDate = registry.ReadDate("MaxDateTimePicker");
    }
    f.daysAgo = registry.ReadBool("Days");
    if (f.daysAgo) f.days = registry.ReadInt("DaysAgoSpinEdit");
  }
  f.skipBackups = replacePage && registry.ReadBool("CreateBackupCheckBox");
  return f;
}

bool RunFilters::Passes(const std::string& path, const TSearchRec& rec, TDateTime now) const {
  if (ignoreFolders && IgnoredFolder(path)) return false;
  if (ignoreFiles && IgnoredFile(rec.Name)) return false;
  if (sizeFilter && SizeRejected(rec.Size())) return false;
  if (dateFilter && DateRejected(rec.Time(), now)) return false;
  return !(skipBackups && IsBackupName(rec.Name));
}

bool RunFilters::IgnoredFolder(const std::string& path) const {
  const std::string folder = WithTrailingDelim(path);
  for (const auto& entry : ignoredFolders) {
    if (entry == folder) return true;
    if (ignoreBelowFolders && folder.find(entry) != std::string::npos) return true;
  }
  return false;
}

bool RunFilters::IgnoredFile(const std::string& name) const {
  return std::any_of(ignoredMasks.begin(), ignoredMasks.end(),
                     [&](const std::string& mask) { return MatchesMask(name, mask); });
}

bool RunFilters::SizeRejected(std::int64_t size) const {
  return (maximum && size >= sizeLimit) || (minimum && size <= sizeLimit);
}

bool RunFilters::DateRejected(std::int32_t fileDate, TDateTime now) const {
  TDateTime t = 0;
  try {
    t = FileDateToDateTime(fileDate);
  } catch (const EFileDateError&) {
    return true;  // a date that cannot be read cannot pass a date filter
  }
  if (between && (t < minDate || t > maxDate)) return true;
  if (daysAgo) {
    if (t > now) return true;
    if (static_cast<std::int64_t>(now - t) > days) return true;
  }
  return false;
}

}  // namespace velmora
