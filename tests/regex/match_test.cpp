// Matcher tests: one row per construct (pattern, modifiers, input, match and captures), the
// search operations and their errors, long inputs that a recursive matcher could not survive,
// the progress hook, template expansion and replace-all.

#include <string>
#include <utility>
#include <vector>

#include "regex_test_util.h"

namespace velmora {
namespace {

constexpr const char* kUnset = nullptr;

struct MatchRow {
  const char* pattern;
  const char* mods;
  std::string_view input;
  int start;  // 1-based; 0 = no match
  int length;
  std::vector<const char*> groups;  // texts of captures 1, 2, ...; kUnset = unset
};

const MatchRow kRows[] = {
    // Constructs the random patterns of the reference test leave out.
    // Case-insensitive back-references; inline lists end with their group.
    {"(a)\\1", "i", "aA", 1, 2, {"a"}},
    {"(a)\\1", "", "aA", 0, 0, {}},
    {"x(?i)y|z", "", "xY Z", 1, 2, {}},
    {"((?i)a)b", "", "AB Ab", 4, 2, {"A"}},
    // Input anchors; bytes above 127 are not word characters by default.
    {"\\Ab", "m", "a\nb", 0, 0, {}},
    {"a\\Z", "m", "a\nb", 0, 0, {}},
    {"\\bx", "", "\xe9x", 2, 1, {}},
    // Classes.
    {"[]a]+", "", "x]a]", 2, 3, {}},
    {"[a-\\d]+", "", "x-a5", 2, 3, {}},
    {"\\D+", "", "12ab3", 3, 2, {}},
    {"x\\d*", "", "x0189y", 1, 5, {}},  // a digit run through both ends of the range
    {"\\W+", "", "ab--cd", 3, 2, {}},
    {"[\\xE0-\\xFF]", "r", "a\xb8", 2, 1, {}},
    {"[\\xE0-\\xFF]", "-r", "a\xb8", 0, 0, {}},
    // Exact counts.
    {"a{0}b", "", "ab", 2, 1, {}},
    {"((ab){2}c){2}", "", "xababcababc", 2, 10, {"ababc", "ab"}},
    // Back-references, also repeated and empty.
    {"(a+)b\\1", "", "aaabaa", 2, 5, {"aa"}},
    {"(a)|\\1b", "", "b", 0, 0, {}},
    {"(ab)\\1*?x", "", "ababx", 1, 5, {"ab"}},
    {"(a?)\\1{2,5}x", "", "x", 1, 1, {""}},
    {"(a?)(\\1){3,}b", "", "b", 1, 1, {"", ""}},
    {"(a?)(\\1)*?b", "", "b", 1, 1, {"", kUnset}},
    {"(a)(b\\2)", "", "abb", 0, 0, {}},
};

TEST(RegexMatch, ConstructTable) {
  for (const MatchRow& row : kRows) {
    SCOPED_TRACE("pattern '" + std::string(row.pattern) + "' mods '" + row.mods + "' input '" +
                 std::string(row.input) + "'");
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    ASSERT_EQ(re.Exec(row.input), row.start != 0);
    EXPECT_EQ(re.MatchStart(0), row.start == 0 ? -1 : row.start);
    if (row.start == 0) continue;
    EXPECT_EQ(re.MatchLength(0), row.length);
    EXPECT_EQ(re.MatchText(0), row.input.substr(row.start - 1, row.length));
    for (std::int32_t index = 1; index < 15; ++index) {
      const auto g = static_cast<std::size_t>(index - 1);
      if (g < row.groups.size() && row.groups[g] != kUnset) {
        EXPECT_EQ(re.MatchText(index), row.groups[g]) << "group " << index;
      } else {
        EXPECT_EQ(re.MatchStart(index), -1) << "group " << index;
        EXPECT_EQ(re.MatchLength(index), -1) << "group " << index;
      }
    }
  }
}

using Matches = std::vector<std::pair<int, int>>;

TEST(RegexMatch, ExecNextFindsEveryMatch) {
  // An empty match moves one further; line anchors are never between CR and LF; each of the
  // last rows leans on one fast path (required literal, case-insensitive start, anchoring).
  const struct {
    const char *pattern, *mods, *input;
    Matches expected;
  } rows[] = {
      {"a*", "", "baa", {{1, 0}, {2, 2}, {4, 0}}},
      {"^", "m", "a\r\nb\rc\nd", {{1, 0}, {4, 0}, {6, 0}, {8, 0}}},
      {"$", "m", "a\r\nb\rc\nd", {{2, 0}, {5, 0}, {7, 0}, {9, 0}}},
      {"[0-9]+-[0-9]+", "", "1-2 a-b 33-44-", {{1, 3}, {9, 5}}},
      {"word", "i", "Word WORD sword", {{1, 4}, {6, 4}, {12, 4}}},
      {"^\\s*#x", "", "#x #x", {{1, 2}}},
      {"b*$", "", "abb", {{2, 2}, {4, 0}}},
  };
  for (const auto& row : rows) {
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    Matches found;
    for (bool ok = re.Exec(row.input); ok; ok = re.ExecNext()) {
      found.emplace_back(re.MatchStart(0), re.MatchLength(0));
    }
    EXPECT_EQ(found, row.expected) << row.pattern << " on '" << row.input << "'";
  }
}

TEST(RegexMatch, SubjectEndsAtItsFirstNulAndExecPosOffsets) {
  const std::string input("ab\0cd", 5);
  TRegex re;
  re.SetExpression("cd");
  EXPECT_FALSE(re.Exec(input));
  re.SetExpression("b$");
  EXPECT_TRUE(re.ExecView(input));
  EXPECT_EQ(re.MatchStart(0), 2);
  re.SetExpression("$");
  ASSERT_TRUE(re.Exec("aba"));
  EXPECT_TRUE(re.ExecPos(4));  // len + 1 tries the end
  EXPECT_EQ(re.MatchStart(0), 4);
  EXPECT_FALSE(re.ExecPos(5));  // past it: false, no error
  EXPECT_STREQ(ErrorOf([&] { re.ExecPos(0); }).what(),
               "Regex(exec): Offset Must Be Greater Then 0");
  // The anchored single try happens at the offset, where the input start cannot be.
  re.SetExpression("^a");
  ASSERT_TRUE(re.Exec("aa"));
  EXPECT_FALSE(re.ExecPos(2));
}

TEST(RegexMatch, OperationErrorsLeaveTheInstanceUsable) {
  TRegex re;
  EXPECT_EQ(ErrorOf([&] { re.Exec("abc"); }).ErrorCode, 1003);
  re.SetExpression("b");
  EXPECT_TRUE(re.ExecPos(2));  // the input stays set although the search raised
  EXPECT_FALSE(re.Exec("xyz"));
  EXPECT_EQ(ErrorOf([&] { re.ExecNext(); }).ErrorCode, 1007);  // after a failed search
  TRegex fresh;
  fresh.SetExpression("b");
  EXPECT_STREQ(ErrorOf([&] { fresh.ExpandTemplate("$0"); }).what(),
               "Regex(exec): No Input String Specified");
  // A compile error surfaces from the search and leaves the input searchable once fixed.
  re.SetExpression("a**");
  EXPECT_EQ(ErrorOf([&] { re.ExecPos(1); }).ErrorCode, 107);
  re.SetExpression("z");
  EXPECT_TRUE(re.ExecPos(1));
  EXPECT_EQ(re.MatchStart(0), 3);
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
  EXPECT_STREQ(ErrorOf([&] { re.Exec("a"); }).what(), "Regex(exec): Loop Stack Exceeded");
  // Sequential loops do not add up, and the instance stays usable.
  std::string pattern;
  for (int i = 0; i < 12; ++i) pattern += "(a|b){1,2}";
  re.SetExpression(pattern);
  EXPECT_TRUE(re.Exec(std::string(24, 'a')));
  EXPECT_EQ(re.MatchLength(0), 24);
}

// ---- template expansion and replace-all -----------------------------------------------------

TEST(RegexTemplate, ExpansionTable) {
  // Pattern "(a)(b)?(c)" matched on "xacy": capture 1 "a", capture 2 unset, capture 3 "c".
  const std::pair<const char*, const char*> rows[] = {
      {"$0|$&|${&}|${}", "ac|ac|ac|ac"},
      {"${1}x$1a", "axaa"},
      {"[$2][$4][$99999999999999]", "[][][]"},  // unset, no such group, huge number
      {"$01$13", "a"},                          // the whole digit run is the number
      {"\\$1\\\\$1", "$1\\a"},
      {"\\nend\\", "nend\\"},  // a backslash gives the next character; at the very end it stays
      {"$$1$x$", "$a$x$"},
      {"${1${1x}${&x}", "${1${1x}${&x}"},  // malformed braces are no reference
  };
  TRegex re;
  re.SetExpression("(a)(b)?(c)");
  ASSERT_TRUE(re.Exec("xacy"));
  for (const auto& [templ, expected] : rows) EXPECT_EQ(re.ExpandTemplate(templ), expected) << templ;
  // After a failed search every reference is empty, the rest is copied.
  EXPECT_FALSE(re.Exec("b"));
  EXPECT_EQ(re.ExpandTemplate("<$0>"), "<>");
}

TEST(RegexReplaceAll, ReplaceTable) {
  const struct {
    const char *pattern, *mods, *input, *replacement;
    bool expand;
    const char* expected;
  } rows[] = {
      // Empty matches: one character further after each, so one may follow a non-empty match.
      {"a*", "", "baa", "X", true, "XbXX"},
      {"x*", "", "", "-", true, "-"},
      {"b*", "", "abc", "-", true, "-a--c-"},
      {"aa", "", "aaaaa", "b", true, "bba"},  // matches never overlap
      {"(\\w+)@(\\w+)", "", "mail bob@host now", "$2 at $1", true, "mail host at bob now"},
      {"(\\w+)@(\\w+)", "", "bob@host", "$2 at $1", false, "$2 at $1"},
      {"word", "i", "Word, WORD.", "<$0>", true, "<Word>, <WORD>."},
      {"$", "m", "a\r\nb", ";", true, "a;\r\nb;"},
  };
  for (const auto& row : rows) {
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    EXPECT_EQ(re.ReplaceAll(row.input, row.replacement, row.expand), row.expected)
        << "pattern '" << row.pattern << "' input '" << row.input << "'";
  }
}

TEST(RegexReplaceAll, LeavesTheInputSearchableAndRaisesLikeASearch) {
  TRegex re;
  EXPECT_THROW(re.ReplaceAll("abc", "x", true), ERegexError);
  re.SetExpression("(\\d)");
  EXPECT_EQ(re.ReplaceAll("a1b2", "[$1]", true), "a[1]b[2]");
  // The last search failed, so no capture is left; the input copy stays searchable.
  EXPECT_EQ(re.MatchStart(0), -1);
  EXPECT_TRUE(re.ExecPos(1));
  EXPECT_EQ(re.MatchText(1), "1");
  re.SetExpression("a");  // bytes after a NUL are kept, unsearched
  EXPECT_EQ(re.ReplaceAll(std::string("aXa\0aa", 6), "b", true), std::string("bXb\0aa", 6));
  re.SetExpression("a(");
  EXPECT_EQ(ErrorOf([&] { re.ReplaceAll("abc", "x", true); }).ErrorCode, 103);
}

// ---- long inputs: an explicit backtracking stack, no call-stack recursion -----------------

TEST(RegexMatchLong, LoopsOverMegabytes) {
  std::string ab;
  for (int i = 0; i < 5'000'000; ++i) ab += "ab";
  const std::string as(1'000'000, 'a');
  const struct {
    const char* pattern;
    std::string input;
    int length;  // -1: no match
  } rows[] = {
      {"(ab)*", ab + "x", 10'000'000},
      {"(a|b)*c", as, -1},
      {"(a|b)*c", as + "c", 1'000'001},
      {".*\\nr", std::string(10'000'000, 'q') + "\nrest", 10'000'002},  // gives back at the break
      {"(a|b)*?$", as, 1'000'000},
      {"(a)\\1*$", as, 1'000'000},
  };
  for (const auto& row : rows) {
    TRegex re;
    re.SetModifier(3, false);
    re.SetExpression(row.pattern);
    EXPECT_EQ(re.ExecView(row.input), row.length >= 0) << row.pattern;
    EXPECT_EQ(re.MatchLength(0), row.length) << row.pattern;
  }
}

// ---- progress hook ------------------------------------------------------------------------

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
  const std::string as(5000, 'a');
  const std::pair<const char*, std::string> cases[] = {
      {"(a|a)*c|z", as},
      {"(a|aa)*?c|z", as},
      {"((a|b){1,3}){2,}x", "x" + std::string(3000, 'b')},
      {".*[xy]", std::string(200'000, 'a')},  // repeats give back characters, quadratic
  };
  for (const auto& [pattern, input] : cases) {
    TRegex re;
    re.SetExpression(pattern);
    int calls = 0;
    re.OnProgress = [&calls](bool& stop) { stop = ++calls == 20; };
    EXPECT_NO_THROW(EXPECT_FALSE(re.Exec(input))) << pattern;
    EXPECT_EQ(calls, 20) << pattern;  // each one runs away, and each one stops at the 20th call
    EXPECT_EQ(re.MatchStart(0), -1);
  }
}

}  // namespace
}  // namespace velmora
