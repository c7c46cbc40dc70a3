// The search run through the main window's handlers: filters, rows, stop, errors, recently
// used lists and the window's state after a run.

#include <sys/stat.h>

#include <new>

#include "app/MainWindowFixture.h"
#include "doubles/NoAccessOverride.h"
#include "engines/Un_Phrase.h"
#include "find/Un_MyFindFile.h"
#include "settings/DateFormat.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// After a run, however it ended, the window takes input again.
void ExpectIdle(const Tfrm_utama& w) {
  EXPECT_TRUE(w.btn_find.Enabled && w.btn_find_1.Enabled);
  EXPECT_FALSE(w.btn_stop.Enabled || w.btn_stop_1.Enabled || w.Busy());
  EXPECT_TRUE(w.cmb_path.Enabled && w.is_search_in_result.Enabled);
  EXPECT_TRUE(w.PageControl1.TabSheet1.TabVisible && w.PageControl1.TabSheet2.TabVisible);
}

TEST_F(MainWindowTest, EmptyQueryListsEveryFileWithoutReadingIt) {
  Write("b.txt", "hello\nworld\n");
  Write("a.bin", std::string("\0\1\2", 3));
  Write("sub/c.txt", "x\ny\nz\n");
  Tfrm_utama& w = Show();
  pump.calls = 0;
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("a.bin", "b.txt", "c.txt"));
  // One pump per reported file and none per line: no engine looked at a line.
  EXPECT_EQ(pump.calls, 3u);
  EXPECT_EQ(w.StatusBar1.Panels[0].Text, "Found : 3");
  EXPECT_EQ(w.StatusBar1.Panels[1].Text, "");
  EXPECT_TRUE(w.Select1.Enabled && w.SaveList1.Enabled);
}

TEST_F(MainWindowTest, RowTextsFollowTheLocale) {
  const std::string name = Write("a.txt", std::string(1536, 'x'));
  SetFileTime(name, std::time(nullptr));
  locale.decimal = ',';
  Tfrm_utama& w = Show();
  Find("");
  ASSERT_EQ(w.ListView1.Items.size(), 1u);
  EXPECT_EQ(w.ListView1.Items[0].SubItems[2], "1,5000 KB");
  // The row keeps 2-second resolution; compare up to the day.
  EXPECT_EQ(w.ListView1.Items[0].SubItems[1].substr(0, 11),
            FormatDateTime("yyyy-MM-dd HH:mm", Now()).substr(0, 11));
  EXPECT_EQ(w.SizeText(5'000'000'000), "4882812,5000 KB");
}

TEST_F(MainWindowTest, AFileOfExactlyTheSizeLimitIsRejectedEitherWay) {
  Write("small.txt", std::string(1023, 'x'));
  Write("equal.txt", std::string(1024, 'x'));
  Write("large.txt", std::string(1025, 'x'));
  Tfrm_utama& w = Show();
  SetOptions({{"Size", "1"}, {"SizeSpinEdit", "1"}, {"KBComboBox", "0"}});
  SetOptions({{"MaximumRadioButton", "1"}, {"MinimumRadioButton", "0"}});
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("small.txt"));
  SetOptions({{"MaximumRadioButton", "0"}, {"MinimumRadioButton", "1"}});
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("large.txt"));
  SetOption("KBComboBox", "1");  // 1 MB: nothing is larger
  Find("");
  EXPECT_THAT(Captions(), IsEmpty());
  EXPECT_EQ(w.StatusBar1.Panels[0].Text, "Not Found");
  EXPECT_FALSE(w.Select1.Enabled || w.SaveList1.Enabled);
}

TEST_F(MainWindowTest, DateFiltersRejectFutureAndOldFiles) {
  const std::time_t now = std::time(nullptr);
  SetFileTime(Write("future.txt", "x"), now + 3 * 86400);
  SetFileTime(Write("recent.txt", "x"), now - 3600);
  SetFileTime(Write("old.txt", "x"), now - 10 * 86400);
  Tfrm_utama& w = Show();
  w.Now = [] { return Now(); };
  SetOptions({{"Date", "1"}, {"BetweenRadioButton", "0"}, {"Days", "1"}, {"DaysAgoSpinEdit", "5"}});
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("recent.txt"));
  // A file dated only minutes ahead is in the future too.
  const std::string soon = Write("soon.txt", "x");
  SetFileTime(soon, now + 120);
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("recent.txt"));
  std::filesystem::remove(soon);

  // Between two dates, both ends included.
  SetOptions({{"Days", "0"}, {"BetweenRadioButton", "1"}});
  w.registry->WriteDate("MinDateTimePicker", Today() - 11);
  w.registry->WriteDate("MaxDateTimePicker", Today() + 1);
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("old.txt", "recent.txt"));
}

TEST_F(MainWindowTest, IgnoredMasksAndFoldersSubfoldersOnlyWithTheOption) {
  Write("a/in-a.txt", "x");
  Write("a/b/in-b.txt", "x");
  Write("ab/in-ab.txt", "x");
  Write("top.txt", "x");
  Write("drop.log", "x");
  Tfrm_utama& w = Show();
  SetOptions({{"IgnoreFileXPCh", "1"}, {"IgnorePathXPCh", "1"}});
  w.registry->WriteIgnoreList("Mask", {"*.LOG"});
  w.registry->WriteIgnoreList("Path", {Tree() + "a/"});
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("in-ab.txt", "in-b.txt", "top.txt"));
  SetOption("IgnoreSubFoldXPCh", "1");
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("in-ab.txt", "top.txt"));
  // Search in Results ignores the ignore lists.
  SetOptions({{"IgnorePathXPCh", "0"}, {"IgnoreFileXPCh", "0"}});
  Find("");
  ASSERT_EQ(Captions().size(), 5u);
  SetOptions({{"IgnorePathXPCh", "1"}, {"IgnoreFileXPCh", "1"}});
  w.is_search_in_result.Checked = true;
  Find("");
  EXPECT_EQ(Captions().size(), 5u);
  // Without subfolders only the top folder is walked.
  SetOption("IncludeSubdirectoriesCheckBox", "0");
  w.is_search_in_result.Checked = false;
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("top.txt"));
}

TEST_F(MainWindowTest, BackupFilesAreSkippedOnTheReplacePageOnly) {
  Write("x.txt", "x");
  Write("x.bak", "x");
  Write("y.BAK", "x");
  Tfrm_utama& w = Show();
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("x.bak", "x.txt", "y.BAK"));
  w.PageControl1.ActivePageIndex = kPageReplace;
  w.PageControl1Change();
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("x.txt"));
  SetOption("CreateBackupCheckBox", "0");
  Find("");
  EXPECT_EQ(Captions().size(), 3u);
}

// A row removed during the run ("Delete Items" stays usable) and a stop while the fourth file
// is reported: the rows left are sorted and the first one is selected.
TEST_F(MainWindowTest, StopKeepsSortsAndSelectsTheRowsFoundSoFar) {
  for (const char* name : {"f.txt", "e.txt", "d.txt", "c.txt", "b.txt", "a.txt"}) Write(name, "x");
  Tfrm_utama& w = Show();
  bool removed = false;
  pump.every = [&](std::size_t) {
    if (!removed && w.ListView1.Items.size() == 2) {
      removed = true;
      w.ListView1.Items.erase(w.ListView1.Items.begin());
      w.ListView1.Touch();
    }
    if (w.found_count == 3 && w.btn_stop.Enabled) w.btn_stopClick();
  };
  Find("");
  ASSERT_TRUE(removed);
  EXPECT_EQ(w.found_count, 4);
  ASSERT_EQ(w.ListView1.Items.size(), 3u);
  EXPECT_TRUE(
      std::is_sorted(w.ListView1.Items.begin(), w.ListView1.Items.end(),
                     [](const TListItem& a, const TListItem& b) { return a.Caption < b.Caption; }));
  EXPECT_TRUE(w.ListView1.Items[0].Selected);
  ExpectIdle(w);
}

TEST_F(MainWindowTest, RunningStateDisablesInputsAndHidesTheOtherTab) {
  Write("a.txt", "x");
  Tfrm_utama& w = Show();
  bool checked = false;
  pump.every = [&](std::size_t) {
    if (checked) return;  // the first pump: while the finder reports a.txt
    checked = true;
    EXPECT_FALSE(w.btn_find.Enabled);
    EXPECT_TRUE(w.btn_stop.Enabled && w.btn_stop_1.Enabled);
    EXPECT_FALSE(w.cmb_path.Enabled || w.RG_Type.Enabled || w.is_search_in_result.Enabled);
    EXPECT_FALSE(w.File1.Enabled || w.PageControl1.TabSheet2.TabVisible);
    EXPECT_TRUE(w.ListView1.Enabled);
    EXPECT_EQ(w.StatusBar1.Panels[1].Text, Tree() + "a.txt");
    EXPECT_EQ(viewer.Last(), kAboutBlank);
  };
  Find("x");
  EXPECT_TRUE(checked);
  EXPECT_TRUE(w.PageControl1.TabSheet2.TabVisible);
}

TEST_F(MainWindowTest, SearchInResultsSearchesOnlyTheListedFiles) {
  Write("a.txt", "red green");
  Write("b.txt", "red");
  Write("c.txt", "green");
  Tfrm_utama& w = Show();
  Find("red");
  ASSERT_EQ(Captions().size(), 2u);
  w.is_search_in_result.Checked = true;
  Find("green");
  EXPECT_THAT(Captions(), ElementsAre("a.txt"));
}

TEST_F(MainWindowTest, UnbalancedSearchEngineQueryWarnsAndStartsNothing) {
  Write("a.txt", "x");
  Tfrm_utama& w = Show();
  Find("");
  ASSERT_EQ(Captions().size(), 1u);
  w.RG_Type.ItemIndex = 3;
  w.RG_TypeClick();
  viewer.targets.clear();
  Find("\"open");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Missing \"");
  EXPECT_EQ(Captions().size(), 1u);  // the list is untouched
  EXPECT_TRUE(viewer.targets.empty());
  EXPECT_TRUE(w.btn_find.Enabled && w.PageControl1.TabSheet2.TabVisible);
  EXPECT_THAT(w.cmb_query.Items, ElementsAre("\"open"));  // recently used entries stay
}

TEST_F(MainWindowTest, RecentlyUsedListsAddEachTextOnce) {
  Tfrm_utama& w = Show();
  for (const char* path : {"/tmp/x", "/tmp/x", "/TMP/x"}) {
    w.cmb_path.Text = path;
    w.btn_findClick();
  }
  EXPECT_THAT(w.cmb_path.Items, ElementsAre(folders.home, "/tmp/x", "/TMP/x"));
}

TEST_F(MainWindowTest, AnErrorEndsTheRunAndRestoresTheWindow) {
  Write("a.txt", "x");
  Tfrm_utama& w = Show();
  SetOption("IgnoreFileXPCh", "1");
  w.registry->WriteIgnoreList("Mask", {"[a"});
  Find("");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find("is an invalid mask at"), std::string::npos);
  ExpectIdle(w);
  // An option that is not a number is reported once, not per file.
  Write("b.txt", "x");
  SetOptions({{"IgnoreFileXPCh", "0"}, {"Size", "1"}, {"SizeSpinEdit", "ten"}});
  Find("");
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "'ten' is not a valid integer value");
  ExpectIdle(w);
}

TEST_F(MainWindowTest, RunningOutOfMemoryIsShownOnceAndEndsTheRun) {
  // A progress call stands in for an allocation that fails while a line is examined.
  Write("a.txt", "x\ny\nneedle\n");
  Write("b.txt", "needle\n");
  Tfrm_utama& w = Show();
  pump.calls = 0;
  pump.at[2] = [] { throw std::bad_alloc(); };  // a.txt's file event, its lines before the match
  Find("needle");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot search \"" + Tree() + "a.txt\": Out of memory");
  EXPECT_EQ(dialogs.messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(Captions().empty());  // b.txt was never searched
  EXPECT_EQ(w.StatusBar1.Panels[0].Text, "Not Found");
  ExpectIdle(w);

  // Outside a file's search (at a file event) it is told as plainly, not by the type's name.
  pump.calls = 0;
  pump.at = {{1, [] { throw std::bad_alloc(); }}};
  Find("needle");
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Out of memory");
  ExpectIdle(w);

  // The same failure in a preview is no empty page either.
  Find("needle");
  ASSERT_EQ(Captions().size(), 2u);
  pump.every = [](std::size_t) { throw std::bad_alloc(); };
  EXPECT_THROW(w.SelectRow(1, true), EEngineError);
  pump.every = nullptr;
}

// Panel 2: the files examined and the seconds so far while the view refreshes, the total when
// the run ends, and why a start folder could not be walked.
TEST_F(MainWindowTest, PanelTwoTellsProgressTotalsAndWhyNothingWasWalked) {
  Write("a.txt", "x");
  Write("b.txt", "x");
  Write("sub/c.txt", "x");
  Tfrm_utama& w = Show();
  double clock = 100;
  w.Seconds = [&] { return clock; };
  w.StatusBar1.Panels[2].Text = "from before";
  std::vector<std::string> seen;
  pump.every = [&](std::size_t) {
    if (seen.empty()) seen.push_back(w.StatusBar1.Panels[2].Text);
    clock += 0.5;
    w.ShowRunProgress();
    seen.push_back(w.StatusBar1.Panels[2].Text);
  };
  Find("");
  EXPECT_THAT(seen, ElementsAre("", "1 files examined, 0 s", "2 files examined, 1 s",
                                "3 files examined, 1 s"));
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "3 files examined in 1.5 s");
  w.ShowRunProgress();  // between runs nothing changes it
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "3 files examined in 1.5 s");
  pump.every = nullptr;

  w.cmb_path.Text = Tree() + "missing/";
  w.btn_findClick();
  EXPECT_EQ(w.StatusBar1.Panels[0].Text, "Not Found");
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "Folder does not exist");

  const NoAccessOverride noOverride;
  if (!noOverride.Active()) GTEST_SKIP() << "permission bits cannot be made to bind";
  ASSERT_EQ(::chmod((root / "tree").c_str(), 0), 0);
  Find("x");
  ::chmod((root / "tree").c_str(), 0755);
  EXPECT_EQ(w.StatusBar1.Panels[0].Text, "Not Found");
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "Permission denied");

  // Unreadable folders and files below it are counted; an unread file only when searched.
  Write("locked/d.txt", "x");
  ASSERT_EQ(::chmod((root / "tree/locked").c_str(), 0), 0);
  ASSERT_EQ(::chmod((root / "tree/b.txt").c_str(), 0), 0);
  Find("x");
  EXPECT_THAT(Captions(), ElementsAre("a.txt", "c.txt"));
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "3 files examined in 0.0 s, 2 unreadable");
  Find("");
  EXPECT_EQ(w.StatusBar1.Panels[2].Text, "3 files examined in 0.0 s, 1 unreadable");
  ::chmod((root / "tree/locked").c_str(), 0755);
}

TEST_F(MainWindowTest, ARegexThatDoesNotCompileIsShownBeforeAnyFileIsRead) {
  Write("a.txt", "(unclosed");
  Tfrm_utama& w = Show();
  w.RG_Type.ItemIndex = 5;
  w.RG_TypeClick();
  w.Memo_Query.SetText("(unclosed");
  Find("");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Regex(comp): ParseReg Unmatched () (pos 9)");
  EXPECT_EQ(dialogs.messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(Captions().empty());
  ExpectIdle(w);
}

// Each memo type takes its own options, each one from its own key: only the option set makes
// the query match.
TEST_F(MainWindowTest, MemoRunsTakeTheirOwnOptions) {
  Write("a.txt", "ab\n  c\n");
  const struct {
    int type;
    const char* on;
    const char* off;
    const char* query;
  } cases[] = {
      {5, "ExpSpaceCheckBox", "ExpPointCheckBox", "a b"},
      {4, "TrimLeftCheckBox", "TrimRightCheckBox", "c"},
  };
  for (const auto& c : cases) {
    Tfrm_utama& w = Show();
    SetOption(c.on, "1");
    SetOption(c.off, "0");
    w.RG_Type.ItemIndex = c.type;
    w.RG_TypeClick();
    w.Memo_Query.SetText(c.query);
    Find("");
    EXPECT_EQ(Captions().size(), 1u) << c.on;
  }
}

TEST_F(MainWindowTest, FindDuringAStoppedRunStartsAfterTheWalkReturned) {
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) Write(name, "x");
  Tfrm_utama& w = Show();
  int depth = 0;
  int deepest = 0;
  int starts = 0;
  w.finder->OnStart = [&](TMyFindFile&) {
    ++starts;
    deepest = std::max(deepest, ++depth);
  };
  auto finish = w.finder->OnFinish;
  w.finder->OnFinish = [&, finish](TMyFindFile& f) {
    --depth;
    finish(f);
  };
  bool clicked = false;
  pump.every = [&](std::size_t) {
    if (!clicked && w.found_count == 1) {
      clicked = true;
      w.btn_stopClick();
      w.btn_findClick();  // Stop enabled Find again; the clicks must wait, and run once
      w.btn_findClick();
    }
  };
  Find("");
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(w.found_count, 4);  // the second run was complete
  EXPECT_FALSE(w.Busy());
}

TEST_F(MainWindowTest, ClosingDuringARunStopsItAndStoresOnce) {
  for (int i = 0; i < 6; ++i) Write("f" + std::to_string(i) + ".txt", "x");
  Tfrm_utama& w = Show();
  int closes = 0;
  pump.every = [&](std::size_t) {
    if (w.found_count == 2 && !w.Closed()) {
      w.cmb_mask.Text = "*.txt";
      w.FormClose();
      ++closes;
    }
  };
  Find("");
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(w.Closed());
  EXPECT_FALSE(w.Busy());
  EXPECT_LT(w.found_count, 6);
  EXPECT_EQ(StoredValue("Software\\Velmora", "MasksComboBoxText"), "*.txt");
  // A second close stores nothing again.
  SetOption("FindSearchType", "4");
  w.FormClose();
  EXPECT_EQ(StoredValue("Software\\Velmora\\Option", "FindSearchType"), "4");
}

// Orders captions by their last character, so the locale's order is visibly not byte order.
class LastCharLocale : public TestLocale {
 public:
  int CompareStrings(std::string_view a, std::string_view b, bool) const override {
    const char x = a.empty() ? 0 : a.back();
    const char y = b.empty() ? 0 : b.back();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
};

TEST_F(MainWindowTest, RowsAreSortedByTheLocaleAndEqualCaptionsKeepTheirOrder) {
  Write("a/n1", "x");
  Write("b/n1", "x");
  Write("m3", "x");
  Write("z2", "x");
  LastCharLocale byLast;
  Show(keys, byLast).cmb_mask.Text = "*";
  Find("");
  ASSERT_THAT(Captions(), ElementsAre("n1", "n1", "z2", "m3"));
  // The walk reports a/ before b/; equal captions keep that order.
  EXPECT_EQ(window->ListView1.Items[0].SubItems[0], Tree() + "a/");
  EXPECT_EQ(window->ListView1.Items[1].SubItems[0], Tree() + "b/");
  window.reset();  // before the locale it borrows
}

TEST_F(MainWindowTest, DataFolderIsMadeWithItsMissingParents) {
  folders.appData = (root / "fresh" / "share").string() + "/";
  Write("a.txt", "needle\n");
  Tfrm_utama& w = Show();
  EXPECT_TRUE(std::filesystem::is_directory(w.data_folder));
  Find("needle");
  EXPECT_TRUE(std::filesystem::exists(w.PreviewFile()));
}

}  // namespace
}  // namespace velmora::testing
