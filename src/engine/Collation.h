#pragma once
// Text ordering for a language, used by SQLite as the collation of every ORDER BY / GROUP BY term.
//
// With the language's locale installed, the C library's collation of that locale decides; without it (or for the
// C / POSIX locales, whose order is the byte order) the engine's own Latin ordering decides: letters compare without
// accents and case first, then by accent, then by case. Either way a tie is broken by comparing the bytes, so only
// identical texts compare equal and values that differ in case or accent stay distinct in GROUP BY.

#include <locale.h>

#include <string>
#include <string_view>

namespace engine {

class TextCollator {
public:
  // `language` names a locale such as "pt_BR" or "pt_BR.UTF-8"; empty means the user's locale.
  explicit TextCollator(std::string_view language);
  ~TextCollator();
  TextCollator(const TextCollator&) = delete;
  TextCollator& operator=(const TextCollator&) = delete;

  int Compare(std::string_view a, std::string_view b) const;

  bool UsesSystemLocale() const { return locale_ != nullptr; }
  const std::string& Language() const { return language_; }
  const std::string& LocaleName() const { return localeName_; }

  // The engine's own ordering, used when the locale is not available.
  static int FallbackCompare(std::string_view a, std::string_view b);

  // The user's locale from LC_ALL, LC_COLLATE or LANG, in that order; empty when none is set.
  static std::string UserLanguage();

private:
  std::string language_;
  std::string localeName_;  // the locale actually loaded; empty with the fallback
  locale_t locale_ = nullptr;
};

// Whether a text is well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUtf8(std::string_view text);

}  // namespace engine
