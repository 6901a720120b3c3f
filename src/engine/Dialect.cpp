#include "engine/Dialect.h"

#include <algorithm>
#include <array>

namespace engine {

namespace {

bool IsNameStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool WordIs(const SqlToken& t, std::string_view word) {
  if (t.kind != SqlToken::Kind::Word || t.text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = t.text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return true;
}

bool WordIsAny(const SqlToken& t, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return WordIs(t, w); });
}

bool SymbolIs(const SqlToken& t, char c) {
  return t.kind == SqlToken::Kind::Symbol && t.text.size() == 1 && t.text[0] == c;
}

std::string Quoted(std::string_view value, char quote) {
  std::string out;
  out.reserve(value.size() + 2);
  out += quote;
  for (char c : value) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

// Clause words that end a FROM list or a term list of ORDER BY / GROUP BY / PARTITION BY at the same depth.
const std::initializer_list<std::string_view> kClauseWords = {
    "WHERE",  "GROUP", "ORDER", "HAVING", "LIMIT",  "OFFSET", "UNION", "INTERSECT", "EXCEPT",
    "WINDOW", "ROWS",  "RANGE", "GROUPS", "SELECT", "VALUES", "FROM",  "RETURNING", "SET"};

}  // namespace

std::optional<std::vector<SqlToken>> TokenizeSql(std::string_view sql, SqlSyntaxProblem& problem) {
  std::vector<SqlToken> tokens;
  const size_t n = sql.size();
  size_t i = 0;
  const auto at = [&](size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(sql[k]) : 0; };
  const auto fail = [&](size_t offset, std::string text) {
    problem = {offset, std::move(text)};
    return std::nullopt;
  };
  if (const size_t zero = sql.find('\0'); zero != std::string_view::npos)
    return fail(zero, "the statement contains a zero byte");

  while (i < n) {
    const size_t start = i;
    const unsigned char c = at(i);
    SqlToken tok{SqlToken::Kind::Symbol, {}, {}, start};
    if (IsBlank(c)) {
      while (i < n && IsBlank(at(i))) ++i;
      tok.kind = SqlToken::Kind::Space;
    } else if (c == '-' && at(i + 1) == '-') {
      while (i < n && at(i) != '\n') ++i;
      tok.kind = SqlToken::Kind::Comment;
    } else if (c == '/' && at(i + 1) == '*') {
      const size_t close = sql.find("*/", i + 2);
      if (close == std::string_view::npos)
        return fail(start, "comment opened at position " + std::to_string(start + 1) + " is not closed");
      i = close + 2;
      tok.kind = SqlToken::Kind::Comment;
    } else if (c == '"' || c == '\'' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : static_cast<char>(c);
      const bool doubling = c != '[';
      ++i;
      for (;;) {
        if (i >= n) {
          const char* what = c == '"' || c == '\'' ? "string literal" : "quoted name";
          return fail(start, std::string(what) + " opened at position " + std::to_string(start + 1) + " is not closed");
        }
        if (sql[i] == close) {
          if (doubling && at(i + 1) == static_cast<unsigned char>(close)) {
            tok.value += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        tok.value += sql[i++];
      }
      tok.kind = c == '"'    ? SqlToken::Kind::DoubleQuoted
                 : c == '\'' ? SqlToken::Kind::SingleQuoted
                             : SqlToken::Kind::QuotedName;
    } else if (c == ':' && IsNameChar(at(i + 1))) {
      ++i;
      while (i < n && IsNameChar(at(i))) ++i;
      tok.kind = SqlToken::Kind::Parameter;
    } else if (c == '?') {
      ++i;
      while (i < n && IsDigit(at(i))) ++i;
      tok.kind = SqlToken::Kind::Parameter;
    } else if (IsNameStart(c)) {
      while (i < n && IsNameChar(at(i))) ++i;
      tok.kind = SqlToken::Kind::Word;
    } else if (IsDigit(c) || (c == '.' && IsDigit(at(i + 1)))) {
      while (i < n && (IsNameChar(at(i)) || at(i) == '.')) {
        const bool exponent = (at(i) == 'e' || at(i) == 'E') && (at(i + 1) == '+' || at(i + 1) == '-');
        i += exponent ? 2 : 1;
      }
      tok.kind = SqlToken::Kind::Number;
    } else {
      ++i;
    }
    tok.text = sql.substr(start, i - start);
    tokens.push_back(std::move(tok));
  }
  return tokens;
}

std::string WithoutFinalOrderBy(std::string_view sql) {
  SqlSyntaxProblem problem;
  const auto tokens = TokenizeSql(sql, problem);
  if (!tokens) return std::string(sql);
  int depth = 0;
  const SqlToken* order = nullptr;
  const SqlToken* previous = nullptr;
  for (const auto& t : *tokens) {
    if (t.kind == SqlToken::Kind::Space || t.kind == SqlToken::Kind::Comment) continue;
    if (SymbolIs(t, '(')) ++depth;
    if (SymbolIs(t, ')')) --depth;
    if (depth == 0) {
      if (previous && WordIs(*previous, "ORDER") && WordIs(t, "BY")) order = previous;
      if (order && WordIsAny(t, {"LIMIT", "OFFSET"})) return std::string(sql);
      // A compound SELECT after an ORDER BY is not ours to cut.
      if (order && WordIsAny(t, {"UNION", "INTERSECT", "EXCEPT", "SELECT"})) order = nullptr;
    }
    previous = &t;
  }
  return order ? std::string(sql.substr(0, order->offset)) : std::string(sql);
}

std::string TableNameOf(std::string_view quotedName) {
  std::string name(quotedName);
  if (name.size() > 3) {
    std::string ext = name.substr(name.size() - 3);
    for (char& ch : ext)
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ext == ".DB") name.resize(name.size() - 3);
  }
  return name;
}

std::optional<std::string> TranslateSql(std::string_view sql, std::string_view collation, SqlSyntaxProblem& problem) {
  SqlTarget target;
  target.collation = std::string(collation);
  auto translated = TranslateSql(sql, target, problem);
  if (!translated) return std::nullopt;
  return std::move(translated->sql);
}

std::optional<TranslatedSql> TranslateSql(std::string_view sql, const SqlTarget& target, SqlSyntaxProblem& problem) {
  auto tokens = TokenizeSql(sql, problem);
  if (!tokens) return std::nullopt;

  // Significant tokens with their parenthesis depth.
  std::vector<size_t> sig;
  std::vector<int> depth;
  int d = 0;
  for (size_t i = 0; i < tokens->size(); ++i) {
    const SqlToken& t = (*tokens)[i];
    if (t.kind == SqlToken::Kind::Space || t.kind == SqlToken::Kind::Comment) continue;
    if (SymbolIs(t, ')')) --d;
    sig.push_back(i);
    depth.push_back(d);
    if (SymbolIs(t, '(')) ++d;
  }
  const auto tok = [&](size_t k) -> const SqlToken& { return (*tokens)[sig[k]]; };

  // One statement only: nothing but semicolons may follow the first semicolon.
  for (size_t k = 0; k < sig.size(); ++k) {
    if (!SymbolIs(tok(k), ';')) continue;
    for (size_t m = k + 1; m < sig.size(); ++m)
      if (!SymbolIs(tok(m), ';'))
        return problem = {tok(m).offset, "only one statement is allowed; text follows the ';' at position " +
                                             std::to_string(tok(k).offset + 1)},
               std::nullopt;
    break;
  }

  std::vector<bool> isTable(sig.size(), false);
  std::vector<bool> collateAfter(sig.size(), false);
  std::vector<int> fromDepth;                         // depths at which a FROM list is open
  std::vector<std::pair<size_t, size_t>> groupTerms;  // of the outer GROUP BY, [first, last) significant tokens
  bool groupsOrderable = target.orderGroups;
  for (size_t k = 0; k < sig.size(); ++k) {
    const SqlToken& t = tok(k);
    const int dk = depth[k];
    while (!fromDepth.empty() && fromDepth.back() > dk) fromDepth.pop_back();
    const bool inFromList = !fromDepth.empty() && fromDepth.back() == dk;
    if (WordIs(t, "FROM")) {
      if (!inFromList) fromDepth.push_back(dk);
    } else if (inFromList && (WordIsAny(t, kClauseWords) || SymbolIs(t, ';'))) {
      fromDepth.pop_back();
    }

    if (t.kind == SqlToken::Kind::DoubleQuoted) {
      const bool beforeDot = k + 1 < sig.size() && SymbolIs(tok(k + 1), '.');
      const bool afterTableWord = k > 0 && WordIsAny(tok(k - 1), {"FROM", "JOIN", "INTO", "UPDATE", "TABLE"});
      const bool afterListComma = k > 0 && SymbolIs(tok(k - 1), ',') && inFromList;
      isTable[k] = beforeDot || afterTableWord || afterListComma;
    }

    if (dk == 0 && (WordIsAny(t, {"LIMIT", "OFFSET", "FETCH", "FOR", "UNION", "INTERSECT", "EXCEPT"})))
      groupsOrderable = false;

    // ORDER BY / GROUP BY / PARTITION BY: mark the last expression token of each term without its own COLLATE.
    if (WordIsAny(t, {"ORDER", "GROUP", "PARTITION"}) && k + 1 < sig.size() && WordIs(tok(k + 1), "BY")) {
      const bool ordering = WordIs(t, "ORDER");
      const bool outerGroup = dk == 0 && WordIs(t, "GROUP");
      if (dk == 0 && ordering) groupsOrderable = false;
      size_t m = k + 2;
      while (m < sig.size()) {
        const size_t termStart = m;
        bool hasCollate = false;
        while (m < sig.size()) {
          const SqlToken& u = tok(m);
          if (depth[m] < dk || (depth[m] == dk && (SymbolIs(u, ',') || SymbolIs(u, ';') || SymbolIs(u, ')') ||
                                                   WordIsAny(u, kClauseWords))))
            break;
          if (depth[m] == dk && WordIs(u, "COLLATE")) hasCollate = true;
          ++m;
        }
        size_t last = m;  // one past the term
        // Leave the ordering suffix after the collation: ASC / DESC, NULLS FIRST / NULLS LAST.
        while (last > termStart) {
          const SqlToken& u = tok(last - 1);
          if (WordIsAny(u, {"ASC", "DESC"}) ||
              (WordIsAny(u, {"FIRST", "LAST"}) && last - 1 > termStart && WordIs(tok(last - 2), "NULLS"))) {
            last -= WordIsAny(u, {"ASC", "DESC"}) ? 1 : 2;
            continue;
          }
          break;
        }
        if (!hasCollate && last > termStart && (ordering || target.collateGroups)) collateAfter[last - 1] = true;
        if (outerGroup && last > termStart) {
          groupTerms.emplace_back(termStart, last);
          for (size_t x = termStart; x < last; ++x)
            if (WordIsAny(tok(x), {"ROLLUP", "CUBE", "GROUPING"})) groupsOrderable = false;
        }
        if (m < sig.size() && depth[m] == dk && SymbolIs(tok(m), ',')) {
          ++m;
          continue;
        }
        break;
      }
    }
  }

  TranslatedSql result;
  std::string& out = result.sql;
  out.reserve(sql.size() + 32);
  const std::string collate = target.collation.empty() ? std::string() : "COLLATE " + Quoted(target.collation, '"');
  const auto addCollate = [&] {
    out += ' ';
    result.collations.emplace_back(out.size(), out.size() + collate.size());
    out += collate;
  };
  std::vector<size_t> outStart(sig.size()), outEnd(sig.size());
  size_t end = std::string::npos;  // where the statement's final ';' starts in the output
  size_t k = 0;
  for (size_t i = 0; i < tokens->size(); ++i) {
    const SqlToken& t = (*tokens)[i];
    const bool significant = k < sig.size() && sig[k] == i;
    if (significant) outStart[k] = out.size();
    if (significant && end == std::string::npos && depth[k] == 0 && SymbolIs(t, ';')) end = out.size();
    if (t.kind == SqlToken::Kind::Comment) {
      out += ' ';
    } else if (t.kind == SqlToken::Kind::DoubleQuoted) {
      out += isTable[k] ? Quoted(TableNameOf(t.value), '"') : Quoted(t.value, '\'');
    } else if (t.kind == SqlToken::Kind::Parameter && target.numberedParameters) {
      auto& names = result.parameters;
      size_t number = 0;
      if (t.text[0] == ':') {
        const auto seen = std::find(names.begin(), names.end(), std::string(t.text));
        number = static_cast<size_t>(seen - names.begin()) + 1;
        if (seen == names.end()) names.emplace_back(t.text);
      } else if (t.text.size() > 1) {
        if (t.text.size() > 6 || (number = std::stoul(std::string(t.text.substr(1)))) == 0 || number > 65535)
          return problem = {t.offset, "parameter " + std::string(t.text) + " is not numbered from 1 to 65535"},
                 std::nullopt;
        if (names.size() < number) names.resize(number);
      } else {
        names.emplace_back();
        number = names.size();
      }
      out += '$' + std::to_string(number);
    } else {
      out += t.text;
    }
    if (significant) {
      outEnd[k] = out.size();
      if (collateAfter[k] && !collate.empty()) addCollate();
      ++k;
    }
  }
  if (groupsOrderable && !groupTerms.empty()) {
    if (end == std::string::npos) end = out.size();
    std::string tail = out.substr(end);
    out.resize(end);
    out += "\nORDER BY ";
    for (size_t g = 0; g < groupTerms.size(); ++g) {
      const auto [first, last] = groupTerms[g];
      if (g) out += ", ";
      out += out.substr(outStart[first], outEnd[last - 1] - outStart[first]);
      if (!collate.empty()) addCollate();
    }
    out += tail;
  }
  return result;
}

}  // namespace engine
