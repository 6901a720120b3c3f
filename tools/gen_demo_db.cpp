// Writes the client table acadclie of a demo database with made-up Brazilian clients.
// Usage: gen_demo_db DBFILE|CONNECTION [ROWS] [SEED]. The same ROWS and SEED always give the same rows. A libpq
// connection string ("host=... dbname=...") or URI ("postgresql://...") fills the table on a PostgreSQL server.

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr long long kDefaultRows = 600;
constexpr long long kMaxRows = 50'000'000;

// splitmix64: small, fast and the same on every platform.
class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

private:
  std::uint64_t state_;
};

struct City {
  const char* name;
  int ddd;
  int weight;
};

const City kCities[] = {
    {"São Paulo", 11, 8},
    {"Rio de Janeiro", 21, 6},
    {"Belo Horizonte", 31, 4},
    {"Porto Alegre", 51, 3},
    {"Curitiba", 41, 3},
    {"Salvador", 71, 3},
    {"Recife", 81, 3},
    {"Fortaleza", 85, 3},
    {"Brasília", 61, 3},
    {"Goiânia", 62, 2},
    {"Florianópolis", 48, 2},
    {"Ribeirão Preto", 16, 2},
    {"Campinas", 19, 2},
    {"Manaus", 92, 2},
    {"Belém", 91, 2},
    {"Maceió", 82, 1},
    {"São Luís", 98, 1},
    {"Teresina", 86, 1},
    {"Natal", 84, 1},
    {"João Pessoa", 83, 1},
    {"Aracaju", 79, 1},
    {"Vitória", 27, 1},
    {"Campo Grande", 67, 1},
    {"Cuiabá", 65, 1},
    {"Palmas", 63, 1},
    {"Porto Velho", 69, 1},
    {"Rio Branco", 68, 1},
    {"Macapá", 96, 1},
    {"Boa Vista", 95, 1},
    {"Santos", 13, 1},
    {"São José dos Campos", 12, 1},
    {"Sorocaba", 15, 1},
    {"Jundiaí", 11, 1},
    {"Bauru", 14, 1},
    {"São José do Rio Preto", 17, 1},
    {"Presidente Prudente", 18, 1},
    {"Piracicaba", 19, 1},
    {"Uberlândia", 34, 1},
    {"Juiz de Fora", 32, 1},
    {"Montes Claros", 38, 1},
    {"Londrina", 43, 1},
    {"Maringá", 44, 1},
    {"Foz do Iguaçu", 45, 1},
    {"Cascavel", 45, 1},
    {"Joinville", 47, 1},
    {"Blumenau", 47, 1},
    {"Chapecó", 49, 1},
    {"Caxias do Sul", 54, 1},
    {"Pelotas", 53, 1},
    {"Santa Maria", 55, 1},
    {"Niterói", 21, 1},
    {"Petrópolis", 24, 1},
    {"Feira de Santana", 75, 1},
    {"Vitória da Conquista", 77, 1},
    {"Ilhéus", 73, 1},
    {"Caruaru", 81, 1},
    {"Petrolina", 87, 1},
    {"Mossoró", 84, 1},
    {"Campina Grande", 83, 1},
    {"Imperatriz", 99, 1},
    {"Anápolis", 62, 1},
    {"Rondonópolis", 66, 1},
    {"Dourados", 67, 1},
    {"Jaraguá do Sul", 47, 1},
    {"Itajaí", 47, 1},
    {"Criciúma", 48, 1},
    {"São Carlos", 16, 1},
    {"Araraquara", 16, 1},
};

const char* const kBusinesses[] = {
    "Padaria",
    "Mercearia",
    "Farmácia",
    "Auto Peças",
    "Papelaria",
    "Distribuidora",
    "Comercial",
    "Construtora",
    "Materiais de Construção",
    "Transportadora",
    "Oficina Mecânica",
    "Supermercado",
    "Livraria",
    "Ótica",
    "Açougue",
    "Confecções",
    "Madeireira",
    "Restaurante",
    "Drogaria",
    "Serralheria",
    "Vidraçaria",
    "Informática",
    "Calçados",
    "Móveis",
    "Agropecuária",
    "Laticínios",
};

const char* const kBrands[] = {
    "São Jorge",   "Santa Luzia",  "Boa Esperança", "Nossa Senhora Aparecida",
    "Estrela",     "Progresso",    "Bandeirante",   "Ipiranga",
    "Aliança",     "Primavera",    "Horizonte",     "União",
    "Pão de Mel",  "Três Irmãos",  "Bom Jesus",     "Vitória",
    "Paraíso",     "Central",      "Conceição",     "Guaraná",
    "Ipê Amarelo", "Sol Nascente", "Cristal",       "Avenida",
};

const char* const kSuffixes[] = {"Ltda", "Ltda", "Ltda", "S.A.", "ME", "EIRELI", "& Filhos Ltda", "e Cia. Ltda"};

const char* const kFirstNames[] = {
    "Maria",    "José",     "Ana",     "João",    "Antônio",  "Francisca", "Carlos",  "Paulo",  "Adriana",
    "Lúcia",    "Luiz",     "Márcia",  "Pedro",   "Fernanda", "Sebastião", "Juliana", "Marcos", "Patrícia",
    "Raimundo", "Aline",    "Rafael",  "Sandra",  "Daniel",   "Camila",    "Fábio",   "Érica",  "Sérgio",
    "Cláudia",  "Vinícius", "Luciana", "Rogério", "Débora",   "André",     "Simone",  "Thiago", "Conceição",
};

const char* const kSurnames[] = {
    "Silva",   "Santos",    "Oliveira",   "Souza",     "Rodrigues", "Ferreira", "Alves",     "Pereira",  "Lima",
    "Gomes",   "Costa",     "Ribeiro",    "Martins",   "Carvalho",  "Araújo",   "Melo",      "Barbosa",  "Cardoso",
    "Rocha",   "Dias",      "Nascimento", "Andrade",   "Moreira",   "Nunes",    "Marques",   "Machado",  "Mendes",
    "Freitas", "Conceição", "Brandão",    "Damasceno", "Magalhães", "Sampaio",  "Guimarães", "Assunção", "Gonçalves",
};

const City& PickCity(Random& rnd) {
  static const int total = [] {
    int t = 0;
    for (const auto& c : kCities) t += c.weight;
    return t;
  }();
  int k = static_cast<int>(rnd.Below(static_cast<std::size_t>(total)));
  for (const auto& c : kCities) {
    if (k < c.weight) return c;
    k -= c.weight;
  }
  return kCities[0];
}

std::string Phone(Random& rnd, int ddd) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "(%02d) %d%03d-%04d", ddd, 2 + static_cast<int>(rnd.Below(4)),
                static_cast<int>(rnd.Below(1000)), static_cast<int>(rnd.Below(10000)));
  return buf;
}

std::string Code(long long k) {
  char buf[24];
  if (k < 999'999) {
    std::snprintf(buf, sizeof buf, "%06lld", k + 1);
    return buf;
  }
  // Past 999999 the codes go on in letters and digits, still six characters.
  static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string s(6, '0');
  s[0] = 'X';
  for (long long v = k - 999'999, i = 5; i >= 1; --i, v /= 36) s[static_cast<std::size_t>(i)] = digits[v % 36];
  return s;
}

std::size_t Characters(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

// Name columns are 50 (company) and 30 (contact) characters wide; a part that would not fit is left out.
std::string CompanyName(Random& rnd) {
  std::string name = rnd.Pick(kBusinesses);
  name += ' ';
  name += rnd.Below(3) == 0 ? rnd.Pick(kSurnames) : rnd.Pick(kBrands);
  const std::string suffix = std::string(" ") + rnd.Pick(kSuffixes);
  if (Characters(name) + Characters(suffix) <= 50) name += suffix;
  return name;
}

std::string Contact(Random& rnd) {
  std::string name = rnd.Pick(kFirstNames);
  name += ' ';
  name += rnd.Pick(kSurnames);
  if (rnd.Below(4) == 0) {
    const std::string more = std::string(" ") + rnd.Pick(kSurnames);
    if (Characters(name) + Characters(more) <= 30) name += more;
  }
  return name;
}

bool Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) == SQLITE_OK) return true;
  std::fprintf(stderr, "gen_demo_db: %s\n", err ? err : sqlite3_errmsg(db));
  sqlite3_free(err);
  return false;
}

bool ParseCount(const char* text, long long max, long long& out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno || end == text || *end || v < 0 || v > max) return false;
  out = v;
  return true;
}

// Calls `add` with the six column values of each row.
template <typename Add>
bool EachRow(long long rows, std::uint64_t seed, Add&& add) {
  Random rnd(seed);
  for (long long k = 0; k < rows; ++k) {
    const City& city = PickCity(rnd);
    const std::string texts[] = {Code(k),
                                 CompanyName(rnd),
                                 city.name,
                                 Phone(rnd, city.ddd),
                                 rnd.Below(10) < 4 ? std::string() : Phone(rnd, city.ddd),
                                 Contact(rnd)};
    if (!add(texts)) return false;
  }
  return true;
}

constexpr const char* kCreateTable =
    "CREATE TABLE acadclie (codigo VARCHAR(6), nome VARCHAR(50), cidade VARCHAR(35),"
    " fone VARCHAR(30), fax VARCHAR(30), contato VARCHAR(30));";

int Generate(const std::string& file, long long rows, std::uint64_t seed) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "gen_demo_db: cannot open %s: %s\n", file.c_str(), sqlite3_errmsg(db));
    sqlite3_close(db);
    return 1;
  }
  sqlite3_stmt* insert = nullptr;
  bool ok = Exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN; DROP TABLE IF EXISTS acadclie;") &&
            Exec(db, kCreateTable) &&
            sqlite3_prepare_v2(db, "INSERT INTO acadclie VALUES (?, ?, ?, ?, ?, ?)", -1, &insert, nullptr) == SQLITE_OK;
  ok = ok && EachRow(rows, seed, [&](const std::string(&texts)[6]) {
         for (int c = 0; c < 6; ++c)
           sqlite3_bind_text(insert, c + 1, texts[c].data(), static_cast<int>(texts[c].size()), SQLITE_TRANSIENT);
         const bool done = sqlite3_step(insert) == SQLITE_DONE;
         sqlite3_reset(insert);
         return done;
       });
  if (!ok) std::fprintf(stderr, "gen_demo_db: %s\n", sqlite3_errmsg(db));
  sqlite3_finalize(insert);
  ok = ok && Exec(db, "COMMIT;");
  sqlite3_close(db);
  return ok ? 0 : 1;
}

bool IsConnection(const std::string& target) {
  return target.find('=') != std::string::npos || target.rfind("postgresql://", 0) == 0 ||
         target.rfind("postgres://", 0) == 0;
}

bool PgCommand(PGconn* conn, const char* sql, ExecStatusType expected = PGRES_COMMAND_OK) {
  PGresult* r = PQexec(conn, sql);
  const bool ok = PQresultStatus(r) == expected;
  if (!ok) std::fprintf(stderr, "gen_demo_db: %s", PQresultErrorMessage(r));
  PQclear(r);
  return ok;
}

// Fills the table on a server in one transaction, the rows streamed with COPY.
int GeneratePg(const std::string& connection, long long rows, std::uint64_t seed) {
  PGconn* conn = PQconnectdb(connection.c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    std::fprintf(stderr, "gen_demo_db: cannot connect: %s", PQerrorMessage(conn));
    PQfinish(conn);
    return 1;
  }
  bool ok = PgCommand(conn, "SET client_encoding = 'UTF8'") && PgCommand(conn, "SET client_min_messages = warning") &&
            PgCommand(conn, "BEGIN") && PgCommand(conn, "DROP TABLE IF EXISTS acadclie") &&
            PgCommand(conn, kCreateTable) && PgCommand(conn, "COPY acadclie FROM STDIN", PGRES_COPY_IN);
  std::string line;
  ok = ok && EachRow(rows, seed, [&](const std::string(&texts)[6]) {
         line.clear();
         for (int c = 0; c < 6; ++c) {
           if (c) line += '\t';
           for (char ch : texts[c]) {
             if (ch == '\\' || ch == '\t' || ch == '\n' || ch == '\r') line += '\\';
             line += ch == '\t' ? 't' : ch == '\n' ? 'n' : ch == '\r' ? 'r' : ch;
           }
         }
         line += '\n';
         return PQputCopyData(conn, line.data(), static_cast<int>(line.size())) == 1;
       });
  if (PQputCopyEnd(conn, ok ? nullptr : "gen_demo_db stopped") != 1) ok = false;
  PGresult* copied = PQgetResult(conn);
  if (PQresultStatus(copied) != PGRES_COMMAND_OK) {
    if (ok) std::fprintf(stderr, "gen_demo_db: %s", PQresultErrorMessage(copied));
    ok = false;
  }
  PQclear(copied);
  while (PGresult* rest = PQgetResult(conn)) PQclear(rest);
  ok = ok && PgCommand(conn, "COMMIT");
  PQfinish(conn);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  long long rows = kDefaultRows, seed = 1;
  if (argc < 2 || argc > 4 || (argc > 2 && !ParseCount(argv[2], kMaxRows, rows)) ||
      (argc > 3 && !ParseCount(argv[3], INT64_MAX, seed))) {
    std::fprintf(stderr, "usage: gen_demo_db DBFILE|CONNECTION [ROWS (0..%lld, default %lld)] [SEED (default 1)]\n",
                 kMaxRows, kDefaultRows);
    return 2;
  }
  if (IsConnection(argv[1])) return GeneratePg(argv[1], rows, static_cast<std::uint64_t>(seed));
  const std::filesystem::path target = argv[1];
  std::error_code ec;
  if (std::filesystem::exists(target, ec)) return Generate(target.string(), rows, static_cast<std::uint64_t>(seed));
  // A new file appears only complete: build it aside, then rename.
  const std::filesystem::path part = target.string() + ".part";
  std::filesystem::remove(part, ec);
  const int rc = Generate(part.string(), rows, static_cast<std::uint64_t>(seed));
  if (rc == 0) std::filesystem::rename(part, target, ec);
  if (rc != 0 || ec) {
    if (ec) std::fprintf(stderr, "gen_demo_db: cannot create %s: %s\n", target.c_str(), ec.message().c_str());
    std::filesystem::remove(part, ec);
    return 1;
  }
  return 0;
}
