// Fuzz target for the regex engine: arbitrary patterns, modifiers and inputs through every
// search and substitution operation. A progress hook stops each search after a bounded number
// of steps, so patterns that are merely exponential do not count as hangs; crashes, sanitizer
// reports, unexpected exceptions and inconsistent match positions do.
//
// Input layout: byte 0 modifier set (bits i r s g m x), byte 1 option bits, byte 2 pattern
// length; then the pattern, then the subject.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "regex/Regex.h"

namespace {

using velmora::ERegexError;
using velmora::TRegex;

// Progress calls allowed per search (each call stands for a few thousand matcher steps).
constexpr int kProgressCallsPerSearch = 64;
constexpr int kMaxNextCalls = 64;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Every capture lies inside the searched bytes, and capture 0 is set after a success.
void CheckPositions(const TRegex& re, std::size_t length, bool found) {
  Check(!found || re.MatchStart(0) >= 1);
  for (int i = 0; i < 15; ++i) {
    const std::int32_t start = re.MatchStart(i);
    const std::int32_t len = re.MatchLength(i);
    Check((start == -1) == (len == -1));
    if (start == -1) continue;
    Check(found);
    Check(start >= 1 && len >= 0);
    Check(static_cast<std::size_t>(start - 1) + static_cast<std::size_t>(len) <= length);
    Check(re.MatchText(i).size() == static_cast<std::size_t>(len));
  }
}

std::size_t SearchedLength(std::string_view input) {
  const auto nul = input.find('\0');
  return nul == std::string_view::npos ? input.size() : nul;
}

void Exercise(TRegex& re, std::string_view input, unsigned options, int& calls) {
  const std::size_t length = SearchedLength(input);
  // The copying and the viewing search must agree on everything.
  calls = 0;
  const bool viewed = re.ExecView(input);
  std::int32_t positions[30];
  for (int i = 0; i < 15; ++i) {
    positions[i] = re.MatchStart(i);
    positions[15 + i] = re.MatchLength(i);
  }
  const bool stoppedView = calls >= kProgressCallsPerSearch;
  calls = 0;
  bool found = re.Exec(input);
  if (!stoppedView && calls < kProgressCallsPerSearch) {
    Check(found == viewed);
    for (int i = 0; i < 15; ++i) {
      Check(positions[i] == re.MatchStart(i) && positions[15 + i] == re.MatchLength(i));
    }
  }
  CheckPositions(re, length, found);
  for (int n = 0; found && n < kMaxNextCalls; ++n) {
    const std::int32_t before = re.MatchStart(0) + re.MatchLength(0);
    calls = 0;
    found = re.ExecNext();
    CheckPositions(re, length, found);
    Check(!found || re.MatchStart(0) >= before);
  }
  if (options & 2) {
    calls = 0;
    const std::int32_t offset = static_cast<std::int32_t>((options >> 4) % (length + 3)) + 1;
    found = re.ExecPos(offset);
    CheckPositions(re, length, found);
    Check(!found || re.MatchStart(0) >= offset);
  }
  re.ExpandTemplate(re.Expression());
  if (options & 4) {
    calls = 0;
    re.ReplaceAll(input, "<$0|${1}|$12\\$>", (options & 8) != 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const unsigned mods = data[0];
  const unsigned options = data[1];
  std::size_t patternLength = data[2];
  data += 3;
  size -= 3;
  if (patternLength > size) patternLength = size;
  const std::string_view pattern(reinterpret_cast<const char*>(data), patternLength);
  const std::string_view input(reinterpret_cast<const char*>(data + patternLength),
                               size - patternLength);

  TRegex re;
  int calls = 0;
  re.OnProgress = [&calls](bool& stop) { stop = ++calls >= kProgressCallsPerSearch; };
  for (int index = 1; index <= 6; ++index) re.SetModifier(index, (mods >> (index - 1)) & 1);
  if (mods & 64) re.SetLineSeparatorChars("");
  if (mods & 128) re.SetLinePairedSeparator("");
  re.SetExpression(pattern);
  try {
    Exercise(re, input, options, calls);
  } catch (const ERegexError& e) {
    // Compile errors and the loop-stack error are expected; their codes are known ones.
    Check(e.ErrorCode == 1003 || e.ErrorCode == 1014 || (e.ErrorCode >= 102 && e.ErrorCode < 128));
  }
  return 0;
}
