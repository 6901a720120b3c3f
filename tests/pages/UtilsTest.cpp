#include "pages/RLStream.h"
#include "pages/RLUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
