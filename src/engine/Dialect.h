#pragma once
// The engine's SQL dialect and its translation for SQLite and for PostgreSQL.
//
// A double-quoted text is a string literal ("" inside stands for one quote) except where it names a table: after
// FROM, JOIN, INTO, UPDATE or TABLE, after a comma of a FROM list, or directly before a ".". A table name such as
// "acadclie.DB" names the table acadclie. Literals become single-quoted SQLite literals; table names become quoted
// SQLite identifiers. Every term of ORDER BY, GROUP BY and PARTITION BY that has no COLLATE of its own gets the
// engine's language collation. Parameters (:name, ?, ?NNN) are recognised only outside literals, identifiers and
// comments. Only one statement is accepted.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct SqlToken {
  enum class Kind { Space, Comment, Word, Number, DoubleQuoted, SingleQuoted, QuotedName, Parameter, Symbol };
  Kind kind;
  std::string_view text;  // as written
  std::string value;      // content of a quoted token with its doubled quotes undone
  size_t offset = 0;      // byte offset in the statement
};

struct SqlSyntaxProblem {
  size_t offset = 0;
  std::string text;
};

// Splits a statement into tokens; nullopt when the text cannot be split (unterminated literal, name or comment,
// zero byte). `problem` then says what and where.
std::optional<std::vector<SqlToken>> TokenizeSql(std::string_view sql, SqlSyntaxProblem& problem);

// The SQLite statement for an engine statement; nullopt with `problem` filled when it is not acceptable.
std::optional<std::string> TranslateSql(std::string_view sql, std::string_view collation, SqlSyntaxProblem& problem);

// What a server's SQL needs beyond the SQLite translation.
struct SqlTarget {
  std::string collation;            // COLLATE "<collation>" after each ordering term without one; empty: none
  bool collateGroups = true;        // GROUP BY and PARTITION BY terms get the collation too
  bool orderGroups = false;         // an outer GROUP BY without ORDER BY is ordered by its terms, as SQLite orders it
  bool numberedParameters = false;  // :name, ? and ?NNN become $1, $2, ...
};

struct TranslatedSql {
  std::string sql;
  // With numbered parameters: the name of each $n in order (with its ':'), "" for one written as ? or ?NNN.
  std::vector<std::string> parameters;
  // Byte ranges [first, second) of the COLLATE clauses the translation added, in order.
  std::vector<std::pair<size_t, size_t>> collations;
};

std::optional<TranslatedSql> TranslateSql(std::string_view sql, const SqlTarget& target, SqlSyntaxProblem& problem);

// A statement without its final ORDER BY when dropping it cannot change which rows it returns (no LIMIT or OFFSET
// follows at the outer level); otherwise the statement unchanged. Counting rows needs no sorting.
std::string WithoutFinalOrderBy(std::string_view sql);

// The table that a quoted table name denotes: "acadclie.DB" -> acadclie.
std::string TableNameOf(std::string_view quotedName);

}  // namespace engine
