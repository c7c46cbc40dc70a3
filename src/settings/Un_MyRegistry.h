#pragma once

// TMy_Registry: the one place that keeps settings between runs: the recent entries of the
// main window's five combo boxes, the options, the two ignore lists and the list of backup
// files. It sits on a KeyStore below the per-user root and writes the first-run layout when
// "Software\Velmora" is missing. Every value is stored as text. Nothing is cached: each call
// opens the key it needs (leaving it open), and every call that writes ends by flushing the
// store, so another window or a later run sees the change at once.
//
// Read errors: a count or integer that is missing or not a number raises EConvertError
// "'<text>' is not a valid integer value", a date that does not parse
// "'<text>' is not a valid date"; a value of another kind raises ERegistryException
// "Invalid data type for '<name>'", a refused write "Failed to set data for '<name>'". A
// store that cannot save raises its own std::runtime_error from the writing call; the change
// stays in the store's memory and is saved with the next write.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Convert.h"
#include "base/DateTime.h"
#include "ports/KeyStore.h"
#include "ports/Locale.h"

namespace velmora {

// What the first run and the backup list need from the machine; tests supply fakes.
struct RegistryEnvironment {
  // The user's home folder; the first-run folder is this with a trailing "/".
  std::string home_folder;
  // The full name of the first program of that name found on PATH, or "" when there is
  // none (first-run editor).
  std::function<std::string(const std::string& program)> find_program;
  // Today's date and time (the first-run filter dates take their date part).
  std::function<TDateTime()> now;
  // Whether backup file names that differ only in letter case name the same file. False on
  // Linux, where such names are different files and each needs its own record.
  bool file_names_ignore_case = false;
};

// The environment of this machine: $HOME (else the password database), the PATH search,
// the clock, case-sensitive file names.
RegistryEnvironment SystemRegistryEnvironment();

// The first-run editors, in order of preference, and the fallback when none is on PATH.
// "Editor" gets the full name of the first one found.
inline const std::vector<std::string>& FirstRunEditors() {
  static const std::vector<std::string> editors = {
      "gnome-text-editor", "gedit", "kate", "mousepad", "xed", "pluma", "featherpad"};
  return editors;
}
inline constexpr const char* kFallbackEditor = "xdg-open";

class TMy_Registry {
 public:
  // Runs CreateDefaults when "Software\Velmora" does not exist; an existing key is used as
  // it is. The store and locale must outlive the instance.
  TMy_Registry(KeyStore& store, const Locale& locale, RegistryEnvironment environment);
  ~TMy_Registry();
  TMy_Registry(const TMy_Registry&) = delete;
  TMy_Registry& operator=(const TMy_Registry&) = delete;

  // Writes the whole first-run layout.
  void CreateDefaults();

  // Recent entries of a combo box (prefix "ComboBoxPath", "MasksComboBox",
  // "FindEditComboBox", "SearchEdit", "Edit2"): fills `list` (oldest first) and returns the
  // stored edit text.
  std::string ReadMru(std::string_view prefix, std::vector<std::string>& list);
  // Replaces the stored entries of `prefix` by `list` and stores `text`.
  void WriteMru(std::string_view prefix, const std::vector<std::string>& list,
                std::string_view text);

  // One value of "Software\Velmora\Option". A boolean is true only when stored as "1".
  bool ReadBool(std::string_view name);
  void WriteBool(std::string_view name, bool value);
  int ReadInt(std::string_view name);
  void WriteInt(std::string_view name, int value);
  // Only the date part is kept, in the locale's short date format.
  TDateTime ReadDate(std::string_view name);
  void WriteDate(std::string_view name, TDateTime value);
  std::string ReadStr(std::string_view name);
  void WriteStr(std::string_view name, std::string_view value);

  // Extra numbers of "Software\Velmora" (where the main window was, how its panes and columns
  // were divided), which older versions ignore: none when missing or not a number.
  std::optional<int> ReadExtraInt(std::string_view name);
  void WriteExtraInt(std::string_view name, int value);

  // The folder ignore list (which = "Path") or the file-mask ignore list (which = "Mask").
  void ReadIgnoreList(std::string_view which, std::vector<std::string>& list);
  void WriteIgnoreList(std::string_view which, const std::vector<std::string>& list);

  // Appends the backup names not recorded yet (each name is recorded once).
  void AddBackups(const std::vector<std::string>& names);
  // Drops the records of backups that no longer exist; returns the number left.
  int PurgeBackups();
  // All recorded backup names, in the order they were recorded.
  void ReadBackups(std::vector<std::string>& list);

  // Runs `writes` with the store saved once at the end instead of after every write (a dialog
  // that writes many values saves the file once). The save happens also when `writes` throws:
  // what it wrote before the error stays written, and its error is raised again afterwards.
  void WriteTogether(const std::function<void()>& writes);

 private:
  bool Open(std::string_view path);
  int ReadCount(std::string_view name) const;
  // The stored count of a list, lowered to one past its highest entry present: a count that no
  // entry backs must cost nothing.
  int EntryCount(std::string_view count_name, std::string_view item_prefix) const;
  void Write(std::string_view name, std::string_view value);
  bool SameFileName(std::string_view a, std::string_view b) const;
  std::string FirstRunFolder() const;
  std::string FirstRunEditor() const;
  TDateTime CurrentTime() const;
  // Saves the store unless WriteTogether holds the saves back.
  void Save();

  KeyStore& store_;
  const Locale& locale_;
  RegistryEnvironment environment_;
  int held_saves_ = 0;
};

}  // namespace velmora
