#pragma once

// The packed date-time that TSearchRec::Time carries: a 32-bit value whose high word is the
// date ((year - 1980) << 9 | month << 5 | day) and whose low word is the time
// (hour << 11 | minute << 5 | second / 2), in local time. Two-second resolution; years
// outside 1980..2107 cannot be packed and are clamped to that range.

#include <cstdint>
#include <ctime>
#include <stdexcept>

#include "base/DateTime.h"

namespace velmora {

// The earliest and latest packed values: 1980-01-01 00:00:00 and 2107-12-31 23:59:58.
inline constexpr std::int32_t kMinFileDate = (0 << 25) | (1 << 21) | (1 << 16);
inline constexpr std::int32_t kMaxFileDate = static_cast<std::int32_t>(
    (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);

// Raised for a packed value whose fields do not form a valid date and time.
class EFileDateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Packs a date-time value (local time), seconds rounded down to even, years clamped.
std::int32_t DateTimeToFileDate(TDateTime value);

// Unpacks a packed value; throws EFileDateError when a field is out of range.
TDateTime FileDateToDateTime(std::int32_t file_date);

// Packs a point in time (seconds since 1970-01-01 UTC) as local time, years clamped.
std::int32_t UnixTimeToFileDate(std::time_t unix_time);

}  // namespace velmora
