// The line chooser: which list a line starts in, the order each list keeps, the move rules with
// their selection, focus and button states, and the "Mod" text it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modify/Un_Mod.h"

namespace velmora {
namespace {

std::vector<std::string> Texts(const TListBox& list) {
  std::vector<std::string> texts;
  for (const auto& item : list.Items) texts.push_back(item.Text);
  return texts;
}

std::vector<bool> Selection(const TListBox& list) {
  std::vector<bool> selected;
  for (const auto& item : list.Items) selected.push_back(item.Selected);
  return selected;
}

void Select(TListBox& list, const std::vector<std::string>& texts) {
  for (auto& item : list.Items)
    item.Selected = std::find(texts.begin(), texts.end(), item.Text) != texts.end();
}

struct ButtonStates {
  bool include, includeAll, exclude, excludeAll;
  bool operator==(const ButtonStates&) const = default;
};

ButtonStates Buttons(const Tfrm_mod& f) {
  return {f.IncludeBtn.Enabled, f.IncAllBtn.Enabled, f.ExcludeBtn.Enabled, f.ExAllBtn.Enabled};
}

class ChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    results.Items = {{"a.txt", {"/t/", "", "", "No"}, -1, true},
                     {"b.txt", {"/t/", "", "", "No"}, -1, false}};
    chooser.Source = {true, {0, 1, 9}, {0, 1, 9}, &results};
  }
  FixedLocale locale;
  TListView results;
  Tfrm_mod chooser{locale};
};

TEST_F(ChooserTest, ShowSplitsLinesByIntervals) {
  struct Case {
    std::vector<std::size_t> intervals;
    std::vector<std::string> found, marked;
    ButtonStates buttons;
  };
  const Case cases[] = {
      // "No": every line is marked, in the engine's order.
      {{0, 1, 9}, {}, {"Line 1", "Line 2", "Line 10"}, {false, false, true, true}},
      // Chosen lines only; the rest in text order (Line 10 before Line 2).
      {{9}, {"Line 1", "Line 2"}, {"Line 10"}, {true, true, true, true}},
      {{}, {"Line 1", "Line 10", "Line 2"}, {}, {true, true, false, false}},
  };
  for (const Case& c : cases) {
    chooser.Source.Intervals = c.intervals;
    chooser.FormShow();
    EXPECT_EQ(Texts(chooser.SrcList), c.found);
    EXPECT_EQ(Texts(chooser.DstList), c.marked);
    EXPECT_EQ(Buttons(chooser), c.buttons);
  }
}

TEST_F(ChooserTest, OtherSearchTypesKeepTheLastLists) {
  chooser.FormShow();
  chooser.ExcAllBtnClick();
  chooser.Source.HasIntervals = false;
  chooser.Source.LineNumbers = {4};
  chooser.FormShow();
  EXPECT_EQ(Texts(chooser.SrcList), (std::vector<std::string>{"Line 1", "Line 10", "Line 2"}));
  EXPECT_TRUE(chooser.DstList.Items.empty());
}

TEST_F(ChooserTest, MoveAllThenBlockWritesReversedBlock) {
  chooser.FormShow();
  chooser.ExcAllBtnClick();
  EXPECT_EQ(Texts(chooser.SrcList), (std::vector<std::string>{"Line 1", "Line 10", "Line 2"}));
  EXPECT_TRUE(chooser.DstList.Focused);
  EXPECT_EQ(Buttons(chooser), (ButtonStates{true, true, false, false}));

  Select(chooser.SrcList, {"Line 1", "Line 2"});
  chooser.IncludeBtnClick();
  EXPECT_EQ(Texts(chooser.DstList), (std::vector<std::string>{"Line 2", "Line 1"}));
  EXPECT_EQ(Texts(chooser.SrcList), (std::vector<std::string>{"Line 10"}));
  EXPECT_EQ(Selection(chooser.SrcList), (std::vector<bool>{true}));
  EXPECT_EQ(Selection(chooser.DstList), (std::vector<bool>{false, false}));
  EXPECT_TRUE(chooser.SrcList.Focused);
  EXPECT_FALSE(chooser.DstList.Focused);

  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "1,0");
  EXPECT_EQ(results.Items[1].SubItems[3], "No");
  EXPECT_EQ(chooser.ModalAnswer, ModalResult::Ok);
}

TEST_F(ChooserTest, SelectionAfterAMove) {
  struct Case {
    std::vector<std::string> selected;  // in DstList, which holds Line 1, Line 2, Line 10
    std::vector<std::string> left;
    std::vector<bool> selection;
  };
  const Case cases[] = {
      {{"Line 2"}, {"Line 1", "Line 10"}, {false, true}},           // the entry now at first
      {{"Line 10"}, {"Line 1", "Line 2"}, {false, true}},           // beyond the end: new last
      {{}, {"Line 1", "Line 2", "Line 10"}, {true, false, false}},  // none selected: entry 0
      {{"Line 1", "Line 2", "Line 10"}, {}, {}},                    // emptied: nothing
  };
  for (const Case& c : cases) {
    chooser.FormShow();
    Select(chooser.DstList, c.selected);
    chooser.ExcludeBtnClick();
    EXPECT_EQ(Texts(chooser.DstList), c.left);
    EXPECT_EQ(Selection(chooser.DstList), c.selection);
    EXPECT_EQ(chooser.ExcludeBtn.Enabled, !c.left.empty());
    EXPECT_TRUE(chooser.IncludeBtn.Enabled == !chooser.SrcList.Items.empty());
  }
}

TEST_F(ChooserTest, OkWritesEmptyTextOrNothingWithoutSelectedRow) {
  chooser.FormShow();
  chooser.ExcAllBtnClick();
  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "");

  results.Items[0].Selected = false;
  results.Items[1].SubItems[3] = "No";
  chooser.FormShow();
  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "");
  EXPECT_EQ(results.Items[1].SubItems[3], "No");
}

}  // namespace
}  // namespace velmora
