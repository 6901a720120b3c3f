#include "core/SafeFile.h"
#include "core/Translation.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace {

TEST(Translation, TheLanguageComesFromTheLocalesFirstPart) {
  const std::pair<const char*, const char*> cases[] = {
      {"pt_BR.UTF-8", "pt"}, {"PT_pt", "pt"}, {"es_ES@euro", "es"}, {"fr-CA", "fr"},
      {"de_DE.UTF-8", "en"}, {"C", "en"},     {"", "en"},           {"portuguese", "en"},
  };
  for (auto [locale, language] : cases) EXPECT_EQ(TranslationLanguage(locale), language) << locale;
}

// Our catalogue and Qt's own are both built in or found for each language, and go away with their object.
TEST(Translation, EachLanguageTranslatesOurTextsAndQtsWhileInstalled) {
  struct Case {
    const char* locale;
    const char* ours;
    const char* qts;
  };
  const Case cases[] = {
      {"pt_BR.UTF-8", "Não foi possível gravar o arquivo \"%s\": %s", "Cancelar"},
      {"es_ES.UTF-8", "No se puede escribir el archivo \"%s\": %s", "Cancelar"},
      {"fr_FR.UTF-8", "Impossible d'écrire le fichier \"%s\" : %s", "Annuler"},
  };
  const char* const ours = "Cannot write file \"%s\": %s";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    {
      TTranslations translations(c.locale);
      EXPECT_TRUE(translations.HasOwnCatalogue());
      EXPECT_EQ(Translate("core", ours), c.ours);
      EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), c.qts);
    }
    EXPECT_EQ(Translate("core", ours), ours);
  }
  TTranslations english("en_US.UTF-8");
  EXPECT_TRUE(english.HasOwnCatalogue());
  EXPECT_EQ(Translate("core", ours), ours);
}

TEST(Translation, AFileThatCannotBeCreatedIsToldInPortuguese) {
  TempFolder folder;
  TTranslations portuguese("pt_BR.UTF-8");
  try {
    TSafeFile file((folder.path() / "missing" / "r.pdf").string());
    FAIL() << "created a file in a missing folder";
  } catch (const EFileWriteError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Não foi possível criar o arquivo \"", 0), 0u) << error.what();
  }
}

}  // namespace
