#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "EngineFixture.h"
#include "engine/Collation.h"

namespace {

// Where a Portuguese reader expects them: accents and case do not move a name away from its letters.
const std::vector<std::string> kSortedNames = {
    "Abreu",          "Aguas",   "Águas",     "Alves",    "Cabral",  "Caçador", "Cachoeira", "Campinas", "Eduardo",
    "Érica",          "Evandro", "Fábio",     "Fabíola",  "Goiânia", "Goiás",   "Macapá",    "Maceió",   "Ribeira",
    "Ribeirão Preto", "Santos",  "São Paulo", "Sapucaia", "Ubá",     "Uberaba", "Zé"};

std::vector<std::string> Shuffled(std::vector<std::string> v) {
  std::mt19937 rng(7);
  std::shuffle(v.begin(), v.end(), rng);
  return v;
}

void ExpectPortugueseOrder(const engine::TextCollator& collator) {
  auto names = Shuffled(kSortedNames);
  std::sort(names.begin(), names.end(), [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
  EXPECT_EQ(names, kSortedNames);
}

void ExpectOnlyIdenticalTextsTie(const engine::TextCollator& collator) {
  const std::vector<std::string> variants = {"são paulo", "São Paulo", "SÃO PAULO", "Sao Paulo", "sao paulo"};
  for (const auto& a : variants)
    for (const auto& b : variants) {
      const int ab = collator.Compare(a, b);
      EXPECT_EQ(ab == 0, a == b) << a << " / " << b;
      EXPECT_EQ(ab, -collator.Compare(b, a)) << a << " / " << b;
    }
}

}  // namespace

TEST(EngineCollation, FallbackOrdersPortugueseNames) {
  const engine::TextCollator collator("xx_NOWHERE");
  ASSERT_FALSE(collator.UsesSystemLocale());
  ExpectPortugueseOrder(collator);
  ExpectOnlyIdenticalTextsTie(collator);
}

TEST(EngineCollation, ByteOrderLocalesUseTheFallback) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    const engine::TextCollator collator(name);
    EXPECT_FALSE(collator.UsesSystemLocale()) << name;
    EXPECT_LT(collator.Compare("Érica", "Fábio"), 0) << name;
  }
}

TEST(EngineCollation, SystemLocaleOrdersPortugueseNames) {
  const engine::TextCollator collator("pt_BR");
  if (!collator.UsesSystemLocale()) GTEST_SKIP() << "locale pt_BR.UTF-8 is not installed here";
  ExpectPortugueseOrder(collator);
  ExpectOnlyIdenticalTextsTie(collator);
  // Long texts order as short ones do, whether one or both are long.
  const std::pair<std::string, std::string> pairs[] = {
      {"Érica", "Fábio"}, {"são paulo", "Santos"}, {"são paulo", "São Paulo"}, {"Sao Paulo", "São Paulo"}};
  for (const size_t length : {250, 255, 256, 300}) {
    const std::string common(length, 'x');
    for (const auto& [a, b] : pairs) {
      EXPECT_EQ(collator.Compare(common + a, common + b), collator.Compare(a, b)) << length << " " << a << " / " << b;
      EXPECT_EQ(collator.Compare(common + b, common + a), collator.Compare(b, a)) << length << " " << b << " / " << a;
    }
    EXPECT_LT(collator.Compare("Érica", common), 0) << length;
    EXPECT_GT(collator.Compare(common, "Érica"), 0) << length;
  }
}

TEST(EngineCollation, IllFormedTextComparesConsistently) {
  const engine::TextCollator collator("xx_NOWHERE");
  const std::vector<std::string> texts = {
      "abc", std::string("ab\xC3", 3), std::string("\xFF\xFE", 2), std::string("a\xE2\x82", 3), std::string("a\0b", 3),
      ""};
  for (const auto& a : texts)
    for (const auto& b : texts) {
      EXPECT_EQ(collator.Compare(a, b), -collator.Compare(b, a));
      EXPECT_EQ(collator.Compare(a, b) == 0, a == b);
    }
  EXPECT_FALSE(engine::IsValidUtf8(std::string("\xC0\xAF", 2))) << "overlong form";
  EXPECT_FALSE(engine::IsValidUtf8(std::string("\xED\xA0\x80", 3))) << "surrogate";
  EXPECT_TRUE(engine::IsValidUtf8("Ribeirão Preto €"));
}

TEST(EngineCollation, Utf8IsCheckedAtEveryPositionOfLongTexts) {
  // Plain runs of every length before and after the character, so that it falls anywhere in or across a word.
  const std::pair<std::string, bool> characters[] = {
      {"\xC3\xA3", true}, {"\xE2\x82\xAC", true}, {"\xF0\x9F\x98\x80", true},
      {"\xC3", false},    {"\xC0\xAF", false},    {"\xED\xA0\x80", false},
      {"\xFF", false},    {"\xE2\x82", false},    {"\xF4\x90\x80\x80", false}};
  for (const auto& [character, valid] : characters)
    for (size_t before = 0; before <= 17; ++before)
      for (size_t after : {0, 1, 7, 8, 9}) {
        const std::string text = std::string(before, 'a') + character + std::string(after, 'b');
        EXPECT_EQ(engine::IsValidUtf8(text), valid) << before << " + " << after;
      }
}

// The same order and grouping through SQL, for the configured language and for one that is not installed.
class EngineCollationSql : public enginetest::EngineTest, public ::testing::WithParamInterface<const char*> {
protected:
  std::string Language() const override { return GetParam(); }
  void SetUp() override {
    EngineTest::SetUp();
    std::string sql = "BEGIN;";
    for (const auto& n : Shuffled(kSortedNames))
      sql += "INSERT INTO acadclie (nome, cidade) VALUES ('" + n + "', '" + n + "');";
    sql += "INSERT INTO acadclie (cidade) VALUES ('SÃO PAULO'), ('são paulo'), ('São Paulo'), (NULL); COMMIT;";
    enginetest::Sqlite(dbFile, sql);
  }
};

TEST_P(EngineCollationSql, OrderByFollowsTheLanguage) {
  const auto db = Open();
  EXPECT_EQ(Column(db, "select nome from acadclie where nome is not null order by nome"), kSortedNames);
  auto reversed = kSortedNames;
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(Column(db, "select nome from \"acadclie.DB\" where nome <> \"\" order by 1 desc"), reversed);
}

TEST_P(EngineCollationSql, GroupByKeepsCaseVariantsApartAndInOrder) {
  const auto db = Open();
  const auto cities = Column(db, "select cidade from acadclie group by cidade");
  ASSERT_EQ(cities.size(), kSortedNames.size() + 3) << "three case variants of São Paulo plus NULL, each its own group";
  EXPECT_EQ(cities.front(), "<null>");
  const auto first = std::find_if(cities.begin(), cities.end(), [](const auto& c) {
    return c == "São Paulo" || c == "SÃO PAULO" || c == "são paulo";
  });
  ASSERT_NE(first, cities.end());
  ASSERT_LE(first + 3, cities.end());
  const std::vector<std::string> variants = {"São Paulo", "SÃO PAULO", "são paulo"};
  EXPECT_TRUE(std::is_permutation(first, first + 3, variants.begin())) << "case variants sort together";
  EXPECT_EQ(*(first - 1), "Santos");
  EXPECT_EQ(*(first + 3), "Sapucaia");
}

INSTANTIATE_TEST_SUITE_P(Languages, EngineCollationSql, ::testing::Values("pt_BR", "xx_NOWHERE"));
