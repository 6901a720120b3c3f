#pragma once

#include <string>
#include <string_view>

// Formats a number by a picture of digit placeholders:
//   "0"  a digit, always written;  "#"  a digit, written when significant;  "."  the decimal point (the first one);
//   ","  thousands grouped (anywhere before the point);  "E+0" "E-0" "e+0" "e-0"  scientific notation with at least
//   as many exponent digits as zeros ("E+" always writes the sign, "E-" only a minus);  'text' or "text"  literal.
// Any other character is written as it stands; the number is written whole in place of its placeholders, so
// placeholders that follow such a character inside the picture are written as text. Up to three sections
// separated by ";" serve positive numbers, negative numbers (written without a sign of their own) and zero; an
// empty or missing section falls back to the first. Digits beyond the placeholders are rounded (exact halves of
// the binary value to even). The decimal point is "." and the thousands separator ",". An empty picture writes
// the number as FloatToStr does.
std::string FormatFloat(std::string_view format, double value);

// The decimal separator of the user's locale ("," in Brazil, "." in the C locale).
std::string LocaleDecimalSeparator();
