// velmora-cli find, run as a process on trees made in temporary folders.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace velmora::testing {
namespace {

class CliFind : public ::testing::Test {
 protected:
  CliFind() {
    tree_.Write("top.txt", "The quick brown fox\r\njumps\r\n");
    tree_.Write("README", "no dot in this name, fox inside\n");
    tree_.Write("A/one.txt", "nothing here\n");
    tree_.Write("A/deep/two.txt", "a Fox and a dog\n");
    tree_.Write("B/three.log", std::string("before\0the fox hides after a NUL\n", 34));
    tree_.Write("B/Top.txt", "red\nsomething\nblue\n");
    tree_.Write("B/deep/top.txt", "foxes everywhere\n");
  }

  std::string Root() const { return tree_.Root(); }
  std::string P(const std::string& relative) const { return tree_ / relative; }

  CliResult Find(std::vector<std::string> args) const {
    args.insert(args.begin(), "find");
    args.push_back(Root());
    return RunCli(args);
  }

  TempFolder tree_;
};

// Without --sort the walk's order (breadth first, bytewise); with it by name, then folder.
TEST_F(CliFind, EmptyQueryListsEveryFileInWalkOrderOrSorted) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"",
       {"README", "top.txt", "A/one.txt", "B/Top.txt", "B/three.log", "A/deep/two.txt",
        "B/deep/top.txt"}},
      {"--sort",
       {"README", "B/Top.txt", "A/one.txt", "B/three.log", "top.txt", "B/deep/top.txt",
        "A/deep/two.txt"}},
  };
  for (const auto& [option, names] : cases) {
    const CliResult result =
        Find(option.empty() ? std::vector<std::string>{} : std::vector{option});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(OutputLines(result.out), tree_ / names) << option;
  }
  // A mask that matches nothing: status 1, nothing printed.
  const CliResult none = Find({"--mask", "*.pdf"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");
}

TEST_F(CliFind, EngineOptionsMaskAndSubfolders) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> expected;  // relative names, sorted output
  };
  const std::vector<Case> cases = {
      // Not case-sensitive by default; text after a NUL byte is not seen.
      {{"--query", "fox"}, {"README", "top.txt", "B/deep/top.txt", "A/deep/two.txt"}},
      {{"--query", "fox", "--case-sensitive"}, {"README", "top.txt", "B/deep/top.txt"}},
      {{"--query", "fox", "--whole-words"}, {"README", "top.txt", "A/deep/two.txt"}},
      {{"--query", "fox", "--no-subfolders"}, {"README", "top.txt"}},
      {{"--query", "fox", "--mask", "*.txt"}, {"top.txt", "B/deep/top.txt", "A/deep/two.txt"}},
      // The walk's "*.*" lets names without a dot through; "*.t?t" does not.
      {{"--mask", "t*.T?T", "--no-subfolders"}, {"top.txt"}},
      {{"--type", "word-or", "--query", "dog quick"}, {"top.txt", "A/deep/two.txt"}},
      {{"--type", "word-and", "--query", "dog fox", "--whole-words"}, {"A/deep/two.txt"}},
      {{"--type", "query", "--query", "+fox -dog -\"quick brown\""}, {"README", "B/deep/top.txt"}},
      {{"--type", "query", "--query", "red jumps", "--case-sensitive"}, {"B/Top.txt", "top.txt"}},
      {{"--type", "regex", "--query", "qu ick", "--ignore-space"}, {"top.txt"}},
      {{"--type", "regex", "--query", "qu ick"}, {}},
      {{"--type", "multiline", "--query", "  red\nsomething  "}, {"B/Top.txt"}},
      {{"--type", "multiline", "--query", "  red\nsomething", "--no-trim-left"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--sort");
    const CliResult result = Find(args);
    std::string expected;
    for (const auto& name : c.expected) expected += P(name) + "\n";
    EXPECT_EQ(result.out, expected) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(result.status, c.expected.empty() ? 1 : 0) << c.args[1];
  }
}

TEST_F(CliFind, QueryFileTakesTheFirstLineOrTheWholeBlock) {
  const TempFolder other;
  const std::string phrase = other.Write("phrase.txt", "quick\r\nnot this line\r\n");
  EXPECT_EQ(Find({"--query-file", phrase, "--sort"}).out, P("top.txt") + "\n");
  const std::string block = other.Write("block.txt", "red\r\nsomething\r\n");
  EXPECT_EQ(Find({"--type", "multiline", "--query-file", block}).out, P("B/Top.txt") + "\n");
}

TEST_F(CliFind, ListModeReportsListedFilesThatStillExist) {
  const TempFolder other;
  const std::string list = other.Write("list.txt", P("B/Top.txt") + "\r\n" + P("gone.txt") + "\n" +
                                                       P("README") + "\n" + P("top.txt") + "\n");
  // List mode matches the mask against the whole name: "*.txt" passes the two .txt files.
  const CliResult result = Find({"--in-list", list, "--mask", "*.txt", "--query", "e"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, P("B/Top.txt") + "\n" + P("top.txt") + "\n");
}

// Like grep: every folder and file that cannot be read gets one line on stderr as the walk meets
// it, the matches are all printed, and the status is 2.
TEST_F(CliFind, UnreadableFoldersAndFilesAreToldAndTheStatusIsTwo) {
  tree_.Write("locked/fox.txt", "fox\n");
  const std::string secret = tree_.Write("B/secret.txt", "fox\n");
  ASSERT_EQ(chmod(P("locked").c_str(), 0), 0);
  ASSERT_EQ(chmod(secret.c_str(), 0), 0);
  const auto find = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "find");
    args.push_back(Root());
    return RunCliWithoutAccessOverride(args);
  };
  try {
    const std::string lockedLine = "velmora-cli: " + P("locked") + ": Permission denied\n";
    const CliResult search = find({"--query", "fox", "--sort"});
    EXPECT_EQ(search.status, 2);
    EXPECT_EQ(search.out, P("README") + "\n" + P("top.txt") + "\n" + P("B/deep/top.txt") + "\n" +
                              P("A/deep/two.txt") + "\n");
    EXPECT_EQ(search.err, "velmora-cli: " + secret + ": Permission denied\n" + lockedLine);
    // A walk that meets neither is not affected.
    const CliResult shallow = find({"--no-subfolders", "--query", "fox"});
    EXPECT_EQ(shallow.status, 0) << shallow.err;
    // Without a query no file is read: only the folder is told.
    const CliResult all = find({"--mask", "secret.txt"});
    EXPECT_EQ(all.status, 2);
    EXPECT_EQ(all.out, secret + "\n");
    EXPECT_EQ(all.err, lockedLine);
  } catch (const CannotDropOverride&) {
    GTEST_SKIP() << "permission bits cannot be made to bind";
  }
  chmod(P("locked").c_str(), 0755);
}

}  // namespace
}  // namespace velmora::testing
