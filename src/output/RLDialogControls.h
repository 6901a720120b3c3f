#pragma once

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

// A control of a dialog built in code: owned by the form, named, placed on its parent.
template <typename T>
T* MakeDialogControl(TForm* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A label whose caption is a message followed by a colon.
inline TLabel* MakeDialogLabel(TForm* form, TWinControl* parent, const char* name, const std::string& caption,
                               int left, int top, int width, int height) {
  auto* label = MakeDialogControl<TLabel>(form, parent, name, left, top, width, height);
  label->SetCaption(caption);
  return label;
}

// A page number or count as an edit box shows it: empty for 0.
inline std::string NumberText(int value) { return value == 0 ? std::string() : std::to_string(value); }
// The number an edit box holds; 0 when it holds no number.
int NumberOf(const std::string& text);
// An edit box takes the window colour when enabled and the dialog's when not.
void EnableEdit(TEdit* edit, bool enabled);
