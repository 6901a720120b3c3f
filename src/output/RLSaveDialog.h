#pragma once

// The save dialog and the process-wide save parameters.

#include "framework/Forms.h"
#include "framework/Sets.h"

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
class TRLCustomSaveFilter;

enum TRLSaveDialogOption { rsoDisableSaveInBackground };
using TRLSaveDialogOptions = TSet<TRLSaveDialogOption, 8>;
enum TRLSaveRange { rsrAllPages, rsrSelection, rsrPageNums };

class TRLSaveParams : public TComponent {
public:
  explicit TRLSaveParams(TComponent* owner = nullptr);
  ~TRLSaveParams() override;

  TRLSaveDialogOptions Options() const { return options_; }
  void SetOptions(TRLSaveDialogOptions options) { options_ = options; }
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& value) { file_name_ = value; }
  int MaxPage() const { return max_page_; }
  // ToPage follows when it was at the old MaxPage.
  void SetMaxPage(int value);
  int MinPage() const { return min_page_; }
  void SetMinPage(int value) { min_page_ = value; }
  int FromPage() const { return from_page_; }
  void SetFromPage(int value) { from_page_ = value; }
  int ToPage() const { return to_page_; }
  void SetToPage(int value) { to_page_ = value; }
  TRLSaveRange SaveRange() const { return save_range_; }
  void SetSaveRange(TRLSaveRange value) { save_range_ = value; }
  bool SaveInBackground() const { return save_in_background_; }
  void SetSaveInBackground(bool value) { save_in_background_ = value; }
  // Null: the report file.
  TRLCustomSaveFilter* Filter() const { return filter_; }
  void SetFilter(TRLCustomSaveFilter* filter);
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int value) { help_context_ = value; }

  // Back to the start of a save request; Options, SaveInBackground and Filter stay.
  void Clear();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TRLSaveDialogOptions options_;
  std::string file_name_;
  int max_page_ = 9999;
  int min_page_ = 1;
  int from_page_ = 1;
  int to_page_ = 9999;
  TRLSaveRange save_range_ = rsrAllPages;
  bool save_in_background_ = false;
  TRLCustomSaveFilter* filter_ = nullptr;
  int help_context_ = 0;
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

  // The filter of the selected format (null for the first item or none).
  TRLCustomSaveFilter* SelectedFilter() const;

private:
  std::vector<TRLCustomSaveFilter*> filters_;
};

// The name and extension offered for the report file when no save filter is chosen.
inline constexpr const char* ReportFileTypeName = "ZozozoRavivi";
inline constexpr const char* ReportFileExt = ".rpf";
