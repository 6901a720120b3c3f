#include "core/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>

std::string Translate(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).toStdString();
}

std::string UserLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return {};
}

std::string TranslationLanguage(const std::string& localeName) {
  std::string language = localeName.substr(0, localeName.find_first_of("_.@-"));
  for (char& c : language) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (language == "pt" || language == "es" || language == "fr") return language;
  return "en";
}

namespace {

// The kinds of entry that Qt's file chooser names in its Type column. Qt's own catalogues of some languages
// (Portuguese, Spanish, French in the Debian packages) lack them, and the chooser said "Folder" among Portuguese
// texts; ours, searched first, carry them.
[[maybe_unused]] constexpr const char* kFileChooserTypeNames[] = {
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Folder"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "File"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Drive"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Unknown"),
};

// A translator installed in the application when `load` finds its catalogue; none otherwise.
template <typename Load>
std::unique_ptr<QTranslator> Installed(Load load) {
  auto translator = std::make_unique<QTranslator>();
  if (!load(*translator) || !QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace

TTranslations::TTranslations() : TTranslations(UserLocaleName()) {}

TTranslations::TTranslations(const std::string& localeName) {
  const std::string bare = localeName.substr(0, localeName.find_first_of(".@"));
  const QLocale locale(QString::fromStdString(bare.empty() ? "C" : bare));
  qt_ = Installed([&](QTranslator& translator) {
    return translator.load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  });
  const std::string language = TranslationLanguage(localeName);
  if (language == "en") {
    own_found_ = true;
    return;
  }
  own_ = Installed([&](QTranslator& translator) {
    return translator.load(QString::fromStdString(":/translations/relclientes_" + language));
  });
  own_found_ = own_ != nullptr;
}

TTranslations::~TTranslations() {
  if (own_) QCoreApplication::removeTranslator(own_.get());
  if (qt_) QCoreApplication::removeTranslator(qt_.get());
}
