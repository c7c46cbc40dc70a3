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

TYPED_TEST(KeyStoreTest, KeysAndValuesAreFoundIgnoringCaseAndOnlyInAnOpenKey) {
  KeyStore& store = *this->store_;
  EXPECT_FALSE(store.OpenKey("Software\\Velmora", false));
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\BackUp", true));
  store.WriteString("FileBackUpCountV", "3");
  store.WriteString("Empty", "");
  EXPECT_TRUE(store.OpenKey("\\Software\\Velmora\\", false)) << "empty path parts are ignored";
  EXPECT_FALSE(store.OpenKey("Software\\Velmora\\Ignore", false));
  ASSERT_TRUE(store.OpenKey("Software", false));
  EXPECT_TRUE(store.HasSubKey("velmora\\BACKUP"));
  EXPECT_FALSE(store.HasSubKey("Ignore"));
  ASSERT_TRUE(store.OpenKey("SOFTWARE\\velmora\\Backup", false));
  EXPECT_EQ(store.ReadString("filebackupcountv"), "3");
  store.WriteString("FILEBACKUPCOUNTV", "4");
  EXPECT_EQ(store.ReadString("FileBackUpCountV"), "4") << "one value, not two";
  EXPECT_TRUE(store.DeleteValue("FileBackupCountV"));
  EXPECT_EQ(store.GetValueKind("FileBackUpCountV"), ValueKind::kMissing);
  EXPECT_FALSE(store.DeleteValue("FileBackupCountV"));
  EXPECT_EQ(store.GetValueKind("Empty"), ValueKind::kText);
  store.CloseKey();
  EXPECT_FALSE(store.DeleteValue("Empty"));
  EXPECT_EQ(testing::ErrorText<ERegistryException>([&] { store.WriteString("Orphan", "x"); }),
            "Failed to set data for 'Orphan'");
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Backup", false));
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
  ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option\\Deeper", true));
  EXPECT_EQ(store.ReadString("Which"), "");
  ASSERT_TRUE(store.OpenKey(paths[0], false));
  EXPECT_TRUE(store.HasSubKey("deeper"));
}

}  // namespace
}  // namespace velmora
