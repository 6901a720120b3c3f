#include "output/RLPrintDialog.h"

#include "framework/StdCtrls.h"
#include "output/RLDialogControls.h"
#include "output/RLFilters.h"
#include "output/RLPrinters.h"
#include "pages/RLConsts.h"

#include <memory>

// ---- TRLPrintParams -----------------------------------------------------------------------------------------

void TRLPrintParams::Clear() {
  ClearRequest();
  print_range_ = rprAllPages;
  copies_ = RLPrinter().Copies();
}

TRLPrintParams& PrintParams() {
  static TRLPrintParams params;
  return params;
}

// ---- TRLPrintDialog -----------------------------------------------------------------------------------------

TRLPrintDialog::TRLPrintDialog(TComponent* owner) : TForm(owner) {
  const TRLEngineMessages& m = EngineMessages();
  SetName("RLPrintDialog");
  SetBorderStyle(bsDialog);
  SetCaption(m.msgPrint);
  SetClientWidth(430);
  SetClientHeight(267);
  SetColor(clBtnFace);
  Font().SetName("MS Sans Serif");
  Font().SetHeight(-11);
  Font().SetCharset(DEFAULT_CHARSET);
  Font().SetColor(clWindowText);
  SetPosition(poScreenCenter);

  GroupBoxPrinter = MakeControl<TGroupBox>(this, this, "GroupBoxPrinter", 8, 4, 413, 113);
  GroupBoxPrinter->SetCaption(" " + m.msgPrinter + " ");
  GroupBoxPrinter->SetTabOrder(0);
  LabelPrinterName = MakeDialogLabel(this, GroupBoxPrinter, "LabelPrinterName", m.msgName + ":", 12, 24, 31, 13);
  ComboBoxPrinterNames = MakeControl<TComboBox>(this, GroupBoxPrinter, "ComboBoxPrinterNames", 68, 20, 329, 21);
  ComboBoxPrinterNames->SetStyle(csDropDownList);
  ComboBoxPrinterNames->SetItemHeight(13);
  ComboBoxPrinterNames->SetTabOrder(0);
  LabelFilterName = MakeDialogLabel(this, GroupBoxPrinter, "LabelFilterName", m.msgUseFilter + ":", 12, 48, 47, 13);
  ComboBoxFilters = MakeControl<TComboBox>(this, GroupBoxPrinter, "ComboBoxFilters", 68, 44, 177, 21);
  ComboBoxFilters->SetStyle(csDropDownList);
  ComboBoxFilters->SetTabOrder(1);
  ComboBoxFilters->OnChange = [this](TObject* sender) { ComboBoxFiltersChange(sender); };
  LabelOptions = MakeDialogLabel(this, GroupBoxPrinter, "LabelOptions", ":", 264, 48, 40, 13);
  LabelOptions->SetAlignment(taRightJustify);
  LabelOptions->SetVisible(false);
  ComboBoxOptions = MakeControl<TComboBox>(this, GroupBoxPrinter, "ComboBoxOptions", 308, 44, 89, 21);
  ComboBoxOptions->SetStyle(csDropDownList);
  ComboBoxOptions->SetItemHeight(13);
  ComboBoxOptions->SetTabOrder(2);
  ComboBoxOptions->SetVisible(false);
  CheckBoxPrintToFile = MakeControl<TCheckBox>(this, GroupBoxPrinter, "CheckBoxPrintToFile", 12, 68, 325, 17);
  CheckBoxPrintToFile->SetCaption(m.msgPrintToFile);
  CheckBoxPrintToFile->SetTabOrder(3);
  CheckBoxPrintInBackground =
      MakeControl<TCheckBox>(this, GroupBoxPrinter, "CheckBoxPrintInBackground", 12, 88, 325, 17);
  CheckBoxPrintInBackground->SetCaption(m.msgPrintInBackground);
  CheckBoxPrintInBackground->SetTabOrder(4);

  GroupBoxPages = MakeControl<TGroupBox>(this, this, "GroupBoxPages", 8, 120, 217, 101);
  GroupBoxPages->SetCaption(" " + m.msgPageRange + " ");
  GroupBoxPages->SetTabOrder(1);
  RadioButtonPagesAll = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesAll", 12, 24, 113, 17);
  RadioButtonPagesAll->SetCaption(m.msgAll);
  RadioButtonPagesAll->SetChecked(true);
  RadioButtonPagesAll->SetTabOrder(0);
  RadioButtonPagesAll->SetTabStop(true);
  RadioButtonPagesInterval = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesInterval", 12, 48, 61, 17);
  RadioButtonPagesInterval->SetCaption(m.msgPages);
  RadioButtonPagesInterval->SetTabOrder(1);
  RadioButtonPagesSelect = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesSelect", 12, 72, 73, 17);
  RadioButtonPagesSelect->SetCaption(m.msgSelection);
  RadioButtonPagesSelect->SetTabOrder(2);
  LabelFromPage = MakeDialogLabel(this, GroupBoxPages, "LabelFromPage", m.msgRangeFrom + ":", 72, 49, 15, 13);
  EditFromPage = MakeControl<TEdit>(this, GroupBoxPages, "EditFromPage", 92, 44, 41, 21);
  EditFromPage->SetTabStop(false);
  EditFromPage->SetTabOrder(3);
  EditFromPage->OnChange = [this](TObject* sender) { EditFromPageChange(sender); };
  LabelToPage = MakeDialogLabel(this, GroupBoxPages, "LabelToPage", m.msgRangeTo + ":", 140, 49, 18, 13);
  EditToPage = MakeControl<TEdit>(this, GroupBoxPages, "EditToPage", 164, 44, 41, 21);
  EditToPage->SetTabStop(false);
  EditToPage->SetTabOrder(4);
  EditToPage->OnChange = [this](TObject* sender) { EditFromPageChange(sender); };

  GroupBoxCopies = MakeControl<TGroupBox>(this, this, "GroupBoxCopies", 236, 120, 185, 101);
  GroupBoxCopies->SetCaption(" " + m.msgCopies + " ");
  GroupBoxCopies->SetTabOrder(2);
  LabelCopies = MakeDialogLabel(this, GroupBoxCopies, "LabelCopies", m.msgNumberOfCopies + ":", 12, 24, 89, 13);
  EditCopies = MakeControl<TEdit>(this, GroupBoxCopies, "EditCopies", 108, 20, 49, 21);
  EditCopies->SetTabOrder(0);

  ButtonOk = MakeControl<TButton>(this, this, "ButtonOk", 260, 232, 75, 25);
  ButtonOk->SetCaption(m.msgOk);
  ButtonOk->SetDefault(true);
  ButtonOk->SetModalResult(mrOk);
  ButtonOk->SetTabOrder(3);
  ButtonCancel = MakeControl<TButton>(this, this, "ButtonCancel", 344, 232, 75, 25);
  ButtonCancel->SetCaption(m.msgCancel);
  ButtonCancel->SetCancel(true);
  ButtonCancel->SetModalResult(mrCancel);
  ButtonCancel->SetTabOrder(4);
}

bool TRLPrintDialog::Execute() {
  LoadPrinterList();
  LoadFilterList();
  LoadEditors();
  ComboBoxPrinterNames->SetFocus();
  if (ShowModal() != mrOk) return false;
  SaveEditors();
  return true;
}

void TRLPrintDialog::EditFromPageChange(TObject*) {
  if (!RadioButtonPagesInterval->Checked()) RadioButtonPagesInterval->SetChecked(true);
}

TRLCustomPrintFilter* TRLPrintDialog::SelectedFilter() const {
  int index = ComboBoxFilters->ItemIndex();
  return index > 0 && index < static_cast<int>(filters_.size()) ? filters_[static_cast<std::size_t>(index)] : nullptr;
}

void TRLPrintDialog::ComboBoxFiltersChange(TObject*) {
  TRLCustomPrintFilter* filter = SelectedFilter();
  std::vector<std::string> options;
  if (filter) {
    filter->SetOrientation(PrintParams().Orientation());
    options = filter->GetOptions();
  }
  if (options.empty()) {
    LabelOptions->SetVisible(false);
    ComboBoxOptions->SetVisible(false);
    return;
  }
  LabelOptions->SetCaption(filter->GetOptionsLabel() + ":");
  ComboBoxOptions->Items().Clear();
  ComboBoxOptions->SetItemIndex(-1);
  for (const std::string& option : options) ComboBoxOptions->Items().Add(option);
  ComboBoxOptions->SetItemIndex(filter->GetSelectedOption());
  LabelOptions->SetVisible(true);
  ComboBoxOptions->SetVisible(true);
}

void TRLPrintDialog::LoadPrinterList() {
  TRLPrinterWrapper& printer = RLPrinter();
  ComboBoxPrinterNames->Items().Clear();
  ComboBoxPrinterNames->SetItemIndex(-1);
  printer.Refresh();
  std::string selected = printer.PrinterName();
  int selected_index = 0;
  int count = static_cast<int>(printer.Printers().size());
  for (int i = 0; i < count; ++i) {
    std::string name = printer.PrinterNames(i);
    std::string port = printer.PrinterPorts(i);
    std::string item = name;
    if (!port.empty() && port != name) item += " " + EngineMessages().msgAt + " " + port;
    ComboBoxPrinterNames->Items().Add(item);
    if (name == selected) selected_index = i;
  }
  ComboBoxPrinterNames->SetItemIndex(count > 0 ? selected_index : -1);
}

void TRLPrintDialog::LoadFilterList() {
  ComboBoxFilters->Items().Clear();
  ComboBoxFilters->SetItemIndex(-1);
  filters_.assign(1, nullptr);
  ComboBoxFilters->Items().Add(EngineMessages().msgDefault);
  int selected = 0;
  for (TRLCustomFilter* filter : FilterList()) {
    auto* print = dynamic_cast<TRLCustomPrintFilter*>(filter);
    if (!print || print->GetDisplayName().empty()) continue;
    if (print == PrintParams().Filter()) selected = static_cast<int>(filters_.size());
    filters_.push_back(print);
    ComboBoxFilters->Items().Add(print->GetDisplayName());
  }
  ComboBoxFilters->SetItemIndex(selected);
  if (ComboBoxFilters->Items().Count() == 1) {
    ComboBoxFilters->SetEnabled(false);
    ComboBoxFilters->SetColor(clBtnFace);
  }
  ComboBoxFiltersChange(ComboBoxFilters);
}

void TRLPrintDialog::LoadEditors() {
  const TRLPrintParams& params = PrintParams();
  TRLPrintDialogOptions options = params.Options();
  // The page boxes are filled before the range is checked: filling them must not choose the interval.
  EditFromPage->SetText(NumberText(params.FromPage()));
  EditToPage->SetText(NumberText(params.ToPage()));
  EditCopies->SetText(NumberText(params.Copies()));
  switch (params.PrintRange()) {
    case rprAllPages: RadioButtonPagesAll->SetChecked(true); break;
    case rprSelection: RadioButtonPagesSelect->SetChecked(true); break;
    case rprPageNums: RadioButtonPagesInterval->SetChecked(true); break;
  }
  EnableEdit(EditCopies, !options.Contains(rpoDisableCopies));
  CheckBoxPrintToFile->SetVisible(options.Contains(rpoPrintToFile));
  CheckBoxPrintToFile->SetEnabled(!options.Contains(rpoDisablePrintToFile));
  CheckBoxPrintToFile->SetChecked(params.PrintToFile());
  CheckBoxPrintInBackground->SetEnabled(!options.Contains(rpoDisablePrintInBackground));
  CheckBoxPrintInBackground->SetChecked(params.PrintInBackground());
  bool page_nums = options.Contains(rpoPageNums);
  RadioButtonPagesInterval->SetEnabled(page_nums);
  EnableEdit(EditFromPage, page_nums);
  EnableEdit(EditToPage, page_nums);
  RadioButtonPagesSelect->SetEnabled(options.Contains(rpoSelection));
  TBorderIcons icons = BorderIcons();
  SetBorderIcons(icons.Set(biHelp, options.Contains(rpoHelp)));
}

void TRLPrintDialog::SaveEditors() {
  TRLPrintParams& params = PrintParams();
  if (RadioButtonPagesAll->Checked()) {
    params.SetPrintRange(rprAllPages);
    params.SetFromPage(params.MinPage());
    params.SetToPage(params.MaxPage());
  } else if (RadioButtonPagesSelect->Checked()) {
    params.SetPrintRange(rprSelection);
    params.SetFromPage(NumberOf(EditFromPage->GetText()));
    params.SetToPage(params.FromPage());
  } else {
    params.SetPrintRange(rprPageNums);
    params.SetFromPage(NumberOf(EditFromPage->GetText()));
    params.SetToPage(NumberOf(EditToPage->GetText()));
  }
  params.SetCopies(NumberOf(EditCopies->GetText()));
  params.SetPrintToFile(CheckBoxPrintToFile->Checked());
  params.SetPrintInBackground(CheckBoxPrintInBackground->Checked());
  if (ComboBoxPrinterNames->ItemIndex() >= 0) RLPrinter().SetPrinterIndex(ComboBoxPrinterNames->ItemIndex());
  TRLCustomPrintFilter* filter = SelectedFilter();
  params.SetFilter(filter);
  if (filter) filter->SetSelectedOption(ComboBoxOptions->ItemIndex());
  RLPrinter().SetCopies(params.Copies());
}
