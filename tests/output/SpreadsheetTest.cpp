// The report's data as a spreadsheet: the columns and rows a report run records, their types, and the .xlsx and
// .csv files the two save filters write from them.
#include "output/RLSpreadsheetFilters.h"

#include "core/Definitions.h"
#include "core/ScopeGuard.h"
#include "data/MemDataSet.h"
#include "output/RLOutputRegistration.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"
#include "widgets/Threads.h"

#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using Table = std::vector<std::vector<std::string>>;

// The in-memory dataset with typed columns: numbers and dates are handed over as the engine hands them, doubles
// (days since 30 December 1899 for dates).
class TTypedDataSet : public TMemDataSet {
public:
  using TMemDataSet::TMemDataSet;
  bool GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) override {
    const TFieldType type = field->DataType();
    if (!nativeFormat || (type != ftFloat && type != ftDate && type != ftDateTime && type != ftTime)) {
      return TMemDataSet::GetFieldData(field, buffer, size, nativeFormat);
    }
    const auto& row = rows.at(static_cast<std::size_t>(CurrentRow()));
    const auto& text = row.at(static_cast<std::size_t>(field->FieldNo() - 1));
    if (!text) return false;
    if (buffer) {
      double value = 0;
      std::from_chars(text->data(), text->data() + text->size(), value);
      std::memcpy(buffer, &value, sizeof value);
    }
    return true;
  }
};

// Sales by state and city: two nested groups whose headers carry the state and the city, the column titles in the
// inner group's header and one, "Emissão", only in the report's column header band, above the date.
constexpr const char* kNestedGroups = R"(TForm Form1 {
  TRLReport RLReport1 {
    DataSource: DS
    TRLBand Titulos {
      BandType: btColumnHeader
      Height: 40
      TRLLabel LPagina {
        Left: 10
        Top: 2
        Width: 300
        AutoSize: false
        Caption: "Vendas por estado e cidade"
      }
      TRLLabel LEmissao {
        Left: 400
        Top: 20
        Width: 60
        AutoSize: false
        Caption: "Emissão"
      }
    }
    TRLGroup GUf {
      DataFields: "uf"
      TRLBand CabUf {
        BandType: btHeader
        TRLLabel LUf {
          Left: 10
          Top: 2
          Width: 35
          AutoSize: false
          Caption: "Estado"
        }
        TRLDBText TUf {
          Left: 50
          Top: 2
          Width: 40
          AutoSize: false
          DataField: "uf"
          DataSource: DS
        }
      }
      TRLGroup GCidade {
        DataFields: "cidade"
        TRLBand CabCidade {
          BandType: btHeader
          Height: 40
          TRLDBText TCidade {
            Left: 60
            Top: 2
            Width: 100
            AutoSize: false
            DataField: "cidade"
            DataSource: DS
          }
          TRLLabel LCodigo {
            Left: 10
            Top: 20
            Width: 40
            AutoSize: false
            Caption: "Código"
          }
          TRLLabel LNome {
            Left: 60
            Top: 20
            Width: 40
            AutoSize: false
            Caption: "Nome"
          }
          TRLLabel LValor {
            Left: 300
            Top: 20
            Width: 60
            AutoSize: false
            Caption: "Valor"
          }
        }
        TRLBand Detalhe {
          TRLDBText TNome {
            Left: 60
            Top: 1
            Width: 60
            AutoSize: false
            DataField: "nome"
            DataSource: DS
          }
          TRLDBText TCodigo {
            Left: 10
            Top: 1
            Width: 45
            AutoSize: false
            DataField: "codigo"
            DataSource: DS
          }
          TRLDBText TValor {
            Left: 300
            Top: 1
            Width: 60
            AutoSize: false
            DataField: "valor"
            DataSource: DS
          }
          TRLDBText TData {
            Left: 400
            Top: 1
            Width: 80
            AutoSize: false
            DataField: "data"
            DataSource: DS
          }
        }
      }
    }
  }
}
)";

// No groups, two detail bands printed for every record (the client and a note under it), a page footer with the
// page number; the note has no title above it.
constexpr const char* kTwoDetails = R"(TForm Form1 {
  TRLReport RLReport1 {
    DataSource: DS
    TRLBand Titulos {
      BandType: btColumnHeader
      TRLLabel LCodigo {
        Left: 10
        Top: 1
        Width: 40
        AutoSize: false
        Caption: "Código"
      }
      TRLLabel LNome {
        Left: 60
        Top: 1
        Width: 40
        AutoSize: false
        Caption: "Nome"
      }
    }
    TRLBand Cliente {
      Height: 50
      TRLDBText TCodigo {
        Left: 10
        Top: 1
        Width: 45
        AutoSize: false
        DataField: "codigo"
        DataSource: DS
      }
      TRLDBText TNome {
        Left: 60
        Top: 1
        Width: 200
        AutoSize: false
        DataField: "nome"
        DataSource: DS
      }
    }
    TRLBand Nota {
      Height: 50
      TRLDBText TNota {
        Left: 300
        Top: 1
        Width: 200
        AutoSize: false
        DataField: "nota"
        DataSource: DS
      }
    }
    TRLBand Rodape {
      BandType: btFooter
      TRLSystemInfo Pagina {
        Left: 10
        Top: 1
        Info: itPageNumber
      }
    }
  }
}
)";

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs a command and gives what it printed.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

class Spreadsheet : public testing::Test {
protected:
  void SetUp() override {
    application_ = MakeTestApplication();
    RegisterOutputClasses();
    data_ = new TTypedDataSet(&form_);
    data_->SetName("QRel");
    auto* source = new TDataSource(&form_);
    source->SetName("DS");
    source->SetDataSet(data_);
  }
  void TearDown() override { FinishBackgroundOutput(false); }

  // Reads the definition, opens the data and runs the report.
  TRLReport& Run(const char* definition, std::vector<TMemDataSet::Column> columns, std::vector<TMemDataSet::Row> rows) {
    data_->columns = std::move(columns);
    data_->rows = std::move(rows);
    ReadDefinition(form_, definition);
    data_->Open();
    auto* report = dynamic_cast<TRLReport*>(form_.FindComponent("RLReport1"));
    report->SetShowProgress(false);
    EXPECT_TRUE(report->Prepare()) << report->PrepareErrorText();
    return *report;
  }

  // The title row and the rows of the report's table, each cell as the .csv file writes it.
  static Table Recorded(TRLReport& report) {
    std::shared_ptr<TRLDataTable> table = report.Pages().DataTable();
    Table result{table->Titles()};
    TRLDataTable::TReader reader(*table);
    for (TRLTableRow row; reader.Next(row);) {
      std::vector<std::string> cells;
      for (const TRLTableCell& cell : row.Cells) cells.push_back(CsvField(cell));
      result.push_back(cells);
    }
    return result;
  }

  static void Save(TRLCustomSaveFilter& filter, TRLGraphicStorage& pages, const fs::path& file, int first = 1,
                   int last = -1) {
    filter.SetShowProgress(false);
    filter.SetFileName(file.string());
    filter.Run(pages, first, false, last);
  }

  std::unique_ptr<TApplication> application_;
  TForm form_{nullptr};
  TTypedDataSet* data_;
  TempFolder folder_;
};

const std::vector<TMemDataSet::Column> kSalesColumns = {{"uf", ftString, 2},     {"cidade", ftString, 30},
                                                        {"codigo", ftString, 6}, {"nome", ftString, 60},
                                                        {"valor", ftFloat, 0},   {"data", ftDate, 0}};
const std::vector<TMemDataSet::Row> kSales = {
    {"SP", "Santos", "007", "=HYPERLINK(\"http://x\")", "1234.5", "45000"},
    {"SP", "Santos", "010", "Bar; \"Zé\"\nfilial", "-2", "45001"},
    {"SP", "São Paulo", "001", "Padaria", "0.25", std::nullopt},
    {"RJ", "Rio", "002", "+55 loja", "3", "45002"},
};

TEST_F(Spreadsheet, NestedGroupsLeadEveryRowAndTitlesComeFromTheLabelsAbove) {
  TRLReport& report = Run(kNestedGroups, kSalesColumns, kSales);
  const Table expected = {
      {"Estado", "cidade", "Código", "Nome", "Valor", "Emissão"},
      {"SP", "Santos", "007", "\"'=HYPERLINK(\"\"http://x\"\")\"", "1234,5", "15/03/2023"},
      {"SP", "Santos", "010", "\"Bar; \"\"Zé\"\"\nfilial\"", "-2", "16/03/2023"},
      {"SP", "São Paulo", "001", "Padaria", "0,25", ""},
      {"RJ", "Rio", "002", "'+55 loja", "3", "17/03/2023"},
  };
  EXPECT_EQ(Recorded(report), expected);
}

TEST_F(Spreadsheet, TwoDetailBandsFillTheirOwnColumnsAndPageFurnitureStaysOut) {
  std::vector<TMemDataSet::Row> rows;
  for (int i = 1; i <= 30; ++i)
    rows.push_back({std::to_string(i), "Cliente " + std::to_string(i), "nota " + std::to_string(i)});
  TRLReport& report = Run(kTwoDetails, {{"codigo", ftString, 6}, {"nome", ftString, 30}, {"nota", ftString, 30}}, rows);
  ASSERT_GT(report.Pages().PageCount(), 2) << "the rows span pages, each with its footer";
  const Table table = Recorded(report);
  ASSERT_EQ(table.size(), 61u);
  EXPECT_EQ(table[0], (std::vector<std::string>{"Código", "Nome", "nota"}));
  EXPECT_EQ(table[1], (std::vector<std::string>{"1", "Cliente 1", ""}));
  EXPECT_EQ(table[2], (std::vector<std::string>{"", "", "nota 1"}));
  EXPECT_EQ(table[60], (std::vector<std::string>{"", "", "nota 30"}));

  // A page range takes the rows printed on those pages only.
  Save(CSVFilter(), report.Pages(), folder_.path() / "p2.csv", 2, 2);
  int on_page_2 = 0;
  TRLDataTable::TReader reader(*report.Pages().DataTable());
  for (TRLTableRow row; reader.Next(row);) on_page_2 += row.PageIndex == 1;
  ASSERT_GT(on_page_2, 0);
  const std::string csv = Read(folder_.path() / "p2.csv");
  int lines = 0;
  for (std::size_t at = 0; (at = csv.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 1 + on_page_2);
  EXPECT_EQ(csv.find(";Cliente 1;"), std::string::npos) << "page 1 is left out";
  EXPECT_EQ(csv.find(";Cliente 30;"), std::string::npos) << "so is the last page";
}

TEST_F(Spreadsheet, AnEmptyReportWritesTheTitleRowOnly) {
  TRLReport& report = Run(kNestedGroups, kSalesColumns, {});
  Save(CSVFilter(), report.Pages(), folder_.path() / "vazio.csv");
  EXPECT_EQ(Read(folder_.path() / "vazio.csv"),
            "\xEF\xBB\xBF"
            "Estado;cidade;Código;Nome;Valor;Emissão\r\n");
  Save(XLSXFilter(), report.Pages(), folder_.path() / "vazio.xlsx");
  EXPECT_EQ(Output("/usr/bin/python3 -c \"import openpyxl; ws = openpyxl.load_workbook('" +
                   (folder_.path() / "vazio.xlsx").string() + "').active; print(ws.max_row, ws.max_column)\""),
            "1 6\n");
}

TEST_F(Spreadsheet, TheWorkbookHoldsTypedCellsUnderABoldFrozenFilteredTitleRow) {
  // The users' locale writes numbers with a decimal comma; the workbook's own numbers must not follow it.
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "pt_BR.UTF-8"), nullptr);
  const TScopeExit restore([&] { std::setlocale(LC_NUMERIC, numeric.c_str()); });
  TRLReport& report = Run(kNestedGroups, kSalesColumns, kSales);
  report.Pages().SetTitle("Vendas: março/2023");
  const fs::path file = folder_.path() / "vendas.xlsx";
  Save(XLSXFilter(), report.Pages(), file);
  // Read by another program: each cell as its type, a colon and its value.
  const std::string script =
      "import openpyxl\n"
      "wb = openpyxl.load_workbook('" +
      file.string() +
      "')\n"
      "ws = wb.active\n"
      "print(ws.title, ws.freeze_panes, ws.auto_filter.ref, ws['A1'].font.b, wb.properties.title, sep='|')\n"
      "print(all(ws.column_dimensions[c].width <= 62 for c in 'ABCDEF'))\n"
      "for row in ws.iter_rows(min_row=2):\n"
      "    print('|'.join(f'{c.data_type}:{c.value!r}' for c in row))\n";
  const fs::path script_file = folder_.path() / "read.py";
  std::ofstream(script_file) << script;
  const std::string out = Output("/usr/bin/python3 '" + script_file.string() + "'");
  EXPECT_EQ(out,
            "Vendas março2023|A2|A1:F5|True|Vendas: março/2023\n"
            "True\n"
            "s:'SP'|s:'Santos'|s:'007'|s:'=HYPERLINK(\"http://x\")'|n:1234.5|d:datetime.datetime(2023, 3, 15, 0, 0)\n"
            "s:'SP'|s:'Santos'|s:'010'|s:'Bar; \"Zé\"\\nfilial'|n:-2|d:datetime.datetime(2023, 3, 16, 0, 0)\n"
            "s:'SP'|s:'São Paulo'|s:'001'|s:'Padaria'|n:0.25|n:None\n"
            "s:'RJ'|s:'Rio'|s:'002'|s:'+55 loja'|n:3|d:datetime.datetime(2023, 3, 17, 0, 0)\n");
}

TEST_F(Spreadsheet, TheFiltersAreFoundByExtensionAndNamedInTheMessageTable) {
  EXPECT_EQ(SaveFilterByExt("clientes.XLSX"), &XLSXFilter());
  EXPECT_EQ(SaveFilterByExt("clientes.csv"), &CSVFilter());
  EXPECT_EQ(XLSXFilter().GetDisplayName(), EngineMessages().msgExcelSpreadsheet);
  EXPECT_EQ(CSVFilter().GetDisplayName(), EngineMessages().msgSemicolonSeparatedText);
  // A definition names them as it names the other filters.
  TForm form(nullptr);
  ReadDefinition(form, "TForm Form1 {\n  TRLXLSXFilter Planilha {\n  }\n  TRLCSVFilter Texto {\n  }\n}\n");
  EXPECT_NE(dynamic_cast<TRLXLSXFilter*>(form.FindComponent("Planilha")), nullptr);
  EXPECT_NE(dynamic_cast<TRLCSVFilter*>(form.FindComponent("Texto")), nullptr);
}

TEST_F(Spreadsheet, ASaveCutShortOrFailedLeavesTheOldFileAndNothingBesideIt) {
  TRLReport& report = Run(kNestedGroups, kSalesColumns, kSales);
  for (TRLSpreadsheetFilter* filter :
       {static_cast<TRLSpreadsheetFilter*>(&XLSXFilter()), static_cast<TRLSpreadsheetFilter*>(&CSVFilter())}) {
    SCOPED_TRACE(filter->GetDisplayName());
    const fs::path target = folder_.path() / ("old" + filter->DefaultExt());
    std::ofstream(target) << "the previous file";
    // Cancelled while the progress window holds the run at its first page.
    filter->SetShowProgress(true);
    filter->SetFileName(target.string());
    filter->Run(report.Pages(), 1, true);
    filter->Cancel();
    FinishBackgroundOutput(false);
    EXPECT_EQ(Read(target), "the previous file");
  }
  // Pages that no report run made (read from a report file) have no table: an error, and the old file stays.
  auto* pages = new TRLGraphicStorage(&form_);
  pages->Add(std::make_unique<TRLGraphicSurface>());
  EXPECT_THROW(Save(CSVFilter(), *pages, folder_.path() / "old.csv"), Exception);
  EXPECT_EQ(Read(folder_.path() / "old.csv"), "the previous file");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"old.csv", "old.xlsx"}));
}

TEST(SpreadsheetPieces, CsvFieldsAreTypedQuotedAndNeverRunAsFormulas) {
  struct Case {
    TRLCellKind kind;
    double value;
    std::string text;
    std::string field;
  };
  const Case cases[] = {
      {TRLCellKind::Text, 0, "007", "007"},
      {TRLCellKind::Text, 0, "São Paulo", "São Paulo"},
      {TRLCellKind::Text, 0, "a;b", "\"a;b\""},
      {TRLCellKind::Text, 0, "diz \"oi\"", "\"diz \"\"oi\"\"\""},
      {TRLCellKind::Text, 0, "linha\nnova", "\"linha\nnova\""},
      {TRLCellKind::Text, 0, "=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
      {TRLCellKind::Text, 0, "+1", "'+1"},
      {TRLCellKind::Text, 0, "-1", "'-1"},
      {TRLCellKind::Text, 0, "@SUM(A1)", "'@SUM(A1)"},
      {TRLCellKind::Text, 0, "\tx", "'\tx"},
      {TRLCellKind::Text, 0, "\rx", "\"'\rx\""},
      {TRLCellKind::Text, 0, "a=b", "a=b"},
      {TRLCellKind::Empty, 0, "", ""},
      {TRLCellKind::Number, 1234.5, "1.234,50", "1234,5"},
      {TRLCellKind::Number, -2, "-2", "-2"},
      {TRLCellKind::Number, 0.1 + 0.2, "0,3", "0,3"},
      {TRLCellKind::Date, 45000, "15/03/2023", "15/03/2023"},
      {TRLCellKind::DateTime, 45000.75, "", "15/03/2023 18:00:00"},
      {TRLCellKind::Time, 0.5 + 1.0 / 86400, "", "12:00:01"},
      {TRLCellKind::Date, 1, "", "31/12/1899"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CsvField({c.kind, c.value, c.text}), c.field);
  }
}

TEST(SpreadsheetPieces, SheetNamesKeepWhatASheetMayHold) {
  const std::pair<std::string, std::string> cases[] = {
      {"Clientes por Cidade", "Clientes por Cidade"},
      {"Vendas: março/2023 [v2]*?", "Vendas março2023 v2"},
      {"'citado'", "citado"},
      {"", "Relatório"},
      {"[]:*?/\\", "Relatório"},
      {"Relação de clientes por cidade e estado", "Relação de clientes por cidade"},
  };
  for (const auto& [title, name] : cases) EXPECT_EQ(SheetName(title), name) << title;
}

}  // namespace
