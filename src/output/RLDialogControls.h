#pragma once

#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <functional>
#include <initializer_list>
#include <string>

// A label whose caption is a message followed by a colon.
inline TLabel* MakeDialogLabel(TForm* form, TWinControl* parent, const char* name, const std::string& caption, int left,
                               int top, int width, int height) {
  auto* label = MakeControl<TLabel>(form, parent, name, left, top, width, height);
  label->SetCaption(caption);
  return label;
}

// Lays out a row of controls from left to right so that no text is cut or touches the next control: each control
// keeps its place and width unless its text needs more, or the one before it, so widened, would reach it within
// `gap`; then it and the rest of the row move right. With `keepRight` the last control keeps its right edge (it
// gives up width instead of leaving its box).
void SpreadRow(std::initializer_list<TControl*> row, bool keepRight = false, int gap = 4);
// The width a control's text needs: a label's own (it sizes itself to its caption), a window control's preferred.
int TextWidthNeeded(TControl& control);
// Sets a label's top so that its text stands on the baseline of the box beside it.
void AlignLabelTo(TLabel& label, const TControl& box);

// A page number or count as an edit box shows it: empty for 0.
inline std::string NumberText(int value) { return value == 0 ? std::string() : std::to_string(value); }
// The number an edit box holds; 0 when it holds no number.
int NumberOf(const std::string& text);
// An edit box takes the window colour when enabled and the dialog's when not.
void EnableEdit(TEdit* edit, bool enabled);

// One of the two buttons that end a dialog: mrOk makes it the default button, mrCancel the one Esc presses.
TButton* MakeDialogButton(TForm* form, const char* name, const std::string& caption, int left, int top,
                          TModalResult result, int tabOrder);

// The page range box that the print and the save dialog share: all pages, the pages typed in two boxes, or the
// selection. Its choices are in the order of both dialogs' range enumerations.
enum TRLPageRangeChoice { prcAllPages, prcSelection, prcPageNums };

// Where the box and its controls sit (the controls inside the box), and the caption after the "to" box's label.
struct TRLPageRangeLayout {
  TRect Box;
  TPoint All, Interval, Selection, FromLabel, From, ToLabel, To;
  std::string ToCaption;
};

struct TRLPageRangeBox {
  TGroupBox* Box = nullptr;
  TRadioButton* All = nullptr;
  TRadioButton* Interval = nullptr;
  TRadioButton* Selection = nullptr;
  TLabel* FromLabel = nullptr;
  TEdit* From = nullptr;
  TLabel* ToLabel = nullptr;
  TEdit* To = nullptr;

  // Fills the page boxes, then checks the choice: filling them must not choose the interval.
  void Show(TRLPageRangeChoice choice, int fromPage, int toPage) const;
  // The checked choice and the pages it covers: every page from `minPage` to `maxPage`, the selection's one page,
  // or the typed interval.
  TRLPageRangeChoice Read(int minPage, int maxPage, int& fromPage, int& toPage) const;
};

// Builds the box on `form` with the names both dialogs give its controls; `edited` runs when either page box changes.
TRLPageRangeBox MakePageRangeBox(TForm* form, const TRLPageRangeLayout& layout, int tabOrder,
                                 const std::function<void()>& edited);
