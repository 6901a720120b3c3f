#include "app/ClientReportSql.h"

#include <gtest/gtest.h>

namespace {

TEST(ClientReportStatement, TheLiteralHoldsExactlyTheChosenText) {
  const std::string head = "select codigo,nome,cidade,fone,fax,contato from acadclie where cidade=";
  const std::string tail = " order by cidade,nome";
  struct Case {
    const char* what;
    std::string city;
    std::string expected;
  };
  const Case cases[] = {
      {"no city", "", "select codigo,nome,cidade,fone,fax,contato from acadclie order by cidade,nome"},
      {"blanks stay", "   ", head + "\"   \"" + tail},
      {"accents and case stay", "São Paulo ", head + "\"São Paulo \"" + tail},
      {"a quote is doubled", "Rio\" or 1=1 --", head + "\"Rio\"\" or 1=1 --\"" + tail},
      {"only quotes", "\"\"", head + "\"\"\"\"\"\"" + tail},
      {"a colon is no parameter here", "Cidade:Centro", head + "\"Cidade:Centro\"" + tail},
  };
  for (const auto& c : cases) EXPECT_EQ(ClientReportStatement(c.city), c.expected) << c.what;
}

}  // namespace
