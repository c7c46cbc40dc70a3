// velmora-cli against the window's own search run on the same tree: for every search type
// both must list the same files and write the same "Lines Viewer" page for each of them.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/MainWindowFixture.h"
#include "cli/CliRunner.h"

namespace velmora::testing {
namespace {

struct TypeCase {
  int itemIndex;  // of RG_Type
  std::string cliType;
  std::string query;
  bool caseSensitive;
  bool wholeWords;
};

class CliAgainstWindow : public MainWindowTest {
 protected:
  std::vector<std::string> WindowRun(const TypeCase& c) {
    Tfrm_utama& w = *window;
    w.RG_Type.ItemIndex = c.itemIndex;
    w.RG_TypeClick();
    w.is_case_sensitive.Checked = c.caseSensitive;
    w.is_whole_words.Checked = c.wholeWords;
    w.cmb_path.Text = Tree();
    // Multiline and regex read the memo; the others the query box.
    const bool memo = c.itemIndex >= 4;
    w.cmb_query.Text = memo ? "" : c.query;
    w.Memo_Query.SetText(memo ? c.query : "");
    w.btn_findClick();
    std::vector<std::string> names;
    for (const auto& row : w.ListView1.Items) names.push_back(row.SubItems[0] + row.Caption);
    std::sort(names.begin(), names.end());
    return names;
  }

  // The window's preview page of every row, by full name: a change of a row's selection
  // previews that row.
  std::map<std::string, std::string> WindowPages() {
    Tfrm_utama& w = *window;
    std::map<std::string, std::string> pages;
    for (std::size_t i = 0; i < w.ListView1.Items.size(); ++i) {
      w.SelectRow(static_cast<int>(i), !w.ListView1.Items[i].Selected);
      pages[Tfrm_utama::FullName(w.ListView1.Items[i])] = ReadFile(w.PreviewFile());
    }
    return pages;
  }

  // velmora-cli COMMAND with the case's engine options, then `tail`; it must print no error.
  CliResult Cli(const char* command, const TypeCase& c, const std::vector<std::string>& tail) {
    std::vector<std::string> args{command, "--type", c.cliType, "--query", c.query};
    if (c.caseSensitive) args.push_back("--case-sensitive");
    if (c.wholeWords) args.push_back("--whole-words");
    args.insert(args.end(), tail.begin(), tail.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.err, "") << command << " " << tail.back();
    return result;
  }

  std::string CliPage(const TypeCase& c, const std::string& fileName) {
    const std::string page = (root / "cli-page.html").string();
    Cli("lines", c, {"--page", page, fileName});
    return ReadFile(page);
  }

  std::vector<std::string> CliRun(const TypeCase& c) {
    std::vector<std::string> names = OutputLines(Cli("find", c, {Tree()}).out);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(CliAgainstWindow, SameFilesAndPagesForEverySearchType) {
  Write("a.txt", "The Cat sat\r\non the mat\r\n");
  Write("b.txt", "concatenate\nred\nblue\n");
  Write("c.log", "cat-22 and a dog\n");
  Write("sub/d.txt", "  red\nblue  \n");
  Write("sub/deeper/e.txt", "CAT\n\"big dog\"\n");
  Write("sub/f.bin", std::string("dog\0cat\n", 8));
  Write("sub/g.txt", "");
  Show();
  const std::vector<TypeCase> cases = {
      {0, "phrase", "cat", false, false},
      {0, "phrase", "cat", true, true},
      {0, "phrase", "", false, false},
      {1, "word-or", "mat dog", false, false},
      {2, "word-and", "cat dog", false, true},
      {3, "query", "+cat -\"big dog\"", false, false},
      {3, "query", "dog red", true, false},
      {4, "multiline", "red\nblue", false, false},
      {5, "regex", "c.t-\\d+|^red$", false, false},
  };
  for (const TypeCase& c : cases) {
    const std::vector<std::string> byWindow = WindowRun(c);
    // Every case finds some files but not all seven, so the comparison says something.
    EXPECT_GT(byWindow.size(), 0u) << c.cliType << " " << c.query;
    if (!c.query.empty()) {
      EXPECT_LT(byWindow.size(), 7u) << c.cliType << " " << c.query;
    }
    EXPECT_EQ(CliRun(c), byWindow) << c.cliType << " " << c.query;
    if (c.query.empty()) continue;  // no engine: the pages have no lines
    for (const auto& [name, page] : WindowPages()) {
      EXPECT_NE(page.find("line "), std::string::npos) << c.cliType << " " << name;
      EXPECT_EQ(CliPage(c, name), page) << c.cliType << " " << c.query << " " << name;
    }
  }
}

}  // namespace
}  // namespace velmora::testing
