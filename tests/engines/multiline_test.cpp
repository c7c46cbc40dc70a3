#include <sys/stat.h>

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

std::string Join(const Strings& lines, const std::string& end = "\n") {
  std::string out;
  for (const auto& line : lines) out += line + end;
  return out;
}
std::string Crlf(const Strings& lines) {
  return Join(lines, "\r\n");
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
    bool caseSensitive = false, trimLeft = true, trimRight = true;
  } cases[] = {
      {{"foo"}, {"\tfoo "}, true},                // trimmed on both sides
      {{"a", "b"}, {"a", "x", "a", "b"}, false},  // the first a is not followed by b
      {{"a", "b"}, {"a", "b", "c"}, true},
      {{"a", "b", "a"}, {"a", "b", "a"}, false},  // a repeated line never fits
      {{"b", "c"}, {"c", "b", "c"}, false},       // c occurs above its place
      {{"a", "b"}, {"x", "a"}, false},            // the block runs past the end
      {{"A", "b"}, {"a", "B"}, true},             // case ignored
      {{"A", "b"}, {"a", "B"}, false, true},
      {{"  a"}, {"a  "}, false, false, false, true},
      {{"  a"}, {"a  "}, false, false, true, false},
      {{"x"}, {}, false},
      {{}, {"a"}, false},
  };
  for (const auto& c : cases) {
    engine.SetLines(c.query);
    engine.CaseSensitive = c.caseSensitive;
    engine.TrimLeft = c.trimLeft;
    engine.TrimRight = c.trimRight;
    EXPECT_EQ(engine.Search(File(c.file)), c.found) << Join(c.query) << "in\n" << Join(c.file);
    EXPECT_TRUE(engine.Idle);
  }
  EXPECT_FALSE(engine.Search(dir.File("missing.txt")));
}

TEST_F(MultilineTest, AStopBeforeTheWholeBlockIsCheckedIsNoMatch) {
  engine.SetLines({"a", "b", "c"});
  engine.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(engine.Search(File({"a", "b", "x"})));
  EXPECT_FALSE(engine.Search(File({"a", "b", "c"})));  // stopped after line b
  engine.SetLines({"a", "b"});
  EXPECT_TRUE(engine.Search(File({"a", "b"})));  // the stop came after the last line
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

// Every modification replaces a stale backup and keeps the file's permission bits.
TEST_F(MultilineTest, ModifyTreatsEveryBlock) {
  // Two three-line blocks in a ten-line file.
  const std::string ten = Join({"0", "a", "b", "c", "4", "5", "a", "b", "c", "9"});
  const Strings abc = {"a", "b", "c"};
  struct Case {
    Strings query;
    int modType;
    Strings replacement;
    std::string before;
    std::string after;
  } cases[] = {
      {abc, 0, {"R"}, ten, Crlf({"0", "a", "b", "c", "4", "5", "a", "b", "c", "9"})},
      {abc, 1, {"R"}, ten, Crlf({"0", "R", "4", "5", "R", "9"})},
      {abc,
       2,
       {"R", "S"},
       ten,
       Crlf({"0", "R", "S", "a", "b", "c", "4", "5", "R", "S", "a", "b", "c", "9"})},
      {abc,
       3,
       {"R", "S"},
       ten,
       Crlf({"0", "a", "b", "c", "R", "S", "4", "5", "a", "b", "c", "R", "S", "9"})},
      {abc, 4, {"R"}, ten, Crlf({"0", "4", "5", "9"})},
      {abc, 5, {"R"}, ten, Crlf({"0", "", "", "", "4", "5", "", "", "", "9"})},
      {abc, 9, {"R"}, ten, Crlf({"0", "a", "b", "c", "4", "5", "a", "b", "c", "9"})},
      // Lines are written untrimmed.
      {{"a", "b"}, 1, {" R "}, "  keep  \n\ta \r\nb\rtail", "  keep  \r\n R \r\ntail\r\n"},
      // Blocks at 0 and 1 overlap: the later one is treated, the earlier one skipped, and no
      // line outside the treated ones is touched.
      {{"a", "b"}, 4, {}, "a\na\nb\nz\n", "a\r\nz\r\n"},
      {{"a", "b"}, 1, {"X"}, "a\na\nb\nz\n", "a\r\nX\r\nz\r\n"},
      {{"a", "b"}, 4, {}, std::string("a\nb\nc\0\r\nbinary", 14), std::string("c\0\r\nbinary", 10)},
  };
  for (const auto& c : cases) {
    const auto name = dir.Write("f.txt", c.before);
    dir.Write("f.txt.bak", "older");
    ::chmod(name.c_str(), 0640);
    engine.SetLines(c.query);
    engine.SetReplaceLines(c.replacement);
    engine.ModType = c.modType;
    engine.MakeBackup = true;
    engine.BuildLines(name);
    engine.Modify(name);
    EXPECT_EQ(TempFolder::Read(name), c.after) << c.modType << " " << c.before;
    EXPECT_EQ(TempFolder::Read(name + ".bak"), c.before) << c.modType << " " << c.before;
    EXPECT_EQ(TempFolder::Mode(name), 0640u);
  }
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

}  // namespace
}  // namespace velmora
