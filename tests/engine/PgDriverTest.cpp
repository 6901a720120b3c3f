// The PostgreSQL driver against a server of the test's own: what a query returns, how its cursor moves, and what
// each failure of the server tells.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "EngineFixture.h"
#include "PgServer.h"

namespace st = engine::status;
using enginetest::Hex;
using enginetest::JoinedContext;

namespace {

constexpr int kRows = 2500;  // more than two of the cursor's batches

class PgDriverTest : public enginetest::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    const auto& server = enginetest::SharedPgServer();
    ASSERT_EQ(server.Error(), "");
    ASSERT_EQ(server.Exec("DROP TABLE IF EXISTS numbers; CREATE TABLE numbers (n integer, t varchar(10), note text, f "
                          "float8, b bytea, ok boolean);"
                          "INSERT INTO numbers SELECT n, 'r' || n, CASE WHEN n % 7 = 0 THEN NULL ELSE '' END, n / 4.0, "
                          "'\\x00ff'::bytea, n % 2 = 0 FROM generate_series(1, " +
                          std::to_string(kRows) +
                          ") n;"
                          "GRANT SELECT ON numbers TO secure"),
              "");
    WriteConfig(Alias("TESTDB", server.Connection()));
  }

  static std::string Alias(const std::string& alias, const std::string& connection, const std::string& extra = "") {
    return "[\\DATABASES\\" + alias + "\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\" + alias +
           "\\DB OPEN]\nCONNECTION=" + connection + "\nLANGDRIVER=pt_BR\n" + extra;
  }

  std::int64_t N(engine::CursorHandle c, const std::vector<std::uint8_t>& record) {
    std::string text;
    bool blank = true;
    EXPECT_EQ(engine::GetFieldText(c, 1, record.data(), text, blank), 0);
    return blank ? -1 : std::stoll(text);
  }

  std::vector<std::uint8_t> Buffer(engine::CursorHandle c) {
    engine::CursorProps props;
    EXPECT_EQ(engine::GetCursorProps(c, props), 0);
    return std::vector<std::uint8_t>(props.recordSize);
  }
};

TEST_F(PgDriverTest, FieldsAndValuesOfTheServersTypes) {
  const auto db = Open();
  std::string driver;
  ASSERT_EQ(engine::GetProp(db, engine::prop::DatabaseDriverType, driver), 0);
  EXPECT_EQ(driver, "POSTGRESQL");
  const auto c = Query(db,
                       "select n, t, note, f, b, ok, cast(n as bigint) * 1099511627776 as big from numbers where n in "
                       "(6, 7) order by n");
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);
  ASSERT_EQ(fields.size(), 7u);
  const std::uint16_t types[] = {engine::fld::Int64,    engine::fld::Text,  engine::fld::Text, engine::fld::Float,
                                 engine::fld::VarBytes, engine::fld::Int64, engine::fld::Int64};
  for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i].type, types[i]) << fields[i].name;
  EXPECT_EQ(fields[1].units1, 10) << "varchar(10)";
  EXPECT_EQ(fields[2].units1, 255) << "text without a size";
  EXPECT_EQ(ReadAll(c), (std::vector<std::vector<std::string>>{
                            {"6", "r6", "", "1.5", std::string("\0\xff", 2), "1", "6597069766656"},
                            {"7", "r7", "<null>", "1.75", std::string("\0\xff", 2), "0", "7696581394432"}}));
}

TEST_F(PgDriverTest, CursorMovesBothWaysAcrossItsBatchesAndCounts) {
  const auto db = Open();
  const auto c = Query(db, "select n from numbers order by n");
  auto rec = Buffer(c);
  std::int64_t estimate = -1, exact = -1;
  ASSERT_EQ(engine::GetRecordCount(c, estimate), 0);
  EXPECT_LT(estimate, kRows) << "the first batch only";
  std::int64_t expected = 0;
  engine::RecordProps props;
  std::vector<std::uint8_t> early(16), late(16);
  while (engine::GetNextRecord(c, rec.data(), &props) == 0) {
    ++expected;
    ASSERT_EQ(N(c, rec), expected);
    ASSERT_EQ(props.sequenceNumber, expected);
    if (expected == 10 || expected == kRows - 10) {
      ASSERT_EQ(engine::GetBookmark(c, expected == 10 ? early.data() : late.data()), 0);
    }
  }
  EXPECT_EQ(expected, kRows);
  while (engine::GetPriorRecord(c, rec.data(), nullptr) == 0) ASSERT_EQ(N(c, rec), expected--);
  EXPECT_EQ(expected, 0);

  ASSERT_EQ(engine::SetToBookmark(c, late.data()), 0);
  ASSERT_EQ(engine::GetRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), kRows - 10);
  ASSERT_EQ(engine::SetToBookmark(c, early.data()), 0);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 9);
  int cmp = 0;
  ASSERT_EQ(engine::CompareBookmarks(c, early.data(), late.data(), cmp), 0);
  EXPECT_EQ(cmp, -1);

  // Jumps far ahead and beyond the end, then counts.
  const auto jumper = Query(db, "select n from numbers order by n desc");
  ASSERT_EQ(engine::SetToSequenceNumber(jumper, 2200), 0);
  ASSERT_EQ(engine::GetRecord(jumper, rec.data(), nullptr), 0);
  EXPECT_EQ(N(jumper, rec), kRows - 2200 + 1);
  EXPECT_EQ(engine::SetToSequenceNumber(jumper, kRows + 5), st::Eof);
  ASSERT_EQ(engine::GetExactRecordCount(jumper, exact), 0);
  EXPECT_EQ(exact, kRows);
  ASSERT_EQ(engine::SetToEnd(jumper), 0);
  ASSERT_EQ(engine::GetPriorRecord(jumper, rec.data(), nullptr), 0);
  EXPECT_EQ(N(jumper, rec), 1);

  const auto empty = Query(db, "select n from numbers where n < 0");
  EXPECT_EQ(engine::GetNextRecord(empty, rec.data(), nullptr), st::Eof);
  ASSERT_EQ(engine::GetExactRecordCount(empty, exact), 0);
  EXPECT_EQ(exact, 0);
}

TEST_F(PgDriverTest, ParametersLiteralsAndOrderingTermsTheServerCannotCollate) {
  const auto db = Open();
  engine::StatementHandle stmt;
  ASSERT_EQ(engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt), 0);
  ASSERT_EQ(engine::PrepareStatement(
                stmt, "select n from numbers where t = :t or t = \"r:t\"\"'\" or n = ? order by n desc, t"),
            0);
  ASSERT_EQ(engine::BindParam(stmt, ":t", engine::Value{std::string("r5' or '1'='1")}), 0);
  ASSERT_EQ(engine::BindParam(stmt, 2, engine::Value{std::int64_t{3}}), 0);
  engine::CursorHandle c;
  ASSERT_EQ(engine::ExecuteStatement(stmt, &c), 0) << JoinedContext();
  EXPECT_EQ(ReadAll(c), (std::vector<std::vector<std::string>>{{"3"}}));
  ASSERT_EQ(engine::BindParam(stmt, ":t", engine::Value{std::string("r5")}), 0);
  ASSERT_EQ(engine::ExecuteStatement(stmt, &c), 0);
  EXPECT_EQ(ReadAll(c), (std::vector<std::vector<std::string>>{{"5"}, {"3"}}));

  ASSERT_EQ(engine::PrepareStatement(stmt, "update numbers set note = \"seen\" where n <= :last"), 0);
  ASSERT_EQ(engine::BindParam(stmt, ":last", engine::Value{std::int64_t{10}}), 0);
  ASSERT_EQ(engine::ExecuteStatement(stmt, nullptr), 0) << JoinedContext();
  std::int64_t affected = 0;
  ASSERT_EQ(engine::GetProp(stmt, engine::prop::StatementRowsAffected, affected), 0);
  EXPECT_EQ(affected, 10);
  EXPECT_EQ(Column(db, "select count(*) from numbers where note = \"seen\""), std::vector<std::string>{"10"});
}

TEST_F(PgDriverTest, EachFailureOfTheServerHasItsStatusAndTheServersText) {
  const auto& server = enginetest::SharedPgServer();
  const std::string here = "host=" + server.SocketFolder() + " port=" + std::to_string(server.Port());
  WriteConfig(Alias("TESTDB", server.Connection()) +
              Alias("DOWN", "host=" + server.SocketFolder() + " port=1 dbname=x") +
              Alias("NODB", here + " dbname=nenhum user=relclientes") +
              Alias("SECURE", here + " dbname=relclientes", "USER NAME=secure\n"));
  struct Case {
    const char* what;
    const char* alias;
    const char* password;
    const char* sql;  // null: the open fails
    engine::Status status;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {"server down", "DOWN", "", nullptr, st::ServerUnavailable, {"DOWN", ".s.PGSQL.1", "No such file or directory"}},
      {"unknown database", "NODB", "", nullptr, st::DatabaseNotFound, {"database \"nenhum\" does not exist"}},
      {"wrong password",
       "SECURE",
       "errada",
       nullptr,
       st::LoginRefused,
       {"password authentication failed for user \"secure\""}},
      {"no password", "SECURE", "", nullptr, st::LoginRefused, {"no password supplied"}},
      {"missing table",
       "TESTDB",
       "",
       "select * from \"clientes.DB\"",
       st::TableNotFound,
       {"relation \"clientes\" does not exist", "SQLSTATE 42P01", "TESTDB"}},
      {"missing column",
       "TESTDB",
       "",
       "select idade from numbers",
       st::ColumnNotFound,
       {"column \"idade\" does not exist"}},
      {"syntax", "TESTDB", "", "select from from numbers", st::SqlSyntax, {"syntax error at or near \"from\""}},
      {"right password", "SECURE", "segredo", "select count(*) from numbers", st::Ok, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    engine::DatabaseHandle db;
    engine::Status s = engine::OpenDatabase(c.alias, "", engine::OpenMode::ReadWrite, engine::ShareMode::Shared,
                                            c.password, nullptr, db);
    if (c.sql) {
      ASSERT_EQ(s, 0) << JoinedContext();
      engine::CursorHandle cursor;
      s = Run(db, c.sql, cursor);
    } else {
      EXPECT_FALSE(db);
    }
    EXPECT_EQ(Hex(s), Hex(c.status)) << JoinedContext();
    const std::string all = JoinedContext();
    for (const auto& m : c.mentions)
      EXPECT_NE(all.find(m), std::string::npos) << "context lacks \"" << m << "\":\n" << all;
    if (db) engine::CloseDatabase(db);
  }
}

TEST_F(PgDriverTest, FailingStatementsWhileACursorIsOpenLeaveItsRowsAlone) {
  const auto db = Open();
  auto c = Query(db, "select n from numbers order by n");
  auto rec = Buffer(c);
  for (int i = 1; i <= 5; ++i) ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  engine::CursorHandle none;
  EXPECT_EQ(Run(db, "select * from nowhere", none), st::TableNotFound);
  EXPECT_EQ(Run(db, "update numbers set n = n / 0 where n = 1", none), st::SqlError);
  EXPECT_NE(JoinedContext().find("division by zero"), std::string::npos) << JoinedContext();
  EXPECT_EQ(Run(db, "update numbers set note = \"late\" where n = 1", none), 0);
  std::int64_t n = 5;
  while (engine::GetNextRecord(c, rec.data(), nullptr) == 0) ASSERT_EQ(N(c, rec), ++n);
  EXPECT_EQ(n, kRows);
  ASSERT_EQ(engine::CloseCursor(c), 0);
  // The change made while the cursor was open is there once it closes.
  EXPECT_EQ(Column(db, "select note from numbers where n = 1"), std::vector<std::string>{"late"});
}

TEST_F(PgDriverTest, ADroppedConnectionFailsTheCursorAndTheNextStatementConnectsAgain) {
  const auto db = Open();
  const auto c = Query(db, "select n from numbers order by n");
  auto rec = Buffer(c);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(enginetest::SharedPgServer().DropClients(), "");
  engine::Status s = 0;
  int read = 1;
  while ((s = engine::GetNextRecord(c, rec.data(), nullptr)) == 0) ++read;
  EXPECT_EQ(Hex(s), Hex(st::ConnectionLost)) << JoinedContext();
  EXPECT_LT(read, kRows);
  EXPECT_NE(JoinedContext().find("connection"), std::string::npos) << "the server's or libpq's own text:\n"
                                                                   << JoinedContext();
  EXPECT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), st::ConnectionLost) << "and stays failed";
  EXPECT_EQ(Column(db, "select count(*) from numbers"), std::vector<std::string>{std::to_string(kRows)});
}

// A statement waits for the server no longer than the alias's STATEMENT TIMEOUT: a slow one is stopped, a frozen
// server (its backend stopped) loses the connection; both fail with the timeout, after seconds, not never.
TEST_F(PgDriverTest, AStatementTheServerDoesNotAnswerInTimeFailsWithTheTimeout) {
  WriteConfig(Alias("TESTDB", enginetest::SharedPgServer().Connection(), "STATEMENT TIMEOUT=1\n"));
  const auto db = Open();
  const std::string backend = Column(db, "select pg_backend_pid()").at(0);
  const auto runs_into_the_timeout = [&](const char* sql) {
    engine::CursorHandle c;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Hex(Run(db, sql, c)), Hex(st::StatementTimeout)) << JoinedContext();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(JoinedContext().find("STATEMENT TIMEOUT"), std::string::npos) << JoinedContext();
    EXPECT_NE(JoinedContext().find("TESTDB"), std::string::npos) << JoinedContext();
  };
  runs_into_the_timeout("select pg_sleep(60)");
  EXPECT_EQ(Column(db, "select count(*) from numbers"), std::vector<std::string>{std::to_string(kRows)})
      << "a statement the server stopped leaves the connection usable";

  const pid_t frozen = static_cast<pid_t>(std::stol(backend));
  ASSERT_EQ(::kill(frozen, SIGSTOP), 0);
  struct Thaw {
    pid_t pid;
    ~Thaw() { ::kill(pid, SIGCONT); }
  } thaw{frozen};
  runs_into_the_timeout("select count(*) from numbers");
}

}  // namespace
