#pragma once
// A temporary database with a small client table, an engine configuration whose alias VERANTO names it, and the
// default session ended after each test so that no connection outlives the files.

#include "data/DB.h"
#include "data/DBTables.h"
#include "engine/EngineFixture.h"
#include "engine/PgServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace querytest {

struct Client {
  const char* codigo;
  const char* nome;
  const char* cidade;
  const char* fone;
  const char* fax;  // nullptr: no fax
  const char* contato;
};

inline const std::vector<Client> kClients = {
    {"001", "Padaria Pão Quente", "São Paulo", "(11) 3333-0001", nullptr, "Ana"},
    {"002", "Açougue Bom Corte", "São Paulo", "(11) 3333-0002", "(11) 3333-9002", "Bruno"},
    {"003", "Livraria Étoile", "Belém", "(91) 3222-0003", nullptr, "Carla"},
    {"004", "Mercado Central", "Belo Horizonte", "(31) 3111-0004", "(31) 3111-9004", "Davi"},
    {"005", "Ótica Visão", "Brasília", "(61) 3444-0005", nullptr, "Eva"},
    {"006", "Bar do Zé", "Sant\"Ana", "(11) 4555-0006", nullptr, "Fábio"},
    {"007", "Escritório Rio", "Rio: Centro", "(21) 2666-0007", "(21) 2666-9007", "Gil"},
    {"008", "Loja Santos", "Santos", "(13) 3777-0008", nullptr, "Hugo"},
    {"009", "Água Viva", "Águas Claras", "(61) 3888-0009", nullptr, "Iara"},
    {"010", "Zebra Ltda", "São Paulo", "(11) 3333-0010", nullptr, "João"},
};

inline std::string SqlText(const char* s) {
  if (!s) return "NULL";
  std::string out = "'";
  for (const char* p = s; *p; ++p) {
    out += *p;
    if (*p == '\'') out += '\'';
  }
  return out + "'";
}

class ClientDb : public ::testing::Test {
protected:
  void SetUp() override {
    dbFile = dir.path() / "veranto.db";
    configFile = dir.path() / "engine.cfg";
    std::string sql = enginetest::kClientTable;
    for (const Client& c : kClients) {
      sql += "INSERT INTO acadclie VALUES (" + SqlText(c.codigo) + "," + SqlText(c.nome) + "," + SqlText(c.cidade) +
             "," + SqlText(c.fone) + "," + SqlText(c.fax) + "," + SqlText(c.contato) + ");";
    }
    enginetest::Sqlite(dbFile, sql);
    WriteAlias("VERANTO", "");
  }

  void TearDown() override {
    form.DestroyComponents();
    Session()->Close();
    Session()->SetKeepConnections(true);
    Session()->OnPassword = nullptr;
  }

  // Writes the configuration with one alias on the test database; `extra` lines go into its DB INFO section.
  void WriteAlias(const std::string& alias, const std::string& extra) {
    enginetest::WriteFile(configFile, "[\\DATABASES\\" + alias + "\\DB INFO]\nTYPE=STANDARD\nPATH=" + dbFile.string() +
                                          "\nLANGDRIVER=pt_BR\n" + extra);
  }

  TQuery* NewQuery(const std::string& sql, const std::string& name = "QTeste") {
    auto* q = new TQuery(&form);
    q->SetName(name);
    q->SetDatabaseName("VERANTO");
    q->SQL().Add(sql);
    return q;
  }

  static TStringField* AddStringField(TQuery* q, const std::string& fieldName, int size) {
    auto* f = new TStringField(q->Owner());
    f->SetName(q->Name() + fieldName);
    f->SetFieldName(fieldName);
    f->SetSize(size);
    f->SetDataSet(q);
    return f;
  }

  // The values of one field for every record from First to Eof.
  static std::vector<std::string> Column(TDataSet* ds, const std::string& field) {
    std::vector<std::string> out;
    for (ds->First(); !ds->Eof(); ds->Next()) out.push_back(ds->FieldByName(field)->AsString());
    return out;
  }

  static std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "<no error>";
  }

  TempFolder dir;
  std::filesystem::path dbFile, configFile;
  ScopedEnv configEnv{"RELCLIENTES_ENGINE_CONFIG", (dir.path() / "engine.cfg").string()};
  TComponent form{nullptr};
};

enum class Driver { Sqlite, Postgres };

inline const char* NameOf(Driver driver) { return driver == Driver::Sqlite ? "Sqlite" : "Postgres"; }
inline std::string DriverName(const ::testing::TestParamInfo<Driver>& info) { return NameOf(info.param); }
// The test listing names the driver instead of dumping its bytes.
inline void PrintTo(Driver driver, std::ostream* out) { *out << NameOf(driver); }

// The same client table and alias VERANTO on each driver: a SQLite file, or a table on the test's own server.
class ClientDbOn : public ClientDb, public ::testing::WithParamInterface<Driver> {
protected:
  void SetUp() override {
    ClientDb::SetUp();
    if (GetParam() != Driver::Postgres) return;
    const enginetest::PgServer& server = enginetest::SharedPgServer();
    ASSERT_EQ(server.Error(), "");
    std::string sql = std::string("DROP TABLE IF EXISTS acadclie;") + enginetest::kClientTable;
    for (const Client& c : kClients) {
      sql += "INSERT INTO acadclie VALUES (" + SqlText(c.codigo) + "," + SqlText(c.nome) + "," + SqlText(c.cidade) +
             "," + SqlText(c.fone) + "," + SqlText(c.fax) + "," + SqlText(c.contato) + ");";
    }
    ASSERT_EQ(server.Exec(sql), "");
    enginetest::WriteFile(
        configFile, "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nCONNECTION=" +
                        server.Connection() + "\nLANGDRIVER=pt_BR\n");
  }
};

}  // namespace querytest
