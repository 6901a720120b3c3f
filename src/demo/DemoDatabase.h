#pragma once
// A SQLite database file holding the demo client table.

#include <cstdint>
#include <filesystem>
#include <string>

namespace demo {

// Writes the table acadclie with `rows` demo clients made from `seed` into the SQLite file `file`. An existing file
// gets its table replaced; a new file appears only complete (it is built beside the target, then renamed). Returns
// an empty text on success, else what went wrong.
std::string WriteClientDatabase(const std::filesystem::path& file, long long rows, std::uint64_t seed);

}  // namespace demo
