// TMy_Registry over the file store and the in-memory store: the first-run layout, the
// lists, the option encodings and the documented errors.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "settings/FileKeyStore.h"
#include "settings/MemoryKeyStore.h"
#include "settings/SettingsTestSupport.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {
namespace {

using Strings = std::vector<std::string>;

// 2026-12-06 23:59.
const TDateTime kFirstRunNow = EncodeDate(2026, 12, 6) + EncodeTime(23, 59, 0);

RegistryEnvironment FakeEnvironment(std::map<std::string, std::string> programs = {
                                        {"gedit", "/usr/bin/gedit"}, {"kate", "/opt/kate"}}) {
  RegistryEnvironment environment;
  environment.home_folder = "/home/tester";
  environment.find_program = [programs](const std::string& name) {
    const auto found = programs.find(name);
    return found == programs.end() ? std::string() : found->second;
  };
  environment.now = [] { return kFirstRunNow; };
  return environment;
}

// A locale whose short date format has a two-digit year.
class UsLocale final : public Locale {
 public:
  std::string ShortDateFormat() const override { return "M/d/yy"; }
  std::string ShortTimeFormat() const override { return "h:mm AP"; }
  char DecimalSeparator() const override { return '.'; }
  int CompareStrings(std::string_view a, std::string_view b, bool) const override {
    return a < b ? -1 : (a == b ? 0 : 1);
  }
};

template <typename Error>
std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

const char* const kFirstRunFile = R"(; Velmora settings

[HKEY_CURRENT_USER\Software]

[HKEY_CURRENT_USER\Software\Velmora]
"ComboBoxPathCountV"="1"
"ComboBoxPath0"="/home/tester/"
"ComboBoxPathText"="/home/tester/"
"MasksComboBoxCountV"="1"
"MasksComboBox0"="*.*"
"MasksComboBoxText"="*.*"
"FindEditComboBoxCountV"="0"
"FindEditComboBoxText"=""
"SearchEditCountV"="0"
"SearchEditText"=""
"Edit2CountV"="0"
"Edit2Text"=""

[HKEY_CURRENT_USER\Software\Velmora\Option]
"IncludeSubdirectoriesCheckBox"="1"
"CreateBackupCheckBox"="1"
"PhraseXPCheckBox"="0"
"TrimLeftCheckBox"="1"
"TrimRightCheckBox"="1"
"ExpPointCheckBox"="0"
"ExpSpaceCheckBox"="0"
"ModifyXPCheckBox"="0"
"RegExprXPCheckBox"="0"
"Date"="0"
"BetweenRadioButton"="1"
"Days"="0"
"MaxDateTimePicker"="2026-12-06"
"MinDateTimePicker"="2026-12-06"
"DaysAgoSpinEdit"="1"
"Size"="0"
"SizeSpinEdit"="1"
"MaximumRadioButton"="0"
"MinimumRadioButton"="1"
"KBComboBox"="0"
"FindSearchType"="0"
"SearchSearchType"="0"
"SearchModType"="0"
"IgnoreFileXPCh"="0"
"IgnorePathXPCh"="0"
"IgnoreSubFoldXPCh"="0"
"SensitiveCheckBox"="0"
"WholeWordsCheckBox"="0"
"Editor"="/usr/bin/gedit"

[HKEY_CURRENT_USER\Software\Velmora\BackUp]
"FileBackUpCountV"="0"

[HKEY_CURRENT_USER\Software\Velmora\Ignore]
"PathFileCountV"="0"
"MaskFileCountV"="0"
)";

class RegistryFileTest : public ::testing::Test {
 protected:
  std::string FileName() const { return folder_ / "config/Velmora/registry.reg"; }
  testing::TempFolder folder_;
  FixedLocale locale_;
};

TEST_F(RegistryFileTest, FirstRunWritesTheWholeLayout) {
  {
    FileKeyStore store(FileName());
    TMy_Registry registry(store, locale_, FakeEnvironment());
  }
  EXPECT_EQ(testing::ReadWholeFile(FileName()), kFirstRunFile);

  // What the main window shows after the first run.
  FileKeyStore store(FileName());
  TMy_Registry registry(store, locale_, FakeEnvironment());
  Strings list;
  EXPECT_EQ(registry.ReadMru("ComboBoxPath", list), "/home/tester/");
  EXPECT_EQ(list, Strings{"/home/tester/"});
  EXPECT_EQ(registry.ReadMru("MasksComboBox", list), "*.*");
  EXPECT_EQ(list, Strings{"*.*"});
  EXPECT_EQ(registry.ReadMru("Edit2", list), "");
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(registry.ReadDate("MaxDateTimePicker"), EncodeDate(2026, 12, 6));
  EXPECT_EQ(registry.PurgeBackups(), 0);
}

TEST_F(RegistryFileTest, AnExistingStoreIsNeitherCompletedNorRepaired) {
  {
    FileKeyStore store(FileName());
    TMy_Registry registry(store, locale_, FakeEnvironment());
    store.OpenKey("Software\\Velmora\\Option", false);
    store.DeleteValue("SearchModType");
    store.Flush();
  }
  const std::string before = testing::ReadWholeFile(FileName());
  FileKeyStore store(FileName());
  TMy_Registry registry(store, locale_, FakeEnvironment());
  EXPECT_EQ(testing::ReadWholeFile(FileName()), before);
  EXPECT_EQ(ErrorText<EConvertError>([&] { registry.ReadInt("SearchModType"); }),
            "'' is not a valid integer value");
  registry.WriteInt("SearchModType", 2);
  EXPECT_EQ(registry.ReadInt("SearchModType"), 2);
}

TEST_F(RegistryFileTest, EveryWriteIsOnDiskWhenTheCallReturns) {
  FileKeyStore store(FileName());
  TMy_Registry registry(store, locale_, FakeEnvironment());
  registry.WriteStr("Editor", "/usr/bin/vi \"quoted\" \\ path");
  registry.WriteMru("SearchEdit", {"one", "two"}, "two");
  registry.AddBackups({"/data/a.txt.bak"});
  // A second store on the same file, as a second running copy would have.
  FileKeyStore other(FileName());
  TMy_Registry peer(other, locale_, FakeEnvironment());
  EXPECT_EQ(peer.ReadStr("Editor"), "/usr/bin/vi \"quoted\" \\ path");
  Strings list;
  EXPECT_EQ(peer.ReadMru("SearchEdit", list), "two");
  EXPECT_EQ(list, (Strings{"one", "two"}));
  peer.ReadBackups(list);
  EXPECT_EQ(list, Strings{"/data/a.txt.bak"});
  // And the first copy sees what the second one wrote later, other values kept.
  peer.WriteBool("Size", true);
  EXPECT_TRUE(registry.ReadBool("Size"));
  registry.WriteInt("KBComboBox", 1);
  FileKeyStore third(FileName());
  TMy_Registry last(third, locale_, FakeEnvironment());
  EXPECT_TRUE(last.ReadBool("Size"));
  EXPECT_EQ(last.ReadInt("KBComboBox"), 1);
}

TEST_F(RegistryFileTest, CorruptFileIsKeptAsideAndDefaultsAreWritten) {
  std::filesystem::create_directories(folder_.Path() / "config/Velmora");
  testing::WriteWholeFile(FileName(), "[HKEY_CURRENT_USER\\Software\\Velmora]\ngarbage\n");
  FileKeyStore store(FileName());
  ASSERT_FALSE(store.CorruptCopy().empty());
  EXPECT_EQ(testing::ReadWholeFile(store.CorruptCopy()),
            "[HKEY_CURRENT_USER\\Software\\Velmora]\ngarbage\n");
  TMy_Registry registry(store, locale_, FakeEnvironment());
  EXPECT_EQ(testing::ReadWholeFile(FileName()), kFirstRunFile);
}

class RegistryTest : public ::testing::Test {
 protected:
  MemoryKeyStore store_;
  FixedLocale locale_;
  TMy_Registry registry_{store_, locale_, FakeEnvironment()};

  void Put(std::string_view key, std::string_view name, std::string_view value) {
    ASSERT_TRUE(store_.OpenKey(key, true));
    store_.WriteString(name, value);
  }
  void Remove(std::string_view key, std::string_view name) {
    ASSERT_TRUE(store_.OpenKey(key, true));
    store_.DeleteValue(name);
  }
  bool Has(std::string_view key, std::string_view name) {
    return store_.OpenKey(key, false) && store_.GetValueKind(name) != ValueKind::kMissing;
  }
};

TEST_F(RegistryTest, FirstRunEditorIsTheFirstEditorFoundOnPath) {
  struct Case {
    std::map<std::string, std::string> programs;
    std::string editor;
  };
  const Case cases[] = {
      {{{"featherpad", "/b/featherpad"}, {"mousepad", "/a/mousepad"}}, "/a/mousepad"},
      {{{"pluma", "/b/pluma"}, {"gnome-text-editor", "/a/gte"}}, "/a/gte"},
      {{{"xdg-open", "/usr/bin/xdg-open"}}, "/usr/bin/xdg-open"},
      {{}, "xdg-open"},
  };
  for (const auto& c : cases) {
    MemoryKeyStore store;
    TMy_Registry registry(store, locale_, FakeEnvironment(c.programs));
    EXPECT_EQ(registry.ReadStr("Editor"), c.editor);
  }
}

TEST_F(RegistryTest, FirstRunFolderEndsWithOneDelimiter) {
  for (const std::string home : {"/home/x", "/home/x/", ""}) {
    MemoryKeyStore store;
    auto environment = FakeEnvironment();
    environment.home_folder = home;
    TMy_Registry registry(store, locale_, environment);
    Strings list;
    const std::string expected = home.empty() ? "/" : "/home/x/";
    EXPECT_EQ(registry.ReadMru("ComboBoxPath", list), expected);
    EXPECT_EQ(list, Strings{expected});
  }
}

TEST_F(RegistryTest, BooleansAreTrueOnlyForOne) {
  const std::pair<const char*, bool> cases[] = {{"1", true},   {"0", false}, {"true", false},
                                                {"01", false}, {"", false},  {" 1", false}};
  for (const auto& [text, expected] : cases) {
    Put("Software\\Velmora\\Option", "Date", text);
    EXPECT_EQ(registry_.ReadBool("Date"), expected) << '"' << text << '"';
  }
  Remove("Software\\Velmora\\Option", "Date");
  EXPECT_FALSE(registry_.ReadBool("Date"));
  registry_.WriteBool("Date", true);
  store_.OpenKey("Software\\Velmora\\Option", false);
  EXPECT_EQ(store_.ReadString("Date"), "1");
  registry_.WriteBool("Date", false);
  store_.OpenKey("Software\\Velmora\\Option", false);
  EXPECT_EQ(store_.ReadString("Date"), "0");
}

TEST_F(RegistryTest, IntegersConvertOrFailWithTheConversionError) {
  for (const int value : {0, 7, -12, 2147483647, -2147483647 - 1}) {
    registry_.WriteInt("SizeSpinEdit", value);
    EXPECT_EQ(registry_.ReadInt("SizeSpinEdit"), value);
  }
  registry_.WriteInt("SizeSpinEdit", -12);
  store_.OpenKey("Software\\Velmora\\Option", false);
  EXPECT_EQ(store_.ReadString("SizeSpinEdit"), "-12");
  for (const char* text : {"", "abc", "12x", "1.5", "2147483648", " 3"}) {
    Put("Software\\Velmora\\Option", "SizeSpinEdit", text);
    EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.ReadInt("SizeSpinEdit"); }),
              "'" + std::string(text) + "' is not a valid integer value");
  }
}

TEST_F(RegistryTest, ValueOfAnotherKindFailsTheRead) {
  ASSERT_TRUE(store_.OpenKey("Software\\Velmora\\Option", false));
  store_.WriteOther("KBComboBox", "dword:00000001");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { registry_.ReadInt("KBComboBox"); }),
            "Invalid data type for 'KBComboBox'");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { registry_.ReadStr("KBComboBox"); }),
            "Invalid data type for 'KBComboBox'");
}

TEST_F(RegistryTest, DatesKeepOnlyTheirDay) {
  registry_.WriteDate("MinDateTimePicker", EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59));
  store_.OpenKey("Software\\Velmora\\Option", false);
  EXPECT_EQ(store_.ReadString("MinDateTimePicker"), "2024-02-29");
  EXPECT_EQ(registry_.ReadDate("MinDateTimePicker"), EncodeDate(2024, 2, 29));
  for (const char* text : {"", "2024-02-30", "29.02.2024", "yesterday"}) {
    Put("Software\\Velmora\\Option", "MinDateTimePicker", text);
    EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.ReadDate("MinDateTimePicker"); }),
              "'" + std::string(text) + "' is not a valid date");
  }
}

TEST_F(RegistryTest, DatesFollowTheLocaleAndStillReadThePlainFormat) {
  MemoryKeyStore store;
  UsLocale locale;
  TMy_Registry registry(store, locale, FakeEnvironment());
  store.OpenKey("Software\\Velmora\\Option", false);
  EXPECT_EQ(store.ReadString("MaxDateTimePicker"), "12/6/26");
  const std::pair<TDateTime, const char*> cases[] = {
      {EncodeDate(1980, 1, 31), "1/31/80"},
      {EncodeDate(2070, 7, 4), "7/4/70"},
      {EncodeDate(2026, 12, 6), "12/6/26"},
  };
  for (const auto& [date, text] : cases) {
    registry.WriteDate("MaxDateTimePicker", date);
    store.OpenKey("Software\\Velmora\\Option", false);
    EXPECT_EQ(store.ReadString("MaxDateTimePicker"), text);
    EXPECT_EQ(registry.ReadDate("MaxDateTimePicker"), date) << text;
  }
  // Written by a front end with the plain format.
  store.WriteString("MaxDateTimePicker", "1925-03-01");
  EXPECT_EQ(registry.ReadDate("MaxDateTimePicker"), EncodeDate(1925, 3, 1));
}

TEST_F(RegistryTest, MruListsRoundTripAndShrink) {
  const Strings five = {"/a/", "/b/", "/c/", "/d/", "/e/"};
  registry_.WriteMru("ComboBoxPath", five, "/e/");
  Strings list;
  EXPECT_EQ(registry_.ReadMru("ComboBoxPath", list), "/e/");
  EXPECT_EQ(list, five);

  registry_.WriteMru("ComboBoxPath", {"/x/", ""}, "typed");
  EXPECT_EQ(registry_.ReadMru("ComboBoxPath", list), "typed");
  EXPECT_EQ(list, (Strings{"/x/", ""}));
  for (int i = 2; i < 5; ++i) {
    EXPECT_FALSE(Has("Software\\Velmora", "ComboBoxPath" + std::to_string(i))) << i;
  }
  store_.OpenKey("Software\\Velmora", false);
  EXPECT_EQ(store_.ReadString("ComboBoxPathCountV"), "2");
  // The other lists are untouched.
  EXPECT_EQ(registry_.ReadMru("MasksComboBox", list), "*.*");
  EXPECT_EQ(list, Strings{"*.*"});
}

TEST_F(RegistryTest, MruListWithAMissingEntryReadsItEmpty) {
  registry_.WriteMru("FindEditComboBox", {"alpha", "beta", "gamma"}, "");
  Remove("Software\\Velmora", "FindEditComboBox1");
  Put("Software\\Velmora", "FindEditComboBox3", "beyond the count");
  Strings list;
  registry_.ReadMru("FindEditComboBox", list);
  EXPECT_EQ(list, (Strings{"alpha", "", "gamma"}));
}

TEST_F(RegistryTest, MruWithABrokenCountFailsBeforeWriting) {
  Put("Software\\Velmora", "Edit2CountV", "two");
  Strings list{"kept"};
  EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.ReadMru("Edit2", list); }),
            "'two' is not a valid integer value");
  EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.WriteMru("Edit2", {"new"}, "new"); }),
            "'two' is not a valid integer value");
  EXPECT_FALSE(Has("Software\\Velmora", "Edit20"));
}

TEST_F(RegistryTest, IgnoreListsRoundTrip) {
  registry_.WriteIgnoreList("Path", {"/1", "/2", "/3", "/4", "/5"});
  registry_.WriteIgnoreList("Mask", {"*.o"});
  registry_.WriteIgnoreList("Path", {"/home/u/.git", "/tmp"});
  Strings list{"stale"};
  registry_.ReadIgnoreList("Path", list);
  EXPECT_EQ(list, (Strings{"/home/u/.git", "/tmp"}));
  registry_.ReadIgnoreList("Mask", list);
  EXPECT_EQ(list, Strings{"*.o"});
  registry_.WriteIgnoreList("Mask", {});
  registry_.ReadIgnoreList("Mask", list);
  EXPECT_TRUE(list.empty());
}

class BackupListTest : public RegistryTest {
 protected:
  std::string Make(const std::string& name) {
    const auto full = folder_ / name;
    testing::WriteWholeFile(full, "x");
    return full;
  }
  Strings Recorded() {
    Strings list{"stale"};
    registry_.ReadBackups(list);
    return list;
  }
  testing::TempFolder folder_;
};

TEST_F(BackupListTest, AddBackupsRecordsEachNameOnce) {
  registry_.AddBackups({"/d/a.bak", "/d/b.bak"});
  const Strings caller = {"/d/b.bak", "/d/c.bak", "/d/c.bak", "/d/A.bak"};
  registry_.AddBackups(caller);
  EXPECT_EQ(Recorded(), (Strings{"/d/a.bak", "/d/b.bak", "/d/c.bak", "/d/A.bak"}))
      << "file names differ by case on this system";
  EXPECT_EQ(caller.size(), 4u);

  const auto count_before = Recorded().size();
  registry_.AddBackups({});
  EXPECT_EQ(Recorded().size(), count_before);
  store_.OpenKey("Software\\Velmora\\Backup", false);
  EXPECT_EQ(store_.ReadString("FileBackUpCountV"), "4");
}

TEST_F(BackupListTest, AddBackupsCanCompareWithoutCase) {
  MemoryKeyStore store;
  auto environment = FakeEnvironment();
  environment.file_names_ignore_case = true;
  TMy_Registry registry(store, locale_, environment);
  registry.AddBackups({"C:\\Data\\a.txt.bak"});
  registry.AddBackups({"c:\\data\\A.TXT.BAK", "C:\\Data\\b.txt.bak", "c:\\DATA\\B.txt.bak"});
  Strings list;
  registry.ReadBackups(list);
  EXPECT_EQ(list, (Strings{"C:\\Data\\a.txt.bak", "C:\\Data\\b.txt.bak"}));
}

TEST_F(BackupListTest, PurgeKeepsExistingFilesInOrder) {
  const auto first = Make("one.txt.bak");
  const auto second = Make("two.txt.bak");
  const auto third = Make("three.txt.bak");
  std::filesystem::create_directory(folder_ / "folder.bak");
  registry_.AddBackups({first, second, third, folder_ / "folder.bak"});
  std::filesystem::remove(second);
  EXPECT_EQ(registry_.PurgeBackups(), 2);
  EXPECT_EQ(Recorded(), (Strings{first, third}));
  EXPECT_FALSE(Has("Software\\Velmora\\Backup", "FileBackUp2"));
  EXPECT_FALSE(Has("Software\\Velmora\\Backup", "FileBackUp3"));

  std::filesystem::remove(first);
  std::filesystem::remove(third);
  EXPECT_EQ(registry_.PurgeBackups(), 0);
  EXPECT_TRUE(Recorded().empty());
  const auto changes = store_.ChangeCount();
  EXPECT_EQ(registry_.PurgeBackups(), 0);
  EXPECT_EQ(store_.ChangeCount(), changes) << "an empty list is left alone";
}

TEST_F(BackupListTest, PurgeWithAnUnreadableRecordLosesNothing) {
  const auto first = Make("one.bak");
  registry_.AddBackups({first, "/gone.bak", "/also-gone.bak"});
  ASSERT_TRUE(store_.OpenKey("Software\\Velmora\\Backup", false));
  store_.WriteOther("FileBackUp1", "hex:00");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { registry_.PurgeBackups(); }),
            "Invalid data type for 'FileBackUp1'");
  store_.OpenKey("Software\\Velmora\\Backup", false);
  EXPECT_EQ(store_.ReadString("FileBackUp0"), first);
  EXPECT_EQ(store_.ReadString("FileBackUp2"), "/also-gone.bak");
  EXPECT_EQ(store_.ReadString("FileBackUpCountV"), "3");
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SystemRegistryEnvironmentTest, FindsExecutableProgramsOnPathOnly) {
  testing::TempFolder bin;
  testing::TempFolder cwd;
  const auto make = [](const std::string& name, std::filesystem::perms perms) {
    testing::WriteWholeFile(name, "#!/bin/sh\n");
    std::filesystem::permissions(name, perms);
  };
  make(bin / "gedit", std::filesystem::perms::owner_all);
  make(bin / "kate", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_directory(bin / "xed");
  make(cwd / "mousepad", std::filesystem::perms::owner_all);

  const ScopedEnv path("PATH", "/nonexistent::" + bin.Path().string() + "/");
  const ScopedEnv home("HOME", "/home/someone");
  const auto old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(cwd.Path());
  const RegistryEnvironment environment = SystemRegistryEnvironment();
  EXPECT_EQ(environment.home_folder, "/home/someone");
  EXPECT_EQ(environment.find_program("gedit"), bin / "gedit");
  EXPECT_EQ(environment.find_program("kate"), "") << "not executable";
  EXPECT_EQ(environment.find_program("xed"), "") << "a folder";
  EXPECT_EQ(environment.find_program("mousepad"), "") << "the current folder is not searched";
  EXPECT_FALSE(environment.file_names_ignore_case);
  std::filesystem::current_path(old_cwd);
}

}  // namespace
}  // namespace velmora
