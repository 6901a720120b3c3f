#pragma once

// What the pages of a PDF file share: one file, its fonts, and the images, patterns and transparency settings the
// pages name. Pages may be drawn on several threads at once: every operation here is safe from any of them.

#include "pdf/PdfFile.h"
#include "pdf/PdfFonts.h"

#include <QImage>
#include <QTransform>

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

class TPdfResources {
public:
  explicit TPdfResources(TPdfFile& file) : file_(file) {}

  TPdfFonts& Fonts() { return fonts_; }
  // Writes a page's operators, deflated already (TPdfFile::Deflate), as object `number` (reserved here first).
  int Reserve();
  void WriteDeflatedStream(int number, const std::string& deflated);
  void WriteObject(int number, const std::string& body);

  // The resource name of an image, written on first use.
  std::string Image(const QImage& image);
  // The resource name of a repeating image whose pixel (0, 0) goes where `tileToPage` maps it in the page's default
  // space.
  std::string Pattern(const QImage& tile, const QTransform& tileToPage);
  // The resource name of the graphics state that paints with this opacity.
  std::string Alpha(double alpha);
  // Writes the fonts; the entries of the resource dictionary of every page, or none when a font cannot be written
  // as Qt's writer writes it.
  std::optional<std::string> Write();

private:
  struct TImage {
    QImage image;
    std::string name;
    int object;
  };
  const TImage& ImageLocked(const QImage& image);

  std::mutex mutex_;
  TPdfFile& file_;
  TPdfFonts fonts_;
  std::deque<TImage> images_;
  std::map<std::string, std::string> patterns_;
  std::map<double, std::string> alphas_;
  std::string xobjects_, pattern_entries_, gstate_entries_;
};
