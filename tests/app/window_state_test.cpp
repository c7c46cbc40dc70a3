// The main window outside a run: layout rules per search type and page, persistence through
// the settings store, the preview of a row and the small commands.

#include "app/AboutBox.h"
#include "app/MainWindowFixture.h"
#include "engines/Un_Phrase.h"
#include "settings/FileKeyStore.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(MainWindowTest, ReplacePageLayoutTheClearItemAndTheReplacementBoxes) {
  Write("a.txt", "x");
  Tfrm_utama& w = ShowReplacePage(0, 0);
  Find("");
  ASSERT_TRUE(w.exec_file.Enabled && w.ExecuteFile1.Enabled);
  w.RG_Type_1.ItemIndex = 1;
  w.RG_Type_1Click();
  // A type change drops the shown row: its commands and its page.
  EXPECT_FALSE(w.exec_file.Enabled || w.ExecuteFile1.Enabled);
  EXPECT_EQ(viewer.Last(), kAboutBlank);
  w.RG_Type_1.ItemIndex = 0;
  w.RG_Type_1Click();
  for (const auto& [index, boxes] : {std::pair{0, false}, {3, true}, {4, false}, {1, true}}) {
    w.RG_Mod.ItemIndex = index;
    w.RG_ModClick();
    EXPECT_EQ(w.cmb_replace.Enabled, boxes) << index;
  }
  w.ListView1.Items.clear();
  w.RG_ModClick();
  EXPECT_FALSE(w.btn_mod_all.Enabled);  // the list is empty
  Find("");
  w.RG_ModClick();
  EXPECT_TRUE(w.btn_mod_all.Enabled);

  // "Clear" selected, then "Reg Expr": no type left, replacement boxes disabled.
  w.RG_Mod.ItemIndex = 5;
  w.RG_ModClick();
  w.RG_Type_1.ItemIndex = 2;
  w.RG_Type_1Click();
  EXPECT_EQ(w.RG_Mod.Items.size(), 5u);
  EXPECT_EQ(w.RG_Mod.ItemIndex, -1);
  EXPECT_FALSE(w.cmb_replace.Enabled || w.Memo_Replace.Enabled);
  // Back to "Phrase": "Clear" returns as the last item.
  w.RG_Type_1.ItemIndex = 0;
  w.RG_Type_1Click();
  EXPECT_EQ(w.RG_Mod.Items.back(), "Clear");
  EXPECT_EQ(w.RG_Mod.Items.size(), 6u);
}

TEST_F(MainWindowTest, StateAndPlaceSurviveACloseAndAFreshStart) {
  Tfrm_utama& w = Show();
  w.cmb_path.Items = {"/a/", "/b/", "/c/", "/d/", "/e/"};
  w.cmb_path.Text = "/typed/";
  w.cmb_query.Items = {"one", "two"};
  w.cmb_query.Text = "two";
  w.cmb_replace.Items = {"r"};
  w.RG_Type.ItemIndex = 5;
  w.RG_Type_1.ItemIndex = 2;
  w.RG_Mod.ItemIndex = 3;
  w.is_case_sensitive.Checked = w.is_whole_words.Checked = true;
  w.last_backups = {"/x.txt.bak"};
  std::tie(w.Left, w.Top, w.Width, w.Height, w.Splitter1.Position) =
      std::tuple(40, 30, 900, 600, 350);
  w.ListView1.Columns[4].Width = 33;
  w.FormClose();
  EXPECT_EQ(StoredValue("Software\\Velmora\\Backup", "FileBackUp0"), "/x.txt.bak");

  auto place = [](const Tfrm_utama& f) {
    return std::vector<int>{
        f.Left, f.Top, f.Width, f.Height, f.Splitter1.Position, f.ListView1.Columns[4].Width};
  };
  Tfrm_utama& again = Show();
  EXPECT_THAT(again.cmb_path.Items, ElementsAre("/a/", "/b/", "/c/", "/d/", "/e/"));
  EXPECT_EQ(again.cmb_path.Text, "/typed/");
  EXPECT_THAT(again.cmb_query.Items, ElementsAre("one", "two"));
  EXPECT_EQ(again.cmb_query.Text, "two");
  EXPECT_THAT(again.cmb_replace.Items, ElementsAre("r"));
  EXPECT_TRUE(again.Memo_Query.Visible);  // the restored type 5 was laid out
  EXPECT_EQ(again.RG_Type_1.ItemIndex, 2);
  EXPECT_EQ(again.RG_Mod.ItemIndex, 3);
  EXPECT_TRUE(again.is_case_sensitive.Checked && again.is_whole_words.Checked);
  EXPECT_EQ(place(again), std::vector<int>({40, 30, 900, 600, 350, 33}));
  // That backup does not exist: it was dropped, so the manager stays disabled.
  EXPECT_FALSE(again.EraseBackup1.Enabled);
  again.registry->AddBackups({Write("a.txt.bak", "x")});
  EXPECT_TRUE(Show().EraseBackup1.Enabled);

  // Not numbers, or sizes that are not positive: the form's own values stay.
  MemoryKeyStore empty;
  std::vector<int> expected = place(Show(empty, locale));
  expected[0] = -20;
  expected[1] = 30;
  keys.OpenKey("Software\\Velmora", true);
  for (const auto& [name, text] : {std::pair{"frm_utamaWidth", "wide"},
                                   {"frm_utamaHeight", "0"},
                                   {"frm_utamaLeft", "-20"},
                                   {"Splitter1Position", ""},
                                   {"ListView1Column4Width", "-3"}})
    keys.WriteString(name, text);
  EXPECT_EQ(place(Show()), expected);
}

TEST_F(MainWindowTest, UnreadableSettingsFileKeptAsideIsToldOnceByName) {
  const std::string file = (root / "registry.reg").string();
  WriteWholeFile(file, "not a settings file\n");
  FileKeyStore store(file);
  ASSERT_FALSE(store.CorruptCopy().empty());
  Show(store, locale);
  Show(store, locale);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text, ::testing::HasSubstr("\"" + store.CorruptCopy() + "\""));
  EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);
  window.reset();  // it saves to the store as it closes, so it goes before the store
}

TEST_F(MainWindowTest, PreviewWritesThePageAndEnablesTheRowCommands) {
  Write("a.txt", "first\nsecond needle\n");
  const std::string b = Write("b.txt", "needle\n");
  Tfrm_utama& w = Show();
  Find("needle");
  ASSERT_EQ(w.ListView1.Items.size(), 2u);
  const std::string page = ReadFile(w.PreviewFile());
  EXPECT_NE(page.find("<Title>Lines Viewer</Title>"), std::string::npos);
  EXPECT_NE(page.find("line 2 : second <font color=\"#0000FF\">needle</font>"), std::string::npos);
  EXPECT_TRUE(w.exec_file.Enabled && w.edt_file.Enabled && w.btn_del_items.Enabled);

  // Deselecting a row previews that row again.
  viewer.targets.clear();
  w.SelectRow(1, true);
  w.SelectRow(1, false);
  EXPECT_EQ(viewer.targets.size(), 2u);
  EXPECT_NE(ReadFile(w.PreviewFile()).find("File:  b.txt"), std::string::npos);

  // A file deleted meanwhile shows an empty page without a message.
  std::filesystem::remove(b);
  w.SelectRow(1, true);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(viewer.Last(), w.PreviewFile());
  EXPECT_EQ(ReadFile(w.PreviewFile()).find("line 1"), std::string::npos);
}

TEST_F(MainWindowTest, PreviewLeavesABusyEngineAlone) {
  Write("a.txt", "needle\n");
  std::string lines;
  for (int i = 0; i < 50; ++i) lines += "line without it\n";
  Write("sub/b.txt", lines + "needle\n");  // walked after a.txt
  Tfrm_utama& w = Show();
  bool tried = false;
  pump.every = [&](std::size_t) {
    if (tried || w.phrase->Idle || w.ListView1.Items.empty()) return;
    tried = true;
    const std::size_t navigations = viewer.targets.size();
    w.SelectRow(0, true);
    EXPECT_EQ(viewer.targets.size(), navigations);
    EXPECT_FALSE(std::filesystem::exists(w.PreviewFile()));
    EXPECT_TRUE(w.btn_stop.Enabled);  // the run's state is untouched
  };
  Find("needle");
  ASSERT_TRUE(tried);
  EXPECT_EQ(w.ListView1.Items.size(), 2u);
}

TEST_F(MainWindowTest, ReplacePagePreviewMarksTheRowsChosenLines) {
  std::string text;
  for (int i = 0; i < 6; ++i) text += "hit " + std::to_string(i) + "\n";
  Write("a.txt", text);
  Tfrm_utama& w = ShowReplacePage(0, 1);
  SetOption("PhraseXPCheckBox", "1");
  Find("hit");
  ASSERT_EQ(w.ListView1.Items.size(), 1u);
  EXPECT_TRUE(w.phrase->UseIntervals && w.ModificationInterfal1.Enabled);
  EXPECT_NE(ReadFile(w.PreviewFile()).find("<font color=\"#FF0000\">+</font>line 1 : "),
            std::string::npos);
  w.ListView1.Items[0].SubItems[3] = "2,5";
  w.ListView1SelectItem(0, true);
  const std::string page = ReadFile(w.PreviewFile());
  EXPECT_NE(page.find("\r\n line 1 : "), std::string::npos);
  EXPECT_NE(page.find("<font color=\"#FF0000\">+</font>line 3 : "), std::string::npos);
  EXPECT_NE(page.find("\r\n line 4 : "), std::string::npos);
}

TEST_F(MainWindowTest, RowCommandsUseTheSelectedRowsFullName) {
  Write("a.txt", "x");
  Tfrm_utama& w = Show();
  w.exec_fileClick();  // no row: nothing
  w.edt_fileClick();
  EXPECT_TRUE(shell.opened.empty() && shell.started.empty());
  Find("");
  SetOption("Editor", "my editor");
  w.exec_fileClick();
  w.edt_fileClick();
  EXPECT_THAT(shell.opened, ElementsAre(Tree() + "a.txt"));
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_EQ(shell.started[0].program, "my editor");
  EXPECT_EQ(shell.started[0].argument, Tree() + "a.txt");  // one argument, unquoted
}

// Help.html beside the executable in a build folder, in share/velmora/ of an installed prefix.
TEST_F(MainWindowTest, ContentsOpensTheUserGuideFromTheBuildFolderOrTheInstalledPrefix) {
  // a guide beside the program, one installed, the one opened (the shell reports a missing one)
  for (const auto& [beside, installed, expected] : {std::tuple{true, false, "prefix/bin/Help.html"},
                                                    {false, true, "prefix/share/velmora/Help.html"},
                                                    {true, true, "prefix/bin/Help.html"},
                                                    {false, false, "prefix/bin/Help.html"}}) {
    std::filesystem::remove_all(root / "prefix");
    std::filesystem::create_directories(root / "prefix/share/velmora");
    std::filesystem::create_directories(root / "prefix/bin");
    if (beside) WriteWholeFile((root / "prefix/bin/Help.html").string(), "guide");
    if (installed) WriteWholeFile((root / "prefix/share/velmora/Help.html").string(), "guide");
    folders.program = (root / "prefix/bin").string() + "/";
    shell.opened.clear();
    Show().Contents1Click();
    EXPECT_THAT(shell.opened, ElementsAre((root / expected).string())) << beside << installed;
  }
}

TEST_F(MainWindowTest, AboutIsATypedModalWindowWhoseLinkOpensTheGuide) {
  Tfrm_utama& w = Show();
  forms.answer = [](TForm& form) {
    auto& about = dynamic_cast<TAboutBox&>(form);
    about.HelpLinkClick();
    about.OKButtonClick();
  };
  w.About1Click();
  EXPECT_THAT(forms.shown, ElementsAre("About"));
  EXPECT_THAT(shell.opened, ElementsAre(folders.program + kHelpFileName));
}

TEST_F(MainWindowTest, BrowseStartsInTheTypedFolderAndGivesItBackWithADelimiter) {
  Tfrm_utama& w = Show();
  const std::string chosen = (root / "tree").string();
  for (const std::string& typed : {Tree(), (root / "missing").string()}) {
    w.cmb_path.Text = typed;
    dialogs.folders = {chosen};
    w.btn_browseClick();
    EXPECT_EQ(w.cmb_path.Text, chosen + "/");
  }
  // The second start: the folder the first pick made current.
  EXPECT_THAT(dialogs.pickInitials, ElementsAre(Tree(), chosen));
}

TEST_F(MainWindowTest, ALoneLineBreakInAMemoSearchesABlankLine) {
  Write("blank.txt", "x\n\ny\n");
  Write("full.txt", "x\ny\n");
  Tfrm_utama& w = Show();
  w.RG_Type.ItemIndex = 4;
  w.RG_TypeClick();
  w.Memo_Query.SetText("\n");
  Find("");
  EXPECT_THAT(Captions(), ElementsAre("blank.txt"));
}

}  // namespace
}  // namespace velmora::testing
