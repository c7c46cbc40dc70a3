// Compiler tests: errors with code, position and text; parse results the matcher cannot show;
// classes; modifiers and properties.

#include <string>

#include "regex_test_util.h"

namespace velmora {
namespace {

// Whether the pattern matches exactly the whole text.
bool MatchesWhole(std::string_view pattern, const std::string& text, std::string_view mods = "") {
  TRegex re;
  SetMods(re, mods);
  re.SetExpression(pattern);
  return re.Exec(text) && re.MatchStart(0) == 1 &&
         re.MatchLength(0) == static_cast<std::int32_t>(text.size());
}

// ---- errors ---------------------------------------------------------------------------------

TEST(RegexCompileErrors, CodePositionAndText) {
  const struct {
    const char *pattern, *mods;
    int position;
    const char* text;
  } rows[] = {
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", "", 43,
       "Regex(comp): ParseReg Too Many ()"},
      {"((a)", "", 4, "Regex(comp): ParseReg Unmatched ()"},
      {"(a{0,3})*", "", 8, "Regex(comp): *+ Operand Could Be Empty"},
      {"(ab)?*", "", 5, "Regex(comp): Nested *?+"},
      {"[\\xE0-\\xDF]", "-r", 10, "Regex(comp): Invalid [] Range"},
      {"\\x{41", "", 5, "Regex(comp): No Hex Code After \\x"},
      {"[^]", "", 3, "Regex(comp): Unmatched []"},
      {"a|*b", "", 3, "Regex(comp): ?+*{ Follows Nothing"},
      {"a{1,123456789}", "", 13, "Regex(comp): BRACES Argument Too Big"},
      {"(?iq)", "", 1, "Regex(comp): Urecognized Modifier"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    const ERegexError e = ErrorOf([&] { re.Compile(); });
    EXPECT_EQ(e.ErrorPosition, row.position);
    EXPECT_EQ(std::string(e.what()), row.text + (" (pos " + std::to_string(row.position) + ")"));
    EXPECT_EQ(ErrorOf([&] { re.Compile(); }).ErrorPosition, row.position);  // fails again alike
  }
}

TEST(RegexCompileErrors, MissingExpressionBadModifierAndBadSeparatorPair) {
  TRegex re;
  re.SetExpression("a");
  re.SetExpression("");  // an empty text leaves no pattern
  EXPECT_STREQ(ErrorOf([&] { re.Compile(); }).what(),
               "Regex(exec): Not Assigned Expression Property");
  for (const int index : {0, 7, -1}) {
    EXPECT_THROW(re.SetModifier(index, true), ERegexError);
    EXPECT_THROW((void)re.GetModifier(index), ERegexError);
  }
  // An invalid pair is refused with position 0 and keeps the old value.
  for (const std::string& bad : {std::string("a"), std::string("aa"), std::string("\0a", 2)}) {
    EXPECT_EQ(ErrorOf([&] { re.SetLinePairedSeparator(bad); }).ErrorPosition, 0);
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
  }
}

TEST(RegexCompileErrors, HostileNestingIsBoundedByTheGroupLimit) {
  // Each "(" opens a capture group, so nesting stops at the fifteenth long before the
  // parser's recursion could matter.
  TRegex re;
  re.SetExpression(std::string(1000000, '('));
  EXPECT_EQ(ErrorOf([&] { re.Compile(); }).ErrorPosition, 15);
  re.SetExpression(std::string(14, '(') + "a" + std::string(14, ')'));
  ASSERT_TRUE(re.Exec("xa"));  // fourteen captures are kept
  EXPECT_EQ(re.MatchText(14), "a");
  EXPECT_EQ(re.MatchStart(14), 2);
}

// ---- parsing --------------------------------------------------------------------------------

TEST(RegexCompileParse, LongPatternsCompileInLinearTime) {
  // Quadratic chain walks would take minutes here.
  std::string alternatives;
  for (int i = 0; i < 200000; ++i) alternatives += "ab|";
  TRegex re;
  re.SetExpression(alternatives + "c");
  ASSERT_TRUE(re.Exec("xc"));
  EXPECT_EQ(re.MatchStart(0), 2);
}

TEST(RegexCompileParse, EscapesAndNonBoundBracesStandForThemselves) {
  const std::pair<const char*, std::string> rows[] = {
      {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1b"},
      {"\\x41\\x{42}\\x{0043}\\x7e", "ABC~"},
      {"\\.\\\\\\T\\0\\-\\ ", ".\\T0- "},
      {"a{,3}a{}a{2,x}a{2", "a{,3}a{}a{2,x}a{2"},
      {"{abc}x]}y", "{abc}x]}y"},
  };
  for (const auto& [pattern, text] : rows) EXPECT_TRUE(MatchesWhole(pattern, text)) << pattern;
  EXPECT_TRUE(MatchesWhole("ab c*", "abcc", "x"));  // x skips the blank inside a run
  // A NUL in the pattern never matches, instead of matching empty; a NUL in the text ends it.
  EXPECT_FALSE(MatchesWhole("a\\x00", "a"));
  TRegex re;
  re.SetExpression(std::string("ab\0(", 4));
  EXPECT_EQ(re.Expression(), "ab");
  EXPECT_NO_THROW(re.Compile());
}

// ---- classes --------------------------------------------------------------------------------

// The bytes the pattern matches on their own, ascending; for a negated class the bytes it
// does not match.
std::string Members(TRegex& re, std::string_view pattern, bool negated = false) {
  re.SetExpression(pattern);
  std::string members;
  for (int c = 1; c < 256; ++c) {
    if (re.Exec(std::string(1, char(c))) != negated) members.push_back(char(c));
  }
  return members;
}

std::string Range(int first, int last) {
  std::string s;
  for (int c = first; c <= last; ++c) s.push_back(char(c));
  return s;
}

TEST(RegexCompileClasses, Members) {
  const struct {
    const char *pattern, *mods;
    bool negated;
    std::string members;
  } rows[] = {
      {"[^]a]", "", true, "]a"},
      {"[a-c-e]", "", false, "-abce"},
      {"[\\d-z]", "", false, "-" + Range('0', '9') + "z"},
      {"[\\b\\]\\\\]", "", false, "\\]b"},
      {"[a-cX]", "i", false, "ABCXabcx"},
      {"[^a]", "i", true, "Aa"},
      {"[ #]", "x", false, " #"},
      {"[\\xE0-\\xFF]", "", false, "\xB8" + Range(0xE0, 0xFF)},
      {"[\\xE0-\\xFF]", "-r", false, Range(0xE0, 0xFF)},
      {"[\\xE0-\\xDF]", "", false, "\xA8\xB8" + Range(0xC0, 0xFF)},
      {"\\s", "", false, "\t\n\f\r "},
  };
  for (const auto& row : rows) {
    TRegex re;
    SetMods(re, row.mods);
    EXPECT_EQ(Members(re, row.pattern, row.negated), row.members) << row.pattern;
  }
  // Class escapes use the instance's properties.
  TRegex re;
  re.SetWordCharacters("xy");
  re.SetSpaceCharacters("-");
  EXPECT_EQ(Members(re, "\\w"), "xy");
  EXPECT_EQ(Members(re, "\\S", true), "-");
  // A custom case toggle drives case-insensitive classes.
  re.SetToggleCaseFunction([](unsigned char c) -> unsigned char { return c == 'q' ? '!' : c; });
  re.SetModifier(1, true);
  EXPECT_EQ(Members(re, "[q]"), "!q");
}

// ---- modifiers, properties and lifecycle ----------------------------------------------------

TEST(RegexModifiers, InlineListsSwitchEachModifier) {
  const struct {
    const char *pattern, *mods, *input;
    bool whole;
  } rows[] = {
      {"(?s).", "-s", "\n", true},
      {"(?-g)a*b?", "", "aab", false},  // lazy: the empty match at the start
      {"(?r)[\xE0-\xFF]", "-r", "\xB8", true},
      {"(?is-mx)A.", "-s", "a\n", true},
      {"(?i)(?-i)a", "", "A", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesWhole(row.pattern, row.input, row.mods), row.whole) << row.pattern;
  }
}

// Properties and modifiers changed between searches take effect at the next one.
TEST(RegexModifiers, SeparatorsWordCharactersAndModifiersTakeEffectAtTheNextSearch) {
  TRegex re;
  re.SetExpression("ab");
  ASSERT_FALSE(re.Exec("AB"));
  re.SetModifier(1, true);
  EXPECT_TRUE(re.Exec("AB"));
  re.SetModifier(3, false);
  re.SetModifier(5, true);
  re.SetLineSeparatorChars("");
  re.SetExpression("a.");
  EXPECT_TRUE(re.Exec("a\rb"));  // a lone CR is an ordinary character now
  EXPECT_FALSE(re.Exec("a\r\n"));
  re.SetExpression("^b");
  EXPECT_TRUE(re.Exec("a\r\nb"));
  EXPECT_FALSE(re.Exec("a\nb"));
  re.SetLinePairedSeparator("\n\r");
  EXPECT_TRUE(re.Exec("a\n\rb"));
  // With a pair only, "$" also stands just before the pair, whose first byte is no separator.
  re.SetLinePairedSeparator("ab");
  re.SetExpression("$");
  ASSERT_TRUE(re.Exec("xab"));
  EXPECT_EQ(re.MatchStart(0), 2);
  re.SetLinePairedSeparator("");
  re.SetExpression("^$");
  EXPECT_FALSE(re.Exec("\n"));  // only the input's own start and end are left
  re.SetWordCharacters("ab-");
  re.SetExpression("\\ba-b\\b");
  EXPECT_TRUE(re.Exec("x a-b y"));
  EXPECT_FALSE(re.Exec("-a-b"));
}

TEST(RegexHelpers, EscapeMetaChars) {
  for (const char* text : {"1+1=2", "{x}[a-z](?i)", "C:\\dir\\*.*", "$100|\\x41"}) {
    EXPECT_TRUE(MatchesWhole(EscapeMetaChars(text), text)) << text;
  }
}

}  // namespace
}  // namespace velmora
