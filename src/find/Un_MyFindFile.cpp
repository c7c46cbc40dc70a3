#include "find/Un_MyFindFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>

#include "base/Paths.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"

namespace velmora {

// One name of a folder listing; is_folder is true for real folders only, not for links to them.
struct TMyFindFile::FolderEntry {
  std::string name;
  bool is_folder = false;
};

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool IsDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

bool IsRealFolder(const std::string& full_name, unsigned char type) {
  if (type != DT_UNKNOWN) return type == DT_DIR;
  struct stat st {};
  return lstat(full_name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Reads the record of one entry. False for entries that are never reported: gone since,
// FIFOs, sockets, devices and dangling links.
bool ReadRecord(const std::string& full_name, std::string name, TSearchRec& rec) {
  struct stat st {};
  if (stat(full_name.c_str(), &st) != 0) return false;
  std::int32_t attr = 0;
  if (S_ISDIR(st.st_mode)) {
    attr = kAttrDirectory;
  } else if (S_ISREG(st.st_mode)) {
    attr = kAttrArchive;
  } else {
    return false;
  }
  if (!name.empty() && name.front() == '.') attr |= kAttrHidden;
  if ((st.st_mode & S_IWUSR) == 0) attr |= kAttrReadOnly;
  rec.Attr = attr;
  rec.Size = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
  rec.Time = UnixTimeToFileDate(st.st_mtime);
  rec.Name = std::move(name);
  return true;
}

unsigned char UpperAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// "*" and "?" over the whole name, without recursion: a failed attempt resumes after the
// last "*", which is enough because a later "*" can absorb whatever an earlier one could.
bool GlobMatches(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0;
  std::size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (m < mask.size() && (mask[m] == '?' || UpperAscii(mask[m]) == UpperAscii(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool WalkMaskMatches(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      GlobMatches(name, mask.substr(0, mask.size() - 2))) {
    return true;
  }
  return GlobMatches(name, mask);
}

void TMyFindFile::Execute() {
  // Hidden, system and directory exclude an entry unless Attributes holds them.
  const std::int32_t exclusion =
      (kAttrHidden | kAttrSystem | kAttrDirectory) & ~Attributes.ToMask();
  TotalSize = 0;
  DirCount = 0;
  FileCount = 0;
  if (OnStart) OnStart(*this);
  if (!Path.empty()) {
    if (SearchInList) {
      SearchList(exclusion);
    } else {
      FileList.clear();
      if (Recursive) {
        SearchTree(exclusion);
      } else {
        const std::string folder = WithTrailingDelim(Path);
        SearchFolder(folder, ReadFolder(folder), exclusion);
      }
    }
  }
  if (OnFinish) OnFinish(*this);
}

void TMyFindFile::SearchTree(std::int32_t exclusion) {
  // Breadth first: a folder's subfolders are queued before its own entries are reported.
  std::deque<std::string> queue{WithTrailingDelim(Path)};
  while (!queue.empty()) {
    const std::string folder = queue.front();
    const std::vector<FolderEntry> entries = ReadFolder(folder);
    for (const FolderEntry& entry : entries) {
      if (entry.is_folder) queue.push_back(folder + entry.name + PathDelim);
    }
    SearchFolder(folder, entries, exclusion);
    queue.pop_front();
    if (Stop) break;
  }
}

void TMyFindFile::SearchFolder(const std::string& folder, const std::vector<FolderEntry>& entries,
                               std::int32_t exclusion) {
  for (const FolderEntry& entry : entries) {
    if (!WalkMaskMatches(entry.name, Mask)) continue;
    TSearchRec rec;
    if (!ReadRecord(folder + entry.name, entry.name, rec) || (rec.Attr & exclusion) != 0) continue;
    FileList.push_back(folder + rec.Name);
    Report(folder, rec);
    if (Stop) return;
  }
}

void TMyFindFile::SearchList(std::int32_t exclusion) {
  // Compiled on the first name, so an invalid mask raises before anything is reported.
  std::optional<TMask> mask;
  // By index and by copy: a handler could replace FileList while it runs.
  for (std::size_t i = 0; i < FileList.size(); ++i) {
    const std::string full_name = FileList[i];
    if (!mask) mask.emplace(Mask);
    if (!mask->Matches(full_name)) continue;
    std::string name = NameOf(full_name);
    if (name.empty() || IsDotOrDotDot(name)) continue;
    TSearchRec rec;
    if (!ReadRecord(full_name, std::move(name), rec) || (rec.Attr & exclusion) != 0) continue;
    std::string folder = FolderOf(full_name);
    if (folder.empty()) folder = std::string(".") + PathDelim;
    Report(folder, rec);
    if (Stop) return;
  }
}

void TMyFindFile::Report(const std::string& folder, const TSearchRec& rec) {
  // Unsigned arithmetic: the counters wrap instead of overflowing.
  if (rec.Attr == kAttrDirectory) {
    DirCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(DirCount) + 1u);
  } else {
    FileCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(FileCount) + 1u);
  }
  TotalSize = static_cast<std::int64_t>(static_cast<std::uint64_t>(TotalSize) +
                                        static_cast<std::uint64_t>(rec.Size));
  if (OnFileFound) OnFileFound(*this, folder, rec, Stop);
}

std::vector<TMyFindFile::FolderEntry> TMyFindFile::ReadFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  const DirHandle dir(opendir(folder.c_str()));
  if (!dir) return entries;
  while (const dirent* ent = readdir(dir.get())) {
    std::string name = ent->d_name;
    if (IsDotOrDotDot(name)) continue;
    const bool is_folder = IsRealFolder(folder + name, ent->d_type);
    entries.push_back({std::move(name), is_folder});
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  return entries;
}

}  // namespace velmora
