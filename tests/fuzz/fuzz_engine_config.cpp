// Feeds arbitrary text to the engine configuration reader. A text either parses or names a problem on one of its
// lines and leaves the configuration empty; one that parses gives the same configuration when its sections are
// written out again and read back.
#include "engine/Config.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int LineCount(std::string_view text) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

// The configuration as text: each alias's two sections, which are what the engine reads.
std::string Written(const engine::EngineConfig& config) {
  std::string out;
  for (const std::string& alias : config.Aliases()) {
    for (const std::string& path :
         {engine::EngineConfig::AliasInfoPath(alias), engine::EngineConfig::AliasOpenPath(alias)}) {
      const auto* entries = config.Section(path);
      if (!entries) continue;
      out += "[" + path + "]\n";
      for (const auto& e : *entries) out += e.name + "=" + e.value + "\n";
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  engine::EngineConfig config;
  if (auto problem = config.Parse(text)) {
    if (problem->line < 0 || problem->line > LineCount(text)) std::abort();
    if (!config.Aliases().empty()) std::abort();
    return 0;
  }
  // Aliases() also names aliases whose only sections are neither DB INFO nor DB OPEN, which HasAlias refuses:
  // that is how both are documented, so no property ties them together.

  // What reads back writes the same.
  const std::string first = Written(config);
  engine::EngineConfig again;
  if (again.Parse(first)) std::abort();
  if (Written(again) != first) std::abort();
  return 0;
}
