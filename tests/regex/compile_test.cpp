// Compiler tests: errors with code, position and text; golden program dumps; byte layout;
// classes; fast-path data; modifiers and properties.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "regex/Regex.h"
#include "regex/RegexProgram.h"

namespace velmora {
namespace {

using namespace regex_program;

// "i", "-g", "xm": letters switch a modifier on, letters after "-" switch it off.
void ApplyModifiers(TRegex& re, std::string_view mods) {
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

std::string DumpOf(std::string_view pattern, std::string_view mods = "") {
  TRegex re;
  ApplyModifiers(re, mods);
  re.SetExpression(pattern);
  return re.Dump();
}

// ---- errors ---------------------------------------------------------------------------------

struct ErrorRow {
  const char* pattern;
  const char* mods;
  int code;
  int position;
};

const ErrorRow kErrorRows[] = {
    // Groups.
    {"(((((((((((((((a)))))))))))))))", "", 102, 15},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", "", 102, 43},
    {"(ab", "", 103, 3},
    {"((a)", "", 103, 4},
    {"ab)", "", 104, 2},
    {"a|b)c", "", 104, 3},
    // Quantified operands that can be empty.
    {"(a*)*", "", 106, 4},
    {"(a|)+", "", 106, 4},
    {"(a{0,3})*", "", 106, 8},
    {"(^)*", "", 106, 3},
    {"^{abc}", "", 106, 1},
    {"\\b+", "", 106, 2},
    {"(?i)*", "", 106, 4},
    {"a *", "x", 106, 2},
    {"$*", "m", 106, 1},
    // Quantifier after quantifier.
    {"a**", "", 107, 2},
    {"a{2}{3}", "", 107, 4},
    {"a*??", "", 107, 3},
    {"a+{", "", 107, 2},
    {"(ab)?*", "", 107, 5},
    // Hex escapes.
    {"\\xG1", "", 108, 2},
    {"\\x1G", "", 108, 3},
    {"\\x{4Z}", "", 108, 4},
    {"[\\xZ0]", "", 108, 3},
    {"\\x4", "", 111, 3},
    {"\\x", "", 111, 2},
    {"\\x{41", "", 111, 5},
    {"[a-\\x", "", 111, 5},
    {"\\x{100}", "", 112, 5},
    {"[\\x{fff}]", "", 112, 6},
    // Classes.
    {"[b-a]", "", 109, 4},
    {"[\\xE0-\\xDF]", "-r", 109, 10},
    {"[z-\\x41]", "", 109, 7},
    {"[a\\", "", 110, 3},
    {"[a-\\", "", 110, 4},
    {"[abc", "", 113, 4},
    {"[]", "", 113, 2},
    {"[^]", "", 113, 3},
    // Nothing to repeat.
    {"*a", "", 115, 1},
    {"a|*b", "", 115, 3},
    {"(+)", "", 115, 2},
    {"?", "", 115, 1},
    {"ab\\", "", 116, 3},
    // Braces.
    {"a{123456789}", "", 122, 11},
    {"a{1,123456789}", "", 122, 13},
    {"a{3,2}", "", 124, 5},
    // Parenthesised forms.
    {"(?#x", "", 125, 1},
    {"ab(?#x", "", 125, 3},
    {"(?:x)", "", 127, 1},
    {"(?=x)", "", 127, 1},
    {"(?i", "", 127, 1},
    {"(?iq)", "", 127, 1},
};

TEST(RegexCompileErrors, CodePositionAndText) {
  for (const ErrorRow& row : kErrorRows) {
    SCOPED_TRACE(row.pattern);
    TRegex re;
    ApplyModifiers(re, row.mods);
    re.SetExpression(row.pattern);
    try {
      re.Compile();
      ADD_FAILURE() << "compiled without error";
    } catch (const ERegexError& e) {
      EXPECT_EQ(e.ErrorCode, row.code);
      EXPECT_EQ(e.ErrorPosition, row.position);
      EXPECT_EQ(std::string(e.what()),
                re.ErrorText(row.code) + " (pos " + std::to_string(row.position) + ")");
    }
    EXPECT_FALSE(re.IsCompiled());
    EXPECT_TRUE(re.ProgramBytes().empty());
  }
}

TEST(RegexCompileErrors, TextsAreExact) {
  const TRegex re;
  const std::pair<int, const char*> texts[] = {
      {0, "No errors"},
      {102, "Regex(comp): ParseReg Too Many ()"},
      {103, "Regex(comp): ParseReg Unmatched ()"},
      {104, "Regex(comp): ParseReg Unmatched ()"},
      {106, "Regex(comp): *+ Operand Could Be Empty"},
      {107, "Regex(comp): Nested *?+"},
      {108, "Regex(comp): Bad Hex Digit"},
      {109, "Regex(comp): Invalid [] Range"},
      {110, "Regex(comp): Parse Atom Trailing \\"},
      {111, "Regex(comp): No Hex Code After \\x"},
      {112, "Regex(comp): Hex Code After \\x Is Too Big"},
      {113, "Regex(comp): Unmatched []"},
      {115, "Regex(comp): ?+*{ Follows Nothing"},
      {116, "Regex(comp): Trailing \\"},
      {122, "Regex(comp): BRACES Argument Too Big"},
      {124, "Regex(comp): BRACE Min Param Greater then Max"},
      {125, "Regex(comp): Unclosed (?#Comment)"},
      {127, "Regex(comp): Urecognized Modifier"},
      {128,
       "Regex(comp): LinePairedSeparator must countain two different chars or no chars at all"},
      {1003, "Regex(exec): Not Assigned Expression Property"},
      {1005, "Regex(exec): No Input String Specified"},
      {1006, "Regex(exec): Offset Must Be Greater Then 0"},
      {1007, "Regex(exec): ExecNext Without Exec[Pos]"},
      {1013, "Unknown error"},
      {1014, "Regex(exec): Loop Stack Exceeded"},
      {101, "Unknown error"},
      {-1, "Unknown error"},
  };
  for (const auto& [code, text] : texts) EXPECT_EQ(re.ErrorText(code), text) << code;
}

TEST(RegexCompileErrors, EmptyExpressionRaises1003WithoutPosition) {
  TRegex re;
  try {
    re.Compile();
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 1003);
    EXPECT_EQ(e.ErrorPosition, 0);
    EXPECT_STREQ(e.what(), "Regex(exec): Not Assigned Expression Property");
  }
  re.SetExpression("a");
  re.SetExpression("");  // an empty text leaves no pattern
  EXPECT_THROW(re.Compile(), ERegexError);
}

TEST(RegexCompileErrors, FailedCompileKeepsPatternAndFailsAgain) {
  TRegex re;
  re.SetExpression("a(b");
  EXPECT_THROW(re.Compile(), ERegexError);
  EXPECT_EQ(re.Expression(), "a(b");
  try {
    re.Compile();
    FAIL() << "second compile succeeded";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 103);
    EXPECT_EQ(e.ErrorPosition, 3);
  }
  // Errors raised after a compile report position 0.
  try {
    re.SetLinePairedSeparator("x");
    FAIL() << "invalid pair accepted";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 128);
    EXPECT_EQ(e.ErrorPosition, 0);
    EXPECT_EQ(std::string(e.what()), re.ErrorText(128) + " (pos 0)");
  }
}

TEST(RegexCompileErrors, ModifierIndexOutsideRangeRaises1013AndChangesNothing) {
  TRegex re;
  const int before = re.Modifiers();
  for (const int index : {0, 7, -1, 100}) {
    try {
      re.SetModifier(index, true);
      FAIL() << index;
    } catch (const ERegexError& e) {
      EXPECT_EQ(e.ErrorCode, 1013);
      EXPECT_STREQ(e.what(), "Unknown error");
    }
    EXPECT_THROW((void)re.GetModifier(index), ERegexError);
  }
  EXPECT_EQ(re.Modifiers(), before);
}

TEST(RegexCompileErrors, HostileNestingIsBoundedByTheGroupLimit) {
  // Each "(" opens a capture group, so nesting stops at the fifteenth with 102 long before
  // the parser's recursion could matter.
  TRegex re;
  re.SetExpression(std::string(1000000, '('));
  try {
    re.Compile();
    FAIL() << "no error";
  } catch (const ERegexError& e) {
    EXPECT_EQ(e.ErrorCode, 102);
    EXPECT_EQ(e.ErrorPosition, 15);
  }
  re.SetExpression(std::string(14, '(') + "a" + std::string(14, ')'));
  EXPECT_NO_THROW(re.Compile());
}

// ---- golden dumps ---------------------------------------------------------------------------

struct DumpRow {
  const char* pattern;
  const char* mods;
  const char* dump;
};

const DumpRow kDumpRows[] = {
    {"[abc]", "",
     "1: BRANCH -> 14\n"
     "6: IN_SMALL_SET \"abc\" -> 14\n"
     "14: END -> none\n"},
    {"[abcd]", "",
     "1: BRANCH -> 43\n"
     "6: IN_SET [a-d] -> 43\n"
     "43: END -> none\n"},
    {"[^ab]", "",
     "1: BRANCH -> 14\n"
     "6: NOT_IN_SMALL_SET \"abb\" -> 14\n"
     "14: END -> none\n"},
    {"abc*", "",
     "1: BRANCH -> 26\n"
     "6: LITERAL \"ab\" -> 14\n"
     "14: STAR -> 26\n"
     "19: LITERAL \"c\" -> none\n"
     "26: END -> none\n"},
    {"a|bc", "",
     "1: BRANCH -> 13\n"
     "6: LITERAL \"a\" -> 26\n"
     "13: BRANCH -> 26\n"
     "18: LITERAL \"bc\" -> 26\n"
     "26: END -> none\n"},
    {"x{2,5}?y", "",
     "1: BRANCH -> 33\n"
     "6: BRACES_LAZY {2,5} -> 26\n"
     "19: LITERAL \"x\" -> none\n"
     "26: LITERAL \"y\" -> 33\n"
     "33: END -> none\n"},
    {"(ab)*c", "",
     "1: BRANCH -> 56\n"
     "6: BRANCH -> 39\n"
     "11: OPEN 1 -> 16\n"
     "16: BRANCH -> 29\n"
     "21: LITERAL \"ab\" -> 29\n"
     "29: CLOSE 1 -> 34\n"
     "34: BACK -> 6\n"
     "39: BRANCH -> 44\n"
     "44: EMPTY -> 49\n"
     "49: LITERAL \"c\" -> 56\n"
     "56: END -> none\n"},
    {"(ab)+", "",
     "1: BRANCH -> 49\n"
     "6: OPEN 1 -> 11\n"
     "11: BRANCH -> 24\n"
     "16: LITERAL \"ab\" -> 24\n"
     "24: CLOSE 1 -> 29\n"
     "29: BRANCH -> 39\n"
     "34: BACK -> 6\n"
     "39: BRANCH -> 44\n"
     "44: EMPTY -> 49\n"
     "49: END -> none\n"},
    {"(ab){2,}", "",
     "1: BRANCH -> 51\n"
     "6: LOOP_ENTRY -> 34\n"
     "11: OPEN 1 -> 16\n"
     "16: BRANCH -> 29\n"
     "21: LITERAL \"ab\" -> 29\n"
     "29: CLOSE 1 -> 34\n"
     "34: LOOP {2,2147483646} body 11 -> 51\n"
     "51: END -> none\n"},
    {"^a$", "m",
     "1: BRANCH -> 23\n"
     "6: LINE_START -> 11\n"
     "11: LITERAL \"a\" -> 18\n"
     "18: LINE_END -> 23\n"
     "23: END -> none\n"},
    {"\\A\\d\\D\\b\\B.\\Z", "m-s",
     "1: BRANCH -> 41\n"
     "6: INPUT_START -> 11\n"
     "11: DIGIT -> 16\n"
     "16: NON_DIGIT -> 21\n"
     "21: WORD_BOUNDARY -> 26\n"
     "26: NOT_WORD_BOUNDARY -> 31\n"
     "31: ANY_BUT_LINE_SEP -> 36\n"
     "36: INPUT_END -> 41\n"
     "41: END -> none\n"},
    {"a+(bc)*d?", "-g",
     "1: BRANCH -> 83\n"
     "6: PLUS_LAZY -> 18\n"
     "11: LITERAL \"a\" -> none\n"
     "18: LOOP_ENTRY -> 46\n"
     "23: OPEN 1 -> 28\n"
     "28: BRANCH -> 41\n"
     "33: LITERAL \"bc\" -> 41\n"
     "41: CLOSE 1 -> 46\n"
     "46: LOOP_LAZY {0,2147483646} body 23 -> 63\n"
     "63: BRACES_LAZY {0,1} -> 83\n"
     "76: LITERAL \"d\" -> none\n"
     "83: END -> none\n"},
    {"(a)\\1(?i)b\\1", "",
     "1: BRANCH -> 52\n"
     "6: OPEN 1 -> 11\n"
     "11: BRANCH -> 23\n"
     "16: LITERAL \"a\" -> 23\n"
     "23: CLOSE 1 -> 28\n"
     "28: BACKREF \\1 -> 34\n"
     "34: COMMENT -> 39\n"
     "39: LITERAL_CI \"b\" -> 46\n"
     "46: BACKREF_CI \\1 -> 52\n"
     "52: END -> none\n"},
    {"a b # note\n c", "x",
     "1: BRANCH -> 31\n"
     "6: LITERAL \"ab\" -> 14\n"
     "14: COMMENT -> 19\n"
     "19: COMMENT -> 24\n"
     "24: LITERAL \"c\" -> 31\n"
     "31: END -> none\n"},
};

TEST(RegexCompileDump, GoldenPrograms) {
  for (const DumpRow& row : kDumpRows) {
    SCOPED_TRACE(row.pattern);
    EXPECT_EQ(DumpOf(row.pattern, row.mods), row.dump);
  }
}

TEST(RegexCompileDump, OptionalGroupDump) {
  // B1 holds the group, whose end and B2 both lead to one EMPTY before END.
  EXPECT_EQ(DumpOf("(a|b)?"),
            "1: BRANCH -> 55\n"
            "6: BRANCH -> 45\n"
            "11: OPEN 1 -> 16\n"
            "16: BRANCH -> 28\n"
            "21: LITERAL \"a\" -> 40\n"
            "28: BRANCH -> 40\n"
            "33: LITERAL \"b\" -> 40\n"
            "40: CLOSE 1 -> 50\n"
            "45: BRANCH -> 50\n"
            "50: EMPTY -> 55\n"
            "55: END -> none\n");
}

TEST(RegexCompileDump, EmptyAlternativesGetAnEmptyNode) {
  EXPECT_EQ(DumpOf("a|"),
            "1: BRANCH -> 13\n"
            "6: LITERAL \"a\" -> 23\n"
            "13: BRANCH -> 23\n"
            "18: EMPTY -> 23\n"
            "23: END -> none\n");
}

// ---- byte layout ----------------------------------------------------------------------------

TEST(RegexCompileLayout, SmallSetBytesAreExact) {
  TRegex re;
  re.SetExpression("[cab]");
  re.Compile();
  const std::vector<std::uint8_t> expected = {216,  // magic
                                              OP_BRANCH,
                                              13,
                                              0,
                                              0,
                                              0,  // -> END
                                              OP_IN_SMALL_SET,
                                              8,
                                              0,
                                              0,
                                              0,
                                              'a',
                                              'b',
                                              'c',
                                              OP_END,
                                              0,
                                              0,
                                              0,
                                              0};
  const auto bytes = re.ProgramBytes();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(RegexCompileLayout, BackOffsetIsNegativeLittleEndian) {
  TRegex re;
  re.SetExpression("(ab)*c");
  re.Compile();
  const auto bytes = re.ProgramBytes();
  ASSERT_EQ(bytes[34], OP_BACK);
  // 34 -> 6 is -28: 0xFFFFFFE4 stored low byte first.
  EXPECT_EQ(bytes[35], 0xE4);
  EXPECT_EQ(bytes[36], 0xFF);
  EXPECT_EQ(bytes[37], 0xFF);
  EXPECT_EQ(bytes[38], 0xFF);
}

TEST(RegexCompileLayout, BracesAndLoopOperandsAreLittleEndian) {
  TRegex re;
  re.SetExpression("a{258,65536}(b){3}");
  re.Compile();
  const auto bytes = re.ProgramBytes();
  ASSERT_EQ(bytes[6], OP_BRACES);
  EXPECT_EQ((std::vector<int>{bytes[11], bytes[12], bytes[13], bytes[14]}),
            (std::vector<int>{2, 1, 0, 0}));
  EXPECT_EQ((std::vector<int>{bytes[15], bytes[16], bytes[17], bytes[18]}),
            (std::vector<int>{0, 0, 1, 0}));
}

// Size of a node and its operand bytes, from the layout rules (operand nodes of repeats are
// nodes of their own).
std::size_t NodeSize(const std::uint8_t* node) {
  switch (node[0]) {
    case OP_LITERAL:
    case OP_LITERAL_CI:
      return 5 + std::char_traits<char>::length(reinterpret_cast<const char*>(node + 5)) + 1;
    case OP_IN_SMALL_SET:
    case OP_NOT_IN_SMALL_SET:
      return 8;
    case OP_IN_SET:
      return 37;
    case OP_BACKREF:
    case OP_BACKREF_CI:
      return 6;
    case OP_BRACES:
    case OP_BRACES_LAZY:
      return 13;
    case OP_LOOP:
    case OP_LOOP_LAZY:
      return 17;
    default:
      return 5;
  }
}

bool IsKnownOpcode(std::uint8_t op) {
  static const std::set<int> known = {0,  1,  2,  3,  6,  7,  8,  9,  10, 11, 12,
                                      13, 18, 19, 20, 23, 24, 25, 26, 27, 28, 29,
                                      30, 31, 32, 33, 34, 35, 36, 37, 38};
  return known.count(op) > 0 || IsOpen(op) || IsClose(op);
}

const char* const kValidPatterns[] = {
    "a",
    "abc*",
    "a|b|c",
    "(a|b)*c",
    "(ab)+?x",
    "x(ab)??y",
    "((a)(b))*",
    "[^a-z\\d]+",
    "\\w+@\\w+",
    "a{0}",
    "a{2,}b",
    "(a.){1,3}",
    "(?i)ab[cd]\\1",
    "^\\s*#x$",
    "(?#c)(?s-g).+",
    "a{,3}",
    "{abc}",
    "]}",
    "\\x{}\\x00",
    "(((a|)b)+)?",
    "a??b*?c+?",
    "(a(b(c)?)*)+d",
    "\\bfoo\\B",
    "(x)(y)\\2\\1",
    "[]-]",
};

TEST(RegexCompileLayout, EveryProgramIsWellFormed) {
  for (const char* pattern : kValidPatterns) {
    for (const char* mods : {"", "i", "-g", "-s", "m", "x", "-r"}) {
      SCOPED_TRACE(std::string(pattern) + " /" + mods);
      TRegex re;
      ApplyModifiers(re, mods);
      re.SetExpression(pattern);
      ASSERT_NO_THROW(re.Compile());
      const auto bytes = re.ProgramBytes();
      ASSERT_GE(bytes.size(), 11u);
      EXPECT_EQ(bytes[0], PROGRAM_MAGIC);
      std::set<std::size_t> starts;
      std::size_t pos = 1;
      while (pos < bytes.size()) {
        ASSERT_TRUE(IsKnownOpcode(bytes[pos])) << "opcode " << int(bytes[pos]) << " at " << pos;
        starts.insert(pos);
        pos += NodeSize(bytes.data() + pos);
      }
      // Nodes tile the program exactly: nothing was measured that was not written.
      EXPECT_EQ(pos, bytes.size());
      EXPECT_EQ(bytes[1], OP_BRANCH);
      for (const std::size_t start : starts) {
        const std::int32_t next = NextOffset(bytes.data() + start);
        if (next == 0) continue;
        const auto target = static_cast<std::ptrdiff_t>(start) + next;
        EXPECT_TRUE(starts.count(static_cast<std::size_t>(target)) > 0)
            << "node " << start << " leads to " << target;
        // Only BACK runs backwards.
        EXPECT_EQ(next < 0, bytes[start] == OP_BACK) << "node " << start;
      }
      // Every top-level alternative ends at the single END, the last node.
      const std::size_t endPos = bytes.size() - 5;
      EXPECT_EQ(bytes[endPos], OP_END);
    }
  }
}

TEST(RegexCompileLayout, RecompilingGivesTheSameBytes) {
  for (const char* pattern : kValidPatterns) {
    TRegex a;
    a.SetExpression(pattern);
    a.Compile();
    TRegex b;
    b.SetExpression(std::string(pattern) + "z");
    b.Compile();
    b.SetExpression(pattern);
    b.Compile();
    EXPECT_TRUE(std::ranges::equal(a.ProgramBytes(), b.ProgramBytes())) << pattern;
  }
}

TEST(RegexCompileLayout, LongPatternsCompileInLinearTime) {
  // Quadratic chain walks would take minutes here.
  std::string alternatives;
  for (int i = 0; i < 200000; ++i) alternatives += "ab|";
  alternatives += "c";
  TRegex re;
  re.SetExpression(alternatives);
  ASSERT_NO_THROW(re.Compile());
  EXPECT_EQ(re.ProgramBytes().size(), 1u + 200001u * 5u + 200000u * 8u + 7u + 5u);

  std::string pieces;
  for (int i = 0; i < 100000; ++i) pieces += "(?i)x*[a-z]+";
  re.SetExpression(pieces);
  ASSERT_NO_THROW(re.Compile());
}

// ---- literals, escapes and quantifier parsing ----------------------------------------------

// The operands of every literal node, in program order, joined.
std::string LiteralTexts(TRegex& re) {
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

TEST(RegexCompileLiterals, EscapesStandForTheirCharacters) {
  const std::pair<const char*, std::string> rows[] = {
      {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1b"},
      {"\\x41\\x{42}\\x{0043}\\x7e", "ABC~"},
      {"\\.\\\\\\T\\0\\-\\ ", ".\\T0- "},
      {"a{,3}", "a{,3}"},
      {"a{}", "a{}"},
      {"a{x}", "a{x}"},
      {"a{2,x}", "a{2,x}"},
      {"a{2", "a{2"},
      {"{abc}", "{abc}"},
      {"a{abc}", "a{abc}"},
      {"x]}y", "x]}y"},
  };
  for (const auto& [pattern, text] : rows) {
    TRegex re;
    re.SetExpression(pattern);
    EXPECT_EQ(LiteralTexts(re), text) << pattern;
  }
}

TEST(RegexCompileLiterals, BracesBounds) {
  const struct {
    const char* pattern;
    std::uint8_t op;
    std::int32_t min, max;
  } rows[] = {
      {"a{3}", OP_BRACES, 3, 3},
      {"a{2,}", OP_BRACES, 2, MAX_BRACES_ARG},
      {"a{0,7}", OP_BRACES, 0, 7},
      {"a{99999999}", OP_BRACES, 99999999, 99999999},
      {"a{00000001,00000002}", OP_BRACES, 1, 2},
      {"a{3}?", OP_BRACES_LAZY, 3, 3},
      {"a??", OP_BRACES_LAZY, 0, 1},
  };
  for (const auto& row : rows) {
    TRegex re;
    re.SetExpression(row.pattern);
    re.Compile();
    const std::uint8_t* node = re.ProgramBytes().data() + 6;
    EXPECT_EQ(Opcode(node), row.op) << row.pattern;
    EXPECT_EQ(BracesMin(node), row.min) << row.pattern;
    EXPECT_EQ(BracesMax(node), row.max) << row.pattern;
  }
}

TEST(RegexCompileLiterals, QuantifierTakesOnlyTheLastCharacterOfARun) {
  EXPECT_EQ(DumpOf("abc+"),
            "1: BRANCH -> 26\n"
            "6: LITERAL \"ab\" -> 14\n"
            "14: PLUS -> 26\n"
            "19: LITERAL \"c\" -> none\n"
            "26: END -> none\n");
  EXPECT_EQ(DumpOf("abc?"),
            "1: BRANCH -> 36\n"
            "6: LITERAL \"ab\" -> 14\n"
            "14: BRANCH -> 26\n"
            "19: LITERAL \"c\" -> 31\n"
            "26: BRANCH -> 31\n"
            "31: EMPTY -> 36\n"
            "36: END -> none\n");
  EXPECT_EQ(DumpOf("abc{2}"),
            "1: BRANCH -> 34\n"
            "6: LITERAL \"ab\" -> 14\n"
            "14: BRACES {2,2} -> 34\n"
            "27: LITERAL \"c\" -> none\n"
            "34: END -> none\n");
  // A "{" that is no bound still splits the run before it.
  EXPECT_EQ(DumpOf("ab{x}"),
            "1: BRANCH -> 29\n"
            "6: LITERAL \"a\" -> 13\n"
            "13: LITERAL \"b\" -> 20\n"
            "20: LITERAL \"{x}\" -> 29\n"
            "29: END -> none\n");
  // Extended syntax: the skipped blank belongs to the run, the quantifier to "c".
  EXPECT_EQ(DumpOf("ab c*", "x"), DumpOf("abc*"));
}

TEST(RegexCompileLiterals, NulCharacterNeverMatchesInsteadOfMatchingEmpty) {
  TRegex re;
  re.SetExpression("a\\x00");
  re.Compile();
  const std::uint8_t* node = re.ProgramBytes().data() + 13;
  EXPECT_EQ(Opcode(node), OP_IN_SMALL_SET);
  EXPECT_EQ(node[5] | node[6] | node[7], 0);
}

TEST(RegexCompileLiterals, PatternEndsAtNul) {
  TRegex re;
  re.SetExpression(std::string("ab\0(", 4));
  EXPECT_EQ(re.Expression(), "ab");
  EXPECT_NO_THROW(re.Compile());
}

// ---- classes --------------------------------------------------------------------------------

struct ClassInfo {
  std::uint8_t op = 0;
  std::string members;  // ascending byte values of the matched set (small sets: distinct bytes)
};

ClassInfo ClassOf(std::string_view pattern, std::string_view mods = "") {
  TRegex re;
  ApplyModifiers(re, mods);
  re.SetExpression(pattern);
  re.Compile();
  const std::uint8_t* node = re.ProgramBytes().data() + 6;
  ClassInfo info{Opcode(node), {}};
  if (info.op == OP_IN_SET) {
    for (int c = 0; c < 256; ++c) {
      if (SetHas(Operand(node), static_cast<std::uint8_t>(c))) info.members.push_back(char(c));
    }
  } else if (info.op == OP_IN_SMALL_SET || info.op == OP_NOT_IN_SMALL_SET) {
    const std::uint8_t* b = Operand(node);
    EXPECT_TRUE(b[0] <= b[1] && b[1] <= b[2]) << pattern;
    for (int i = 0; i < 3; ++i) {
      if (info.members.empty() || info.members.back() != char(b[i])) {
        info.members.push_back(char(b[i]));
      }
    }
  }
  return info;
}

std::string Range(int first, int last) {
  std::string s;
  for (int c = first; c <= last; ++c) s.push_back(char(c));
  return s;
}

std::string Sorted(std::string s) {
  std::sort(s.begin(), s.end(), [](char a, char b) { return std::uint8_t(a) < std::uint8_t(b); });
  return s;
}

TEST(RegexCompileClasses, MembersAndEmission) {
  const std::string digits = Range('0', '9');
  const struct {
    const char* pattern;
    const char* mods;
    std::uint8_t op;
    std::string members;
  } rows[] = {
      {"[]a]", "", OP_IN_SMALL_SET, "]a"},
      {"[^]a]", "", OP_NOT_IN_SMALL_SET, "]a"},
      {"[a-]", "", OP_IN_SMALL_SET, "-a"},
      {"[-a]", "", OP_IN_SMALL_SET, "-a"},
      {"[a-c-e]", "", OP_IN_SET, "-abce"},
      {"[\\D]", "", OP_IN_SMALL_SET, "D"},
      {"[\\S\\W]", "", OP_IN_SMALL_SET, "SW"},
      {"[a-\\d]", "", OP_IN_SET, Sorted("-a" + digits)},
      {"[\\d-z]", "", OP_IN_SET, Sorted("-z" + digits)},
      {"[\\x41-\\x44]", "", OP_IN_SET, "ABCD"},
      {"[\\t-\\r]", "", OP_IN_SET, "\t\n\v\f\r"},
      {"[\\b\\]\\\\]", "", OP_IN_SMALL_SET, "\\]b"},
      {"[a-c]", "i", OP_IN_SET, "ABCabc"},
      {"[^a]", "i", OP_NOT_IN_SMALL_SET, "Aa"},
      {"[\\x00]", "", OP_IN_SMALL_SET, std::string(1, '\0')},
      {"[ #]", "x", OP_IN_SMALL_SET, " #"},
      {"[\\xE0-\\xFF]", "", OP_IN_SET, "\xB8" + Range(0xE0, 0xFF)},
      {"[\\xE0-\\xFF]", "-r", OP_IN_SET, Range(0xE0, 0xFF)},
      {"[\\xC0-\\xDF]", "", OP_IN_SET, "\xA8" + Range(0xC0, 0xDF)},
      {"[\\xE0-\\xDF]", "", OP_IN_SET, "\xA8\xB8" + Range(0xC0, 0xFF)},
      {"\\d", "", OP_DIGIT, ""},
      {"\\s", "", OP_IN_SET, "\t\n\f\r "},
      {"\\w", "i", OP_IN_SET,
       Sorted("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    const ClassInfo info = ClassOf(row.pattern, row.mods);
    EXPECT_EQ(info.op, row.op);
    EXPECT_EQ(info.members, row.members);
  }
}

TEST(RegexCompileClasses, NegatedBitmapIsTheComplement) {
  const ClassInfo info = ClassOf("[^abcd]");
  ASSERT_EQ(info.op, OP_IN_SET);
  EXPECT_EQ(info.members.size(), 252u);
  EXPECT_EQ(info.members.find_first_of("abcd"), std::string::npos);
  const ClassInfo nonWord = ClassOf("\\W");
  EXPECT_EQ(nonWord.members.size(), 256u - 63u);
  EXPECT_EQ(nonWord.members.find_first_of("aZ_0"), std::string::npos);
}

TEST(RegexCompileClasses, ClassEscapesUseTheInstanceProperties) {
  TRegex re;
  re.SetWordCharacters("xy");
  re.SetSpaceCharacters("-");
  re.SetExpression("\\w\\S");
  re.Compile();
  const std::uint8_t* word = re.ProgramBytes().data() + 6;
  EXPECT_EQ(Opcode(word), OP_IN_SMALL_SET);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Operand(word)), 3), "xyy");
  const std::uint8_t* nonSpace = word + 8;
  EXPECT_EQ(Opcode(nonSpace), OP_NOT_IN_SMALL_SET);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Operand(nonSpace)), 3), "---");
}

// ---- fast-path data -------------------------------------------------------------------------

struct FastRow {
  const char* pattern;
  const char* mods;
  char first;
  bool anchored;
  const char* required;
  std::string start;  // "*" = all 256 codes
};

const FastRow kFastRows[] = {
    {"abc", "", 'a', false, "", "a"},
    {"^abc", "", 0, true, "", "a"},
    {"\\Aabc", "m", 0, true, "", "a"},
    {"^abc", "m", 0, false, "", "a"},
    {"a|b", "", 0, false, "", "ab"},
    {"(?i)ab", "", 0, false, "", "Aa"},
    {"ab", "i", 0, false, "", "Aa"},
    {"x*abc", "", 0, false, "abc", "ax"},
    {"x*ab(cd)efg", "", 0, false, "efg", "ax"},
    {"x*ab.cd", "", 0, false, "cd", "ax"},
    {"x*ab(?i)cde", "", 0, false, "ab", "ax"},
    {"x?abc", "", 0, false, "", "ax"},
    {"[a-c]+x", "", 0, false, "x", "abc"},
    {"\\d*x", "", 0, false, "x", "0123456789x"},
    {"a{0,2}b", "", 0, false, "b", "ab"},
    {"a{1,2}b", "", 0, false, "b", "a"},
    {"(ab){0,2}c", "", 0, false, "c", "ac"},
    {"(ab){1,2}c", "", 0, false, "c", "a"},
    {"(a|b)*c", "", 0, false, "c", "abc"},
    {"(a|b)+?c", "", 0, false, "c", "ab"},
    {"\\bfoo", "", 0, false, "", "f"},
    {"(?#c)x", "", 0, false, "", "x"},
    {"$", "", 0, false, "", std::string(1, '\0')},
    {"$", "m", 0, false, "", std::string("\0\n\r", 3)},
    {"\\Z", "m", 0, false, "", std::string("\0\n\r", 3)},
    {"a*", "", 0, false, "", "*"},
    {".", "", 0, false, "", "*"},
    {".", "-s", 0, false, "", "*"},
    {"\\1x", "", 0, false, "", "*"},
};

std::string StartSetText(const TRegexFastPath& fp) {
  if (std::all_of(fp.StartCharSet.begin(), fp.StartCharSet.end(), [](bool b) { return b; })) {
    return "*";
  }
  std::string s;
  for (int c = 0; c < 256; ++c) {
    if (fp.StartCharSet[c]) s.push_back(char(c));
  }
  return s;
}

TEST(RegexCompileFastPath, DataForEachPatternShape) {
  for (const FastRow& row : kFastRows) {
    SCOPED_TRACE(std::string(row.pattern) + " /" + row.mods);
    TRegex re;
    ApplyModifiers(re, row.mods);
    re.SetExpression(row.pattern);
    re.Compile();
    const TRegexFastPath& fp = re.FastPath();
    EXPECT_EQ(fp.FirstLiteralChar, static_cast<unsigned char>(row.first));
    EXPECT_EQ(fp.AnchoredAtStart, row.anchored);
    EXPECT_EQ(fp.RequiredLiteral, row.required);
    EXPECT_EQ(StartSetText(fp), Sorted(row.start));
  }
}

TEST(RegexCompileFastPath, ComplementSetsLeaveOutTheirMembers) {
  TRegex re;
  re.SetExpression("[^abc]");
  re.Compile();
  std::string start = StartSetText(re.FastPath());
  EXPECT_EQ(start.size(), 253u);
  EXPECT_EQ(start.find_first_of("abc"), std::string::npos);
  re.SetExpression("\\D");
  re.Compile();
  start = StartSetText(re.FastPath());
  EXPECT_EQ(start.size(), 246u);
  EXPECT_EQ(start.find_first_of("0123456789"), std::string::npos);
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
  EXPECT_FALSE(re.GetModifier(1));
  EXPECT_TRUE(re.GetModifier(2));
  EXPECT_TRUE(re.GetModifier(3));
  EXPECT_TRUE(re.GetModifier(4));
  EXPECT_FALSE(re.GetModifier(5));
  EXPECT_FALSE(re.GetModifier(6));
  for (int index = 1; index <= 6; ++index) {
    re.SetModifier(index, !re.GetModifier(index));
  }
  EXPECT_EQ(re.Modifiers(), MODIFIER_I | MODIFIER_M | MODIFIER_X);
}

TEST(RegexModifiers, NewInstancesCopyTheProcessDefaults) {
  TRegexDefaults& defaults = RegexDefaults();
  const TRegexDefaults saved = defaults;
  defaults.ModifierI = true;
  defaults.ModifierS = false;
  defaults.WordCharacters = "ab";
  defaults.LinePairedSeparator = "";
  TRegex re;
  defaults = saved;
  EXPECT_TRUE(re.GetModifier(1));
  EXPECT_FALSE(re.GetModifier(3));
  EXPECT_FALSE(re.GetModifier(6));
  EXPECT_EQ(re.WordCharacters(), "ab");
  EXPECT_EQ(re.LinePairedSeparator(), "");
  TRegex fresh;
  EXPECT_FALSE(fresh.GetModifier(1));
  EXPECT_EQ(fresh.SpaceCharacters(), " \t\n\r\f");
  EXPECT_EQ(fresh.LineSeparatorChars(), "\r\n");
  EXPECT_EQ(fresh.LinePairedSeparator(), "\r\n");
  EXPECT_EQ(fresh.WordCharacters().size(), 63u);
}

TEST(RegexModifiers, InlineGroupsScopeToTheEnclosingGroup) {
  // i from its place to the end of the pattern, across "|".
  EXPECT_EQ(DumpOf("a(?i)b|c"),
            "1: BRANCH -> 25\n"
            "6: LITERAL \"a\" -> 13\n"
            "13: COMMENT -> 18\n"
            "18: LITERAL_CI \"b\" -> 37\n"
            "25: BRANCH -> 37\n"
            "30: LITERAL_CI \"c\" -> 37\n"
            "37: END -> none\n");
  // Inside a group it ends with the group.
  EXPECT_EQ(DumpOf("((?i)a)b"),
            "1: BRANCH -> 40\n"
            "6: OPEN 1 -> 11\n"
            "11: BRANCH -> 28\n"
            "16: COMMENT -> 21\n"
            "21: LITERAL_CI \"a\" -> 28\n"
            "28: CLOSE 1 -> 33\n"
            "33: LITERAL \"b\" -> 40\n"
            "40: END -> none\n");
}

TEST(RegexModifiers, InlineListsSwitchEachModifier) {
  const struct {
    const char* pattern;
    const char* mods;
    const char* same;  // an equivalent pattern without inline lists (its own mods)
    const char* sameMods;
  } rows[] = {
      {"(?i)a", "", "(?)a", "i"},
      {"(?I)a", "", "(?)a", "i"},
      {"(?-i)a", "i", "(?)a", ""},
      {"(?i-i)a", "", "(?)a", ""},
      {"(?-s).", "", "(?).", "-s"},
      {"(?s).", "-s", "(?).", ""},
      {"(?m)^$", "", "(?)^$", "m"},
      {"(?-g)a*", "", "(?)a*", "-g"},
      {"(?x)a b", "", "(?)ab", ""},
      {"(?-x)a b", "x", "(?)a b", ""},
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
            "1: BRANCH -> 16\n"
            "6: INPUT_START -> 11\n"
            "11: INPUT_END -> 16\n"
            "16: END -> none\n");
  re.SetLinePairedSeparator("\r\n");
  EXPECT_NE(re.Dump().find("LINE_START"), std::string::npos);
}

TEST(RegexLifecycle, ProgramFollowsPatternModifiersAndProperties) {
  TRegex re;
  re.SetExpression("ab");
  EXPECT_FALSE(re.IsCompiled());  // lazy
  re.Compile();
  ASSERT_TRUE(re.IsCompiled());
  re.SetExpression("ab");  // same text: program kept
  EXPECT_TRUE(re.IsCompiled());
  re.SetExpression("abc");
  EXPECT_FALSE(re.IsCompiled());
  EXPECT_TRUE(re.ProgramBytes().empty());

  re.Compile();
  re.SetModifier(1, true);  // noticed by the next operation
  EXPECT_NE(re.Dump().find("LITERAL_CI"), std::string::npos);
  re.SetModifier(1, false);
  EXPECT_EQ(re.Dump().find("LITERAL_CI"), std::string::npos);

  re.Compile();
  re.SetLinePairedSeparator("\r\n");  // same value: kept
  EXPECT_TRUE(re.IsCompiled());
  re.SetLinePairedSeparator("");
  EXPECT_FALSE(re.IsCompiled());
}

TEST(RegexLifecycle, InvalidPairsAreRefusedAndKeepTheOldValue) {
  TRegex re;
  for (const std::string& bad :
       {std::string("a"), std::string("aa"), std::string("abc"), std::string("\0a", 2)}) {
    try {
      re.SetLinePairedSeparator(bad);
      ADD_FAILURE() << "accepted " << bad.size() << " bytes";
    } catch (const ERegexError& e) {
      EXPECT_EQ(e.ErrorCode, 128);
    }
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
  }
  re.SetLinePairedSeparator("\n\r");
  EXPECT_EQ(re.LinePairedSeparator(), "\n\r");
}

// ---- free helpers ---------------------------------------------------------------------------

TEST(RegexHelpers, ToggleCaseSwapsAsciiLettersOnly) {
  EXPECT_EQ(ToggleCase('a'), 'A');
  EXPECT_EQ(ToggleCase('Z'), 'z');
  EXPECT_EQ(ToggleCase('5'), '5');
  EXPECT_EQ(ToggleCase('_'), '_');
  EXPECT_EQ(ToggleCase(0), 0);
  for (int c = 0; c < 256; ++c) {
    const auto u = static_cast<unsigned char>(c);
    EXPECT_EQ(ToggleCase(ToggleCase(u)), u) << c;  // the mapping is its own inverse
  }
}

TEST(RegexHelpers, CustomToggleFunctionDrivesCaseInsensitiveClasses) {
  TRegex re;
  re.SetToggleCaseFunction([](unsigned char c) -> unsigned char { return c == 'q' ? '!' : c; });
  re.SetModifier(1, true);
  re.SetExpression("[q]");
  re.Compile();
  const std::uint8_t* node = re.ProgramBytes().data() + 6;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Operand(node)), 3), "!qq");
}

TEST(RegexHelpers, EscapeMetaCharsEscapesExactlyTheFourteen) {
  EXPECT_EQ(EscapeMetaChars("^$.[()|?+*\\{]}"), "\\^\\$\\.\\[\\(\\)\\|\\?\\+\\*\\\\\\{\\]\\}");
  EXPECT_EQ(EscapeMetaChars("a b#-\t/\"'"), "a b#-\t/\"'");
  EXPECT_EQ(EscapeMetaChars(""), "");
}

TEST(RegexHelpers, EscapedTextCompilesToItsOwnLiterals) {
  for (const char* text : {"1+1=2", "a.b*c?", "{x}", "[a-z]", "(?i)", "C:\\dir\\*.*", "$100", "a|b",
                           "\\x41", "##", "end."}) {
    TRegex re;
    re.SetExpression(EscapeMetaChars(text));
    EXPECT_EQ(LiteralTexts(re), text) << text;
  }
}

}  // namespace
}  // namespace velmora
