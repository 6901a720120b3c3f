#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text helpers on UTF-8 strings. Letter case is changed and compared on code points, never on bytes.
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);
// Case-insensitive comparison of whole texts (accents matter, letter case does not).
int AnsiCompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Number of code points in a UTF-8 text.
int CharCount(std::string_view text);

// Blanks and control characters (code <= 32) removed from both ends, or one end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Splits at every `separator`; an empty text gives one empty piece.
std::vector<std::string> SplitText(std::string_view text, char separator);

// Whether a float lies in the range of 64-bit integers (false for NaN and infinities); rounding never leaves it.
bool FitsInt64(double value);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Raises
// EConvertError for NaN, infinities and values beyond 64 bits.
long long RoundHalfEven(double value);
