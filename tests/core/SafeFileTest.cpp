// Writing a file whole or not at all, and values put back on the way out of a scope.
#include "core/SafeFile.h"
#include "core/ScopeGuard.h"
#include "core/TempFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
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

// A child process that makes a safe file of `target` (written in part) and a temporary file in `tempFolder`, tells
// the parent their names and waits for a signal.
class TWritingChild {
public:
  TWritingChild(const std::string& target, const std::string& tempFolder) {
    int channel[2];
    if (::pipe(channel) != 0) throw std::runtime_error("no pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(channel[0]);
      TSafeFile file(target);
      file.Write("the first pages of a long report");
      std::string page_file;
      const int fd = CreateOwnedTempFile(tempFolder, "~mx", 0600, page_file);
      const std::string names = file.TempName() + "\n" + (fd >= 0 ? page_file : "") + "\n";
      if (::write(channel[1], names.data(), names.size()) != static_cast<ssize_t>(names.size())) ::_exit(3);
      for (;;) ::pause();
    }
    ::close(channel[1]);
    std::string names;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
      names.append(buffer, static_cast<std::size_t>(n));
      if (std::count(names.begin(), names.end(), '\n') == 2) break;
    }
    ::close(channel[0]);
    const std::size_t end = names.find('\n');
    temp_name = names.substr(0, end);
    page_file = names.substr(end + 1, names.size() - end - 2);
  }
  ~TWritingChild() {
    if (pid_ > 0) Stop(SIGKILL);
  }
  // Sends the signal and returns the child's wait status.
  int Stop(int signal) {
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

  std::string temp_name, page_file;

private:
  pid_t pid_ = -1;
};

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

// Writing through a symbolic link replaces the file it names; the link stays a link.
TEST(SafeFile, ASymbolicLinkIsWrittenThrough) {
  TempFolder dir;
  std::filesystem::create_directory(dir.path() / "reports");
  const std::string real = dir.File("reports/march.pdf");
  WriteFile(real, "old");
  struct Case {
    const char* what;
    std::string link;
    std::string points_to;
    std::string written;
  };
  const Case cases[] = {
      {"absolute", dir.File("latest.pdf"), real, real},
      {"relative, through a second link", dir.File("current.pdf"), "latest.pdf", real},
      {"to a file still to be made", dir.File("next.pdf"), "reports/april.pdf", dir.File("reports/april.pdf")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::create_symlink(c.points_to, c.link);
    TSafeFile file(c.link);
    file.Write(c.what);
    file.Commit();
    EXPECT_TRUE(std::filesystem::is_symlink(c.link));
    EXPECT_EQ(std::filesystem::read_symlink(c.link), c.points_to);
    EXPECT_EQ(ReadFile(c.written), c.what);
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"current.pdf", "latest.pdf", "next.pdf", "reports"}));
}

// SIGTERM, SIGINT and SIGHUP remove the temporary files before the process ends with the signal's status.
TEST(TempFiles, ASignalRemovesThemBeforeTheProcessEnds) {
  TempFolder dir, temp;
  const std::string target = dir.File("clientes.pdf");
  WriteFile(target, "the previous report");
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    TWritingChild child(target, temp.path().string());
    ASSERT_TRUE(std::filesystem::exists(child.temp_name));
    ASSERT_TRUE(std::filesystem::exists(child.page_file));
    const int status = child.Stop(signal);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"clientes.pdf"}));
    EXPECT_TRUE(temp.Names().empty());
    EXPECT_EQ(ReadFile(target), "the previous report");
  }
}

// What a process killed outright leaves is removed by the next one; a live process's files never are.
TEST(TempFiles, TheNextRunRemovesWhatAKilledOneLeftAndNothingOfALiveOne) {
  TempFolder dir, temp;
  const std::string target = dir.File("clientes.pdf");
  TWritingChild killed(target, temp.path().string()), alive(target, temp.path().string());
  ASSERT_EQ(killed.Stop(SIGKILL) & 0x7f, SIGKILL);
  ASSERT_TRUE(std::filesystem::exists(killed.temp_name)) << "nothing removes them at SIGKILL";
  ASSERT_TRUE(std::filesystem::exists(killed.page_file));
  // Other names, and the files of another target, are not this run's to judge.
  WriteFile(dir.File(".other.pdf.~mx999999999-1.tmp"), "");
  WriteFile(temp.File("~mx123.tmp"), "");

  {
    TSafeFile next(target);
    next.Write("a new report");
    next.Commit();
  }
  std::string page_file;
  const int fd = CreateOwnedTempFile(temp.path().string(), "~mx", 0600, page_file);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ::unlink(page_file.c_str());
  ReleaseOwnedTempFile(page_file);

  EXPECT_FALSE(std::filesystem::exists(killed.temp_name));
  EXPECT_FALSE(std::filesystem::exists(killed.page_file));
  EXPECT_TRUE(std::filesystem::exists(alive.temp_name));
  EXPECT_TRUE(std::filesystem::exists(alive.page_file));
  EXPECT_TRUE(std::filesystem::exists(dir.File(".other.pdf.~mx999999999-1.tmp")));
  EXPECT_TRUE(std::filesystem::exists(temp.File("~mx123.tmp")));
  EXPECT_EQ(ReadFile(target), "a new report");
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
