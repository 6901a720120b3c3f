#pragma once

// The outline of a report at the left of its preview window: the groups as a tree, a click going to the group's
// page, the group of the page on screen highlighted.

#include "pages/RLOutline.h"
#include "widgets/ExtCtrls.h"
#include "widgets/TreeView.h"

#include <functional>
#include <string_view>

class TRLGraphicStorage;

// The entry whose text has a word starting with `typed`, letters compared without their accents or case, looking
// from `from` (inclusive) to the end and then from the start; -1 when none has.
int FindOutlineEntry(const TRLOutline& outline, std::string_view typed, int from);

// The entry of a page: the first one that starts on it, else the last one before it; -1 before the first entry.
int OutlineEntryOfPage(const TRLOutline& outline, int pageIndex);

// The panel's width and whether the user wants it, kept from one preview window to the next.
struct TRLOutlinePanelSettings {
  int Width = 220;
  bool Wanted = true;
};
TRLOutlinePanelSettings& OutlinePanelSettings();

class TRLOutlinePanel : public TPanel {
public:
  // Puts itself at the left of `form`'s client area, with a splitter beside it.
  explicit TRLOutlinePanel(TWinControl* form);
  ~TRLOutlinePanel() override;

  TTreeView* Tree;
  TSplitter* Splitter;

  // Takes the collection's outline. The panel shows only when there is one and the user wants it.
  void SetPages(TRLGraphicStorage* pages);
  TRLGraphicStorage* Pages() const { return pages_; }
  const TRLOutline& Outline() const { return outline_; }
  bool HasOutline() const { return !outline_.empty(); }
  // Shows or hides the panel for the user (the toolbar's toggle); remembered for the next window.
  void SetWanted(bool wanted);
  bool Wanted() const { return OutlinePanelSettings().Wanted; }
  // Highlights the entry of the page on screen, unless the one highlighted is on that page.
  void FollowPage(int pageIndex);

  // Asked to show an entry's page at its row.
  std::function<void(const TRLOutlineEntry& entry)> OnGoTo;

private:
  void ShowOrHide();

  TRLGraphicStorage* pages_ = nullptr;
  TRLOutline outline_;
};
