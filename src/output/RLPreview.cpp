#include "output/RLPreview.h"

#include "core/Text.h"
#include "graphics/Bitmap.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pages/RLUtils.h"
#include "widgets/Clipbrd.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Room right of and below each page for its shadow.
constexpr int kShadowRoom = 7;
constexpr int kShadowOffset = 5;
constexpr TColor kGray = RGBColor(128, 128, 128);
constexpr TColor kSilver = RGBColor(192, 192, 192);
constexpr int kLineStep = 10;
constexpr int kWheelStep = 60;
constexpr double kZoomStep = 10;
constexpr double kMinimumZoom = 10;

// The factor that makes `room` pixels, less the shadow's, hold `size` page pixels.
double FitFactor(int room, int size) {
  if (size <= 0) return 100;
  return static_cast<double>(RoundHalfEven((room * 100.0 - kShadowRoom * 100.0) / size));
}

}  // namespace

// ---- TRLPreviewBox ------------------------------------------------------------------------------------------

TRLPreviewBox::TRLPreviewBox(TRLPreview* preview, int boxIndex)
    : TCustomControl(preview), preview_(preview), box_index_(boxIndex) {
  SetOpaque(true);
  SetBounds(0, 0, 1, 1);
  SetPopupMenu(preview->Popup());
}

int TRLPreviewBox::PageIndex() const { return preview_->PageIndex() + box_index_; }

int TRLPreviewBox::PageNumber() const { return preview_->FirstPageNumber() + PageIndex(); }

int TRLPreviewBox::ToBox(int pageCoordinate) const { return RoundToInt(pageCoordinate * preview_->ZoomFactor() / 100); }

int TRLPreviewBox::ToPage(int boxCoordinate) const {
  return RoundToInt(boxCoordinate / (preview_->ZoomFactor() / 100));
}

TRect TRLPreviewBox::ToBox(const TRect& r) const {
  return {ToBox(r.Left), ToBox(r.Top), ToBox(r.Right), ToBox(r.Bottom)};
}

void TRLPreviewBox::SetSelected(int objectIndex) {
  if (objectIndex == selected_) return;
  selected_ = objectIndex;
  Invalidate();
}

int TRLPreviewBox::ObjectAt(int x, int y) const {
  TRLGraphicStorage* pages = preview_->Pages();
  if (!pages) return -1;
  TRLPageRef page = pages->Pages(PageIndex());
  if (!page) return -1;
  int px = ToPage(x), py = ToPage(y);
  int best = -1;
  long long best_area = 0;
  for (int i = 0; i < page->ObjectCount(); ++i) {
    const TRect& b = page->Objects(i)->BoundsRect();
    if (px < b.Left || px > b.Right || py < b.Top || py > b.Bottom) continue;
    long long area = static_cast<long long>(b.Right - b.Left) * (b.Bottom - b.Top);
    if (best < 0 || area < best_area) {
      best = i;
      best_area = area;
    }
  }
  return best;
}

void TRLPreviewBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  preview_->DoEnter();
  if (preview_->Editing()) SetSelected(ObjectAt(x, y));
  TCustomControl::MouseDown(button, shift, x, y);
}

void TRLPreviewBox::DblClick() {
  TCustomControl::DblClick();
  if (PageNumber() != preview_->CurrentPageNumber()) preview_->GotoPage(PageNumber());
  if (preview_->VisibleBoxes() == 3) preview_->ZoomFullWidth();
  else preview_->ZoomMultiplePages();
}

void TRLPreviewBox::CopyToClipboard() {
  TRLGraphicStorage* pages = preview_->Pages();
  if (!pages) return;
  std::unique_ptr<TBitmap> bitmap;
  {
    TRLPageRef page = pages->Pages(PageIndex());
    if (!page) return;
    bitmap = RenderPageToImage(*page, 1.0);
  }
  bitmap->SetPixelFormat(pf32bit);
  Clipboard().Assign(*bitmap);
}

void TRLPreviewBox::Paint() {
  TCanvas& canvas = Canvas();
  TRLGraphicStorage* pages = preview_->Pages();
  TRLPageRef page = pages ? pages->Pages(PageIndex()) : TRLPageRef();

  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(page ? clWhite : kGray);
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetMode(pmCopy);
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(preview_->IsActive() ? clBlack : kSilver);
  TRect frame{0, 0, Width() - kShadowRoom, Height() - kShadowRoom};
  canvas.Rectangle(frame);
  TRect inside{frame.Left + 1, frame.Top + 1, frame.Right - 1, frame.Bottom - 1};
  if (page) {
    const TRect& update = UpdateRect();
    page->PaintTo(canvas, inside, update.Right > update.Left ? &update : nullptr);
  } else {
    canvas.MoveTo(inside.Left, inside.Top);
    canvas.LineTo(inside.Right, inside.Bottom);
    canvas.MoveTo(inside.Left, inside.Bottom - 1);
    canvas.LineTo(inside.Right, inside.Top - 1);
  }

  // Around the page, what the page does not cover: the shadow and the control's colour.
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Parent() ? Parent()->Color() : clBtnFace);
  canvas.FillRect({frame.Right, frame.Top, Width(), frame.Top + kShadowOffset});
  canvas.FillRect({frame.Left, frame.Bottom, frame.Left + kShadowOffset, Height()});
  canvas.FillRect({frame.Right + kShadowOffset, frame.Top + kShadowOffset, Width(), Height()});
  canvas.FillRect({frame.Left + kShadowOffset, frame.Bottom + kShadowOffset, frame.Right + kShadowOffset, Height()});
  canvas.Brush().SetColor(kGray);
  canvas.FillRect({frame.Right, frame.Top + kShadowOffset, frame.Right + kShadowOffset, frame.Bottom + kShadowOffset});
  canvas.FillRect({frame.Left + kShadowOffset, frame.Bottom, frame.Right, frame.Bottom + kShadowOffset});

  if (!page) return;
  PaintSelection(canvas, *page);
  PaintFindHighlight(canvas, *page);
}

void TRLPreviewBox::PaintSelection(TCanvas& canvas, TRLGraphicSurface& page) {
  if (selected_ < 0 || selected_ >= page.ObjectCount()) return;
  int group = page.Objects(selected_)->GroupId();
  std::vector<TRect> marked;
  for (int i = 0; i < page.ObjectCount() && group != 0; ++i) {
    if (page.Objects(i)->GroupId() == group) marked.push_back(ToBox(page.Objects(i)->BoundsRect()));
  }
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetMode(pmCopy);
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(clWhite);
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(marked.size() == 1 ? clBlack : kSilver);
  for (const TRect& r : marked) {
    int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const TPoint handles[] = {{r.Left, r.Top},     {cx, r.Top},    {r.Right, r.Top},   {r.Right, cy},
                              {r.Right, r.Bottom}, {cx, r.Bottom}, {r.Left, r.Bottom}, {r.Left, cy}};
    for (TPoint h : handles) canvas.Rectangle(h.X - 3, h.Y - 3, h.X + 3, h.Y + 3);
  }
}

void TRLPreviewBox::PaintFindHighlight(TCanvas& canvas, TRLGraphicSurface& page) {
  const TRLFindHit& hit = preview_->LastFind();
  if (!hit.Found || hit.PageIndex != PageIndex() || hit.ObjectIndex < 0 || hit.ObjectIndex >= page.ObjectCount()) {
    return;
  }
  TRect r = ToBox(page.Objects(hit.ObjectIndex)->BoundsRect());
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetMode(pmXor);
  canvas.Pen().SetWidth(3);
  canvas.Pen().SetColor(clWhite);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(r.Left - 3, r.Top - 3, r.Right + 3, r.Bottom + 3);
  canvas.Pen().SetMode(pmCopy);
  canvas.Pen().SetWidth(1);
}

// ---- TRLPreview ---------------------------------------------------------------------------------------------

TRLPreview::TRLPreview(TComponent* owner) : TScrollBox(owner) {
  HorzScrollBar().SetTracking(true);
  VertScrollBar().SetTracking(true);
  popup_ = new TPopupMenu(this);
  auto* copy = new TMenuItem(popup_);
  copy->SetCaption(EngineMessages().msgCopy);
  copy->SetShortCut(ShortCut('C', {ssCtrl}));
  copy->OnClick = [this](TObject*) {
    auto* box = dynamic_cast<TRLPreviewBox*>(popup_->PopupComponent());
    (box ? box : boxes_[0])->CopyToClipboard();
  };
  popup_->Add(copy);
  for (int k = 0; k < 3; ++k) {
    boxes_[static_cast<std::size_t>(k)] = new TRLPreviewBox(this, k);
    boxes_[static_cast<std::size_t>(k)]->SetParent(this);
    boxes_[static_cast<std::size_t>(k)]->SetVisible(k == 0);
  }
}

TRLPreview::~TRLPreview() { Destroying(); }

void TRLPreview::Notification(TComponent* component, TOperation operation) {
  TScrollBox::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == pages_) pages_ = nullptr;
  if (component == popup_) popup_ = nullptr;
}

void TRLPreview::SetPages(TRLGraphicStorage* pages) {
  if (pages_ != pages) {
    TRLGraphicStorage* old = pages_;
    pages_ = nullptr;
    if (old) old->Unlink(this);
    pages_ = pages;
    if (pages_) pages_->Link(this);
    last_find_ = {};
    ClearSelections();
  }
  ReLayout();
  FirstPage();
}

int TRLPreview::PageCount() const { return pages_ ? pages_->PageCount() : 0; }

int TRLPreview::FirstPageNumber() const { return pages_ ? pages_->FirstPageNumber() : 0; }

int TRLPreview::LastPageNumber() const { return pages_ ? pages_->LastPageNumber() : 0; }

int TRLPreview::CurrentPageNumber() const { return pages_ ? FirstPageNumber() + page_index_ : 0; }

void TRLPreview::SetZoomFactor(double zoom) {
  if (!(zoom >= kMinimumZoom) || zoom == zoom_factor_) return;
  zoom_factor_ = zoom;
  ReLayout();
}

void TRLPreview::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == page_index_) return;
  page_index_ = index;
  HorzScrollBar().SetPosition(0);
  VertScrollBar().SetPosition(0);
  ReLayout();
}

void TRLPreview::ShowPageAt(int index, int row) {
  if (index < 0 || index >= PageCount()) return;
  SetPageIndex(index);
  // A little of what is above the row stays in sight.
  constexpr int kRoomAbove = 8;
  VertScrollBar().SetPosition(RoundToInt(std::max(0, row - kRoomAbove) * zoom_factor_ / 100));
  if (OnChangeView) OnChangeView(this);
}

void TRLPreview::GotoPage(int pageNumber) {
  if (!pages_) return;
  SetPageIndex(pageNumber - FirstPageNumber());
}

void TRLPreview::FirstPage() { GotoPage(FirstPageNumber()); }

void TRLPreview::PriorPage() { GotoPage(std::max(FirstPageNumber(), CurrentPageNumber() - visible_boxes_)); }

void TRLPreview::NextPage() { GotoPage(std::min(LastPageNumber(), CurrentPageNumber() + visible_boxes_)); }

void TRLPreview::LastPage() { GotoPage(std::max(FirstPageNumber(), LastPageNumber() - visible_boxes_ + 1)); }

void TRLPreview::ScrollTop() { VertScrollBar().SetPosition(0); }

void TRLPreview::ScrollBottom() { VertScrollBar().SetPosition(VertScrollBar().Range()); }

void TRLPreview::ScrollLeftEnd() { HorzScrollBar().SetPosition(0); }

void TRLPreview::ScrollRightEnd() { HorzScrollBar().SetPosition(HorzScrollBar().Range()); }

void TRLPreview::ScrollUp() { VertScrollBar().SetPosition(VertScrollBar().Position() - Height()); }

void TRLPreview::ScrollDown() { VertScrollBar().SetPosition(VertScrollBar().Position() + Height()); }

void TRLPreview::ScrollLeft() { HorzScrollBar().SetPosition(HorzScrollBar().Position() - Width()); }

void TRLPreview::ScrollRight() { HorzScrollBar().SetPosition(HorzScrollBar().Position() + Width()); }

void TRLPreview::ScrollLineUp() { VertScrollBar().SetPosition(VertScrollBar().Position() - kLineStep); }

void TRLPreview::ScrollLineDown() { VertScrollBar().SetPosition(VertScrollBar().Position() + kLineStep); }

void TRLPreview::ScrollLineLeft() { HorzScrollBar().SetPosition(HorzScrollBar().Position() - kLineStep); }

void TRLPreview::ScrollLineRight() { HorzScrollBar().SetPosition(HorzScrollBar().Position() + kLineStep); }

double TRLPreview::FullWidthZoom() const {
  if (!pages_) return 100;
  return FitFactor(Width(), pages_->OrientedPixelWidth());
}

double TRLPreview::FullPageZoom() const {
  if (!pages_) return 100;
  return std::min(FitFactor(Width(), pages_->OrientedPixelWidth()), FitFactor(Height(), pages_->OrientedPixelHeight()));
}

double TRLPreview::MultiplePagesZoom(int boxes) const {
  if (!pages_) return 100;
  int width = pages_->OrientedPixelWidth();
  // Each box holds its page and its shadow, and all of them the control's width: the zoom is rounded down, so
  // that the last page is not cut.
  const int room = Width() / std::max(boxes, 1) - kShadowRoom;
  double across = width > 0 ? std::max(0.0, std::floor(room * 100.0 / width)) : 100;
  return std::min(across, FitFactor(Height(), pages_->OrientedPixelHeight()));
}

TPoint TRLPreview::PageRoom(double zoom) const {
  if (!pages_) return {0, 0};
  return {RoundToInt(pages_->OrientedPixelWidth() * zoom / 100) + kShadowRoom,
          RoundToInt(pages_->OrientedPixelHeight() * zoom / 100) + kShadowRoom};
}

void TRLPreview::SetVisibleBoxes(int count) {
  visible_boxes_ = count;
  for (int k = 0; k < 3; ++k) boxes_[static_cast<std::size_t>(k)]->SetVisible(k < count);
}

void TRLPreview::ZoomFullPage() {
  SetVisibleBoxes(1);
  ZoomOrReLayout(FullPageZoom());
}

void TRLPreview::ZoomFullWidth() {
  SetVisibleBoxes(1);
  ZoomOrReLayout(FullWidthZoom());
}

void TRLPreview::ZoomMultiplePages() {
  SetVisibleBoxes(3);
  ZoomOrReLayout(MultiplePagesZoom(3));
}

void TRLPreview::ZoomOrReLayout(double zoom) {
  double before = zoom_factor_;
  SetZoomFactor(zoom);
  // The boxes changed even when the zoom did not.
  if (zoom_factor_ == before) ReLayout();
}

void TRLPreview::ReLayout() {
  if (IsDestroying()) return;
  int widths[3] = {}, heights[3] = {};
  int total = 0, tallest = 0;
  for (int k = 0; k < visible_boxes_; ++k) {
    int page_width = pages_ ? pages_->OrientedPixelWidth() : 0;
    int page_height = pages_ ? pages_->OrientedPixelHeight() : 0;
    if (pages_) {
      if (TRLPageRef page = pages_->Pages(page_index_ + k)) {
        page_width = page->Width();
        page_height = page->Height();
      }
    }
    widths[k] = RoundToInt(page_width * zoom_factor_ / 100) + kShadowRoom;
    heights[k] = RoundToInt(page_height * zoom_factor_ / 100) + kShadowRoom;
    total = AddClamped(total, widths[k]);
    tallest = std::max(tallest, heights[k]);
  }
  int x, y0;
  if (total < Width()) {
    HorzScrollBar().SetPosition(0);
    x = (Width() - total) / 2;
  } else {
    x = -HorzScrollBar().Position();
  }
  if (tallest < Height()) {
    VertScrollBar().SetPosition(0);
    y0 = (Height() - tallest) / 2;
  } else {
    y0 = -VertScrollBar().Position();
  }
  for (int k = 0; k < visible_boxes_; ++k) {
    TRLPreviewBox* box = boxes_[static_cast<std::size_t>(k)];
    box->SetBounds(x, y0 + (tallest - heights[k]) / 2, widths[k], heights[k]);
    box->Invalidate();
    x = AddClamped(x, widths[k]);
  }
  UpdateScrollRanges();
  if (OnChangeView) OnChangeView(this);
}

void TRLPreview::Resize() {
  TScrollBox::Resize();
  if (Width() == last_size_.X && Height() == last_size_.Y) return;
  last_size_ = {Width(), Height()};
  ReLayout();
}

void TRLPreview::InvalidateBoxes() {
  for (int k = 0; k < visible_boxes_; ++k) boxes_[static_cast<std::size_t>(k)]->Invalidate();
}

void TRLPreview::ClearSelections() {
  for (TRLPreviewBox* box : boxes_) box->SetSelected(-1);
}

void TRLPreview::SetEditing(bool on) {
  if (on == editing_) return;
  editing_ = on;
  if (!on) ClearSelections();
}

void TRLPreview::SetIsActive(bool on) {
  is_active_ = on;
  InvalidateBoxes();
}

bool TRLPreview::Find(const std::string& text, bool backward, bool matchCase) {
  if (!pages_) return false;
  const std::string wanted = matchCase ? text : AnsiUpperCase(text);
  const int step = backward ? -1 : 1;
  int page_index = page_index_;
  // INT_MAX stands for the last object of a page whose size is not known yet.
  int object_index;
  if (last_find_.PageIndex == page_index) {
    object_index = last_find_.ObjectIndex + step;
  } else {
    last_find_.PageIndex = -1;
    object_index = backward ? INT_MAX : 0;
  }
  const int count = PageCount();
  while (page_index >= 0 && page_index < count) {
    if (TRLPageRef page = pages_->Pages(page_index)) {
      if (object_index == INT_MAX) object_index = page->ObjectCount() - 1;
      for (; object_index >= 0 && object_index < page->ObjectCount(); object_index += step) {
        auto* object = dynamic_cast<const TRLTextObject*>(page->Objects(object_index));
        if (!object) continue;
        const std::string& raw = object->Text();
        if ((matchCase ? raw : AnsiUpperCase(raw)).find(wanted) == std::string::npos) continue;
        page.Release();
        last_find_ = {true, page_index, object_index};
        ClearSelections();
        InvalidateBoxes();
        SetPageIndex(page_index);
        return true;
      }
    }
    // Leaving the page of the last hit forgets it.
    if (last_find_.PageIndex == page_index) {
      last_find_ = {};
      InvalidateBoxes();
    }
    page_index += step;
    object_index = backward ? INT_MAX : 0;
  }
  return false;
}

void TRLPreview::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  DoEnter();
  TScrollBox::MouseDown(button, shift, x, y);
}

void TRLPreview::ZoomAround(double zoom, int x, int y) {
  double old_zoom = zoom_factor_;
  // The point of the first box's page under the mouse, in page pixels; left and above the box it is negative.
  TRLPreviewBox* box = boxes_[0];
  double page_x = (x - box->Left()) * 100 / old_zoom;
  double page_y = (y - box->Top()) * 100 / old_zoom;
  SetZoomFactor(zoom);
  if (zoom_factor_ == old_zoom) return;
  int now_x = box->Left() + RoundToInt(page_x * zoom_factor_ / 100);
  int now_y = box->Top() + RoundToInt(page_y * zoom_factor_ / 100);
  HorzScrollBar().SetPosition(HorzScrollBar().Position() + now_x - x);
  VertScrollBar().SetPosition(VertScrollBar().Position() + now_y - y);
}

bool TRLPreview::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (handled) return true;
  if (shift.Contains(ssCtrl)) {
    int notches = wheelDelta / 120;
    if (notches == 0) notches = wheelDelta > 0 ? 1 : wheelDelta < 0 ? -1 : 0;
    ZoomAround(std::max(kMinimumZoom, zoom_factor_ + notches * kZoomStep), mousePos.X, mousePos.Y);
  } else {
    VertScrollBar().SetPosition(VertScrollBar().Position() - wheelDelta * kWheelStep / 120);
  }
  return true;
}

bool TRLPreview::KeyDown(int& key, TShiftState shift) {
  if (key == 'C' && shift == TShiftState{ssCtrl}) {
    boxes_[0]->CopyToClipboard();
    key = 0;
    return true;
  }
  return TScrollBox::KeyDown(key, shift);
}
