// Template expansion and replace-all.

#include <gtest/gtest.h>

#include <string>

#include "regex/Regex.h"

namespace velmora {
namespace {

struct TemplateRow {
  const char* templ;
  const char* expected;
};

// Pattern "(a)(b)?(c)" matched on "xacy": capture 1 "a", capture 2 unset, capture 3 "c".
const TemplateRow kTemplateRows[] = {
    {"", ""},
    {"plain text", "plain text"},
    {"$0", "ac"},
    {"$&", "ac"},
    {"${&}", "ac"},
    {"${}", "ac"},
    {"${1}x", "ax"},
    {"$1a", "aa"},
    {"$3$1", "ca"},
    {"[$2]", "[]"},   // unset capture
    {"[$4]", "[]"},   // capture without a group
    {"[$15]", "[]"},  // beyond the last capture
    {"[$99999999999999]", "[]"},
    {"$01", "a"},  // the whole digit run is the number
    {"$13", ""},
    {"\\$1", "$1"},
    {"\\\\$1", "\\a"},
    {"\\n", "n"},        // a backslash gives the next character, whatever it is
    {"end\\", "end\\"},  // a backslash at the very end stays
    {"$", "$"},
    {"$$1", "$a"},
    {"$x", "$x"},
    {"${1", "${1"},  // no closing brace: no reference
    {"${1x}", "${1x}"},
    {"${&x}", "${&x}"},
    {"<$0>", "<ac>"},
};

TEST(RegexTemplate, ExpansionTable) {
  TRegex re;
  re.SetExpression("(a)(b)?(c)");
  ASSERT_TRUE(re.Exec("xacy"));
  for (const TemplateRow& row : kTemplateRows) {
    EXPECT_EQ(re.ExpandTemplate(row.templ), row.expected) << "template '" << row.templ << "'";
  }
}

TEST(RegexTemplate, NeedsPatternAndInput) {
  TRegex re;
  EXPECT_THROW(re.ExpandTemplate("x"), ERegexError);  // 1003
  re.SetExpression("a");
  try {
    re.ExpandTemplate("x");
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 1005);
    EXPECT_STREQ(e.what(), "Regex(exec): No Input String Specified");
  }
  // After a failed search every reference is empty, the rest is copied.
  EXPECT_FALSE(re.Exec("b"));
  EXPECT_EQ(re.ExpandTemplate("<$0>"), "<>");
}

struct ReplaceRow {
  const char* pattern;
  const char* mods;
  const char* input;
  const char* replacement;
  bool expand;
  const char* expected;
};

const ReplaceRow kReplaceRows[] = {
    // Empty matches: one character further after each, so one may follow a non-empty match.
    {"a*", "", "baa", "X", true, "XbXX"},
    {"x*", "", "", "-", true, "-"},
    {"x*", "", "ab", "-", true, "-a-b-"},
    {"b*", "", "abc", "-", true, "-a--c-"},
    // Ordinary replacements; matches never overlap.
    {"aa", "", "aaaaa", "b", true, "bba"},
    {"o", "", "foo boo", "0", true, "f00 b00"},
    {"zz", "", "no match here", "Q", true, "no match here"},
    {"(\\w+)@(\\w+)", "", "mail bob@host now", "$2 at $1", true, "mail host at bob now"},
    {"(\\w+)@(\\w+)", "", "bob@host", "$2 at $1", false, "$2 at $1"},
    {"word", "i", "Word, WORD.", "<b>$0</b>", true, "<b>Word</b>, <b>WORD</b>."},
    {"^", "m", "a\nb", "> ", true, "> a\n> b"},
    {"$", "m", "a\r\nb", ";", true, "a;\r\nb;"},
    {"\\s+", "", " a  b ", "_", true, "_a_b_"},
    {".", "", "abc", "\\$", true, "$$$"},
};

TEST(RegexReplaceAll, ReplaceTable) {
  for (const ReplaceRow& row : kReplaceRows) {
    TRegex re;
    for (const char c : std::string_view(row.mods)) {
      re.SetModifier(static_cast<std::int32_t>(std::string_view("irsgmx").find(c)) + 1, true);
    }
    re.SetExpression(row.pattern);
    EXPECT_EQ(re.ReplaceAll(row.input, row.replacement, row.expand), row.expected)
        << "pattern '" << row.pattern << "' input '" << row.input << "'";
  }
}

TEST(RegexReplaceAll, BytesAfterANulAreKeptUnsearched) {
  TRegex re;
  re.SetExpression("a");
  const std::string input("aXa\0aa", 6);
  EXPECT_EQ(re.ReplaceAll(input, "b", true), std::string("bXb\0aa", 6));
}

TEST(RegexReplaceAll, LeavesTheLastMatchReadable) {
  TRegex re;
  re.SetExpression("(\\d)");
  EXPECT_EQ(re.ReplaceAll("a1b2", "[$1]", true), "a[1]b[2]");
  // The last search failed, so no capture is left; the input copy stays searchable.
  EXPECT_EQ(re.MatchStart(0), -1);
  EXPECT_TRUE(re.ExecPos(1));
  EXPECT_EQ(re.MatchText(1), "1");
}

TEST(RegexReplaceAll, RaisesLikeASearch) {
  TRegex re;
  EXPECT_THROW(re.ReplaceAll("abc", "x", true), ERegexError);
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
