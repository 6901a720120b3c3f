#include "output/RLPrintDialog.h"

#include "output/RLDialogControls.h"
#include "output/RLFilters.h"
#include "output/RLPrinters.h"
#include "pages/RLConsts.h"
#include "widgets/StdCtrls.h"

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

  page_range_ = MakePageRangeBox(
      this,
      {{8, 120, 225, 221}, {12, 24}, {12, 48}, {12, 72}, {72, 49}, {92, 44}, {140, 49}, {164, 44}, m.msgRangeTo + ":"},
      1, [this] { EditFromPageChange(EditFromPage); });
  GroupBoxPages = page_range_.Box;
  RadioButtonPagesAll = page_range_.All;
  RadioButtonPagesInterval = page_range_.Interval;
  RadioButtonPagesSelect = page_range_.Selection;
  LabelFromPage = page_range_.FromLabel;
  EditFromPage = page_range_.From;
  LabelToPage = page_range_.ToLabel;
  EditToPage = page_range_.To;

  GroupBoxCopies = MakeControl<TGroupBox>(this, this, "GroupBoxCopies", 236, 120, 185, 101);
  GroupBoxCopies->SetCaption(" " + m.msgCopies + " ");
  GroupBoxCopies->SetTabOrder(2);
  LabelCopies = MakeDialogLabel(this, GroupBoxCopies, "LabelCopies", m.msgNumberOfCopies + ":", 12, 24, 89, 13);
  EditCopies = MakeControl<TEdit>(this, GroupBoxCopies, "EditCopies", 108, 20, 49, 21);
  EditCopies->SetTabOrder(0);
  // Labels are as long as their language makes them: the boxes beside them make room.
  SpreadRow({LabelPrinterName, ComboBoxPrinterNames}, true);
  SpreadRow({LabelFilterName, ComboBoxFilters});
  SpreadRow({LabelCopies, EditCopies});

  ButtonOk = MakeDialogButton(this, "ButtonOk", m.msgOk, 260, 232, mrOk, 3);
  ButtonCancel = MakeDialogButton(this, "ButtonCancel", m.msgCancel, 344, 232, mrCancel, 4);
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
  EditCopies->SetText(NumberText(params.Copies()));
  page_range_.Show(static_cast<TRLPageRangeChoice>(params.PrintRange()), params.FromPage(), params.ToPage());
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
  int from = 0, to = 0;
  params.SetPrintRange(static_cast<TRLPrintRange>(page_range_.Read(params.MinPage(), params.MaxPage(), from, to)));
  params.SetFromPage(from);
  params.SetToPage(to);
  params.SetCopies(NumberOf(EditCopies->GetText()));
  params.SetPrintToFile(CheckBoxPrintToFile->Checked());
  params.SetPrintInBackground(CheckBoxPrintInBackground->Checked());
  if (ComboBoxPrinterNames->ItemIndex() >= 0) RLPrinter().SetPrinterIndex(ComboBoxPrinterNames->ItemIndex());
  TRLCustomPrintFilter* filter = SelectedFilter();
  params.SetFilter(filter);
  if (filter) filter->SetSelectedOption(ComboBoxOptions->ItemIndex());
  RLPrinter().SetCopies(params.Copies());
}
