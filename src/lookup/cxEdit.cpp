#include "lookup/cxEdit.h"

#include "graphics/Bitmap.h"

#include <QtGlobal>

const char* const cxSEditValidateErrorText =
    QT_TRANSLATE_NOOP("lookup", "Invalid input value. Use escape key to abandon changes");

TcxEditBorderStyle EffectiveBorderStyle(TcxEditBorderStyle style, bool hot_track, bool active) {
  if (style == ebsUltraFlat) return ebsSingle;
  if (!hot_track || !active) return style;
  switch (style) {
    case ebsNone: return ebsFlat;
    case ebsSingle: return ebsThick;
    case ebsFlat: return ebs3D;
    default: return style;
  }
}

TcxEditButtonStyle EffectiveButtonStyle(TcxEditButtonStyle style, TcxEditBorderStyle border, bool hot_track,
                                        bool active) {
  if (style != btsDefault) return style;
  const bool lit = hot_track && active;
  switch (border) {
    case ebsNone: return lit ? btsFlat : btsSimple;
    case ebsSingle: return lit ? bts3D : btsHotFlat;
    case ebsThick: return bts3D;
    case ebsFlat: return lit ? bts3D : btsFlat;
    case ebs3D: return bts3D;
    case ebsUltraFlat: return btsUltraFlat;
  }
  return bts3D;
}

TcxEditPopupBorderStyle EffectivePopupBorderStyle(TcxEditPopupBorderStyle style, TcxEditBorderStyle border) {
  if (style != epbsDefault) return style;
  return border == ebsNone || border == ebsFlat ? epbsFlat : epbsSingle;
}

int BorderWidth(TcxEditBorderStyle style) {
  switch (style) {
    case ebsNone: return 0;
    case ebsSingle:
    case ebsUltraFlat: return 1;
    default: return 2;
  }
}

// ---- TcxEditStyle ----

TcxEditStyle::TcxEditStyle() {
  look_and_feel_listener_ = look_and_feel_.AddChangeListener([this] { Changed(); });
}

TcxEditStyle::~TcxEditStyle() {
  OnChange = nullptr;
  look_and_feel_.RemoveChangeListener(look_and_feel_listener_);
}

TcxEditBorderStyle TcxEditStyle::BorderStyle() const {
  if (assigned_.Contains(svBorderStyle)) return border_style_;
  switch (look_and_feel_.Kind()) {
    case lfFlat: return ebsFlat;
    case lfStandard: return ebs3D;
    case lfUltraFlat: break;
  }
  return ebsUltraFlat;
}

void TcxEditStyle::SetBorderStyle(TcxEditBorderStyle style) {
  if (assigned_.Contains(svBorderStyle) && style == border_style_) return;
  border_style_ = style;
  assigned_.Include(svBorderStyle);
  Changed();
}

void TcxEditStyle::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxEditStyle*>(&source);
  if (!other) return TPersistent::Assign(source);
  border_style_ = other->border_style_;
  assigned_ = other->assigned_;
  border_color_ = other->border_color_;
  color_ = other->color_;
  edges_ = other->edges_;
  hot_track_ = other->hot_track_;
  shadow_ = other->shadow_;
  button_style_ = other->button_style_;
  button_transparency_ = other->button_transparency_;
  popup_border_style_ = other->popup_border_style_;
  look_and_feel_.Assign(other->look_and_feel_);
  Changed();
}

void TcxEditStyle::Changed() {
  if (OnChange) OnChange(this);
}

// ---- painting ----

void DrawEditBorder(TCanvas& canvas, const TRect& bounds, TcxEditBorderStyle style, TColor border_color,
                    TcxBorders edges, TColor color) {
  TRect r = bounds;
  canvas.Brush().SetStyle(bsSolid);
  auto side = [&](TcxBorder edge, TColor c) {
    if (!edges.Contains(edge)) return;
    canvas.Brush().SetColor(c);
    switch (edge) {
      case bLeft: canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}); break;
      case bTop: canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}); break;
      case bRight: canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}); break;
      case bBottom: canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}); break;
    }
  };
  // One ring: top and left in one colour, bottom and right in another; then the next ring lies inside it.
  auto ring = [&](TColor top_left, TColor bottom_right) {
    side(bBottom, bottom_right);
    side(bRight, bottom_right);
    side(bTop, top_left);
    side(bLeft, top_left);
    if (edges.Contains(bLeft)) ++r.Left;
    if (edges.Contains(bTop)) ++r.Top;
    if (edges.Contains(bRight)) --r.Right;
    if (edges.Contains(bBottom)) --r.Bottom;
  };
  switch (style) {
    case ebsNone: break;
    case ebsSingle:
    case ebsUltraFlat: ring(border_color, border_color); break;
    case ebsThick:
      ring(border_color, border_color);
      ring(border_color, border_color);
      break;
    case ebsFlat:
      ring(clBtnShadow, clBtnHighlight);
      ring(clBtnFace, clBtnFace);
      break;
    case ebs3D:
      ring(clBtnShadow, clBtnHighlight);
      ring(cl3DDkShadow, cl3DLight);
      break;
  }
  if (r.Width() > 0 && r.Height() > 0) {
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
  }
}

int DropDownArrowBase(int side) {
  int base = (side - 1) / 2;
  if (base % 2 == 0) ++base;
  return base;
}

TRect DropDownArrowRect(const TRect& button, const TRect& content, bool pressed) {
  TRect r = content;
  const int d = button.Width() - content.Width();
  if (d % 2 == 0) {
    r.Left -= d / 2;
    r.Right += d / 2;
  } else if (!pressed) {
    r.Left -= d - d / 2;
    r.Right += d / 2;
  } else {
    r.Left -= d / 2;
    r.Right += d - d / 2;
  }
  if (pressed) {
    ++r.Top;
    ++r.Bottom;
    if (d % 2 == 0) {
      ++r.Left;
      ++r.Right;
    }
  }
  // Square, shrunk equally from both ends of its longer side.
  const int w = r.Width(), h = r.Height();
  if (w > h) {
    r.Left += (w - h) / 2;
    r.Right = r.Left + h;
  } else if (h > w) {
    r.Top += (h - w) / 2;
    r.Bottom = r.Top + w;
  }
  return r;
}

void DrawEditButton(TCanvas& canvas, const TRect& bounds, TcxEditButtonStyle style, TcxEditButtonState state,
                    TColor face, const TBitmap* glyph) {
  const bool pressed = state == ebsPressed;
  TRect content = bounds;
  auto separator = [&](TColor color) {
    canvas.Brush().SetColor(color);
    canvas.FillRect({content.Left, content.Top, content.Left + 1, content.Bottom});
    ++content.Left;
  };
  canvas.Brush().SetStyle(bsSolid);
  switch (style) {
    case btsDefault:
    case bts3D:
      if (pressed) {
        FrameRectColor(canvas, content, clBtnShadow);
        content = InflatedRect(content, -1, -1);
        FrameRectColor(canvas, content, face);
        content = InflatedRect(content, -1, -1);
      } else {
        DrawEdgeRing(canvas, content, cl3DLight, cl3DDkShadow);
        content = InflatedRect(content, -1, -1);
        DrawEdgeRing(canvas, content, clBtnHighlight, clBtnShadow);
        content = InflatedRect(content, -1, -1);
      }
      break;
    case btsFlat:
      separator(face);
      if (pressed) DrawEdgeRing(canvas, content, clBtnShadow, clBtnHighlight);
      else DrawEdgeRing(canvas, content, clBtnHighlight, clBtnShadow);
      content = InflatedRect(content, -1, -1);
      break;
    case btsSimple:
      separator(face);
      FrameRectColor(canvas, content, face);
      content = InflatedRect(content, -1, -1);
      break;
    case btsHotFlat:
    case btsUltraFlat: {
      const bool lit = state == ebsHot || pressed;
      if (lit) face = pressed ? UltraFlatPressedColor() : UltraFlatHotColor();
      FrameRectColor(canvas, content, lit ? clHighlight : face);
      content = InflatedRect(content, -1, -1);
      break;
    }
  }
  if (content.Width() > 0 && content.Height() > 0) {
    canvas.Brush().SetColor(face);
    canvas.FillRect(content);
  }
  const TRect square = DropDownArrowRect(bounds, content, pressed && (style == bts3D || style == btsDefault));
  if (glyph && !glyph->Empty()) {
    const int cx = (square.Left + square.Right) / 2, cy = (square.Top + square.Bottom) / 2;
    canvas.Draw(cx - glyph->Width() / 2, cy - glyph->Height() / 2, *glyph);
    return;
  }
  const int base = DropDownArrowBase(square.Width());
  if (state == ebsDisabled) {
    DrawArrow(canvas, {square.Left + 1, square.Top + 1, square.Right + 1, square.Bottom + 1}, base, true,
              clBtnHighlight);
    DrawArrow(canvas, square, base, true, clBtnShadow);
  } else {
    DrawArrow(canvas, square, base, true, clBtnText);
  }
}

int PopupBorderWidth(TcxEditPopupBorderStyle style) {
  switch (style) {
    case epbsFrame3D: return 4;
    case epbsFlat: return 2;
    default: return 1;
  }
}

TRect DrawPopupBorder(TCanvas& canvas, const TRect& bounds, TcxEditPopupBorderStyle style) {
  TRect r = bounds;
  if (style == epbsSingle || style == epbsDefault) {
    FrameRectColor(canvas, r, clBtnText);
    return InflatedRect(r, -1, -1);
  }
  DrawEdgeRing(canvas, r, cl3DLight, cl3DDkShadow);
  r = InflatedRect(r, -1, -1);
  DrawEdgeRing(canvas, r, clBtnHighlight, clBtnShadow);
  r = InflatedRect(r, -1, -1);
  if (style == epbsFrame3D) {
    FrameRectColor(canvas, r, clBtnFace);
    r = InflatedRect(r, -1, -1);
    DrawEdgeRing(canvas, r, clBtnShadow, clBtnHighlight);
    r = InflatedRect(r, -1, -1);
  }
  return r;
}
