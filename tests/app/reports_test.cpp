// "Save List", "Save Lines" and the selection of rows by mask, through the main window's
// handlers over real files.

#include "app/MainWindowFixture.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;

class ReportsTest : public MainWindowTest {
 protected:
  void SetRows(const std::vector<TListItem>& rows) { window->ListView1.Items = rows; }
  std::vector<bool> Selection() const {
    std::vector<bool> selected;
    for (const auto& item : window->ListView1.Items) selected.push_back(item.Selected);
    return selected;
  }
  std::string Target(const std::string& name) const { return (root / name).string(); }
};

TEST_F(ReportsTest, SaveListWritesPaddedColumnsEndedByCrLf) {
  const struct {
    const char* label;
    std::vector<TListItem> rows;
    std::string bytes;
  } cases[] = {
      {"no rows: the captions only", {}, "Name  Path  Time  Size\r\n"},
      {"rows of different lengths",
       {{"a.txt", {"/d/", "06.12.2026 10:00", "1.5000 KB", "No"}},
        {"long.txt", {"/deeper/", "06.12.2026 9:00", "10.0000 KB", "0,2"}}},
       "Name       Path       Time               Size       \r\n"
       "a.txt      /d/        06.12.2026 10:00   1.5000 KB  \r\n"
       "long.txt   /deeper/   06.12.2026 9:00    10.0000 KB \r\n"},
      {"short texts: longer captions go unpadded",
       {{"a", {"/", "t", "1", "No"}}},
       "Name  Path  Time  Size\r\n"
       "a   /   t   1 \r\n"},
  };
  Show();
  for (const auto& c : cases) {
    SetRows(c.rows);
    const std::string target = Target("list.lst");
    dialogs.files = {target};
    window->SaveList1Click();
    EXPECT_EQ(ReadFile(target), c.bytes) << c.label;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ReportsTest, SaveListThatCannotCreateTheFileSaysWhyAndWritesNothing) {
  Show();
  SetRows({{"a.txt", {"/d/", "", "", "No"}}});
  const std::string target = Target("missing/list.lst");
  dialogs.files = {target};
  window->SaveList1Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Cannot create file \"" + target + "\". No such file or directory");
  dialogs.files.clear();  // cancelled
  window->SaveList1Click();
  EXPECT_FALSE(std::filesystem::exists(root / "missing"));
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ReportsTest, SaveLinesCopiesTheLastPageBuiltOverAnExistingFile) {
  Write("a.txt", "one needle\n");
  Tfrm_utama& w = Show();
  Find("needle");
  const std::string page = ReadFile(w.PreviewFile());
  ASSERT_NE(page.find("needle"), std::string::npos);
  w.cmb_query.Text = "other";
  w.cmb_queryChange();  // the viewer is cleared, the page file stays
  ASSERT_EQ(viewer.Last(), kAboutBlank);
  const std::string target = Write("../saved.html", "older content");
  dialogs.files = {target};
  w.SaveLines1Click();
  EXPECT_EQ(ReadFile(target), page);

  // Without a page to copy the chosen file stays as it was.
  std::filesystem::remove(w.PreviewFile());
  std::ofstream(target) << "kept";
  dialogs.files = {target};
  w.SaveLines1Click();
  EXPECT_EQ(ReadFile(target), "kept");
}

TEST_F(ReportsTest, SelectAndDeselectByMaskChangeMatchingRowsAndPreviewEachChange) {
  const struct {
    bool select;
    std::string mask;
    std::vector<bool> before;
    std::vector<bool> after;
    std::size_t previews;
    std::string error;
  } cases[] = {
      {true, "*.txt", {false, false, true}, {true, true, true}, 2, ""},
      {false, "*", {true, false, true}, {false, false, false}, 2, ""},
      {false, "*.txt", {true, true, true}, {false, false, true}, 2, ""},
      {true, "", {false, false, false}, {false, false, false}, 0, ""},  // empty: nothing
      {true,
       "[abc",
       {false, true, false},
       {false, true, false},
       0,
       "'[abc' is an invalid mask at (5)"},
  };
  Show();
  for (const auto& c : cases) {
    SetRows({{"a.txt", {"/d/", "", "", "No"}},
             {"B.TXT", {"/d/", "", "", "No"}},
             {"c.doc", {"/d/", "", "", "No"}}});
    for (std::size_t i = 0; i < c.before.size(); ++i)
      window->ListView1.Items[i].Selected = c.before[i];
    dialogs.inputs = {c.mask};
    dialogs.messages.clear();
    viewer.targets.clear();
    c.select ? window->Select1Click() : window->Deselect1Click();
    EXPECT_EQ(Selection(), c.after) << c.mask;
    EXPECT_EQ(viewer.targets.size(), c.previews) << c.mask;
    if (c.error.empty()) {
      EXPECT_TRUE(dialogs.messages.empty()) << c.mask;
    } else {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0].text, c.error);
    }
  }
  window->SelectAll1Click();
  EXPECT_THAT(Selection(), ElementsAre(true, true, true));
}

}  // namespace
}  // namespace velmora::testing
