#pragma once

// The window in which a generated report is shown: a tool bar and one or two preview controls stacked one above
// the other.

#include "output/RLFindDialog.h"
#include "output/RLPreview.h"
#include "widgets/Buttons.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"
#include "widgets/Timer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRLGraphicStorage;
class TRLOutlinePanel;
class TRLPreviewForm;

// The preview windows' defaults, for reports that ask for them. Every window records its window state here when it
// closes. Zoom: a factor, or -1 full width, -2 full page, -3 multiple pages.
struct TRLPreviewDefaults {
  TWindowState WindowState = wsMaximized;
  TPosition Position = poDesigned;
  TFormStyle FormStyle = fsNormal;
  TBorderIcons BorderIcons{biSystemMenu, biMinimize, biMaximize};
  std::string HelpFile;
  int HelpContext = 0;
  // Empty keeps the window's own caption.
  std::string Caption;
  double Zoom = 100;
};
TRLPreviewDefaults& PreviewDefaults();

// What the window's Print, Save and printer-setup buttons do. Printing and saving install their actions here; a
// button without one tells the user that the operation is not available.
struct TRLPreviewOutputActions {
  std::function<void(TRLPreviewForm& form)> Print;
  std::function<void(TRLPreviewForm& form)> Save;
  std::function<void(TRLPreviewForm& form)> Setup;
};
TRLPreviewOutputActions& PreviewOutputActions();

// The report's title made a file name: blanks trimmed at both ends, control characters, " * / : < > ? \ | and
// character 127 removed, the result made a full path from the current folder.
std::string PreviewFileName(const std::string& title);

class TRLPreviewForm : public TForm {
public:
  explicit TRLPreviewForm(TComponent* owner = nullptr);
  ~TRLPreviewForm() override;

  TPanel* PanelTools;
  TSpeedButton* SpeedButtonPrint;
  TSpeedButton* SpeedButtonSave;
  TSpeedButton* SpeedButtonSend;
  TBevel* Bevel1;
  TSpeedButton* SpeedButtonSetup;
  TBevel* Bevel2;
  TSpeedButton* SpeedButtonFirst;
  TSpeedButton* SpeedButtonPrior;
  TPanel* PanelPages;
  TLabel* LabelPage;
  TEdit* EditPageNo;
  TLabel* LabelOf;
  TPanel* PanelPageCount;
  TSpeedButton* SpeedButtonNext;
  TSpeedButton* SpeedButtonLast;
  TBevel* Bevel3;
  TSpeedButton* SpeedButtonZoomDown;
  TSpeedButton* SpeedButtonZoomUp;
  TPanel* PanelZoom;
  TComboBox* ComboBoxZoom;
  TBevel* Bevel4;
  TSpeedButton* SpeedButtonViews;
  TBevel* Bevel5;
  TSpeedButton* SpeedButtonEdit;
  TBevel* Bevel6;
  TSpeedButton* SpeedButtonClose;
  TPanel* PanelCopyright;
  TSpeedButton* SpeedButtonCopyright;
  TPanel* PanelContainer;
  TTimer* TimerRepeat;
  // The report's groups at the left, and the toolbar's toggle that shows them.
  TRLOutlinePanel* PanelOutline;
  TSpeedButton* SpeedButtonOutline;

  int PreviewCount() const { return static_cast<int>(previews_.size()); }
  TRLPreview* Previews(int index) const { return previews_.at(static_cast<std::size_t>(index)).preview; }
  TSplitter* Splitters(int index) const { return previews_.at(static_cast<std::size_t>(index)).splitter; }
  int PreviewIndex() const { return preview_index_; }
  // The preview that the tool bar acts on, or null.
  TRLPreview* ActivePreview() const;
  void SetActivePreview(TRLPreview* preview);
  // The find dialog, once it was opened.
  TfrmRLFindDialog* FindDialog() const { return find_dialog_.get(); }
  // The collection of the first preview.
  TRLGraphicStorage* Pages() const;

  // The counter of the repeat of Prior and Next, in milliseconds.
  int RepeatCounter() const { return repeat_counter_; }

  void SpeedButtonPrintClick(TObject* sender);
  void SpeedButtonSaveClick(TObject* sender);
  void SpeedButtonSendClick(TObject* sender);
  void SpeedButtonSetupClick(TObject* sender);
  void SpeedButtonFirstClick(TObject* sender);
  void SpeedButtonLastClick(TObject* sender);
  void SpeedButtonPriorMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void SpeedButtonPriorMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void TimerRepeatTimer(TObject* sender);
  void EditPageNoChange(TObject* sender);
  void ComboBoxZoomChange(TObject* sender);
  void SpeedButtonZoomUpClick(TObject* sender);
  void SpeedButtonZoomDownClick(TObject* sender);
  void SpeedButtonViewsClick(TObject* sender);
  void SpeedButtonEditClick(TObject* sender);
  void SpeedButtonCloseClick(TObject* sender);
  void rpvDefaultChangeView(TObject* sender);
  void SpeedButtonOutlineClick(TObject* sender);
  void FormKeyDown(TObject* sender, int& key, TShiftState shift);
  void FormClose(TObject* sender, TCloseAction& action);

  // Creates the find dialog on first use, puts the focus on its text box and shows it.
  void OpenFindDialog();
  // The find dialog's search: the active preview's Find.
  void FindDialogFind(TfrmRLFindDialog* sender, const std::string& text, bool& found, int options);

  // Writes the active preview's page and zoom into their boxes (unless the user is typing in them).
  void RefreshPageBox();
  void RefreshZoomBox();
  // Puts the previews one above the other, sharing the window's height.
  void StackPreviews();
  // Lays the tool bar's controls out in their places while they fit the window's width, and on further rows, in
  // the same order and groups, where they do not (a narrow window, a screen scaled up).
  void WrapToolBar();
  // Sizes the window for when it is not maximized: the first preview's page whole at 100% beside the outline
  // where it shows, below the tool bar, and the window no narrower than the tool bar's single row. Showing the
  // window then keeps it within the screen.
  void SizeToPage();

protected:
  void BoundsChanged() override;

private:
  struct TPreviewSlot {
    TRLPreview* preview;
    TSplitter* splitter;
  };

  TSpeedButton* MakeButton(TWinControl* parent, const char* name, int left, int top, int width, int height,
                           const std::string& caption, const std::string& hint);
  TBevel* MakeBevel(const char* name, int left);
  TPanel* MakePanel(TWinControl* parent, const char* name, int left, int top, int width, int height);
  void SetGlyph(TSpeedButton* button, int glyph);
  void GiveAccelerators();
  TRLPreview* AddPreview();
  void RemoveSecondPreview();
  // Runs one of the output actions, or says that it is not available; the focus comes back to where it was.
  void RunOutputAction(const std::function<void(TRLPreviewForm&)>& action, const std::string& unavailable);

  std::vector<TPreviewSlot> previews_;
  // The tool bar's controls in order, each with its place on a single row.
  std::vector<std::pair<TControl*, int>> tool_places_;
  int preview_index_ = -1;
  std::unique_ptr<TfrmRLFindDialog> find_dialog_;
  bool editing_zoom_ = false;
  bool editing_page_no_ = false;
  // Set while the program itself writes into the page and zoom boxes.
  bool refreshing_ = false;
  int repeat_counter_ = 0;
};

// Opens a preview window on the collection: modal windows run until closed and are then freed; others are brought
// to the front and free themselves when closed.
void ShowPreview(TRLGraphicStorage* pages, bool modal, TFormStyle formStyle, const std::string& caption,
                 int helpContext, const std::string& helpFile, TBorderIcons borderIcons, TWindowState windowState,
                 TPosition position);

// Makes the report's Preview open the preview window. Programs with a screen install it once at start-up.
void InstallReportPreviewWindow();
