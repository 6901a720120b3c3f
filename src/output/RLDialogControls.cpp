#include "output/RLDialogControls.h"

#include "framework/Variant.h"

#include <climits>

int NumberOf(const std::string& text) {
  std::int64_t value = 0;
  return TryStrToInt64(text, value) && value >= INT_MIN && value <= INT_MAX ? static_cast<int>(value) : 0;
}

void EnableEdit(TEdit* edit, bool enabled) {
  edit->SetEnabled(enabled);
  edit->SetColor(enabled ? clWindow : clBtnFace);
}
