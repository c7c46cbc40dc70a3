#include "settings/Un_MyRegistry.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "settings/DateFormat.h"
#include "settings/MemoryKeyStore.h"

namespace velmora {

namespace {

constexpr std::string_view kRoot = "Software\\Velmora";
constexpr std::string_view kOption = "Software\\Velmora\\Option";
constexpr std::string_view kIgnore = "Software\\Velmora\\Ignore";
constexpr std::string_view kBackup = "Software\\Velmora\\Backup";
// The first run spells the backup key this way; key names ignore case, so it is one key.
constexpr std::string_view kFirstRunBackup = "Software\\Velmora\\BackUp";
constexpr std::string_view kBackupCount = "FileBackUpCountV";
constexpr std::string_view kBackupItem = "FileBackUp";
// Stored dates that do not follow the locale's format are tried in this one as well: the
// command-line tool writes it, and it never reads as another date.
constexpr std::string_view kPlainDateFormat = "yyyy-MM-dd";

constexpr char kFolderDelim = '/';

std::string WithFolderDelim(std::string folder) {
  if (folder.empty() || folder.back() != kFolderDelim) folder += kFolderDelim;
  return folder;
}

std::string Name(std::string_view prefix, std::string_view suffix) {
  return std::string(prefix) + std::string(suffix);
}
std::string Name(std::string_view prefix, int index) {
  return std::string(prefix) + std::to_string(index);
}

const char* BoolText(bool value) {
  return value ? "1" : "0";
}

enum class Kind { kBool, kInt, kDate, kText };
struct OptionDefault {
  const char* name;
  Kind kind;
  const char* value;  // unused for dates and the editor
};

// The option values of the first run, in the order they are written.
constexpr OptionDefault kOptionDefaults[] = {
    {"IncludeSubdirectoriesCheckBox", Kind::kBool, "1"},
    {"CreateBackupCheckBox", Kind::kBool, "1"},
    {"PhraseXPCheckBox", Kind::kBool, "0"},
    {"TrimLeftCheckBox", Kind::kBool, "1"},
    {"TrimRightCheckBox", Kind::kBool, "1"},
    {"ExpPointCheckBox", Kind::kBool, "0"},
    {"ExpSpaceCheckBox", Kind::kBool, "0"},
    {"ModifyXPCheckBox", Kind::kBool, "0"},
    {"RegExprXPCheckBox", Kind::kBool, "0"},
    {"Date", Kind::kBool, "0"},
    {"BetweenRadioButton", Kind::kBool, "1"},
    {"Days", Kind::kBool, "0"},
    {"MaxDateTimePicker", Kind::kDate, ""},
    {"MinDateTimePicker", Kind::kDate, ""},
    {"DaysAgoSpinEdit", Kind::kInt, "1"},
    {"Size", Kind::kBool, "0"},
    {"SizeSpinEdit", Kind::kInt, "1"},
    {"MaximumRadioButton", Kind::kBool, "0"},
    {"MinimumRadioButton", Kind::kBool, "1"},
    {"KBComboBox", Kind::kInt, "0"},
    {"FindSearchType", Kind::kInt, "0"},
    {"SearchSearchType", Kind::kInt, "0"},
    {"SearchModType", Kind::kInt, "0"},
    {"IgnoreFileXPCh", Kind::kBool, "0"},
    {"IgnorePathXPCh", Kind::kBool, "0"},
    {"IgnoreSubFoldXPCh", Kind::kBool, "0"},
    {"SensitiveCheckBox", Kind::kBool, "0"},
    {"WholeWordsCheckBox", Kind::kBool, "0"},
    {"Editor", Kind::kText, ""},
    // Modified files end every line with CR LF instead of keeping each line's own break.
    {"CrLfCheckBox", Kind::kBool, "0"},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// The index in a folded value name that is `prefix` followed by an index below `limit`
// written without leading zeros, as the lists write them; -1 for any other name.
long long ListIndex(std::string_view name, std::string_view prefix, int limit) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  const std::string_view digits = name.substr(prefix.size());
  constexpr std::size_t kMaxDigits = 10;  // more than any int has
  if (digits.size() > kMaxDigits || (digits.size() > 1 && digits.front() == '0')) return -1;
  long long index = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index < limit ? index : -1;
}

// A backup record stays while its name names a file (a folder does not count).
bool FileExists(const std::string& name) {
  std::error_code error;
  const auto status = std::filesystem::status(name, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// Empty PATH entries (the current folder) are skipped: the editor must not come from
// whatever folder the program was started in.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const auto folder = rest.substr(0, colon);
    rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    if (folder.empty()) continue;
    const std::string candidate = WithFolderDelim(std::string(folder)) + program;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::string();
}

}  // namespace

RegistryEnvironment SystemRegistryEnvironment() {
  RegistryEnvironment environment;
  environment.home_folder = HomeFolder();
  environment.find_program = FindOnPath;
  environment.now = Now;
  environment.file_names_ignore_case = false;
  return environment;
}

TMy_Registry::TMy_Registry(KeyStore& store, const Locale& locale, RegistryEnvironment environment)
    : store_(store), locale_(locale), environment_(std::move(environment)) {
  if (Open("Software") && !store_.HasSubKey("Velmora")) CreateDefaults();
  Save();
}

TMy_Registry::~TMy_Registry() {
  store_.CloseKey();
}

bool TMy_Registry::Open(std::string_view path) {
  store_.CloseKey();
  return store_.OpenKey(path, true);
}

int TMy_Registry::ReadCount(std::string_view name) const {
  return StrToInt(store_.ReadString(name));
}

int TMy_Registry::EntryCount(std::string_view count_name, std::string_view item_prefix) const {
  const int stored = ReadCount(count_name);
  const std::string prefix = FoldName(item_prefix);
  long long present = 0;
  for (const auto& name : store_.ValueNames()) {
    present = std::max(present, ListIndex(FoldName(name), prefix, stored) + 1);
  }
  return static_cast<int>(present);
}

void TMy_Registry::Write(std::string_view name, std::string_view value) {
  store_.WriteString(name, value);
}

bool TMy_Registry::SameFileName(std::string_view a, std::string_view b) const {
  return environment_.file_names_ignore_case ? EqualNoCase(a, b) : a == b;
}

std::string TMy_Registry::FirstRunFolder() const {
  return WithFolderDelim(environment_.home_folder);
}

std::string TMy_Registry::FirstRunEditor() const {
  const auto find = [this](const std::string& program) {
    return environment_.find_program ? environment_.find_program(program) : std::string();
  };
  for (const auto& editor : FirstRunEditors()) {
    if (auto found = find(editor); !found.empty()) return found;
  }
  const auto fallback = find(kFallbackEditor);
  return fallback.empty() ? std::string(kFallbackEditor) : fallback;
}

TDateTime TMy_Registry::CurrentTime() const {
  return environment_.now ? environment_.now() : Now();
}

void TMy_Registry::Save() {
  if (held_saves_ == 0) store_.Flush();
}

void TMy_Registry::WriteTogether(const std::function<void()>& writes) {
  std::exception_ptr failure;
  ++held_saves_;
  try {
    writes();
  } catch (...) {  // raised again below, after the save
    failure = std::current_exception();
  }
  --held_saves_;
  if (failure) {
    // The writes' own error is the one to report; a save that fails too is retried by the
    // next save, since the store keeps its changes.
    try {
      Save();
    } catch (const std::runtime_error&) {
    }
    std::rethrow_exception(failure);
  }
  Save();
}

void TMy_Registry::CreateDefaults() {
  if (Open(kRoot)) {
    const std::string folder = FirstRunFolder();
    Write("ComboBoxPathCountV", "1");
    Write("ComboBoxPath0", folder);
    Write("ComboBoxPathText", folder);
    Write("MasksComboBoxCountV", "1");
    Write("MasksComboBox0", "*.*");
    Write("MasksComboBoxText", "*.*");
    for (const char* prefix : {"FindEditComboBox", "SearchEdit", "Edit2"}) {
      Write(Name(prefix, "CountV"), "0");
      Write(Name(prefix, "Text"), "");
    }
  }
  if (Open(kOption)) {
    for (const auto& option : kOptionDefaults) {
      if (option.kind == Kind::kDate) {
        Write(option.name, FormatDateTime(locale_.ShortDateFormat(), DateOf(CurrentTime())));
      } else if (std::string_view(option.name) == "Editor") {
        Write(option.name, FirstRunEditor());
      } else {
        Write(option.name, option.value);
      }
    }
  }
  if (Open(kFirstRunBackup)) Write(kBackupCount, "0");
  if (Open(kIgnore)) {
    Write("PathFileCountV", "0");
    Write("MaskFileCountV", "0");
  }
  Save();
}

std::string TMy_Registry::ReadMru(std::string_view prefix, std::vector<std::string>& list) {
  list.clear();
  const int count = Open(kRoot) ? EntryCount(Name(prefix, "CountV"), prefix) : 0;
  for (int i = 0; i < count; ++i) list.push_back(store_.ReadString(Name(prefix, i)));
  return store_.ReadString(Name(prefix, "Text"));
}

void TMy_Registry::WriteMru(std::string_view prefix, const std::vector<std::string>& list,
                            std::string_view text) {
  if (!Open(kRoot)) return;
  const int stored = EntryCount(Name(prefix, "CountV"), prefix);
  for (int i = 0; i < stored; ++i) store_.DeleteValue(Name(prefix, i));
  for (std::size_t i = 0; i < list.size(); ++i) Write(Name(prefix, static_cast<int>(i)), list[i]);
  Write(Name(prefix, "Text"), text);
  Write(Name(prefix, "CountV"), IntToStr(static_cast<long long>(list.size())));
  Save();
}

bool TMy_Registry::ReadBool(std::string_view name) {
  return Open(kOption) && store_.ReadString(name) == "1";
}

void TMy_Registry::WriteBool(std::string_view name, bool value) {
  WriteStr(name, BoolText(value));
}

int TMy_Registry::ReadInt(std::string_view name) {
  return Open(kOption) ? StrToInt(store_.ReadString(name)) : 0;
}

void TMy_Registry::WriteInt(std::string_view name, int value) {
  WriteStr(name, IntToStr(value));
}

TDateTime TMy_Registry::ReadDate(std::string_view name) {
  if (!Open(kOption)) return 0;
  const std::string text = store_.ReadString(name);
  const int year = DecodeDate(CurrentTime()).year;
  auto date = ParseDate(text, locale_.ShortDateFormat(), year);
  if (!date) date = ParseDate(text, kPlainDateFormat, year);
  if (!date) throw EConvertError("'" + text + "' is not a valid date");
  return *date;
}

void TMy_Registry::WriteDate(std::string_view name, TDateTime value) {
  WriteStr(name, FormatDateTime(locale_.ShortDateFormat(), DateOf(value)));
}

std::string TMy_Registry::ReadStr(std::string_view name) {
  return Open(kOption) ? store_.ReadString(name) : std::string();
}

void TMy_Registry::WriteStr(std::string_view name, std::string_view value) {
  if (!Open(kOption)) return;
  Write(name, value);
  Save();
}

std::optional<int> TMy_Registry::ReadExtraInt(std::string_view name) {
  if (!Open(kRoot)) return std::nullopt;
  try {
    return StrToInt(store_.ReadString(name));
  } catch (const EConvertError&) {
    return std::nullopt;  // a value this version did not write, or none at all
  }
}

void TMy_Registry::WriteExtraInt(std::string_view name, int value) {
  if (!Open(kRoot)) return;
  Write(name, IntToStr(value));
  Save();
}

void TMy_Registry::ReadIgnoreList(std::string_view which, std::vector<std::string>& list) {
  list.clear();
  if (!Open(kIgnore)) return;
  const int count = EntryCount(Name(which, "FileCountV"), Name(which, "File"));
  for (int i = 0; i < count; ++i) list.push_back(store_.ReadString(Name(Name(which, "File"), i)));
}

void TMy_Registry::WriteIgnoreList(std::string_view which, const std::vector<std::string>& list) {
  if (!Open(kIgnore)) return;
  for (std::size_t i = 0; i < list.size(); ++i) {
    Write(Name(Name(which, "File"), static_cast<int>(i)), list[i]);
  }
  Write(Name(which, "FileCountV"), IntToStr(static_cast<long long>(list.size())));
  Save();
}

void TMy_Registry::AddBackups(const std::vector<std::string>& names) {
  const bool opened = Open(kBackup);
  const int count = opened ? EntryCount(kBackupCount, kBackupItem) : 0;
  std::vector<std::string> known;
  for (int i = 0; i < count; ++i) known.push_back(store_.ReadString(Name(kBackupItem, i)));
  // A name repeated within `names` is recorded once as well.
  std::vector<std::string> added;
  for (const auto& name : names) {
    const auto same = [&](const std::string& other) { return SameFileName(name, other); };
    if (std::none_of(known.begin(), known.end(), same) &&
        std::none_of(added.begin(), added.end(), same)) {
      added.push_back(name);
    }
  }
  if (!opened) return;
  for (std::size_t i = 0; i < added.size(); ++i) {
    Write(Name(kBackupItem, count + static_cast<int>(i)), added[i]);
  }
  Write(kBackupCount, IntToStr(count + static_cast<long long>(added.size())));
  Save();
}

int TMy_Registry::PurgeBackups() {
  if (!Open(kBackup)) return 0;
  if (ReadCount(kBackupCount) > 0) {
    const int count = EntryCount(kBackupCount, kBackupItem);
    // All records are read before any is deleted, so a record that cannot be read leaves
    // the list as it was.
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(store_.ReadString(Name(kBackupItem, i)));
    for (int i = 0; i < count; ++i) store_.DeleteValue(Name(kBackupItem, i));
    std::erase_if(names, [](const std::string& name) { return !FileExists(name); });
    for (std::size_t i = 0; i < names.size(); ++i) {
      Write(Name(kBackupItem, static_cast<int>(i)), names[i]);
    }
    Write(kBackupCount, IntToStr(static_cast<long long>(names.size())));
    Save();
  }
  return ReadCount(kBackupCount);
}

void TMy_Registry::ReadBackups(std::vector<std::string>& list) {
  list.clear();
  if (!Open(kBackup)) return;
  const int count = EntryCount(kBackupCount, kBackupItem);
  for (int i = 0; i < count; ++i) list.push_back(store_.ReadString(Name(kBackupItem, i)));
}

}  // namespace velmora
