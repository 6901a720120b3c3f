#include "pdf/PdfResources.h"

namespace {

// The rows of an image as PDF image data: RGB, and the alpha channel apart when the image has one.
void ImageSamples(const QImage& image, std::string& rgb, std::string& alpha) {
  const bool has_alpha = image.hasAlphaChannel();
  const QImage source = image.convertToFormat(has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  rgb.reserve(static_cast<std::size_t>(source.width()) * source.height() * 3);
  for (int y = 0; y < source.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int x = 0; x < source.width(); ++x) {
      rgb += static_cast<char>(qRed(row[x]));
      rgb += static_cast<char>(qGreen(row[x]));
      rgb += static_cast<char>(qBlue(row[x]));
      if (has_alpha) alpha += static_cast<char>(qAlpha(row[x]));
    }
  }
}

}  // namespace

int TPdfResources::Reserve() {
  std::lock_guard lock(mutex_);
  return file_.Reserve();
}

void TPdfResources::WriteDeflatedStream(int number, const std::string& deflated) {
  std::lock_guard lock(mutex_);
  file_.WriteDeflatedStream(number, "", deflated);
}

void TPdfResources::WriteObject(int number, const std::string& body) {
  std::lock_guard lock(mutex_);
  file_.WriteObject(number, body);
}

const TPdfResources::TImage& TPdfResources::ImageLocked(const QImage& image) {
  for (const TImage& known : images_) {
    if (known.image == image) return known;
  }
  std::string rgb, alpha;
  ImageSamples(image, rgb, alpha);
  const std::string size = "/Type /XObject /Subtype /Image /Width " + std::to_string(image.width()) + " /Height " +
                           std::to_string(image.height()) + " /BitsPerComponent 8";
  std::string entries = size + " /ColorSpace /DeviceRGB";
  if (!alpha.empty()) {
    const int mask = file_.Reserve();
    file_.WriteStream(mask, size + " /ColorSpace /DeviceGray", alpha);
    entries += " /SMask " + std::to_string(mask) + " 0 R";
  }
  TImage entry{image, "/Im" + std::to_string(images_.size() + 1), file_.Reserve()};
  file_.WriteStream(entry.object, entries, rgb);
  xobjects_ += entry.name + ' ' + std::to_string(entry.object) + " 0 R ";
  images_.push_back(std::move(entry));
  return images_.back();
}

std::string TPdfResources::Image(const QImage& image) {
  std::lock_guard lock(mutex_);
  return ImageLocked(image).name;
}

std::string TPdfResources::Pattern(const QImage& tile, const QTransform& tileToPage) {
  std::lock_guard lock(mutex_);
  const TImage& image = ImageLocked(tile);
  std::string entries = "/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 " + std::to_string(tile.width()) + ' ' +
                        std::to_string(tile.height()) + "] /XStep " + std::to_string(tile.width()) + " /YStep " +
                        std::to_string(tile.height()) + " /Resources << /XObject << " + image.name + ' ' +
                        std::to_string(image.object) + " 0 R >> >> /Matrix [";
  const QTransform& m = tileToPage;
  for (double v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) {
    AppendPdfNumber(entries, v);
    entries += ' ';
  }
  entries += ']';
  auto it = patterns_.find(entries);
  if (it != patterns_.end()) return it->second;
  // The image's unit square, upside down: its first row at the top of the tile.
  const std::string content = std::to_string(tile.width()) + " 0 0 -" + std::to_string(tile.height()) + " 0 " +
                              std::to_string(tile.height()) + " cm " + image.name + " Do\n";
  const int object = file_.Reserve();
  file_.WriteStream(object, entries, content);
  const std::string name = "/P" + std::to_string(patterns_.size() + 1);
  pattern_entries_ += name + ' ' + std::to_string(object) + " 0 R ";
  patterns_.emplace(entries, name);
  return name;
}

std::string TPdfResources::Alpha(double alpha) {
  std::lock_guard lock(mutex_);
  auto [it, added] = alphas_.emplace(alpha, "/GA" + std::to_string(alphas_.size() + 1));
  if (added) {
    std::string entry = " << /Type /ExtGState /ca ";
    AppendPdfNumber(entry, alpha);
    entry += " /CA ";
    AppendPdfNumber(entry, alpha);
    entry += " >> ";
    gstate_entries_ += it->second + entry;
  }
  return it->second;
}

std::optional<std::string> TPdfResources::Write() {
  std::lock_guard lock(mutex_);
  const std::optional<std::string> fonts = fonts_.Write(file_);
  if (!fonts) return std::nullopt;
  std::string resources = "/Font << " + *fonts + ">> ";
  if (!xobjects_.empty()) resources += "/XObject << " + xobjects_ + ">> ";
  if (!pattern_entries_.empty()) resources += "/Pattern << " + pattern_entries_ + ">> ";
  if (!gstate_entries_.empty()) resources += "/ExtGState << " + gstate_entries_ + ">> ";
  return resources + "/ProcSet [/PDF /Text /ImageB /ImageC]";
}
