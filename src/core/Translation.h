#pragma once
// Our own texts in the user's language, from the Qt Linguist catalogues of translations/ (compiled in).
//
// Every text a user can see goes through Translate, with its module's name as the context:
//   throw EFileWriteError(Format(Translate("core", "Cannot create file \"%s\": %s"), {name, reason}));
// Code with Qt at hand may call QCoreApplication::translate("<module>", "...") instead: it is the same lookup.
// scripts/update-translations collects both into the catalogues; the database engine, which has no Qt, marks its
// texts with ENGINE_TRANSLATABLE and the layer that shows them translates them.

#include <memory>
#include <string>

class QTranslator;

// The text in the user's language (UTF-8); the text itself where the catalogue has no translation.
std::string Translate(const char* context, const char* text);

// The locale that chooses the language of our texts: the first non-empty of LC_ALL, LC_MESSAGES and LANG.
std::string UserLocaleName();
// The language of our texts for a locale name such as "pt_BR.UTF-8": "pt", "es", "fr", or "en" for any other.
std::string TranslationLanguage(const std::string& localeName);

// Qt's own translations (file choosers, page setup, message boxes' buttons) for a locale and ours for its
// language, installed in the application while the object lives.
class TTranslations {
public:
  // For the user's locale (UserLocaleName()).
  TTranslations();
  explicit TTranslations(const std::string& localeName);
  ~TTranslations();
  TTranslations(const TTranslations&) = delete;
  TTranslations& operator=(const TTranslations&) = delete;

  // Whether our catalogue for the language was found (English needs none and gives true).
  bool HasOwnCatalogue() const { return own_found_; }

private:
  std::unique_ptr<QTranslator> qt_;
  std::unique_ptr<QTranslator> own_;
  bool own_found_ = false;
};
