#include "app/TelaPrincipal.h"

#include "app/ClientReportSql.h"
#include "app/Units.h"
#include "core/Definitions.h"
#include "core/Translation.h"

#include <QApplication>

std::string DialogDefinition() { return LoadResourceText(":/forms/TelaPrincipal.def"); }

template <class T>
T* TForm1::Bind(const char* name) {
  auto* component = dynamic_cast<T*>(FindComponent(name));
  if (!component) throw EComponentError(Format("The dialog's definition lacks %s", {name}));
  return component;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  InitializeUnits();
  THandlerTable handlers;
  handlers.Add<TNotifyEvent>("FormShow", [this](TObject* sender) { FormShow(sender); });
  handlers.Add<TNotifyEvent>("cxButton2Click", [this](TObject* sender) { cxButton2Click(sender); });
  handlers.Add<TNotifyEvent>("cxButton1Click", [this](TObject* sender) { cxButton1Click(sender); });
  ReadDefinition(*this, DialogDefinition(), handlers);

  GroupBox1 = Bind<TGroupBox>("GroupBox1");
  Label5 = Bind<TLabel>("Label5");
  cxLookupComboBox2 = Bind<TcxLookupComboBox>("cxLookupComboBox2");
  cxButton2 = Bind<TcxButton>("cxButton2");
  cxButton1 = Bind<TcxButton>("cxButton1");
  RLReport2 = Bind<TRLReport>("RLReport2");
  QCidades = Bind<TQuery>("QCidades");
  QCidadescidade = Bind<TStringField>("QCidadescidade");
  DSCidades = Bind<TDataSource>("DSCidades");
  QRel = Bind<TQuery>("QRel");
  QRelcodigo = Bind<TStringField>("QRelcodigo");
  QRelnome = Bind<TStringField>("QRelnome");
  QRelcidade = Bind<TStringField>("QRelcidade");
  QRelfone = Bind<TStringField>("QRelfone");
  QRelfax = Bind<TStringField>("QRelfax");
  QRelcontato = Bind<TStringField>("QRelcontato");
  DSQRel = Bind<TDataSource>("DSQRel");
  // The pages of a finished run are cleared as the next starts: the subject goes in once they are made.
  RLReport2->AfterPrint = [this](TObject*) { RLReport2->Pages().SetMacroValue("Subject", subject_); };
}

void TForm1::SelectCity(const std::string& city) {
  QRel->Close();
  QRel->SQL().Clear();
  QRel->SQL().Add(ClientReportStatement(city));
  QRel->Open();
  subject_ =
      city.empty() ? Translate("app", "Clients of every city") : Format(Translate("app", "Clients of %s"), {city});
}

void TForm1::FormShow(TObject*) { QCidades->Open(); }

void TForm1::cxButton2Click(TObject*) {
  SelectCity(cxLookupComboBox2->GetTextLen() == 0 ? std::string() : cxLookupComboBox2->GetText());
  RLReport2->Preview();
}

void TForm1::cxButton1Click(TObject*) { Close(); }

bool TForm1::PreviewKey(int& key, TShiftState shift, bool onButton) {
  if (TForm::PreviewKey(key, shift, onButton)) return true;
  if ((key != VK_RETURN && key != VK_ESCAPE) || !shift.Empty() || onButton) return false;
  if (cxLookupComboBox2->DroppedDown()) return false;
  if (dynamic_cast<TcxCustomButton*>(TControl::FromWidget(QApplication::focusWidget()))) return false;
  (key == VK_RETURN ? cxButton2 : cxButton1)->Click();
  return true;
}
