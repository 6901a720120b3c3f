#pragma once

#include <string>
#include <string_view>

// A date-time is a count of days since 30 December 1899, its fraction the time of day. The locale is named as in
// the environment ("fr_FR.UTF-8", "pt_BR", "en"); the formats are that locale's own.
enum class TLocaleDateFormat { ShortDate, LongDate, LongTime };

// The date or the time of `dateTime` in one of the locale's formats. The long time is given without a time zone,
// since a date-time carries none.
std::string FormatLocaleDateTime(std::string_view locale, TLocaleDateFormat format, double dateTime);
