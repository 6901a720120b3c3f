#pragma once

// PNG files of opaque images, written without the general image writer: rows unfiltered and deflated fast. Pages
// of text are mostly runs of white, which the deflater's matches catch as well as a row filter would, so the
// file costs a little more room in exchange for a fraction of the time.

#include <string>

class QImage;

// The PNG file (8-bit RGB, with the image's resolution) of an image whose alpha channel is ignored (a 32-bit RGB
// image); `level` is the deflater's, 1 (fastest) to 12.
std::string EncodeOpaquePng(const QImage& image, int level);
