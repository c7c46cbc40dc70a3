// Usage, version, errors, and the regex and mask commands of velmora-cli, run as a process.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "velmora_version.h"

namespace velmora::testing {
namespace {

TEST(CliUsage, VersionHelpAndBadArguments) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("velmora-cli ") + VersionString() + "\n");
  EXPECT_EQ(RunCli({"find", "--help"}).status, 0) << "help after a command is no usage error";

  // Each bad command line: exit 2, the usage on stderr, nothing on stdout.
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"find"},
      {"find", "--type", "fuzzy", "--query", "x", "."},
      {"lines", "--query", "x", "f.txt"},   // no --page
      {"modify", "--query", "x", "f.txt"},  // no --mod
      {"modify", "--type", "multiline", "--mod", "delete", "--intervals", "1", "f.txt"},
      {"regex", "--input", "x"},
      {"mask", "*.txt"},
  };
  for (const auto& args : bad) {
    const CliResult result = RunCli(args);
    std::string line;
    for (const auto& arg : args) line += arg + " ";
    EXPECT_EQ(result.status, 2) << line;
    EXPECT_EQ(result.out, "") << line;
    EXPECT_NE(result.err.find("Usage: velmora-cli"), std::string::npos) << line;
  }
}

TEST(CliUsage, FailedOutputIsAnError) {
  // A full disk must not pass for a complete listing.
  const CliResult result = RunCli({"mask", "*", "a"}, "/dev/full");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("write error"), std::string::npos);
}

// One line of 15 "start,length" pairs: the given leading pairs, the rest unset.
std::string Captures(const std::vector<std::string>& set) {
  std::string line;
  for (int i = 0; i < 15; ++i) {
    if (i > 0) line += ' ';
    line += i < static_cast<int>(set.size()) ? set[i] : "-1,-1";
  }
  return line + "\n";
}

struct RegexCase {
  std::vector<std::string> args;
  int status;
  std::string out;
};

TEST(CliRegex, OutputFormatAndExitStatus) {
  const std::vector<RegexCase> cases = {
      // Captures, 1-based starts; unset groups as -1,-1.
      {{"--expr", "(\\d+)-(\\d+)(x)?", "--input", "a 10-20 b"},
       0,
       Captures({"3,5", "3,2", "6,2", "-1,-1"})},
      // --all walks ExecNext; an empty match moves one character on.
      {{"--expr", "a*", "--input", "baa", "--all"},
       0,
       Captures({"1,0"}) + Captures({"2,2"}) + Captures({"4,0"})},
      // Modifiers in order: later pairs win; g0 makes quantifiers lazy.
      {{"--expr", "ABC", "--modifiers", "i1", "--input", "xabc"}, 0, Captures({"2,3"})},
      {{"--expr", "ABC", "--modifiers", "i1I0", "--input", "xabc"}, 1, ""},
      {{"--expr", "a+", "--modifiers", "g0", "--input", "aaa"}, 0, Captures({"1,1"})},
      // Replace prints exactly, without a newline; nothing matched keeps the input, status 1.
      {{"--expr", "a*", "--input", "baa", "--replace", "X"}, 0, "XbXX"},
      {{"--expr", "q", "--input", "abc", "--replace", "X"}, 1, "abc"},
      {{"--expr", "(b)(c)", "--input", "abcd", "--expand", "${2}x$1\\$1"}, 0, "cxb$1"},
      // Regex errors: code, position and message on stdout, status 3.
      {{"--expr", "*a", "--input", "x"},
       3,
       "error 115 1 Regex(comp): ?+*{ Follows Nothing (pos 1)\n"},
      {{"--expr", "", "--input", "x"},
       3,
       "error 1003 0 Regex(exec): Not Assigned Expression Property\n"},
  };
  for (const RegexCase& c : cases) {
    std::vector<std::string> args{"regex"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, c.status) << c.args[1];
    EXPECT_EQ(result.out, c.out) << c.args[1];
  }
}

TEST(CliRegex, FilesAreReadAsRawBytes) {
  const TempFolder tree;
  const std::string expr = tree.Write("expr.txt", "b\\r\\n");
  // The input ends at its NUL byte: the "x" after it is never seen.
  const std::string input = tree.Write("input.bin", std::string("ab\r\nc\0x", 7));
  EXPECT_EQ(RunCli({"regex", "--expr-file", expr, "--input-file", input}).out, Captures({"2,3"}));
  const std::string x = tree.Write("x.txt", "x");
  EXPECT_EQ(RunCli({"regex", "--expr-file", x, "--input-file", input}).status, 1);
}

TEST(CliMask, PrintsOneVerdictPerName) {
  const CliResult result =
      RunCli({"mask", "*.txt", "a.txt", "README", "B.TXT", "read.me.txt", "txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "1\n0\n1\n1\n0\n");
  EXPECT_EQ(RunCli({"mask", "[!a-c]x", "dx", "ax", "--", "-x"}).out, "1\n0\n1\n");
}

// Failures after a valid command line: exit 2, nothing on stdout, the message on stderr, and
// the files as they were. "@name" stands for a file in the test's folder.
TEST(CliErrors, ExitWithTwoAndTheirTexts) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
    bool exact;
  };
  const std::vector<Case> cases = {
      {{"mask", "[", "a"}, "'[' is an invalid mask at (2)\n", true},
      {{"find", "--type", "query", "--query", "fox \"brown", "@"}, "Missing \"\n", true},
      // A bad expression is an error, not "no file matches".
      {{"find", "--type", "regex", "--query", "(fox", "@"},
       "Regex(comp): ParseReg Unmatched ()",
       false},
      {{"find", "@no-such-folder"}, "no-such-folder", false},
      // List mode checks the mask too.
      {{"find", "--in-list", "@f.txt", "--mask", "a[]", "@"},
       "'a[]' is an invalid mask at (3)\n",
       true},
      {{"lines", "--type", "query", "--query", "\"open", "--page", "@p.html", "@f.txt"},
       "Missing \"\n",
       true},
      // An unreadable file is an error, not an empty page.
      {{"lines", "--query", "x", "--page", "@p.html", "@nope"}, "nope", false},
      {{"lines", "--query", "x", "--page", "@no/dir/p.html", "@f.txt"}, "p.html", false},
      // Only a regular file is read: a FIFO would hang, a device never end.
      {{"lines", "--query", "x", "--page", "@p.html", "@"}, "Is a directory\n", false},
      {{"lines", "--query", "x", "--page", "@p.html", "@fifo"}, "Not a regular file\n", false},
      // The page never overwrites its own input, under any name.
      {{"lines", "--query", "x", "--page", "@same.txt", "@f.txt"}, "itself", false},
      {{"modify", "--type", "regex", "--query", "a(", "--mod", "delete", "--backup", "@f.txt"},
       "Regex(comp)",
       false},
  };
  for (const Case& c : cases) {
    const TempFolder tree;
    const std::string file = tree.Write("f.txt", "a(b\n");
    ASSERT_EQ(mkfifo((tree / "fifo").c_str(), 0600), 0);
    std::filesystem::create_hard_link(file, tree / "same.txt");
    std::vector<std::string> args;
    for (const auto& arg : c.args) args.push_back(arg[0] == '@' ? tree / arg.substr(1) : arg);
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << c.args[1];
    EXPECT_EQ(result.out, "") << c.args[1];
    if (c.exact) {
      EXPECT_EQ(result.err, c.err);
    } else {
      EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadWholeFile(file), "a(b\n") << c.args[1];
    EXPECT_FALSE(std::filesystem::exists(file + ".bak")) << c.args[1];
  }
}

}  // namespace
}  // namespace velmora::testing
