// Patterns whose plain backtracking is exponential, and long lines under a greedy loop: the
// search ends in a bounded number of steps with the same result, and backtracking over a
// long loop does not take memory per character.

#include <string>

#include "regex/Regex.h"
#include "regex_test_util.h"

long AllocationCount();

namespace velmora {
namespace {

TEST(RegexRunaway, NestedRepeatsEndInBoundedStepsWithTheSameResult) {
  // The progress hook runs every few thousand steps; the search is stopped, and so fails,
  // long before an exponential search would end.
  constexpr int kMaxProgressCalls = 2000;
  const std::string as(10000, 'a');
  const struct {
    const char* pattern;
    std::string input;
    int start;  // 1-based, -1 for no match
    int length;
  } rows[] = {
      {"(a+)+b", as + "!b", -1, -1},    {"(a|aa)*c", as + "!c", 10002, 1},
      {"(a|aa)*c", as + "c", 1, 10001}, {"(aa|a)*c", as + "!c", 10002, 1},
      {"(a|a)+$", as + "!", -1, -1},    {"(x|a+)+z", "x" + as + "!z", -1, -1},
      {"(a+)+!", as + "!", 1, 10001},
  };
  for (const auto& row : rows) {
    TRegex re;
    int calls = 0;
    re.OnProgress = [&](bool& stop) { stop = ++calls > kMaxProgressCalls; };
    re.SetExpression(row.pattern);
    const bool found = re.Exec(row.input);
    EXPECT_LE(calls, kMaxProgressCalls) << row.pattern;
    EXPECT_EQ(found, row.start > 0) << row.pattern;
    EXPECT_EQ(re.MatchStart(0), row.start) << row.pattern;
    EXPECT_EQ(re.MatchLength(0), row.length) << row.pattern;
  }
}

// "." without s is not a repeat operand of its own; its greedy loop still keeps one frame.
TEST(RegexRunaway, GreedyLoopOverALongLineTakesNoMemoryPerCharacter) {
  const std::string line = "j" + std::string(1 << 20, 'x') + "needle" + std::string(1000, 'x');
  const struct {
    const char* pattern;
    bool found;
  } rows[] = {
      {"j.*needle", true},
      {"j.+needle", true},
      {"j.*needle$", false},
  };
  for (const auto& row : rows) {
    TRegex re;
    SetMods(re, "-s");
    re.SetExpression(row.pattern);
    re.ExecView("j needle");  // compiles and sets up the buffers
    const long before = AllocationCount();
    const bool found = re.ExecView(line);
    const long allocations = AllocationCount() - before;
    EXPECT_EQ(found, row.found) << row.pattern;
    if (found) {
      EXPECT_EQ(re.MatchLength(0), (1 << 20) + 7) << row.pattern;
    }
    EXPECT_LE(allocations, 4) << row.pattern << ": the backtracking stack grew with the line";
  }
}

}  // namespace
}  // namespace velmora
