#pragma once

// FileKeyStore: the key store of the Linux build, one text file
// ($XDG_CONFIG_HOME/Velmora/registry.reg). The tree lives in memory; Flush writes the whole
// file again, atomically (a temporary file in the same folder, fsync, rename, fsync of the
// folder), so a crash at any moment leaves either the old file or the new one.
//
// Layout: a comment line, then one section per key, parents first:
//
//   [HKEY_CURRENT_USER\Software\Velmora\Option]
//   "Name"="value"
//
// Inside the quotes of names and values a backslash is written "\\", a quote "\"", a line
// feed "\n" and a carriage return "\r", so every text, line breaks included, reads back as
// it was written. A value of another kind is kept in its written form ("Name"=dword:0001)
// and reads as "Invalid data type". Blank lines and lines starting with ";" are ignored.
//
// On opening, a missing file is an empty store; a file that does not follow the layout, or
// that is no regular file (a FIFO, socket or device: opened without blocking, never read), is
// renamed to "registry.reg.corrupt-<yyyyMMdd-HHmmss>" and the store starts empty. When
// another process has replaced the file since this one loaded or saved it, the next OpenKey
// loads it again, so two running copies see each other's settings.
//
// Saves of all running copies take turns under an advisory lock (flock on the hidden file
// ".registry.reg.lock" beside the settings file): each save reads the file again, applies
// this copy's changes since its last save on top, and writes the result, so values another
// copy saved meanwhile are kept. A settings file that is a symbolic link stays one, also
// when its target does not exist yet.
//
// A search opens keys thousands of times a second, so OpenKey does not stat the file each
// time: the folder is watched (inotify), and the file is looked at only after something in
// the folder changed, and at least once every kLookInterval for what a watch cannot see (a
// folder above renamed, a linked folder swapped). Where the folder cannot be watched (it does
// not exist yet, the file is a symbolic link, the watch overflowed or failed) every OpenKey
// stats the file instead.

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/MemoryKeyStore.h"

namespace velmora {

class FileKeyStore final : public KeyStore {
 public:
  static constexpr std::chrono::milliseconds kLookInterval{500};

  // Loads `file_name`. Throws std::runtime_error when the file exists but cannot be read, or
  // cannot be parsed and cannot be set aside either (the store would otherwise overwrite it).
  explicit FileKeyStore(std::string file_name);
  // Saves what is not saved yet; a failure here is not reported.
  ~FileKeyStore() override;
  FileKeyStore(const FileKeyStore&) = delete;
  FileKeyStore& operator=(const FileKeyStore&) = delete;

  bool OpenKey(std::string_view path, bool create) override;
  void CloseKey() override;
  bool HasSubKey(std::string_view name) const override;
  ValueKind GetValueKind(std::string_view name) const override;
  std::string ReadString(std::string_view name) const override;
  void WriteString(std::string_view name, std::string_view value) override;
  bool DeleteValue(std::string_view name) override;
  std::vector<std::string> ValueNames() const override;
  // Saves the file when anything changed since the last save. Throws std::runtime_error
  // ("Cannot save the settings file '<name>': <reason>") and keeps the old file intact when
  // the save fails; the changes stay in memory for the next Flush.
  void Flush() override;

  const std::string& FileName() const { return file_name_; }
  // The name the unreadable file was renamed to at the last load, "" when none was.
  const std::string& CorruptCopy() const { return corrupt_copy_; }
  std::string TakeKeptCopy() override;

 private:
  // What tells one version of the file from another without reading it.
  struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    bool operator==(const FileStamp&) const = default;
  };

  enum class ReadResult { kMissing, kLoaded, kCorrupt };

  // One change made by this copy since its last save, replayed on the file's newer text.
  struct Change {
    std::string path;                  // key path
    std::string name;                  // value name; unused for a created key
    std::optional<std::string> value;  // the text written; none for a deletion
    bool creates_key = false;
  };

  ReadResult ReadFile(MemoryKeyStore& into, FileStamp& stamp) const;
  void Load();
  void ReloadIfReplaced();
  // Starts watching the file's folder when possible and not watching yet.
  void Watch();
  void Unwatch();
  // Uses up the events seen so far; false only when there were none and the watch holds.
  bool Drain();
  // Whether the file must be looked at: something in the folder changed, or the last look is
  // kLookInterval old, or nothing is watched.
  bool MayHaveChanged();
  bool Dirty() const;
  void SetAside();
  void Save();
  // Reads the file as it is now and puts this copy's unsaved changes on top of it.
  void MergeWithFile();
  FileStamp Stamp() const;
  static FileStamp StampOf(const struct stat& info);

  std::string file_name_;
  std::string corrupt_copy_;
  bool kept_copy_told_ = false;
  std::optional<std::string> current_path_;  // the path of the open key
  std::vector<Change> unsaved_;
  MemoryKeyStore tree_;
  std::uint64_t saved_changes_ = 0;
  bool must_save_ = false;  // the file on disk lost this process's settings
  FileStamp stamp_;
  int watch_ = -1;  // inotify descriptor watching the folder, -1 when not watching
  std::chrono::steady_clock::time_point looked_{};  // the last stat of the file
};

// $XDG_CONFIG_HOME/Velmora/registry.reg, or ~/.config/Velmora/registry.reg when
// XDG_CONFIG_HOME is unset, empty or not absolute.
std::string DefaultRegistryFileName();

// The file text of a store, and a store from a file text (false when the text does not follow
// the layout; `store` is then left in an unspecified state).
std::string SerializeKeyStore(const MemoryKeyStore& store);
bool ParseKeyStore(std::string_view text, MemoryKeyStore& store);

}  // namespace velmora
