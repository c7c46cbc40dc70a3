#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::TempFolder;
using Strings = std::vector<std::string>;

class RegexprTest : public ::testing::Test {
 protected:
  TempFolder dir;
  Tmy_regexpr engine;
};

TEST_F(RegexprTest, SearchMatchesWithinSingleLines) {
  struct Case {
    std::string expression;
    bool ignoreSpace;
    std::string text;
    bool found;
  } cases[] = {
      {"^b$", false, "a\nb\nc", true},
      {"a$", false, "ab\nxa\r\n", true},
      {"a\\nb", false, "a\nb", false},  // a pattern that needs a break never matches
      {"a.b", false, "a\rb", false},
      {"ab\r\ncd", true, "xabcd", true},  // the memo's break is ignored white space
      {"ab\r\ncd", false, "xabcd", false},
      {"[", false, "[", false},  // an invalid expression lists no file
      {"\\d+-\\d+", false, "tel 10-20", true},
      {"x", false, std::string("a\0x", 3), false},
      {"ABC", false, "abc", true},
  };
  for (const auto& c : cases) {
    engine.Query = c.expression;
    engine.IgnoreSpace = c.ignoreSpace;
    EXPECT_EQ(engine.Search(dir.Write("f.txt", c.text)), c.found) << c.expression;
    EXPECT_TRUE(engine.Idle);
  }
  engine.CaseSensitive = true;
  engine.Query = "ABC";
  EXPECT_FALSE(engine.Search(dir.File("f.txt")));
}

TEST_F(RegexprTest, StopEndsARunawayMatchInsideOneLine) {
  // The "b" every match needs is on the line, so only the matcher can tell it fails.
  const auto name = dir.Write("f.txt", std::string(40, 'a') + "cb\n");
  engine.Query = "(a+)+b";
  int calls = 0;
  engine.OnProgress = [&](void*, bool& stop) { stop = ++calls >= 3; };
  EXPECT_FALSE(engine.Search(name));
  EXPECT_GE(calls, 3);
  EXPECT_TRUE(engine.Stop);
}

TEST_F(RegexprTest, PageBuildsTheMarkedTextPieceByPiece) {
  const auto name = dir.Write("f.txt", "a<b\nnone\n\"1\" & 22\n");
  const auto page = dir.File("page.html");
  engine.Query = "<|\\d+";
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers, (Strings{"0", "2"}));
  EXPECT_EQ(engine.Intervals, engine.LineNumbers);
  engine.UseIntervals = true;
  engine.SetIntervals({"0"});
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "<font color=\"#FF0000\">+</font>line 1 : a<font "
                         "color=\"#0000FF\">&lt;</font>b\r\n"
                         " line 3 : &quot;<font color=\"#0000FF\">1</font>&quot; &amp; "
                         "<font color=\"#0000FF\">22</font>\r\n"));
}

TEST_F(RegexprTest, InvalidExpressionCollectsNothingAndModifyOnlyRewrites) {
  const auto name = dir.Write("f.txt", "a(\nb\n");
  engine.Query = "a(";
  engine.BuildLines(name);
  EXPECT_TRUE(engine.LineNumbers.empty());
  engine.ModType = 1;
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "a(\r\nb\r\n");
  // With a chosen line the compile error reaches the caller and nothing is written.
  dir.Write("f.txt", "a(\nb\n");
  engine.SetIntervals({"0"});
  EXPECT_THROW(engine.Modify(name), std::runtime_error);
  EXPECT_EQ(TempFolder::Read(name), "a(\nb\n");
}

TEST_F(RegexprTest, ModifyAppliesEachType) {
  struct Case {
    const char* title;
    std::string expression;
    int modType;
    std::string replacement;
    std::string before;
    std::string after;
  } cases[] = {
      {"swap groups", "(\\d+)-(\\d+)", 1, "$2-$1", "10-20\n", "20-10\r\n"},
      {"insert before", "\\d+", 2, "<", "a1b22\n", "a<1b<22\r\n"},
      {"insert after", "\\d+", 3, "${0}!", "a1b22\n", "a11!b2222!\r\n"},
      {"delete trailing space", "\\s+$", 4, "", "ab \t\nc  \n", "ab\r\nc\r\n"},
      {"two-line template", "x", 1, "1\r\n2", "axb\n", "a1\r\n2b\r\n"},
      {"clear is no regex type", "x", 5, "", "x\n", "x\r\n"},
      {"escaped dollar", "b", 1, "\\$1", "abc\n", "a$1c\r\n"},
  };
  for (const auto& c : cases) {
    const auto name = dir.Write("f.txt", c.before);
    engine.Query = c.expression;
    engine.ModType = c.modType;
    engine.Replacement = c.replacement;
    engine.BuildLines(name);
    engine.Modify(name);
    EXPECT_EQ(TempFolder::Read(name), c.after) << c.title;
  }
}

TEST_F(RegexprTest, ModifyIgnoresALeftoverStop) {
  const auto name = dir.Write("f.txt", std::string(5000, 'a') + "\n");
  engine.Query = "(a|b)*";
  engine.ModType = 4;
  engine.BuildLines(name);
  engine.Stop = true;
  engine.OnProgress = [](void*, bool&) {};
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), "\r\n");
}

TEST_F(RegexprTest, ModifyKeepsTailPermissionsAndMakesBackup) {
  const auto name = dir.Write("f.txt", std::string("k1\rk2\0k3", 8));
  ::chmod(name.c_str(), 0751);
  engine.Query = "k(\\d)";
  engine.ModType = 1;
  engine.Replacement = "<$1>";
  engine.MakeBackup = true;
  engine.BuildLines(name);
  engine.SetIntervals({"1"});
  engine.Modify(name);
  EXPECT_EQ(TempFolder::Read(name), std::string("k1\r\n<2>\0k3", 10));
  EXPECT_EQ(TempFolder::Mode(name), 0751u);
  EXPECT_EQ(TempFolder::Read(name + ".bak"), std::string("k1\rk2\0k3", 8));
  engine.SetIntervals({"2"});
  EXPECT_THROW(engine.Modify(name), EListError);
  EXPECT_EQ(TempFolder::Read(name), std::string("k1\r\n<2>\0k3", 10));
}

// The phrase engine must agree with the regex engine given the phrase's word pattern, with
// and without case and whole words, over generated files (this covers the quick whole-buffer
// rejection, which must never change a result).
TEST(PhraseAgainstRegex, AgreeOnGeneratedFiles) {
  TempFolder dir;
  std::mt19937 random(20261206);
  const std::string alphabet = "abAB_ .(\n\r\t$";
  const auto pick = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  Tmy_phrase phrase;
  Tmy_regexpr regex;
  // Both must call the progress once per line examined before the result is known, even for
  // lines they can tell cannot match.
  int phraseCalls = 0;
  int regexCalls = 0;
  phrase.OnProgress = [&](void*, bool&) { ++phraseCalls; };
  regex.OnProgress = [&](void*, bool&) { ++regexCalls; };
  int matched = 0;
  for (int round = 0; round < 1000; ++round) {
    const auto name = dir.Write("g.txt", pick(random() % 120));
    const std::string word = pick(1 + random() % 3);
    phrase.Query = word;
    phrase.CaseSensitive = regex.CaseSensitive = round % 2 == 0;
    phrase.WholeWords = round % 3 == 0;
    regex.Query = WordPattern(word, phrase.WholeWords);
    phraseCalls = regexCalls = 0;
    const bool found = phrase.Search(name);
    ASSERT_EQ(found, regex.Search(name)) << "word [" << word << "] round " << round;
    const int searchCalls[] = {phraseCalls, regexCalls};
    const auto lines = SplitLines(TempFolder::Read(name));
    phrase.BuildLines(name);
    regex.BuildLines(name);
    ASSERT_EQ(phrase.LineNumbers, regex.LineNumbers) << "word [" << word << "]";
    ASSERT_EQ(found, !phrase.LineNumbers.empty());
    const int examined =
        found ? std::stoi(phrase.LineNumbers.front()) : static_cast<int>(lines.size());
    ASSERT_EQ(searchCalls[0], examined) << "word [" << word << "] round " << round;
    ASSERT_EQ(searchCalls[1], examined) << "word [" << word << "] round " << round;
    matched += found;
  }
  EXPECT_GT(matched, 100);  // the generator must produce both outcomes
  EXPECT_LT(matched, 900);
}

}  // namespace
}  // namespace velmora
