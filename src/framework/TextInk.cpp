#include "framework/TextInk.h"

#include "framework/TextMetrics.h"

#include <QFontMetricsF>
#include <QRawFont>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

namespace {

// Characters drawn as nothing or as something else than their own glyph.
bool Invisible(char16_t c) { return (c >= 0x7F && c <= 0x9F) || c == 0xAD; }

}  // namespace

bool StyleIsSynthesized(const QFont& font) {
  QRawFont face = QRawFont::fromFont(font);
  if (!face.isValid()) return true;
  if (font.italic() && face.style() == QFont::StyleNormal) return true;
  return font.bold() && face.weight() < QFont::DemiBold;
}

TTextInk::TTextInk(const QFont& font) {
  usable_ = !font.underline() && !font.strikeOut() && !StyleIsSynthesized(font);
  if (!usable_) return;
  // Images at one pixel a unit draw hinted outlines; PDF files and scaled images draw them unhinted.
  QFont unhinted(font);
  unhinted.setHintingPreference(QFont::PreferNoHinting);
  QFontMetricsF plain(unhinted), hinted(font);
  constexpr float kNone = std::numeric_limits<float>::max();
  for (char16_t c = kFirst; c <= kLast; ++c) {
    if (Invisible(c)) continue;
    TGlyph& glyph = glyphs_[c - kFirst];
    glyph.known = true;
    QRectF box = plain.boundingRect(QChar(c)) | hinted.boundingRect(QChar(c));
    if (box.isEmpty()) {
      glyph = {true, kNone, -kNone, kNone, -kNone};
      continue;
    }
    glyph.left = static_cast<float>(box.left());
    glyph.overhang = static_cast<float>(box.right() - hinted.horizontalAdvance(QChar(c)));
    glyph.top = static_cast<float>(box.top());
    glyph.bottom = static_cast<float>(box.bottom());
  }
}

bool TTextInk::Reach(const QString& text, TInkReach& reach) const {
  if (!usable_) return false;
  constexpr double kNone = std::numeric_limits<float>::max();
  TInkReach r{kNone, -kNone, kNone, -kNone};
  for (QChar ch : text) {
    char16_t c = ch.unicode();
    if (c < kFirst || c > kLast || !glyphs_[c - kFirst].known) return false;
    const TGlyph& glyph = glyphs_[c - kFirst];
    r.Left = std::min<double>(r.Left, glyph.left);
    r.Right = std::max<double>(r.Right, glyph.overhang);
    r.Top = std::min<double>(r.Top, glyph.top);
    r.Bottom = std::max<double>(r.Bottom, glyph.bottom);
  }
  // No ink at all: a point at the origin keeps the answer simple and still safe.
  reach = r.Left == kNone ? TInkReach{} : r;
  return true;
}

const TTextInk& TTextInk::For(const TFontMeasure& measure) {
  static std::mutex mutex;
  // Kept to the very end, like the measures they belong to.
  static auto* entries = new std::map<const TFontMeasure*, std::unique_ptr<TTextInk>>;
  std::lock_guard lock(mutex);
  auto& entry = (*entries)[&measure];
  if (!entry) entry = std::make_unique<TTextInk>(measure.Font());
  return *entry;
}
