#include "lookup/cxButtons.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "widgets/Forms.h"
#include "widgets/Menus.h"

// ---- TcxButtonColors ----

void TcxButtonColors::Set(TcxButtonColorState state, TColor color) {
  colors_[state] = color;
  assigned_.Set(state, color != clDefault);
  if (OnChange) OnChange(this);
}

TColor TcxButtonColors::ForState(TcxButtonState state) const {
  switch (state) {
    case cxbsDefault: return colors_[cxbcDefault];
    case cxbsNormal: return colors_[cxbcNormal];
    case cxbsHot: return colors_[cxbcHot];
    case cxbsPressed: return colors_[cxbcPressed];
    case cxbsDisabled: return colors_[cxbcDisabled];
  }
  return clDefault;
}

void TcxButtonColors::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxButtonColors*>(&source);
  if (!other) return TPersistent::Assign(source);
  std::copy(std::begin(other->colors_), std::end(other->colors_), std::begin(colors_));
  assigned_ = other->assigned_;
  if (OnChange) OnChange(this);
}

// ---- TcxCustomButton ----

TcxCustomButton::TcxCustomButton(TComponent* owner) : TInputControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  colors_.OnChange = [this](TObject*) { Invalidate(); };
  look_and_feel_listener_ = look_and_feel_.AddChangeListener([this] { Invalidate(); });
}

TcxCustomButton::~TcxCustomButton() {
  Destroying();
  colors_.OnChange = nullptr;
  look_and_feel_.RemoveChangeListener(look_and_feel_listener_);
  DestroyWidget();
}

void TcxCustomButton::SetKind(TcxButtonKind kind) {
  kind_ = kind;
  Invalidate();
}

void TcxCustomButton::SetUseSystemPaint(bool on) {
  use_system_paint_ = on;
  Invalidate();
}

void TcxCustomButton::SetDropDownMenu(TComponent* menu) {
  if (drop_down_menu_) RemoveFreeNotification(drop_down_menu_);
  drop_down_menu_ = menu;
  if (menu) FreeNotification(menu);
}

void TcxCustomButton::SetPopupMenu(TComponent* menu) {
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
}

void TcxCustomButton::Notification(TComponent* component, TOperation operation) {
  TInputControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == drop_down_menu_) drop_down_menu_ = nullptr;
  if (component == popup_menu_) popup_menu_ = nullptr;
}

const TcxCustomLookAndFeelPainter& TcxCustomButton::Painter() const {
  const bool themed =
      ThemesActive() && (look_and_feel_.NativeStyle() || (use_system_paint_ && look_and_feel_.Kind() == lfStandard));
  return LookAndFeelPainter(look_and_feel_.Kind(), themed);
}

bool TcxCustomButton::PlatformDrawn() const {
  return kind_ == cxbkStandard && use_system_paint_ && glyph_.Empty() &&
         ((look_and_feel_.NativeStyle() && ThemesActive()) || look_and_feel_.Kind() == lfStandard);
}

TcxButtonState TcxCustomButton::State() const {
  if (!Enabled()) return cxbsDisabled;
  if (down_) return cxbsPressed;
  if (hot_ && Painter().TracksHotButtons()) return cxbsHot;
  if (Focused() || default_) return cxbsDefault;
  return cxbsNormal;
}

namespace {
// The width of a split button's arrow strip.
constexpr int kDropDownStripWidth = 15;
}  // namespace

TRect TcxCustomButton::DropDownArrowPart() const {
  switch (kind_) {
    case cxbkDropDown: return {0, 0, Width(), Height()};
    case cxbkDropDownButton: return {std::max(0, Width() - kDropDownStripWidth), 0, Width(), Height()};
    default: return {};
  }
}

void TcxCustomButton::DropDown() {
  auto* menu = dynamic_cast<TPopupMenu*>(drop_down_menu_);
  if (!menu) return;
  menu->SetPopupComponent(this);
  const TPoint below = ClientToScreen({0, Height()});
  menu->Popup(below.X, below.Y);
}

void TcxCustomButton::Click() {
  if (kind_ == cxbkDropDown) {
    DropDown();
    return;
  }
  if (TForm* form = GetParentForm(this); form && modal_result_ != 0) form->SetModalResult(modal_result_);
  TInputControl::Click();
}

void TcxCustomButton::DrawCaption(TCanvas& canvas, const TRect& rect, const std::string& caption, TColor color,
                                  bool embossed) {
  // "&x" underlines x; "&&" is an ampersand.
  std::string text;
  int underline = -1;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && underline < 0) underline = static_cast<int>(text.size());
    }
    text += caption[i];
  }
  canvas.Brush().SetStyle(bsClear);
  const TSize size = canvas.TextExtent(text);
  const int x = rect.Left + (rect.Width() - size.cx) / 2;
  const int y = rect.Top + (rect.Height() - size.cy) / 2;
  auto draw = [&](int dx, int dy, TColor c) {
    canvas.Font().SetColor(c);
    canvas.TextOut(x + dx, y + dy, text);
    if (underline >= 0) {
      std::size_t end = static_cast<std::size_t>(underline) + 1;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
      const int from = x + dx + canvas.TextWidth(text.substr(0, static_cast<std::size_t>(underline)));
      const int to = x + dx + canvas.TextWidth(text.substr(0, end));
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor(c);
      canvas.FillRect({from, y + dy + size.cy - 1, to, y + dy + size.cy});
      canvas.Brush().SetStyle(bsClear);
    }
  };
  if (embossed) draw(1, 1, clBtnHighlight);
  draw(0, 0, color);
  canvas.Brush().SetStyle(bsSolid);
}

void TcxCustomButton::Paint() {
  TCanvas& canvas = Canvas();
  const TRect client{0, 0, Width(), Height()};
  const TcxButtonState state = State();
  if (PlatformDrawn()) {
    canvas.SetFont(Font());
    DrawPlatformPushButton(canvas, client, Caption(), state == cxbsPressed, Focused(), Enabled(), default_);
    return;
  }
  const TcxCustomLookAndFeelPainter& painter = Painter();
  TColor face = colors_.ForState(state);
  if (face == clDefault) face = painter.ButtonFaceColor(state);
  TFont font(Font());
  font.SetColor(painter.ButtonCaptionColor(state));
  if (OnGetDrawParams) OnGetDrawParams(this, state, font, face);
  painter.DrawButtonFrame(canvas, client, state);
  const int frame = painter.ButtonFrameWidth(state);
  const TRect inner = InflatedRect(client, -frame, -frame);
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(face);
  canvas.FillRect(inner);
  TRect content = client;
  if (state == cxbsPressed) {
    const int offset = painter.PressedContentOffset();
    content = {content.Left + offset, content.Top + offset, content.Right + offset, content.Bottom + offset};
  }
  canvas.SetFont(font);
  if (!glyph_.Empty()) {
    // A glyph beside the caption, the pair centred (or at Margin from the glyph's side).
    const int glyph_width = glyph_.Width() / std::max(1, num_glyphs_), glyph_height = glyph_.Height();
    const TSize text = Caption().empty() ? TSize{0, 0} : canvas.TextExtent(Caption());
    const bool across = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int gap = Caption().empty() ? 0 : spacing_;
    const int total = across ? glyph_width + gap + text.cx : glyph_height + gap + text.cy;
    const int start = margin_ >= 0 ? margin_ : ((across ? content.Width() : content.Height()) - total) / 2;
    TRect glyph_rect, text_rect = content;
    if (across) {
      const int gy = content.Top + (content.Height() - glyph_height) / 2;
      const int gx = layout_ == blGlyphLeft ? content.Left + start : content.Right - start - glyph_width;
      glyph_rect = {gx, gy, gx + glyph_width, gy + glyph_height};
      text_rect = layout_ == blGlyphLeft
                      ? TRect{gx + glyph_width + gap, content.Top, gx + glyph_width + gap + text.cx, content.Bottom}
                      : TRect{gx - gap - text.cx, content.Top, gx - gap, content.Bottom};
    } else {
      const int gx = content.Left + (content.Width() - glyph_width) / 2;
      const int gy = layout_ == blGlyphTop ? content.Top + start : content.Bottom - start - glyph_height;
      glyph_rect = {gx, gy, gx + glyph_width, gy + glyph_height};
      text_rect = layout_ == blGlyphTop
                      ? TRect{content.Left, gy + glyph_height + gap, content.Right, gy + glyph_height + gap + text.cy}
                      : TRect{content.Left, gy - gap - text.cy, content.Right, gy - gap};
    }
    canvas.Draw(glyph_rect.Left, glyph_rect.Top, glyph_);
    content = text_rect;
  }
  if (kind_ != cxbkStandard) {
    // The arrow in its strip at the right; a split button draws the line that parts the strip from the rest.
    const TRect strip{std::max(inner.Left, inner.Right - kDropDownStripWidth), inner.Top, inner.Right, inner.Bottom};
    if (kind_ == cxbkDropDownButton) {
      canvas.Brush().SetColor(clBtnShadow);
      canvas.FillRect({strip.Left, strip.Top + 2, strip.Left + 1, strip.Bottom - 2});
    }
    const int side = std::min(strip.Width(), strip.Height());
    const int ax = strip.Left + (strip.Width() - side) / 2, ay = strip.Top + (strip.Height() - side) / 2;
    const int base = std::max(3, (side / 2) | 1);
    DrawArrow(canvas, {ax, ay, ax + side, ay + side}, base, true, font.Color());
    content.Right = std::min(content.Right, strip.Left);
  }
  if (!Caption().empty()) DrawCaption(canvas, content, Caption(), font.Color(), state == cxbsDisabled);
  if (Focused()) {
    DrawFocusDots(canvas, InflatedRect(client, -painter.FocusRectInset(), -painter.FocusRectInset()), font.Color());
  }
}

void TcxCustomButton::MouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft || !Enabled()) return;
  if (kind_ == cxbkDropDownButton) {
    const TRect strip = DropDownArrowPart();
    if (x >= strip.Left && x < strip.Right && y >= strip.Top && y < strip.Bottom) {
      DropDown();
      return;
    }
  }
  if (TabStop()) SetFocus();
  down_ = true;
  mouse_inside_ = true;
  Repaint();
}

void TcxCustomButton::MouseMove(TShiftState shift, int x, int y) {
  const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
  if (shift.Contains(ssLeft) && mouse_inside_ != inside) {
    mouse_inside_ = inside;
    down_ = inside;
    Invalidate();
  }
}

void TcxCustomButton::MouseUp(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft || !down_) return;
  down_ = false;
  Repaint();
  if (x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
}

void TcxCustomButton::MouseEnter() {
  hot_ = true;
  if (Enabled() && Painter().TracksHotButtons()) Invalidate();
}

void TcxCustomButton::MouseLeave() {
  hot_ = false;
  if (Enabled() && Painter().TracksHotButtons()) Invalidate();
}

void TcxCustomButton::KeyDown(unsigned short& key, TShiftState) {
  if (key == VK_SPACE) {
    down_ = true;
    Invalidate();
    key = 0;
  } else if (key == VK_RETURN) {
    key = 0;
    Click();
  }
}

void TcxCustomButton::KeyUp(unsigned short& key, TShiftState) {
  if (key != VK_SPACE || !down_) return;
  down_ = false;
  Invalidate();
  key = 0;
  Click();
}

void TcxCustomButton::DoExit() {
  down_ = false;
  Invalidate();
}
