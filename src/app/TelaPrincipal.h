#pragma once

#include "data/DB.h"
#include "data/DBTables.h"
#include "lookup/cxButtons.h"
#include "lookup/cxDBLookupComboBox.h"
#include "report/RLReport.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

// The client-by-city dialog: the user picks a city, or none, and gets the client report.
class TForm1 : public TForm {
public:
  // Builds the dialog from its stored definition.
  explicit TForm1(TComponent* owner);

  TGroupBox* GroupBox1;
  TLabel* Label5;
  TcxLookupComboBox* cxLookupComboBox2;
  TcxButton* cxButton2;
  TcxButton* cxButton1;
  TRLReport* RLReport2;
  TQuery* QCidades;
  TStringField* QCidadescidade;
  TDataSource* DSCidades;
  TQuery* QRel;
  TStringField* QRelcodigo;
  TStringField* QRelnome;
  TStringField* QRelcidade;
  TStringField* QRelfone;
  TStringField* QRelfax;
  TStringField* QRelcontato;
  TDataSource* DSQRel;

  // Puts the clients of `city` (all clients when it is empty) into the report's query, open, and names them as the
  // subject of the documents the report makes.
  void SelectCity(const std::string& city);

  void FormShow(TObject* sender);
  void cxButton2Click(TObject* sender);
  void cxButton1Click(TObject* sender);

  // Enter runs the report and Esc leaves, wherever the focus is but on a button (which takes the key itself) or on
  // the open city list (which picks or drops its row with them).
  bool PreviewKey(int& key, TShiftState shift, bool onButton) override;

private:
  template <class T>
  T* Bind(const char* name);

  std::string subject_;
};

// The definition of the dialog, compiled into the program.
std::string DialogDefinition();
