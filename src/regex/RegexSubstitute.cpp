// Template expansion ("$1", "${&}", "\$") and replace-all on top of the matcher.

#include <string>
#include <string_view>

#include "regex/Regex.h"
#include "regex/RegexProgram.h"

namespace velmora {

namespace {

constexpr int kNoReference = -1;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a run of decimal digits from `at`; numbers too large for a capture index saturate.
int ReadNumber(std::string_view text, std::size_t& at) {
  int value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    if (value < regex_program::CAPTURE_COUNT) value = value * 10 + (text[at] - '0');
    ++at;
  }
  return value;
}

// Reads the capture reference after a "$" at `at` ("&", digits, "{&}", "{digits}", "{}").
// Returns the capture index and moves `at` past the reference, or kNoReference.
int ReadReference(std::string_view text, std::size_t& at) {
  if (at >= text.size()) return kNoReference;
  if (text[at] == '&') {
    ++at;
    return 0;
  }
  if (IsDigit(text[at])) return ReadNumber(text, at);
  if (text[at] != '{') return kNoReference;
  std::size_t p = at + 1;
  int index = 0;
  if (p < text.size() && text[p] == '&') {
    ++p;
  } else if (p < text.size() && IsDigit(text[p])) {
    index = ReadNumber(text, p);
  }
  if (p >= text.size() || text[p] != '}') return kNoReference;
  at = p + 1;
  return index;
}

}  // namespace

std::string TRegex::ExpandTemplate(std::string_view templ) {
  PrepareProgram();
  if (!HasInput) RaiseError(1005);
  std::string result;
  result.reserve(templ.size());
  std::size_t i = 0;
  while (i < templ.size()) {
    const char c = templ[i];
    if (c == '\\') {
      // "\" gives the character after it; a "\" at the very end stays.
      result.push_back(i + 1 < templ.size() ? templ[i + 1] : '\\');
      i += 2;
      continue;
    }
    if (c == '$') {
      std::size_t after = i + 1;
      const int index = ReadReference(templ, after);
      if (index != kNoReference) {
        if (index < regex_program::CAPTURE_COUNT) result += MatchText(index);
        i = after;
        continue;
      }
    }
    result.push_back(c);
    ++i;
  }
  return result;
}

std::string TRegex::ReplaceAll(std::string_view input, std::string_view replacement, bool expand) {
  std::string result;
  std::size_t copied = 0;  // bytes of `input` already taken over
  if (Exec(input)) {
    do {
      const auto start = static_cast<std::size_t>(CaptureStart[0] - InputStart);
      const auto end = static_cast<std::size_t>(CaptureEnd[0] - InputStart);
      result.append(input.substr(copied, start - copied));
      if (expand) {
        result += ExpandTemplate(replacement);
      } else {
        result.append(replacement);
      }
      copied = end;
    } while (ExecNext());
  }
  // The rest of the input, bytes after a NUL included: they are not searched, but a
  // replacement must not lose them.
  result.append(input.substr(copied));
  return result;
}

}  // namespace velmora
