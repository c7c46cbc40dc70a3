// The window's modification run against velmora-cli modify on a copy of the same files: every
// file, and every backup, must come out byte for byte the same, for each search type of the
// page "Search and Replace", with the lines' own breaks kept and with CR LF after every line.

#include <string>
#include <vector>

#include "app/MainWindowFixture.h"
#include "cli/CliRunner.h"

namespace velmora::testing {
namespace {

struct ModifyCase {
  int searchType;  // item index of RG_Type_1
  std::string cliType;
  std::string query;
  int modType;  // item index of RG_Mod
  std::string cliMod;
  std::string replacement;
  std::string firstRowMod;  // the first row's "Mod" text
  bool crLf;                // "CrLfCheckBox" and --crlf
};

const std::vector<std::pair<std::string, std::string>> kFiles = {
    {"a.txt", "The cat sat\r\non the cat mat\r\ncat\r\n"},
    {"b.txt", "red\nblue\nCAT\nred\r\nblue\n"},
    {"sub/c.txt", "  red  \n blue\ncat"},
};

bool HasLoneLf(const std::string& bytes) {
  for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    if (i == 0 || bytes[i - 1] != '\r') return true;
  }
  return false;
}

class CliModifyAgainstWindow : public MainWindowTest {
 protected:
  void WindowRun(const ModifyCase& c, const std::string& folder) {
    Tfrm_utama& w = Show();
    w.registry->WriteBool("CrLfCheckBox", c.crLf);
    w.PageControl1.ActivePageIndex = kPageReplace;
    w.RG_Type_1.ItemIndex = c.searchType;
    w.PageControl1Change();
    w.RG_Mod.ItemIndex = c.modType;
    w.RG_ModClick();
    w.cmb_path.Text = folder;
    const bool memo = c.searchType != 0;
    w.cmb_query_1.Text = memo ? "" : c.query;
    w.Memo_Query_1.SetText(memo ? c.query : "");
    w.cmb_replace.Text = memo ? "" : c.replacement;
    w.Memo_Replace.SetText(memo ? c.replacement : "");
    w.btn_findClick();
    ASSERT_FALSE(w.ListView1.Items.empty());
    w.ListView1.Items[0].SubItems[3] = c.firstRowMod;
    w.btn_mod_allClick();
    for (const auto& row : w.ListView1.Items) rows.push_back({row.SubItems[0], row.Caption});
  }

  std::vector<std::pair<std::string, std::string>> rows;  // folder, name of each listed row
};

TEST_F(CliModifyAgainstWindow, SameBytesForEverySearchType) {
  const ModifyCase cases[] = {
      {0, "phrase", "cat", 1, "replace", "dog", "1", false},
      {1, "multiline", "red\nblue", 3, "insert-after", "green\nwhite", "No", false},
      {2, "regex", "c(a)t", 1, "replace", "<$1>", "2", false},
      {0, "phrase", "cat", 1, "replace", "dog", "1", true},
      {1, "multiline", "red\nblue", 3, "insert-after", "green\nwhite", "No", true},
      {2, "regex", "c(a)t", 1, "replace", "<$1>\n", "2", true},
  };
  for (const ModifyCase& c : cases) {
    const std::string folder = Tree() + c.cliType + (c.crLf ? "-crlf/" : "/");
    TempFolder cliTree;
    for (const auto& [name, bytes] : kFiles) {
      Write(folder.substr(Tree().size()) + name, bytes);
      cliTree.Write(name, bytes);
    }
    rows.clear();
    WindowRun(c, folder);
    ASSERT_GE(rows.size(), 2u) << c.cliType;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::string relative = rows[i].first.substr(folder.size()) + rows[i].second;
      std::vector<std::string> args = {"modify",      "--type",  c.cliType, "--query",
                                       c.query,       "--mod",   c.cliMod,  "--replacement",
                                       c.replacement, "--backup"};
      if (c.crLf) args.push_back("--crlf");
      if (i == 0 && c.firstRowMod != "No") {
        args.push_back("--intervals");
        args.push_back(c.firstRowMod);
      }
      args.push_back(cliTree / relative);
      const CliResult result = RunCli(args);
      EXPECT_EQ(result.err, "") << c.cliType;
    }
    int changed = 0;
    for (const auto& [name, bytes] : kFiles) {
      const std::string after = ReadFile(folder + name);
      if (after != bytes) {
        ++changed;
        // The window took the option: CR LF everywhere, or the file's own LF breaks kept.
        EXPECT_EQ(HasLoneLf(after), !c.crLf && HasLoneLf(bytes)) << c.cliType << " " << name;
      }
      EXPECT_EQ(ReadFile(folder + name), ReadWholeFile(cliTree / name)) << c.cliType << " " << name;
      EXPECT_EQ(ReadFile(folder + name + ".bak"), ReadWholeFile(cliTree / name + ".bak"))
          << c.cliType << " " << name;
    }
    EXPECT_GE(changed, 2) << c.cliType;
  }
}

}  // namespace
}  // namespace velmora::testing
