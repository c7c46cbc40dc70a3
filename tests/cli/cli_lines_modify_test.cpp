// velmora-cli lines and modify, run as a process.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliRunner.h"
#include "engines/EngineFixture.h"

namespace velmora::testing {
namespace {

const std::string kBlue = "<font color=\"#0000FF\">";
const std::string kRedPlus = "<font color=\"#FF0000\">+</font>";

TEST(CliLines, WritesThePreviewPage) {
  const TempFolder tree;
  const std::string file = tree.Write("f.txt", "a<b cat\nnothing\r\ncat & dog\nconcat\n");
  const std::string page = tree / "page.html";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--query", "cat", "--use-intervals", "--intervals", "2"},
       " line 1 : a&lt;b " + kBlue + "cat</font>\r\n" + kRedPlus + "line 3 : " + kBlue +
           "cat</font> &amp; dog\r\n" + " line 4 : con" + kBlue + "cat</font>\r\n"},
      {{"--type", "multiline", "--query", "nothing\ncat & dog"},
       kBlue + "line 2 - line 3</font>\r\n"},
  };
  for (const auto& [options, body] : cases) {
    std::vector<std::string> args{"lines", "--page", page};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(file);
    const CliResult result = RunCli(args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadWholeFile(page), ExpectedPage("f.txt", tree, body)) << options[1];
  }
}

// One modification with each line's break kept and with --crlf.
struct ModifyCase {
  std::string name;
  std::string original;
  std::vector<std::string> args;  // engine and modify options
  std::string kept;               // each line keeps its break
  std::string crLf;               // with --crlf
};

TEST(CliModify, BackupThenTheExpectedBytes) {
  const std::vector<ModifyCase> cases = {
      {"phrase replace, whole words, literal $1",
       "cat dog\r\nconcat\nno cat",
       {"--query", "cat", "--whole-words", "--mod", "replace", "--replacement", "$1"},
       "$1 dog\r\nconcat\nno $1",
       "$1 dog\r\nconcat\r\nno $1\r\n"},
      {"regex replace on chosen lines",
       "10-20\n30-40\r50-60",
       {"--type", "regex", "--query", "(\\d+)-(\\d+)", "--mod", "replace", "--replacement", "$2-$1",
        "--intervals", "0,2"},
       "20-10\n30-40\r60-50",
       "20-10\r\n30-40\r\n60-50\r\n"},
      {"multiline delete, trimmed",
       "a\n  b\nc\na\nb \n",
       {"--type", "multiline", "--query", "a\r\nb", "--mod", "delete"},
       "c\n",
       "c\r\n"},
      {"nothing chosen: the same bytes back",
       "#!/bin/sh\necho cat\r\n",
       {"--query", "cat", "--mod", "replace", "--replacement", "dog", "--intervals", ""},
       "#!/bin/sh\necho cat\r\n",
       "#!/bin/sh\r\necho cat\r\n"},
  };
  for (const ModifyCase& c : cases) {
    for (const bool kept : {true, false}) {
      const std::string label = c.name + (kept ? "" : ", --crlf");
      const TempFolder tree;
      const std::string viaCli = tree.Write("cli.txt", c.original);
      std::vector<std::string> args{"modify", "--backup"};
      if (!kept) args.push_back("--crlf");
      args.insert(args.end(), c.args.begin(), c.args.end());
      args.push_back(viaCli);
      const CliResult result = RunCli(args);
      ASSERT_EQ(result.status, 0) << label << ": " << result.err;
      EXPECT_EQ(result.out, "") << label;
      EXPECT_EQ(ReadWholeFile(viaCli), kept ? c.kept : c.crLf) << label;
      EXPECT_EQ(ReadWholeFile(viaCli + ".bak"), c.original) << label;
    }
  }
}

TEST(CliModify, ReplacementFileAndWithoutBackup) {
  const TempFolder tree;
  const std::string file = tree.Write("f.txt", "ab ab\n");
  // The phrase's replacement box holds one line: the file's first line.
  const std::string replacement = tree.Write("r.txt", "[\nignored\n");
  const CliResult result = RunCli({"modify", "--query", "ab", "--mod", "insert-before",
                                   "--replacement-file", replacement, file});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadWholeFile(file), "[ab [ab\n");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
}

TEST(CliModify, StopsAtTheFirstErrorKeepingEarlierFiles) {
  const TempFolder tree;
  const std::string first = tree.Write("1.txt", "x\nx\nx\nx\n");
  const std::string shortFile = tree.Write("2.txt", "x\nx\n");
  const std::string last = tree.Write("3.txt", "x\nx\nx\nx\n");
  // Line index 3 is past the end of the second file.
  const CliResult result = RunCli({"modify", "--query", "x", "--mod", "replace", "--replacement",
                                   "y", "--intervals", "3", first, shortFile, last});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err, "");
  EXPECT_EQ(ReadWholeFile(first), "x\nx\nx\ny\n");
  EXPECT_EQ(ReadWholeFile(shortFile), "x\nx\n");
  EXPECT_EQ(ReadWholeFile(last), "x\nx\nx\nx\n");
}

}  // namespace
}  // namespace velmora::testing
