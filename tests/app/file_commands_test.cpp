// "Copy Files", "Rename Files" and "Delete Files" through the main window's handlers, over
// real files: what each answer does to the files and rows, and what is never lost.

#include <sys/stat.h>

#include "app/MainWindowFixture.h"
#include "modify/FileOperations.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Rename_Files.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class FileCommandsTest : public MainWindowTest {
 protected:
  // Lists the files of the tree as selected rows, in this order.
  void ListSelected(const std::vector<std::string>& names) {
    window->ListView1.Items.clear();
    for (const auto& name : names) {
      Write(name, "new " + name);
      window->ListView1.Items.push_back({name, {Tree(), "", "", "No"}, -1, true});
    }
  }
  std::string Target(const std::string& name) const { return (root / "target" / name).string(); }
  std::string WriteTarget(const std::string& name, const std::string& text) {
    fs::create_directories(root / "target");
    std::ofstream(Target(name)) << text;
    return Target(name);
  }
  // Plays the copy dialog: each question takes the next answer ("" closes it unanswered).
  void AnswerCopies(std::vector<std::string> answers) {
    forms.answer = [this, answers](TForm& form) mutable {
      auto& dialog = dynamic_cast<Tfrm_copy_msg&>(form);
      asked.push_back(dialog.lbl_msg.Caption);
      const std::string answer = answers.empty() ? "" : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      if (answer == "Yes") dialog.btn_yesClick();
      if (answer == "Yes to All") dialog.btn_yestoallClick();
      if (answer == "Skip") dialog.btn_skipClick();
      if (answer == "Cancel") dialog.btn_cancelClick();
    };
  }
  std::vector<std::string> asked;

  // Lists the files as a finished run does (sorted) and selects the named rows.
  void ListSorted(const std::vector<std::string>& names, const std::vector<std::string>& selected) {
    for (const auto& name : names) Write(name, name);
    Find("");
    for (auto& row : window->ListView1.Items)
      row.Selected = std::find(selected.begin(), selected.end(), row.Caption) != selected.end();
  }
  // Opens "Rename Files", lets `fill` set its fields and presses "Rename"; the error dialog
  // takes the next of `answers` ("Skip" or "Cancel").
  void Rename(const std::function<void(Tfrm_ren_files&)>& fill,
              std::vector<std::string> answers = {}) {
    forms.answer = [this, fill, answers](TForm& form) mutable {
      if (auto* dialog = dynamic_cast<Tfrm_ren_files*>(&form)) {
        fill(*dialog);
        dialog->Check_RemClick();
        dialog->Check_extClick();
        dialog->Button2Click();
      } else if (auto* error = dynamic_cast<TFrm_Rename_msg*>(&form)) {
        asked.push_back(error->lbl_msg.Caption);
        const std::string answer = answers.empty() ? "Skip" : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        answer == "Cancel" ? error->btn_cancelClick() : error->btn_skipClick();
      }
    };
    window->RenameFiles1Click();
  }
  std::vector<std::string> FilesInTree() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root / "tree"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FileCommandsTest, CopyAsksForEachExistingTargetAndFollowsTheAnswer) {
  const struct {
    std::vector<std::string> answers;
    std::size_t asks;
    std::string b, c;  // contents of the two existing targets afterwards
  } cases[] = {
      {{"Yes", "Yes"}, 2, "new .b.txt", "new c.txt"},
      {{"Yes to All"}, 1, "new .b.txt", "new c.txt"},
      {{"Skip", "Yes"}, 2, "old", "new c.txt"},
      {{"Yes", "Skip"}, 2, "new .b.txt", "old"},
      {{"Cancel"}, 1, "old", "old"},
      {{""}, 1, "old", "old"},  // closed without an answer: stops like Cancel
  };
  Show();
  for (const auto& c : cases) {
    fs::remove_all(root / "target");
    ListSelected({"a.txt", ".b.txt", "c.txt", "d.txt"});
    window->ListView1.Items[3].Selected = false;
    WriteTarget(".b.txt", "old");  // hidden, and read-only below
    ::chmod(Target(".b.txt").c_str(), 0444);
    WriteTarget("c.txt", "old");
    asked.clear();
    AnswerCopies(c.answers);
    dialogs.folders = {(root / "target").string()};
    window->CopyFiles1Click();
    EXPECT_EQ(asked.size(), c.asks) << c.answers[0];
    EXPECT_EQ(ReadFile(Target("a.txt")), "new a.txt");
    EXPECT_EQ(ReadFile(Target(".b.txt")), c.b) << c.answers[0];
    EXPECT_EQ(ReadFile(Target("c.txt")), c.c) << c.answers[0];
    EXPECT_FALSE(fs::exists(Target("d.txt")));  // not selected
    EXPECT_EQ(window->ListView1.Items.size(), 4u);
  }
  EXPECT_EQ(asked[0], ShortPath(Tree() + ".b.txt") + "\n\ralready exist !!!");
  EXPECT_EQ(folders.current, (root / "target").string());

  // "Yes to All" holds for one command only: the second asks for each of the three again.
  AnswerCopies({"Yes to All", "Skip", "Skip", "Skip"});
  asked.clear();
  dialogs.folders = {(root / "target").string(), (root / "target").string()};
  window->CopyFiles1Click();
  window->CopyFiles1Click();
  EXPECT_EQ(asked.size(), 4u);
}

TEST_F(FileCommandsTest, CopyIntoTheFilesOwnFolderLeavesItUntouched) {
  Show();
  ListSelected({"a.txt", "b.txt"});
  AnswerCopies({"Yes", "Yes"});
  dialogs.folders = {Tree()};
  window->CopyFiles1Click();
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(ReadFile(Tree() + "a.txt"), "new a.txt");
  EXPECT_EQ(ReadFile(Tree() + "b.txt"), "new b.txt");
  EXPECT_THAT(Captions(), ElementsAre("a.txt", "b.txt"));
}

TEST_F(FileCommandsTest, FailingCopyKeepsTheTarget) {
  Show();
  ListSelected({"a.txt"});
  fs::remove(Tree() + "a.txt");  // the source went away meanwhile
  WriteTarget("a.txt", "old");
  AnswerCopies({"Yes"});
  dialogs.folders = {(root / "target").string()};
  window->CopyFiles1Click();
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(ReadFile(Target("a.txt")), "old");
}

TEST_F(FileCommandsTest, RenameBuildsTheNewNameByTheRules) {
  const struct {
    std::string name, prefix, suffix, first, count, extension;
    std::string renamed;  // "" when the row keeps its name
  } cases[] = {
      {"report.txt", "old_", "_v2", "", "", "", "old_report_v2.txt"},
      {"report.txt", "", "", "1", "3", "", "ort.txt"},
      {"report.txt", "", "", "5", "100", "", "repo.txt"},
      {"report.txt", "", "", "", "", "bak", "report.bak"},
      {"archive.tar.gz", "", "_1", "", "", "", "archive.tar_1.gz"},
      {"README", "x", "", "", "", "", "xREADME"},
      {"abc.txt", "p", "", "1", "10", "", ""},  // no prefix before an empty base: refused
  };
  for (const auto& c : cases) {
    fs::remove_all(root / "tree");
    dialogs.messages.clear();
    Show();
    ListSorted({c.name}, {c.name});
    Rename([&c](Tfrm_ren_files& d) {
      d.edt_prefix.Text = c.prefix;
      d.edt_sufix.Text = c.suffix;
      d.Check_Rem.Checked = !c.first.empty();
      d.Edt_first.Text = c.first;
      d.Edt_num.Text = c.count;
      d.Check_ext.Checked = !c.extension.empty();
      d.Edt_ext.Text = c.extension;
    });
    const std::string expected = c.renamed.empty() ? c.name : c.renamed;
    EXPECT_THAT(Captions(), ElementsAre(expected)) << c.name;
    EXPECT_THAT(FilesInTree(), ElementsAre(expected)) << c.name;
    if (!c.extension.empty()) {
      const TListItem& row = window->ListView1.Items[0];
      EXPECT_EQ(window->ImageList1.Icons.at(static_cast<std::size_t>(row.ImageIndex)),
                "small:" + c.extension);
    }
    if (c.renamed.empty()) {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0].text,
                "Cannot rename \"" + ShortPath(Tree() + ".txt") + "\" to \".txt\"");
      EXPECT_EQ(dialogs.messages[0].caption, "Error renaming file");
    } else {
      EXPECT_TRUE(dialogs.messages.empty()) << c.name;
    }
  }
}

TEST_F(FileCommandsTest, RenameHandlesEachSelectedRowOnceAndResortsTheList) {
  Show();
  ListSorted({"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt"});
  Rename([](Tfrm_ren_files& d) { d.edt_prefix.Text = "z"; });
  EXPECT_THAT(Captions(), ElementsAre("c.txt", "za.txt", "zb.txt"));
  EXPECT_THAT(FilesInTree(), ElementsAre("c.txt", "za.txt", "zb.txt"));
  EXPECT_TRUE(window->ListView1.Items[1].Selected);
}

TEST_F(FileCommandsTest, RenameNeverReplacesAnExistingFile) {
  const struct {
    std::vector<std::string> answers;
    std::vector<std::string> files;
  } cases[] = {
      {{"Skip"}, {"a.txt", "x_a.txt", "x_c.txt"}},  // the next row is renamed
      {{"Cancel"}, {"a.txt", "c.txt", "x_a.txt"}},  // the run ends
  };
  for (const auto& c : cases) {
    fs::remove_all(root / "tree");
    asked.clear();
    Show();
    ListSorted({"a.txt", "c.txt", "x_a.txt"}, {"a.txt", "c.txt"});
    Rename([](Tfrm_ren_files& d) { d.edt_prefix.Text = "x_"; }, c.answers);
    EXPECT_EQ(FilesInTree(), c.files) << c.answers[0];
    EXPECT_EQ(ReadFile(Tree() + "x_a.txt"), "x_a.txt");  // untouched
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Cannot rename " + ShortPath(Tree() + "x_a.txt") +
                            ":\n\r\n\rA file with the name you specified (x_a.txt) already exist.");
  }
}

TEST_F(FileCommandsTest, RenameReportsMissingFilesAndStopsAtAnInvalidNumber) {
  Show();
  ListSorted({"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"});
  fs::remove(Tree() + "a.txt");
  Rename([](Tfrm_ren_files& d) { d.edt_sufix.Text = "_1"; });
  EXPECT_THAT(Messages(), ElementsAre("Cannot rename " + ShortPath(Tree() + "a.txt") +
                                      ": Cannot find the specified file."));
  EXPECT_THAT(FilesInTree(), ElementsAre("b_1.txt", "c_1.txt"));

  EXPECT_THAT(
      [&] {
        Rename([](Tfrm_ren_files& d) {
          d.edt_sufix.Text = "";
          d.Check_Rem.Checked = true;
          d.Edt_first.Text = "x";
        });
      },
      ::testing::ThrowsMessage<EConvertError>("'x' is not a valid integer value"));
}

TEST_F(FileCommandsTest, DeleteAsksOnceAndRemovesTheRowsOfTrashedFiles) {
  const struct {
    std::vector<int> selected;
    ModalResult answer;
    std::string caption;
    std::vector<std::string> left;
  } cases[] = {
      {{1}, ModalResult::Ok, "Confirm File Delete", {"a.txt", "c.txt"}},
      {{1}, ModalResult::Cancel, "Confirm File Delete", {"a.txt", "b.txt", "c.txt"}},
      {{0, 2}, ModalResult::Ok, "Confirm Multiple File Delete", {"b.txt"}},
      {{}, ModalResult::Ok, "Confirm Multiple File Delete", {"a.txt", "b.txt", "c.txt"}},
  };
  Show();
  for (const auto& c : cases) {
    ListSelected({"a.txt", "b.txt", "c.txt"});
    for (int i = 0; i < 3; ++i)
      window->ListView1.Items[static_cast<std::size_t>(i)].Selected =
          std::find(c.selected.begin(), c.selected.end(), i) != c.selected.end();
    dialogs.messages.clear();
    dialogs.answers = {c.answer};
    shell.trashed.clear();
    window->DeleteFiles1Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, c.caption);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(Captions(), c.left) << c.caption;
    EXPECT_EQ(shell.trashed.size(), 3 - c.left.size()) << c.caption;
    EXPECT_EQ(viewer.Last(), kAboutBlank);
  }
  EXPECT_EQ(dialogs.messages[0].text,
            "Are you sure you want to send these 0 items to the Recycle Bin ?");
  window->ListView1.Items[1].Selected = true;
  dialogs.answers = {ModalResult::Cancel};
  window->DeleteFiles1Click();
  EXPECT_EQ(dialogs.messages.back().text, "Are you sure you want to send\n\r\n\r" +
                                              ShortPath(Tree() + "b.txt") +
                                              "\n\r\n\rto the Recycle Bin ?");
}

TEST_F(FileCommandsTest, DeleteKeepsTheRowsOfFilesThatDidNotReachTheTrash) {
  Show();
  ListSelected({"a.txt", "b.txt"});
  shell.trashResult = false;
  dialogs.answers = {ModalResult::Ok};
  window->DeleteFiles1Click();
  EXPECT_THAT(Captions(), ElementsAre("a.txt", "b.txt"));
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Cannot move to the trash:\n" + ShortPath(Tree() + "b.txt") +
                                          "\n" + ShortPath(Tree() + "a.txt"));
}

}  // namespace
}  // namespace velmora::testing
