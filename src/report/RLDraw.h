#pragma once

// The drawing control: a figure scaled into the control, optionally rotated and centred, recorded as a polygon.

#include "core/Strings.h"
#include "graphics/GraphicsObjects.h"
#include "report/RLCustomControl.h"

#include <vector>

using TRLPointList = std::vector<TPoint>;

class TRLCustomDraw : public TRLCustomControl {
public:
  explicit TRLCustomDraw(TComponent* owner);

  // Degrees; a positive angle turns the figure counter-clockwise on the page.
  double Angle() const { return angle_; }
  void SetAngle(double value);
  TBrush& Brush() { return brush_; }
  const TBrush& Brush() const { return brush_; }
  // A kind other than dkCustom replaces DrawData by its own points.
  TRLDrawKind DrawKind() const { return draw_kind_; }
  void SetDrawKind(TRLDrawKind value);
  TPen& Pen() { return pen_; }
  const TPen& Pen() const { return pen_; }
  // Points as pairs of unsigned numbers; a different text makes the kind dkCustom.
  TStrings& DrawData() { return draw_data_; }
  const TStrings& DrawData() const { return draw_data_; }
  void SetDrawData(const TStrings& value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  int DrawWidth() const { return draw_width_; }
  void SetDrawWidth(int value);
  int DrawHeight() const { return draw_height_; }
  void SetDrawHeight(int value);
  TRLDrawOptions Options() const { return options_; }
  void SetOptions(TRLDrawOptions value);

  // Older definitions name the figure by a "Kind" of their own; unknown names change nothing.
  void ReadLegacyKind(const std::string& name);

  // The figure's points for the print client rect `rect`, as they are recorded.
  TRLPointList FigurePoints(const TRect& rect) const;
  void Print() override;
  void PaintContents(TCanvas& canvas) override;

private:
  void DrawDataChanged();

  double angle_ = 0;
  TBrush brush_;
  TRLDrawKind draw_kind_ = dkRectangle;
  TPen pen_;
  TStrings draw_data_;
  std::vector<std::string> known_data_;
  bool setting_kind_ = false;
  bool center_ = true;
  int draw_width_ = 0;
  int draw_height_ = 0;
  TRLDrawOptions options_;
};

class TRLDraw : public TRLCustomDraw {
public:
  using TRLCustomDraw::TRLCustomDraw;
};

// The points of a kind in its own unit; for dkCustom, those `data` holds.
TRLPointList DrawKindPoints(TRLDrawKind kind, const std::string& data);
// Reads unsigned numbers in pairs; blanks separate them and any other character ends the list.
TRLPointList ParseDrawData(const std::string& data);
// The points of a kind as DrawData text: "x y" lines separated by carriage returns.
std::string DrawKindData(TRLDrawKind kind);
// Scales points into `target` (DrawWidth/DrawHeight and doKeepVisible already applied by the caller).
TRLPointList FitPoints(const TRLPointList& points, const TRect& target, bool keep_aspect_ratio);
TRLPointList RotatePoints(const TRLPointList& points, double angle);
TRLPointList CenterPoints(const TRLPointList& points, const TRect& rect);
