// velmora-cli --timeout: a run that cannot end in time stops as Stop stops it, says so and
// exits with status 2; a stopped modification leaves the file as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace velmora::testing {
namespace {

// A back-reference keeps this pattern exponential: no run over these lines ever ends.
constexpr const char* kEndless = "(a+)+\\1b";

TEST(CliTimeout, RunsThatCannotEndStopWithAMessageAndStatusTwo) {
  TempFolder tree;
  const std::string text = std::string(60, 'a') + "!b\n";
  const std::string file = tree.Write("slow.txt", text);
  const std::vector<std::string> common = {"--type", "regex",     "--query",
                                           kEndless, "--timeout", "0.3"};
  const struct {
    const char* what;
    std::vector<std::string> args;
  } runs[] = {
      {"find", {"find", tree.Root()}},
      {"lines", {"lines", "--page", tree / "page.html", file}},
      {"modify", {"modify", "--mod", "replace", "--replacement", "X", file}},
  };
  for (const auto& run : runs) {
    std::vector<std::string> args = run.args;
    args.insert(args.begin() + 1, common.begin(), common.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << run.what << ": " << result.err;
    EXPECT_EQ(result.err, "Stopped: the time limit of 0.3 seconds was reached\n") << run.what;
  }
  EXPECT_EQ(ReadWholeFile(file), text);
}

TEST(CliTimeout, ValuesThatAreNoTimeAreUsageErrors) {
  TempFolder tree;
  for (const char* value : {"0", "-1", "1s", "nan"}) {
    const CliResult result = RunCli({"find", "--timeout", value, tree.Root()});
    EXPECT_EQ(result.status, 2) << value;
    EXPECT_NE(result.err.find("--timeout needs a positive number of seconds"), std::string::npos)
        << value << ": " << result.err;
  }
}

}  // namespace
}  // namespace velmora::testing
