#pragma once
// Shared test scaffolding: a temporary folder with a SQLite database and an engine configuration that names it.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

namespace enginetest {

inline void WriteFile(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

// Runs SQL directly on a database file (creating it), outside the engine.
inline void Sqlite(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  const std::string message = err ? err : "";
  sqlite3_free(err);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << message;
}

inline const char* kClientTable =
    "CREATE TABLE acadclie (codigo VARCHAR(6), nome VARCHAR(50), cidade VARCHAR(35), fone VARCHAR(30), "
    "fax VARCHAR(30), contato VARCHAR(30));";

inline std::string Hex(engine::Status s) {
  char buf[8];
  snprintf(buf, sizeof buf, "0x%04X", s);
  return buf;
}

// Texts of the error context of the last call.
inline std::vector<std::string> ContextTexts() {
  std::vector<std::string> out;
  for (int n = 1;; ++n) {
    engine::ErrorEntry e;
    engine::GetErrorEntry(n, e);
    if (e.status == 0 || e.status == engine::status::EndOfErrorList) break;
    out.push_back(e.text);
  }
  return out;
}

inline std::string JoinedContext() {
  std::string all;
  for (const auto& t : ContextTexts()) all += t + "\n";
  return all;
}

// A started engine on a temporary alias TESTDB whose database holds the client table.
class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    dbFile = dir.path() / "test.db";
    configFile = dir.path() / "engine.cfg";
    Sqlite(dbFile, kClientTable);
    WriteConfig("[\\DATABASES\\TESTDB\\DB INFO]\nTYPE=STANDARD\nPATH=" + dbFile.string() +
                "\nLANGDRIVER=" + Language() + "\n");
    ASSERT_EQ(engine::EngineInit(engine::kInterfaceVersion, nullptr), engine::status::Ok);
  }
  void TearDown() override { engine::EngineExit(); }

  virtual std::string Language() const { return "pt_BR"; }

  void WriteConfig(const std::string& text) { WriteFile(configFile, text); }

  engine::DatabaseHandle Open(const char* alias = "TESTDB") {
    engine::DatabaseHandle db;
    const engine::Status s =
        engine::OpenDatabase(alias, "", engine::OpenMode::ReadWrite, engine::ShareMode::Shared, "", nullptr, db);
    EXPECT_EQ(s, engine::status::Ok) << Hex(s) << "\n" << JoinedContext();
    return db;
  }

  // Prepares and executes; returns the status and the cursor (if any).
  engine::Status Run(engine::DatabaseHandle db, const std::string& sql, engine::CursorHandle& cursor) {
    engine::StatementHandle stmt;
    if (engine::Status s = engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt)) return s;
    engine::Status s = engine::PrepareStatement(stmt, sql);
    if (s == 0) s = engine::ExecuteStatement(stmt, &cursor);
    if (s != 0) return s;  // the statement stays with the database, which frees it
    return engine::FreeStatement(stmt);
  }

  engine::CursorHandle Query(engine::DatabaseHandle db, const std::string& sql) {
    engine::CursorHandle c;
    const engine::Status s = Run(db, sql, c);
    EXPECT_EQ(s, engine::status::Ok) << Hex(s) << " for " << sql << "\n" << JoinedContext();
    return c;
  }

  // Every record from the current position on, each field as text ("<null>" for blank).
  std::vector<std::vector<std::string>> ReadAll(engine::CursorHandle c) {
    engine::CursorProps props;
    EXPECT_EQ(engine::GetCursorProps(c, props), 0);
    std::vector<std::uint8_t> record(props.recordSize);
    std::vector<std::vector<std::string>> rows;
    while (engine::GetNextRecord(c, record.data(), nullptr) == engine::status::Ok) {
      std::vector<std::string> row;
      for (std::uint16_t f = 1; f <= props.fieldCount; ++f) {
        std::string text;
        bool blank = false;
        EXPECT_EQ(engine::GetFieldText(c, f, record.data(), text, blank), 0);
        row.push_back(blank ? "<null>" : text);
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  std::vector<std::string> Column(engine::DatabaseHandle db, const std::string& sql) {
    std::vector<std::string> out;
    for (auto& row : ReadAll(Query(db, sql))) out.push_back(row.at(0));
    return out;
  }

  TempFolder dir;
  std::filesystem::path dbFile, configFile;
  ScopedEnv configEnv{"RELCLIENTES_ENGINE_CONFIG", (dir.path() / "engine.cfg").string()};
};

}  // namespace enginetest
