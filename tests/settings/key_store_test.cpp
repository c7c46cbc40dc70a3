// Behaviour both key stores share: the in-memory one and the file-backed one.

#include <gtest/gtest.h>

#include <memory>

#include "settings/FileKeyStore.h"
#include "settings/MemoryKeyStore.h"
#include "settings/SettingsTestSupport.h"

namespace velmora {
namespace {

struct MemoryStoreMaker {
  std::unique_ptr<KeyStore> Make() { return std::make_unique<MemoryKeyStore>(); }
};

struct FileStoreMaker {
  testing::TempFolder folder;
  std::unique_ptr<KeyStore> Make() {
    return std::make_unique<FileKeyStore>(folder / "Velmora/registry.reg");
  }
};

template <typename Maker>
class KeyStoreTest : public ::testing::Test {
 protected:
  Maker maker_;
  std::unique_ptr<KeyStore> store_ = maker_.Make();
};

using StoreMakers = ::testing::Types<MemoryStoreMaker, FileStoreMaker>;
TYPED_TEST_SUITE(KeyStoreTest, StoreMakers);

TYPED_TEST(KeyStoreTest, OpenWithoutCreateFindsOnlyExistingKeys) {
  KeyStore& store = *this->store_;
  EXPECT_FALSE(store.OpenKey("Software\\Velmora", false));
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option", true));
  EXPECT_TRUE(store.OpenKey("Software\\Velmora", false));
  EXPECT_TRUE(store.OpenKey("\\Software\\Velmora\\", false)) << "empty path parts are ignored";
  EXPECT_FALSE(store.OpenKey("Software\\Velmora\\Ignore", false));
  ASSERT_TRUE(store.OpenKey("Software", false));
  EXPECT_TRUE(store.HasSubKey("Velmora"));
  EXPECT_TRUE(store.HasSubKey("velmora\\OPTION"));
  EXPECT_FALSE(store.HasSubKey("Ignore"));
}

TYPED_TEST(KeyStoreTest, KeyAndValueNamesIgnoreCase) {
  KeyStore& store = *this->store_;
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\BackUp", true));
  store.WriteString("FileBackUpCountV", "3");
  ASSERT_TRUE(store.OpenKey("SOFTWARE\\velmora\\Backup", false));
  EXPECT_EQ(store.ReadString("filebackupcountv"), "3");
  store.WriteString("FILEBACKUPCOUNTV", "4");
  EXPECT_EQ(store.ReadString("FileBackUpCountV"), "4") << "one value, not two";
  EXPECT_TRUE(store.DeleteValue("FileBackupCountV"));
  EXPECT_EQ(store.GetValueKind("FileBackUpCountV"), ValueKind::kMissing);
}

TYPED_TEST(KeyStoreTest, MissingValuesAndClosedKeys) {
  KeyStore& store = *this->store_;
  ASSERT_TRUE(store.OpenKey("Software\\Velmora", true));
  EXPECT_EQ(store.ReadString("Nothing"), "");
  EXPECT_FALSE(store.DeleteValue("Nothing"));
  store.WriteString("Empty", "");
  EXPECT_EQ(store.GetValueKind("Empty"), ValueKind::kText);
  store.CloseKey();
  EXPECT_EQ(store.ReadString("Empty"), "");
  EXPECT_FALSE(store.DeleteValue("Empty"));
  try {
    store.WriteString("Orphan", "x");
    FAIL() << "a write with no open key must fail";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'Orphan'");
  }
  ASSERT_TRUE(store.OpenKey("Software\\Velmora", false));
  EXPECT_EQ(store.GetValueKind("Empty"), ValueKind::kText) << "closing lost a value";
  EXPECT_EQ(store.GetValueKind("Orphan"), ValueKind::kMissing);
}

// Options are read by opening the same few keys over and over, in any order and spelling,
// with failed opens in between: each open must make exactly that key current.
TYPED_TEST(KeyStoreTest, ReopenedKeysAreTheKeysNamed) {
  KeyStore& store = *this->store_;
  const char* const paths[] = {"Software\\Velmora\\Option", "Software\\Velmora\\Ignore",
                               "Software\\Velmora"};
  for (const char* path : paths) {
    ASSERT_TRUE(store.OpenKey(path, true));
    store.WriteString("Which", path);
  }
  for (int round = 0; round < 3; ++round) {
    for (const char* path : {paths[0], paths[0], paths[1], paths[0], paths[2], paths[2]}) {
      ASSERT_TRUE(store.OpenKey(path, false));
      EXPECT_EQ(store.ReadString("Which"), path);
      EXPECT_FALSE(store.OpenKey("Software\\Velmora\\Missing", false));
      EXPECT_EQ(store.ReadString("Which"), "") << "a failed open leaves no key current";
    }
  }
  ASSERT_TRUE(store.OpenKey("software\\VELMORA\\option", false));
  EXPECT_EQ(store.ReadString("Which"), paths[0]);
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option\\", false));
  EXPECT_EQ(store.ReadString("Which"), paths[0]);
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option\\Deeper", true));
  EXPECT_EQ(store.ReadString("Which"), "");
  ASSERT_TRUE(store.OpenKey(paths[0], false));
  EXPECT_TRUE(store.HasSubKey("deeper"));
}

TEST(MemoryKeyStoreTest, ValueOfAnotherKindFailsToReadAsText) {
  MemoryKeyStore store;
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option", true));
  store.WriteOther("SearchModType", "dword:00000002");
  EXPECT_EQ(store.GetValueKind("SearchModType"), ValueKind::kOther);
  try {
    (void)store.ReadString("SearchModType");
    FAIL() << "expected a data type error";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'SearchModType'");
  }
  store.WriteString("SearchModType", "2");
  EXPECT_EQ(store.ReadString("SearchModType"), "2");
}

TEST(MemoryKeyStoreTest, ChangeCountMovesOnlyWithChanges) {
  MemoryKeyStore store;
  const auto start = store.ChangeCount();
  ASSERT_TRUE(store.OpenKey("A\\B", true));
  const auto created = store.ChangeCount();
  EXPECT_GT(created, start);
  ASSERT_TRUE(store.OpenKey("a\\b", true));
  (void)store.ReadString("x");
  (void)store.DeleteValue("x");
  EXPECT_EQ(store.ChangeCount(), created) << "opening or reading is not a change";
  store.WriteString("x", "1");
  EXPECT_GT(store.ChangeCount(), created);
}

}  // namespace
}  // namespace velmora
