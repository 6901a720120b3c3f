// Saved report files opened again, by the batch export (`--from`) and by the preview, with no database.
#include "app/BatchExport.h"
#include "app/OpenReportFile.h"
#include "app/Units.h"
#include "pages/RLMetaFile.h"
#include "widgets/Forms.h"

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kFixture = std::string(RELCLIENTES_TESTS_DIR) + "/pages/fixtures/two-pages.rpf";

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OpenReportFile : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits();
    StartIn("pt_BR.UTF-8");
  }

  // The program as started under LANG=`locale`: its texts are chosen when it starts.
  void StartIn(const char* locale) {
    application_.reset();
    language_.emplace("LANG", locale);
    application_ = MakeTestApplication();
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunBatchExport(args, out_, err_);
  }

  // No database and no configuration: a saved report needs neither.
  ScopedEnv config_{"RELCLIENTES_ENGINE_CONFIG", "/nonexistent/engine.cfg"};
  ScopedEnv all_{"LC_ALL", nullptr};
  ScopedEnv messages_{"LC_MESSAGES", nullptr};
  std::optional<ScopedEnv> language_;
  TempFolder folder_;
  std::unique_ptr<TApplication> application_;
  std::ostringstream out_, err_;
};

TEST_F(OpenReportFile, BatchExportWritesTheSavedPagesInEveryFormat) {
  EXPECT_EQ(Run({"--export", folder_.File("copy.rpf"), "--from", kFixture}), 0) << err_.str();
  EXPECT_EQ(Contents(folder_.File("copy.rpf")), Contents(kFixture));

  EXPECT_EQ(Run({"--from", kFixture, "--export", folder_.File("copy.pdf")}), 0) << err_.str();
  EXPECT_EQ(Contents(folder_.File("copy.pdf")).substr(0, 4), "%PDF");

  EXPECT_EQ(Run({"--export", folder_.File("copy.png"), "--from", kFixture}), 0) << err_.str();
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"copy.pdf", "copy.rpf", "copy1.png", "copy2.png"}));
  EXPECT_NE(out_.str().find("2 página(s)"), std::string::npos) << out_.str();
}

// A saved page whose polygon runs to the end of the coordinate range exports as an image of the page's size.
TEST_F(OpenReportFile, APageWithAnExtremePointExportsItsVisiblePart) {
  TRLGraphicStorage storage;
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(60);
  page->SetHeight(40);
  auto* polygon = new TRLPolygonObject(page.get());
  polygon->SetPoints({{10, 10}, {0x7fffffff, 10}, {10, 30}});
  storage.Add(std::move(page));
  storage.SaveToFile(folder_.File("mutant.rpf"));

  ASSERT_EQ(Run({"--export", folder_.File("mutant.png"), "--from", folder_.File("mutant.rpf")}), 0) << err_.str();
  QImage image(QString::fromStdString(folder_.File("mutant1.png")));
  ASSERT_FALSE(image.isNull());
  const double zoom = image.width() / 60.0;
  auto at = [&](int x, int y) { return image.pixel(static_cast<int>(x * zoom), static_cast<int>(y * zoom)); };
  EXPECT_EQ(at(40, 10), qRgb(0, 0, 0));
  EXPECT_EQ(at(10, 20), qRgb(0, 0, 0));
  EXPECT_EQ(at(40, 5), qRgb(255, 255, 255));
}

TEST_F(OpenReportFile, FilesThatAreNoSoundReportAreRefusedInTheUsersLanguage) {
  const std::string fixture = Contents(kFixture);
  std::ofstream(folder_.File("old.rpf"), std::ios::binary) << "RLGraphicStorage2\x1A" << fixture.substr(18);
  std::ofstream(folder_.File("cut.rpf"), std::ios::binary) << fixture.substr(0, fixture.size() - 7);
  std::ofstream(folder_.File("notes.rpf"), std::ios::binary) << "some notes";
  struct Case {
    std::string file;
    const char* portuguese;
    const char* english;
  };
  const Case cases[] = {
      {folder_.File("old.rpf"), "da versão 2 do formato", "of version 2 of the format"},
      {folder_.File("cut.rpf"), "está incompleto", "is incomplete"},
      {folder_.File("notes.rpf"), "não é um arquivo de relatório", "is not a report file"},
      {folder_.File("missing.rpf"), "não foi possível ler", "cannot read"},
  };
  for (const Case& k : cases) {
    for (const char* lang : {"pt_BR.UTF-8", "C"}) {
      StartIn(lang);
      const std::string expected = std::string(lang)[0] == 'p' ? k.portuguese : k.english;
      EXPECT_EQ(Run({"--export", folder_.File("out.pdf"), "--from", k.file}), 1) << k.file;
      EXPECT_NE(err_.str().find(expected), std::string::npos) << err_.str();
      EXPECT_NE(err_.str().find(k.file), std::string::npos) << err_.str();
      EXPECT_FALSE(fs::exists(folder_.File("out.pdf"))) << k.file;
    }
  }
  EXPECT_EQ(Run({"--export", folder_.File("out.pdf"), "--from", kFixture, "--city", "Belém"}), 2);
}

TEST_F(OpenReportFile, ThePreviewOfAFileThatCannotBeOpenedIsAMessageAndAnExitCode) {
  std::ofstream(folder_.File("notes.rpf"), std::ios::binary) << "some notes";
  std::vector<std::string> boxes;
  const TMessageBoxHandler previous =
      SetMessageBoxHandler([&](const std::string& text, const std::string&, TMsgDlgType) { boxes.push_back(text); });
  std::ostringstream err;
  EXPECT_EQ(PreviewReportFile(folder_.File("notes.rpf"), err), 1);
  SetMessageBoxHandler(previous);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("não é um arquivo de relatório"), std::string::npos) << boxes[0];
  EXPECT_NE(err.str().find(boxes[0]), std::string::npos) << err.str();

  EXPECT_TRUE(IsReportFileCommandLine({"clientes.rpf"}));
  EXPECT_FALSE(IsReportFileCommandLine({"--export", "a.pdf"}));
  EXPECT_FALSE(IsReportFileCommandLine({}));
}

// Names from outside in what the terminal shows come out escaped; a message box, no terminal, shows them as they are.
TEST_F(OpenReportFile, NamesOnTheTerminalAreShownEscaped) {
  const std::string title = "\x1b]0;PWNED\x07", escaped = "\\x1B]0;PWNED\\x07";
  auto raw_controls = [](const std::string& shown) {
    return std::count_if(shown.begin(), shown.end(),
                         [](unsigned char ch) { return (ch < 0x20 && ch != '\n') || ch == 0x7f; });
  };
  const std::string saved = folder_.File("saved" + title + ".rpf"), target = folder_.File("out" + title + ".pdf");
  fs::copy_file(kFixture, saved);
  EXPECT_EQ(Run({"--export", target, "--from", saved}), 0) << err_.str();
  EXPECT_NE(out_.str().find(escaped), std::string::npos) << out_.str();
  EXPECT_EQ(raw_controls(out_.str()), 0) << out_.str();

  EXPECT_EQ(Run({"--export", target, "--from", folder_.File("missing" + title + ".rpf")}), 1);
  EXPECT_NE(err_.str().find(escaped), std::string::npos) << err_.str();
  EXPECT_EQ(raw_controls(err_.str()), 0) << err_.str();

  std::ofstream(folder_.File("notes" + title + ".rpf"), std::ios::binary) << "some notes";
  std::vector<std::string> boxes;
  const TMessageBoxHandler previous =
      SetMessageBoxHandler([&](const std::string& text, const std::string&, TMsgDlgType) { boxes.push_back(text); });
  std::ostringstream err;
  EXPECT_EQ(PreviewReportFile(folder_.File("notes" + title + ".rpf"), err), 1);
  SetMessageBoxHandler(previous);
  EXPECT_NE(err.str().find(escaped), std::string::npos) << err.str();
  EXPECT_EQ(raw_controls(err.str()), 0) << err.str();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(title), std::string::npos) << boxes[0];
}

}  // namespace
