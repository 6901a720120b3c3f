#include "engine/Config.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && Upper(a) == Upper(b); }

// The non-empty segments of a configuration path, trimmed.
std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i <= path.size()) {
    const size_t j = std::min(path.find('\\', i), path.size());
    const std::string_view seg = Trim(path.substr(i, j - i));
    if (!seg.empty()) out.emplace_back(seg);
    i = j + 1;
  }
  return out;
}

}  // namespace

std::string EngineConfig::NormalizedPath(std::string_view path) {
  std::string out;
  for (const auto& seg : SplitPath(path)) out += '\\' + Upper(seg);
  return out;
}

std::string EngineConfig::AliasInfoPath(std::string_view alias) {
  return "\\DATABASES\\" + std::string(alias) + "\\DB INFO";
}
std::string EngineConfig::AliasOpenPath(std::string_view alias) {
  return "\\DATABASES\\" + std::string(alias) + "\\DB OPEN";
}

std::optional<ConfigProblem> EngineConfig::Parse(std::string_view text) {
  sections_.clear();
  std::map<std::string, Section_> parsed;
  Section_* current = nullptr;
  int lineNo = 0;
  size_t pos = 0;
  const auto fail = [&](std::string msg) {
    return std::optional<ConfigProblem>(ConfigProblem{lineNo, std::move(msg)});
  };
  while (pos <= text.size()) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = Trim(text.substr(pos, end - pos));
    ++lineNo;
    pos = end + 1;
    if (line.empty() || line.front() == '#' || line.front() == ';') {
      if (end == text.size()) break;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') return fail("section header without closing ']'");
      const std::string_view written = Trim(line.substr(1, line.size() - 2));
      const std::string key = NormalizedPath(written);
      if (key.empty()) return fail("empty section name");
      Section_& section = parsed[key];
      if (section.writtenPath.empty()) section.writtenPath = std::string(written);
      current = &section;
    } else {
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos)
        return fail("expected NAME=VALUE or [SECTION], found \"" + std::string(line) + "\"");
      const std::string_view name = Trim(line.substr(0, eq));
      if (name.empty()) return fail("entry without a name");
      if (!current) return fail("entry \"" + std::string(name) + "\" before the first [SECTION]");
      if (FindEntry(current->entries, name))
        return fail("entry \"" + std::string(name) + "\" given twice in one section");
      current->entries.push_back({std::string(name), std::string(Trim(line.substr(eq + 1)))});
    }
    if (end == text.size()) break;
  }
  sections_ = std::move(parsed);
  return std::nullopt;
}

const std::vector<ConfigEntry>* EngineConfig::Section(std::string_view path) const {
  const auto it = sections_.find(NormalizedPath(path));
  return it == sections_.end() ? nullptr : &it->second.entries;
}

std::vector<std::string> EngineConfig::Aliases() const {
  // The names HasAlias knows: other sections under \DATABASES (a deeper path, a note) name nothing to open.
  std::map<std::string, std::string> byKey;  // upper-case alias -> alias as first written
  for (const auto& [key, section] : sections_) {
    const auto segs = SplitPath(section.writtenPath);
    if (segs.size() != 3 || Upper(segs[0]) != "DATABASES") continue;
    if (const std::string kind = Upper(segs[2]); kind == "DB INFO" || kind == "DB OPEN")
      byKey.emplace(Upper(segs[1]), segs[1]);
  }
  std::vector<std::string> out;
  for (auto& [key, written] : byKey) out.push_back(written);
  return out;
}

bool EngineConfig::HasAlias(std::string_view alias) const {
  if (Trim(alias).empty() || alias.find('\\') != std::string_view::npos) return false;
  return Section(AliasInfoPath(alias)) != nullptr || Section(AliasOpenPath(alias)) != nullptr;
}

std::filesystem::path ConfigFilePath() {
  if (const char* explicitPath = std::getenv("RELCLIENTES_ENGINE_CONFIG"); explicitPath && *explicitPath)
    return explicitPath;
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home && *home ? home : ".") / ".config";
  }
  return base / "relclientes" / "engine.cfg";
}

std::optional<std::string> ReadConfigFile(const std::filesystem::path& file, std::string& text) {
  text.clear();
  // Without O_NONBLOCK, opening a FIFO would wait for a writer before fstat could refuse it.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::string("The file cannot be opened: ") + std::strerror(errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::string("The file cannot be read: ") + std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return std::string("It is not a regular file (a device, a FIFO or a folder)");
  const auto tooLarge = [] {
    return "It is larger than " + std::to_string(kMaxConfigFileSize / 1024) + " KB: not a configuration file";
  };
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxConfigFileSize) return tooLarge();
  // The size may change while the file is read: never more than the bound plus one byte is taken.
  text.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) {
      text.clear();
      return std::string("The file cannot be read: ") + std::strerror(errno);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    if (got == text.size() && got <= kMaxConfigFileSize)
      text.resize(std::min<std::size_t>(got * 2, kMaxConfigFileSize + 1));
  }
  text.resize(got);
  if (got > kMaxConfigFileSize) {
    text.clear();
    return tooLarge();
  }
  return std::nullopt;
}

const std::string* FindEntry(const std::vector<ConfigEntry>& entries, std::string_view name) {
  for (const auto& e : entries)
    if (EqualNoCase(e.name, name)) return &e.value;
  return nullptr;
}

}  // namespace engine
