#include "output/RLSaveDialog.h"

#include "framework/Buttons.h"
#include "framework/Dialogs.h"
#include "framework/StdCtrls.h"
#include "output/RLDialogControls.h"
#include "output/RLFilters.h"
#include "pages/RLConsts.h"
#include "pages/RLUtils.h"

#include <filesystem>

// ---- TRLSaveParams ------------------------------------------------------------------------------------------

void TRLSaveParams::Clear() {
  ClearRequest();
  save_range_ = rsrAllPages;
}

TRLSaveParams& SaveParams() {
  static TRLSaveParams params;
  return params;
}

// ---- TRLSaveDialog ------------------------------------------------------------------------------------------

TRLSaveDialog::TRLSaveDialog(TComponent* owner) : TForm(owner) {
  const TRLEngineMessages& m = EngineMessages();
  SetName("RLSaveDialog");
  SetBorderStyle(bsDialog);
  SetCaption(m.msgSave);
  SetClientWidth(391);
  SetClientHeight(244);
  SetColor(clBtnFace);
  Font().SetName("MS Sans Serif");
  Font().SetHeight(11);
  Font().SetCharset(DEFAULT_CHARSET);
  Font().SetColor(clWindowText);
  Font().SetPitch(fpVariable);
  SetPosition(poScreenCenter);

  LabelFileName = MakeDialogLabel(this, this, "LabelFileName", m.msgFileName + ":", 12, 16, 84, 13);
  EditFileName = MakeControl<TEdit>(this, this, "EditFileName", 108, 12, 249, 21);
  EditFileName->SetTabOrder(0);
  SpeedButtonLookup = MakeControl<TSpeedButton>(this, this, "SpeedButtonLookup", 356, 12, 21, 21);
  SpeedButtonLookup->SetCaption("...");
  SpeedButtonLookup->OnClick = [this](TObject* sender) { SpeedButtonLookupClick(sender); };
  LabelUseFilter = MakeDialogLabel(this, this, "LabelUseFilter", m.msgUseFilter + ":", 12, 44, 86, 13);
  ComboBoxFilters = MakeControl<TComboBox>(this, this, "ComboBoxFilters", 108, 40, 177, 21);
  ComboBoxFilters->SetStyle(csDropDownList);
  ComboBoxFilters->SetItemHeight(13);
  ComboBoxFilters->SetTabOrder(1);

  GroupBoxPages = MakeControl<TGroupBox>(this, this, "GroupBoxPages", 12, 68, 365, 101);
  GroupBoxPages->SetCaption(" " + m.msgPageRange + " ");
  GroupBoxPages->SetTabOrder(2);
  RadioButtonPagesAll = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesAll", 8, 20, 113, 17);
  RadioButtonPagesAll->SetCaption(m.msgAll);
  RadioButtonPagesAll->SetChecked(true);
  RadioButtonPagesAll->SetTabOrder(0);
  RadioButtonPagesAll->SetTabStop(true);
  RadioButtonPagesInterval = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesInterval", 8, 44, 61, 17);
  RadioButtonPagesInterval->SetCaption(m.msgPages);
  RadioButtonPagesInterval->SetTabOrder(1);
  RadioButtonPagesSelect = MakeControl<TRadioButton>(this, GroupBoxPages, "RadioButtonPagesSelect", 8, 68, 73, 17);
  RadioButtonPagesSelect->SetCaption(m.msgSelection);
  RadioButtonPagesSelect->SetTabOrder(2);
  RadioButtonPagesSelect->SetEnabled(false);
  LabelFromPage = MakeDialogLabel(this, GroupBoxPages, "LabelFromPage", m.msgRangeFrom + ":", 68, 45, 15, 13);
  EditFromPage = MakeControl<TEdit>(this, GroupBoxPages, "EditFromPage", 88, 44, 41, 21);
  EditFromPage->SetTabStop(false);
  EditFromPage->SetTabOrder(3);
  EditFromPage->OnChange = [this](TObject* sender) { EditFromPageChange(sender); };
  LabelToPage = MakeDialogLabel(this, GroupBoxPages, "LabelToPage", m.msgRangeTo, 136, 45, 18, 13);
  EditToPage = MakeControl<TEdit>(this, GroupBoxPages, "EditToPage", 160, 44, 41, 21);
  EditToPage->SetTabStop(false);
  EditToPage->SetTabOrder(4);
  EditToPage->OnChange = [this](TObject* sender) { EditFromPageChange(sender); };

  CheckBoxSaveInBackground = MakeControl<TCheckBox>(this, this, "CheckBoxSaveInBackground", 12, 172, 365, 17);
  CheckBoxSaveInBackground->SetCaption(m.msgSaveInBackground);
  CheckBoxSaveInBackground->SetTabOrder(3);

  ButtonSave = MakeControl<TButton>(this, this, "ButtonSave", 220, 204, 75, 25);
  ButtonSave->SetCaption(m.msgSave);
  ButtonSave->SetDefault(true);
  ButtonSave->SetModalResult(mrOk);
  ButtonSave->SetTabOrder(3);
  ButtonCancel = MakeControl<TButton>(this, this, "ButtonCancel", 304, 204, 75, 25);
  ButtonCancel->SetCaption(m.msgCancel);
  ButtonCancel->SetCancel(true);
  ButtonCancel->SetModalResult(mrCancel);
  ButtonCancel->SetTabOrder(4);

  SaveDialog = new TSaveDialog(this);
  SaveDialog->SetName("SaveDialog");
}

bool TRLSaveDialog::Execute() {
  LoadFilterList();
  LoadEditors();
  EditFileName->SetFocus();
  if (ShowModal() != mrOk) return false;
  SaveEditors();
  return true;
}

void TRLSaveDialog::EditFromPageChange(TObject*) {
  if (!RadioButtonPagesInterval->Checked()) RadioButtonPagesInterval->SetChecked(true);
}

TRLCustomSaveFilter* TRLSaveDialog::SelectedFilter() const {
  int index = ComboBoxFilters->ItemIndex();
  return index > 0 && index < static_cast<int>(filters_.size()) ? filters_[static_cast<std::size_t>(index)] : nullptr;
}

void TRLSaveDialog::SpeedButtonLookupClick(TObject*) {
  TRLCustomSaveFilter* filter = SelectedFilter();
  std::string name = filter ? filter->GetDisplayName() : ReportFileTypeName;
  std::string ext = FormatFileExt(filter ? filter->DefaultExt() : ReportFileExt);
  SaveDialog->SetFilter(name + " (*" + ext + ")|*" + ext);
  SaveDialog->SetDefaultExt(filter ? filter->DefaultExt() : ReportFileExt);
  SaveDialog->SetFileName(EditFileName->GetText());
  if (SaveDialog->Execute()) EditFileName->SetText(SaveDialog->FileName());
}

void TRLSaveDialog::LoadFilterList() {
  ComboBoxFilters->Items().Clear();
  ComboBoxFilters->SetItemIndex(-1);
  filters_.assign(1, nullptr);
  ComboBoxFilters->Items().Add(EngineMessages().msgDefault);
  int selected = 0;
  for (TRLCustomFilter* filter : FilterList()) {
    auto* save = dynamic_cast<TRLCustomSaveFilter*>(filter);
    if (!save) continue;
    if (save == SaveParams().Filter()) selected = static_cast<int>(filters_.size());
    filters_.push_back(save);
    ComboBoxFilters->Items().Add(save->GetDisplayName());
  }
  ComboBoxFilters->SetItemIndex(selected);
}

void TRLSaveDialog::LoadEditors() {
  const TRLSaveParams& params = SaveParams();
  // The page boxes are filled before the range is checked: filling them must not choose the interval.
  EditFromPage->SetText(NumberText(params.FromPage()));
  EditToPage->SetText(NumberText(params.ToPage()));
  switch (params.SaveRange()) {
    case rsrAllPages: RadioButtonPagesAll->SetChecked(true); break;
    case rsrSelection: RadioButtonPagesSelect->SetChecked(true); break;
    case rsrPageNums: RadioButtonPagesInterval->SetChecked(true); break;
  }
  EditFileName->SetText(params.FileName());
  CheckBoxSaveInBackground->SetChecked(params.SaveInBackground());
  CheckBoxSaveInBackground->SetEnabled(!params.Options().Contains(rsoDisableSaveInBackground));
  RadioButtonPagesInterval->SetEnabled(true);
  EnableEdit(EditFromPage, true);
  EnableEdit(EditToPage, true);
  RadioButtonPagesSelect->SetEnabled(false);
}

void TRLSaveDialog::SaveEditors() {
  TRLSaveParams& params = SaveParams();
  params.SetFileName(EditFileName->GetText());
  if (RadioButtonPagesAll->Checked()) {
    params.SetSaveRange(rsrAllPages);
    params.SetFromPage(params.MinPage());
    params.SetToPage(params.MaxPage());
  } else if (RadioButtonPagesSelect->Checked()) {
    params.SetSaveRange(rsrSelection);
    params.SetFromPage(NumberOf(EditFromPage->GetText()));
    params.SetToPage(params.FromPage());
  } else {
    params.SetSaveRange(rsrPageNums);
    params.SetFromPage(NumberOf(EditFromPage->GetText()));
    params.SetToPage(NumberOf(EditToPage->GetText()));
  }
  params.SetSaveInBackground(CheckBoxSaveInBackground->Checked());
  params.SetFilter(SelectedFilter());
  if (!std::filesystem::path(params.FileName()).extension().empty()) {
    // The extension decides: one that no save filter writes (the report file's among them) means the report file.
    params.SetFilter(SaveFilterByExt(params.FileName()));
  } else if (!params.FileName().empty()) {
    // A filter's extension written without its point still gets one: "report" + "txt" is no "report.txt".
    params.SetFileName(params.FileName() +
                       FormatFileExt(params.Filter() ? params.Filter()->DefaultExt() : ReportFileExt));
  }
}
