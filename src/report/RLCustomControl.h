#pragma once

// The base of every report element: borders, holders, automatic size, friendly names, the captions, navigation
// up the element tree, the rectangles of a control and its printing onto a page surface.

#include "graphics/GraphicsObjects.h"
#include "report/RLReportTypes.h"
#include "widgets/Controls.h"

#include <string>
#include <vector>

class TCanvas;
class TRLCustomControl;
class TRLCustomSite;
class TRLCustomBand;
class TRLCustomPager;
class TRLCustomGroup;
class TRLCustomSkipper;
class TRLCustomReport;
class TRLGraphicSurface;

// The four sides a control may frame itself with.
class TRLBorders : public TPersistent {
public:
  explicit TRLBorders(TRLCustomControl* owner) : owner_(owner) {}
  TRLCustomControl* Owner() const { return owner_; }

  bool DrawLeft() const { return draw_[0]; }
  bool DrawTop() const { return draw_[1]; }
  bool DrawRight() const { return draw_[2]; }
  bool DrawBottom() const { return draw_[3]; }
  void SetDrawLeft(bool value) { SetDraw(0, value); }
  void SetDrawTop(bool value) { SetDraw(1, value); }
  void SetDrawRight(bool value) { SetDraw(2, value); }
  void SetDrawBottom(bool value) { SetDraw(3, value); }
  bool FixedLeft() const { return fixed_[0]; }
  bool FixedTop() const { return fixed_[1]; }
  bool FixedRight() const { return fixed_[2]; }
  bool FixedBottom() const { return fixed_[3]; }
  void SetFixedLeft(bool value) { SetFixed(0, value); }
  void SetFixedTop(bool value) { SetFixed(1, value); }
  void SetFixedRight(bool value) { SetFixed(2, value); }
  void SetFixedBottom(bool value) { SetFixed(3, value); }
  // Negative widths are ignored.
  int Width() const { return width_; }
  void SetWidth(int value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);
  TRLBorderSides Sides() const { return sides_; }
  void SetSides(TRLBorderSides value);

  // The Draw flags are written only for custom sides.
  bool IsDrawStored() const { return sides_ == sdCustom; }

  // Whether a side prints: its flag is set, and it is fixed or the master report prints in full.
  bool CanDrawLeft() const { return CanDraw(0); }
  bool CanDrawTop() const { return CanDraw(1); }
  bool CanDrawRight() const { return CanDraw(2); }
  bool CanDrawBottom() const { return CanDraw(3); }
  // The border width taken off each drawn side (0 for the others), as left, top, right, bottom.
  TRect DrawnWidths() const;

  // Each drawn side as one filled rectangle of the border's width inside `rect`.
  void PaintTo(TRLGraphicSurface& surface, const TRect& rect) const;
  void PaintTo(TCanvas& canvas, const TRect& rect) const;

  void Assign(const TPersistent& source) override;

private:
  void SetDraw(int side, bool value);
  void SetFixed(int side, bool value);
  bool CanDraw(int side) const;
  void Changed();

  TRLCustomControl* owner_;
  bool draw_[4] = {false, false, false, false};
  bool fixed_[4] = {false, false, false, false};
  int width_ = 1;
  TColor color_ = clBlack;
  TBrushStyle style_ = bsSolid;
  TRLBorderSides sides_ = sdNone;
};

// Bounds in real units, kept for the designer; they take no part in the layout.
class TRLRealBounds : public TPersistent {
public:
  TRLRealBoundsUnit UsedUnit() const { return used_unit_; }
  void SetUsedUnit(TRLRealBoundsUnit value) { used_unit_ = value; }
  double Left() const { return left_; }
  void SetLeft(double value) { left_ = value; }
  double Top() const { return top_; }
  void SetTop(double value) { top_ = value; }
  double Width() const { return width_; }
  void SetWidth(double value) { width_ = value; }
  double Height() const { return height_; }
  void SetHeight(double value) { height_ = value; }
  void Assign(const TPersistent& source) override;

private:
  TRLRealBoundsUnit used_unit_ = buNone;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// Bits of TRLCustomControl::ControlState; each guards one operation against re-entry.
enum : unsigned {
  stPrinting = 1,
  stAligningControls = 2,
  stAdjustingHoldeds = 4,
  stAdjustingBounds = 8,
  stExpandingParent = 16,
  stRestoringBounds = 32,
  stMeasuringHeights = 64,
};

class TRLCustomControl : public TCustomControl {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomControl>()};

public:
  using ClassBitOwner = TRLCustomControl;
  explicit TRLCustomControl(TComponent* owner);
  ~TRLCustomControl() override;

  // ---- Published properties ----
  // Hides the framework control's alignment: report elements align by their own kinds.
  TRLControlAlign Align() const { return align_; }
  void SetAlign(TRLControlAlign value);
  TRLTextAlignment Alignment() const { return alignment_; }
  void SetAlignment(TRLTextAlignment value);
  TRLTextLayout Layout() const { return layout_; }
  void SetLayout(TRLTextLayout value);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  bool AutoExpand() const { return auto_expand_; }
  void SetAutoExpand(bool value) { auto_expand_ = value; }
  TRLControlAnchors Anchors() const { return anchors_; }
  void SetAnchors(TRLControlAnchors value);
  TRLBorders& Borders() { return borders_; }
  const TRLBorders& Borders() const { return borders_; }
  TRLCustomControl* Holder() const { return hold_.holder; }
  void SetHolder(TRLCustomControl* value);
  TRLHoldStyle HoldStyle() const { return hold_.style; }
  void SetHoldStyle(TRLHoldStyle value);
  TRLCustomControl* SecondHolder() const { return second_hold_.holder; }
  void SetSecondHolder(TRLCustomControl* value);
  TRLHoldStyle SecondHoldStyle() const { return second_hold_.style; }
  void SetSecondHoldStyle(TRLHoldStyle value);
  TRLRealBounds& RealBounds() { return real_bounds_; }
  TRLControlBehavior Behavior() const { return behavior_; }
  void SetBehavior(TRLControlBehavior value) { behavior_ = value; }
  TRLControlBehavior DefaultBehavior() const { return default_behavior_; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  const std::string& FriendlyName() const { return friendly_name_; }
  // Raises "<msgInvalidName> "name"" for a name that is no identifier (silently cleared while loading) and
  // "<msgNameInUse> "name"" for one another report element of the same owner already answers to.
  void SetFriendlyName(const std::string& value);
  // FriendlyName, or the component name when there is none.
  std::string DisplayName() const;

  TRLAfterPrintEvent AfterPrint;
  // The print event; text controls publish a text event under the same name instead.
  TRLBeforePrintEvent BeforePrint;
  TNotifyEvent OnMeasureHeight;

  // ---- Captions ----
  // While the report generates, the run-time caption; otherwise the design caption, or in design mode the display
  // name when that is empty.
  std::string Caption() const;
  void SetCaption(const std::string& value);
  const std::string& DesignCaption() const { return design_caption_; }
  std::string GetText() const override { return Caption(); }
  void SetText(const std::string& text) override { SetCaption(text); }
  // The text the control prints now.
  virtual std::string BuildCaption();

  // ---- Navigation ----
  TRLCustomSite* ParentSite() const;
  TRLCustomBand* ParentBand() const;
  TRLCustomPager* ParentPager() const;
  // The nearest group, unless a pager that is no group comes first.
  TRLCustomGroup* ParentGroup() const;
  // These two start at the element itself.
  TRLCustomSkipper* ParentSkipper() const;
  TRLCustomReport* ParentReport() const;
  // The first report of the chain the parent report belongs to.
  TRLCustomReport* MasterReport() const;
  // Raising variants: "<msgNotFound>: <name>.ParentPager" and so on.
  TRLCustomPager* RequestParentPager() const;
  TRLCustomSkipper* RequestParentSkipper() const;
  TRLCustomReport* RequestParentReport() const;
  // The surface the element records on; raises "<msgNotFound>: <name>.ParentSurface" when there is none.
  virtual TRLGraphicSurface& GetPrintSurface();

  // ---- Geometry ----
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;
  void SetName(const std::string& name) override;
  // The natural size; the current size unless the class knows better.
  virtual void CalcSize(int& width, int& height);
  // Re-sizes the control to its natural size, keeping the edge its Alignment and Layout name.
  void AdjustBounds();
  // Directions the class sizes itself in (AutoSizeWidth, AutoSizeHeight).
  int AutoSizeDirection() const { return auto_size_dir_; }
  // Whether alignment and automatic size leave the width (height) to be changed from outside.
  bool CanChangeWidth() const;
  bool CanChangeHeight() const;
  // A size that every SetBounds keeps; the report locks its size to the paper's.
  void LockSize(int width, int height);
  void UnlockSize() { size_locked_ = false; }
  bool SizeLocked() const { return size_locked_; }
  TRect OldBoundsRect() const { return old_bounds_; }

  TRect GetLocalRect() const { return {0, 0, Width(), Height()}; }
  // The screen client area: the local rect less (border width + 1) on each drawn side.
  virtual TRect GetClientRect() const;
  // Frame widths as left, top, right and bottom.
  virtual TRect GetFrameSizes() const;
  // Bounds on the surface of the nearest site (for a site: its print rectangle).
  virtual TRect GetPrintBoundsRect() const;
  virtual TRect GetPrintClientRect() const;
  virtual TRect GetPrintSizeRect() const;
  // Position relative to the nearest enclosing site, and absolute (up the whole parent chain).
  TPoint OffsetToSite() const;
  TPoint AbsolutePosition() const;

  // Bounds saved before a print and restored after it, with those of every report element inside.
  virtual void SaveBounds();
  virtual void RestoreBounds();

  virtual void Realign() {}

  // ---- Printing ----
  unsigned ControlState() const { return state_; }
  bool IsPrintingNow() const { return (state_ & stPrinting) != 0; }
  // Whether the report that holds the element is generating pages.
  bool IsGenerating() const;
  // Whether the element prints empty texts now (a completion band or a blank record).
  bool IsBlankFiller() const;
  // Decides whether the control prints now and fixes its text; remembered as PrintNow.
  virtual bool CanPrint();
  bool PrintNow() const { return print_now_; }
  virtual void Print();
  // Print with the printing-now flag set, then the AfterPrint event.
  void PrintWithState();
  void DoAfterPrint();
  virtual void ResetResults() {}
  // Accumulates the results of a printed detail; `caller` is who asked (a child or the parent).
  virtual void ComputeResults(TRLCustomControl* caller) { (void)caller; }
  virtual void MeasureHeight();
  // Records the drawn sides of the borders inside `rect`.
  void DrawBorders(TRLGraphicSurface& surface, const TRect& rect) const;
  // What `surface` records next is this element's drawing, under a group number of its own.
  void StartDrawingGroup(TRLGraphicSurface& surface);

  // ---- Design painting ----
  virtual void PaintDesignOverlay(TCanvas& canvas);
  virtual void PaintContents(TCanvas& canvas);
  virtual void PaintCornerMarks(TCanvas& canvas);

  // Children of a site as the layout sees them: report elements with their own kinds, other controls mapped.
  static TRLControlAlign AlignOf(const TControl& control);
  static TRLControlAnchors AnchorsOf(const TControl& control);

protected:
  QWidget* CreateWidget(QWidget*) override { return nullptr; }
  void Paint() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  void SetAutoSizeDirection(int value) { auto_size_dir_ = value; }
  void SetDefaultBehavior(TRLControlBehavior value) {
    default_behavior_ = value;
    behavior_ = value;
  }
  // The text event of text controls, after the print event and before the report's filter.
  virtual void DoBeforeText(std::string& text, bool& print_it) { (void)text, (void)print_it; }
  // The run-time caption taken as it stands (CanPrint keeps it when the event leaves it).
  const std::string& RunCaption() const { return caption_; }
  virtual void BordersChanged();
  // Runs after the bounds changed (the dependants' rules have run); a site re-aligns its children here.
  virtual void BoundsApplied() {}
  // Asks the enclosing site to place its children again.
  void RealignParent();
  void ExpandParentSite(const TRect& old_bounds);

  // Sets a state bit for a scope, clearing it on every way out.
  class TStateGuard {
  public:
    TStateGuard(TRLCustomControl& control, unsigned bit) : control_(control), bit_(bit) { control_.state_ |= bit_; }
    ~TStateGuard() { control_.state_ &= ~bit_; }
    TStateGuard(const TStateGuard&) = delete;
    TStateGuard& operator=(const TStateGuard&) = delete;

  private:
    TRLCustomControl& control_;
    unsigned bit_;
  };
  bool HasState(unsigned bit) const { return (state_ & bit) != 0; }
  void SetPrintNow(bool value) { print_now_ = value; }

private:
  friend class TRLBorders;
  struct THold {
    TRLCustomControl* holder = nullptr;
    TRLHoldStyle style = hsAsColumn;
    TPoint offset;
  };
  void SetHold(THold& hold, TRLCustomControl* holder);
  void RecordHoldOffset(THold& hold);
  void ApplyHold(const THold& hold, int& left, int& top, int& width, int& height) const;
  void AdjustHoldeds();
  void AddHolded(TRLCustomControl* control);
  void RemoveHolded(TRLCustomControl* control);

  mutable TRLCustomReport* report_ = nullptr;
  mutable unsigned long long report_version_ = 0;
  std::string caption_;
  TRLControlAlign align_ = faNone;
  TRLTextAlignment alignment_ = TRLTextAlignment::taLeftJustify;
  bool auto_size_ = false;
  int auto_size_dir_ = 0;
  bool auto_expand_ = false;
  TRLControlAnchors anchors_;
  TRLBorders borders_;
  THold hold_, second_hold_;
  std::vector<TRLCustomControl*> holdeds_;
  TRect saved_bounds_;
  bool bounds_saved_ = false;
  TRLRealBounds real_bounds_;
  std::string design_caption_;
  TRLTextLayout layout_ = tlTop;
  unsigned state_ = 0;
  TRLControlBehavior behavior_, default_behavior_;
  bool transparent_ = true;
  TRect old_bounds_;
  int locked_width_ = 0, locked_height_ = 0;
  bool size_locked_ = false;
  std::string friendly_name_;
  bool print_now_ = false;
};

// Walks the parent chain from `from` (inclusive) to the first control of class T.
template <class T>
T* FindAncestor(const TControl* from) {
  for (const TControl* c = from; c; c = c->Parent()) {
    if (auto* t = ComponentCast<T>(c)) return const_cast<T*>(t);
  }
  return nullptr;
}

// The site's children in component-creation order.
std::vector<TControl*> ChildrenInCreationOrder(const TWinControl& parent);
