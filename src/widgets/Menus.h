#pragma once

#include "core/Classes.h"
#include "widgets/Controls.h"

#include <memory>
#include <string>
#include <vector>

// A key with its modifiers, as menus show and match it: the key code in the low word, scShift, scCtrl and scAlt
// above it.
using TShortCut = int;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(int key, TShiftState shift);
// "Ctrl+C", "Shift+F3"; empty for none.
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  TShortCut ShortCut() const { return short_cut_; }
  void SetShortCut(TShortCut shortCut) { short_cut_ = shortCut; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }

  virtual void Click();
  TNotifyEvent OnClick;

private:
  std::string caption_;
  TShortCut short_cut_ = 0;
  bool enabled_ = true;
};

// A menu shown at the mouse by a right click on a control that names it as its PopupMenu.
class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // The menu owns the items added to it.
  void Add(TMenuItem* item);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  // The item whose short cut this is, or null.
  TMenuItem* FindItem(TShortCut shortCut) const;

  // The control the menu was last opened on.
  TComponent* PopupComponent() const { return popup_component_; }
  void SetPopupComponent(TComponent* component);

  // Shows the menu at a screen position and runs the chosen item's OnClick.
  virtual void Popup(int x, int y);
  TNotifyEvent OnPopup;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::vector<TMenuItem*> items_;
  TComponent* popup_component_ = nullptr;
};
