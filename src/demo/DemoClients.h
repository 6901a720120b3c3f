#pragma once
// The demo client table: made-up Brazilian clients for the table acadclie. The same count and seed give the same
// rows on every platform.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace demo {

// codigo, nome, cidade, fone, fax (empty when the client has none), contato.
using ClientRow = std::array<std::string, 6>;

// The table the rows go into, in the SQL that SQLite and PostgreSQL both take.
inline constexpr const char* kCreateClientTable =
    "CREATE TABLE acadclie (codigo VARCHAR(6), nome VARCHAR(50), cidade VARCHAR(35),"
    " fone VARCHAR(30), fax VARCHAR(30), contato VARCHAR(30));";

// Calls `add` with each of `rows` clients made from `seed`, in order; stops and returns false as soon as `add` does.
bool EachClient(long long rows, std::uint64_t seed, const std::function<bool(const ClientRow&)>& add);

}  // namespace demo
