#pragma once

// Formatting and parsing of dates and times with the pattern letters of Locale (see
// ports/Locale.h), and the current local date and time.

#include <optional>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace velmora {

// The value written with `format`. Names of months and days are English.
std::string FormatDateTime(std::string_view format, TDateTime value);

// The date written in `text` with `format` (midnight of that day), or nothing when the text
// does not follow the format or names no real date. Time fields in the format are accepted
// and dropped. A two-digit year is placed in the century that brings it within 50 years of
// `reference_year` (for example 26 -> 2026 and 80 -> 1980 around 2026); a year of more
// digits in a "yy" field is taken as it stands, so four-digit years always read back.
std::optional<TDateTime> ParseDate(std::string_view text, std::string_view format,
                                   int reference_year);

// The local date and time now, and today's date (midnight).
TDateTime Now();
TDateTime Today();

}  // namespace velmora
