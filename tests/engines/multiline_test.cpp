#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/Un_Multiline.h"

namespace velmora {
namespace {

using testing::L;
using testing::TempFolder;

std::string Join(const std::string& bars) {
  std::string out;
  for (const auto& line : L(bars)) out += line + "\n";
  return out;
}

class MultilineTest : public ::testing::Test {
 protected:
  MultilineTest() {
    engine.TrimLeft = true;
    engine.TrimRight = true;
  }

  std::string File(const std::string& bars) { return dir.Write("f.txt", Join(bars)); }

  TempFolder dir;
  Tmy_multiline engine;
};

TEST_F(MultilineTest, AStopBeforeTheWholeBlockIsCheckedIsNoMatch) {
  engine.SetLines(L("a|b|c"));
  engine.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(engine.Search(File("a|b|x")));
  EXPECT_FALSE(engine.Search(File("a|b|c")));  // stopped after line b
  engine.SetLines(L("a|b"));
  EXPECT_TRUE(engine.Search(File("a|b")));  // the stop came after the last line
}

TEST_F(MultilineTest, BuildLinesFindsEveryBlock) {
  struct Case {
    std::string query, file, starts;
  } cases[] = {
      {"a|b", "a|x|a|b", "2"},   {"a|b|c", "a|c|b", "0"},  // later lines need only be in the query
      {"a|b", "a|a|b", "0|1"},                             // overlapping blocks
      {"x", "x|y| x", "0|2"},    {"a|b", "a|b|q|a", "0"},  // the last a would run past the end
      {"b|a", "b|x|b|a|b", "2"},
  };
  for (const auto& c : cases) {
    engine.SetLines(L(c.query));
    engine.BuildLines(File(c.file));
    EXPECT_EQ(engine.BlockStarts, L(c.starts)) << c.query << " in " << c.file;
  }
  engine.SetLines({});
  engine.BuildLines(File("x"));  // an empty query keeps the blocks
  EXPECT_EQ(engine.BlockStarts, L("2"));
}

TEST_F(MultilineTest, StopEndsTheCollection) {
  engine.SetLines(L("a|b"));
  int calls = 0;
  engine.OnProgress = [&](void* sender, bool& stop) {
    EXPECT_EQ(sender, &engine);
    EXPECT_FALSE(engine.Idle);
    stop = ++calls == 2;
  };
  engine.BuildLines(File("a|b|a|b|a|b"));
  EXPECT_EQ(engine.BlockStarts, L("0|2"));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(engine.Idle);
}

}  // namespace
}  // namespace velmora
