// Matcher tests: one row per construct (pattern, modifiers, input, match and captures), the
// search operations and their errors, loops that consume nothing, long inputs that a recursive
// matcher could not survive, and the progress hook.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "regex/Regex.h"

// Number of operator new calls so far in this test program (allocation_counter.cpp).
long AllocationCount();

namespace velmora {
namespace {

// "i", "-g", "m-s": letters switch a modifier on, letters after "-" switch it off.
void SetMods(TRegex& re, std::string_view mods) {
  bool on = true;
  for (const char c : mods) {
    if (c == '-') {
      on = false;
      continue;
    }
    const auto index = std::string_view("irsgmx").find(c);
    ASSERT_NE(index, std::string_view::npos) << mods;
    re.SetModifier(static_cast<std::int32_t>(index) + 1, on);
  }
}

constexpr const char* kUnset = nullptr;

struct MatchRow {
  const char* pattern;
  const char* mods;
  std::string_view input;
  int start;  // 1-based; 0 = no match
  int length;
  std::vector<const char*> groups;  // texts of captures 1, 2, ...; kUnset = unset
};

using namespace std::string_view_literals;

const MatchRow kRows[] = {
    // Literal runs; a quantifier takes the last character only.
    {"abc", "", "xxabcxx", 3, 3, {}},
    {"abc", "", "ababx", 0, 0, {}},
    {"abc*", "", "abccc", 1, 5, {}},
    {"abc*", "", "xab", 2, 2, {}},
    {"abc+", "", "abccc", 1, 5, {}},
    {"a{,3}", "", "xa{,3}", 2, 5, {}},
    {"a{2", "", "a{2", 1, 3, {}},
    {"{abc}", "", "x{abc}", 2, 5, {}},
    {"a{abc}", "", "a{abc}", 1, 6, {}},
    {"a\\.b", "", "axb a.b", 5, 3, {}},
    {"\\x41\\x{42}", "", "zAB", 2, 2, {}},
    {"\\t\\e", "", "a\t\x1b", 2, 2, {}},
    // Case-insensitive literals, classes and back-references.
    {"a", "i", "A", 1, 1, {}},
    {"abc", "i", "xAbC", 2, 3, {}},
    {"ABC", "", "abc", 0, 0, {}},
    {"[a-c]", "i", "xB", 2, 1, {}},
    {"(a)\\1", "i", "aA", 1, 2, {"a"}},
    {"(a)\\1", "", "aA", 0, 0, {}},
    // Any character.
    {".", "-s", "\r\nx", 3, 1, {}},
    {".", "s", "\r", 1, 1, {}},
    {".", "s", "", 0, 0, {}},
    {"a.c", "-s", "a\nc abc", 5, 3, {}},
    {".*", "-s", "ab\ncd", 1, 2, {}},
    {".*", "s", "ab\ncd", 1, 5, {}},
    // Anchors.
    {"^abc", "", "abc", 1, 3, {}},
    {"^abc", "", "xabc", 0, 0, {}},
    {"abc$", "", "xabc", 2, 3, {}},
    {"abc$", "", "abcx", 0, 0, {}},
    {"^b", "", "a\nb", 0, 0, {}},
    {"^b", "m", "a\r\nb", 4, 1, {}},
    {"a$", "m", "a\r\nb", 1, 1, {}},
    {"\\Ab", "m", "a\nb", 0, 0, {}},
    {"a\\Z", "m", "a\nb", 0, 0, {}},
    {"^$", "m", "a\n\nb", 3, 0, {}},
    // Word boundaries; bytes above 127 are not word characters by default.
    {"\\bfoo\\b", "", "a foo.", 3, 3, {}},
    {"\\bfoo\\b", "", "afoo", 0, 0, {}},
    {"\\Boo", "", "foo", 2, 2, {}},
    {"\\bx", "", "\xe9x", 2, 1, {}},
    {"\\b", "", "", 0, 0, {}},
    {"\\B", "", "", 1, 0, {}},
    // Classes.
    {"[abc]+", "", "xcabd", 2, 3, {}},
    {"[^abcd]", "", "abcde", 5, 1, {}},
    {"[^abcd]", "", "abcd", 0, 0, {}},
    {"[]a]+", "", "x]a]", 2, 3, {}},
    {"[a-]+", "", "x-a-", 2, 3, {}},
    {"[a-c-e]+", "", "xa-ced", 2, 4, {}},
    {"[\\D]", "", "1D", 2, 1, {}},
    {"[a-\\d]+", "", "x-a5", 2, 3, {}},
    {"\\d+", "", "ab123c", 3, 3, {}},
    {"\\D+", "", "12ab3", 3, 2, {}},
    {"\\w+", "", "--ab_9--", 3, 4, {}},
    {"\\W+", "", "ab--cd", 3, 2, {}},
    {"\\s+", "", "a \t\nb", 2, 3, {}},
    {"\\S+", "", "  ab ", 3, 2, {}},
    {"[\\xE0-\\xFF]", "r", "a\xb8", 2, 1, {}},
    {"[\\xE0-\\xFF]", "-r", "a\xb8", 0, 0, {}},
    {"[\\xE0-\\xDF]+", "r", "\xa8\xc0\xff\xb8", 1, 4, {}},
    // Single-character repeats, greedy and lazy.
    {"a*", "", "baa", 1, 0, {}},
    {"a+", "", "baa", 2, 2, {}},
    {"a?b", "", "ab", 1, 2, {}},
    {"a?b", "", "b", 1, 1, {}},
    {"a{2,3}", "", "aaaa", 1, 3, {}},
    {"a{2}", "", "a aa", 3, 2, {}},
    {"a{2,}", "", "aaaaa", 1, 5, {}},
    {"a{0}b", "", "ab", 2, 1, {}},
    {"a+", "-g", "aaa", 1, 1, {}},
    {"a+?", "", "aaa", 1, 1, {}},
    {"a+?", "-g", "aaa", 1, 1, {}},
    {"a*?b", "", "aaab", 1, 4, {}},
    {"a{2,3}?", "", "aaaa", 1, 2, {}},
    {"a??b", "", "ab", 1, 2, {}},
    {"x*", "", "", 1, 0, {}},
    {"a.*b", "", "a1b2b3", 1, 5, {}},
    {"a.*?b", "", "a1b2b3", 1, 3, {}},
    {".*foo", "", "xfooyfooz", 1, 8, {}},
    {"[a-z=]*=", "", "key=val=x", 1, 8, {}},
    {"[a-z=]*?=", "", "key=val=x", 1, 4, {}},
    {"\\d{2,4}-", "", "1-12345-", 4, 5, {}},
    {"a*ab", "", "aaab", 1, 4, {}},
    // Alternation and groups: the first match in backtracking order, not the longest.
    {"(a|ab)(c|bcd)(d*)", "", "abcd", 1, 4, {"a", "bcd", ""}},
    {"(a)|b", "", "b", 1, 1, {kUnset}},
    {"(foo|bar)baz", "", "xbarbaz", 2, 6, {"bar"}},
    {"cat|category", "", "category", 1, 3, {}},
    {"|a", "", "a", 1, 0, {}},
    {"a(b|c)*d", "", "abcbd", 1, 5, {"b"}},
    {"(ab)*", "", "ababx", 1, 4, {"ab"}},
    {"(ab)+c", "", "abababc", 1, 7, {"ab"}},
    {"(a|b)*c", "", "abbac", 1, 5, {"a"}},
    {"(ab)?c", "", "abc", 1, 3, {"ab"}},
    {"(ab)?c", "", "c", 1, 1, {kUnset}},
    {"(a(b)?)+", "", "aba", 1, 3, {"a", "b"}},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)",
     "",
     "abcdefghijklmn",
     1,
     14,
     {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n"}},
    {"((a)|b)+", "", "ab", 1, 2, {"b", "a"}},
    {"x(?i)y|z", "", "xY", 1, 2, {}},
    {"(?#note)a", "", "ba", 2, 1, {}},
    // Counted loops over longer operands, greedy and lazy.
    {"(ab)*?c", "", "ababc", 1, 5, {"ab"}},
    {"(ab)+?", "", "ababab", 1, 2, {"ab"}},
    {"(ab)*", "-g", "abab", 1, 0, {kUnset}},
    {"(ab)+", "-g", "abab", 1, 2, {"ab"}},
    {"(ab){2}", "", "abababab", 1, 4, {"ab"}},
    {"(ab){1,2}?c", "", "ababc", 1, 5, {"ab"}},
    {"(a|b){2,3}", "", "abab", 1, 3, {"a"}},
    {"(a|b){2,3}?", "", "abab", 1, 2, {"b"}},
    {"((ab){2}c){2}", "", "xababcababc", 2, 10, {"ababc", "ab"}},
    {"(ab)??c", "", "abc", 1, 3, {"ab"}},
    {"(ab){2,}", "", "ab abababx", 4, 6, {"ab"}},
    {"(a|ab){2}c", "", "aabc", 1, 4, {"ab"}},
    {"(a|ab){2}?c", "", "aabc", 1, 4, {"ab"}},
    // Back-references.
    {"(a+)b\\1", "", "aaabaa", 2, 5, {"aa"}},
    {"\\1", "", "a", 0, 0, {}},
    {"(a)|\\1b", "", "b", 0, 0, {}},
    {"(a)\\1{3}", "", "aaaaa", 1, 4, {"a"}},
    {"(ab)\\1+", "", "abababx", 1, 6, {"ab"}},
    {"(ab)\\1*?x", "", "ababx", 1, 5, {"ab"}},
    {"(a?)\\1*x", "", "x", 1, 1, {""}},
    {"(a?)\\1{2,5}x", "", "x", 1, 1, {""}},
    {"(a*)(\\1)*b", "", "b", 1, 1, {"", ""}},
    {"(a?)(\\1)+b", "", "b", 1, 1, {"", ""}},
    {"(a?)(\\1){3,}b", "", "b", 1, 1, {"", ""}},
    {"(a?)(\\1)*?b", "", "b", 1, 1, {"", kUnset}},
    {"(\\1)+", "", "aaa", 0, 0, {}},
    {"(a)(b\\2)", "", "abb", 0, 0, {}},
    {"(a)\\1\\1", "", "aa", 0, 0, {}},
    // Line separators inside "." and the paired separator.
    {"a.", "-s", "a\r\n", 0, 0, {}},
    {"$", "m", "ab\r\n", 3, 0, {}},
};

std::string Describe(const MatchRow& row) {
  return "pattern '" + std::string(row.pattern) + "' mods '" + row.mods + "' input '" +
         std::string(row.input) + "'";
}

TEST(RegexMatch, ConstructTable) {
  for (const MatchRow& row : kRows) {
    SCOPED_TRACE(Describe(row));
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    const bool found = re.Exec(row.input);
    ASSERT_EQ(found, row.start != 0);
    if (!found) {
      EXPECT_EQ(re.MatchStart(0), -1);
      continue;
    }
    EXPECT_EQ(re.MatchStart(0), row.start);
    EXPECT_EQ(re.MatchLength(0), row.length);
    EXPECT_EQ(re.MatchText(0), row.input.substr(row.start - 1, row.length));
    for (std::size_t g = 0; g < row.groups.size(); ++g) {
      const auto index = static_cast<std::int32_t>(g + 1);
      if (row.groups[g] == kUnset) {
        EXPECT_EQ(re.MatchStart(index), -1) << "group " << index;
        EXPECT_EQ(re.MatchLength(index), -1) << "group " << index;
      } else {
        EXPECT_EQ(re.MatchText(index), row.groups[g]) << "group " << index;
      }
    }
    for (auto index = static_cast<std::int32_t>(row.groups.size() + 1); index < 15; ++index) {
      EXPECT_EQ(re.MatchStart(index), -1) << "group " << index;
    }
  }
}

// Every match of `pattern` in `input`, as (start, length), through Exec and ExecNext.
std::vector<std::pair<int, int>> AllMatches(std::string_view pattern, std::string_view mods,
                                            std::string_view input) {
  TRegex re;
  SetMods(re, mods);
  re.SetExpression(pattern);
  std::vector<std::pair<int, int>> found;
  for (bool ok = re.Exec(input); ok; ok = re.ExecNext()) {
    found.emplace_back(re.MatchStart(0), re.MatchLength(0));
  }
  return found;
}

using Matches = std::vector<std::pair<int, int>>;

TEST(RegexMatch, ExecNextAfterAnEmptyMatchMovesOneFurther) {
  EXPECT_EQ(AllMatches("a*", "", "baa"), (Matches{{1, 0}, {2, 2}, {4, 0}}));
  EXPECT_EQ(AllMatches("x*", "", ""), (Matches{{1, 0}}));
  EXPECT_EQ(AllMatches("ab", "", "abab ab"), (Matches{{1, 2}, {3, 2}, {6, 2}}));
}

TEST(RegexMatch, LineAnchorsWithModifierM) {
  // a CR LF b CR c LF d: never between CR and LF.
  const std::string_view text = "a\r\nb\rc\nd";
  EXPECT_EQ(AllMatches("^", "m", text), (Matches{{1, 0}, {4, 0}, {6, 0}, {8, 0}}));
  EXPECT_EQ(AllMatches("$", "m", text), (Matches{{2, 0}, {5, 0}, {7, 0}, {9, 0}}));
  EXPECT_EQ(AllMatches("^", "", text), (Matches{{1, 0}}));
  EXPECT_EQ(AllMatches("$", "", text), (Matches{{9, 0}}));
}

TEST(RegexMatch, PairedSeparatorWithoutSingleSeparators) {
  TRegex re;
  re.SetLineSeparatorChars("");
  re.SetModifier(3, false);
  re.SetModifier(5, true);
  re.SetExpression("a.");
  EXPECT_TRUE(re.Exec("a\rb"));  // a lone CR is an ordinary character now
  EXPECT_FALSE(re.Exec("a\r\n"));
  re.SetExpression("^b");
  EXPECT_TRUE(re.Exec("a\r\nb"));
  EXPECT_EQ(re.MatchStart(0), 4);
  EXPECT_FALSE(re.Exec("a\nb"));
  re.SetExpression("a$");
  EXPECT_TRUE(re.Exec("a\r\nb"));
  EXPECT_FALSE(re.Exec("a\rb"));
}

TEST(RegexMatch, CustomWordCharactersDriveBoundaries) {
  TRegex re;
  re.SetWordCharacters("ab-");
  re.SetExpression("\\ba-b\\b");
  EXPECT_TRUE(re.Exec("x a-b y"));
  EXPECT_FALSE(re.Exec("-a-b"));
}

TEST(RegexMatch, SubjectEndsAtItsFirstNul) {
  const std::string input("ab\0cd", 5);
  TRegex re;
  re.SetExpression("cd");
  EXPECT_FALSE(re.Exec(input));
  re.SetExpression("b$");
  EXPECT_TRUE(re.Exec(input));
  EXPECT_EQ(re.MatchStart(0), 2);
  re.SetExpression("[^x]+");
  EXPECT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchText(0), "ab");
}

TEST(RegexMatch, EmptyInputMatchesOnlyEmptyPatterns) {
  TRegex re;
  re.SetExpression("a?");
  EXPECT_TRUE(re.Exec(""));
  EXPECT_EQ(re.MatchStart(0), 1);
  EXPECT_EQ(re.MatchLength(0), 0);
  re.SetExpression("a");
  EXPECT_FALSE(re.Exec(""));
  EXPECT_FALSE(re.ExecView(std::string_view()));
}

TEST(RegexMatch, ExecPosOffsets) {
  TRegex re;
  re.SetExpression("a");
  ASSERT_TRUE(re.Exec("aba"));
  EXPECT_TRUE(re.ExecPos(2));
  EXPECT_EQ(re.MatchStart(0), 3);
  re.SetExpression("$");
  ASSERT_TRUE(re.Exec("aba"));
  EXPECT_TRUE(re.ExecPos(4));  // len + 1 tries the end
  EXPECT_EQ(re.MatchStart(0), 4);
  EXPECT_FALSE(re.ExecPos(5));  // past it: false, no error
  EXPECT_EQ(re.MatchStart(0), -1);
  try {
    re.ExecPos(0);
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 1006);
    EXPECT_EQ(e.ErrorPosition, 0);
    EXPECT_STREQ(e.what(), "Regex(exec): Offset Must Be Greater Then 0");
  }
  EXPECT_EQ(re.MatchStart(0), -1);
  // The anchored single try happens at the offset, where the input start cannot be.
  re.SetExpression("^a");
  ASSERT_TRUE(re.Exec("aa"));
  EXPECT_FALSE(re.ExecPos(2));
}

int ErrorCodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegexError& e) {
    return e.ErrorCode;
  }
  return 0;
}

TEST(RegexMatch, OperationErrors) {
  TRegex re;
  EXPECT_EQ(ErrorCodeOf([&] { re.Exec("abc"); }), 1003);
  EXPECT_EQ(ErrorCodeOf([&] { re.ExpandTemplate("$0"); }), 1003);
  re.SetExpression("b");
  EXPECT_EQ(re.MatchStart(0), -1);  // the input stays set although the search raised
  EXPECT_TRUE(re.ExecPos(2));
  TRegex fresh;
  fresh.SetExpression("b");
  EXPECT_EQ(ErrorCodeOf([&] { fresh.ExecPos(1); }), 1005);
  EXPECT_EQ(ErrorCodeOf([&] { fresh.ExpandTemplate("$0"); }), 1005);
  EXPECT_EQ(ErrorCodeOf([&] { fresh.ExecNext(); }), 1007);
  EXPECT_FALSE(re.Exec("xyz"));
  EXPECT_EQ(ErrorCodeOf([&] { re.ExecNext(); }), 1007);  // after a failed search
  EXPECT_TRUE(re.Exec("abc"));
  EXPECT_FALSE(re.ExecNext());
  EXPECT_EQ(ErrorCodeOf([&] { re.ExecNext(); }), 1007);
  // Out-of-range capture indexes.
  ASSERT_TRUE(re.Exec("abc"));
  EXPECT_EQ(re.MatchStart(-1), -1);
  EXPECT_EQ(re.MatchLength(15), -1);
  EXPECT_EQ(re.MatchText(15), "");
  // A compile error surfaces from the search and leaves the input searchable once fixed.
  re.SetExpression("a**");
  EXPECT_EQ(ErrorCodeOf([&] { re.ExecPos(1); }), 107);
  re.SetExpression("c");
  EXPECT_TRUE(re.ExecPos(1));
  EXPECT_EQ(re.MatchStart(0), 3);
}

TEST(RegexMatch, ModifierChangeRecompilesAtTheNextSearch) {
  TRegex re;
  re.SetExpression("abc");
  EXPECT_FALSE(re.Exec("ABC"));
  re.SetModifier(1, true);
  EXPECT_TRUE(re.Exec("ABC"));
  re.SetModifier(1, false);
  EXPECT_FALSE(re.ExecPos(1));
}

std::string NestedLoops(int depth) {
  std::string pattern = "a";
  for (int i = 0; i < depth; ++i) pattern = "(" + pattern + "){1,2}";
  return pattern;
}

TEST(RegexMatch, ElevenNestedCountedLoopsExceedTheLoopStack) {
  TRegex re;
  re.SetExpression(NestedLoops(10));
  EXPECT_TRUE(re.Exec("aa"));
  EXPECT_EQ(re.MatchLength(0), 2);
  re.SetExpression(NestedLoops(11));
  try {
    re.Exec("a");
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 1014);
    EXPECT_STREQ(e.what(), "Regex(exec): Loop Stack Exceeded");
  }
  // The instance stays usable.
  re.SetExpression("(ab)*c");
  EXPECT_TRUE(re.Exec("xababc"));
  EXPECT_EQ(re.MatchStart(0), 2);
}

TEST(RegexMatch, SequentialLoopsDoNotAccumulateDepth) {
  std::string pattern;
  for (int i = 0; i < 12; ++i) pattern += "(a|b){1,2}";
  TRegex re;
  re.SetExpression(pattern);
  EXPECT_TRUE(re.Exec(std::string(24, 'a')));
  EXPECT_EQ(re.MatchLength(0), 24);
}

TEST(RegexMatch, ExecViewSearchesTheCallersBytesWithoutCopying) {
  std::string line = "key=value";
  TRegex re;
  re.SetExpression("=(\\w+)");
  ASSERT_TRUE(re.ExecView(line));
  EXPECT_EQ(re.MatchText(1), "value");
  line[4] = 'V';  // the match positions refer to the caller's buffer
  EXPECT_EQ(re.MatchText(1), "Value");
  EXPECT_FALSE(re.ExecNext());
  // Exec takes a copy instead.
  std::string other = "a=bc";
  ASSERT_TRUE(re.Exec(other));
  other[2] = 'X';
  EXPECT_EQ(re.MatchText(1), "bc");
}

TEST(RegexMatch, FastPathsNeverChangeTheResult) {
  // Each pattern has one fast path; the expected matches are counted by hand.
  EXPECT_EQ(AllMatches("needle", "", "a needle and a needle"), (Matches{{3, 6}, {16, 6}}));
  EXPECT_EQ(AllMatches("x+y", "", "xxz xy"), (Matches{{5, 2}}));  // required "y"
  EXPECT_EQ(AllMatches("[0-9]+-[0-9]+", "", "1-2 a-b 33-44-"),    // required "-"
            (Matches{{1, 3}, {9, 5}}));
  EXPECT_EQ(AllMatches("word", "i", "Word WORD sword"), (Matches{{1, 4}, {6, 4}, {12, 4}}));
  EXPECT_EQ(AllMatches("(cat|dog)s", "", "cats dogs cat"), (Matches{{1, 4}, {6, 4}}));
  EXPECT_EQ(AllMatches("\\s*#include", "", "  #include"), (Matches{{1, 10}}));
  EXPECT_EQ(AllMatches("^\\s*#x", "", "#x #x"), (Matches{{1, 2}}));
  EXPECT_EQ(AllMatches("b*$", "", "abb"), (Matches{{2, 2}, {4, 0}}));
  EXPECT_EQ(AllMatches("[ab]x|c", "", "bx ax c"), (Matches{{1, 2}, {4, 2}, {7, 1}}));
}

TEST(RegexMatch, SearchesOfTheSameLengthDoNotAllocate) {
  TRegex re;
  re.SetExpression("(a|b)+c\\1");
  ASSERT_TRUE(re.Exec("xxabcbyy, and a tail past the short-string size"));
  ASSERT_TRUE(re.ExecView("zzbacaqq"));
  const long before = AllocationCount();
  bool all = true;
  for (int i = 0; i < 100; ++i) {
    // The same length as the copy: its buffer is reused. A view is never copied.
    all = re.Exec("yyabcbxx, and a tail past the short-string-size") && all;
    all = re.ExecView("a longer line: bbcb") && all;
    all = re.ExecPos(1) && !re.ExecNext() && all;
  }
  const long allocations = AllocationCount() - before;
  EXPECT_TRUE(all);
  EXPECT_EQ(allocations, 0);
}

// ---- long inputs: an explicit backtracking stack, no call-stack recursion -----------------

TEST(RegexMatchLong, GroupStarOverTenMegabytes) {
  std::string input;
  input.reserve(10'000'000 + 1);
  for (int i = 0; i < 5'000'000; ++i) input += "ab";
  input += "x";
  TRegex re;
  re.SetExpression("(ab)*");
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchLength(0), 10'000'000);
  EXPECT_EQ(re.MatchStart(1), 10'000'000 - 1);
  EXPECT_EQ(re.MatchText(1), "ab");
}

TEST(RegexMatchLong, DotStarWithoutModifierSOverOneTenMegabyteLine) {
  std::string input(10'000'000, 'q');
  input += "\nrest";
  TRegex re;
  re.SetModifier(3, false);
  re.SetExpression(".*");
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchLength(0), 10'000'000);
  re.SetExpression(".*\\nr");  // stops at the line separator
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchStart(0), 1);
  EXPECT_EQ(re.MatchLength(0), 10'000'002);
}

TEST(RegexMatchLong, AlternationStarOverOneMegabyte) {
  std::string input;
  for (int i = 0; i < 500'000; ++i) input += "ab";
  TRegex re;
  re.SetExpression("(a|b)*c");
  EXPECT_FALSE(re.ExecView(input));
  input += "c";
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchLength(0), 1'000'001);
  EXPECT_EQ(re.MatchText(1), "b");
}

TEST(RegexMatchLong, LazyLoopAndBackReferenceRepeatOverLongLines) {
  std::string input(1'000'000, 'a');
  TRegex re;
  re.SetExpression("(a|b)*?$");
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchLength(0), 1'000'000);
  re.SetExpression("(a)\\1*$");
  ASSERT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchLength(0), 1'000'000);
}

// ---- progress hook ------------------------------------------------------------------------

TEST(RegexProgress, StopEndsARunawaySearchWithoutError) {
  TRegex re;
  re.SetExpression("(a+)+b");
  int calls = 0;
  re.OnProgress = [&calls](bool& stop) {
    ++calls;
    if (calls == 5) stop = true;
  };
  // The "b" lets the input pass the required-literal check; the search then explodes.
  EXPECT_FALSE(re.Exec("b" + std::string(40, 'a')));
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(re.MatchStart(0), -1);
  EXPECT_EQ(re.Expression(), "(a+)+b");
  // The instance goes on working, and a search that is not stopped still finds its match.
  re.OnProgress = [&calls](bool&) { ++calls; };
  EXPECT_TRUE(re.Exec("aaab"));
  EXPECT_EQ(re.MatchLength(0), 4);
}

TEST(RegexProgress, AStoppedSearchLeavesNothingBehindForTheNextOne) {
  // The stop comes inside the second iteration of the outer loop, after its loop-back passed
  // position 2; the next search must see that loop as fresh.
  TRegex re;
  re.SetExpression("(ab|(x+x+)+y)+");
  re.OnProgress = [](bool& stop) { stop = true; };
  EXPECT_FALSE(re.Exec("ab" + std::string(30, 'x')));
  re.OnProgress = nullptr;
  ASSERT_TRUE(re.Exec("abab"));
  EXPECT_EQ(re.MatchLength(0), 4);
}

TEST(RegexProgress, HostilePatternsEndWhenStopped) {
  struct Hostile {
    const char* pattern;
    std::string input;
  };
  const std::string as(5000, 'a');
  const Hostile cases[] = {
      {"(a+)+b", "b" + as},
      {"(a|a)*c|z", as},
      {"((a+)+)+b", "b" + as},
      {"(a|aa)+$", as + "b"},
      {"(\\w+\\s?)+$", "word " + std::string(3000, 'w') + "!"},
      {"(a|aa)*?c|z", as},
      {"((a|b){1,3}){2,}x", "x" + std::string(3000, 'b')},
      {"(x+x+)+y", std::string(5000, 'x') + "_y"},
  };
  for (const Hostile& h : cases) {
    SCOPED_TRACE(h.pattern);
    TRegex re;
    re.SetExpression(h.pattern);
    int calls = 0;
    re.OnProgress = [&calls](bool& stop) { stop = ++calls == 20; };
    try {
      re.Exec(h.input);
    } catch (const ERegexError& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(calls, 20);  // each one runs away, and each one stops at the 20th call
  }
}

TEST(RegexProgress, HookIsCalledDuringLongRepeatsToo) {
  // No node-level backtracking here, only counting and giving back characters.
  TRegex re;
  re.SetExpression(".*[xy]");
  int calls = 0;
  re.OnProgress = [&calls](bool& stop) { stop = ++calls == 3; };
  EXPECT_FALSE(re.Exec(std::string(200'000, 'a')));  // quadratic without a stop
  EXPECT_EQ(calls, 3);
}

TEST(RegexProgress, WithoutStopTheResultIsUnchanged) {
  TRegex re;
  re.SetExpression("(a|aa)+b");
  int calls = 0;
  re.OnProgress = [&calls](bool&) { ++calls; };
  ASSERT_TRUE(re.Exec(std::string(3000, 'a') + "b"));
  EXPECT_EQ(re.MatchLength(0), 3001);
  EXPECT_GT(calls, 0);
}

}  // namespace
}  // namespace velmora
