#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/Dialect.h"

namespace {

std::string Translate(std::string_view sql) {
  engine::SqlSyntaxProblem problem;
  auto out = engine::TranslateSql(sql, "LANGUAGE", problem);
  return out ? *out : "ERROR: " + problem.text;
}

}  // namespace

TEST(EngineDialect, TranslationTable) {
  struct Case {
    const char* engineSql;
    const char* sqlite;
  };
  const Case cases[] = {
      {"select cidade from acadclie group by cidade",
       "select cidade from acadclie group by cidade COLLATE \"LANGUAGE\""},
      {"select codigo,nome from acadclie order by cidade,nome",
       "select codigo,nome from acadclie order by cidade COLLATE \"LANGUAGE\",nome COLLATE \"LANGUAGE\""},
      {"select * from acadclie where cidade=\"São Paulo\"", "select * from acadclie where cidade='São Paulo'"},
      {"select * from \"acadclie.DB\"", "select * from \"acadclie\""},
      {"select * from \"acadclie.db\" c join \"fones.DB\" f on c.codigo=f.codigo",
       "select * from \"acadclie\" c join \"fones\" f on c.codigo=f.codigo"},
      {"select \"acadclie.DB\".cidade from \"acadclie.DB\" where nome = \"O\"\"Brien\"",
       "select \"acadclie\".cidade from \"acadclie\" where nome = 'O\"Brien'"},
      {"select * from \"a.DB\" a, \"b.DB\" b where a.x = \"lit\", \"x\"",
       "select * from \"a\" a, \"b\" b where a.x = 'lit', 'x'"},
      {"select * from t where nome = \"D'Ávila\"", "select * from t where nome = 'D''Ávila'"},
      {"select * from t where nome = \"x' or '1'='1\"", "select * from t where nome = 'x'' or ''1''=''1'"},
      {"select * from t where nome = \"\"\"; drop table acadclie; --\"",
       "select * from t where nome = '\"; drop table acadclie; --'"},
      {"select * from t where c = \"a:b\" and d = :p and e = ?",
       "select * from t where c = 'a:b' and d = :p and e = ?"},
      {"select * from t where c = 'single \"kept\"' and \"\" = ''",
       "select * from t where c = 'single \"kept\"' and '' = ''"},
      {"select 1 -- :x \"open\nfrom t", "select 1  \nfrom t"},
      {"select /* \"x */ 2", "select   2"},
      {"select nome from t order by nome desc, cidade asc nulls last",
       "select nome from t order by nome COLLATE \"LANGUAGE\" desc, cidade COLLATE \"LANGUAGE\" asc nulls last"},
      {"select nome from t order by nome collate binary", "select nome from t order by nome collate binary"},
      {"select count(*) from t group by cidade having count(*) > 1 order by 1 limit 5",
       "select count(*) from t group by cidade COLLATE \"LANGUAGE\" having count(*) > 1 order by 1 COLLATE "
       "\"LANGUAGE\" limit 5"},
      {"select * from (select cidade from t order by cidade) x where x.cidade in (\"a\", \"b\")",
       "select * from (select cidade from t order by cidade COLLATE \"LANGUAGE\") x where x.cidade in ('a', 'b')"},
      {"select 1;", "select 1;"},
  };
  for (const auto& c : cases) EXPECT_EQ(Translate(c.engineSql), c.sqlite) << "for: " << c.engineSql;
}

TEST(EngineDialect, RejectedStatementsSayWhatIsWrongAndWhere) {
  struct Case {
    std::string sql;
    size_t offset;
    const char* fault;
  };
  const Case cases[] = {
      {"select * from acadclie where cidade = \"abc", 38, "string literal opened at position 39 is not closed"},
      {"select 'abc", 7, "string literal opened at position 8"},
      {"select [abc", 7, "quoted name"},
      {"select 1 /* :x", 9, "comment opened at position 10"},
      {"select 1; drop table acadclie", 10, "only one statement"},
      {"select * from t where c=\"São\"; drop table acadclie; --\" order by cidade", 32, "only one statement"},
      {std::string("select \"a\0b\"", 12), 9, "zero byte"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    engine::SqlSyntaxProblem problem;
    EXPECT_FALSE(engine::TranslateSql(c.sql, "LANGUAGE", problem));
    EXPECT_EQ(problem.offset, c.offset);
    EXPECT_NE(problem.text.find(c.fault), std::string::npos) << problem.text;
  }
}

TEST(EngineDialect, CountingDropsOnlyAnOrderByThatCannotChangeTheRows) {
  struct Case {
    const char* sql;
    const char* counted;
  };
  const Case cases[] = {
      {"select a from t order by a COLLATE \"LANGUAGE\"", "select a from t "},
      {"select a from t order by a limit 5", "select a from t order by a limit 5"},
      {"select a from t order by a offset 5", "select a from t order by a offset 5"},
      {"select a from (select a from t order by a) x", "select a from (select a from t order by a) x"},
      {"select a from t where b = 'order by' group by a", "select a from t where b = 'order by' group by a"},
      {"select a from t union select b from u order by 1", "select a from t union select b from u "},
  };
  for (const auto& c : cases) EXPECT_EQ(engine::WithoutFinalOrderBy(c.sql), c.counted) << c.sql;
}

TEST(EngineDialect, ParametersAreRecognisedOutsideLiteralsOnly) {
  engine::SqlSyntaxProblem problem;
  const auto tokens =
      engine::TokenizeSql("x = :a and y = \":b\" and z = ':c' /* :d */ and w = ?3 and `:e` = :f2", problem);
  ASSERT_TRUE(tokens);
  std::vector<std::string> params;
  for (const auto& t : *tokens)
    if (t.kind == engine::SqlToken::Kind::Parameter) params.emplace_back(t.text);
  EXPECT_EQ(params, (std::vector<std::string>{":a", "?3", ":f2"}));
}

class EngineDialectRun : public enginetest::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    enginetest::Sqlite(dbFile,
                       "INSERT INTO acadclie (codigo, cidade) VALUES "
                       "('1', '\"; drop table acadclie; --'), ('2', 'a:b'), ('3', 'O\"Brien''s'), ('4', 'São Paulo');");
  }
};

TEST_F(EngineDialectRun, HostileLiteralsMatchAsPlainText) {
  const auto db = Open();
  struct Case {
    const char* sql;
    const char* codigo;
  };
  const Case cases[] = {
      {"select codigo from \"acadclie.DB\" where cidade = \"\"\"; drop table acadclie; --\"", "1"},
      {"select codigo from acadclie where cidade = \"a:b\"", "2"},
      {"select codigo from acadclie where cidade = \"O\"\"Brien's\"", "3"},
      {"select \"acadclie.DB\".codigo from \"acadclie.DB\" where \"acadclie.DB\".cidade = \"São Paulo\"", "4"},
  };
  for (const auto& c : cases) EXPECT_EQ(Column(db, c.sql), std::vector<std::string>{c.codigo}) << c.sql;
  EXPECT_EQ(Column(db, "select count(*) from acadclie"), std::vector<std::string>{"4"}) << "the table is intact";
}

TEST_F(EngineDialectRun, TextThatEndsTheLiteralEarlyCannotRunASecondStatement) {
  const auto db = Open();
  engine::CursorHandle c;
  EXPECT_EQ(
      Run(db, "select codigo from acadclie where cidade=\"São\"; drop table acadclie; --\" order by cidade,nome", c),
      engine::status::SqlSyntax);
  EXPECT_FALSE(c);
  EXPECT_EQ(Column(db, "select count(*) from acadclie"), std::vector<std::string>{"4"});
}

TEST_F(EngineDialectRun, BoundParametersByNumberAndName) {
  const auto db = Open();
  engine::StatementHandle stmt;
  ASSERT_EQ(engine::AllocStatement(db, engine::QueryLanguage::Sql, stmt), 0);
  ASSERT_EQ(
      engine::PrepareStatement(stmt, "select codigo from acadclie where cidade = ? or cidade = :other order by codigo"),
      0);
  ASSERT_EQ(engine::BindParam(stmt, 1, engine::Value{std::string("a:b")}), 0);
  ASSERT_EQ(engine::BindParam(stmt, ":other", engine::Value{std::string("São Paulo")}), 0);
  EXPECT_EQ(engine::BindParam(stmt, 3, engine::Value{std::int64_t{1}}), engine::status::InvalidParameter);
  EXPECT_EQ(engine::BindParam(stmt, ":missing", engine::Value{}), engine::status::InvalidParameter);
  engine::CursorHandle c;
  ASSERT_EQ(engine::ExecuteStatement(stmt, &c), 0);
  EXPECT_EQ(ReadAll(c), (std::vector<std::vector<std::string>>{{"2"}, {"4"}}));
}

TEST(EngineDialect, ServerTranslationNumbersParametersAndOrdersGroups) {
  engine::SqlTarget server;
  server.collation = "pt_BR.utf8";
  server.collateGroups = false;
  server.orderGroups = true;
  server.numberedParameters = true;
  struct Case {
    const char* engineSql;
    const char* serverSql;
    std::vector<std::string> parameters;
  };
  const Case cases[] = {
      {"select cidade from acadclie group by cidade",
       "select cidade from acadclie group by cidade\nORDER BY cidade COLLATE \"pt_BR.utf8\"",
       {}},
      {"select cidade, count(*) from \"acadclie.DB\" group by cidade, fax having count(*) > :n;",
       "select cidade, count(*) from \"acadclie\" group by cidade, fax having count(*) > $1\nORDER BY cidade COLLATE "
       "\"pt_BR.utf8\", fax COLLATE \"pt_BR.utf8\";",
       {":n"}},
      {"select cidade from t group by cidade order by 1 desc",
       "select cidade from t group by cidade order by 1 COLLATE \"pt_BR.utf8\" desc",
       {}},
      {"select cidade from t group by cidade limit 3", "select cidade from t group by cidade limit 3", {}},
      {"select a from t group by rollup (a)", "select a from t group by rollup (a)", {}},
      {"select * from t where a = :x and b = ? and c = :x and d = \"O'Brien :y\"",
       "select * from t where a = $1 and b = $2 and c = $1 and d = 'O''Brien :y'",
       {":x", ""}},
      {"select * from t where a = ?2", "select * from t where a = $2", {"", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.engineSql);
    engine::SqlSyntaxProblem problem;
    const auto out = engine::TranslateSql(c.engineSql, server, problem);
    ASSERT_TRUE(out) << problem.text;
    EXPECT_EQ(out->sql, c.serverSql);
    EXPECT_EQ(out->parameters, c.parameters);
    // The ranges of the added clauses are where the clauses are.
    for (const auto& [from, to] : out->collations)
      EXPECT_EQ(out->sql.substr(from, to - from), "COLLATE \"pt_BR.utf8\"");
  }
  for (const char* sql : {"select ?0", "select ?99999999999", "select ?65536"}) {
    engine::SqlSyntaxProblem problem;
    EXPECT_FALSE(engine::TranslateSql(sql, server, problem)) << sql;
    EXPECT_EQ(problem.offset, 7u);
  }
}
