#include "core/TerminalText.h"

#include <gtest/gtest.h>

namespace {

TEST(TerminalText, WhatATerminalCouldObeyIsShownEscapedAndTheRestUnchanged) {
  struct Case {
    const char* what;
    std::string text;
    std::string shown;
  };
  const Case cases[] = {
      {"plain text and accents", "São Paulo \\ 100%", "São Paulo \\ 100%"},
      {"a title set by OSC", "--x\x1b]0;PWNED\x07", "--x\\x1B]0;PWNED\\x07"},
      {"a colour by CSI", "\x1b[31mred", "\\x1B[31mred"},
      {"tab, return, line break", "a\tb\rc\nd", "a\\tb\\rc\\nd"},
      {"NUL and DEL", std::string("a\0b\x7f", 4), "a\\x00b\\x7F"},
      {"a C1 control in UTF-8 (CSI)",
       "x\xc2\x9b"
       "31m",
       "x\\u009B31m"},
      {"U+00A0 is printable",
       "a\xc2\xa0"
       "b",
       "a\xc2\xa0"
       "b"},
      {"a lone continuation byte",
       "a\x9b"
       "b",
       "a\\x9Bb"},
      {"a Latin-1 byte, not UTF-8", "Bel\xe9m", "Bel\\xE9m"},
      {"a cut sequence at the end", "a\xe2\x82", "a\\xE2\\x82"},
      {"an overlong ESC", "\xc0\x9b", "\\xC0\\x9B"},
      {"a four-byte character", "\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(EscapeForTerminal(c.text), c.shown);
  }
}

TEST(TerminalText, AMessageKeepsItsLineBreaksOnly) {
  EXPECT_EQ(EscapeMessageForTerminal("Line 2: found \"\x1b]0;x\x07\"\nFile: /tmp/a\tb\n"),
            "Line 2: found \"\\x1B]0;x\\x07\"\nFile: /tmp/a\\tb\n");
}

}  // namespace
