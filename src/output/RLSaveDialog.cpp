#include "output/RLSaveDialog.h"

#include "core/Exceptions.h"
#include "core/Translation.h"
#include "output/RLDialogControls.h"
#include "output/RLFilters.h"
#include "output/RLSaveFilters.h"
#include "pages/RLConsts.h"
#include "pages/RLUtils.h"
#include "widgets/Buttons.h"
#include "widgets/Dialogs.h"
#include "widgets/StdCtrls.h"

#include <algorithm>
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

  page_range_ = MakePageRangeBox(
      this, {{12, 68, 377, 169}, {8, 20}, {8, 44}, {8, 68}, {68, 45}, {88, 44}, {136, 45}, {160, 44}, m.msgRangeTo}, 2,
      [this] { EditFromPageChange(EditFromPage); });
  GroupBoxPages = page_range_.Box;
  RadioButtonPagesAll = page_range_.All;
  RadioButtonPagesInterval = page_range_.Interval;
  RadioButtonPagesSelect = page_range_.Selection;
  RadioButtonPagesSelect->SetEnabled(false);
  LabelFromPage = page_range_.FromLabel;
  EditFromPage = page_range_.From;
  LabelToPage = page_range_.ToLabel;
  EditToPage = page_range_.To;

  // Labels are as long as their language makes them: the boxes beside them make room.
  SpreadRow({LabelFileName, EditFileName}, true);
  SpreadRow({LabelUseFilter, ComboBoxFilters});

  CheckBoxSaveInBackground = MakeControl<TCheckBox>(this, this, "CheckBoxSaveInBackground", 12, 172, 365, 17);
  CheckBoxSaveInBackground->SetCaption(m.msgSaveInBackground);
  CheckBoxSaveInBackground->SetTabOrder(3);

  ButtonSave = MakeDialogButton(this, "ButtonSave", m.msgSave, 220, 204, mrOk, 3);
  ButtonSave->SetModalResult(mrNone);
  ButtonSave->OnClick = [this](TObject*) {
    if (ConfirmReplace()) SetModalResult(mrOk);
  };
  ButtonCancel = MakeDialogButton(this, "ButtonCancel", m.msgCancel, 304, 204, mrCancel, 4);

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
  if (SaveDialog->Execute()) {
    EditFileName->SetText(SaveDialog->FileName());
    confirmed_by_chooser_ = SaveDialog->FileName();
  }
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
  page_range_.Show(static_cast<TRLPageRangeChoice>(params.SaveRange()), params.FromPage(), params.ToPage());
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
  int from = 0, to = 0;
  params.SetSaveRange(static_cast<TRLSaveRange>(page_range_.Read(params.MinPage(), params.MaxPage(), from, to)));
  params.SetFromPage(from);
  params.SetToPage(to);
  params.SetSaveInBackground(CheckBoxSaveInBackground->Checked());
  const auto [name, filter] = ChosenTarget();
  params.SetFileName(name);
  params.SetFilter(filter);
}

std::pair<std::string, TRLCustomSaveFilter*> TRLSaveDialog::ChosenTarget() const {
  std::string name = EditFileName->GetText();
  TRLCustomSaveFilter* filter = SelectedFilter();
  if (!std::filesystem::path(name).extension().empty()) {
    // The extension decides: one that no save filter writes (the report file's among them) means the report file.
    filter = SaveFilterByExt(name);
  } else if (!name.empty()) {
    // A filter's extension written without its point still gets one: "report" + "txt" is no "report.txt".
    name += FormatFileExt(filter ? filter->DefaultExt() : ReportFileExt);
  }
  return {name, filter};
}

bool TRLSaveDialog::ConfirmReplace() {
  const auto [name, filter] = ChosenTarget();
  if (name.empty() || name == confirmed_by_chooser_) return true;
  std::string existing;
  std::error_code error;
  if (filter == &PNGFilter()) {
    const TRLSaveParams& params = SaveParams();
    int from = 0, to = 0;
    page_range_.Read(params.MinPage(), params.MaxPage(), from, to);
    for (int page = std::max(from, 1); page <= to && existing.empty(); ++page) {
      const std::string image = PNGPageFileName(name, page, params.MaxPage());
      if (std::filesystem::exists(image, error)) existing = image;
    }
  } else if (std::filesystem::exists(name, error)) {
    existing = name;
  }
  if (existing.empty()) return true;
  return AskYesNo(
      Format(Translate("output", "The file \"%s\" already exists.\nDo you want to replace it?"), {existing}),
      Caption());
}
