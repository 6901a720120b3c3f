#include "engine/Collation.h"

#include <langinfo.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace engine {

namespace {

// Base letters of U+00C0..U+00FF and U+0100..U+017F; '*' marks a code point that is not a letter.
constexpr std::string_view kLatin1Base = "aaaaaaaceeeeiiiidnooooo*ouuuuytsaaaaaaaceeeeiiiidnooooo*ouuuuyty";
constexpr std::string_view kLatinExtABase =
    "aaaaaaccccccccdd"
    "ddeeeeeeeeeegggg"
    "gggghhhhiiiiiiii"
    "iiiijjkkklllllll"
    "lllnnnnnnnnnoooo"
    "oooorrrrrrssssss"
    "ssttttttuuuuuuuu"
    "uuuuwwyyyzzzzzzs";

static_assert(kLatin1Base.size() == 64);
static_assert(kLatinExtABase.size() == 128);

bool IsUpperExtA(char32_t cp) {
  if (cp >= 0x100 && cp <= 0x137) return cp % 2 == 0;
  if (cp >= 0x139 && cp <= 0x148) return cp % 2 == 1;
  if (cp >= 0x14A && cp <= 0x177) return cp % 2 == 0;
  if (cp == 0x178) return true;
  if (cp >= 0x179 && cp <= 0x17E) return cp % 2 == 1;
  return false;
}

struct Weights {
  std::uint32_t primary;
  std::uint32_t secondary;  // 0 without accent
  std::uint32_t tertiary;   // 0 lower case or caseless, 1 upper case
};

Weights ComputeWeights(char32_t cp) {
  if (cp < 0x80) {
    if (cp >= 'a' && cp <= 'z') return {0x3000 + (cp - 'a') * 4, 0, 0};
    if (cp >= 'A' && cp <= 'Z') return {0x3000 + (cp - 'A') * 4, 0, 1};
    if (cp >= '0' && cp <= '9') return {0x2000 + cp, 0, 0};
    return {0x1000 + cp, 0, 0};
  }
  if (cp >= 0xC0 && cp <= 0xFF && kLatin1Base[cp - 0xC0] != '*') {
    const bool upper = cp <= 0xDE;
    const char32_t lower = upper ? cp + 0x20 : cp;
    return {0x3000 + static_cast<std::uint32_t>(kLatin1Base[cp - 0xC0] - 'a') * 4, lower, upper ? 1u : 0u};
  }
  if (cp >= 0x100 && cp <= 0x17F) {
    const bool upper = IsUpperExtA(cp);
    return {0x3000 + static_cast<std::uint32_t>(kLatinExtABase[cp - 0x100] - 'a') * 4, upper ? cp + 1 : cp,
            upper ? 1u : 0u};
  }
  return {0x10000 + cp, 0, 0};
}

constexpr char32_t kTableSize = 0x180;

struct WeightTable {
  Weights w[kTableSize];
  WeightTable() {
    for (char32_t cp = 0; cp < kTableSize; ++cp) w[cp] = ComputeWeights(cp);
  }
};

inline Weights WeightsOf(char32_t cp) {
  static const WeightTable table;
  return cp < kTableSize ? table.w[cp] : ComputeWeights(cp);
}

// Decodes one code point; an ill-formed byte decodes alone to a value past every code point.
char32_t Decode(std::string_view s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  const auto cont = [&](size_t k) { return k < s.size() && (b(k) & 0xC0) == 0x80; };
  if (c < 0x80) {
    ++i;
    return c;
  }
  if (c >= 0xC2 && c <= 0xDF && cont(i + 1)) {
    const char32_t cp = ((c & 0x1F) << 6) | (b(i + 1) & 0x3F);
    i += 2;
    return cp;
  }
  if (c >= 0xE0 && c <= 0xEF && cont(i + 1) && cont(i + 2)) {
    const char32_t cp = ((c & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
    if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
      i += 3;
      return cp;
    }
  }
  if (c >= 0xF0 && c <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
    const char32_t cp = ((c & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) | (b(i + 3) & 0x3F);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      i += 4;
      return cp;
    }
  }
  ++i;
  return 0x110000 + c;
}

template <typename Level>
int CompareLevel(std::string_view a, std::string_view b, Level level) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::uint32_t wa = level(WeightsOf(Decode(a, i)));
    const std::uint32_t wb = level(WeightsOf(Decode(b, j)));
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool IsByteOrderLocale(std::string_view name) {
  const std::string_view base = name.substr(0, name.find_first_of(".@"));
  return base.empty() || base == "C" || base == "POSIX";
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  // Texts are mostly ASCII: plain bytes are skipped eight at a time, or one at a time near the end, and only the
  // others are decoded.
  size_t i = 0;
  while (i < text.size()) {
    if (std::uint64_t word; i + 8 <= text.size()) {
      std::memcpy(&word, text.data() + i, 8);
      if (!(word & 0x8080808080808080ull)) {
        i += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) ++i;
    else if (Decode(text, i) >= 0x110000) return false;
  }
  return true;
}

int TextCollator::FallbackCompare(std::string_view a, std::string_view b) {
  if (a == b) return 0;
  // Plain ASCII letters and digits decide most comparisons before any accent is met.
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca >= 0x80 || cb >= 0x80) break;
    const std::uint32_t wa = WeightsOf(ca).primary, wb = WeightsOf(cb).primary;
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (int c = CompareLevel(a, b, [](const Weights& w) { return w.primary; })) return c;
  if (int c = CompareLevel(a, b, [](const Weights& w) { return w.secondary; })) return c;
  if (int c = CompareLevel(a, b, [](const Weights& w) { return w.tertiary; })) return c;
  return CompareBytes(a, b);
}

std::string TextCollator::UserLanguage() {
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return {};
}

TextCollator::TextCollator(std::string_view language) : language_(language) {
  const std::string wanted = language_.empty() ? UserLanguage() : language_;
  if (IsByteOrderLocale(wanted)) return;
  const std::string base = wanted.substr(0, wanted.find_first_of(".@"));
  std::vector<std::string> candidates{wanted};
  if (base != wanted) candidates.push_back(base);
  candidates.push_back(base + ".UTF-8");
  candidates.push_back(base + ".utf8");
  for (const auto& name : candidates) {
    locale_t loc = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (!loc) continue;
    // The texts are UTF-8; a locale of another character set would order their bytes wrongly.
    const char* codeset = nl_langinfo_l(CODESET, loc);
    if (codeset && std::string_view(codeset) == "UTF-8") {
      locale_ = loc;
      localeName_ = name;
      return;
    }
    freelocale(loc);
  }
}

TextCollator::~TextCollator() {
  if (locale_) freelocale(locale_);
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
  if (a == b) return 0;
  if (!locale_ || !IsValidUtf8(a) || !IsValidUtf8(b)) return FallbackCompare(a, b);
  // strcoll_l wants terminated texts; short ones, most of them, are copied on the stack.
  constexpr size_t kShort = 256;
  char sa[kShort], sb[kShort];
  thread_local std::string za, zb;
  const auto terminated = [](std::string_view text, char* buffer, std::string& spill) -> const char* {
    if (text.size() < kShort) {
      std::memcpy(buffer, text.data(), text.size());
      buffer[text.size()] = '\0';
      return buffer;
    }
    spill.assign(text);
    return spill.c_str();
  };
  const int c = strcoll_l(terminated(a, sa, za), terminated(b, sb, zb), locale_);
  if (c != 0) return c < 0 ? -1 : 1;
  return CompareBytes(a, b);
}

}  // namespace engine
