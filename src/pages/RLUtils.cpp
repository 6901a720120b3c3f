#include "pages/RLUtils.h"

#include "core/Translation.h"
#include "pages/RLStream.h"

#include "core/TempFiles.h"
#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::uint32_t RandomNumber() {
  static std::mutex mutex;
  static std::mt19937 generator{std::random_device{}()};
  static std::uniform_int_distribution<std::uint32_t> distribution(0, 2147483646u);
  std::lock_guard lock(mutex);
  return distribution(generator);
}

std::string RandomTempName() { return TempDir() + "~mx" + std::to_string(RandomNumber()) + ".tmp"; }

// Registered temporary files, deleted when the process ends.
class TTempFileList {
public:
  ~TTempFileList() {
    std::lock_guard lock(mutex_);
    for (const auto& name : names_) ::unlink(name.c_str());
  }
  void Add(const std::string& name) {
    std::lock_guard lock(mutex_);
    names_.insert(name);
  }
  void Remove(const std::string& name) {
    std::lock_guard lock(mutex_);
    names_.erase(name);
  }
  bool Contains(const std::string& name) {
    std::lock_guard lock(mutex_);
    return names_.count(name) > 0;
  }

private:
  std::mutex mutex_;
  std::set<std::string> names_;
};

TTempFileList& TempFiles() {
  static TTempFileList list;
  return list;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The engine's start-up: note the temporary folder, make sure the temporary file list outlives its users and
// remove a stale log.
const bool kStarted = [] {
  TempDir();
  TempFiles();
  DeleteStaleEngineLog();
  return true;
}();

}  // namespace

const std::string& TempDir() {
  static const std::string dir = [] {
    std::error_code error;
    std::string path = std::filesystem::temp_directory_path(error).string();
    if (error) path = "/tmp";
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
  }();
  return dir;
}

std::string NewTempFileName() {
  for (;;) {
    std::string name = RandomTempName();
    std::error_code error;
    if (!std::filesystem::exists(name, error)) return name;
  }
}

int CreateTempFile(std::string& fileName) {
  const int fd = CreateOwnedTempFile(TempDir(), "~mx", 0600, fileName);
  if (fd < 0) throw ERLFileError(Format(Translate("pages", "Cannot create a temporary file in \"%s\""), {TempDir()}));
  return fd;
}

void RegisterTempFile(const std::string& fileName) { TempFiles().Add(fileName); }
void UnregisterTempFile(const std::string& fileName) {
  TempFiles().Remove(fileName);
  ReleaseOwnedTempFile(fileName);
}
bool IsTempFileRegistered(const std::string& fileName) { return TempFiles().Contains(fileName); }

std::string Token(std::string_view text, int n, char separator) {
  if (n < 1) return {};
  std::size_t start = 0;
  for (int field = 1;; ++field) {
    std::size_t end = text.find(separator, start);
    if (field == n) return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return {};
    start = end + 1;
  }
}

std::string FormatFileExt(std::string_view ext) {
  if (ext.empty() || ext.front() == '.') return std::string(ext);
  return "." + std::string(ext);
}

namespace {

// The end (from 1) of the word before the last gap that starts before `pos`; 0 when there is none.
int PreviousGap(std::string_view text, int pos) {
  pos = std::min(pos, static_cast<int>(text.size()));
  auto at = [&](int p) { return text[static_cast<std::size_t>(p - 1)]; };
  while (pos > 0 && IsBlank(at(pos))) --pos;
  while (pos > 0 && !IsBlank(at(pos))) --pos;
  while (pos > 0 && IsBlank(at(pos))) --pos;
  return std::max(pos, 0);
}

}  // namespace

bool FindLineBreak(std::string& text, int& pos) {
  pos = PreviousGap(text, pos);
  if (pos == 0) return false;
  text.insert(static_cast<std::size_t>(pos), 1, ' ');
  return true;
}

bool FindLineBreakWrapping(std::string& text, int& pos) {
  if (FindLineBreak(text, pos)) return true;
  pos = static_cast<int>(text.size());
  return FindLineBreak(text, pos);
}

std::string WidenedLine(std::string_view text, long long spaces) {
  std::vector<std::size_t> gaps;  // from the last backwards
  for (int pos = PreviousGap(text, static_cast<int>(text.size())); pos > 0; pos = PreviousGap(text, pos)) {
    gaps.push_back(static_cast<std::size_t>(pos));
  }
  if (gaps.empty() || spaces <= 0) return std::string(text);
  const auto count = static_cast<long long>(gaps.size());
  const long long rounds = spaces / count, extra = spaces % count;
  std::string line;
  line.reserve(text.size() + static_cast<std::size_t>(spaces));
  std::size_t done = 0;
  for (long long i = count - 1; i >= 0; --i) {
    const std::size_t gap = gaps[static_cast<std::size_t>(i)];
    line.append(text.substr(done, gap - done));
    line.append(static_cast<std::size_t>(rounds + (i < extra ? 1 : 0)), ' ');
    done = gap;
  }
  line.append(text.substr(done));
  return line;
}

std::string JustifiedLine(std::string_view text, long long room,
                          const std::function<int(const std::string&)>& measure) {
  const std::string plain(text);
  const int plain_width = measure(plain);
  std::string one = WidenedLine(text, 1);
  if (plain_width > room || one == plain) return plain;
  const int one_width = measure(one);
  if (one_width <= plain_width || one_width > room) return one;
  auto wider_than_room = [&](long long spaces) { return measure(WidenedLine(text, spaces)) > room; };
  // The fewest spaces that make the line wider than the room lie in (fits, overflows].
  long long fits = 1, overflows = 2;
  while (!wider_than_room(overflows)) {
    if (overflows == kMaxJustifySpaces) return WidenedLine(text, kMaxJustifySpaces);
    fits = overflows;
    overflows = std::min(2 * overflows, kMaxJustifySpaces);
  }
  while (overflows - fits > 1) {
    const long long middle = fits + (overflows - fits) / 2;
    (wider_than_room(middle) ? overflows : fits) = middle;
  }
  return WidenedLine(text, overflows);
}

int RoundToInt(double value) {
  if (!(value > INT_MIN)) return std::isnan(value) ? 0 : INT_MIN;
  if (!(value < INT_MAX)) return INT_MAX;
  return static_cast<int>(RoundHalfEven(value));
}

int AddClamped(int a, int b) {
  long long sum = static_cast<long long>(a) + b;
  return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

int RectWidth(const TRect& rect) { return rect.Right - rect.Left; }
int RectHeight(const TRect& rect) { return rect.Bottom - rect.Top; }

TRect MoveRect(const TRect& rect, int x, int y) { return {x, y, x + RectWidth(rect), y + RectHeight(rect)}; }

TRect ReduceRect(const TRect& rect, const TRect& amounts) {
  return {rect.Left + amounts.Left, rect.Top + amounts.Top, rect.Right - amounts.Right, rect.Bottom - amounts.Bottom};
}

TRect IncreaseRect(const TRect& rect, const TRect& amounts) {
  return {rect.Left - amounts.Left, rect.Top - amounts.Top, rect.Right + amounts.Right, rect.Bottom + amounts.Bottom};
}

void DeleteStaleEngineLog() {
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return;
  std::filesystem::remove(exe.parent_path() / "ZOru.log", error);
}
