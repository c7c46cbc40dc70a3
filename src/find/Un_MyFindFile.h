#pragma once

// TMyFindFile walks a folder (or a folder tree, breadth first) and reports every entry whose
// name matches one mask through OnFileFound, one entry at a time. In list mode it walks
// nothing: it reports those names of FileList that match the mask and still exist. It knows
// nothing of contents, ignore lists, dates or sizes; the caller's OnFileFound filters those.
// Synchronous: Execute returns when the walk is over. The window owns one and reuses it.
//
// Only folders and regular files are ever reported or entered: FIFOs, sockets and device
// files are passed over (opening them can hang), symbolic links to folders are not walked
// (no cycles), a symbolic link to a regular file is reported as that file, and folders that
// cannot be opened are passed over (told through OnFolderError). Names are bytes, passed
// through unchanged.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileIdentity.h"
#include "find/FolderListing.h"
#include "find/FullNameList.h"

namespace velmora {

// Attribute bits of TSearchRec::Attr. On Linux: directory for folders, hidden for names
// beginning with ".", read-only when the owner may not write, archive for regular files;
// system and volume label are never set.
inline constexpr std::int32_t kAttrReadOnly = 0x01;
inline constexpr std::int32_t kAttrHidden = 0x02;
inline constexpr std::int32_t kAttrSystem = 0x04;
inline constexpr std::int32_t kAttrDirectory = 0x10;
inline constexpr std::int32_t kAttrArchive = 0x20;

enum class TFileAttr : std::uint8_t { ReadOnly, Hidden, System, VolumeLabel, Directory, Archive };

// A set of attribute kinds; ToMask gives the bits of the kinds it holds.
class TFileAttrs {
 public:
  constexpr TFileAttrs() = default;
  constexpr TFileAttrs(std::initializer_list<TFileAttr> kinds) {
    for (TFileAttr kind : kinds) Include(kind);
  }
  constexpr void Include(TFileAttr kind) { bits_ |= Bit(kind); }
  constexpr void Exclude(TFileAttr kind) { bits_ &= static_cast<std::uint8_t>(~Bit(kind)); }
  constexpr bool Contains(TFileAttr kind) const { return (bits_ & Bit(kind)) != 0; }
  constexpr std::int32_t ToMask() const { return bits_; }
  constexpr bool operator==(const TFileAttrs&) const = default;

 private:
  static constexpr std::uint8_t Bit(TFileAttr kind) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(kind));
  }
  std::uint8_t bits_ = 0;
};

// One reported entry, passed by reference to OnFileFound; do not keep the reference. Name and
// the kind of entry come from the folder listing; Time, Size and the read-only bit are read
// from the file system the first time one of them is asked for, so a walk whose handler never
// asks reads no entry's status. A copy holds every field, read when it is made.
class TSearchRec {
 public:
  TSearchRec() = default;
  TSearchRec(const TSearchRec& other) { *this = other; }
  TSearchRec& operator=(const TSearchRec& other);

  std::int32_t Time() const;  // local last-write time, packed (find/DosDateTime.h)
  std::int64_t Size() const;  // size in bytes; 0 for a folder
  std::int32_t Attr() const;  // kAttr* bits
  // What was read with Time and Size; nothing when the entry could not be looked at.
  const std::optional<FileIdentity>& Identity() const;

  std::string Name;  // the entry's name without folder

 private:
  friend class TMyFindFile;
  // Directory or archive, plus hidden: what is known without reading the entry's status.
  std::int32_t KindAttr() const { return kind_attr_; }
  bool Loaded() const { return loaded_; }
  // The status is read later, from Name relative to the open folder folder_fd.
  void Defer(int folder_fd, std::int32_t kind_attr);
  // The status is known.
  void Fill(std::int32_t kind_attr, const struct stat& status);
  void SetStatus(const struct stat& status) const;
  void Load() const;

  int folder_fd_ = -1;
  std::int32_t kind_attr_ = 0;
  mutable bool loaded_ = true;
  mutable std::int32_t read_only_ = 0;
  mutable std::int64_t size_ = 0;
  mutable std::int32_t time_ = 0;
  mutable std::optional<FileIdentity> identity_;
};

class TMyFindFile {
 public:
  using TNotifyEvent = std::function<void(TMyFindFile& sender)>;
  // Path is the entry's folder, always ending with PathDelim; Stop is the finder's Stop.
  using TFileFoundEvent = std::function<void(TMyFindFile& sender, const std::string& path,
                                             const TSearchRec& rec, bool& stop)>;
  // A folder of the walk that could not be opened: the folder, ending with PathDelim, and
  // the errno value.
  using TFolderErrorEvent =
      std::function<void(TMyFindFile& sender, const std::string& folder, int error)>;

  // True ends the walk at the next check (after each OnFileFound and each folder). The
  // caller clears it before a run; Execute does not.
  bool Stop = false;
  // Reported entries whose Attr is exactly kAttrDirectory, and all other reported entries.
  // Both wrap on overflow.
  std::int32_t DirCount = 0;
  std::int32_t FileCount = 0;
  // Optional kinds a reported entry may carry: an entry carrying hidden, system or directory
  // while that kind is missing here is passed over. The default reports hidden files but no
  // folders.
  TFileAttrs Attributes{TFileAttr::ReadOnly, TFileAttr::Hidden, TFileAttr::System,
                        TFileAttr::Archive};
  std::string Path;  // start folder, with or without trailing PathDelim; empty walks nothing
  bool Recursive = false;
  bool SearchInList = false;
  std::string Mask = "*.*";
  TNotifyEvent OnStart;
  TNotifyEvent OnFinish;
  TFileFoundEvent OnFileFound;
  TFolderErrorEvent OnFolderError;

  // List mode: the full names to test (left unchanged). Walk mode: emptied, then receives the
  // full name of each reported entry.
  const FullNameList& FileList() const { return file_list_; }
  void SetFileList(const std::vector<std::string>& list);

  // Sum of Size of the entries reported by the last Execute (wraps modulo 2^64). Sizes that
  // nobody asked for during the walk are read now.
  std::int64_t TotalSize();

  // One run with the current members. OnStart and OnFinish are raised around every run; an
  // exception from OnFileFound, or an invalid mask in list mode, leaves at once (no
  // OnFinish) with everything released.
  void Execute();

 private:
  void SearchTree(std::int32_t exclusion);
  // Entries are looked up relative to the open folder, so the length of `folder` (the name
  // reported) never matters.
  void SearchFolder(int folder_fd, const std::string& folder, const FolderListing& entries,
                    std::int32_t exclusion);
  void SearchList(std::int32_t exclusion);
  // Fills record_ for one listed entry; false for entries that are never reported.
  bool PrepareRecord(int folder_fd, const FolderListing::Entry& entry);
  void Report(const std::string& folder);

  FullNameList file_list_;
  // The last walk's names while file_list_ holds a list given since, and which of its entries
  // still need their size read for TotalSize.
  FullNameList walked_names_;
  std::vector<bool> size_unread_;
  std::uint64_t total_size_ = 0;
  TSearchRec record_;  // reused for every entry, so a name seldom needs a new allocation
  // Tells OnFolderError when a folder of the walk could not be opened (fd below 0).
  void TellIfNotOpened(int fd, const std::string& folder);
};

// The walk-mode name rule: "*" any run, "?" one character, ASCII letters without regard to
// case; a mask ending in ".*" also matches names without that dot part, so "*.*" matches
// every name. The empty mask matches nothing.
bool WalkMaskMatches(std::string_view name, std::string_view mask);

}  // namespace velmora
