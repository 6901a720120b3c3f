#include "graphics/TextInk.h"

#include "graphics/TextMetrics.h"

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
  if (font.bold() && face.weight() < QFont::DemiBold) return true;
  return StyleIsSynthesized(face);
}

bool StyleIsSynthesized(const QRawFont& face) {
  const QByteArray head = face.fontTable("head"), os2 = face.fontTable("OS/2");
  const auto word = [](const QByteArray& table, int at) {
    return (static_cast<unsigned char>(table[at]) << 8) | static_cast<unsigned char>(table[at + 1]);
  };
  // The face's own bold and italic: the header's style bits, or the weight class and selection of OS/2.
  const unsigned style = head.size() >= 46 ? word(head, 44) : 0;
  const bool bold = (style & 1) || (os2.size() >= 6 && word(os2, 4) >= 600);
  const bool italic = (style & 2) || (os2.size() >= 64 && (word(os2, 62) & 0x201));
  if (head.isEmpty() && os2.isEmpty()) return false;  // not a face whose tables tell
  return (face.weight() >= QFont::DemiBold && !bold) || (face.style() != QFont::StyleNormal && !italic);
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
