#include "widgets/Menus.h"

#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>

TShortCut ShortCut(int key, TShiftState shift) {
  TShortCut result = key & 0xFF;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  int key = shortCut & 0xFF;
  if (key == 0) return {};
  std::string text;
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scAlt) text += "Alt+";
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) text += static_cast<char>(key);
  else if (key >= VK_F1 && key <= VK_F12) text += "F" + std::to_string(key - VK_F1 + 1);
  else text += "#" + std::to_string(key);
  return text;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() { Destroying(); }

void TPopupMenu::Add(TMenuItem* item) {
  if (item->Owner() != this) {
    if (item->Owner()) item->Owner()->RemoveComponent(item);
    InsertComponent(item);
  }
  items_.push_back(item);
}

TMenuItem* TPopupMenu::FindItem(TShortCut shortCut) const {
  auto it = std::find_if(items_.begin(), items_.end(), [&](TMenuItem* item) { return item->ShortCut() == shortCut; });
  return it == items_.end() ? nullptr : *it;
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (popup_component_ == component) return;
  if (popup_component_) RemoveFreeNotification(popup_component_);
  popup_component_ = component;
  if (component) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == popup_component_) popup_component_ = nullptr;
  items_.erase(std::remove(items_.begin(), items_.end(), component), items_.end());
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  QMenu menu;
  for (TMenuItem* item : items_) {
    QAction* action = menu.addAction(ToQString(item->Caption()));
    action->setEnabled(item->Enabled());
    if (item->ShortCut()) action->setShortcut(QKeySequence(ToQString(ShortCutToText(item->ShortCut()))));
    action->setData(QVariant::fromValue(static_cast<void*>(item)));
  }
  QAction* chosen = menu.exec(QPoint(x, y));
  if (!chosen) return;
  auto* item = static_cast<TMenuItem*>(chosen->data().value<void*>());
  // The item may have gone while the menu was open.
  if (std::find(items_.begin(), items_.end(), item) != items_.end()) RunGuarded([item] { item->Click(); });
}
