#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_wordand.h"
#include "engines/WordListScan.h"
#include "engines/WordLists.h"

namespace velmora {
namespace {

using testing::TempFolder;

// Tries every line of text in order: whether one matches, and how many were tried before it
// (each of those gets one progress call).
std::pair<bool, int> FirstMatch(const std::string& expression, bool caseSensitive,
                                std::string_view text) {
  TRegex reference;
  reference.SetModifier(1, !caseSensitive);
  reference.SetExpression(expression);
  int before = 0;
  for (const auto line : SplitLines(text)) {
    if (reference.Exec(std::string(line))) return {true, before};
    ++before;
  }
  return {false, before};
}

std::string_view TrimBlank(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

// The multiline rule over all the lines at once (trimmed, case-sensitive): the block starts at
// the first line equal to the query's first, and each later query line first occurs exactly its
// distance below.
bool BlockRule(std::string_view text, const std::vector<std::string>& query) {
  std::vector<std::string_view> lines;
  for (const auto line : SplitLines(text)) lines.push_back(TrimBlank(line));
  const auto first = [&](std::string_view q, std::size_t limit) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.begin() + limit, q) -
                                    lines.begin());
  };
  const std::size_t p = first(query[0], lines.size());
  if (p == lines.size()) return false;
  for (std::size_t k = 1; k < query.size(); ++k) {
    const std::size_t place = p + k;
    if (place >= lines.size() || first(query[k], place + 1) != place) return false;
  }
  return true;
}

// The multiline search reads the file once, a window at a time, noting where query lines first
// occur; it must decide as the rule over all the lines does.
TEST(SearchLines, MultilineSearchAgreesWithTheRuleOverAllLines) {
  TempFolder dir;
  std::mt19937 random(31);
  const char* const pieces[] = {"a", "b", "c", " a ", "\tb", "B"};
  const char* const breaks[] = {"\n", "\r\n", "\r"};
  Tmy_multiline engine;
  engine.CaseSensitive = engine.TrimLeft = engine.TrimRight = true;
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    for (auto n = random() % 9; n > 0; --n) {
      bytes += pieces[random() % 6];
      bytes += breaks[random() % 3];
    }
    if (round % 3 == 0) bytes += pieces[random() % 6];  // a last line without a break
    if (round % 11 == 0) bytes.insert(random() % (bytes.size() + 1), 1, '\0');
    const auto name = dir.Write("f.txt", bytes);
    std::vector<std::string> query(1 + random() % 3);
    for (auto& line : query) line = pieces[random() % 3];
    engine.QueryLines = query;
    ASSERT_EQ(engine.Search(name), BlockRule(TextBuffer(name).Text(), query))
        << "round " << round << " " << ::testing::PrintToString(bytes) << " "
        << ::testing::PrintToString(query);
  }
}

// The line-by-line search must give the same result and the same progress calls whatever the
// chunks and whichever lines the quick literal search lets it skip. The reference tries every
// line of the whole text.
TEST(SearchLines, ChunkedSearchAgreesWithPlainLineByLine) {
  TempFolder dir;
  std::mt19937 random(77);
  const std::string alphabet = "abAB \r\n\r\n.x";
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const auto length = random() % 60;
    for (std::size_t i = 0; i < length; ++i) bytes += alphabet[random() % alphabet.size()];
    if (round % 7 == 0) bytes.insert(random() % (bytes.size() + 1), 1, '\0');
    const auto name = dir.Write("f.txt", bytes);
    std::string word(1 + random() % 2, 'a');
    for (auto& c : word) c = "abAB."[random() % 5];
    const bool caseSensitive = round % 2 == 0;
    const bool whole = round % 3 == 0;

    const auto [expected, expectedCalls] =
        FirstMatch(WordPattern(word, whole), caseSensitive, TextBuffer(name).Text());
    for (const std::size_t chunk : {1, 2, 3, 5, 8, 4096}) {
      TextBuffer file(name, TextBuffer::Mode::OnDemand, chunk);
      int calls = 0;
      bool stop = false;
      const TProgressEvent count = [&](void*, bool&) { ++calls; };
      const bool found =
          FindWordInBuffer(file, word, caseSensitive, whole, EngineProgress(count, nullptr, stop));
      ASSERT_EQ(found, expected) << "round " << round << " chunk " << chunk << " word " << word;
      ASSERT_EQ(calls, expectedCalls) << "round " << round << " chunk " << chunk;
    }
  }
}

// The regex engine skips lines by the expression's required literal, first byte or start bytes;
// it must find the same first matching line as trying every line, for expressions of every
// kind, empty matches and anchors included.
TEST(SearchLines, RegexEngineAgreesWithTryingEveryLine) {
  TempFolder dir;
  std::mt19937 random(5);
  const std::string alphabet = "ab# \t\r\nxX1";
  const char* const expressions[] = {"^$",    "^",     "$",      "x*",    "\\b",   "a|",
                                     "[^a]",  "\\s*$", "^\\s*#", "\\W",   "a?b?",  "(ab)+x",
                                     "1\\d*", "b$",    "X",      "(?i)x", "a\\s+b"};
  Tmy_regexpr engine;
  Tmy_regexpr byRuns;  // runs of lines that cannot match told in one call
  byRuns.ProgressByRuns = true;
  int calls = 0;
  engine.OnProgress = byRuns.OnProgress = [&](void*, bool&) { ++calls; };
  for (int round = 0; round < 120; ++round) {
    std::string bytes;
    const auto length = random() % 50;
    for (std::size_t i = 0; i < length; ++i) bytes += alphabet[random() % alphabet.size()];
    const auto name = dir.Write("f.txt", bytes);
    for (const char* expression : expressions) {
      engine.Query = expression;
      engine.CaseSensitive = round % 2 == 0;
      const auto [expected, expectedCalls] = FirstMatch(expression, engine.CaseSensitive, bytes);
      calls = 0;
      ASSERT_EQ(engine.Search(name), expected) << expression << " round " << round;
      ASSERT_EQ(calls, expectedCalls) << expression << " round " << round;
      byRuns.Query = engine.Query;
      byRuns.CaseSensitive = engine.CaseSensitive;
      calls = 0;
      ASSERT_EQ(byRuns.Search(name), expected) << expression << " round " << round;
      ASSERT_LE(calls, expectedCalls) << expression << " round " << round;
    }
  }
}

// One pass for all the words must settle each word as its own pass does, with the same progress
// calls (a stop after some of them ends both alike), whatever the window's size: words that
// overlap or share a line, a candidate that fails its whole-word edges, case folding, words
// that hold or begin with a line break, the empty word and a word in the last, unended line.
TEST(WordListScan, SettlesEachWordAsItsOwnPassDoes) {
  struct Case {
    std::string text;
    std::vector<std::string> words;
    bool caseSensitive;
    bool whole;
  };
  const Case cases[] = {
      {"xx\nabcd\nbc\n", {"bcd", "abc", "cd", "zz"}, true, false},
      {"cat_x\ncat concat\n\ncat", {"at", "cat", "con"}, true, true},
      {"Foo\r\nBAR\rbar\n", {"bar", "baz", "foo", "BAR"}, false, false},
      {"a-b\n-b x-\n", {"-b", "x-", "-"}, true, true},
      {"ab\ncd\r\nef", {"b\nc", "\ncd", "ef", "d\r"}, true, false},
      {" \n\n..x\nzz", {"", "zz", "x"}, false, true},
      {"one\ntwo\nthree", {"three", "one", "four"}, false, false},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    const auto name = dir.Write("f.txt", c.text);
    for (const int limit : {-1, 0, 1, 3}) {
      int calls = 0;
      bool stop = false;
      const TProgressEvent count = [&](void*, bool& s) { s = ++calls > limit && limit >= 0; };
      std::vector<bool> expected;
      {
        TextBuffer file(name, TextBuffer::Mode::OnDemand);
        for (const auto& word : c.words) {
          expected.push_back(NoMatchWhenUnreadable({}, false, [&] {
            return FindWordInBuffer(file, word, c.caseSensitive, c.whole,
                                    EngineProgress(count, nullptr, stop));
          }));
        }
      }
      const int expectedCalls = calls;
      WordListSearcher searcher(c.words, c.caseSensitive, c.whole);
      for (const std::size_t chunk : {1, 2, 3, 5, 4096}) {
        calls = 0;
        stop = false;
        TextBuffer file(name, TextBuffer::Mode::OnDemand, chunk);
        const EngineProgress progress(count, nullptr, stop);
        WordListScan scan(file, searcher, progress);
        std::vector<bool> got;
        for (std::size_t k = 0; k < c.words.size(); ++k) got.push_back(scan.SearchWord(k));
        ASSERT_EQ(got, expected) << c.text << " limit " << limit << " chunk " << chunk;
        ASSERT_EQ(calls, expectedCalls) << c.text << " limit " << limit << " chunk " << chunk;
        if (limit >= 0) continue;
        // Without progress calls any one found settles "or".
        const TProgressEvent none;
        TextBuffer again(name, TextBuffer::Mode::OnDemand, chunk);
        WordListScan quiet(again, searcher, EngineProgress(none, nullptr, stop));
        EXPECT_EQ(quiet.AnyOf(0, c.words.size()),
                  std::find(expected.begin(), expected.end(), true) != expected.end())
            << c.text << " chunk " << chunk;
      }
    }
  }
}

// A search keeps a window of the file, not all of it: a match that straddles the window's edge,
// a line longer than the window and a second pass over the file (each word of "Word: and")
// must see the lines the whole text has.
TEST(SearchLines, WindowedSearchAgreesWithTheWholeText) {
  TempFolder dir;
  std::mt19937 random(11);
  constexpr std::size_t kChunk = TextBuffer::kChunk;
  const char* const breaks[] = {"\n", "\r\n", "\r"};
  for (int round = 0; round < 8; ++round) {
    std::string bytes = "first line\r\n";
    while (bytes.size() < 3 * kChunk) {
      const std::size_t length =
          random() % 5 == 0 ? kChunk + random() % (2 * kChunk) : random() % 300;
      bytes.append(length, "abc  xyz"[random() % 8]);
      bytes += breaks[random() % 3];
    }
    // Straddles the edge of one of the first windows, or lies in the last line.
    const std::size_t at = round % 4 == 3 ? bytes.size() : (1 + round % 3) * kChunk - random() % 7;
    bytes.insert(std::min(at, bytes.size()), "needle");
    bytes += "the end";
    const auto name = dir.Write("f.txt", bytes);

    const auto [expected, expectedCalls] = FirstMatch("ne+dle", true, bytes);
    ASSERT_TRUE(expected);
    Tmy_regexpr regexpr;
    int calls = 0;
    regexpr.OnProgress = [&](void*, bool&) { ++calls; };
    regexpr.Query = "ne+dle";
    regexpr.CaseSensitive = true;
    EXPECT_EQ(regexpr.Search(name), expected) << "round " << round;
    EXPECT_EQ(calls, expectedCalls) << "round " << round;

    // A block whose first line straddles a window's edge, or is longer than a window.
    const auto lines = SplitLines(bytes);
    const auto at_needle = std::find_if(lines.begin(), lines.end(), [](std::string_view line) {
      return line.find("needle") != std::string_view::npos;
    });
    std::vector<std::string> block = {std::string(TrimBlank(*at_needle))};
    if (at_needle + 1 != lines.end()) block.emplace_back(TrimBlank(at_needle[1]));
    Tmy_multiline multiline;
    multiline.CaseSensitive = multiline.TrimLeft = multiline.TrimRight = true;
    multiline.QueryLines = block;
    EXPECT_EQ(multiline.Search(name), BlockRule(bytes, block)) << "round " << round;

    Tmy_wordand wordand;
    wordand.CaseSensitive = true;
    for (const auto& [query, found] :
         {std::pair{"needle first", true}, std::pair{"end needle", true},
          std::pair{"needle absent", false}}) {
      wordand.Query = query;
      EXPECT_EQ(wordand.Search(name), found) << query << " round " << round;
    }
  }
}

}  // namespace
}  // namespace velmora
