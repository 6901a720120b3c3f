#include "pages/RLStream.h"
#include "pages/RLUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(Utils, TokenAndFileExtension) {
  const std::tuple<const char*, int, const char*> tokens[] = {{"a;b;c", 1, "a"}, {"a;b;c", 3, "c"}, {"a;b;c", 4, ""},
                                                              {"a;;c", 2, ""},   {"", 1, ""},       {"abc", 0, ""},
                                                              {";x", 2, "x"}};
  for (auto [text, n, expected] : tokens) EXPECT_EQ(Token(text, n, ';'), expected) << text << " " << n;
  EXPECT_EQ(FormatFileExt("rpf"), ".rpf");
  EXPECT_EQ(FormatFileExt(".rpf"), ".rpf");
  EXPECT_EQ(FormatFileExt(""), "");
}

TEST(Utils, LineBreaksAreInsertedFromTheEndTowardsTheStart) {
  std::string text = "a b c";
  int pos = static_cast<int>(text.size());
  const char* steps[] = {"a b  c", "a  b  c", "a  b   c", "a   b   c", "a   b    c"};
  for (const char* expected : steps) {
    ASSERT_TRUE(FindLineBreakWrapping(text, pos));
    EXPECT_EQ(text, expected);
  }

  struct Case {
    const char* text;
    int pos;
    bool found;
    const char* result;
    int new_pos;
  };
  const Case cases[] = {
      {"one two", 7, true, "one  two", 3},
      {"one two  ", 9, true, "one  two  ", 3},  // trailing blanks are passed over first
      {"one\ttwo", 7, true, "one \ttwo", 3},
      {"word", 4, false, "word", 0},
      {"  word", 6, false, "  word", 0},  // blanks only before the first word
      {"", 0, false, "", 0},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    int p = c.pos;
    EXPECT_EQ(FindLineBreak(t, p), c.found) << c.text;
    EXPECT_EQ(t, c.result) << c.text;
    EXPECT_EQ(p, c.new_pos) << c.text;
  }
  std::string single = "word";
  int p = 4;
  EXPECT_FALSE(FindLineBreakWrapping(single, p));
}

// The line widened by a count of spaces at once is the line widened space by space.
TEST(Utils, AWidenedLineIsTheLineWidenedOneSpaceAtATime) {
  for (const char* text : {"a b c", "one two  three\tfour", "  lead and trail  ", "x y", "word", ""}) {
    std::string stepped = text;
    int pos = static_cast<int>(stepped.size());
    for (int spaces = 0; spaces <= 25; ++spaces) {
      EXPECT_EQ(WidenedLine(text, spaces), stepped) << text << " + " << spaces;
      FindLineBreakWrapping(stepped, pos);
    }
  }
  // Many rounds: the last gap takes the odd space.
  EXPECT_EQ(WidenedLine("a b c", 2001), "a" + std::string(1001, ' ') + "b" + std::string(1002, ' ') + "c");
}

// A justified line as the painter widens it: gap by gap until it measures more than its room. The measure is a
// fixed-pitch stand-in for a font that also counts the characters it is given, the work of shaping them.
TEST(Utils, AJustifiedLineFillsItsRoomAtTheCostOfAFewMeasurements) {
  long long measured_chars = 0;
  auto pitch = [&](int letter, int space) {
    return [&measured_chars, letter, space](const std::string& line) {
      measured_chars += static_cast<long long>(line.size());
      int width = 0;
      for (char c : line) width += c == ' ' ? space : letter;
      return width;
    };
  };
  // The rule, one space at a time.
  auto stepwise = [](std::string line, long long room, const std::function<int(const std::string&)>& measure) {
    int pos = static_cast<int>(line.size()), measured = measure(line);
    for (long long spaces = 0; spaces < kMaxJustifySpaces && measured <= room; ++spaces) {
      if (!FindLineBreakWrapping(line, pos)) break;
      int wider = measure(line);
      if (wider <= measured) break;
      measured = wider;
    }
    return line;
  };
  struct Case {
    const char* text;
    long long room;
  };
  const Case cases[] = {{"a b c", 0},  {"a b c", 34},   {"a b c", 35}, {"a b c", 36},
                        {"a b c", 37}, {"a b c", 80},   {"a b c", 81}, {"one two three", 500},
                        {"word", 500}, {"  a\tb ", 90}, {"a b c", -5}, {"", 10}};
  for (const auto& c : cases) {
    EXPECT_EQ(JustifiedLine(c.text, c.room, pitch(7, 3)), stepwise(c.text, c.room, pitch(7, 3)))
        << c.text << " in " << c.room;
  }
  // A space that measures nothing widens nothing: one space is tried, then no more.
  EXPECT_EQ(JustifiedLine("a b c", 1000, pitch(7, 0)), "a b  c");

  // A room as wide as damaged data makes it: the line stops at the most spaces allowed. Measuring each step, as the
  // rule reads, would shape about kMaxJustifySpaces^2 / 2 characters.
  for (long long room : {static_cast<long long>(INT_MAX), 4LL * INT_MAX}) {
    measured_chars = 0;
    EXPECT_EQ(JustifiedLine("a b c", room, pitch(7, 3)), WidenedLine("a b c", kMaxJustifySpaces));
    EXPECT_LT(measured_chars, 64 * kMaxJustifySpaces);
  }
  // A room a few thousand spaces wide is found exactly, also with few measurements.
  measured_chars = 0;
  EXPECT_EQ(JustifiedLine("a b c", 30000, pitch(7, 3)), stepwise("a b c", 30000, pitch(7, 3)));
}

TEST(Utils, RectangleRoutines) {
  TRect r{10, 20, 110, 70};
  EXPECT_EQ(RectWidth(r), 100);
  EXPECT_EQ(RectHeight(r), 50);
  EXPECT_EQ(MoveRect(r, 0, 5), (TRect{0, 5, 100, 55}));
  EXPECT_EQ(ReduceRect(r, {1, 2, 3, 4}), (TRect{11, 22, 107, 66}));
  EXPECT_EQ(IncreaseRect(r, {1, 2, 3, 4}), (TRect{9, 18, 113, 74}));
}

TEST(Utils, TemporaryFilesAreExclusiveAndPrivate) {
  std::string first, second;
  int a = CreateTempFile(first);
  int b = CreateTempFile(second);
  EXPECT_NE(first, second);
  struct stat st;
  ASSERT_EQ(::fstat(a, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(first.rfind(TempDir() + "~mx", 0), 0u);
  ::close(a);
  ::close(b);
  std::filesystem::remove(first);
  std::filesystem::remove(second);

  std::string name = NewTempFileName();
  EXPECT_FALSE(std::filesystem::exists(name));
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
}

// The registry deletes what is still registered when the process ends: a child process registers two files,
// unregisters one and ends.
TEST(UtilsDeathTest, RegisteredTemporaryFilesAreDeletedAtProcessEnd) {
  // Forked, not run again from the start: the child must register the files this process made.
  GTEST_FLAG_SET(death_test_style, "fast");
  std::string kept, dropped;
  ::close(CreateTempFile(kept));
  ::close(CreateTempFile(dropped));
  EXPECT_EXIT(
      {
        RegisterTempFile(kept);
        RegisterTempFile(dropped);
        UnregisterTempFile(dropped);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(std::filesystem::exists(kept));
  EXPECT_TRUE(std::filesystem::exists(dropped));
  std::filesystem::remove(kept);
  std::filesystem::remove(dropped);
}

TEST(Streams, MemoryStreamWritesLittleEndianAndReadsBack) {
  TRLMemoryStream s;
  s.WriteInt32(-2);
  s.WriteWord(0x1234);
  s.WriteString("ab");
  EXPECT_EQ(s.Bytes(), std::string("\xFE\xFF\xFF\xFF\x34\x12\x02\x00\x00\x00"
                                   "ab",
                                   12));
  s.Seek(0);
  EXPECT_EQ(s.ReadInt32(), -2);
  EXPECT_EQ(s.ReadWord(), 0x1234);
  EXPECT_EQ(s.ReadString(), "ab");
  EXPECT_THROW(s.ReadByte(), ERLStreamError);
}

TEST(Streams, MemoryStreamWritesAppendOverwriteAndFillGapsWithZeros) {
  struct Case {
    const char* what;
    std::int64_t at;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"at the end", 6, "gh", "abcdefgh"},
      {"inside", 1, "XY", "aXYdef"},
      {"over the end", 4, "XYZ", "abcdXYZ"},
      {"from the start, longer", 0, "0123456789", "0123456789"},
      {"past the end", 8, "Z", std::string("abcdef\0\0Z", 9)},
  };
  for (const Case& c : cases) {
    TRLMemoryStream s;
    s.Write("abcdef", 6);
    s.Seek(c.at);
    s.Write(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(s.Bytes(), c.expected) << c.what;
    EXPECT_EQ(s.Position(), c.at + static_cast<std::int64_t>(c.bytes.size())) << c.what;
  }
}

}  // namespace
