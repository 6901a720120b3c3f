#pragma once

// The preview control: pages of a page collection shown on screen as one or three page boxes at a zoom factor,
// with navigation, scrolling, search and the picking of recorded objects.

#include "widgets/Controls.h"
#include "widgets/Menus.h"
#include "widgets/ScrollBox.h"

#include <array>
#include <string>

class TRLGraphicStorage;
class TRLGraphicSurface;
class TRLPreview;

// One page of the preview: a white page with a frame and a shadow, or a gray crossed box past the last page.
class TRLPreviewBox : public TCustomControl {
public:
  TRLPreviewBox(TRLPreview* preview, int boxIndex);

  TRLPreview* Preview() const { return preview_; }
  // Which box of the preview this is: 0, 1 or 2.
  int BoxIndex() const { return box_index_; }
  // The index of the page shown (the preview's PageIndex plus BoxIndex); the page may not exist.
  int PageIndex() const;
  // The number the user sees for that page.
  int PageNumber() const;

  // A page coordinate shown at the current zoom, and back.
  int ToBox(int pageCoordinate) const;
  int ToPage(int boxCoordinate) const;
  TRect ToBox(const TRect& pageRect) const;

  // The object picked in editing mode, as its index on the page; -1 for none.
  int Selected() const { return selected_; }
  void SetSelected(int objectIndex);
  // The smallest object of the page whose bounds hold the box point (edges included); -1 for none.
  int ObjectAt(int x, int y) const;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  // Puts the page on the clipboard as a 32-bit bitmap of its own size, painted at scale 1.
  void CopyToClipboard();

protected:
  void Paint() override;

private:
  void PaintSelection(TCanvas& canvas, TRLGraphicSurface& page);
  void PaintFindHighlight(TCanvas& canvas, TRLGraphicSurface& page);

  TRLPreview* preview_;
  int box_index_;
  int selected_ = -1;
};

// The last search hit: the page and the object on it.
struct TRLFindHit {
  bool Found = false;
  int PageIndex = -1;
  int ObjectIndex = -1;
};

class TRLPreview : public TScrollBox {
public:
  explicit TRLPreview(TComponent* owner);
  ~TRLPreview() override;

  // The collection shown, held through a link; null for none.
  TRLGraphicStorage* Pages() const { return pages_; }
  // Unlinks the old collection, links the new one and shows its first page.
  void SetPages(TRLGraphicStorage* pages);
  int PageCount() const;
  // From the collection's named values; 0 without a collection.
  int FirstPageNumber() const;
  int LastPageNumber() const;
  // FirstPageNumber + PageIndex; 0 without a collection.
  int CurrentPageNumber() const;

  double ZoomFactor() const { return zoom_factor_; }
  // Ignored below 10 and when unchanged.
  void SetZoomFactor(double zoom);
  int VisibleBoxes() const { return visible_boxes_; }
  int PageIndex() const { return page_index_; }
  // Ignored outside the pages and when unchanged; scrolls back to the top left.
  void SetPageIndex(int index);
  TRLPreviewBox* Boxes(int index) const { return boxes_.at(static_cast<std::size_t>(index)); }
  TPopupMenu* Popup() const { return popup_; }

  // Navigation, by the numbers the user sees.
  void GotoPage(int pageNumber);
  // Shows the page with the given index scrolled so that `row` (in page pixels) is near the top.
  void ShowPageAt(int index, int row);
  void FirstPage();
  void PriorPage();
  void NextPage();
  void LastPage();

  void ScrollTop();
  void ScrollBottom();
  void ScrollLeftEnd();
  void ScrollRightEnd();
  // By the control's height or width.
  void ScrollUp();
  void ScrollDown();
  void ScrollLeft();
  void ScrollRight();
  // By ten pixels.
  void ScrollLineUp();
  void ScrollLineDown();
  void ScrollLineLeft();
  void ScrollLineRight();

  // The three views: one box at the zoom that shows the whole page or the page's width, or three boxes side by side.
  void ZoomFullPage();
  void ZoomFullWidth();
  void ZoomMultiplePages();
  // The factors those views take at the control's present size (100 without a collection).
  double FullWidthZoom() const;
  double FullPageZoom() const;
  double MultiplePagesZoom(int boxes) const;
  // The control's size that shows the first page whole at `zoom`, shadow included; (0, 0) without a collection.
  TPoint PageRoom(double zoom) const;

  bool Editing() const { return editing_; }
  // Turning it off drops the selection of every box.
  void SetEditing(bool on);
  // Drawn with black page frames instead of silver.
  bool IsActive() const { return is_active_; }
  void SetIsActive(bool on);

  // Searches the raw texts of the pages for `text`, from the last hit on, and shows and highlights what it finds.
  bool Find(const std::string& text, bool backward, bool matchCase);
  const TRLFindHit& LastFind() const { return last_find_; }

  // Places the visible boxes: centred where they fit, scrolled where they do not. Raises OnChangeView.
  void ReLayout();
  // Repaints the visible boxes.
  void InvalidateBoxes();
  // The width and height at the last re-layout that a change of size caused.
  TPoint LastSize() const { return last_size_; }

  TNotifyEvent OnChangeView;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  // The wheel scrolls; with Ctrl it zooms in steps of 10, keeping the point under the mouse where it is.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  // Ctrl+C copies the first box's page.
  bool KeyDown(int& key, TShiftState shift) override;
  // Zooms to `zoom` keeping the page point under (x, y), in the control's coordinates, in place.
  void ZoomAround(double zoom, int x, int y);

protected:
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void SetVisibleBoxes(int count);
  void ZoomOrReLayout(double zoom);
  void ClearSelections();

  TRLGraphicStorage* pages_ = nullptr;
  double zoom_factor_ = 100;
  int visible_boxes_ = 1;
  int page_index_ = -1;
  TPoint last_size_;
  bool editing_ = false;
  bool is_active_ = false;
  std::array<TRLPreviewBox*, 3> boxes_{};
  TPopupMenu* popup_ = nullptr;
  TRLFindHit last_find_;
};
