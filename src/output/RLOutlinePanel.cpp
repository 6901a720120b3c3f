#include "output/RLOutlinePanel.h"

#include "core/TextFold.h"
#include "pages/RLGraphicStorage.h"

#include <algorithm>
#include <cwctype>

namespace {

// Whether a word of `text` (the text's start, or a letter or digit after anything else) starts with `folded`.
bool AWordStartsWith(std::string_view text, std::u32string_view folded) {
  const std::u32string whole = SearchFold(text);
  for (std::size_t at = whole.find(folded); at != std::u32string::npos; at = whole.find(folded, at + 1)) {
    if (at == 0 || !std::iswalnum(static_cast<wint_t>(whole[at - 1]))) return true;
  }
  return false;
}

}  // namespace

int FindOutlineEntry(const TRLOutline& outline, std::string_view typed, int from) {
  const std::u32string folded = SearchFold(typed);
  if (folded.empty() || outline.empty()) return -1;
  const int count = static_cast<int>(outline.size());
  from = std::clamp(from, 0, count - 1);
  for (int k = 0; k < count; ++k) {
    const int index = (from + k) % count;
    if (AWordStartsWith(outline[static_cast<std::size_t>(index)].Text, folded)) return index;
  }
  return -1;
}

int OutlineEntryOfPage(const TRLOutline& outline, int pageIndex) {
  const auto on_or_after = std::lower_bound(outline.begin(), outline.end(), pageIndex,
                                            [](const TRLOutlineEntry& e, int page) { return e.PageIndex < page; });
  if (on_or_after != outline.end() && on_or_after->PageIndex == pageIndex) {
    return static_cast<int>(on_or_after - outline.begin());
  }
  return static_cast<int>(on_or_after - outline.begin()) - 1;
}

TRLOutlinePanelSettings& OutlinePanelSettings() {
  static TRLOutlinePanelSettings settings;
  return settings;
}

TRLOutlinePanel::TRLOutlinePanel(TWinControl* form) : TPanel(form) {
  SetName("PanelOutline");
  SetBevelOuter(bvNone);
  SetCaption(" ");
  SetBounds(0, 0, OutlinePanelSettings().Width, form->ClientHeight());
  SetParent(form);
  SetAlign(alLeft);
  SetVisible(false);

  Tree = new TTreeView(form);
  Tree->SetName("TreeOutline");
  Tree->SetParent(this);
  Tree->SetAlign(alClient);
  Tree->OnActivate = [this](int index) {
    if (OnGoTo && index >= 0 && index < static_cast<int>(outline_.size())) {
      OnGoTo(outline_[static_cast<std::size_t>(index)]);
    }
  };
  Tree->OnSearch = [this](const std::string& typed, int from) { return FindOutlineEntry(outline_, typed, from); };

  Splitter = new TSplitter(form);
  Splitter->SetName("SplitterOutline");
  Splitter->SetAutoSnap(false);
  Splitter->SetMinSize(60);
  Splitter->SetBounds(Width(), 0, 4, form->ClientHeight());
  Splitter->SetParent(form);
  Splitter->SetAlign(alLeft);
  Splitter->SetVisible(false);
  Splitter->OnMoved = [this](TObject*) { OutlinePanelSettings().Width = Width(); };
}

TRLOutlinePanel::~TRLOutlinePanel() = default;

void TRLOutlinePanel::SetPages(TRLGraphicStorage* pages) {
  pages_ = pages;
  outline_ = pages ? pages->Outline() : TRLOutline();
  std::vector<std::string> texts;
  texts.reserve(outline_.size());
  for (const TRLOutlineEntry& entry : outline_) texts.push_back(entry.Text);
  Tree->SetItems(std::move(texts), OutlineParents(outline_));
  ShowOrHide();
}

void TRLOutlinePanel::SetWanted(bool wanted) {
  OutlinePanelSettings().Wanted = wanted;
  ShowOrHide();
}

void TRLOutlinePanel::ShowOrHide() {
  const bool shown = HasOutline() && Wanted();
  if (shown) SetWidth(OutlinePanelSettings().Width);
  SetVisible(shown);
  Splitter->SetVisible(shown);
  // The splitter sits right of the panel.
  if (shown) Splitter->SetLeft(Left() + Width());
}

void TRLOutlinePanel::FollowPage(int pageIndex) {
  // An entry the user picked stays highlighted while its page is on screen, beside others on the same page.
  const int picked = Tree->Selected();
  if (picked >= 0 && picked < static_cast<int>(outline_.size()) &&
      outline_[static_cast<std::size_t>(picked)].PageIndex == pageIndex) {
    return;
  }
  const int entry = OutlineEntryOfPage(outline_, pageIndex);
  if (entry != Tree->Selected()) Tree->SetSelected(entry);
}
