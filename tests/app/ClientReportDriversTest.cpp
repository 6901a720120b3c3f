// The dialog's report over the same demo clients in a SQLite file and on a PostgreSQL server.
#include "app/ClientReportSql.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "data/ClientDbFixture.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

constexpr int kDemoRows = 2000;

// Runs the demo data generator on a database file or a server.
void Generate(const std::string& target) {
  const std::string command = std::string("'") + RELCLIENTES_GEN_DEMO_DB + "' '" + target + "' " +
                              std::to_string(kDemoRows) + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class ReportOnDrivers : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(server_.Error(), "");
    InitializeUnits();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    ASSERT_NO_FATAL_FAILURE(Generate((dir_.path() / "veranto.db").string()));
    ASSERT_NO_FATAL_FAILURE(Generate(server_.Connection()));
    form_ = application_->CreateForm<TForm1>();
  }
  void TearDown() override {
    application_.reset();
    Session()->Close();
  }

  void UseDriver(querytest::Driver driver) {
    Session()->Close();
    enginetest::WriteFile(
        dir_.path() / "engine.cfg",
        driver == querytest::Driver::Sqlite
            ? "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" + (dir_.path() / "veranto.db").string() +
                  "\nLANGDRIVER=pt_BR\n"
            : "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nCONNECTION=" +
                  server_.Connection() + "\nLANGDRIVER=pt_BR\n");
  }

  void OpenReportQuery(const std::string& city) {
    form_->QRel->Close();
    form_->QRel->SQL().Clear();
    form_->QRel->SQL().Add(ClientReportStatement(city));
    form_->QRel->Open();
  }

  // The texts of every page, in order, without the date and time of the run.
  std::vector<std::vector<std::string>> PageTexts() {
    static const std::regex clock(R"(\d\d/\d\d/\d{4}|\d\d:\d\d(:\d\d)?)");
    std::vector<std::vector<std::string>> pages;
    TRLGraphicStorage& storage = form_->RLReport2->Pages();
    for (int i = 0; i < storage.PageCount(); ++i) {
      TRLPageRef page = storage.Pages(i);
      std::vector<std::string> texts;
      for (int k = 0; k < page->ObjectCount(); ++k)
        if (auto* t = dynamic_cast<const TRLTextObject*>(page->Objects(k)); t && !std::regex_match(t->Text(), clock))
          texts.push_back(t->Text());
      pages.push_back(std::move(texts));
    }
    return pages;
  }

  const enginetest::PgServer& server_ = enginetest::SharedPgServer();
  TempFolder dir_;
  ScopedEnv env_{"RELCLIENTES_ENGINE_CONFIG", (dir_.path() / "engine.cfg").string()};
  std::unique_ptr<TApplication> application_;
  TForm1* form_ = nullptr;
  std::vector<std::string> errors_;
};

TEST_F(ReportOnDrivers, TheSameRowsGiveTheSamePagesInTheSameCityOrder) {
  std::vector<std::vector<std::string>> pages[2];
  for (auto driver : {querytest::Driver::Sqlite, querytest::Driver::Postgres}) {
    UseDriver(driver);
    OpenReportQuery("");
    ASSERT_TRUE(form_->RLReport2->Prepare()) << (errors_.empty() ? "" : errors_.front());
    pages[static_cast<int>(driver)] = PageTexts();
  }
  ASSERT_GT(pages[0].size(), 20u);
  ASSERT_EQ(pages[0].size(), pages[1].size());
  // The statement orders by city and name only: clients of one city with the same name may come in either order,
  // so a page is compared as the texts it holds.
  int sameOrder = 0;
  for (size_t i = 0; i < pages[0].size(); ++i) {
    sameOrder += pages[0][i] == pages[1][i];
    std::sort(pages[0][i].begin(), pages[0][i].end());
    std::sort(pages[1][i].begin(), pages[1][i].end());
    EXPECT_EQ(pages[0][i], pages[1][i]) << "page " << i + 1;
  }
  EXPECT_GT(sameOrder, static_cast<int>(pages[0].size()) * 3 / 4);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ReportOnDrivers, AConnectionDroppedInTheMiddleEndsTheReportWithItsError) {
  UseDriver(querytest::Driver::Postgres);
  OpenReportQuery("");
  // The query holds its first rows; the rest are still on the server when it drops its clients.
  ASSERT_EQ(server_.DropClients(), "");
  EXPECT_FALSE(form_->RLReport2->Prepare());
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("The connection to the database server was lost."), std::string::npos) << errors_[0];
  EXPECT_NE(errors_[0].find("Alias: VERANTO"), std::string::npos) << errors_[0];
  // The next report connects again.
  errors_.clear();
  OpenReportQuery("Santos");
  EXPECT_TRUE(form_->RLReport2->Prepare()) << (errors_.empty() ? "" : errors_.front());
}

}  // namespace
