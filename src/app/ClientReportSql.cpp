#include "app/ClientReportSql.h"

std::string QuotedLiteral(const std::string& text) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += '"';
  for (char c : text) {
    if (c == '"') literal += '"';
    literal += c;
  }
  literal += '"';
  return literal;
}

std::string ClientReportStatement(const std::string& city) {
  if (city.empty()) return "select codigo,nome,cidade,fone,fax,contato from acadclie order by cidade,nome";
  return "select codigo,nome,cidade,fone,fax,contato from acadclie where cidade=" + QuotedLiteral(city) +
         " order by cidade,nome";
}
