#include "demo/DemoClients.h"

#include <cstdio>
#include <string_view>

namespace demo {

namespace {

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

}  // namespace

bool EachClient(long long rows, std::uint64_t seed, const std::function<bool(const ClientRow&)>& add) {
  Random rnd(seed);
  for (long long k = 0; k < rows; ++k) {
    const City& city = PickCity(rnd);
    const ClientRow row = {Code(k),
                           CompanyName(rnd),
                           city.name,
                           Phone(rnd, city.ddd),
                           rnd.Below(10) < 4 ? std::string() : Phone(rnd, city.ddd),
                           Contact(rnd)};
    if (!add(row)) return false;
  }
  return true;
}

}  // namespace demo
