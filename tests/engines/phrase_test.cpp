#include <sys/stat.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/Un_Phrase.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::TempFolder;
using Strings = std::vector<std::string>;

class PhraseTest : public ::testing::Test {
 protected:
  TempFolder dir;
  Tmy_phrase engine;
};

TEST_F(PhraseTest, SearchMatchesThePhraseLiterally) {
  struct Case {
    std::string phrase;
    bool caseSensitive;
    bool whole;
    std::string text;
    bool found;
  } cases[] = {
      {"a.b", false, false, "x a.b y", true},
      {"a.b", false, false, "axb", false},
      {"(x", false, false, "f(x)", true},  // no syntax error
      {"abc", false, false, "ABC", true},
      {"abc", true, false, "ABC", false},
      {"cat", false, true, "concat", false},
      {"cat", false, true, "cats", false},
      {"cat", false, true, "a cat.", true},
      {"(foo", false, true, "a (foo", true},
      {"(foo", false, true, "(foo", true},
      {"(foo", false, true, "a(foo", false},
      {"ab", false, false, "a\nb", false},                       // never across lines
      {"tail", false, false, std::string("x\0tail", 6), false},  // nothing after a NUL
      {"$1", false, false, "cost $1", true},
      {"needle", false, false, "", false},
  };
  for (const auto& c : cases) {
    engine.Query = c.phrase;
    engine.CaseSensitive = c.caseSensitive;
    engine.WholeWords = c.whole;
    EXPECT_EQ(engine.Search(dir.Write("f.txt", c.text)), c.found) << c.phrase << " in " << c.text;
    EXPECT_TRUE(engine.Idle);
  }
  engine.Query = "x";
  EXPECT_FALSE(engine.Search(dir.File("missing.txt")));
}

TEST_F(PhraseTest, StopEndsTheSearchAfterALineWithoutMatch) {
  const auto name = dir.Write("f.txt", "a\nb\nc\nneedle\n");
  engine.Query = "needle";
  int calls = 0;
  engine.OnProgress = [&](void* sender, bool& stop) {
    EXPECT_EQ(sender, &engine);
    EXPECT_FALSE(engine.Idle);
    ++calls;
    stop = true;
  };
  EXPECT_FALSE(engine.Search(name));
  EXPECT_EQ(calls, 1);
  engine.OnProgress = [&](void*, bool&) { ++calls; };
  engine.Stop = false;
  calls = 0;
  EXPECT_TRUE(engine.Search(name));
  EXPECT_EQ(calls, 3);  // one per line before the match
  engine.OnProgress = nullptr;
  engine.Stop = true;  // without an event a set Stop still ends the search after a line
  EXPECT_FALSE(engine.Search(name));
}

TEST_F(PhraseTest, BuildLinesCollectsEveryMatchingLine) {
  const auto name = dir.Write("f.txt", "one cat\r\ndog\rcat cat\nCAT\n");
  engine.Query = "cat";
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers, (Strings{"0", "2", "3"}));
  EXPECT_EQ(engine.LineTexts, (Strings{"one cat", "cat cat", "CAT"}));
  EXPECT_EQ(engine.Intervals, engine.LineNumbers);

  // An empty query leaves the lists alone.
  engine.Query.clear();
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers.size(), 3u);
  engine.BuildLines(dir.File("missing.txt"));
  EXPECT_EQ(engine.LineNumbers.size(), 3u);
}

TEST_F(PhraseTest, PageHighlightsEscapedText) {
  const auto name = dir.Write("f.txt", "x <b> b\nnone\nb&b\n");
  const auto page = dir.File("page.html");
  engine.Query = "b";
  engine.BuildLines(name);
  engine.WriteLinesView(page, name);
  const std::string blue = "<font color=\"#0000FF\">b</font>";
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "line 1 : x &lt;" + blue + "&gt; " + blue + "\r\n" +  //
                             "line 3 : " + blue + "&amp;" + blue + "\r\n"));

  // With whole words too: in the escaped "&lt;b&gt;" the b sits between ";" and "&".
  const std::string withoutWholeWords = TempFolder::Read(page);
  engine.WholeWords = true;
  engine.BuildLines(name);
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page), withoutWholeWords);
  engine.Query = "lt";  // the entity's letters are never matched: the raw line has no "lt"
  engine.BuildLines(name);
  EXPECT_TRUE(engine.LineNumbers.empty());
}

TEST_F(PhraseTest, PageHighlightsAPhraseWithMarkupCharacters) {
  const auto name = dir.Write("f.txt", "if a<b && c\n");
  const auto page = dir.File("page.html");
  engine.Query = "a<b &";
  engine.BuildLines(name);
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "line 1 : if <font color=\"#0000FF\">a&lt;b &amp;</font>&amp; c\r\n"));
}

TEST_F(PhraseTest, PageMarksChosenAndNotChosenLines) {
  const auto name = dir.Write("f.txt", "ab\nab\nx\nab\n");
  const auto page = dir.File("page.html");
  engine.Query = "ab";
  engine.BuildLines(name);
  engine.UseIntervals = true;
  engine.SetIntervals({"3"});
  engine.WriteLinesView(page, name);
  const std::string blue = "<font color=\"#0000FF\">ab</font>";
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         " line 1 : " + blue + "\r\n line 2 : " + blue +
                             "\r\n<font color=\"#FF0000\">+</font>line 4 : " + blue + "\r\n"));
  // An empty query shows no body lines, whatever the lists hold.
  engine.Query.clear();
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page), ExpectedPage("f.txt", dir.Path(), ""));
}

TEST_F(PhraseTest, ModifyAppliesEachType) {
  struct Case {
    const char* title;
    std::string phrase;
    int modType;
    std::string replacement;
    std::string before;
    std::string after;
  } cases[] = {
      {"clear", "abc", 5, "", "xabcxabc\n", "x   x   \r\n"},
      {"insert before", "abc", 2, "[", "abc abc\n", "[abc [abc\r\n"},
      {"insert after", "abc", 3, "$0\\", "abc\n", "abc$0\\\r\n"},
      {"replace with $1 literally", "x", 1, "$1", "axbx\n", "a$1b$1\r\n"},
      {"delete", "ab", 4, "", "xabyab\n", "xy\r\n"},
      {"none", "ab", 0, "zz", "ab\nq\n", "ab\r\nq\r\n"},
      {"case ignored", "ab", 1, "-", "AB aB\n", "- -\r\n"},
      {"not a matching line", "ab", 1, "-", "ab\ncd", "-\r\ncd\r\n"},
  };
  for (const auto& c : cases) {
    const auto name = dir.Write("f.txt", c.before);
    engine.Query = c.phrase;
    engine.ModType = c.modType;
    engine.Replacement = c.replacement;
    engine.BuildLines(name);
    engine.Modify(name);
    EXPECT_EQ(TempFolder::Read(name), c.after) << c.title;
  }
}

TEST_F(PhraseTest, ModifyChangesOnlyTheChosenLines) {
  const auto name = dir.Write("f.txt", "ab\nab\nab\n");
  engine.Query = "ab";
  engine.ModType = 1;
  engine.Replacement = "X";
  engine.BuildLines(name);
  engine.SetIntervals({"2", "0"});
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "X\r\nab\r\nX\r\n");

  // A line listed twice is treated twice.
  dir.Write("f.txt", "ab\n");
  engine.ModType = 3;
  engine.Replacement = "!";
  engine.SetIntervals({"0", "0"});
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "ab!!\r\n");
}

TEST_F(PhraseTest, ModifyKeepsTheNulTailAndThePermissions) {
  const std::string bytes("ab\nxab\0ab\nab", 12);
  const auto name = dir.Write("f.txt", bytes);
  ::chmod(name.c_str(), 0604);
  engine.Query = "ab";
  engine.ModType = 4;
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers, (Strings{"0", "1"}));
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), std::string("\r\nx\0ab\nab", 9));
  EXPECT_EQ(TempFolder::Mode(name), 0604u);
}

TEST_F(PhraseTest, BadIntervalRaisesAndLeavesTheFileUnwritten) {
  const auto name = dir.Write("f.txt", "ab\nab\n");
  engine.Query = "ab";
  engine.ModType = 4;
  for (const Strings& intervals : {Strings{"0", "2"}, Strings{"x"}, Strings{"-1"}}) {
    engine.SetIntervals(intervals);
    EXPECT_THROW(engine.Modify(name), EListError);
    EXPECT_EQ(TempFolder::Read(name), "ab\nab\n");
    EXPECT_TRUE(engine.Idle);
  }
}

TEST_F(PhraseTest, ModifyReplacesTheBackup) {
  const auto name = dir.Write("f.txt", "ab\n");
  dir.Write("f.txt.bak", "old backup");
  engine.Query = "ab";
  engine.ModType = 4;
  engine.MakeBackup = true;
  engine.BuildLines(name);
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name + ".bak"), "ab\n");
  EXPECT_EQ(TempFolder::Read(name), "\r\n");
}

}  // namespace
}  // namespace velmora
