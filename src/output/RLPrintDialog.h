#pragma once

// The print dialog and the process-wide print parameters that callers fill before it and read after it.

#include "framework/Forms.h"
#include "framework/Sets.h"
#include "pages/RLTypes.h"

#include <string>
#include <vector>

class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TButton;
class TRLCustomPrintFilter;

enum TRLPrintDialogOption {
  rpoPrintToFile, rpoPageNums, rpoSelection, rpoWarning, rpoHelp, rpoDisablePrintToFile, rpoDisableCopies,
  rpoDisablePrintInBackground
};
using TRLPrintDialogOptions = TSet<TRLPrintDialogOption, 8>;
enum TRLPrintRange { rprAllPages, rprSelection, rprPageNums };

class TRLPrintParams : public TComponent {
public:
  explicit TRLPrintParams(TComponent* owner = nullptr);
  ~TRLPrintParams() override;

  TRLPrintDialogOptions Options() const { return options_; }
  void SetOptions(TRLPrintDialogOptions options) { options_ = options; }
  int MaxPage() const { return max_page_; }
  // ToPage follows when it was at the old MaxPage.
  void SetMaxPage(int value);
  int MinPage() const { return min_page_; }
  void SetMinPage(int value) { min_page_ = value; }
  int FromPage() const { return from_page_; }
  void SetFromPage(int value) { from_page_ = value; }
  int ToPage() const { return to_page_; }
  void SetToPage(int value) { to_page_ = value; }
  TRLPrintRange PrintRange() const { return print_range_; }
  void SetPrintRange(TRLPrintRange value) { print_range_ = value; }
  int Copies() const { return copies_; }
  void SetCopies(int value) { copies_ = value; }
  bool PrintToFile() const { return print_to_file_; }
  void SetPrintToFile(bool value) { print_to_file_ = value; }
  bool PrintInBackground() const { return print_in_background_; }
  void SetPrintInBackground(bool value) { print_in_background_ = value; }
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& value) { file_name_ = value; }
  TRLPageOrientation Orientation() const { return orientation_; }
  void SetOrientation(TRLPageOrientation value) { orientation_ = value; }
  // Null: the printer output.
  TRLCustomPrintFilter* Filter() const { return filter_; }
  void SetFilter(TRLCustomPrintFilter* filter);
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int value) { help_context_ = value; }

  // Back to the start of a print request; Options, PrintToFile, PrintInBackground and Filter stay.
  void Clear();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TRLPrintDialogOptions options_{rpoPrintToFile, rpoPageNums, rpoSelection, rpoWarning, rpoDisablePrintToFile};
  int max_page_ = 9999;
  int min_page_ = 1;
  int from_page_ = 1;
  int to_page_ = 9999;
  TRLPrintRange print_range_ = rprAllPages;
  int copies_ = 1;
  bool print_to_file_ = false;
  bool print_in_background_ = false;
  std::string file_name_;
  TRLPageOrientation orientation_ = TRLPageOrientation::poPortrait;
  TRLCustomPrintFilter* filter_ = nullptr;
  int help_context_ = 0;
};

// The process-wide print parameters.
TRLPrintParams& PrintParams();

class TRLPrintDialog : public TForm {
public:
  explicit TRLPrintDialog(TComponent* owner = nullptr);

  // Fills the lists, loads the parameters, shows the dialog modally and, on OK, stores the choices back.
  bool Execute();

  TGroupBox* GroupBoxPrinter;
  TLabel* LabelPrinterName;
  TComboBox* ComboBoxPrinterNames;
  TLabel* LabelFilterName;
  TComboBox* ComboBoxFilters;
  TLabel* LabelOptions;
  TComboBox* ComboBoxOptions;
  TCheckBox* CheckBoxPrintToFile;
  TCheckBox* CheckBoxPrintInBackground;
  TGroupBox* GroupBoxPages;
  TRadioButton* RadioButtonPagesAll;
  TRadioButton* RadioButtonPagesInterval;
  TRadioButton* RadioButtonPagesSelect;
  TLabel* LabelFromPage;
  TEdit* EditFromPage;
  TLabel* LabelToPage;
  TEdit* EditToPage;
  TGroupBox* GroupBoxCopies;
  TLabel* LabelCopies;
  TEdit* EditCopies;
  TButton* ButtonOk;
  TButton* ButtonCancel;

  void EditFromPageChange(TObject* sender);
  void ComboBoxFiltersChange(TObject* sender);

  // The steps of Execute.
  void LoadPrinterList();
  void LoadFilterList();
  void LoadEditors();
  void SaveEditors();

  // The filter of the selected item of ComboBoxFilters (null for the first item or none).
  TRLCustomPrintFilter* SelectedFilter() const;

private:
  std::vector<TRLCustomPrintFilter*> filters_;
};
