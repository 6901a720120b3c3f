#include "core/FloatFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(FloatFormat, PicturesOfDigits) {
  const struct {
    const char* format;
    double value;
    const char* expected;
  } cases[] = {
      {"0.00", 3.14159, "3.14"},
      {"0.00", 2.5, "2.50"},
      {"0.##", 2.5, "2.5"},
      {"0.##", 2.0, "2"},
      {"#.##", 0.5, ".5"},
      {"000", 7, "007"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", 999, "999"},
      {"#,##0", -1234, "-1,234"},
      {"R$ #,##0.00", 1500, "R$ 1,500.00"},
      {"0.0 'kg'", 12.25, "12.2 kg"},  // an exact half of the binary value goes to the even digit
      {"0.0 \"%\"", 99.95, "100.0 %"},
      {"0", 0.4, "0"},
      {"0.00", -0.001, "0.00"},
      {"0.00;(0.00)", -5, "(5.00)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;;'zero'", -1.5, "-1.50"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.0E-0", 0.00012, "1.2E-4"},
      {"", 0.1, "0.1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
}

}  // namespace
