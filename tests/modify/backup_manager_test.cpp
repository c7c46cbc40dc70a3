// The backup manager over real files: restoring in place, restoring into another folder,
// deleting, the purge after each action and the button states.

#include "modify/ModifyFixture.h"
#include "modify/Un_BackUp_Manager.h"
#include "settings/SettingsTestSupport.h"

namespace velmora::testing {
namespace {

using Names = std::vector<std::string>;

class BackupManagerTest : public ModifyTest {
 protected:
  // Three modified files, each with a backup holding its old text, all recorded; shown.
  void ShowBackups() {
    for (const char* name : {"a.txt", "sub/b.txt", "c"}) {
      Write(name, std::string("new ") + name);
      Write(std::string(name) + ".bak", std::string("old ") + name);
    }
    registry.AddBackups({Path("a.txt.bak"), Path("sub/b.txt.bak"), Path("c.bak")});
    manager.FormShow();
  }
  void Tick(const std::string& caption) {
    for (auto& row : manager.ListView1.Items)
      if (row.Caption == caption) row.Checked = true;
  }
  Names Captions() const {
    Names captions;
    for (const auto& row : manager.ListView1.Items) captions.push_back(row.Caption);
    return captions;
  }
  bool RowButtonsEnabled() const {
    EXPECT_EQ(manager.btn_select.Enabled, manager.btn_restore.Enabled);
    EXPECT_EQ(manager.btn_select.Enabled, manager.btn_restore_to.Enabled);
    return manager.btn_restore.Enabled;
  }

  TFrm_BackUp_Manager manager{{registry, shell, dialogs, folders}};
};

TEST_F(BackupManagerTest, RestorePutsTickedBackupsInPlace) {
  ShowBackups();
  ASSERT_EQ(Captions(), (Names{"a.txt.bak", "b.txt.bak", "c.bak"}));
  EXPECT_EQ(manager.ListView1.Items[1].SubItems, (Names{Path("sub/"), ""}));
  std::filesystem::remove(Path("c"));  // a deleted file gets its backup back all the same
  Tick("b.txt.bak");
  Tick("c.bak");
  manager.btn_restoreClick();
  EXPECT_EQ(Read(Path("sub/b.txt")), "old sub/b.txt");
  EXPECT_EQ(Read(Path("c")), "old c");
  EXPECT_FALSE(Exists(Path("sub/b.txt.bak")));
  EXPECT_EQ(Read(Path("a.txt")), "new a.txt");
  EXPECT_EQ(Captions(), (Names{"a.txt.bak"}));
  EXPECT_EQ(Recorded(), (Names{Path("a.txt.bak")}));
  EXPECT_TRUE(RowButtonsEnabled());

  manager.btn_selectClick();
  manager.btn_restoreClick();
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(RowButtonsEnabled());
  EXPECT_TRUE(manager.btn_delete.Enabled);
}

TEST_F(BackupManagerTest, FailedRestoreKeepsFileBackupAndRecord) {
  Write("x.bak", "old");
  std::filesystem::create_directories(Path("x/inside"));  // a rename cannot replace it
  registry.AddBackups({Path("x.bak")});
  manager.FormShow();
  manager.btn_selectClick();
  manager.btn_restoreClick();
  EXPECT_TRUE(Captions().empty());
  EXPECT_EQ(Read(Path("x.bak")), "old");
  EXPECT_TRUE(std::filesystem::is_directory(Path("x/inside")));
  manager.FormShow();
  EXPECT_EQ(Captions(), (Names{"x.bak"}));
  EXPECT_TRUE(RowButtonsEnabled());
}

TEST_F(BackupManagerTest, RestoreToReplacesTheFileThereAndDropsTheBackup) {
  Write("elsewhere/a.txt", "someone else's a.txt");
  ShowBackups();
  ASSERT_EQ(::chmod(Path("a.txt.bak").c_str(), 0640), 0);
  dialogs.folders.push_back(Path("elsewhere"));
  Tick("a.txt.bak");
  manager.btn_restore_toClick();
  EXPECT_EQ(dialogs.pickInitials, (Names{"/home/user/"}));
  EXPECT_EQ(folders.current, Path("elsewhere"));
  EXPECT_EQ(Read(Path("elsewhere/a.txt")), "old a.txt");
  EXPECT_EQ(TempFolder::Mode(Path("elsewhere/a.txt")), 0640u);
  EXPECT_EQ(Read(Path("a.txt")), "new a.txt");
  EXPECT_FALSE(Exists(Path("a.txt.bak")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("elsewhere")), {}), 1);
  EXPECT_EQ(Captions(), (Names{"b.txt.bak", "c.bak"}));
  EXPECT_EQ(Recorded().size(), 2u);
}

TEST_F(BackupManagerTest, RestoreToThatCannotCopyKeepsBothAndCancelChangesNothing) {
  ShowBackups();
  manager.btn_selectClick();
  manager.btn_restore_toClick();  // cancelled: no folder answered
  EXPECT_EQ(Captions().size(), 3u);
  EXPECT_EQ(folders.current, "/home/user/");

  // No room for the copies, then folders in the files' places: nothing is put in place, and
  // no copy is left behind.
  for (const char* name : {"a.txt", "b.txt", "c"}) dir.Dir(std::string("full/") + name + "/x");
  for (const rlim_t room : {rlim_t{4}, RLIM_INFINITY}) {
    manager.FormShow();
    manager.btn_selectClick();
    dialogs.folders.push_back(Path("full"));
    {
      const ScopedFileSizeLimit limit(room);
      manager.btn_restore_toClick();
    }
    EXPECT_TRUE(Captions().empty());
    EXPECT_EQ(Read(Path("a.txt.bak")), "old a.txt");
    EXPECT_EQ(Recorded().size(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("full")), {}), 3) << room;
  }
}

TEST_F(BackupManagerTest, DeleteRemovesTickedBackupsAndPurgesVanishedRecords) {
  ShowBackups();
  std::filesystem::remove(Path("c.bak"));
  manager.btn_deleteClick();  // nothing ticked: only the purge
  EXPECT_EQ(Captions().size(), 3u);
  EXPECT_EQ(Recorded(), (Names{Path("a.txt.bak"), Path("sub/b.txt.bak")}));

  Tick("a.txt.bak");
  Tick("c.bak");
  manager.btn_deleteClick();
  EXPECT_FALSE(Exists(Path("a.txt.bak")));
  EXPECT_EQ(Read(Path("a.txt")), "new a.txt");
  EXPECT_EQ(Captions(), (Names{"b.txt.bak"}));
  EXPECT_EQ(Recorded(), (Names{Path("sub/b.txt.bak")}));
}

}  // namespace
}  // namespace velmora::testing
