#pragma once
// Building the error context of the failing call (internal to the engine).

#include <string>
#include <vector>

#include "engine/Engine.h"

struct sqlite3;

namespace engine::detail {

void ClearErrors();
const std::vector<ErrorEntry>& Context();
// Records `status` with one context entry per text (native code 0) and returns it.
Status Fail(Status status, std::vector<std::string> contexts = {});
// Adds one context entry with a native code.
void RecordError(Status status, std::int32_t nativeCode, std::string text);
// Records an error that SQLite reported on `db` (extended code and SQLite's message) and returns the engine status
// that fits it; `fallback` when nothing more specific fits.
Status FailSqlite(sqlite3* db, int rc, Status fallback = status::SqlError, std::vector<std::string> contexts = {});
Status StatusForSqlite(int extendedCode, const std::string& message, Status fallback);

}  // namespace engine::detail
