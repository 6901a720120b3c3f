#pragma once
// The engine's configuration file: aliases and their parameters, grouped under configuration paths.
//
//   # comment
//   [\DATABASES\VERANTO\DB INFO]
//   TYPE=STANDARD
//   PATH=/home/ana/.local/share/relclientes/veranto.db
//   LANGDRIVER=pt_BR
//
// Section paths and entry names compare without regard to letter case; the leading backslash of a path may be
// left out. Values keep their letter case and lose only surrounding blanks.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct ConfigEntry {
  std::string name;
  std::string value;
  bool operator==(const ConfigEntry&) const = default;
};

struct ConfigProblem {
  int line = 0;  // 1-based; 0 when the problem concerns the whole file
  std::string text;
};

class EngineConfig {
public:
  // Parses the text of a configuration file. On a bad line, returns the problem and leaves *this empty.
  std::optional<ConfigProblem> Parse(std::string_view text);

  // Entries of a section in file order; nullptr when the section does not exist.
  const std::vector<ConfigEntry>* Section(std::string_view path) const;

  // Alias names (as written in the file) of every \DATABASES\<alias>\DB INFO or \DB OPEN section, sorted by
  // upper case, without duplicates: exactly the names HasAlias knows, whatever their letter case.
  std::vector<std::string> Aliases() const;
  bool HasAlias(std::string_view alias) const;

  static std::string NormalizedPath(std::string_view path);
  static std::string AliasInfoPath(std::string_view alias);  // \DATABASES\<alias>\DB INFO
  static std::string AliasOpenPath(std::string_view alias);  // \DATABASES\<alias>\DB OPEN

private:
  struct Section_ {
    std::string writtenPath;
    std::vector<ConfigEntry> entries;
  };
  std::map<std::string, Section_> sections_;  // by normalized path
};

// Where the configuration file is: $RELCLIENTES_ENGINE_CONFIG, else $XDG_CONFIG_HOME/relclientes/engine.cfg with
// XDG_CONFIG_HOME defaulting to ~/.config.
std::filesystem::path ConfigFilePath();

// The largest configuration file read: a list of aliases is a few kilobytes.
inline constexpr std::uintmax_t kMaxConfigFileSize = 1024 * 1024;

// Reads the whole configuration file into `text`. Only a regular file of at most kMaxConfigFileSize bytes is read:
// a device, a FIFO or a folder, or a larger file, gives the reason it was refused (as does a file that cannot be
// opened or read); std::nullopt when `text` holds the file.
std::optional<std::string> ReadConfigFile(const std::filesystem::path& file, std::string& text);

// Value of an entry of a section, compared without regard to case; nullptr when absent.
const std::string* FindEntry(const std::vector<ConfigEntry>& entries, std::string_view name);

}  // namespace engine
