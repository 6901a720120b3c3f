#include "framework/ShapedText.h"

#include "framework/QtBridge.h"
#include "framework/TextMetrics.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

// Whether a line laid out by QTextLayout draws as a painter given the characters does: not for characters that end
// a line there or that a painter handles otherwise (control characters), nor for lines under, over or through the
// text, which a layout places by its own rounding.
bool LaysOutAsPainter(const QFont& font, const QString& text) {
  if (font.underline() || font.overline() || font.strikeOut()) return false;
  return std::none_of(text.begin(), text.end(), [](QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
  });
}

}  // namespace

TShapedText::TShapedText(const TFontMeasure& measure, std::string_view text) : text_(ToQString(text)) {
  if (!LaysOutAsPainter(measure.Font(), text_)) {
    font_ = measure.Font();
    width_ = measure.Width(text);
    return;
  }
  layout_ = std::make_unique<QTextLayout>(text_, measure.Font(), TFontMeasure::Device());
  QTextOption option;
  // As a painter's: the application's direction, one line, trailing spaces counted.
  option.setTextDirection(QGuiApplication::layoutDirection());
  option.setWrapMode(QTextOption::NoWrap);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout_->setTextOption(option);
  layout_->setCacheEnabled(true);
  layout_->beginLayout();
  QTextLine line = layout_->createLine();
  layout_->endLayout();
  if (line.isValid()) {
    ascent_ = line.ascent();
    width_ = static_cast<int>(std::lround(line.horizontalAdvance()));
  }
}

void TShapedText::Draw(QPainter& painter, const QPointF& origin) const {
  if (layout_) {
    layout_->draw(&painter, QPointF(origin.x(), origin.y() - ascent_));
    return;
  }
  painter.setFont(font_);
  painter.drawText(origin, text_);
}

const TShapedText& TShapedTexts::Get(const TFontMeasure& measure, std::string_view text) {
  if (auto it = texts_.find(KeyView{&measure, text}); it != texts_.end()) return *it->second;
  if (texts_.size() >= kMaxTexts) texts_.clear();
  auto shaped = std::make_unique<TShapedText>(measure, text);
  return *texts_.emplace(Key{&measure, std::string(text)}, std::move(shaped)).first->second;
}
