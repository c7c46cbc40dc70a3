#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "find/Masks.h"
#include "find/Un_MyFindFile.h"

namespace velmora {
namespace {

std::string Groups(int count, const char* group) {
  std::string text;
  for (int i = 0; i < count; ++i) text += group;
  return text;
}

// Cases the exhaustive comparison below does not reach: paths, bytes above 127, ranges, and
// characters with no special meaning.
TEST(MaskMatch, Table) {
  const struct {
    const char *mask, *name;
    bool matches;
  } rows[] = {
      {"*.*", "/home/me/README", false},
      {"*.*", "/home/me.d/README", true},
      {"??", "é", true},                // two bytes in UTF-8
      {"\xC3\xA9", "\xC3\x89", false},  // case folds for ASCII letters only
      {"[\xC3]*", "\xC3\x89", true},
      {"[a-c]x", "Bx", true},
      {"[!a-c]x", "dx", true},
      {"[c-a]x", "cx", true},
      {"[c-a]x", "ax", false},
      {"[a-c-e]", "d", true},
      {"[a-c-e]", "E", true},
      {"[*?]", "?", true},
      {"[a-]]", "]", true},  // "]" is the consumed upper end: A..] holds "]" and "["
      {"[a-]]", "[", true},
      {"[!!]", "!", false},
      {"[[]", "[", true},
      {"*[0-9]", "file7", true},
      {"a;b,c", "a;b,c", true},
      {"\\*", "\\x", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesMask(row.name, row.mask), row.matches)
        << "mask '" << row.mask << "' name '" << row.name << "'";
  }
}

// The walk's own rule: "*" and "?" only, and "name.*" also takes a name without a dot.
TEST(WalkMask, Table) {
  const struct {
    const char *mask, *name;
    bool matches;
  } rows[] = {
      {"*.*", "README", true},       {"*", ".profile", true}, {"*.txt", "A.TXT", true},
      {"*.txt", "a.txt.bak", false}, {"a?c", "abc", true},    {"a?c", "ac", false},
      {"*.t", "a.txt", false},       {"", "a", false},        {"*a*b*", "xaxxbx", true},
      {"*a*b*", "xbxxax", false},    {"[a]", "[a]", true},    {"[a]", "a", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WalkMaskMatches(row.name, row.mask), row.matches) << row.mask << " " << row.name;
  }
}

TEST(MaskError, Table) {
  const std::pair<std::string, int> rows[] = {
      {"[", 2},
      {"[]", 2},
      {"[-a]", 2},
      {"[!]", 3},
      {"[!-a]", 3},
      {"[abc", 5},
      {"[a-", 4},
      {"[a-]", 5},  // "]" closed the range, not the set
      {"x[-]]", 3},
      // The 31st state after a "*" stands on the letter that makes it; the end state
      // counts when a "*" stands last.
      {Groups(31, "*a"), 62},
      {Groups(30, "*a") + "*", 62},
      {Groups(30, "*[ab]") + "*[xy]", 31 * 5},
  };
  for (const auto& [mask, position] : rows) {
    try {
      TMask compiled(mask);
      ADD_FAILURE() << "no error for '" << mask << "'";
    } catch (const EMaskError& e) {
      EXPECT_EQ(e.Position(), position) << mask;
      EXPECT_EQ(std::string(e.what()),
                "'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")");
    }
  }
  // Thirty are allowed; stars that collapse or are swallowed by "?" do not count twice.
  EXPECT_TRUE(MatchesMask("xa" + Groups(28, "yya") + "z", Groups(29, "*a") + "*"));
  EXPECT_NO_THROW(TMask(Groups(30, "***?a")));
  EXPECT_NO_THROW(TMask(Groups(30, "a?*")));  // one "*" before the end state
}

// Many stars over a long name that almost matches: the bounded backtracking must still find
// the answer (and not run away or overflow its fixed stack).
TEST(MaskMatch, DeepBacktracking) {
  const std::string mask = Groups(29, "*a") + "*b";
  EXPECT_FALSE(MatchesMask(std::string(40, 'a'), mask));
  EXPECT_TRUE(MatchesMask(std::string(40, 'a') + "b", mask));
  EXPECT_TRUE(MatchesMask(std::string(29, 'a') + "xb", mask));
  EXPECT_FALSE(MatchesMask(std::string(28, 'a') + "xb", mask));
}

// A double-byte code page where 0x81..0x9F lead a two-byte character.
bool FakeLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0x9F;
}

TEST(MaskDoubleByte, PairsMatchAsTheyAre) {
  const TMask pair("\x81\x61*", FakeLeadByte);  // lead byte, then "a"
  EXPECT_TRUE(pair.Matches("\x81\x61-rest"));
  EXPECT_FALSE(pair.Matches("\x81\x41-rest"));  // the trail byte is not case-folded
  const TMask after_star("*\x81x", FakeLeadByte);
  EXPECT_TRUE(after_star.Matches("abc\x81x"));
  EXPECT_FALSE(after_star.Matches("abc\x81"));
  // Inside a set a pair is passed over: "]" after a lead byte does not close the set.
  EXPECT_THROW(TMask("[\x81]", FakeLeadByte), EMaskError);
  EXPECT_TRUE(TMask("[\x81]a]", FakeLeadByte).Matches("A"));
  EXPECT_FALSE(TMask("[\x81]a]", FakeLeadByte).Matches("]"));
  EXPECT_TRUE(TMask("[\x81]").Matches("\x81"));  // without a lead-byte test: plain bytes
}

// A plain exhaustive matcher for masks made of letters, "*", "?" and "[..]"/"[!..]" without
// ranges: every way of spreading the name over the stars is tried. A "?" right after a "*" is
// swallowed by it, as the masks define.
bool ReferenceMatches(std::string_view name, std::string_view mask) {
  if (mask.empty()) return name.empty();
  const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
  if (mask[0] == '*') {
    while (mask.size() > 1 && (mask[1] == '*' || mask[1] == '?')) mask.remove_prefix(1);
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (ReferenceMatches(name.substr(skip), mask.substr(1))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (mask[0] == '?') return ReferenceMatches(name.substr(1), mask.substr(1));
  if (mask[0] == '[') {
    const auto close = mask.find(']', 2);
    std::string_view members = mask.substr(1, close - 1);
    const bool negate = members[0] == '!';
    if (negate) members.remove_prefix(1);
    bool in = false;
    for (char m : members) in = in || upper(m) == upper(name[0]);
    return in != negate && ReferenceMatches(name.substr(1), mask.substr(close + 1));
  }
  return upper(mask[0]) == upper(name[0]) && ReferenceMatches(name.substr(1), mask.substr(1));
}

TEST(MaskMatch, AgreesWithExhaustiveSearch) {
  const char* const tokens[] = {"a", "b", "A", "*", "*", "?", "[ab]", "[!a]", "."};
  const char alphabet[] = {'a', 'b', 'B', '.'};
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % bound;
  };
  int matched = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string mask;
    for (std::uint32_t i = next(7); i > 0; --i) mask += tokens[next(std::size(tokens))];
    std::string name;
    for (std::uint32_t i = next(9); i > 0; --i) name += alphabet[next(std::size(alphabet))];
    const bool expected = ReferenceMatches(name, mask);
    matched += expected ? 1 : 0;
    ASSERT_EQ(MatchesMask(name, mask), expected) << "mask '" << mask << "' name '" << name << "'";
  }
  // Both answers must be well represented, or the comparison proves little.
  EXPECT_GT(matched, 2000);
  EXPECT_LT(matched, 18000);
}

}  // namespace
}  // namespace velmora
