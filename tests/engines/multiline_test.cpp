#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/Un_Multiline.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::TempFolder;
using Strings = std::vector<std::string>;

std::string Join(const Strings& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\n";
  return out;
}

class MultilineTest : public ::testing::Test {
 protected:
  MultilineTest() {
    engine.TrimLeft = true;
    engine.TrimRight = true;
  }

  std::string File(const Strings& lines) { return dir.Write("f.txt", Join(lines)); }

  TempFolder dir;
  Tmy_multiline engine;
};

TEST_F(MultilineTest, SearchUsesFirstOccurrencesOnly) {
  struct Case {
    Strings query;
    Strings file;
    bool found;
  } cases[] = {
      {{"foo"}, {"\tfoo "}, true},                // trimmed on both sides
      {{"a", "b"}, {"a", "x", "a", "b"}, false},  // the first a is not followed by b
      {{"a", "b"}, {"a", "b", "c"}, true},
      {{"a", "b", "a"}, {"a", "b", "a"}, false},  // a repeated line never fits
      {{"b", "c"}, {"c", "b", "c"}, false},       // c occurs above its place
      {{"a", "b"}, {"x", "a"}, false},            // the block runs past the end
      {{"A", "b"}, {"a", "B"}, true},             // case ignored
      {{"x"}, {}, false},
      {{}, {"a"}, false},
  };
  for (const auto& c : cases) {
    engine.SetLines(c.query);
    EXPECT_EQ(engine.Search(File(c.file)), c.found) << Join(c.query) << "in\n" << Join(c.file);
    EXPECT_TRUE(engine.Idle);
  }
}

TEST_F(MultilineTest, AStopBeforeTheWholeBlockIsCheckedIsNoMatch) {
  engine.SetLines({"a", "b", "c"});
  engine.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(engine.Search(File({"a", "b", "x"})));
  EXPECT_FALSE(engine.Search(File({"a", "b", "c"})));  // stopped after line b
  engine.SetLines({"a", "b"});
  EXPECT_TRUE(engine.Search(File({"a", "b"})));  // the stop came after the last line
}

TEST_F(MultilineTest, OptionsDecideWhatIsEqual) {
  engine.SetLines({"  Foo"});
  const auto name = File({"foo  "});
  EXPECT_TRUE(engine.Search(name));
  engine.CaseSensitive = true;
  EXPECT_FALSE(engine.Search(name));
  engine.CaseSensitive = false;
  engine.TrimLeft = false;
  EXPECT_FALSE(engine.Search(name));
  engine.TrimLeft = true;
  engine.TrimRight = false;
  EXPECT_FALSE(engine.Search(name));
  EXPECT_FALSE(engine.Search(dir.File("missing.txt")));
}

TEST_F(MultilineTest, BuildLinesFindsEveryBlock) {
  struct Case {
    Strings query;
    Strings file;
    Strings starts;
  } cases[] = {
      {{"a", "b"}, {"a", "x", "a", "b"}, {"2"}},
      {{"a", "b"}, {"a", "b", "c"}, {"0"}},
      {{"a", "b", "c"}, {"a", "c", "b"}, {"0"}},  // later lines need only be in the query
      {{"a", "b"}, {"a", "a", "b"}, {"0", "1"}},  // overlapping blocks
      {{"x"}, {"x", "y", " x"}, {"0", "2"}},
      {{"a", "b"}, {"a", "b", "q", "a"}, {"0"}},  // the last a would run past the end
      {{"b", "a"}, {"b", "x", "b", "a", "b"}, {"2"}},
  };
  for (const auto& c : cases) {
    engine.SetLines(c.query);
    engine.BuildLines(File(c.file));
    EXPECT_EQ(engine.BlockStarts, c.starts) << Join(c.query) << "in\n" << Join(c.file);
  }
}

TEST_F(MultilineTest, EmptyQueryKeepsTheBlocks) {
  engine.BlockStarts = {"7"};
  engine.BuildLines(File({"a"}));
  EXPECT_EQ(engine.BlockStarts, Strings{"7"});
}

TEST_F(MultilineTest, StopEndsTheCollection) {
  engine.SetLines({"a", "b"});
  int calls = 0;
  engine.OnProgress = [&](void* sender, bool& stop) {
    EXPECT_EQ(sender, &engine);
    EXPECT_FALSE(engine.Idle);
    stop = ++calls == 2;
  };
  engine.BuildLines(File({"a", "b", "a", "b", "a", "b"}));
  EXPECT_EQ(engine.BlockStarts, (Strings{"0", "2"}));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(engine.Idle);
}

TEST_F(MultilineTest, PageShowsBlocksWithoutText) {
  engine.SetLines({"a", "b"});
  const auto name = File({"a", "b", "c", "a", "b"});
  engine.BuildLines(name);
  const auto page = dir.File("page.html");
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "<font color=\"#0000FF\">line 1 - line 2</font>\r\n"
                         "<font color=\"#0000FF\">line 4 - line 5</font>\r\n"));
  engine.SetLines({"c"});
  engine.BuildLines(name);
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(), "<font color=\"#0000FF\">line 3</font>\r\n"));
}

struct ModifyCase {
  const char* title;
  int modType;
  Strings replacement;
  std::string written;
};

TEST_F(MultilineTest, ModifyTreatsEveryBlock) {
  // Two three-line blocks in a ten-line file.
  const Strings file = {"0", "a", "b", "c", "4", "5", "a", "b", "c", "9"};
  const ModifyCase cases[] = {
      {"none", 0, {"R"}, "0\r\na\r\nb\r\nc\r\n4\r\n5\r\na\r\nb\r\nc\r\n9\r\n"},
      {"replace", 1, {"R"}, "0\r\nR\r\n4\r\n5\r\nR\r\n9\r\n"},
      {"insert before",
       2,
       {"R", "S"},
       "0\r\nR\r\nS\r\na\r\nb\r\nc\r\n4\r\n5\r\nR\r\nS\r\na\r\nb\r\nc\r\n9\r\n"},
      {"insert after",
       3,
       {"R", "S"},
       "0\r\na\r\nb\r\nc\r\nR\r\nS\r\n4\r\n5\r\na\r\nb\r\nc\r\nR\r\nS\r\n9\r\n"},
      {"delete", 4, {"R"}, "0\r\n4\r\n5\r\n9\r\n"},
      {"clear", 5, {"R"}, "0\r\n\r\n\r\n\r\n4\r\n5\r\n\r\n\r\n\r\n9\r\n"},
      {"unknown", 9, {"R"}, "0\r\na\r\nb\r\nc\r\n4\r\n5\r\na\r\nb\r\nc\r\n9\r\n"},
  };
  for (const auto& c : cases) {
    const auto name = File(file);
    engine.SetLines({"a", "b", "c"});
    engine.SetReplaceLines(c.replacement);
    engine.ModType = c.modType;
    engine.BuildLines(name);
    ASSERT_EQ(engine.BlockStarts, (Strings{"1", "6"}));
    engine.Modify(name);
    EXPECT_EQ(TempFolder::Read(name), c.written) << c.title;
  }
}

TEST_F(MultilineTest, ModifyWritesLinesUntrimmed) {
  const auto name = dir.Write("f.txt", "  keep  \n\ta \r\nb\rtail");
  engine.SetLines({"a", "b"});
  engine.SetReplaceLines({" R "});
  engine.ModType = 1;
  engine.BuildLines(name);
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "  keep  \r\n R \r\ntail\r\n");
}

TEST_F(MultilineTest, OverlappingBlocksNeverTouchLinesOutsideTheTreatedOnes) {
  // Blocks at 0 and 1 overlap: the later one is treated, the earlier one skipped.
  const auto name = File({"a", "a", "b", "z"});
  engine.SetLines({"a", "b"});
  engine.ModType = 4;
  engine.BuildLines(name);
  ASSERT_EQ(engine.BlockStarts, (Strings{"0", "1"}));
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "a\r\nz\r\n");

  const auto again = File({"a", "a", "b", "z"});
  engine.SetReplaceLines({"X"});
  engine.ModType = 1;
  engine.BuildLines(again);
  engine.Modify(again);
  EXPECT_EQ(TempFolder::Read(again), "a\r\nX\r\nz\r\n");
}

TEST_F(MultilineTest, ModifyKeepsTheNulTail) {
  const auto name = dir.Write("n.txt", std::string("a\nb\nc\0\r\nbinary", 14));
  engine.SetLines({"a", "b"});
  engine.ModType = 4;
  engine.BuildLines(name);
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), std::string("c\0\r\nbinary", 10));
}

TEST_F(MultilineTest, BlockPastTheEndRaisesAndLeavesTheFileUnwritten) {
  const auto name = dir.Write("f.txt", "a\nb\n");
  engine.SetLines({"a", "b"});
  engine.ModType = 4;
  engine.BlockStarts = {"0", "1"};
  EXPECT_THROW(engine.Modify(name), EListError);
  EXPECT_EQ(TempFolder::Read(name), "a\nb\n");
  EXPECT_TRUE(engine.Idle);
  engine.BlockStarts = {"zero"};
  EXPECT_THROW(engine.Modify(name), EListError);
  EXPECT_EQ(TempFolder::Read(name), "a\nb\n");
}

TEST_F(MultilineTest, ModifyMakesABackupFirst) {
  const auto name = dir.Write("f.txt", "a\nb\n");
  dir.Write("f.txt.bak", "older");
  engine.SetLines({"a"});
  engine.ModType = 4;
  engine.MakeBackup = true;
  engine.BuildLines(name);
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "b\r\n");
  EXPECT_EQ(TempFolder::Read(name + ".bak"), "a\nb\n");
}

}  // namespace
}  // namespace velmora
