#include "settings/DateFormat.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

namespace velmora {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

// One piece of a pattern: a run of one pattern letter, or literal text.
struct Token {
  char letter = 0;  // 0 for literal text
  int count = 0;
  std::string text;
};

bool IsPatternLetter(char c) {
  switch (c) {
    case 'd':
    case 'M':
    case 'y':
    case 'h':
    case 'H':
    case 'm':
    case 's':
    case 'z':
    case 'A':
    case 'a':
      return true;
    default:
      return false;
  }
}

void AppendLiteral(std::vector<Token>& tokens, std::string_view text) {
  if (tokens.empty() || tokens.back().letter != 0) tokens.push_back(Token{});
  tokens.back().text += text;
}

std::vector<Token> Tokenize(std::string_view format) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    if (c == '\'') {
      // Quoted text; '' stands for one quote, inside quotes and out.
      std::size_t j = i + 1;
      if (j < format.size() && format[j] == '\'') {
        AppendLiteral(tokens, "'");
        i = j + 1;
        continue;
      }
      std::string text;
      for (; j < format.size(); ++j) {
        if (format[j] != '\'') {
          text += format[j];
        } else if (j + 1 < format.size() && format[j + 1] == '\'') {
          text += '\'';
          ++j;
        } else {
          break;
        }
      }
      AppendLiteral(tokens, text);
      i = j + 1;
    } else if (c == 'A' || c == 'a') {
      // "AP"/"ap" and "A"/"a" both mean the AM/PM marker.
      const bool pair = i + 1 < format.size() && (format[i + 1] == 'P' || format[i + 1] == 'p');
      tokens.push_back(Token{c, 1, {}});
      i += pair ? 2 : 1;
    } else if (IsPatternLetter(c)) {
      std::size_t j = i;
      while (j < format.size() && format[j] == c) ++j;
      tokens.push_back(Token{c, static_cast<int>(j - i), {}});
      i = j;
    } else {
      AppendLiteral(tokens, format.substr(i, 1));
      ++i;
    }
  }
  return tokens;
}

bool HasAmPm(const std::vector<Token>& tokens) {
  for (const auto& token : tokens) {
    if (token.letter == 'A' || token.letter == 'a') return true;
  }
  return false;
}

std::string Padded(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

struct Parts {
  CivilDate date;
  int weekday = 0;  // 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

Parts Split(TDateTime value) {
  auto days = static_cast<long long>(std::floor(value));
  auto ms = std::llround((value - static_cast<double>(days)) * 86400000.0);
  if (ms >= 86400000) {
    ++days;
    ms = 0;
  }
  Parts parts;
  parts.date = DecodeDate(static_cast<TDateTime>(days));
  parts.weekday = static_cast<int>(((days + 6) % 7 + 7) % 7);  // day 0 was a Saturday
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

std::string FormatToken(const Token& token, const Parts& p, bool am_pm) {
  const int count = token.count;
  switch (token.letter) {
    case 0:
      return token.text;
    case 'd':
      if (count >= 3) {
        const std::string name = kDayNames[static_cast<std::size_t>(p.weekday)];
        return count == 3 ? name.substr(0, 3) : name;
      }
      return Padded(p.date.day, count);
    case 'M':
      if (count >= 3) {
        const std::string name = kMonthNames[static_cast<std::size_t>(p.date.month - 1)];
        return count == 3 ? name.substr(0, 3) : name;
      }
      return Padded(p.date.month, count);
    case 'y':
      return count >= 4 ? Padded(p.date.year, 4) : Padded(((p.date.year % 100) + 100) % 100, 2);
    case 'h':
    case 'H': {
      int hour = p.hour;
      if (token.letter == 'h' && am_pm) hour = hour % 12 == 0 ? 12 : hour % 12;
      return Padded(hour, count >= 2 ? 2 : 1);
    }
    case 'm':
      return Padded(p.minute, count >= 2 ? 2 : 1);
    case 's':
      return Padded(p.second, count >= 2 ? 2 : 1);
    case 'z':
      return count >= 3 ? Padded(p.millisecond, 3) : std::to_string(p.millisecond);
    case 'A':
      return p.hour < 12 ? "AM" : "PM";
    case 'a':
      return p.hour < 12 ? "am" : "pm";
    default:
      return std::string();
  }
}

bool IsNumericToken(const Token& token) {
  switch (token.letter) {
    case 'd':
    case 'M':
      return token.count <= 2;
    case 'y':
    case 'h':
    case 'H':
    case 'm':
    case 's':
    case 'z':
      return true;
    default:
      return false;
  }
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

// Reads a name from `names` (full or first three letters) at the start of `text`.
template <std::size_t N>
int ReadName(std::string_view& text, const std::array<const char*, N>& names) {
  for (std::size_t i = 0; i < N; ++i) {
    const std::string_view full = names[i];
    for (const auto candidate : {full, full.substr(0, 3)}) {
      if (StartsWithNoCase(text, candidate)) {
        text.remove_prefix(candidate.size());
        return static_cast<int>(i);
      }
    }
  }
  return -1;
}

// Reads 1..max_digits decimal digits; -1 when there are none.
int ReadNumber(std::string_view& text, int max_digits, int& digits_read) {
  int value = 0;
  digits_read = 0;
  while (digits_read < max_digits && !text.empty() && text.front() >= '0' && text.front() <= '9') {
    value = value * 10 + (text.front() - '0');
    text.remove_prefix(1);
    ++digits_read;
  }
  return digits_read == 0 ? -1 : value;
}

int WindowedYear(int two_digit_year, int reference_year) {
  int year = reference_year - ((reference_year % 100) + 100) % 100 + two_digit_year;
  if (year > reference_year + 49) year -= 100;
  if (year < reference_year - 50) year += 100;
  return year;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) {
  const auto tokens = Tokenize(format);
  const Parts parts = Split(value);
  const bool am_pm = HasAmPm(tokens);
  std::string result;
  for (const auto& token : tokens) result += FormatToken(token, parts, am_pm);
  return result;
}

std::optional<TDateTime> ParseDate(std::string_view text, std::string_view format,
                                   int reference_year) {
  const auto tokens = Tokenize(format);
  text = Trimmed(text);
  int year = -1, month = -1, day = -1;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.letter == 0) {
      if (text.substr(0, token.text.size()) != token.text) return std::nullopt;
      text.remove_prefix(token.text.size());
      continue;
    }
    if (token.letter == 'A' || token.letter == 'a') {
      if (!StartsWithNoCase(text, "am") && !StartsWithNoCase(text, "pm")) return std::nullopt;
      text.remove_prefix(2);
      continue;
    }
    if ((token.letter == 'M' || token.letter == 'd') && token.count >= 3) {
      const int index =
          token.letter == 'M' ? ReadName(text, kMonthNames) : ReadName(text, kDayNames);
      if (index < 0) return std::nullopt;
      if (token.letter == 'M') month = index + 1;
      continue;
    }
    // A year field takes up to four digits unless another number follows it directly.
    const bool packed = i + 1 < tokens.size() && IsNumericToken(tokens[i + 1]);
    const int max_digits = token.letter == 'y'   ? (packed ? token.count : 4)
                           : token.letter == 'z' ? 3
                                                 : 2;
    int digits = 0;
    const int value = ReadNumber(text, max_digits, digits);
    if (value < 0) return std::nullopt;
    if (token.letter == 'd') day = value;
    if (token.letter == 'M') month = value;
    if (token.letter == 'y') year = digits <= 2 ? WindowedYear(value, reference_year) : value;
  }
  if (!text.empty() || year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return EncodeDate(year, month, day);
}

TDateTime Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec) +
         static_cast<double>(ms) / 86400000.0;
}

TDateTime Today() {
  return DateOf(Now());
}

}  // namespace velmora
