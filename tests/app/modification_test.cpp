// The modification run, Undo and Delete Items through the main window's handlers, over real
// files: which lines each file gets, the backups kept and recorded, the buttons and menu
// items afterwards, and the refusals that keep a file from being changed blindly.

#include <sys/stat.h>

#include "app/MainWindowFixture.h"
#include "engines/Un_Tambahan.h"
#include "modify/Un_Mod.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class ModificationTest : public MainWindowTest {
 protected:
  std::string& Mod(int row) {
    return window->ListView1.Items[static_cast<std::size_t>(row)].SubItems[3];
  }
  int StoredBackups() {
    return std::stoi(StoredValue("Software\\Velmora\\Backup", "FileBackUpCountV"));
  }
};

TEST_F(ModificationTest, ModifySelectedChangesEachFileAtItsOwnRowsLines) {
  const std::string a = Write("a.txt", "cat 1\r\ndog\r\ncat 2\r\ncat 3\r\n");
  const std::string b = Write("b.txt", "cat 1\r\ncat 2\r\ncat 3\r\n");
  const std::string c = Write("c.txt", "cat\n");
  Tfrm_utama& w = ShowReplacePage(0, 1);
  w.cmb_replace.Items = {"Tiger"};
  w.cmb_replace.Text = "tiger";
  Find("cat");
  ASSERT_THAT(Captions(), ElementsAre("a.txt", "b.txt", "c.txt"));
  Mod(0) = "3";
  Mod(1) = "2,0";
  SelectOnly({0, 1});
  viewer.targets.clear();
  w.btn_mod_slcClick();

  EXPECT_EQ(ReadFile(a), "cat 1\r\ndog\r\ncat 2\r\ntiger 3\r\n");
  EXPECT_EQ(ReadFile(b), "tiger 1\r\ncat 2\r\ntiger 3\r\n");
  EXPECT_EQ(ReadFile(c), "cat\n");
  EXPECT_EQ(ReadFile(a + ".bak"), "cat 1\r\ndog\r\ncat 2\r\ncat 3\r\n");
  EXPECT_THAT(w.last_backups, ElementsAre(a + ".bak", b + ".bak"));
  EXPECT_EQ(StoredBackups(), 2);
  EXPECT_THAT(w.cmb_replace.Items, ElementsAre("Tiger", "tiger"));  // other case: a new entry
  EXPECT_TRUE(w.btn_undo.Enabled);
  EXPECT_TRUE(w.EraseBackup1.Enabled);
  // The first selected row is shown again, as the file now is.
  EXPECT_EQ(viewer.Last(), w.PreviewFile());
  EXPECT_THAT(ReadFile(w.PreviewFile()), HasSubstr("line 3 :"));
  EXPECT_THAT(ReadFile(w.PreviewFile()), Not(HasSubstr("line 4 :")));
  EXPECT_EQ(Mod(0), "3");  // rows keep their texts
}

// A Linux shell script keeps its LF breaks, its missing final break and its mode bits; the
// stored option brings CR LF after every line.
TEST_F(ModificationTest, AnLfShellScriptKeepsItsBreaksAndItsMode) {
  const std::string script = Write("run.sh", "#!/bin/sh\necho cat\n# cat, no final break");
  ::chmod(script.c_str(), 0755);
  Tfrm_utama& w = ShowReplacePage(0, 1);
  w.cmb_replace.Text = "dog";
  Find("cat");
  w.btn_mod_allClick();
  EXPECT_EQ(ReadFile(script), "#!/bin/sh\necho dog\n# dog, no final break");
  struct stat mode {};
  ASSERT_EQ(::stat(script.c_str(), &mode), 0);
  EXPECT_EQ(mode.st_mode & 07777, 0755u);

  SetOption("CrLfCheckBox", "1");
  w.cmb_replace.Text = "cow";
  Find("dog");
  w.btn_mod_allClick();
  EXPECT_EQ(ReadFile(script), "#!/bin/sh\r\necho cow\r\n# cow, no final break\r\n");
}

TEST_F(ModificationTest, ModifyAllWithoutBackupsStillNamesThemButOffersNoUndo) {
  const std::string a = Write("a.txt", "x cat\r\n");
  const std::string b = Write("sub/b.txt", "cat\r\n");
  Tfrm_utama& w = ShowReplacePage(0, 2);
  w.registry->WriteBool("CreateBackupCheckBox", false);
  w.cmb_replace.Text = ">";
  Find("cat");
  SelectOnly({});
  w.btn_mod_allClick();
  EXPECT_EQ(ReadFile(a), "x >cat\r\n");
  EXPECT_EQ(ReadFile(b), ">cat\r\n");
  EXPECT_FALSE(std::filesystem::exists(a + ".bak"));
  EXPECT_THAT(w.last_backups, ElementsAre(a + ".bak", b + ".bak"));
  EXPECT_FALSE(w.btn_undo.Enabled);
  EXPECT_EQ(StoredBackups(), 0);  // recorded, then dropped by the purge
  EXPECT_FALSE(w.EraseBackup1.Enabled);
}

TEST_F(ModificationTest, UndoPutsEveryFileBackByteForByte) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"a.txt", "cat\r\nmixed\nbreaks\rcat"},
      {"b.txt", std::string("cat\n\0tail cat\n", 14)},
      {"c.txt", "no break cat"},
  };
  for (const auto& [name, bytes] : files) Write(name, bytes);
  const std::string other = Write("other.txt.bak", "an older backup, not of this run");
  Tfrm_utama& w = ShowReplacePage(2, 1);
  w.Memo_Replace.SetText("dog\nline");
  w.Memo_Query_1.SetText("c(a)t");
  w.cmb_path.Text = Tree();
  w.btn_findClick();
  ASSERT_THAT(Captions(), ElementsAre("a.txt", "b.txt", "c.txt"));
  w.btn_mod_allClick();
  EXPECT_NE(ReadFile(Tree() + "a.txt"), files[0].second);
  w.registry->AddBackups({other});

  w.btn_undoClick();
  for (const auto& [name, bytes] : files) {
    EXPECT_EQ(ReadFile(Tree() + name), bytes) << name;
    EXPECT_FALSE(std::filesystem::exists(Tree() + name + ".bak")) << name;
  }
  EXPECT_THAT(w.last_backups, IsEmpty());
  EXPECT_FALSE(w.btn_undo.Enabled);
  EXPECT_EQ(StoredBackups(), 1);
  EXPECT_TRUE(w.EraseBackup1.Enabled);

  w.is_search_in_result.Checked = true;
  w.btn_mod_allClick();
  EXPECT_FALSE(w.EraseBackup1.Enabled);
}

TEST_F(ModificationTest, AFileChangedSinceItsLinesWereChosenIsRefused) {
  const std::string a = Write("a.txt", "cat\r\n");
  const std::string b = Write("b.txt", "cat\r\ncat\r\n");
  const std::string c = Write("c.txt", "cat\r\n");
  Tfrm_utama& w = ShowReplacePage(0, 1);
  w.cmb_replace.Text = "dog";
  Find("cat");
  Write("b.txt.bak", "a backup of an earlier run");
  Mod(1) = "1";
  Write("b.txt", "new first line\r\ncat\r\ncat\r\n");  // line 1 is no longer the chosen line
  Write("a.txt", "cat cat\r\n");                       // changed too, but all its lines go ("No")
  SelectOnly({0});
  try {
    w.btn_mod_allClick();
    FAIL() << "the changed file was modified";
  } catch (const EFileError& error) {
    EXPECT_THAT(error.what(), HasSubstr(b));
    EXPECT_THAT(error.what(), HasSubstr("changed since"));
  }
  EXPECT_EQ(ReadFile(a), "dog dog\r\n");
  EXPECT_EQ(ReadFile(b), "new first line\r\ncat\r\ncat\r\n");
  EXPECT_EQ(ReadFile(c), "cat\r\n");  // the run ended at the refused row
  EXPECT_THAT(w.last_backups, ElementsAre(a + ".bak"));
  EXPECT_FALSE(w.Modifying());

  // Listing the file again makes its chosen lines current.
  SelectOnly({});
  w.SelectRow(1, true);
  w.btn_mod_slcClick();
  EXPECT_EQ(ReadFile(b), "new first line\r\ndog\r\ncat\r\n");
}

TEST_F(ModificationTest, ClicksWhileARunLetsMessagesRunStartNothing) {
  const std::string a = Write("a.txt", "cat\r\ncat\r\n");
  const std::string b = Write("b.txt", "cat\r\n");
  Tfrm_utama& w = ShowReplacePage(0, 2);
  w.cmb_replace.Text = "+";
  Find("cat");
  int clicks = 0;
  pump.every = [&](std::size_t) {
    if (!w.Modifying()) return;
    ++clicks;
    SelectOnly({0, 1});
    w.btn_mod_allClick();
    w.btn_mod_slcClick();
    w.btn_undoClick();
    w.btn_del_itemsClick();
    w.btn_findClick();
    w.ModificationInterfal1Click();
    w.EraseBackup1Click();
  };
  w.btn_mod_allClick();
  pump.every = nullptr;
  EXPECT_GT(clicks, 0);
  EXPECT_EQ(ReadFile(a), "+cat\r\n+cat\r\n");
  EXPECT_EQ(ReadFile(b), "+cat\r\n");
  EXPECT_EQ(Captions().size(), 2u);
  EXPECT_THAT(forms.shown, IsEmpty());
  EXPECT_TRUE(std::filesystem::exists(a + ".bak"));
}

TEST_F(ModificationTest, ChosenLinesGoToTheSelectedRowAndThePreviewFollows) {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += (i == 1 || i == 2 || i == 10 ? "cat\r\n" : "dog\r\n");
  const std::string a = Write("a.txt", text);
  Tfrm_utama& w = ShowReplacePage(0, 1);
  w.registry->WriteBool("PhraseXPCheckBox", true);
  w.cmb_replace.Text = "cow";
  Find("cat");
  ASSERT_TRUE(w.ModificationInterfal1.Enabled);
  forms.answer = [](TForm& form) {
    auto& chooser = static_cast<Tfrm_mod&>(form);
    EXPECT_EQ(chooser.DstList.Items.size(), 3u);  // "No": every line is marked
    chooser.ExcAllBtnClick();
    chooser.SrcList.Items[0].Selected = true;  // Line 1
    chooser.SrcList.Items[2].Selected = true;  // Line 2 (Line 10 sorts before it)
    chooser.IncludeBtnClick();
    chooser.OKBtnClick();
  };
  viewer.targets.clear();
  w.ModificationInterfal1Click();
  EXPECT_THAT(forms.shown, ElementsAre("Choices Dialog"));
  EXPECT_EQ(Mod(0), "1,0");
  EXPECT_EQ(viewer.Last(), w.PreviewFile());
  EXPECT_THAT(ReadFile(w.PreviewFile()), HasSubstr(" line 10 :"));  // not chosen

  forms.answer = [](TForm& form) {
    static_cast<Tfrm_mod&>(form).IncAllBtnClick();
    form.CloseModal(ModalResult::Cancel);
  };
  viewer.targets.clear();
  w.ModificationInterfal1Click();
  EXPECT_EQ(Mod(0), "1,0");
  EXPECT_EQ(viewer.Last(), w.PreviewFile());

  w.btn_mod_slcClick();
  EXPECT_EQ(ReadFile(a).substr(0, 10), "cow\r\ncow\r\n");
  EXPECT_NE(ReadFile(a).find("cat\r\n"), std::string::npos);  // line 10 stays

  forms.answer = nullptr;
  w.EraseBackup1Click();
  EXPECT_THAT(forms.shown, ElementsAre("Choices Dialog", "Choices Dialog", "BackUp Manager"));
}

TEST_F(ModificationTest, DeleteItemsSelectsTheRowAfterTheRemovedOnes) {
  for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}) Write(name, "x\r\n");
  struct Case {
    std::vector<int> selected;
    std::vector<std::string> left;
    int selectedAfter;
  };
  const Case cases[] = {
      {{1, 2}, {"1.txt", "4.txt", "5.txt"}, 1},
      {{3, 4}, {"1.txt", "2.txt", "3.txt"}, 2},
      {{3}, {"1.txt", "2.txt", "3.txt", "5.txt"}, 3},
      {{0, 1, 2, 3, 4}, {}, -1},
      {{}, {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}, -1},
  };
  Tfrm_utama& w = ShowReplacePage(0, 0);
  for (const Case& c : cases) {
    Find("");
    SelectOnly(c.selected);
    viewer.targets.clear();
    w.btn_del_itemsClick();
    EXPECT_EQ(Captions(), c.left);
    EXPECT_EQ(w.ListView1.SelectedIndex(), c.selectedAfter);
    if (c.selected.empty()) {
      EXPECT_THAT(viewer.targets, IsEmpty());
    } else if (c.left.empty()) {
      EXPECT_EQ(viewer.Last(), kAboutBlank);
      EXPECT_FALSE(w.btn_del_items.Enabled);
    } else {
      EXPECT_EQ(viewer.Last(), w.PreviewFile());
      EXPECT_TRUE(w.btn_del_items.Enabled);
    }
  }
}

}  // namespace
}  // namespace velmora::testing
