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

// Compares to the second; TDateTime arithmetic is not exact.
void ExpectSameSecond(TDateTime actual, TDateTime expected) {
  EXPECT_EQ(std::llround(actual * 86400.0), std::llround(expected * 86400.0))
      << actual << " vs " << expected;
}

TEST(DosDateTime, RoundTripKeepsEvenSecondsAndClampsTheYears) {
  // (43 << 9 | 6 << 5 | 15) << 16 | (14 << 11 | 30 << 5 | 20 / 2)
  EXPECT_EQ(static_cast<std::uint32_t>(DateTimeToFileDate(At(2023, 6, 15, 14, 30, 20))),
            0x56CF73CAu);
  const struct {
    TDateTime in;
    TDateTime out;
  } rows[] = {
      {At(2024, 2, 29, 23, 59, 59), At(2024, 2, 29, 23, 59, 58)},
      // Year 2044 and later set the sign bit of the packed value.
      {At(2044, 1, 1, 0, 0, 2), At(2044, 1, 1, 0, 0, 2)},
      // A value a hair below an even second is that second, not the one before.
      {At(2010, 5, 5, 10, 20, 30) - 1e-11, At(2010, 5, 5, 10, 20, 30)},
      {-700000.0, At(1980, 1, 1, 0, 0, 0)},
      {std::numeric_limits<double>::quiet_NaN(), At(1980, 1, 1, 0, 0, 0)},
      {1e300, At(2107, 12, 31, 23, 59, 58)},
  };
  for (const auto& row : rows) {
    ExpectSameSecond(FileDateToDateTime(DateTimeToFileDate(row.in)), row.out);
  }
  EXPECT_EQ(UnixTimeToFileDate(-100000), kMinFileDate);
  EXPECT_EQ(UnixTimeToFileDate(static_cast<std::time_t>(1) << 40), kMaxFileDate);
}

TEST(DosDateTime, InvalidFieldsAreRejected) {
  const std::uint32_t rows[] = {
      0x00010000u,  // month 0
      0x005E0000u,  // 1980-02-30
      0x01FE0000u,  // month 15
      0x0021C000u,  // hour 24
      0x0021001Eu,  // second 60
  };
  for (std::uint32_t packed : rows) {
    EXPECT_THROW(FileDateToDateTime(static_cast<std::int32_t>(packed)), EFileDateError)
        << std::hex << packed;
  }
  EXPECT_NO_THROW(FileDateToDateTime(0x005D0000));  // 1980-02-29, a leap day
}

}  // namespace
}  // namespace velmora
