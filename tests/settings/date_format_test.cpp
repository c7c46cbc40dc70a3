// Date and time patterns, and the integer conversion the store relies on.

#include <gtest/gtest.h>

#include "ports/Convert.h"
#include "ports/Locale.h"
#include "settings/DateFormat.h"

namespace velmora {
namespace {

TEST(FormatDateTimeTest, PatternLetters) {
  // Friday 2026-03-06 07:05:09.042
  const TDateTime value = EncodeDate(2026, 3, 6) + EncodeTime(7, 5, 9) + 42 / 86400000.0;
  const TDateTime evening = EncodeDate(2009, 11, 29) + EncodeTime(23, 0, 0);
  const struct {
    const char* format;
    TDateTime value;
    const char* text;
  } cases[] = {
      {"yyyy-MM-dd", value, "2026-03-06"},
      {"M/d/yy", value, "3/6/26"},
      {"dd.MM.yyyy", value, "06.03.2026"},
      {"ddd d MMM yyyy", value, "Fri 6 Mar 2026"},
      {"dddd, MMMM d", value, "Friday, March 6"},
      {"HH:mm", value, "07:05"},
      {"h:mm:ss AP", value, "7:05:09 AM"},
      {"h:mm ap", evening, "11:00 pm"},
      {"hh:mm a", EncodeDate(2009, 11, 29), "12:00 am"},
      {"H:m:s.zzz", value, "7:5:9.042"},
      {"'Day' d 'of' M, 'yy''s'''", value, "Day 6 of 3, yy's'"},
      {"dd/MM/yy", EncodeDate(2000, 1, 2), "02/01/00"},
      {"yyyyMMdd", EncodeDate(1899, 12, 30), "18991230"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.text) << c.format;
}

TEST(FormatDateTimeTest, RoundingNeverShowsSixtySeconds) {
  const TDateTime almost_midnight = EncodeDate(2026, 12, 31) + 0.99999999999;
  EXPECT_EQ(FormatDateTime("yyyy-MM-dd HH:mm:ss", almost_midnight), "2027-01-01 00:00:00");
}

TEST(ParseDateTest, ReadsWhatFormatWrites) {
  const char* const formats[] = {"yyyy-MM-dd", "M/d/yy",   "dd.MM.yyyy",
                                 "d MMM yyyy", "yyyyMMdd", "dddd, d MMMM yyyy",
                                 "dd/MM/yy"};
  const TDateTime dates[] = {EncodeDate(2026, 12, 6), EncodeDate(2000, 2, 29),
                             EncodeDate(1999, 1, 1), EncodeDate(2070, 12, 31),
                             EncodeDate(1977, 7, 7)};
  for (const char* format : formats) {
    for (const TDateTime date : dates) {
      const std::string text = FormatDateTime(format, date);
      EXPECT_EQ(ParseDate(text, format, 2026), std::optional<TDateTime>(date))
          << format << " " << text;
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
      {"01/02/2031", "MM/dd/yy", EncodeDate(2031, 1, 2)},
      {"1/2/1931", "M/d/yy", EncodeDate(1931, 1, 2)},
      {"  2026-1-5 ", "yyyy-MM-dd", EncodeDate(2026, 1, 5)},
      {"6 march 2026", "d MMMM yyyy", EncodeDate(2026, 3, 6)},
      {"2026-03-06 14:30", "yyyy-MM-dd HH:mm", EncodeDate(2026, 3, 6)},
      {"2026-02-29", "yyyy-MM-dd", std::nullopt},
      {"2024-13-01", "yyyy-MM-dd", std::nullopt},
      {"2024-00-10", "yyyy-MM-dd", std::nullopt},
      {"2024-04-31", "yyyy-MM-dd", std::nullopt},
      {"2024-04-3x", "yyyy-MM-dd", std::nullopt},
      {"2024/04/03", "yyyy-MM-dd", std::nullopt},
      {"2024-04", "yyyy-MM-dd", std::nullopt},
      {"", "yyyy-MM-dd", std::nullopt},
      {"0000-01-01", "yyyy-MM-dd", std::nullopt},
      {"6 Mrz 2026", "d MMM yyyy", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDate(c.text, c.format, 2026), c.date) << c.text;
}

TEST(StrToIntTest, DecimalIntegersOnly) {
  const std::pair<const char*, int> good[] = {{"0", 0},
                                              {"42", 42},
                                              {"-7", -7},
                                              {"+7", 7},
                                              {"007", 7},
                                              {"2147483647", 2147483647},
                                              {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : good) EXPECT_EQ(StrToInt(text), value) << text;
  for (const char* text : {"", "-", "+", "+-1", "--1", "1 ", " 1", "0x10", "$10", "1e3",
                           "2147483648", "-2147483649", "99999999999999999999999"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(FixedLocaleTest, ComparesBytesAndFoldsAsciiOnRequest) {
  const FixedLocale locale;
  EXPECT_EQ(locale.ShortDateFormat(), "yyyy-MM-dd");
  EXPECT_EQ(locale.ShortTimeFormat(), "HH:mm");
  EXPECT_EQ(locale.DecimalSeparator(), '.');
  const struct {
    const char* a;
    const char* b;
    bool ignore_case;
    int order;
  } cases[] = {
      {"a", "a", false, 0},    {"B", "a", false, -1},    {"B", "a", true, 1},
      {"abc", "ABC", true, 0}, {"ab", "abc", false, -1}, {"abc", "ab", true, 1},
      {"\xE9", "z", false, 1}, {"", "", true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(locale.CompareStrings(c.a, c.b, c.ignore_case), c.order) << c.a << " " << c.b;
  }
}

}  // namespace
}  // namespace velmora
