// velmora-cli lines and modify, run as a process; modify is checked against the engines'
// own API on a second copy of the same file.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliRunner.h"
#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"

namespace velmora::testing {
namespace {

const std::string kBlue = "<font color=\"#0000FF\">";
const std::string kRedPlus = "<font color=\"#FF0000\">+</font>";

std::string Page(const TempTree& tree, const std::string& name, const std::string& body) {
  return "<html>\r\n<Title>Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n<strong>     File:  " + name +
         "      Path:  " + tree.Root().string() + "/</strong>\r\n" + body +
         "</pre>\r\n</body>\r\n</html>\r\n";
}

TEST(CliLines, WritesThePreviewPage) {
  const TempTree tree;
  const std::string file = tree.Write("f.txt", "a<b cat\nnothing\r\ncat & dog\nconcat\n");
  const std::string page = tree.Path("page.html");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--query", "cat", "--use-intervals", "--intervals", "2"},
       " line 1 : a&lt;b " + kBlue + "cat</font>\r\n" + kRedPlus + "line 3 : " + kBlue +
           "cat</font> &amp; dog\r\n" + " line 4 : con" + kBlue + "cat</font>\r\n"},
      {{"--type", "regex", "--query", "<|&"},
       "line 1 : a" + kBlue + "&lt;</font>b cat\r\nline 3 : cat " + kBlue + "&amp;</font> dog\r\n"},
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
    EXPECT_EQ(ReadFile(page), Page(tree, "f.txt", body)) << options[1];
  }
}

// One modification, run once through velmora-cli and once through the engine's API on a
// second copy of the same bytes, with each line's break kept and with --crlf.
struct ModifyCase {
  std::string name;
  std::string original;
  std::vector<std::string> args;  // engine and modify options
  std::string kept;               // each line keeps its break
  std::string crLf;               // with --crlf
  std::function<void(const std::string& file, LineBreaks breaks)> viaEngine;
};

TEST(CliModify, BackupThenTheSameBytesAsTheEngineApi) {
  const std::vector<ModifyCase> cases = {
      {"phrase replace, whole words, literal $1",
       "cat dog\r\nconcat\nno cat",
       {"--query", "cat", "--whole-words", "--mod", "replace", "--replacement", "$1"},
       "$1 dog\r\nconcat\nno $1",
       "$1 dog\r\nconcat\r\nno $1\r\n",
       [](const std::string& file, LineBreaks breaks) {
         Tmy_phrase engine;
         engine.Query = "cat";
         engine.WholeWords = true;
         engine.MakeBackup = true;
         engine.Breaks = breaks;
         engine.Replacement = "$1";
         engine.ModType = 1;
         engine.BuildLines(file);
         engine.Modify(file);
       }},
      {"regex replace on chosen lines",
       "10-20\n30-40\r50-60",
       {"--type", "regex", "--query", "(\\d+)-(\\d+)", "--mod", "replace", "--replacement", "$2-$1",
        "--intervals", "0,2"},
       "20-10\n30-40\r60-50",
       "20-10\r\n30-40\r\n60-50\r\n",
       [](const std::string& file, LineBreaks breaks) {
         Tmy_regexpr engine;
         engine.Query = "(\\d+)-(\\d+)";
         engine.MakeBackup = true;
         engine.Breaks = breaks;
         engine.Replacement = "$2-$1";
         engine.ModType = 1;
         engine.BuildLines(file);
         engine.SetIntervals({"0", "2"});
         engine.Modify(file);
       }},
      {"regex insert after, a replacement with a line break",
       "x abc y\r\nz\n",
       {"--type", "regex", "--query", "abc", "--mod", "insert-after", "--replacement", "1\n2"},
       "x abc1\r\n2 y\r\nz\n",
       "x abc1\r\n2 y\r\nz\r\n",
       [](const std::string& file, LineBreaks breaks) {
         Tmy_regexpr engine;
         engine.Query = "abc";
         engine.MakeBackup = true;
         engine.Breaks = breaks;
         engine.Replacement = "1\n2";
         engine.ModType = 3;
         engine.BuildLines(file);
         engine.Modify(file);
       }},
      {"multiline delete, trimmed",
       "a\n  b\nc\na\nb \n",
       {"--type", "multiline", "--query", "a\r\nb", "--mod", "delete"},
       "c\n",
       "c\r\n",
       [](const std::string& file, LineBreaks breaks) {
         Tmy_multiline engine;
         engine.SetLines({"a", "b"});
         engine.TrimLeft = engine.TrimRight = true;
         engine.MakeBackup = true;
         engine.Breaks = breaks;
         engine.ModType = 4;
         engine.BuildLines(file);
         engine.Modify(file);
       }},
      {"nothing chosen: the same bytes back",
       "#!/bin/sh\necho cat\r\n",
       {"--query", "cat", "--mod", "replace", "--replacement", "dog", "--intervals", ""},
       "#!/bin/sh\necho cat\r\n",
       "#!/bin/sh\r\necho cat\r\n",
       [](const std::string& file, LineBreaks breaks) {
         Tmy_phrase engine;
         engine.Query = "cat";
         engine.MakeBackup = true;
         engine.Breaks = breaks;
         engine.ModType = 1;
         engine.BuildLines(file);
         engine.SetIntervals({});
         engine.Modify(file);
       }},
  };
  for (const ModifyCase& c : cases) {
    for (const LineBreaks breaks : {LineBreaks::Kept, LineBreaks::CrLf}) {
      const bool kept = breaks == LineBreaks::Kept;
      const std::string label = c.name + (kept ? "" : ", --crlf");
      const TempTree tree;
      const std::string viaCli = tree.Write("cli.txt", c.original);
      const std::string viaApi = tree.Write("api.txt", c.original);
      std::vector<std::string> args{"modify", "--backup"};
      if (!kept) args.push_back("--crlf");
      args.insert(args.end(), c.args.begin(), c.args.end());
      args.push_back(viaCli);
      const CliResult result = RunCli(args);
      ASSERT_EQ(result.status, 0) << label << ": " << result.err;
      EXPECT_EQ(result.out, "") << label;
      EXPECT_EQ(ReadFile(viaCli), kept ? c.kept : c.crLf) << label;
      EXPECT_EQ(ReadFile(viaCli + ".bak"), c.original) << label;
      c.viaEngine(viaApi, breaks);
      EXPECT_EQ(ReadFile(viaApi), ReadFile(viaCli)) << label;
    }
  }
}

TEST(CliModify, ReplacementFileAndWithoutBackup) {
  const TempTree tree;
  const std::string file = tree.Write("f.txt", "ab ab\n");
  // The phrase's replacement box holds one line: the file's first line.
  const std::string replacement = tree.Write("r.txt", "[\nignored\n");
  const CliResult result = RunCli({"modify", "--query", "ab", "--mod", "insert-before",
                                   "--replacement-file", replacement, file});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFile(file), "[ab [ab\n");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
}

TEST(CliModify, StopsAtTheFirstErrorKeepingEarlierFiles) {
  const TempTree tree;
  const std::string first = tree.Write("1.txt", "x\nx\nx\nx\n");
  const std::string shortFile = tree.Write("2.txt", "x\nx\n");
  const std::string last = tree.Write("3.txt", "x\nx\nx\nx\n");
  // Line index 3 is past the end of the second file.
  const CliResult result = RunCli({"modify", "--query", "x", "--mod", "replace", "--replacement",
                                   "y", "--intervals", "3", first, shortFile, last});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err, "");
  EXPECT_EQ(ReadFile(first), "x\nx\nx\ny\n");
  EXPECT_EQ(ReadFile(shortFile), "x\nx\n");
  EXPECT_EQ(ReadFile(last), "x\nx\nx\nx\n");
}

}  // namespace
}  // namespace velmora::testing
