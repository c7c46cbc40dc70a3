// The Settings dialog and the two ignore-list dialogs through their handlers: the list buttons,
// reload on show, "Ok" and "Cancel" between the three, browsing and the mask input, deleting rows.

#include <gmock/gmock.h>

#include "settings/DialogTestSupport.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;

class SettingsDialogsTest : public DialogTest {
 protected:
  std::vector<std::string> StoredList(const char* which) {
    std::vector<std::string> list;
    registry.ReadIgnoreList(which, list);
    return list;
  }
  static void Select(TListView& list, std::initializer_list<int> rows) {
    for (int row : rows) list.Items[static_cast<std::size_t>(row)].Selected = true;
  }

  Tfrm_settings settings{registry, dialogs, forms, folders};
  Tfrm_ignorepath paths{registry, dialogs, folders};
  TFrm_file_ignor masks{registry, dialogs};
};

// Each "Edit List" opens its list only while its switch is on.
TEST_F(SettingsDialogsTest, EditListButtonsOpenTheirListsOnlyWhileSwitchedOn) {
  settings.FormShow();
  settings.btn_edt_lstClick();
  settings.btn_edit_list_1Click();
  settings.is_ignore_files.Checked = true;
  settings.is_ignore_filesClick();
  settings.btn_edt_lstClick();
  settings.btn_edit_list_1Click();
  EXPECT_THAT(forms.shown, ElementsAre("File Ignore List"));
}

TEST_F(SettingsDialogsTest, OkAndCancelOfTheListDialogsAreIndependentOfTheSettingsDialog) {
  for (const bool listOk : {true, false}) {
    for (const bool settingsOk : {false, true}) {
      registry.WriteIgnoreList("Path", {"/old/"});
      registry.WriteStr("Editor", "/usr/bin/old");
      registry.WriteBool("IgnorePathXPCh", false);
      settings.FormShow();
      settings.is_ignoredir.Checked = true;
      settings.is_ignoredirClick();
      settings.edt_editor.Text = "/usr/bin/new";
      forms.answer = [&](TForm& form) {
        auto& list = dynamic_cast<Tfrm_ignorepath&>(form);
        dialogs.folders = {"/new"};
        list.btn_browseClick();
        listOk ? list.btn_okClick() : list.btn_cancelClick();
      };
      settings.btn_edt_lstClick();
      settingsOk ? settings.btn_okClick() : settings.btn_cancelClick();
      const std::string label = std::to_string(listOk) + std::to_string(settingsOk);
      const std::vector<std::string> kept = {"/old/"}, added = {"/old/", "/new/"};
      EXPECT_EQ(StoredList("Path"), listOk ? added : kept) << label;
      EXPECT_TRUE(HasOptions(settingsOk ? "Editor=/usr/bin/new IgnorePathXPCh=1"
                                        : "Editor=/usr/bin/old IgnorePathXPCh=0"))
          << label;
      EXPECT_EQ(settings.ModalAnswer, settingsOk ? ModalResult::Ok : ModalResult::Cancel);
    }
  }
}

TEST_F(SettingsDialogsTest, EveryShowReloadsFromTheStore) {
  registry.WriteIgnoreList("Mask", {"*.o", "*.a"});
  masks.FormShow();
  dialogs.inputs = {"*.tmp"};
  masks.btn_maskClick();
  masks.btn_cancelClick();
  masks.FormShow();
  EXPECT_THAT(masks.Entries(), ElementsAre("*.o", "*.a"));

  registry.WriteBool("IgnoreSubFoldXPCh", true);
  paths.FormShow();
  paths.CheckBox1.Checked = false;
  paths.btn_cancelClick();
  paths.FormShow();
  EXPECT_TRUE(paths.CheckBox1.Checked);
}

TEST_F(SettingsDialogsTest, BrowseForTheEditorFillsTheFieldUnlessCancelled) {
  settings.FormShow();
  dialogs.files = {"/usr/bin/gedit"};
  settings.btn_browseClick();
  settings.btn_browseClick();  // cancelled: the field keeps the name
  EXPECT_EQ(settings.edt_editor.Text, "/usr/bin/gedit");
  EXPECT_THAT(dialogs.programInitials, ElementsAre("/usr/bin/", "/usr/bin/"));
}

// Folders get one trailing slash and repeats are kept; the mask input adds any text but the
// preset, an empty one too.
TEST_F(SettingsDialogsTest, BrowsedFoldersAndTypedMasksAreStoredAsAdded) {
  paths.FormShow();
  dialogs.folders = {"/", "/tmp/a", "/tmp/a", "/tmp/b/"};
  for (int i = 0; i < 5; ++i) paths.btn_browseClick();  // the last one is cancelled
  EXPECT_EQ(folders.current, "/tmp/b/");
  paths.CheckBox1.Checked = true;
  paths.btn_okClick();
  EXPECT_THAT(StoredList("Path"), ElementsAre("/", "/tmp/a/", "/tmp/a/", "/tmp/b/"));
  EXPECT_TRUE(HasOptions("IgnoreSubFoldXPCh=1"));

  masks.FormShow();
  dialogs.inputs = {"*.*", "*.bak", "", "*.*"};
  for (int i = 0; i < 5; ++i) masks.btn_maskClick();  // the last one is cancelled
  masks.btn_okClick();
  EXPECT_THAT(StoredList("Mask"), ElementsAre("*.bak", ""));
}

TEST_F(SettingsDialogsTest, DeleteRemovesTheSelectedRowsAndOtherKeysNothing) {
  registry.WriteIgnoreList("Mask", {"a", "b", "c", "d"});
  masks.FormShow();
  Select(masks.ListView1, {0, 2});
  masks.ListView1KeyDown(VK_DELETE + 1);
  EXPECT_EQ(masks.ListView1.Items.size(), 4u);
  masks.ListView1KeyDown(VK_DELETE);
  masks.btn_okClick();
  EXPECT_THAT(StoredList("Mask"), ElementsAre("b", "d"));

  registry.WriteIgnoreList("Path", {"/x/", "/y/"});
  paths.FormShow();
  Select(paths.ListView1, {1});
  paths.ListView1KeyDown(VK_DELETE);
  paths.btn_okClick();
  EXPECT_THAT(StoredList("Path"), ElementsAre("/x/"));
}

}  // namespace
}  // namespace velmora::testing
