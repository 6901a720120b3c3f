#include "core/Exceptions.h"
#include "widgets/Forms.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

// Restores std::cerr's buffer when the test ends, however it ends.
class CapturedErrors {
public:
  CapturedErrors() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~CapturedErrors() { std::cerr.rdbuf(previous_); }
  std::string Text() const { return text_.str(); }

private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

}  // namespace

// Without an application an error that escapes a guarded action goes to the terminal, with what it quotes from
// outside escaped; an abort stays silent.
TEST(RunGuarded, WithoutAnApplicationAnErrorIsPrintedEscaped) {
  ASSERT_EQ(Application(), nullptr);
  CapturedErrors errors;
  RunGuarded([] { throw std::runtime_error("Cannot open \"r\x1b]0;PWNED\x07.pdf\"\nSecond line"); });
  RunGuarded([] { throw EAbort(); });
  EXPECT_EQ(errors.Text(), "Cannot open \"r\\x1B]0;PWNED\\x07.pdf\"\nSecond line\n");
}
