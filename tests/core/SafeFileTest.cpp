// Writing a file whole or not at all, and values put back on the way out of a scope.
#include "core/SafeFile.h"
#include "core/ScopeGuard.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

mode_t Mode(const std::string& name) {
  struct stat st {};
  ::stat(name.c_str(), &st);
  return st.st_mode & 07777;
}

}  // namespace

TEST(SafeFile, CommitReplacesTheTargetWholeAndKeepsItsPermissions) {
  TempFolder dir;
  const std::string target = dir.File("report.rpf");
  WriteFile(target, "previous content, longer than the new one");
  ::chmod(target.c_str(), 0640);
  {
    TSafeFile file(target);
    EXPECT_EQ(std::filesystem::path(file.TempName()).parent_path(), dir.path()) << "beside the target";
    file.Write("new ");
    file.Write(std::string("content"));
    EXPECT_EQ(ReadFile(target), "previous content, longer than the new one") << "untouched until Commit";
    file.Commit();
  }
  EXPECT_EQ(ReadFile(target), "new content");
  EXPECT_EQ(Mode(target), 0640u);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"report.rpf"}));
}

TEST(SafeFile, AnythingShortOfCommitLeavesTheTargetAndNoTemporaryFile) {
  TempFolder dir;
  const std::string target = dir.File("out.png");
  WriteFile(target, "kept");

  // Destroyed while an error unwinds.
  EXPECT_THROW(
      {
        TSafeFile file(target);
        file.Write("half");
        throw std::runtime_error("rendering failed");
      },
      std::runtime_error);
  // Discarded on purpose, then committed too late.
  TSafeFile discarded(target);
  discarded.Write("never");
  discarded.Discard();
  EXPECT_THROW(discarded.Commit(), EFileWriteError);

  EXPECT_EQ(ReadFile(target), "kept");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"out.png"}));

  // A new file that never gets committed does not appear at all.
  { TSafeFile fresh(dir.File("new.png")); }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"out.png"}));
}

TEST(SafeFile, AFolderThatCannotTakeTheFileSaysWhichFileAndWhy) {
  TempFolder dir;
  const std::string target = dir.File("missing/report.rpf");
  try {
    TSafeFile file(target);
    FAIL() << "a file in a missing folder was created";
  } catch (const EFileWriteError& error) {
    EXPECT_EQ(error.Message(), "Cannot create file \"" + target + "\": No such file or directory");
  }
}

TEST(ScopeGuard, ValuesComeBackHoweverTheScopeIsLeft) {
  int depth = 1;
  std::string owner = "report";
  EXPECT_THROW(
      {
        TScopedValueRollback deeper(depth, 2);
        TScopedValueRollback<std::string> renamed(owner);
        owner = "band";
        EXPECT_EQ(depth, 2);
        throw std::runtime_error("evaluation failed");
      },
      std::runtime_error);
  EXPECT_EQ(depth, 1);
  EXPECT_EQ(owner, "report");

  {
    TScopedValueRollback kept(depth, 5);
    kept.Commit();
  }
  EXPECT_EQ(depth, 5) << "a committed value stays";

  bool completing = true;
  {
    TScopeExit done([&] { completing = false; });
  }
  EXPECT_FALSE(completing);
}
