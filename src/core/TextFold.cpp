#include "core/TextFold.h"

#include <QChar>
#include <QString>

#include <array>

namespace {

// Latin letters and their accented forms come from a table; other characters are folded as they come.
constexpr char32_t kTableSize = 0x250;

char32_t FoldSlow(char32_t cp) {
  const QString decomposed = QString::fromUcs4(&cp, 1).normalized(QString::NormalizationForm_D);
  const std::u32string base = decomposed.toUpper().toStdU32String();
  return base.empty() ? cp : base.front();
}

const std::array<char32_t, kTableSize>& Table() {
  static const std::array<char32_t, kTableSize> table = [] {
    std::array<char32_t, kTableSize> t{};
    for (char32_t cp = 0; cp < kTableSize; ++cp)
      t[cp] = cp < 0x80 ? (cp >= 'a' && cp <= 'z' ? cp - 32 : cp) : FoldSlow(cp);
    return t;
  }();
  return table;
}

char32_t Fold(char32_t cp, const std::array<char32_t, kTableSize>& table) {
  return cp < kTableSize ? table[cp] : FoldSlow(cp);
}

// The next code point of a UTF-8 text; a byte that starts no valid sequence stands for itself.
char32_t Next(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
    ++i;
    return lead;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const unsigned char c = byte(i + static_cast<std::size_t>(k));
    if ((c & 0xC0) != 0x80) {
      ++i;
      return lead;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

// Whether the folded text starts with `folded` (and, when `whole`, ends there too).
bool Matches(std::string_view text, std::u32string_view folded, bool whole) {
  const auto& table = Table();
  std::size_t i = 0;
  for (char32_t want : folded) {
    if (i >= text.size()) return false;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t got;
    if (c < 0x80) {
      got = c >= 'a' && c <= 'z' ? c - 32 : c;
      ++i;
    } else {
      got = Fold(Next(text, i), table);
    }
    if (got != want) return false;
  }
  return !whole || i == text.size();
}

}  // namespace

std::u32string SearchFold(std::string_view text) {
  const auto& table = Table();
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) out.push_back(Fold(Next(text, i), table));
  return out;
}

bool FoldedStartsWith(std::string_view text, std::u32string_view folded) { return Matches(text, folded, false); }

bool FoldedEquals(std::string_view text, std::u32string_view folded) { return Matches(text, folded, true); }

int LocaleCompare(std::string_view a, std::string_view b) {
  const int result = QString::localeAwareCompare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                                                 QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

char32_t SearchFoldFirst(std::string_view text) {
  if (text.empty()) return 0;
  const unsigned char c = static_cast<unsigned char>(text[0]);
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  std::size_t i = 0;
  return Fold(Next(text, i), Table());
}
