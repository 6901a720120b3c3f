#include "output/RLDialogControls.h"

#include "core/Variant.h"
#include "pages/RLConsts.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <vector>

int NumberOf(const std::string& text) {
  std::int64_t value = 0;
  return TryStrToInt64(text, value) && value >= INT_MIN && value <= INT_MAX ? static_cast<int>(value) : 0;
}

int TextWidthNeeded(TControl& control) {
  auto* window = dynamic_cast<TWinControl*>(&control);
  if (!window || dynamic_cast<TLabel*>(&control)) return control.Width();
  window->HandleNeeded();
  const QWidget* widget = window->Widget();
  // A push button's preferred width has the style's generous minimum: its caption and a little room are enough.
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    constexpr int kCaptionRoom = 10;
    const int caption = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
    return std::max(control.Width(), caption + kCaptionRoom);
  }
  // A check box or a radio button needs its mark and its caption; boxes that take typing keep the width given.
  if (qobject_cast<const QAbstractButton*>(widget)) return std::max(control.Width(), widget->sizeHint().width());
  return control.Width();
}

void SpreadRow(std::initializer_list<TControl*> row, bool keepRight, int gap) {
  const TControl* last = *(row.end() - 1);
  const int old_right = last->Left() + last->Width();
  // The row stays inside its box: past it, the edit boxes (which hold short numbers) give up width.
  const TWinControl* box = last->Parent();
  const int limit = box ? box->ClientWidth() - gap : INT_MAX;
  std::vector<TPoint> designed;  // each control's left and width as made
  for (const TControl* control : row) designed.push_back({control->Left(), control->Width()});
  auto lay = [&](int shrink) {
    int right = INT_MIN;
    std::size_t i = 0;
    for (TControl* control : row) {
      const TPoint place = designed[i++];
      const bool is_last = control == last;
      const int left = right == INT_MIN ? place.X : std::max(place.X, right + gap);
      int width = is_last && keepRight ? old_right - left : std::max(place.Y, TextWidthNeeded(*control));
      if (dynamic_cast<TEdit*>(control) && !(is_last && keepRight)) width = std::max(24, width - shrink);
      control->SetBounds(left, control->Top(), width, control->Height());
      right = left + width;
    }
    return right;
  };
  int edits = 0;
  for (TControl* control : row) edits += dynamic_cast<TEdit*>(control) ? 1 : 0;
  const int overflow = lay(0) - limit;
  if (overflow > 0 && edits > 0 && !keepRight) lay((overflow + edits - 1) / edits);
}

void AlignLabelTo(TLabel& label, const TControl& box) { label.SetTop(box.Top() + (box.Height() - label.Height()) / 2); }

void EnableEdit(TEdit* edit, bool enabled) {
  edit->SetEnabled(enabled);
  edit->SetColor(enabled ? clWindow : clBtnFace);
}

TButton* MakeDialogButton(TForm* form, const char* name, const std::string& caption, int left, int top,
                          TModalResult result, int tabOrder) {
  auto* button = MakeControl<TButton>(form, form, name, left, top, 75, 25);
  button->SetCaption(caption);
  button->SetDefault(result == mrOk);
  button->SetCancel(result == mrCancel);
  button->SetModalResult(result);
  button->SetTabOrder(tabOrder);
  return button;
}

TRLPageRangeBox MakePageRangeBox(TForm* form, const TRLPageRangeLayout& layout, int tabOrder,
                                 const std::function<void()>& edited) {
  const TRLEngineMessages& m = EngineMessages();
  const TRect& r = layout.Box;
  TRLPageRangeBox b;
  b.Box = MakeControl<TGroupBox>(form, form, "GroupBoxPages", r.Left, r.Top, r.Width(), r.Height());
  b.Box->SetCaption(" " + m.msgPageRange + " ");
  b.Box->SetTabOrder(tabOrder);
  auto radio = [&](const char* name, TPoint at, int width, const std::string& caption, int order) {
    auto* button = MakeControl<TRadioButton>(form, b.Box, name, at.X, at.Y, width, 17);
    button->SetCaption(caption);
    button->SetTabOrder(order);
    return button;
  };
  b.All = radio("RadioButtonPagesAll", layout.All, 113, m.msgAll, 0);
  b.All->SetChecked(true);
  b.All->SetTabStop(true);
  b.Interval = radio("RadioButtonPagesInterval", layout.Interval, 61, m.msgPages, 1);
  b.Selection = radio("RadioButtonPagesSelect", layout.Selection, 73, m.msgSelection, 2);
  auto page_box = [&](const char* name, TPoint at, int order) {
    auto* edit = MakeControl<TEdit>(form, b.Box, name, at.X, at.Y, 41, 21);
    edit->SetTabStop(false);
    edit->SetTabOrder(order);
    edit->OnChange = [edited](TObject*) { edited(); };
    return edit;
  };
  b.FromLabel = MakeDialogLabel(form, b.Box, "LabelFromPage", m.msgRangeFrom + ":", layout.FromLabel.X,
                                layout.FromLabel.Y, 15, 13);
  b.From = page_box("EditFromPage", layout.From, 3);
  b.ToLabel = MakeDialogLabel(form, b.Box, "LabelToPage", layout.ToCaption, layout.ToLabel.X, layout.ToLabel.Y, 18, 13);
  b.To = page_box("EditToPage", layout.To, 4);
  // The labels' texts differ in length from one language to another: the row makes room for them.
  AlignLabelTo(*b.FromLabel, *b.From);
  AlignLabelTo(*b.ToLabel, *b.To);
  SpreadRow({b.Interval, b.FromLabel, b.From, b.ToLabel, b.To});
  return b;
}

void TRLPageRangeBox::Show(TRLPageRangeChoice choice, int fromPage, int toPage) const {
  From->SetText(NumberText(fromPage));
  To->SetText(NumberText(toPage));
  switch (choice) {
    case prcAllPages: All->SetChecked(true); break;
    case prcSelection: Selection->SetChecked(true); break;
    case prcPageNums: Interval->SetChecked(true); break;
  }
}

TRLPageRangeChoice TRLPageRangeBox::Read(int minPage, int maxPage, int& fromPage, int& toPage) const {
  if (All->Checked()) {
    fromPage = minPage;
    toPage = maxPage;
    return prcAllPages;
  }
  fromPage = NumberOf(From->GetText());
  if (Selection->Checked()) {
    toPage = fromPage;
    return prcSelection;
  }
  toPage = NumberOf(To->GetText());
  return prcPageNums;
}
