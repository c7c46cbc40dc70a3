#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/EngineShared.h"
#include "engines/Un_SearchEngine.h"
#include "engines/Un_wordand.h"
#include "engines/Un_wordor.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::TempFolder;
using Strings = std::vector<std::string>;

const std::string kBlueOpen = "<font color=\"#0000FF\">";
std::string Blue(const std::string& text) {
  return kBlueOpen + text + "</font>";
}

TEST(SplitWordList, ReadsWordsAndQuotedGroups) {
  struct Case {
    std::string query;
    Strings words;
  } cases[] = {
      {"red \"dark blue\"", {"red", "dark blue"}},
      {"  a\t\tb \x01 c  ", {"a", "b", "c"}},
      {" \t ", {}},
      {"\"\"", {""}},
      {"\"say \"\"hi\"\"\" x", {"say \"hi\"", "x"}},
      {"a\"b", {"a\"b"}},                   // a quote inside a word is a character
      {"\"open end", {"open end"}},         // unclosed: runs to the end of the query
      {"x \"a\"\"b  ", {"x", "a\"\"b  "}},  // ... keeping every character after the quote
      {"\"ab\"cd", {"ab", "cd"}},
      {"w w", {"w", "w"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitWordList(c.query), c.words) << c.query;
}

TEST(ParseSearchQuery, ReadsSignsAndPhrases) {
  struct Case {
    std::string query;
    bool closed;
    Strings excluded, optional, required;
  } cases[] = {
      {"+apple -pie tart", true, {"pie"}, {"tart"}, {"apple"}},
      {"+\"big cat\"", true, {}, {}, {"big cat"}},
      {"e-mail -e-mail", true, {"e-mail"}, {"e-mail"}, {}},
      {"a\"b\tc", true, {}, {"a\"b\tc"}, {}},
      {"   ", true, {}, {}, {}},
      {"", true, {}, {}, {}},
      {"x +", true, {}, {"x"}, {""}},  // a trailing sign gives an empty word
      {"- x", true, {""}, {"x"}, {}},
      {"\"\"", true, {}, {""}, {}},
      {"a \"b c\"d", false, {}, {"a"}, {}},  // closing quote followed by a letter
      {"a +\"b c", false, {}, {"a"}, {}},    // never closed
      {"\"x\" y", true, {}, {"x", "y"}, {}},
  };
  for (const auto& c : cases) {
    SearchQuery q;
    EXPECT_EQ(ParseSearchQuery(c.query, q), c.closed) << c.query;
    EXPECT_EQ(q.excluded, c.excluded) << c.query;
    EXPECT_EQ(q.optional, c.optional) << c.query;
    EXPECT_EQ(q.required, c.required) << c.query;
  }
}

TEST(OrderForHighlighting, PutsContainingWordsFirst) {
  Strings words = {"a", "ab", "abc"};
  OrderForHighlighting(words);
  EXPECT_EQ(words, (Strings{"abc", "ab", "a"}));
  words = {"cat", "dog", "category"};
  OrderForHighlighting(words);
  EXPECT_EQ(words, (Strings{"category", "dog", "cat"}));
  words = {"", "x"};
  OrderForHighlighting(words);
  EXPECT_EQ(words, (Strings{"", "x"}));
}

class WordsTest : public ::testing::Test {
 protected:
  TempFolder dir;
  Tmy_wordor wordOr;
  Tmy_wordand wordAnd;
};

TEST_F(WordsTest, OrNeedsOneWordAndNeedsAll) {
  const auto onlyGreen = dir.Write("g.txt", "green\n");
  const auto both = dir.Write("b.txt", "red\nx\ny\ngreen");
  wordOr.Query = wordAnd.Query = "red green";
  EXPECT_TRUE(wordOr.Search(onlyGreen));
  EXPECT_FALSE(wordAnd.Search(onlyGreen));
  EXPECT_TRUE(wordAnd.Search(both));
  wordOr.Query = wordAnd.Query = " \t ";
  EXPECT_FALSE(wordOr.Search(both));
  EXPECT_FALSE(wordAnd.Search(both));
  wordOr.Query = wordAnd.Query = "\"x\ny\"";  // a group holding a line break never matches
  EXPECT_FALSE(wordOr.Search(both));
  wordOr.Query = wordAnd.Query = "red \"\"";  // the empty word takes no part
  EXPECT_TRUE(wordAnd.Search(both));
  EXPECT_TRUE(wordAnd.Idle);
  EXPECT_FALSE(wordOr.Search(dir.File("missing.txt")));
}

TEST_F(WordsTest, CaseAndWholeWordsApplyToEveryWord) {
  const auto name = dir.Write("f.txt", "Concat DOG\n");
  wordAnd.Query = "cat dog";
  EXPECT_TRUE(wordAnd.Search(name));
  wordAnd.WholeWords = true;
  EXPECT_FALSE(wordAnd.Search(name));
  wordAnd.WholeWords = false;
  wordAnd.CaseSensitive = true;
  EXPECT_FALSE(wordAnd.Search(name));
}

TEST_F(WordsTest, StopBetweenWordsGivesFalse) {
  const auto name = dir.Write("f.txt", "a\nb\n");
  wordAnd.Query = "a b";
  wordAnd.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(wordAnd.Search(name));
}

TEST_F(WordsTest, AndPageListsLinesWithAnyWord) {
  const auto name = dir.Write("f.txt", "red\nnone\ngreen\n");
  const auto page = dir.File("page.html");
  wordAnd.Query = "red green";
  wordAnd.BuildLines(name);
  EXPECT_EQ(wordAnd.LineNumbers, (Strings{"0", "2"}));
  wordAnd.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "line 1 : " + Blue("red") + "\r\nline 3 : " + Blue("green") + "\r\n"));
}

TEST_F(WordsTest, PageHighlightsLongerWordsFirstInMarkedText) {
  const auto name = dir.Write("f.txt", "category cat\n");
  const auto page = dir.File("page.html");
  wordOr.Query = "cat category";
  wordOr.BuildLines(name);
  wordOr.WriteLinesView(page, name);
  // "cat" is then marked again inside the marked "category".
  EXPECT_EQ(TempFolder::Read(page), ExpectedPage("f.txt", dir.Path(),
                                                 "line 1 : " + kBlueOpen + Blue("cat") +
                                                     "egory</font> " + Blue("cat") + "\r\n"));
}

TEST_F(WordsTest, PageEscapesTheLineAroundTheWord) {
  const auto name = dir.Write("f.txt", "<b>\n");
  const auto page = dir.File("page.html");
  wordOr.Query = "b";
  wordOr.BuildLines(name);
  wordOr.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(), "line 1 : &lt;" + Blue("b") + "&gt;\r\n"));
}

class SearchEngineTest : public ::testing::Test {
 protected:
  bool Matches(const std::string& query, const std::string& text) {
    EXPECT_TRUE(engine.CheckQuery(query));
    engine.Query = query;
    return engine.Search(dir.Write("f.txt", text));
  }

  TempFolder dir;
  Tmy_searchengine engine;
};

TEST_F(SearchEngineTest, SignedWordsDecideAndOptionalOnesOnlyWithoutSigns) {
  struct Case {
    std::string query;
    std::string text;
    bool found;
  } cases[] = {
      {"+apple -pie tart", "apple\ncake", true},
      {"+apple -pie tart", "apple\npie", false},
      {"+apple tart", "tart", false},
      {"apple tart", "only tart here", true},
      {"apple tart", "neither", false},
      {"-pie", "cake", true},
      {"-pie", "pie", false},
      {"   ", "anything", true},
      {"+\"big cat\"", "a big cat", true},
      {"+\"big cat\"", "big\ncat", false},
      {"apple +", "apple", true},  // the empty required word takes no part
      {"apple +", "pear", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Matches(c.query, c.text), c.found) << c.query << " / " << c.text;
    EXPECT_TRUE(engine.Idle);
  }
}

TEST_F(SearchEngineTest, UnreadableFileMatchesOnlyAQueryWithoutWords) {
  ASSERT_TRUE(engine.CheckQuery("-pie"));
  EXPECT_FALSE(engine.Search(dir.File("missing.txt")));
  ASSERT_TRUE(engine.CheckQuery(""));
  EXPECT_TRUE(engine.Search(dir.File("missing.txt")));
}

TEST_F(SearchEngineTest, PageListsLinesWithRequiredOrOptionalWords) {
  const auto name = dir.Write("f.txt", "apple pie\npie only\ntart\n<x>\n");
  const auto page = dir.File("page.html");
  ASSERT_TRUE(engine.CheckQuery("+apple -pie tart x"));
  engine.Query = "+apple -pie tart x";
  engine.WholeWords = true;
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers, (Strings{"0", "2", "3"}));
  engine.WriteLinesView(page, name);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("f.txt", dir.Path(),
                         "line 1 : " + Blue("apple") + " pie\r\nline 3 : " + Blue("tart") +
                             "\r\nline 4 : &lt;" + Blue("x") + "&gt;\r\n"));
}

TEST_F(SearchEngineTest, ProgressFollowsEveryWordThatDoesNotMatch) {
  const auto name = dir.Write("f.txt", "b\nzz\n");
  ASSERT_TRUE(engine.CheckQuery("+a b"));
  engine.Query = "+a b";
  int calls = 0;
  engine.OnProgress = [&](void*, bool&) { ++calls; };
  engine.BuildLines(name);
  EXPECT_EQ(engine.LineNumbers, Strings{"0"});
  EXPECT_EQ(calls, 3);  // line 1: a fails; line 2: a and b fail
}

}  // namespace
}  // namespace velmora
