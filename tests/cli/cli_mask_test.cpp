// velmora-cli mask, run as a process.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/CliRunner.h"

namespace velmora::testing {
namespace {

TEST(CliMask, PrintsOneVerdictPerName) {
  const CliResult result =
      RunCli({"mask", "*.txt", "a.txt", "README", "B.TXT", "read.me.txt", "txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "1\n0\n1\n1\n0\n");

  const CliResult set = RunCli({"mask", "[!a-c]x", "dx", "ax", "--", "-x"});
  EXPECT_EQ(set.out, "1\n0\n1\n");
}

TEST(CliMask, InvalidMaskGivesItsMessageOnly) {
  for (const auto& [mask, message] : std::vector<std::pair<std::string, std::string>>{
           {"[", "'[' is an invalid mask at (2)\n"},
           {"a[]", "'a[]' is an invalid mask at (3)\n"},
           {"[-a]", "'[-a]' is an invalid mask at (2)\n"}}) {
    const CliResult result = RunCli({"mask", mask, "a"});
    EXPECT_EQ(result.status, 2) << mask;
    EXPECT_EQ(result.out, "") << mask;
    EXPECT_EQ(result.err, message);
  }
}

}  // namespace
}  // namespace velmora::testing
