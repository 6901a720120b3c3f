#pragma once

#include "widgets/Controls.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A tree of texts, one column, read only. Items are numbered in the order they were given, each hanging from an
// earlier one or from the top.
class TTreeView : public TWinControl {
public:
  explicit TTreeView(TComponent* owner);

  // Replaces the items: their texts and, for each, the index of the item it hangs from (-1 for the top). Selects
  // none.
  void SetItems(std::vector<std::string> texts, std::vector<int> parents);
  int ItemCount() const { return static_cast<int>(texts_.size()); }
  const std::string& ItemText(int index) const { return texts_.at(static_cast<std::size_t>(index)); }
  // The highlighted item, or -1. Setting it opens the items above it and scrolls it into view; it raises nothing.
  int Selected() const { return selected_; }
  void SetSelected(int index);

  // A click on an item, or Enter on the highlighted one.
  std::function<void(int index)> OnActivate;
  // Typing in the tree: the text typed so far (it starts again after a pause) and the item the search starts
  // from; answers the item to highlight, or -1 to leave the highlight. Without it nothing is searched.
  std::function<int(const std::string& typed, int from)> OnSearch;

  // As the keys typed into the tree do: adds `text` to what was typed (or starts anew after a pause), asks
  // OnSearch, highlights what it answers, and returns the text searched for.
  std::string TypeSearch(const std::string& text);
  // Raises OnActivate for the item, as a click on it does.
  void Activate(int index);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  friend class TTreeWidget;
  std::vector<std::string> texts_;
  std::vector<int> parents_;
  int selected_ = -1;
  // Counts the changes of the items, so that the widget rebuilds them only when they changed.
  int items_version_ = 0;
  int widget_items_version_ = -1;
  bool syncing_ = false;
  std::string typed_;
  std::chrono::steady_clock::time_point last_typed_{};
};
