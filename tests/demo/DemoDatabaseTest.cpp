// The demo database file: its rows, the same for the same count and seed, written whole or not at all.
#include "demo/DemoClients.h"
#include "demo/DemoDatabase.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every row of a query, its columns joined by '|'.
std::vector<std::string> Rows(const fs::path& file, const char* sql) {
  sqlite3* opened = nullptr;
  EXPECT_EQ(sqlite3_open_v2(file.c_str(), &opened, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(opened, sqlite3_close);
  std::vector<std::string> rows;
  const auto collect = [](void* out, int columns, char** values, char**) {
    std::string row;
    for (int c = 0; c < columns; ++c) row += (c ? "|" : "") + std::string(values[c] ? values[c] : "NULL");
    static_cast<std::vector<std::string>*>(out)->push_back(row);
    return 0;
  };
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db.get(), sql, collect, &rows, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  return rows;
}

TEST(DemoDatabase, HoldsTheRowsTheGeneratorMakesAndTheSameRowsForTheSameSeed) {
  TempFolder dir;
  std::vector<std::string> made;
  demo::EachClient(300, 7, [&](const demo::ClientRow& row) {
    made.push_back(row[0] + "|" + row[1] + "|" + row[2] + "|" + row[3] + "|" + row[4] + "|" + row[5]);
    return true;
  });
  for (const char* name : {"a.db", "b.db"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(demo::WriteClientDatabase(dir.path() / name, 300, 7), "");
    EXPECT_EQ(Rows(dir.path() / name, "SELECT * FROM acadclie ORDER BY rowid"), made);
  }
  // Codes number the rows; every client has a name, a city and a telephone, and a fax only sometimes.
  EXPECT_EQ(made.front().substr(0, 7), "000001|");
  EXPECT_EQ(Rows(dir.path() / "a.db", "SELECT count(*) FROM acadclie WHERE nome = '' OR cidade = '' OR fone = ''"),
            std::vector<std::string>{"0"});
  const auto withFax = Rows(dir.path() / "a.db", "SELECT count(*) FROM acadclie WHERE fax <> ''");
  EXPECT_GT(std::stoi(withFax.at(0)), 0);
  EXPECT_LT(std::stoi(withFax.at(0)), 300);
  // Another seed, other clients.
  ASSERT_EQ(demo::WriteClientDatabase(dir.path() / "c.db", 300, 8), "");
  EXPECT_NE(Rows(dir.path() / "c.db", "SELECT * FROM acadclie ORDER BY rowid"), made);
}

TEST(DemoDatabase, ReplacesTheClientTableOfAnExistingFileAndKeepsItsOtherTables) {
  TempFolder dir;
  const fs::path file = dir.path() / "veranto.db";
  ASSERT_EQ(demo::WriteClientDatabase(file, 50, 1), "");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE notas (texto TEXT); INSERT INTO notas VALUES ('fica');", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  ASSERT_EQ(demo::WriteClientDatabase(file, 20, 1), "");
  EXPECT_EQ(Rows(file, "SELECT count(*) FROM acadclie"), std::vector<std::string>{"20"});
  EXPECT_EQ(Rows(file, "SELECT texto FROM notas"), std::vector<std::string>{"fica"});
}

TEST(DemoDatabase, AFileThatCannotBeMadeIsReportedAndLeavesNothingBehind) {
  TempFolder dir;
  std::ofstream(dir.path() / "arquivo") << "not a folder";
  const fs::path file = dir.path() / "arquivo" / "veranto.db";
  const std::string error = demo::WriteClientDatabase(file, 10, 1);
  EXPECT_NE(error.find("veranto.db"), std::string::npos) << error;
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.path())) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"arquivo"});
}

}  // namespace
