#pragma once

// The save dialog and the process-wide save parameters.

#include "core/Sets.h"
#include "output/RLDialogControls.h"
#include "output/RLOutputParams.h"
#include "widgets/Forms.h"

#include <string>
#include <vector>

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TSaveDialog;
class TSpeedButton;

enum TRLSaveDialogOption { rsoDisableSaveInBackground };
using TRLSaveDialogOptions = TSet<TRLSaveDialogOption, 8>;
enum TRLSaveRange { rsrAllPages, rsrSelection, rsrPageNums };
static_assert(rsrPageNums == static_cast<int>(prcPageNums) && rsrSelection == static_cast<int>(prcSelection));

class TRLSaveParams : public TRLOutputParams<TRLCustomSaveFilter> {
public:
  explicit TRLSaveParams(TComponent* owner = nullptr) : TRLOutputParams(owner) {}

  TRLSaveDialogOptions Options() const { return options_; }
  void SetOptions(TRLSaveDialogOptions options) { options_ = options; }
  TRLSaveRange SaveRange() const { return save_range_; }
  void SetSaveRange(TRLSaveRange value) { save_range_ = value; }
  bool SaveInBackground() const { return save_in_background_; }
  void SetSaveInBackground(bool value) { save_in_background_ = value; }

  // Back to the start of a save request; Options, SaveInBackground and Filter stay.
  void Clear();

private:
  TRLSaveDialogOptions options_;
  TRLSaveRange save_range_ = rsrAllPages;
  bool save_in_background_ = false;
};

// The process-wide save parameters.
TRLSaveParams& SaveParams();

class TRLSaveDialog : public TForm {
public:
  explicit TRLSaveDialog(TComponent* owner = nullptr);

  // Fills the format list, loads the parameters, shows the dialog modally and, on OK, stores the choices back.
  bool Execute();

  TLabel* LabelFileName;
  TEdit* EditFileName;
  TSpeedButton* SpeedButtonLookup;
  TLabel* LabelUseFilter;
  TComboBox* ComboBoxFilters;
  TGroupBox* GroupBoxPages;
  TRadioButton* RadioButtonPagesAll;
  TRadioButton* RadioButtonPagesInterval;
  TRadioButton* RadioButtonPagesSelect;
  TLabel* LabelFromPage;
  TEdit* EditFromPage;
  TLabel* LabelToPage;
  TEdit* EditToPage;
  TCheckBox* CheckBoxSaveInBackground;
  TButton* ButtonSave;
  TButton* ButtonCancel;
  TSaveDialog* SaveDialog;

  void EditFromPageChange(TObject* sender);
  void SpeedButtonLookupClick(TObject* sender);

  // The steps of Execute.
  void LoadFilterList();
  void LoadEditors();
  void SaveEditors();
  // Whether Save may go on: nothing would be replaced, or the user agreed to replace the file (for PNG, the page
  // images) that the choices name. Called by ButtonSave; No keeps the dialog open.
  bool ConfirmReplace();

  // The filter of the selected format (null for the first item or none).
  TRLCustomSaveFilter* SelectedFilter() const;

private:
  // The file name and format that the choices give: the extension decides, a name without one gets the format's.
  std::pair<std::string, TRLCustomSaveFilter*> ChosenTarget() const;

  std::vector<TRLCustomSaveFilter*> filters_;
  // The name the file chooser returned: it asked about replacing that file already.
  std::string confirmed_by_chooser_;
  TRLPageRangeBox page_range_;
};

// The name and extension offered for the report file when no save filter is chosen.
inline constexpr const char* ReportFileTypeName = "ZozozoRavivi";
inline constexpr const char* ReportFileExt = ".rpf";
