// Date patterns the settings are written and read with.

#include <gtest/gtest.h>

#include "settings/DateFormat.h"

namespace velmora {
namespace {

TEST(FormatDateTimeTest, PatternLetters) {
  // Friday 2026-03-06 07:05:09.042
  const TDateTime value = EncodeDate(2026, 3, 6) + EncodeTime(7, 5, 9) + 42 / 86400000.0;
  const struct {
    const char* format;
    TDateTime value;
    const char* text;
  } cases[] = {
      {"ddd d MMM yyyy", value, "Fri 6 Mar 2026"},
      {"dddd, MMMM d", value, "Friday, March 6"},
      {"h:mm ap", EncodeDate(2009, 11, 29) + EncodeTime(23, 0, 0), "11:00 pm"},
      {"hh:mm a", EncodeDate(2009, 11, 29), "12:00 am"},
      {"H:m:s.zzz", value, "7:5:9.042"},
      {"'Day' d 'of' M, 'yy''s'''", value, "Day 6 of 3, yy's'"},
      // Rounding never shows sixty seconds.
      {"yyyy-MM-dd HH:mm:ss", EncodeDate(2026, 12, 31) + 0.99999999999, "2027-01-01 00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.text) << c.format;
}

TEST(ParseDateTest, ReadsWhatFormatWrites) {
  for (const char* format : {"yyyy-MM-dd", "M/d/yy", "d MMM yyyy", "dddd, d MMMM yyyy"}) {
    for (const TDateTime date :
         {EncodeDate(2026, 12, 6), EncodeDate(2000, 2, 29), EncodeDate(2070, 12, 31)}) {
      const std::string text = FormatDateTime(format, date);
      EXPECT_EQ(ParseDate(text, format, 2026), std::optional<TDateTime>(date)) << text;
    }
  }
}

TEST(ParseDateTest, AcceptsAndRejects) {
  const struct {
    const char* text;
    const char* format;
    std::optional<TDateTime> date;
  } cases[] = {
      // Two-digit years land within 50 years of the reference year 2026.
      {"1/2/76", "M/d/yy", EncodeDate(1976, 1, 2)},
      {"1/2/75", "M/d/yy", EncodeDate(2075, 1, 2)},
      {"  2026-1-5 ", "yyyy-MM-dd", EncodeDate(2026, 1, 5)},
      {"6 march 2026", "d MMMM yyyy", EncodeDate(2026, 3, 6)},
      {"2026-02-29", "yyyy-MM-dd", std::nullopt},
      {"2024-04-3x", "yyyy-MM-dd", std::nullopt},
      {"2024-04", "yyyy-MM-dd", std::nullopt},
      {"0000-01-01", "yyyy-MM-dd", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDate(c.text, c.format, 2026), c.date) << c.text;
}

}  // namespace
}  // namespace velmora
