// The Settings dialog and the two ignore-list dialogs through their handlers: enabling, reload
// on show, "Ok" and "Cancel" between the three, browsing and the mask input, deleting rows.

#include <gmock/gmock.h>

#include "settings/DialogTestSupport.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SettingsDialogsTest : public DialogTest {
 protected:
  std::vector<std::string> StoredList(const char* which) {
    std::vector<std::string> list;
    registry.ReadIgnoreList(which, list);
    return list;
  }
  void Select(TListView& list, std::initializer_list<int> rows) {
    for (int row : rows) list.Items[static_cast<std::size_t>(row)].Selected = true;
  }

  Tfrm_settings settings{registry, dialogs, forms, folders};
  Tfrm_ignorepath paths{registry, dialogs, folders};
  TFrm_file_ignor masks{registry, dialogs};
};

TEST_F(SettingsDialogsTest, EditListButtonsFollowTheirSwitchesAndOpenTheListDialogs) {
  settings.FormShow();
  EXPECT_EQ(settings.edt_editor.Text, "xdg-open");  // the first-run editor of this machine
  EXPECT_FALSE(settings.btn_edt_lst.Enabled || settings.btn_edit_list_1.Enabled);
  settings.btn_edt_lstClick();
  EXPECT_THAT(forms.shown, IsEmpty());
  settings.is_ignoredir.Checked = true;
  settings.is_ignoredirClick();
  EXPECT_TRUE(settings.btn_edt_lst.Enabled);
  EXPECT_FALSE(settings.btn_edit_list_1.Enabled);
  settings.is_ignore_files.Checked = true;
  settings.is_ignore_filesClick();
  settings.btn_edt_lstClick();
  settings.btn_edit_list_1Click();
  EXPECT_THAT(forms.shown, ElementsAre("Directory Ignore List", "File Ignore List"));
  settings.is_ignoredir.Checked = false;
  settings.is_ignoredirClick();
  EXPECT_FALSE(settings.btn_edt_lst.Enabled);
}

TEST_F(SettingsDialogsTest, OkAndCancelOfTheListDialogsAreIndependentOfTheSettingsDialog) {
  struct Case {
    bool listOk;
    bool settingsOk;
  };
  for (const Case c :
       {Case{true, false}, Case{true, true}, Case{false, true}, Case{false, false}}) {
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
      c.listOk ? list.btn_okClick() : list.btn_cancelClick();
    };
    settings.btn_edt_lstClick();
    c.settingsOk ? settings.btn_okClick() : settings.btn_cancelClick();
    const std::string label = std::to_string(c.listOk) + std::to_string(c.settingsOk);
    const std::vector<std::string> kept = {"/old/"}, added = {"/old/", "/new/"};
    EXPECT_EQ(StoredList("Path"), c.listOk ? added : kept) << label;
    EXPECT_EQ(Option("Editor"), c.settingsOk ? "/usr/bin/new" : "/usr/bin/old") << label;
    EXPECT_EQ(Option("IgnorePathXPCh"), c.settingsOk ? "1" : "0") << label;
    EXPECT_EQ(settings.ModalAnswer, c.settingsOk ? ModalResult::Ok : ModalResult::Cancel);
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
  EXPECT_TRUE(paths.CheckBox1.Checked);
  paths.CheckBox1.Checked = false;
  paths.btn_cancelClick();
  paths.FormShow();
  EXPECT_TRUE(paths.CheckBox1.Checked);
}

TEST_F(SettingsDialogsTest, BrowseForTheEditorFillsTheFieldOnlyWithAFullName) {
  settings.FormShow();
  dialogs.files = {"/usr/bin/gedit"};
  settings.btn_browseClick();
  EXPECT_EQ(settings.edt_editor.Text, "/usr/bin/gedit");
  EXPECT_THAT(dialogs.programInitials, ElementsAre("/usr/bin/"));
  EXPECT_EQ(Option("Editor"), "xdg-open");
  settings.btn_browseClick();  // cancelled
  EXPECT_EQ(settings.edt_editor.Text, "/usr/bin/gedit");
  const int saves = keys.saves;
  settings.btn_okClick();
  EXPECT_EQ(keys.saves, saves + 1);
  EXPECT_EQ(Option("Editor"), "/usr/bin/gedit");
}

TEST_F(SettingsDialogsTest, BrowsedFoldersGetOneTrailingSlashAndRepeatsAreStoredToo) {
  paths.FormShow();
  dialogs.folders = {"/", "/tmp/a", "/tmp/a", "/tmp/b/"};
  for (int i = 0; i < 4; ++i) paths.btn_browseClick();
  paths.btn_browseClick();  // cancelled: nothing added
  EXPECT_THAT(dialogs.pickTitles, ::testing::Each(std::string("Select the directory")));
  EXPECT_EQ(folders.current, "/tmp/b/");
  paths.CheckBox1.Checked = true;
  paths.btn_okClick();
  EXPECT_THAT(StoredList("Path"), ElementsAre("/", "/tmp/a/", "/tmp/a/", "/tmp/b/"));
  EXPECT_EQ(Option("IgnoreSubFoldXPCh"), "1");
}

TEST_F(SettingsDialogsTest, MaskInputAddsAnyTextButThePresetAndAnEmptyRowIsStored) {
  masks.FormShow();
  // Answers in turn: the preset, a mask, cancel (the queue runs dry last), an empty text.
  dialogs.inputs = {"*.*", "*.bak", "", "*.*"};
  masks.btn_maskClick();
  masks.btn_maskClick();
  masks.btn_maskClick();
  masks.btn_maskClick();
  masks.btn_maskClick();  // cancelled
  EXPECT_THAT(masks.Entries(), ElementsAre("*.bak", ""));
  masks.btn_okClick();
  EXPECT_THAT(StoredList("Mask"), ElementsAre("*.bak", ""));
}

TEST_F(SettingsDialogsTest, DeleteRemovesTheSelectedRowsAndOtherKeysNothing) {
  registry.WriteIgnoreList("Mask", {"a", "b", "c", "d"});
  masks.FormShow();
  EXPECT_TRUE(masks.ListView1.MultiSelect);
  Select(masks.ListView1, {0, 2});
  masks.ListView1KeyDown(VK_DELETE + 1);
  EXPECT_EQ(masks.ListView1.Items.size(), 4u);
  masks.ListView1KeyDown(VK_DELETE);
  EXPECT_THAT(masks.Entries(), ElementsAre("b", "d"));
  masks.btn_okClick();
  EXPECT_THAT(StoredList("Mask"), ElementsAre("b", "d"));

  registry.WriteIgnoreList("Path", {"/x/", "/y/"});
  paths.FormShow();
  EXPECT_FALSE(paths.ListView1.MultiSelect);
  Select(paths.ListView1, {1});
  paths.ListView1KeyDown(VK_DELETE);
  paths.btn_okClick();
  EXPECT_THAT(StoredList("Path"), ElementsAre("/x/"));
}

}  // namespace
}  // namespace velmora::testing
