#pragma once

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

// A label whose caption is a message followed by a colon.
inline TLabel* MakeDialogLabel(TForm* form, TWinControl* parent, const char* name, const std::string& caption, int left,
                               int top, int width, int height) {
  auto* label = MakeControl<TLabel>(form, parent, name, left, top, width, height);
  label->SetCaption(caption);
  return label;
}

// A page number or count as an edit box shows it: empty for 0.
inline std::string NumberText(int value) { return value == 0 ? std::string() : std::to_string(value); }
// The number an edit box holds; 0 when it holds no number.
int NumberOf(const std::string& text);
// An edit box takes the window colour when enabled and the dialog's when not.
void EnableEdit(TEdit* edit, bool enabled);
