#include "graphics/Graphics.h"

#include "core/Text.h"

namespace {

// The classic desktop palette, indexed by system colour number.
constexpr TColor kSystemPalette[] = {
    RGBColor(200, 200, 200),  // scroll bar
    RGBColor(0, 0, 0),        // background
    RGBColor(10, 36, 106),    // active caption
    RGBColor(128, 128, 128),  // inactive caption
    RGBColor(212, 208, 200),  // menu
    RGBColor(255, 255, 255),  // window
    RGBColor(0, 0, 0),        // window frame
    RGBColor(0, 0, 0),        // menu text
    RGBColor(0, 0, 0),        // window text
    RGBColor(255, 255, 255),  // caption text
    RGBColor(212, 208, 200),  // active border
    RGBColor(212, 208, 200),  // inactive border
    RGBColor(128, 128, 128),  // application work space
    RGBColor(10, 36, 106),    // highlight
    RGBColor(255, 255, 255),  // highlight text
    RGBColor(212, 208, 200),  // button face
    RGBColor(128, 128, 128),  // button shadow
    RGBColor(128, 128, 128),  // grey text
    RGBColor(0, 0, 0),        // button text
    RGBColor(212, 208, 200),  // inactive caption text
    RGBColor(255, 255, 255),  // button highlight
    RGBColor(64, 64, 64),     // 3D dark shadow
    RGBColor(212, 208, 200),  // 3D light
    RGBColor(0, 0, 0),        // info text
    RGBColor(255, 255, 225),  // info background
};

}  // namespace

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color;
  auto index = static_cast<std::size_t>(color & 0xFF);
  return index < std::size(kSystemPalette) ? kSystemPalette[index] : clBlack;
}

TFont::TFont(const TFont& other)
    : TPersistent(),
      name_(other.name_),
      height_(other.height_),
      color_(other.color_),
      style_(other.style_),
      charset_(other.charset_),
      pitch_(other.pitch_),
      pixels_per_inch_(other.pixels_per_inch_) {}

TFont& TFont::operator=(const TFont& other) {
  Assign(other);
  return *this;
}

void TFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFont*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (*other == *this) return;
  name_ = other->name_;
  height_ = other->height_;
  color_ = other->color_;
  style_ = other->style_;
  charset_ = other->charset_;
  pitch_ = other->pitch_;
  Changed();
}

bool TFont::operator==(const TFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ && style_ == other.style_ &&
         charset_ == other.charset_ && pitch_ == other.pitch_;
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const {
  // Height = -Size * PixelsPerInch / 72, both rounded as the platform's integer scaling does.
  return -static_cast<int>(RoundHalfEven(height_ * 72.0 / pixels_per_inch_));
}

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(RoundHalfEven(points * static_cast<double>(pixels_per_inch_) / 72.0)));
}

void TFont::SetPixelsPerInch(int pixels_per_inch) {
  pixels_per_inch_ = pixels_per_inch > 0 ? pixels_per_inch : ScreenPixelsPerInch;
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}
