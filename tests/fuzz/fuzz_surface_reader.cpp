// Feeds arbitrary bytes to the page reader. A stream either loads or fails with ERLCorruptedFile; a stream that
// loads writes itself back in a form that reads again into the same bytes, and paints on a small image, whole and
// zoomed in on a corner, at a cost bounded by the image's size whatever it holds.
#include "graphics/Canvas.h"
#include "pages/RLMetaFile.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

// Font matching keeps what it finds for the life of the process; the leak check would take each new font name
// for a leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(*argc, *argv);
  // The font database is built once, here, rather than inside the first input.
  TCanvas measuring;
  (void)measuring.TextWidth("x");
  return 0;
}

namespace {

// Painting may raise the program's own errors (a picture that does not decode); anything else is a fault.
void Paint(TRLGraphicSurface& surface, TCanvas& canvas, const TRect& rect) {
  try {
    surface.PaintTo(canvas, rect);
  } catch (const Exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TRLGraphicSurface surface;
  TRLMemoryStream input(std::string(reinterpret_cast<const char*>(data), size));
  try {
    surface.LoadFromStream(input);
  } catch (const ERLCorruptedFile&) {
    if (surface.ObjectCount() != 0) std::abort();
    return 0;
  }

  TRLMemoryStream first;
  surface.SaveToStream(first);
  TRLGraphicSurface again;
  TRLMemoryStream second_input(first.Bytes());
  again.LoadFromStream(second_input);
  TRLMemoryStream second;
  again.SaveToStream(second);
  if (first.Bytes() != second.Bytes()) std::abort();

  for (int i = 0; i < surface.ObjectCount(); ++i) {
    if (auto* text = dynamic_cast<TRLTextObject*>(surface.Objects(i))) (void)text->DisplayText();
  }
  int row = 0;
  surface.FindFreeRow(surface.Height(), row);
  TRLGraphicSurface copy;
  copy.CopyRect({0, 0, 100, 100}, surface, {0, 0, 200, 300});
  copy.CopyRect({-5, 7, 1000, 2000}, surface, {3, 1, 10, 4});
  copy.CopySurface(1 << 30, -(1 << 30), surface);

  QImage image(48, 64, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    TCanvas canvas(&image);
    Paint(surface, canvas, {0, 0, 48, 64});
    Paint(surface, canvas, {-200, -300, 400, 600});
  }
  {
    // Units of 2.5 pixels: one-unit pens are drawn by the painter's own stroker rather than unit by unit.
    TCanvas canvas(&image, 2.5);
    Paint(surface, canvas, {0, 0, 19, 25});
  }
  return 0;
}
