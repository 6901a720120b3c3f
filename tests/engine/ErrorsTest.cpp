#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <set>
#include <stdexcept>
#include <system_error>

#include "EngineFixture.h"

namespace st = engine::status;
using enginetest::ContextTexts;
using enginetest::Hex;
using enginetest::JoinedContext;

namespace {

bool Contains(const std::string& all, const std::string& part) { return all.find(part) != std::string::npos; }

class EngineErrorsTest : public enginetest::EngineTest {};

// Each way an open or a statement can fail has a status of its own, and the context names the culprit.
TEST_F(EngineErrorsTest, OpenAndPrepareFailuresHaveDistinctStatusesAndSayWhatIsWrong) {
  const std::filesystem::path missingDb = dir.path() / "missing.db";
  const std::filesystem::path notDb = dir.path() / "notes.txt";
  enginetest::WriteFile(notDb, "this is not a database, just some text that is long enough to be read as a header....");
  const std::string aliases = "[\\DATABASES\\TESTDB\\DB INFO]\nPATH=" + dbFile.string() +
                              "\n[\\DATABASES\\GONE\\DB INFO]\nPATH=" + missingDb.string() +
                              "\n[\\DATABASES\\TEXT\\DB INFO]\nPATH=" + notDb.string() +
                              "\n[\\DATABASES\\REMOTE\\DB INFO]\nTYPE=ORACLE\nPATH=x\n"
                              "[\\DATABASES\\NOPATH\\DB INFO]\nLANGDRIVER=pt_BR\n";
  struct Case {
    const char* what;
    std::string config;  // empty: no configuration file at all
    const char* alias;
    const char* sql;  // null: the open itself fails
    engine::Status status;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {"no configuration file", "", "TESTDB", nullptr, st::ConfigNotFound, {configFile.string()}},
      {"bad configuration line",
       "[\\DATABASES\\TESTDB\\DB INFO]\nPATH " + dbFile.string() + "\n",
       "TESTDB",
       nullptr,
       st::ConfigInvalid,
       {configFile.string(), "Line 2", "NAME=VALUE"}},
      {"unknown alias", aliases, "VERANTO", nullptr, st::UnknownAlias, {"VERANTO", configFile.string()}},
      {"database file missing", aliases, "GONE", nullptr, st::DatabaseFileNotFound, {missingDb.string(), "GONE"}},
      {"not a database", aliases, "TEXT", nullptr, st::NotADatabase, {notDb.string(), "not a database"}},
      {"other driver", aliases, "REMOTE", nullptr, st::UnsupportedDriver, {"ORACLE"}},
      {"alias without file", aliases, "NOPATH", nullptr, st::ConfigInvalid, {"NOPATH", "PATH"}},
      {"missing table",
       aliases,
       "TESTDB",
       "select * from \"clientes.DB\"",
       st::TableNotFound,
       {"no such table: clientes"}},
      {"missing column",
       aliases,
       "TESTDB",
       "select idade from acadclie",
       st::ColumnNotFound,
       {"no such column: idade"}},
      {"SQLite syntax error", aliases, "TESTDB", "select from from acadclie", st::SqlSyntax, {"syntax error"}},
      {"unterminated literal",
       aliases,
       "TESTDB",
       "select * from acadclie where cidade = \"Belém",
       st::SqlSyntax,
       {"string literal opened at position 39 is not closed"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.config.empty()) std::filesystem::remove(configFile);
    else WriteConfig(c.config);
    engine::DatabaseHandle db;
    engine::Status s =
        engine::OpenDatabase(c.alias, "", engine::OpenMode::ReadWrite, engine::ShareMode::Shared, "", nullptr, db);
    if (c.sql) {
      ASSERT_EQ(s, 0) << JoinedContext();
      engine::CursorHandle cursor;
      s = Run(db, c.sql, cursor);
      EXPECT_FALSE(cursor);
    } else {
      EXPECT_FALSE(db);
    }
    EXPECT_EQ(Hex(s), Hex(c.status));
    const std::string all = JoinedContext();
    for (const auto& m : c.mentions) EXPECT_TRUE(Contains(all, m)) << "context lacks \"" << m << "\":\n" << all;
    std::string message;
    ASSERT_EQ(engine::GetErrorString(s, message), 0);
    EXPECT_FALSE(message.empty());
    if (db) engine::CloseDatabase(db);
  }
}

TEST_F(EngineErrorsTest, SqliteErrorsCarrySqlitesCodeAndText) {
  const auto db = Open();
  engine::CursorHandle c;
  ASSERT_EQ(Run(db, "select * from nowhere", c), st::TableNotFound);
  engine::ErrorEntry e;
  ASSERT_EQ(engine::GetErrorEntry(1, e), 0);
  EXPECT_EQ(e.status, st::TableNotFound);
  EXPECT_NE(e.nativeCode, 0);
  EXPECT_EQ(e.text, "no such table: nowhere");
  ASSERT_EQ(engine::GetErrorEntry(2, e), 0);
  EXPECT_EQ(e.status, 0) << "the list ends";
  EXPECT_EQ(engine::GetErrorEntry(0, e), st::InvalidParameter);
}

TEST_F(EngineErrorsTest, ContextBelongsToTheLastCall) {
  engine::AliasDesc desc;
  ASSERT_EQ(engine::GetAliasDesc("NOPE", desc), st::UnknownAlias);
  EXPECT_FALSE(ContextTexts().empty());
  ASSERT_EQ(engine::GetAliasDesc("TESTDB", desc), 0);
  EXPECT_TRUE(ContextTexts().empty());
}

// A fault raised inside a call, here by the session's wait-cursor callback, comes back as the status of its kind
// with its reason in the context, not as a complaint about the caller's parameters.
TEST_F(EngineErrorsTest, AFaultInsideACallSaysWhatHappened) {
  const engine::DatabaseHandle db = Open();
  const std::filesystem::filesystem_error denied("cannot read", std::make_error_code(std::errc::permission_denied));
  struct Case {
    const char* name;
    std::function<void()> raise;
    engine::Status status;
    std::string context;
  } cases[] = {
      {"too much data", [] { throw std::length_error("vector::reserve"); }, st::OutOfMemory,
       "Too much data: vector::reserve"},
      {"no memory", [] { throw std::bad_alloc(); }, st::OutOfMemory, ""},
      {"file system", [&] { throw denied; }, st::FileAccess, denied.what()},
      {"anything else", [] { throw std::runtime_error("boom"); }, st::InvalidParameter, "Internal error: boom"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(engine::RegisterCallback(engine::CallbackKind::WaitCursor,
                                       [&](engine::CallbackKind, std::int32_t) { c.raise(); }),
              0);
    engine::CursorHandle cursor;
    EXPECT_EQ(Hex(Run(db, "select * from acadclie", cursor)), Hex(c.status));
    EXPECT_EQ(ContextTexts(), c.context.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.context});
  }
  ASSERT_EQ(engine::RegisterCallback(engine::CallbackKind::WaitCursor, nullptr), 0);
}

TEST(EngineStatusMessages, KnownStatusesHaveShortDistinctMessages) {
  const engine::Status known[] = {st::ConfigNotFound,
                                  st::ConfigInvalid,
                                  st::DatabaseFileNotFound,
                                  st::NotADatabase,
                                  st::FileAccess,
                                  st::ServerUnavailable,
                                  st::DatabaseNotFound,
                                  st::LoginRefused,
                                  st::ConnectionLost,
                                  st::LibraryNotFound,
                                  st::LoadFailed,
                                  st::Bof,
                                  st::Eof,
                                  st::NoCurrentRecord,
                                  st::UnknownAlias,
                                  st::TableNotFound,
                                  st::ColumnNotFound,
                                  st::ConstraintViolation,
                                  st::OutOfMemory,
                                  st::InvalidHandle,
                                  st::InvalidParameter,
                                  st::NotInitialised,
                                  st::UnknownProperty,
                                  st::NotPrepared,
                                  st::UnsupportedDriver,
                                  st::InvalidBookmark,
                                  st::InvalidText,
                                  st::ReadOnlyProperty,
                                  st::OperationMissing,
                                  st::PasswordNeeded,
                                  st::ReadOnlyDatabase,
                                  st::DatabaseBusy,
                                  st::AlreadyInitialised,
                                  st::SqlSyntax,
                                  st::SqlError,
                                  st::NoResultSet};
  std::set<std::string> seen;
  for (auto s : known) {
    std::string m;
    ASSERT_EQ(engine::GetErrorString(s, m), 0);
    EXPECT_FALSE(m.empty()) << Hex(s);
    EXPECT_LE(m.size(), 128u) << Hex(s);
    EXPECT_TRUE(seen.insert(m).second) << "message of " << Hex(s) << " repeats another: " << m;
  }
  std::string m = "x";
  ASSERT_EQ(engine::GetErrorString(0x2EC4, m), 0);
  EXPECT_TRUE(m.empty()) << "a status the engine does not know has no message";
}

TEST(EngineLifecycle, InitTwiceExitAndCallsOutsideInit) {
  TempFolder dir;
  ScopedEnv cfg("RELCLIENTES_ENGINE_CONFIG", (dir.path() / "none.cfg").string());
  engine::SessionHandle session;
  EXPECT_EQ(engine::GetCurrentSession(session), st::NotInitialised);
  ASSERT_EQ(engine::EngineInit(engine::kInterfaceVersion, nullptr), 0);
  EXPECT_EQ(engine::EngineInit(engine::kInterfaceVersion, nullptr), st::AlreadyInitialised);
  ASSERT_EQ(engine::GetCurrentSession(session), 0);
  EXPECT_TRUE(session);

  engine::ClientHandle client;
  ASSERT_EQ(engine::GetObjectOfKind(engine::kClientObjectKind, client), 0);
  ASSERT_EQ(engine::SetProp(client, engine::prop::ClientApplicationName, "relclientes"), 0);
  EXPECT_EQ(engine::SetProp(client, engine::prop::ClientApplicationName, std::int64_t{1}), st::InvalidParameter);
  EXPECT_EQ(engine::SetProp(client, 0x12345678, std::int64_t{1}), st::UnknownProperty);
  ASSERT_EQ(engine::SetProp(session, engine::prop::SessionConfigMode, std::int64_t{7}), 0);
  std::int64_t mode = 0;
  ASSERT_EQ(engine::GetProp(session, engine::prop::SessionConfigMode, mode), 0);
  EXPECT_EQ(mode, 7);

  engine::SessionHandle extra;
  ASSERT_EQ(engine::StartSession(extra), 0);
  ASSERT_EQ(engine::CloseSession(extra), 0);
  EXPECT_FALSE(extra);
  EXPECT_EQ(engine::CloseSession(session), st::InvalidParameter) << "the default session ends with the engine";

  ASSERT_EQ(engine::EngineExit(), 0);
  EXPECT_EQ(engine::EngineExit(), st::NotInitialised);
  EXPECT_EQ(engine::SetCurrentSession(session), st::NotInitialised);
  ASSERT_EQ(engine::EngineInit(engine::kInterfaceVersion, nullptr), 0);
  EXPECT_EQ(engine::SetCurrentSession(session), st::InvalidHandle) << "handles do not survive a restart";
  ASSERT_EQ(engine::EngineExit(), 0);
}

TEST_F(EngineErrorsTest, StaleForeignAndZeroHandlesAreRefused) {
  engine::DatabaseHandle db = Open();
  engine::CursorHandle cursor = Query(db, "select * from acadclie");
  const engine::CursorHandle closedCursor = cursor;
  ASSERT_EQ(engine::CloseCursor(cursor), 0);
  EXPECT_FALSE(cursor);
  engine::CursorHandle fromDatabaseId{db.id};  // a number that names an object of another kind

  std::vector<std::uint8_t> buf(4096);
  bool blank = false;
  std::int64_t n = 0;
  int cmp = 0;
  engine::CursorProps props;
  engine::StatementHandle stmt;
  for (engine::CursorHandle h : {engine::CursorHandle{}, closedCursor, fromDatabaseId}) {
    SCOPED_TRACE(h.id);
    EXPECT_EQ(engine::GetCursorProps(h, props), st::InvalidHandle);
    EXPECT_EQ(engine::GetNextRecord(h, buf.data(), nullptr), st::InvalidHandle);
    EXPECT_EQ(engine::SetToBookmark(h, buf.data()), st::InvalidHandle);
    EXPECT_EQ(engine::CompareBookmarks(h, buf.data(), buf.data(), cmp), st::InvalidHandle);
    EXPECT_EQ(engine::GetField(h, 1, buf.data(), buf.data(), blank), st::InvalidHandle);
    EXPECT_EQ(engine::GetExactRecordCount(h, n), st::InvalidHandle);
    engine::CursorHandle copy = h;
    EXPECT_EQ(engine::CloseCursor(copy), st::InvalidHandle);
  }
  EXPECT_EQ(engine::AllocStatement(engine::DatabaseHandle{}, engine::QueryLanguage::Sql, stmt), st::InvalidHandle);
  EXPECT_EQ(engine::AllocStatement(db, static_cast<engine::QueryLanguage>(1), stmt), st::InvalidParameter);
  EXPECT_EQ(engine::PrepareStatement(engine::StatementHandle{db.id}, "select 1"), st::InvalidHandle);
  ASSERT_EQ(engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt), 0);
  EXPECT_EQ(engine::ExecuteStatement(stmt, &cursor), st::NotPrepared);

  // Field numbers outside the cursor's fields are refused, not read.
  cursor = Query(db, "select codigo from acadclie");
  for (std::uint16_t f : {0, 2, 65535})
    EXPECT_EQ(engine::GetField(cursor, f, buf.data(), buf.data(), blank), st::InvalidParameter);
}

TEST_F(EngineErrorsTest, PasswordNeededUntilTheSessionOffersIt) {
  WriteConfig("[\\DATABASES\\TESTDB\\DB INFO]\nPATH=" + dbFile.string() + "\nPASSWORD=s3cret\n");
  engine::DatabaseHandle db = Open();
  engine::CursorHandle c;
  EXPECT_EQ(Run(db, "select * from acadclie", c), st::PasswordNeeded);
  ASSERT_EQ(engine::AddPassword("wrong"), 0);
  EXPECT_EQ(Run(db, "select * from acadclie", c), st::PasswordNeeded);
  ASSERT_EQ(engine::AddPassword("s3cret"), 0);
  EXPECT_EQ(Run(db, "select * from acadclie", c), 0);

  engine::DatabaseHandle withPassword;
  ASSERT_EQ(engine::OpenDatabase("TESTDB", "", engine::OpenMode::ReadOnly, engine::ShareMode::Shared, "s3cret", nullptr,
                                 withPassword),
            0);
  ASSERT_EQ(engine::DropAllPasswords(), 0);
  EXPECT_EQ(Run(withPassword, "select * from acadclie", c), 0);
}

TEST_F(EngineErrorsTest, ReadOnlyOpenRefusesWrites) {
  engine::DatabaseHandle db;
  ASSERT_EQ(engine::OpenDatabase("TESTDB", "", engine::OpenMode::ReadOnly, engine::ShareMode::Shared, "", nullptr, db),
            0);
  engine::CursorHandle c;
  EXPECT_EQ(Run(db, "insert into acadclie (codigo) values (\"1\")", c), st::ReadOnlyDatabase);
}

TEST(EngineText, ConversionIsAValidatedCopy) {
  struct Case {
    std::string in;
    std::string out;
    engine::Status status;
  };
  const Case cases[] = {
      {"Ribeirão Preto", "Ribeirão Preto", st::Ok},
      {"", "", st::Ok},
      {std::string("a\xC3", 2), "a?", st::InvalidText},
      {std::string("\xFF\xFE"
                   "ok",
                   4),
       "??ok", st::InvalidText},
      {std::string("\xC0\xAF", 2), "??", st::InvalidText},
  };
  for (const auto& c : cases) {
    std::string copy(c.in.size(), 'x');
    EXPECT_EQ(engine::NativeToAnsi({}, copy.data(), c.in.data(), c.in.size()), c.status);
    EXPECT_EQ(copy, c.out);
    std::string inPlace = c.in;
    EXPECT_EQ(engine::AnsiToNative({}, inPlace.data(), inPlace.data(), inPlace.size()), c.status);
    EXPECT_EQ(inPlace, c.out);
  }
  char dest[4];
  EXPECT_EQ(engine::NativeToAnsi(engine::LocaleHandle{999999}, dest, "abc", 3), st::InvalidHandle);
}

}  // namespace
