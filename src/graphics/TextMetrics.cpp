#include "graphics/TextMetrics.h"

#include "graphics/QtGraphics.h"

#include <QImage>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace {

// Measures are taken as on the screen the reports are designed for, whatever the real screen is.
const QImage& MeasuringDevice() {
  static const QImage device = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    constexpr int kDotsPerMeter = 3780;  // 96 dpi
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
  }();
  return device;
}

using FontKey = std::tuple<std::string, int, unsigned long long, int, int>;

FontKey KeyOf(const TFont& font) {
  return {font.Name(), font.Height(), font.Style().Mask(), font.Charset(), static_cast<int>(font.Pitch())};
}

}  // namespace

TFontMeasure::TFontMeasure(const TFont& font)
    : font_(ToQFont(font)),
      metrics_(font_, Device()),
      ascent_(metrics_.ascent()),
      height_(metrics_.ascent() + metrics_.descent()) {}

int TFontMeasure::Width(std::string_view text) const {
  if (text.empty()) return 0;
  std::lock_guard lock(mutex_);
  if (auto it = widths_.find(text); it != widths_.end()) return it->second;
  if (widths_.size() >= kMaxCachedTexts) widths_.clear();
  int width = metrics_.horizontalAdvance(ToQString(text));
  widths_.emplace(std::string(text), width);
  return width;
}

int TFontMeasure::WrappedLineCount(std::string_view text, int width) const {
  std::lock_guard lock(mutex_);
  const QRect area(0, 0, std::max(width, 1), 1 << 20);
  const QRect wrapped = metrics_.boundingRect(area, Qt::TextWordWrap, ToQString(text));
  const int line = std::max(1, metrics_.lineSpacing());
  return std::max(1, (wrapped.height() + line / 2) / line);
}

const QPaintDevice* TFontMeasure::Device() { return &MeasuringDevice(); }

const TFontMeasure& TFontMeasure::For(const TFont& font) {
  static std::once_flag substitutes;
  std::call_once(substitutes, RegisterFontSubstitutes);
  static std::mutex mutex;
  // Kept to the very end: fonts must not be released after the application object is gone.
  static auto* entries = new std::map<FontKey, std::unique_ptr<TFontMeasure>>;
  FontKey key = KeyOf(font);
  std::lock_guard lock(mutex);
  auto& entry = (*entries)[key];
  if (!entry) entry = std::make_unique<TFontMeasure>(font);
  return *entry;
}
