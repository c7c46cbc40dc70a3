// The line chooser: which list a line starts in, the order each list keeps, the move rules with
// their selection, focus and button states, and the "Mod" text it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modify/Un_Mod.h"

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

Texts TextsOf(const TListBox& list) {
  Texts texts;
  for (const auto& item : list.Items) texts.push_back(item.Text);
  return texts;
}

std::vector<bool> Selection(const TListBox& list) {
  std::vector<bool> selected;
  for (const auto& item : list.Items) selected.push_back(item.Selected);
  return selected;
}

void Select(TListBox& list, const Texts& texts) {
  for (auto& item : list.Items)
    item.Selected = std::find(texts.begin(), texts.end(), item.Text) != texts.end();
}

// ">", ">>", "<", "<<" as 1 when enabled.
std::string Buttons(const Tfrm_mod& f) {
  std::string states;
  for (const TButton* b : {&f.IncludeBtn, &f.IncAllBtn, &f.ExcludeBtn, &f.ExAllBtn})
    states += b->Enabled ? '1' : '0';
  return states;
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
  const struct {
    std::vector<std::size_t> intervals;
    Texts found, marked;
    const char* buttons;
  } cases[] = {
      // "No": every line is marked, in the engine's order.
      {{0, 1, 9}, {}, {"Line 1", "Line 2", "Line 10"}, "0011"},
      // Chosen lines only; the rest in text order (Line 10 before Line 2).
      {{9}, {"Line 1", "Line 2"}, {"Line 10"}, "1111"},
      {{}, {"Line 1", "Line 10", "Line 2"}, {}, "1100"},
  };
  for (const auto& c : cases) {
    chooser.Source.Intervals = c.intervals;
    chooser.FormShow();
    EXPECT_EQ(TextsOf(chooser.SrcList), c.found);
    EXPECT_EQ(TextsOf(chooser.DstList), c.marked);
    EXPECT_EQ(Buttons(chooser), c.buttons);
  }
  // Other search types have no intervals: the lists stay as they were.
  chooser.Source.HasIntervals = false;
  chooser.Source.LineNumbers = {4};
  chooser.FormShow();
  EXPECT_EQ(TextsOf(chooser.SrcList), (Texts{"Line 1", "Line 10", "Line 2"}));
  EXPECT_TRUE(chooser.DstList.Items.empty());
}

TEST_F(ChooserTest, MoveAllThenBlockWritesReversedBlock) {
  chooser.FormShow();
  chooser.ExcAllBtnClick();
  EXPECT_EQ(TextsOf(chooser.SrcList), (Texts{"Line 1", "Line 10", "Line 2"}));
  EXPECT_TRUE(chooser.DstList.Focused);
  EXPECT_EQ(Buttons(chooser), "1100");

  Select(chooser.SrcList, {"Line 1", "Line 2"});
  chooser.IncludeBtnClick();
  EXPECT_EQ(TextsOf(chooser.DstList), (Texts{"Line 2", "Line 1"}));
  EXPECT_EQ(Selection(chooser.SrcList), (std::vector<bool>{true}));
  EXPECT_EQ(Selection(chooser.DstList), (std::vector<bool>{false, false}));
  EXPECT_TRUE(chooser.SrcList.Focused && !chooser.DstList.Focused);

  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "1,0");
  EXPECT_EQ(results.Items[1].SubItems[3], "No");
  EXPECT_EQ(chooser.ModalAnswer, ModalResult::Ok);
}

TEST_F(ChooserTest, SelectionAfterAMove) {
  const struct {
    Texts selected;  // in DstList, which holds Line 1, Line 2, Line 10
    Texts left;
    std::vector<bool> selection;
  } cases[] = {
      {{"Line 1"}, {"Line 2", "Line 10"}, {true, false}},  // the entry now at first
      {{"Line 2"}, {"Line 1", "Line 10"}, {false, true}},
      {{"Line 10"}, {"Line 1", "Line 2"}, {false, true}},           // beyond the end: new last
      {{}, {"Line 1", "Line 2", "Line 10"}, {true, false, false}},  // none selected: entry 0
      {{"Line 1", "Line 2", "Line 10"}, {}, {}},                    // emptied: nothing
  };
  for (const auto& c : cases) {
    chooser.FormShow();
    Select(chooser.DstList, c.selected);
    chooser.ExcludeBtnClick();
    EXPECT_EQ(TextsOf(chooser.DstList), c.left);
    EXPECT_EQ(Selection(chooser.DstList), c.selection);
    EXPECT_EQ(Buttons(chooser),
              std::string(c.left.size() < 3 ? "11" : "00") + (c.left.empty() ? "00" : "11"));
  }
}

TEST_F(ChooserTest, OkWritesEmptyTextOrNothingWithoutSelectedRow) {
  chooser.FormShow();
  chooser.ExcAllBtnClick();
  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "");

  results.Items[0].Selected = false;
  chooser.FormShow();
  chooser.OKBtnClick();
  EXPECT_EQ(results.Items[0].SubItems[3], "");
  EXPECT_EQ(results.Items[1].SubItems[3], "No");
}

}  // namespace
}  // namespace velmora
