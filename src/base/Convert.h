#pragma once

// Text-to-number conversion with the system's conversion error, shared by every layer.

#include <charconv>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

// A text that does not convert, with the documented text as what().
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The decimal text of a value: digits with a leading "-" when negative, no leading zeros.
inline std::string IntToStr(long long value) {
  return std::to_string(value);
}

// An optional sign followed by decimal digits, within the range of int; anything else
// (also the empty text, blanks, or a number out of range) raises
// "'<text>' is not a valid integer value".
inline int StrToInt(std::string_view text) {
  std::string_view rest = text;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) rest.remove_prefix(1);
  bool valid = !rest.empty();
  for (const char c : rest) valid = valid && c >= '0' && c <= '9';
  long long value = 0;
  const char* end = rest.data() + rest.size();
  if (valid) {
    const auto [ptr, ec] = std::from_chars(rest.data(), end, value);
    valid = ec == std::errc() && ptr == end;
  }
  if (negative) value = -value;
  if (!valid || value < std::numeric_limits<int>::min() ||
      value > std::numeric_limits<int>::max()) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return static_cast<int>(value);
}

}  // namespace velmora
