// Feeds arbitrary bytes to the page reader. A stream either loads or fails with ERLCorruptedFile; a stream that
// loads writes itself back in a form that reads again into the same bytes.
#include "pages/RLMetaFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

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
  return 0;
}
