#pragma once

// The print dialog and the process-wide print parameters that callers fill before it and read after it.

#include "core/Sets.h"
#include "output/RLDialogControls.h"
#include "output/RLOutputParams.h"
#include "pages/RLTypes.h"
#include "widgets/Forms.h"

#include <string>
#include <vector>

class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TButton;

enum TRLPrintDialogOption {
  rpoPrintToFile,
  rpoPageNums,
  rpoSelection,
  rpoWarning,
  rpoHelp,
  rpoDisablePrintToFile,
  rpoDisableCopies,
  rpoDisablePrintInBackground
};
using TRLPrintDialogOptions = TSet<TRLPrintDialogOption, 8>;
enum TRLPrintRange { rprAllPages, rprSelection, rprPageNums };
static_assert(rprPageNums == static_cast<int>(prcPageNums) && rprSelection == static_cast<int>(prcSelection));

class TRLPrintParams : public TRLOutputParams<TRLCustomPrintFilter> {
public:
  explicit TRLPrintParams(TComponent* owner = nullptr) : TRLOutputParams(owner) {}

  TRLPrintDialogOptions Options() const { return options_; }
  void SetOptions(TRLPrintDialogOptions options) { options_ = options; }
  TRLPrintRange PrintRange() const { return print_range_; }
  void SetPrintRange(TRLPrintRange value) { print_range_ = value; }
  int Copies() const { return copies_; }
  void SetCopies(int value) { copies_ = value; }
  bool PrintToFile() const { return print_to_file_; }
  void SetPrintToFile(bool value) { print_to_file_ = value; }
  bool PrintInBackground() const { return print_in_background_; }
  void SetPrintInBackground(bool value) { print_in_background_ = value; }
  TRLPageOrientation Orientation() const { return orientation_; }
  void SetOrientation(TRLPageOrientation value) { orientation_ = value; }

  // Back to the start of a print request, the copies those of the printer; Options, PrintToFile,
  // PrintInBackground and Filter stay.
  void Clear();

private:
  TRLPrintDialogOptions options_{rpoPrintToFile, rpoPageNums, rpoSelection, rpoWarning, rpoDisablePrintToFile};
  TRLPrintRange print_range_ = rprAllPages;
  int copies_ = 1;
  bool print_to_file_ = false;
  bool print_in_background_ = false;
  TRLPageOrientation orientation_ = TRLPageOrientation::poPortrait;
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
  TRLPageRangeBox page_range_;
};
