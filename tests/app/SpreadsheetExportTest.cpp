// The client report of 10,000 demo clients exported as .xlsx and .csv from the command line, and read back by other
// programs' readers (Python's openpyxl and csv module): every client, in the report's order, with its values.
#include "app/BatchExport.h"
#include "app/ClientReportSql.h"
#include "app/Units.h"
#include "data/DBTables.h"
#include "engine/EngineFixture.h"

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kClients = 10000;

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[1 << 16];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

// A reader's rows as lines: cells joined by a tab, tabs and line breaks inside them escaped; a missing cell as "".
const char* const kPrintRows =
    "def line(cells):\n"
    "    return '\\t'.join('' if c is None else str(c).replace('\\\\', '\\\\\\\\').replace('\\t', '\\\\t')"
    ".replace('\\n', '\\\\n').replace('\\r', '\\\\r') for c in cells)\n";

class SpreadsheetExport : public testing::Test {
protected:
  void SetUp() override {
    const std::string db = (dir_.path() / "veranto.db").string();
    const std::string command = std::string("'") + RELCLIENTES_GEN_DEMO_DB + "' '" + db + "' " +
                                std::to_string(kClients) + " 1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    enginetest::WriteFile(dir_.path() / "engine.cfg",
                          "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" + db + "\nLANGDRIVER=pt_BR\n");
    InitializeUnits();
    application_ = MakeTestApplication();
  }
  void TearDown() override {
    application_.reset();
    Session()->Close();
  }

  // The clients as the report lists them (its own query, in its order), as the readers' lines.
  std::vector<std::string> Expected() {
    TComponent owner(nullptr);
    auto* query = new TQuery(&owner);
    query->SetDatabaseName("VERANTO");
    query->SQL().Add(ClientReportStatement(""));
    query->Open();
    std::vector<std::string> lines;
    for (; !query->Eof(); query->Next()) {
      std::string line = query->FieldByName("cidade")->DisplayText();
      for (const char* field : {"codigo", "nome", "fone", "fax", "contato"}) {
        line += '\t' + query->FieldByName(field)->DisplayText();
      }
      lines.push_back(line);
    }
    query->Close();
    return lines;
  }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempFolder dir_;
  ScopedEnv config_{"RELCLIENTES_ENGINE_CONFIG", (dir_.path() / "engine.cfg").string()};
  std::unique_ptr<TApplication> application_;
};

TEST_F(SpreadsheetExport, TenThousandClientsComeBackFromTheWorkbookAndTheTextInTheReportsOrder) {
  const fs::path xlsx = dir_.path() / "clientes.xlsx", csv = dir_.path() / "clientes.csv";
  std::ostringstream out, err;
  ASSERT_EQ(RunBatchExport({"--export", xlsx.string()}, out, err), 0) << err.str();
  ASSERT_EQ(RunBatchExport({"--export", csv.string()}, out, err), 0) << err.str();
  const std::vector<std::string> expected = Expected();
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(kClients));
  const std::string titles = "Cidade\tCodigo\tNome\tTelefone\tFax\tContato";

  const fs::path read_xlsx = dir_.path() / "read_xlsx.py";
  std::ofstream(read_xlsx) << kPrintRows
                           << "import openpyxl\n"
                              "ws = openpyxl.load_workbook('"
                           << xlsx.string()
                           << "', read_only=True).active\n"
                              "for row in ws.iter_rows(values_only=True):\n"
                              "    print(line(row))\n";
  std::vector<std::string> from_xlsx = Lines(Output("/usr/bin/python3 '" + read_xlsx.string() + "'"));
  ASSERT_EQ(from_xlsx.size(), expected.size() + 1);
  EXPECT_EQ(from_xlsx.front(), titles);
  from_xlsx.erase(from_xlsx.begin());
  EXPECT_EQ(from_xlsx, expected);

  // The csv module reads it as a spreadsheet would: a BOM, ";" and RFC 4180 quoting.
  const fs::path read_csv = dir_.path() / "read_csv.py";
  std::ofstream(read_csv) << kPrintRows
                          << "import csv\n"
                             "with open('"
                          << csv.string()
                          << "', newline='', encoding='utf-8-sig') as f:\n"
                             "    for row in csv.reader(f, delimiter=';'):\n"
                             "        print(line(row))\n";
  std::vector<std::string> from_csv = Lines(Output("/usr/bin/python3 '" + read_csv.string() + "'"));
  ASSERT_EQ(from_csv.size(), expected.size() + 1);
  EXPECT_EQ(from_csv.front(), titles);
  from_csv.erase(from_csv.begin());
  EXPECT_EQ(from_csv, expected);
}

}  // namespace
