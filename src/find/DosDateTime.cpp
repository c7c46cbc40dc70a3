#include "find/DosDateTime.h"

#include <cmath>
#include <string>

namespace velmora {

namespace {

struct Fields {
  int year, month, day, hour, minute, second;
};

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2107;
constexpr std::int64_t kSecondsPerDay = 86400;

std::int32_t Pack(const Fields& f) {
  if (f.year < kFirstYear) return kMinFileDate;
  if (f.year > kLastYear) return kMaxFileDate;
  const auto date =
      static_cast<std::uint32_t>(((f.year - kFirstYear) << 9) | (f.month << 5) | f.day);
  const auto time = static_cast<std::uint32_t>((f.hour << 11) | (f.minute << 5) | (f.second / 2));
  return static_cast<std::int32_t>((date << 16) | time);
}

bool IsValidDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return false;
  const auto days = date_detail::DaysFromCivil(year, static_cast<unsigned>(month), 1);
  const CivilDate back = date_detail::CivilFromDays(days + day - 1);
  return back.month == month;
}

}  // namespace

std::int32_t DateTimeToFileDate(TDateTime value) {
  // Checked before the conversion to whole seconds, which could overflow far outside.
  if (!(value >= EncodeDate(kFirstYear, 1, 1))) return kMinFileDate;
  if (value >= EncodeDate(kLastYear + 1, 1, 1)) return kMaxFileDate;
  const auto seconds = static_cast<std::int64_t>(std::llround(value * kSecondsPerDay));
  const std::int64_t day = seconds / kSecondsPerDay;
  const auto of_day = static_cast<int>(seconds % kSecondsPerDay);
  const CivilDate date = date_detail::CivilFromDays(day - date_detail::kUnixEpochDay);
  return Pack({date.year, date.month, date.day, of_day / 3600, of_day / 60 % 60, of_day % 60});
}

TDateTime FileDateToDateTime(std::int32_t file_date) {
  const auto packed = static_cast<std::uint32_t>(file_date);
  const auto date = packed >> 16;
  const auto time = packed & 0xFFFFu;
  const int year = kFirstYear + static_cast<int>(date >> 9);
  const int month = static_cast<int>((date >> 5) & 0x0Fu);
  const int day = static_cast<int>(date & 0x1Fu);
  const int hour = static_cast<int>(time >> 11);
  const int minute = static_cast<int>((time >> 5) & 0x3Fu);
  const int second = static_cast<int>(time & 0x1Fu) * 2;
  if (!IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59) {
    throw EFileDateError("Invalid packed file date " + std::to_string(file_date));
  }
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second);
}

std::int32_t UnixTimeToFileDate(std::time_t unix_time) {
  std::tm local{};
  if (localtime_r(&unix_time, &local) == nullptr) {
    return unix_time < 0 ? kMinFileDate : kMaxFileDate;
  }
  // A leap second (60) is not representable.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return Pack(
      {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, second});
}

}  // namespace velmora
