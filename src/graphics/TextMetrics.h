#pragma once

// Text measurement for the framework's own sources: one process-wide entry per font description.

#include "graphics/Graphics.h"

#include <QFont>
#include <QFontMetrics>

class QPaintDevice;

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

// A font resolved for a 96-dpi device, its cell metrics and the widths measured with it so far. Safe to use from
// several threads.
class TFontMeasure {
public:
  explicit TFontMeasure(const TFont& font);

  const QFont& Font() const { return font_; }
  int Ascent() const { return ascent_; }
  // The cell: ascent plus descent.
  int Height() const { return height_; }
  int Width(std::string_view text) const;
  // The lines the text takes when wrapped at word boundaries to `width` (at least one).
  int WrappedLineCount(std::string_view text, int width) const;

  // The entry for a font description, made on first use. Entries live as long as the process.
  static const TFontMeasure& For(const TFont& font);
  // The device measures are taken on: 96 dpi, whatever the real screen is.
  static const QPaintDevice* Device();

private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };

  // Widths of texts measured so far; forgotten all at once when there are too many.
  static constexpr std::size_t kMaxCachedTexts = 1 << 16;

  QFont font_;
  QFontMetrics metrics_;
  int ascent_ = 0;
  int height_ = 0;
  mutable std::mutex mutex_;
  mutable std::unordered_map<std::string, int, TextHash, std::equal_to<>> widths_;
};
