#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "EngineFixture.h"
#include "engine/Collation.h"

using engine::CursorHandle;
namespace st = engine::status;

namespace {

constexpr int kRows = 5000;  // well past the cursor's row window

class EngineCursorTest : public enginetest::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    enginetest::Sqlite(dbFile,
                       "CREATE TABLE numbers (n INTEGER, t VARCHAR(10), note TEXT);"
                       "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
                           std::to_string(kRows) +
                           ") "
                           "INSERT INTO numbers SELECT n, 'r' || n, CASE WHEN n % 7 = 0 THEN NULL ELSE '' END FROM s;");
    db = Open();
  }

  // Reads field 1 of the record as a number.
  std::int64_t N(CursorHandle c, const std::vector<std::uint8_t>& record) {
    std::string text;
    bool blank = true;
    EXPECT_EQ(engine::GetFieldText(c, 1, record.data(), text, blank), 0);
    return blank ? -1 : std::stoll(text);
  }

  std::vector<std::uint8_t> Buffer(CursorHandle c) {
    engine::CursorProps props;
    EXPECT_EQ(engine::GetCursorProps(c, props), 0);
    return std::vector<std::uint8_t>(props.recordSize);
  }

  engine::DatabaseHandle db;
};

TEST_F(EngineCursorTest, BeginEndNextPriorStatuses) {
  const CursorHandle c = Query(db, "select n from numbers where n <= 3 order by n");
  auto rec = Buffer(c);
  EXPECT_EQ(engine::GetRecord(c, rec.data(), nullptr), st::Bof);
  EXPECT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), st::Bof);
  for (int expected = 1; expected <= 3; ++expected) {
    ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
    EXPECT_EQ(N(c, rec), expected);
  }
  EXPECT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), st::Eof);
  EXPECT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), st::Eof);
  EXPECT_EQ(engine::GetRecord(c, rec.data(), nullptr), st::Eof);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 3);

  ASSERT_EQ(engine::SetToBegin(c), 0);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 1);
  EXPECT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), st::Bof);

  ASSERT_EQ(engine::SetToEnd(c), 0);
  EXPECT_EQ(engine::GetRecord(c, rec.data(), nullptr), st::Eof);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 3);
  ASSERT_EQ(engine::GetRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 3);
}

TEST_F(EngineCursorTest, EmptyResultIsAtBothEnds) {
  const CursorHandle c = Query(db, "select n from numbers where n < 0");
  auto rec = Buffer(c);
  EXPECT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), st::Eof);
  EXPECT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), st::Bof);
  ASSERT_EQ(engine::SetToEnd(c), 0);
  EXPECT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), st::Bof);
  std::int64_t count = -1;
  ASSERT_EQ(engine::GetExactRecordCount(c, count), 0);
  EXPECT_EQ(count, 0);
}

TEST_F(EngineCursorTest, FullPassesForwardAndBackwardAgree) {
  const CursorHandle c = Query(db, "select n from numbers order by n");
  auto rec = Buffer(c);
  engine::RecordProps props;
  std::int64_t expected = 0;
  while (engine::GetNextRecord(c, rec.data(), &props) == 0) {
    ++expected;
    ASSERT_EQ(N(c, rec), expected);
    ASSERT_EQ(props.sequenceNumber, expected);
  }
  EXPECT_EQ(expected, kRows);
  // Backward from the end crosses the row window many times; each crossing re-reads.
  while (engine::GetPriorRecord(c, rec.data(), nullptr) == 0) {
    ASSERT_EQ(N(c, rec), expected);
    --expected;
  }
  EXPECT_EQ(expected, 0);
}

TEST_F(EngineCursorTest, BookmarksAfterALongForwardPass) {
  const CursorHandle c = Query(db, "select n, t from numbers order by n");
  engine::CursorProps props;
  ASSERT_EQ(engine::GetCursorProps(c, props), 0);
  ASSERT_EQ(props.bookmarkSize, 16);
  auto rec = Buffer(c);
  std::vector<std::uint8_t> early(props.bookmarkSize), late(props.bookmarkSize), again(props.bookmarkSize);
  EXPECT_EQ(engine::GetBookmark(c, early.data()), st::Bof);
  while (engine::GetNextRecord(c, rec.data(), nullptr) == 0) {
    const auto n = N(c, rec);
    if (n == 10 || n == kRows - 10) {
      ASSERT_EQ(engine::GetBookmark(c, n == 10 ? early.data() : late.data()), 0);
    }
  }

  ASSERT_EQ(engine::SetToBookmark(c, early.data()), 0);
  ASSERT_EQ(engine::GetRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 10);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 11);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 9);

  ASSERT_EQ(engine::SetToBookmark(c, late.data()), 0);
  ASSERT_EQ(engine::GetRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), kRows - 10);
  ASSERT_EQ(engine::GetBookmark(c, again.data()), 0);

  int cmp = 99;
  ASSERT_EQ(engine::CompareBookmarks(c, early.data(), late.data(), cmp), 0);
  EXPECT_EQ(cmp, -1);
  ASSERT_EQ(engine::CompareBookmarks(c, late.data(), early.data(), cmp), 0);
  EXPECT_EQ(cmp, 1);
  ASSERT_EQ(engine::CompareBookmarks(c, late.data(), again.data(), cmp), 0);
  EXPECT_EQ(cmp, 0);

  // A bookmark of another cursor, or bytes that are no bookmark, are refused.
  const CursorHandle other = Query(db, "select n from numbers");
  EXPECT_EQ(engine::SetToBookmark(other, early.data()), st::InvalidBookmark);
  EXPECT_EQ(engine::CompareBookmarks(other, early.data(), early.data(), cmp), st::InvalidBookmark);
  std::vector<std::uint8_t> garbage(props.bookmarkSize, 0xAB);
  EXPECT_EQ(engine::SetToBookmark(c, garbage.data()), st::InvalidBookmark);
}

TEST_F(EngineCursorTest, SequenceNumbers) {
  const CursorHandle c = Query(db, "select n from numbers order by n desc");
  auto rec = Buffer(c);
  ASSERT_EQ(engine::SetToSequenceNumber(c, 4000), 0);
  ASSERT_EQ(engine::GetRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), kRows - 4000 + 1);
  std::int64_t seq = 0;
  ASSERT_EQ(engine::GetSequenceNumber(c, seq), 0);
  EXPECT_EQ(seq, 4000);
  ASSERT_EQ(engine::SetToSequenceNumber(c, 3), 0);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), kRows - 3);
  EXPECT_EQ(engine::SetToSequenceNumber(c, kRows + 1), st::Eof);
  EXPECT_EQ(engine::SetToSequenceNumber(c, 0), st::InvalidParameter);
}

TEST_F(EngineCursorTest, ExactAndEstimatedCounts) {
  const CursorHandle c = Query(db, "select n from numbers where n > 1000 order by t");
  std::int64_t estimate = -1, exact = -1;
  ASSERT_EQ(engine::GetRecordCount(c, estimate), 0);
  EXPECT_LE(estimate, 1) << "nothing beyond the first record has been read";
  ASSERT_EQ(engine::GetExactRecordCount(c, exact), 0);
  EXPECT_EQ(exact, kRows - 1000);
  ASSERT_EQ(engine::SetToEnd(c), 0);
  auto rec = Buffer(c);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(engine::GetRecordCount(c, estimate), 0);
  EXPECT_EQ(estimate, kRows - 1000);

  const CursorHandle limited = Query(db, "select n from numbers order by t desc limit 10 offset 4995");
  ASSERT_EQ(engine::GetExactRecordCount(limited, exact), 0);
  EXPECT_EQ(exact, 5);

  // A statement that cannot be wrapped in a count is counted by running it.
  const CursorHandle pragma = Query(db, "pragma table_info(numbers)");
  ASSERT_EQ(engine::GetExactRecordCount(pragma, exact), 0);
  EXPECT_EQ(exact, 3);
}

TEST_F(EngineCursorTest, FieldDescriptorsAndRecordLayout) {
  const CursorHandle c =
      Query(db, "select codigo, nome, cidade, fone, fax, contato, cidade, 'x', note from acadclie, numbers");
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);
  engine::CursorProps props;
  ASSERT_EQ(engine::GetCursorProps(c, props), 0);
  ASSERT_EQ(props.fieldCount, 9);
  ASSERT_EQ(fields.size(), 9u);
  EXPECT_EQ(props.recordNumbering, engine::RecordNumbering::Sequence);

  struct Expected {
    const char* name;
    std::uint16_t type;
    std::int16_t units1;
  };
  const Expected expected[] = {
      {"codigo", engine::fld::Text, 6},  {"nome", engine::fld::Text, 50}, {"cidade", engine::fld::Text, 35},
      {"fone", engine::fld::Text, 30},   {"fax", engine::fld::Text, 30},  {"contato", engine::fld::Text, 30},
      {"cidade", engine::fld::Text, 35}, {"'x'", engine::fld::Text, 255}, {"note", engine::fld::Text, 255}};
  std::vector<bool> used(props.recordSize, false);
  for (size_t i = 0; i < fields.size(); ++i) {
    SCOPED_TRACE(fields[i].name);
    EXPECT_EQ(fields[i].fieldNumber, i + 1);
    EXPECT_EQ(fields[i].name, expected[i].name);
    EXPECT_EQ(fields[i].type, expected[i].type);
    EXPECT_EQ(fields[i].units1, expected[i].units1);
    // The blank flag and the value of every field have bytes of their own inside the record.
    ASSERT_LE(fields[i].offset + fields[i].length, props.recordSize);
    for (auto b : {fields[i].nullOffset}) {
      EXPECT_FALSE(used[b]);
      used[b] = true;
    }
    for (auto b = fields[i].offset; b < fields[i].offset + fields[i].length; ++b) {
      EXPECT_FALSE(used[b]);
      used[b] = true;
    }
  }
}

TEST_F(EngineCursorTest, ExpressionTypesFollowTheirFirstValue) {
  const CursorHandle c = Query(db, "select count(*), 2.5, x'00ff', 'a' || 'b' from numbers");
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[0].type, engine::fld::Int64);
  EXPECT_EQ(fields[1].type, engine::fld::Float);
  EXPECT_EQ(fields[2].type, engine::fld::VarBytes);
  EXPECT_EQ(fields[3].type, engine::fld::Text);
  EXPECT_EQ(ReadAll(c),
            (std::vector<std::vector<std::string>>{{std::to_string(kRows), "2.5", std::string("\0\xff", 2), "ab"}}));
}

TEST_F(EngineCursorTest, WholeNumbersKeepAll64Bits) {
  enginetest::Sqlite(dbFile,
                     "CREATE TABLE big (n INTEGER, v BIGINT);"
                     "INSERT INTO big VALUES (1, 1099511627776), (2, -1099511627776), (3, NULL),"
                     "(4, 9223372036854775807), (5, -9223372036854775807 - 1);");
  const std::optional<std::int64_t> expected[] = {std::int64_t{1} << 40, -(std::int64_t{1} << 40), std::nullopt,
                                                  INT64_MAX, INT64_MIN};
  // A declared column and an expression, whose type its first value decides.
  const CursorHandle c = Query(db, "select v, v + 0 from big order by n");
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);
  auto rec = Buffer(c);
  for (const auto& value : expected) {
    SCOPED_TRACE(value ? std::to_string(*value) : "NULL");
    ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
    for (std::uint16_t f = 1; f <= 2; ++f) {
      ASSERT_EQ(fields[f - 1u].type, engine::fld::Int64);
      ASSERT_EQ(fields[f - 1u].length, sizeof(std::int64_t));
      std::int64_t got = 0;
      bool blank = false;
      ASSERT_EQ(engine::GetField(c, f, rec.data(), &got, blank), 0);
      EXPECT_EQ(blank, !value);
      if (value) {
        EXPECT_EQ(got, *value);
      }
    }
  }
}

TEST_F(EngineCursorTest, BlankFlagTellsNullFromEmptyText) {
  const CursorHandle c = Query(db, "select note from numbers where n in (6, 7) order by n");
  auto rec = Buffer(c);
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);
  std::vector<char> dest(fields[0].length, 'Z');
  bool blank = true;

  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(engine::GetField(c, 1, rec.data(), dest.data(), blank), 0);
  EXPECT_FALSE(blank) << "empty text is a value";
  EXPECT_EQ(dest[0], '\0');

  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(engine::GetField(c, 1, rec.data(), nullptr, blank), 0);
  EXPECT_TRUE(blank) << "NULL is blank";
}

TEST_F(EngineCursorTest, LongTextIsCutAtACharacterBoundaryWithinItsBuffer) {
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "ã";
  enginetest::Sqlite(dbFile, "INSERT INTO acadclie (codigo, nome) VALUES ('ÁÉÍÓÚçãõ', '" + longText + "');");
  const CursorHandle c = Query(db, "select codigo, nome, nome || 'x' from acadclie");
  std::vector<engine::FieldDesc> fields;
  ASSERT_EQ(engine::GetFieldDescs(c, fields), 0);

  engine::CursorProps props;
  ASSERT_EQ(engine::GetCursorProps(c, props), 0);
  const size_t guard = 64;
  std::vector<std::uint8_t> rec(props.recordSize + guard, 0xEE);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  for (size_t i = props.recordSize; i < rec.size(); ++i) ASSERT_EQ(rec[i], 0xEE) << "record buffer overrun";

  struct Case {
    std::uint16_t field;
    std::string expected;
  };
  const Case cases[] = {
      {1, "ÁÉÍÓÚç"},                     // VARCHAR(6): six characters, twelve bytes
      {2, longText.substr(0, 50 * 2)},   // VARCHAR(50)
      {3, longText.substr(0, 255 * 2)},  // an expression: the default size
  };
  for (const auto& cs : cases) {
    SCOPED_TRACE(cs.field);
    const auto& f = fields[cs.field - 1u];
    std::vector<char> dest(f.length + guard, '#');
    bool blank = true;
    ASSERT_EQ(engine::GetField(c, cs.field, rec.data(), dest.data(), blank), 0);
    EXPECT_FALSE(blank);
    EXPECT_EQ(std::string(dest.data()), cs.expected);
    EXPECT_TRUE(engine::IsValidUtf8(dest.data()));
    for (size_t i = f.length; i < dest.size(); ++i) ASSERT_EQ(dest[i], '#') << "destination overrun";
  }
}

TEST_F(EngineCursorTest, FilterSkipsRefusedRecordsBothWays) {
  const CursorHandle c = Query(db, "select n from numbers order by n");
  ASSERT_EQ(engine::SetFilter(c,
                              [c](const void* record) {
                                std::string text;
                                bool blank = false;
                                engine::GetFieldText(c, 1, record, text, blank);
                                return std::stoll(text) % 1000 == 0;
                              }),
            0);
  auto rec = Buffer(c);
  std::vector<std::int64_t> seen;
  while (engine::GetNextRecord(c, rec.data(), nullptr) == 0) seen.push_back(N(c, rec));
  EXPECT_EQ(seen, (std::vector<std::int64_t>{1000, 2000, 3000, 4000, 5000}));
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 4000);

  ASSERT_EQ(engine::SetFilter(c, nullptr), 0);
  ASSERT_EQ(engine::GetNextRecord(c, rec.data(), nullptr), 0);
  EXPECT_EQ(N(c, rec), 4001);
}

TEST_F(EngineCursorTest, CursorOutlivesItsStatementButNotItsDatabase) {
  engine::StatementHandle stmt;
  ASSERT_EQ(engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt), 0);
  ASSERT_EQ(engine::PrepareStatement(stmt, "select n from numbers where n <= 2 order by n"), 0);
  CursorHandle first, second;
  ASSERT_EQ(engine::ExecuteStatement(stmt, &first), 0);
  ASSERT_EQ(engine::ExecuteStatement(stmt, &second), 0);
  ASSERT_EQ(engine::FreeStatement(stmt), 0);
  EXPECT_FALSE(stmt);
  EXPECT_EQ(ReadAll(first), (std::vector<std::vector<std::string>>{{"1"}, {"2"}}));
  EXPECT_EQ(ReadAll(second), (std::vector<std::vector<std::string>>{{"1"}, {"2"}}));

  const CursorHandle kept = second;
  ASSERT_EQ(engine::CloseDatabase(db), 0);
  engine::CursorProps props;
  EXPECT_EQ(engine::GetCursorProps(kept, props), st::InvalidHandle);
  EXPECT_EQ(engine::SetToBegin(first), st::InvalidHandle);
}

TEST_F(EngineCursorTest, StatementWithoutRowsGivesNoCursor) {
  CursorHandle c{12345};
  engine::StatementHandle stmt;
  ASSERT_EQ(engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt), 0);
  ASSERT_EQ(engine::PrepareStatement(stmt, "update numbers set note = \"seen\" where n <= 10"), 0);
  ASSERT_EQ(engine::ExecuteStatement(stmt, &c), 0);
  EXPECT_FALSE(c);
  std::int64_t affected = 0;
  ASSERT_EQ(engine::GetProp(stmt, engine::prop::StatementRowsAffected, affected), 0);
  EXPECT_EQ(affected, 10);
  EXPECT_EQ(Column(db, "select count(*) from numbers where note = 'seen'"), std::vector<std::string>{"10"});
}

TEST_F(EngineCursorTest, WaitCallbackBracketsLongOperations) {
  std::vector<std::int32_t> calls;
  ASSERT_EQ(engine::RegisterCallback(engine::CallbackKind::WaitCursor,
                                     [&](engine::CallbackKind, std::int32_t info) { calls.push_back(info); }),
            0);
  const CursorHandle c = Query(db, "select n from numbers order by n");
  ASSERT_EQ(engine::SetToEnd(c), 0);
  auto rec = Buffer(c);
  ASSERT_EQ(engine::GetPriorRecord(c, rec.data(), nullptr), 0);
  ASSERT_FALSE(calls.empty());
  int depth = 0;
  for (auto info : calls) {
    depth += info == static_cast<std::int32_t>(engine::WaitState::Busy) ? 1 : -1;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0) << "every Busy is followed by Idle";
  bool registered = false;
  ASSERT_EQ(engine::RegisterCallback(engine::CallbackKind::WaitCursor, nullptr), 0);
  ASSERT_EQ(engine::HasCallback(engine::CallbackKind::WaitCursor, registered), 0);
  EXPECT_FALSE(registered);
}

}  // namespace
