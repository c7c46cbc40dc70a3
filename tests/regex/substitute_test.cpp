// Template expansion and replace-all.

#include <string>

#include "regex_test_util.h"

namespace velmora {
namespace {

TEST(RegexTemplate, ExpansionTable) {
  // Pattern "(a)(b)?(c)" matched on "xacy": capture 1 "a", capture 2 unset, capture 3 "c".
  const std::pair<const char*, const char*> rows[] = {
      {"$0|$&|${&}|${}", "ac|ac|ac|ac"},
      {"${1}x$1a", "axaa"},
      {"[$2][$4][$99999999999999]", "[][][]"},  // unset, no such group, huge number
      {"$01$13", "a"},                          // the whole digit run is the number
      {"\\$1\\\\$1", "$1\\a"},
      {"\\n", "n"},        // a backslash gives the next character, whatever it is
      {"end\\", "end\\"},  // a backslash at the very end stays
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
      {"zz", "", "no match", "Q", true, "no match"},
      {"(\\w+)@(\\w+)", "", "mail bob@host now", "$2 at $1", true, "mail host at bob now"},
      {"(\\w+)@(\\w+)", "", "bob@host", "$2 at $1", false, "$2 at $1"},
      {"word", "i", "Word, WORD.", "<$0>", true, "<Word>, <WORD>."},
      {"^", "m", "a\nb", "> ", true, "> a\n> b"},
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

TEST(RegexReplaceAll, BytesAfterANulAreKeptUnsearched) {
  TRegex re;
  re.SetExpression("a");
  EXPECT_EQ(re.ReplaceAll(std::string("aXa\0aa", 6), "b", true), std::string("bXb\0aa", 6));
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
  re.SetExpression("a(");
  try {
    re.ReplaceAll("abc", "x", true);
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 103);
  }
}

}  // namespace
}  // namespace velmora
