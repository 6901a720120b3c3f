#pragma once

// Sites: report elements that hold other elements and record them on a drawing surface of their own, which they
// hand to their parent's surface when they close. Margins, backgrounds and the layout of children live here.

#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "report/RLCustomControl.h"

#include <functional>
#include <memory>
#include <optional>

// Four lengths in millimetres with the defaults a definition leaves out.
class TRLMargins : public TPersistent {
public:
  explicit TRLMargins(TRLCustomControl* owner, double default_value = 0);
  TRLCustomControl* Owner() const { return owner_; }

  double LeftMargin() const { return values_[0]; }
  double TopMargin() const { return values_[1]; }
  double RightMargin() const { return values_[2]; }
  double BottomMargin() const { return values_[3]; }
  void SetLeftMargin(double value) { Set(0, value); }
  void SetTopMargin(double value) { Set(1, value); }
  void SetRightMargin(double value) { Set(2, value); }
  void SetBottomMargin(double value) { Set(3, value); }
  double DefaultValue(int side) const { return defaults_[side]; }
  // Sets the four values and their defaults at once (the report's margins start at 10 mm).
  void ResetDefaults(double value);
  bool IsStored(int side) const { return values_[side] != defaults_[side]; }
  // The four values converted to pixels, as left, top, right and bottom.
  TRect Pixels() const;

  void Assign(const TPersistent& source) override;

private:
  void Set(int side, double value);

  TRLCustomControl* owner_;
  double values_[4];
  double defaults_[4];
  // Pixels() is asked for many times a band; converted again after a change.
  mutable std::optional<TRect> pixels_;
};

// A picture painted behind a site's children.
class TRLBackground : public TPersistent {
public:
  explicit TRLBackground(TRLCustomControl* owner);
  TRLCustomControl* Owner() const { return owner_; }

  TRLControlAlign Align() const { return align_; }
  void SetAlign(TRLControlAlign value) {
    align_ = value;
    Changed();
  }
  TRLImageArrange Arrange() const { return arrange_; }
  void SetArrange(TRLImageArrange value) {
    arrange_ = value;
    Changed();
  }
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  int Height() const { return height_; }
  void SetHeight(int value) {
    height_ = value;
    Changed();
  }
  int Width() const { return width_; }
  void SetWidth(int value) {
    width_ = value;
    Changed();
  }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value) {
    stretch_ = value;
    Changed();
  }
  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }
  // Takes a copy of the graphic; with AutoSize the background takes its size.
  void SetGraphic(const TGraphic* graphic);

  // Records the picture inside `rect` as Arrange and Align place it.
  void PaintTo(TRLGraphicSurface& surface, const TRect& rect) const;

  void Assign(const TPersistent& source) override;

private:
  void Changed();
  TRect AlignedRect(const TRect& rect) const;

  TRLCustomControl* owner_;
  TRLControlAlign align_ = faClient;
  TRLImageArrange arrange_ = baAligned;
  bool auto_size_ = true;
  int height_ = 40;
  TPicture picture_;
  bool stretch_ = false;
  int width_ = 40;
};

// A colour gradient from a site's colour to the opposite colour.
class TRLDegradeEffect : public TPersistent {
public:
  explicit TRLDegradeEffect(TRLCustomControl* owner) : owner_(owner) {}
  TRLCustomControl* Owner() const { return owner_; }

  TColor OppositeColor() const { return opposite_color_; }
  void SetOppositeColor(TColor value) {
    opposite_color_ = value;
    Changed();
  }
  TRLDegradeDirection Direction() const { return direction_; }
  void SetDirection(TRLDegradeDirection value) {
    direction_ = value;
    Changed();
  }
  // Strip width in pixels; at least 1.
  int Granularity() const { return granularity_; }
  void SetGranularity(int value) {
    granularity_ = value < 1 ? 1 : value;
    Changed();
  }

  // Fills `rect` with strips running from `color` to the opposite colour.
  void PaintTo(TRLGraphicSurface& surface, const TRect& rect, TColor color) const;

  void Assign(const TPersistent& source) override;

private:
  void Changed();

  TRLCustomControl* owner_;
  TColor opposite_color_ = clBlack;
  TRLDegradeDirection direction_ = ddNone;
  int granularity_ = 1;
};

using TRLDrawSiteEvent = std::function<void(TObject* sender, TRLGraphicSurface& surface, const TRect& rect)>;

class TRLCustomSite : public TRLCustomControl {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomSite>()};

public:
  using ClassBitOwner = TRLCustomSite;
  explicit TRLCustomSite(TComponent* owner);
  ~TRLCustomSite() override;

  TRLBackground& Background() { return background_; }
  TRLDegradeEffect& Degrade() { return degrade_; }
  TRLMargins& InsideMargins() { return inside_margins_; }
  TRLMargins& Margins() { return margins_; }
  const TRLMargins& Margins() const { return margins_; }
  const TRLMargins& InsideMargins() const { return inside_margins_; }
  // The site's own drawing surface.
  TRLGraphicSurface& Surface() { return *surface_; }

  // Where the site stands on the surface it is transferred to.
  int PrintLeft() const { return print_rect_.Left; }
  int PrintTop() const { return print_rect_.Top; }
  int PrintWidth() const { return print_rect_.Width(); }
  int PrintHeight() const { return print_rect_.Height(); }
  void SetPrintRect(int left, int top, int width, int height) { print_rect_ = {left, top, left + width, top + height}; }
  void SetPrintSize(int width, int height) { SetPrintRect(print_rect_.Left, print_rect_.Top, width, height); }

  // Not exposed by the published classes.
  TRLDrawSiteEvent OnDraw;

  // ---- Geometry ----
  // Margins in pixels (left, top, right, bottom).
  virtual TRect GetMarginPixels() const;
  TRect GetInsideMarginPixels() const { return inside_margins_.Pixels(); }
  // The local rect less the margins: where the borders go.
  TRect GetBorderRect() const;
  TRect GetClientRect() const override;
  TRect GetFrameSizes() const override;
  TRect GetPrintBoundsRect() const override;
  TRect GetPrintClientRect() const override;
  TRect GetPrintSizeRect() const override;
  void CalcSize(int& width, int& height) override;

  // ---- Layout ----
  // Places the children by their alignment and anchors, then lets each child site place its own.
  void Realign() override;

  // ---- Printing ----
  bool CanPrint() override;
  void Print() override;
  void SaveBounds() override;
  void RestoreBounds() override;
  void ResetResults() override;
  void ComputeResults(TRLCustomControl* caller) override;
  void MeasureHeight() override;

  // The surface protocol: open (the parent site's surface first), print what the site holds, close and hand the
  // recording to the parent.
  void OpenSurface();
  void CloseSurface();
  bool SurfaceOpened() const;
  virtual void PrepareOpen() {}
  virtual void ComputePrintRect();
  virtual void PrintContents();
  virtual void AfterOpen() {}
  virtual void PrintBody() {}
  virtual void PrintClosing() {}
  virtual void BeforeTransfer() {}
  virtual void TransferToParent();
  virtual void AfterClose() {}
  // Background (degrade or colour), picture and borders inside `rect` on `surface`, as a drawing group of its own.
  virtual void DrawBackground(TRLGraphicSurface& surface, const TRect& rect);

  void PaintContents(TCanvas& canvas) override;
  void PaintCornerMarks(TCanvas& canvas) override;
  void PaintDesignOverlay(TCanvas& canvas) override;

protected:
  void Loaded() override;
  void BordersChanged() override;
  void BoundsApplied() override;
  // Prints the printable children (and, for bands, the child sites) in creation order.
  void PrintChildren(bool sites_too);
  // What DrawBackground records, in the drawing group already started.
  void PaintBackground(TRLGraphicSurface& surface, const TRect& rect);

private:
  friend class TRLMargins;
  friend class TRLBackground;
  friend class TRLDegradeEffect;
  void AlignControls();
  void MarginsChanged();

  TRLBackground background_;
  TRLDegradeEffect degrade_;
  TRLMargins inside_margins_;
  TRLMargins margins_;
  std::unique_ptr<TRLGraphicSurface> surface_;
  TRect print_rect_;
  int aligned_width_ = -1, aligned_height_ = -1;
};

class TRLCustomBandSet : public TRLCustomSite {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomBandSet>()};

public:
  using ClassBitOwner = TRLCustomBandSet;
  explicit TRLCustomBandSet(TComponent* owner) : TRLCustomSite(owner) {}
  // The band sets that opened inside this one since it opened.
  const std::vector<TRLCustomBandSet*>& BandSets() const { return band_sets_; }

protected:
  void PrepareOpen() override;
  void AfterOpen() override;
  void AfterClose() override;

private:
  std::vector<TRLCustomBandSet*> band_sets_;
};
