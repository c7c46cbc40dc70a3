// Compiler tests: errors with code, position and text; golden program dumps; byte layout;
// classes; fast-path data; modifiers and properties.

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "regex/RegexProgram.h"
#include "regex_test_util.h"

namespace velmora {
namespace {

using namespace regex_program;

std::string DumpOf(std::string_view pattern, std::string_view mods = "") {
  TRegex re;
  SetMods(re, mods);
  re.SetExpression(pattern);
  return re.Dump();
}

// ---- errors ---------------------------------------------------------------------------------

TEST(RegexCompileErrors, CodePositionAndText) {
  const struct {
    const char *pattern, *mods;
    int code, position;
    const char* text;
  } rows[] = {
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", "", 102, 43,
       "Regex(comp): ParseReg Too Many ()"},
      {"((a)", "", 103, 4, "Regex(comp): ParseReg Unmatched ()"},
      {"a|b)c", "", 104, 3, "Regex(comp): ParseReg Unmatched ()"},
      {"(a{0,3})*", "", 106, 8, "Regex(comp): *+ Operand Could Be Empty"},
      {"a *", "x", 106, 2, "Regex(comp): *+ Operand Could Be Empty"},
      {"(ab)?*", "", 107, 5, "Regex(comp): Nested *?+"},
      {"\\x{4Z}", "", 108, 4, "Regex(comp): Bad Hex Digit"},
      {"[\\xE0-\\xDF]", "-r", 109, 10, "Regex(comp): Invalid [] Range"},
      {"[a-\\", "", 110, 4, "Regex(comp): Parse Atom Trailing \\"},
      {"\\x{41", "", 111, 5, "Regex(comp): No Hex Code After \\x"},
      {"[\\x{fff}]", "", 112, 6, "Regex(comp): Hex Code After \\x Is Too Big"},
      {"[^]", "", 113, 3, "Regex(comp): Unmatched []"},
      {"a|*b", "", 115, 3, "Regex(comp): ?+*{ Follows Nothing"},
      {"ab\\", "", 116, 3, "Regex(comp): Trailing \\"},
      {"a{1,123456789}", "", 122, 13, "Regex(comp): BRACES Argument Too Big"},
      {"a{3,2}", "", 124, 5, "Regex(comp): BRACE Min Param Greater then Max"},
      {"ab(?#x", "", 125, 3, "Regex(comp): Unclosed (?#Comment)"},
      {"(?iq)", "", 127, 1, "Regex(comp): Urecognized Modifier"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    const ERegexError e = ErrorOf([&] { re.Compile(); });
    EXPECT_EQ(e.ErrorCode, row.code);
    EXPECT_EQ(e.ErrorPosition, row.position);
    EXPECT_EQ(std::string(e.what()), row.text + (" (pos " + std::to_string(row.position) + ")"));
    EXPECT_TRUE(re.ProgramBytes().empty());
    EXPECT_EQ(ErrorOf([&] { re.Compile(); }).ErrorPosition, row.position);  // fails again alike
  }
}

TEST(RegexCompileErrors, OtherCodesAndTexts) {
  TRegex re;
  EXPECT_EQ(re.ErrorText(0), "No errors");
  EXPECT_EQ(re.ErrorText(101), "Unknown error");
  ERegexError e = ErrorOf([&] { re.Compile(); });
  EXPECT_EQ(e.ErrorCode, 1003);
  EXPECT_EQ(e.ErrorPosition, 0);
  EXPECT_STREQ(e.what(), "Regex(exec): Not Assigned Expression Property");
  re.SetExpression("a");
  re.SetExpression("");  // an empty text leaves no pattern
  EXPECT_EQ(ErrorOf([&] { re.Compile(); }).ErrorCode, 1003);

  const int before = re.Modifiers();
  for (const int index : {0, 7, -1}) {
    e = ErrorOf([&] { re.SetModifier(index, true); });
    EXPECT_EQ(e.ErrorCode, 1013);
    EXPECT_STREQ(e.what(), "Unknown error");
    EXPECT_THROW((void)re.GetModifier(index), ERegexError);
  }
  EXPECT_EQ(re.Modifiers(), before);

  // An invalid pair is refused with position 0 and keeps the old value.
  for (const std::string& bad : {std::string("a"), std::string("aa"), std::string("\0a", 2)}) {
    e = ErrorOf([&] { re.SetLinePairedSeparator(bad); });
    EXPECT_EQ(e.ErrorCode, 128);
    EXPECT_EQ(std::string(e.what()),
              "Regex(comp): LinePairedSeparator must countain two different chars or no chars at "
              "all (pos 0)");
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
  }
}

TEST(RegexCompileErrors, HostileNestingIsBoundedByTheGroupLimit) {
  // Each "(" opens a capture group, so nesting stops at the fifteenth long before the
  // parser's recursion could matter.
  TRegex re;
  re.SetExpression(std::string(1000000, '('));
  const ERegexError e = ErrorOf([&] { re.Compile(); });
  EXPECT_EQ(e.ErrorCode, 102);
  EXPECT_EQ(e.ErrorPosition, 15);
  re.SetExpression(std::string(14, '(') + "a" + std::string(14, ')'));
  ASSERT_TRUE(re.Exec("xa"));  // fourteen captures are kept
  EXPECT_EQ(re.MatchText(14), "a");
  EXPECT_EQ(re.MatchStart(14), 2);
}

// ---- golden dumps and byte layout -----------------------------------------------------------

TEST(RegexCompileDump, GoldenPrograms) {
  const std::pair<const char*, const char*> rows[] = {
      {"[abc]", "1: BRANCH -> 14\n6: IN_SMALL_SET \"abc\" -> 14\n14: END -> none\n"},
      {"[abcd]", "1: BRANCH -> 43\n6: IN_SET [a-d] -> 43\n43: END -> none\n"},
      {"abc*",
       "1: BRANCH -> 26\n6: LITERAL \"ab\" -> 14\n14: STAR -> 26\n19: LITERAL \"c\" -> none\n"
       "26: END -> none\n"},
      {"a|bc",
       "1: BRANCH -> 13\n6: LITERAL \"a\" -> 26\n13: BRANCH -> 26\n18: LITERAL \"bc\" -> 26\n"
       "26: END -> none\n"},
      {"x{2,5}?y",
       "1: BRANCH -> 33\n6: BRACES_LAZY {2,5} -> 26\n19: LITERAL \"x\" -> none\n"
       "26: LITERAL \"y\" -> 33\n33: END -> none\n"},
      {"(ab)*c",
       "1: BRANCH -> 56\n6: BRANCH -> 39\n11: OPEN 1 -> 16\n16: BRANCH -> 29\n"
       "21: LITERAL \"ab\" -> 29\n29: CLOSE 1 -> 34\n34: BACK -> 6\n39: BRANCH -> 44\n"
       "44: EMPTY -> 49\n49: LITERAL \"c\" -> 56\n56: END -> none\n"},
  };
  for (const auto& [pattern, dump] : rows) EXPECT_EQ(DumpOf(pattern), dump) << pattern;
  // Other shapes, by the one node that tells them apart.
  const std::pair<const char*, const char*> nodes[] = {
      {"a{2,}", "6: BRACES {2,2147483646} -> 26"},
      {"a{00000001,99999999}", "6: BRACES {1,99999999}"},
      {"a{3}?", "6: BRACES_LAZY {3,3}"},
      {"a??", "6: BRACES_LAZY {0,1}"},
      {"(ab){2,}", "34: LOOP {2,2147483646} body 11 -> 51"},
      {"(a)\\1(?i)\\1", "34: COMMENT -> 39\n39: BACKREF_CI \\1"},
      {"\\A\\D\\B", "6: INPUT_START -> 11\n11: NON_DIGIT -> 16\n16: NOT_WORD_BOUNDARY"},
      {"ab{x}", "6: LITERAL \"a\" -> 13\n13: LITERAL \"b\""},  // "{" that is no bound splits
  };
  for (const auto& [pattern, node] : nodes) {
    EXPECT_NE(DumpOf(pattern).find(node), std::string::npos) << pattern << "\n" << DumpOf(pattern);
  }
}

TEST(RegexCompileLayout, OperandBytesAreExactAndLittleEndian) {
  TRegex re;
  re.SetExpression("[cab]");
  re.Compile();
  const std::vector<std::uint8_t> expected = {
      PROGRAM_MAGIC, OP_BRANCH, 13, 0, 0, 0, OP_IN_SMALL_SET, 8, 0, 0, 0, 'a', 'b',
      'c',           OP_END,    0,  0, 0, 0};
  EXPECT_TRUE(std::ranges::equal(re.ProgramBytes(), expected));
  re.SetExpression("(ab)*c");
  re.Compile();
  // BACK at 34 leads to 6: -28 stored low byte first.
  EXPECT_TRUE(std::ranges::equal(re.ProgramBytes().subspan(34, 5),
                                 std::vector<std::uint8_t>{OP_BACK, 0xE4, 0xFF, 0xFF, 0xFF}));
  re.SetExpression("a{258,65536}");
  re.Compile();
  EXPECT_TRUE(std::ranges::equal(
      re.ProgramBytes().subspan(6, 13),
      std::vector<std::uint8_t>{OP_BRACES, 20, 0, 0, 0, 2, 1, 0, 0, 0, 0, 1, 0}));
}

// Size of a node and its operand bytes (operand nodes of repeats are nodes of their own).
std::size_t NodeSize(const std::uint8_t* n) {
  const std::uint8_t op = n[0];
  if (op == OP_LITERAL || op == OP_LITERAL_CI)
    return 6 + std::strlen(reinterpret_cast<const char*>(n + 5));
  if (op == OP_IN_SMALL_SET || op == OP_NOT_IN_SMALL_SET) return 8;
  if (op == OP_IN_SET) return 37;
  if (op == OP_BACKREF || op == OP_BACKREF_CI) return 6;
  if (op == OP_BRACES || op == OP_BRACES_LAZY) return 13;
  return op == OP_LOOP || op == OP_LOOP_LAZY ? 17 : 5;
}

TEST(RegexCompileLayout, EveryProgramIsWellFormed) {
  static const std::set<int> known = {0,  1,  2,  3,  6,  7,  8,  9,  10, 11, 12,
                                      13, 18, 19, 20, 23, 24, 25, 26, 27, 28, 29,
                                      30, 31, 32, 33, 34, 35, 36, 37, 38};
  for (const char* pattern :
       {"a|b|c", "(a|b)*c", "(ab)+?x", "x(ab)??y", "[^a-z\\d]+", "a{2,}b", "(a.){1,3}",
        "(?i)ab[cd]\\1", "^\\s*#x$", "(?#c)(?s-g).+", "\\x{}\\x00", "(((a|)b)+)?", "a??b*?c+?",
        "(a(b(c)?)*)+d", "\\bfoo\\B", "(x)(y)\\2\\1", "[]-]"}) {
    for (const char* mods : {"", "i", "-g", "m", "x"}) {
      SCOPED_TRACE(std::string(pattern) + " /" + mods);
      TRegex re;
      SetMods(re, mods);
      re.SetExpression(pattern);
      ASSERT_NO_THROW(re.Compile());
      const auto bytes = re.ProgramBytes();
      EXPECT_EQ(bytes[0], PROGRAM_MAGIC);
      EXPECT_EQ(bytes[1], OP_BRANCH);
      std::set<std::size_t> starts;
      std::size_t pos = 1;
      for (; pos < bytes.size(); pos += NodeSize(bytes.data() + pos)) {
        const std::uint8_t op = bytes[pos];
        ASSERT_TRUE(known.count(op) > 0 || IsOpen(op) || IsClose(op)) << int(op) << " at " << pos;
        starts.insert(pos);
      }
      EXPECT_EQ(pos, bytes.size());  // nodes tile the program exactly
      EXPECT_EQ(bytes[bytes.size() - 5], OP_END);
      for (const std::size_t start : starts) {
        const std::int32_t next = NextOffset(bytes.data() + start);
        if (next == 0) continue;
        EXPECT_EQ(starts.count(start + static_cast<std::size_t>(next)), 1u) << "from " << start;
        EXPECT_EQ(next < 0, bytes[start] == OP_BACK) << "node " << start;  // only BACK runs back
      }
    }
  }
}

TEST(RegexCompileLayout, LongPatternsCompileInLinearTime) {
  // Quadratic chain walks would take minutes here.
  std::string alternatives;
  for (int i = 0; i < 200000; ++i) alternatives += "ab|";
  TRegex re;
  re.SetExpression(alternatives + "c");
  ASSERT_NO_THROW(re.Compile());
  EXPECT_EQ(re.ProgramBytes().size(), 1u + 200001u * 5u + 200000u * 8u + 7u + 5u);
}

// ---- literals, escapes and quantifier parsing ----------------------------------------------

// The operands of every literal node, in program order, joined.
std::string LiteralTexts(std::string_view pattern) {
  TRegex re;
  re.SetExpression(pattern);
  re.Compile();
  const auto bytes = re.ProgramBytes();
  std::string text;
  for (std::size_t pos = 1; pos < bytes.size(); pos += NodeSize(bytes.data() + pos)) {
    if (bytes[pos] == OP_LITERAL || bytes[pos] == OP_LITERAL_CI) {
      text += reinterpret_cast<const char*>(bytes.data() + pos + 5);
    }
  }
  return text;
}

TEST(RegexCompileLiterals, EscapesAndNonBoundBracesStandForThemselves) {
  const std::pair<const char*, std::string> rows[] = {
      {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1b"},
      {"\\x41\\x{42}\\x{0043}\\x7e", "ABC~"},
      {"\\.\\\\\\T\\0\\-\\ ", ".\\T0- "},
      {"a{,3}a{}a{2,x}a{2", "a{,3}a{}a{2,x}a{2"},
      {"{abc}x]}y", "{abc}x]}y"},
  };
  for (const auto& [pattern, text] : rows) EXPECT_EQ(LiteralTexts(pattern), text) << pattern;
  EXPECT_EQ(DumpOf("ab c*", "x"), DumpOf("abc*"));  // x skips the blank inside a run
}

TEST(RegexCompileLiterals, NulCharacterNeverMatchesInsteadOfMatchingEmpty) {
  TRegex re;
  re.SetExpression("a\\x00");
  re.Compile();
  const std::uint8_t* node = re.ProgramBytes().data() + 13;
  EXPECT_EQ(Opcode(node), OP_IN_SMALL_SET);
  EXPECT_EQ(node[5] | node[6] | node[7], 0);
  re.SetExpression(std::string("ab\0(", 4));  // the pattern ends at a NUL
  EXPECT_EQ(re.Expression(), "ab");
  EXPECT_NO_THROW(re.Compile());
}

// ---- classes --------------------------------------------------------------------------------

// Opcode of the first node and the bytes it matches, ascending (small sets: distinct bytes).
std::pair<int, std::string> ClassOf(TRegex& re, std::string_view pattern) {
  re.SetExpression(pattern);
  re.Compile();
  const std::uint8_t* node = re.ProgramBytes().data() + 6;
  std::string members;
  if (Opcode(node) == OP_IN_SET) {
    for (int c = 0; c < 256; ++c) {
      if (SetHas(Operand(node), static_cast<std::uint8_t>(c))) members.push_back(char(c));
    }
  } else if (Opcode(node) == OP_IN_SMALL_SET || Opcode(node) == OP_NOT_IN_SMALL_SET) {
    const std::uint8_t* b = Operand(node);
    EXPECT_TRUE(b[0] <= b[1] && b[1] <= b[2]) << pattern;
    for (int i = 0; i < 3; ++i) {
      if (members.empty() || members.back() != char(b[i])) members.push_back(char(b[i]));
    }
  }
  return {Opcode(node), members};
}

std::string Range(int first, int last) {
  std::string s;
  for (int c = first; c <= last; ++c) s.push_back(char(c));
  return s;
}

TEST(RegexCompileClasses, MembersAndEmission) {
  const struct {
    const char *pattern, *mods;
    int op;
    std::string members;
  } rows[] = {
      {"[^]a]", "", OP_NOT_IN_SMALL_SET, "]a"},
      {"[a-c-e]", "", OP_IN_SET, "-abce"},
      {"[\\d-z]", "", OP_IN_SET, "-" + Range('0', '9') + "z"},
      {"[\\b\\]\\\\]", "", OP_IN_SMALL_SET, "\\]b"},
      {"[a-c]", "i", OP_IN_SET, "ABCabc"},
      {"[^a]", "i", OP_NOT_IN_SMALL_SET, "Aa"},
      {"[ #]", "x", OP_IN_SMALL_SET, " #"},
      {"[\\xE0-\\xFF]", "", OP_IN_SET, "\xB8" + Range(0xE0, 0xFF)},
      {"[\\xE0-\\xFF]", "-r", OP_IN_SET, Range(0xE0, 0xFF)},
      {"[\\xE0-\\xDF]", "", OP_IN_SET, "\xA8\xB8" + Range(0xC0, 0xFF)},
      {"\\d", "", OP_DIGIT, ""},
      {"\\s", "", OP_IN_SET, "\t\n\f\r "},
  };
  for (const auto& row : rows) {
    TRegex re;
    SetMods(re, row.mods);
    EXPECT_EQ(ClassOf(re, row.pattern), std::make_pair(row.op, row.members)) << row.pattern;
  }
  TRegex re;
  const std::string negated = ClassOf(re, "[^abcd]").second;
  EXPECT_EQ(negated.size(), 252u);
  EXPECT_EQ(negated.find_first_of("abcd"), std::string::npos);
  // Class escapes use the instance's properties.
  re.SetWordCharacters("xy");
  re.SetSpaceCharacters("-");
  EXPECT_EQ(ClassOf(re, "\\w"), std::make_pair(int(OP_IN_SMALL_SET), std::string("xy")));
  EXPECT_EQ(ClassOf(re, "\\S"), std::make_pair(int(OP_NOT_IN_SMALL_SET), std::string("-")));
  // A custom case toggle drives case-insensitive classes.
  re.SetToggleCaseFunction([](unsigned char c) -> unsigned char { return c == 'q' ? '!' : c; });
  re.SetModifier(1, true);
  EXPECT_EQ(ClassOf(re, "[q]").second, "!q");
}

// ---- fast-path data -------------------------------------------------------------------------

std::string StartSetText(const TRegexFastPath& fp) {
  std::string s;
  for (int c = 0; c < 256; ++c) {
    if (fp.StartCharSet[c]) s.push_back(char(c));
  }
  return s.size() == 256 ? "*" : s;
}

TEST(RegexCompileFastPath, DataForEachPatternShape) {
  const struct {
    const char *pattern, *mods;
    char first;
    bool anchored;
    const char* required;
    std::string start;  // "*" = all 256 codes
  } rows[] = {
      {"abc", "", 'a', false, "", "a"},
      {"^abc", "", 0, true, "", "a"},
      {"ab", "i", 0, false, "", "Aa"},
      {"x*ab(cd)efg", "", 0, false, "efg", "ax"},
      {"x*ab(?i)cde", "", 0, false, "ab", "ax"},
      {"\\d*x", "", 0, false, "x", "0123456789x"},
      {"a{1,2}b", "", 0, false, "b", "a"},
      {"(a|b)+?c", "", 0, false, "c", "ab"},
      {"$", "m", 0, false, "", std::string("\0\n\r", 3)},
      {"a*", "", 0, false, "", "*"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " /" + row.mods);
    TRegex re;
    SetMods(re, row.mods);
    re.SetExpression(row.pattern);
    re.Compile();
    const TRegexFastPath& fp = re.FastPath();
    EXPECT_EQ(fp.FirstLiteralChar, static_cast<unsigned char>(row.first));
    EXPECT_EQ(fp.AnchoredAtStart, row.anchored);
    EXPECT_EQ(fp.RequiredLiteral, row.required);
    EXPECT_EQ(StartSetText(fp), row.start);
  }
}

TEST(RegexCompileFastPath, LineEndBeforeAPairOutsideTheSeparatorsCanStartAMatch) {
  // "$" with m matches just before a separator pair; the start set must allow its first byte
  // even when it is not one of the line separators, or the search would skip that match.
  TRegex re;
  re.SetLineSeparatorChars("");
  re.SetLinePairedSeparator("ab");
  re.SetModifier(5, true);
  re.SetExpression("$");
  re.Compile();
  EXPECT_EQ(StartSetText(re.FastPath()), std::string("\0a", 2));
}

// ---- modifiers, properties and lifecycle ----------------------------------------------------

TEST(RegexModifiers, DefaultsAndIndexes) {
  TRegex re;
  EXPECT_EQ(re.Modifiers(), MODIFIER_R | MODIFIER_S | MODIFIER_G);
  for (int index = 1; index <= 6; ++index) re.SetModifier(index, !re.GetModifier(index));
  EXPECT_EQ(re.Modifiers(), MODIFIER_I | MODIFIER_M | MODIFIER_X);
  EXPECT_TRUE(re.GetModifier(1) && re.GetModifier(5) && !re.GetModifier(3));
  // New instances copy the process defaults.
  TRegexDefaults& defaults = RegexDefaults();
  const TRegexDefaults saved = defaults;
  defaults.ModifierI = true;
  defaults.WordCharacters = "ab";
  defaults.LinePairedSeparator = "";
  TRegex copy;
  defaults = saved;
  EXPECT_TRUE(copy.GetModifier(1));
  EXPECT_EQ(copy.WordCharacters(), "ab");
  EXPECT_EQ(copy.LinePairedSeparator(), "");
  TRegex fresh;
  EXPECT_FALSE(fresh.GetModifier(1));
  EXPECT_EQ(fresh.SpaceCharacters() + fresh.LineSeparatorChars(), " \t\n\r\f\r\n");
  EXPECT_EQ(fresh.WordCharacters().size(), 63u);
}

TEST(RegexModifiers, InlineListsSwitchEachModifier) {
  const struct {
    const char *pattern, *mods;
    const char *same, *sameMods;  // an equivalent pattern without inline lists, its own mods
  } rows[] = {
      {"(?s).", "-s", "(?).", ""},
      {"(?-g)a*", "", "(?)a*", "-g"},
      {"(?r)[\\xE0-\\xFF]", "-r", "(?)[\\xE0-\\xFF]", ""},
      {"(?is-mx)a.", "-s", "(?)a.", "i"},
      {"(?i)(?-i)a", "", "(?)(?)a", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DumpOf(row.pattern, row.mods), DumpOf(row.same, row.sameMods)) << row.pattern;
  }
}

TEST(RegexModifiers, LineAnchorsNeedSomeSeparator) {
  TRegex re;
  re.SetModifier(5, true);
  re.SetLineSeparatorChars("");
  re.SetLinePairedSeparator("");
  re.SetExpression("^$");
  EXPECT_EQ(re.Dump(),
            "1: BRANCH -> 16\n6: INPUT_START -> 11\n11: INPUT_END -> 16\n16: END -> none\n");
  re.SetLinePairedSeparator("\r\n");
  EXPECT_NE(re.Dump().find("LINE_START"), std::string::npos);
}

TEST(RegexLifecycle, ProgramFollowsPatternModifiersAndProperties) {
  TRegex re;
  re.SetExpression("ab");
  EXPECT_FALSE(re.IsCompiled());  // lazy
  re.Compile();
  re.SetExpression("ab");  // same text: program kept
  EXPECT_TRUE(re.IsCompiled());
  re.SetExpression("abc");
  EXPECT_FALSE(re.IsCompiled());
  EXPECT_TRUE(re.ProgramBytes().empty());
  re.Compile();
  re.SetModifier(1, true);  // noticed by the next operation
  EXPECT_NE(re.Dump().find("LITERAL_CI"), std::string::npos);
  re.SetLinePairedSeparator("\r\n");  // same value: kept
  EXPECT_TRUE(re.IsCompiled());
  re.SetLinePairedSeparator("\n\r");
  EXPECT_FALSE(re.IsCompiled());
  EXPECT_EQ(re.LinePairedSeparator(), "\n\r");
}

// ---- free helpers ---------------------------------------------------------------------------

TEST(RegexHelpers, ToggleCaseAndEscapeMetaChars) {
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    EXPECT_EQ(ToggleCase(static_cast<unsigned char>(c)), letter ? c ^ 0x20 : c) << c;
  }
  EXPECT_EQ(EscapeMetaChars("^$.[()|?+*\\{]}"), "\\^\\$\\.\\[\\(\\)\\|\\?\\+\\*\\\\\\{\\]\\}");
  EXPECT_EQ(EscapeMetaChars("a b#-\t/\"'"), "a b#-\t/\"'");
  for (const char* text : {"1+1=2", "{x}[a-z](?i)", "C:\\dir\\*.*", "$100|\\x41"}) {
    EXPECT_EQ(LiteralTexts(EscapeMetaChars(text)), text) << text;
  }
}

}  // namespace
}  // namespace velmora
