#pragma once

// A date-time value as the window's filters and the settings store see it: days since
// 1899-12-30 00:00 in local time, the fraction of a day being the time of day. Plain
// arithmetic on it compares and subtracts dates, as the date filter needs.

#include <cmath>
#include <cstdint>

namespace velmora {

using TDateTime = double;

struct CivilDate {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
};

namespace date_detail {
// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 1970-01-01 as a TDateTime day number.
inline constexpr std::int64_t kUnixEpochDay = 25569;
}  // namespace date_detail

// The TDateTime of midnight at the start of the given day.
constexpr TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<TDateTime>(
      date_detail::DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
      date_detail::kUnixEpochDay);
}

constexpr TDateTime EncodeTime(int hour, int minute, int second) {
  return (hour * 3600 + minute * 60 + second) / 86400.0;
}

// The calendar date of a TDateTime (its time of day dropped).
inline CivilDate DecodeDate(TDateTime value) {
  return date_detail::CivilFromDays(static_cast<std::int64_t>(std::floor(value)) -
                                    date_detail::kUnixEpochDay);
}

// The date part alone: midnight of the same day.
inline TDateTime DateOf(TDateTime value) {
  return std::floor(value);
}

}  // namespace velmora
