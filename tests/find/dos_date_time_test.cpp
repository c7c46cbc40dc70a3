#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "find/DosDateTime.h"

namespace velmora {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
}

TEST(DosDateTime, RoundTripKeepsEvenSeconds) {
  // (43 << 9 | 6 << 5 | 15) << 16 | (14 << 11 | 30 << 5 | 20 / 2)
  EXPECT_EQ(static_cast<std::uint32_t>(DateTimeToFileDate(At(2023, 6, 15, 14, 30, 20))),
            0x56CF73CAu);
  const struct {
    TDateTime in;
    TDateTime out;
  } rows[] = {
      {At(2024, 2, 29, 23, 59, 59), At(2024, 2, 29, 23, 59, 58)},
      {At(2044, 1, 1, 0, 0, 2), At(2044, 1, 1, 0, 0, 2)},  // sign bit set
      {At(2010, 5, 5, 10, 20, 30) - 1e-11, At(2010, 5, 5, 10, 20, 30)},
      {At(2107, 12, 31, 23, 59, 59), At(2107, 12, 31, 23, 59, 58)},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::llround(FileDateToDateTime(DateTimeToFileDate(row.in)) * 86400.0),
              std::llround(row.out * 86400.0));
  }
  EXPECT_THROW(FileDateToDateTime(0x025D0000), EFileDateError);  // 1981-02-29
  EXPECT_THROW(FileDateToDateTime(0x0021C000), EFileDateError);  // hour 24
}

TEST(DosDateTime, OutOfRangeIsClamped) {
  EXPECT_EQ(DateTimeToFileDate(At(1980, 1, 1, 0, 0, 0)), kMinFileDate);
  EXPECT_EQ(DateTimeToFileDate(At(1979, 12, 31, 23, 59, 59)), kMinFileDate);
  EXPECT_EQ(DateTimeToFileDate(std::numeric_limits<double>::quiet_NaN()), kMinFileDate);
  EXPECT_EQ(DateTimeToFileDate(At(2108, 1, 1, 0, 0, 0)), kMaxFileDate);
  EXPECT_EQ(UnixTimeToFileDate(-100000), kMinFileDate);
  EXPECT_EQ(UnixTimeToFileDate(static_cast<std::time_t>(1) << 40), kMaxFileDate);
  std::tm local{};  // local noon, never inside a daylight-saving jump
  local.tm_year = 2038 - 1900;
  local.tm_mday = 19;
  local.tm_hour = 12;
  local.tm_sec = 57;
  local.tm_isdst = -1;
  EXPECT_EQ(UnixTimeToFileDate(std::mktime(&local)),
            DateTimeToFileDate(At(2038, 1, 19, 12, 0, 56)));
}

}  // namespace
}  // namespace velmora
