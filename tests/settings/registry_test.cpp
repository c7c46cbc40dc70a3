// TMy_Registry over the file store and the in-memory store: the first-run layout, the
// lists, the option encodings and the documented errors.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "doubles/TestEnvironment.h"
#include "settings/FileKeyStore.h"
#include "settings/MemoryKeyStore.h"
#include "settings/SettingsTestSupport.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {
namespace {

using Strings = std::vector<std::string>;
using testing::ErrorText;
using testing::HasValues;
using testing::kBackupKey;
using testing::kOptionKey;
using testing::TestEnvironment;

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

// Two running copies on one file: each write is on disk when the call returns, and a later
// run neither completes nor repairs the store.
TEST(RegistryFileTest, WritesAreSharedAndALaterRunRepairsNothing) {
  testing::TempFolder folder;
  const std::string file = folder / "config/Velmora/registry.reg";
  const FixedLocale locale;
  FileKeyStore store(file);
  TMy_Registry registry(store, locale, TestEnvironment());
  registry.WriteStr("Editor", "/usr/bin/vi \"quoted\" \\ path");
  registry.AddBackups({"/data/a.txt.bak"});
  store.OpenKey(kOptionKey, false);
  store.DeleteValue("SearchModType");
  store.Flush();
  const std::string before = testing::ReadWholeFile(file);
  FileKeyStore other(file);
  TMy_Registry peer(other, locale, TestEnvironment());
  EXPECT_EQ(testing::ReadWholeFile(file), before);
  EXPECT_EQ(ErrorText<EConvertError>([&] { peer.ReadInt("SearchModType"); }),
            "'' is not a valid integer value");
  EXPECT_EQ(peer.ReadStr("Editor"), "/usr/bin/vi \"quoted\" \\ path");
  Strings list;
  peer.ReadBackups(list);
  EXPECT_EQ(list, Strings{"/data/a.txt.bak"});
  peer.WriteBool("Size", true);
  EXPECT_TRUE(registry.ReadBool("Size"));
}

class RegistryTest : public ::testing::Test {
 protected:
  void Put(std::string_view key, std::string_view name, std::string_view value) {
    ASSERT_TRUE(store_.OpenKey(key, true));
    store_.WriteString(name, value);
  }

  MemoryKeyStore store_;
  FixedLocale locale_;
  TMy_Registry registry_{store_, locale_, TestEnvironment()};
};

TEST_F(RegistryTest, ReadsFailWithTheDocumentedErrors) {
  registry_.WriteInt("SizeSpinEdit", -2147483647 - 1);
  EXPECT_EQ(registry_.ReadInt("SizeSpinEdit"), -2147483647 - 1);
  for (const char* text : {"abc", "1.5", "2147483648"}) {
    Put(kOptionKey, "SizeSpinEdit", text);
    EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.ReadInt("SizeSpinEdit"); }),
              "'" + std::string(text) + "' is not a valid integer value");
  }
  for (const char* text : {"", "2024-02-30", "yesterday"}) {
    Put(kOptionKey, "MinDateTimePicker", text);
    EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.ReadDate("MinDateTimePicker"); }),
              "'" + std::string(text) + "' is not a valid date");
  }
  store_.WriteOther("KBComboBox", "dword:00000001");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { registry_.ReadInt("KBComboBox"); }),
            "Invalid data type for 'KBComboBox'");
}

TEST_F(RegistryTest, DatesKeepTheirDayInTheLocaleFormat) {
  registry_.WriteDate("MinDateTimePicker", EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59));
  EXPECT_TRUE(HasValues(store_, kOptionKey, "MinDateTimePicker=2024-02-29"));
  EXPECT_EQ(registry_.ReadDate("MinDateTimePicker"), EncodeDate(2024, 2, 29));

  MemoryKeyStore store;
  UsLocale locale;
  TMy_Registry registry(store, locale, TestEnvironment());
  for (const TDateTime date : {EncodeDate(1980, 1, 31), EncodeDate(2070, 7, 4)}) {
    registry.WriteDate("MaxDateTimePicker", date);
    EXPECT_EQ(registry.ReadDate("MaxDateTimePicker"), date);
  }
  EXPECT_TRUE(HasValues(store, kOptionKey, "MaxDateTimePicker=7/4/70"));
  store.WriteString("MaxDateTimePicker", "1925-03-01");  // the plain format is still read
  EXPECT_EQ(registry.ReadDate("MaxDateTimePicker"), EncodeDate(1925, 3, 1));
}

TEST_F(RegistryTest, MruListsRoundTripAndShrink) {
  const Strings five = {"/a/", "/b/", "/c/", "/d/", "/e/"};
  registry_.WriteMru("ComboBoxPath", five, "/e/");
  Strings list;
  EXPECT_EQ(registry_.ReadMru("ComboBoxPath", list), "/e/");
  EXPECT_EQ(list, five);
  registry_.WriteMru("ComboBoxPath", {"/x/", "", "/z/"}, "typed");
  EXPECT_TRUE(HasValues(store_, "Software\\Velmora", "ComboBoxPath3=- ComboBoxPath4=-"));
  store_.DeleteValue("ComboBoxPath1");
  store_.WriteString("ComboBoxPath3", "beyond the count");
  EXPECT_EQ(registry_.ReadMru("ComboBoxPath", list), "typed");
  EXPECT_EQ(list, (Strings{"/x/", "", "/z/"}));
  EXPECT_EQ(registry_.ReadMru("MasksComboBox", list), "*.*") << "other lists untouched";

  Put("Software\\Velmora", "Edit2CountV", "two");
  EXPECT_EQ(ErrorText<EConvertError>([&] { registry_.WriteMru("Edit2", {"new"}, "new"); }),
            "'two' is not a valid integer value");
  EXPECT_TRUE(HasValues(store_, "Software\\Velmora", "Edit20=-")) << "failed before writing";
}

class BackupListTest : public RegistryTest {
 protected:
  std::string Make(const std::string& name) {
    folder_.File(name);
    return folder_ / name;
  }
  Strings Recorded() {
    Strings list{"stale"};
    registry_.ReadBackups(list);
    return list;
  }
  testing::TempFolder folder_;
};

// Each name is recorded once, compared with or without case as the system's file names are.
TEST_F(BackupListTest, AddBackupsRecordsEachNameOnce) {
  for (const bool ignoreCase : {false, true}) {
    MemoryKeyStore store;
    auto environment = TestEnvironment();
    environment.file_names_ignore_case = ignoreCase;
    TMy_Registry registry(store, locale_, environment);
    registry.AddBackups({"/d/a.bak", "/d/b.bak"});
    registry.AddBackups({"/d/b.bak", "/d/c.bak", "/d/c.bak", "/d/A.bak", "/D/B.BAK"});
    Strings list;
    registry.ReadBackups(list);
    Strings expected = {"/d/a.bak", "/d/b.bak", "/d/c.bak"};
    if (!ignoreCase) expected.insert(expected.end(), {"/d/A.bak", "/D/B.BAK"});
    EXPECT_EQ(list, expected) << ignoreCase;
  }
}

TEST_F(BackupListTest, PurgeKeepsExistingFilesInOrder) {
  const auto first = Make("one.txt.bak");
  const auto second = Make("two.txt.bak");
  const auto third = Make("three.txt.bak");
  folder_.Dir("folder.bak");
  registry_.AddBackups({first, second, third, folder_ / "folder.bak"});
  std::filesystem::remove(second);
  EXPECT_EQ(registry_.PurgeBackups(), 2);
  EXPECT_EQ(Recorded(), (Strings{first, third}));
  EXPECT_TRUE(HasValues(store_, kBackupKey, "FileBackUp2=- FileBackUp3=-"));
  std::filesystem::remove(first);
  std::filesystem::remove(third);
  EXPECT_EQ(registry_.PurgeBackups(), 0);
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(BackupListTest, PurgeWithAnUnreadableRecordLosesNothing) {
  const auto first = Make("one.bak");
  registry_.AddBackups({first, "/gone.bak", "/also-gone.bak"});
  ASSERT_TRUE(store_.OpenKey(kBackupKey, false));
  store_.WriteOther("FileBackUp1", "hex:00");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { registry_.PurgeBackups(); }),
            "Invalid data type for 'FileBackUp1'");
  EXPECT_TRUE(HasValues(store_, kBackupKey,
                        "FileBackUp0=" + first + " FileBackUp2=/also-gone.bak FileBackUpCountV=3"));
}

TEST(SystemRegistryEnvironmentTest, FindsExecutableProgramsOnPathOnly) {
  testing::TempFolder bin;
  testing::TempFolder cwd;
  for (const std::string& program : {bin / "gedit", bin / "kate", cwd / "mousepad"})
    testing::WriteWholeFile(program, "#!/bin/sh\n");
  ::chmod((bin / "gedit").c_str(), 0700);
  ::chmod((cwd / "mousepad").c_str(), 0700);
  bin.Dir("xed");
  const testing::ScopedEnv path("PATH", "/nonexistent::" + bin.Root() + "/");
  const testing::ScopedEnv home("HOME", "/home/someone");
  const auto old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(cwd.Path());
  const RegistryEnvironment environment = SystemRegistryEnvironment();
  EXPECT_EQ(environment.home_folder, "/home/someone");
  EXPECT_EQ(environment.find_program("gedit"), bin / "gedit");
  EXPECT_EQ(environment.find_program("kate"), "") << "not executable";
  EXPECT_EQ(environment.find_program("xed"), "") << "a folder";
  EXPECT_EQ(environment.find_program("mousepad"), "") << "the current folder is not searched";
  std::filesystem::current_path(old_cwd);
}

}  // namespace
}  // namespace velmora
