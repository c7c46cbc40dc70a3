// "Copy Files", "Rename Files" and "Delete Files" through the main window's handlers, over
// real files: what each answer does to the files and rows, and what is never lost.

#include <sys/stat.h>

#include "app/MainWindowFixture.h"
#include "modify/FileOperations.h"
#include "modify/Un_Copy_Msg.h"

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
  EXPECT_EQ(dialogs.pickTitles.back(), "Select the directory");
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

}  // namespace
}  // namespace velmora::testing
