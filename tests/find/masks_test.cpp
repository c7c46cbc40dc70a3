#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "find/Masks.h"

namespace velmora {
namespace {

std::string Groups(int count, const char* group) {
  std::string text;
  for (int i = 0; i < count; ++i) text += group;
  return text;
}

TEST(MaskMatch, Table) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } rows[] = {
      {"*.*", "a.", true},
      {"*.*", "README", false},
      {"*.*", "/home/me.d/README", true},
      {"*", "", true},
      {"*?", "", true},  // a "?" after a "*" is swallowed by it
      {"*.TXT", "read.me.txt", true},
      {"*.TXT", "read.me.txt.bak", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"*aab", "aaab", true},
      {"a*?b", "ab", true},
      {"a?c", "ABC", true},
      {"a?c", "ac", false},
      {"abc?", "abc", false},
      {"??", "\xC3\xA9", true},         // two bytes
      {"\xC3\xA9", "\xC3\x89", false},  // only ASCII letters fold
      {"[a-c]x", "Bx", true},
      {"[!a-c]x", "dx", true},
      {"[!a-c]x", "ax", false},
      {"[!a]", "", false},
      {"[c-a]x", "cx", true},
      {"[c-a]x", "bx", false},
      {"[a-c-e]", "d", true},
      {"[a-c-e]", "f", false},
      {"[ab]", "ab", false},
      {"[*?]", "x", false},
      {"[a-]]", "[", true},  // "]" is the upper end of the range
      {"[a-]]", "^", false},
      {"[!!]", "!", false},
      {"*[!.]", "name.", false},
      {"a;b", "a", false},
      {"\\*", "\\x", true},
      {"bcd", "abcd", false},
      {"", "", true},
      {"", "a", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesMask(row.name, row.mask), row.matches)
        << "mask '" << row.mask << "' name '" << row.name << "'";
  }
}

TEST(MaskError, Table) {
  const std::vector<std::pair<std::string, int>> rows = {
      {"[", 2},
      {"[]", 2},
      {"[-a]", 2},
      {"[!]", 3},
      {"[!-a]", 3},
      {"[abc", 5},
      {"[a-]", 5},  // "]" closed the range, not the set
      {"x[-]]", 3},
      {"ok*[a", 6},
      // The 31st state after a "*" stands on the letter that makes it; the end state counts
      // when a "*" stands last.
      {Groups(31, "*a"), 62},
      {Groups(30, "*a") + "*", 62},
      {Groups(30, "*[ab]") + "*[xy]", 31 * 5},
  };
  for (const auto& [text, position] : rows) {
    try {
      TMask mask(text);
      ADD_FAILURE() << "no error for '" << text << "'";
    } catch (const EMaskError& e) {
      EXPECT_EQ(e.Position(), position) << text;
      EXPECT_EQ(std::string(e.what()),
                "'" + text + "' is an invalid mask at (" + std::to_string(position) + ")");
    }
  }
}

TEST(MaskError, ThirtySkipStatesAreAllowedAndBacktrackFully) {
  EXPECT_TRUE(MatchesMask(std::string(30, 'a'), Groups(30, "*a")));
  EXPECT_NO_THROW(TMask(Groups(30, "***?a")));  // collapsed stars count once
  const std::string mask = Groups(29, "*a") + "*b";
  EXPECT_FALSE(MatchesMask(std::string(40, 'a'), mask));
  EXPECT_TRUE(MatchesMask(std::string(29, 'a') + "xb", mask));
  EXPECT_FALSE(MatchesMask(std::string(28, 'a') + "xb", mask));
}

// A double-byte code page where 0x81..0x9F lead a two-byte character.
bool FakeLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0x9F;
}

TEST(MaskDoubleByte, PairsAreNotFoldedNorSplit) {
  EXPECT_FALSE(TMask("\x81\x61*", FakeLeadByte).Matches("\x81\x41-rest"));
  EXPECT_THROW(TMask("[\x81]", FakeLeadByte), EMaskError);  // "]" after a lead byte is its pair
  EXPECT_FALSE(TMask("[\x81]a]", FakeLeadByte).Matches("]"));
  EXPECT_TRUE(TMask("[\x81]").Matches("\x81"));
}

}  // namespace
}  // namespace velmora
